// Calculation-tree totals, labels and tree views.
//
// The building total of a node sums the node's rounded area over every
// floor that calculates it and rounds that sum once more with the node's
// building-total item. A tsubo (坪) is 400/121 m2; the settings' factor turns
// m2 into tsubo.

#include "CAreaTree.h"

#include "CArea2Object.h"
#include "CAreaObject.h"
#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "DocNumber.h"
#include "dg_manager.h"
#include "host_assert.h"
#include "host_debug.h"

namespace {

// Icons of the tree views (resources of the add-on).
constexpr short kIconFolder = 32422;
constexpr short kIconFigures = 32420;         // MODE 1 求積区画
constexpr short kIconManual = 32425;          // MODE 2 手動入力
constexpr short kIconAutoDivided = 32426;     // MODE 3 自動分割区画
constexpr short kIconAutoAndFigures = 32424;  // MODE 4 自動+求積

GS::UniString MinusPrefix(int op)
{
  return op == COperatorTable::OPERATOR_MINUS ? GS::UniString(u"▲") : GS::UniString();
}

// A node's tree-view item shows its text and carries the node's code, so
// the view can find the node again from a selected item; a code, not the
// node's address, which a replaced tree would leave dangling.
void SetNodeItem(short dialog, short item, Int32 treeItem, const GS::UniString& text, const CAreaTree* node)
{
  DGTreeViewSetItemText(dialog, item, treeItem, text);
  DGTreeViewSetItemUserData(dialog, item, treeItem, static_cast<DGUserData>(node->m_AreaCode));
}

void ShowExpanded(short dialog, short item, Int32 treeItem, bool expanded)
{
  if (expanded)
    DGTreeViewExpandItem(dialog, item, treeItem);
  else
    DGTreeViewCollapseItem(dialog, item, treeItem);
}

}  // namespace

long long CAreaTree::GetAllFloorTotalArea(const CPlenimetraParam* param, CKelProgressCore& progress) const
{
  const CFloorParamArray& floors = param->m_FloorParamArray;
  progress.SetRange(static_cast<int>(floors.size()), "");
  const CAreaObject* pAreaObject = param->GetAreaObject(m_AreaCode);
  long long sum = 0;
  for (const CFloorParam& floor : floors) {
    if (m_AreaCode != 0 && floor.IsCalc(&floors, m_AreaCode)) {
      PLN_ASSERT(pAreaObject != nullptr);
      sum += pAreaObject->GetRoundArea(param, this, floor.m_FloorNo);
    }
    progress.StepIt();
    progress.CheckAbort();  // a total runs to its end; the answer is not acted on
  }
  if (pAreaObject == nullptr)
    return sum;
  return param->GetRoundArea3(sum, pAreaObject->m_RoundType, &m_RoundTypeTotal);
}

GS::UniString CAreaTree::GetTextTotal(const CPlenimetraParam* param, CKelProgressCore& progress) const
{
  const long long total = GetAllFloorTotalArea(param, progress);
  return MinusPrefix(m_Operator) + param->GetAreaStr(total, m_RoundTypeTotal.m_Digit);
}

GS::UniString CAreaTree::GetTextTotalTubo(const CPlenimetraParam* param, CKelProgressCore& progress) const
{
  const long long total = GetAllFloorTotalArea(param, progress);
  // The factor is a stored setting: a damaged one gives the limit, not an
  // overflow.
  const double product = static_cast<double>(total) * param->m_EnvParam.m_TuboFactor;
  const auto magnitude = static_cast<long long>(SnapToInteger(ScaledMagnitude(product)));
  const long long tubo = product < 0 ? -magnitude : magnitude;
  return MinusPrefix(m_Operator) + param->GetAreaStr(tubo, m_RoundTypeTotal.m_Digit);
}

GS::UniString CAreaTree::GetText(const CPlenimetraParam* param, CKelProgressCore& progress) const
{
  const CAreaObject* pAreaObject = param->GetAreaObject(m_AreaCode);
  PLN_ASSERT(pAreaObject != nullptr);
  const CTreeShowItem& show = param->m_EnvParam.m_TreeShowItem;

  GS::UniString text;
  if (show.m_bShowArea || show.m_bShowTotal) {
    text += m_Operator == COperatorTable::OPERATOR_MINUS ? u"▲[" : u"[";
    if (show.m_bShowArea) {
      const long long floorArea = pAreaObject->GetRoundArea(param, this, CGSUtil::GetActStory());
      text += param->TrimRight(param->GetAreaStr(floorArea, m_RoundTypeFloor.m_Digit));
    }
    if (show.m_bShowArea && show.m_bShowTotal)
      text += u"/";
    if (show.m_bShowTotal)
      text += param->TrimRight(param->GetAreaStr(GetAllFloorTotalArea(param, progress), m_RoundTypeTotal.m_Digit));
    text += u"]";
  }
  if (show.m_bShowMarkNo) {
    if (!text.IsEmpty())
      text += u" ";
    text += pAreaObject->GetMarkStr(param) + pAreaObject->GetItemNoStr(param);
  }
  return text;
}

GS::UniString CAreaTree::GetTextEnv(CPlenimetraParam* param) const
{
  return GS::UniString(u"  [") + param->GetDefaultShortStr(&m_RoundTypeFloor) + u"/" +
         param->GetDefaultShortStr(&m_RoundTypeTotal) + u"]";
}

// ---- tree views -------------------------------------------------------------

void CAreaTree::SetIcon(CAreaObject* object, short dialog, short item, int treeItem) const
{
  short icon = 0;
  if (m_AreaCode >= 1) {
    icon = kIconFolder;
  } else if (m_AreaCode < 0) {
    auto* pArea2 = dynamic_cast<CArea2Object*>(object);
    PLN_ASSERT(pArea2 != nullptr);
    const CArea2ObjectFloor* record = pArea2->m_FloorArray.FindFloor(CGSUtil::GetActStory());
    switch (record != nullptr ? record->m_Mode : CArea2ObjectFloor::MODE_AUTO) {
    case CArea2ObjectFloor::MODE_FIGURE: icon = kIconFigures; break;
    case CArea2ObjectFloor::MODE_MANUAL: icon = kIconManual; break;
    case CArea2ObjectFloor::MODE_AUTO: icon = kIconAutoDivided; break;
    case CArea2ObjectFloor::MODE_BOTH: icon = kIconAutoAndFigures; break;
    default: break;  // the readers repair MODE; an unknown one shows no icon
    }
  }
  if (icon != 0)
    DGTreeViewSetItemIcon(dialog, item, treeItem, DG::Icon(ACAPI_GetOwnResModule(), icon));
}

CAreaTree* CAreaTree::NodeOfItem(short dialog, short item, int treeItem)
{
  const DGUserData code = treeItem != 0 ? DGTreeViewGetItemUserData(dialog, item, treeItem) : 0;
  return code != 0 ? FindNode(static_cast<int>(code)) : nullptr;
}

// Marked nodes too: a move marks the dragged subtree before it asks where
// the drop lands.
CAreaTree* CAreaTree::FindNode(int code)
{
  std::vector<CAreaTree*> open{this};
  while (!open.empty()) {
    CAreaTree* node = open.back();
    open.pop_back();
    if (node->m_AreaCode == code)
      return node;
    for (CAreaTree& child : node->m_Child)
      open.push_back(&child);
  }
  return nullptr;
}

void CAreaTree::UpdateTree(CPlenimetraParam* param, short dialog, short item, int parentItem) const
{
  if (m_AreaCode == 0 || m_DeleteMask)
    return;
  CAreaObject* pAreaObject = param->GetAreaObject(m_AreaCode);
  PLN_ASSERT(pAreaObject != nullptr);
  const Int32 treeItem = DGTreeViewInsertItem(dialog, item, parentItem, DG_TVI_BOTTOM);

  GS::UniString label;
  {
    CDlgProgress progress;
    progress.OpenProgress("", false);
    label = GetText(param, progress);
    progress.Close();
  }
  SetNodeItem(dialog, item, treeItem, pAreaObject->m_Name.m_DefaultName + label, this);
  SetIcon(pAreaObject, dialog, item, treeItem);

  for (const CAreaTree& child : m_Child)
    child.UpdateTree(param, dialog, item, treeItem);
  ShowExpanded(dialog, item, treeItem, m_Expand);
}

void CAreaTree::UpdateTreeEnv(CPlenimetraParam* param, short dialog, short item, int parentItem) const
{
  if (m_AreaCode == 0 || m_DeleteMask)
    return;
  CAreaObject* pAreaObject = param->GetAreaObject(m_AreaCode);
  PLN_ASSERT(pAreaObject != nullptr);
  const Int32 treeItem = DGTreeViewInsertItem(dialog, item, parentItem, DG_TVI_BOTTOM);
  SetNodeItem(dialog, item, treeItem, pAreaObject->m_Name.m_DefaultName + GetTextEnv(param), this);
  const short icon = m_AreaCode >= 1 ? kIconFolder : kIconFigures;
  DGTreeViewSetItemIcon(dialog, item, treeItem, DG::Icon(ACAPI_GetOwnResModule(), icon));

  for (const CAreaTree& child : m_Child)
    child.UpdateTreeEnv(param, dialog, item, treeItem);
  ShowExpanded(dialog, item, treeItem, m_Expand);
}

void CAreaTree::Dump(CPlenimetraParam* param, int indent) const
{
  const CAreaObject* object = param->FindAreaObject(m_AreaCode);
  const std::string name = object != nullptr ? object->m_Name.m_DefaultName.ToStdString(CC_UTF8) : "NoName";
  DBPrintf("%*s %s\n", indent, "", name.c_str());
  for (const CAreaTree& child : m_Child)
    child.Dump(param, indent + 1);
}
