#pragma once
// The piece search of a block's division by a line, over the outline in the
// line's frame (vocabulary in CKelBlockCubeDivide.cpp): m_x is a vertex's
// position along the line, m_y its distance off it, 0.0 exactly for an
// on-line vertex. The search finds which chains of the outline become
// pieces, in the order it finds them (depth first, chain A before chain B),
// and hands each to its caller, the division, which makes the piece. It
// reads nothing but m_x and m_y, so any vertex type serves.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
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

// The facts of a chain, one entry at a time in chain order.
class FactsScan {
public:
  explicit FactsScan(const double* lower) : m_Open(lower) {}
  template <class Point>
  void Add(const Point& c, int at)
  {
    m_Sides |= SideOf(c.m_y);
    m_Open.Add(c.m_x, c.m_y, at);
  }
  ChainFacts Facts() const { return {m_Sides, m_Open.Open()}; }

private:
  int m_Sides = 0;
  OpenChordScan m_Open;
};

// The sides and open chords of a chain in one pass.
template <class Coords>
ChainFacts FactsOf(const Coords& coords, const IndexChain& chain, const double* lower)
{
  FactsScan scan(lower);
  for (std::size_t k = 0; k < chain.size(); ++k)
    scan.Add(coords[static_cast<std::size_t>(chain[k])], static_cast<int>(k));
  return scan.Facts();
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
  FactsScan scan(&lower);
  for (int i = from;; i = i + 1 == n ? 0 : i + 1) {
    const int v = chain[static_cast<std::size_t>(i)];
    scan.Add(coords[static_cast<std::size_t>(v)], static_cast<int>(part.size()));
    part.push_back(v);
    if (i == to)
      break;
  }
  *facts = scan.Facts();
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
    return ShoelaceTerm(p.m_x, p.m_y, c.m_x, c.m_y);
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
inline double NoAreaBand(CKelBlockCube::ChainArea chains)
{
  return chains == CKelBlockCube::ChainArea::kModel ? KelTol::BlockAreaSign : 0.0;
}

inline int SignOfArea(double area, CKelBlockCube::ChainArea chains)
{
  const double none = NoAreaBand(chains);
  if (std::fabs(area) <= none)
    return 0;
  return area > 0 ? 1 : -1;
}

// --- Long chains --------------------------------------------------------------------------------
//
// A line that crosses an outline many times (a comb) makes the search cut
// one short chain after another off a long one. Copying the long one for
// every chord costs its whole length each time; here it stays where it is:
// its entries form a cyclic list in chain order (every chain's order is the
// outline's, with runs left out), a chord unlinks the shorter of its two
// runs, and only that run is copied out. What the search asks of the chain
// is kept up to date as entries leave:
//   sides        counts of the entries on either side;
//   open chords  the on-line entries sorted by position, ties taken in chain
//                order, as FindOpenChords takes them;
//   area signs   the shorter run's area is summed exactly as
//                SignedShoelaceArea sums the copied chain; the longer run's
//                is the chain's area less it, and its sign is taken from
//                that only when a bound on the round-off of both sums (and
//                of the chain's own area) cannot reach a threshold;
//                otherwise it is summed too.
// Answers are the same as those of the copying search, bit for bit.

// The open chords of a long chain: as OpenChords, with entries of the
// chain (local numbers) in place of positions.
struct LongChords {
  int count = 0;  // 0, 1, 2, or 3 for "three or more"
  double x[2] = {0, 0};
  int at[2] = {-1, -1};
};

// The signs of the two chains a chord cuts a long chain into, and what the
// cut needs of their areas.
struct ChordSigns {
  int a = 0;  // the run from the chord's first entry to its second
  int b = 0;  // the rest
  bool aShorter = false;
  double longArea = 0;   // the longer run's area: estimated, or summed
  double longBound = 0;  // a bound on the estimate's distance from the exact area
};

template <class Coords>
class LongChain {
public:
  LongChain(const Coords& coords, const IndexChain& chain) : m_Coords(&coords), m_Index(chain)
  {
    const int n = static_cast<int>(chain.size());
    m_Next.resize(chain.size());
    m_Prev.resize(chain.size());
    m_Alive.assign(chain.size(), 1);
    for (int k = 0; k < n; ++k) {
      m_Next[static_cast<std::size_t>(k)] = k + 1 == n ? 0 : k + 1;
      m_Prev[static_cast<std::size_t>(k)] = k == 0 ? n - 1 : k - 1;
      const int side = SideOf(Y(k));
      m_Top += side == CKelBlockCube::DEL_TOP ? 1 : 0;
      m_Bot += side == CKelBlockCube::DEL_BOT ? 1 : 0;
      if (Y(k) == 0.0 && !std::isnan(X(k)))
        m_ByX.emplace_back(X(k), k);
    }
    std::sort(m_ByX.begin(), m_ByX.end());
    m_Count = chain.size();
    const RunSum whole = SumRun(0, n - 1);
    m_Area = 0.5 * whole.sum;
    m_Terms = whole.terms;
    m_Bound = Bound(whole.entries, m_Terms);
  }

  int Sides() const
  {
    return (m_Top > 0 ? CKelBlockCube::DEL_TOP : 0) | (m_Bot > 0 ? CKelBlockCube::DEL_BOT : 0);
  }

  // FindOpenChords of the chain beyond *lower (null: none).
  LongChords Open(const double* lower) const
  {
    LongChords open;
    auto it = lower == nullptr ? m_ByX.begin()
                               : std::upper_bound(m_ByX.begin(), m_ByX.end(), *lower,
                                                  [](double v, const std::pair<double, int>& e) { return v < e.first; });
    while (it != m_ByX.end() && open.count < 3) {
      if (!m_Alive[static_cast<std::size_t>(it->second)]) {
        ++it;
        continue;
      }
      // The first entry in chain order of those at this position.
      const double x = it->first;
      int first = it->second;
      for (++it; it != m_ByX.end() && it->first == x; ++it) {
        if (m_Alive[static_cast<std::size_t>(it->second)] && Rank(it->second) < Rank(first))
          first = it->second;
      }
      if (open.count < 2) {
        open.x[open.count] = x;
        open.at[open.count] = first;
      }
      ++open.count;
    }
    return open;
  }

  // The signs of the chains of the chord from entry e0 to entry e1, each as
  // SignOfArea of its SignedShoelaceArea; the longer one's is left 0 when
  // the shorter one's is negative, which settles the chord.
  ChordSigns Signs(int e0, int e1, CKelBlockCube::ChainArea chains) const
  {
    ChordSigns signs;
    signs.aShorter = ShorterFirst(e0, e1);
    const int s0 = signs.aShorter ? e0 : e1;
    const int s1 = signs.aShorter ? e1 : e0;
    const RunSum shortRun = SumRun(s0, s1);
    const double shortArea = 0.5 * shortRun.sum;
    const int shortSign = SignOfArea(shortArea, chains);
    (signs.aShorter ? signs.a : signs.b) = shortSign;
    if (shortSign < 0)
      return signs;
    const std::size_t longEntries = m_Count - shortRun.entries + 2;
    const double estimate = m_Area - shortArea;
    const double eps = std::numeric_limits<double>::epsilon();
    const double reach = m_Bound + Bound(shortRun.entries, shortRun.terms) + Bound(longEntries, m_Terms) +
                         2 * eps * std::fabs(estimate);
    int longSign = SureSign(estimate, reach, chains);
    signs.longArea = estimate;
    signs.longBound = m_Bound + Bound(shortRun.entries, shortRun.terms) + 2 * eps * std::fabs(estimate);
    if (longSign == kUnsure) {
      const RunSum longRun = SumRun(s1, s0);
      signs.longArea = 0.5 * longRun.sum;
      signs.longBound = Bound(longRun.entries, m_Terms);
      longSign = SignOfArea(signs.longArea, chains);
    }
    (signs.aShorter ? signs.b : signs.a) = longSign;
    return signs;
  }

  // Chain(chain, from, to) in frame indices, from entry `from` to entry `to`.
  IndexChain Run(int from, int to) const
  {
    IndexChain out;
    for (int k = from;; k = m_Next[static_cast<std::size_t>(k)]) {
      out.push_back(m_Index[static_cast<std::size_t>(k)]);
      if (k == to)
        break;
    }
    return out;
  }

  IndexChain Whole() const { return Run(m_Start, m_Prev[static_cast<std::size_t>(m_Start)]); }

  // Keeps the run from `from` to `to` in place as the chain (starting at
  // `from`), the entries strictly between `to` and `from` leaving it;
  // area is the kept run's area within bound.
  void Keep(int from, int to, double area, double bound)
  {
    for (int k = m_Next[static_cast<std::size_t>(to)]; k != from; k = m_Next[static_cast<std::size_t>(k)]) {
      m_Alive[static_cast<std::size_t>(k)] = 0;
      const int side = SideOf(Y(k));
      m_Top -= side == CKelBlockCube::DEL_TOP ? 1 : 0;
      m_Bot -= side == CKelBlockCube::DEL_BOT ? 1 : 0;
      --m_Count;
      ++m_Dead;
    }
    m_Next[static_cast<std::size_t>(to)] = from;
    m_Prev[static_cast<std::size_t>(from)] = to;
    m_Start = from;
    m_Area = area;
    m_Bound = bound;
    if (m_Dead > m_ByX.size() / 2 + 64)
      DropDeadPositions();
  }

private:
  static constexpr int kUnsure = 2;

  struct RunSum {
    double sum = 0;
    double terms = 0;  // the sum of the terms' sizes
    std::size_t entries = 0;
  };

  double X(int k) const { return (*m_Coords)[static_cast<std::size_t>(m_Index[static_cast<std::size_t>(k)])].m_x; }
  double Y(int k) const { return (*m_Coords)[static_cast<std::size_t>(m_Index[static_cast<std::size_t>(k)])].m_y; }

  // Entries in chain order from the start.
  std::size_t Rank(int k) const
  {
    const std::size_t n = m_Index.size();
    return (static_cast<std::size_t>(k) + n - static_cast<std::size_t>(m_Start)) % n;
  }

  // SignedShoelaceArea's sum of the chain Chain gives from `from` to `to`:
  // its closing chord first, then its run, term for term.
  RunSum SumRun(int from, int to) const
  {
    RunSum run;
    const auto term = [&](int prev, int cur) {
      const double t = ShoelaceTerm(X(prev), Y(prev), X(cur), Y(cur));
      run.sum += t;
      run.terms += std::fabs(t);
    };
    term(to, from);
    run.entries = 1;
    for (int k = from; k != to;) {
      const int next = m_Next[static_cast<std::size_t>(k)];
      term(k, next);
      ++run.entries;
      k = next;
    }
    return run;
  }

  // Walks both runs of the chord a step at a time: true when the run from
  // e0 to e1 ends first (or together).
  bool ShorterFirst(int e0, int e1) const
  {
    for (int a = e0, b = e1;;) {
      if (a == e1)
        return true;
      if (b == e0)
        return false;
      a = m_Next[static_cast<std::size_t>(a)];
      b = m_Next[static_cast<std::size_t>(b)];
    }
  }

  // A bound on how far half a sum of `entries` terms, each a product of a
  // difference and a sum, of sizes adding up to `terms`, lies from its exact
  // value: (entries + 2) round-offs of the whole size, doubled.
  static double Bound(std::size_t entries, double terms)
  {
    return static_cast<double>(entries + 4) * std::numeric_limits<double>::epsilon() * terms;
  }

  // SignOfArea of any area within `reach` of estimate, or kUnsure when the
  // reach meets a threshold (or a number is missing).
  static int SureSign(double estimate, double reach, CKelBlockCube::ChainArea chains)
  {
    const double none = NoAreaBand(chains);
    const double lo = estimate - reach;
    const double hi = estimate + reach;
    if (lo > none)
      return 1;
    if (hi < -none)
      return -1;
    if (lo >= -none && hi <= none && none > 0)
      return 0;
    return kUnsure;
  }

  void DropDeadPositions()
  {
    std::erase_if(m_ByX, [this](const std::pair<double, int>& e) { return !m_Alive[static_cast<std::size_t>(e.second)]; });
    m_Dead = 0;
  }

  const Coords* m_Coords;
  IndexChain m_Index;  // the frame index of each entry
  std::vector<int> m_Next;
  std::vector<int> m_Prev;
  std::vector<unsigned char> m_Alive;
  std::vector<std::pair<double, int>> m_ByX;  // on-line entries by position
  int m_Start = 0;
  std::size_t m_Count = 0;
  std::size_t m_Dead = 0;  // entries that left since the positions were last tidied
  int m_Top = 0;
  int m_Bot = 0;
  double m_Area = 0;   // the chain's area, within m_Bound of the exact one
  double m_Bound = 0;
  double m_Terms = 0;  // the size of the chain's terms, at most
};

// Chains at least this long are cut in place.
constexpr std::size_t kLongChain = 256;

// A chain waiting for its search: copied, with the facts it will be asked
// for, or long and cut in place, with the positions taken before it.
template <class Coords>
struct PendingChain {
  IndexChain chain;
  ChainFacts facts;
  std::unique_ptr<LongChain<Coords>> cut;
  double taken = 0;
  bool anyTaken = false;
};

// A chain copied out of its parent, with the positions up to `taken`
// taken, ready to wait: cut in place from longFrom entries on.
template <class Coords>
PendingChain<Coords> PendingOf(const Coords& coords, IndexChain chain, const double* taken, std::size_t longFrom)
{
  PendingChain<Coords> pending;
  if (chain.size() >= longFrom) {
    pending.cut = std::make_unique<LongChain<Coords>>(coords, chain);
    pending.taken = taken == nullptr ? 0 : *taken;
    pending.anyTaken = taken != nullptr;
    return pending;
  }
  pending.facts = FactsOf(coords, chain, taken);
  pending.chain = std::move(chain);
  return pending;
}

// The search's step on one copied chain (see Search): its pieces go to
// emit, or its two chains of area go on the list of those waiting, chain A
// last, so that it is searched first and to the end before chain B.
template <class Coords, class Emit>
bool SearchStep(const Coords& coords, PendingChain<Coords> piece, std::vector<PendingChain<Coords>>& waiting,
                Emit& emit, bool* done, CKelBlockCube::ChainArea chains)
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
    PendingChain<Coords> b;
    b.chain = ChainWithFacts(coords, chain, open.at[1], open.at[0], taken, &b.facts);
    waiting.push_back(std::move(b));
  }
  if (sA > 0) {
    PendingChain<Coords> a;
    a.chain = ChainWithFacts(coords, chain, open.at[0], open.at[1], taken, &a.facts);
    waiting.push_back(std::move(a));
  }
  return true;
}

// The same step on a long chain: the same answers, the shorter chain of a
// chord copied out and the longer kept in place.
template <class Coords, class Emit>
bool LongStep(const Coords& coords, PendingChain<Coords> piece, std::vector<PendingChain<Coords>>& waiting,
              Emit& emit, bool* done, CKelBlockCube::ChainArea chains, std::size_t longFrom)
{
  LongChain<Coords>& chain = *piece.cut;
  const int sides = chain.Sides();
  if (sides == CKelBlockCube::DEL_TOP || sides == CKelBlockCube::DEL_BOT) {
    if (!emit(chain.Whole(), false))
      return false;
    *done = true;
    return true;
  }
  LongChords open = chain.Open(piece.anyTaken ? &piece.taken : nullptr);
  ChordSigns signs;
  double taken = 0;
  for (;;) {
    if (open.count < 2)
      return false;
    signs = chain.Signs(open.at[0], open.at[1], chains);
    taken = open.x[0];
    if (!(signs.a < 0 || signs.b < 0))
      break;
    open = chain.Open(&taken);
  }
  const int e0 = open.at[0];
  const int e1 = open.at[1];
  if (open.count == 2) {
    if (signs.a > 0 && !emit(chain.Run(e0, e1), true))
      return false;
    if (signs.b > 0 && !emit(chain.Run(e1, e0), true))
      return false;
    *done = true;
    return true;
  }
  const int shortSign = signs.aShorter ? signs.a : signs.b;
  const int longSign = signs.aShorter ? signs.b : signs.a;
  PendingChain<Coords> shorter;
  PendingChain<Coords> longer;
  if (shortSign > 0)
    shorter = PendingOf(coords, signs.aShorter ? chain.Run(e0, e1) : chain.Run(e1, e0), &taken, longFrom);
  if (longSign > 0) {
    if (signs.aShorter)
      chain.Keep(e1, e0, signs.longArea, signs.longBound);
    else
      chain.Keep(e0, e1, signs.longArea, signs.longBound);
    longer.cut = std::move(piece.cut);
    longer.taken = taken;
    longer.anyTaken = true;
  }
  PendingChain<Coords>& a = signs.aShorter ? shorter : longer;
  PendingChain<Coords>& b = signs.aShorter ? longer : shorter;
  if (signs.b > 0)
    waiting.push_back(std::move(b));
  if (signs.a > 0)
    waiting.push_back(std::move(a));
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
// exhaust it. Chains of longFrom entries or more are cut in place; the
// answers do not depend on it.
template <class Coords, class Emit>
bool Search(const Coords& coords, IndexChain chain, const double* lower, Emit& emit, bool* done,
            CKelBlockCube::ChainArea chains, std::size_t longFrom = kLongChain)
{
  std::vector<PendingChain<Coords>> waiting;
  waiting.push_back(PendingOf(coords, std::move(chain), lower, longFrom));
  while (!waiting.empty()) {
    PendingChain<Coords> piece = std::move(waiting.back());
    waiting.pop_back();
    const bool ok = piece.cut != nullptr ? LongStep(coords, std::move(piece), waiting, emit, done, chains, longFrom)
                                         : SearchStep(coords, std::move(piece), waiting, emit, done, chains);
    if (!ok)
      return false;
  }
  return true;
}

}  // namespace KelPieceSearch
