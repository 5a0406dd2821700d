#include "CAreaTriangle.h"

#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "FigureFrame.h"
#include "FigureTrace.h"
#include "KelGeometry.h"
#include "host_errors.h"

#include <cmath>

using namespace figures;

CAreaTriangleTrace* CAreaTriangleTrace::pAreaTriangle = nullptr;

namespace {

// Part sizes A and B as the measurements may use them: both zero when
// either cannot be (a part edited beyond sound values).
std::pair<double, double> SoundSizes(const API_Element& element)
{
  const double a = element.object.xRatio;
  const double b = element.object.yRatio;
  return AreSoundLengths({a, b}) ? std::pair{a, b} : std::pair{0.0, 0.0};
}

}  // namespace

CAreaTriangle::CAreaTriangle(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                             CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_TRIANGLE, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

// ---- geometry ------------------------------------------------------------------

bool CAreaTriangle::GetTriangleParameter(const CKelAreaCoord2D& points, double* base, double* height, double* dx,
                                         double* angle)
{
  *base = *height = *dx = *angle = 0;
  if (points.m_pt.size() < 3)
    return false;
  const CKelCoord2D& p0 = points.m_pt[0];
  double c = 1;
  double s = 0;
  if (!HasDirection(p0, points.m_pt[1]) || !CalcCosSin(p0, points.m_pt[1], &c, &s, nullptr))
    return false;
  *angle = std::atan2(s, c);
  *base = ToLocal(points.m_pt[1], p0, c, s).m_x;
  const CKelCoord2D apex = ToLocal(points.m_pt[2], p0, c, s);
  *height = apex.m_y;
  *dx = apex.m_x;
  return *base > *dx && *dx > 0;
}

CKelAreaCoord2D CAreaTriangle::Rotation(const CKelAreaCoord2D& points)
{
  CKelAreaCoord2D turned = points;
  if (points.m_pt.size() >= 3)
    turned.m_pt = {points.m_pt[1], points.m_pt[2], points.m_pt[0]};
  return turned;
}

GSErrCode CAreaTriangle::GetParam(double* dx) const
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  if (err == NoError)
    if (auto value = part.Real("dx"))
      *dx = *value;
  return err;
}

CKelAreaCoord2D CAreaTriangle::GetCoord()
{
  CKelAreaCoord2D coord;
  double dx = 0;
  if (RereadElement(*this) != NoError || GetParam(&dx) != NoError)
    return coord;
  const CKelCoord2D pos{m_Element.object.pos.x, m_Element.object.pos.y};
  const double a = m_Element.object.angle;
  coord.m_pt = {pos, ToPlan(m_Element.object.xRatio, 0, pos, a), ToPlan(dx, m_Element.object.yRatio, pos, a)};
  return coord;
}

long long CAreaTriangle::GetLength(const CPlenimetraParam* param) const
{
  return param->GetRoundLength(SoundSizes(m_Element).first);
}

long long CAreaTriangle::GetHeight(const CPlenimetraParam* param) const
{
  return param->GetRoundLength(SoundSizes(m_Element).second);
}

// ---- measuring -------------------------------------------------------------------

GS::UniString CAreaTriangle::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const std::vector<GS::UniString> terms{param->GetLengthStrList(GetLength(param)),
                                         GS::UniString(u"×") + param->GetLengthStrList(GetHeight(param)),
                                         GS::UniString(u"÷2")};
  return CArea1Object::GetEquation(param, breakAll, terms, WidthOf(width));
}

long long CAreaTriangle::GetOrgArea(const CPlenimetraParam* param) const
{
  return GetLength(param) * GetHeight(param) / 2;
}

double CAreaTriangle::GetShapeArea() const
{
  const auto [base, height] = SoundSizes(m_Element);
  return base * height / 2;
}

bool CAreaTriangle::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  return LabelsDiffer(part, err,
                      {{"Base_S", param->GetLengthStrCad(GetLength(param))},
                       {"Height_S", param->GetLengthStrCad(GetHeight(param))}});
}

void CAreaTriangle::Serialize(CPlenimetraUserDataCore& data)
{
  CArea1Object::Serialize(data);
  if (data.IsOpen() && HasLegacyFields(data))
    SkipLegacyDoubles(data, 1);
}

GSErrCode CAreaTriangle::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

// ---- placing and rewriting -------------------------------------------------------

GSErrCode CAreaTriangle::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  double base = 0;
  double height = 0;
  double dx = 0;
  double angle = 0;
  bool inside = GetTriangleParameter(points, &base, &height, &dx, &angle);
  // Each next order puts the following edge under the apex.
  for (int turn = 0; turn < 2 && !inside && param->m_EnvParam.m_TriangleAttr.m_bVertexOrder; ++turn) {
    points = Rotation(points);
    inside = GetTriangleParameter(points, &base, &height, &dx, &angle);
  }
  if (param->m_EnvParam.m_TriangleAttr.m_bVertexOrder && !inside)
    return APIERR_CANCEL;
  if (points.m_pt.size() < 3 || !HasDirection(points.m_pt[0], points.m_pt[1]))
    return APIERR_CANCEL;
  return CreateObject(param, floor, param->GetLayer(), points.m_pt[0], base, height, dx, angle);
}

GSErrCode CAreaTriangle::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D p0,
                                      double base, double height, double dx, double angle)
{
  Placement placement{kPartName, PlaceOrder::kDefaultsFirst, base, height, floor, layer, p0, angle};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, base, height, dx); });
}

GSErrCode CAreaTriangle::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                                  bool keepLook, double base, double height, double dx)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, base, height, dx); });
}

GSErrCode CAreaTriangle::SetParam(CPlenimetraParam* param, bool keepLook, double base, double height, double dx)
{
  const FigureStyle style = StyleOf(param, *this);
  CAreaTriangleAttr& attr = param->m_EnvParam.m_TriangleAttr;
  ParamWriter w;
  if (!keepLook) {
    attr.m_size_b_y = 0.5 * style.row.m_DimSize;
    attr.m_size_p_x = 0.5 * style.row.m_DimSize;
    w.Put("area_in_type", attr.m_area_in_type)
        .Put("area_in_line", attr.m_area_in_line)
        .Put("area_perline_form", attr.m_area_perline_form)
        .Put("area_perline_line", attr.m_area_perline_line)
        .Put("area_perline_Size", attr.m_area_perline_Size)
        .Put("area_symbol_x", attr.m_area_symbol_x)
        .Put("area_symbol_y", attr.m_area_symbol_y)
        .Put("size_b_x", attr.m_size_b_x)
        .Put("size_b_y", attr.m_size_b_y)
        .Put("size_p_x", attr.m_size_p_x)
        .Put("size_p_y", attr.m_size_p_y);
    PutRowLook(w, param, style);
  }
  w.Put("area_in_pen", style.Pen(attr.m_area_in_pen))
      .Put("area_perline_pen", style.Pen(attr.m_area_perline_pen))
      .Put("area_symbol_pen", style.Pen(style.row.m_SymbolPen))
      .Put("area_cont_pen", style.Pen(style.row.m_ContPen))
      .Put("A", base)
      .Put("B", height)
      .Put("dx", dx)
      .Put("area_symbol_fig", GetMarkStr(param))
      .Put("area_symbol_str", GetItemNoStr(param));
  const bool sound = AreSoundLengths({base, height});
  return w.Put("Base_S", param->GetLengthStrCad(sound ? param->GetRoundLength(base) : 0))
      .Put("Height_S", param->GetLengthStrCad(sound ? param->GetRoundLength(height) : 0))
      .Result();
}

GSErrCode CAreaTriangle::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D p0, double base,
                                     double height, double dx, double angle)
{
  return RewriteFigure(*this, {p0, angle, base, height}, [&] { return SetParam(param, keepLook, base, height, dx); });
}

GSErrCode CAreaTriangle::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  const CKelAreaCoord2D coord = GetCoord();
  if (coord.m_pt.size() != 3)
    return NoError;
  double base = 0;
  double height = 0;
  double dx = 0;
  double angle = 0;
  GetTriangleParameter(coord, &base, &height, &dx, &angle);
  return ChangeParam(param, keepLook, coord.m_pt[0], base, height, dx, angle);
}

GSErrCode CAreaTriangle::Rotation(CPlenimetraParam* param)
{
  const CKelAreaCoord2D coord = GetCoord();
  if (coord.m_pt.size() != 3)
    return NoError;
  const CKelAreaCoord2D turned = Rotation(coord);
  double base = 0;
  double height = 0;
  double dx = 0;
  double angle = 0;
  GetTriangleParameter(turned, &base, &height, &dx, &angle);
  return ChangeParam(param, true, turned.m_pt[0], base, height, dx, angle);
}

// ---- input -------------------------------------------------------------------------

GSErrCode CAreaTriangleTrace::Trace()
{
  m_pt.assign(3, CKelCoord2D());
  pAreaTriangle = this;
  API_Coord3D first;
  if (GSErrCode err = PickPoint(u"第1点目の頂点を指定してください", nullptr, &first); err != NoError)
    return err;
  m_pt[0] = {first.x, first.y};
  API_Coord3D second;
  if (GSErrCode err = PickLineEnd(u"第2点目の頂点を指定してください", first, nullptr, &second); err != NoError)
    return err;
  m_pt[1] = {second.x, second.y};
  API_Coord3D third;
  if (GSErrCode err = PickPoint(u"第3点目の頂点を指定してください", RubberCallBackTriangle, &third);
      err != NoError)
    return err;
  SetArea();
  return NoError;
}

void CAreaTriangleTrace::RubberCallBackTriangle(const API_RubberLineInfo* info)
{
  CAreaTriangleTrace& trace = *pAreaTriangle;
  trace.m_pt[2] = {info->actCoord.x, info->actCoord.y};
  DrawRubberOutline({trace.m_pt[2], trace.m_pt[0], trace.m_pt[1]}, info->actCoord.z);
}

GSErrCode CAreaTriangle::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  return CreateObject(param, floor, layer, values.Anchor(), values.m_A, values.m_B, values.Shape(0), values.m_Angle);
}
