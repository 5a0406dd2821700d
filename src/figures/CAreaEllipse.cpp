#include "CAreaEllipse.h"

#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "FigureFrame.h"
#include "FigureTrace.h"
#include "KelGeometry.h"
#include "host_errors.h"

#include <cmath>

using namespace figures;

CAreaEllipseTrace* CAreaEllipseTrace::pAreaEllipse = nullptr;

namespace {

// The record's sizes of every placed ellipse.
constexpr double kUnitSize = 1.0;

}  // namespace

CAreaEllipse::CAreaEllipse(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                           CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_ELLIPSE, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

bool CAreaEllipse::GetEllipseParameter(const CKelAreaCoord2D& points, double* radiusX, double* radiusY,
                                       double* rotation)
{
  *radiusX = *radiusY = *rotation = 0;
  if (points.m_pt.size() < 3)
    return true;
  const CKelCoord2D& p0 = points.m_pt[0];
  const CKelCoord2D& p1 = points.m_pt[1];
  const CKelCoord2D& p2 = points.m_pt[2];
  double c = 1;
  double s = 0;
  *radiusX = length_2point(p0, p1);
  CalcCosSin(p0, p1, &c, &s, nullptr);
  *radiusY = std::fabs((p2.m_y - p0.m_y) * c - (p2.m_x - p0.m_x) * s);
  *rotation = std::atan2(p1.m_y - p0.m_y, p1.m_x - p0.m_x);
  return true;
}

GSErrCode CAreaEllipse::GetParam(double* radiusX, double* radiusY) const
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  if (auto value = part.Real("ArcRadiusX"))
    *radiusX = *value;
  if (auto value = part.Real("ArcRadiusY"))
    *radiusY = *value;
  return err;
}

std::pair<long long, long long> CAreaEllipse::Measure(const CPlenimetraParam* param) const
{
  double a = 0;
  double b = 0;
  if (GetParam(&a, &b) != NoError || !AreSoundLengths({a, b}))
    return {0, 0};
  return {param->GetRoundLength(a), param->GetRoundLength(b)};
}

long long CAreaEllipse::GetRadiusX(const CPlenimetraParam* param) const { return Measure(param).first; }
long long CAreaEllipse::GetRadiusY(const CPlenimetraParam* param) const { return Measure(param).second; }

GS::UniString CAreaEllipse::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const auto [a, b] = Measure(param);
  const std::vector<GS::UniString> terms{param->GetLengthStrList(a), GS::UniString(u"×") + param->GetLengthStrList(b),
                                         GS::UniString(u"×") + PiOf(param).GetStr()};
  return CArea1Object::GetEquation(param, breakAll, terms, WidthOf(width));
}

long long CAreaEllipse::GetOrgArea(const CPlenimetraParam* param) const
{
  const CPaiTable pi = PiOf(param);
  const auto [a, b] = Measure(param);
  const double x = static_cast<double>(a);
  const double y = static_cast<double>(b);
  return TruncatedArea(static_cast<double>(pi.m_Numerator) * (y * x) / static_cast<double>(pi.m_Denominator));
}

bool CAreaEllipse::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  double a = part.Real("ArcRadiusX").value_or(0);
  double b = part.Real("ArcRadiusY").value_or(0);
  if (!AreSoundLengths({a, b}))
    a = b = 0;
  return LabelsDiffer(part, err,
                      {{"radiusX_S", param->GetLengthStrCad(param->GetRoundLength(a))},
                       {"radiusY_S", param->GetLengthStrCad(param->GetRoundLength(b))}});
}

void CAreaEllipse::Serialize(CPlenimetraUserDataCore& data)
{
  CArea1Object::Serialize(data);
  if (data.IsOpen() && HasLegacyFields(data))
    SkipLegacyDoubles(data, 2);
}

GSErrCode CAreaEllipse::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

GSErrCode CAreaEllipse::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  if (points.m_pt.size() < 3 || !HasDirection(points.m_pt[0], points.m_pt[1]))
    return APIERR_CANCEL;
  double a = 0;
  double b = 0;
  double rotation = 0;
  GetEllipseParameter(points, &a, &b, &rotation);
  return CreateObject(param, floor, param->GetLayer(), points.m_pt[0], a, b, rotation);
}

GSErrCode CAreaEllipse::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D centre,
                                     double radiusX, double radiusY, double rotation)
{
  Placement placement{kPartName, PlaceOrder::kDefaultsFirst, kUnitSize, kUnitSize, floor, layer, centre, rotation};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, radiusX, radiusY); });
}

GSErrCode CAreaEllipse::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                                 bool keepLook, double radiusX, double radiusY)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, radiusX, radiusY); });
}

GSErrCode CAreaEllipse::SetParam(CPlenimetraParam* param, bool keepLook, double radiusX, double radiusY)
{
  const FigureStyle style = StyleOf(param, *this);
  const CAreaEllipseAttr& attr = param->m_EnvParam.m_EllipseAttr;
  ParamWriter w;
  if (!keepLook) {
    w.Put("area_fan_disp", attr.m_area_fan_disp)
        .Put("area_fan_line", attr.m_area_fan_line)
        .Put("area_symbol_x", attr.m_area_symbol_x)
        .Put("area_symbol_y", attr.m_area_symbol_y)
        .Put("size_rx_x", attr.m_size_rx_x)
        .Put("size_rx_y", attr.m_size_rx_y)
        .Put("size_ry_x", attr.m_size_ry_x)
        .Put("size_ry_y", attr.m_size_ry_y);
    PutRowLook(w, param, style);
  }
  w.Put("area_fan_pen", style.Pen(attr.m_area_fan_pen))
      .Put("area_symbol_pen", style.Pen(style.row.m_SymbolPen))
      .Put("area_cont_pen", style.Pen(style.row.m_ContPen))
      .Put("ArcRadiusX", radiusX)
      .Put("ArcRadiusY", radiusY)
      .Put("area_symbol_str", GetItemNoStr(param))
      .Put("area_symbol_fig", GetMarkStr(param));
  // The labels show the radii stored on the part.
  const auto [a, b] = Measure(param);
  return w.Put("radiusX_S", param->GetLengthStrCad(a)).Put("radiusY_S", param->GetLengthStrCad(b)).Result();
}

GSErrCode CAreaEllipse::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D centre, double radiusX,
                                    double radiusY, double rotation)
{
  return RewriteFigure(*this, {centre, rotation, std::nullopt, std::nullopt},
                       [&] { return SetParam(param, keepLook, radiusX, radiusY); });
}

GSErrCode CAreaEllipse::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  double a = 0;
  double b = 0;
  if (GSErrCode err = GetParam(&a, &b); err != NoError)
    return err;
  return ChangeParam(param, keepLook, {m_Element.object.pos.x, m_Element.object.pos.y}, a, b,
                     m_Element.object.angle);
}

CAreaEllipseTrace::CAreaEllipseTrace() { m_pt.assign(3, CKelCoord2D()); }

GSErrCode CAreaEllipseTrace::Trace()
{
  pAreaEllipse = this;
  m_pt.resize(3);
  API_Coord3D centre;
  if (GSErrCode err = PickPoint(u"楕円の中心点を指定してください", nullptr, &centre); err != NoError)
    return err;
  m_pt[0] = {centre.x, centre.y};
  API_Coord3D vertex;
  if (GSErrCode err = PickLineEnd(u"楕円のX軸上頂点を指定してください", centre, nullptr, &vertex); err != NoError)
    return err;
  m_pt[1] = {vertex.x, vertex.y};
  API_Coord3D third;
  if (GSErrCode err = PickPoint(u"楕円のY軸上頂点を指定してください", RubberCallBackEllipse, &third);
      err != NoError)
    return err;
  m_pt[2] = {third.x, third.y};
  return NoError;
}

void CAreaEllipseTrace::RubberCallBackEllipse(const API_RubberLineInfo* info)
{
  const CAreaEllipseTrace& trace = *pAreaEllipse;
  const CKelCoord2D& p0 = trace.m_pt[0];
  double c = 1;
  double s = 0;
  double len = 0;
  CalcCosSin(p0, trace.m_pt[1], &c, &s, &len);
  const double z = info->actCoord.z;
  DrawRubberLine({p0.m_x - len * c, p0.m_y - len * s}, {p0.m_x + len * c, p0.m_y + len * s}, z);
  const double d = c * (info->actCoord.y - p0.m_y) - s * (info->actCoord.x - p0.m_x);
  // On the axis (or not a number) there is no second diameter to show.
  if (!(d > 0 || d < 0))
    return;
  DrawRubberLine({p0.m_x - s * d, p0.m_y + c * d}, {p0.m_x + s * d, p0.m_y - c * d}, z);
}

GSErrCode CAreaEllipse::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  return CreateObject(param, floor, layer, values.Anchor(), values.Shape(0), values.Shape(1), values.m_Angle);
}
