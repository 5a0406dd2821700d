#include "KelFarOperand.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "KelBlockCutSearch.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelOutlineIndex.h"
#include "KelOutlineClean.h"
#include "KelTolerance.h"

namespace kel_set {

namespace {

// --- Operands whose edge lines run through a block they lie apart from ----------------------------
//
// An operand's convex pieces clip a block by the whole lines of their
// edges, so a far operand whose edge line happens to run through the block
// divides it (or, when the line only touches it, moves it through the
// line's frame) although nothing of the block ends inside. What the clip
// and the combination after it make of such a block is worked out here on
// its plan points alone, without pieces, walls or merges, step for step as
// they would do it (the same frame arithmetic, the same tests in the same
// order); anything the argument below does not cover goes the general way.
//
// Vocabulary
//   touch     a line that leaves every vertex on one side or within the
//             on-line band of it: Divide moves the whole outline through the
//             line's frame (KelEdge::Measure and back, on-line vertices
//             snapped onto the line) when the on-line vertices stand at two
//             positions, and leaves it as it is otherwise.
//   position  where the outline meets a cut's line: an on-line vertex, or
//             the crossing Divide inserts into an edge from side to side.
//   clean cut a line with every vertex on it or at least kClear off it, on
//             which Divide's piece search (KelBlockCutSearch.h) finds two
//             parts, one on either side, each running from one position to
//             another and ending where the other starts.
//   fragment  the block, or one of the two parts of its clean cut, as the
//             clip files it.

// Clearance of a clean cut's vertices off its line: four times the on-line
// and point-equality bands, so that no such vertex of one part is the same
// as, or inside an edge of, the other part (see MergeParts).
constexpr double kClear = 4 * KelTol::BlockPoint;

using PlanRing = std::vector<CKelCoord2D>;

// Which vertices of a part stand on the cut's line: bytes rather than bits,
// read and written once per vertex for every far operand.
using OnLineFlags = std::vector<unsigned char>;

// One division line as Divide works it out.
struct CutLine {
  CKelCoord2D p1;
  KelEdge::Direction d;
  CutLine(const CKelCoord2D& a, const CKelCoord2D& b) : p1(a), d(a, b) {}
  bool Usable() const { return d.len > 0 && std::isfinite(d.len); }
  CKelCoord2D ToFrame(const CKelCoord2D& p) const
  {
    const KelEdge::Frame f = KelEdge::Measure(p1, d, p);
    return {f.t, std::fabs(f.h) < KelTol::BlockPoint ? 0.0 : f.h};
  }
  CKelCoord2D FromFrame(const CKelCoord2D& f) const
  {
    return {p1.m_x + f.m_x * d.c - f.m_y * d.sn, p1.m_y + f.m_x * d.sn + f.m_y * d.c};
  }
};

// A part of a division as Divide finishes it, and the side SideOf files it
// on; 0 where Divide would erase a vertex of it (a vertex near its
// successor, in the frame or back out of it) or turn it, or where it lies
// on both sides or on the line. One pass takes the part out of the frame,
// one tests it; its area is summed in SignedShoelaceArea's order.
int FinishPart(const PlanRing& frame, const CutLine& line, PlanRing& part)
{
  const std::size_t n = frame.size();
  part.resize(n);
  bool near = false;
  for (std::size_t k = 0; k < n; ++k) {
    near = near || kel_outline::SameNeighbours(frame[k], frame[k + 1 == n ? 0 : k + 1]);
    part[k] = line.FromFrame(frame[k]);
  }
  if (near)
    return 0;
  double sum = 0;
  int sides = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const CKelCoord2D& prev = part[i == 0 ? n - 1 : i - 1];
    const CKelCoord2D& cur = part[i];
    if (kel_outline::SameNeighbours(prev, cur))
      return 0;
    sum += ShoelaceTerm(prev.m_x, prev.m_y, cur.m_x, cur.m_y);
    sides |= KelPieceSearch::SideOf(KelEdge::Measure(line.p1, line.d, cur).h);
  }
  if (!(0.5 * sum >= 0))
    return 0;
  return sides == kLeft || sides == kRight ? sides : 0;
}

// Lists the direct path fills for each far operand, kept from one operand
// to the next so that their room is taken once.
struct CutScratch {
  PlanRing framed;  // the fragment in the line's frame, one entry per vertex
  PlanRing frame;   // the same with a cut's crossings
  PlanRing moved;
  std::array<PlanRing, 2> chains;  // a clean cut's two parts in the frame
  PlanRing part;
  OnLineFlags onLine;
  std::vector<CKelCoord3DEx> merged;
  KelPieceSearch::IndexChain whole;
  std::array<KelPieceSearch::IndexChain, 2> pieces;  // the chains the general search finds
};

// The ring in the line's frame as Divide measures it (vertices within the
// on-line band snapped onto it), and the sides CKelBlockCube::WhitchSide
// finds: a vertex outside the band keeps its distance in the frame, so one
// measure serves both.
int FrameOf(const PlanRing& ring, const CutLine& line, PlanRing& framed)
{
  framed.resize(ring.size());
  int sides = 0;
  for (std::size_t k = 0; k < ring.size(); ++k) {
    framed[k] = line.ToFrame(ring[k]);
    sides |= KelPieceSearch::SideOf(framed[k].m_y);
  }
  return sides;
}

// What the division by a touching line leaves of the ring (moved or as it
// is), given the ring's frame and sides; false where the general path must
// decide.
bool Touch(PlanRing& ring, const CutLine& line, const PlanRing& frame, int sides, CutScratch& scratch)
{
  for (const CKelCoord2D& f : frame) {
    if (!std::isfinite(f.m_x) || !std::isfinite(f.m_y))
      return false;
  }
  if (sides != kLeft && sides != kRight)
    return false;
  // One position: no division, the ring is filed as it is. Two: the whole
  // outline is the one piece, unless its ends coincide (a broken search).
  if (!KelPieceSearch::HasTwoPositions(frame))
    return true;
  if (static_cast<const CKelCoord2D&>(frame.front()) == frame.back())
    return false;
  if (FinishPart(frame, line, scratch.moved) != sides)
    return false;
  ring.swap(scratch.moved);
  return true;
}

// The two parts of a clean cut of the ring, and which of their vertices
// stand on the line (its positions: crossings and on-line vertices).
struct CleanCut {
  PlanRing right;
  PlanRing left;
  OnLineFlags rightOnLine;
  OnLineFlags leftOnLine;
};

// Where the edge a -> b (frame points on opposite sides) crosses the line,
// as Divide's crossing vertex has it.
double CrossingAt(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return a.m_x + (0 - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y);
}

// The frame outline as Divide makes it from the ring's frame: each
// crossing after its edge's first vertex; false where a vertex lies
// outside the on-line band but within the clearance. *sides: the search's
// SidesOf of it.
bool CrossedFrame(const PlanRing& framed, PlanRing& frame, int* sides)
{
  *sides = 0;
  for (const CKelCoord2D& f : framed) {
    if (!std::isfinite(f.m_x) || !(f.m_y == 0.0 || std::fabs(f.m_y) >= kClear))
      return false;
    *sides |= KelPieceSearch::SideOf(f.m_y);
  }
  frame.clear();
  const std::size_t n = framed.size();
  frame.reserve(2 * n);  // a crossing at most after every vertex
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& a = framed[k];
    const CKelCoord2D& b = framed[k + 1 == n ? 0 : k + 1];
    frame.push_back(a);
    if (a.m_y != 0.0 && b.m_y != 0.0 && (a.m_y > 0) != (b.m_y > 0))
      frame.emplace_back(CrossingAt(a, b), 0.0);
  }
  return true;
}

// The pieces Divide's general search finds on the frame outline, when they
// are two that meet at both ends (each ends where the other starts), into
// scratch.chains.
bool SearchedTwo(const PlanRing& frame, CutScratch& scratch)
{
  std::size_t found = 0;
  auto take = [&](KelPieceSearch::IndexChain&& chain, bool) {
    if (found < scratch.pieces.size())
      scratch.pieces[found].swap(chain);
    ++found;
    return true;
  };
  bool done = false;
  if (!KelPieceSearch::Search(frame, scratch.whole, nullptr, take, &done, CKelBlockCube::ChainArea::kModel) ||
      !done || found != 2)
    return false;
  const KelPieceSearch::IndexChain& first = scratch.pieces[0];
  const KelPieceSearch::IndexChain& second = scratch.pieces[1];
  if (first.front() != second.back() || first.back() != second.front())
    return false;
  for (std::size_t p = 0; p < 2; ++p) {
    PlanRing& chain = scratch.chains[p];
    chain.clear();
    for (const int i : scratch.pieces[p])
      chain.push_back(frame[static_cast<std::size_t>(i)]);
  }
  return true;
}

// Entries of the frame outline from one position to another, as
// KelPieceSearch::Chain takes them, in a list that keeps its room.
void RunOf(const PlanRing& frame, int from, int to, PlanRing& run)
{
  run.clear();
  const int n = static_cast<int>(frame.size());
  for (int i = from;; i = (i + 1) % n) {
    run.push_back(frame[static_cast<std::size_t>(i)]);
    if (i == to)
      break;
  }
}

// The two parts' chains Divide's search finds on the frame outline, into
// scratch.chains; false unless they are two that meet at both ends. An
// outline on both sides (sides, the search's SidesOf) with exactly two
// positions is settled by the search's first chord: both chains of area
// are pieces, and a chord outside the outline leaves no other to try, so
// the search breaks. That case is worked out here in lists that keep their
// room (two distinct positions, so HasTwoPositions holds; AreaSign is
// positive exactly for an area above its band); any other goes the general
// search in the order it takes.
bool TwoPieces(const PlanRing& frame, int sides, CutScratch& scratch)
{
  KelPieceSearch::IndexChain& whole = scratch.whole;
  whole.resize(frame.size());
  std::iota(whole.begin(), whole.end(), 0);
  const KelPieceSearch::OpenChords open = KelPieceSearch::FindOpenChords(frame, whole, nullptr);
  if (open.count == 2 && sides == (kLeft | kRight)) {
    PlanRing& a = scratch.chains[0];
    PlanRing& b = scratch.chains[1];
    RunOf(frame, open.at[0], open.at[1], a);
    RunOf(frame, open.at[1], open.at[0], b);
    return SignedShoelaceArea(a) > KelTol::BlockAreaSign && SignedShoelaceArea(b) > KelTol::BlockAreaSign;
  }
  if (!KelPieceSearch::HasTwoPositions(frame))
    return false;
  return SearchedTwo(frame, scratch);
}

bool CutClean(const PlanRing& framed, const CutLine& line, CleanCut& cut, CutScratch& scratch)
{
  PlanRing& frame = scratch.frame;
  int frameSides = 0;
  if (!CrossedFrame(framed, frame, &frameSides) || !TwoPieces(frame, frameSides, scratch))
    return false;
  int sides = 0;
  for (PlanRing& chain : scratch.chains) {
    OnLineFlags& onLine = scratch.onLine;
    onLine.resize(chain.size());
    for (std::size_t i = 0; i < chain.size(); ++i)
      onLine[i] = chain[i].m_y == 0.0;
    // EmitPiece refuses a piece whose ends coincide.
    if (chain.front() == chain.back())
      return false;
    const int side = FinishPart(chain, line, scratch.part);
    if (side == 0 || (sides & side) != 0)
      return false;
    sides |= side;
    (side == kRight ? cut.right : cut.left).swap(scratch.part);
    (side == kRight ? cut.rightOnLine : cut.leftOnLine).swap(onLine);
  }
  return true;
}

// A list of fragments (at most the block or its two parts), without the
// heap.
class Fragments {
public:
  void push_back(int f) { m_F[m_N++] = f; }
  bool empty() const { return m_N == 0; }
  std::size_t size() const { return m_N; }
  void clear() { m_N = 0; }
  int operator[](std::size_t i) const { return m_F[i]; }
  const int* begin() const { return m_F.data(); }
  const int* end() const { return m_F.data() + m_N; }

private:
  std::array<int, 3> m_F{};
  std::size_t m_N = 0;
};

// The clip of the block by every piece of a far operand, fragment by
// fragment: the block's plan points moved by the touches met, the parts of
// a clean cut once one is met (moved by the touches they meet), and the
// order in which the fragments end in the outside list (0 the block, 1 the
// right part, 2 the left part).
struct FarClip {
  PlanRing whole;
  CleanCut cut;
  bool canCut = false;
  bool divided = false;
  int partTouches = 0;
  Fragments outside;
  CutScratch scratch;

  // A new clip of the block, in the lists of the last.
  void Start(const CKelBlockCube& block, bool flat)
  {
    whole.assign(block.m_Coord.begin(), block.m_Coord.end());
    canCut = flat;
    divided = false;
    partTouches = 0;
    outside.clear();
  }

  PlanRing& Ring(int f) { return f == 0 ? whole : f == 1 ? cut.right : cut.left; }
  const OnLineFlags& OnLine(int f) const { return f == 1 ? cut.rightOnLine : cut.leftOnLine; }
};

// Touches a part may meet: each may snap vertices by up to the on-line
// band, which the clearance of the cut must still hold against (see
// MergeParts).
constexpr int kPartTouches = 2;

// How far a touch may snap a position of a part (a vertex on the cut's
// line), so that it stays well inside the point-equality band of its twin
// in the other part and well clear of the other part's other vertices.
constexpr double kPositionSnap = KelTol::BlockPoint / 4;

// A touch of a part of the cut, which must leave the part's positions (the
// vertices the merge compares with the other part's) off its line or move
// them by kPositionSnap at most.
bool TouchPart(PlanRing& ring, const OnLineFlags& onLine, const CutLine& line, const PlanRing& frame, int sides,
               CutScratch& scratch)
{
  for (std::size_t i = 0; i < ring.size(); ++i) {
    if (!onLine[i])
      continue;
    const double h = std::fabs(KelEdge::Measure(line.p1, line.d, ring[i]).h);
    if (!(h >= KelTol::BlockPoint || h <= kPositionSnap))
      return false;
  }
  return Touch(ring, line, frame, sides, scratch);
}

// The side FileBlock files fragment f on at a line it does not lie
// strictly beside, after the touch or the clean cut; 0 where the general
// path must decide. A cut files its right part outside here and answers
// kLeft for the left part.
int FileUnclear(FarClip& clip, int f, const CKelCoord2D& start, const CKelCoord2D& end, Fragments& out)
{
  const CutLine line(start, end);
  PlanRing& ring = clip.Ring(f);
  const double area = SignedShoelaceArea(ring);
  if (!line.Usable() || !(area > KelTol::BlockMinArea) || !std::isfinite(area))
    return 0;
  PlanRing& framed = clip.scratch.framed;
  const int sides = FrameOf(ring, line, framed);
  if ((sides == kLeft || sides == kRight) && f == 0)
    return Touch(ring, line, framed, sides, clip.scratch) ? sides : 0;
  if (sides == kLeft || sides == kRight)
    return ++clip.partTouches <= kPartTouches && TouchPart(ring, clip.OnLine(f), line, framed, sides, clip.scratch)
               ? sides
               : 0;
  if (sides != (kLeft | kRight) || f != 0 || !clip.canCut || !CutClean(framed, line, clip.cut, clip.scratch))
    return 0;
  clip.divided = true;
  out.push_back(1);
  return kLeft;
}

bool ClipFar(const ConvexOperand& operand, FarClip& clip)
{
  Fragments fragments;
  fragments.push_back(0);
  // The edges' ends come from their lines (each edge starts where the one
  // before it ends), which lie side by side, unlike the pieces' vertices.
  for (const std::vector<StrictSides>& edges : operand.edges) {
    Fragments work = fragments;
    fragments.clear();
    for (std::size_t k = 0; k < edges.size() && !work.empty(); ++k) {
      Fragments inside;
      for (int f : work) {
        int side = edges[k].Of(clip.Ring(f));
        if (side == 0) {
          side = FileUnclear(clip, f, edges[k].Start(), edges[k + 1 == edges.size() ? 0 : k + 1].Start(), fragments);
          f = f == 0 && clip.divided ? 2 : f;  // after a cut the left part goes on
        }
        if (side == 0)
          return false;
        (side == kLeft ? inside : fragments).push_back(f);
      }
      work = inside;
    }
    if (!work.empty())
      return false;
  }
  clip.outside = fragments;
  return true;
}

// The test of the merge's insertion of shared vertices: p lies inside the
// edge start -> end.
bool InsideEdge(const CKelCoord2D& start, const CKelCoord2D& end, const CKelCoord2D& p)
{
  const double t = KelTol::BlockPoint;
  // Inside means within t of the edge, so within t of its box: most edges
  // are refused without their direction (by twice t, so that the round-off
  // of the frame cannot matter).
  const double m = 2 * t;
  if (p.m_x < std::min(start.m_x, end.m_x) - m || p.m_x > std::max(start.m_x, end.m_x) + m ||
      p.m_y < std::min(start.m_y, end.m_y) - m || p.m_y > std::max(start.m_y, end.m_y) + m)
    return false;
  // An end of the edge itself (the parts' shared ends mostly) is never t or
  // more inside either end: the start lies along it at 0 (or at no number),
  // the end at its length L up to a few ulps of L, which is less than t
  // for any edge under a million kilometres (L is at most |dx| + |dy|).
  if (p.m_x == start.m_x && p.m_y == start.m_y)
    return false;
  const double span = std::fabs(end.m_x - start.m_x) + std::fabs(end.m_y - start.m_y);
  if (p.m_x == end.m_x && p.m_y == end.m_y && span < 1e9)
    return false;
  KelEdge::Direction d;
  if (!CalcCosSin(start, end, &d.c, &d.sn, &d.len))
    return false;
  return KelEdge::WellInside(KelEdge::Measure(start, d, p), t);
}

// The indices of a part's positions, without the heap: a clean cut's part
// mostly has two, its ends; false when it has more than there is room for.
class PositionList {
public:
  bool Of(const OnLineFlags& onLine)
  {
    m_N = 0;
    for (std::size_t i = 0; i < onLine.size(); ++i) {
      if (!onLine[i])
        continue;
      if (m_N == m_At.size())
        return false;
      m_At[m_N++] = i;
    }
    return true;
  }
  const std::size_t* begin() const { return m_At.data(); }
  const std::size_t* end() const { return m_At.data() + m_N; }

private:
  std::array<std::size_t, 8> m_At{};
  std::size_t m_N = 0;
};

// Whether some position of part x lies inside an edge of part y. Only an
// edge with a position of y at one end can hold one: an edge between two
// other vertices of y runs twice the on-line band or more off the cut's
// line on y's side (see MergeParts), and a position of x lies within
// kPositionSnap of the line, so farther than the band from every point of
// that edge.
bool PositionInsideEdge(const PlanRing& x, const PositionList& atX, const PlanRing& y, const PositionList& atY,
                        const OnLineFlags& onY)
{
  const std::size_t n = y.size();
  const auto holds = [&](std::size_t e) {
    return std::any_of(atX.begin(), atX.end(),
                       [&](std::size_t i) { return InsideEdge(y[e], y[e + 1 == n ? 0 : e + 1], x[i]); });
  };
  // The edges ending at a position of y, then those starting at one.
  for (const std::size_t j : atY) {
    const std::size_t before = j == 0 ? n - 1 : j - 1;
    if (!onY[before] && holds(before))
      return true;
    if (holds(j))
      return true;
  }
  return false;
}

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }
bool SameBits(const CKelCoord2D& a, const CKelCoord2D& b) { return SameBits(a.m_x, b.m_x) && SameBits(a.m_y, b.m_y); }

// PositionInsideEdge where each part's positions are its two ends and the
// ends are those of the other part, bit for bit (x's first is y's last and
// x's last y's first): of the pairs it tries, a position that is the
// edge's own start is never inside (InsideEdge's first exact test), and
// y's chord (its last vertex to its first) is skipped as an edge ending at
// a position that stands on the line. That leaves the pairs below, in the
// same truth.
bool EndInsideEdge(const PlanRing& x, const PlanRing& y)
{
  const std::size_t m = y.size();
  const CKelCoord2D& first = x.front();
  const CKelCoord2D& last = x.back();
  return InsideEdge(y[0], y[1], first) || InsideEdge(y[m - 2], y[m - 1], first) ||
         InsideEdge(y[m - 2], y[m - 1], last) || InsideEdge(y[m - 1], y[0], last);
}

// Whether x and y are parts whose positions are their ends only, each end
// the other part's opposite end bit for bit.
bool EndsOnlyShared(const PlanRing& x, const PositionList& atX, const PlanRing& y, const PositionList& atY)
{
  const auto endsOnly = [](const PositionList& at, std::size_t n) {
    return at.end() - at.begin() == 2 && at.begin()[0] == 0 && at.begin()[1] + 1 == n;
  };
  return x.size() >= 3 && y.size() >= 3 && endsOnly(atX, x.size()) && endsOnly(atY, y.size()) &&
         SameBits(x.front(), y.back()) && SameBits(x.back(), y.front());
}

// The only vertices of the two parts that can be the same point, or lie
// inside an edge of the other part, are their positions (the other
// vertices keep to their own sides, see MergeParts): those must meet only
// as the parts' ends, a's first with b's last and a's last with b's first.
bool OnlyEndsMeet(const PlanRing& a, const OnLineFlags& onA, const PlanRing& b, const OnLineFlags& onB)
{
  PositionList atA;
  PositionList atB;
  if (!atA.Of(onA) || !atB.Of(onB))
    return false;  // more positions than a clean cut's parts have: the general path decides
  for (const std::size_t i : atA) {
    for (const std::size_t j : atB) {
      const bool ends = (i == 0 && j + 1 == b.size()) || (i + 1 == a.size() && j == 0);
      if ((a[i] == b[j]) != ends)
        return false;
    }
  }
  if (EndsOnlyShared(a, atA, b, atB))
    return !EndInsideEdge(a, b) && !EndInsideEdge(b, a);
  return !PositionInsideEdge(a, atA, b, atB, onB) && !PositionInsideEdge(b, atB, a, atA, onA);
}

// A flat block without its own bottom: a cut's crossings then take the
// block's top height exactly, and its parts lie on the same planes.
bool IsFlat(const CKelBlockCube& block)
{
  const double z = block.m_Coord.front().m_z;
  return !block.IsTyuku() && std::isfinite(z) &&
         std::all_of(block.m_Coord.begin(), block.m_Coord.end(),
                     [z](const CKelBlockCoord& c) { return c.m_z == z && c.m_zL == 0.0; });
}

// The plane GetPlaneEquation fits to a ring at one height.
std::array<double, 4> FlatPlane(const PlanRing& ring, double z)
{
  double plane[4];
  FitNewellPlane(
      ring.size(), [&](std::size_t i) { return CKelCoord3D(ring[i].m_x, ring[i].m_y, z); }, plane);
  return {plane[0], plane[1], plane[2], plane[3]};
}

// Check_SBlockChkPlane of every point at height z against the plane.
bool OnPlane(const PlanRing& ring, double z, const std::array<double, 4>& plane)
{
  return std::all_of(ring.begin(), ring.end(), [&](const CKelCoord2D& p) {
    return std::fabs(z - CKelBlockCube::Check_CalcZ(p, plane[0], plane[1], plane[2], plane[3])) <=
           KelTol::BlockPlaneFit;
  });
}

// What the clip leaves of the block when no cut divided it: the block,
// moved by the touches, added to the outside list, then Subtract's
// combination of a list of one (its planes) and normalisation. That last
// normalisation is left out: SetMinMax reads only the plan points, which
// neither the slope flags nor the planes move, and gives on them again
// what it gave the first time.
void TakeWhole(CKelBlockCube& block, const PlanRing& moved, bool* planesKept)
{
  for (std::size_t i = 0; i < moved.size(); ++i) {
    block.m_Coord[i].m_x = moved[i].m_x;
    block.m_Coord[i].m_y = moved[i].m_y;
  }
  block.SetMinMax();
  block.CheckSlope();
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
  *planesKept = !(block.CalcArea() < 0);
}

// The last combinations of the direct path for one block: their inputs and
// what they gave. The combination is a function of its input alone, so an
// input equal to a kept one, bit for bit, gives the same outline, without
// the clean-up and its tests. Far operands along the lines of a grid of
// exact coordinates give one block the same merged outlines again and
// again; two are kept, as a cut and the one after it may take turns.
class MergeMemo {
public:
  // The outline into *outline; or, when the block's own outline (current,
  // null unless its vertices are plain ones, see MergeParts) has as many
  // vertices as the one the input gives, that outline written over it in
  // place (*inPlace): a plain vertex differs from the one PlainOutline
  // makes only in the fields written here.
  bool Combine(const std::vector<CKelCoord3DEx>& merged, double wholeArea, CKelBlockCoordArray* current,
               CKelBlockCoordArray* outline, bool* inPlace)
  {
    *inPlace = false;
    const Entry* found = nullptr;
    for (const Entry& entry : m_Entries) {
      if (entry.known && entry.Same(merged, wholeArea)) {
        found = &entry;
        break;
      }
    }
    if (found == nullptr)
      found = &Remember(merged, wholeArea);
    if (!found->ok)
      return false;
    if (current != nullptr && current->size() == found->kept.size()) {
      WritePlain(found->kept, *current);
      *inPlace = true;
    } else {
      *outline = CKelBlockCubeArray::PlainOutline(found->kept);
    }
    return true;
  }

private:
  struct Entry {
    bool known = false;
    bool ok = false;
    std::vector<CKelCoord3DEx> merged;
    double wholeArea = 0;
    std::vector<CKelCoord3DEx> kept;  // the points of the outline it gave

    bool Same(const std::vector<CKelCoord3DEx>& other, double otherArea) const
    {
      return SameBits(wholeArea, otherArea) &&
             std::equal(merged.begin(), merged.end(), other.begin(), other.end(),
                        [](const CKelCoord3DEx& a, const CKelCoord3DEx& b) {
                          return SameBits(a.m_x, b.m_x) && SameBits(a.m_y, b.m_y) && SameBits(a.m_z, b.m_z) &&
                                 SameBits(a.m_zL, b.m_zL);
                        });
    }
  };

  // PlainOutline(kept) over plain vertices of the same number (their walls
  // aside, which the caller vouches for).
  static void WritePlain(const std::vector<CKelCoord3DEx>& kept, CKelBlockCoordArray& outline)
  {
    for (std::size_t i = 0; i < kept.size(); ++i) {
      CKelBlockCoord& c = outline[i];
      static_cast<CKelCoord3DEx&>(c) = kept[i];
      c.m_OffH = c.m_z;
      c.m_OffL = c.m_zL;
      c.m_FlrH = 0;
      c.m_FlrL = 0;
    }
  }

  // The combination of an input met for the first time, in place of the
  // older entry.
  const Entry& Remember(const std::vector<CKelCoord3DEx>& merged, double wholeArea)
  {
    Entry& entry = m_Entries[m_Next];
    m_Next = 1 - m_Next;
    entry.ok = CKelBlockCubeArray::CombineAlongRun(merged, wholeArea, &entry.kept);
    entry.known = true;
    entry.merged = merged;
    entry.wholeArea = wholeArea;
    return entry;
  }

  std::array<Entry, 2> m_Entries;
  int m_Next = 0;
};

// The combination of the two parts of the cut, in the order the clip left
// them: the later (A) merges into the earlier (B), which survives. Each part
// starts at one position of the cut and ends at the other, and every other
// vertex lay kClear or more off the line on its own side; the touches a
// part met since moved its vertices by less than the on-line band each, at
// most kPartTouches times, so they still lie twice the band off it, and its
// positions by kPositionSnap at most. So no vertex off the line of one part
// is the same as, or inside an edge of, the other part, and OnlyEndsMeet
// sees to the positions: they meet only at the parts' ends, which are the
// same vertex of the division in both parts. The pair's search so finds
// A's first vertex (a position) first, the walk forward stops at once and
// the walk back takes the other position: the merged outline is A up to
// its last vertex, then B up to its last vertex. No two of its vertices
// are the same point, so the merge's sure refusal of kept same vertices
// cannot apply, and its area tests and clean-up (CombineAlongRun) do the
// rest (a crossing lies on an edge of the block, which it removes it from).
//
// *plain tells whether the block's vertices are plain ones a merge here
// made (PlainOutline's: walls as constructed; nothing on the way changes
// walls), so that an outline equal field for field to the one the memo
// would make again is that outline.
bool MergeParts(CKelBlockCube& block, FarClip& clip, const CPrfPlanParam* prf, MergeMemo& memo, bool* planesKept,
                bool* plain)
{
  if (clip.outside.size() != 2)
    return false;
  const PlanRing& b = clip.Ring(clip.outside[0]);
  const PlanRing& a = clip.Ring(clip.outside[1]);
  if (!OnlyEndsMeet(a, clip.OnLine(clip.outside[1]), b, clip.OnLine(clip.outside[0])))
    return false;
  const double z = block.m_Coord.front().m_z;
  const std::array<double, 4> top = FlatPlane(b, z);
  const std::array<double, 4> bottom = FlatPlane(b, 0.0);
  if (!OnPlane(a, z, top) || !OnPlane(a, 0.0, bottom))
    return false;
  const double wholeArea = SignedShoelaceArea(a) + SignedShoelaceArea(b);
  std::vector<CKelCoord3DEx>& merged = clip.scratch.merged;
  merged.clear();
  merged.reserve(a.size() + b.size());
  for (const PlanRing* part : {&a, &b}) {
    for (std::size_t i = 0; i + 1 < part->size(); ++i)
      merged.emplace_back((*part)[i].m_x, (*part)[i].m_y, z, 0.0);
  }
  CKelBlockCoordArray outline;
  bool inPlace = false;
  CKelBlockCoordArray* current = prf == nullptr && *plain ? &block.m_Coord : nullptr;
  if (!memo.Combine(merged, wholeArea, current, &outline, &inPlace))
    return false;
  block.CheckSlope();
  block.SetTopPlaneParam(top[0], top[1], top[2], top[3]);
  block.SetBotPlaneParam(bottom[0], bottom[1], bottom[2], bottom[3]);
  // The merge normalises the block it makes (TakeMergedOutline ends with
  // SetMinMax), so Subtract's normalisation after it, a second SetMinMax on
  // the same outline, changes nothing and is left out.
  if (inPlace)
    block.SetMinMax();
  else
    CKelBlockCubeArray::TakeMergedOutline(prf, block, std::move(outline));
  *planesKept = false;
  *plain = prf == nullptr;  // a profile splits the heights into floors and offsets
  return true;
}

// Subtract of a far operand from a single block, worked out directly where
// the argument above holds: true when the block was left as Subtract would
// leave it, false (the block untouched) where the general path must run.
bool SubtractFar(CKelBlockCube& block, const ConvexOperand& operand, const CPrfPlanParam* prf, MergeMemo& memo,
                 FarClip& clip, bool* planesKept, bool* plain)
{
  if (!operand.usable || block.GetSize() < 3 || block.IsDegenerate())
    return false;
  clip.Start(block, IsFlat(block));
  if (!ClipFar(operand, clip))
    return false;
  if (clip.divided)
    return MergeParts(block, clip, prf, memo, planesKept, plain);
  TakeWhole(block, clip.whole, planesKept);
  return true;
}


}  // namespace

struct FarOperands::State {
  MergeMemo memo;
  FarClip clip;
  bool plain = false;  // the block's vertices are plain ones a merge made (see MergeParts)
};

FarOperands::FarOperands() : m_State(std::make_unique<State>()) {}
FarOperands::~FarOperands() = default;
FarOperands::FarOperands(FarOperands&&) noexcept = default;
FarOperands& FarOperands::operator=(FarOperands&&) noexcept = default;

bool FarOperands::Subtract(CKelBlockCube& block, const ConvexOperand& operand, const CPrfPlanParam* prf,
                           bool* planesKept)
{
  return SubtractFar(block, operand, prf, m_State->memo, m_State->clip, planesKept, &m_State->plain);
}

void FarOperands::Forget() { m_State->plain = false; }

}  // namespace kel_set
