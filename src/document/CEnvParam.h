#pragma once
// The settings of the area calculation: output layers, number-format
// switches, the tsubo factor, the rounding presets, the drawing attributes
// of every figure kind and of every (mark, numbering style) pair, the table
// styles, the calculation patterns and the tree-label switches.
//
// A plain value: copies own their own texts, presets and patterns, and
// nothing is shared between a copy and its source. The document holds two
// of them (the settings in force and the ones as loaded).

#include "CAreaAttr.h"
#include "CAreaListAttr.h"
#include "CAttributeCommonParam.h"
#include "CPlenimetraParamArray.h"
#include "CRoundTypeParam.h"
#include "gs_unistring.h"

class CArchive;
class CFileArchive;

// What the calculation tree shows in its labels.
class CTreeShowItem {
public:
  bool operator==(const CTreeShowItem&) const = default;

  // Three bools in the order below, in both stored forms.
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  bool m_bShowArea = true;    // the node's area on the floor
  bool m_bShowTotal = true;   // the node's total over all floors
  bool m_bShowMarkNo = true;  // the node's mark and item number
};

class CEnvParam {
public:
  // The tsubo is 400/121 m²; its inverse 121/400 turns m² into tsubo.
  static constexpr double kDefaultTuboFactor = 0.3025;

  CEnvParam();
  CEnvParam(const CEnvParam& other);
  CEnvParam(CEnvParam&& other) noexcept;
  CEnvParam& operator=(const CEnvParam& other);
  CEnvParam& operator=(CEnvParam&& other) noexcept;
  ~CEnvParam();

  // Every member below takes part.
  bool operator==(const CEnvParam& other) const;
  bool operator!=(const CEnvParam& other) const { return !(*this == other); }

  // == Stored forms ==
  // The settings file: a leading int version (kFileVersion when written,
  // kFileVersionMin..kFileVersion read), then the fields; the file lacks
  // m_BlankDecimals and m_LengthTenthDigit. Writers always write the
  // newest layout; readers take each field from the version that added it.
  static constexpr int kFileVersion = 24;
  static constexpr int kFileVersionMin = 3;
  // The layer that replaces a stored layer naming none of the project's.
  static constexpr const char16_t* kDefaultLayerName = u"メンセラ";

  // Writes a complete copy that replaces the file only when whole; false,
  // with the alert "<path>が保存できません" when it cannot be created.
  [[nodiscard]] bool SaveData(const GS::UniString& path);
  // Reads the file into a scratch record and takes it only when the whole
  // file was read: false (this record unchanged) when it does not open, is
  // short or damaged, or is of a version outside the window (alert
  // "ファイルのバージョンが異なります").
  [[nodiscard]] bool LoadData(const GS::UniString& path);
  // The file form in the archive's direction, from just after the version.
  // False for a version outside the window or when the file reported an
  // error; a failed read leaves the fields read before it.
  [[nodiscard]] bool Serialize(CFileArchive& ar);
  // A layer 0 becomes the layer kDefaultLayerName, made when the project
  // has none; every reader of a stored form ends with it.
  void SetDefaultLayers();
  // The settings block of the project record, in the archive's direction;
  // throws the archive's unsigned int on a short or refused read.
  void Serialize(CArchive& ar);

  short m_Area1Layer = 0;  // placed figures, when the active pattern names no layer
  short m_ListLayer = 0;   // area tables and worksheet output
  bool m_BlankDecimals = true;     // area texts: decimals past the asked count become blanks
  bool m_LengthTenthDigit = true;  // length texts leave out a 0.1 mm digit that is 0
  // Figure numbering: the lowest free number from 0, closing the numbers
  // of each pair up to 0..k-1; when clear, numbers go on after the highest.
  bool m_NumberFillGaps = false;
  bool m_LengthComma = false;  // thousands separators in CAD length texts
  bool m_AreaComma = false;    // thousands separators in area texts and table lengths
  // Snap of lengths within 9, 99, 999 µm of a multiple of 0.1 mm, 1 mm,
  // 1 cm before rounding (1, 2, 3); any other value: no snap.
  short m_SnapType = 1;
  bool m_FillPenOff = false;  // figures write 0 for both fill pens
  double m_TuboFactor = kDefaultTuboFactor;
  CRoundTypeParamArray m_RoundTypeParamArray;
  CAreaTriangleAttr m_TriangleAttr;
  CAreaRectAttr m_RectAttr;
  CAreaArcAttr m_ArcAttr;
  CAreaTrapezoidAttr m_TrapezoidAttr;
  CAreaCircleAttr m_CircleAttr;
  CAreaEllipseAttr m_EllipseAttr;
  CAttributeCommonParamArray m_AttributeCommonParamArray;
  CAreaListAttr m_ListAttr1{1};   // table of figures
  CAreaListAttr m_ListAttr2{10};  // table of calculation elements
  CAreaListAttr m_ListAttr3{10};  // table of subtotal and total folders
  CAreaListAttr m_ListAttr4{10};  // room list of the CSV output
  CAttributeTotalAreaParam m_TotalAreaParam;
  CPlenimetraParamArray m_PatternArray;
  CTreeShowItem m_TreeShowItem;
};
