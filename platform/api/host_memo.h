#pragma once
// Moving memos between the handles the interface hands out and the owned
// form the model keeps, and the checks of memo polygons.

#include "host_api_types.h"
#include "host_model.h"

namespace pln::host {

// Takes the parts chosen by mask from the memo's handles; a chosen part
// whose handle is null becomes empty.
StoredMemo StoreMemo(const API_ElementMemo& memo, UInt64 mask, StoredMemo base);

// Fills the chosen parts of *memo with fresh handles (the window and door
// lists of a wall come from the model). APIERR_MEMFULL, with nothing left
// allocated, when memory runs out.
[[nodiscard]] GSErrCode HandOutMemo(const StoredElement& stored, UInt64 mask, API_ElementMemo* memo);

// The polygon counts must match the arrays (APIERR_BADPOLY); every contour
// of a closed polygon ends on its first coordinate and has at least three
// corners, two when an arc joins them (APIERR_IRREGULARPOLY); arcs join
// neighbouring coordinates of one contour (APIERR_BADPOLY).
[[nodiscard]] GSErrCode CheckPolygon(const API_Polygon& poly, const std::vector<API_Coord>& coords,
                                     const std::vector<Int32>& pends, const std::vector<API_PolyArc>& parcs,
                                     bool closed);

// The polygon checks an element of its kind needs (none for kinds without
// a memo polygon).
[[nodiscard]] GSErrCode CheckElementPolygons(const API_Element& element, const StoredMemo& memo);

}  // namespace pln::host
