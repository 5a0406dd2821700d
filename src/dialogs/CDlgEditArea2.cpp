#include "CDlgEditArea2.h"

#include "CPlenimetraParam.h"
#include "DocRecord.h"
#include "GSWriteReport.h"
#include "ManualAreaText.h"

#include <array>

using pln::host::DGItemKind;

namespace {

struct ModeRadio {
  int mode;
  short radio;
};
// In the order the radios are read at OK.
constexpr std::array<ModeRadio, 4> kModeRadios{{{1, CDlgEditArea2::ITEM_MODE_FIGURES},
                                                {2, CDlgEditArea2::ITEM_MODE_MANUAL},
                                                {3, CDlgEditArea2::ITEM_MODE_AUTO},
                                                {4, CDlgEditArea2::ITEM_MODE_BOTH}}};

constexpr short kResizeByUser = 1;

}  // namespace

pln::host::DGDialogDef CDlgEditArea2::Layout()
{
  auto radio = [](short item, short top) {
    return pln::host::DGItemDef{.item = item, .kind = DGItemKind::RadioButton, .left = 20, .top = top, .right = 200};
  };
  return {.width = 380,
          .height = 330,
          .items = {{.item = 1, .kind = DGItemKind::Button, .left = 210, .top = 298, .right = 290, .bottom = 320},
                    {.item = 2, .kind = DGItemKind::Button, .left = 294, .top = 298, .right = 374, .bottom = 320},
                    {.item = ITEM_FRAME, .kind = DGItemKind::StaticText, .left = 10, .top = 4, .right = 370, .bottom = 70},
                    {.item = ITEM_PATTERN_NAME, .kind = DGItemKind::TextEdit, .left = 110, .top = 10, .right = 360},
                    {.item = ITEM_NAME, .kind = DGItemKind::TextEdit, .left = 110, .top = 40, .right = 360},
                    {.item = ITEM_TYPE1, .kind = DGItemKind::PopUp, .left = 110, .top = 80, .right = 230},
                    {.item = ITEM_DIGIT1, .kind = DGItemKind::PopUp, .left = 240, .top = 80, .right = 360},
                    {.item = ITEM_TYPE2, .kind = DGItemKind::PopUp, .left = 110, .top = 110, .right = 230},
                    {.item = ITEM_DIGIT2, .kind = DGItemKind::PopUp, .left = 240, .top = 110, .right = 360},
                    {.item = ITEM_ROUND_FRAME, .kind = DGItemKind::StaticText, .left = 10, .top = 74, .right = 370,
                     .bottom = 136},
                    radio(ITEM_MODE_FIGURES, 150),
                    radio(ITEM_MODE_AUTO, 175),
                    radio(ITEM_MODE_BOTH, 200),
                    radio(ITEM_MODE_MANUAL, 225),
                    {.item = ITEM_EQUATION, .kind = DGItemKind::TextEdit, .left = 40, .top = 250, .right = 360},
                    {.item = ITEM_AREA, .kind = DGItemKind::TextEdit, .left = 240, .top = 274, .right = 360}}};
}

CDlgEditArea2::CDlgEditArea2(CPlenimetraParam* param, bool editName, bool editPatternName)
    : CDlgEditAreaCore(ResourceId, param, editName, editPatternName)
{
}

void CDlgEditArea2::DoMsgInit(short dialId)
{
  FillRoundPopUps(dialId, false);
  UpdateData(dialId, false);
}

bool CDlgEditArea2::UpdateData(short dialId, bool get)
{
  if (get) {
    if (!ReadNames(dialId, GetItemText(dialId, ITEM_NAME), u"要素名を入力してください"))
      return false;
    ReadRounding(dialId);
    m_Mode = ReadMode(dialId);
    // Only a manual record keeps its formula.
    return m_Mode != CArea2ObjectFloor::MODE_MANUAL || !DocText::RefuseUnheld(m_ManualEquation);
  }
  ShowNamesAndRounding(dialId);
  ShowMode(dialId);
  ShowArea(dialId);
  SetItemText(dialId, ITEM_EQUATION, m_ManualEquation);
  EnableItems(dialId);
  return true;
}

void CDlgEditArea2::ShowMode(short dialId) const
{
  for (const ModeRadio& entry : kModeRadios)
    DGSetItemValLong(dialId, entry.radio, entry.mode == m_Mode ? 1 : 0);
}

int CDlgEditArea2::ReadMode(short dialId) const
{
  for (const ModeRadio& entry : kModeRadios) {
    if (DGGetItemValLong(dialId, entry.radio) != 0)
      return entry.mode;
  }
  return kModeRadios.back().mode;
}

void CDlgEditArea2::ShowArea(short dialId) const
{
  const int digits = CRoundTypeItem::DigitOf(m_pParam->GetArea1DefaultRoundType(), CRoundTypeParam::kDefaultArea1);
  SetItemText(dialId, ITEM_AREA, m_pParam->GetAreaStr(m_ManualArea, digits));
}

void CDlgEditArea2::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  switch (item) {
  case ITEM_TYPE1:
  case ITEM_TYPE2:
    ChangeRoundType(dialId, item, SelectedType(dialId, item) != CRoundTypeTable::ROUNDTYPE_NONE);
    break;
  case ITEM_EQUATION:
    m_ManualEquation = GetItemText(dialId, ITEM_EQUATION);
    break;
  case ITEM_AREA:
    ChangeArea(dialId);
    break;
  default:
    break;
  }
  EnableItems(dialId);
}

void CDlgEditArea2::ChangeArea(short dialId)
{
  if (const std::optional<long long> area = ReadManualAreaText(GetItemText(dialId, ITEM_AREA)))
    m_ManualArea = *area;
  else
    GSWriteReport(GS::UniString(kManualAreaRefused));
  ShowArea(dialId);
}

void CDlgEditArea2::EnableItems(short dialId)
{
  EnableNameItems(dialId);
  const bool manual = DGGetItemValLong(dialId, ITEM_MODE_MANUAL) != 0;
  EnableItem(dialId, ITEM_EQUATION, manual);
  EnableItem(dialId, ITEM_AREA, manual);
  for (const ModeRadio& entry : kModeRadios)
    EnableItem(dialId, entry.radio, true);
}

void CDlgEditArea2::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != kResizeByUser)
    return;
  DGBeginMoveGrowItems(dialId);
  for (short button : {1, 2})
    DGMoveItem(dialId, button, arg->hGrow, arg->vGrow);
  for (short item : {ITEM_EQUATION, ITEM_ROUND_FRAME, ITEM_FRAME})
    DGGrowItem(dialId, item, arg->hGrow, 0);
  DGEndMoveGrowItems(dialId);
}
