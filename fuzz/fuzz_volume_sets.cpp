// Reads arbitrary bytes as the archive form of a block list and runs it
// through the set operations: combination (both forms), subtraction, union,
// intersection, clipping under tops, division and cutting by a line, and the
// boundary representation there and back. Byte 0's high nibble picks the
// archive version (1, 2, 9, 14 or 15); the rest is the archive. Lists of
// more than 8 blocks or blocks of more than 16 vertices are passed over, so
// every input stays quick.
//
// Properties: nothing crashes or hangs; the combination never adds blocks
// and, for finite outlines of moderate size, keeps the total area; it gives
// the blocks of its previous form (tests/volume/CombinePrevious.h) bit for
// bit; every brep face lies in exactly one brep block and every index is
// valid; difference and union give their first forms' lists
// (tests/volume/SetLiteral.h) bit for bit.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "CKelBlockCubeArray.h"
#include "CKelBrep.h"
#include "CKelMemoryArchive.h"
#include "CombinePrevious.h"
#include "FuzzByteReader.h"
#include "SetLiteral.h"

namespace {

using FuzzInput::Check;

constexpr int kVersions[] = {1, 2, 9, 14, 15};
constexpr std::size_t kMaxBlocks = 8;
constexpr int kMaxVertices = 16;
// Coordinates up to this size keep every area's round-off far below the
// combination's area tolerance.
constexpr double kModerate = 1e4;

bool Small(const CKelBlockCubeArray& list)
{
  if (list.size() > kMaxBlocks)
    return false;
  for (const CKelBlockCube& b : list)
    if (b.GetSize() > kMaxVertices)
      return false;
  return true;
}

bool Moderate(const CKelBlockCubeArray& list)
{
  for (const CKelBlockCube& b : list)
    for (const CKelBlockCoord& c : b.m_Coord)
      for (double v : {c.m_x, c.m_y, c.m_z, c.m_zL})
        if (!(std::fabs(v) < kModerate))
          return false;
  return true;
}

void CheckBrep(const CKelBrep& brep)
{
  std::vector<int> owners(brep.m_Face.size());
  for (const auto& block : brep.m_Blocks)
    for (std::int32_t f : block) {
      Check(f >= 0 && static_cast<std::size_t>(f) < owners.size());
      ++owners[static_cast<std::size_t>(f)];
    }
  for (int n : owners)
    Check(n == 1);
  for (const CBrepEdge& e : brep.m_Edge) {
    Check(e.m_v1 >= 0 && static_cast<std::size_t>(e.m_v1) < brep.m_Vertex.size());
    Check(e.m_v2 >= 0 && static_cast<std::size_t>(e.m_v2) < brep.m_Vertex.size());
    for (std::int32_t f : e.m_Faces)
      Check(f >= 0 && static_cast<std::size_t>(f) < brep.m_Face.size());
  }
  for (const CBrepFaceArray2& face : brep.m_Face)
    for (const CBrepFace& c : face)
      for (std::int32_t k : c.m_Edges)
        Check(k != 0 && static_cast<std::size_t>(std::abs(k)) <= brep.m_Edge.size());
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameVertices(const CKelBlockCube& a, const CKelBlockCube& b)
{
  if (a.m_Coord.size() != b.m_Coord.size())
    return false;
  for (std::size_t k = 0; k < a.m_Coord.size(); ++k) {
    const CKelBlockCoord& p = a.m_Coord[k];
    const CKelBlockCoord& q = b.m_Coord[k];
    if (!SameBits(p.m_x, q.m_x) || !SameBits(p.m_y, q.m_y) || !SameBits(p.m_z, q.m_z) || !SameBits(p.m_zL, q.m_zL))
      return false;
  }
  return true;
}

// The faster forms give their first forms' lists (tests/volume/SetLiteral.h).
void SameLists(const CKelBlockCubeArray& got, const CKelBlockCubeArray& first)
{
  Check(got.size() == first.size());
  for (std::size_t k = 0; k < got.size(); ++k)
    Check(SameVertices(got[k], first[k]));
}

void Combine(const CKelBlockCubeArray& set)
{
  CKelBlockCubeArray combined = set;
  combined.CombineBlock(nullptr);
  Check(combined.size() <= set.size());
  CKelBlockCubeArray previous = set;
  combine_previous::Combine(previous, nullptr);
  Check(previous.size() == combined.size());
  for (std::size_t k = 0; k < combined.size(); ++k)
    Check(SameVertices(combined[k], previous[k]));
  if (Moderate(set)) {
    const double before = set.GetArea();
    const double after = combined.GetArea();
    Check(std::fabs(after - before) <= 1e-5 + 1e-9 * std::fabs(before));
  }
  CKelBlockCubeArray unionOutline = set;
  unionOutline.CombineBlock2(nullptr);
}

void SetOperations(const CKelBlockCubeArray& set)
{
  const auto half = static_cast<std::ptrdiff_t>(set.size() / 2);
  CKelBlockCubeArray A;
  CKelBlockCubeArray B;
  A.insert(A.end(), set.begin(), set.begin() + half);
  B.insert(B.end(), set.begin() + half, set.end());
  SameLists(A.SubBlock(nullptr, B), set_literal::Sub(A, nullptr, B));
  SameLists(A.AddBlock(nullptr, B), set_literal::Add(A, nullptr, B));
  SameLists(B.AndBlock(nullptr, A), set_literal::And(B, nullptr, A));
  A.SolidSubBlock(B);
  B.SolidSubBlock2(A);
  set.SolidSubBlock(set);
}

void Lines(const CKelBlockCubeArray& set)
{
  if (set.empty() || set.front().GetSize() < 2)
    return;
  const CKelCoord2D p1 = set.front().m_Coord[0];
  const CKelCoord2D p2 = set.front().m_Coord[1];
  CKelBlockCubeArray left;
  CKelBlockCubeArray right;
  set.DivideBlock(nullptr, p1, p2, left, right);
  CKelBlockCubeArray marked = set;
  marked.DivideBlock(nullptr, p1, p2, 1, 2);
  CKelBlockCubeArray cut = set;
  CKelBlockCubeArray removed;
  cut.CutBlock(nullptr, p1, p2, CKelBlockCube::DEL_TOP, &removed);
  cut.CutBlock(nullptr, p2, p1, 0, nullptr);
}

void Breps(const CKelBlockCubeArray& set)
{
  CKelBrep brep;
  brep.ToBrep(set);
  CheckBrep(brep);
  const CKelBlockCubeArray back = brep.ToKelBlock();
  Check(back.size() <= set.size());
  brep.ToKelArea();
  std::vector<CKelAreaCoord3D> tops;
  for (const CKelBlockCube& b : set)
    tops.push_back(b.ToArea());
  brep.ToBrep(tops, true);
  CheckBrep(brep);
  brep.ToKelBlock();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1)
    return 0;
  const int version = kVersions[(data[0] >> 4) % std::size(kVersions)];
  CKelMemoryArchive ar(std::vector<std::uint8_t>(data + 1, data + size), version);
  CKelBlockCubeArray list;
  if (!list.Serialize2(ar) || !Small(list))
    return 0;
  CKelBlockCubeArray set;
  set.AddBlock(list);
  Combine(set);
  SetOperations(set);
  Lines(set);
  Breps(set);
  return 0;
}
