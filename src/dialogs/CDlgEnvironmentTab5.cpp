#include "CDlgEnvironmentTab5.h"

#include "CAreaAttr.h"
#include "CDGDlgCore.h"
#include "DlgLayout.h"

namespace {

// Sector.
constexpr short kArcFanDisp = 3, kArcFanPenNo = 5, kArcFanPen = 6, kArcFanLine = 8;
constexpr short kArcPerlineDisp = 10, kArcPerlinePenNo = 12, kArcPerlinePen = 13, kArcPerlineLine = 15;
constexpr short kArcAngleDisp = 18, kArcAnglePenNo = 20, kArcAnglePen = 21, kArcAngleLine = 23;
constexpr short kArcSymbolX = 25, kArcSymbolY = 27;
// Circle.
constexpr short kCircleFanDisp = 30, kCircleFanPenNo = 32, kCircleFanPen = 33, kCircleFanLine = 35;
constexpr short kCircleSymbolX = 37, kCircleSymbolY = 39;
// Ellipse.
constexpr short kEllipseFanDisp = 42, kEllipseFanPenNo = 44, kEllipseFanPen = 45, kEllipseFanLine = 47;
constexpr short kEllipseSymbolX = 49, kEllipseSymbolY = 51;

constexpr short kPens[] = {kArcFanPen, kArcPerlinePen, kArcAnglePen, kCircleFanPen, kEllipseFanPen};
constexpr short kLines[] = {kArcFanLine, kArcPerlineLine, kArcAngleLine, kCircleFanLine, kEllipseFanLine};

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTab5::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def{600, 400, {}};
  auto add = [&def](short item, DGItemKind kind) { DlgLayout::AddInGrid(def, item, kind, 18, 21); };
  for (short item : {kArcFanDisp, kArcPerlineDisp, kArcAngleDisp, kCircleFanDisp, kEllipseFanDisp})
    add(item, DGItemKind::CheckBox);
  for (short item : {kArcFanPenNo, kArcPerlinePenNo, kArcAnglePenNo, kCircleFanPenNo, kEllipseFanPenNo})
    add(item, DGItemKind::LongEdit);
  for (short item : kPens)
    add(item, DGItemKind::UserControl);
  for (short item : kLines)
    add(item, DGItemKind::UserControl);
  for (short item : {kArcSymbolX, kArcSymbolY, kCircleSymbolX, kCircleSymbolY, kEllipseSymbolX, kEllipseSymbolY})
    add(item, DGItemKind::DoubleEdit);
  return def;
}

CDlgEnvironmentTab5::CDlgEnvironmentTab5(short resId, CAreaArcAttr* arc, CAreaCircleAttr* circle,
                                         CAreaEllipseAttr* ellipse)
    : CEnvFieldsPage(resId), m_pArcAttr(arc), m_pCircleAttr(circle), m_pEllipseAttr(ellipse)
{
}

CEnvFields CDlgEnvironmentTab5::Fields() const
{
  CEnvFields fields;
  fields.pens = {{{kArcFanPenNo, kArcFanPen}, &m_pArcAttr->m_area_fan_pen},
                 {{kArcPerlinePenNo, kArcPerlinePen}, &m_pArcAttr->m_area_perline_pen},
                 {{kArcAnglePenNo, kArcAnglePen}, &m_pArcAttr->m_area_angle_pen},
                 {{kCircleFanPenNo, kCircleFanPen}, &m_pCircleAttr->m_area_fan_pen},
                 {{kEllipseFanPenNo, kEllipseFanPen}, &m_pEllipseAttr->m_area_fan_pen}};
  fields.attributes = {{kArcFanLine, &m_pArcAttr->m_area_fan_line},
                       {kArcPerlineLine, &m_pArcAttr->m_area_perline_line},
                       {kArcAngleLine, &m_pArcAttr->m_area_angle_line},
                       {kCircleFanLine, &m_pCircleAttr->m_area_fan_line},
                       {kEllipseFanLine, &m_pEllipseAttr->m_area_fan_line}};
  fields.checks = {{kArcFanDisp, &m_pArcAttr->m_area_fan_disp},
                   {kArcPerlineDisp, &m_pArcAttr->m_area_perline_disp},
                   {kArcAngleDisp, &m_pArcAttr->m_area_angle_disp},
                   {kCircleFanDisp, &m_pCircleAttr->m_area_fan_disp},
                   {kEllipseFanDisp, &m_pEllipseAttr->m_area_fan_disp}};
  fields.reals = {{kArcSymbolX, &m_pArcAttr->m_area_symbol_x},         {kArcSymbolY, &m_pArcAttr->m_area_symbol_y},
                  {kCircleSymbolX, &m_pCircleAttr->m_area_symbol_x},   {kCircleSymbolY, &m_pCircleAttr->m_area_symbol_y},
                  {kEllipseSymbolX, &m_pEllipseAttr->m_area_symbol_x}, {kEllipseSymbolY, &m_pEllipseAttr->m_area_symbol_y}};
  return fields;
}

void CDlgEnvironmentTab5::DoMsgInit()
{
  for (short item : kPens)
    CDGDlgCore::SetUserControlPen(m_DialogID, item);
  for (short item : kLines)
    CDGDlgCore::SetUserControlLineType(m_DialogID, item);
  UpdateData(false);
}
