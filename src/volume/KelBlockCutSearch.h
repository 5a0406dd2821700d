#pragma once
// The piece search of a block's division by a line, over the outline in the
// line's frame (vocabulary in CKelBlockCubeDivide.cpp): m_x is a vertex's
// position along the line, m_y its distance off it, 0.0 exactly for an
// on-line vertex. The search finds which chains of the outline become
// pieces, in the order it finds them (depth first, chain A before chain B),
// and hands each to its caller, so that the division (which makes the
// piece) and the set operations' direct work on far operands
// (CKelBlockCubeArraySet.cpp, which only looks at it) share it. It reads
// nothing but m_x and m_y, so any vertex type serves.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "CKelBlockCube.h"
#include "KelOutlineIndex.h"
#include "KelTolerance.h"

namespace KelPieceSearch {

// A side of the line by a frame distance: DEL_TOP left, DEL_BOT right,
// DEL_NONE within the on-line band.
inline int SideOf(double v)
{
  if (v >= KelTol::BlockPoint)
    return CKelBlockCube::DEL_TOP;
  if (v <= -KelTol::BlockPoint)
    return CKelBlockCube::DEL_BOT;
  return CKelBlockCube::DEL_NONE;
}

// A piece under search is a list of indices into the frame outline: the
// search only regroups vertices, so copying indices instead of vertices
// keeps each level's work to one pass over the piece's own length.
using IndexChain = std::vector<int>;

// Entries from position `from` forward to position `to`, both included.
inline IndexChain Chain(const IndexChain& chain, int from, int to)
{
  IndexChain part;
  const int n = static_cast<int>(chain.size());
  part.reserve(static_cast<std::size_t>((to - from + n) % n + 1));
  for (int i = from;; i = (i + 1) % n) {
    part.push_back(chain[static_cast<std::size_t>(i)]);
    if (i == to)
      break;
  }
  return part;
}

template <class Coords>
int SidesOf(const Coords& coords, const IndexChain& chain)
{
  int sides = 0;
  for (const int i : chain)
    sides |= SideOf(coords[static_cast<std::size_t>(i)].m_y);
  return sides;
}

// The signed area's sign: 0 within KelTol::BlockAreaSign for the model; for
// kKeepSlivers 0 only when no vertex lies off the line (all are snapped to
// v == 0.0 there, so such a chain sums to exactly 0). The sum runs in the
// order of every outline area (SignedShoelaceArea) so that the sign is the
// one the vertices themselves would give.
template <class Coords>
int AreaSign(const Coords& coords, const IndexChain& chain, CKelBlockCube::ChainArea chains)
{
  const double area = SignedShoelaceArea(chain, [&](int i) -> const auto& { return coords[static_cast<std::size_t>(i)]; });
  const double none = chains == CKelBlockCube::ChainArea::kModel ? KelTol::BlockAreaSign : 0.0;
  if (std::fabs(area) <= none)
    return 0;
  return area > 0 ? 1 : -1;
}

// The chords still open on a piece: its on-line positions beyond the last
// chord taken on the way down (every smaller one was taken or lies on
// another piece). The two smallest name the next chord, each at the first
// place in the chain where it stands; more tells whether others follow.
struct OpenChords {
  int count = 0;  // 0, 1, 2, or 3 for "three or more"
  double x[2] = {0, 0};
  int at[2] = {-1, -1};
};

template <class Coords>
OpenChords FindOpenChords(const Coords& coords, const IndexChain& chain, const double* lower)
{
  OpenChords open;
  double third = 0;
  for (std::size_t k = 0; k < chain.size(); ++k) {
    const auto& c = coords[static_cast<std::size_t>(chain[k])];
    const double x = c.m_x;
    if (c.m_y != 0.0 || !(lower == nullptr || x > *lower) || std::isnan(x))
      continue;
    const int at = static_cast<int>(k);
    if (open.count > 0 && x == open.x[0])
      continue;
    if (open.count > 1 && x == open.x[1])
      continue;
    if (open.count > 2 && x == third)
      continue;
    if (open.count == 0 || x < open.x[0]) {
      third = open.x[1];
      open.x[1] = open.x[0];
      open.at[1] = open.at[0];
      open.x[0] = x;
      open.at[0] = at;
    } else if (open.count == 1 || x < open.x[1]) {
      third = open.x[1];
      open.x[1] = x;
      open.at[1] = at;
    } else if (open.count == 2 || x < third) {
      third = x;
    }
    open.count = std::min(open.count + 1, 3);
  }
  return open;
}

// Whether the on-line vertices stand at two positions or more, told apart as
// DivideAddXpos tells them (by ==, so that a NaN is a position of its own):
// only then is there a chord to divide along.
template <class Coords>
bool HasTwoPositions(const Coords& coords)
{
  const auto* first = static_cast<const typename Coords::value_type*>(nullptr);
  for (const auto& c : coords) {
    if (c.m_y != 0.0)
      continue;
    if (first == nullptr)
      first = &c;
    else if (!(c.m_x == first->m_x))
      return true;
  }
  return false;
}

// The search on the piece made of coords' vertices at the chain's indices,
// with the positions up to *lower (null: none) already taken. Each piece
// goes to emit(chain, eraseSame) as it is found, eraseSame telling whether
// its near vertices are erased when it is made (those closed by the last
// chord); *done once a piece is closed. False for a broken search: a
// self-crossing outline, or a piece emit refuses.
template <class Coords, class Emit>
bool Search(const Coords& coords, IndexChain chain, const double* lower, Emit& emit, bool* done,
            CKelBlockCube::ChainArea chains)
{
  // 1. On one side only (touching at most): the outline is a piece.
  const int sides = SidesOf(coords, chain);
  if (sides == CKelBlockCube::DEL_TOP || sides == CKelBlockCube::DEL_BOT) {
    if (!emit(std::move(chain), false))
      return false;
    *done = true;
    return true;
  }
  // 2. The chord between the first two positions this outline holds.
  const OpenChords open = FindOpenChords(coords, chain, lower);
  if (open.count < 2)
    return false;
  IndexChain chainA = Chain(chain, open.at[0], open.at[1]);
  IndexChain chainB = Chain(chain, open.at[1], open.at[0]);
  const int sA = AreaSign(coords, chainA, chains);
  const int sB = AreaSign(coords, chainB, chains);
  const double taken = open.x[0];

  // 3. A chord outside the outline: try the next one on the whole outline.
  if (sA < 0 || sB < 0)
    return Search(coords, std::move(chain), &taken, emit, done, chains);
  // 4. The last chord closes both chains as pieces.
  if (open.count == 2) {
    if (sA > 0 && !emit(std::move(chainA), true))
      return false;
    if (sB > 0 && !emit(std::move(chainB), true))
      return false;
    *done = true;
    return true;
  }
  // 5. Otherwise each chain of area is searched on; one of no area is dropped.
  if (sA > 0 && !Search(coords, std::move(chainA), &taken, emit, done, chains))
    return false;
  return !(sB > 0) || Search(coords, std::move(chainB), &taken, emit, done, chains);
}

}  // namespace KelPieceSearch
