// Outlines of memo polygons as CKelCoord3DCrsPntArray: the arc records of a
// memo become centre entries, and each contour is turned the way the
// library expects (outer counter-clockwise, holes clockwise).
//
// Memo data reaches here from stored projects, so every contour end and arc
// index is checked against the handles before it is used.

#include "CGSUtil.h"
#include "CKelCoord3DCrsPntArray.h"
#include "HostHandles.h"
#include "KelFileFunctions.h"
#include "KelGeometry.h"
#include "host_elements.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

using pln::gsutil::EntriesOf;

// The coordinate indexes [first, last] of one contour, its closing repeat
// included.
struct ContourSpan {
  std::size_t first = 0;
  std::size_t last = 0;
};

// Contour c of the memo, when its ends lie inside the coordinates and it
// holds at least one edge.
std::optional<ContourSpan> FindContour(std::size_t nCoordEntries, std::span<const Int32> ends, int contour)
{
  if (contour < 0 || static_cast<std::size_t>(contour) + 1 >= ends.size())
    return std::nullopt;
  const std::int64_t before = ends[static_cast<std::size_t>(contour)];
  const std::int64_t last = ends[static_cast<std::size_t>(contour) + 1];
  if (before < 0 || last >= static_cast<std::int64_t>(nCoordEntries) || last < before + 2)
    return std::nullopt;
  return ContourSpan{static_cast<std::size_t>(before + 1), static_cast<std::size_t>(last)};
}

// Every record names two existing coordinates and a real angle.
bool ArcsValid(std::span<const API_PolyArc> arcs, std::size_t nCoordEntries)
{
  const auto inside = [nCoordEntries](Int32 index) {
    return index >= 1 && static_cast<std::size_t>(index) < nCoordEntries;
  };
  for (const API_PolyArc& arc : arcs)
    if (!inside(arc.begIndex) || !inside(arc.endIndex) || !std::isfinite(arc.arcAngle))
      return false;
  return true;
}

CKelCoord3DCrsPnt Vertex(const API_Coord& c) { return CKelCoord3DCrsPnt(CKelCoord3D(c.x, c.y, 0.0)); }

double PlainArea(std::span<const API_Coord> coords, const ContourSpan& span)
{
  CKelCoord3DCrsPntArray plain;
  for (std::size_t i = span.first; i <= span.last; ++i)
    plain.push_back(Vertex(coords[i]));
  return plain.GetArea();
}

// The centre entry of the arc on the edge from coordinate i to i + 1, typed
// by the sense in which that edge is walked: a record stored from i + 1 to i
// describes the same arc walked backwards, so its sign turns over.
std::optional<CKelCoord3DCrsPnt> EdgeCentre(std::span<const API_Coord> coords, std::span<const API_PolyArc> arcs,
                                            std::size_t i)
{
  const API_PolyArc* arc = CGSUtil::IsArc(arcs.data(), static_cast<int>(arcs.size()), static_cast<int>(i));
  API_Coord centre;
  if (arc == nullptr ||
      !CGSUtil::ArcGetOrigo(&coords[static_cast<std::size_t>(arc->begIndex)],
                            &coords[static_cast<std::size_t>(arc->endIndex)], arc->arcAngle, &centre))
    return std::nullopt;
  const bool forward = static_cast<std::size_t>(arc->begIndex) == i;
  const bool ccw = forward ? arc->arcAngle > 0.0 : arc->arcAngle < 0.0;
  return CKelCoord3DCrsPnt(CKelCoord3D(centre.x, centre.y, 0.0),
                           ccw ? CKelCoord3DCrsPnt::TYPE_CCW : CKelCoord3DCrsPnt::TYPE_CW);
}

}  // namespace

const API_PolyArc* CGSUtil::IsArc(const API_PolyArc* arcs, int nArcs, int i)
{
  if (arcs == nullptr || nArcs < 1)
    return nullptr;
  const std::int64_t next = static_cast<std::int64_t>(i) + 1;
  for (int a = 0; a < nArcs; ++a) {
    const API_PolyArc& arc = arcs[a];
    if ((arc.begIndex == i && arc.endIndex == next) || (arc.begIndex == next && arc.endIndex == i))
      return &arc;
  }
  return nullptr;
}

bool CGSUtil::ArcGetOrigo(const API_Coord* p1, const API_Coord* p2, double angle, API_Coord* centre)
{
  CKelCoord2D c;
  const bool bent = ArcCentreOfAngle(CKelCoord2D(p1->x, p1->y), CKelCoord2D(p2->x, p2->y), angle, &c);
  *centre = {c.m_x, c.m_y};
  return bent;
}

double CGSUtil::GetArcAngle(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  double ux = a.m_x - c.m_x;
  double uy = a.m_y - c.m_y;
  const double length = std::hypot(ux, uy);
  if (length == 0.0)
    return 0.0;  // no direction to measure from
  ux /= length;
  uy /= length;
  const double wx = b.m_x - c.m_x;
  const double wy = b.m_y - c.m_y;
  return -std::atan2(ux * wy - uy * wx, ux * wx + uy * wy);
}

CKelCoord3DCrsPntArray CGSUtil::MemoToKelArea2(API_Coord** coords, Int32** ends, API_PolyArc** arcs, int nArcs,
                                               int contour)
{
  const std::span<const API_PolyArc> allArcs = EntriesOf(arcs);
  const std::size_t used = nArcs < 1 ? 0 : static_cast<std::size_t>(nArcs);
  if (used > allArcs.size())
    return {};  // the count promises records the handle does not hold
  return MemoToKelArea2(EntriesOf(coords), EntriesOf(ends), allArcs.first(used), contour);
}

CKelCoord3DCrsPntArray CGSUtil::MemoToKelArea2(std::span<const API_Coord> coords, std::span<const Int32> ends,
                                               std::span<const API_PolyArc> arcs, int contour)
{
  const std::optional<ContourSpan> span = FindContour(coords.size(), ends, contour);
  if (!span || !ArcsValid(arcs, coords.size()))
    return {};
  const double area = PlainArea(coords, *span);

  CKelCoord3DCrsPntArray result;
  for (std::size_t i = span->first; i <= span->last; ++i) {
    result.push_back(Vertex(coords[i]));
    // The closing repeat starts no edge of this contour.
    if (i == span->last)
      continue;
    if (const std::optional<CKelCoord3DCrsPnt> centre = EdgeCentre(coords, arcs, i))
      result.push_back(*centre);
  }

  const bool outer = contour == 0;
  if (outer ? area < 0.0 : area >= 0.0)
    result.Reverse();
  return result;
}

CKelCoord3DCrsPntArrayArray CGSUtil::ZoneToKelArea2(const API_Element& zone, bool all)
{
  CKelCoord3DCrsPntArrayArray result;
  static_cast<void>(ZoneToKelArea2(zone, all, result));  // an unreadable memo gives no outline
  return result;
}

GSErrCode CGSUtil::ZoneToKelArea2(const API_Element& zone, bool all, CKelCoord3DCrsPntArrayArray& result)
{
  // A zone drawn by hand but measured on its reference polygon keeps that
  // polygon in the memo's second set of handles, its counts in refPoly.
  const API_ZoneType& z = zone.zone;
  const bool useRef = !z.automaticOutline && z.useRefPolygon;
  pln::gsutil::MemoGuard guard;
  const API_ElementMemo& memo = guard.memo;
  result.clear();
  if (const GSErrCode err =
          ACAPI_Element_GetMemo(zone.header.guid, &guard.memo, useRef ? APIMemoMask_RefPolygon : APIMemoMask_Polygon);
      err != NoError)
    return err;

  API_Coord** coords = useRef ? memo.refCoords : memo.coords;
  Int32** ends = useRef ? memo.refPends : memo.pends;
  API_PolyArc** arcs = useRef ? memo.refParcs : memo.parcs;
  const std::int64_t nContours = useRef ? z.refPoly.nSubPolys : static_cast<std::int64_t>(EntriesOf(ends).size()) - 1;
  const int nArcs = useRef ? z.refPoly.nArcs : z.poly.nArcs;

  const std::int64_t wanted = all ? nContours : std::min<std::int64_t>(nContours, 1);
  for (std::int64_t c = 0; c < wanted; ++c) {
    CKelCoord3DCrsPntArray contour = MemoToKelArea2(coords, ends, arcs, nArcs, static_cast<int>(c));
    if (contour.empty()) {
      // Half an outline would pass for a whole one.
      result.clear();
      break;
    }
    result.push_back(std::move(contour));
  }
  return NoError;
}

std::string CGSUtil::Unicode2Sjis(const GS::UniString& text) { return ::Unicode2Sjis(text); }

std::string CGSUtil::Unicode2Utf8(const GS::UniString& text) { return ::Unicode2Utf8(text); }
