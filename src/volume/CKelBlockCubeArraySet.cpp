// Set operations of block lists: division by a line, cutting away one side,
// plan subtraction, union and intersection. All are built from the division
// of a block by a line and the convex pieces of the other block: a convex
// piece is the intersection of the left sides of its edges, so what lies
// inside it is what survives a division by each of its edges in turn.

#include <cmath>

#include "CKelBlockCubeArray.h"

namespace {

constexpr int kLeft = CKelBlockCube::DEL_TOP;
constexpr int kRight = CKelBlockCube::DEL_BOT;

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

// Divides work by every edge of the convex piece, the closing edge first;
// what lies outside goes to outside, work keeps what lies inside.
void ClipToConvex(CKelBlockCubeArray& work, const CKelBlockCube& piece, const CPrfPlanParam* prf,
                  CKelBlockCubeArray& outside)
{
  const int n = piece.GetSize();
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D start = piece.m_Coord[static_cast<std::size_t>(piece.PrevPos(k))];
    const CKelCoord2D end = piece.m_Coord[static_cast<std::size_t>(k)];
    CKelBlockCubeArray inside;
    CKelBlockCubeArray out;
    work.DivideBlock(prf, start, end, inside, out);
    work = std::move(inside);
    outside.AddBlock(out);
  }
}

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
  for (const CKelBlockCube& block : *this) {
    bool divided = false;
    for (const CKelBlockCube& piece : PiecesOf(block, prf, p1, p2, 0, &divided, chains)) {
      const int side = SideOf(piece, p1, p2);
      if (side == kLeft)
        left.AddBlock(piece);
      else if (side == kRight)
        right.AddBlock(piece);
    }
  }
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

CKelBlockCubeArray CKelBlockCubeArray::SubBlock(const CPrfPlanParam* prf, const CKelBlockCube& block,
                                                CKelBlockCubeArray* removed) const
{
  CKelBlockCubeArray result = *this;
  CKelBlockCubeList pieces;
  if (block.GetSize() > 0 && ConvexPieces(block, pieces)) {
    for (const CKelBlockCube& piece : pieces) {
      CKelBlockCubeArray work = std::move(result);
      result.Clear();
      ClipToConvex(work, piece, prf, result);
      if (removed != nullptr)
        removed->AddBlock(work);
    }
  }
  result.CombineBlock(prf);
  Normalise(result);
  return result;
}

CKelBlockCubeArray CKelBlockCubeArray::SubBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const
{
  CKelBlockCubeArray result;
  for (const CKelBlockCube& block : *this) {
    CKelBlockCubeArray work;
    work.push_back(block);
    for (const CKelBlockCube& other : others)
      work = work.SubBlock(prf, other, nullptr);
    result.insert(result.end(), work.begin(), work.end());
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

CKelBlockCubeArray CKelBlockCubeArray::AndBlock(const CPrfPlanParam* prf, const CKelBlockCube& block) const
{
  CKelBlockCubeArray result;
  CKelBlockCubeList pieces;
  if (block.GetSize() == 0 || !ConvexPieces(block, pieces))
    return result;
  CKelBlockCubeArray work = *this;
  for (const CKelBlockCube& piece : pieces) {
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

CKelBlockCubeArray CKelBlockCubeArray::AndBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const
{
  CKelBlockCubeArray result;
  for (const CKelBlockCube& other : others) {
    const CKelBlockCubeArray part = AndBlock(prf, other);
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
