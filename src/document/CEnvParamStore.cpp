// The two stored forms of the settings: the settings file and the settings
// block of the project record. Both carry the same sub-records in the same
// field order; they differ only in the versions at which fields appeared
// (a table of gates per form) and in how a failure shows: the project
// record throws, the file keeps an error code and every field after it is
// left alone.

#include "CEnvParam.h"

#include "CArchive.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"

#include <string>

namespace {

// The versions at which the sub-records gained a field, per stored form.
struct EnvGates {
  int hostText;         // texts as host strings; older: 8-bit, character code 32
  int vertexOrder;      // the triangle's vertex-order flag
  int rectSymbol;       // the rectangle's symbol position
  int listGaps;         // a table style's two gaps
  int listRowLimit;     // a table style's row limit and mark switch
  int totalDoubleSize;  // the total-area text size as a double; older: a short
  int totalOffsets;     // the total-area column and row offsets
  int commonExtraByte;  // rows of exactly this version carry one more byte
};

constexpr EnvGates kFileGates{22, 9, 6, 10, 13, 24, 10, 8};
constexpr EnvGates kRecordGates{1043, 1014, 1009, 1018, 1023, 1047, 1018, 1013};

// Versions of the settings file at which its top-level layout changed.
namespace FileV {
constexpr int kFillPenOff = 9;
constexpr int kVertexOrderAfterSwitch = 9;  // older: the flag right after m_NumberFillGaps
constexpr int kLayers = 12;                 // older: one short, dropped
constexpr int kDroppedInt = 5;              // older: an int after that short, dropped
constexpr int kTotalArea = 4;
constexpr int kTreeShow = 11;
constexpr int kListAttr2 = 14;
constexpr int kTuboFactor = 16;
constexpr int kEllipseAndSnap = 18;
constexpr int kListAttr4 = 20;
constexpr int kLayerDefaultCode = 21;  // older: layer names in UTF-8
}  // namespace FileV

// Versions of the project record at which its settings block changed.
namespace RecordV {
constexpr int kLayers = 1022;  // older: one short, dropped
constexpr int kLayerDefaultCode = 1042;
constexpr int kTuboFactor = 1033;
constexpr int kSnapAndTexts = 1037;
constexpr int kEllipse = 1037;
constexpr int kListAttr2 = 1024;
constexpr int kTreeShow = 1019;
constexpr int kListAttr4 = 1040;
}  // namespace RecordV

// The fewest bytes a stored common row takes: two ints, a short, an empty
// text, a double, a bool, a double and four shorts.
constexpr long long kMinCommonRowBytes = 4 + 4 + 2 + 3 + 8 + 1 + 8 + 4 * 2;

// One pass over a record in either form and direction. For the file, a
// field is touched only while the file reports no error, and a field whose
// own read failed keeps its value.
class EnvIo {
public:
  EnvIo(CArchive& ar, const EnvGates& gates, CFileArchive* file)
      : m_Ar(ar), m_Gates(gates), m_pFile(file), m_Version(ar.GetVersion())
  {
  }

  bool Reading() const { return m_Ar.m_bOpen; }
  // Writers always write the newest layout.
  bool Has(int since) const { return !Reading() || m_Version >= since; }
  bool Ok() const { return m_pFile == nullptr || m_pFile->GetError() == 0; }
  const EnvGates& Gates() const { return m_Gates; }
  int Version() const { return m_Version; }
  CArchive& Ar() { return m_Ar; }

  template <class T> EnvIo& operator()(T& value)
  {
    if (!Ok())
      return *this;
    T read = value;
    m_Ar.Serialize(read);
    if (Ok())
      value = read;
    return *this;
  }

  EnvIo& Text(GS::UniString& text)
  {
    if (Has(m_Gates.hostText) || !Ok())
      return (*this)(text);
    GS::UniString read = text;
    m_Ar.ReadText(read, CC_Japanese);
    if (Ok())
      text = read;
    return *this;
  }

  template <class T> void Drop()
  {
    T dropped{};
    (*this)(dropped);
  }

  // A count that cannot fit what remains: the file takes error 3, the
  // project record throws.
  bool FitsCount(int count, long long bytesEach)
  {
    if (m_Ar.CanHold(count, bytesEach))
      return true;
    if (m_pFile == nullptr)
      throw CArchive::kPastEnd;
    m_pFile->SetError(3);
    return false;
  }

private:
  CArchive& m_Ar;
  const EnvGates& m_Gates;
  CFileArchive* m_pFile;
  int m_Version;
};

void Transfer(EnvIo& io, CAreaTriangleAttr& a)
{
  io.Text(a.m_area_in_type)(a.m_area_in_pen)(a.m_area_in_line);
  io.Text(a.m_area_perline_form)(a.m_area_perline_pen)(a.m_area_perline_line);
  io(a.m_area_perline_Size)(a.m_area_symbol_x)(a.m_area_symbol_y)(a.m_size_b_x)(a.m_size_b_y)(a.m_size_p_x)(
      a.m_size_p_y);
  if (io.Has(io.Gates().vertexOrder))
    io(a.m_bVertexOrder);
}

void Transfer(EnvIo& io, CAreaRectAttr& a)
{
  io.Text(a.m_area_in_type)(a.m_area_in_pen)(a.m_area_in_line);
  io(a.m_area_size_f_t)(a.m_area_size_f_b)(a.m_area_size_f_l)(a.m_area_size_f_r);
  io(a.m_size_t_x)(a.m_size_t_y)(a.m_size_b_x)(a.m_size_b_y)(a.m_size_l_x)(a.m_size_l_y)(a.m_size_r_x)(a.m_size_r_y);
  if (io.Has(io.Gates().rectSymbol))
    io(a.m_area_symbol_x)(a.m_area_symbol_y);
}

void Transfer(EnvIo& io, CAreaArcAttr& a)
{
  io(a.m_area_fan_disp)(a.m_area_fan_pen)(a.m_area_fan_line);
  io(a.m_area_perline_disp)(a.m_area_perline_pen)(a.m_area_perline_line);
  io(a.m_area_angle_disp)(a.m_area_angle_pen)(a.m_area_angle_line);
  io(a.m_area_symbol_x)(a.m_area_symbol_y)(a.m_size_b_x)(a.m_size_b_y)(a.m_size_r_x)(a.m_size_r_y)(a.m_size_a_x)(
      a.m_size_a_y)(a.m_size_p_x)(a.m_size_p_y);
}

void Transfer(EnvIo& io, CAreaTrapezoidAttr& a)
{
  io.Text(a.m_area_in_type)(a.m_area_in_pen)(a.m_area_in_line);
  io.Text(a.m_area_perline_form)(a.m_area_perline_pen)(a.m_area_perline_line)(a.m_area_perline_type);
  io(a.m_area_perline_Size)(a.m_area_symbol_x)(a.m_area_symbol_y)(a.m_size_t_x)(a.m_size_t_y)(a.m_size_b_x)(
      a.m_size_b_y)(a.m_size_p_x)(a.m_size_p_y);
}

void Transfer(EnvIo& io, CAreaCircleAttr& a)
{
  io(a.m_area_fan_disp)(a.m_area_fan_pen)(a.m_area_fan_line);
  io(a.m_area_symbol_x)(a.m_area_symbol_y)(a.m_size_r_x)(a.m_size_r_y);
}

void Transfer(EnvIo& io, CAreaEllipseAttr& a)
{
  io(a.m_area_fan_disp)(a.m_area_fan_pen)(a.m_area_fan_line);
  io(a.m_area_symbol_x)(a.m_area_symbol_y)(a.m_size_rx_x)(a.m_size_rx_y)(a.m_size_ry_x)(a.m_size_ry_y);
}

void Transfer(EnvIo& io, CAttributeCommonParam& a)
{
  int mark = a.m_ItemType1;
  int numbering = a.m_ItemType2;
  io(mark)(numbering);
  a.m_ItemType1 = CItemType1Table::ITEMTYPE(mark);
  a.m_ItemType2 = CItemType2Table::ITEMTYPE(numbering);
  io(a.m_SymbolPen).Text(a.m_SymbolFont)(a.m_SymbolSize)(a.m_bSizeFlag)(a.m_DimSize);
  io(a.m_Fill)(a.m_ContPen)(a.m_FillPen)(a.m_FillBackPen);
  if (io.Reading() && io.Version() == io.Gates().commonExtraByte)
    io.Drop<bool>();
}

void Transfer(EnvIo& io, CAttributeCommonParamArray& rows)
{
  int count = int(rows.size());
  io(count);
  if (io.Reading()) {
    if (!io.Ok() || !io.FitsCount(count, kMinCommonRowBytes))
      return;
    rows.assign(std::size_t(count), CAttributeCommonParam());
  }
  for (CAttributeCommonParam& row : rows)
    Transfer(io, row);
}

void Transfer(EnvIo& io, CAreaListAttr& a)
{
  io(a.m_ColWidth1)(a.m_ColWidth2)(a.m_ColWidth3)(a.m_RowHeight);
  io(a.m_FramePen)(a.m_TextPen)(a.m_MinusPen)(a.m_bTitle)(a.m_bHeader)(a.m_bTotal)(a.m_TextSize).Text(a.m_Font);
  if (io.Has(io.Gates().listGaps))
    io(a.m_GapH)(a.m_GapV);
  if (io.Has(io.Gates().listRowLimit))
    io(a.m_RowLimit)(a.m_bShowMark);
}

void Transfer(EnvIo& io, CAttributeTotalAreaParam& a)
{
  io(a.m_TextPen)(a.m_SecondPen)(a.m_LinePen);
  if (io.Has(io.Gates().totalDoubleSize)) {
    io(a.m_TextSize);
  } else {
    short size = 0;
    io(size);
    if (io.Ok())
      a.m_TextSize = size;
  }
  io.Text(a.m_Font)(a.m_ColWidth)(a.m_RowHeight);
  if (io.Has(io.Gates().totalOffsets))
    io(a.m_ColOffset)(a.m_RowOffset);
}

void Transfer(EnvIo& io, CTreeShowItem& a) { io(a.m_bShowArea)(a.m_bShowTotal)(a.m_bShowMarkNo); }

template <class Record> void InRecord(CArchive& ar, Record& record)
{
  EnvIo io(ar, kRecordGates, nullptr);
  Transfer(io, record);
}

template <class Record> void ToFile(CFileArchive& ar, const Record& record)
{
  EnvIo io(ar, kFileGates, &ar);
  Record copy = record;  // the pass is shared with reading
  Transfer(io, copy);
}

template <class Record> void FromFile(CFileArchive& ar, Record& record)
{
  EnvIo io(ar, kFileGates, &ar);
  Transfer(io, record);
}

// Layers travel by name; a name the project lacks reads as index 0.
void TransferLayer(EnvIo& io, short& layer, GSCharCode readCode)
{
  if (!io.Ok())
    return;
  short read = layer;
  io.Ar().SerializeAttribute(API_LayerID, read, io.Reading() ? readCode : CC_Default);
  if (io.Ok())
    layer = read;
}

// Both forms carry the figure kinds' records and the common rows in one
// run, the ellipse from its version on.
void TransferFigureRecords(EnvIo& io, CEnvParam& env, int ellipseFrom)
{
  Transfer(io, env.m_TriangleAttr);
  Transfer(io, env.m_RectAttr);
  Transfer(io, env.m_ArcAttr);
  Transfer(io, env.m_TrapezoidAttr);
  Transfer(io, env.m_CircleAttr);
  Transfer(io, env.m_AttributeCommonParamArray);
  if (io.Has(ellipseFrom))
    Transfer(io, env.m_EllipseAttr);
}

// The first table styles; forms older than list2From copy the folder
// table's style into the element table's.
void TransferTableStyles(EnvIo& io, CEnvParam& env, int list2From)
{
  Transfer(io, env.m_ListAttr1);
  Transfer(io, env.m_ListAttr3);
  if (io.Has(list2From))
    Transfer(io, env.m_ListAttr2);
  else if (io.Ok())
    env.m_ListAttr2 = env.m_ListAttr3;
}

// The two layers by name from their version on (UTF-8 names before
// defaultCodeFrom); older forms hold one short, dropped. False then.
bool TransferLayers(EnvIo& io, CEnvParam& env, int since, int defaultCodeFrom)
{
  if (!io.Has(since)) {
    io.Drop<short>();
    return false;
  }
  const GSCharCode code = io.Has(defaultCodeFrom) ? CC_Default : CC_UTF8;
  TransferLayer(io, env.m_Area1Layer, code);
  TransferLayer(io, env.m_ListLayer, code);
  return true;
}

}  // namespace

#define PLN_ENV_RECORD_FORMS(Record)                                          \
  void Record::Serialize(CArchive& ar) { InRecord(ar, *this); }               \
  void Record::Write(CFileArchive& ar) const { ToFile(ar, *this); }           \
  void Record::Read(CFileArchive& ar) { FromFile(ar, *this); }

PLN_ENV_RECORD_FORMS(CAreaTriangleAttr)
PLN_ENV_RECORD_FORMS(CAreaRectAttr)
PLN_ENV_RECORD_FORMS(CAreaArcAttr)
PLN_ENV_RECORD_FORMS(CAreaTrapezoidAttr)
PLN_ENV_RECORD_FORMS(CAreaCircleAttr)
PLN_ENV_RECORD_FORMS(CAreaEllipseAttr)
PLN_ENV_RECORD_FORMS(CAttributeCommonParam)
PLN_ENV_RECORD_FORMS(CAttributeCommonParamArray)
PLN_ENV_RECORD_FORMS(CAreaListAttr)
PLN_ENV_RECORD_FORMS(CAttributeTotalAreaParam)
PLN_ENV_RECORD_FORMS(CTreeShowItem)

#undef PLN_ENV_RECORD_FORMS

void CEnvParam::SetDefaultLayers()
{
  for (short* layer : {&m_Area1Layer, &m_ListLayer}) {
    if (*layer == 0)
      *layer = CGSUtil::GSSelectLayer(reinterpret_cast<const unsigned short*>(kDefaultLayerName), 0);
  }
}

// ---- the settings block of the project record ---------------------------------

void CEnvParam::Serialize(CArchive& ar)
{
  EnvIo io(ar, kRecordGates, nullptr);
  io(m_NumberFillGaps)(m_LengthComma)(m_AreaComma)(m_FillPenOff);
  TransferLayers(io, *this, RecordV::kLayers, RecordV::kLayerDefaultCode);
  if (io.Has(RecordV::kTuboFactor))
    io(m_TuboFactor);
  if (io.Has(RecordV::kSnapAndTexts))
    io(m_SnapType)(m_BlankDecimals)(m_LengthTenthDigit);
  // Repaired presets are kept as repaired.
  static_cast<void>(m_RoundTypeParamArray.Serialize(ar));
  TransferFigureRecords(io, *this, RecordV::kEllipse);
  TransferTableStyles(io, *this, RecordV::kListAttr2);
  Transfer(io, m_TotalAreaParam);
  if (io.Reading())
    m_PatternArray.clear();  // each pattern is read into a document of its own
  if (!m_PatternArray.SerializeEnv(ar))
    throw CArchive::kPastEnd;
  if (io.Has(RecordV::kTreeShow))
    Transfer(io, m_TreeShowItem);
  if (io.Has(RecordV::kListAttr4))
    Transfer(io, m_ListAttr4);
  if (io.Reading())
    SetDefaultLayers();
}

// ---- the settings file ----------------------------------------------------------

bool CEnvParam::Serialize(CFileArchive& ar)
{
  if (ar.m_bOpen && (ar.GetVersion() < kFileVersionMin || ar.GetVersion() > kFileVersion))
    return false;
  EnvIo io(ar, kFileGates, &ar);
  if (io.Reading())
    static_cast<void>(m_RoundTypeParamArray.Read(ar));  // repaired presets are kept as repaired
  else
    m_RoundTypeParamArray.Write(ar);
  io(m_NumberFillGaps);
  if (io.Reading() && !io.Has(FileV::kVertexOrderAfterSwitch))
    io(m_TriangleAttr.m_bVertexOrder);
  io(m_LengthComma)(m_AreaComma);
  if (io.Has(FileV::kFillPenOff))
    io(m_FillPenOff);
  if (!TransferLayers(io, *this, FileV::kLayers, FileV::kLayerDefaultCode) && !io.Has(FileV::kDroppedInt))
    io.Drop<int>();
  TransferFigureRecords(io, *this, FileV::kEllipseAndSnap);
  TransferTableStyles(io, *this, FileV::kListAttr2);
  if (io.Ok()) {
    if (io.Reading()) {
      m_PatternArray.clear();  // each pattern is read into a document of its own
      // A failed read is the archive's error, answered at the end; repaired
      // patterns are kept as repaired.
      static_cast<void>(m_PatternArray.Read(ar));
    } else {
      m_PatternArray.Write(ar);
    }
  }
  if (io.Has(FileV::kTotalArea))
    Transfer(io, m_TotalAreaParam);
  if (io.Has(FileV::kTreeShow))
    Transfer(io, m_TreeShowItem);
  if (io.Has(FileV::kTuboFactor))
    io(m_TuboFactor);
  if (io.Has(FileV::kEllipseAndSnap))
    io(m_SnapType);
  if (io.Has(FileV::kListAttr4))
    Transfer(io, m_ListAttr4);
  if (io.Reading() && io.Ok())
    SetDefaultLayers();
  return ar.GetError() == 0;
}

bool CEnvParam::SaveData(const GS::UniString& path)
{
  // The file is written as a copy that replaces it when whole; a copy that
  // cannot be made or cannot take the file's place is the same failure.
  CFileArchive ar(path);
  bool saved = ar.Save(kFileVersion) == 0;
  if (saved) {
    const bool written = Serialize(ar);
    saved = ar.Close() == 0 && written;
  }
  if (!saved)
    GSWriteReport(path + GS::UniString(u"が保存できません"));
  return saved;
}

bool CEnvParam::LoadData(const GS::UniString& path)
{
  CFileArchive ar(path);
  if (ar.Open() != 0 || ar.GetError() != 0)
    return false;
  if (ar.GetVersion() < kFileVersionMin || ar.GetVersion() > kFileVersion) {
    GSWriteReport(GS::UniString(u"ファイルのバージョンが異なります"));
    return false;
  }
  // Taken whole or not at all: a damaged file never leaves half its values.
  CEnvParam scratch(*this);
  if (!scratch.Serialize(ar))
    return false;
  *this = std::move(scratch);
  return true;
}
