#include "CKelMSite.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "CKelArchiveCore.h"
#include "CKelHSite.h"
#include "CKelSiteWorkOutline.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelOutlineClean.h"
#include "KelTolerance.h"

namespace {

std::size_t WrapIndex(int i, std::size_t n) { return static_cast<std::size_t>(((i % static_cast<int>(n)) + static_cast<int>(n)) % static_cast<int>(n)); }

// Position along a -> b (unit u) and offset to its left.
struct Frame {
  CKelCoord2D a;
  double c = 1;
  double s = 0;
  double len = 0;
  double Along(const CKelCoord2D& p) const { return (p.m_x - a.m_x) * c + (p.m_y - a.m_y) * s; }
  double Across(const CKelCoord2D& p) const { return c * (p.m_y - a.m_y) - s * (p.m_x - a.m_x); }
};

Frame FrameOf(const CKelCoord2D& a, const CKelCoord2D& b)
{
  Frame f{a};
  CalcCosSin(a, b, &f.c, &f.s, &f.len);
  return f;
}

}  // namespace

// --- Setting the outline ---------------------------------------------------------------

int CKelMSite::default_minashi_data(const CKelHSite& site)
{
  m_pt.clear();
  m_ChkLine1.clear();
  m_ChkLine2.clear();
  if (site.m_pt.empty())
    return 0;
  for (const CKelSiteTable& v : site.m_pt)
    m_pt.emplace_back(v.m_x, v.m_y);
  SetMaxMin();
  SetArea();
  return 1;
}

int CKelMSite::create_auto_line1(const CKelHSite& site, int i, CXYtemp2* line)
{
  const std::size_t n = site.m_pt.size();
  const CKelSiteTable& v = site.m_pt[WrapIndex(i, n)];
  const CKelCoord2D& next = site.m_pt[WrapIndex(static_cast<int>(WrapIndex(i, n)) + 1, n)];
  if (v.IsSumikiri())
    return kCornerCut;
  if (!v.IsRoad())
    return kNoLine;
  const double w1 = v.m_RoadWidthBeg;
  const double w2 = v.m_RoadWidthEnd;
  auto atLeast = [](double w) { return w >= kWideRoad - kWidthBand; };
  auto atMost = [](double w) { return w <= kWideRoad + kWidthBand; };
  if (atLeast(w1) && atLeast(w2)) {
    const CRoadLineParam far = v.GetRoadLineParam(true, next);
    const double dx = -kFarSideInset * far.m_Sin;
    const double dy = kFarSideInset * far.m_Cos;
    *line = CXYtemp2(CKelCoord2D(far.m_Beg.m_x + dx, far.m_Beg.m_y + dy),
                     CKelCoord2D(far.m_End.m_x + dx, far.m_End.m_y + dy));
    return kLine;
  }
  // Both at most 10 m: the complement of the wide case for every edge
  // SiteMAutoSet leaves (it splits widths straddling 10 m first).
  if (atMost(w1) && atMost(w2)) {
    const CRoadLineParam centre = v.GetRoadCenterLine(true, next);
    *line = CXYtemp2(centre.m_Beg, centre.m_End);
    return kLine;
  }
  return kNoLine;
}

bool CKelMSite::cross_auto_lines(const CXYtemp2& a, const CXYtemp2& b, CKelCoord2D* x)
{
  int parallel = 0;
  const std::vector<CKelCoord2D> xs = cross_line0(a.m_a, a.m_b, b.m_a, b.m_b, &parallel);
  if (!xs.empty()) {
    const Frame fa = FrameOf(a.m_a, a.m_b);
    const Frame fb = FrameOf(b.m_a, b.m_b);
    if (fa.Along(xs[0]) > 0 && fb.Along(xs[0]) < fb.len) {
      *x = xs[0];
      return true;
    }
    return false;
  }
  if (parallel == 0)
    return false;
  if (check_point(a.m_b, b.m_a)) {
    *x = a.m_b;
    return true;
  }
  if (check_point(a.m_a, b.m_b)) {
    *x = a.m_a;
    return true;
  }
  return false;
}

namespace {

// A stretch of the outline that one deemed line follows: the pieces of
// one run of the surveyed outline (CKelSiteWorkOutline) on one side of
// 10 m. Where stretches meet is decided on the stretches' lines, as the
// roads' corners are decided on the runs; each piece keeps its own line.
struct Stretch {
  int m_Result = CKelMSite::kNoLine;  // of create_auto_line1
  CKelCoord2D m_Vertex;               // the site vertex it starts at
  CXYtemp2 m_Line;                    // the line of the whole stretch
  std::vector<CXYtemp2> m_Pieces;     // each piece's own line, in order
  // The points joining piece k - 1 to piece k (index k; none at 0).
  std::vector<std::vector<CKelCoord2D>> m_Joints;
};

constexpr int kNoLine = CKelMSite::kNoLine;
constexpr int kLine = CKelMSite::kLine;
constexpr int kCornerCut = CKelMSite::kCornerCut;

// Step 2 of SiteMAutoSet: splits road edges whose widths straddle 10 m;
// each new vertex copies the tag of the vertex it splits off. An end
// within the width band of 10 m counts as both sides of it already: split
// there, a survey piece of a tapering road ending at 10 m up to round-off
// would leave a piece of no length, whose line has no direction.
void SplitWideningRoads(CKelHSite& site, std::vector<int>& tags)
{
  constexpr double wide = CKelMSite::kWideRoad;
  constexpr double band = CKelMSite::kWidthBand;
  for (std::size_t i = 0; i < site.m_pt.size(); ++i) {
    CKelSiteTable& v = site.m_pt[i];
    if ((v.COND & (CKelSiteTable::kRoad | CKelSiteTable::kSumikiri)) != CKelSiteTable::kRoad)
      continue;
    const double w1 = v.m_RoadWidthBeg;
    const double w2 = v.m_RoadWidthEnd;
    if (!((w1 > wide + band && w2 < wide - band) || (w1 < wide - band && w2 > wide + band)))
      continue;
    const CKelCoord2D& next = site.m_pt[(i + 1) % site.m_pt.size()];
    const double t = (wide - w1) / (w2 - w1);
    CKelSiteTable split(v.GetCoord(next, t));
    split.COND = v.COND;
    split.m_RoadWidthBeg = wide;
    split.m_RoadWidthEnd = w2;
    v.m_RoadWidthEnd = wide;
    site.m_pt.insert(site.m_pt.begin() + static_cast<long>(i) + 1, split);
    tags.insert(tags.begin() + static_cast<long>(i) + 1, tags[i]);
    ++i;  // the new vertex's edge is split already
  }
}

bool IsWide(const CKelSiteTable& v)
{
  auto atLeast = [](double w) { return w >= CKelMSite::kWideRoad - CKelMSite::kWidthBand; };
  return v.IsRoad() && atLeast(v.m_RoadWidthBeg) && atLeast(v.m_RoadWidthEnd);
}

// The run of each piece of the work outline.
std::vector<int> RunOfPiece(const CKelSiteWorkOutline& work)
{
  std::vector<int> runOf(work.Pieces().m_pt.size(), 0);
  for (int r = 0; r < work.Runs().GetSize(); ++r) {
    for (int p : work.PiecesOfRun(r))
      runOf[static_cast<std::size_t>(p)] = r;
  }
  return runOf;
}

// Piece lines a and b, in order, run on along one line: a point on a
// frontage's line gives its pieces' lines no joint, as the unsplit
// frontage has none. Lines that only nearly meet along it would cross
// anywhere, or nowhere, within their round-off.
bool RunOnOneLine(const CXYtemp2& a, const CXYtemp2& b)
{
  const Frame fa = FrameOf(a.m_a, a.m_b);
  const Frame fb = FrameOf(b.m_a, b.m_b);
  return fa.c * fb.c + fa.s * fb.s > 0 && std::fabs(fa.Across(b.m_a)) <= KelTol::SiteOnLineExactly &&
         std::fabs(fb.Across(a.m_b)) <= KelTol::SiteOnLineExactly;
}

// Piece k - 1's and piece k's lines cross where their pieces, with the
// pieces running on along each one's line, and as the joints beyond them
// stretched them, reach: a piece a few centimetres long between two
// concave joints reaches the crossing at one end only once the crossing at
// its other end has carried its line back past its own start (or on past
// its own end).
bool CrossStretched(const Stretch& st, std::size_t k, CKelCoord2D* x)
{
  const std::vector<CXYtemp2>& pieces = st.m_Pieces;
  std::size_t j = k - 1, l = k;
  while (j >= 1 && RunOnOneLine(pieces[j - 1], pieces[j]))
    --j;
  while (l + 1 < pieces.size() && RunOnOneLine(pieces[l], pieces[l + 1]))
    ++l;
  CXYtemp2 a = pieces[k - 1];
  CXYtemp2 b = pieces[k];
  a.m_a = pieces[j].m_a;
  b.m_b = pieces[l].m_b;
  if (j >= 1 && st.m_Joints[j].size() == 1 && FrameOf(a.m_a, a.m_b).Along(st.m_Joints[j][0]) < 0)
    a.m_a = st.m_Joints[j][0];
  if (l + 1 < st.m_Joints.size() && st.m_Joints[l + 1].size() == 1) {
    const Frame fb = FrameOf(b.m_a, b.m_b);
    if (fb.Along(st.m_Joints[l + 1][0]) > fb.len)
      b.m_b = st.m_Joints[l + 1][0];
  }
  return CKelMSite::cross_auto_lines(a, b, x);
}

// Sets the joint of the stretch's pieces k - 1 and k (joint k) where their
// lines cross; the index of the last joint set. Where the crossing lies
// beyond a piece of a side listed every few centimetres (the far lines at
// a concave bend overlap by more than the piece), the crossing is sought
// with the pieces before k - 1, or after k, within the other piece's
// length: the pieces it passes have no line there, as a road passed by a
// crossing has none. Lines that cross nowhere near meet in two points.
std::size_t JoinPieces(Stretch& st, std::size_t k)
{
  const std::vector<CXYtemp2>& pieces = st.m_Pieces;
  CKelCoord2D x;
  if (CrossStretched(st, k, &x)) {
    st.m_Joints[k] = {x};
    return k;
  }
  const auto length = [&](std::size_t j) { return length_2point(pieces[j].m_a, pieces[j].m_b); };
  double passed = length(k - 1);
  for (std::size_t j = k - 1; j-- > 0 && passed <= length(k);) {
    if (CKelMSite::cross_auto_lines(pieces[j], pieces[k], &x)) {
      for (std::size_t i = j + 1; i < k; ++i)
        st.m_Joints[i].clear();
      st.m_Joints[k] = {x};
      return k;
    }
    passed += length(j);
  }
  passed = length(k);
  for (std::size_t l = k + 1; l < pieces.size() && passed <= length(k - 1); ++l) {
    if (CKelMSite::cross_auto_lines(pieces[k - 1], pieces[l], &x)) {
      for (std::size_t i = k; i < l; ++i)
        st.m_Joints[i].clear();
      st.m_Joints[l] = {x};
      return l;
    }
    passed += length(l);
  }
  st.m_Joints[k] = {pieces[k - 1].m_b, pieces[k].m_a};
  return k;
}

// The stretch of one group of consecutive pieces; record is the group as
// one edge (the first piece's record with the last one's end values).
Stretch MakeStretch(const CKelHSite& groups, int g, const std::vector<CXYtemp2>& pieceLines)
{
  Stretch st;
  st.m_Vertex = groups.m_pt[static_cast<std::size_t>(g)];
  st.m_Result = CKelMSite::create_auto_line1(groups, g, &st.m_Line);
  st.m_Pieces = pieceLines;
  if (st.m_Result != kLine || st.m_Pieces.size() == 1)
    st.m_Pieces = {st.m_Line};
  st.m_Joints.resize(st.m_Pieces.size());
  for (std::size_t k = 1; k < st.m_Pieces.size(); ++k) {
    if (RunOnOneLine(st.m_Pieces[k - 1], st.m_Pieces[k]))
      continue;
    k = JoinPieces(st, k);
  }
  // A joint left in two points may meet once the joint after it is set (in
  // the listing's order, it is not yet): judged again, so the stretch read
  // the other way round meets at the same crossing.
  for (bool more = true; more;) {
    more = false;
    for (std::size_t k = 1; k < st.m_Pieces.size(); ++k) {
      CKelCoord2D x;
      if (st.m_Joints[k].size() == 2 && CrossStretched(st, k, &x)) {
        st.m_Joints[k] = {x};
        more = true;
      }
    }
  }
  return st;
}

// The pieces, split at 10 m, grouped by run and by kind of line; the
// grouping starts where a stretch starts, so none wraps round the outline.
std::vector<Stretch> Stretches(const CKelHSite& stored)
{
  const CKelSiteWorkOutline work(stored);
  CKelHSite pieces = work.Pieces();
  std::vector<int> runOf = RunOfPiece(work);
  SplitWideningRoads(pieces, runOf);
  const int n = pieces.GetSize();
  std::vector<int> result(static_cast<std::size_t>(n));
  std::vector<CXYtemp2> line(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k)
    result[static_cast<std::size_t>(k)] = CKelMSite::create_auto_line1(pieces, k, &line[static_cast<std::size_t>(k)]);
  auto startsStretch = [&](int k) {
    const auto a = static_cast<std::size_t>((k + n - 1) % n), b = static_cast<std::size_t>(k);
    return runOf[a] != runOf[b] || result[a] != result[b] || IsWide(pieces.m_pt[a]) != IsWide(pieces.m_pt[b]);
  };
  int first = 0;
  while (first < n && !startsStretch(first))
    ++first;
  first = first == n ? 0 : first;
  CKelHSite groups = pieces;
  groups.m_pt.clear();
  std::vector<std::vector<CXYtemp2>> lines;
  for (int s = 0; s < n; ++s) {
    const int k = (first + s) % n;
    const CKelSiteTable& v = pieces.m_pt[static_cast<std::size_t>(k)];
    if (s == 0 || startsStretch(k)) {
      groups.m_pt.push_back(v);
      lines.emplace_back();
    }
    groups.m_pt.back().m_RoadWidthEnd = v.m_RoadWidthEnd;
    groups.m_pt.back().m_RoadHeight2 = v.m_RoadHeight2;
    lines.back().push_back(line[static_cast<std::size_t>(k)]);
  }
  std::vector<Stretch> out;
  for (int g = 0; g < groups.GetSize(); ++g)
    out.push_back(MakeStretch(groups, g, lines[static_cast<std::size_t>(g)]));
  return out;
}

// Where stretch a meets stretch b, their lines crossing at x: the last
// piece of a starting before x, the first piece of b ending after it, and
// the crossing of those two pieces' lines. The pieces x passes have no
// line there, as a road passed by a crossing has none.
struct Meeting {
  std::size_t m_EndPiece = 0;
  std::size_t m_BegPiece = 0;
  CKelCoord2D m_At;
};

Meeting Meet(const Stretch& a, const Stretch& b, const CKelCoord2D& x)
{
  Meeting m{0, b.m_Pieces.size() - 1, x};
  const Frame fa = FrameOf(a.m_Line.m_a, a.m_Line.m_b);
  for (std::size_t k = 0; k < a.m_Pieces.size(); ++k) {
    if (fa.Along(a.m_Pieces[k].m_a) < fa.Along(x))
      m.m_EndPiece = k;
  }
  const Frame fb = FrameOf(b.m_Line.m_a, b.m_Line.m_b);
  for (std::size_t k = b.m_Pieces.size(); k-- > 0;) {
    if (fb.Along(b.m_Pieces[k].m_b) > fb.Along(x))
      m.m_BegPiece = k;
  }
  if (a.m_Pieces.size() == 1 && b.m_Pieces.size() == 1)
    return m;  // the stretches' own lines: x itself
  const CXYtemp2& p = a.m_Pieces[m.m_EndPiece];
  const CXYtemp2& q = b.m_Pieces[m.m_BegPiece];
  const std::vector<CKelCoord2D> xs = cross_line0(p.m_a, p.m_b, q.m_a, q.m_b);
  if (!xs.empty())
    m.m_At = xs[0];
  return m;
}

// What the walk over the stretches adds to the outline, in order.
enum class Add { Vertex, Start, End, Meet };
struct Step {
  Add m_Add;
  int m_A = 0;  // the stretch (the first one of a meeting)
  int m_B = 0;  // the second stretch of a meeting
  CKelCoord2D m_X;
  Meeting m_Meeting;
};

// Step 3: walks the stretches, keeping vertices of those without a deemed
// line and joining consecutive deemed lines at their crossings; the lines
// compared are the stretches' own.
std::vector<Step> WalkStretches(const std::vector<Stretch>& st)
{
  const int n = static_cast<int>(st.size());
  std::vector<Step> steps;
  int prev = st.back().m_Result;
  bool have = prev == kLine;
  int remembered = n - 1;
  const bool lastIsCut = prev == kCornerCut;
  bool haveFirst = false;
  int first = 0;
  auto remember = [&](int g) {
    if (lastIsCut && !have) {
      first = g;
      haveFirst = true;
    }
    remembered = g;
    have = true;
  };
  auto join = [&](int a, int b) {
    CKelCoord2D x;
    if (CKelMSite::cross_auto_lines(st[static_cast<std::size_t>(a)].m_Line, st[static_cast<std::size_t>(b)].m_Line, &x)) {
      steps.push_back({Add::Meet, a, b, x, {}});
    } else {
      steps.push_back({Add::End, a, 0, {}, {}});
      steps.push_back({Add::Start, b, 0, {}, {}});
    }
  };
  for (int g = 0; g < n; ++g) {
    const int r = st[static_cast<std::size_t>(g)].m_Result;
    // A cut that follows an edge without a line (a tiny road edge folded
    // into the cut leaves it there) is a vertex: the road after it starts
    // its own line.
    if (r == kCornerCut && prev == kNoLine) {
      steps.push_back({Add::Vertex, g, 0, st[static_cast<std::size_t>(g)].m_Vertex, {}});
      continue;
    }
    if (r == kCornerCut) {
      prev = kCornerCut;
      continue;
    }
    if (prev == kNoLine) {
      steps.push_back({Add::Vertex, g, 0, st[static_cast<std::size_t>(g)].m_Vertex, {}});
      if (r == kLine) {
        steps.push_back({Add::Start, g, 0, {}, {}});
        remember(g);
      }
    } else if (!have) {
      if (r == kLine)
        remember(g);
    } else if (r == kLine) {
      join(remembered, g);
      remember(g);
    } else {
      steps.push_back({Add::End, remembered, 0, {}, {}});
      steps.push_back({Add::Vertex, g, 0, st[static_cast<std::size_t>(g)].m_Vertex, {}});
    }
    prev = r;
  }
  if (lastIsCut && have && haveFirst)
    join(remembered, first);
  return steps;
}

// The points of the walk's steps: a stretch's joints from the piece it
// begins with (where a meeting left it) to the one it ends with.
std::vector<CKelCoord2D> LayOut(const std::vector<Stretch>& st, std::vector<Step>& steps)
{
  std::vector<std::size_t> begins(st.size(), 0);
  for (Step& s : steps) {
    if (s.m_Add != Add::Meet)
      continue;
    s.m_Meeting = Meet(st[static_cast<std::size_t>(s.m_A)], st[static_cast<std::size_t>(s.m_B)], s.m_X);
    begins[static_cast<std::size_t>(s.m_B)] = s.m_Meeting.m_BegPiece;
  }
  std::vector<CKelCoord2D> out;
  auto joints = [&](int g, std::size_t last) {
    const Stretch& a = st[static_cast<std::size_t>(g)];
    for (std::size_t k = begins[static_cast<std::size_t>(g)] + 1; k <= last && k < a.m_Joints.size(); ++k)
      out.insert(out.end(), a.m_Joints[k].begin(), a.m_Joints[k].end());
  };
  for (const Step& s : steps) {
    const Stretch& a = st[static_cast<std::size_t>(s.m_A)];
    switch (s.m_Add) {
      case Add::Vertex: out.push_back(s.m_X); break;
      case Add::Start: out.push_back(a.m_Pieces.front().m_a); break;
      case Add::End:
        joints(s.m_A, a.m_Pieces.size() - 1);
        out.push_back(a.m_Pieces.back().m_b);
        break;
      case Add::Meet:
        joints(s.m_A, s.m_Meeting.m_EndPiece);
        out.push_back(s.m_Meeting.m_At);
        break;
    }
  }
  return out;
}

// The outline without a stroke out and straight back along itself: a
// deemed line ending where the next one starts on it (a tapered road's far
// side at a bend) encloses nothing there, and no site has such a stroke.
std::vector<CKelCoord2D> WithoutStrokes(const std::vector<CKelCoord2D>& pts)
{
  std::vector<CKelCoord2D> kept;
  for (int k : CleanOutline(pts, std::numeric_limits<double>::infinity(), false).m_At)
    kept.push_back(pts[static_cast<std::size_t>(k)]);
  return kept;
}

}  // namespace

int CKelMSite::SiteMAutoSet(CKelHSite stored)
{
  if (stored.m_Road.empty() || stored.m_pt.empty())
    return 0;
  // The outline as the roads see it: a survey's tiny pieces folded away (a
  // road piece of a doubled point or a notch's side would add a block of
  // road), and where lines meet decided on the runs, so a point on a
  // frontage's line moves no crossing. Every piece keeps its own line, so
  // a frontage bent by 0.005 degrees keeps its bend.
  const std::vector<Stretch> stretches = Stretches(stored);
  std::vector<Step> steps = WalkStretches(stretches);
  CKelAreaCoord2D outline;
  outline.m_pt = WithoutStrokes(LayOut(stretches, steps));
  // One part per pinch: lines from a side surveyed every few centimetres
  // may cross themselves at several places, and a part kept at the first
  // one still pinches at the others (a lobe the rest already covers).
  if (CheckCrossLine(outline)) {
    for (std::size_t before = outline.m_pt.size() + 1; outline.m_pt.size() < before;) {
      before = outline.m_pt.size();
      DeleteReveseArea(outline);
    }
  }
  m_pt.clear();
  if (outline.m_pt.size() > 2) {
    for (const CKelCoord2D& p : outline.m_pt) {
      if (m_pt.empty() || !(m_pt.back() == p))
        m_pt.push_back(p);
    }
    SetMaxMin();
    SetArea();
  }
  return static_cast<int>(outline.m_pt.size());
}

// --- Self-crossings ----------------------------------------------------------------------

bool CKelMSite::CheckCrossLine(const CKelAreaCoord2D& poly, const CKelCoord2D& a, const CKelCoord2D& b, int* from,
                               int* to, CKelCoord2D* x)
{
  const Frame f = FrameOf(a, b);
  const std::size_t n = poly.m_pt.size();
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& p = poly.m_pt[k];
    const CKelCoord2D& q = poly.m_pt[(k + 1) % n];
    if (p == b || q == a || (p == a && q == b))
      continue;
    const double sp = f.Along(p);
    const double sq = f.Along(q);
    const double vp = f.Across(p);
    const double vq = f.Across(q);
    if (vp == vq || std::min(vp, vq) > 0 || std::max(vp, vq) < 0)
      continue;
    const double s = sp + (0 - vp) * (sq - sp) / (vq - vp);
    if (s < 0 || s > f.len)
      continue;
    *x = CKelCoord2D(a.m_x + s * f.c, a.m_y + s * f.s);
    *from = static_cast<int>(k);
    *to = static_cast<int>((k + 1) % n);
    return true;
  }
  return false;
}

bool CKelMSite::CheckCrossLine(CKelAreaCoord2D& poly)
{
  // Every pair of edges meets at most once, so more crossings than pairs
  // of the first outline means the scan is finding its own insertions.
  const std::size_t n0 = poly.m_pt.size();
  std::size_t budget = n0 * n0;
  bool inserted = false;
  auto insertAfter = [&poly](int at, const CKelCoord2D& x) {
    const std::size_t n = poly.m_pt.size();
    const CKelCoord2D& p = poly.m_pt[static_cast<std::size_t>(at)];
    const CKelCoord2D& q = poly.m_pt[(static_cast<std::size_t>(at) + 1) % n];
    if (x == p || x == q)
      return false;
    poly.m_pt.insert(poly.m_pt.begin() + at + 1, x);
    return true;
  };
  for (int i = 0; i < static_cast<int>(poly.m_pt.size()) && budget > 0; ++i) {
    const std::size_t n = poly.m_pt.size();
    const CKelCoord2D a = poly.m_pt[static_cast<std::size_t>(i)];
    const CKelCoord2D b = poly.m_pt[(static_cast<std::size_t>(i) + 1) % n];
    int j = 0;
    int k = 0;
    CKelCoord2D x;
    if (!CheckCrossLine(poly, a, b, &j, &k, &x))
      continue;
    --budget;
    if (j < i) {
      inserted |= insertAfter(i, x);
      if (insertAfter(j, x)) {
        inserted = true;
        i += 1;  // vertex i moved up by one; skip the edge after it
      }
    } else {
      inserted |= insertAfter(j, x);
      inserted |= insertAfter(i, x);
    }
  }
  return inserted;
}

void CKelMSite::DeleteReveseArea(CKelAreaCoord2D& poly)
{
  // Of all the pinches, the one whose larger part is largest: the first
  // pinch in the listing's order would make the part kept depend on where
  // the outline starts and which way it runs, so a site read mirrored or
  // from another corner could lose another lobe.
  const std::size_t n = poly.m_pt.size();
  std::vector<CKelCoord2D> best;
  double bestArea = 0;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (!(poly.m_pt[i] == poly.m_pt[j]))
        continue;
      CKelAreaCoord2D loop;
      CKelAreaCoord2D rest;
      loop.m_pt.assign(poly.m_pt.begin() + static_cast<long>(i), poly.m_pt.begin() + static_cast<long>(j));
      rest.m_pt.assign(poly.m_pt.begin() + static_cast<long>(j), poly.m_pt.end());
      rest.m_pt.insert(rest.m_pt.end(), poly.m_pt.begin(), poly.m_pt.begin() + static_cast<long>(i));
      const double al = loop.Area();
      const double ar = rest.Area();
      if (al <= 0 && ar <= 0)
        continue;
      const bool keepLoop = al > 0 && (ar <= 0 || al > ar);
      if (std::max(al, ar) > bestArea) {
        bestArea = std::max(al, ar);
        best = keepLoop ? loop.m_pt : rest.m_pt;
      }
    }
  }
  if (best.empty())
    return;
  poly.m_pt = best;
  poly.m_area = poly.m_xmin = poly.m_xmax = poly.m_ymin = poly.m_ymax = 0;
}

// --- Check lines and distances -------------------------------------------------------------

bool CKelMSite::CreateCheckLine()
{
  m_ChkLine1.m_Distance = std::max(m_ChkLine1.m_Distance, m_MinRegLine1);
  m_ChkLine2.m_Distance = std::max(m_ChkLine2.m_Distance, m_MinRegLine2);
  // The outline from its northernmost vertex, so that the lines begin there.
  std::size_t start = 0;
  for (std::size_t k = 1; k < m_pt.size(); ++k) {
    if (m_pt[k].m_y > m_pt[start].m_y)
      start = k;
  }
  CKelArea<CKelCoord2D> outline;
  outline.m_pt.assign(m_pt.begin() + static_cast<long>(start), m_pt.end());
  outline.m_pt.insert(outline.m_pt.end(), m_pt.begin(), m_pt.begin() + static_cast<long>(start));
  const bool first = m_ChkLine1.CreateCheckline(outline);
  const bool second = m_ChkLine2.CreateCheckline(outline);
  return first && second;
}

double CKelMSite::CalcSiteDistance(const CKelCoord2D& p) const
{
  double best = kFarDistance;
  const std::size_t n = m_pt.size();
  for (std::size_t k = 0; k < n; ++k) {
    const Frame f = FrameOf(m_pt[k], m_pt[(k + 1) % n]);
    const double s = f.Along(p);
    const double v = f.Across(p);
    double d = best;
    if (s < 0)
      d = std::hypot(s, v);
    else if (s > f.len)
      d = std::hypot(s - f.len, v);
    else if (v < 0)
      d = -v;  // only the outside of a counter-clockwise edge counts
    best = std::min(best, d);
  }
  return best;
}

namespace {

// Whether p lies strictly inside the outline by the crossing rule with
// half-open edges: an edge counts when p's level lies in [its lower end,
// its upper end), so a point level with a vertex meets the outline there
// once whatever the survey did to the vertices' last digits, and no band
// can make it miss both edges.
bool CrossesOddly(const std::vector<CKelCoord2D>& pts, const CKelCoord2D& p)
{
  bool inside = false;
  const std::size_t n = pts.size();
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& a = pts[k];
    const CKelCoord2D& b = pts[(k + 1) % n];
    if ((a.m_y <= p.m_y) == (b.m_y <= p.m_y))
      continue;
    const double x = a.m_x + (p.m_y - a.m_y) / (b.m_y - a.m_y) * (b.m_x - a.m_x);
    if (x > p.m_x)
      inside = !inside;
  }
  return inside;
}

}  // namespace

double CKelMSite::CalcSiteDistance3(const CKelCoord2D& p) const
{
  if (m_pt.empty() || InArea(p, KelTol::OnEdge, KelTol::OnEdge, Crossing::TenthTol) != 0 || CrossesOddly(m_pt, p))
    return 0;
  return CalcSiteDistance(p);
}

// --- Old record, compares and archive ---------------------------------------------------------

bool CKelMSite::FromOldParam(const SITEAREA& old, const XY_FPAIR* points, int pointCount, double distance1,
                             double distance2)
{
  if (old.count < 0 || old.count > pointCount || (old.count > 0 && points == nullptr))
    return false;
  m_pt.clear();
  for (int k = 0; k < old.count; ++k)
    m_pt.emplace_back(points[k].x, points[k].y);
  SetMaxMin();
  SetArea();
  m_ChkLine1.m_Distance = distance1;
  m_ChkLine2.m_Distance = distance2;
  return true;
}

bool CKelMSite::operator==(const CKelMSite& other) const
{
  return CKelArea<CKelCoord2D>::operator==(other) && m_ChkLine1 == other.m_ChkLine1 && m_ChkLine2 == other.m_ChkLine2;
}

bool CKelMSite::IsNearlyEqual(const CKelMSite& other) const
{
  return CKelArea<CKelCoord2D>::IsNearlyEqual(other) && m_ChkLine1.IsNearlyEqual(other.m_ChkLine1) &&
         m_ChkLine2.IsNearlyEqual(other.m_ChkLine2);
}

bool CKelMSite::Serialize(CKelArchiveCore& ar, int, void*, void*) { return Serialize2(ar); }

bool CKelMSite::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelMSite");
  if (!CKelArea<CKelCoord2D>::Serialize(ar))
    return false;
  return m_ChkLine1.Serialize(ar) && m_ChkLine2.Serialize(ar);
}

bool CKelMSiteArray::operator==(const CKelMSiteArray& other) const { return KelList::Equal(*this, other); }

bool CKelMSiteArray::IsNearlyEqual(const CKelMSiteArray& other) const { return KelList::NearlyEqual(*this, other); }
