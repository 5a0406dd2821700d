#include "host_memo.h"

#include "host_elements.h"
#include "host_errors.h"

#include <cmath>
#include <cstring>

namespace pln::host {

namespace {

template <typename T>
std::vector<T> FromHandle(T* const* handle)
{
  if (handle == nullptr)
    return {};
  const auto count = static_cast<std::size_t>(BMGetHandleSize(reinterpret_cast<GSConstHandle>(handle))) / sizeof(T);
  return std::vector<T>(*handle, *handle + count);
}

// false when memory runs out; an empty list gives a null handle.
template <typename T>
bool ToHandle(const std::vector<T>& items, T*** out)
{
  *out = nullptr;
  if (items.empty())
    return true;
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(items.size() * sizeof(T)), 0, 0);
  if (handle == nullptr)
    return false;
  std::memcpy(*handle, items.data(), items.size() * sizeof(T));
  *out = reinterpret_cast<T**>(handle);
  return true;
}

bool TextToHandle(const std::optional<std::string>& text, char*** out)
{
  *out = nullptr;
  if (!text.has_value())
    return true;
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(text->size() + 1), ALLOCATE_CLEAR, 0);
  if (handle == nullptr)
    return false;
  std::memcpy(*handle, text->data(), text->size());
  *out = handle;
  return true;
}

std::optional<std::string> TextFromHandle(char* const* handle)
{
  if (handle == nullptr)
    return std::nullopt;
  const auto size = static_cast<std::size_t>(BMGetHandleSize(handle));
  // The text ends at its NUL or at the end of the handle, whichever comes first.
  const std::size_t length = strnlen(*handle, size);
  return std::string(*handle, length);
}

// The windows or doors standing in the wall, in creation order.
std::vector<API_Guid> OpeningsOf(const API_Guid& wall, API_ElemTypeID type)
{
  std::vector<API_Guid> found;
  const Model& model = TheModel();
  for (const API_Guid& guid : model.creationOrder) {
    auto stored = model.elements.find(guid);
    if (stored == model.elements.end() || stored->second.deleted)
      continue;
    const API_Element& element = stored->second.element;
    if (element.header.typeID != type)
      continue;
    const API_OpeningType& opening = type == API_WindowID ? element.window : element.door;
    if (opening.owner == wall)
      found.push_back(guid);
  }
  return found;
}

bool FillMemo(const StoredElement& stored, UInt64 mask, API_ElementMemo* memo)
{
  const StoredMemo& from = stored.memo;
  bool ok = true;
  if ((mask & APIMemoMask_Polygon) != 0)
    ok = ok && ToHandle(from.coords, &memo->coords) && ToHandle(from.pends, &memo->pends) && ToHandle(from.parcs, &memo->parcs);
  if (ok && (mask & APIMemoMask_AddPars) != 0 && !from.params.empty()) {
    memo->params = ParamsToHandle(from.params);
    ok = memo->params != nullptr;
  }
  if ((mask & APIMemoMask_TextContent) != 0)
    ok = ok && TextToHandle(from.textContent, &memo->textContent);
  if ((mask & APIMemoMask_MeshPolyZ) != 0)
    ok = ok && ToHandle(from.meshPolyZ, &memo->meshPolyZ);
  if ((mask & APIMemoMask_MeshLevel) != 0)
    ok = ok && ToHandle(from.meshLevelCoords, &memo->meshLevelCoords) && ToHandle(from.meshLevelEnds, &memo->meshLevelEnds);
  if ((mask & APIMemoMask_RefPolygon) != 0)
    ok = ok && ToHandle(from.refCoords, &memo->refCoords) && ToHandle(from.refPends, &memo->refPends) &&
         ToHandle(from.refParcs, &memo->refParcs);
  if ((mask & APIMemoMask_MorphBody) != 0)
    ok = ok && ToHandle(from.morphBody, &memo->morphBody);
  const bool isWall = stored.element.header.typeID == API_WallID;
  if (isWall && (mask & APIMemoMask_WallWindows) != 0)
    ok = ok && ToHandle(OpeningsOf(stored.element.header.guid, API_WindowID), &memo->wallWindows);
  if (isWall && (mask & APIMemoMask_WallDoors) != 0)
    ok = ok && ToHandle(OpeningsOf(stored.element.header.guid, API_DoorID), &memo->wallDoors);
  return ok;
}

bool ArcIsValid(const API_PolyArc& arc, const std::vector<Int32>& pends, Int32 nCoords)
{
  if (std::abs(arc.begIndex - arc.endIndex) != 1 || !std::isfinite(arc.arcAngle))
    return false;
  const Int32 low = std::min(arc.begIndex, arc.endIndex);
  if (low < 1 || low + 1 > nCoords)
    return false;
  // Both ends must lie in one contour: no contour may end at the lower one.
  for (std::size_t k = 1; k < pends.size(); ++k)
    if (pends[k] == low)
      return false;
  return true;
}

bool ContourHasArc(const std::vector<API_PolyArc>& parcs, Int32 first, Int32 last)
{
  for (const API_PolyArc& arc : parcs)
    if (std::min(arc.begIndex, arc.endIndex) >= first && std::max(arc.begIndex, arc.endIndex) <= last)
      return true;
  return false;
}

GSErrCode CheckContours(const std::vector<API_Coord>& coords, const std::vector<Int32>& pends,
                        const std::vector<API_PolyArc>& parcs, bool closed)
{
  for (std::size_t k = 1; k < pends.size(); ++k) {
    const Int32 first = pends[k - 1] + 1;
    const Int32 last = pends[k];
    if (last <= pends[k - 1])
      return APIERR_BADPOLY;
    if (!closed) {
      if (last - first + 1 < 2)
        return APIERR_IRREGULARPOLY;
      continue;
    }
    const Int32 count = last - first + 1;
    const Int32 needed = ContourHasArc(parcs, first, last) ? 3 : 4;
    if (count < needed || !(coords[static_cast<std::size_t>(first)] == coords[static_cast<std::size_t>(last)]))
      return APIERR_IRREGULARPOLY;
  }
  return NoError;
}

// A mesh's heights: one per outline coordinate (1-based like them, so
// nCoords + 1 entries), or none. Its level lines: nCoords points in
// nSubLines lines, meshLevelEnds[k] counting the points up to the end of
// line k, every line holding at least one point.
GSErrCode CheckMeshLevels(const API_MeshType& mesh, const StoredMemo& memo)
{
  if (!memo.meshPolyZ.empty() && memo.meshPolyZ.size() != static_cast<std::size_t>(mesh.poly.nCoords) + 1)
    return APIERR_BADPOLY;
  const API_MeshLevel& lines = mesh.levelLines;
  if (lines.nCoords < 0 || lines.nSubLines < 0 ||
      memo.meshLevelCoords.size() != static_cast<std::size_t>(lines.nCoords) ||
      memo.meshLevelEnds.size() != static_cast<std::size_t>(lines.nSubLines))
    return APIERR_BADPOLY;
  Int32 previous = 0;
  for (Int32 end : memo.meshLevelEnds) {
    if (end <= previous || end > lines.nCoords)
      return APIERR_BADPOLY;
    previous = end;
  }
  return previous == lines.nCoords ? NoError : APIERR_BADPOLY;
}

}  // namespace

StoredMemo StoreMemo(const API_ElementMemo& memo, UInt64 mask, StoredMemo base)
{
  if ((mask & APIMemoMask_Polygon) != 0) {
    base.coords = FromHandle(memo.coords);
    base.pends = FromHandle(memo.pends);
    base.parcs = FromHandle(memo.parcs);
  }
  if ((mask & APIMemoMask_AddPars) != 0)
    base.params = StoreParams(memo.params);
  if ((mask & APIMemoMask_TextContent) != 0)
    base.textContent = TextFromHandle(memo.textContent);
  if ((mask & APIMemoMask_MeshPolyZ) != 0)
    base.meshPolyZ = FromHandle(memo.meshPolyZ);
  if ((mask & APIMemoMask_MeshLevel) != 0) {
    base.meshLevelCoords = FromHandle(memo.meshLevelCoords);
    base.meshLevelEnds = FromHandle(memo.meshLevelEnds);
  }
  if ((mask & APIMemoMask_RefPolygon) != 0) {
    base.refCoords = FromHandle(memo.refCoords);
    base.refPends = FromHandle(memo.refPends);
    base.refParcs = FromHandle(memo.refParcs);
  }
  if ((mask & APIMemoMask_MorphBody) != 0)
    base.morphBody = FromHandle(memo.morphBody);
  return base;
}

GSErrCode HandOutMemo(const StoredElement& stored, UInt64 mask, API_ElementMemo* memo)
{
  *memo = API_ElementMemo{};
  if (FillMemo(stored, mask, memo))
    return NoError;
  // The failure to answer is the memory one; freeing what was filled adds none.
  (void)ACAPI_DisposeElemMemoHdls(memo);
  return APIERR_MEMFULL;
}

GSErrCode CheckPolygon(const API_Polygon& poly, const std::vector<API_Coord>& coords,
                       const std::vector<Int32>& pends, const std::vector<API_PolyArc>& parcs, bool closed)
{
  if (poly.nCoords < 2 || poly.nSubPolys < 1 || poly.nArcs < 0)
    return APIERR_BADPOLY;
  if (coords.size() != static_cast<std::size_t>(poly.nCoords) + 1 ||
      pends.size() != static_cast<std::size_t>(poly.nSubPolys) + 1 || parcs.size() != static_cast<std::size_t>(poly.nArcs))
    return APIERR_BADPOLY;
  if (pends.front() != 0 || pends.back() != poly.nCoords)
    return APIERR_BADPOLY;
  for (const API_PolyArc& arc : parcs)
    if (!ArcIsValid(arc, pends, poly.nCoords))
      return APIERR_BADPOLY;
  return CheckContours(coords, pends, parcs, closed);
}

GSErrCode CheckElementPolygons(const API_Element& element, const StoredMemo& memo)
{
  switch (element.header.typeID) {
  case API_ZoneID: {
    GSErrCode err = CheckPolygon(element.zone.poly, memo.coords, memo.pends, memo.parcs, true);
    if (err == NoError && element.zone.useRefPolygon)
      err = CheckPolygon(element.zone.refPoly, memo.refCoords, memo.refPends, memo.refParcs, true);
    return err;
  }
  case API_SlabID:
    return CheckPolygon(element.slab.poly, memo.coords, memo.pends, memo.parcs, true);
  case API_HatchID:
    return CheckPolygon(element.hatch.poly, memo.coords, memo.pends, memo.parcs, true);
  case API_MeshID: {
    const GSErrCode err = CheckPolygon(element.mesh.poly, memo.coords, memo.pends, memo.parcs, true);
    return err != NoError ? err : CheckMeshLevels(element.mesh, memo);
  }
  case API_PolyLineID:
    return CheckPolygon(element.polyLine.poly, memo.coords, memo.pends, memo.parcs, false);
  case API_MorphID:
    // A morph is its body: without one there is nothing to place.
    return UnpackBody(memo.morphBody).has_value() ? NoError : APIERR_BADPARS;
  default:
    return NoError;
  }
}

}  // namespace pln::host
