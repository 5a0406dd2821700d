#pragma once
// CPlenimetraFunc3: the automatic-area page of the main palette. An
// automatic area ties one source element (zone, slab, fill or closed
// polyline) to the figures cut from its outline. The page lists the active
// story's records, creates them from the plan selection, releases them,
// checks them against their sources and re-cuts the changed ones. Rows and
// plan select each other.
//
// Items of resource 32410: 1 back to the main palette, 2 create, 3 release
// the selected, 4 change check, 5 update the selected, 6 the list.
// List columns: 1 display name, 2 mark, 3 numbering style, 4 changed
// ("有" in red / "無" in black), 5 filler. Row n shows record n of the
// active story and carries a pointer to it; the records live in the
// document, and every change of them refills the list.

#include "CDGListItemParam.h"
#include "CPlenimetraPage.h"
#include "CSelectList.h"
#include "dg_state.h"

#include <cstddef>
#include <memory>
#include <vector>

class CAutoAreaParam;
class CAutoAreaParamArray;
class CPlenimetraParam;

class CPlenimetraFunc3 : public CPlenimetraPage {
public:
  static constexpr short ResourceId = 32410;
  static pln::host::DGDialogDef Layout();
  enum Item : short { kBack = 1, kCreate = 2, kRelease = 3, kCheck = 4, kUpdate = 5, kList = 6 };
  // The maker the main palette's automatic-area slot takes.
  static std::unique_ptr<CPlenimetraPage> Make(CPlenimetraPalette& palette);

  explicit CPlenimetraFunc3(CPlenimetraPalette& palette);
  ~CPlenimetraFunc3() override;

  // == Overrides of CDGPaletteCore, in slot order ==
  bool UpdateData(short dialId, bool get) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgTrack(short, short, long long) override {}
  void DoMsgClose(short dialId, short item) override;
  void DoMsgInit(short dialId) override;
  void EnableItem(short dialId) override;
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  short DoMsgDragDrop(short, short, DG::DragDropEventArg*) override { return 0; }
  bool DoMsgListHeaderClick(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;
  void DoMsgSplitterDrag(short dialId, short item, DG::SplitterDragEventArg* arg) override;
  short DoMsgListHeaderResize(short dialId, short item, DG::ListBoxHeaderEventArg* arg) override;
  [[nodiscard]] GSErrCode SelectionChangeHandler(const API_Neig* neig) override;
  [[nodiscard]] GSErrCode ElementEventHandlerProc(const API_NotifyElementType*) override { return NoError; }
  void ProjectionNotification(API_NotifyEventID) override {}
  [[nodiscard]] GSErrCode OpenPalette() override;
  void ClosePalette() override;
  // 1, 7, 10, 11 refill the list; 13 drops dead records first.
  void OnUpdate(HINT hint) override;

  // == Commands (CPlenimetraFunc3Commands.cpp); host error codes ==
  // Cuts the selected elements after the creation dialog.
  [[nodiscard]] GSErrCode DoCreate(short dialId);
  [[nodiscard]] GSErrCode DoCreateArea1(short dialId, int startNo);
  // Releases the selected rows' records after the release dialog.
  [[nodiscard]] GSErrCode DoDelete(short dialId);
  [[nodiscard]] GSErrCode DoCheck(short dialId);
  // Re-cuts every selected record marked changed; the first error.
  [[nodiscard]] GSErrCode DoUpdate(short dialId);
  // Records whose source lost its record go with their figures.
  void DropDeadRecords();

  // == The list ==
  CSelectList GetSelList(short dialId) const;
  void SetAreaListItem(short dialId);
  void SetAreaListItem(short dialId, short row, CAutoAreaParam* record);
  [[nodiscard]] GSErrCode ListChangeSelection(short dialId);
  void ElementSelectionChange(short dialId);
  bool CheckSortAutoAreaList(short dialId, short column, int row1, int row2, short direction) const;

  // == Fields, in order ==
  CPlenimetraPalette* m_pPalette;
  CPlenimetraParam* m_pParam;
  bool* m_bIgnoreSelection;
  std::unique_ptr<CDGListItemParamArray> m_pListInfoParam;
  short m_SplitterPos = 0;

private:
  // The active story's records; null when the story has no floor record.
  CAutoAreaParamArray* ActiveRecords() const;
  CAutoAreaParam* RowRecord(short dialId, short row) const;
  void SetListHeader(short dialId);
  void SelectRows(short dialId, const CSelectList& rows);
  [[nodiscard]] GSErrCode ReserveSelection(const GS::Array<API_Neig>& selection) const;
  [[nodiscard]] static GSErrCode PlanSelection(GS::Array<API_Neig>& selection);
  GS::Array<API_Guid> CreationGuards(const GS::Array<API_Neig>& selection) const;
  GS::Array<API_Guid> StoryFigures(const std::vector<short>& stories) const;
  GS::Array<API_Guid> RecordsTouch(const std::vector<const CAutoAreaParam*>& records, bool figuresLeave) const;
  [[nodiscard]] GSErrCode CutElements(const GS::Array<API_Neig>& selection, int startNo);
  [[nodiscard]] GSErrCode ReleaseRecords(std::vector<CAutoAreaParam>& records, bool deleteFigures);
  // The progress window's questions, one a record: the cancel code when
  // the user asked to stop.
  [[nodiscard]] GSErrCode AskToRelease(std::size_t records) const;
  [[nodiscard]] GSErrCode ReleaseWhole(std::vector<CAutoAreaParam>& records, bool deleteFigures);
  void DropRecord(CAutoAreaParam& record);
  static std::vector<short> StoriesOf(const std::vector<CAutoAreaParam>& records);
  void ReportNotReleased(const std::vector<CAutoAreaParam>& records, GSErrCode err) const;
  [[nodiscard]] GSErrCode RenumberStory(short story);
  // Whether cutting the record again could count its area twice: its
  // story has a figure left out at opening, which may be one of its.
  bool MayCountTwice(const CAutoAreaParam& record) const;
  // "\n" story name, full-width space, the record's name.
  GS::UniString NotUpdatedLine(const CAutoAreaParam& record) const;
  void AfterCommand(short dialId, bool deselect);
};
