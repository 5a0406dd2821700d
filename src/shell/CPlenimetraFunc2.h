#pragma once
// CPlenimetraFunc2: the calculation-tree page of the main palette. The tree
// view (34) shows the current pattern; beside it one of three lists chosen
// by radios 9/10/11: the automatic-area list (37), the area list (35, one
// row per tree node) and the detail list (36, the active story's figures).
// Buttons 2-8 and 12 edit the tree and its display; tree edits push a tree
// undo snapshot first, button 6 pops it.
//
// Tree items and area-list rows carry a CAreaTree* of the document's
// current pattern as user data; detail rows a CArea1Object*, automatic-area
// rows a CAutoAreaParam*. Every rebuild of the tree view re-points them, so
// a pointer is never kept across a change of the tree.
//
// The tree undo stack is emptied when the page opens and on HINT 1 and 13:
// a snapshot restores figure lists, and after plan edits it would revive
// deleted figures or drop placed ones.

#include "CArea2Object.h"
#include "CDGListItemParam.h"
#include "CPlenimetraPage.h"
#include "CRoundTypeParam.h"
#include "CSelectList.h"
#include "CShowTotalTable.h"
#include "dg_state.h"

#include <functional>
#include <memory>
#include <vector>

class CArea1Object;
class CArea1ObjectPtrArray;
class CArea2ObjectPtrArray;
class CAutoAreaParam;
class CArea4Object;
class CAreaObject;
class CDlgEditCr4;
class CAreaTree;
class CFloorParam;
class CPlenimetraParam;

class CPlenimetraFunc2 : public CPlenimetraPage {
public:
  static constexpr short ResourceId = 32409;
  static pln::host::DGDialogDef Layout();
  static std::unique_ptr<CPlenimetraPage> Make(CPlenimetraPalette& palette);

  enum Item : short {
    ITEM_BACK = 1,
    ITEM_INSERT = 2,
    ITEM_COPY = 3,
    ITEM_DELETE = 4,
    ITEM_EDIT = 5,
    ITEM_UNDO = 6,
    ITEM_EDIT_CR = 7,
    ITEM_TREE_SHOW = 8,
    ITEM_RADIO_AUTO = 9,
    ITEM_RADIO_AREA = 10,
    ITEM_RADIO_DETAIL = 11,
    ITEM_AREA_COLUMNS = 12,
    ITEM_DEFAULT_ROUND = 13,
    ITEM_DETAIL_ROUND = 14,
    ITEM_DETAIL_OPERATOR = 15,
    // The area list's in-cell editors.
    ITEM_AREA_ITEMTYPE1 = 16,
    ITEM_AREA_ITEMTYPE2 = 17,
    ITEM_AREA_ROUND_TYPE = 18,
    ITEM_AREA_OPERATOR = 19,
    ITEM_AREA_NAME = 20,
    ITEM_AREA_SHOW_TOTAL = 21,
    ITEM_AREA_LIST_TYPE = 22,
    ITEM_AREA_AUTO_CR = 23,
    ITEM_AREA_BLD_ROUND_TYPE = 24,
    ITEM_AREA_BLD_ROUND_DIGIT = 25,
    ITEM_AREA_FLR_ROUND_TYPE = 26,
    ITEM_AREA_FLR_ROUND_DIGIT = 27,
    ITEM_AREA_TYPE = 28,
    ITEM_AREA_EQUATION = 29,
    ITEM_AREA_ORG_AREA = 30,
    ITEM_AREA_COLOR = 31,
    ITEM_AUTO_OPERATOR = 32,
    ITEM_AUTO_TARGET = 33,
    ITEM_TREE = 34,
    ITEM_AREA_LIST = 35,
    ITEM_DETAIL_LIST = 36,
    ITEM_AUTO_LIST = 37,
    ITEM_SPLITTER = 38,
  };
  // The page's own update after the tree display command.
  static constexpr HINT kHintTreeShown = 16;
  // The splitter never goes left of this position.
  static constexpr short kMinSplitterPos = 255;
  // The undo step of every recolouring after an edit of the tree or its
  // lists, and of the save that follows it.
  static constexpr const char16_t* kRecolourStep = u"メンセラ[]";
  // The undo step of the lists' edits, sorts and moves.
  static constexpr const char16_t* kListStep = u"メンセラ[求積図形リスト]";
  static constexpr const char16_t* kTargetNotChanged = u"自動作成区画の対象の変更を完了できませんでした。";

  explicit CPlenimetraFunc2(CPlenimetraPalette& palette);
  ~CPlenimetraFunc2() override;

  // == Overrides ==
  bool UpdateData(short dialId, bool get) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgTrack(short dialId, short item, long long msgData) override;
  void DoMsgUpdate(short dialId, short item, long long msgData) override;
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  void DoMsgClose(short dialId, short item) override;
  void DoMsgInit(short dialId) override;
  void EnableItem(short dialId) override;
  void DoMsgSplitterDrag(short dialId, short item, DG::SplitterDragEventArg* arg) override;
  short DoMsgListHeaderResize(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;
  // Sorts list 35, 36 or 37 by the clicked header (CPlenimetraFunc2Sort.cpp).
  bool DoMsgListHeaderClick(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;
  short DoMsgDragDrop(short dialId, short item, DG::DragDropEventArg* event) override;
  [[nodiscard]] GSErrCode SelectionChangeHandler(const API_Neig* neig) override;
  [[nodiscard]] GSErrCode OpenPalette() override;
  void ClosePalette() override;
  void OnUpdate(HINT hint) override;

  // == Tree view ==
  CSelectList GetSelTree(short dialId) const;
  CAreaTree* GetSelectedTreeItem(short dialId) const;
  CAreaTree* NodeOf(short dialId, int treeItem) const;
  void SetTreeID(short dialId, int treeItem, CSelectList& ids) const;
  void SetTreeItem(short dialId);
  void UpdateTreeItem(short dialId, int treeItem);
  bool SelectTreeItem(short dialId, int treeItem, const CAreaTree* node);

  // == Lists ==
  void SetAreaListHeader(short dialId);
  void SetDetailListHeader(short dialId);
  void SetAutoAreaListHeader(short dialId);
  void SetAreaListItem(short dialId);
  void SetDetailListItem(short dialId);
  void SetAutoAreaListItem(short dialId);
  void DoChangeListType(short dialId);
  void ShowDefaultRoundType(short dialId);

  // == Selection ==
  // An action on the page outlives the re-read of a record an undo or redo
  // put back (CPlenimetraFunc2Carry.cpp): it is carried out on the same
  // tree items and rows when the re-read still has them, else the user is
  // told why it was not.
  bool RefreshBeforeUserAction(short message, short item) override;
  // The tree items and area-list rows selected, set back after a re-read.
  std::function<void()> KeepView() override;
  [[nodiscard]] GSErrCode TreeChangeSelection(short dialId);
  void SetArea1Selection(short dialId);
  void ElementSelectionChange(short dialId);

  // == Area list (CPlenimetraFunc2AreaList.cpp) ==
  // Selected rows in ascending order.
  CSelectList GetSelAreaList(short dialId) const;
  void DoMsgChangeAreaList(short dialId);
  void ListChangeSelection(short dialId);
  void DoMsgChangeAreaItemType1(short dialId);
  void DoMsgChangeAreaItemType2(short dialId);
  void DoMsgChangeAreaRoundType(short dialId);
  void DoMsgChangeAreaOperator(short dialId);
  void DoMsgChangeAreaName(short dialId);
  void DoMsgChangeAreaShowTotal(short dialId);
  void DoMsgChangeAreaListType(short dialId);
  void DoMsgChangeAreaAutoCr(short dialId);
  void DoMsgChangeAreaBldType(short dialId);
  void DoMsgChangeAreaBldDigit(short dialId);
  void DoMsgChangeAreaFlrType(short dialId);
  void DoMsgChangeAreaFlrDigit(short dialId);
  void DoMsgChangeAreaType(short dialId);
  void DoMsgChangeAreaEquation(short dialId);
  void DoMsgChangeAreaOrgArea(short dialId);
  void DoMsgChangeAreaColor(short dialId);
  // Every figure the element lists on any story takes its colour on the
  // plan; call inside an undoable command.
  [[nodiscard]] GSErrCode ChangeAreaColor(CArea2Object* element);

  // == Detail list (CPlenimetraFunc2Detail.cpp) ==
  CArea1Object* DetailFigure(short dialId, short row) const;
  void SetDetailListItem(short dialId, short row, CArea1Object* figure);
  // Selected rows in host order.
  CSelectList GetSelDetailList(short dialId) const;
  void DoMsgChangeDetailList(short dialId);
  [[nodiscard]] GSErrCode DetailListChangeSelection(short dialId);
  void DoMsgChangeDetailRoundType(short dialId);
  void DoMsgChangeDetailOperator(short dialId);
  // The default names of the elements whose record on the active story
  // lists the figure, in tree order, joined by ",".
  GS::UniString GetArea1Target(short dialId, const CArea1Object* figure) const;
  // The name of the automatic area the figure was cut from; empty without.
  GS::UniString GetArea1AutoAreaName(const CArea1Object& figure) const;
  short DoDragDropDetailListToTree(short dialId, DG::DragDropEventArg* event);

  // == Automatic-area list (CPlenimetraFunc2AutoArea.cpp) ==
  // The element of the single selected tree item; none for a folder, no
  // item or several.
  CArea2Object* GetSelectedElement(short dialId) const;
  void SetAutoAreaListItem(short dialId, short row, CAutoAreaParam* record);
  // Selected rows in host order.
  CSelectList GetSelAutoAreaList(short dialId) const;
  CAutoAreaParam* AutoAreaRecord(short dialId, short row) const;
  void DoMsgChangeAutoAreaList(short dialId);
  [[nodiscard]] GSErrCode AutoAreaListChangeSelection(short dialId);
  void DoMsgChangeAutoAreaOperator(short dialId);
  // Appends the elements below node that take the record on the story, a
  // node before its descendants. Reads only: a story without a record
  // takes nothing.
  void GetAutoAreaTarget(short story, const CAutoAreaParam* record, const CAreaTree* node,
                         CArea2ObjectPtrArray& elements) const;
  // The default names of the elements that take the record, joined by ",".
  GS::UniString GetAutoAreaTarget(const CAutoAreaParam* record) const;
  // The element takes the automatic area on the active story; refused with
  // a message unless its MODE takes automatic areas.
  void AddTarget(const CAutoAreaParam* record, CArea2Object* element);
  // Takes the automatic area out of the element's record on the active
  // story; the figures whose entry went are appended to removed.
  void RemoveTarget(const CAutoAreaParam* record, CArea2Object* element, CArea1ObjectPtrArray& removed);
  [[nodiscard]] GSErrCode DoMsgClickAutoAreaTarget(short dialId);
  short DoDragDropAutoAreaListToTree(short dialId, DG::DragDropEventArg* event);
  // After a change of targets: the detail editors, the area and
  // automatic-area lists.
  void RefillLists(short dialId);
  // The elements' and removed figures' recolouring, the lists refilled and
  // the document saved, all in the recolouring's undo step "メンセラ[]".
  void RecolourAndSave(short dialId, const std::vector<CArea2Object*>& elements, const CArea1ObjectPtrArray& removed);
  // The placed parts of the elements' figures and of the removed figures
  // re-coloured; the caller's undo step holds it.
  [[nodiscard]] GSErrCode RecolourFigures(const std::vector<CArea2Object*>& elements,
                                          const CArea1ObjectPtrArray& removed);
  // In a shared project, reserves what a recolouring of the elements will
  // rewrite: every figure they list on any story, and the figures that
  // enter or leave them. Called before the change, so that a refusal
  // leaves everything as it was. A figure shows the colour of the one
  // element listing it: a change of targets passes no element, as only the
  // figures entering or leaving change.
  [[nodiscard]] GSErrCode ReserveRecolouring(const std::vector<CArea2Object*>& elements,
                                             const CArea1ObjectPtrArray& moving) const;
  static GS::Array<API_Guid> RecolouringGuids(const std::vector<CArea2Object*>& elements,
                                              const CArea1ObjectPtrArray& moving);
  // The figures among moving whose colour the change of the elements'
  // targets gives another: only they are reserved and rewritten. The
  // change runs in memory and the elements' records are then put back.
  CArea1ObjectPtrArray Recoloured(const std::vector<CArea2Object*>& elements, const CArea1ObjectPtrArray& moving,
                                  const std::function<void()>& change) const;

  // == Sorting (CPlenimetraFunc2Sort.cpp) ==
  // Each reorders what its rows stand for, refills the list, selects the
  // same objects again and saves; the detail sort is one undo step.
  void SortAreaList(short dialId, short column);
  void SortDetailList(short dialId, short column);
  [[nodiscard]] GSErrCode SortDetailRows(short dialId, short column);
  void SortAutoAreaList(short dialId, short column);
  // Saves an edit, sort or move of the lists, which reaches the host only
  // with the save, as its own undo step; shows a failure.
  void SaveListEdit();

  // == Dragging (CPlenimetraFunc2Drag.cpp) ==
  short DoMsgDragDropTree(short dialId, DG::DragDropEventArg* event);
  short DoMsgDragDropAreaList(short dialId, DG::DragDropEventArg* event);
  // Whether an item above treeItem is marked for deletion: the target lies
  // in the dragged subtree.
  bool CheckDelete(short dialId, int treeItem) const;

  // == Commands (CPlenimetraFunc2Commands.cpp); host error codes ==
  [[nodiscard]] GSErrCode DoItemInsert(short dialId);
  [[nodiscard]] GSErrCode DoItemCopy(short dialId);
  [[nodiscard]] GSErrCode DoItemDelete(short dialId);
  [[nodiscard]] GSErrCode DoItemEdit(short dialId);
  [[nodiscard]] GSErrCode DoUndo(short dialId);
  [[nodiscard]] GSErrCode DoEditCr(short dialId);
  [[nodiscard]] GSErrCode DoTreeEdit(short dialId);
  [[nodiscard]] GSErrCode DoEditAreaListItem(short dialId);
  // An element's record for a story takes another MODE: figure entries give
  // way to the automatic areas they came from (3, 4), manual values are
  // cleared (1, 3, 4), automatic areas are dropped (1, 2).
  void ChangeAreaType(CArea2ObjectFloor* record, CFloorParam* floor, CArea2ObjectFloor::MODE mode);

  // == Fields ==
  CPlenimetraParam* m_pParam;
  bool* m_bIgnoreSelection;
  std::unique_ptr<CDGListItemParamArray> m_pAreaListInfoParam;
  std::unique_ptr<CDGListItemParamArray> m_pDetailListInfoParam;
  std::unique_ptr<CDGListItemParamArray> m_pAutoAreaListInfoParam;
  int m_SplitterPos = 0;
  short m_DragSource = 0;
  CShowTotalTableArray m_ShowTotalTable;
  GS::UniString m_LastItemName;
  int m_LastItemType = -1;
  CRoundTypeItem m_LastBldRoundType{CRoundTypeTable::ROUNDTYPE_NONE, 0};
  CRoundTypeItem m_LastFlrRoundType{CRoundTypeTable::ROUNDTYPE_NONE, 0};

private:
  void FillPopUps(short dialId);
  // The list's selected rows in host order.
  CSelectList ListSelection(short dialId, short list) const;
  // The plan selects exactly these elements; the host's result.
  [[nodiscard]] static GSErrCode SelectOnPlan(const std::vector<API_Guid>& guids);
  // A user's selection change in a list: unless the page itself is
  // selecting, the plan follows and the list's editors move.
  void FollowListSelection(CDGListItemParamArray& columns, const std::function<GSErrCode()>& toPlan);
  // Applies the change to every selected detail row's figure under the
  // progress window, refilling each row after it.
  void EachSelectedFigure(short dialId, const std::function<void(CArea1Object&)>& change);
  // Walks the rows under the progress window, one step a row: change
  // answers whether the row counts, then the counted row is shown again.
  static void StepRows(const CSelectList& rows, const std::function<bool(short)>& change,
                       const std::function<void(short)>& show);
  // The active story's owning pointer of a listed figure.
  std::shared_ptr<CArea1Object> SharedFigure(const CArea1Object* figure) const;
  // The selected detail rows' figures.
  CArea1ObjectPtrArray SelectedFigures(short dialId) const;
  // The selected figures enter the element with "+"; answers the
  // recolouring of those entering.
  [[nodiscard]] GSErrCode PutFigures(short dialId, CArea2Object& element, const CArea1ObjectPtrArray& entering);
  using RowChange = std::function<void(CAreaTree& node, CAreaObject& object)>;
  using ElementChange = std::function<void(CArea2Object& element)>;
  void DoMsgChangeAreaEditor(short dialId, short item);
  CAreaTree* RowNode(short dialId, short row) const;
  // Applies the change to every selected row's node and object, rewriting
  // each row after it; element rows only for EachSelectedElement.
  void EachSelectedRow(short dialId, const RowChange& change);
  void EachSelectedElement(short dialId, const ElementChange& change);
  void RefreshEditors();
  // The node codes of the area list's selected rows; selecting the rows of
  // such codes again, false (nothing selected) when one is not listed.
  std::vector<DGUserData> SelectedRowCodes(short dialId) const;
  bool SelectRowsOfCodes(short dialId, const std::vector<DGUserData>& codes);
  void RenumberAndSave(short dialId);
  void ChangeNumbering(short dialId, short item);
  void ChangeNodeRounding(short dialId, bool building, bool digits, bool rebuild);
  void MoveTreeNode(short dialId, const CAreaTree& dragged, Int32 target, short relativePos);
  void RefuseTreeMove(short dialId, const char16_t* message, bool intoTarget);
  void ReorderAreaRows(short dialId, short targetRow);
  [[nodiscard]] GSErrCode EditOne(short dialId, int treeItem);
  void TakeFolderBreaks(CAreaTree& node, CArea4Object& folder, const CDlgEditCr4& dialog);
  void RefillAreaRow(short dialId, CAreaTree* node);
  void DoMsgChangeTree(short dialId, const DG::TreeViewChangeEventArg& change);
  // The lists and the plan follow the tree's selection.
  void FollowTreeSelection(short dialId);
  // The node codes of the tree's selected items; selecting the items of
  // such codes again, false when one is not in the tree.
  std::vector<int> SelectedTreeCodes(short dialId) const;
  bool SelectTreeItemsOfCodes(short dialId, const std::vector<int>& codes);
  Int32 TreeItemOfCode(short dialId, Int32 firstItem, int code) const;
  void DoChangeRadio(short dialId, short item);
  [[nodiscard]] GSErrCode RunCommand(short dialId, short item);
  static const char16_t* CommandNotDone(short item);
  void DeselectAreaRows(short dialId);
  void SaveHeaders();
  // The figures of the element on the active story, each once, in entry
  // order, appended to figures.
  void CollectFigures(const CAreaTree& node, std::vector<CArea1Object*>& figures) const;
  // The list lists column c (1-based) of row r from this node.
  void FillAreaRow(short dialId, short row, CAreaTree* node);
  void MoveSplitter(short dialId, short delta);
  // Tree walking that treats the view's root (0) as the parent of the one
  // top item.
  Int32 FirstChild(short dialId, Int32 treeItem) const;
  Int32 NextSibling(short dialId, Int32 treeItem) const;
  Int32 m_TopTreeItem = 0;
};
