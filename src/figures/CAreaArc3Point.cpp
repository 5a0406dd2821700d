#include "CAreaArc3Point.h"

#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "FigureFrame.h"
#include "FigureTrace.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_errors.h"
#include "host_interface.h"
#include "host_polygon2d.h"

#include <cmath>

using namespace figures;

CAreaArc3PointTrace* CAreaArc3PointTrace::pAreaArc3Point = nullptr;

// Rounded radius, chord, height and sweep of one set of points.
struct CAreaArc3Point::Dims {
  long long radius = 0;
  long long base = 0;
  long long height = 0;
  CAngleValue angle;
};

namespace {

// Points of the legacy block of old records: x and y doubles.
constexpr long long kLegacyPointBytes = 16;
constexpr int kLegacyValues = 4;

}  // namespace

CAreaArc3Point::CAreaArc3Point(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                               CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_ARC3POINT, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

// ---- geometry ------------------------------------------------------------------

bool CAreaArc3Point::GetArc3PointParameter(CKelAreaCoord2D& points, CKelCoord2D* origin, double* angle)
{
  *origin = CKelCoord2D();
  *angle = 0;
  if (points.m_pt.size() < 2)
    return true;
  double c = 1;
  double s = 0;
  CalcCosSin(points.m_pt[0], points.m_pt[1], &c, &s, nullptr);
  *angle = std::atan2(s, c);
  *origin = points.m_pt[0];
  for (CKelCoord2D& p : points.m_pt)
    p = ToLocal(p, *origin, c, s);
  return true;
}

CKelCoord2D CAreaArc3Point::GetCenterPoint(const CKelAreaCoord2D& points)
{
  const CKelCoord2D& p0 = points.m_pt[0];
  const CKelCoord2D& p1 = points.m_pt[1];
  const CKelCoord2D& p2 = points.m_pt[2];
  const CKelCoord2D m12{(p1.m_x + p2.m_x) * 0.5, (p1.m_y + p2.m_y) * 0.5};
  const CKelCoord2D m20{(p2.m_x + p0.m_x) * 0.5, (p2.m_y + p0.m_y) * 0.5};
  const double k1 = (p1.m_x - p2.m_x) / (p2.m_y - p1.m_y);
  const double k2 = (p2.m_x - p0.m_x) / (p0.m_y - p2.m_y);
  const double cx = (m20.m_y + (m12.m_x * k1 - m20.m_x * k2 - m12.m_y)) / (k1 - k2);
  const double cy = ((m12.m_x - m20.m_x) * (k2 * k1) - m12.m_y * k2 + m20.m_y * k1) / (k1 - k2);
  return {cx, cy};
}

void CAreaArc3Point::GetArcParameter(const CKelAreaCoord2D& points, double* r, double* theta, double* b, double* h)
{
  *r = *theta = *b = *h = 0;
  if (points.m_pt.size() < 3)
    return;
  const CKelCoord2D c = GetCenterPoint(points);
  const CKelCoord2D& p0 = points.m_pt[0];
  const CKelCoord2D& p1 = points.m_pt[1];
  *r = length_2point(p1, c);
  const double a1 = std::atan2(p1.m_y - c.m_y, p1.m_x - c.m_x);
  const double a0 = std::atan2(p0.m_y - c.m_y, p0.m_x - c.m_x);
  if (points.m_pt[2].m_y > KelTol::ChordSide) {
    // Left of the chord: the sweep from the chord end round to its start.
    const double t = (a0 + KelAngle::Pi - a1) * KelAngle::DegreesPerRadian;
    *theta = t > 180 ? t - 180 : t + 180;
  } else {
    const double t = (a1 - a0) * KelAngle::DegreesPerRadian;
    *theta = t < 0 ? t + 360 : t;
  }
  *b = p1.m_x;
  *h = std::fabs(c.m_y);
}

GSErrCode CAreaArc3Point::GetParam(CKelAreaCoord2D& points) const
{
  points.m_pt.assign(3, CKelCoord2D());
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  points.m_pt[1] = {part.Real("x1").value_or(0), part.Real("y1").value_or(0)};
  points.m_pt[2] = {part.Real("x2").value_or(0), part.Real("y2").value_or(0)};
  points.m_pt[0] = {part.Real("x3").value_or(0), part.Real("y3").value_or(0)};
  return err;
}

CAreaArc3Point::Dims CAreaArc3Point::Measure(const CPlenimetraParam* param, const CKelAreaCoord2D& local)
{
  double r = 0;
  double theta = 0;
  double b = 0;
  double h = 0;
  bool sound = local.m_pt.size() >= 3;
  for (const CKelCoord2D& p : local.m_pt)
    sound = sound && AreSoundLengths({p.m_x, p.m_y});
  if (sound)
    GetArcParameter(local, &r, &theta, &b, &h);
  // Points nearly on one line put the centre far away: such an arc is no
  // figure this system can measure.
  if (!AreSoundLengths({r, b, h}) || !std::isfinite(theta))
    r = theta = b = h = 0;
  return {param->GetRoundLength(r), param->GetRoundLength(b), param->GetRoundLength(h),
          CAngleValue(param->GetAngleDefaultRoundType(), theta)};
}

CAreaArc3Point::Dims CAreaArc3Point::MeasurePart(const CPlenimetraParam* param) const
{
  CKelAreaCoord2D local;
  // Points the part lacks measure as (0, 0), as they are drawn.
  static_cast<void>(GetParam(local));
  return Measure(param, local);
}

long long CAreaArc3Point::GetRadius(const CPlenimetraParam* param) const { return MeasurePart(param).radius; }
long long CAreaArc3Point::GetBaseLength(const CPlenimetraParam* param) const { return MeasurePart(param).base; }
long long CAreaArc3Point::GetHeight(const CPlenimetraParam* param) const { return MeasurePart(param).height; }
CAngleValue CAreaArc3Point::GetAngle(const CPlenimetraParam* param) const { return MeasurePart(param).angle; }

// ---- measuring -------------------------------------------------------------------

namespace {

bool IsMajor(const CAngleValue& angle)
{
  return static_cast<double>(angle.m_Value) > static_cast<double>(angle.m_Scale) * 180.0;
}

}  // namespace

GS::UniString CAreaArc3Point::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const Dims d = MeasurePart(param);
  std::vector<GS::UniString> terms = SectorTerms(param, d.radius, d.angle);
  terms.insert(terms.end(), {GS::UniString(IsMajor(d.angle) ? u"＋" : u"－") + param->GetLengthStrList(d.base),
                             GS::UniString(u"×") + param->GetLengthStrList(d.height), GS::UniString(u"÷2")});
  return CArea1Object::GetEquation(param, breakAll, terms, WidthOf(width));
}

long long CAreaArc3Point::GetOrgArea(const CPlenimetraParam* param) const
{
  const CPaiTable pi = PiOf(param);
  const Dims d = MeasurePart(param);
  const double r = static_cast<double>(d.radius);
  const double t = (static_cast<double>(d.height) * static_cast<double>(d.base)) * 0.5;
  const double s = ((static_cast<double>(d.angle.m_Value) *
                     ((static_cast<double>(pi.m_Numerator) * (r * r)) / static_cast<double>(pi.m_Denominator))) /
                    static_cast<double>(d.angle.m_Scale)) /
                   360.0;
  return TruncatedArea(IsMajor(d.angle) ? t + s : -t + s);
}

bool CAreaArc3Point::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  CKelAreaCoord2D local;
  local.m_pt = {{part.Real("x3").value_or(0), part.Real("y3").value_or(0)},
                {part.Real("x1").value_or(0), part.Real("y1").value_or(0)},
                {part.Real("x2").value_or(0), part.Real("y2").value_or(0)}};
  const Dims d = Measure(param, local);
  return LabelsDiffer(part, err,
                      {{"base_S", param->GetLengthStrCad(d.base)},
                       {"radius_S", param->GetLengthStrCad(d.radius)},
                       {"arcAngle_S", d.angle.GetStr()},
                       {"height_S", param->GetLengthStrCad(d.height)}});
}

void CAreaArc3Point::Serialize(CPlenimetraUserDataCore& data)
{
  CArea1Object::Serialize(data);
  if (!data.IsOpen() || !HasLegacyFields(data))
    return;
  int count = 0;
  data >> count;
  if (!data.CanHold(count, kLegacyPointBytes))
    throw CPlenimetraUserDataCore::kPastEnd;
  SkipLegacyDoubles(data, 2 * count);
  SkipLegacyDoubles(data, kLegacyValues);
}

GSErrCode CAreaArc3Point::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

// ---- placing and rewriting -------------------------------------------------------

GSErrCode CAreaArc3Point::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  if (points.m_pt.size() < 3 || !HasDirection(points.m_pt[0], points.m_pt[1]))
    return APIERR_CANCEL;
  CKelCoord2D origin;
  double angle = 0;
  GetArc3PointParameter(points, &origin, &angle);
  // On (or one round-off off) the chord's line there is no circle, or the
  // sweep would be measured on the wrong side.
  if (std::fabs(points.m_pt[2].m_y) <= KelTol::ChordSide)
    return APIERR_CANCEL;
  return CreateObject(param, floor, param->GetLayer(), points, origin, angle);
}

GSErrCode CAreaArc3Point::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelAreaCoord2D& local,
                                       CKelCoord2D origin, double angle)
{
  Placement placement{kPartName, PlaceOrder::kDefaultsFirst, std::nullopt, std::nullopt, floor, layer, origin, angle};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, local); });
}

GSErrCode CAreaArc3Point::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                                   bool keepLook, CKelAreaCoord2D& local)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, local); });
}

GSErrCode CAreaArc3Point::SetParam(CPlenimetraParam* param, bool keepLook, CKelAreaCoord2D& local)
{
  const FigureStyle style = StyleOf(param, *this);
  ParamWriter w;
  if (!keepLook)
    PutSegmentLook(w, param, style);
  const Dims d = Measure(param, local);
  PutSegmentPens(w, param->m_EnvParam.m_ArcAttr, style);
  w
      .Put("area_symbol_fig", GetMarkStr(param))
      .Put("area_symbol_str", GetItemNoStr(param))
      .Put("base_S", param->GetLengthStrCad(d.base))
      .Put("radius_S", param->GetLengthStrCad(d.radius))
      .Put("arcAngle_S", d.angle.GetStr())
      .Put("height_S", param->GetLengthStrCad(d.height));
  if (local.m_pt.size() < 3)
    return w.Result();
  // The geometry comes after the labels on this kind.
  return w.Put("x1", local.m_pt[1].m_x)
      .Put("y1", local.m_pt[1].m_y)
      .Put("x2", local.m_pt[2].m_x)
      .Put("y2", local.m_pt[2].m_y)
      .Put("x3", local.m_pt[0].m_x)
      .Put("y3", local.m_pt[0].m_y)
      .Result();
}

GSErrCode CAreaArc3Point::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelAreaCoord2D& local,
                                      CKelCoord2D origin, double angle)
{
  return RewriteFigure(*this, {origin, angle, std::nullopt, std::nullopt},
                       [&] { return SetParam(param, keepLook, local); });
}

GSErrCode CAreaArc3Point::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  CKelAreaCoord2D local;
  if (GSErrCode err = GetParam(local); err != NoError)
    return err;
  return ChangeParam(param, keepLook, local, {m_Element.object.pos.x, m_Element.object.pos.y},
                     m_Element.object.angle);
}

// ---- input -------------------------------------------------------------------------

CAreaArc3PointTrace::CAreaArc3PointTrace() { m_pt.assign(3, CKelCoord2D()); }

GSErrCode CAreaArc3PointTrace::Trace()
{
  pAreaArc3Point = this;
  API_Coord3D start;
  if (GSErrCode err = PickPoint(u"第1点目の頂点を指定してください", nullptr, &start); err != NoError)
    return err;
  m_pt[0] = {start.x, start.y};
  API_Coord3D end;
  if (GSErrCode err = PickLineEnd(u"第2点目の頂点を指定してください", start, nullptr, &end); err != NoError)
    return err;
  m_pt[1] = {end.x, end.y};
  API_Coord3D click;
  return PickPoint(u"第3点目の頂点を指定してください", RubberCallBackArc3Point, &click);
}

void CAreaArc3PointTrace::RubberCallBackArc3Point(const API_RubberLineInfo* info)
{
  CAreaArc3PointTrace& trace = *pAreaArc3Point;
  const double z = info->actCoord.z;
  const CKelCoord2D& p0 = trace.m_pt[0];
  const CKelCoord2D& p1 = trace.m_pt[1];
  DrawRubberLine(p0, p1, z);
  trace.m_pt[2] = {info->actCoord.x, info->actCoord.y};
  const Geometry::Coord picks[3] = {{info->actCoord.x, info->actCoord.y}, {p0.m_x, p0.m_y}, {p1.m_x, p1.m_y}};
  Geometry::Circle circle;
  // Collinear picks have no circle and leave it as it was: the arc still
  // shows the cursor's side.
  (void)Geometry::Circle_3Pt(picks, &circle);
  double c = 1;
  double s = 0;
  CalcCosSin(p0, p1, &c, &s, nullptr);
  const double side = c * (info->actCoord.y - p0.m_y) - s * (info->actCoord.x - p0.m_x);
  API_RubberArcType arc;
  arc.origC = {circle.o.x, circle.o.y, z};
  arc.drawFlags = 2;
  arc.form = 1;
  arc.begC = {p0.m_x, p0.m_y, z};
  arc.endC = {p1.m_x, p1.m_y, z};
  arc.negArc = side <= 0;
  (void)ACAPI_Interface('DRAR', &arc, nullptr);  // feedback only: the pick goes on without it
}

GSErrCode CAreaArc3Point::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  // The part's points 1, 2, 3 are the local points 1, 2, 0.
  CKelAreaCoord2D local;
  local.m_pt = {{values.Shape(4), values.Shape(5)}, {values.Shape(0), values.Shape(1)}, {values.Shape(2), values.Shape(3)}};
  return CreateObject(param, floor, layer, local, values.Anchor(), values.m_Angle);
}
