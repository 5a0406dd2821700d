// The source elements of automatic areas: which elements qualify, their
// outlines read from the host, and the collection of the records they carry.

#include "CPlenimetraParam.h"

#include "CGSUtil.h"
#include "CKelCoord3DCrsPntArray.h"
#include "HostHandles.h"

#include <algorithm>
#include <map>
#include <utility>
#include "host_elements.h"
#include "host_memory.h"
#include "host_userdata.h"

namespace {

using pln::gsutil::MemoGuard;

// The element types that can carry an automatic area, in the order the
// records are collected.
constexpr API_ElemTypeID kAutoElementTypes[] = {API_ZoneID, API_SlabID, API_PolyLineID, API_HatchID};

// Every memo part an outline needs.
constexpr UInt64 kOutlineMemoMask = 0x3FFFFFFFBFFFFFFFull;

// Entries a host handle holds; 0 for none.
template <class T> Int32 EntriesOf(T** handle)
{
  return handle == nullptr ? 0 : static_cast<Int32>(BMGetHandleSize(reinterpret_cast<GSConstHandle>(handle)) / sizeof(T));
}

// The first contour is closed when its first coordinate (index 1) equals
// the one at its end exactly; indices the handles cannot hold answer false.
bool IsFirstContourClosed(const API_ElementMemo& memo)
{
  if (EntriesOf(memo.pends) < 2 || EntriesOf(memo.coords) < 2)
    return false;
  const Int32 end = (*memo.pends)[1];
  if (end < 1 || end >= EntriesOf(memo.coords))
    return false;
  const API_Coord& first = (*memo.coords)[1];
  const API_Coord& last = (*memo.coords)[end];
  return first.x == last.x && first.y == last.y;
}

const API_Polygon* PolygonOf(const API_Element& element)
{
  switch (element.header.typeID) {
  case API_SlabID:
    return &element.slab.poly;
  case API_PolyLineID:
    return &element.polyLine.poly;
  case API_HatchID:
    return &element.hatch.poly;
  default:
    return nullptr;
  }
}

}  // namespace

bool CPlenimetraParam::IsAutoElement(const API_Element& element)
{
  switch (element.header.typeID) {
  case API_ZoneID:
  case API_SlabID:
  case API_HatchID:
    return true;
  case API_PolyLineID: {
    MemoGuard guard;
    if (ACAPI_Element_GetMemo(element.header.guid, &guard.memo, kOutlineMemoMask) != NoError)
      return false;
    return IsFirstContourClosed(guard.memo);
  }
  default:
    return false;
  }
}

int CPlenimetraParam::GetAutoElement(const API_Elem_Head& head, bool withHoles, CKelCoord3DCrsPntArrayArray& outline)
{
  API_Element element;
  element.header.guid = head.guid;
  if (const GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
    return err;
  if (element.header.typeID == API_ZoneID) {
    // An empty outline deletes the figures, so the read's own failure must
    // come back as one: a separate earlier read could succeed where this
    // one fails.
    CKelCoord3DCrsPntArrayArray zoneOutline;
    if (const GSErrCode err = CGSUtil::ZoneToKelArea2(element, withHoles, zoneOutline); err != NoError)
      return err;
    outline = std::move(zoneOutline);
    return NoError;
  }
  if (const API_Polygon* polygon = PolygonOf(element))
    return ElementToKelArea(element.header.guid, *polygon, withHoles, outline);
  return NoError;
}

int CPlenimetraParam::ElementToKelArea(const API_Guid& guid, const API_Polygon& polygon, bool withHoles,
                                       CKelCoord3DCrsPntArrayArray& outline)
{
  outline.clear();
  MemoGuard guard;
  const GSErrCode err = ACAPI_Element_GetMemo(guid, &guard.memo, kOutlineMemoMask);
  if (err != NoError || polygon.nSubPolys <= 0)
    return err;
  // The memo's own handles bound the contours, whatever the descriptor says.
  const int contours = std::min<int>(polygon.nSubPolys, std::max<Int32>(EntriesOf(guard.memo.pends) - 1, 0));
  const int arcs = std::min<int>(polygon.nArcs, EntriesOf(guard.memo.parcs));
  for (int k = 0; k < contours; ++k) {
    outline.push_back(CGSUtil::MemoToKelArea2(guard.memo.coords, guard.memo.pends, guard.memo.parcs, arcs, k));
    if (!withHoles)
      break;
  }
  return NoError;
}

int CPlenimetraParam::GetAutoElement2(API_ElemTypeID type)
{
  GS::Array<API_Guid> guids;
  if (const GSErrCode err = ACAPI_Element_GetElemList(type, &guids); err != NoError)
    return err;
  for (const API_Guid& guid : guids) {
    if (!ACAPI_Element_Filter(guid, 0))
      continue;
    API_Element element;
    element.header.guid = guid;
    if (const GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
      return err;
    CFloorParam* floor = m_FloorParamArray.Search(element.header.floorInd);
    if (floor == nullptr)
      continue;
    CAutoAreaParam record(&element.header);
    bool has = false;
    if (const GSErrCode err = record.FindData(this, has); err != NoError)
      return err;
    if (!has)
      continue;
    if (const int err = record.Load(this); err != NoError)
      return err;
    floor->m_AutoAreaParamArray.Add(record);
    if (CHotLinkParamArray::IsHotLink(guid))
      continue;
    // Observed again, so that edits of the element are reported; one not
    // observed yet has nothing to detach.
    (void)ACAPI_Element_DetachObserver(guid);
    // Told by the caller, which knows what the collection was for.
    if (const GSErrCode err = ACAPI_Element_AttachObserver(guid); err != NoError)
      return err;
  }
  return NoError;
}

int CPlenimetraParam::GetAutoElement2()
{
  for (CFloorParam& floor : m_FloorParamArray)
    floor.m_AutoAreaParamArray.clear();
  for (API_ElemTypeID type : kAutoElementTypes) {
    if (const int err = GetAutoElement2(type); err != NoError)
      return err;
  }
  return NoError;
}

GSErrCode CPlenimetraParam::OrderAutoAreasAsLoaded(short story)
{
  CFloorParam* floor = m_FloorParamArray.Search(story);
  if (floor == nullptr || floor->m_AutoAreaParamArray.size() < 2)
    return NoError;
  std::map<API_Guid, std::size_t> rank;
  // The host lists the sources, elements of the floor plan, only while the
  // plan is the current database; an Undo may come with another window in
  // front.
  const GSErrCode listed = CGSUtil::OnFloorPlan([&] {
    for (API_ElemTypeID type : kAutoElementTypes) {
      GS::Array<API_Guid> guids;
      if (const GSErrCode err = ACAPI_Element_GetElemList(type, &guids); err != NoError)
        return err;
      for (const API_Guid& guid : guids)
        rank.emplace(guid, rank.size());
    }
    return GSErrCode(NoError);
  });
  if (listed != NoError)
    return listed;
  const auto rankOf = [&rank](const CAutoAreaParam& record) {
    const auto found = rank.find(record.GetGuid());
    return found != rank.end() ? found->second : rank.size();
  };
  std::stable_sort(floor->m_AutoAreaParamArray.begin(), floor->m_AutoAreaParamArray.end(),
                   [&](const CAutoAreaParam& a, const CAutoAreaParam& b) { return rankOf(a) < rankOf(b); });
  return NoError;
}
