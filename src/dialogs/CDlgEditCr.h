#pragma once
// The formula line-break dialogs. A formula is a row of terms; a line-break
// mark (CCrMark) after a term makes the formula continue on a new line.
// Marks are either set automatically from a line-width limit or chosen by
// hand. Each dialog lists one row per term with a check column for the
// mark of the gap after it, previews the broken formula and lets the user
// switch between the two ways:
//
//  - CDlgEditCr1: the formula of one area figure (resource 32503);
//  - CDlgEditCr2: a calculation element's formula on the active story
//    (resource 32503, so both share one saved column layout);
//  - CDlgEditCr4: a subtotal or total folder's formula on the active story,
//    which may also be replaced by a typed equation (resource 32536).
//
// The dialogs work on copies held in their public fields; the opener reads
// them back after DoModal answered 1 and writes them into the document.
// The dialogs edit nothing of the document; building the terms refreshes
// its automatic marks as every formula text does.
//
// Row r (from 1) edits the mark of the gap after term r. A row without a
// mark (a figure with fewer marks than terms, an element with fewer
// entries, a folder with fewer children than its formula's terms) shows no
// mark and offers no check box; the last row never offers one either.

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CCrMark.h"
#include "CDGDlgCore.h"
#include "CDGListItemParam.h"
#include "dg_state.h"
#include "gs_unistring.h"

#include <memory>
#include <vector>

class CPlenimetraParam;

// The check column of the mark: "#" for a set mark; the check box is laid
// over the selected row only while automatic breaks are off.
class CDlgEditCrCheckBox : public CDGListItemParamCore {
public:
  CDlgEditCrCheckBox(short dialId, short listItem, short checkItem, const bool* autoCr);
  void Func(short row, short column, bool draw) override;

private:
  const bool* m_pAutoCr;
};

class CDlgEditCr1CheckBox : public CDlgEditCrCheckBox {
  using CDlgEditCrCheckBox::CDlgEditCrCheckBox;
};
class CDlgEditCr2CheckBox : public CDlgEditCrCheckBox {
  using CDlgEditCrCheckBox::CDlgEditCrCheckBox;
};
class CDlgEditCr4CheckBox : public CDlgEditCrCheckBox {
  using CDlgEditCrCheckBox::CDlgEditCrCheckBox;
};

// What the three dialogs share: the list with its columns, the rows, the
// preview, the splitter, resizing and setting marks by hand.
class CDlgEditCrCore : public CDGDlgCore {
public:
  // The splitter may not come nearer than this to the client area's top
  // and bottom; when its drag ends the dialog may not shrink to less than
  // kListMinHeight below the list's top.
  static constexpr short kSplitterMinTop = 105;
  static constexpr short kSplitterMinBottom = 60;
  static constexpr short kListMinHeight = 90;

  std::vector<GS::UniString> m_EquationList;  // the terms
  std::unique_ptr<CDGListItemParamArray> m_pListInfoParam;  // only while open
  short m_SplitterPos = 0;
  CPlenimetraParam* m_pParam;

  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short dialId, short result) override;
  void DoMsgResize(short dialId, DG::ResizeEventArg* event) override;
  void DoMsgSplitterDrag(short dialId, short item, DG::SplitterDragEventArg* event) override;
  short DoMsgListHeaderResize(short dialId, short item, DG::ListBoxHeaderEventArg* event) override;

protected:
  // Item numbers and the differences between the three dialogs.
  struct Items {
    short preview;
    short check;
    short list;
    short splitter;
    short termsWidth;       // of the column "式"
    bool rowsOnHand;        // radio 4 also rebuilds the rows
    short equationText = 0; // the typed equation (CDlgEditCr4 only)
  };
  static constexpr short kRadioAuto = 3;
  static constexpr short kRadioHand = 4;

  CDlgEditCrCore(short resourceId, CPlenimetraParam* param, const Items& items);
  static pln::host::DGDialogDef MakeLayout(const Items& items);

  // The mark that the 0-based row index edits; null when it has none.
  virtual CCrMark* MarkOfRow(std::size_t index) = 0;
  virtual bool& AutoCr() = 0;
  virtual void SetAutoMarks() = 0;
  virtual std::unique_ptr<CDlgEditCrCheckBox> MakeCheckBox(short dialId) = 0;
  // Whether preview, list and splitter are shown (the formula is edited).
  virtual bool ShowsTerms(short dialId) const;

  // == Named steps ==
  void EnableItem(short dialId);
  void SetListItem(short dialId);
  void SetListItem(short dialId, short row);
  void ShowEquation(short dialId);
  void ChooseAuto(short dialId);
  void ChooseHand(short dialId);
  void SetMarksByHand(short dialId);
  void RefreshColumns();

  Items m_Items;

private:
  void BuildColumns(short dialId);
  void MoveSplitter(short dialId, short position);
};

class CDlgEditCr1 : public CDlgEditCrCore {
public:
  static constexpr short ResourceId = 32503;
  static pln::host::DGDialogDef Layout() { return MakeLayout(kItems); }

  // terms: the figure's formula split at every gap; marks: the figure's.
  CDlgEditCr1(CPlenimetraParam* param, std::vector<GS::UniString> terms, const CCrMarkArray& marks, bool autoCr);

  CCrMarkArray m_CrMarkArray;  // mark k belongs to the gap after term k
  bool m_bAutoCr;

protected:
  static constexpr Items kItems{6, 5, 7, 8, 200, false};

  CCrMark* MarkOfRow(std::size_t index) override;
  bool& AutoCr() override { return m_bAutoCr; }
  void SetAutoMarks() override;
  std::unique_ptr<CDlgEditCrCheckBox> MakeCheckBox(short dialId) override;
};

class CDlgEditCr2 : public CDlgEditCrCore {
public:
  static constexpr short ResourceId = CDlgEditCr1::ResourceId;
  static pln::host::DGDialogDef Layout() { return CDlgEditCr1::Layout(); }

  // The element's formula and record on the active story; the record is
  // copied, never added to the element. The list argument is not used.
  CDlgEditCr2(CPlenimetraParam* param, CArea2Object* element, CArea2ListArray2* unused = nullptr);

  CArea2ObjectFloor m_AreaFloor;  // copy of the element's record
  bool m_bAutoCr;

protected:
  static constexpr Items kItems{6, 5, 7, 8, 50, true};

  // Row r edits the entry that the formula names r-th: the entries in the
  // order of their figures' sort indices, as the formula lists them.
  CCrMark* MarkOfRow(std::size_t index) override;
  bool& AutoCr() override { return m_bAutoCr; }
  void SetAutoMarks() override;
  std::unique_ptr<CDlgEditCrCheckBox> MakeCheckBox(short dialId) override;
};

class CDlgEditCr4 : public CDlgEditCrCore {
public:
  static constexpr short ResourceId = 32536;
  static pln::host::DGDialogDef Layout() { return MakeLayout(kItems); }

  CDlgEditCr4(CPlenimetraParam* param, const CArea4Object* folder, const CAreaTreeArray& children);

  CAreaTreeArray m_AreaTreeArray;  // copy of the folder node's children
  GS::UniString m_ManualEquation;
  bool m_bManualEquation = false;  // the typed equation replaces the formula
  std::unique_ptr<CArea4Object> m_pArea4Object;  // working folder: its m_AutoCr is the flag

  bool UpdateData(short dialId, bool get) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;

protected:
  static constexpr short kRadioManual = 5;
  static constexpr Items kItems{7, 8, 9, 10, 50, false, 6};

  CCrMark* MarkOfRow(std::size_t index) override;
  bool& AutoCr() override { return m_pArea4Object->m_AutoCr; }
  void SetAutoMarks() override;
  std::unique_ptr<CDlgEditCrCheckBox> MakeCheckBox(short dialId) override;
  bool ShowsTerms(short dialId) const override;
};
