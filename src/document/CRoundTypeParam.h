#pragma once
// Rounding items and presets.
//
// A rounding item is a kind (CRoundTypeTable::ROUNDTYPE) and a digit index
// whose unit depends on what it rounds:
//   areas   0..6 decimals of m² kept (step 10^(6-d) units of 1e-6 m²);
//   lengths 3 = whole millimetres, 4 = tenths of a millimetre;
//   angles  0..9 decimals of degrees.
// A preset is a named set of the four default items with the pi row and the
// round-up rule; every calculation pattern names one preset by its id.
//
// Stored forms: Serialize(CArchive&) for the project record (gated by the
// archive version) and Write/Read(CFileArchive&) for the settings file (gated
// by the file version, stopping at the first error). Readers repair what
// rounding could not use: a length digit other than 3 or 4, an angle digit
// outside 0..9 and a pi code outside 1..8 become the defaults, and report it
// by returning false.

#include "CodeTables.h"
#include "gs_unistring.h"

#include <vector>

class CArchive;
class CFileArchive;

class CRoundTypeItem {
public:
  CRoundTypeItem() = default;
  CRoundTypeItem(CRoundTypeTable::ROUNDTYPE type, int digit) : m_Type(type), m_Digit(digit) {}

  bool operator==(const CRoundTypeItem&) const = default;

  // The item's digit; without an item (no active preset) the fallback's,
  // one of the items of a new preset.
  static int DigitOf(const CRoundTypeItem* item, const CRoundTypeItem& fallback)
  {
    return item != nullptr ? item->m_Digit : fallback.m_Digit;
  }

  // int type, then int digit, in both directions.
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  CRoundTypeTable::ROUNDTYPE m_Type = CRoundTypeTable::ROUNDTYPE_NONE;
  int m_Digit = 0;
};

class CRoundTypeParam {
public:
  // Digit ranges the rounding accepts; the defaults of a new preset.
  static constexpr int kLengthDigitMm = 3;
  static constexpr int kLengthDigitTenthMm = 4;
  static constexpr int kAngleDigitMax = 9;
  static constexpr int kDefaultPaiCode = 1;
  static const CRoundTypeItem kDefaultArea1;       // (2, 6)
  static const CRoundTypeItem kDefaultArea2List;   // (2, 2)
  static const CRoundTypeItem kDefaultAngle;       // (2, 2)
  static const CRoundTypeItem kDefaultLength;      // (2, 4)

  explicit CRoundTypeParam(int id = 0, GS::UniString name = {}, CRoundTypeItem area1 = kDefaultArea1,
                           CRoundTypeItem area2List = kDefaultArea2List, CRoundTypeItem angle = kDefaultAngle,
                           CRoundTypeItem length = kDefaultLength, int paiCode = kDefaultPaiCode);

  bool operator==(const CRoundTypeParam&) const = default;

  // Loading returns false when a field had to be repaired (see the top).
  [[nodiscard]] bool Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  [[nodiscard]] bool Read(CFileArchive& ar);

  // Puts out-of-range length digit, angle digit and pi code back to their
  // defaults; true when nothing needed it.
  bool Repair();

  CRoundTypeItem m_Area1RoundType;      // figure area
  CRoundTypeItem m_Area2ListRoundType;  // one entry of a calculation element
  CRoundTypeItem m_AngleRoundType;
  CRoundTypeItem m_LengthRoundType;
  int m_Id;
  GS::UniString m_Name;
  int m_PaiCode;
  // Round-up (kind 3) raises only when the first digit below the step is not
  // 0: 12.34056789 m² cut to 2 decimals stays 12.34.
  bool m_RoundUpNextDigit = true;
};

class CRoundTypeParamArray : public std::vector<CRoundTypeParam> {
public:
  CRoundTypeParamArray();  // one preset: id 0, "標準設定", the default items

  // The first preset with that id, or null.
  CRoundTypeParam* Search(int id);
  const CRoundTypeParam* Search(int id) const;

  // Appends a preset with the next id (m_MaxId + 1) and the default items.
  CRoundTypeParam& AddNew(const GS::UniString& name);

  // Same presets in the same order; m_MaxId takes no part.
  bool operator==(const CRoundTypeParamArray& other) const;

  // int count, the presets, int m_MaxId. Loading returns false when a preset
  // was repaired; a count that cannot fit in the rest of the data is refused
  // before anything is allocated (see the .cpp for how each stream reports).
  [[nodiscard]] bool Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  [[nodiscard]] bool Read(CFileArchive& ar);

  int m_MaxId = 0;  // the last id handed out

private:
  void SetMaxIdFromPresets();
};
