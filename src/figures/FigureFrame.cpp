#include "FigureFrame.h"

#include "CGSUtil.h"
#include "CLayerControl.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "GetLibPartInd.h"
#include "HostHandles.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace figures {

// ---- writing parameters ------------------------------------------------------

ParamWriter& ParamWriter::Put(const char* name, double value)
{
  if (m_Err == NoError)
    m_Err = CGSUtil::ChangeObjectParameter(name, value, 0, 0);
  return *this;
}

ParamWriter& ParamWriter::Put(const char* name, int value)
{
  if (m_Err == NoError)
    m_Err = CGSUtil::ChangeObjectParameter(name, value, 0, 0);
  return *this;
}

ParamWriter& ParamWriter::Put(const char* name, bool value)
{
  if (m_Err == NoError)
    m_Err = CGSUtil::ChangeObjectParameter(name, value, 0, 0);
  return *this;
}

ParamWriter& ParamWriter::Put(const char* name, const GS::UniString& value)
{
  if (m_Err == NoError)
    m_Err = CGSUtil::ChangeObjectParameter(name, value, 0, 0);
  return *this;
}

FigureStyle StyleOf(CPlenimetraParam* param, const CArea1Object& figure)
{
  FigureStyle style;
  style.row = *param->m_EnvParam.m_AttributeCommonParamArray.Search(figure.m_ItemType1, figure.m_ItemType2);
  style.colour = figure.GetColor(param);
  return style;
}

void PutRowLook(ParamWriter& w, const CPlenimetraParam* param, const FigureStyle& style)
{
  const bool fillPensOff = param->m_EnvParam.m_FillPenOff;
  const CAttributeCommonParam& row = style.row;
  w.Put("area_symbol_font", row.m_SymbolFont)
      .Put("area_symbol_size", row.m_SymbolSize)
      .Put("area_size_f", row.m_bSizeFlag)
      .Put("area_dim_size", row.m_DimSize)
      .Put("area_fill", row.m_Fill)
      .Put("area_fill_pen", fillPensOff ? short(0) : row.m_FillPen)
      .Put("area_fill_back_pen", fillPensOff ? short(0) : row.m_FillBackPen);
}

void PutSegmentLook(ParamWriter& w, CPlenimetraParam* param, const FigureStyle& style)
{
  CAreaArcAttr& attr = param->m_EnvParam.m_ArcAttr;
  const double half = 0.5 * style.row.m_DimSize;
  attr.m_size_b_y = half;
  attr.m_size_r_y = half;
  attr.m_size_p_x = -half;
  w.Put("area_fan_disp", attr.m_area_fan_disp)
      .Put("area_fan_line", attr.m_area_fan_line)
      .Put("area_perline_disp", attr.m_area_perline_disp)
      .Put("area_perline_line", attr.m_area_perline_line)
      .Put("area_angle_disp", attr.m_area_angle_disp)
      .Put("area_angle_line", attr.m_area_angle_line)
      .Put("area_symbol_x", attr.m_area_symbol_x)
      .Put("area_symbol_y", attr.m_area_symbol_y)
      .Put("size_b_x", attr.m_size_b_x)
      .Put("size_b_y", attr.m_size_b_y)
      .Put("size_r_x", attr.m_size_r_x)
      .Put("size_r_y", attr.m_size_r_y)
      .Put("size_a_x", attr.m_size_a_x)
      .Put("size_a_y", attr.m_size_a_y)
      .Put("size_p_x", attr.m_size_p_x)
      .Put("size_p_y", attr.m_size_p_y);
  PutRowLook(w, param, style);
}

void PutSegmentPens(ParamWriter& w, const CAreaArcAttr& attr, const FigureStyle& style)
{
  w.Put("area_fan_pen", style.Pen(attr.m_area_fan_pen))
      .Put("area_perline_pen", style.Pen(attr.m_area_perline_pen))
      .Put("area_angle_pen", style.Pen(attr.m_area_angle_pen))
      .Put("area_symbol_pen", style.Pen(style.row.m_SymbolPen))
      .Put("area_cont_pen", style.Pen(style.row.m_ContPen));
}

GSErrCode EditParams(const API_ParamOwnerType& owner, API_GetParamsType& result,
                     const std::function<GSErrCode()>& writes)
{
  API_ParamOwnerType open = owner;
  pln::gsutil::ParamsEditing editing;
  if (GSErrCode err = editing.Open(open); err != NoError)
    return err;
  GSErrCode err = writes();
  if (err == NoError)
    err = ACAPI_Goodies('GPAR', &result);
  if (const GSErrCode closeErr = editing.Close(); err == NoError)
    err = closeErr;
  // A list fetched before a failed close is nobody's to place. (Freeing a
  // handle the host handed out cannot fail, here and below.)
  if (err != NoError)
    (void)ACAPI_DisposeAddParHdl(&result.params);
  return err;
}

// ---- reading a placed part -------------------------------------------------------

PartParams::~PartParams() { (void)ACAPI_DisposeElemMemoHdls(&m_Memo); }  // a destructor has no one to answer

GSErrCode PartParams::Read(const API_Guid& guid)
{
  (void)ACAPI_DisposeElemMemoHdls(&m_Memo);
  m_Memo = API_ElementMemo{};
  const GSErrCode err = ACAPI_Element_GetMemo(guid, &m_Memo, APIMemoMask_AddPars);
  m_Count = err == NoError ? pln::host::AddParCount(m_Memo.params) : 0;
  return err;
}

const API_AddParType* PartParams::Last(const char* name) const
{
  for (Int32 i = m_Count - 1; i >= 0; --i)
    if (std::strncmp((*m_Memo.params)[i].name, name, API_NameLen) == 0)
      return &(*m_Memo.params)[i];
  return nullptr;
}

std::optional<double> PartParams::Real(const char* name) const
{
  const API_AddParType* par = Last(name);
  if (par == nullptr)
    return std::nullopt;
  return par->realValue;
}

GS::UniString PartParams::Text(const char* name) const
{
  const API_AddParType* par = Last(name);
  if (par == nullptr)
    return {};
  const std::u16string text(par->uStrValue, std::char_traits<char16_t>::length(par->uStrValue));
  return GS::UniString(GS::UniString::FromStd(text).ToCStr(CC_Default).Get(), CC_Default);
}

bool IsSoundLength(double metres) { return std::isfinite(metres) && std::fabs(metres) <= KelTol::FigureLengthMax; }

bool AreSoundLengths(std::initializer_list<double> metres)
{
  for (double m : metres)
    if (!IsSoundLength(m))
      return false;
  return true;
}

long long TruncatedArea(double area)
{
  // 2^63 as a double; anything at or beyond it (or NaN) has no 64-bit value.
  constexpr double kLimit = 9223372036854775808.0;
  if (!(std::fabs(area) < kLimit))
    return 0;
  return static_cast<long long>(std::trunc(area));
}

std::vector<GS::UniString> SectorTerms(const CPlenimetraParam* param, long long radius, const CAngleValue& angle)
{
  const GS::UniString r = param->GetLengthStrList(radius);
  return {r, GS::UniString(u"×") + r, GS::UniString(u"×") + PiOf(param).GetStr(),
          GS::UniString(u"×") + angle.GetStr(), GS::UniString(u"÷360")};
}

int WidthOf(double width)
{
  if (!(width == width))
    return 0;
  const double low = static_cast<double>(INT_MIN);
  const double high = static_cast<double>(INT_MAX);
  const double clamped = std::fmin(std::fmax(std::trunc(width), low), high);
  return static_cast<int>(clamped);
}

CPaiTable PiOf(const CPlenimetraParam* param)
{
  if (const CPaiTable* pi = param->GetPai())
    return *pi;
  for (const CPaiTable& row : param->m_PaiTable)
    if (row.m_Code == CRoundTypeParam::kDefaultPaiCode)
      return row;
  return CPaiTable(314, 100, CRoundTypeParam::kDefaultPaiCode);
}

// ---- placing -------------------------------------------------------------------

namespace {

// The host's object record with the placement fields every figure resets.
GSErrCode TakeDefaults(API_Element& element, const Placement& placement)
{
  element = API_Element{};
  element.header.typeID = API_ObjectID;
  if (GSErrCode err = ACAPI_Element_GetDefaults(&element, nullptr); err != NoError)
    return err;
  API_ObjectType& object = element.object;
  object.useObjPens = true;
  object.useObjLtypes = true;
  object.reflected = false;
  object.offset = 0;
  object.level = 0;
  object.bottomOffset = 0;
  object.fixPoint = 1;
  object.lockDistortion = 0;
  object.displayOption = 0;
  if (placement.sizeA)
    object.xRatio = *placement.sizeA;
  if (placement.sizeB)
    object.yRatio = *placement.sizeB;
  return NoError;
}

GSErrCode WriteNewParams(Int32 libInd, API_GetParamsType& result, const std::function<GSErrCode()>& inner)
{
  API_ParamOwnerType owner;
  owner.libInd = libInd;
  return EditParams(owner, result, inner);
}

// Gives the element back when its record or observer could not follow: an
// element without them would come back as a figure at the next opening,
// outside every list and calculation. The failure to register is the one
// the caller hears of.
GSErrCode WithdrawUnregistered(CArea1Object& figure, GSErrCode err)
{
  std::vector<GS::Guid> made{ToGSGuid(figure.m_Element.header.guid)};
  static_cast<void>(CGSUtil::GSDeleteObject(made));
  figure.m_Element.header.guid = APINULLGuid;
  return err;
}

// Creates the element, then its user data and observer on the floor plan.
GSErrCode CreateAndRegister(CPlenimetraParam* param, CArea1Object& figure, API_AddParType**& params)
{
  // A layer that stays shut makes the creation fail, which is returned.
  static_cast<void>(CGSUtil::SetLayerVisibleStatusNew(param->GetLayer(), true));
  static_cast<void>(CGSUtil::SetLayerLockStatus(param->GetLayer(), false));
  API_ElementMemo memo;
  memo.params = params;
  const GSErrCode err = ACAPI_Element_Create(&figure.m_Element, &memo);
  (void)ACAPI_DisposeAddParHdl(&params);
  if (err != NoError)
    return err;
  API_DatabaseInfo current;
  if (GSErrCode dbErr = ACAPI_Database('GDAT', &current); dbErr != NoError)
    return WithdrawUnregistered(figure, dbErr);
  // Sections, elevations and layouts carry no figure records.
  if (current.typeID != APIWind_FloorPlanID)
    return NoError;
  if (GSErrCode saveErr = figure.Save(); saveErr != NoError)
    return WithdrawUnregistered(figure, saveErr);
  if (GSErrCode observeErr = ACAPI_Element_AttachObserver(figure.m_Element.header.guid); observeErr != NoError)
    return WithdrawUnregistered(figure, observeErr);
  return NoError;
}

}  // namespace

GSErrCode PlaceFigure(CPlenimetraParam* param, CArea1Object& figure, const Placement& placement,
                      const std::function<GSErrCode()>& inner)
{
  int libInd = 0;
  if (GSErrCode err = GetLibPartInd(reinterpret_cast<const unsigned short*>(placement.partName), &libInd);
      err != NoError)
    return err;
  API_GetParamsType result;
  if (placement.order == PlaceOrder::kParamsFirst) {
    if (GSErrCode err = WriteNewParams(libInd, result, inner); err != NoError)
      return err;
    if (GSErrCode err = TakeDefaults(figure.m_Element, placement); err != NoError) {
      (void)ACAPI_DisposeAddParHdl(&result.params);
      return err;
    }
  } else {
    if (GSErrCode err = TakeDefaults(figure.m_Element, placement); err != NoError)
      return err;
    if (GSErrCode err = WriteNewParams(libInd, result, inner); err != NoError)
      return err;
  }
  API_Elem_Head& head = figure.m_Element.header;
  head.floorInd = placement.floor;
  head.layer = placement.layer;
  figure.m_Element.object.libInd = libInd;
  figure.m_Element.object.angle = placement.angle;
  figure.m_Element.object.pos = {placement.anchor.m_x, placement.anchor.m_y};
  return CreateAndRegister(param, figure, result.params);
}

// ---- rewriting -----------------------------------------------------------------

namespace {

// NaN on either side counts as a change.
bool Differs(double a, double b) { return !(a == b); }

void TakeGeometry(API_Element& element, const PlacedGeometry& geometry, API_ElementMask& mask)
{
  API_ObjectType& object = element.object;
  if (geometry.sizeA && Differs(object.xRatio, *geometry.sizeA)) {
    object.xRatio = *geometry.sizeA;
    mask.Set(&API_Element::object, &API_ObjectType::xRatio);
  }
  if (geometry.sizeB && Differs(object.yRatio, *geometry.sizeB)) {
    object.yRatio = *geometry.sizeB;
    mask.Set(&API_Element::object, &API_ObjectType::yRatio);
  }
  if (Differs(object.angle, geometry.angle)) {
    object.angle = geometry.angle;
    mask.Set(&API_Element::object, &API_ObjectType::angle);
  }
  if (Differs(object.pos.x, geometry.pos.m_x) || Differs(object.pos.y, geometry.pos.m_y)) {
    object.pos = {geometry.pos.m_x, geometry.pos.m_y};
    mask.Set(&API_Element::object, &API_ObjectType::pos);
  }
}

}  // namespace

GSErrCode RewriteFigure(CArea1Object& figure, const PlacedGeometry& geometry, const std::function<GSErrCode()>& inner)
{
  API_ParamOwnerType owner;
  owner.typeID = API_ObjectID;
  owner.guid = figure.m_Element.header.guid;
  pln::gsutil::ParamsEditing editing;
  if (GSErrCode err = editing.Open(owner); err != NoError)
    return err;
  API_ElementMask mask;
  TakeGeometry(figure.m_Element, geometry, mask);
  // What was written goes ahead even when a write failed: the part keeps
  // its geometry in step with the record.
  inner();
  API_GetParamsType result;
  GSErrCode err = ACAPI_Goodies('GPAR', &result);
  if (const GSErrCode closeErr = editing.Close(); err == NoError)
    err = closeErr;
  if (err != NoError) {
    (void)ACAPI_DisposeAddParHdl(&result.params);
    return err;
  }
  CLayerControl layer(figure.m_Element.header.layer);
  API_ElementMemo memo;
  memo.params = result.params;
  err = ACAPI_Element_Change(&figure.m_Element, &mask, &memo, APIMemoMask_AddPars, true);
  (void)ACAPI_DisposeAddParHdl(&memo.params);
  if (const GSErrCode restored = layer.Reset(); err == NoError)
    err = restored;
  return err;
}

GSErrCode RereadElement(CArea1Object& figure)
{
  API_Element element = figure.m_Element;
  if (GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
    return err;
  figure.m_Element = element;
  return NoError;
}

// ---- labels --------------------------------------------------------------------

bool LabelsDiffer(const PartParams& part, GSErrCode readError,
                  std::initializer_list<std::pair<const char*, GS::UniString>> expected)
{
  // Without the list nothing can be said to be stale.
  if (readError != NoError)
    return false;
  for (const auto& [name, text] : expected)
    if (part.Text(name) != text)
      return true;
  return false;
}

// ---- old user data -----------------------------------------------------------------

bool HasLegacyFields(const CPlenimetraUserDataCore& data)
{
  constexpr int kVersion1MinBytes = 5;
  const short version = data.GetVersion();
  return (version == 1 && data.GetDataSize() >= kVersion1MinBytes) || version == 2;
}

void SkipLegacyDoubles(CPlenimetraUserDataCore& data, int count)
{
  for (int i = 0; i < count; ++i) {
    double dropped = 0;
    data >> dropped;
  }
}

// ---- arcs by centre --------------------------------------------------------------

GSErrCode ReadArcParams(const API_Guid& guid, double* radius, double* degrees)
{
  PartParams part;
  const GSErrCode err = part.Read(guid);
  if (auto value = part.Real("ArcRadius"))
    *radius = *value;
  if (auto value = part.Real("ArcAngle"))
    *degrees = *value * 180.0 / KelAngle::Pi;
  return err;
}

void ReadSoundArcParams(const API_Guid& guid, double* radius, double* degrees)
{
  if (ReadArcParams(guid, radius, degrees) != NoError || !IsSoundLength(*radius) || !std::isfinite(*degrees))
    *radius = *degrees = 0;
}

double SectorShapeArea(double radius, double degrees) { return KelAngle::Pi * (radius * radius) * degrees / 360.0; }

bool SweepFromPicks(const CKelAreaCoord2D& points, double* rotation, double* radius, double* degrees)
{
  *rotation = *radius = *degrees = 0;
  if (points.m_pt.size() < 3)
    return false;
  const CKelCoord2D& centre = points.m_pt[0];
  if (!HasDirection(centre, points.m_pt[1]) || !HasDirection(centre, points.m_pt[2]))
    return false;
  double c = 1;
  double s = 0;
  CalcCosSin(centre, points.m_pt[1], &c, &s, radius);
  *rotation = std::atan2(s, c);
  double c2 = 1;
  double s2 = 0;
  CalcCosSin(centre, points.m_pt[2], &c2, &s2, nullptr);
  double end = std::atan2(s2, c2);
  if (end < *rotation)
    end += KelAngle::TwoPi;
  double sweep = end - *rotation;
  if (sweep <= KelTol::HalfCircle || sweep >= KelAngle::TwoPi - KelTol::HalfCircle)
    sweep = 0;
  *degrees = sweep * KelAngle::DegreesPerRadian;
  return true;
}

// ---- points --------------------------------------------------------------------

bool HasDirection(const CKelCoord2D& a, const CKelCoord2D& b) { return !(a == b); }

CKelCoord2D ToLocal(const CKelCoord2D& p, const CKelCoord2D& o, double c, double s)
{
  const double dx = p.m_x - o.m_x;
  const double dy = p.m_y - o.m_y;
  return {dx * c + dy * s, dy * c - dx * s};
}

CKelCoord2D ToPlan(double u, double v, const CKelCoord2D& o, double a)
{
  const double c = std::cos(a);
  const double s = std::sin(a);
  return {o.m_x + u * c - v * s, o.m_y + u * s + v * c};
}

}  // namespace figures
