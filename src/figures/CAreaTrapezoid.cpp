#include "CAreaTrapezoid.h"

#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "FigureFrame.h"
#include "FigureTrace.h"
#include "KelGeometry.h"
#include "host_errors.h"

#include <cmath>
#include <utility>

using namespace figures;

CAreaTrapezoidTrace* CAreaTrapezoidTrace::pAreaTrapezoid = nullptr;

// Rounded bottom, height and top of one reading of the part.
struct CAreaTrapezoid::Dims {
  long long bottom = 0;
  long long height = 0;
  long long top = 0;
};

CAreaTrapezoid::CAreaTrapezoid(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                               CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_TRAPEZOID, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

// ---- geometry ------------------------------------------------------------------

bool CAreaTrapezoid::GetTrapezoidParameter(const CKelAreaCoord2D& points, double* bottom, double* height, double* dx,
                                           double* dx2, double* angle)
{
  *bottom = *height = *dx = *dx2 = *angle = 0;
  if (points.m_pt.size() < 4)
    return true;
  const CKelCoord2D& p0 = points.m_pt[0];
  double c = 1;
  double s = 0;
  if (!CalcCosSin(p0, points.m_pt[1], &c, &s, nullptr))
    return true;
  *angle = std::atan2(s, c);
  *bottom = length_2point(p0, points.m_pt[1]);
  const CKelCoord2D p2 = ToLocal(points.m_pt[2], p0, c, s);
  *height = p2.m_y;
  *dx2 = p2.m_x;
  *dx = ToLocal(points.m_pt[3], p0, c, s).m_x;
  return true;
}

GSErrCode CAreaTrapezoid::GetParam(double* dx, double* dx2) const
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  if (auto value = part.Real("dx"))
    *dx = *value;
  if (auto value = part.Real("dx2"))
    *dx2 = *value;
  return err;
}

CKelAreaCoord2D CAreaTrapezoid::GetCoord() const
{
  CKelAreaCoord2D coord;
  double dx = 0;
  double dx2 = 0;
  if (GetParam(&dx, &dx2) != NoError)
    return coord;
  const API_ObjectType& object = m_Element.object;
  const CKelCoord2D pos{object.pos.x, object.pos.y};
  coord.m_pt = {pos, ToPlan(object.xRatio, 0, pos, object.angle), ToPlan(dx2, object.yRatio, pos, object.angle),
                ToPlan(dx, object.yRatio, pos, object.angle)};
  return coord;
}

CAreaTrapezoid::Dims CAreaTrapezoid::Measure(const CPlenimetraParam* param) const
{
  double dx = 0;
  double dx2 = 0;
  if (GetParam(&dx, &dx2) != NoError)
    dx = dx2 = 0;
  const double a = m_Element.object.xRatio;
  const double b = m_Element.object.yRatio;
  if (!AreSoundLengths({a, b, dx, dx2}))
    return {};
  return {param->GetRoundLength(a), param->GetRoundLength(b), param->GetRoundLength(dx2 - dx)};
}

long long CAreaTrapezoid::GetLength(const CPlenimetraParam* param) const { return Measure(param).bottom; }
long long CAreaTrapezoid::GetHeight(const CPlenimetraParam* param) const { return Measure(param).height; }
long long CAreaTrapezoid::GetLength2(const CPlenimetraParam* param) const { return Measure(param).top; }

// ---- measuring -------------------------------------------------------------------

GS::UniString CAreaTrapezoid::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const Dims d = Measure(param);
  const std::vector<GS::UniString> terms{
      GS::UniString(u"(") + param->GetLengthStrList(d.top),
      GS::UniString(u"＋") + param->GetLengthStrList(d.bottom) + u")",
      GS::UniString(u"×") + param->GetLengthStrList(d.height), GS::UniString(u"÷2")};
  return CArea1Object::GetEquation(param, breakAll, terms, WidthOf(width));
}

long long CAreaTrapezoid::GetOrgArea(const CPlenimetraParam* param) const
{
  const Dims d = Measure(param);
  return (d.bottom + d.top) * d.height / 2;
}

double CAreaTrapezoid::GetShapeArea() const
{
  double dx = 0;
  double dx2 = 0;
  if (GetParam(&dx, &dx2) != NoError)
    return 0;
  const double bottom = m_Element.object.xRatio;
  const double height = m_Element.object.yRatio;
  if (!AreSoundLengths({bottom, height, dx, dx2}))
    return 0;
  return (bottom + (dx2 - dx)) * height / 2;
}

bool CAreaTrapezoid::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  double dx = part.Real("dx").value_or(0);
  double dx2 = part.Real("dx2").value_or(0);
  double a = m_Element.object.xRatio;
  double b = m_Element.object.yRatio;
  if (!AreSoundLengths({a, b, dx, dx2}))
    a = b = dx = dx2 = 0;
  return LabelsDiffer(part, err,
                      {{"t_S", param->GetLengthStrCad(param->GetRoundLength(dx2 - dx))},
                       {"b_S", param->GetLengthStrCad(param->GetRoundLength(a))},
                       {"y_S", param->GetLengthStrCad(param->GetRoundLength(b))}});
}

void CAreaTrapezoid::Serialize(CPlenimetraUserDataCore& data)
{
  CArea1Object::Serialize(data);
  if (data.IsOpen() && HasLegacyFields(data))
    SkipLegacyDoubles(data, 2);
}

GSErrCode CAreaTrapezoid::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

// ---- placing and rewriting -------------------------------------------------------

GSErrCode CAreaTrapezoid::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  if (points.m_pt.size() < 4 || !HasDirection(points.m_pt[0], points.m_pt[1]))
    return APIERR_CANCEL;
  double bottom = 0;
  double height = 0;
  double dx = 0;
  double dx2 = 0;
  double angle = 0;
  GetTrapezoidParameter(points, &bottom, &height, &dx, &dx2, &angle);
  return CreateObject(param, floor, param->GetLayer(), points.m_pt[0], bottom, height, dx, dx2, angle);
}

GSErrCode CAreaTrapezoid::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D anchor,
                                       double bottom, double height, double dx, double dx2, double angle)
{
  Placement placement{kPartName, PlaceOrder::kDefaultsFirst, bottom, height, floor, layer, anchor, angle};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, bottom, height, dx, dx2); });
}

GSErrCode CAreaTrapezoid::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                                   bool keepLook, double bottom, double height, double dx, double dx2)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, bottom, height, dx, dx2); });
}

GSErrCode CAreaTrapezoid::SetParam(CPlenimetraParam* param, bool keepLook, double bottom, double height, double dx,
                                   double dx2)
{
  const FigureStyle style = StyleOf(param, *this);
  CAreaTrapezoidAttr& attr = param->m_EnvParam.m_TrapezoidAttr;
  ParamWriter w;
  if (!keepLook) {
    const double half = 0.5 * style.row.m_DimSize;
    attr.m_size_t_y = -half;
    attr.m_size_b_y = half;
    attr.m_size_p_x = half;
    w.Put("area_in_type", attr.m_area_in_type)
        .Put("area_in_line", attr.m_area_in_line)
        .Put("area_perline_form", attr.m_area_perline_form)
        .Put("area_perline_line", attr.m_area_perline_line)
        .Put("area_perline_type", attr.m_area_perline_type)
        .Put("area_perline_Size", attr.m_area_perline_Size)
        .Put("area_symbol_x", attr.m_area_symbol_x)
        .Put("area_symbol_y", attr.m_area_symbol_y)
        .Put("size_t_x", attr.m_size_t_x)
        .Put("size_t_y", attr.m_size_t_y)
        .Put("size_b_x", attr.m_size_b_x)
        .Put("size_b_y", attr.m_size_b_y)
        .Put("size_p_x", attr.m_size_p_x)
        .Put("size_p_y", attr.m_size_p_y);
    PutRowLook(w, param, style);
  }
  // The labels show what is written: the record's A and B were set to the
  // new bottom and height before the parameters.
  const bool sound = AreSoundLengths({m_Element.object.xRatio, m_Element.object.yRatio, dx, dx2});
  const auto label = [&](double metres) { return param->GetLengthStrCad(sound ? param->GetRoundLength(metres) : 0); };
  return w.Put("area_in_pen", style.Pen(attr.m_area_in_pen))
      .Put("area_perline_pen", style.Pen(attr.m_area_perline_pen))
      .Put("area_symbol_pen", style.Pen(style.row.m_SymbolPen))
      .Put("area_cont_pen", style.Pen(style.row.m_ContPen))
      .Put("A", bottom)
      .Put("B", height)
      .Put("dx", dx)
      .Put("dx2", dx2)
      .Put("area_symbol_str", GetItemNoStr(param))
      .Put("area_symbol_fig", GetMarkStr(param))
      .Put("t_S", label(dx2 - dx))
      .Put("b_S", label(m_Element.object.xRatio))
      .Put("y_S", label(m_Element.object.yRatio))
      .Result();
}

GSErrCode CAreaTrapezoid::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D anchor, double bottom,
                                      double height, double dx, double dx2, double angle)
{
  return RewriteFigure(*this, {anchor, angle, bottom, height},
                       [&] { return SetParam(param, keepLook, bottom, height, dx, dx2); });
}

GSErrCode CAreaTrapezoid::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  double dx = 0;
  double dx2 = 0;
  if (GSErrCode err = GetParam(&dx, &dx2); err != NoError)
    return err;
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  const API_ObjectType& object = m_Element.object;
  return ChangeParam(param, keepLook, {object.pos.x, object.pos.y}, object.xRatio, object.yRatio, dx, dx2,
                     object.angle);
}

GSErrCode CAreaTrapezoid::Rotation(CPlenimetraParam* param)
{
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  const CKelAreaCoord2D c = GetCoord();
  if (c.m_pt.size() != 4)
    return NoError;
  CKelAreaCoord2D turned;
  turned.m_pt = {c.m_pt[2], c.m_pt[3], c.m_pt[0], c.m_pt[1]};
  double bottom = 0;
  double height = 0;
  double dx = 0;
  double dx2 = 0;
  double angle = 0;
  GetTrapezoidParameter(turned, &bottom, &height, &dx, &dx2, &angle);
  return ChangeParam(param, true, turned.m_pt[0], bottom, height, dx, dx2, angle);
}

// ---- input -------------------------------------------------------------------------

GSErrCode CAreaTrapezoidTrace::Trace()
{
  m_pt.assign(4, CKelCoord2D());
  pAreaTrapezoid = this;
  API_Coord3D p0;
  if (GSErrCode err = PickPoint(u"第1点目の頂点を指定してください", nullptr, &p0); err != NoError)
    return err;
  m_pt[0] = {p0.x, p0.y};
  API_Coord3D p1;
  if (GSErrCode err = PickLineEnd(u"第2点目の頂点を指定してください", p0, nullptr, &p1); err != NoError)
    return err;
  m_pt[1] = {p1.x, p1.y};
  API_Coord3D p2;
  if (GSErrCode err = PickLineEnd(u"第3点目の頂点を指定してください", p1, RubberCallBackButtomLine, &p2);
      err != NoError)
    return err;
  m_pt[2] = {p2.x, p2.y};
  API_Coord3D click;
  if (GSErrCode err = PickPoint(u"第4点目の頂点を指定してください", RubberCallBackTrapezoid, &click); err != NoError)
    return err;
  FixTopOrder();
  SetArea();
  return NoError;
}

void CAreaTrapezoidTrace::FixTopOrder()
{
  // Judged in the base's own frame: comparing x components alone fails for
  // a base near the y axis, where the outline then crosses itself.
  double c = 1;
  double s = 0;
  if (!CalcCosSin(m_pt[0], m_pt[1], &c, &s, nullptr))
    return;
  if (ToLocal(m_pt[3], m_pt[0], c, s).m_x > ToLocal(m_pt[2], m_pt[0], c, s).m_x)
    std::swap(m_pt[2], m_pt[3]);
}

void CAreaTrapezoidTrace::RubberCallBackButtomLine(const API_RubberLineInfo* info)
{
  const CAreaTrapezoidTrace& trace = *pAreaTrapezoid;
  DrawRubberLine(trace.m_pt[0], trace.m_pt[1], info->actCoord.z);
}

void CAreaTrapezoidTrace::RubberCallBackTrapezoid(const API_RubberLineInfo* info)
{
  CAreaTrapezoidTrace& trace = *pAreaTrapezoid;
  const CKelCoord2D& p0 = trace.m_pt[0];
  const CKelCoord2D& p1 = trace.m_pt[1];
  const CKelCoord2D& p2 = trace.m_pt[2];
  const CKelCoord2D q{p2.m_x - (p1.m_x - p0.m_x), p2.m_y - (p1.m_y - p0.m_y)};
  trace.m_pt[3] = get_vtpoint(q, p2, {info->actCoord.x, info->actCoord.y});
  DrawRubberOutline({trace.m_pt[3], trace.m_pt[0], trace.m_pt[1], trace.m_pt[2]}, info->actCoord.z);
}

GSErrCode CAreaTrapezoid::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  return CreateObject(param, floor, layer, values.Anchor(), values.m_A, values.m_B, values.Shape(0), values.Shape(1),
                      values.m_Angle);
}
