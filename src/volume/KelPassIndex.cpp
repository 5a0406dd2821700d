#include "KelPassIndex.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "KelTolerance.h"

namespace {

// A bound, relative to the sizes of the coordinates, on the round-off of
// the test's h and of this index's projections: a few ulps each, taken a
// thousand times over, still far below the on-line band for any plan.
constexpr double kRoundOff = 1e-12;

bool Finite(const CKelCoord2D& p) { return std::isfinite(p.m_x) && std::isfinite(p.m_y); }

double SizeOf(const CKelCoord2D& p) { return std::fabs(p.m_x) + std::fabs(p.m_y); }

bool Meet(const KelEdge::Extents& a, const KelEdge::Extents& b)
{
  return a.xmin <= b.xmax && b.xmin <= a.xmax && a.ymin <= b.ymax && b.ymin <= a.ymax;
}

}  // namespace

KelPassIndex::KelPassIndex(const std::vector<Operand>& operands)
{
  for (std::size_t i = 0; i < operands.size(); ++i)
    Add(i, operands[i]);
  for (Group& group : m_Groups)
    std::sort(group.entries.begin(), group.entries.end(),
              [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
  std::sort(m_Boxes.begin(), m_Boxes.end(),
            [](const BoxEntry& a, const BoxEntry& b) { return a.box.xmin < b.box.xmin; });
}

void KelPassIndex::Add(std::size_t number, const Operand& operand)
{
  std::vector<std::size_t> groups;
  const bool finite = std::all_of(operand.vertices.begin(), operand.vertices.end(), Finite);
  if (!operand.usable || !finite || !GroupLines(operand, groups)) {
    m_Always.push_back(number);
    return;
  }
  std::size_t g = 0;
  for (const std::vector<Line>& piece : operand.pieces) {
    for (const Line& line : piece) {
      Group& group = m_Groups[groups[g++]];
      group.entries.push_back({line.c * line.p.m_y - line.s * line.p.m_x, number});
      group.scale = std::max(group.scale, SizeOf(line.p));
    }
  }
  if (operand.vertices.empty())
    return;  // no piece: no box for a block to lie in
  const KelEdge::Extents box = ExtentsOf(operand.vertices);
  m_Boxes.push_back({box, number});
  m_MaxWidth = std::max(m_MaxWidth, box.xmax - box.xmin);
}

// The group of each line of the operand, made where missing; false where a
// line is not finite, a piece has no edge (the test never passes it) or
// the groups run out.
bool KelPassIndex::GroupLines(const Operand& operand, std::vector<std::size_t>& groups)
{
  for (const std::vector<Line>& piece : operand.pieces) {
    if (piece.empty())
      return false;
    for (const Line& line : piece) {
      if (!std::isfinite(line.c) || !std::isfinite(line.s) || !Finite(line.p))
        return false;
      const auto same = [&](const Group& g) { return g.c == line.c && g.s == line.s; };
      const auto found = std::find_if(m_Groups.begin(), m_Groups.end(), same);
      if (found != m_Groups.end()) {
        groups.push_back(static_cast<std::size_t>(found - m_Groups.begin()));
        continue;
      }
      if (m_Groups.size() == kMaxGroups)
        return false;
      m_Groups.push_back({line.c, line.s, 0.0, {}});
      groups.push_back(m_Groups.size() - 1);
    }
  }
  return true;
}

bool KelPassIndex::Candidates(const KelEdge::Extents& box, std::size_t from, std::vector<std::size_t>& out) const
{
  if (!std::isfinite(box.xmin) || !std::isfinite(box.xmax) || !std::isfinite(box.ymin) || !std::isfinite(box.ymax))
    return false;
  out.clear();
  for (const std::size_t operand : m_Always)
    if (operand >= from)
      out.push_back(operand);
  LinesNear(box, from, out);
  BoxesMeeting(box, from, out);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return true;
}

// The operands with a line whose widened band meets the box. The test's h
// of a point of the box is the line's offset taken from the point's
// projection c y - s x, which over the box ranges between the corners'
// projections; each of these figures is off by round-off only.
void KelPassIndex::LinesNear(const KelEdge::Extents& box, std::size_t from, std::vector<std::size_t>& out) const
{
  const std::array<CKelCoord2D, 4> corners{CKelCoord2D(box.xmin, box.ymin), CKelCoord2D(box.xmax, box.ymin),
                                           CKelCoord2D(box.xmin, box.ymax), CKelCoord2D(box.xmax, box.ymax)};
  const double size = std::max(std::fabs(box.xmin), std::fabs(box.xmax)) +
                      std::max(std::fabs(box.ymin), std::fabs(box.ymax));
  for (const Group& group : m_Groups) {
    double lo = HUGE_VAL;
    double hi = -HUGE_VAL;
    for (const CKelCoord2D& p : corners) {
      const double projection = group.c * p.m_y - group.s * p.m_x;
      lo = std::min(lo, projection);
      hi = std::max(hi, projection);
    }
    const double reach = KelTol::BlockPoint + kRoundOff * (1 + size + group.scale);
    const auto below = [](const Entry& e, double v) { return e.offset < v; };
    auto it = std::lower_bound(group.entries.begin(), group.entries.end(), lo - reach, below);
    for (; it != group.entries.end() && it->offset <= hi + reach; ++it)
      if (it->operand >= from)
        out.push_back(it->operand);
  }
}

void KelPassIndex::BoxesMeeting(const KelEdge::Extents& box, std::size_t from, std::vector<std::size_t>& out) const
{
  const auto below = [](const BoxEntry& e, double v) { return e.box.xmin < v; };
  auto it = std::lower_bound(m_Boxes.begin(), m_Boxes.end(), box.xmin - m_MaxWidth, below);
  for (; it != m_Boxes.end() && it->box.xmin <= box.xmax; ++it)
    if (it->operand >= from && Meet(it->box, box))
      out.push_back(it->operand);
}
