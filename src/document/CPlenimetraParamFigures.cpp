// Operations on placed figures as a whole: Teamwork reservation, deleting
// figures, copying a floor's figures to other floors, ordering for lists,
// deleting the drawn output and making the worksheets.

#include "CPlenimetraParam.h"

#include "CArea1Object.h"
#include "CAreaObject.h"
#include "CDlgProgress.h"
#include "CGSDeleteElementParam.h"
#include "CGSUtil.h"
#include "CMyUserData.h"
#include "DocServices.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_teamwork.h"

#include <unordered_map>

namespace {

// The drawn output: texts and lines carrying the add-on's output tag.
constexpr int kOutputTag = 700;
constexpr API_ElemTypeID kTextType = API_ElemTypeID(15);
constexpr API_ElemTypeID kLineType = API_ElemTypeID(19);

std::vector<GS::Guid> GuidsOf(const CArea1ObjectPtrArray& figures)
{
  std::vector<GS::Guid> guids;
  for (const auto& figure : figures)
    guids.push_back(ToGSGuid(figure->m_Element.header.guid));
  return guids;
}

// The figures whose placed element is gone; those the host refused to
// delete stay with their records and entries.
CArea1ObjectPtrArray Deleted(const CArea1ObjectPtrArray& figures)
{
  CArea1ObjectPtrArray gone;
  for (const auto& figure : figures) {
    API_Element element{};
    element.header.guid = figure->m_Element.header.guid;
    if (ACAPI_Element_Get(&element) != NoError)
      gone.push_back(figure);
  }
  return gone;
}

template <class Object> int CompareMarkAndNumber(const GS::UniString& a, const GS::UniString& b, const Object* x,
                                                 const Object* y)
{
  if (a > b)
    return 1;
  if (a < b)
    return -1;
  if (x->m_No > y->m_No)
    return 1;
  if (x->m_No < y->m_No)
    return -1;
  return 0;
}

}  // namespace

// ---- Teamwork -------------------------------------------------------------------

bool CPlenimetraParam::GetTeamworkStatus2(const GS::Array<API_Guid>& guids) const
{
  bool status = true;
  for (const API_Guid& guid : guids) {
    API_Guid element = guid;
    // A host that names no user (0) gives this session nothing to hold.
    status = m_TeamworkUserId > 0 && CGSUtil::TeamworkControl_GetLockableStatus(m_TeamworkUserId, element);
    if (!status)
      break;
  }
  return status;
}

namespace {

bool TeamworkOnline() { return ACAPI_TeamworkControl_HasConnection() && ACAPI_TeamworkControl_IsOnline(); }

}  // namespace

// The host takes what is free even when another user holds one of the
// elements.
GSErrCode CPlenimetraParam::DoTeamworkReceive(const GS::Array<API_Guid>& guids) const
{
  if (!TeamworkOnline())
    return NoError;
  const auto holds = [this](const API_Guid& guid) { return GetTeamworkStatus2(GS::Array<API_Guid>{guid}); };
  GS::Array<API_Guid> wanted;
  for (const API_Guid& guid : guids)
    if (!holds(guid))
      wanted.Push(guid);
  if (wanted.IsEmpty())
    return NoError;
  const GSErrCode err = ACAPI_TeamworkControl_ReserveElements(wanted, nullptr, true);
  if (GetTeamworkStatus2(wanted))
    return err;
  GS::Array<API_Guid> taken;
  for (const API_Guid& guid : wanted)
    if (holds(guid))
      taken.Push(guid);
  if (!taken.IsEmpty())
    static_cast<void>(ACAPI_TeamworkControl_ReleaseElements(taken, true));  // the refusal is what is told
  return APIERR_NOTMINE;
}

// ---- deleting figures ---------------------------------------------------------------

GSErrCode CPlenimetraParam::ReserveFigures(const CArea1ObjectPtrArray& figures) const
{
  GS::Array<API_Guid> guids;
  for (const auto& figure : figures)
    guids.Push(figure->m_Element.header.guid);
  return DoTeamworkReceive(guids);
}

GSErrCode CPlenimetraParam::DoDeleteArea1(const CArea1ObjectPtrArray& figures)
{
  if (GSErrCode err = ReserveFigures(figures); err != NoError)
    return err;
  std::vector<GS::Guid> placed = GuidsOf(figures);
  const GSErrCode err = CGSUtil::GSDeleteObject(placed);
  UnlinkFigures(Deleted(figures));
  return err;
}

GSErrCode CPlenimetraParam::DoDeleteArea1Whole(const CArea1ObjectPtrArray& figures)
{
  if (GSErrCode err = ReserveFigures(figures); err != NoError)
    return err;
  if (GSErrCode err = CGSUtil::GSDeleteWhole(GuidsOf(figures)); err != NoError)
    return err;
  UnlinkFigures(figures);
  return NoError;
}

GSErrCode CPlenimetraParam::DeleteArea1(short floorNo)
{
  CFloorParam* floor = m_FloorParamArray.Search(floorNo);
  if (floor == nullptr)
    return NoError;
  CArea1ObjectPtrArray figures;
  for (const auto& figure : floor->m_Area1ObjectArray)
    figures.push_back(figure);
  std::vector<GS::Guid> placed = GuidsOf(figures);
  // What could not be deleted stays listed: Deleted keeps only what is gone.
  const GSErrCode err = CGSUtil::GSDeleteObject(placed);
  UnlinkFigures(Deleted(figures));
  return err;
}

// Each figure leaves its own story's floor and every element's entries.
void CPlenimetraParam::UnlinkFigures(const CArea1ObjectPtrArray& figures)
{
  m_Area2ObjectArray.Remove(figures);
  for (const auto& figure : figures) {
    if (CFloorParam* floor = m_FloorParamArray.Search(figure->m_Element.header.floorInd)) {
      std::erase(floor->m_Area1ObjectArray, figure);
    }
  }
}

// ---- copying a floor -------------------------------------------------------------------

GSErrCode CPlenimetraParam::FloorCopy(CFloorCopyChoice& dialog)
{
  short source = CGSUtil::GetActStory();
  std::vector<bool> targets(m_FloorParamArray.size(), false);
  if (!dialog.DoModal(this, source, targets))
    return NoError;
  const CFloorParam* from = m_FloorParamArray.Search(source);
  if (from == nullptr)
    return NoError;
  const CArea1ObjectArray figures = from->m_Area1ObjectArray;
  // The chosen stories' figures give way to the copies: every one of them
  // is this user's before anything changes.
  GS::Array<API_Guid> replaced;
  for (std::size_t i = 0; i < targets.size() && i < m_FloorParamArray.size(); ++i)
    if (targets[i] && m_FloorParamArray[i].m_FloorNo != source)
      for (const auto& figure : m_FloorParamArray[i].m_Area1ObjectArray)
        replaced.Push(figure->m_Element.header.guid);
  if (GSErrCode err = DoTeamworkReceive(replaced); err != NoError)
    return err;
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), true);
  progress.SetPhase(int(targets.size()), GS::UniString());
  GSErrCode err = NoError;
  for (std::size_t i = 0; i < targets.size() && i < m_FloorParamArray.size() && err == NoError; ++i) {
    const short target = m_FloorParamArray[i].m_FloorNo;
    if (targets[i] && target != source)  // the source floor never copies onto itself
      err = CopyFloorTo(source, target, figures, progress);
  }
  progress.Close();
  return err;
}

GSErrCode CPlenimetraParam::CopyFloorTo(short source, short target, const CArea1ObjectArray& figures,
                                        CDlgProgress& progress)
{
  // A copy beside a figure that stayed would count its area twice.
  if (GSErrCode err = DeleteArea1(target); err != NoError)
    return err;
  progress.SetRange(int(figures.size() + m_Area2ObjectArray.size()), GS::UniString());
  std::unordered_map<const CArea1Object*, std::shared_ptr<CArea1Object>> copies;
  for (const auto& figure : figures) {
    if (GSErrCode err = figure->CopyObject(this, target); err != NoError)
      return err;
    copies.emplace(figure.get(), m_FloorParamArray.Search(target)->m_Area1ObjectArray.back());
    progress.StepIt();
    if (progress.CheckAbort())
      return APIERR_CANCEL;
  }
  for (CArea2Object& element : m_Area2ObjectArray) {
    const CArea2ListArray entries = element.m_FloorArray.SearchFloor(source)->m_List;
    CArea2ObjectFloor* to = element.m_FloorArray.SearchFloor(target);
    for (const CArea2List& entry : entries) {
      auto copy = copies.find(entry.m_pArea1.get());
      if (copy == copies.end())
        continue;
      CArea2List added(copy->second, COperatorTable::OPERATOR_PLUS);
      added.m_RoundType = entry.m_RoundType;
      added.m_Operator = entry.m_Operator;
      added.m_CrMark = entry.m_CrMark;
      to->m_List.push_back(added);
    }
    progress.StepIt();
    if (progress.CheckAbort())
      return APIERR_CANCEL;
  }
  return NoError;
}

// ---- ordering ---------------------------------------------------------------------------

// Ordered by the marks' names, so that no mark keeps its place after the
// others although it prints nothing.
int CPlenimetraParam::CompareASCII(const CArea1Object* a, const CArea1Object* b) const
{
  return CompareMarkAndNumber(m_ItemType1Table.GetMarkStr(a->m_ItemType1), m_ItemType1Table.GetMarkStr(b->m_ItemType1),
                              a, b);
}

int CPlenimetraParam::CompareASCII(const CAreaObject* a, const CAreaObject* b) const
{
  return CompareMarkAndNumber(m_ItemType1Table.GetMarkStr(a->m_ItemType1), m_ItemType1Table.GetMarkStr(b->m_ItemType1),
                              a, b);
}

// ---- the drawn output ---------------------------------------------------------------------

GSErrCode CPlenimetraParam::DeleteObject()
{
  CGSDeleteElementParamArray rules;
  rules.emplace_back(kTextType, kOutputTag);
  rules.emplace_back(kLineType, kOutputTag);
  CMyUserData tag(kOutputTag, CMyUserData::kVersion);
  if (GSErrCode err = rules.SetList(&tag, nullptr, nullptr, nullptr); err != NoError)
    return err;
  if (GSErrCode err = DoTeamworkReceive(rules.GetGuids()); err != NoError)
    return err;
  return rules.Delete();
}

GSErrCode CPlenimetraParam::Output(CWorksheetMaker& worksheets)
{
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), true);
  progress.SetPhase(int(m_AreaTree2.m_Child.size() * m_FloorParamArray.size()), GS::UniString());
  const int current = m_CurTreeCode;
  GSErrCode err = NoError;
  for (CFloorParam& floor : m_FloorParamArray) {
    err = worksheets.DoCreateFloor(this, progress, &floor);
    if (err != NoError)
      break;
  }
  m_CurTreeCode = current;
  progress.Close();
  if (err != NoError)
    return err;
  if (!ACAPI_TeamworkControl_HasConnection() || m_bTeamworkTotal)
    err = worksheets.DoCreateTotal(this);
  return err;
}
