#include "CDlgSelectTree.h"

#include "CAreaObject.h"
#include "CPlenimetraParam.h"
#include "DlgLayout.h"

namespace {

enum : short { kOk = 1, kCancel = 2, kPatterns = 4, kLayer = 7 };

}  // namespace

pln::host::DGDialogDef CDlgSelectTree::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 300;
  def.height = 110;
  def.items = {
      DlgLayout::Item(kOk, DGItemKind::Button, 130, 80, 80, 20),
      DlgLayout::Item(kCancel, DGItemKind::Button, 215, 80, 80, 20),
      DlgLayout::Item(3, DGItemKind::StaticText, 5, 8, 85, 18),
      DlgLayout::Item(kPatterns, DGItemKind::PopUp, 95, 5, 200, 22),
      DlgLayout::Item(5, DGItemKind::StaticText, 5, 40, 85, 18),
      DlgLayout::Item(kLayer, DGItemKind::UserControl, 95, 37, 200, 22),
  };
  return def;
}

GS::UniString CDlgSelectTree::PatternName(const CPlenimetraParam& pattern)
{
  if (pattern.m_AreaTree2.m_Child.empty())
    return {};
  const CAreaObject* root = pattern.FindAreaObject(pattern.m_AreaTree2.m_Child.front().m_AreaCode);
  return root != nullptr ? root->m_Name.m_DefaultName : GS::UniString();
}

bool CDlgSelectTree::UpdateData(short dialId, bool save)
{
  if (save) {
    m_Index = DGPopUpGetSelected(dialId, kPatterns) - 1;
    return true;
  }
  DGPopUpSelectItem(dialId, kPatterns, static_cast<short>(m_Index + 1));
  DGSetItemValLong(dialId, kLayer, m_Layer);
  return true;
}

short CDlgSelectTree::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  if (item == kOk) {
    UpdateData(dialId, true);
    return kOk;
  }
  return item == kCancel ? kCancel : 0;
}

void CDlgSelectTree::DoMsgChange(short dialId, short /*item*/, long long /*msgData*/)
{
  m_Layer = static_cast<short>(DGGetItemValLong(dialId, kLayer));
}

void CDlgSelectTree::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  DGPopUpDeleteItem(dialId, kPatterns, DG_ALL_ITEMS);
  const CPlenimetraParamArray& patterns = m_pParam->m_EnvParam.m_PatternArray;
  for (std::size_t i = 0; i < patterns.size(); ++i)
    PopUpInsert(dialId, kPatterns, PatternName(patterns[i]), static_cast<long long>(i));
  SetUserControlLayer(dialId, kLayer);
  UpdateData(dialId, false);
}
