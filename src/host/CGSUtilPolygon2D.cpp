// The host's 2D polygon data built from memos, point lists and the
// library's polygons, and turned back into an API polygon with its memo.
//
// Every builder ends with the same two steps, the bound box and the
// orientation. Memo data comes from stored projects, so before the host sees
// it the contour ends and arc indexes are checked against the vertices here;
// the host's box step then checks the rest (arcs between neighbours of one
// contour). Data either refuses is freed and reported, not handed on half
// valid.

#include "CGSUtil.h"
#include "CKelAreaCoord2D.h"
#include "HostHandles.h"
#include "host_assert.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_memory.h"
#include "host_polygon2d.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

using Geometry::Polygon2DData;
using pln::gsutil::EntriesIn;
using pln::gsutil::NewEntries;

GSErrCode Refuse(Polygon2DData& poly, GSErrCode err)
{
  Geometry::FreePolygon2DData(&poly);
  return err;
}

// Contour ends that rise by at least one edge from 0 to the last vertex,
// and arcs between existing vertices, checked in 64 bits so that no end
// near the top of the range can wrap round and pass.
bool IndexesInside(const Polygon2DData& poly)
{
  if (poly.nContours == 0 || EntriesIn(poly.vertices) < poly.nVertices + std::uint64_t{1} ||
      EntriesIn(poly.contourEnds) < poly.nContours + std::uint64_t{1})
    return false;
  const UIndex* ends = *poly.contourEnds;
  if (ends[0] != 0 || ends[poly.nContours] != poly.nVertices)
    return false;
  for (UInt32 k = 1; k <= poly.nContours; ++k)
    if (std::uint64_t{ends[k]} < std::uint64_t{ends[k - 1]} + 2)
      return false;
  if (poly.nArcs > 0 && EntriesIn(poly.arcs) < poly.nArcs + std::uint64_t{1})
    return false;
  const auto inside = [&poly](Int32 i) { return i >= 1 && static_cast<UInt32>(i) <= poly.nVertices; };
  for (UInt32 a = 1; a <= poly.nArcs; ++a)
    if (!inside((*poly.arcs)[a].begIndex) || !inside((*poly.arcs)[a].endIndex))
      return false;
  return true;
}

GSErrCode Finish(Polygon2DData& poly)
{
  Geometry::Box2DData box;
  if (!IndexesInside(poly) || !Geometry::GetPolygon2DDataBoundBox(poly, &box))
    return Refuse(poly, APIERR_BADPOLY);
  poly.boundBox = box;
  poly.status |= Geometry::Polygon2DData_BoundBoxValid;
  if ((poly.status & Geometry::Polygon2DData_Oriented) == 0 && Geometry::OrientPolygon2DData(&poly))
    poly.status |= Geometry::Polygon2DData_Oriented;
  return NoError;
}

using Contour = std::vector<Geometry::Coord>;

// One contour per list, each closed here by a repeat of its first point.
GSErrCode FromContours(const std::vector<Contour>& contours, Polygon2DData& poly)
{
  Geometry::InitPolygon2DData(&poly);
  std::size_t nVertices = 0;
  for (const Contour& contour : contours) {
    if (contour.empty())
      return APIERR_BADPOLY;  // nothing to close it with
    nVertices += contour.size() + 1;
  }
  poly.vertices = NewEntries<Geometry::Coord>(nVertices + 1);
  poly.contourEnds = NewEntries<UIndex>(contours.size() + 1);
  if (poly.vertices == nullptr || poly.contourEnds == nullptr || nVertices > std::numeric_limits<UInt32>::max())
    return Refuse(poly, APIERR_MEMFULL);
  poly.nVertices = static_cast<UInt32>(nVertices);
  poly.nContours = static_cast<UInt32>(contours.size());

  std::size_t pos = 1;
  for (std::size_t k = 0; k < contours.size(); ++k) {
    for (const Geometry::Coord& c : contours[k])
      (*poly.vertices)[pos++] = c;
    (*poly.vertices)[pos++] = contours[k].front();
    (*poly.contourEnds)[k + 1] = static_cast<UIndex>(pos - 1);
  }
  PLN_ASSERT(pos == poly.nVertices + 1);
  return Finish(poly);
}

Contour ContourOf(const CKelAreaCoord2D& area)
{
  Contour contour;
  contour.reserve(area.m_pt.size());
  for (const CKelCoord2D& p : area.m_pt)
    contour.push_back({p.m_x, p.m_y});
  return contour;
}

std::vector<Contour> ContoursOf(const std::vector<CKelAreaCoord2D>& areas)
{
  std::vector<Contour> contours;
  contours.reserve(areas.size());
  for (const CKelAreaCoord2D& area : areas)
    contours.push_back(ContourOf(area));
  return contours;
}

bool CopyVertices(API_Coord* const* coords, Polygon2DData& poly)
{
  const std::size_t n = EntriesIn(coords);
  if (n == 0)
    return true;
  poly.vertices = NewEntries<Geometry::Coord>(n);
  if (poly.vertices == nullptr)
    return false;
  for (std::size_t i = 0; i < n; ++i)
    (*poly.vertices)[i] = {(*coords)[i].x, (*coords)[i].y};
  poly.nVertices = static_cast<UInt32>(n - 1);
  return true;
}

// The memo's records go to entries 1..n: the data's arc list is 1-based.
bool CopyArcs(API_PolyArc* const* arcs, Polygon2DData& poly)
{
  const std::size_t n = EntriesIn(arcs);
  if (n == 0)
    return true;
  poly.arcs = NewEntries<Geometry::PolyArcRec>(n + 1);
  if (poly.arcs == nullptr)
    return false;
  for (std::size_t i = 0; i < n; ++i)
    (*poly.arcs)[i + 1] = {(*arcs)[i].begIndex, (*arcs)[i].endIndex, (*arcs)[i].arcAngle};
  poly.nArcs = static_cast<UInt32>(n);
  return true;
}

// A negative end becomes a huge index that the box step refuses.
bool CopyEnds(Int32* const* ends, Polygon2DData& poly)
{
  const std::size_t n = EntriesIn(ends);
  if (n == 0)
    return true;
  poly.contourEnds = NewEntries<UIndex>(n);
  if (poly.contourEnds == nullptr)
    return false;
  for (std::size_t i = 0; i < n; ++i)
    (*poly.contourEnds)[i] = static_cast<UIndex>((*ends)[i]);
  poly.nContours = static_cast<UInt32>(n - 1);
  return true;
}

// Counts that the data's own handles can hold, and that fit a memo's
// signed fields.
bool FitsItsHandles(const Polygon2DData& poly)
{
  constexpr UInt32 kMax = static_cast<UInt32>(std::numeric_limits<Int32>::max()) - 1;
  if (poly.nVertices > kMax || poly.nContours > kMax || poly.nArcs > kMax)
    return false;
  if (EntriesIn(poly.vertices) < poly.nVertices + std::size_t{1} ||
      EntriesIn(poly.contourEnds) < poly.nContours + std::size_t{1})
    return false;
  if (poly.nArcs > 0 && EntriesIn(poly.arcs) < poly.nArcs + std::size_t{1})
    return false;
  for (UInt32 k = 0; k <= poly.nContours; ++k)
    if ((*poly.contourEnds)[k] > kMax)
      return false;
  return true;
}

bool FillMemo(const Polygon2DData& poly, API_ElementMemo& memo)
{
  memo.coords = NewEntries<API_Coord>(poly.nVertices + std::size_t{1});
  memo.pends = NewEntries<Int32>(poly.nContours + std::size_t{1});
  if (poly.nArcs > 0)
    memo.parcs = NewEntries<API_PolyArc>(poly.nArcs);
  if (memo.coords == nullptr || memo.pends == nullptr || (poly.nArcs > 0 && memo.parcs == nullptr))
    return false;
  for (UInt32 i = 1; i <= poly.nVertices; ++i)
    (*memo.coords)[i] = {(*poly.vertices)[i].x, (*poly.vertices)[i].y};
  for (UInt32 k = 0; k <= poly.nContours; ++k)
    (*memo.pends)[k] = static_cast<Int32>((*poly.contourEnds)[k]);
  for (UInt32 a = 0; a < poly.nArcs; ++a) {
    const Geometry::PolyArcRec& arc = (*poly.arcs)[a + 1];
    (*memo.parcs)[a] = {arc.begIndex, arc.endIndex, arc.arcAngle};
  }
  return true;
}

}  // namespace

GSErrCode CGSUtil::ConstructPoly2DDataFromElementMemo(const API_ElementMemo& memo, Geometry::Polygon2DData& poly)
{
  return ConstructPoly2DDataFromElementMemo(memo.coords, memo.pends, memo.parcs, poly);
}

GSErrCode CGSUtil::ConstructPoly2DDataFromElementMemo(API_Coord** coords, Int32** ends, API_PolyArc** arcs,
                                                      Geometry::Polygon2DData& poly)
{
  Geometry::InitPolygon2DData(&poly);
  if (!CopyVertices(coords, poly) || !CopyArcs(arcs, poly) || !CopyEnds(ends, poly))
    return Refuse(poly, APIERR_MEMFULL);
  return Finish(poly);
}

GSErrCode CGSUtil::ConstructPoly2DDataFromAPICoord(const std::vector<API_Coord>& points, Geometry::Polygon2DData& poly)
{
  Contour contour;
  contour.reserve(points.size());
  for (const API_Coord& p : points)
    contour.push_back({p.x, p.y});
  return FromContours({contour}, poly);
}

GSErrCode CGSUtil::ConstructPoly2DDataFromKelArea(const CKelAreaCoord2D& area, Geometry::Polygon2DData& poly)
{
  return FromContours({ContourOf(area)}, poly);
}

GSErrCode CGSUtil::ConstructPoly2DDataFromKelArea(const std::vector<CKelAreaCoord2D>& areas,
                                                  Geometry::Polygon2DData& poly)
{
  return FromContours(ContoursOf(areas), poly);
}

GSErrCode CGSUtil::GetPolygon(const CKelAreaCoord2DArray& areas, Geometry::Polygon2DData& poly)
{
  return FromContours(ContoursOf(areas), poly);
}

GSErrCode CGSUtil::GetPolygon(const CKelAreaCoord2D& area, Geometry::Polygon2DData& poly)
{
  CKelAreaCoord2DArray areas;
  areas.push_back(area);
  return GetPolygon(areas, poly);
}

GSErrCode CGSUtil::GetPolygon(const API_Guid& guid, Geometry::Polygon2DData& poly)
{
  API_Element element{};
  element.header.guid = guid;
  GSErrCode err = ACAPI_Element_Get(&element);
  if (err != NoError)
    return err;
  pln::gsutil::MemoGuard outline;
  err = ACAPI_Element_GetMemo(guid, &outline.memo, APIMemoMask_Polygon);
  if (err == NoError)
    err = ConstructPoly2DDataFromElementMemo(outline.memo, poly);
  return err;
}

GSErrCode CGSUtil::ConvertPoly2DDataToAPIPolygon(const Geometry::Polygon2DData& poly, API_Polygon& polygon,
                                                 API_ElementMemo& memo)
{
  polygon = API_Polygon{};
  memo = API_ElementMemo{};
  if (!FitsItsHandles(poly))
    return APIERR_BADPOLY;
  if (!FillMemo(poly, memo)) {
    // The caller's memo holds nothing afterwards, half a polygon least of all.
    (void)ACAPI_DisposeElemMemoHdls(&memo);  // freeing cannot fail for a memo the host filled
    memo = API_ElementMemo{};
    return APIERR_MEMFULL;
  }
  polygon.nCoords = static_cast<Int32>(poly.nVertices);
  polygon.nSubPolys = static_cast<Int32>(poly.nContours);
  polygon.nArcs = static_cast<Int32>(poly.nArcs);
  return NoError;
}
