#pragma once
// CDlgEnvironmentTabTree: the calculation patterns of the settings dialog.
// Pop-up 7 chooses a pattern of the working list (entry user data: the
// pattern's list index, since patterns without a root are not listed);
// tree view 13 shows its root and subtree (item user data: the node).
// Patterns are made, copied, deleted, exported and imported whole; tree
// items are inserted, copied, deleted, edited and moved by drag and drop.
//
// Pattern: one CPlenimetraParam of the list whose working tree's first
// child is the root folder, named as the pattern; the root has exactly one
// child, a folder, and the page keeps it so. A pattern file read in
// (import, or the copy's round trip through the temporary file) is taken
// only when it holds exactly one pattern; nothing is added otherwise.

#include "CDGDlgTabCore.h"
#include "dg_state.h"
#include "gs_unistring.h"

#include <vector>

class CAreaTree;
class CPlenimetraParam;
class CPlenimetraParamArray;
class CSelectList;

class CDlgEnvironmentTabTree : public CDGDlgTabCore {
public:
  static constexpr short ResourceId = 32505;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTabTree(short resId, CPlenimetraParam* param, CPlenimetraParamArray* patterns);

  // == Messages ==
  void DoMsgChange(short item, long long msgData) override;
  void SetEnableItem() override;
  bool UpdateData(bool save) override;
  void DoMsgInit() override;
  void DoMsgClick(short item, long long msgData) override;
  void DoMsgTrack(short /*item*/, long long /*msgData*/) override {}
  void DoMsgClose() override {}
  void DoMsgResize(DG::ResizeEventArg* arg) override;
  short DoMsgDragDrop(short item, DG::DragDropEventArg* arg) override;

  // == Display ==
  void SetTreeList();
  void SetTreeItem();
  CSelectList GetSelTree() const;

  // == Pattern commands ==
  void DoTreeAdd();
  void DoTreeCopy();
  // Shows why the pattern file cannot hold the pattern; false when it can.
  bool RefuseUnheldInFile(CPlenimetraParam& pattern) const;
  void DoTreeDelete();
  void DoSave();
  void DoLoad();
  bool DoBrowse(bool open, GS::UniString& path);

  // == Item commands ==
  void DoItemInsert();
  void DoItemCopy();
  void DoItemDelete();
  void DoItemEdit();

  // Whether an item above the tree item (its parent, theirs, ...) is
  // marked for deletion.
  bool CheckDelete(int treeItem) const;

private:
  // The pattern of the pop-up's selected entry; null when none.
  CPlenimetraParam* CurrentPattern() const;
  static GS::UniString PatternName(const CPlenimetraParam& pattern);
  std::vector<GS::UniString> PatternNames() const;
  bool AskName(GS::UniString& name) const;
  // A pattern file read into a new pattern; false (reported) unless it
  // holds exactly one pattern.
  [[nodiscard]] bool ReadPattern(const GS::UniString& path, CPlenimetraParam& pattern) const;
  void AppendAndSelect(CPlenimetraParam&& pattern);
  CAreaTree* NodeOf(int treeItem) const;
  // The root holds exactly one folder, the top of every calculation made
  // from the pattern: an edit that would give the root another child or
  // none is refused in words, saying what it was. True when refused.
  bool RefuseRootChildEdit(const CPlenimetraParam& pattern, const CAreaTree* parent,
                           const char16_t* refused) const;
  void ItemDeleteConfirmed();
  void DoDrop(const DG::DragDropEventArg& arg);

  CPlenimetraParamArray* m_pParamArray;  // the working copy's patterns; not owned
  CPlenimetraParam* m_pParam;            // the document; not owned
};
