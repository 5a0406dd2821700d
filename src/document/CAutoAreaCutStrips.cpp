// Strips of the straight polygon. Cut types 2 and 3 cut a building block by
// whole horizontal or vertical lines through its vertices (the volume model's
// division by a line); cut type 4 turns the polygon so that its main edge
// direction is horizontal or vertical and splits it by vertical rays from its
// vertices into the interior.
//
// Both searches keep their pending pieces on an explicit stack in the order
// the recursive form would visit them, so a long outline cannot exhaust the
// call stack. Each split leaves pieces with fewer vertices (rays) or one more
// line of a finite set cut through them (lines), so both end; the line search
// also counts its steps as a guard against a division that does not shrink.

#include "CAutoAreaCut.h"

#include <cmath>
#include <limits>

#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "KelTolerance.h"

namespace {

// Steps of the line search per vertex of the input, plus a floor.
constexpr int kDivideStepsPerVertex = 64;
constexpr int kDivideStepsFloor = 1024;

CKelBlockCube BlockOf(const CKelAreaCoord2D& polygon)
{
  CKelBlockCube block;
  for (const CKelCoord2D& p : polygon.m_pt)
    block.m_Coord.push_back(CKelBlockCoord(p.m_x, p.m_y, 0, 0));
  block.SetMinMax();
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
  return block;
}

CKelAreaCoord2D PolygonOf(const CKelBlockCube& block)
{
  CKelAreaCoord2D piece;
  for (const CKelBlockCoord& c : block.m_Coord)
    piece.m_pt.emplace_back(c.m_x, c.m_y);
  piece.SetMaxMin();
  piece.SetArea();
  return piece;
}

// The outline passes through vertex i without turning back in the cut's
// coordinate, so the line through it may split the block.
bool IsLineCandidate(const CKelBlockCube& block, int i, bool horizontal)
{
  const int n = block.GetSize();
  const CKelBlockCoord& prev = block.m_Coord[static_cast<std::size_t>(i == 0 ? n - 1 : i - 1)];
  const CKelBlockCoord& cur = block.m_Coord[static_cast<std::size_t>(i)];
  const CKelBlockCoord& next = block.m_Coord[static_cast<std::size_t>(i + 1 == n ? 0 : i + 1)];
  const double d0 = horizontal ? cur.m_y - prev.m_y : cur.m_x - prev.m_x;
  const double d1 = horizontal ? next.m_y - cur.m_y : next.m_x - cur.m_x;
  const double tol = KelTol::AutoCutZero;
  return std::fabs(d0) <= tol || (d0 > tol && d1 > tol) || (d0 < -tol && d1 < -tol);
}

// The pieces of the first line that cuts the block, or nothing.
CKelBlockCubeList FirstLineCut(const CKelBlockCube& block, bool horizontal)
{
  for (int i = 0; i < block.GetSize(); ++i) {
    if (!IsLineCandidate(block, i, horizontal))
      continue;
    const CKelBlockCoord& v = block.m_Coord[static_cast<std::size_t>(i)];
    const CKelCoord2D p1(v.m_x, v.m_y);
    const CKelCoord2D p2 = horizontal ? CKelCoord2D(v.m_x + 1, v.m_y) : CKelCoord2D(v.m_x, v.m_y + 1);
    CKelBlockCubeList pieces;
    if (block.Divide(nullptr, p1, p2, pieces, CKelBlockCube::DEL_NONE) && pieces.size() >= 2)
      return pieces;
  }
  return {};
}

}  // namespace

// --- Lines ---------------------------------------------------------------------

void CAutoAreaCut::ToRect1(const CKelAreaCoord2D& polygon, CAutoCutType::AUTOCUTTYPE type,
                           CKelAreaCoord2DArray& pieces)
{
  CKelBlockCubeArray blocks;
  Divide1(BlockOf(polygon), type == CAutoCutType::AUTOCUTTYPE_HORIZONTAL, blocks);
  for (const CKelBlockCube& block : blocks)
    pieces.push_back(PolygonOf(block));
}

void CAutoAreaCut::Divide1(const CKelBlockCube& block, bool horizontal, CKelBlockCubeArray& out)
{
  std::vector<CKelBlockCube> pending{block};
  int stepsLeft = kDivideStepsPerVertex * block.GetSize() + kDivideStepsFloor;
  while (!pending.empty()) {
    CKelBlockCube current = std::move(pending.back());
    pending.pop_back();
    CKelBlockCubeList pieces;
    if (current.GetSize() > 0 && --stepsLeft >= 0)
      pieces = FirstLineCut(current, horizontal);
    if (pieces.empty()) {
      out.push_back(std::move(current));
      continue;
    }
    // Later pieces wait below earlier ones, so they come out in order.
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
      it->DeleteOnLine();
      pending.push_back(std::move(*it));
    }
  }
}

// --- Rays ----------------------------------------------------------------------

double CAutoAreaCut::MainDirection(const CKelAreaCoord2D& polygon)
{
  CAngleArray angles;
  const int n = polygon.GetSize();
  for (int i = 0; i < n; ++i) {
    const CKelCoord2D& prev = polygon.m_pt[static_cast<std::size_t>(i == 0 ? n - 1 : i - 1)];
    const CKelCoord2D& cur = polygon.m_pt[static_cast<std::size_t>(i)];
    // Folded into [0, pi/2]: opposite and perpendicular edges count alike,
    // except that an edge running exactly towards -x folds to pi/2.
    double a = std::atan2(cur.m_y - prev.m_y, cur.m_x - prev.m_x);
    if (a < 0)
      a += KelAngle::Pi;
    if (a >= KelAngle::HalfPi)
      a -= KelAngle::HalfPi;
    if (!(a >= 0 && a <= KelAngle::HalfPi))
      continue;
    angles.Add(a);
  }
  const CAngleItem* main = angles.SearchMaxItem();
  return main == nullptr ? 0.0 : main->m_Angle;
}

void CAutoAreaCut::ToRect2(const CKelAreaCoord2D& polygon, bool cutAcross, bool followEdges,
                           CKelAreaCoord2DArray& pieces)
{
  const double theta = followEdges ? MainDirection(polygon) : 0.0;
  const double phi = cutAcross ? theta : theta + KelAngle::HalfPi;
  const double s = std::sin(phi);
  const double c = std::cos(phi);
  CKelAreaCoord2D turned(polygon);
  for (CKelCoord2D& p : turned.m_pt)
    p = CKelCoord2D(c * p.m_x + s * p.m_y, c * p.m_y - s * p.m_x);
  const std::size_t first = pieces.size();
  Divide3(turned, pieces);
  for (std::size_t k = first; k < pieces.size(); ++k) {
    for (CKelCoord2D& p : pieces[k].m_pt)
      p = CKelCoord2D(c * p.m_x - s * p.m_y, s * p.m_x + c * p.m_y);
  }
}

namespace {

enum class Ray { kNone, kUp, kDown };

// Quadrants of a direction, zero components counted as in the table of
// directions: Q1 (+,+), Q2 (<=0,+), Q3 (<=0,<=0), Q4 (+,<=0).
int Quadrant(double dx, double dy)
{
  if (dy > 0)
    return dx > 0 ? 1 : 2;
  return dx > 0 ? 4 : 3;
}

// The ray from a vertex that enters a counter-clockwise outline's interior
// vertically, from the edges arriving (din) and leaving (dout).
Ray RayOf(const CKelCoord2D& din, const CKelCoord2D& dout)
{
  const double tol = KelTol::AutoCutZero;
  const bool inVertical = std::fabs(din.m_x) <= tol;
  const bool outVertical = std::fabs(dout.m_x) <= tol;
  if (inVertical) {
    if (din.m_y <= 0 && dout.m_x < 0)
      return Ray::kDown;
    if (din.m_y > 0 && dout.m_x > 0)
      return Ray::kUp;
    return Ray::kNone;
  }
  if (outVertical) {
    if (dout.m_y <= 0)
      return din.m_x > 0 ? Ray::kUp : Ray::kNone;
    return din.m_x < 0 ? Ray::kDown : Ray::kNone;
  }
  const int qin = Quadrant(din.m_x, din.m_y);
  const int qout = Quadrant(dout.m_x, dout.m_y);
  switch (qin) {
  case 1:
    return qout == 1 || qout == 4 ? Ray::kUp : Ray::kNone;
  case 2:
    return qout == 1 ? Ray::kUp : qout == 2 || qout == 3 ? Ray::kDown : Ray::kNone;
  case 3:
    return qout == 2 || qout == 3 ? Ray::kDown : Ray::kNone;
  default:
    return qout == 1 || qout == 3 || qout == 4 ? Ray::kUp : Ray::kNone;
  }
}

// Where the ray first meets the outline: a vertex of it, or a new point on
// the edge that ends at vertex edgeEnd.
struct RayHit {
  bool found = false;
  bool atVertex = false;
  int index = -1;  // the vertex hit, or the end of the edge hit
  double height = 0;
};

RayHit SearchRay(const CKelAreaCoord2D& polygon, int i, Ray ray)
{
  const double tol = KelTol::AutoCutZero;
  const int n = polygon.GetSize();
  const CKelCoord2D& c = polygon.m_pt[static_cast<std::size_t>(i)];
  RayHit hit;
  double best = std::numeric_limits<double>::infinity();
  const auto consider = [&](double y, bool atVertex, int index) {
    const bool ahead = ray == Ray::kUp ? y > tol : y < -tol;
    if (ahead && std::fabs(y) < best) {
      best = std::fabs(y);
      hit = RayHit{true, atVertex, index, y};
    }
  };
  for (int j = 0; j < n; ++j) {
    const int prev = j == 0 ? n - 1 : j - 1;
    const CKelCoord2D a(polygon.m_pt[static_cast<std::size_t>(prev)].m_x - c.m_x,
                        polygon.m_pt[static_cast<std::size_t>(prev)].m_y - c.m_y);
    const CKelCoord2D b(polygon.m_pt[static_cast<std::size_t>(j)].m_x - c.m_x,
                        polygon.m_pt[static_cast<std::size_t>(j)].m_y - c.m_y);
    if (std::fabs(a.m_x) > tol || std::fabs(b.m_x) > tol) {
      const bool across = (a.m_x <= 0 && b.m_x >= 0) || (a.m_x >= 0 && b.m_x <= 0);
      if (across)
        consider(a.m_y + (b.m_y - a.m_y) / (b.m_x - a.m_x) * (-a.m_x), false, j);
    } else {
      // The edge lies on the ray's line: its ends are the hits.
      consider(a.m_y, true, prev);
      consider(b.m_y, true, j);
    }
  }
  return hit;
}

// A ray that meets an edge within KelTol::Nearly of one of its ends meets
// that vertex: both pieces then share it. Keeping the new point in one piece
// and the vertex in the other would leave a sliver between them uncovered.
RayHit SnappedToVertex(const CKelAreaCoord2D& polygon, int i, const RayHit& hit)
{
  if (hit.atVertex)
    return hit;
  const int n = polygon.GetSize();
  const CKelCoord2D& c = polygon.m_pt[static_cast<std::size_t>(i)];
  const CKelCoord2D x(c.m_x, c.m_y + hit.height);
  const int before = hit.index == 0 ? n - 1 : hit.index - 1;
  for (int end : {before, hit.index}) {
    if (x.IsNearlyEqual(polygon.m_pt[static_cast<std::size_t>(end)]))
      return RayHit{true, true, end, hit.height};
  }
  return hit;
}

// Splits polygon at vertex i by the hit; false (nothing written) when a
// piece would keep fewer than three vertices.
bool SplitAt(const CKelAreaCoord2D& polygon, int i, const RayHit& rayHit, CKelAreaCoord2D& a, CKelAreaCoord2D& b)
{
  const RayHit hit = SnappedToVertex(polygon, i, rayHit);
  const int n = polygon.GetSize();
  CKelAreaCoord2D pa, pb;
  if (hit.atVertex) {
    AddCoord(polygon, pa, i, hit.index);
    AddCoord(polygon, pb, hit.index, i);
  } else {
    const CKelCoord2D& c = polygon.m_pt[static_cast<std::size_t>(i)];
    const CKelCoord2D x(c.m_x, c.m_y + hit.height);
    const int before = hit.index == 0 ? n - 1 : hit.index - 1;
    AddCoord(polygon, pa, i, before);
    AddCoord(polygon, pb, hit.index, i);
    // Only the ray's own vertex can still be near the new point here.
    for (CKelAreaCoord2D* piece : {&pa, &pb}) {
      if (!x.IsNearlyEqual(piece->m_pt.front()) && !x.IsNearlyEqual(piece->m_pt.back()))
        piece->m_pt.push_back(x);
    }
  }
  if (pa.GetSize() < 3 || pb.GetSize() < 3)
    return false;
  a = std::move(pa);
  b = std::move(pb);
  return true;
}

// The two pieces of the first vertex whose ray splits the polygon.
bool FirstRaySplit(const CKelAreaCoord2D& polygon, CKelAreaCoord2D& a, CKelAreaCoord2D& b)
{
  const int n = polygon.GetSize();
  for (int i = 0; i < n; ++i) {
    const CKelCoord2D& prev = polygon.m_pt[static_cast<std::size_t>(i == 0 ? n - 1 : i - 1)];
    const CKelCoord2D& cur = polygon.m_pt[static_cast<std::size_t>(i)];
    const CKelCoord2D& next = polygon.m_pt[static_cast<std::size_t>(i + 1 == n ? 0 : i + 1)];
    const Ray ray = RayOf(CKelCoord2D(cur.m_x - prev.m_x, cur.m_y - prev.m_y),
                          CKelCoord2D(next.m_x - cur.m_x, next.m_y - cur.m_y));
    if (ray == Ray::kNone)
      continue;
    const RayHit hit = SearchRay(polygon, i, ray);
    if (hit.found && SplitAt(polygon, i, hit, a, b))
      return true;
  }
  return false;
}

}  // namespace

void CAutoAreaCut::Divide3(const CKelAreaCoord2D& polygon, CKelAreaCoord2DArray& out)
{
  std::vector<CKelAreaCoord2D> pending{polygon};
  while (!pending.empty()) {
    CKelAreaCoord2D current = std::move(pending.back());
    pending.pop_back();
    current.DeleteOnLine();
    CKelAreaCoord2D a, b;
    if (current.GetSize() > 4 && FirstRaySplit(current, a, b)) {
      pending.push_back(std::move(b));
      pending.push_back(std::move(a));
      continue;
    }
    current.DeleteOnLine();
    current.SetMaxMin();
    out.push_back(std::move(current));
  }
}
