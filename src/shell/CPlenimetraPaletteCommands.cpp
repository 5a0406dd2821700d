// The commands of the main palette on the whole document: stories to
// calculate, reference-floor copy, output, the settings dialog and
// applying its result, the rounding table of the current pattern, and
// inserting, copying and deleting calculation patterns.

#include "CDlgEnvironment.h"
#include "CDlgFloorCopy.h"
#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CDlgSelectTree.h"
#include "CDlgSettingFloor.h"
#include "CPlenimetraPalette.h"
#include "CTeamworkControl.h"
#include "GSWriteReport.h"
#include "host_alert.h"
#include "host_assert.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_notify.h"
#include "OutputCommand.h"

namespace {

const GS::UniString kTitle(u"メンセラ");

// The host's yes/no confirmation; true for "はい".
bool Confirm(const GS::UniString& question)
{
  return DGAlert(-3, kTitle, question, GS::UniString(), GS::UniString(u"はい"), GS::UniString(u"いいえ")) == 1;
}

bool TextGroupChanged(const CEnvParam& a, const CEnvParam& b)
{
  return a.m_RoundTypeParamArray != b.m_RoundTypeParamArray || a.m_LengthComma != b.m_LengthComma ||
         a.m_SnapType != b.m_SnapType || a.m_AreaComma != b.m_AreaComma || a.m_BlankDecimals != b.m_BlankDecimals ||
         a.m_LengthTenthDigit != b.m_LengthTenthDigit ||
         a.m_TriangleAttr.m_bVertexOrder != b.m_TriangleAttr.m_bVertexOrder;
}

bool StyleGroupChanged(const CEnvParam& a, const CEnvParam& b)
{
  return a.m_FillPenOff != b.m_FillPenOff || !(a.m_TriangleAttr == b.m_TriangleAttr) ||
         !(a.m_RectAttr == b.m_RectAttr) || !(a.m_ArcAttr == b.m_ArcAttr) ||
         !(a.m_TrapezoidAttr == b.m_TrapezoidAttr) || !(a.m_CircleAttr == b.m_CircleAttr) ||
         !(a.m_EllipseAttr == b.m_EllipseAttr) || !(a.m_AttributeCommonParamArray == b.m_AttributeCommonParamArray);
}

bool TableGroupChanged(const CEnvParam& a, const CEnvParam& b)
{
  return a.m_NumberFillGaps != b.m_NumberFillGaps || !(a.m_ListAttr1 == b.m_ListAttr1) ||
         !(a.m_ListAttr2 == b.m_ListAttr2) || !(a.m_ListAttr3 == b.m_ListAttr3) ||
         !(a.m_ListAttr4 == b.m_ListAttr4) || !(a.m_TotalAreaParam == b.m_TotalAreaParam) ||
         !(a.m_TreeShowItem == b.m_TreeShowItem) || a.m_ListLayer != b.m_ListLayer;
}

// Whether two rounding tables round figures alike; a table the settings
// lack differs from any.
bool RoundFiguresAlike(const CRoundTypeParam* a, const CRoundTypeParam* b)
{
  if (a == nullptr || b == nullptr)
    return false;
  return a->m_AngleRoundType == b->m_AngleRoundType && a->m_LengthRoundType == b->m_LengthRoundType &&
         a->m_PaiCode == b->m_PaiCode;
}

// The floor-copy dialog, asked before the copy's undo step: what the
// dialog keeps of itself (its list's columns) is no part of the copy, and a
// cancelled dialog leaves no step. The copy then takes the answers given.
class AskedFloorCopy : public CFloorCopyChoice {
public:
  bool Ask(CPlenimetraParam* param)
  {
    m_Source = CGSUtil::GetActStory();
    m_Targets.assign(param->m_FloorParamArray.size(), false);
    m_bAnswered = CDlgFloorCopyChoice().DoModal(param, m_Source, m_Targets);
    return m_bAnswered;
  }
  bool DoModal(CPlenimetraParam* /*param*/, short& source, std::vector<bool>& targets) override
  {
    source = m_Source;
    targets = m_Targets;
    return m_bAnswered;
  }

private:
  short m_Source = 0;
  std::vector<bool> m_Targets;
  bool m_bAnswered = false;
};

}  // namespace

void CPlenimetraPalette::CallPlenimetraFunction(short dialId, short item)
{
  API_DatabaseInfo database;
  if (GSErrCode err = ACAPI_Database('GDAT', &database); err != NoError) {
    GSWriteFailure(GS::UniString(u"表示中の図面を確認できないため、実行できませんでした。"), err);
    return;
  }
  if (database.typeID != APIWind_FloorPlanID)
    return;
  GSErrCode err = NoError;
  switch (item) {
  case 1: {
    CDlgSettingFloor dialog(&m_Param);
    if (dialog.DoModal() == 1) {
      const bool perFloor = dialog.m_bFloorMode;
      m_Param.m_FloorParamArray = dialog.m_FloorParamArray;
      m_Param.m_FloorParamArray.m_bCalcPerFloor = perFloor;
      SendUpdateMessage(Hint::TreeChanged);
      // Saved, or the next opening (which reloads) forgets the choice; the
      // save is the choice's undo step.
      err = SaveAsStep(m_Param, u"メンセラ[階設定]");
    }
    break;
  }
  case 2: {
    AskedFloorCopy choice;
    if (!choice.Ask(&m_Param))
      break;
    // Saved inside the step: its undo then gives back the elements' entries
    // of the copies with the record. A copy refused at its reservation,
    // which comes before any change, writes nothing and leaves no step.
    err = ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[基準階]"), [&]() {
      const GSErrCode copied = m_Param.FloorCopy(choice);
      if (copied == APIERR_NOTMINE)
        return copied;
      const GSErrCode saved = m_Param.SaveData();
      return copied != NoError ? copied : saved;
    });
    SendUpdateMessage(Hint::StoryChanged);
    break;
  }
  case 3: {
    // The output shows its own failures, each once. Its dialog is asked
    // before the step, as the floor copy's is: a cancelled one leaves no
    // step. Its saves (the choices made in its dialog, the record after the
    // sheets) join the step, so that undo and redo take them with the
    // sheets; a step the host refuses leaves the output as it runs without
    // one.
    COutputCommand output(m_Param);
    if (!output.Ask())
      break;
    bool ran = false;
    static_cast<void>(ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[出力]"), [&]() {
      ran = true;
      return output.Run();
    }));
    if (!ran)
      static_cast<void>(output.Run());
    break;
  }
  case 4:
    if (const std::optional<CEnvironmentResult> result = RunEnvironmentDialog(m_Param); result.has_value())
      err = ApplySettings(dialId, *result);
    break;
  case 16:
    // The host's reservation shows who holds what could not be taken.
    static_cast<void>(DoTeamwork(dialId));
    break;
  default:
    break;
  }
  if (err != NoError) {
    GSWriteFailure(GS::UniString(item == 1   ? u"階設定を保存できませんでした。"
                                 : item == 2 ? u"基準階のコピーを完了できませんでした。"
                                             : u"環境設定の適用を完了できませんでした。"),
                   err);
    return;
  }
  EnableItem(dialId);
}

// ---------------------------------------------------------------------------
// Figures

GS::Array<API_Guid> CPlenimetraPalette::PlacedFigures() const
{
  GS::Array<API_Guid> placed;
  for (const CFloorParam& floor : m_Param.m_FloorParamArray)
    for (const auto& figure : floor.m_Area1ObjectArray)
      if (figure->m_Element.header.guid != APINULLGuid)
        placed.Push(figure->m_Element.header.guid);
  return placed;
}

// A progress cancel does not stop the update: a half-updated plan would
// show figures that disagree with the settings in force.
GSErrCode CPlenimetraPalette::UpdateAllFigures(bool keepLook)
{
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), true);
  progress.SetPhase(static_cast<int>(m_Param.m_FloorParamArray.size()), GS::UniString());
  GSErrCode first = NoError;
  for (CFloorParam& floor : m_Param.m_FloorParamArray) {
    for (const auto& figure : floor.m_Area1ObjectArray)
      if (figure->m_Element.header.guid != APINULLGuid)
        if (const GSErrCode err = figure->ChangeParam(&m_Param, keepLook); first == NoError)
          first = err;
    progress.IncrementPhase();
    // Only the bar's button is answered: the update goes on.
    static_cast<void>(progress.CheckAbort());
  }
  progress.Close();
  return first;
}

void CPlenimetraPalette::DoRoundTypeChange(short dialId)
{
  CAreaTree* node = m_Param.GetTree();
  PLN_ASSERT(node != nullptr);
  const CRoundTypeParamArray& tables = m_Param.m_EnvParam.m_RoundTypeParamArray;
  const CRoundTypeParam* before = tables.Search(node->m_RoundTypeId);
  const int id = static_cast<int>(CDGDlgCore::PopUpSelectedUserData(dialId, kRounding));
  const CRoundTypeParam* after = tables.Search(id);
  const bool alike = RoundFiguresAlike(before, after);
  // A table that rounds figures otherwise rewrites every placed figure: all
  // are this user's before the pattern takes the table, and those whose
  // texts come out as they were are given back.
  const GS::Array<API_Guid> rewritten = alike ? GS::Array<API_Guid>() : PlacedFigures();
  bool ran = false;
  const GSErrCode err = CTeamworkTaking::Run(m_Param, rewritten, [&] {
    ran = true;
    node->m_RoundTypeId = id;
    // Saved in both cases, or the next opening (which reloads) forgets the
    // table chosen, and inside the step, so that undo and redo take the
    // table with the figures; the first failure is the one shown.
    const GS::UniString step(alike ? u"メンセラ[端数処理]" : u"求積図形更新");
    return RunAsOneStep(
        step, [&] { return alike ? GSErrCode(NoError) : UpdateAllFigures(true); }, [&] { return m_Param.SaveData(); });
  });
  if (!ran)
    SetRoundTypeItem(dialId);
  GSWriteFailure(GS::UniString(u"端数処理の変更を完了できませんでした。"), err);
}

// ---------------------------------------------------------------------------
// Settings

GSErrCode CPlenimetraPalette::ApplySettings(short dialId, const CEnvironmentResult& result)
{
  const CEnvParam& now = m_Param.m_EnvParam;
  const CEnvParam& next = result.m_EnvParam;
  const bool texts = TextGroupChanged(now, next);
  const bool styles = StyleGroupChanged(now, next);
  const bool tables = TableGroupChanged(now, next);
  const bool patterns =
      next.m_PatternArray.IsTreeChanged(result.m_ParamArrayOrg) || now.m_TuboFactor != next.m_TuboFactor;
  const bool figures = styles || texts || tables || next.m_NumberFillGaps;
  const auto takeReference = [&] {
    m_Param.m_EnvParam2 = result.m_EnvParamRef;
    m_Param.m_EnvPath = result.m_PathName;
  };
  if (!(texts || styles || tables || patterns)) {
    takeReference();
    return NoError;
  }
  if (!Confirm(GS::UniString(u"更新を適用します。よろしいですか？"))) {
    takeReference();
    return NoError;
  }
  // Every placed figure is rewritten for the new settings: all are this
  // user's before the document takes any of them, and those the settings
  // leave as they were are given back.
  return CTeamworkTaking::Run(m_Param, figures ? PlacedFigures() : GS::Array<API_Guid>(),
                              [&] { return ApplyTakenSettings(dialId, result, texts, styles, figures); });
}

GSErrCode CPlenimetraPalette::ApplyTakenSettings(short dialId, const CEnvironmentResult& result, bool texts,
                                                 bool styles, bool figures)
{
  m_Param.m_EnvParam2 = result.m_EnvParamRef;
  m_Param.m_EnvPath = result.m_PathName;
  m_Param.m_EnvParam = result.m_EnvParam;
  if (texts)
    SendUpdateMessage(Hint::TextsChanged);
  if (figures) {
    SetRoundTypeItem(dialId);
    SendUpdateMessage(Hint::SettingsApplied);
  }
  // The save is in the settings' step (or is the step, when no figure
  // changes): undo and redo take the settings with the figures.
  return RunAsOneStep(
      GS::UniString(u"メンセラ[環境設定]"), [&] { return figures ? UpdateFiguresForSettings(styles) : NoError; },
      [&] {
        SetTreeItem(dialId, m_Param.m_CurTreeCode);
        SetLayerStatus();
        return m_Param.SaveData();
      });
}

GSErrCode CPlenimetraPalette::UpdateFiguresForSettings(bool styles)
{
  // Numbers that fill gaps close the numbering of every story, not only of
  // the one shown: the tables and the CSV list them all.
  GSErrCode first = NoError;
  if (m_Param.m_EnvParam.m_NumberFillGaps)
    for (CFloorParam& floor : m_Param.m_FloorParamArray) {
      if (const GSErrCode sorted = floor.m_Area1ObjectArray.SetSortIndex(); first == NoError)
        first = sorted;
      if (const GSErrCode numbered = floor.m_Area1ObjectArray.CheckItemNo(&m_Param); first == NoError)
        first = numbered;
    }
  if (const GSErrCode updated = UpdateAllFigures(!styles); first == NoError)
    first = updated;
  return first;
}

// ---------------------------------------------------------------------------
// Patterns

GSErrCode CPlenimetraPalette::InsertPattern(short dialId, CPlenimetraParam& source, const CAreaTree& node, short layer)
{
  // The calculation hangs under the root's one folder, and the stored
  // record is read back only so: a settings file may still hold a pattern
  // of another shape, which is refused before anything changes.
  if (!node.HoldsPatternShape() || !node.NamesOnlyObjectsOf(&source)) {
    const CAreaObject* root = source.FindAreaObject(node.m_AreaCode);
    GSWriteReport(GS::UniString(u"計算パターン「") + (root != nullptr ? root->m_Name.m_DefaultName : GS::UniString()) +
                  u"」は挿入できません。計算パターンの最上位の項目の下には小計項目がひとつだけ必要です。");
    return APIERR_CANCEL;
  }
  m_Param.m_AreaTree2.InsertTree(&m_Param, source, node);
  CAreaTree& inserted = m_Param.m_AreaTree2.m_Child.back();
  inserted.SetItemNo(&m_Param);
  if (layer != m_Param.m_EnvParam.m_Area1Layer)
    inserted.m_Layer = layer;
  m_Param.m_AreaTreeStore.m_Child.push_back(inserted);
  m_Param.m_CurTreeCode = inserted.m_AreaCode;
  SetTreeItem(dialId, m_Param.m_CurTreeCode);
  SetLayerStatus();
  SetRoundTypeItem(dialId);
  SendUpdateMessage(Hint::PatternChanged);
  const GSErrCode err = SaveAsStep(m_Param, u"メンセラ[パターン追加]");
  EnableItem(dialId);
  return err;
}

GSErrCode CPlenimetraPalette::DoTreeInsert(short dialId)
{
  CDlgSelectTree dialog(&m_Param);
  dialog.m_Index = 0;
  dialog.m_Layer = m_Param.m_EnvParam.m_Area1Layer;
  if (dialog.DoModal() != 1)
    return APIERR_CANCEL;
  CPlenimetraParamArray& patterns = m_Param.m_EnvParam.m_PatternArray;
  if (dialog.m_Index < 0 || dialog.m_Index >= static_cast<int>(patterns.size()))
    return NoError;
  // A copy: inserting may touch the settings the source lives in.
  CPlenimetraParam source = patterns[static_cast<std::size_t>(dialog.m_Index)];
  if (source.m_AreaTree2.m_Child.empty())
    return NoError;
  const CAreaTree node = source.m_AreaTree2.m_Child.front();
  return InsertPattern(dialId, source, node, dialog.m_Layer);
}

GSErrCode CPlenimetraPalette::DoTreeCopy(short dialId)
{
  const CAreaTree* current = m_Param.GetTree();
  if (current == nullptr)
    return NoError;
  CPlenimetraParam source = m_Param;
  const CAreaTree node = *current;
  return InsertPattern(dialId, source, node, m_Param.GetLayer());
}

GSErrCode CPlenimetraPalette::DoTreeDelete(short dialId)
{
  if (!Confirm(GS::UniString(u"現在選択されている計算パターンを削除します。\nよろしいですか？")))
    return NoError;
  std::vector<CAreaTree>& working = m_Param.m_AreaTree2.m_Child;
  std::vector<CAreaTree>& stored = m_Param.m_AreaTreeStore.m_Child;
  PLN_ASSERT(working.size() == stored.size());
  const int position = DGPopUpGetSelected(dialId, kPatterns) - 1;
  if (position >= 0 && position < static_cast<int>(working.size())) {
    working.erase(working.begin() + position);
    stored.erase(stored.begin() + position);
  }
  m_Param.m_CurTreeCode = working.empty() ? 0 : working.front().m_AreaCode;
  SetTreeItem(dialId, m_Param.m_CurTreeCode);
  SetLayerStatus();
  if (m_Param.GetTree() != nullptr)
    SetRoundTypeItem(dialId);
  SendUpdateMessage(Hint::PatternDeleted);
  const GSErrCode err = SaveAsStep(m_Param, u"メンセラ[パターン削除]");
  EnableItem(dialId);
  return err;
}

// ---------------------------------------------------------------------------
// The dump file

void CPlenimetraPalette::Export() { m_Param.Export(GS::UniString(kDumpPath)); }

// The document tells the palette (and through it the pages) that it was
// replaced, so nothing here reaches into the old trees.
void CPlenimetraPalette::Import() { m_Param.Import(GS::UniString(kDumpPath)); }
