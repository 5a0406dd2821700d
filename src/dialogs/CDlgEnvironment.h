#pragma once
// CDlgEnvironment: the settings dialog. It edits a working copy of the
// settings through eight tab pages, imports and exports the settings file,
// and shows the path of the file last imported with "カスタム" while the
// working copy differs from the reference copy.
//
// The pages hold pointers into m_EnvParam, so the working copy is only ever
// assigned to, never replaced; no page keeps a pointer into one of its
// vectors' elements. The dialog writes nothing into the document: the
// opener fills it, runs DoModal and on 1 takes the copies back
// (RunEnvironmentDialog does both).

#include "CDGDlgCore.h"
#include "CDGDlgTabCore.h"
#include "CEnvParam.h"
#include "CPlenimetraParamArray.h"
#include "dg_state.h"
#include "gs_unistring.h"

#include <memory>
#include <optional>
#include <vector>

class CPlenimetraParam;

class CDlgEnvironment : public CDGDlgCore {
public:
  static constexpr short ResourceId = 32500;
  static pln::host::DGDialogDef Layout();

  explicit CDlgEnvironment(CPlenimetraParam* param);
  ~CDlgEnvironment() override;

  // == Messages: a page's go to the page whose dialog id they carry ==
  bool UpdateData(short dialId, bool save) override;
  short DoMsgClick(short dialId, short item, long long msgData) override;
  void DoMsgChange(short dialId, short item, long long msgData) override;
  void DoMsgTrack(short dialId, short item, long long msgData) override;
  void DoMsgInit(short dialId) override;
  short DoMsgClose(short /*dialId*/, short item) override { return item; }
  void DoMsgResize(short dialId, DG::ResizeEventArg* arg) override;
  short DoMsgDragDrop(short dialId, short item, DG::DragDropEventArg* arg) override;

  // == Commands ==
  // Item 5 the path, item 6 "カスタム" while the copy differs from the
  // reference.
  void ShowPathname();
  // Takes a settings file whole or not at all; a failure is reported and
  // leaves the path empty and the reference at the defaults.
  void DoImport();
  void DoExport();
  // The settings-file dialog; true with the chosen path when confirmed.
  bool DoBrowse(bool import, GS::UniString& path);

  CEnvParam m_EnvParam;     // working copy, edited in place by the pages
  CEnvParam m_EnvParamRef;  // as the document keeps it or as last imported
  GS::UniString m_PathName; // the file last imported; empty when none
  CPlenimetraParamArray m_ParamArrayOrg;  // the patterns as they stood at opening
  std::vector<std::unique_ptr<CDGDlgTabCore>> m_TabArray;  // tab order
  CPlenimetraParam* m_pParam;  // not owned

private:
  short m_DialId = 0;  // the open modal dialog
  CDGDlgTabCore* PageOf(short dialId) const;
  void ShowAllPages();
  void LayOutOwnItems(const DG::ResizeEventArg& arg);
};

// What the settings dialog hands back after OK, for the palette's apply
// step: the working copy, the reference copy, the path of the file last
// imported and the patterns as they stood when the dialog opened.
struct CEnvironmentResult {
  CEnvParam m_EnvParam;
  CEnvParam m_EnvParamRef;
  GS::UniString m_PathName;
  CPlenimetraParamArray m_ParamArrayOrg;
};

// Opens the settings dialog filled from the document (working copy = its
// settings in force, reference = its loaded settings, its settings path,
// the snapshot of its patterns); nullopt when the user cancelled. The
// document is not changed.
std::optional<CEnvironmentResult> RunEnvironmentDialog(CPlenimetraParam& param);
