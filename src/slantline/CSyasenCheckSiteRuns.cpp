#include "CSyasenCheckSiteRuns.h"

#include <algorithm>
#include <cmath>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

struct RunLine {
  double c = 1, s = 0, len = 0;
};

RunLine LineOf(const CKelHSite& runs, int r)
{
  RunLine line;
  CalcCosSin(runs.EdgeStart(r), runs.EdgeStart(r + 1), &line.c, &line.s, &line.len);
  return line;
}

// The signed turn from one direction to the next, in (-pi, pi].
double Turn(const RunLine& from, const RunLine& to)
{
  return std::atan2(from.c * to.s - from.s * to.c, from.c * to.c + from.s * to.s);
}

// The runs before..after (circular) turn one way throughout, by less than a
// half turn in all. A turn by which the shorter of its runs leaves the
// other's line by no more than the tiny size is survey noise, not a turn
// the other way: a chord split on its line, a point a millimetre off it.
bool TurnsOneWay(const CKelHSite& runs, int before, int after, double tiny)
{
  const int n = runs.GetSize();
  double total = 0;
  bool left = false, right = false;
  RunLine from = LineOf(runs, before);
  for (int k = before + 1;; ++k) {
    const RunLine to = LineOf(runs, k);
    const double turn = Turn(from, to);
    const bool noise = std::fabs(std::sin(turn)) * std::min(from.len, to.len) <= tiny;
    left = left || (turn > 0 && !noise);
    right = right || (turn < 0 && !noise);
    total += turn;
    from = to;
    if ((k - after) % n == 0)
      break;
  }
  return !(left && right) && std::fabs(total) < KelAngle::Pi;
}

// A side a rounded corner may lie beside: long, and no corner cut.
bool IsSide(const CKelHSite& runs, int r, double shortest)
{
  return !runs.Vertex(r).IsSumikiri() && !(LineOf(runs, r).len < shortest);
}

// The chords of rounded corners, per run: maximal chains of short unmarked
// neighbour runs between two sides, turning one way.
std::vector<bool> RoundedCorners(const CKelHSite& runs, double tiny)
{
  const int n = runs.GetSize();
  const double shortest = KelTol::SiteRoundedCornerTinies * tiny;
  std::vector<bool> rounded(static_cast<std::size_t>(n), false);
  if (n < 4)
    return rounded;
  const auto chord = [&](int r) {
    const CKelSiteTable& v = runs.Vertex(r);
    return !v.IsRoad() && !v.IsSumikiri() && LineOf(runs, r).len < shortest;
  };
  int start = 0;
  while (start < n && chord(start))
    ++start;
  if (start == n)
    return rounded;
  for (int k = start + 1; k <= start + n; ++k) {
    if (!chord(k % n))
      continue;
    const int first = k;
    while (chord(k % n))
      ++k;
    const int before = (first - 1) % n, after = k % n;
    if (before != after && IsSide(runs, before, shortest) && IsSide(runs, after, shortest) &&
        TurnsOneWay(runs, before, after, tiny)) {
      for (int r = first; r < k; ++r)
        rounded[static_cast<std::size_t>(r % n)] = true;
    }
  }
  return rounded;
}

}  // namespace

const CKelSiteWorkOutline& CSyasenCheckSiteRuns::Work() const
{
  if (m_Work)
    return *m_Work;
  const CKelSiteWorkOutline& work = m_Work.emplace(*m_Stored);
  // Each piece's run, the first that lists it, found once for every edge
  // asked about.
  m_RunOfPiece.assign(static_cast<std::size_t>(work.Pieces().GetSize()), -1);
  for (int r = work.Runs().GetSize() - 1; r >= 0; --r) {
    for (int p : work.PiecesOfRun(r)) {
      if (p >= 0 && p < static_cast<int>(m_RunOfPiece.size()))
        m_RunOfPiece[static_cast<std::size_t>(p)] = r;
    }
  }
  m_Rounded = RoundedCorners(work.Runs(), work.Tiny());
  return work;
}

int CSyasenCheckSiteRuns::Edge(int storedEdge) const
{
  if (m_Stored == nullptr)
    return -1;
  const int piece = Work().PieceOf(storedEdge);
  if (piece < 0 || piece >= static_cast<int>(m_RunOfPiece.size()))
    return -1;
  return m_RunOfPiece[static_cast<std::size_t>(piece)];
}

int CSyasenCheckSiteRuns::RunStartingAt(const CKelCoord2D& point) const
{
  if (m_Stored == nullptr || m_Stored->GetSize() == 0)
    return -1;
  const CKelHSite& runs = Work().Runs();
  int best = -1;
  double nearest = Work().Tiny();
  for (int r = 0; r < runs.GetSize(); ++r) {
    const double d = length_2point(runs.EdgeStart(r), point);
    if (d <= nearest && (best < 0 || d < nearest)) {
      best = r;
      nearest = d;
    }
  }
  return best;
}

bool CSyasenCheckSiteRuns::IsRoundedCorner(int r) const
{
  (void)Work();
  return r >= 0 && r < static_cast<int>(m_Rounded.size()) && m_Rounded[static_cast<std::size_t>(r)];
}

int CSyasenCheckSiteRuns::SideFrom(int r, int step) const
{
  const CKelHSite& runs = Work().Runs();
  const int n = runs.GetSize();
  for (int k = 0, i = r + step; k < n; ++k, i += step) {
    const int w = ((i % n) + n) % n;
    if (!runs.Vertex(w).IsSumikiri() && !m_Rounded[static_cast<std::size_t>(w)])
      return w;
  }
  return -1;
}
