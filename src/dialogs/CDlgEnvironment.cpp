#include "CDlgEnvironment.h"

#include "CArchive.h"
#include "DocRecord.h"
#include "CDlgEnvironmentTab1.h"
#include "CDlgEnvironmentTab12.h"
#include "CDlgEnvironmentTab2.h"
#include "CDlgEnvironmentTab3.h"
#include "CDlgEnvironmentTab5.h"
#include "CDlgEnvironmentTab8.h"
#include "CDlgEnvironmentTab9.h"
#include "CDlgEnvironmentTabTree.h"
#include "CPlenimetraParam.h"
#include "DlgFileBrowse.h"
#include "DlgLayout.h"
#include "EnvPageInput.h"
#include "GSWriteReport.h"

namespace {

constexpr short kItemOK = 1;
constexpr short kItemCancel = 2;
constexpr short kItemImport = 3;
constexpr short kItemExport = 4;
constexpr short kItemPath = 5;
constexpr short kItemCustom = 6;
constexpr short kItemTabs = 7;

// The host's resize sub-kind of a user's resize; the others are not ours.
constexpr short kResizeByUser = 1;

// Whether the file opens as a settings file of a version the reader
// refuses: the reader has told the user so already.
bool IsOtherVersion(const GS::UniString& path)
{
  CFileArchive ar(path);
  if (ar.Open() != 0 || ar.GetError() != 0)
    return false;
  return ar.GetVersion() < CEnvParam::kFileVersionMin || ar.GetVersion() > CEnvParam::kFileVersion;
}

}  // namespace

pln::host::DGDialogDef CDlgEnvironment::Layout()
{
  using DlgLayout::Item;
  using pln::host::DGItemKind;
  pln::host::DGItemDef tabs = Item(kItemTabs, DGItemKind::TabControl, 10, 10, 620, 420);
  tabs.tabPages = {CDlgEnvironmentTab1::ResourceId,  CDlgEnvironmentTab2::ResourceId,
                   CDlgEnvironmentTabTree::ResourceId, CDlgEnvironmentTab8::ResourceId,
                   CDlgEnvironmentTab9::ResourceId,  CDlgEnvironmentTab12::ResourceId,
                   CDlgEnvironmentTab3::ResourceId,  CDlgEnvironmentTab5::ResourceId};
  return {640, 480,
          {Item(kItemOK, DGItemKind::Button, 550, 450), Item(kItemCancel, DGItemKind::Button, 460, 450),
           Item(kItemImport, DGItemKind::Button, 10, 450), Item(kItemExport, DGItemKind::Button, 100, 450),
           Item(kItemPath, DGItemKind::StaticText, 190, 440, 180), Item(kItemCustom, DGItemKind::StaticText, 380, 450, 70),
           tabs}};
}

CDlgEnvironment::CDlgEnvironment(CPlenimetraParam* param) : CDGDlgCore(ResourceId), m_pParam(param)
{
  CEnvParam& env = m_EnvParam;
  m_TabArray.push_back(std::make_unique<CDlgEnvironmentTab1>(CDlgEnvironmentTab1::ResourceId, param,
                                                             &env.m_RoundTypeParamArray));
  m_TabArray.push_back(std::make_unique<CDlgEnvironmentTab2>(CDlgEnvironmentTab2::ResourceId, &env));
  m_TabArray.push_back(
      std::make_unique<CDlgEnvironmentTabTree>(CDlgEnvironmentTabTree::ResourceId, param, &env.m_PatternArray));
  m_TabArray.push_back(std::make_unique<CDlgEnvironmentTab8>(CDlgEnvironmentTab8::ResourceId, param,
                                                             &env.m_AttributeCommonParamArray, &env));
  m_TabArray.push_back(std::make_unique<CDlgEnvironmentTab9>(CDlgEnvironmentTab9::ResourceId, &env.m_ListAttr1,
                                                             &env.m_ListAttr2, &env.m_ListAttr3, &env.m_ListAttr4));
  m_TabArray.push_back(
      std::make_unique<CDlgEnvironmentTab12>(CDlgEnvironmentTab12::ResourceId, &env.m_TotalAreaParam));
  m_TabArray.push_back(std::make_unique<CDlgEnvironmentTab3>(CDlgEnvironmentTab3::ResourceId, &env.m_TriangleAttr,
                                                             &env.m_RectAttr, &env.m_TrapezoidAttr));
  m_TabArray.push_back(std::make_unique<CDlgEnvironmentTab5>(CDlgEnvironmentTab5::ResourceId, &env.m_ArcAttr,
                                                             &env.m_CircleAttr, &env.m_EllipseAttr));
}

// The pages go first: they point into the working copy.
CDlgEnvironment::~CDlgEnvironment() { m_TabArray.clear(); }

CDGDlgTabCore* CDlgEnvironment::PageOf(short dialId) const
{
  for (const auto& page : m_TabArray)
    if (page->GetDialogID() == dialId)
      return page.get();
  return nullptr;
}

bool CDlgEnvironment::UpdateData(short /*dialId*/, bool /*save*/) { return true; }

short CDlgEnvironment::DoMsgClick(short dialId, short item, long long msgData)
{
  if (CDGDlgTabCore* page = PageOf(dialId)) {
    page->DoMsgClick(item, msgData);
    ShowPathname();
    return 0;
  }
  switch (item) {
  case kItemOK:
    for (const auto& page : m_TabArray)
      if (!page->UpdateData(true))
        return 0;
    return kItemOK;
  case kItemCancel:
    return kItemCancel;
  case kItemImport:
    DoImport();
    ShowAllPages();
    ShowPathname();
    return 0;
  case kItemExport:
    DoExport();
    return 0;
  default:
    return 0;
  }
}

void CDlgEnvironment::DoMsgChange(short dialId, short item, long long msgData)
{
  if (CDGDlgTabCore* page = PageOf(dialId))
    page->DoMsgChange(item, msgData);
  ShowPathname();
}

// A pen tracked in a chooser changes the copy at once; the indicator
// follows at the next change or click.
void CDlgEnvironment::DoMsgTrack(short dialId, short item, long long msgData)
{
  if (CDGDlgTabCore* page = PageOf(dialId))
    page->DoMsgTrack(item, msgData);
}

void CDlgEnvironment::DoMsgInit(short dialId)
{
  m_DialId = dialId;
  for (std::size_t i = 0; i < m_TabArray.size(); ++i) {
    m_TabArray[i]->SetDialogID(DGTabControlGetTabPageId(dialId, kItemTabs, static_cast<short>(i + 1)));
    m_TabArray[i]->DoMsgInit();
  }
  UpdateData(dialId, false);
  ShowPathname();
}

void CDlgEnvironment::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != kResizeByUser)
    return;
  if (CDGDlgTabCore* page = PageOf(dialId)) {
    page->DoMsgResize(arg);
    return;
  }
  LayOutOwnItems(*arg);
}

void CDlgEnvironment::LayOutOwnItems(const DG::ResizeEventArg& arg)
{
  const short dialId = m_DialId;
  DGBeginMoveGrowItems(dialId);
  DGMoveItem(dialId, kItemOK, arg.hGrow, arg.vGrow);
  DGMoveItem(dialId, kItemCancel, arg.hGrow, arg.vGrow);
  DGGrowItem(dialId, kItemTabs, arg.hGrow, arg.vGrow);
  DGMoveItem(dialId, kItemPath, 0, arg.vGrow);
  DGGrowItem(dialId, kItemPath, arg.hGrow, 0);
  DGMoveItem(dialId, kItemCustom, 0, arg.vGrow);
  DGMoveItem(dialId, kItemImport, 0, arg.vGrow);
  DGMoveItem(dialId, kItemExport, 0, arg.vGrow);
  DGEndMoveGrowItems(dialId);
}

short CDlgEnvironment::DoMsgDragDrop(short dialId, short item, DG::DragDropEventArg* arg)
{
  if (CDGDlgTabCore* page = PageOf(dialId))
    return page->DoMsgDragDrop(item, arg);
  return 0;
}

void CDlgEnvironment::ShowPathname()
{
  const short dialId = m_DialId;
  SetItemText(dialId, kItemPath, m_PathName);
  SetItemText(dialId, kItemCustom, m_EnvParam != m_EnvParamRef ? GS::UniString(u"カスタム") : GS::UniString());
}

void CDlgEnvironment::ShowAllPages()
{
  for (const auto& page : m_TabArray)
    page->UpdateData(false);
}

void CDlgEnvironment::DoImport()
{
  GS::UniString path;
  if (!DoBrowse(true, path))
    return;
  const GS::UniString filePath = EnvPageInput::ThroughDefaultCode(path);
  // The reader takes the file whole or leaves the working copy as it was.
  if (m_EnvParam.LoadData(filePath)) {
    m_PathName = path;
    m_EnvParamRef = m_EnvParam;
  } else {
    if (!IsOtherVersion(filePath))
      GSWriteReport(path + u"が読み込めません");
    m_PathName.Clear();
    m_EnvParamRef = CEnvParam();
  }
  ShowPathname();
}

// Every page writes each control at once, so the copy is complete here.
void CDlgEnvironment::DoExport()
{
  GS::UniString path;
  if (!DoBrowse(false, path))
    return;
  // The writer shows its own failure; the dialog stays as it was.
  static_cast<void>(m_EnvParam.SaveData(EnvPageInput::ThroughDefaultCode(path)));
}

bool CDlgEnvironment::DoBrowse(bool import, GS::UniString& path)
{
  const DlgFileKind kind{import ? "メンセラ設定　ｲﾝﾎﾟｰﾄ" : "メンセラ設定　ｴｸｽﾎﾟｰﾄ", "dat", u"メンセラ設定ﾌｧｲﾙ (*.dat)"};
  if (!DlgFileBrowse(import, kind, path))
    return false;
  // The file is named through the default code, and the project keeps the
  // path the settings came from in it: a name the code cannot hold is
  // refused before anything is read or written, as its stand-in would name
  // another file.
  return !DocText::RefuseUnheld(path);
}

std::optional<CEnvironmentResult> RunEnvironmentDialog(CPlenimetraParam& param)
{
  CDlgEnvironment dialog(&param);
  dialog.m_EnvParam = param.m_EnvParam;
  dialog.m_EnvParamRef = param.m_EnvParam2;
  dialog.m_PathName = param.m_EnvPath;
  dialog.m_ParamArrayOrg = param.m_EnvParam.m_PatternArray;
  if (dialog.DoModal() != kItemOK)
    return std::nullopt;
  return CEnvironmentResult{dialog.m_EnvParam, dialog.m_EnvParamRef, dialog.m_PathName, dialog.m_ParamArrayOrg};
}
