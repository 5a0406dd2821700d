#pragma once
#include <utility>
// The circular segment by centre: the sector from the start direction
// counter-clockwise to the end direction minus the triangle of its two
// radii, placed as "TalvoSoftwareAreaArcOrigo". Held as the sector is (pos
// = centre, angle = start direction, "ArcRadius", "ArcAngle"). Derived:
// R = rl(r), A = the rounded sweep, C = rl(2 r sin(a/2)) the chord,
// H = rl(r cos(a/2)) the centre's distance from the chord; the chord and
// height come from the unrounded r and a. New figures span at most a half
// circle.

#include "CAngleValue.h"
#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"

class CAreaArcCenter : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaArcOrigo";
  static constexpr int kBreakFlags = 7;

  CAreaArcCenter(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                 CItemType2Table::ITEMTYPE numbering, int itemNo);

  // == Operations of every kind ==
  using CArea1Object::CopyObject;
  using CArea1Object::GetEquation;
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook) override;
  [[nodiscard]] GSErrCode CopyObject(CPlenimetraParam* param, short floor) override;
  void Serialize(CPlenimetraUserDataCore& data) override;
  bool CheckStringParameter(CPlenimetraParam* param) override;
  GS::UniString GetEquation(const CPlenimetraParam* param, bool breakAll, double width) override;
  long long GetOrgArea(const CPlenimetraParam* param) const override;
  double GetShapeArea() const override;

  // == Geometry ==
  // From [centre, start, end]; true when the sweep is at most a half
  // circle (within KelTol::HalfCircle) and both picks have a direction.
  static bool GetArcCenterParameter(const CKelAreaCoord2D& points, double* rotation, double* radius, double* angle);
  [[nodiscard]] GSErrCode GetParam(double* radius, double* angle) const;
  long long GetRadius(const CPlenimetraParam* param) const;
  CAngleValue GetAngle(const CPlenimetraParam* param) const;
  long long GetBaseLength(const CPlenimetraParam* param) const;
  long long GetHeight(const CPlenimetraParam* param) const;
  CKelAreaCoord2D GetCoord() const;
  CKelAreaCoord2D GetCoord() override { return std::as_const(*this).GetCoord(); }

  // == Placing and rewriting ==
  // Picks over a half circle or without direction: APIERR_CANCEL.
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D centre, double rotation,
                         double radius, double angle);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     double radius, double angle);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, double radius, double angle);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D centre, double rotation, double radius,
                        double angle);

private:
  struct Dims;
  Dims Measure(const CPlenimetraParam* param) const;
  // From the stored radius (m) and sweep (degrees); zeros when not sound.
  static Dims MeasureOf(const CPlenimetraParam* param, double radius, double degrees);
};

// The sector's three picks.
class CAreaArcCenterTrace : public CKelAreaCoord2D {
public:
  [[nodiscard]] GSErrCode Trace();
};
