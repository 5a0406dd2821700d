#pragma once
// Value cells: a time, a time difference or an angle held both as three
// signed 16-bit fields, as a person enters and reads it, and as one double,
// kept in step. CVcellCore is the common base; seven kinds differ in what
// the fields mean, how the double follows from them, how they print and
// which ranges they accept:
//
//   kind             field1   field2   field3   value
//   CVcellTime1      hours    minutes  seconds  hours      "%2d時%2.2d分"
//   CVcellTime2      hours    minutes  seconds  hours      "%2d時間%2.2d分", 24:00 "--時間--分"
//   CVcellDeltaTime  hours    minutes  seconds  hours      "%2d時間%2.2d分"
//   CVcellDiff       minutes  seconds  0        hours      "%2d分%2.2d秒"
//   CVcellAngle, CVcellSunLat, CVcellDirection
//                    degrees  minutes  seconds  radians    "%4d度%2.2d分%2.2d秒"
//
// Sign: a negative quantity carries its minus on the first non-zero field;
// the others hold magnitudes. Modes of the shared conversions: -1 minutes
// and seconds, 0 hours (value in hours), 1 degrees (value in radians).
//
// Conversions from numbers refuse (false, cell unchanged) what the 16-bit
// fields cannot hold and values that are not finite.

#include <cstdint>
#include <string>
#include <vector>

#include "KelOldZoneRecords.h"

class CKelArchiveCore;
class CKelFileIO;

class CVcellCore {
public:
  std::int16_t m_Field1 = 0;
  std::int16_t m_Field2 = 0;
  std::int16_t m_Field3 = 0;
  double m_Value = 0;

  static constexpr double kRadianPerDegree = 0.017453292519943295;

  CVcellCore() = default;
  explicit CVcellCore(const VCELLTag& old) { FromOldParam(old, nullptr); }
  CVcellCore(const CVcellCore&) = default;
  CVcellCore& operator=(const CVcellCore&) = default;
  virtual ~CVcellCore() = default;

  // --- The kind's own rules
  // The value from the fields.
  virtual void SetValue() = 0;
  virtual std::string GetStr() const = 0;
  // Fields and value from whole seconds (minutes and seconds for CVcellDiff).
  [[nodiscard]] virtual bool LtoVCELL(int n) = 0;
  virtual long VCELLtoL() const;
  // The kind's class name, its archive tag.
  virtual const char* ClassName() const = 0;

  void Init();
  // The text is not read; the value is not recomputed.
  void FromOldParam(const VCELLTag& old, const char* text);
  VCELLTag GetOldParam() const;

  // --- Compares: the fields; IsNearlyEqual also the values by fcmpNearly.
  bool operator==(const CVcellCore& other) const;
  bool operator!=(const CVcellCore& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CVcellCore& other) const;
  void CompareData(const char* label, const CVcellCore& other, std::vector<std::string>& lines) const;

  // --- Range checks: true means invalid.
  bool CheckAngleValue() const;
  bool CheckTimeValue2(int mode) const;

  // --- Conversions
  // Carries seconds into minutes and minutes into degrees (modulo 360) and
  // sets the value in radians.
  void angle_value();
  // Wraps the value into (-L, L] about 0 (L = pi for mode 0, else 2 pi) and
  // rebuilds the fields in rounded arc seconds; false for a value that is
  // not finite.
  [[nodiscard]] bool set_vcell_angle(int mode);
  long VCELLtoL2(int mode) const;
  int time_value2(int mode);
  // x in seconds; 0.999 of a second or more rounds up.
  [[nodiscard]] bool DoubletoVCELL2(double x, int mode);
  [[nodiscard]] bool LtoVCELL2(long n, int mode);
  // Adds the other cell's signed seconds; false when the sum does not fit.
  [[nodiscard]] bool VCELLAdd(const CVcellCore& other);

  // --- Stored forms
  // The kind's tag from version 2, then tag "CVcellCore", the fields and the
  // value; below version 5 the old display text follows.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // Fields (2 bytes each) and the value as a float (10 bytes).
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // The float read is dropped and the value recomputed.
  [[nodiscard]] bool LoadData(CKelFileIO& f);

protected:
  // After the fields were read from an archive.
  [[nodiscard]] virtual bool AfterLoad(double stored);
  std::string AngleText() const;
  // value = (abs(f1) * 60 + abs(f2)) / 60, the time kinds' rule.
  void SetTimeValue();
  std::string TimeText(const char* format) const;
  void NegateFirstNonZero();
  [[nodiscard]] bool SetFieldsFromSeconds(long magnitude, int mode);
};

class CVcellTime1 : public CVcellCore {
public:
  using CVcellCore::CVcellCore;
  void SetValue() override { SetTimeValue(); }
  std::string GetStr() const override;
  [[nodiscard]] bool LtoVCELL(int n) override { return LtoVCELL2(n, 0); }
  const char* ClassName() const override { return "CVcellTime1"; }
  bool CheckTimeValue() const { return CheckTimeValue2(0); }
};

class CVcellTime2 : public CVcellCore {
public:
  using CVcellCore::CVcellCore;
  void SetValue() override { SetTimeValue(); }
  std::string GetStr() const override;
  [[nodiscard]] bool LtoVCELL(int n) override { return LtoVCELL2(n, 0); }
  const char* ClassName() const override { return "CVcellTime2"; }
  bool CheckTimeValue() const { return CheckTimeValue2(0); }
  // 24 h 00 min: the unset regulated time.
  bool IsFullDay() const { return m_Field1 == 24 && m_Field2 == 0; }
};

class CVcellDeltaTime : public CVcellCore {
public:
  using CVcellCore::CVcellCore;
  void SetValue() override { SetTimeValue(); }
  std::string GetStr() const override;
  [[nodiscard]] bool LtoVCELL(int n) override { return LtoVCELL2(n, 0); }
  const char* ClassName() const override { return "CVcellDeltaTime"; }
};

class CVcellDiff : public CVcellCore {
public:
  using CVcellCore::CVcellCore;
  void SetValue() override;
  // A negative cell of less than a minute prints its sign before the
  // minutes: "-0分30秒".
  std::string GetStr() const override;
  [[nodiscard]] bool LtoVCELL(int n) override { return LtoVCELL2(n, -1); }
  long VCELLtoL() const override { return VCELLtoL2(-1); }
  const char* ClassName() const override { return "CVcellDiff"; }
  bool CheckTimeValue() const { return CheckTimeValue2(1); }
};

class CVcellAngle : public CVcellCore {
public:
  using CVcellCore::CVcellCore;
  void SetValue() override { angle_value(); }
  std::string GetStr() const override { return AngleText(); }
  [[nodiscard]] bool LtoVCELL(int n) override { return LtoVCELL2(n, 1); }
  const char* ClassName() const override { return "CVcellAngle"; }
  [[nodiscard]] bool DoubletoVCELL(double x) { return DoubletoVCELL2(x, 1); }
};

class CVcellSunLat : public CVcellCore {
public:
  using CVcellCore::CVcellCore;
  void SetValue() override { angle_value(); }
  std::string GetStr() const override { return AngleText(); }
  [[nodiscard]] bool LtoVCELL(int n) override { return LtoVCELL2(n, 1); }
  const char* ClassName() const override { return "CVcellSunLat"; }
};

class CVcellDirection : public CVcellCore {
public:
  using CVcellCore::CVcellCore;
  void SetValue() override { angle_value(); }
  std::string GetStr() const override { return AngleText(); }
  [[nodiscard]] bool LtoVCELL(int n) override { return LtoVCELL2(n, 1); }
  const char* ClassName() const override { return "CVcellDirection"; }

protected:
  // The stored value wins over fields that disagree with it; a value that is
  // not finite is refused.
  [[nodiscard]] bool AfterLoad(double stored) override;
};
