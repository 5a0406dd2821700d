#include "CDlgEnvironmentTabTree.h"

#include "CDGDlgCore.h"
#include "CDlgEditName.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraParamArray.h"
#include "CSelectList.h"
#include "DlgFileBrowse.h"
#include "DlgLayout.h"
#include "DocRecord.h"
#include "GSWriteReport.h"
#include "GetAppDataPath.h"
#include "host_alert.h"

namespace {

constexpr short kNewPattern = 2, kCopyPattern = 3, kDeletePattern = 4, kExport = 5, kImport = 6;
constexpr short kPatterns = 7;
constexpr short kItemInsert = 9, kItemCopy = 10, kItemDelete = 11, kItemEdit = 12;
constexpr short kTree = 13;

// The host's resize sub-kind of a user's resize.
constexpr short kResizeByUser = 1;

// The rounding items of the two folders a new pattern starts with.
const CRoundTypeItem kNewPatternRounding{CRoundTypeTable::ROUNDTYPE_CUT, 2};

// What a refused edit of the root's children says it was.
constexpr const char16_t* kNoDelete = u"この項目は削除できません。";

// The name of the temporary pattern file of the copy, in the settings folder.
constexpr const char16_t* kTempTreeName = u"temptree";

CArea4Object NewPatternFolder(CPlenimetraParam* param, const GS::UniString& name, int code)
{
  return CArea4Object(param, CAreaNameArray(name), code, CArea2ListTypeTable::LISTTYPE_FORMULA,
                      CItemType1Table::ITEMTYPE_NOMARK, CItemType2Table::ITEMTYPE_ROMAN, -1, -1);
}

// The root's object, when the pattern has a root whose tree names only
// objects it holds; such a pattern is never listed or shown.
const CAreaObject* ShownRoot(const CPlenimetraParam& pattern)
{
  if (pattern.m_AreaTree2.m_Child.empty() || !pattern.m_AreaTree2.NamesOnlyObjectsOf(&pattern))
    return nullptr;
  return pattern.FindAreaObject(pattern.m_AreaTree2.m_Child.front().m_AreaCode);
}

bool Confirm(const GS::UniString& text)
{
  return DGAlert(-3, GS::UniString(u"メンセラ"), text, GS::UniString(), GS::UniString(u"はい"),
                 GS::UniString(u"いいえ")) == 1;
}

// The name before its first " (", as an imported name's number is added.
GS::UniString BaseName(const GS::UniString& name)
{
  const UIndex cut = name.FindFirst(GS::UniString(u" ("));
  return cut == GS::MaxUIndex ? name : name.GetPrefix(cut);
}

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTabTree::Layout()
{
  using DlgLayout::Item;
  using pln::host::DGItemKind;
  pln::host::DGItemDef tree = Item(kTree, DGItemKind::TreeView, 10, 70, 580, 320);
  return {600, 400,
          {Item(kNewPattern, DGItemKind::Button, 10, 10, 60), Item(kCopyPattern, DGItemKind::Button, 75, 10, 60),
           Item(kDeletePattern, DGItemKind::Button, 140, 10, 60), Item(kExport, DGItemKind::Button, 205, 10, 60),
           Item(kImport, DGItemKind::Button, 270, 10, 60), Item(kPatterns, DGItemKind::PopUp, 340, 10, 250),
           Item(kItemInsert, DGItemKind::Button, 10, 40, 60), Item(kItemCopy, DGItemKind::Button, 75, 40, 60),
           Item(kItemDelete, DGItemKind::Button, 140, 40, 60), Item(kItemEdit, DGItemKind::Button, 205, 40, 60),
           tree}};
}

CDlgEnvironmentTabTree::CDlgEnvironmentTabTree(short resId, CPlenimetraParam* param, CPlenimetraParamArray* patterns)
    : CDGDlgTabCore(resId), m_pParamArray(patterns), m_pParam(param)
{
}

// ---- messages -----------------------------------------------------------------

void CDlgEnvironmentTabTree::DoMsgInit()
{
  SetTreeList();
  UpdateData(false);
  SetEnableItem();
  DGEnableMessage(m_DialogID, 0, DG_MSG_DRAGDROP, 0);
}

// The list is refilled: an import in the settings dialog replaces the
// patterns. The entry selected before stays selected while it exists.
bool CDlgEnvironmentTabTree::UpdateData(bool save)
{
  if (save)
    return true;
  const short position = DGPopUpGetSelected(m_DialogID, kPatterns);
  SetTreeList();
  if (position >= 1 && position <= DGPopUpGetItemCount(m_DialogID, kPatterns))
    DGPopUpSelectItem(m_DialogID, kPatterns, position);
  SetEnableItem();
  if (DGPopUpGetSelected(m_DialogID, kPatterns) >= 1)
    SetTreeItem();
  return true;
}

void CDlgEnvironmentTabTree::SetEnableItem()
{
  const bool shown = CurrentPattern() != nullptr;
  const CSelectList selection = GetSelTree();
  const bool one = selection.size() == 1;
  const CAreaTree* node = one ? NodeOf(selection.front()) : nullptr;
  const bool oneFolder = node != nullptr && node->m_AreaCode > 0;
  const bool hasParent = one && DGTreeViewGetItem(m_DialogID, kTree, selection.front(), DG_TVG_PARENT) != 0;

  EnableItem(kNewPattern, true);
  EnableItem(kCopyPattern, shown);
  EnableItem(kDeletePattern, m_pParamArray->size() >= 2);
  EnableItem(kExport, shown);
  EnableItem(kImport, true);
  EnableItem(kPatterns, true);
  EnableItem(kItemInsert, oneFolder);
  // A copy of the root would be a second pattern inside this one.
  EnableItem(kItemCopy, oneFolder && hasParent);
  EnableItem(kItemDelete, hasParent);
  EnableItem(kItemEdit, !selection.empty());
  EnableItem(kTree, true);
}

void CDlgEnvironmentTabTree::DoMsgChange(short item, long long /*msgData*/)
{
  if (item == kPatterns && DGPopUpGetSelected(m_DialogID, kPatterns) >= 1)
    SetTreeItem();
  SetEnableItem();
}

void CDlgEnvironmentTabTree::DoMsgClick(short item, long long /*msgData*/)
{
  switch (item) {
  case kNewPattern: DoTreeAdd(); break;
  case kCopyPattern: DoTreeCopy(); break;
  case kDeletePattern: DoTreeDelete(); break;
  case kExport: DoSave(); break;
  case kImport: DoLoad(); break;
  case kItemInsert: DoItemInsert(); break;
  case kItemCopy: DoItemCopy(); break;
  case kItemDelete: ItemDeleteConfirmed(); break;
  case kItemEdit: DoItemEdit(); break;
  default: break;
  }
  SetEnableItem();
}

void CDlgEnvironmentTabTree::DoMsgResize(DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != kResizeByUser)
    return;
  DGBeginMoveGrowItems(m_DialogID);
  DGGrowItem(m_DialogID, kTree, arg->hGrow, arg->vGrow);
  DGEndMoveGrowItems(m_DialogID);
}

// ---- display --------------------------------------------------------------------

void CDlgEnvironmentTabTree::SetTreeList()
{
  DGPopUpDeleteItem(m_DialogID, kPatterns, DG_ALL_ITEMS);
  for (std::size_t i = 0; i < m_pParamArray->size(); ++i)
    if (const CAreaObject* root = ShownRoot((*m_pParamArray)[i]))
      CDGDlgCore::PopUpInsert(m_DialogID, kPatterns, root->m_Name.m_DefaultName, static_cast<long long>(i));
  if (DGPopUpGetItemCount(m_DialogID, kPatterns) >= 1)
    DGPopUpSelectItem(m_DialogID, kPatterns, 1);
}

void CDlgEnvironmentTabTree::SetTreeItem()
{
  DGTreeViewDeleteItem(m_DialogID, kTree, DG_ALL_ITEMS);
  if (CPlenimetraParam* pattern = CurrentPattern())
    pattern->m_AreaTree2.m_Child.front().UpdateTreeEnv(pattern, m_DialogID, kTree, DG_TVI_ROOT);
}

CSelectList CDlgEnvironmentTabTree::GetSelTree() const
{
  CSelectList selection;
  const Int32 count = DGTreeViewGetSelCount(m_DialogID, kTree);
  if (count <= 0)
    return selection;
  std::vector<Int32> items(static_cast<std::size_t>(count));
  items.resize(static_cast<std::size_t>(DGTreeViewGetSelItems(m_DialogID, kTree, items.data(), count)));
  selection.assign(items.begin(), items.end());
  return selection;
}

CPlenimetraParam* CDlgEnvironmentTabTree::CurrentPattern() const
{
  if (DGPopUpGetSelected(m_DialogID, kPatterns) < 1)
    return nullptr;
  const long long index = CDGDlgCore::PopUpSelectedUserData(m_DialogID, kPatterns);
  if (index < 0 || index >= static_cast<long long>(m_pParamArray->size()))
    return nullptr;
  CPlenimetraParam& pattern = (*m_pParamArray)[static_cast<std::size_t>(index)];
  return ShownRoot(pattern) != nullptr ? &pattern : nullptr;
}

CAreaTree* CDlgEnvironmentTabTree::NodeOf(int treeItem) const
{
  CPlenimetraParam* pattern = CurrentPattern();
  return pattern != nullptr ? pattern->m_AreaTree2.NodeOfItem(m_DialogID, kTree, treeItem) : nullptr;
}

bool CDlgEnvironmentTabTree::RefuseRootChildEdit(const CPlenimetraParam& pattern, const CAreaTree* parent,
                                                 const char16_t* refused) const
{
  if (parent == nullptr || pattern.m_AreaTree2.m_Child.empty() ||
      parent->m_AreaCode != pattern.m_AreaTree2.m_Child.front().m_AreaCode)
    return false;
  GSWriteReport(GS::UniString(refused) + u"計算パターンの最上位の項目の下には小計項目がひとつだけ必要です。");
  return true;
}

// ---- pattern commands -------------------------------------------------------------

GS::UniString CDlgEnvironmentTabTree::PatternName(const CPlenimetraParam& pattern)
{
  const CAreaObject* root = ShownRoot(pattern);
  return root != nullptr ? root->m_Name.m_DefaultName : GS::UniString();
}

std::vector<GS::UniString> CDlgEnvironmentTabTree::PatternNames() const
{
  std::vector<GS::UniString> names;
  for (const CPlenimetraParam& pattern : *m_pParamArray)
    if (ShownRoot(pattern) != nullptr)
      names.push_back(PatternName(pattern));
  return names;
}

bool CDlgEnvironmentTabTree::AskName(GS::UniString& name) const
{
  CDlgEditName dialog;
  dialog.m_Name = name;
  dialog.m_NameArray = PatternNames();
  if (dialog.DoModal() != 1)
    return false;
  name = dialog.m_Name;
  return true;
}

void CDlgEnvironmentTabTree::AppendAndSelect(CPlenimetraParam&& pattern)
{
  m_pParamArray->push_back(std::move(pattern));
  SetTreeList();
  DGPopUpSelectItem(m_DialogID, kPatterns, DGPopUpGetItemCount(m_DialogID, kPatterns));
  SetTreeItem();
  UpdateData(false);
}

void CDlgEnvironmentTabTree::DoTreeAdd()
{
  GS::UniString name;
  if (!AskName(name))
    return;
  CPlenimetraParam pattern;
  const int rootCode = ++pattern.m_LastAreaCode;
  pattern.m_Area4ObjectArray.push_back(NewPatternFolder(m_pParam, name, rootCode));
  pattern.m_AreaTree2.Insert2(0, rootCode, kNewPatternRounding, kNewPatternRounding);
  const int folderCode = ++pattern.m_LastAreaCode;
  pattern.m_Area4ObjectArray.push_back(NewPatternFolder(m_pParam, name, folderCode));
  pattern.m_AreaTree2.Insert2(rootCode, folderCode, kNewPatternRounding, kNewPatternRounding);
  AppendAndSelect(std::move(pattern));
}

bool CDlgEnvironmentTabTree::ReadPattern(const GS::UniString& path, CPlenimetraParam& pattern) const
{
  if (pattern.m_AreaTree2.Load3(&pattern, path) != 1 || pattern.m_AreaTree2.m_Child.size() != 1 ||
      ShownRoot(pattern) == nullptr) {
    GSWriteReport(path + u"が読み込めません");
    return false;
  }
  return true;
}

// The pattern file keeps its names in a fixed 8-bit code, which under a
// UTF-8 host may lack a character of a name: refused naming the pattern
// and the character, not the file it would have been written to.
bool CDlgEnvironmentTabTree::RefuseUnheldInFile(CPlenimetraParam& pattern) const
{
  const GS::UniString character = pattern.m_AreaTree2.m_Child.front().FirstUnheldInFile(&pattern);
  if (character.IsEmpty())
    return false;
  GSWriteReport(GS::UniString(u"計算パターン「") + PatternName(pattern) + u"」を保存できません。" +
                DocText::UnheldMessage(character));
  return true;
}

// The copy goes through the pattern file, so it carries what the file
// keeps and the reader's defaults for the rest.
void CDlgEnvironmentTabTree::DoTreeCopy()
{
  CPlenimetraParam* current = CurrentPattern();
  if (current == nullptr)
    return;
  if (RefuseUnheldInFile(*current))
    return;
  GS::UniString name = PatternName(*current);
  if (!AskName(name))
    return;
  // Without the settings folder the file would land wherever the process runs.
  const std::string folder = GetAppDataPath();
  const GS::UniString path = GS::UniString(folder.c_str()) + kTempTreeName;
  if (folder.empty() || !current->m_AreaTree2.m_Child.front().Save3(current, path)) {
    GSWriteReport(path + u"が保存できません");
    return;
  }
  CPlenimetraParam copy;
  if (!ReadPattern(path, copy))
    return;
  copy.FindAreaObject(copy.m_AreaTree2.m_Child.front().m_AreaCode)->m_Name.m_DefaultName = name;
  AppendAndSelect(std::move(copy));
}

void CDlgEnvironmentTabTree::DoTreeDelete()
{
  if (m_pParamArray->size() < 2 || CurrentPattern() == nullptr)
    return;
  if (!Confirm(GS::UniString(u"現在選択されている計算パターンを削除します。\nよろしいですか？")))
    return;
  const short position = DGPopUpGetSelected(m_DialogID, kPatterns);
  const auto index = static_cast<std::size_t>(CDGDlgCore::PopUpSelectedUserData(m_DialogID, kPatterns));
  m_pParamArray->erase(m_pParamArray->begin() + static_cast<std::ptrdiff_t>(index));
  SetTreeList();
  const short count = DGPopUpGetItemCount(m_DialogID, kPatterns);
  DGPopUpSelectItem(m_DialogID, kPatterns, position <= count ? position : count);
  UpdateData(false);
}

void CDlgEnvironmentTabTree::DoSave()
{
  CPlenimetraParam* current = CurrentPattern();
  if (current == nullptr)
    return;
  if (RefuseUnheldInFile(*current))
    return;
  GS::UniString path = PatternName(*current);
  if (!DoBrowse(false, path))
    return;
  if (!current->m_AreaTree2.m_Child.front().Save3(current, path))
    GSWriteReport(path + u"が保存できません");
}

void CDlgEnvironmentTabTree::DoLoad()
{
  GS::UniString path;
  if (!DoBrowse(true, path))
    return;
  CPlenimetraParam pattern;
  if (!ReadPattern(path, pattern))
    return;
  CAreaObject* root = pattern.FindAreaObject(pattern.m_AreaTree2.m_Child.front().m_AreaCode);
  const GS::UniString name = root->m_Name.m_DefaultName;
  int clashes = 0;
  for (const CPlenimetraParam& other : *m_pParamArray)
    if (ShownRoot(other) != nullptr && BaseName(PatternName(other)) == name)
      ++clashes;
  if (clashes > 0)
    root->m_Name.m_DefaultName = name + GS::UniString::Printf(" (%d)", clashes + 1);
  m_pParamArray->push_back(std::move(pattern));
  SetTreeList();
  UpdateData(false);
}

// The file-type manager's name says export for the open dialog and import
// for the save dialog; it is only the manager's internal name.
bool CDlgEnvironmentTabTree::DoBrowse(bool open, GS::UniString& path)
{
  const DlgFileKind kind{open ? "メンセラ 計算パターン ｴｸｽﾎﾟｰﾄ" : "メンセラ 計算パターン ｲﾝﾎﾟｰﾄ", "datTree",
                         u"メンセラ 計算パターン ﾌｧｲﾙ (*.dattree)"};
  return DlgFileBrowse(open, kind, path);
}

// ---- item commands ----------------------------------------------------------------

void CDlgEnvironmentTabTree::DoItemCopy()
{
  CPlenimetraParam* pattern = CurrentPattern();
  const CSelectList selection = GetSelTree();
  if (pattern == nullptr || selection.size() != 1)
    return;
  const CAreaTree* node = NodeOf(selection.front());
  if (node == nullptr || node->m_AreaCode <= 0 ||
      DGTreeViewGetItem(m_DialogID, kTree, selection.front(), DG_TVG_PARENT) == 0)
    return;
  if (RefuseRootChildEdit(*pattern, pattern->m_AreaTree2.GetParent(node), u"この項目は複写できません。"))
    return;
  CAreaTree copy = *node;
  const int code = node->m_AreaCode;
  copy.Duplicate(pattern);
  pattern->m_AreaTree2.MoveUnder(code, copy);
  SetTreeItem();
}

void CDlgEnvironmentTabTree::ItemDeleteConfirmed()
{
  CPlenimetraParam* pattern = CurrentPattern();
  const CSelectList selection = GetSelTree();
  if (pattern == nullptr || selection.empty())
    return;
  const CAreaTree* node = NodeOf(selection.front());
  const CAreaObject* object = node != nullptr ? pattern->FindAreaObject(node->m_AreaCode) : nullptr;
  if (object == nullptr || RefuseRootChildEdit(*pattern, pattern->m_AreaTree2.GetParent(node), kNoDelete))
    return;
  if (Confirm(object->m_Name.m_DefaultName + u"　を削除します。\nよろしいですか？"))
    DoItemDelete();
}

// The objects stay in the pattern's lists; only the tree loses them.
void CDlgEnvironmentTabTree::DoItemDelete()
{
  CPlenimetraParam* pattern = CurrentPattern();
  const CSelectList selection = GetSelTree();
  if (pattern == nullptr || selection.empty())
    return;
  const CAreaTree* node = NodeOf(selection.front());
  if (node == nullptr || DGTreeViewGetItem(m_DialogID, kTree, selection.front(), DG_TVG_PARENT) == 0 ||
      RefuseRootChildEdit(*pattern, pattern->m_AreaTree2.GetParent(node), kNoDelete))
    return;
  if (pattern->m_AreaTree2.DeleteMask(node->m_AreaCode))
    pattern->m_AreaTree2.Delete();
  SetTreeItem();
}
