#include "CAreaArcCenter.h"

#include "CAreaArc.h"
#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "FigureFrame.h"
#include "KelTolerance.h"
#include "host_errors.h"

#include <cmath>

using namespace figures;

// Rounded radius, sweep, chord and height of one reading of the part.
struct CAreaArcCenter::Dims {
  long long radius = 0;
  CAngleValue angle;
  long long chord = 0;
  long long height = 0;
};

namespace {

constexpr double kHalfTurnDegrees = 180.0;

}  // namespace

CAreaArcCenter::CAreaArcCenter(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                               CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_ARCCENTER, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

bool CAreaArcCenter::GetArcCenterParameter(const CKelAreaCoord2D& points, double* rotation, double* radius,
                                           double* angle)
{
  if (!SweepFromPicks(points, rotation, radius, angle))
    return false;
  // A half circle measured a round-off over 180° is still one.
  return *angle / KelAngle::DegreesPerRadian <= KelAngle::Pi + KelTol::HalfCircle;
}

GSErrCode CAreaArcCenter::GetParam(double* radius, double* angle) const
{
  return ReadArcParams(m_Element.header.guid, radius, angle);
}

CAreaArcCenter::Dims CAreaArcCenter::Measure(const CPlenimetraParam* param) const
{
  double r = 0;
  double a = 0;
  if (GetParam(&r, &a) != NoError)
    r = a = 0;
  return MeasureOf(param, r, a);
}

CAreaArcCenter::Dims CAreaArcCenter::MeasureOf(const CPlenimetraParam* param, double r, double a)
{
  if (!IsSoundLength(r) || !std::isfinite(a))
    r = a = 0;
  const double half = a * KelAngle::Pi / kHalfTurnDegrees * 0.5;
  const double halfChord = std::sin(half) * r;
  return {param->GetRoundLength(r), CAngleValue(param->GetAngleDefaultRoundType(), a),
          param->GetRoundLength(halfChord + halfChord), param->GetRoundLength(std::cos(half) * r)};
}

long long CAreaArcCenter::GetRadius(const CPlenimetraParam* param) const { return Measure(param).radius; }
CAngleValue CAreaArcCenter::GetAngle(const CPlenimetraParam* param) const { return Measure(param).angle; }
long long CAreaArcCenter::GetBaseLength(const CPlenimetraParam* param) const { return Measure(param).chord; }
long long CAreaArcCenter::GetHeight(const CPlenimetraParam* param) const { return Measure(param).height; }

CKelAreaCoord2D CAreaArcCenter::GetCoord() const
{
  CKelAreaCoord2D coord;
  double r = 0;
  double a = 0;
  if (GetParam(&r, &a) != NoError)
    return coord;
  const CKelCoord2D centre{m_Element.object.pos.x, m_Element.object.pos.y};
  const double start = m_Element.object.angle;
  coord.m_pt = {centre, ToPlan(r, 0, centre, start), ToPlan(r, 0, centre, start + a * 0.017453292519943295)};
  return coord;
}

GS::UniString CAreaArcCenter::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const Dims d = Measure(param);
  std::vector<GS::UniString> terms = SectorTerms(param, d.radius, d.angle);
  terms.insert(terms.end(), {GS::UniString(u"－") + param->GetLengthStrList(d.chord),
                             GS::UniString(u"×") + param->GetLengthStrList(d.height), GS::UniString(u"÷2")});
  return CArea1Object::GetEquation(param, breakAll, terms, WidthOf(width));
}

long long CAreaArcCenter::GetOrgArea(const CPlenimetraParam* param) const
{
  const CPaiTable pi = PiOf(param);
  const Dims d = Measure(param);
  const double big = static_cast<double>(d.radius);
  const double p = big * big;
  const double q = static_cast<double>(pi.m_Numerator) * p / static_cast<double>(pi.m_Denominator);
  const double s = static_cast<double>(d.angle.m_Value) * q / static_cast<double>(d.angle.m_Scale) / 360.0;
  const double t = static_cast<double>(d.height) * static_cast<double>(d.chord) * -0.5;
  return TruncatedArea(t + s);
}

// The sector less the triangle under the chord.
double CAreaArcCenter::GetShapeArea() const
{
  double r = 0;
  double a = 0;
  ReadSoundArcParams(m_Element.header.guid, &r, &a);
  const double half = a * KelAngle::Pi / kHalfTurnDegrees * 0.5;
  return SectorShapeArea(r, a) - std::sin(half) * r * (std::cos(half) * r);
}

bool CAreaArcCenter::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  const Dims d = MeasureOf(param, part.Real("ArcRadius").value_or(0),
                           part.Real("ArcAngle").value_or(0) * 180.0 / KelAngle::Pi);
  return LabelsDiffer(part, err,
                      {{"base_S", param->GetLengthStrCad(d.chord)},
                       {"radius_S", param->GetLengthStrCad(d.radius)},
                       {"arcAngle_S", d.angle.GetStr()},
                       {"height_S", param->GetLengthStrCad(d.height)}});
}

void CAreaArcCenter::Serialize(CPlenimetraUserDataCore& data)
{
  CArea1Object::Serialize(data);
  if (data.IsOpen() && HasLegacyFields(data))
    SkipLegacyDoubles(data, 2);
}

GSErrCode CAreaArcCenter::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

GSErrCode CAreaArcCenter::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  double rotation = 0;
  double radius = 0;
  double angle = 0;
  if (!GetArcCenterParameter(points, &rotation, &radius, &angle))
    return APIERR_CANCEL;
  return CreateObject(param, floor, param->GetLayer(), points.m_pt[0], rotation, radius, angle);
}

GSErrCode CAreaArcCenter::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D centre,
                                       double rotation, double radius, double angle)
{
  Placement placement{kPartName, PlaceOrder::kParamsFirst, std::nullopt, std::nullopt, floor, layer, centre, rotation};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, radius, angle); });
}

GSErrCode CAreaArcCenter::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                                   bool keepLook, double radius, double angle)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, radius, angle); });
}

GSErrCode CAreaArcCenter::SetParam(CPlenimetraParam* param, bool keepLook, double radius, double angle)
{
  const FigureStyle style = StyleOf(param, *this);
  ParamWriter w;
  if (!keepLook)
    PutSegmentLook(w, param, style);
  PutSegmentPens(w, param->m_EnvParam.m_ArcAttr, style);
  w
      .Put("ArcRadius", radius)
      .Put("ArcAngle", angle)
      .Put("area_symbol_fig", GetMarkStr(param))
      .Put("area_symbol_str", GetItemNoStr(param));
  // The labels show what the part stores, as the label check reads it.
  const Dims d = Measure(param);
  return w.Put("base_S", param->GetLengthStrCad(d.chord))
      .Put("radius_S", param->GetLengthStrCad(d.radius))
      .Put("arcAngle_S", d.angle.GetStr())
      .Put("height_S", param->GetLengthStrCad(d.height))
      .Result();
}

GSErrCode CAreaArcCenter::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D centre, double rotation,
                                      double radius, double angle)
{
  return RewriteFigure(*this, {centre, rotation, std::nullopt, std::nullopt},
                       [&] { return SetParam(param, keepLook, radius, angle); });
}

GSErrCode CAreaArcCenter::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  double r = 0;
  double a = 0;
  if (GSErrCode err = GetParam(&r, &a); err != NoError)
    return err;
  return ChangeParam(param, keepLook, {m_Element.object.pos.x, m_Element.object.pos.y}, m_Element.object.angle, r,
                     a);
}

GSErrCode CAreaArcCenterTrace::Trace() { return TraceArcByCentre(*this); }

GSErrCode CAreaArcCenter::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  return CreateObject(param, floor, layer, values.Anchor(), values.m_Angle, values.Shape(0), values.Shape(1));
}
