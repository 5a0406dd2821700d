#include "CAreaCircle.h"

#include "CDocumentDump.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "FigureFrame.h"
#include "FigureTrace.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_errors.h"
#include "host_interface.h"

using namespace figures;

CAreaCircleTrace* CAreaCircleTrace::pAreaCircle = nullptr;

CAreaCircle::CAreaCircle(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                         CItemType2Table::ITEMTYPE numbering, int itemNo)
    : CArea1Object(param, TYPE_CIRCLE, code, mark, numbering, itemNo)
{
  m_Cr.resize(kBreakFlags);
}

bool CAreaCircle::GetCircleParameter(const CKelAreaCoord2D& points, double* radius)
{
  *radius = points.m_pt.size() >= 2 ? length_2point(points.m_pt[0], points.m_pt[1]) : 0;
  return true;
}

GSErrCode CAreaCircle::GetParam(double* radius) const
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  if (auto value = part.Real("ArcRadius"))
    *radius = *value;
  return err;
}

long long CAreaCircle::GetRadius(const CPlenimetraParam* param) const
{
  double radius = 0;
  if (GetParam(&radius) != NoError || !IsSoundLength(radius))
    radius = 0;
  return param->GetRoundLength(radius);
}

GS::UniString CAreaCircle::GetEquation(const CPlenimetraParam* param, bool breakAll, double width)
{
  const GS::UniString r = param->GetLengthStrList(GetRadius(param));
  const std::vector<GS::UniString> terms{r, GS::UniString(u"×") + r, GS::UniString(u"×") + PiOf(param).GetStr()};
  return CArea1Object::GetEquation(param, breakAll, terms, WidthOf(width));
}

long long CAreaCircle::GetOrgArea(const CPlenimetraParam* param) const
{
  const CPaiTable pi = PiOf(param);
  const double r = static_cast<double>(GetRadius(param));
  return TruncatedArea(static_cast<double>(pi.m_Numerator) * (r * r) / static_cast<double>(pi.m_Denominator));
}

bool CAreaCircle::CheckStringParameter(CPlenimetraParam* param)
{
  PartParams part;
  const GSErrCode err = part.Read(m_Element.header.guid);
  double radius = part.Real("ArcRadius").value_or(0);
  if (!IsSoundLength(radius))
    radius = 0;
  return LabelsDiffer(part, err, {{"radius_S", param->GetLengthStrCad(param->GetRoundLength(radius))}});
}

void CAreaCircle::Serialize(CPlenimetraUserDataCore& data)
{
  CArea1Object::Serialize(data);
  if (data.IsOpen() && HasLegacyFields(data))
    SkipLegacyDoubles(data, 1);
}

GSErrCode CAreaCircle::CopyObject(CPlenimetraParam* param, short floor) { return CopyAs(*this, param, floor); }

GSErrCode CAreaCircle::Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor)
{
  if (points.m_pt.size() < 2)
    return APIERR_CANCEL;
  double radius = 0;
  GetCircleParameter(points, &radius);
  return CreateObject(param, floor, param->GetLayer(), points.m_pt[0], radius);
}

GSErrCode CAreaCircle::CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D anchor,
                                    double radius)
{
  Placement placement{kPartName, PlaceOrder::kParamsFirst, std::nullopt, std::nullopt, floor, layer, anchor, 0.0};
  return PlaceFigure(param, *this, placement, [&] { return SetParam(param, false, radius); });
}

GSErrCode CAreaCircle::SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result,
                                bool keepLook, double radius)
{
  return EditParams(owner, result, [&] { return SetParam(param, keepLook, radius); });
}

GSErrCode CAreaCircle::SetParam(CPlenimetraParam* param, bool keepLook, double radius)
{
  const FigureStyle style = StyleOf(param, *this);
  CAreaCircleAttr& attr = param->m_EnvParam.m_CircleAttr;
  ParamWriter w;
  if (!keepLook) {
    attr.m_size_r_y = 0.5 * style.row.m_DimSize;
    w.Put("area_fan_disp", attr.m_area_fan_disp)
        .Put("area_fan_line", attr.m_area_fan_line)
        .Put("area_symbol_x", attr.m_area_symbol_x)
        .Put("area_symbol_y", attr.m_area_symbol_y)
        .Put("size_r_x", attr.m_size_r_x)
        .Put("size_r_y", attr.m_size_r_y);
    PutRowLook(w, param, style);
  }
  // The label shows the radius stored on the part: a new figure gets it
  // from the refresh that follows its creation.
  return w.Put("area_fan_pen", style.Pen(attr.m_area_fan_pen))
      .Put("area_symbol_pen", style.Pen(style.row.m_SymbolPen))
      .Put("area_cont_pen", style.Pen(style.row.m_ContPen))
      .Put("ArcRadius", radius)
      .Put("area_symbol_str", GetItemNoStr(param))
      .Put("area_symbol_fig", GetMarkStr(param))
      .Put("radius_S", param->GetLengthStrCad(GetRadius(param)))
      .Result();
}

GSErrCode CAreaCircle::ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D anchor, double radius)
{
  return RewriteFigure(*this, {anchor, m_Element.object.angle, std::nullopt, std::nullopt},
                       [&] { return SetParam(param, keepLook, radius); });
}

GSErrCode CAreaCircle::ChangeParam(CPlenimetraParam* param, bool keepLook)
{
  if (GSErrCode err = RereadElement(*this); err != NoError)
    return err;
  double radius = 0;
  if (GSErrCode err = GetParam(&radius); err != NoError)
    return err;
  return ChangeParam(param, keepLook, {m_Element.object.pos.x, m_Element.object.pos.y}, radius);
}

GSErrCode CAreaCircleTrace::Trace()
{
  m_pt.assign(2, CKelCoord2D());
  pAreaCircle = this;
  API_Coord3D centre;
  if (GSErrCode err = PickPoint(u"円の中心点を指定してください", nullptr, &centre); err != NoError)
    return err;
  m_pt[0] = {centre.x, centre.y};
  API_Coord3D click;
  return PickPoint(u"円上の点を指定してください", RubberCallBackCircle, &click);
}

void CAreaCircleTrace::RubberCallBackCircle(const API_RubberLineInfo* info)
{
  CAreaCircleTrace& trace = *pAreaCircle;
  trace.m_pt[1] = {info->actCoord.x, info->actCoord.y};
  API_RubberArcType arc;
  arc.origC = {trace.m_pt[0].m_x, trace.m_pt[0].m_y, info->actCoord.z};
  arc.drawFlags = 2;
  arc.r = length_2point(trace.m_pt[0], trace.m_pt[1]);
  arc.angle = 0;
  arc.ratio = 1;
  arc.begAng = 0;
  arc.endAng = KelAngle::TwoPi;
  (void)ACAPI_Interface('DRAR', &arc, nullptr);  // feedback only: the pick goes on without it
}

GSErrCode CAreaCircle::CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values)
{
  return CreateObject(param, floor, layer, values.Anchor(), values.Shape(0));
}
