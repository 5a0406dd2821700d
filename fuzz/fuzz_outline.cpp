// Reads arbitrary bytes as a memo polygon (coordinates, contour ends, arc
// records) in host handles of exactly the stated sizes, so that any read
// past them is caught, and converts it: every contour to an outline with arc
// centres, split into segments and arcs, and the whole memo to the host's
// polygon data and back. Contour ends and arc indexes outside the
// coordinates must be refused.
//
// Input: u8 coordinate entries (entry 0 included), u8 contour-end entries,
// u8 arc records, u8 arc count claimed (added to the records' count, so it
// may exceed them), then the coordinates (f64 x, f64 y), the ends (i32) and
// the arcs (i32 begin, i32 end, f64 angle), each count cut to the bytes
// that remain.

#include "CGSUtil.h"
#include "CKelCoord3DCrsPntArray.h"
#include "CKelWallLine.h"
#include "FuzzByteReader.h"
#include "host_calllog.h"
#include "host_elements.h"
#include "host_memory.h"
#include "host_polygon2d.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using FuzzInput::Check;
using FuzzInput::Reader;

template <typename T>
T** Handle(std::size_t n)
{
  if (n == 0)
    return nullptr;
  return reinterpret_cast<T**>(BMAllocateHandle(static_cast<GSSize>(n * sizeof(T)), ALLOCATE_CLEAR, 0));
}

void ConvertContours(API_ElementMemo& memo, std::size_t nCoords, std::size_t nEnds, int nArcs)
{
  for (int c = -1; c <= static_cast<int>(nEnds); ++c) {
    const CKelCoord3DCrsPntArray outline = CGSUtil::MemoToKelArea2(memo.coords, memo.pends, memo.parcs, nArcs, c);
    std::size_t vertices = 0;
    for (const CKelCoord3DCrsPnt& p : outline)
      vertices += p.IsCenter() ? 0 : 1;
    // Only coordinates of the memo come back, one centre at most per edge.
    Check(vertices <= nCoords);
    Check(outline.empty() || (vertices >= 2 && outline.size() <= 2 * vertices - 1));
    (void)outline.GetArea();
    // One segment per vertex after the first, one arc per centre at most.
    CKelWallLineArray lines;
    CKelWallArcArray arcs;
    CGSUtil::AreaToLineArc(&outline, lines, arcs);
    Check(lines.size() + arcs.size() < std::max<std::size_t>(vertices, 1));
  }
}

void RoundTrip(const API_ElementMemo& memo)
{
  Geometry::Polygon2DData poly;
  if (CGSUtil::ConstructPoly2DDataFromElementMemo(memo, poly) != NoError) {
    Check(poly.vertices == nullptr && poly.arcs == nullptr && poly.contourEnds == nullptr);
    return;
  }
  (void)Geometry::GetPolygon2DDataArea(poly, false);
  API_Polygon polygon;
  API_ElementMemo back;
  Check(CGSUtil::ConvertPoly2DDataToAPIPolygon(poly, polygon, back) == NoError);
  Check(polygon.nCoords == static_cast<Int32>(poly.nVertices));
  ACAPI_DisposeElemMemoHdls(&back);
  Geometry::FreePolygon2DData(&poly);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  Reader in(data, size);
  std::size_t nCoords = in.Byte();
  std::size_t nEnds = in.Byte();
  std::size_t nArcs = in.Byte();
  const int extraClaimed = in.Byte() % 4;

  nCoords = in.Fit(nCoords, 2 * sizeof(double));
  API_ElementMemo memo;
  memo.coords = Handle<API_Coord>(nCoords);
  for (std::size_t i = 0; i < nCoords; ++i)
    (*memo.coords)[i] = {in.Take<double>(), in.Take<double>()};
  nEnds = in.Fit(nEnds, sizeof(Int32));
  memo.pends = Handle<Int32>(nEnds);
  for (std::size_t i = 0; i < nEnds; ++i)
    (*memo.pends)[i] = in.Take<Int32>();
  nArcs = in.Fit(nArcs, 2 * sizeof(Int32) + sizeof(double));
  memo.parcs = Handle<API_PolyArc>(nArcs);
  for (std::size_t i = 0; i < nArcs; ++i) {
    const Int32 beg = in.Take<Int32>();
    const Int32 end = in.Take<Int32>();
    (*memo.parcs)[i] = {beg, end, in.Take<double>()};
  }

  ConvertContours(memo, nCoords, nEnds, static_cast<int>(nArcs) + extraClaimed);
  RoundTrip(memo);
  ACAPI_DisposeElemMemoHdls(&memo);
  // The host logs every call; a long run would otherwise grow the log.
  pln::host::ClearCallLog();
  return 0;
}
