// The operations of a sphere block parameter that cut its outline: shared
// vertices where its edges touch, the chord test, and the division by a
// line of the chart.

#include <algorithm>
#include <cmath>

#include "CSphereRatioBlockParam.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

constexpr double kTol = KelTol::SkyDisc;
constexpr double kContact = KelTol::SkyContact;
// Vertices one edge walk may insert per original vertex before the walk is
// taken as running without end.
constexpr int kInsertsPerVertex = 8;
// Deepest nesting of the division's cuts.
constexpr int kMaxCutDepth = 64;

bool StrictlyBetween(double x, double a, double b)
{
  return (a < x - kTol && x < b - kTol) || (b < x - kTol && x < a - kTol);
}

// Whether edge a-b meets segment p1-p2 (disc positions), ends included.
bool Touches(const CKelCoord2D& p1, double c, double s, double len, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double ua = (a.m_x - p1.m_x) * c + (a.m_y - p1.m_y) * s;
  const double va = (a.m_y - p1.m_y) * c - (a.m_x - p1.m_x) * s;
  const double ub = (b.m_x - p1.m_x) * c + (b.m_y - p1.m_y) * s;
  const double vb = (b.m_y - p1.m_y) * c - (b.m_x - p1.m_x) * s;
  const auto inside = [len](double u) { return u >= -kContact && u <= len + kContact; };
  if (std::fabs(va - vb) <= kContact)
    return std::fabs(va) <= kContact && std::fabs(vb) <= kContact && (inside(ua) || inside(ub));
  if ((va > kContact && vb > kContact) || (va < -kContact && vb < -kContact))
    return false;
  return inside(ua - va * (ub - ua) / (vb - va));
}

// A box of the disc; one that took a coordinate that is not finite is
// apart from nothing.
struct Reach {
  double xlo = 0, xhi = 0, ylo = 0, yhi = 0;
  bool unbounded = false;

  bool Finite() const { return std::isfinite(xlo) && std::isfinite(xhi) && std::isfinite(ylo) && std::isfinite(yhi); }
  bool Apart(const Reach& o) const
  {
    if (unbounded || o.unbounded || !Finite() || !o.Finite())
      return false;
    return xhi < o.xlo || o.xhi < xlo || yhi < o.ylo || o.yhi < ylo;
  }
  void Add(const Reach& o)
  {
    unbounded = unbounded || o.unbounded || !o.Finite();
    xlo = std::fmin(xlo, o.xlo);
    xhi = std::fmax(xhi, o.xhi);
    ylo = std::fmin(ylo, o.ylo);
    yhi = std::fmax(yhi, o.yhi);
  }
};

// Far more than the round-off of a measurement on the disc, relative to
// the coordinates' size, and more than the contact band.
constexpr double kReachMargin = 1e-9;

double Size(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return 1 + std::fmax(std::fmax(std::fabs(a.m_x), std::fabs(a.m_y)), std::fmax(std::fabs(b.m_x), std::fabs(b.m_y)));
}

// The box of segment a-b grown by grow on every side.
Reach BoxOf(const CKelCoord2D& a, const CKelCoord2D& b, double growX, double growY)
{
  return Reach{std::fmin(a.m_x, b.m_x) - growX, std::fmax(a.m_x, b.m_x) + growX, std::fmin(a.m_y, b.m_y) - growY,
               std::fmax(a.m_y, b.m_y) + growY};
}

// Every point at which Touches can find the edge a-b meeting a segment: the
// edge's line is measured where it crosses the segment's, at most one edge
// length before its start or after its end (the crossing's offsets across
// the segment differ by more than the band, and at most one of them lies
// beyond it on either side), or at an end within the band of the segment.
Reach ReachOf(const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double margin = kReachMargin * Size(a, b);
  return BoxOf(a, b, 2 * std::fabs(b.m_x - a.m_x) + margin, 2 * std::fabs(b.m_y - a.m_y) + margin);
}

}  // namespace

// Runs of consecutive edges of a parameter, each with a box that holds the
// reach of its edges, so that the edges of a run out of a segment's reach
// are passed over together (the outline of one walk, which inserts
// nothing until it ends).
class ContactRuns {
public:
  explicit ContactRuns(const CSphereCoordD2DArray& pts)
  {
    const std::size_t n = pts.size();
    for (std::size_t j = 0; j < n; ++j) {
      const Reach reach = ReachOf(pts[j].m_Pos, pts[(j + 1) % n].m_Pos);
      if (j % kRun == 0)
        m_Runs.push_back(Run{j, j, reach});
      m_Runs.back().m_End = j + 1;
      m_Runs.back().m_Reach.Add(reach);
    }
  }

  // The end of the run starting at edge j when none of its edges reaches
  // the box near, else j.
  std::size_t PassOver(std::size_t j, const Reach& near)
  {
    while (m_At < m_Runs.size() && m_Runs[m_At].m_End <= j)
      ++m_At;
    if (m_At == m_Runs.size() || m_Runs[m_At].m_Begin != j || !m_Runs[m_At].m_Reach.Apart(near))
      return j;
    return m_Runs[m_At].m_End;
  }
  // Starts a walk from edge 0.
  void Restart() { m_At = 0; }
  // The box of the segment p1-p2 for PassOver.
  static Reach Near(const CKelCoord2D& p1, const CKelCoord2D& p2)
  {
    const double margin = kReachMargin * Size(p1, p2);
    return BoxOf(p1, p2, margin, margin);
  }

private:
  static constexpr std::size_t kRun = 16;
  struct Run {
    std::size_t m_Begin;
    std::size_t m_End;
    Reach m_Reach;
  };
  std::vector<Run> m_Runs;
  std::size_t m_At = 0;
};

bool CSphereRatioBlockParam::ContactPoints(int j, const CSphereCoordD2D& p1, const CSphereCoordD2D& p2,
                                           std::vector<CSphereCoordD2D>& out) const
{
  const std::size_t n = m_pt.size();
  const CSphereCoordD2D& a = m_pt[static_cast<std::size_t>(j)];
  const CSphereCoordD2D& b = m_pt[(static_cast<std::size_t>(j) + 1) % n];
  if (std::fabs(b.m_AD - a.m_AD) > kTol) {
    for (const CSphereCoordD2D* end : {&p1, &p2}) {
      if (!StrictlyBetween(end->m_AD, a.m_AD, b.m_AD))
        continue;
      const double t = (end->m_AD - a.m_AD) / (b.m_AD - a.m_AD);
      // Two ends at one azimuth are one point: the second stays.
      if (!out.empty() && std::fabs(out.back().m_AD - end->m_AD) <= kTol)
        out.pop_back();
      out.push_back(AnglePoint(end->m_AD, a.m_AE + t * (b.m_AE - a.m_AE)));
    }
    const bool rising = b.m_AD > a.m_AD;
    std::sort(out.begin(), out.end(), [rising](const CSphereCoordD2D& x, const CSphereCoordD2D& y) {
      return rising ? x.m_AD < y.m_AD : x.m_AD > y.m_AD;
    });
    // The inserted points must run strictly in the edge's direction.
    double last = a.m_AD;
    for (const CSphereCoordD2D& p : out) {
      if (!(rising ? last < p.m_AD : last > p.m_AD))
        return false;
      last = p.m_AD;
    }
    if (!out.empty() && !(rising ? last < b.m_AD : last > b.m_AD))
      return false;
  }
  if (!out.empty())
    return true;
  const CKelCoord2D ca(a.m_AD, a.m_AE), cb(b.m_AD, b.m_AE);
  CKelCoord2D x;
  if (!CalCrossPoint10(CKelCoord2D(p1.m_AD, p1.m_AE), CKelCoord2D(p2.m_AD, p2.m_AE), ca, cb, &x))
    return true;
  double c = 1, s = 0, len = 0;
  CalcCosSin(ca, cb, &c, &s, &len);
  const double t = (x.m_x - ca.m_x) * c + (x.m_y - ca.m_y) * s;
  if (t > kContact && t < len - kContact)
    out.push_back(AnglePoint(x.m_x, x.m_y));
  return true;
}

bool CSphereRatioBlockParam::CollectContacts(int i1, int i2, ContactRuns& runs,
                                             std::vector<CSphereCoordD2DArray>& found) const
{
  const CSphereCoordD2D& p1 = m_pt[static_cast<std::size_t>(i1)];
  const CSphereCoordD2D& p2 = m_pt[static_cast<std::size_t>(i2)];
  double c = 1, s = 0, len = 0;
  if (!CalcCosSin(p1.m_Pos, p2.m_Pos, &c, &s, &len))
    return true;
  const Reach near = ContactRuns::Near(p1.m_Pos, p2.m_Pos);
  runs.Restart();
  const int n = static_cast<int>(m_pt.size());
  for (int j = 0; j < n; ++j) {
    // A run of edges out of reach touches nothing.
    if (const std::size_t end = runs.PassOver(static_cast<std::size_t>(j), near); end != static_cast<std::size_t>(j)) {
      j = static_cast<int>(end) - 1;
      continue;
    }
    const int jn = (j + 1) % n;
    if (j == i1 || j == i2 || jn == i1)
      continue;
    if (!Touches(p1.m_Pos, c, s, len, m_pt[static_cast<std::size_t>(j)].m_Pos, m_pt[static_cast<std::size_t>(jn)].m_Pos))
      continue;
    std::vector<CSphereCoordD2D> add;
    if (!ContactPoints(j, p1, p2, add))
      return false;
    CSphereCoordD2DArray& into = found[static_cast<std::size_t>(j)];
    into.insert(into.end(), add.begin(), add.end());
  }
  return true;
}

bool CSphereRatioBlockParam::MergeContacts(int j, CSphereCoordD2DArray& add) const
{
  const CSphereCoordD2D& a = m_pt[static_cast<std::size_t>(j)];
  const CSphereCoordD2D& b = m_pt[(static_cast<std::size_t>(j) + 1) % m_pt.size()];
  const bool rising = b.m_AD > a.m_AD;
  std::sort(add.begin(), add.end(), [rising](const CSphereCoordD2D& x, const CSphereCoordD2D& y) {
    return rising ? x.m_AD < y.m_AD : x.m_AD > y.m_AD;
  });
  // Neighbours' ends at one azimuth are one point (each edge touching the
  // edge names its ends).
  add.erase(std::unique(add.begin(), add.end(),
                        [](const CSphereCoordD2D& x, const CSphereCoordD2D& y) {
                          return std::fabs(x.m_AD - y.m_AD) <= kTol;
                        }),
            add.end());
  if (std::fabs(b.m_AD - a.m_AD) <= kTol)
    return true;
  // The inserted points must run strictly in the edge's direction.
  double last = a.m_AD;
  for (const CSphereCoordD2D& p : add) {
    if (!(rising ? last < p.m_AD : last > p.m_AD))
      return false;
    last = p.m_AD;
  }
  return !(rising ? last >= b.m_AD : last <= b.m_AD);
}

bool CSphereRatioBlockParam::CheckCross()
{
  int budget = kInsertsPerVertex * static_cast<int>(m_pt.size()) + 64;
  // Each walk measures every edge against the outline as the walk found it
  // and inserts afterwards, so the vertices inserted do not hang on the
  // edge the outline starts at or on the way it runs: a mirrored outline
  // gets the mirrored vertices. An inserted vertex makes two edges that
  // may touch where the whole did not (a chord over fewer degrees runs
  // lower), so the walk is repeated until it inserts nothing. The budget
  // bounds the repeats.
  for (;;) {
    const int n = static_cast<int>(m_pt.size());
    std::vector<CSphereCoordD2DArray> found(m_pt.size());
    ContactRuns runs(m_pt);
    for (int i = 0; i < n; ++i) {
      if (!CollectContacts(i, (i + 1) % n, runs, found))
        return false;
    }
    int inserted = 0;
    for (int j = n - 1; j >= 0; --j) {
      CSphereCoordD2DArray& add = found[static_cast<std::size_t>(j)];
      if (add.empty())
        continue;
      if (!MergeContacts(j, add))
        return false;
      inserted += static_cast<int>(add.size());
      m_pt.insert(m_pt.begin() + j + 1, add.begin(), add.end());
    }
    budget -= inserted;
    if (budget < 0)
      return false;
    if (inserted == 0)
      return true;
  }
}

bool CSphereRatioBlockParam::CheckNearPoint(int i, int j, int k) const
{
  const double ai = m_pt[static_cast<std::size_t>(i)].m_AD;
  const double ak = m_pt[static_cast<std::size_t>(k)].m_AD;
  const double h = std::cos((ak - ai) * 0.5);
  const double mid = (ai + ak) * 0.5;
  for (int m = 0; m < static_cast<int>(m_pt.size()); ++m) {
    if (m == i || m == j || m == k)
      continue;
    const CSphereCoordD2D& p = m_pt[static_cast<std::size_t>(m)];
    if (!(ai < p.m_AD - kTol && p.m_AD < ak - kTol))
      continue;
    // The chord between the two azimuths on the unit circle lies at h / cos
    // from the centre; a point at or beyond it is not inside the chord.
    if (std::hypot(p.m_Pos.m_x, p.m_Pos.m_y) >= h / std::cos(p.m_AD - mid) - kTol)
      return false;
  }
  return true;
}

bool CSphereRatioBlockParam::CheckNearPoint(int i, int k) const
{
  return CheckNearPoint(i, i, k);
}

// --- Division by a line of the chart -----------------------------------------------

namespace {

// Points in the frame of the cut line hold m_AD along it, m_AE across it.

bool OnLine(const CSphereCoordD2D& p)
{
  return std::fabs(p.m_AE) <= kTol;
}

int FindAt(const CSphereCoordD2DArray& pts, double x)
{
  for (std::size_t i = 0; i < pts.size(); ++i) {
    if (OnLine(pts[i]) && pts[i].m_AD == x)
      return static_cast<int>(i);
  }
  return -1;
}

// The chain from position a forward to position b, both included.
CSphereCoordD2DArray Chain(const CSphereCoordD2DArray& pts, int a, int b)
{
  CSphereCoordD2DArray out;
  const int n = static_cast<int>(pts.size());
  for (int k = a;; k = (k + 1) % n) {
    out.push_back(pts[static_cast<std::size_t>(k)]);
    if (k == b)
      break;
  }
  return out;
}

bool DividSub(const CSphereCoordD2DArray& pts, std::vector<double> xpos, std::vector<CSphereCoordD2DArray>& out,
              int depth)
{
  if (depth > kMaxCutDepth)
    return false;
  const bool above = std::any_of(pts.begin(), pts.end(), [](const CSphereCoordD2D& p) { return p.m_AE > kTol; });
  const bool below = std::any_of(pts.begin(), pts.end(), [](const CSphereCoordD2D& p) { return p.m_AE < -kTol; });
  if (!above || !below) {
    out.push_back(pts);
    return true;
  }
  xpos.erase(std::remove_if(xpos.begin(), xpos.end(), [&pts](double x) { return FindAt(pts, x) < 0; }), xpos.end());
  if (xpos.size() < 2)
    return false;
  const int a = FindAt(pts, xpos[0]);
  const int b = FindAt(pts, xpos[1]);
  const CSphereCoordD2DArray first = Chain(pts, a, b);
  const CSphereCoordD2DArray second = Chain(pts, b, a);
  // Decided by the sign of the areas as they are: truncated to integers,
  // areas below one would all read as 0.
  const double area1 = CSphereRatioBlockParam::CalcAreaAngle(first);
  const double area2 = CSphereRatioBlockParam::CalcAreaAngle(second);
  xpos.erase(xpos.begin());
  if (area1 < 0 || area2 < 0)
    return DividSub(pts, xpos, out, depth + 1);
  for (const CSphereCoordD2DArray* chain : {&first, &second}) {
    if (CSphereRatioBlockParam::CalcAreaAngle(*chain) <= 0)
      continue;
    if (xpos.size() < 2)
      out.push_back(*chain);
    else if (!DividSub(*chain, xpos, out, depth + 1))
      return false;
  }
  return true;
}

}  // namespace

bool CSphereRatioBlockParam::Divide(const CKelCoord2D& p1, const CKelCoord2D& p2,
                                    std::vector<CSphereCoordD2DArray>& out) const
{
  double c = 1, s = 0, len = 0;
  if (!CalcCosSin(p1, p2, &c, &s, &len) || m_pt.size() < 3)
    return false;
  CSphereCoordD2DArray work = m_pt;
  for (CSphereCoordD2D& p : work) {
    const double dx = p.m_AD - p1.m_x;
    const double dy = p.m_AE - p1.m_y;
    p.m_AD = dx * c + dy * s;
    p.m_AE = dy * c - dx * s;
  }
  // Crossings of the edges that change side.
  for (std::size_t i = 0; i < work.size(); ++i) {
    const CSphereCoordD2D& a = work[i];
    const CSphereCoordD2D& b = work[(i + 1) % work.size()];
    if (!((a.m_AE > kTol && b.m_AE < -kTol) || (a.m_AE < -kTol && b.m_AE > kTol)))
      continue;
    const double t = a.m_AE / (a.m_AE - b.m_AE);
    CSphereCoordD2D x;
    x.m_AD = a.m_AD + t * (b.m_AD - a.m_AD);
    x.m_AE = 0;
    x.m_Tag = -1;  // made here: its disc position follows its angles
    work.insert(work.begin() + static_cast<std::ptrdiff_t>(i) + 1, x);
    ++i;
  }
  std::vector<double> xpos;
  for (const CSphereCoordD2D& p : work) {
    if (OnLine(p) && std::find(xpos.begin(), xpos.end(), p.m_AD) == xpos.end())
      xpos.push_back(p.m_AD);
  }
  std::sort(xpos.begin(), xpos.end());
  if (xpos.size() < 2)
    return false;
  std::vector<CSphereCoordD2DArray> pieces;
  if (!DividSub(work, xpos, pieces, 0))
    return false;
  for (CSphereCoordD2DArray& piece : pieces) {
    for (CSphereCoordD2D& p : piece) {
      const double along = p.m_AD;
      const double across = p.m_AE;
      p.m_AD = p1.m_x + along * c - across * s;
      p.m_AE = p1.m_y + along * s + across * c;
      if (p.m_Tag == -1) {
        p.m_Tag = 0;
        p.ConvertCoordXY();
      }
    }
    out.push_back(piece);
  }
  return !pieces.empty();
}
