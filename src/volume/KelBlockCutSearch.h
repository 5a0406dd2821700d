#pragma once
// The piece search of a block's division by a line, over the outline in the
// line's frame (vocabulary in CKelBlockCubeDivide.cpp): m_x is a vertex's
// position along the line, m_y its distance off it, 0.0 exactly for an
// on-line vertex. The search finds which chains of the outline become
// pieces, in the order it finds them (depth first, chain A before chain B),
// and hands each to its caller, so that the division (which makes the
// piece) and the set operations' direct work on far operands
// (KelFarOperand.cpp, which only looks at it) share it. It reads nothing
// but m_x and m_y, so any vertex type serves.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "CKelBlockCube.h"
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

// The chords still open on a piece: its on-line positions beyond the last
// chord taken on the way down (every smaller one was taken or lies on
// another piece). The two smallest name the next chord, each at the first
// place in the chain where it stands; more tells whether others follow.
struct OpenChords {
  int count = 0;  // 0, 1, 2, or 3 for "three or more"
  double x[2] = {0, 0};
  int at[2] = {-1, -1};
};

// FindOpenChords one entry at a time, in chain order, so that a pass that
// copies or measures a chain can find its chords as it goes.
class OpenChordScan {
public:
  explicit OpenChordScan(const double* lower) : m_Lower(lower) {}

  // The entry at chain position `at`, with its frame coordinates.
  void Add(double x, double y, int at)
  {
    if (y != 0.0 || !(m_Lower == nullptr || x > *m_Lower) || std::isnan(x))
      return;
    if (m_Open.count > 0 && x == m_Open.x[0])
      return;
    if (m_Open.count > 1 && x == m_Open.x[1])
      return;
    if (m_Open.count > 2 && x == m_Third)
      return;
    if (m_Open.count == 0 || x < m_Open.x[0]) {
      m_Third = m_Open.x[1];
      m_Open.x[1] = m_Open.x[0];
      m_Open.at[1] = m_Open.at[0];
      m_Open.x[0] = x;
      m_Open.at[0] = at;
    } else if (m_Open.count == 1 || x < m_Open.x[1]) {
      m_Third = m_Open.x[1];
      m_Open.x[1] = x;
      m_Open.at[1] = at;
    } else if (m_Open.count == 2 || x < m_Third) {
      m_Third = x;
    }
    m_Open.count = std::min(m_Open.count + 1, 3);
  }
  const OpenChords& Open() const { return m_Open; }

private:
  const double* m_Lower;
  OpenChords m_Open;
  double m_Third = 0;
};

template <class Coords>
OpenChords FindOpenChords(const Coords& coords, const IndexChain& chain, const double* lower)
{
  OpenChordScan scan(lower);
  for (std::size_t k = 0; k < chain.size(); ++k) {
    const auto& c = coords[static_cast<std::size_t>(chain[k])];
    scan.Add(c.m_x, c.m_y, static_cast<int>(k));
  }
  return scan.Open();
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

// What a search first asks of its chain: the sides it lies on and its open
// chords beyond the positions taken. The pass that copies a chain out of
// its parent works them out on the way.
struct ChainFacts {
  int sides = 0;
  OpenChords open;
};

// SidesOf and FindOpenChords of a chain in one pass.
template <class Coords>
ChainFacts FactsOf(const Coords& coords, const IndexChain& chain, const double* lower)
{
  ChainFacts facts;
  OpenChordScan scan(lower);
  for (std::size_t k = 0; k < chain.size(); ++k) {
    const auto& c = coords[static_cast<std::size_t>(chain[k])];
    facts.sides |= SideOf(c.m_y);
    scan.Add(c.m_x, c.m_y, static_cast<int>(k));
  }
  facts.open = scan.Open();
  return facts;
}

// Chain(chain, from, to), with the facts its search will ask for, worked
// out in the same pass.
template <class Coords>
IndexChain ChainWithFacts(const Coords& coords, const IndexChain& chain, int from, int to, double lower,
                          ChainFacts* facts)
{
  IndexChain part;
  const int n = static_cast<int>(chain.size());
  part.reserve(static_cast<std::size_t>((to - from + n) % n + 1));
  ChainFacts found;
  OpenChordScan scan(&lower);
  for (int i = from;; i = i + 1 == n ? 0 : i + 1) {
    const int v = chain[static_cast<std::size_t>(i)];
    const auto& c = coords[static_cast<std::size_t>(v)];
    found.sides |= SideOf(c.m_y);
    scan.Add(c.m_x, c.m_y, static_cast<int>(part.size()));
    part.push_back(v);
    if (i == to)
      break;
  }
  found.open = scan.Open();
  *facts = found;
  return part;
}

// The signed areas of the two chains a chord (from, to) cuts the chain
// into, each summed term for term as SignedShoelaceArea sums the chain
// Chain gives (its closing chord first, then its run), so that their signs
// are those of the chains themselves; neither chain is copied.
template <class Coords>
std::pair<double, double> ChordAreas(const Coords& coords, const IndexChain& chain, int from, int to)
{
  const int n = static_cast<int>(chain.size());
  const auto at = [&](int k) -> const auto& { return coords[static_cast<std::size_t>(chain[static_cast<std::size_t>(k)])]; };
  const auto term = [&](int prev, int cur) {
    const auto& p = at(prev);
    const auto& c = at(cur);
    return (p.m_x - c.m_x) * (p.m_y + c.m_y);
  };
  const auto runSum = [&](int a, int b) {
    double sum = 0;
    sum += term(b, a);
    for (int k = a; k != b;) {
      const int next = k + 1 == n ? 0 : k + 1;
      sum += term(k, next);
      k = next;
    }
    return 0.5 * sum;
  };
  return {runSum(from, to), runSum(to, from)};
}

// The sign of a chain's signed area: 0 within KelTol::BlockAreaSign for
// the model; for kKeepSlivers 0 only when no vertex lies off the line (all
// are snapped to v == 0.0 there, so such a chain sums to exactly 0).
inline int SignOfArea(double area, CKelBlockCube::ChainArea chains)
{
  const double none = chains == CKelBlockCube::ChainArea::kModel ? KelTol::BlockAreaSign : 0.0;
  if (std::fabs(area) <= none)
    return 0;
  return area > 0 ? 1 : -1;
}

// A chain waiting for its search, with the facts it will be asked for.
struct PendingChain {
  IndexChain chain;
  ChainFacts facts;
};

// The search's step on one chain (see Search): its pieces go to emit, or
// its two chains of area go on the list of those waiting, chain A last, so
// that it is searched first and to the end before chain B.
template <class Coords, class Emit>
bool SearchStep(const Coords& coords, PendingChain piece, std::vector<PendingChain>& waiting, Emit& emit,
                bool* done, CKelBlockCube::ChainArea chains)
{
  IndexChain& chain = piece.chain;
  // 1. On one side only (touching at most): the outline is a piece.
  if (piece.facts.sides == CKelBlockCube::DEL_TOP || piece.facts.sides == CKelBlockCube::DEL_BOT) {
    if (!emit(std::move(chain), false))
      return false;
    *done = true;
    return true;
  }
  // 2. The chord between the first two positions this outline holds.
  // 3. A chord outside the outline: the next one on the whole outline,
  //    which lies on both sides still.
  OpenChords open = piece.facts.open;
  int sA = 0;
  int sB = 0;
  double taken = 0;
  for (;;) {
    if (open.count < 2)
      return false;
    const auto [areaA, areaB] = ChordAreas(coords, chain, open.at[0], open.at[1]);
    sA = SignOfArea(areaA, chains);
    sB = SignOfArea(areaB, chains);
    taken = open.x[0];
    if (!(sA < 0 || sB < 0))
      break;
    open = FindOpenChords(coords, chain, &taken);
  }
  // 4. The last chord closes both chains as pieces.
  if (open.count == 2) {
    if (sA > 0 && !emit(Chain(chain, open.at[0], open.at[1]), true))
      return false;
    if (sB > 0 && !emit(Chain(chain, open.at[1], open.at[0]), true))
      return false;
    *done = true;
    return true;
  }
  // 5. Otherwise each chain of area is searched on; one of no area is
  //    dropped.
  if (sB > 0) {
    PendingChain b;
    b.chain = ChainWithFacts(coords, chain, open.at[1], open.at[0], taken, &b.facts);
    waiting.push_back(std::move(b));
  }
  if (sA > 0) {
    PendingChain a;
    a.chain = ChainWithFacts(coords, chain, open.at[0], open.at[1], taken, &a.facts);
    waiting.push_back(std::move(a));
  }
  return true;
}

// The search on the piece made of coords' vertices at the chain's indices,
// with the positions up to *lower (null: none) already taken. Each piece
// goes to emit(chain, eraseSame) as it is found, eraseSame telling whether
// its near vertices are erased when it is made (those closed by the last
// chord); *done once a piece is closed. False for a broken search: a
// self-crossing outline, or a piece emit refuses. Depth first, chain A
// before chain B; the chains wait on a list of their own rather than on
// the call stack, so that an outline the line crosses many times cannot
// exhaust it.
template <class Coords, class Emit>
bool Search(const Coords& coords, IndexChain chain, const double* lower, Emit& emit, bool* done,
            CKelBlockCube::ChainArea chains)
{
  std::vector<PendingChain> waiting;
  PendingChain whole;
  whole.facts = FactsOf(coords, chain, lower);
  whole.chain = std::move(chain);
  waiting.push_back(std::move(whole));
  while (!waiting.empty()) {
    PendingChain piece = std::move(waiting.back());
    waiting.pop_back();
    if (!SearchStep(coords, std::move(piece), waiting, emit, done, chains))
      return false;
  }
  return true;
}

}  // namespace KelPieceSearch
