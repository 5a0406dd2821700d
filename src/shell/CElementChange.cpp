#include "CElementChange.h"

#include "CArea1Object.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "host_elements.h"
#include "host_userdata.h"

#include <algorithm>

namespace {

CArea1ObjectArray* FiguresOf(CPlenimetraParam* param, short story)
{
  CFloorParam* floor = param->m_FloorParamArray.Search(story);
  return floor != nullptr ? &floor->m_Area1ObjectArray : nullptr;
}

CAutoAreaParamArray* RecordsOf(CPlenimetraParam* param, short story)
{
  CFloorParam* floor = param->m_FloorParamArray.Search(story);
  return floor != nullptr ? &floor->m_AutoAreaParamArray : nullptr;
}

bool IsFigureOfStory(CPlenimetraParam* param, const API_Elem_Head& head)
{
  const CArea1ObjectArray* figures = FiguresOf(param, head.floorInd);
  return figures != nullptr && figures->Search(&head) != nullptr;
}

bool IsSourceOfStory(CPlenimetraParam* param, const API_Elem_Head& head)
{
  const CAutoAreaParamArray* records = RecordsOf(param, head.floorInd);
  return records != nullptr && records->Search(&head.guid) != nullptr;
}

// A figure of the record's kind, or null for a kind no figure has.
std::shared_ptr<CArea1Object> MakeFigure(CPlenimetraParam* param, const CArea1ObjectCore& record, int code, int no)
{
  return param->m_Area1Factory.Create(param, record.m_Type, code, record.m_ItemType1, record.m_ItemType2, no);
}

// Undo of a release or of a source's deletion puts back the figures' own
// records, which name the source again, while the document still holds
// them unlinked: they are linked again, as a load links them; otherwise
// the area would list no figures and cutting the source anew would leave
// them beside the new ones.
void RelinkFigures(CPlenimetraParam* param, CFloorParam& floor, const API_Guid& source)
{
  for (const std::shared_ptr<CArea1Object>& figure : floor.m_Area1ObjectArray) {
    if (!figure->m_AutoArea.m_ElemGuid.IsNull())
      continue;
    CArea1ObjectCore stored;
    if (const GSErrCode err = stored.Load(&figure->m_Element.header); err != NoError) {
      if (err != APIERR_NOUSERDATA)
        param->NoteLoadGap(CPlenimetraParam::LoadGap::Figures, err);
      continue;
    }
    if (stored.m_AutoArea.m_ElemGuid == ToGSGuid(source))
      figure->m_AutoArea = stored.m_AutoArea;
  }
}

// A figure's place in the list and its number, as its record stores them.
struct Numbers {
  int sortIndex;
  int no;
  bool operator==(const Numbers&) const = default;
};

std::vector<Numbers> NumbersOf(const CArea1ObjectArray& figures)
{
  std::vector<Numbers> numbers;
  for (const auto& figure : figures)
    numbers.push_back({figure->m_SortIndex, figure->m_No});
  return numbers;
}

}  // namespace

// The story's sort indices and numbers are worked out in memory first: the
// figures whose record would change are reserved before any is written, so
// a plan edit never rewrites a figure another user holds. When one cannot
// be taken, no number of the story moves (the figures keep what their parts
// show, as a reopen reads them) and the refusal is told; the indices close
// their gap in memory only, as a load closes it.
GSErrCode CElementChangeRepairs::RepairStory(CPlenimetraParam* param, CArea1ObjectArray& figures, bool rewrite)
{
  const std::vector<Numbers> before = NumbersOf(figures);
  figures.CloseSortIndexGaps();
  const GSErrCode numbered = figures.CheckItemNo(param, false);
  GS::Array<API_Guid> touched;
  for (std::size_t i = 0; i < figures.size(); ++i)
    if (!(Numbers{figures[i]->m_SortIndex, figures[i]->m_No} == before[i]))
      touched.Push(figures[i]->m_Element.header.guid);
  if (const GSErrCode err = param->DoTeamworkReceive(touched); err != NoError) {
    for (std::size_t i = 0; i < figures.size(); ++i)
      figures[i]->m_No = before[i].no;
    return err;
  }
  GSErrCode first = numbered;
  const auto keep = [&first](GSErrCode err) {
    if (first == NoError)
      first = err;
  };
  for (std::size_t i = 0; i < figures.size(); ++i) {
    CArea1Object& figure = *figures[i];
    if (Numbers{figure.m_SortIndex, figure.m_No} == before[i])
      continue;
    // A figure taken for its new place stores that place; one taken for
    // its number alone keeps the index its record holds.
    if (figure.m_SortIndex != before[i].sortIndex)
      figure.m_Recorded = {};
    keep(figure.Save());
    // A figure's part shows its number: only a number that moved needs the
    // part written again; a new sort index is its record's alone.
    if (rewrite && figure.m_No != before[i].no)
      keep(figure.ChangeParam(param, true));
  }
  return first;
}

CFloorParam* FloorOnDemand(CPlenimetraParam* param, short story)
{
  CFloorParamArray& floors = param->m_FloorParamArray;
  if (CFloorParam* floor = floors.Search(story); floor != nullptr)
    return floor;
  CFloorParam added;
  added.m_FloorNo = story;
  added.m_FloorName = CGSUtil::GetFlrName(story);
  auto at = std::find_if(floors.begin(), floors.end(), [&](const CFloorParam& f) { return f.m_FloorNo > story; });
  return &*floors.insert(at, std::move(added));
}

// ---------------------------------------------------------------------------

GSErrCode CElementChangeRepairs::Apply(CPlenimetraParam* param)
{
  for (short story : renumber)
    if (CArea1ObjectArray* figures = FiguresOf(param, story); figures != nullptr)
      Keep(RepairStory(param, *figures, rewrite.count(story) != 0));
  for (short story : reorder)
    Keep(param->OrderAutoAreasAsLoaded(story));
  renumber.clear();
  rewrite.clear();
  reorder.clear();
  const GSErrCode first = failed;
  failed = NoError;
  return first;
}

void CElementChangeCore::AddHead(std::vector<API_Elem_Head>& heads, const API_Elem_Head& head)
{
  const bool listed =
      std::any_of(heads.begin(), heads.end(), [&](const API_Elem_Head& h) { return h.guid == head.guid; });
  if (!listed)
    heads.push_back(head);
}

// ---------------------------------------------------------------------------
// New elements

void CElementChangeNew::Begin(CPlenimetraParam* param, const API_NotifyElementType* notification)
{
  const API_Elem_Head& head = notification->elemHead;
  if (head.typeID == API_ObjectID)
    AddHead(m_Area1Heads, head);
  else if (CAutoAreaParam(&head).IsHaveData(param))
    AddHead(m_AutoAreaHeads, head);
}

bool CElementChangeNew::End(CPlenimetraParam* param, const API_NotifyElementType* /*notification*/)
{
  bool changed = !m_AutoAreaHeads.empty();
  m_AutoAreaHeads.clear();
  for (const API_Elem_Head& head : m_Area1Heads)
    changed = Adopt(param, head) || changed;
  m_Area1Heads.clear();
  return changed;
}

// A pasted figure takes the next code and the next number of its mark and
// numbering on its story; anything else stays an ordinary object.
bool CElementChangeNew::Adopt(CPlenimetraParam* param, const API_Elem_Head& head)
{
  CArea1ObjectCore record;
  if (record.Load(&head) != NoError)
    return false;
  CFloorParam* floor = FloorOnDemand(param, head.floorInd);
  const int no = floor->m_Area1ObjectArray.GetMaxItemNo(param, record.m_ItemType1, record.m_ItemType2) + 1;
  std::shared_ptr<CArea1Object> figure = MakeFigure(param, record, param->m_LastArea1Code + 1, no);
  if (figure == nullptr)
    return false;
  ++param->m_LastArea1Code;
  figure->m_Element.header.guid = head.guid;
  if (ACAPI_Element_Get(&figure->m_Element) != NoError)
    return true;
  figure->m_SortIndex = -1;
  floor->m_Area1ObjectArray.push_back(figure);
  m_Repairs.Keep(floor->m_Area1ObjectArray.SetSortIndex());
  m_Repairs.Keep(figure->ChangeParam(param, true));
  // Observed as placed figures are, or its moves and deletions would go
  // unreported.
  m_Repairs.Keep(ACAPI_Element_AttachObserver(head.guid));
  return true;
}

// ---------------------------------------------------------------------------
// Copies

void CElementChangeCopy::Begin(CPlenimetraParam* param, const API_NotifyElementType* notification)
{
  const API_Elem_Head& head = notification->elemHead;
  if (IsSourceOfStory(param, head))
    return;
  // A copy not observed has nothing to detach; one that keeps its source's
  // user data would pass for the source.
  (void)ACAPI_Element_DetachObserver(head.guid);
  m_Repairs.Keep(ACAPI_Element_DeleteUserData(&head));
}

// ---------------------------------------------------------------------------
// Edits

void CElementChangeEdit::Begin(CPlenimetraParam* param, const API_NotifyElementType* notification)
{
  const API_Elem_Head& head = notification->elemHead;
  if (IsFigureOfStory(param, head))
    AddHead(m_Area1Heads, head);
  else if (IsSourceOfStory(param, head))
    AddHead(m_AutoAreaHeads, head);
}

bool CElementChangeEdit::End(CPlenimetraParam* param, const API_NotifyElementType* /*notification*/)
{
  const bool changed = !m_Area1Heads.empty() || !m_AutoAreaHeads.empty();
  for (const API_Elem_Head& head : m_Area1Heads)
    if (CArea1ObjectArray* figures = FiguresOf(param, head.floorInd); figures != nullptr)
      if (const std::shared_ptr<CArea1Object> figure = figures->Search(&head); figure != nullptr)
        m_Repairs.Keep(figure->ChangeParam(param, true));
  m_Area1Heads.clear();
  for (const API_Elem_Head& head : m_AutoAreaHeads)
    if (CAutoAreaParamArray* records = RecordsOf(param, head.floorInd); records != nullptr)
      if (CAutoAreaParam* record = records->Search(&head.guid); record != nullptr)
        record->CheckAutoArea(param);
  m_AutoAreaHeads.clear();
  return changed;
}

// ---------------------------------------------------------------------------
// Deletions

void CElementChangeDeleted::Begin(CPlenimetraParam* param, const API_NotifyElementType* notification)
{
  const API_Elem_Head& head = notification->elemHead;
  if (IsFigureOfStory(param, head))
    AddHead(m_Area1Heads, head);
  if (IsSourceOfStory(param, head))
    AddHead(m_AutoAreaHeads, head);
}

// Each element on its own story: undoing a floor copy deletes figures of
// other stories than the active one.
bool CElementChangeDeleted::End(CPlenimetraParam* param, const API_NotifyElementType* /*notification*/)
{
  bool changed = !m_AutoAreaHeads.empty();
  for (const API_Elem_Head& head : m_AutoAreaHeads)
    if (CAutoAreaParamArray* records = RecordsOf(param, head.floorInd); records != nullptr)
      if (const CAutoAreaParam* record = records->Search(&head.guid); record != nullptr)
        DropSource(param, *records, *record);
  m_AutoAreaHeads.clear();
  std::vector<std::pair<short, API_Guid>> lessened;  // areas that lost a figure
  for (const API_Elem_Head& head : m_Area1Heads) {
    CFloorParam* floor = param->m_FloorParamArray.Search(head.floorInd);
    if (floor == nullptr)
      continue;
    if (std::shared_ptr<CArea1Object> figure = floor->m_Area1ObjectArray.Search(&head); figure != nullptr) {
      if (!figure->m_AutoArea.m_ElemGuid.IsNull())
        lessened.emplace_back(head.floorInd, ToAPIGuid(figure->m_AutoArea.m_ElemGuid));
      floor->m_AutoAreaParamArray.Area1Deleted(figure.get());
      param->m_Area2ObjectArray.RemoveArea1(&head);
      floor->m_Area1ObjectArray.Remove(&head);
    }
    m_Repairs.renumber.insert(head.floorInd);
    m_Repairs.rewrite.insert(head.floorInd);
    changed = true;
  }
  m_Area1Heads.clear();
  // Marked as a load marks it; a check that fails only leaves no mark.
  for (const auto& [story, source] : lessened)
    if (CAutoAreaParamArray* records = RecordsOf(param, story); records != nullptr)
      if (CAutoAreaParam* record = records->Search(&source); record != nullptr)
        static_cast<void>(record->CheckAutoArea(param));
  return changed;
}

// The source's figures outlive it as the user's own, in their stored
// records too, as a reopen then reads them; undoing the deletion puts
// their linked records back. Figures deleted in the same batch are gone.
void CElementChangeDeleted::DropSource(CPlenimetraParam* param, CAutoAreaParamArray& records,
                                       const CAutoAreaParam& record)
{
  const auto figures = record.GetAutoArea(param);
  const API_Guid source = record.GetGuid();  // the record goes with its list entry
  records.Remove(param, &source);
  for (const std::shared_ptr<CArea1Object>& figure : figures) {
    const API_Guid& guid = figure->m_Element.header.guid;
    const bool deleted = std::any_of(m_Area1Heads.begin(), m_Area1Heads.end(),
                                     [&](const API_Elem_Head& head) { return head.guid == guid; });
    if (!deleted)
      m_Repairs.Keep(figure->Save());
  }
}

// ---------------------------------------------------------------------------
// Changes by undo or redo

void CElementChangeModified::Begin(CPlenimetraParam* param, const API_NotifyElementType* notification)
{
  const API_Elem_Head& head = notification->elemHead;
  if (head.typeID != API_ObjectID)
    AddHead(m_AutoAreaHeads, head);
  else if (IsFigureOfStory(param, head))
    AddHead(m_Area1Heads, head);
}

bool CElementChangeModified::End(CPlenimetraParam* param, const API_NotifyElementType* /*notification*/)
{
  const bool figures = !m_Area1Heads.empty();
  for (const API_Elem_Head& head : m_Area1Heads)
    if (CArea1ObjectArray* list = FiguresOf(param, head.floorInd); list != nullptr)
      if (const std::shared_ptr<CArea1Object> figure = list->Search(&head); figure != nullptr) {
        // Undo and redo give the part its earlier sizes: the figure's copy
        // of the element follows them, as its record does. A part that
        // cannot be read keeps the figure as it was, and that is told.
        GSErrCode err = ACAPI_Element_Get(&figure->m_Element);
        if (err == NoError)
          err = figure->Load(param, &head);
        param->NoteLoadGap(CPlenimetraParam::LoadGap::Figures, err);
      }
  m_Area1Heads.clear();
  if (m_AutoAreaHeads.empty())
    return figures;
  for (const API_Elem_Head& head : m_AutoAreaHeads)
    FollowSource(param, head);
  m_AutoAreaHeads.clear();
  return true;
}

// The source's record as undo or redo left it: kept, taken back (a release
// undone) or gone. A record that cannot be read leaves the list as it was:
// dropped, its figures would leave their elements.
void CElementChangeModified::FollowSource(CPlenimetraParam* param, const API_Elem_Head& head)
{
  CAutoAreaParam found(&head);
  bool has = false;
  if (const GSErrCode err = found.FindData(param, has); err != NoError) {
    param->NoteLoadGap(CPlenimetraParam::LoadGap::AutoAreas, err);
    return;
  }
  CAutoAreaParamArray* records = RecordsOf(param, head.floorInd);
  CAutoAreaParam* record = records != nullptr ? records->Search(&head.guid) : nullptr;
  if (!has) {
    if (record != nullptr)
      records->Remove(param, &head.guid);
    return;
  }
  CAutoAreaParam& kept = record != nullptr ? *record : found;
  if (const int err = kept.Load(param); err != NoError) {
    param->NoteLoadGap(CPlenimetraParam::LoadGap::AutoAreas, err);
    return;
  }
  if (record == nullptr) {
    CFloorParam* floor = FloorOnDemand(param, head.floorInd);
    floor->m_AutoAreaParamArray.Add(found);
    RelinkFigures(param, *floor, head.guid);
    m_Repairs.reorder.insert(head.floorInd);
    record = floor->m_AutoAreaParamArray.Search(&head.guid);
  }
  record->CheckAutoArea(param);
}

// ---------------------------------------------------------------------------
// Elements that come back

void CElementChangeUndoDeleted::Begin(CPlenimetraParam* /*param*/, const API_NotifyElementType* notification)
{
  const API_Elem_Head& head = notification->elemHead;
  AddHead(head.typeID == API_ObjectID ? m_Area1Heads : m_AutoAreaHeads, head);
}

bool CElementChangeUndoDeleted::End(CPlenimetraParam* param, const API_NotifyElementType* /*notification*/)
{
  bool changed = false;
  for (const API_Elem_Head& head : m_Area1Heads)
    changed = BringBack(param, head) || changed;
  m_Area1Heads.clear();
  for (const API_Elem_Head& head : m_AutoAreaHeads)
    changed = BringBackSource(param, head) || changed;
  m_AutoAreaHeads.clear();
  return changed;
}

// A source comes back with its record, its figures linked to it again, its
// changed mark and its place among the story's automatic areas, as a load
// gives them. An element without a record is no source; one whose record
// cannot be read is skipped, and that is told.
bool CElementChangeUndoDeleted::BringBackSource(CPlenimetraParam* param, const API_Elem_Head& head)
{
  CAutoAreaParam record(&head);
  bool has = false;
  GSErrCode err = record.FindData(param, has);
  if (err == NoError && has)
    err = record.Load(param);
  if (err != NoError) {
    param->NoteLoadGap(CPlenimetraParam::LoadGap::AutoAreas, err);
    return false;
  }
  if (!has)
    return false;
  CFloorParam* floor = FloorOnDemand(param, head.floorInd);
  floor->m_AutoAreaParamArray.Add(record);
  RelinkFigures(param, *floor, head.guid);
  m_Repairs.reorder.insert(head.floorInd);
  // Marked as a load marks it; a check that fails only leaves no mark.
  static_cast<void>(floor->m_AutoAreaParamArray.Search(&head.guid)->CheckAutoArea(param));
  return true;
}

// The figure returns with its own code and number; one that cannot be read
// is skipped, and that is told. An object without the add-on's record is
// no figure.
bool CElementChangeUndoDeleted::BringBack(CPlenimetraParam* param, const API_Elem_Head& head)
{
  CArea1ObjectCore record;
  if (GSErrCode err = record.Load(&head); err != NoError) {
    if (err != APIERR_NOUSERDATA)
      param->NoteLoadGap(CPlenimetraParam::LoadGap::Figures, err);
    return false;
  }
  std::shared_ptr<CArea1Object> figure = MakeFigure(param, record, record.m_Code, record.m_No);
  if (figure == nullptr)
    return false;
  figure->m_Element.header.guid = head.guid;
  if (GSErrCode err = ACAPI_Element_Get(&figure->m_Element); err != NoError) {
    param->NoteLoadGap(CPlenimetraParam::LoadGap::Figures, err);
    return false;
  }
  if (GSErrCode err = figure->Load(param, &head); err != NoError) {
    param->NoteLoadGap(CPlenimetraParam::LoadGap::Figures, err);
    return false;
  }
  CFloorParam* floor = FloorOnDemand(param, head.floorInd);
  floor->m_Area1ObjectArray.push_back(figure);
  m_Repairs.renumber.insert(head.floorInd);
  return true;
}

// ---------------------------------------------------------------------------

template <class T>
CElementChangeCore* CElementChangeCoreArray::Get()
{
  for (const auto& collector : *this)
    if (auto* found = dynamic_cast<T*>(collector.get()); found != nullptr)
      return found;
  push_back(std::make_unique<T>(m_Repairs));
  return back().get();
}

CElementChangeCore* CElementChangeCoreArray::ForNotification(API_NotifyElementID id)
{
  switch (id) {
  case APINotifyElement_New:
    return Get<CElementChangeNew>();
  case APINotifyElement_Copy:
    return Get<CElementChangeCopy>();
  case APINotifyElement_Edit:
    return Get<CElementChangeEdit>();
  case APINotifyElement_Delete:
  case APINotifyElement_Undo_Created:
  case APINotifyElement_Redo_Deleted:
    return Get<CElementChangeDeleted>();
  case APINotifyElement_Undo_Modified:
  case APINotifyElement_Redo_Modified:
    return Get<CElementChangeModified>();
  case APINotifyElement_Undo_Deleted:
  case APINotifyElement_Redo_Created:
    return Get<CElementChangeUndoDeleted>();
  default:
    return nullptr;
  }
}

bool CElementChangeCoreArray::EndBatch(CPlenimetraParam* param, const API_NotifyElementType* notification,
                                       GSErrCode* repairError)
{
  bool changed = false;
  for (const auto& collector : *this)
    changed = collector->End(param, notification) || changed;
  const GSErrCode err = m_Repairs.Apply(param);
  if (repairError != nullptr)
    *repairError = err;
  clear();
  return changed;
}

void CElementChangeCoreArray::clear()
{
  std::vector<std::unique_ptr<CElementChangeCore>>::clear();
  m_Repairs = CElementChangeRepairs();
}
