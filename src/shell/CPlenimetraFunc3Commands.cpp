// The commands of the automatic-area page: create, release, change check
// and update, and the walk that drops records whose source lost its
// record. Each command is one undoable step; every progress window it
// opens is closed on every path.

#include "CDlgAutoAreaCreate.h"
#include "CDlgAutoAreaRelease.h"
#include "CDlgProgress.h"
#include "CElementChange.h"
#include "CGSUtil.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraPalette.h"
#include "CTeamworkControl.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_notify.h"
#include "host_selection.h"
#include "host_teamwork.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

const GS::UniString kCreateTitle(u"自動分割区画生成");
const GS::UniString kReleaseTitle(u"自動分割区画解除");
const GS::UniString kNotReleased(u"次の自動作成区画は解除しませんでした：");
const GS::UniString kReleasedNotRenumbered(u"自動作成区画は解除しましたが、残りの求積区画の番号を保存できません：");
const GS::UniString kReleasedNotStored(u"自動作成区画は解除しましたが、計算データを保存できません：");
const GS::UniString kUpdatedNotStored(
    u"自動作成区画は更新しましたが、計算データを保存できません。元に戻すで更新を取り消すか、もう一度保存してください：");
const GS::UniString kNotReserved(u"自動分割生成を実行するには、エレメントを確保する必要があります。\n処理を中止します");

// Keeps the first error of a run of steps.
void KeepFirst(GSErrCode& first, GSErrCode err)
{
  if (first == NoError)
    first = err;
}

// A figure of a story that was left out at opening may be one of any of
// the story's automatic areas: cut again, the area would count twice once
// that figure can be read. Such areas are left as they are and named.
const GS::UniString kNotUpdated(
    u"次の自動作成区画は更新しませんでした。同じ階に読み込めない求積区画があり、面積が二重に集計されるおそれがあります：");

// The record's name as the list shows it; its element's GUID when the
// element cannot be read.
GS::UniString RecordName(const CAutoAreaParam& record)
{
  const GS::UniString name = record.GetName();
  return name.IsEmpty() ? APIGuidToString(record.GetGuid()) : name;
}

// One alert for a record whose cut failed, naming it; nothing for a cancel.
void ReportCutFailure(const CAutoAreaParam& record, const char16_t* what, GSErrCode err)
{
  if (const GS::UniString text = GSCauseText(err); !text.IsEmpty())
    GSWriteReport(RecordName(record) + u" の自動作成区画を" + what + u"できません：" + text);
}

// Steps the window: the step's error, else the cancel code when the user
// asked to stop.
GSErrCode StepOrStop(CDlgProgress& progress, GSErrCode err)
{
  progress.StepIt();
  if (err != NoError)
    return err;
  return progress.CheckAbort() ? APIERR_CANCEL : NoError;
}

// Kept figures become the user's own from the release on: their stored
// records lose the link as the document's copies do, or a reopen would
// give them back to the source, whose next cut would list and delete them.
// Those written are listed, for a later failure to write them back linked.
GSErrCode StoreKeptUnlinked(const CPlenimetraParam* param, const std::vector<CAutoAreaParam>& records,
                            std::vector<std::shared_ptr<CArea1Object>>& written)
{
  for (const CAutoAreaParam& record : records)
    for (const std::shared_ptr<CArea1Object>& figure : record.GetAutoArea(param)) {
      const GS::Guid source = figure->m_AutoArea.m_ElemGuid;
      figure->m_AutoArea.m_ElemGuid = GS::Guid();
      const GSErrCode err = figure->Save();
      figure->m_AutoArea.m_ElemGuid = source;
      if (err != NoError)
        return err;
      written.push_back(figure);
    }
  return NoError;
}

}  // namespace

// ---------------------------------------------------------------------------
// Create

GSErrCode CPlenimetraFunc3::DoCreate(short dialId)
{
  CDlgAutoAreaCreate dialog(m_pParam);
  dialog.SetAutoCutType(m_pParam->m_AutoCutType);
  dialog.m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(m_pParam->m_AutoItemType1);
  dialog.m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(m_pParam->m_AutoItemType2);
  const CFloorParam* floor = m_pParam->m_FloorParamArray.Search(CGSUtil::GetActStory());
  dialog.m_StartNo =
      floor != nullptr ? floor->m_Area1ObjectArray.GetMaxItemNo(m_pParam, dialog.m_ItemType1, dialog.m_ItemType2) + 1
                       : 0;
  if (dialog.DoModal() != 1)
    return NoError;
  m_pParam->m_AutoCutType = dialog.GetAutoCutType();
  m_pParam->m_AutoItemType1 = dialog.m_ItemType1;
  m_pParam->m_AutoItemType2 = dialog.m_ItemType2;
  // The story's figures are taken as the cut's guard; those the cut leaves
  // as they were (another zone's, those whose number stays) are given back.
  GS::Array<API_Neig> selection;
  const GS::Array<API_Guid> guarded =
      PlanSelection(selection) == NoError ? CreationGuards(selection) : GS::Array<API_Guid>();
  const GSErrCode err = CTeamworkTaking::Run(*m_pParam, guarded, [&] {
    return ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[自動作成区画作成]"),
                                     [&] { return DoCreateArea1(dialId, dialog.m_StartNo); });
  });
  AfterCommand(dialId, false);
  return err;
}

GSErrCode CPlenimetraFunc3::DoCreateArea1(short dialId, int startNo)
{
  const short story = CGSUtil::GetActStory();
  GS::Array<API_Neig> selection;
  if (GSErrCode err = PlanSelection(selection); err != NoError)
    return err;
  if (GSErrCode err = ReserveSelection(selection); err != NoError)
    return err;
  // A cut stopped part way (the user's cancel, a failure) has replaced the
  // figures of the zones before it: they are numbered and stored all the
  // same, so that the step holds what the document shows and its Undo
  // reads back the record of before.
  GSErrCode err = CutElements(selection, startNo);
  KeepFirst(err, RenumberStory(story));
  KeepFirst(err, m_pParam->SaveData());
  {
    IgnoreSelection ignore(*m_bIgnoreSelection);
    SetAreaListItem(dialId);
  }
  return err;
}

// In a shared project every selected element must be this user's before
// anything is cut, with the figures of the stories cut on; they are
// reserved together, so that a refusal takes none of them.
GSErrCode CPlenimetraFunc3::ReserveSelection(const GS::Array<API_Neig>& selection) const
{
  if (!ACAPI_TeamworkControl_HasConnection())
    return NoError;
  if (const GSErrCode err = m_pParam->DoTeamworkReceive(CreationGuards(selection)); err != NoError)
    return err;
  GS::Array<API_Guid> sources;
  for (const API_Neig& neig : selection)
    sources.Push(neig.guid);
  // Offline nothing is reserved: the sources must be held already.
  if (!m_pParam->GetTeamworkStatus2(sources)) {
    GSWriteReport(kNotReserved);
    return APIERR_CANCEL;
  }
  return NoError;
}

// An outline drawn on a worksheet belongs to no story: only the plan's
// elements (the command runs on the plan) are sources.
GSErrCode CPlenimetraFunc3::PlanSelection(GS::Array<API_Neig>& selection)
{
  API_SelectionInfo info;
  GS::Array<API_Neig> selected;
  if (GSErrCode err = ACAPI_Selection_Get(&info, &selected, false, true); err != NoError && err != APIERR_NOSEL)
    return err;
  selection.Clear();
  for (const API_Neig& neig : selected)
    if (ACAPI_Element_Filter(neig.guid, APIFilt_InCurrentDatabase))
      selection.Push(neig);
  return NoError;
}

// The selected sources and every figure of the stories they lie on.
GS::Array<API_Guid> CPlenimetraFunc3::CreationGuards(const GS::Array<API_Neig>& selection) const
{
  GS::Array<API_Guid> guids;
  std::vector<short> stories;
  for (const API_Neig& neig : selection) {
    guids.Push(neig.guid);
    API_Elem_Head head;
    head.guid = neig.guid;
    if (ACAPI_Element_GetHeader(&head) == NoError)
      stories.push_back(head.floorInd);
  }
  for (const API_Guid& guid : StoryFigures(stories))
    guids.Push(guid);
  return guids;
}

// A cut deletes figures and renumbers its story's others: every figure of
// the stories cut on, as the guard of all of them.
GS::Array<API_Guid> CPlenimetraFunc3::StoryFigures(const std::vector<short>& stories) const
{
  GS::Array<API_Guid> guids;
  for (const CFloorParam& floor : m_pParam->m_FloorParamArray)
    if (std::find(stories.begin(), stories.end(), floor.m_FloorNo) != stories.end())
      for (const auto& figure : floor.m_Area1ObjectArray)
        guids.Push(figure->m_Element.header.guid);
  return guids;
}

// What a change of the records writes: their sources (a hot-linked one
// lives in the document), their figures and, when those leave their story,
// the story's figures whose place or number then moves. Figures kept where
// they are, and the others, are not written.
GS::Array<API_Guid> CPlenimetraFunc3::RecordsTouch(const std::vector<const CAutoAreaParam*>& records,
                                                   bool figuresLeave) const
{
  GS::Array<API_Guid> guids;
  std::map<short, CArea1ObjectPtrArray> leaving;
  for (const CAutoAreaParam* record : records) {
    if (!CHotLinkParamArray::IsHotLink(record->GetGuid()))
      guids.Push(record->GetGuid());
    for (const std::shared_ptr<CArea1Object>& figure : record->GetAutoArea(m_pParam)) {
      guids.Push(figure->m_Element.header.guid);
      leaving[record->GetFloor()].Add(figure);
    }
  }
  for (const auto& [story, figures] : leaving)
    if (const CFloorParam* floor = m_pParam->m_FloorParamArray.Search(story); figuresLeave && floor != nullptr)
      for (const CArea1Object* moved : floor->m_Area1ObjectArray.MovedWithout(m_pParam, figures))
        guids.Push(moved->m_Element.header.guid);
  return guids;
}

// A failed cut still leaves its record, so the changed mark the cut set
// shows in the list; it is reported naming its element, and the answer is
// then the cancel code. An element already cut on a story with a figure
// left out at opening is cut again as an update would be: not at all.
GSErrCode CPlenimetraFunc3::CutElements(const GS::Array<API_Neig>& selection, int startNo)
{
  CDlgProgress progress;
  progress.OpenProgress(kCreateTitle, false);
  progress.SetRange(static_cast<int>(selection.GetSize()), kCreateTitle);
  GSErrCode err = NoError;
  GS::UniString notCut;
  std::set<short> stories;  // those that took a record
  for (const API_Neig& neig : selection) {
    API_Element element;
    element.header.guid = neig.guid;
    if (err = ACAPI_Element_Get(&element); err != NoError)
      break;
    if (!CPlenimetraParam::IsAutoElement(element))
      continue;
    CAutoAreaParam record(&element.header);
    record.m_AutoCutType = m_pParam->m_AutoCutType;
    record.m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(m_pParam->m_AutoItemType1);
    record.m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(m_pParam->m_AutoItemType2);
    // The figures go into the story's floor record, which a story added
    // since the palette opened gets only with its first cut.
    CFloorParam* floor = FloorOnDemand(m_pParam, element.header.floorInd);
    // After a load that did not complete, a zone may be unlisted only
    // because its record was not read: its figures may still be placed.
    const bool listed = floor->m_AutoAreaParamArray.Search(&element.header.guid) != nullptr;
    if ((listed || m_pParam->m_bSaveBlocked) && MayCountTwice(record)) {
      notCut += NotUpdatedLine(record);
      continue;
    }
    err = record.DoCreateArea1(m_pParam, startNo);
    FloorOnDemand(m_pParam, element.header.floorInd)->m_AutoAreaParamArray.Add(record);
    stories.insert(element.header.floorInd);
    if (err != NoError && err != APIERR_CANCEL) {
      ReportCutFailure(record, u"作成", err);
      err = APIERR_CANCEL;
    }
    if (err = StepOrStop(progress, err); err != NoError)
      break;
  }
  progress.Close();
  for (short story : stories)
    // A list the host cannot give leaves the records in the order they were
    // cut in; they are whole all the same.
    static_cast<void>(m_pParam->OrderAutoAreasAsLoaded(story));
  if (!notCut.IsEmpty())
    GSWriteReport(kNotUpdated + notCut);
  return err;
}

bool CPlenimetraFunc3::MayCountTwice(const CAutoAreaParam& record) const
{
  return m_pParam->HasUnreadFigures(record.GetFloor());
}

GS::UniString CPlenimetraFunc3::NotUpdatedLine(const CAutoAreaParam& record) const
{
  GS::UniString line(u"\n");
  if (const CFloorParam* floor = m_pParam->m_FloorParamArray.Search(record.GetFloor());
      floor != nullptr && !floor->m_FloorName.IsEmpty())
    line += floor->m_FloorName + u"　";
  return line + RecordName(record);
}

GSErrCode CPlenimetraFunc3::RenumberStory(short story)
{
  CFloorParam* floor = m_pParam->m_FloorParamArray.Search(story);
  if (floor == nullptr)
    return NoError;
  GSErrCode err = floor->m_Area1ObjectArray.SetSortIndex();
  KeepFirst(err, floor->m_Area1ObjectArray.CheckItemNo(m_pParam));
  return err;
}

// ---------------------------------------------------------------------------
// Release

GSErrCode CPlenimetraFunc3::DoDelete(short dialId)
{
  CDlgAutoAreaRelease dialog;
  if (dialog.DoModal() != 1)
    return NoError;
  // Copies: releasing moves the records of the list.
  std::vector<CAutoAreaParam> copies;
  for (int row : GetSelList(dialId)) {
    const CAutoAreaParam* record = RowRecord(dialId, static_cast<short>(row));
    PLN_ASSERT(record != nullptr);
    copies.push_back(*record);
  }
  bool ran = false;
  // The records' figures are elements of the plan, in front or not.
  GSErrCode err = CGSUtil::OnFloorPlan([&] {
    const GSErrCode released = ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[自動作成区画削除]"), [&] {
      ran = true;
      return ReleaseRecords(copies, dialog.m_bDeleteFigures);
    });
    AfterCommand(dialId, true);
    return released;
  });
  if (!ran && err != NoError) {  // the step or the plan was refused: nothing was touched
    ReportNotReleased(copies, err);
    err = APIERR_CANCEL;
  }
  return err;
}

// The release is one change or none: the window asks its questions before
// anything is touched, and a failure puts back what was done, so the
// records are all released or all kept, as the alert then says. What is
// written after that (the renumbered figures, the project record) is told
// apart.
GSErrCode CPlenimetraFunc3::ReleaseRecords(std::vector<CAutoAreaParam>& records, bool deleteFigures)
{
  std::vector<const CAutoAreaParam*> reserved;
  for (const CAutoAreaParam& record : records)
    reserved.push_back(&record);
  // A stop reserves nothing.
  GSErrCode err = AskToRelease(records.size());
  if (err == NoError)
    err = m_pParam->DoTeamworkReceive(RecordsTouch(reserved, deleteFigures));
  if (err == NoError)
    err = ReleaseWhole(records, deleteFigures);
  if (err != NoError) {
    ReportNotReleased(records, err);
    return APIERR_CANCEL;
  }
  if (deleteFigures)
    for (short story : StoriesOf(records))
      KeepFirst(err, RenumberStory(story));
  if (const GS::UniString text = GSCauseText(err); !text.IsEmpty())
    GSWriteReport(kReleasedNotRenumbered + text);
  const GSErrCode saved = m_pParam->SaveData();
  if (const GS::UniString text = GSCauseText(saved); !text.IsEmpty())
    GSWriteReport(kReleasedNotStored + text);
  return err != NoError || saved != NoError ? APIERR_CANCEL : NoError;
}

// The window steps through the records; a stop asked for there comes
// before any change.
GSErrCode CPlenimetraFunc3::AskToRelease(std::size_t records) const
{
  CDlgProgress progress;
  progress.OpenProgress(kReleaseTitle, false);
  progress.SetRange(static_cast<int>(records), kReleaseTitle);
  GSErrCode err = NoError;
  for (std::size_t k = 0; k < records && err == NoError; ++k)
    err = StepOrStop(progress, NoError);
  progress.Close();
  return err;
}

// The records' stores are emptied first; then the figures to delete go in
// one deletion, which the host takes whole or not at all, or the figures
// kept are stored unlinked one by one. A failure of any of these writes
// back what was written. Only then do the records leave the document,
// which cannot fail. A hot-linked element's record lives in the document
// and leaves with it.
GSErrCode CPlenimetraFunc3::ReleaseWhole(std::vector<CAutoAreaParam>& records, bool deleteFigures)
{
  std::vector<CAutoAreaParam*> emptied;
  GSErrCode err = NoError;
  for (CAutoAreaParam& record : records) {
    if (CHotLinkParamArray::IsHotLink(record.GetGuid()))
      continue;
    if (err = record.ClearData(m_pParam); err != NoError)
      break;
    emptied.push_back(&record);
  }
  if (err == NoError && deleteFigures) {
    CArea1ObjectPtrArray figures;
    for (const CAutoAreaParam& record : records)
      for (const std::shared_ptr<CArea1Object>& figure : record.GetAutoArea(m_pParam))
        figures.Add(figure);
    err = m_pParam->DoDeleteArea1Whole(figures);
  }
  std::vector<std::shared_ptr<CArea1Object>> unlinked;
  if (err == NoError && !deleteFigures)
    err = StoreKeptUnlinked(m_pParam, records, unlinked);
  if (err != NoError) {
    // err is the failure reported; the document still links them all.
    for (const std::shared_ptr<CArea1Object>& figure : unlinked)
      static_cast<void>(figure->Save());
    for (CAutoAreaParam* record : emptied)
      static_cast<void>(record->Save(m_pParam, record->m_AutoCutType));
    return err;
  }
  for (CAutoAreaParam& record : records)
    DropRecord(record);
  return NoError;
}

// The record leaves its story's list (its kept figures lose their link)
// and every calculation element.
void CPlenimetraFunc3::DropRecord(CAutoAreaParam& record)
{
  if (CFloorParam* floor = m_pParam->m_FloorParamArray.Search(record.GetFloor()); floor != nullptr) {
    if (CHotLinkParamArray::IsHotLink(record.GetGuid()))
      static_cast<void>(record.ClearData(m_pParam));  // the document's own list: nothing to fail
    floor->m_AutoAreaParamArray.Remove(m_pParam, &record.GetGuid());
  }
  m_pParam->m_Area2ObjectArray.Remove(&record);
}

std::vector<short> CPlenimetraFunc3::StoriesOf(const std::vector<CAutoAreaParam>& records)
{
  std::vector<short> stories;
  for (const CAutoAreaParam& record : records)
    if (std::find(stories.begin(), stories.end(), record.GetFloor()) == stories.end())
      stories.push_back(record.GetFloor());
  return stories;
}

// One alert naming every record kept, with the failure when there was one
// (a stop asked for has none).
void CPlenimetraFunc3::ReportNotReleased(const std::vector<CAutoAreaParam>& records, GSErrCode err) const
{
  GS::UniString text = kNotReleased;
  for (const CAutoAreaParam& record : records)
    text += NotUpdatedLine(record);
  if (const GS::UniString reason = GSCauseText(err); !reason.IsEmpty())
    text += GS::UniString(u"\n") + reason;
  GSWriteReport(text);
}

// ---------------------------------------------------------------------------
// Check and update

GSErrCode CPlenimetraFunc3::DoCheck(short dialId)
{
  const GSErrCode err = ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[自動作成区画変更チェック]"), [&] {
    if (GSErrCode collected = m_pParam->GetAutoElement2(); collected != NoError)
      return collected;
    if (CAutoAreaParamArray* records = ActiveRecords(); records != nullptr)
      for (CAutoAreaParam& record : *records)
        if (GSErrCode checked = record.CheckAutoArea(m_pParam); checked != NoError)
          return checked;
    return GSErrCode(NoError);
  });
  AfterCommand(dialId, false);
  return err;
}

// Every selected record is updated even after one failed. A record that
// failed keeps its old figures and is reported once, naming it; one that
// might count twice is left alone and named in one alert. The document is
// saved in any case; the answer is the save's.
GSErrCode CPlenimetraFunc3::DoUpdate(short dialId)
{
  std::vector<API_Guid> sources;
  for (int row : GetSelList(dialId)) {
    const CAutoAreaParam* record = RowRecord(dialId, static_cast<short>(row));
    PLN_ASSERT(record != nullptr);
    sources.push_back(record->GetGuid());
  }
  GS::UniString notUpdated;
  bool ran = false;
  std::vector<const CAutoAreaParam*> changed;
  if (CAutoAreaParamArray* records = ActiveRecords(); records != nullptr)
    for (const API_Guid& source : sources)
      if (const CAutoAreaParam* record = records->Search(&source); record != nullptr && record->m_bChanged)
        changed.push_back(record);
  // The new figures come last, so the old ones leave as a deletion's do; a
  // source whose record is stored again as it was is given back.
  const GSErrCode err = CTeamworkTaking::Run(*m_pParam, RecordsTouch(changed, true), [&] {
    return ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[自動作成区画更新]"), [&] {
      ran = true;
      for (const API_Guid& source : sources) {
        CAutoAreaParamArray* records = ActiveRecords();
        CAutoAreaParam* record = records != nullptr ? records->Search(&source) : nullptr;
        if (record == nullptr || !record->m_bChanged)
          continue;
        if (MayCountTwice(*record))
          notUpdated += NotUpdatedLine(*record);
        else if (const GSErrCode updated = record->UpdateAutoArea(m_pParam); updated != NoError)
          ReportCutFailure(*record, u"更新", updated);
      }
      return GSErrCode(m_pParam->SaveData());
    });
  });
  if (!ran) {  // refused at its reservation: nothing was touched
    AfterCommand(dialId, true);
    return err;
  }
  if (!notUpdated.IsEmpty())
    GSWriteReport(kNotUpdated + notUpdated);
  AfterCommand(dialId, true);
  // The body's answer is the record's store: the figures are updated all
  // the same, and the user is told how to keep them.
  if (const GS::UniString text = GSCauseText(err); ran && !text.IsEmpty()) {
    GSWriteReport(kUpdatedNotStored + text);
    return APIERR_CANCEL;
  }
  return err;
}

void CPlenimetraFunc3::AfterCommand(short dialId, bool deselect)
{
  {
    IgnoreSelection ignore(*m_bIgnoreSelection);
    if (deselect)
      SelectRows(dialId, CSelectList());
    SetAreaListItem(dialId);
    static_cast<void>(ListChangeSelection(dialId));  // the plan's selection only: nothing stored
    // The other open pages list figures and records by their addresses,
    // which a cut or release freed or moved.
    m_Palette.SendUpdateMessage(Hint::ElementsChanged);
  }
}

// ---------------------------------------------------------------------------
// Dead records

void CPlenimetraFunc3::DropDeadRecords()
{
  const short story = CGSUtil::GetActStory();
  std::size_t index = 0;
  for (;;) {
    CAutoAreaParamArray* records = ActiveRecords();
    if (records == nullptr || index >= records->size())
      return;
    // Only a record the host says is gone is dead: one that cannot be read
    // now keeps its figures.
    bool has = false;
    if ((*records)[index].FindData(m_pParam, has) != NoError || has) {
      ++index;
      continue;
    }
    // The next record moves into this place.
    CAutoAreaParam dead = (*records)[index];
    dead.DoDeleteArea1(m_pParam, nullptr);
    // A number whose save fails is saved again by the story's next repair.
    static_cast<void>(RenumberStory(story));
    m_pParam->m_Area2ObjectArray.Remove(&dead);
    ActiveRecords()->ReleaseAutoArea(m_pParam, dead);
  }
}
