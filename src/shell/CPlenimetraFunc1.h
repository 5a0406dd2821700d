#pragma once
// CPlenimetraFunc1: the figure-list page of the main palette. It lists the
// area figures of the active story (row = sort index + 1, each row pointing
// to its figure), places new figures of the eight kinds, rotates bases,
// edits formula line breaks, renumbers, reorders and deletes figures, edits
// mark, numbering style, rounding kind and automatic line break in the list
// itself, and keeps the list selection and the plan selection alike.
//
// The page holds no state of its own beyond the column layout: the rows are
// rebuilt from the document whenever it may have changed. Every command is
// one undoable host step; its result goes to GSWriteReport.
//
// Files: CPlenimetraFunc1.cpp (frame, rows, selection, updates),
// CPlenimetraFunc1Items.cpp (layout and the editor columns),
// CPlenimetraFunc1Commands.cpp (placement, rotation, line breaks,
// deletion), CPlenimetraFunc1Edit.cpp (in-list edits),
// CPlenimetraFunc1Order.cpp (header sort, drag reorder, renumbering).

#include "CArea1Object.h"
#include "CDGListItemParam.h"
#include "CPlenimetraPage.h"
#include "CSelectList.h"
#include "dg_state.h"

#include <functional>
#include <memory>

class CPlenimetraPalette;
class CPlenimetraParam;
class CFloorParam;
class CRenumberWorkItemArray;

// The editor columns: each lays its pop-up over the selected row's cell and
// writes the cell text of one figure value.
class CPlenimetraFunc1Column : public CDGListItemParamCore {
public:
  CPlenimetraFunc1Column(short dialId, short listItem, short width, const GS::UniString& header, short justification,
                         short editItem, CPlenimetraParam* param);
  void Func(short row, short column, bool text) override;

  CPlenimetraParam* m_pParam;

protected:
  virtual GS::UniString CellText(const CArea1Object& figure) const = 0;
  // The pop-up entry value that stands for the figure's current value.
  virtual long long Value(const CArea1Object& figure) const = 0;
};

class CPlenimetraFunc1ItemType1 : public CPlenimetraFunc1Column {
public:
  using CPlenimetraFunc1Column::CPlenimetraFunc1Column;

protected:
  GS::UniString CellText(const CArea1Object& figure) const override;
  long long Value(const CArea1Object& figure) const override { return figure.m_ItemType1; }
};

class CPlenimetraFunc1ItemType2 : public CPlenimetraFunc1Column {
public:
  using CPlenimetraFunc1Column::CPlenimetraFunc1Column;

protected:
  GS::UniString CellText(const CArea1Object& figure) const override;
  long long Value(const CArea1Object& figure) const override { return figure.m_ItemType2; }
};

class CPlenimetraFunc1RoundType : public CPlenimetraFunc1Column {
public:
  using CPlenimetraFunc1Column::CPlenimetraFunc1Column;

protected:
  GS::UniString CellText(const CArea1Object& figure) const override;
  long long Value(const CArea1Object& figure) const override { return figure.m_RoundType; }
};

class CPlenimetraFunc1AutoCr : public CPlenimetraFunc1Column {
public:
  using CPlenimetraFunc1Column::CPlenimetraFunc1Column;

protected:
  GS::UniString CellText(const CArea1Object& figure) const override;
  long long Value(const CArea1Object& figure) const override { return figure.m_bAutoCr ? 1 : 0; }
};

class CPlenimetraFunc1 : public CPlenimetraPage {
public:
  static constexpr short ResourceId = 32408;
  static pln::host::DGDialogDef Layout();

  // == Items of resource 32408 ==
  static constexpr short kBack = 1;
  static constexpr short kRoundEditor = 2;   // column 6
  static constexpr short kMarkEditor = 3;    // column 1
  static constexpr short kStyleEditor = 4;   // column 2
  static constexpr short kAutoCrEditor = 5;  // column 9
  static constexpr short kTriangle = 6;      // 6..14: the nine placements
  static constexpr short kArcCenter = 14;
  static constexpr short kRotate = 15;
  static constexpr short kEditCr = 16;
  static constexpr short kRenumber = 17;
  static constexpr short kDelete = 18;
  static constexpr short kCurMark = 19;
  static constexpr short kCurStyle = 20;
  static constexpr short kStartNo = 22;  // 1-based, ranged from 1
  static constexpr short kPreview = 23;
  static constexpr short kDefaultRound = 24;
  static constexpr short kList = 25;
  static constexpr short kColumnCount = 10;
  // Rows of figures off the current figure layer.
  static constexpr UInt16 kGrey = 50000;

  explicit CPlenimetraFunc1(CPlenimetraPalette& palette);
  ~CPlenimetraFunc1() override;

  // == Overrides ==
  bool UpdateData(short dialId, bool get) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgClose(short dialId, short item) override;
  void DoMsgInit(short dialId) override;
  void EnableItem(short dialId) override;
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  short DoMsgDragDrop(short dialId, short item, DG::DragDropEventArg* arg) override;
  bool DoMsgListHeaderClick(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;
  short DoMsgListHeaderResize(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;
  [[nodiscard]] GSErrCode SelectionChangeHandler(const API_Neig* neig) override;
  [[nodiscard]] GSErrCode OpenPalette() override;
  void ClosePalette() override { DoPaletteClose(); }
  void OnUpdate(HINT hint) override;

  // == The list (CPlenimetraFunc1.cpp) ==
  void SetListHeader(short dialId);
  void SetListItem(short dialId);
  void SetListItem(short dialId, short row, CArea1Object* figure);
  void ShowNo(short dialId);
  void SetStartNo(short dialId);
  void ShowDefaultRoundType(short dialId);
  void ClearPushButton(short dialId, short item);
  CSelectList GetSelList(short dialId) const;
  // The figures of the selected rows, in selection order.
  CArea1ObjectPtrArray GetSelection(short dialId) const;
  [[nodiscard]] GSErrCode ListChangeSelection(short dialId);
  void ElementSelectionChange(short dialId);
  // Item 22 read as a start number: never below 1.
  int GetStartNoItem(short dialId) const;

  // == Figure commands (CPlenimetraFunc1Commands.cpp) ==
  [[nodiscard]] GSErrCode DoCreate(short dialId, short item);
  [[nodiscard]] GSErrCode DoRotate(short dialId);
  [[nodiscard]] GSErrCode DoEditCr(short dialId);
  [[nodiscard]] GSErrCode DoDelete(short dialId);

  // == In-list edits (CPlenimetraFunc1Edit.cpp) ==
  [[nodiscard]] GSErrCode DoEditorChange(short dialId, short item);

  // == Order and renumbering (CPlenimetraFunc1Order.cpp) ==
  bool CheckSort(short dialId, short column, int row1, int row2, short direction);
  [[nodiscard]] GSErrCode DoRenumber(short dialId);
  [[nodiscard]] GSErrCode DoRenumberAll(short dialId);

  // == Fields ==
  CPlenimetraPalette* m_pPalette;
  CPlenimetraParam* m_pParam;
  std::unique_ptr<CDGListItemParamArray> m_pListInfoParam;  // while open
  bool* m_bIgnoreSelection;

private:
  CFloorParam* ActiveFloor() const;
  CArea1Object* FigureOfRow(short dialId, short row) const;
  std::shared_ptr<CArea1Object> SharedFigure(const CArea1Object* figure) const;
  short RowCount(short dialId) const;
  // The figures of every row, in row order.
  std::vector<CArea1Object*> RowFigures(short dialId) const;
  void RebuildQuietly(short dialId);
  // After a placement: the new figure's row added when it is the only
  // change, else the list rebuilt.
  void ShowPlaced(short dialId);
  void FillPopUps(short dialId);
  void SelectRows(short dialId, const std::vector<short>& rows);
  GS::Array<API_Guid> GuidsOfRows(short dialId, const CSelectList& rows) const;

  // One undo step of an edit of the story's figures. A refused or failed
  // edit gives every figure back what it had, in memory and in its
  // element, and the rows and editors show it again with the selection.
  [[nodiscard]] GSErrCode RunFigureEdit(short dialId, const GS::UniString& undoName,
                                        const std::function<GSErrCode()>& edit);
  // The alert of a refused or failed edit: what was refused (action, a
  // noun), then why, in words; nothing for success or a cancel.
  static void ReportEdit(const char16_t* action, GSErrCode err);
  // Whether an edit that gives figures numbers is refused, with the load's
  // own word, because the load left figures out of the lists: a number
  // given against the lists may be one such a figure has. The rows show
  // what they held again.
  bool RefusesNumbering(short dialId, const char16_t* action);

  // Placement.
  [[nodiscard]] GSErrCode PlaceOne(short dialId, short item, int& startNo);
  [[nodiscard]] GSErrCode PlaceByDocument(short item, const CKelAreaCoord2D& points, int startNo, short story);
  [[nodiscard]] GSErrCode PlaceByPage(short item, const CKelAreaCoord2D& points, int startNo, short story);

  // In-list edits.
  [[nodiscard]] GSErrCode DoRoundTypeChange(short dialId, CRoundTypeTable::ROUNDTYPE value);
  [[nodiscard]] GSErrCode DoItemTypeChange(short dialId, short item, int value);
  [[nodiscard]] GSErrCode DoAutoCrChange(short dialId, bool value);

  // Order.
  [[nodiscard]] GSErrCode DoSort(short dialId, short column);
  // The rows' figures in the order the column's sort in the direction
  // gives them; nothing changes.
  std::vector<CArea1Object*> SortedRows(short dialId, short column, short direction);
  [[nodiscard]] GSErrCode DoReorder(short dialId, int insertPos);
  // What reordering the rows so takes: the elements it writes.
  GS::Array<API_Guid> ReorderTouches(const std::vector<CArea1Object*>& order) const;
  [[nodiscard]] GSErrCode DoRenumberSelection(short dialId);
  // Every row's figure, each to get a new number.
  CRenumberWorkItemArray AllRowPairs(short dialId) const;
  // Each pair sorted; reserves the figures that numbering from start gives
  // another number, and only them. any: whether there is one.
  [[nodiscard]] GSErrCode ReserveRenumbered(CRenumberWorkItemArray& pairs, int start, bool& any) const;
  // Each pair sorted, then numbered from start, under one progress window
  // of a phase per pair; the first failure ends it.
  [[nodiscard]] GSErrCode NumberPairs(CRenumberWorkItemArray& pairs, int start);
};

std::unique_ptr<CPlenimetraPage> MakeFigureListPage(CPlenimetraPalette& palette);
