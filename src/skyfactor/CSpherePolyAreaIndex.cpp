#include "CSpherePolyAreaIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

// --- Chains --------------------------------------------------------------------------------

SphereChainIndex::SphereChainIndex(const std::vector<CSphereBlkDataLineArray>& chains)
{
  Rebuild(chains);
}

namespace {

// The highest point number the table of SphereChainIndex holds.
constexpr int kDenseLast = 1 << 20;

}  // namespace

void SphereChainIndex::Rebuild(const std::vector<CSphereBlkDataLineArray>& chains)
{
  for (std::vector<Entry>& entries : m_Dense)
    entries.clear();
  m_Entries.clear();
  m_Base.assign(chains.size(), 0);
  for (std::size_t c = 0; c < chains.size(); ++c) {
    for (std::size_t k = 0; k < chains[c].size(); ++k)
      FileOf(chains[c][k]).push_back(Entry{c, static_cast<std::ptrdiff_t>(k)});
  }
}

const std::vector<SphereChainIndex::Entry>* SphereChainIndex::EntriesOf(int p) const
{
  if (p >= 0 && p <= kDenseLast)
    return static_cast<std::size_t>(p) < m_Dense.size() ? &m_Dense[static_cast<std::size_t>(p)] : nullptr;
  const auto found = m_Entries.find(p);
  return found == m_Entries.end() ? nullptr : &found->second;
}

std::vector<SphereChainIndex::Entry>& SphereChainIndex::FileOf(int p)
{
  if (p < 0 || p > kDenseLast)
    return m_Entries[p];
  if (static_cast<std::size_t>(p) >= m_Dense.size())
    m_Dense.resize(static_cast<std::size_t>(p) + 1);
  return m_Dense[static_cast<std::size_t>(p)];
}

const std::vector<SphereChainIndex::Place>& SphereChainIndex::PlacesOf(
    int p, const std::vector<CSphereBlkDataLineArray>& chains) const
{
  std::vector<Place>& places = m_Places;
  places.clear();
  const std::vector<Entry>* entries = EntriesOf(p);
  if (entries == nullptr)
    return places;
  for (const Entry& e : *entries) {
    const std::ptrdiff_t k = e.m_Pos + m_Base[e.m_Chain];
    if (k < 0 || static_cast<std::size_t>(k) >= chains[e.m_Chain].size() ||
        chains[e.m_Chain][static_cast<std::size_t>(k)] != p)
      continue;
    places.push_back(Place{e.m_Chain, static_cast<std::size_t>(k)});
  }
  if (places.size() < 2)
    return places;
  const auto key = [](const Place& x) { return std::pair{x.m_Chain, x.m_Pos}; };
  std::sort(places.begin(), places.end(), [&key](const Place& x, const Place& y) { return key(x) < key(y); });
  places.erase(std::unique(places.begin(), places.end(),
                           [&key](const Place& x, const Place& y) { return key(x) == key(y); }),
               places.end());
  return places;
}

void SphereChainIndex::PutInFront(std::size_t c, int p)
{
  ++m_Base[c];
  FileOf(p).push_back(Entry{c, -m_Base[c]});
}

void SphereChainIndex::PutAtBack(std::size_t c, int p, std::size_t pos)
{
  FileOf(p).push_back(Entry{c, static_cast<std::ptrdiff_t>(pos) - m_Base[c]});
}

void SphereChainIndex::AddChain(std::size_t c, const CSphereBlkDataLineArray& chain)
{
  m_Base.resize(c + 1, 0);
  m_Base[c] = 0;
  for (std::size_t k = 0; k < chain.size(); ++k)
    FileOf(chain[k]).push_back(Entry{c, static_cast<std::ptrdiff_t>(k)});
}

// --- Edge owners ---------------------------------------------------------------------------

namespace {

// Every edge of every polygon in SearchIdx's order (the closing edge first,
// then from position 0 on), polygon by polygon: the filing order.
template <class Visit>
void ForEachEdge(const CSpherePolyAreaArray& areas, const Visit& visit)
{
  for (std::size_t j = 0; j < areas.size(); ++j) {
    const CSpherePolyArea& area = areas[j];
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int p = k == 0 ? n - 1 : k - 1;
      const int from = area.IdxAt(p);
      const int to = area.IdxAt(p == n - 1 ? 0 : p + 1);
      visit(std::min(from, to), std::max(from, to), SphereEdgeOwners::Owner{static_cast<std::int32_t>(j), from, p});
    }
  }
}

// Runs up to this long are sorted in place by insertion, which takes no
// buffer, as the runs and cells mostly are.
constexpr std::ptrdiff_t kShortRun = 32;

// A stable sort.
template <class It, class Less>
void SortStably(It first, It last, const Less& less)
{
  if (last - first > kShortRun) {
    std::stable_sort(first, last, less);
    return;
  }
  for (It it = first; it != last; ++it) {
    auto e = std::move(*it);
    It hole = it;
    for (; hole != first && less(e, *(hole - 1)); --hole)
      *hole = std::move(*(hole - 1));
    *hole = std::move(e);
  }
}

}  // namespace

SphereEdgeOwners::SphereEdgeOwners(const CSpherePolyAreaArray& areas)
{
  std::int64_t lowLast = 0;
  bool any = false;
  ForEachEdge(areas, [&](int low, int, const Owner&) {
    m_LowFirst = any ? std::min<std::int64_t>(m_LowFirst, low) : low;
    lowLast = any ? std::max<std::int64_t>(lowLast, low) : low;
    any = true;
  });
  if (!any)
    return;
  // Counted by lower end, then filed at each end's cursor in filing order.
  const std::size_t ends = static_cast<std::size_t>(lowLast - m_LowFirst) + 1;
  m_RunStart.assign(ends + 1, 0);
  ForEachEdge(areas, [&](int low, int, const Owner&) { ++m_RunStart[static_cast<std::size_t>(low - m_LowFirst) + 1]; });
  for (std::size_t l = 1; l <= ends; ++l)
    m_RunStart[l] += m_RunStart[l - 1];
  m_Entries.resize(m_RunStart[ends]);
  ForEachEdge(areas, [&](int low, int high, const Owner& owner) {
    m_Entries[m_RunStart[static_cast<std::size_t>(low - m_LowFirst)]++] = Entry{high, owner};
  });
  // The cursors stand at the ends of their runs now: back to the starts,
  // with each run sorted and cut to the first entry of each polygon.
  std::size_t from = 0, out = 0;
  for (std::size_t l = 0; l < ends; ++l) {
    const std::size_t to = m_RunStart[l];
    SortRun(from, to);
    m_RunStart[l] = out;
    out = KeepFirstOfEach(from, to, out);
    from = to;
  }
  m_RunStart[ends] = out;
  m_Entries.resize(out);
}

void SphereEdgeOwners::SortRun(std::size_t from, std::size_t to)
{
  // Stable, so the filing order decides between equal keys.
  SortStably(m_Entries.begin() + static_cast<std::ptrdiff_t>(from), m_Entries.begin() + static_cast<std::ptrdiff_t>(to),
             [](const Entry& x, const Entry& y) {
               return std::pair{x.m_High, x.m_Owner.m_AreaNo} < std::pair{y.m_High, y.m_Owner.m_AreaNo};
             });
}

std::size_t SphereEdgeOwners::KeepFirstOfEach(std::size_t from, std::size_t to, std::size_t out)
{
  for (std::size_t k = from; k < to; ++k) {
    const Entry& e = m_Entries[k];
    if (k > from && e.m_High == m_Entries[k - 1].m_High && e.m_Owner.m_AreaNo == m_Entries[k - 1].m_Owner.m_AreaNo)
      continue;
    m_Entries[out++] = e;
  }
  return out;
}

SphereEdgeOwners::Owners SphereEdgeOwners::Of(int a, int b) const
{
  const std::int64_t low = static_cast<std::int64_t>(std::min(a, b)) - m_LowFirst;
  if (low < 0 || static_cast<std::size_t>(low) + 1 >= m_RunStart.size())
    return Owners(nullptr, nullptr);
  const Entry* first = m_Entries.data() + m_RunStart[static_cast<std::size_t>(low)];
  const Entry* last = m_Entries.data() + m_RunStart[static_cast<std::size_t>(low) + 1];
  const std::int32_t high = std::max(a, b);
  first = std::partition_point(first, last, [high](const Entry& e) { return e.m_High < high; });
  last = std::partition_point(first, last, [high](const Entry& e) { return e.m_High == high; });
  return Owners(first, last);
}

// --- Box grid ------------------------------------------------------------------------------

namespace {

// The box as the inside test grows it (the same subtractions and additions).
SphereBoxGrid::GrownBox Grown(const CSpherePolyArea& area, double grow)
{
  const CKelAreaCoord2D& o = area.m_AreaCoord;
  return SphereBoxGrid::GrownBox{o.m_xmin - grow, o.m_xmax + grow, o.m_ymin - grow, o.m_ymax + grow};
}

bool Finite(const SphereBoxGrid::GrownBox& b)
{
  return std::isfinite(b.xlo) && std::isfinite(b.xhi) && std::isfinite(b.ylo) && std::isfinite(b.yhi);
}

}  // namespace

SphereBoxGrid::SphereBoxGrid(const CSpherePolyAreaArray& areas, double grow)
{
  if (areas.empty())
    return;
  std::vector<GrownBox> boxes;
  boxes.reserve(areas.size());
  for (const CSpherePolyArea& area : areas) {
    boxes.push_back(Grown(area, grow));
    if (!Finite(boxes.back()))
      return;
  }
  GrownBox all = boxes[0];
  for (const GrownBox& b : boxes)
    all = GrownBox{std::fmin(all.xlo, b.xlo), std::fmax(all.xhi, b.xhi), std::fmin(all.ylo, b.ylo),
                   std::fmax(all.yhi, b.yhi)};
  // About two cells per polygon on either axis.
  const std::size_t side = 2 * static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(areas.size()))));
  m_XLow = all.xlo;
  m_YLow = all.ylo;
  m_XStep = (all.xhi - all.xlo) / static_cast<double>(side);
  m_YStep = (all.yhi - all.ylo) / static_cast<double>(side);
  if (!(m_XStep > 0) || !(m_YStep > 0) || !std::isfinite(m_XStep) || !std::isfinite(m_YStep))
    return;
  m_Cols = m_Rows = side;
  // Counted per cell, then filed at each cell's cursor in polygon order.
  m_CellStart.assign(m_Cols * m_Rows + 1, 0);
  ForEachCover(boxes, [this](std::size_t cell, std::size_t) { ++m_CellStart[cell + 1]; });
  for (std::size_t c = 1; c < m_CellStart.size(); ++c)
    m_CellStart[c] += m_CellStart[c - 1];
  m_Filed.resize(m_CellStart.back());
  std::vector<std::size_t> next(m_CellStart.begin(), m_CellStart.end() - 1);
  ForEachCover(boxes, [this, &next](std::size_t cell, std::size_t j) { m_Filed[next[cell]++] = j; });
}

template <class Visit>
void SphereBoxGrid::ForEachCover(const std::vector<GrownBox>& boxes, const Visit& visit) const
{
  for (std::size_t j = 0; j < boxes.size(); ++j) {
    const GrownBox& b = boxes[j];
    const std::size_t c0 = CellOf(b.xlo, m_XLow, m_XStep, m_Cols, -1), c1 = CellOf(b.xhi, m_XLow, m_XStep, m_Cols, 1);
    const std::size_t r0 = CellOf(b.ylo, m_YLow, m_YStep, m_Rows, -1), r1 = CellOf(b.yhi, m_YLow, m_YStep, m_Rows, 1);
    for (std::size_t r = r0; r <= r1; ++r) {
      for (std::size_t c = c0; c <= c1; ++c)
        visit(r * m_Cols + c, j);
    }
  }
}

std::optional<std::span<const std::size_t>> SphereBoxGrid::Near(const CKelCoord2D& p) const
{
  if (m_CellStart.empty() || !std::isfinite(p.m_x) || !std::isfinite(p.m_y))
    return std::nullopt;
  const std::size_t c = CellOf(p.m_x, m_XLow, m_XStep, m_Cols, 0);
  const std::size_t r = CellOf(p.m_y, m_YLow, m_YStep, m_Rows, 0);
  const std::size_t cell = r * m_Cols + c;
  return std::span<const std::size_t>(m_Filed.data() + m_CellStart[cell], m_Filed.data() + m_CellStart[cell + 1]);
}

void SphereBoxGrid::OrderCellsBy(const std::vector<double>& keys)
{
  for (std::size_t cell = 0; cell + 1 < m_CellStart.size(); ++cell) {
    const auto first = m_Filed.begin() + static_cast<std::ptrdiff_t>(m_CellStart[cell]);
    const auto last = m_Filed.begin() + static_cast<std::ptrdiff_t>(m_CellStart[cell + 1]);
    SortStably(first, last, [&keys](std::size_t x, std::size_t y) { return keys[x] < keys[y]; });
  }
}

std::size_t SphereBoxGrid::CellOf(double v, double low, double step, std::size_t count, int grow) const
{
  const double at = std::floor((v - low) / step) + grow;
  return static_cast<std::size_t>(std::fmin(std::fmax(at, 0.0), static_cast<double>(count - 1)));
}

// --- Floors --------------------------------------------------------------------------------

std::vector<double> SphereFloors(const CSpherePolyAreaArray& areas)
{
  std::vector<double> floors;
  floors.reserve(areas.size());
  for (const CSpherePolyArea& area : areas) {
    double floor = std::numeric_limits<double>::infinity();
    for (const CKelCoord2D& v : area.m_AreaCoord.m_pt) {
      if (!std::isfinite(v.m_x) || !std::isfinite(v.m_y)) {
        floor = -std::numeric_limits<double>::infinity();
        break;
      }
      floor = std::fmin(floor, v.m_y);
    }
    floors.push_back(floor);
  }
  return floors;
}
