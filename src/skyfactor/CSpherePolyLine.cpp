#include "CSpherePolyLine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <utility>

#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// A point of the chart as the pool keeps it: tag 1, disc position unset.
CSphereCoordD2D ChartPoint(const CKelCoord2D& p)
{
  return CSphereCoordD2D(0, 0, p.m_x, p.m_y, 1);
}

}  // namespace

// --- Pool ---------------------------------------------------------------------

namespace {

// Grid cells a hundred times the identity band, centred on the multiples of
// their width: the band of a point mostly falls in one cell, also on the
// horizon (elevation 0), where most contacts lie, and never in more than
// 2 x 2.
constexpr double kCell = 100 * KelTol::SkyDisc;
// Beyond this many cells from the origin the grid is not used.
constexpr double kMaxCell = 1e8;

std::int64_t CellKey(std::int64_t cx, std::int64_t cy)
{
  return cx * 4000000007LL + cy;
}

// The cell of a coordinate as a whole number; monotone in v.
double CellCoordinate(double v)
{
  return std::floor(v / kCell + 0.5);
}

// The cell of coordinate v when it is q's cell c or the one below, else c - 1.
std::int64_t CellBelow(double v, std::int64_t c)
{
  return CellCoordinate(v) >= static_cast<double>(c) ? c : c - 1;
}

// The cell of coordinate v when it is q's cell c or the one above, else c + 1.
std::int64_t CellAbove(double v, std::int64_t c)
{
  return CellCoordinate(v) <= static_cast<double>(c) ? c : c + 1;
}

}  // namespace

bool CSpherePolyCoordArray::CellOf(const CKelCoord2D& p, std::int64_t* cx, std::int64_t* cy)
{
  const double x = CellCoordinate(p.m_x);
  const double y = CellCoordinate(p.m_y);
  if (!(std::fabs(x) < kMaxCell && std::fabs(y) < kMaxCell))
    return false;
  *cx = static_cast<std::int64_t>(x);
  *cy = static_cast<std::int64_t>(y);
  return true;
}

std::size_t CSpherePolyCoordArray::Slot(std::int64_t key, std::size_t mask)
{
  return static_cast<std::size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ULL) >> 32) & mask;
}

void CSpherePolyCoordArray::File(std::int64_t key, int i) const
{
  if (2 * (m_Occupied + 1) > m_Cells.size()) {
    // Grown to twice the size; the cells keep their latest points.
    std::vector<Cell> old(std::max<std::size_t>(64, 2 * m_Cells.size()));
    old.swap(m_Cells);
    m_Occupied = 0;
    for (const Cell& cell : old) {
      if (cell.m_Latest >= 0) {
        std::size_t at = Slot(cell.m_Key, m_Cells.size() - 1);
        while (m_Cells[at].m_Latest >= 0)
          at = (at + 1) & (m_Cells.size() - 1);
        m_Cells[at] = cell;
        ++m_Occupied;
      }
    }
  }
  std::size_t at = Slot(key, m_Cells.size() - 1);
  while (m_Cells[at].m_Latest >= 0 && m_Cells[at].m_Key != key)
    at = (at + 1) & (m_Cells.size() - 1);
  if (m_Cells[at].m_Latest < 0) {
    m_Cells[at].m_Key = key;
    ++m_Occupied;
  }
  m_Before[static_cast<std::size_t>(i)] = m_Cells[at].m_Latest;
  m_Cells[at].m_Latest = i;
}

int CSpherePolyCoordArray::LatestIn(std::int64_t key) const
{
  if (m_Cells.empty())
    return -1;
  for (std::size_t at = Slot(key, m_Cells.size() - 1);; at = (at + 1) & (m_Cells.size() - 1)) {
    if (m_Cells[at].m_Latest < 0 || m_Cells[at].m_Key == key)
      return m_Cells[at].m_Latest;
  }
}

void CSpherePolyCoordArray::NoticeCutShort() const
{
  if (m_Before.size() > size()) {
    m_Cells.clear();
    m_Before.clear();
    m_Occupied = 0;
  }
  m_Separated = std::min(m_Separated, size());
}

void CSpherePolyCoordArray::IndexNewPoints() const
{
  while (m_Before.size() < size()) {
    const int i = static_cast<int>(m_Before.size());
    m_Before.push_back(-1);
    std::int64_t cx = 0, cy = 0;
    if (CellOf(Chart(i), &cx, &cy))
      File(CellKey(cx, cy), i);
  }
}

int CSpherePolyCoordArray::Search(const CSphereCoordD2D& p) const
{
  NoticeCutShort();
  const CKelCoord2D q(p.m_AD, p.m_AE);
  std::int64_t cx = 0, cy = 0;
  if (!CellOf(q, &cx, &cy)) {
    // Far off the chart (or not a number): the plain scan decides.
    for (std::size_t i = 0; i < size(); ++i) {
      if (length_2point(Chart(static_cast<int>(i)), q) <= KelTol::SkyDisc)
        return static_cast<int>(i);
    }
    return -1;
  }
  IndexNewPoints();
  // A pool point within the band lies in a cell that the band grown twice
  // touches, q's own or a neighbour; mostly q's own alone.
  const std::int64_t x0 = CellBelow(q.m_x - 2 * KelTol::SkyDisc, cx), x1 = CellAbove(q.m_x + 2 * KelTol::SkyDisc, cx);
  const std::int64_t y0 = CellBelow(q.m_y - 2 * KelTol::SkyDisc, cy), y1 = CellAbove(q.m_y + 2 * KelTol::SkyDisc, cy);
  int found = -1;
  for (std::int64_t x = x0; x <= x1; ++x) {
    for (std::int64_t y = y0; y <= y1; ++y) {
      for (int i = LatestIn(CellKey(x, y)); i >= 0; i = m_Before[static_cast<std::size_t>(i)]) {
        const CKelCoord2D c = Chart(i);
        // length_2point's test, its square root taken only within the band.
        if ((found < 0 || i < found) && KelEdge::WithinHypot(q.m_x - c.m_x, q.m_y - c.m_y, KelTol::SkyDisc))
          found = i;
      }
    }
  }
  return found;
}

int CSpherePolyCoordArray::Add(const CSphereCoordD2D& p)
{
  const int found = Search(p);
  if (found >= 0)
    return found;
  // The search clamped the separated points to the pool.
  const bool separated = m_Separated == size();
  push_back(p);
  m_Separated = separated ? size() : m_Separated;
  return static_cast<int>(size()) - 1;
}

int CSpherePolyCoordArray::Add(const CSphereCoordD2D& p, std::initializer_list<int> hints)
{
  // A pool cut short is noticed here as by a search, so that points pushed
  // past Add afterwards never count as separated.
  NoticeCutShort();
  for (const int k : hints) {
    if (!IsSeparated(k))
      continue;
    const CSphereCoordD2D& at = (*this)[static_cast<std::size_t>(k)];
    if (at.m_AD == p.m_AD && at.m_AE == p.m_AE)
      return k;
  }
  return Add(p);
}

double ChordElevation(const CKelCoord2D& p, const CKelCoord2D& q, double azimuth)
{
  if (azimuth == p.m_x)
    return p.m_y;
  if (azimuth == q.m_x)
    return q.m_y;
  return ChordElevationOnDisc(SphereDiscOf(p), SphereDiscOf(q), azimuth);
}

double ChordElevationOnDisc(const CKelCoord2D& a, const CKelCoord2D& b, double azimuth)
{
  const double dx = -std::cos(azimuth), dy = std::sin(azimuth);
  const double ex = b.m_x - a.m_x, ey = b.m_y - a.m_y;
  const double den = dx * ey - dy * ex;
  const double t = den != 0 ? std::clamp(-(dx * a.m_y - dy * a.m_x) / den, 0.0, 1.0) : 0.0;
  return std::acos(std::min(1.0, std::hypot(a.m_x + t * ex, a.m_y + t * ey)));
}

// --- Contacts -------------------------------------------------------------------

CrossPointSegment::CrossPointSegment(const CKelCoord2D& beg, const CKelCoord2D& end) : m_Beg(beg), m_End(end)
{
  m_HasDirection = CalcCosSin(beg, end, &m_Cos, &m_Sin, &m_Len);
}

CrossPointSegment::CrossPointSegment(const CSpherePolyCoordArray& pool, int beg, int end)
    : CrossPointSegment(pool.Chart(beg), pool.Chart(end))
{
  m_BegIdx = beg;
  m_EndIdx = end;
}

std::vector<int> CalcCrossPoint(CSpherePolyCoordArray* pool, const CKelCoord2D& SrcLineBeg,
                                const CKelCoord2D& SrcLineEnd, const CKelCoord2D& DstLineBeg,
                                const CKelCoord2D& DstLineEnd)
{
  int out[2] = {-1, -1};
  const int n = CalcCrossPoint(pool, CrossPointSegment(SrcLineBeg, SrcLineEnd), CrossPointSegment(DstLineBeg, DstLineEnd),
                               out);
  return std::vector<int>(out, out + n);
}

int CalcCrossPoint(CSpherePolyCoordArray* pool, const CrossPointSegment& src, const CrossPointSegment& dst, int out[2])
{
  // A source of no length has no line to meet.
  if (!src.m_HasDirection)
    return 0;
  const double len = src.m_Len;
  // The target's ends in the source's frame: along it from its start, and
  // across it.
  const struct {
    double u, v;
  } pc{src.Along(dst.m_Beg), src.Across(dst.m_Beg)}, pd{src.Along(dst.m_End), src.Across(dst.m_End)};
  const auto at = [&](double u) { return ChartPoint(src.At(u)); };
  if (std::fabs(pc.v - pd.v) > KelTol::SkyCrossParallel) {
    const double lo = std::min(pc.v, pd.v);
    const double hi = std::max(pc.v, pd.v);
    if (lo > KelTol::SkyDisc || hi < -KelTol::SkyDisc)
      return 0;
    const double u = pc.u - pc.v * (pd.u - pc.u) / (pd.v - pc.v);
    if (u < -KelTol::SkyCrossReach || u > len + KelTol::SkyCrossReach)
      return 0;
    const CKelCoord2D x = src.At(u);
    const double t = dst.Along(x);
    if (t < -KelTol::SkyCrossReach || t > dst.m_Len + KelTol::SkyCrossReach)
      return 0;
    out[0] = pool->Add(ChartPoint(x), {src.m_BegIdx, src.m_EndIdx, dst.m_BegIdx, dst.m_EndIdx});
    return 1;
  }
  if (std::fabs(pc.v) > KelTol::SkyCrossReach)
    return 0;
  // Collinear: the target's ends that fall on the source, in order along it
  // (the earlier end first where they are level).
  double along[2];
  int n = 0;
  for (double u : {pc.u, pd.u}) {
    if (src.Holds(u))
      along[n++] = u;
  }
  if (n == 2 && along[1] < along[0])
    std::swap(along[0], along[1]);
  for (int k = 0; k < n; ++k)
    out[k] = pool->Add(at(along[k]), {src.m_BegIdx, src.m_EndIdx, dst.m_BegIdx, dst.m_EndIdx});
  return n;
}

namespace {

// A contact lies within SkyCrossReach of both segments, and a collinear end
// within SkyDisc along and SkyCrossParallel + SkyCrossReach across the
// source; ten identity bands clear all of it with room for round-off.
constexpr double kReachMargin = 10 * KelTol::SkyDisc;

// Every one of a1, a2 below every one of b1, b2 by more than the margin;
// each comparison is false for a coordinate that is not a number.
bool AllBelow(double a1, double a2, double b1, double b2)
{
  return a1 + kReachMargin < b1 && a1 + kReachMargin < b2 && a2 + kReachMargin < b1 && a2 + kReachMargin < b2;
}

}  // namespace

bool CrossPointOutOfReach(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                          const CKelCoord2D& b2)
{
  return AllBelow(a1.m_x, a2.m_x, b1.m_x, b2.m_x) || AllBelow(b1.m_x, b2.m_x, a1.m_x, a2.m_x) ||
         AllBelow(a1.m_y, a2.m_y, b1.m_y, b2.m_y) || AllBelow(b1.m_y, b2.m_y, a1.m_y, a2.m_y);
}

CrossPointSpan::CrossPointSpan(const CKelCoord2D& p, const CKelCoord2D& q)
{
  Add(p);
  Add(q);
}

void CrossPointSpan::Add(const CKelCoord2D& p)
{
  if (std::isnan(p.m_x) || std::isnan(p.m_y))
    m_Numbers = false;
  m_Low.m_x = std::min(m_Low.m_x, p.m_x);
  m_Low.m_y = std::min(m_Low.m_y, p.m_y);
  m_High.m_x = std::max(m_High.m_x, p.m_x + kReachMargin);
  m_High.m_y = std::max(m_High.m_y, p.m_y + kReachMargin);
  ReachEverywhereWithoutNumbers();
}

void CrossPointSpan::Add(const CrossPointSpan& other)
{
  m_Numbers = m_Numbers && other.m_Numbers;
  m_Low.m_x = std::min(m_Low.m_x, other.m_Low.m_x);
  m_Low.m_y = std::min(m_Low.m_y, other.m_Low.m_y);
  m_High.m_x = std::max(m_High.m_x, other.m_High.m_x);
  m_High.m_y = std::max(m_High.m_y, other.m_High.m_y);
  ReachEverywhereWithoutNumbers();
}

void CrossPointSpan::ReachEverywhereWithoutNumbers()
{
  if (m_Numbers)
    return;
  const double inf = std::numeric_limits<double>::infinity();
  m_Low = CKelCoord2D(-inf, -inf);
  m_High = CKelCoord2D(inf, inf);
}

void CrossPointReach::Add(const CKelCoord2D& p)
{
  if (std::isnan(p.m_x) || std::isnan(p.m_y))
    m_Numbers = false;
  m_Min.m_x = std::min(m_Min.m_x, p.m_x);
  m_Min.m_y = std::min(m_Min.m_y, p.m_y);
  m_Max.m_x = std::max(m_Max.m_x, p.m_x);
  m_Max.m_y = std::max(m_Max.m_y, p.m_y);
}

bool CrossPointReach::Clear(const CKelCoord2D& p, const CKelCoord2D& q) const
{
  if (!m_Numbers)
    return false;
  return AllBelow(p.m_x, q.m_x, m_Min.m_x, m_Min.m_x) || AllBelow(m_Max.m_x, m_Max.m_x, p.m_x, q.m_x) ||
         AllBelow(p.m_y, q.m_y, m_Min.m_y, m_Min.m_y) || AllBelow(m_Max.m_y, m_Max.m_y, p.m_y, q.m_y);
}

// --- Segments ---------------------------------------------------------------------

namespace {

// A segment's ends as one key.
std::uint64_t SegmentKey(int beg, int end)
{
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(beg)) << 32) | static_cast<std::uint32_t>(end);
}

}  // namespace

void CSpherePolyLine::CalcAngle()
{
  const double dx = endC().m_AD - begC().m_AD;
  const double dy = endC().m_AE - begC().m_AE;
  m_Angle1 = std::atan2(dy, dx);
  m_Angle2 = std::atan2(-dy, -dx);
}

CSpherePolyLineArray::CSpherePolyLineArray(const CSpherePolyLineArray& other)
    : std::vector<CSpherePolyLine>(other), m_OutlineIdx(other.m_OutlineIdx), m_PolyCoord(other.m_PolyCoord)
{
  for (CSpherePolyLine& line : *this)
    line.m_pCoord = &m_PolyCoord;
}

CSpherePolyLineArray& CSpherePolyLineArray::operator=(const CSpherePolyLineArray& other)
{
  if (this != &other) {
    std::vector<CSpherePolyLine>::operator=(other);
    m_OutlineIdx = other.m_OutlineIdx;
    m_PolyCoord = other.m_PolyCoord;
    for (CSpherePolyLine& line : *this)
      line.m_pCoord = &m_PolyCoord;
  }
  return *this;
}

namespace {

// The segments' keys seen so far, in one table of open addressing sized
// for all the keys to come, instead of a node per key.
class SegmentSet {
public:
  explicit SegmentSet(std::size_t most)
  {
    std::size_t slots = 16;
    while (slots < 2 * most)
      slots *= 2;
    m_Slots.assign(slots, kFree);
  }

  // False when the key was there already.
  bool Insert(std::uint64_t key)
  {
    // The free mark is a key too (the segment from point -1 to point -1).
    if (key == kFree)
      return !std::exchange(m_HasFree, true);
    const std::size_t mask = m_Slots.size() - 1;
    for (std::size_t at = ((key * 0x9E3779B97F4A7C15ULL) >> 32) & mask;; at = (at + 1) & mask) {
      if (m_Slots[at] == key)
        return false;
      if (m_Slots[at] == kFree) {
        m_Slots[at] = key;
        return true;
      }
    }
  }

private:
  static constexpr std::uint64_t kFree = ~std::uint64_t{0};
  std::vector<std::uint64_t> m_Slots;
  bool m_HasFree = false;
};

// The ends of the segments there, for the look-ups of AddLines.
SegmentSet KnownSegments(const CSpherePolyLineArray& lines, std::size_t more)
{
  SegmentSet known(lines.size() + more);
  for (const CSpherePolyLine& l : lines)
    known.Insert(SegmentKey(l.m_Beg, l.m_End));
  return known;
}

// Whether p starts the segment p-q: the lower end, at equal height the
// left one; q when both coincide.
bool StartsSegment(const CSphereCoordD2D& p, const CSphereCoordD2D& q)
{
  return p.m_AE < q.m_AE || (p.m_AE == q.m_AE && p.m_AD < q.m_AD);
}

// Adds the segment from pool point beg to end unless its ends coincide or
// known holds it already.
void AddSegment(CSpherePolyLineArray& lines, int beg, int end, SegmentSet& known)
{
  if (beg == end || !known.Insert(SegmentKey(beg, end)))
    return;
  CSpherePolyLine line;
  line.m_pCoord = &lines.m_PolyCoord;
  line.m_Beg = beg;
  line.m_End = end;
  line.CalcAngle();
  lines.push_back(line);
}

}  // namespace

void CSpherePolyLineArray::AddLine(const CSphereCoordD2D& p, const CSphereCoordD2D& q)
{
  // The lower end starts the segment, at equal height the left one; q when
  // both coincide.
  const bool pFirst = StartsSegment(p, q);
  CSpherePolyLine line;
  line.m_pCoord = &m_PolyCoord;
  line.m_Beg = m_PolyCoord.Add(pFirst ? p : q);
  line.m_End = m_PolyCoord.Add(pFirst ? q : p);
  if (line.m_Beg == line.m_End)
    return;
  line.CalcAngle();
  const bool known = std::any_of(begin(), end(), [&line](const CSpherePolyLine& l) {
    return l.m_Beg == line.m_Beg && l.m_End == line.m_End;
  });
  if (!known)
    push_back(line);
}

void CSpherePolyLineArray::AddLines(const std::vector<std::pair<CSphereCoordD2D, CSphereCoordD2D>>& pairs)
{
  SegmentSet known = KnownSegments(*this, pairs.size());
  for (const auto& [p, q] : pairs) {
    const bool pFirst = StartsSegment(p, q);
    const int beg = m_PolyCoord.Add(pFirst ? p : q);
    AddSegment(*this, beg, m_PolyCoord.Add(pFirst ? q : p), known);
  }
}

void CSpherePolyLineArray::AddLines(const CSpherePolyCoordArray& pool, const std::vector<std::pair<int, int>>& edges)
{
  SegmentSet known = KnownSegments(*this, edges.size());
  std::vector<int> here(pool.size(), -1);
  const auto add = [&](int k) {
    int& at = here[static_cast<std::size_t>(k)];
    if (at < 0)
      at = m_PolyCoord.Add(pool[static_cast<std::size_t>(k)]);
    return at;
  };
  for (const auto& [a, b] : edges) {
    const bool aFirst = StartsSegment(pool[static_cast<std::size_t>(a)], pool[static_cast<std::size_t>(b)]);
    const int beg = add(aFirst ? a : b);
    AddSegment(*this, beg, add(aFirst ? b : a), known);
  }
}

void CSpherePolyLineArray::Insert(int pos, const CSpherePolyLine& line)
{
  insert(begin() + pos, line);
}

void CSpherePolyLineArray::SplitAt(int i, int p)
{
  CSpherePolyLine& line = (*this)[static_cast<std::size_t>(i)];
  CSpherePolyLine rest = line;
  rest.m_Beg = p;
  line.m_End = p;
  line.CalcAngle();
  rest.CalcAngle();
  Insert(i + 1, rest);
}

void CSpherePolyLineArray::CalcCrossPoint()
{
  for (int i = 0; i < static_cast<int>(size()); ++i) {
    for (int j = 0; j < static_cast<int>(size()); ++j) {
      if (j == i)
        continue;
      const CSpherePolyLine a = (*this)[static_cast<std::size_t>(i)];
      const CSpherePolyLine b = (*this)[static_cast<std::size_t>(j)];
      const CKelCoord2D a1 = m_PolyCoord.Chart(a.m_Beg), a2 = m_PolyCoord.Chart(a.m_End);
      const CKelCoord2D b1 = m_PolyCoord.Chart(b.m_Beg), b2 = m_PolyCoord.Chart(b.m_End);
      const std::vector<int> onA = ::CalcCrossPoint(&m_PolyCoord, a1, a2, b1, b2);
      const std::vector<int> onB = ::CalcCrossPoint(&m_PolyCoord, b1, b2, a1, a2);
      const bool splitA = !onA.empty() && onA.front() != a.m_Beg && onA.front() != a.m_End;
      const bool splitB = !onB.empty() && onB.front() != b.m_Beg && onB.front() != b.m_End;
      if (splitA && splitB) {
        // The later segment first, so the earlier keeps its position.
        if (i > j) {
          SplitAt(i, onA.front());
          SplitAt(j, onB.front());
          ++i;
        } else {
          SplitAt(j, onB.front());
          SplitAt(i, onA.front());
          ++j;
        }
      } else if (splitA) {
        SplitAt(i, onA.front());
        if (j > i)
          ++j;
      } else if (splitB) {
        SplitAt(j, onB.front());
        if (i > j)
          ++i;
      }
    }
  }
}

int CSpherePolyLineArray::StartOf(int r) const
{
  const CSpherePolyLine& l = (*this)[static_cast<std::size_t>(r > 0 ? r - 1 : -r - 1)];
  return r > 0 ? l.m_Beg : l.m_End;
}

int CSpherePolyLineArray::EndOf(int r) const
{
  const CSpherePolyLine& l = (*this)[static_cast<std::size_t>(r > 0 ? r - 1 : -r - 1)];
  return r > 0 ? l.m_End : l.m_Beg;
}

double CSpherePolyLineArray::GetAngle(int r) const
{
  const CSpherePolyLine& l = (*this)[static_cast<std::size_t>(r > 0 ? r - 1 : -r - 1)];
  return r > 0 ? l.m_Angle1 : l.m_Angle2;
}

int CSpherePolyLineArray::GetMinYIndex() const
{
  double yMin = 1e38;
  for (const CSpherePolyLine& l : *this)
    yMin = std::min(yMin, l.begC().m_AE);
  std::vector<int> candidates;
  const auto consider = [&](int r) {
    const double x = m_PolyCoord[static_cast<std::size_t>(StartOf(r))].m_AD;
    if (candidates.empty()) {
      candidates.push_back(r);
      return;
    }
    const double firstX = m_PolyCoord[static_cast<std::size_t>(StartOf(candidates.front()))].m_AD;
    if (x > firstX)
      candidates.assign(1, r);
    else if (x == firstX)
      candidates.push_back(r);
  };
  for (int k = 0; k < static_cast<int>(size()); ++k) {
    const CSpherePolyLine& l = (*this)[static_cast<std::size_t>(k)];
    if (l.begC().m_AE == yMin)
      consider(k + 1);
    if (l.endC().m_AE == yMin)
      consider(-(k + 1));
  }
  if (candidates.empty())
    return 0;
  // From the lowest point every direction lies in [0, pi]; -pi is pi.
  const auto direction = [this](int r) {
    const double a = GetAngle(r);
    return std::fabs(a + KelAngle::Pi) <= KelTol::SkyMinusPi ? KelAngle::Pi : a;
  };
  int best = candidates.front();
  for (int r : candidates) {
    if (direction(r) < direction(best))
      best = r;
  }
  return best;
}

int CSpherePolyLineArray::Search(int r) const
{
  std::vector<int> all(size());
  for (std::size_t k = 0; k < all.size(); ++k)
    all[k] = static_cast<int>(k);
  return Search(r, all);
}

int CSpherePolyLineArray::Search(int r, std::span<const int> near) const
{
  const int at = EndOf(r);
  const int from = StartOf(r);
  const int self = r > 0 ? r - 1 : -r - 1;
  const double angle = GetAngle(r);
  int best = 0;
  double bestTurn = 0;
  for (const int k : near) {
    if (k == self)
      continue;
    const CSpherePolyLine& l = (*this)[static_cast<std::size_t>(k)];
    int cand = 0;
    if (l.m_Beg == at)
      cand = k + 1;
    else if (l.m_End == at)
      cand = -(k + 1);
    if (cand == 0 || EndOf(cand) == from)
      continue;
    double turn = GetAngle(cand) - angle;
    if (turn >= KelAngle::Pi)
      turn -= KelAngle::TwoPi;
    else if (turn <= -KelAngle::Pi)
      turn += KelAngle::TwoPi;
    if (best == 0 || turn < bestTurn) {
      best = cand;
      bestTurn = turn;
    }
  }
  return best;
}

void CSpherePolyLineArray::RemoveDuplicates()
{
  // Mostly there are none, and then nothing moves.
  std::vector<std::uint64_t> keys;
  keys.reserve(size());
  for (const CSpherePolyLine& l : *this)
    keys.push_back(SegmentKey(l.m_Beg, l.m_End));
  std::sort(keys.begin(), keys.end());
  if (std::adjacent_find(keys.begin(), keys.end()) == keys.end())
    return;
  // Of equal segments the last one stays.
  std::vector<CSpherePolyLine> kept;
  SegmentSet later(size());
  for (auto it = rbegin(); it != rend(); ++it) {
    if (later.Insert(SegmentKey(it->m_Beg, it->m_End)))
      kept.push_back(*it);
  }
  assign(kept.rbegin(), kept.rend());
}

bool CSpherePolyLineArray::EndsInPool() const
{
  const auto inPool = [this](int p) { return p >= 0 && static_cast<std::size_t>(p) < m_PolyCoord.size(); };
  return std::all_of(begin(), end(), [&inPool](const CSpherePolyLine& l) { return inPool(l.m_Beg) && inPool(l.m_End); });
}

namespace {

// RemoveDangling's clean-up, with ends(p) the count of the segment ends at
// point p. A segment goes while one of its ends meets no other segment;
// taking it away may leave its neighbour dangling in turn, so a spur is
// eaten back to where it meets the rest whatever order its segments came
// in (a sliver seen edge-on leaves such spurs along the horizon, and one
// left standing leads the trace into a dead end).
template <class Ends>
std::vector<CSpherePolyLine> KeptUndangling(const std::vector<CSpherePolyLine>& lines, const Ends& ends)
{
  for (const CSpherePolyLine& l : lines) {
    ++ends(l.m_Beg);
    ++ends(l.m_End);
  }
  std::vector<bool> gone(lines.size(), false);
  std::size_t left = lines.size();
  for (bool changed = true; changed && left > 0;) {
    changed = false;
    for (std::size_t k = 0; k < lines.size(); ++k) {
      const CSpherePolyLine& l = lines[k];
      if (gone[k] || (ends(l.m_Beg) >= 2 && ends(l.m_End) >= 2))
        continue;
      gone[k] = true;
      --left;
      --ends(l.m_Beg);
      --ends(l.m_End);
      changed = true;
    }
  }
  std::vector<CSpherePolyLine> kept;
  kept.reserve(left);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (!gone[k])
      kept.push_back(lines[k]);
  }
  return kept;
}

}  // namespace

void CSpherePolyLineArray::RemoveDangling()
{
  std::vector<CSpherePolyLine> kept;
  if (EndsInPool()) {
    // The usual case: counted in a table by point number.
    std::vector<int> ends(m_PolyCoord.size(), 0);
    kept = KeptUndangling(*this, [&ends](int p) -> int& { return ends[static_cast<std::size_t>(p)]; });
  } else {
    std::unordered_map<int, int> ends;
    kept = KeptUndangling(*this, [&ends](int p) -> int& { return ends[p]; });
  }
  if (kept.size() != size())
    assign(kept.begin(), kept.end());
}

int CSpherePolyLineArray::Create2()
{
  m_OutlineIdx.clear();
  if (empty())
    return kNoOutline;
  RemoveDuplicates();
  RemoveDangling();
  // A segment kept that names a point outside the pool leaves nothing to
  // trace.
  if (empty() || !EndsInPool())
    return kNoOutline;
  int r = GetMinYIndex();
  if (r == 0)
    return kNoOutline;
  // The segments at each pool point, ascending, for the continuations: the
  // run of point p is from[p] to from[p + 1] of at.
  std::vector<int> from(m_PolyCoord.size() + 1, 0);
  for (const CSpherePolyLine& l : *this) {
    ++from[static_cast<std::size_t>(l.m_Beg) + 1];
    if (l.m_End != l.m_Beg)
      ++from[static_cast<std::size_t>(l.m_End) + 1];
  }
  for (std::size_t p = 1; p < from.size(); ++p)
    from[p] += from[p - 1];
  std::vector<int> at(static_cast<std::size_t>(from.back()));
  {
    std::vector<int> next(from.begin(), from.end() - 1);
    for (int k = 0; k < static_cast<int>(size()); ++k) {
      const CSpherePolyLine& l = (*this)[static_cast<std::size_t>(k)];
      at[static_cast<std::size_t>(next[static_cast<std::size_t>(l.m_Beg)]++)] = k;
      if (l.m_End != l.m_Beg)
        at[static_cast<std::size_t>(next[static_cast<std::size_t>(l.m_End)]++)] = k;
    }
  }
  const auto segmentsAt = [&](int p) {
    const std::size_t q = static_cast<std::size_t>(p);
    return std::span<const int>(at.data() + from[q], at.data() + from[q + 1]);
  };
  m_OutlineIdx.push_back(StartOf(r));
  m_OutlineIdx.push_back(EndOf(r));
  for (;;) {
    r = Search(r, segmentsAt(EndOf(r)));
    // A trace without continuation has no outline.
    if (r == 0)
      return kNoOutline;
    const int next = EndOf(r);
    if (next == m_OutlineIdx.front())
      return kTraced;
    // Around pieces joined by a run of segments of no width (faces seen
    // edge-on along the horizon), the trace runs that way and back: each
    // segment at most twice.
    if (m_OutlineIdx.size() > 2 * size())
      return kNoOutline;
    m_OutlineIdx.push_back(next);
  }
}

double CSpherePolyLineArray::GetArea() const
{
  double sum = 0;
  const std::size_t n = m_OutlineIdx.size();
  for (std::size_t i = 0; i < n; ++i) {
    const CKelCoord2D prev = m_PolyCoord.Chart(m_OutlineIdx[i == 0 ? n - 1 : i - 1]);
    const CKelCoord2D cur = m_PolyCoord.Chart(m_OutlineIdx[i]);
    sum += (prev.m_y + cur.m_y) * (prev.m_x - cur.m_x);
  }
  return sum / 2;
}
