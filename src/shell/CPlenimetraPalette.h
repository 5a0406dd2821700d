#pragma once
// CPlenimetraPalette: the add-on's main window and the owner of the
// area-calculation document for as long as the add-on is loaded. It loads
// the document when it opens, chooses the current pattern and its rounding
// table, runs the whole-document commands, reserves the active story in a
// shared project, opens the pages and keeps them in step with HINTs, and
// receives every notification the add-on listens to.
//
// Items of resource 32400: 1 stories to calculate, 2 reference-floor copy,
// 3 output, 4 settings, 5/6/7 insert/copy/delete a pattern, 8 the current
// pattern, 9 its rounding table, 10/11/12 open the automatic-area, figure-
// list and tree pages, 13 the active story, 14-17 the teamwork row (icon,
// status, reserve/release, include the summary worksheets).

#include "CElementChange.h"
#include "CPlenimetraPage.h"
#include "CPlenimetraParam.h"
#include "dg_state.h"

#include <array>
#include <memory>

// What the settings dialog hands back for the apply step.
struct CEnvironmentResult;

class CPlenimetraPalette : public CDGPaletteCore, private CDocumentListener {
public:
  static constexpr short ResourceId = 32400;
  static pln::host::DGDialogDef Layout();
  // The menu of the add-on and its texts (string list 128: 1 close, 2 open).
  static constexpr short kMenuResId = 32500;
  static constexpr short kMenuTextsResId = 128;
  // Extra height of the teamwork row.
  static constexpr short kTeamworkRowHeight = 28;

  // The palette's own items.
  enum Item : short {
    kStories = 1,
    kFloorCopy = 2,
    kOutput = 3,
    kSettings = 4,
    kInsert = 5,
    kCopy = 6,
    kDelete = 7,
    kPatterns = 8,
    kRounding = 9,
    kAutoAreaPage = 10,
    kFigurePage = 11,
    kTreePage = 12,
    kStoryName = 13,
    kTeamIcon = 14,
    kTeamStatus = 15,
    kTeamButton = 16,
    kTeamSummary = 17,
  };
  // The pages, in the order they hear updates.
  enum PageSlot { kFigureList = 0, kTree = 1, kAutoArea = 2 };
  using PageMaker = std::unique_ptr<CPlenimetraPage> (*)(CPlenimetraPalette& palette);
  // Each page's source plugs its page in here; a slot without a maker leaves
  // its button without effect.
  static void SetPageMaker(PageSlot slot, PageMaker maker);

  CPlenimetraPalette();
  ~CPlenimetraPalette() override;

  // == Overrides of CDGPaletteCore ==
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgClose(short dialId, short item) override;
  void DoMsgInit(short dialId) override;
  void EnableItem(short dialId) override;
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  [[nodiscard]] GSErrCode SelectionChangeHandler(const API_Neig* neig) override;
  [[nodiscard]] GSErrCode ElementEventHandlerProc(const API_NotifyElementType* notification) override;
  void ProjectionNotification(API_NotifyEventID event) override;
  [[nodiscard]] GSErrCode OpenPalette() override;
  void ClosePalette() override;

  bool IsToolPaletteOpened() const { return IsOn(); }
  // An undo or redo of a step that changed only the project record says
  // only that the project changed: the document is read again where the
  // record is no longer the one it last read or wrote. True when it was.
  // An action the user aimed at the view before that is carried out on the
  // re-read document where the window can tell what it was aimed at, and
  // refused with a word where it cannot. unread, when given, receives the
  // error of a record the host could not give.
  bool ReloadIfReplaced(GSErrCode* unread = nullptr);
  // The same before a user's action on the palette or a page.
  bool ReloadBeforeUserAction();
  bool RefreshBeforeUserAction(short message, short item) override;
  void SendUpdateMessage(HINT hint);

  // == Pop-ups, layers and the story ==
  void SetRoundTypeItem(short dialId);
  void SetTreeItem(short dialId, int code);
  void SetTreeItem() { SetTreeItem(m_PaletteID, m_Param.m_CurTreeCode); }
  void SetLayerStatus();
  void ShowCurFloor(short dialId);

  // == Commands (CPlenimetraPaletteCommands.cpp) ==
  void CallPlenimetraFunction(short dialId, short item);
  [[nodiscard]] GSErrCode DoTreeInsert(short dialId);
  [[nodiscard]] GSErrCode DoTreeCopy(short dialId);
  [[nodiscard]] GSErrCode DoTreeDelete(short dialId);
  // The settings dialog's OK: takes the reference settings and path, then
  // applies the new settings after asking; the command's result.
  [[nodiscard]] GSErrCode ApplySettings(short dialId, const CEnvironmentResult& result);
  // The settings answered yes to, the figures they rewrite already taken.
  [[nodiscard]] GSErrCode ApplyTakenSettings(short dialId, const CEnvironmentResult& result, bool texts,
                                             bool styles, bool figures);
  void DoRoundTypeChange(short dialId);

  // == The dump file (CPlenimetraPaletteCommands.cpp) ==
  // The whole calculation written to, or read back from, the one place the
  // add-on knows for it; each reports through the document's alerts.
  static constexpr const char16_t* kDumpPath = u"c:\\temp\\Plenimetra.dat";
  void Export();
  void Import();

  // == Teamwork (CPlenimetraPaletteTeamwork.cpp) ==
  bool GetTeamworkStatus2();
  void SetTeamworkStatus2(short dialId);
  void RecomputeTeamworkStatus(short dialId);
  [[nodiscard]] GSErrCode DoTeamwork(short dialId);
  [[nodiscard]] GSErrCode ElementReservationChangeHandler();

  // == Fields, in order ==
  bool m_bIgnoreSelection = false;
  CPlenimetraParam m_Param;
  CElementChangeCoreArray m_ElementChangeArray;
  bool m_bFloorEditable = false;
  std::array<std::unique_ptr<CPlenimetraPage>, 3> m_Pages;
  short m_PatternPopupLeft = 0;
  short m_PatternPopupRight = 0;

private:
  // Each page that exists and is open, in update order.
  template <class F>
  void ForEachOpenPage(F&& f)
  {
    for (auto& page : m_Pages)
      if (page != nullptr && page->IsOn())
        f(*page);
  }
  void OpenPage(PageSlot slot);
  [[nodiscard]] GSErrCode EndElementBatch(const API_NotifyElementType* notification);
  // A batch's failed repair or save, in words; nothing for success.
  static void ReportNotFollowed(GSErrCode err);
  // The pages let go of what they show and rebuild, then the pop-ups.
  void DocumentReplaced() override;
  // Whether the batch of element notifications being collected came from
  // undo or redo.
  bool m_bHistoryBatch = false;
  // Whether the document was read again as the batch began.
  bool m_bReloadedForBatch = false;
  // The document was read again after an undo or redo and nothing acted on
  // it since: it is the record, and the project's save leaves the record as
  // the undo or redo put it back.
  bool m_bAsRecorded = false;
  void InstallNotifications(GSErrCode& err);
  [[nodiscard]] GSErrCode InsertPattern(short dialId, CPlenimetraParam& source, const CAreaTree& node, short layer);
  [[nodiscard]] GSErrCode UpdateAllFigures(bool keepLook);
  // Every figure of every story that names a placed element.
  GS::Array<API_Guid> PlacedFigures() const;
  // The figures after applied settings (inside the settings' undo step).
  [[nodiscard]] GSErrCode UpdateFiguresForSettings(bool styles);

  static std::array<PageMaker, 3> s_PageMakers;
};
