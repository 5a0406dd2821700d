#include "CAreaRectSlant.h"

#include "CAffine.h"
#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "FigureFrame.h"
#include "FigureTrace.h"
#include "KelGeometry.h"
#include "host_errors.h"

#include <cmath>

using namespace figures;

namespace {

std::pair<double, double> SoundSizes(const API_Element& element)
{
  const double a = element.object.xRatio;
  const double b = element.object.yRatio;
  return AreSoundLengths({a, b}) ? std::pair{a, b} : std::pair{0.0, 0.0};
}

// Rectangle modes of the host's polygon input.
constexpr Int32 kAxisParallel = 1;
constexpr Int32 kRotated = 2;

GSErrCode TraceRectangle(CKelAreaCoord2D& points, Int32 method)
{
  points.m_pt.assign(4, CKelCoord2D());
  API_Coord3D first;
  if (GSErrCode err = PickPoint(u"第1点目の頂点を指定してください", nullptr, &first); err != NoError)
    return err;
  return PickRectangle(u"第2点目の頂点を指定してください", first, method, points);
}

}  // namespace

CAreaRectSlant::CAreaRectSlant(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                               CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_RECTSLANT, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

bool CAreaRectSlant::GetRectSlantParameter(const CKelAreaCoord2D& points, double* a, double* b, double* angle)
{
  *a = *b = *angle = 0;
  if (points.m_pt.size() < 4)
    return true;
  double c = 1;
  double s = 0;
  CalcCosSin(points.m_pt[0], points.m_pt[1], &c, &s, nullptr);
  *a = length_2point(points.m_pt[0], points.m_pt[1]);
  *b = length_2point(points.m_pt[0], points.m_pt[3]);
  *angle = std::atan2(s, c);
  return true;
}

CKelAreaCoord2D CAreaRectSlant::GetCoord() const
{
  CAffine map;
  map.Init();
  map.Rotate(m_Element.object.angle);
  map.Trans(m_Element.object.pos.x, m_Element.object.pos.y);
  const double a = m_Element.object.xRatio;
  const double b = m_Element.object.yRatio;
  CKelAreaCoord2D coord;
  coord.m_pt = {map.Conv({0, 0}), map.Conv({a, 0}), map.Conv({a, b}), map.Conv({0, b})};
  return coord;
}

long long CAreaRectSlant::GetLength(const CPlenimetraParam* param) const
{
  return param->GetRoundLength(SoundSizes(m_Element).first);
}

long long CAreaRectSlant::GetHeight(const CPlenimetraParam* param) const
{
  return param->GetRoundLength(SoundSizes(m_Element).second);
}

GS::UniString CAreaRectSlant::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const std::vector<GS::UniString> terms{param->GetLengthStrList(GetLength(param)),
                                         GS::UniString(u"×") + param->GetLengthStrList(GetHeight(param))};
  return CArea1Object::GetEquation(param, breakAll, terms, WidthOf(width));
}

long long CAreaRectSlant::GetOrgArea(const CPlenimetraParam* param) const
{
  return GetLength(param) * GetHeight(param);
}

double CAreaRectSlant::GetShapeArea() const
{
  const auto [length, height] = SoundSizes(m_Element);
  return length * height;
}

bool CAreaRectSlant::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  return LabelsDiffer(part, err,
                      {{"x_S", param->GetLengthStrCad(GetLength(param))},
                       {"y_S", param->GetLengthStrCad(GetHeight(param))}});
}

GSErrCode CAreaRectSlant::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

GSErrCode CAreaRectSlant::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  if (points.m_pt.size() < 4 || !HasDirection(points.m_pt[0], points.m_pt[1]))
    return APIERR_CANCEL;
  double a = 0;
  double b = 0;
  double angle = 0;
  GetRectSlantParameter(points, &a, &b, &angle);
  return CreateObject(param, floor, param->GetLayer(), points.m_pt[0], a, b, angle);
}

GSErrCode CAreaRectSlant::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D p0, double a,
                                       double b, double angle)
{
  Placement placement{kPartName, PlaceOrder::kDefaultsFirst, a, b, floor, layer, p0, angle};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, a, b); });
}

GSErrCode CAreaRectSlant::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                                   bool keepLook, double a, double b)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, a, b); });
}

GSErrCode CAreaRectSlant::SetParam(CPlenimetraParam* param, bool keepLook, double a, double b)
{
  const FigureStyle style = StyleOf(param, *this);
  CAreaRectAttr& attr = param->m_EnvParam.m_RectAttr;
  ParamWriter w;
  if (!keepLook) {
    const double half = 0.5 * style.row.m_DimSize;
    attr.m_size_b_y = half;
    attr.m_size_l_x = half;
    attr.m_size_t_y = -half;
    attr.m_size_r_x = -half;
    w.Put("area_in_type", attr.m_area_in_type)
        .Put("area_in_line", attr.m_area_in_line)
        .Put("area_size_f_t", attr.m_area_size_f_t)
        .Put("area_size_f_b", attr.m_area_size_f_b)
        .Put("area_size_f_l", attr.m_area_size_f_l)
        .Put("area_size_f_r", attr.m_area_size_f_r)
        .Put("size_t_x", attr.m_size_t_x)
        .Put("size_t_y", attr.m_size_t_y)
        .Put("size_b_x", attr.m_size_b_x)
        .Put("size_b_y", attr.m_size_b_y)
        .Put("size_l_x", attr.m_size_l_x)
        .Put("size_l_y", attr.m_size_l_y)
        .Put("size_r_x", attr.m_size_r_x)
        .Put("size_r_y", attr.m_size_r_y)
        .Put("area_symbol_x", attr.m_area_symbol_x)
        .Put("area_symbol_y", attr.m_area_symbol_y);
    PutRowLook(w, param, style);
  }
  return w.Put("area_in_pen", style.Pen(attr.m_area_in_pen))
      .Put("area_symbol_pen", style.Pen(style.row.m_SymbolPen))
      .Put("area_cont_pen", style.Pen(style.row.m_ContPen))
      .Put("A", a)
      .Put("B", b)
      .Put("area_symbol_fig", GetMarkStr(param))
      .Put("area_symbol_str", GetItemNoStr(param))
      .Put("x_S", param->GetLengthStrCad(GetLength(param)))
      .Put("y_S", param->GetLengthStrCad(GetHeight(param)))
      .Result();
}

GSErrCode CAreaRectSlant::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D p0, double a, double b,
                                      double angle)
{
  return RewriteFigure(*this, {p0, angle, a, b}, [&] { return SetParam(param, keepLook, a, b); });
}

GSErrCode CAreaRectSlant::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  const API_ObjectType& object = m_Element.object;
  return ChangeParam(param, keepLook, {object.pos.x, object.pos.y}, object.xRatio, object.yRatio, object.angle);
}

GSErrCode CAreaRectTrace::Trace() { return TraceRectangle(*this, kAxisParallel); }

GSErrCode CAreaRectSlantTrace::Trace() { return TraceRectangle(*this, kRotated); }

GSErrCode CAreaRectSlant::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  return CreateObject(param, floor, layer, values.Anchor(), values.m_A, values.m_B, values.m_Angle);
}
