// Rebuilding an automatic area's figures from its source element. The
// rebuild is a transaction over the story's figure list: the old figures are
// set aside first and deleted only once the new ones are complete, so a
// failure halfway never leaves a record with part of its figures.

#include "CAutoAreaParam.h"

#include <algorithm>

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "CSelectList.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_userdata.h"

namespace {

using FigureList = std::vector<std::shared_ptr<CArea1Object>>;

// The record's old figures, out of the story's list while the new ones are
// made; Restore puts them back where they were.
class ReservedFigures {
public:
  ReservedFigures(CArea1ObjectArray& list, const FigureList& figures) : m_List(list), m_Before(list)
  {
    for (const std::shared_ptr<CArea1Object>& figure : list)
      m_SortIndices.push_back(figure->m_SortIndex);
    for (const std::shared_ptr<CArea1Object>& figure : figures)
      m_List.erase(std::remove(m_List.begin(), m_List.end(), figure), m_List.end());
    m_Figures = figures;
  }
  const FigureList& Figures() const { return m_Figures; }
  // The list as it was; figures whose sort index the placing renumbered
  // (and saved) get theirs back, saved again.
  void Restore()
  {
    m_List = m_Before;
    for (std::size_t k = 0; k < m_List.size(); ++k) {
      if (m_List[k]->m_SortIndex == m_SortIndices[k])
        continue;
      m_List[k]->m_SortIndex = m_SortIndices[k];
      // Undoing a failed build: the build's own error is the one returned.
      static_cast<void>(m_List[k]->Save());
    }
  }

private:
  CArea1ObjectArray& m_List;
  CArea1ObjectArray m_Before;
  std::vector<int> m_SortIndices;
  FigureList m_Figures;
};

std::vector<GS::Guid> ElementsOf(const FigureList& figures)
{
  std::vector<GS::Guid> guids;
  for (const std::shared_ptr<CArea1Object>& figure : figures)
    guids.push_back(ToGSGuid(figure->m_Element.header.guid));
  return guids;
}

// After a refused deletion the host may still have taken some of the old
// elements; their records cannot come back. A part that is there but could
// not be read stays listed.
void DropDeleted(CArea1ObjectArray& list, const FigureList& figures)
{
  for (const std::shared_ptr<CArea1Object>& figure : figures) {
    API_Element element{};
    element.header.guid = figure->m_Element.header.guid;
    const GSErrCode err = ACAPI_Element_Get(&element);
    if (err == APIERR_DELETED || err == APIERR_BADID)
      list.erase(std::remove(list.begin(), list.end(), figure), list.end());
  }
}

// The old figures leave for good through the document, which reserves
// them in Teamwork, deletes their elements and drops their entries. They
// go all together or not at all (a part that cannot be read keeps every
// part), and they are already out of the story's list, so a refusal can
// still undo all.
int DeleteFigures(CPlenimetraParam* param, const FigureList& figures)
{
  if (figures.empty())
    return NoError;
  CArea1ObjectPtrArray gone;
  for (const std::shared_ptr<CArea1Object>& figure : figures)
    gone.Add(figure);
  return param->DoDeleteArea1Whole(gone);
}

// Places the pieces and links every new figure to the source.
int PlaceAndLink(CPlenimetraParam* param, const CAutoAreaPieceArray& pieces, const CAutoAreaParam& record,
                 CSelectList& freed, int& startNo, std::vector<CArea1ObjectWork>& placed)
{
  const int err = param->PlacePieces(pieces, &placed, freed, startNo, record.m_ItemType1, record.m_ItemType2,
                                     record.GetFloor());
  if (err != NoError)
    return err;
  for (CArea1ObjectWork& work : placed) {
    work.m_pArea1->m_AutoArea.m_ElemGuid = ToGSGuid(record.GetGuid());
    work.m_pArea1->m_AutoArea.m_Operator = work.m_Operator;
    if (const GSErrCode saved = work.m_pArea1->Save(); saved != NoError)
      return saved;
  }
  return NoError;
}

// The source element is observed afresh (one not observed yet has nothing
// to detach); a failed attach would leave the element's edits unreported.
// An element of a hot-linked module is not observed.
GSErrCode ObserveSource(const API_Guid& guid, bool& detached)
{
  if (CHotLinkParamArray::IsHotLink(guid))
    return NoError;
  detached = ACAPI_Element_DetachObserver(guid) == NoError;
  return ACAPI_Element_AttachObserver(guid);
}

}  // namespace

int CAutoAreaParam::DoCreateArea1(CPlenimetraParam* param, int& startNo)
{
  CKelCoord3DCrsPntArrayArray outline;
  if (const int err = CPlenimetraParam::GetAutoElement(m_ElemHead, m_AutoCutType.m_bWithHoles, outline); err != NoError)
    return err;
  CFloorParam* floor = param->m_FloorParamArray.Search(GetFloor());
  if (floor == nullptr)
    return APIERR_BADINDEX;
  CAutoAreaPieceArray pieces;
  const CAutoAreaCutResult cut = CAutoAreaCut::CutOutline(outline, m_AutoCutType, pieces);
  if (cut.m_bRefused) {
    m_bChanged = true;
    return APIERR_BADPARS;
  }
  if (outline.empty()) {
    if (const int err = DoDeleteArea1(param, nullptr); err != NoError)
      return err;
    return floor->m_Area1ObjectArray.SetSortIndex();
  }

  const FigureList old = GetAutoArea(param);
  ReservedFigures reserved(floor->m_Area1ObjectArray, old);
  CSelectList freed;
  FreedNumbers(old, freed);
  const int lastCode = param->m_LastArea1Code;
  std::vector<CArea1ObjectWork> placed;
  int err = PlaceAndLink(param, pieces, *this, freed, startNo, placed);
  if (err == NoError)
    err = Save(param, m_AutoCutType);
  // Observed again before the old figures go: a refused observer can still
  // take everything back (once the old figures were gone, the new ones
  // stayed placed outside every calculation element).
  bool detached = false;
  if (err == NoError)
    err = ObserveSource(GetGuid(), detached);
  if (err == NoError)
    err = DeleteFigures(param, reserved.Figures());
  if (err != NoError) {
    FigureList made;
    for (const CArea1ObjectWork& work : placed)
      made.push_back(work.m_pArea1);
    std::vector<GS::Guid> guids = ElementsOf(made);
    static_cast<void>(CGSUtil::GSDeleteObject(guids));  // err is the failure returned
    if (detached)
      static_cast<void>(ACAPI_Element_AttachObserver(GetGuid()));  // as it was, as far as the host lets
    reserved.Restore();
    DropDeleted(floor->m_Area1ObjectArray, reserved.Figures());
    param->m_LastArea1Code = lastCode;
    return err;
  }

  m_bChanged = cut.m_Untriangulated > 0;
  if (const GSErrCode sorted = floor->m_Area1ObjectArray.SetSortIndex(); sorted != NoError)
    return sorted;
  if (param->m_EnvParam.m_NumberFillGaps)
    return floor->m_Area1ObjectArray.CheckItemNo(param);
  return NoError;
}

int CAutoAreaParam::UpdateAutoArea(CPlenimetraParam* param)
{
  if (!m_bChanged)
    return NoError;
  const CFloorParam* floor = param->m_FloorParamArray.Search(GetFloor());
  if (floor == nullptr)
    return APIERR_BADINDEX;
  int startNo = 0;
  if (param->m_EnvParam.m_NumberFillGaps)
    startNo = floor->m_Area1ObjectArray.GetStartNo(param, m_ItemType1, m_ItemType2, 0);
  else
    startNo = floor->m_Area1ObjectArray.GetMaxItemNo(param, m_ItemType1, m_ItemType2) + 1;
  // The flag stays as it is on failure: the old figures are back and still
  // do not match.
  const bool changed = m_bChanged;
  if (const int err = DoCreateArea1(param, startNo); err != NoError) {
    m_bChanged = changed;
    return err;
  }
  CArea1ObjectPtrArray figures;
  for (const std::shared_ptr<CArea1Object>& figure : GetAutoArea(param))
    figures.Add(figure);
  const GS::Guid source = ToGSGuid(GetGuid());
  for (CArea2Object& element : param->m_Area2ObjectArray) {
    const CArea2ObjectFloor* listing = element.m_FloorArray.FindFloor(GetFloor());
    if (listing == nullptr ||
        (listing->m_Mode != CArea2ObjectFloor::MODE_AUTO && listing->m_Mode != CArea2ObjectFloor::MODE_BOTH))
      continue;
    const auto listed = std::count(listing->m_AutoAreaGuidArray.begin(), listing->m_AutoAreaGuidArray.end(), source);
    for (long k = 0; k < listed; ++k)
      element.m_FloorArray.SearchFloor(GetFloor())->m_List.SetAutoArea(figures);
  }
  return NoError;
}
