#include "CDlgEnvironmentTab2.h"

#include "CDGDlgCore.h"
#include "CEnvParam.h"
#include "CGSUtil.h"
#include "DocRecord.h"
#include "DlgLayout.h"
#include "EnvPageInput.h"

namespace {

constexpr short kNumberContinue = 2;  // radio: numbers go on after the highest
constexpr short kNumberFillGaps = 3;  // radio: the lowest free number
constexpr short kLengthComma = 4;
constexpr short kAreaComma = 5;
constexpr short kBlankDecimals = 6;
constexpr short kLengthTenthDigit = 7;
constexpr short kFigureLayer = 10;
constexpr short kListLayer = 13;
constexpr short kTuboFactor = 15;
constexpr short kSnap = 17;

struct SnapChoice {
  const char16_t* text;
  short code;
};
constexpr SnapChoice kSnapChoices[] = {
    {u"処理しない", 0}, {u"0.01mm未満を0とする", 1}, {u"0.1mm未満を0とする", 2}, {u"1mm未満を0とする", 3}};

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTab2::Layout()
{
  using DlgLayout::Item;
  using pln::host::DGItemKind;
  return {600, 400,
          {Item(kNumberContinue, DGItemKind::RadioButton, 10, 10, 200),
           Item(kNumberFillGaps, DGItemKind::RadioButton, 10, 35, 200),
           Item(kLengthComma, DGItemKind::CheckBox, 10, 70, 250), Item(kAreaComma, DGItemKind::CheckBox, 10, 95, 250),
           Item(kBlankDecimals, DGItemKind::CheckBox, 10, 120, 250),
           Item(kLengthTenthDigit, DGItemKind::CheckBox, 10, 145, 250),
           Item(kFigureLayer, DGItemKind::UserControl, 150, 180, 150),
           Item(kListLayer, DGItemKind::UserControl, 150, 210, 150),
           Item(kTuboFactor, DGItemKind::DoubleEdit, 150, 240), Item(kSnap, DGItemKind::PopUp, 150, 270, 200)}};
}

CDlgEnvironmentTab2::CDlgEnvironmentTab2(short resId, CEnvParam* env) : CDGDlgTabCore(resId), m_pEnvParam(env) {}

void CDlgEnvironmentTab2::DoMsgInit()
{
  CDGDlgCore::SetUserControlLayer(m_DialogID, kFigureLayer);
  CDGDlgCore::SetUserControlLayer(m_DialogID, kListLayer);
  for (const SnapChoice& choice : kSnapChoices)
    CDGDlgCore::PopUpInsert(m_DialogID, kSnap, GS::UniString(choice.text), choice.code);
  CDGDlgCore::PopUpSelectItemUserData(m_DialogID, kSnap, m_pEnvParam->m_SnapType);
  UpdateData(false);
  SetEnableItem();
}

bool CDlgEnvironmentTab2::UpdateData(bool save)
{
  if (save)
    return true;
  const short dialId = m_DialogID;
  const CEnvParam& env = *m_pEnvParam;
  DGSetItemValLong(dialId, env.m_NumberFillGaps ? kNumberFillGaps : kNumberContinue, 1);
  DGSetItemValLong(dialId, env.m_NumberFillGaps ? kNumberContinue : kNumberFillGaps, 0);
  DGSetItemValLong(dialId, kLengthComma, env.m_LengthComma ? 1 : 0);
  DGSetItemValLong(dialId, kAreaComma, env.m_AreaComma ? 1 : 0);
  DGSetItemValLong(dialId, kBlankDecimals, env.m_BlankDecimals ? 1 : 0);
  DGSetItemValLong(dialId, kLengthTenthDigit, env.m_LengthTenthDigit ? 1 : 0);
  DGSetItemValLong(dialId, kFigureLayer, env.m_Area1Layer);
  DGSetItemValLong(dialId, kListLayer, env.m_ListLayer);
  DGSetItemValDouble(dialId, kTuboFactor, env.m_TuboFactor);
  CDGDlgCore::PopUpSelectItemUserData(dialId, kSnap, env.m_SnapType);
  SetEnableItem();
  return true;
}

void CDlgEnvironmentTab2::SetEnableItem()
{
  EnableItem(kFigureLayer, false);
  for (short item : {kNumberContinue, kNumberFillGaps, kLengthComma, kAreaComma, kTuboFactor, kSnap})
    EnableItem(item, true);
}

// A factor of zero or below turns every tsubo total into nonsense.
void CDlgEnvironmentTab2::TakeTuboFactor()
{
  double factor = 0;
  if (!EnvPageInput::GetReal(m_DialogID, kTuboFactor, factor))
    return;
  if (factor <= 0) {
    EnvPageInput::Refuse();
    return;
  }
  m_pEnvParam->m_TuboFactor = factor;
}

// The stored forms keep the layer by its name in the default code: one the
// code cannot hold would come back as another layer, or none.
void CDlgEnvironmentTab2::TakeListLayer()
{
  const short layer = static_cast<short>(DGGetItemValLong(m_DialogID, kListLayer));
  GS::UniString name;
  if (CGSUtil::GetAttrName(API_LayerID, layer, name) == NoError && DocText::RefuseUnheld(name)) {
    DGSetItemValLong(m_DialogID, kListLayer, m_pEnvParam->m_ListLayer);
    return;
  }
  m_pEnvParam->m_ListLayer = layer;
}

void CDlgEnvironmentTab2::DoMsgChange(short item, long long /*msgData*/)
{
  const short dialId = m_DialogID;
  CEnvParam& env = *m_pEnvParam;
  // Only the check boxes hold an on/off value.
  const auto on = [&] { return DGGetItemValLong(dialId, item) != 0; };
  switch (item) {
  case kNumberContinue:
  case kNumberFillGaps: env.m_NumberFillGaps = DGGetItemValLong(dialId, kNumberFillGaps) != 0; break;
  case kLengthComma: env.m_LengthComma = on(); break;
  case kAreaComma: env.m_AreaComma = on(); break;
  case kBlankDecimals: env.m_BlankDecimals = on(); break;
  case kLengthTenthDigit: env.m_LengthTenthDigit = on(); break;
  case kListLayer: TakeListLayer(); break;
  case kTuboFactor: TakeTuboFactor(); break;
  case kSnap: env.m_SnapType = static_cast<short>(CDGDlgCore::PopUpSelectedUserData(dialId, kSnap)); break;
  default: break;
  }
  if (item == kTuboFactor)
    DGSetItemValDouble(dialId, kTuboFactor, env.m_TuboFactor);
  SetEnableItem();
}
