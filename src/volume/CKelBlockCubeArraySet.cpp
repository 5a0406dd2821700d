// Set operations of block lists: division by a line, cutting away one side,
// plan subtraction, union and intersection. All are built from the division
// of a block by a line and the convex pieces of the other block: a convex
// piece is the intersection of the left sides of its edges, so what lies
// inside it is what survives a division by each of its edges in turn.

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "CKelAreaCoord3D.h"
#include "CKelBlockCubeArray.h"
#include "KelBlockCutSearch.h"
#include "KelConvexOperand.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelOutlineIndex.h"
#include "KelPassIndex.h"
#include "KelTolerance.h"

namespace {

using kel_set::ConvexOperand;
using kel_set::kLeft;
using kel_set::kRight;
using kel_set::StrictSides;

// Which side of p1 -> p2 the block's area centroid lies on (the mean of
// its vertices for an outline whose loops cancel to no area); DEL_NONE on
// the line.
int CentroidSide(const CKelBlockCube& block, const CKelCoord2D& p1, const CKelCoord2D& p2)
{
  double cx = 0;
  double cy = 0;
  double twiceArea = 0;
  const int n = block.GetSize();
  for (int k = 0; k < n; ++k) {
    const CKelBlockCoord& a = block.m_Coord[static_cast<std::size_t>(k)];
    const CKelBlockCoord& b = block.m_Coord[static_cast<std::size_t>(block.NextPos(k))];
    const double cross = a.m_x * b.m_y - b.m_x * a.m_y;
    twiceArea += cross;
    cx += (a.m_x + b.m_x) * cross;
    cy += (a.m_y + b.m_y) * cross;
  }
  if (std::fabs(twiceArea) > 0) {
    cx /= 3 * twiceArea;
    cy /= 3 * twiceArea;
  } else {
    cx = cy = 0;
    for (const CKelBlockCoord& c : block.m_Coord) {
      cx += c.m_x / n;
      cy += c.m_y / n;
    }
  }
  const double side = (p2.m_x - p1.m_x) * (cy - p1.m_y) - (p2.m_y - p1.m_y) * (cx - p1.m_x);
  return side > 0 ? kLeft : side < 0 ? kRight : CKelBlockCube::DEL_NONE;
}

// The side a block or piece is filed on: the side its vertices occupy; one
// that the line leaves on both sides without dividing it goes by its
// centroid; one lying on the line has no side (DEL_NONE).
int SideOf(const CKelBlockCube& block, const CKelCoord2D& p1, const CKelCoord2D& p2)
{
  const int side = block.WhitchSide(p1, p2);
  if (side == (kLeft | kRight))
    return CentroidSide(block, p1, p2);
  return side;
}

// The block's pieces on either side of the line, or the block itself.
CKelBlockCubeList PiecesOf(const CKelBlockCube& block, const CPrfPlanParam* prf, const CKelCoord2D& p1,
                           const CKelCoord2D& p2, int mask, bool* divided,
                           CKelBlockCube::ChainArea chains = CKelBlockCube::ChainArea::kModel)
{
  CKelBlockCubeList pieces;
  pieces.reserve(2);  // a division mostly gives two
  *divided = block.Divide(prf, p1, p2, pieces, mask, chains);
  if (!*divided)
    pieces.push_back(block);
  return pieces;
}

// The copy of the other block whose convex pieces a set operation walks:
// normalised, with planes so that the convex split accepts it.
bool ConvexPieces(const CKelBlockCube& block, CKelBlockCubeList& pieces)
{
  CKelBlockCube area = block;
  area.SetMinMax();
  if (!area.IsPlaneEuqationSet(false))
    area.GetPlaneEquation(false);
  if (!area.IsPlaneEuqationSet(true))
    area.GetPlaneEquation(true);
  if (!(area.Menseki() > 0))
    return false;
  return area.CutBlock(nullptr, pieces, 0);
}

// How FileBlock adds a block that it files whole: normalised as AddBlock
// does, or as it is, for a block that an earlier filing added and nothing
// has changed since (normalising it again would change nothing, see
// PassOutside).
enum class Whole { kNormalise, kAsItIs };

// Files a block, or its pieces, on the side of the line each lies on; a
// piece on the line is dropped. A block the line cannot touch is filed
// whole without a division, which would only copy it; so is a block that
// lies apart from a subtracted operand's extents (apartFrom, see
// ApartFromOperand), outside unless it lies strictly left of the line.
template <class Block>
void FileBlock(Block&& block, const StrictSides& sides, const CPrfPlanParam* prf, const CKelCoord2D& p1,
               const CKelCoord2D& p2, CKelBlockCubeArray& left, CKelBlockCubeArray& right,
               CKelBlockCube::ChainArea chains = CKelBlockCube::ChainArea::kModel, Whole whole = Whole::kNormalise,
               const KelEdge::Extents* apartFrom = nullptr)
{
  const int strict = sides.Of(block);
  if (strict != 0 || (apartFrom != nullptr && kel_set::ApartFromOperand(block.m_Coord, *apartFrom))) {
    CKelBlockCubeArray& list = strict == kLeft ? left : right;
    if (whole == Whole::kAsItIs)
      list.push_back(std::forward<Block>(block));
    else
      list.AddBlock(std::forward<Block>(block));
    return;
  }
  bool divided = false;
  for (CKelBlockCube& piece : PiecesOf(block, prf, p1, p2, 0, &divided, chains)) {
    const int side = SideOf(piece, p1, p2);
    if (side == kLeft)
      left.AddBlock(std::move(piece));
    else if (side == kRight)
      right.AddBlock(std::move(piece));
  }
}

// Divides work by every edge of the convex piece, the closing edge first;
// what lies outside goes to outside, work keeps what lies inside. Blocks
// move from list to list rather than being copied. What FileBlock filed was
// added to its list, normalised: adding it to outside as well would
// normalise it again, which changes nothing (see PassOutside), so it moves
// over as it is. A subtraction gives the operand's extents (apartFrom).
void ClipToConvex(CKelBlockCubeArray& work, const CKelBlockCube& piece, const CPrfPlanParam* prf,
                  CKelBlockCubeArray& outside, const KelEdge::Extents* apartFrom = nullptr)
{
  const int n = piece.GetSize();
  // The lists of one edge keep their storage for the next.
  CKelBlockCubeArray inside;
  CKelBlockCubeArray out;
  for (int k = 0; k < n && !work.empty(); ++k) {
    const CKelCoord2D start = piece.m_Coord[static_cast<std::size_t>(piece.PrevPos(k))];
    const CKelCoord2D end = piece.m_Coord[static_cast<std::size_t>(k)];
    const StrictSides sides(start, end);
    inside.clear();
    out.clear();
    // After the first edge every block in work is one this clip filed.
    const Whole whole = k == 0 ? Whole::kNormalise : Whole::kAsItIs;
    for (CKelBlockCube& block : work)
      FileBlock(std::move(block), sides, prf, start, end, inside, out, CKelBlockCube::ChainArea::kModel, whole,
                apartFrom);
    std::swap(work, inside);
    for (CKelBlockCube& block : out)
      outside.push_back(std::move(block));
  }
}

ConvexOperand ConvexOf(const CKelBlockCube& block)
{
  ConvexOperand operand;
  operand.usable = block.GetSize() > 0 && ConvexPieces(block, operand.pieces);
  if (!operand.usable)
    return operand;
  for (const CKelBlockCube& piece : operand.pieces) {
    std::vector<StrictSides> edges;
    for (int k = 0; k < piece.GetSize(); ++k)
      edges.emplace_back(piece.m_Coord[static_cast<std::size_t>(piece.PrevPos(k))],
                         piece.m_Coord[static_cast<std::size_t>(k)]);
    operand.edges.push_back(std::move(edges));
  }
  operand.box = KelPassIndex::ExtentsOf(block.m_Coord);
  return operand;
}

// Whether the clip by every piece of the operand files the block outside
// whole, at an edge it lies strictly right of, after edges it lies strictly
// left of: then no division touches it and the clip only moves it.
bool PassesOutsideWhole(const std::vector<CKelCoord2D>& block, const ConvexOperand& operand)
{
  for (const std::vector<StrictSides>& edges : operand.edges) {
    bool out = false;
    for (const StrictSides& edge : edges) {
      const int side = edge.Of(block);
      if (side == kRight) {
        out = true;
        break;
      }
      if (side != kLeft)
        return false;
    }
    if (!out)
      return false;
  }
  return true;
}

// The operands as the index of the pass test takes them.
KelPassIndex PassIndexOf(const std::vector<ConvexOperand>& operands)
{
  std::vector<KelPassIndex::Operand> indexed(operands.size());
  for (std::size_t i = 0; i < operands.size(); ++i) {
    const ConvexOperand& operand = operands[i];
    indexed[i].usable = operand.usable;
    for (const std::vector<StrictSides>& edges : operand.edges) {
      std::vector<KelPassIndex::Line>& lines = indexed[i].pieces.emplace_back();
      for (const StrictSides& edge : edges)
        lines.push_back(edge.Line());
    }
    for (const CKelBlockCube& piece : operand.pieces)
      indexed[i].vertices.insert(indexed[i].vertices.end(), piece.m_Coord.begin(), piece.m_Coord.end());
  }
  return KelPassIndex(indexed);
}

// The next operand, from a given one on, whose pass test the index cannot
// settle for a block's plan points. The candidates are worked out for the
// points' extents grown by the on-line band and hold for any points inside
// them, which every step checks: a subtraction mostly takes area away, so
// they are seldom worked out again.
class PassCursor {
public:
  explicit PassCursor(const KelPassIndex& index) : m_Index(index) {}

  std::size_t Next(const std::vector<CKelCoord2D>& points, std::size_t from)
  {
    if (points.empty())
      return from;
    const KelEdge::Extents box = KelPassIndex::ExtentsOf(points);
    if (!m_Valid || !Inside(box))
      Refresh(box, from);
    if (!m_Valid)
      return from;
    while (m_At < m_Candidates.size() && m_Candidates[m_At] < from)
      ++m_At;
    return m_At < m_Candidates.size() ? m_Candidates[m_At] : m_End;
  }

private:
  bool Inside(const KelEdge::Extents& b) const
  {
    return m_Box.xmin <= b.xmin && b.xmax <= m_Box.xmax && m_Box.ymin <= b.ymin && b.ymax <= m_Box.ymax;
  }
  void Refresh(const KelEdge::Extents& box, std::size_t from)
  {
    const double g = KelTol::BlockPoint;
    m_Box = {box.xmin - g, box.xmax + g, box.ymin - g, box.ymax + g};
    m_Valid = m_Index.Candidates(m_Box, from, m_Candidates);
    m_At = 0;
  }

  const KelPassIndex& m_Index;
  std::size_t m_End = std::numeric_limits<std::size_t>::max();
  KelEdge::Extents m_Box;
  std::vector<std::size_t> m_Candidates;
  std::size_t m_At = 0;
  bool m_Valid = false;
};

// A block farther than this from an operand's extents lies outside every
// piece of it by more than the on-line tolerance even at a sharp corner, so
// no part of it can end inside: what the intersection keeps never comes
// from it.
constexpr double kFarFromOperand = 1.0;

// The blocks of a list that are not far from an operand (FarFrom), found
// through their extents sorted by their low x, for the intersection with
// every block of another list.
class NearBlocks {
public:
  explicit NearBlocks(const CKelBlockCubeArray& list)
  {
    for (std::size_t k = 0; k < list.size(); ++k) {
      if (list[k].m_Coord.empty()) {
        m_Always.push_back(k);
        continue;
      }
      // Never a coordinate that is not a number (ExtentsOf leaves them
      // out), so the extents sort; infinite ones widen the search.
      const KelEdge::Extents box = KelPassIndex::ExtentsOf(list[k].m_Coord);
      m_Sorted.push_back({box, k});
      m_Widest = std::max(m_Widest, box.xmax - box.xmin);
    }
    std::sort(m_Sorted.begin(), m_Sorted.end(),
              [](const Entry& a, const Entry& b) { return a.box.xmin < b.box.xmin; });
  }

  // The numbers of the blocks not far from the operand, ascending.
  void NotFarFrom(const ConvexOperand& operand, std::vector<std::size_t>& out) const
  {
    out.assign(m_Always.begin(), m_Always.end());
    const KelEdge::Extents& o = operand.box;
    const double m = kFarFromOperand;
    // A block with its low x beyond the operand's high x plus the margin is
    // far, by the test's own first comparison; so is one whose low x lies
    // short of the operand's low x by twice the margin and twice the widest
    // block, its high x short by more than the margin (with room for the
    // round-off of these sums). The test decides every block in between.
    const auto first = std::lower_bound(m_Sorted.begin(), m_Sorted.end(), o.xmin - 2 * m - 2 * m_Widest,
                                        [](const Entry& e, double x) { return e.box.xmin < x; });
    for (auto it = first; it != m_Sorted.end() && !(it->box.xmin > o.xmax + m); ++it) {
      if (!kel_set::ExtentsApart(it->box, o, m))
        out.push_back(it->number);
    }
    std::sort(out.begin(), out.end());
  }

private:
  struct Entry {
    KelEdge::Extents box;
    std::size_t number = 0;
  };
  std::vector<Entry> m_Sorted;
  std::vector<std::size_t> m_Always;
  double m_Widest = 0;
};

void Normalise(CKelBlockCubeArray& list)
{
  for (CKelBlockCube& block : list)
    block.SetMinMax();
}

}  // namespace

// --- Division ---------------------------------------------------------------------------------------

void CKelBlockCubeArray::DivideBlock(const CPrfPlanParam* prf, const CKelCoord2D& p1, const CKelCoord2D& p2,
                                     CKelBlockCubeArray& left, CKelBlockCubeArray& right,
                                     CKelBlockCube::ChainArea chains) const
{
  left.Clear();
  right.Clear();
  const StrictSides sides(p1, p2);
  for (const CKelBlockCube& block : *this)
    FileBlock(block, sides, prf, p1, p2, left, right, chains);
}

void CKelBlockCubeArray::DivideBlock(const CPrfPlanParam* prf, const CKelCoord2D& p1, const CKelCoord2D& p2,
                                     int leftBits, int rightBits)
{
  auto mark = [&](CKelBlockCube& b) {
    const int side = SideOf(b, p1, p2);
    if (side == kLeft)
      b.SetWork(b.m_Work | leftBits);
    else if (side == kRight)
      b.SetWork(b.m_Work | rightBits);
  };
  for (int i = 0; i < Size();) {
    bool divided = false;
    CKelBlockCubeList pieces = PiecesOf((*this)[static_cast<std::size_t>(i)], prf, p1, p2, 0, &divided);
    if (!divided) {
      mark((*this)[static_cast<std::size_t>(i)]);
      ++i;
      continue;
    }
    Erase(i);
    for (CKelBlockCube& piece : pieces) {
      mark(piece);
      insert(begin() + i, piece);
      ++i;
    }
  }
}

void CKelBlockCubeArray::CutBlock(const CPrfPlanParam* prf, const CKelCoord2D& p1, const CKelCoord2D& p2, int mask,
                                  CKelBlockCubeArray* removed)
{
  for (int i = 0; i < Size();) {
    const CKelBlockCube block = (*this)[static_cast<std::size_t>(i)];
    if (removed == nullptr && block.GetSize() < 3) {
      Erase(i);
      continue;
    }
    CKelBlockCubeList pieces;
    const bool divided = block.Divide(prf, p1, p2, pieces, removed == nullptr ? mask : 0);
    if (!divided) {
      if (block.WhitchSide(p1, p2) == mask) {
        if (removed != nullptr)
          removed->AddBlock(block);
        Erase(i);
      } else {
        ++i;
      }
      continue;
    }
    Erase(i);
    if (removed == nullptr) {
      // Each piece goes before the previous one: reverse order of production.
      for (const CKelBlockCube& piece : pieces)
        insert(begin() + i, piece);
      i += static_cast<int>(pieces.size());
      continue;
    }
    for (const CKelBlockCube& piece : pieces) {
      if (piece.WhitchSide(p1, p2) == mask) {
        removed->AddBlock(piece);
      } else {
        insert(begin() + i, piece);
        ++i;
      }
    }
  }
}

// --- Subtraction, union, intersection ------------------------------------------------------------------

namespace {

// The list minus the operand's plan; what lay inside goes to removed. When
// planesKept is given it tells whether the result is one block whose planes
// were worked out from its outline as it now stands (no merge after them,
// no reversal by the normalisation).
CKelBlockCubeArray Subtract(CKelBlockCubeArray result, const ConvexOperand& operand, const CPrfPlanParam* prf,
                            CKelBlockCubeArray* removed, bool* planesKept = nullptr)
{
  if (operand.usable) {
    for (const CKelBlockCube& piece : operand.pieces) {
      CKelBlockCubeArray work = std::move(result);
      result.Clear();
      ClipToConvex(work, piece, prf, result, &operand.box);
      if (removed != nullptr)
        removed->AddBlock(work);
    }
  }
  const std::size_t before = result.size();
  result.CombineBlock(prf);
  if (planesKept != nullptr)
    *planesKept = before == 1 && result.size() == 1 && !(result.front().CalcArea() < 0);
  Normalise(result);
  return result;
}

// The plan points of the list's block when it holds one; none otherwise.
void PlanPoints(const CKelBlockCubeArray& work, std::vector<CKelCoord2D>& points)
{
  points.clear();
  if (work.size() == 1)
    points.assign(work.front().m_Coord.begin(), work.front().m_Coord.end());
}

// What Subtract does to a single block that every piece of the operand files
// outside whole: each piece's clip adds it to the outside list (area,
// extents, order and slope flags), the combination of a list of one block
// works out its planes, and the normalisation follows. When its planes
// already stand for its outline and the normalisation will not reverse it,
// the normalisation alone is left. Adding it again, or a second pass,
// changes nothing: the area and extents come from the unchanged outline
// (whose order a negative area both ways leaves as it was), and the slope
// flags from the unchanged heights. The normalisation after the planes is
// left out too: it reads only the plan points, which neither the slope
// flags nor the planes move, and a second SetMinMax on the same points
// changes nothing.
void PassOutside(CKelBlockCube& block, bool* planesKept)
{
  block.SetMinMax();
  block.CheckSlope();
  if (!*planesKept) {
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    *planesKept = !(block.CalcArea() < 0);
  }
}

}  // namespace

CKelBlockCubeArray CKelBlockCubeArray::SubBlock(const CPrfPlanParam* prf, const CKelBlockCube& block,
                                                CKelBlockCubeArray* removed) const
{
  return Subtract(*this, ConvexOf(block), prf, removed);
}

CKelBlockCubeArray CKelBlockCubeArray::SubBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const
{
  std::vector<ConvexOperand> operands;
  operands.reserve(others.size());
  for (const CKelBlockCube& other : others)
    operands.push_back(ConvexOf(other));
  const KelPassIndex index = PassIndexOf(operands);
  CKelBlockCubeArray result;
  for (const CKelBlockCube& block : *this) {
    CKelBlockCubeArray work;
    work.push_back(block);
    bool planesKept = false;  // the block comes as the caller left it
    bool passed = false;      // PassOutside has run on the block as it stands
    // The plan points of a single work block, side by side for the test of
    // every operand (PassOutside may turn their order, which the test
    // ignores, but does not move them).
    std::vector<CKelCoord2D> points;
    PlanPoints(work, points);
    PassCursor cursor(index);
    for (std::size_t i = 0; i < operands.size(); ++i) {
      const ConvexOperand& operand = operands[i];
      // Operands the index settles pass the single block; the first of a
      // run of them passes it outside, the others change nothing. So do
      // operands it lies apart from: every piece files it outside whole.
      const std::size_t next = work.size() == 1 ? cursor.Next(points, i) : i;
      const bool settled = next > i;
      if (settled || (work.size() == 1 && operand.usable &&
                      (kel_set::ApartFromOperand(points, operand.box) || PassesOutsideWhole(points, operand)))) {
        if (!passed)
          PassOutside(work.front(), &planesKept);
        passed = true;
        i = settled ? std::min(next, operands.size()) - 1 : i;
        continue;
      }
      work = Subtract(std::move(work), operand, prf, nullptr, &planesKept);
      PlanPoints(work, points);
      passed = false;
    }
    result.insert(result.end(), std::make_move_iterator(work.begin()), std::make_move_iterator(work.end()));
  }
  result.CombineBlock(prf);
  return result;
}

CKelBlockCubeArray CKelBlockCubeArray::AddBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const
{
  CKelBlockCubeArray result = others.SubBlock(prf, *this);
  result.insert(result.end(), begin(), end());
  result.CombineBlock(prf);
  return result;
}

namespace {

// The parts of list inside the operand's plan, combined.
CKelBlockCubeArray Intersect(CKelBlockCubeArray work, const ConvexOperand& operand, const CPrfPlanParam* prf)
{
  CKelBlockCubeArray result;
  if (!operand.usable)
    return result;
  for (const CKelBlockCube& piece : operand.pieces) {
    CKelBlockCubeArray inside = std::move(work);
    work.Clear();
    // Without a profile: new vertices get floor 0 and offset = height.
    ClipToConvex(inside, piece, nullptr, work);
    result.AddBlock(inside);
  }
  result.CombineBlock(prf);
  Normalise(result);
  return result;
}

}  // namespace

CKelBlockCubeArray CKelBlockCubeArray::AndBlock(const CPrfPlanParam* prf, const CKelBlockCube& block) const
{
  return Intersect(*this, ConvexOf(block), prf);
}

CKelBlockCubeArray CKelBlockCubeArray::AndBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const
{
  const NearBlocks blocks(*this);
  std::vector<std::size_t> nearBy;
  CKelBlockCubeArray result;
  for (const CKelBlockCube& other : others) {
    // Blocks far from the operand add nothing and leave the others' order.
    const ConvexOperand operand = ConvexOf(other);
    CKelBlockCubeArray near;
    if (!operand.usable) {
      near = *this;
    } else {
      blocks.NotFarFrom(operand, nearBy);
      near.reserve(nearBy.size());
      for (const std::size_t k : nearBy)
        near.push_back((*this)[k]);
    }
    const CKelBlockCubeArray part = Intersect(std::move(near), operand, prf);
    result.insert(result.end(), part.begin(), part.end());
  }
  result.CombineBlock(prf);
  return result;
}

namespace {

// Every block of the list clipped under the others by the block's own
// clipping (SolidSubBlock or SolidSubBlock2), then combined without profiles.
CKelBlockCubeArray SolidEach(const CKelBlockCubeArray& list, const CKelBlockCubeArray& others,
                             CKelBlockCubeArray (CKelBlockCube::*clip)(const CKelBlockCubeArray&) const)
{
  CKelBlockCubeArray result;
  for (const CKelBlockCube& block : list) {
    const CKelBlockCubeArray part = (block.*clip)(others);
    result.insert(result.end(), part.begin(), part.end());
  }
  result.CombineBlock(nullptr);
  return result;
}

}  // namespace

CKelBlockCubeArray CKelBlockCubeArray::SolidSubBlock(const CKelBlockCubeArray& others) const
{
  return SolidEach(*this, others, &CKelBlockCube::SolidSubBlock);
}

CKelBlockCubeArray CKelBlockCubeArray::SolidSubBlock2(const CKelBlockCubeArray& others) const
{
  return SolidEach(*this, others, &CKelBlockCube::SolidSubBlock2);
}
