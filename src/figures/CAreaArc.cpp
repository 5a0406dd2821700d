#include "CAreaArc.h"

#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "FigureFrame.h"
#include "FigureTrace.h"
#include "KelTolerance.h"
#include "host_errors.h"

#include <cmath>

using namespace figures;

// Rounded radius and sweep of one reading of the part.
struct CAreaArc::Dims {
  long long radius = 0;
  CAngleValue angle;
};

CAreaArc::CAreaArc(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                   CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_ARC, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

bool CAreaArc::GetArcCenterParameter(const CKelAreaCoord2D& points, double* rotation, double* radius,
                                     double* angleDeg)
{
  SweepFromPicks(points, rotation, radius, angleDeg);
  return true;
}

GSErrCode CAreaArc::GetParam(double* radius, double* angleDeg) const
{
  return ReadArcParams(m_Element.header.guid, radius, angleDeg);
}

CAreaArc::Dims CAreaArc::Measure(const CPlenimetraParam* param) const
{
  double r = 0;
  double deg = 0;
  ReadSoundArcParams(m_Element.header.guid, &r, &deg);
  return {param->GetRoundLength(r), CAngleValue(param->GetAngleDefaultRoundType(), deg)};
}

long long CAreaArc::GetRadius(const CPlenimetraParam* param) const { return Measure(param).radius; }
CAngleValue CAreaArc::GetAngle(const CPlenimetraParam* param) const { return Measure(param).angle; }

CKelAreaCoord2D CAreaArc::GetCoord() const
{
  CKelAreaCoord2D coord;
  double r = 0;
  double deg = 0;
  if (GetParam(&r, &deg) != NoError)
    return coord;
  const CKelCoord2D centre{m_Element.object.pos.x, m_Element.object.pos.y};
  const double start = m_Element.object.angle;
  const double end = start + deg * KelAngle::Pi / 180.0;
  coord.m_pt = {centre, ToPlan(r, 0, centre, start), ToPlan(r, 0, centre, end)};
  return coord;
}

GS::UniString CAreaArc::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const Dims d = Measure(param);
  return CArea1Object::GetEquation(param, breakAll, SectorTerms(param, d.radius, d.angle), WidthOf(width));
}

long long CAreaArc::GetOrgArea(const CPlenimetraParam* param) const
{
  const CPaiTable pi = PiOf(param);
  const Dims d = Measure(param);
  const double x = static_cast<double>(d.radius);
  const double t = static_cast<double>(pi.m_Numerator) * (x * x) / static_cast<double>(pi.m_Denominator);
  const double u = static_cast<double>(d.angle.m_Value) * t / static_cast<double>(d.angle.m_Scale) / 360.0;
  return TruncatedArea(u);
}

double CAreaArc::GetShapeArea() const
{
  double r = 0;
  double deg = 0;
  ReadSoundArcParams(m_Element.header.guid, &r, &deg);
  return SectorShapeArea(r, deg);
}

bool CAreaArc::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  double r = part.Real("ArcRadius").value_or(0);
  double deg = part.Real("ArcAngle").value_or(0) * 180.0 / KelAngle::Pi;
  if (!IsSoundLength(r) || !std::isfinite(deg))
    r = deg = 0;
  return LabelsDiffer(part, err,
                      {{"radius_S", param->GetLengthStrCad(param->GetRoundLength(r))},
                       {"arcAngle_S", CAngleValue(param->GetAngleDefaultRoundType(), deg).GetStr()}});
}

void CAreaArc::Serialize(CPlenimetraUserDataCore& data)
{
  CArea1Object::Serialize(data);
  if (data.IsOpen() && HasLegacyFields(data))
    SkipLegacyDoubles(data, 2);
}

GSErrCode CAreaArc::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

GSErrCode CAreaArc::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  double rotation = 0;
  double radius = 0;
  double sweep = 0;
  if (!SweepFromPicks(points, &rotation, &radius, &sweep))
    return APIERR_CANCEL;
  return CreateObject(param, floor, param->GetLayer(), points.m_pt[0], rotation, radius, sweep);
}

GSErrCode CAreaArc::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D centre,
                                 double rotation, double radius, double angleDeg)
{
  Placement placement{kPartName, PlaceOrder::kParamsFirst, std::nullopt, std::nullopt, floor, layer, centre, rotation};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, radius, angleDeg); });
}

GSErrCode CAreaArc::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                             bool keepLook, double radius, double angleDeg)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, radius, angleDeg); });
}

GSErrCode CAreaArc::SetParam(CPlenimetraParam* param, bool keepLook, double radius, double angleDeg)
{
  const FigureStyle style = StyleOf(param, *this);
  CAreaArcAttr& attr = param->m_EnvParam.m_ArcAttr;
  ParamWriter w;
  if (!keepLook) {
    attr.m_size_r_y = 0.5 * style.row.m_DimSize;
    w.Put("area_fan_disp", attr.m_area_fan_disp)
        .Put("area_angle_disp", attr.m_area_angle_disp)
        .Put("area_angle_line", attr.m_area_angle_line)
        .Put("area_symbol_x", attr.m_area_symbol_x)
        .Put("area_symbol_y", attr.m_area_symbol_y)
        .Put("size_r_x", attr.m_size_r_x)
        .Put("size_r_y", attr.m_size_r_y)
        .Put("size_a_x", attr.m_size_a_x)
        .Put("size_a_y", attr.m_size_a_y);
    PutRowLook(w, param, style);
  }
  w.Put("area_angle_pen", style.Pen(attr.m_area_angle_pen))
      .Put("area_symbol_pen", style.Pen(style.row.m_SymbolPen))
      .Put("area_cont_pen", style.Pen(style.row.m_ContPen))
      .Put("ArcRadius", radius)
      .Put("ArcAngle", angleDeg)
      .Put("area_symbol_str", GetItemNoStr(param))
      .Put("area_symbol_fig", GetMarkStr(param));
  // The labels show what the part stores, as the label check reads it.
  const Dims d = Measure(param);
  return w.Put("radius_S", param->GetLengthStrCad(d.radius)).Put("arcAngle_S", d.angle.GetStr()).Result();
}

GSErrCode CAreaArc::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D centre, double rotation,
                                double radius, double angleDeg)
{
  return RewriteFigure(*this, {centre, rotation, std::nullopt, std::nullopt},
                       [&] { return SetParam(param, keepLook, radius, angleDeg); });
}

GSErrCode CAreaArc::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  double r = 0;
  double deg = 0;
  if (GSErrCode err = GetParam(&r, &deg); err != NoError)
    return err;
  return ChangeParam(param, keepLook, {m_Element.object.pos.x, m_Element.object.pos.y}, m_Element.object.angle, r,
                     deg);
}

GSErrCode TraceArcByCentre(CKelAreaCoord2D& points)
{
  points.m_pt.assign(3, CKelCoord2D());
  API_Coord3D centre;
  if (GSErrCode err = PickPoint(u"円弧の中心点を指定してください", nullptr, &centre); err != NoError)
    return err;
  API_Coord3D start;
  if (GSErrCode err = PickLineEnd(u"円弧の開始点を指定してください", centre, nullptr, &start); err != NoError)
    return err;
  API_Coord3D arcStart;
  API_Coord3D end;
  if (GSErrCode err = PickArcEnd(u"円弧の終点を指定してください", centre, start, &arcStart, &end); err != NoError)
    return err;
  points.m_pt = {{centre.x, centre.y}, {arcStart.x, arcStart.y}, {end.x, end.y}};
  return NoError;
}

GSErrCode CAreaArcTrace::Trace() { return TraceArcByCentre(*this); }

GSErrCode CAreaArc::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  return CreateObject(param, floor, layer, values.Anchor(), values.m_Angle, values.Shape(0), values.Shape(1));
}
