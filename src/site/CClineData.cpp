#include "CClineData.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "CKelArchiveCore.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"

namespace {

// A corner within this of a straight angle (0.1 degree) is mitred, never
// rounded: the arc would be a sliver of no length.
constexpr double kStraightCorner = 0.0017453292519943296;
// A stored point takes at least its kind and a tag-less x and y.
constexpr std::uint64_t kMinPointBytes = sizeof(std::int16_t) + 2 * sizeof(double);

// The edge a -> b moved by d to its right: the outside of a counter-clockwise
// outline. An edge of no length stays where it is.
std::pair<CKelCoord2D, CKelCoord2D> Offset(const CKelCoord2D& a, const CKelCoord2D& b, double d)
{
  double c = 0;
  double s = 0;
  double len = 0;
  if (!CalcCosSin(a, b, &c, &s, &len))
    return {a, b};
  return {CKelCoord2D(a.m_x + d * s, a.m_y - d * c), CKelCoord2D(b.m_x + d * s, b.m_y - d * c)};
}

CKelCoord2D Mid(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return CKelCoord2D((a.m_x + b.m_x) * 0.5, (a.m_y + b.m_y) * 0.5);
}

int ElementType(const ClineElement& e) { return e.IsArc() ? kClineArcType : CCrspnt::kLinePoint; }

}  // namespace

bool CCrspnt::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CCrspnt");
  ar.Serialize(m_Kind);
  if (ar.GetError() != 0)
    return false;
  return CKelCoord2D::Serialize(ar);
}

// --- Point list ------------------------------------------------------------------

void CClineData::InsertPoint(int i, const CKelCoord3D& p)
{
  const int at = std::max(0, std::min(i + 1, GetSize()));
  insert(begin() + at, CCrspnt(p.m_x, p.m_y, CCrspnt::kLinePoint));
}

void CClineData::MovePoint(int i, const CKelCoord3D& p)
{
  CCrspnt& q = at(static_cast<std::size_t>(i));
  q.m_x = p.m_x;
  q.m_y = p.m_y;
}

void CClineData::SwapCoord(int i, int j) { std::swap(at(static_cast<std::size_t>(i)), at(static_cast<std::size_t>(j))); }

void CClineData::Append(const CKelCoord3D& p) { emplace_back(p.m_x, p.m_y, CCrspnt::kLinePoint); }

void CClineData::DeletePoint(int i) { erase(begin() + i); }

CKelCoord3D CClineData::GetCoord3D(int i) const
{
  const CCrspnt& p = at(static_cast<std::size_t>(i));
  return {p.m_x, p.m_y, 0};
}

void CClineData::MoveBlock(const CKelCoord2D& to, const CKelCoord3D& from)
{
  for (CCrspnt& p : *this) {
    p.m_x += to.m_x - from.m_x;
    p.m_y += to.m_y - from.m_y;
  }
}

void CClineData::AddCenter(const CKelCoord3D& p) { emplace_back(p.m_x, p.m_y, CCrspnt::kCentre); }

// --- Reading the chain -------------------------------------------------------------

int CClineData::KindAt(std::size_t k) const
{
  const int kind = (*this)[k].m_Kind;
  const bool known = kind == CCrspnt::kEnd || kind == CCrspnt::kRunStart || kind == CCrspnt::kCentre;
  return known ? kind : CCrspnt::kLinePoint;
}

std::size_t CClineData::EndIndex() const
{
  for (std::size_t k = 0; k < size(); ++k) {
    if (KindAt(k) == CCrspnt::kEnd)
      return k;
  }
  return size();
}

std::vector<ClineElement> CClineData::Elements() const
{
  std::vector<ClineElement> list;
  const std::size_t end = EndIndex();
  list.reserve(end);
  std::size_t i = 0;
  while (i + 1 < end) {
    if (KindAt(i + 1) != CCrspnt::kCentre) {
      list.push_back({static_cast<int>(i), -1, static_cast<int>(i + 1)});
      i += 1;
    } else if (i + 2 < end) {
      list.push_back({static_cast<int>(i), static_cast<int>(i + 1), static_cast<int>(i + 2)});
      i += 2;
    } else {
      break;  // a centre with no arc end after it
    }
  }
  return list;
}

double CClineData::ElementLength(const ClineElement& e) const
{
  const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
  const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
  if (!e.IsArc())
    return length_2point(s, t);
  const CCrspnt& c = (*this)[static_cast<std::size_t>(e.centre)];
  double sweep = std::atan2(t.m_y - c.m_y, t.m_x - c.m_x) - std::atan2(s.m_y - c.m_y, s.m_x - c.m_x);
  if (sweep < 0)
    sweep += KelAngle::TwoPi;
  return sweep * m_Distance;
}

double CClineData::GetLength() const
{
  double sum = 0;
  for (const ClineElement& e : Elements())
    sum += ElementLength(e);
  return sum;
}

int CClineData::CheckData() const
{
  const std::size_t end = EndIndex();
  if (end + 1 != size())
    return -1;
  return static_cast<int>(size());
}

// --- The raw line ------------------------------------------------------------------------

void CClineData::AddPoint(const CKelCoord2D& p, int kind)
{
  if (!empty() && back().m_Kind == kind && back() == p)
    return;
  emplace_back(p.m_x, p.m_y, kind);
}

namespace {

// Step 1: the first edge (into vertex k) longer than d / 2 that ends at a
// convex corner; else the longest edge.
int StartEdge(const CKelArea<CKelCoord2D>& outline, double d)
{
  const int n = static_cast<int>(outline.m_pt.size());
  int longest = 0;
  double longestLen = -1;
  for (int k = 0; k < n; ++k) {
    const double len = length_2point(outline.m_pt[static_cast<std::size_t>((k + n - 1) % n)],
                                     outline.m_pt[static_cast<std::size_t>(k)]);
    if (len > d / 2 && outline.check_pointtype2(k) < 1)
      return k;
    if (len > longestLen) {
      longestLen = len;
      longest = k;
    }
  }
  return longest;
}

}  // namespace

void CClineData::set_checkline(const CKelArea<CKelCoord2D>& outline)
{
  clear();
  const int n = static_cast<int>(outline.m_pt.size());
  if (n == 0)
    return;
  const double d = m_Distance;
  auto vertex = [&](int k) -> const CKelCoord2D& { return outline.m_pt[static_cast<std::size_t>(((k % n) + n) % n)]; };
  const int start = StartEdge(outline, d);
  auto [c1, c2] = Offset(vertex(start - 1), vertex(start), d);
  AddPoint(c1, CCrspnt::kRunStart);
  for (int j = 0; j < n; ++j) {
    const int vi = (start + j) % n;
    const CKelCoord2D& v = vertex(vi);
    const CKelCoord2D& w = vertex(vi + 1);
    if (length_2point(v, w) == 0)
      continue;
    auto [e1, e2] = Offset(v, w, d);
    int parallel = 0;
    const std::vector<CKelCoord2D> xs = cross_line0(c1, c2, e1, e2, &parallel);
    const bool straight = std::fabs(outline.get_pointangle2(vi) - KelAngle::Pi) < kStraightCorner;
    if (xs.empty() && parallel != 0) {
      AddPoint(Mid(c2, e1), CCrspnt::kLinePoint);
    } else if (!xs.empty() && ((check_range(c1, c2, xs[0], 0) && check_range(e1, e2, xs[0], 0)) || straight)) {
      AddPoint(xs[0], CCrspnt::kLinePoint);
    } else {
      AddPoint(c2, CCrspnt::kLinePoint);
      if (length_2point(c2, e1) > KelTol::Geometry) {
        AddPoint(v, CCrspnt::kCentre);
        AddPoint(e1, CCrspnt::kRunStart);
      }
    }
    c1 = e1;
    c2 = e2;
  }
  // Closed at a mitre: the first run starts where the last one ends.
  if (size() >= 4 && back().m_Kind == CCrspnt::kLinePoint) {
    const std::vector<CKelCoord2D> xs = cross_line((*this)[0], (*this)[1], (*this)[size() - 2], back());
    if (!xs.empty()) {
      static_cast<CKelCoord2D&>(front()) = xs[0];
      static_cast<CKelCoord2D&>(back()) = xs[0];
    }
  }
  emplace_back(0, 0, CCrspnt::kEnd);
}

// --- Loops ------------------------------------------------------------------------------

namespace {

// The counter-clockwise turn from p to q about c, as ElementLength measures
// an arc: in [0, 2 pi).
double TurnAbout(const CKelCoord2D& c, const CKelCoord2D& p, const CKelCoord2D& q)
{
  const double turn = std::atan2(q.m_y - c.m_y, q.m_x - c.m_x) - std::atan2(p.m_y - c.m_y, p.m_x - c.m_x);
  return turn < 0 ? turn + KelAngle::TwoPi : turn;
}

// Whether the piece of an arc (of the given turn) that a cut keeps leaves
// the arc: an arc takes crossings up to PointCheck beyond its ends. Off the
// far side the piece goes round the other way, nearly a whole circle; off
// the near side it runs on past the arc's end, which a cut before may have
// set where the arc enters another element's reach.
bool ArcPieceLeaves(double piece, double whole, double radius)
{
  if (piece - whole > KelAngle::TwoPi - piece)
    return true;
  return (piece - whole) * radius > KelTol::Geometry;
}

// Whether x lies off the segment s -> t beyond its ends: a segment takes
// crossings up to RangeSlack beyond them.
bool OffSegment(const CKelCoord2D& s, const CKelCoord2D& t, const CKelCoord2D& x)
{
  double c = 0;
  double sn = 0;
  double len = 0;
  if (!CalcCosSin(s, t, &c, &sn, &len))
    return false;
  const double ahead = (x.m_x - s.m_x) * c + (x.m_y - s.m_y) * sn;
  return ahead < -KelTol::Geometry || ahead > len + KelTol::Geometry;
}

}  // namespace

bool CClineData::CutLeavesElements(const ClineElement& a, const ClineElement& b, const CKelCoord2D& x) const
{
  auto pt = [&](int k) -> const CCrspnt& { return (*this)[static_cast<std::size_t>(k)]; };
  // The outer part keeps A from its start to X and B from X to its end.
  const bool offA = a.IsArc() ? ArcPieceLeaves(TurnAbout(pt(a.centre), pt(a.start), x),
                                               TurnAbout(pt(a.centre), pt(a.start), pt(a.end)), m_Distance)
                              : OffSegment(pt(a.start), pt(a.end), x);
  if (offA)
    return true;
  return b.IsArc() ? ArcPieceLeaves(TurnAbout(pt(b.centre), x, pt(b.end)),
                                    TurnAbout(pt(b.centre), pt(b.start), pt(b.end)), m_Distance)
                   : OffSegment(pt(b.start), pt(b.end), x);
}

bool CClineData::CrossingIgnored(const ClineElement& a, const ClineElement& b, const CKelCoord2D& x,
                                 bool aIsFirst) const
{
  auto near = [&](int k) { return check_point(x, (*this)[static_cast<std::size_t>(k)]); };
  // Where the elements between A and B are shorter than the tolerance, A
  // and B meet at a joint and there is nothing to cut; but a run that
  // doubles back there, a loop however small, is cut.
  auto at = [&](int k) { return length_2point(x, (*this)[static_cast<std::size_t>(k)]) <= KelTol::Geometry; };
  if (at(a.end) && at(b.start))
    return true;
  if (near(a.start) && near(b.end))
    return true;
  if (aIsFirst && near(a.start))
    return true;
  // A crossing off A or B belongs to the element beyond that end, which
  // the scan reaches in its turn. Cut there, the outer part would run on
  // into the loop, step back into it, or turn a whole circle: nearer the
  // site than the distance, or longer than the line it was cut from, so
  // that the cutting stops with loops left.
  return CutLeavesElements(a, b, x);
}

bool CClineData::CutLoop(const ClineElement& a, const ClineElement& b, const CKelCoord2D& x, LoopScan& scan)
{
  const std::size_t end = EndIndex();
  CClineData outer(m_LineNo, m_Distance);
  outer.reserve(end + 2);
  outer.insert(outer.end(), begin(), begin() + a.end);
  outer.emplace_back(x.m_x, x.m_y, a.IsArc() ? CCrspnt::kRunStart : KindAt(static_cast<std::size_t>(a.end)));
  outer.insert(outer.end(), begin() + (b.IsArc() ? b.centre : b.end), begin() + static_cast<long>(end));
  outer.emplace_back(0, 0, CCrspnt::kEnd);

  CClineData loop(m_LineNo, m_Distance);
  loop.emplace_back(x.m_x, x.m_y, CCrspnt::kRunStart);
  loop.insert(loop.end(), begin() + (a.IsArc() ? a.centre : a.end), begin() + b.end);
  loop.emplace_back(x.m_x, x.m_y, KindAt(static_cast<std::size_t>(b.end)));
  loop.emplace_back(0, 0, CCrspnt::kEnd);

  // Measured with their arcs: round a many-sided outline the line is mostly
  // arcs, and its straight runs alone would lose to a small loop.
  const std::vector<double> outerLengths = OuterLengths(outer, a, b, scan);
  const double outerLength = SumOf(outerLengths);
  const double loopLength = loop.GetLength();
  const bool keepOuter = KeepOuter(outer, outerLength, loop, loopLength, scan);
  static_cast<std::vector<CCrspnt>&>(*this) = keepOuter ? std::move(outer) : std::move(loop);
  scan.keptLength = keepOuter ? outerLength : loopLength;
  scan.lengths = keepOuter ? outerLengths : std::vector<double>();
  return keepOuter;
}

bool CClineData::KeepOuter(const CClineData& outer, double outerLength, const CClineData& loop, double loopLength,
                           const LoopScan& scan)
{
  // The longer part is the outer line where the loop is a small one; round
  // many deep spikes a loop cut off early can hold most of the raw line and
  // outgrow the outer part. The anchor decides then: the outer line runs
  // through it, so every part it was cut from did. The loop is looked at
  // first, as it is mostly small; the outer part only where that matters.
  const bool longer = outerLength > loopLength;
  if (!scan.anchored)
    return longer;
  const bool onLoop = loop.PassesThrough(scan.anchor, scan.corner);
  if (longer && !onLoop)
    return true;
  const bool onOuter = outer.PassesThrough(scan.anchor, scan.corner);
  return onLoop == onOuter ? longer : onOuter;
}

double CClineData::SumOf(const std::vector<double>& lengths)
{
  double sum = 0;
  for (double l : lengths)
    sum += l;
  return sum;
}

std::vector<double> CClineData::OuterLengths(const CClineData& outer, const ClineElement& a, const ClineElement& b,
                                             const LoopScan& scan)
{
  // In the outer part X stands at A's end index; the elements before A and
  // after B are those of the line, so their lengths carry over and the sum
  // in order is GetLength's to the bit.
  const int x = a.end;
  const ClineElement cutA{a.start, a.centre, x};
  const ClineElement cutB = b.IsArc() ? ClineElement{x, x + 1, x + 2} : ClineElement{x, -1, x + 1};
  std::vector<double> lengths(scan.lengths.begin(), scan.lengths.begin() + static_cast<long>(scan.first));
  lengths.push_back(outer.ElementLength(cutA));
  lengths.push_back(outer.ElementLength(cutB));
  lengths.insert(lengths.end(), scan.lengths.begin() + static_cast<long>(scan.second) + 1, scan.lengths.end());
  return lengths;
}

namespace {

// The box an element can be crossed in: a segment's ends, an arc's whole
// circle, grown so that no crossing the tests accept falls outside it.
struct ElementBox {
  double xmin, xmax, ymin, ymax;
  bool Meets(const ElementBox& o) const
  {
    return xmin <= o.xmax && o.xmin <= xmax && ymin <= o.ymax && o.ymin <= ymax;
  }
};

double SquaredDistance(const CKelCoord2D& p, const CKelCoord2D& q)
{
  const double dx = p.m_x - q.m_x, dy = p.m_y - q.m_y;
  return dx * dx + dy * dy;
}

ElementBox BoxOf(const CClineData& line, const ClineElement& e)
{
  const CCrspnt& s = line[static_cast<std::size_t>(e.start)];
  const CCrspnt& t = line[static_cast<std::size_t>(e.end)];
  const double m = KelTol::ClineCrossingBox;
  if (!e.IsArc())
    return {std::fmin(s.m_x, t.m_x) - m, std::fmax(s.m_x, t.m_x) + m, std::fmin(s.m_y, t.m_y) - m,
            std::fmax(s.m_y, t.m_y) + m};
  const CCrspnt& c = line[static_cast<std::size_t>(e.centre)];
  const double r = std::sqrt(std::fmax(SquaredDistance(s, c), SquaredDistance(t, c))) + m;
  return {c.m_x - r, c.m_x + r, c.m_y - r, c.m_y + r};
}

}  // namespace

bool CClineData::CutFirstLoop(LoopScan& scan)
{
  const std::vector<ClineElement> elements = Elements();
  std::vector<ElementBox> boxes;
  boxes.reserve(elements.size());
  for (const ClineElement& e : elements)
    boxes.push_back(BoxOf(*this, e));
  if (scan.lengths.size() != elements.size()) {
    scan.lengths.clear();
    for (const ClineElement& e : elements)
      scan.lengths.push_back(ElementLength(e));
  }
  for (std::size_t i = scan.row; i < elements.size(); ++i) {
    const ClineElement& a = elements[i];
    const CCrspnt& a1 = (*this)[static_cast<std::size_t>(a.start)];
    const CCrspnt& a2 = (*this)[static_cast<std::size_t>(a.end)];
    const CCrspnt& ac = a.IsArc() ? (*this)[static_cast<std::size_t>(a.centre)] : a1;
    for (std::size_t j = i + 2; j < elements.size(); ++j) {
      if (!boxes[i].Meets(boxes[j]))
        continue;
      const ClineElement& b = elements[j];
      const CCrspnt& b1 = (*this)[static_cast<std::size_t>(b.start)];
      const CCrspnt& b2 = (*this)[static_cast<std::size_t>(b.end)];
      const CCrspnt& bc = b.IsArc() ? (*this)[static_cast<std::size_t>(b.centre)] : b1;
      CKelCoord2D x;
      if (!calc_cross_cline(ElementType(a), a1, a2, ac, ElementType(b), b1, b2, bc, &x))
        continue;
      if (CrossingIgnored(a, b, x, i == 0 && !a.IsArc()))
        continue;
      // Keeping the outer part leaves the elements before A as they were,
      // and none of them crossed a later one: the scan resumes at A.
      scan.first = i;
      scan.second = j;
      scan.row = CutLoop(a, b, x, scan) ? i : 0;
      return true;
    }
  }
  scan.row = elements.size();
  return false;
}

namespace {

double DistanceToOutline(const CKelArea<CKelCoord2D>& outline, const CKelCoord2D& p)
{
  double best = 1e300;
  const std::size_t n = outline.m_pt.size();
  for (std::size_t k = 0; k < n; ++k) {
    CKelCoord2D foot;
    best = std::fmin(best, linedist(outline.m_pt[k == 0 ? n - 1 : k - 1], outline.m_pt[k], p, &foot));
  }
  return best;
}

// Whether direction 0 from the centre lies on the counter-clockwise arc.
bool ArcFacesEast(const CKelCoord2D& s, const CKelCoord2D& c, const CKelCoord2D& t)
{
  const auto turn = [](double a) { return a < 0 ? a + KelAngle::TwoPi : a; };
  const double from = std::atan2(s.m_y - c.m_y, s.m_x - c.m_x);
  const double sweep = turn(std::atan2(t.m_y - c.m_y, t.m_x - c.m_x) - from);
  return turn(-from) <= sweep;
}

const CKelCoord2D& EastVertex(const CKelArea<CKelCoord2D>& outline)
{
  return *std::max_element(outline.m_pt.begin(), outline.m_pt.end(),
                           [](const CKelCoord2D& a, const CKelCoord2D& b) { return a.m_x < b.m_x; });
}

}  // namespace

int CClineData::ElementThrough(const std::vector<ClineElement>& elements, const CKelCoord2D& p,
                               const CKelCoord2D& corner) const
{
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const ClineElement& e = elements[k];
    const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
    const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
    CKelCoord2D foot;
    // An arc is split only inside: at its ends the sweep of a part of no
    // length could read as a whole turn, and the next segment starts there.
    const bool on = e.IsArc() ? (*this)[static_cast<std::size_t>(e.centre)] == corner && !(s == p) && !(t == p) &&
                                    ArcFacesEast(s, (*this)[static_cast<std::size_t>(e.centre)], t)
                              : linedist(s, t, p, &foot) <= KelTol::Geometry;
    if (on)
      return static_cast<int>(k);
  }
  return -1;
}

bool CClineData::PassesThrough(const CKelCoord2D& p, const CKelCoord2D& corner) const
{
  // A line started at p has it as an end of arcs, which ElementThrough
  // passes over.
  const auto at = [&](const CCrspnt& q) { return q.m_Kind != CCrspnt::kCentre && q == p; };
  return std::any_of(begin(), begin() + static_cast<long>(EndIndex()), at) ||
         ElementThrough(Elements(), p, corner) >= 0;
}

bool CClineData::ClosesOnItself(std::size_t end) const
{
  const CCrspnt& first = front();
  const CCrspnt& last = (*this)[end - 1];
  if (static_cast<const CKelCoord2D&>(first) == last)
    return true;
  // A mitre at a straight corner closing the raw line lies on the first
  // run's line, up to d tan(corner / 2) before its start, where no bounded
  // crossing moved the start onto it: closed all the same.
  if (KindAt(end - 1) != CCrspnt::kLinePoint)
    return false;
  const CCrspnt& second = (*this)[1];
  const bool noRun = static_cast<const CKelCoord2D&>(first) == second;
  if (noRun || !(length_2point(first, last) <= m_Distance * kStraightCorner))
    return false;
  return length_2point(last, get_vtpoint(first, second, last)) <= KelTol::Geometry;
}

void CClineData::StartOnOuterLine(const CKelArea<CKelCoord2D>& outline, const CKelCoord2D& start,
                                  const CKelCoord2D& east)
{
  // Beside a sharp notch the offset start edge can begin inside a loop (its
  // first point nearer than d to another edge); a loop holding the start
  // cannot be cut off. The point d east of the easternmost vertex is nearer
  // to nothing, so it lies on the outer line: the line starts there instead.
  const std::size_t end = EndIndex();
  if (end < 3 || !ClosesOnItself(end))
    return;
  if (!(DistanceToOutline(outline, front()) < m_Distance - KelTol::Geometry))
    return;
  const std::vector<ClineElement> elements = Elements();
  const int k = ElementThrough(elements, start, east);
  if (k < 0)
    return;
  const ClineElement& e = elements[static_cast<std::size_t>(k)];
  CClineData turned(m_LineNo, m_Distance);
  turned.emplace_back(start.m_x, start.m_y, CCrspnt::kRunStart);
  if (e.IsArc())
    turned.push_back((*this)[static_cast<std::size_t>(e.centre)]);
  // Round the closed line: this element's end to the line's end, then from
  // after the first point (the same as the last) to this element's start.
  turned.insert(turned.end(), begin() + e.end, begin() + static_cast<long>(end));
  turned.insert(turned.end(), begin() + 1, begin() + e.start + 1);
  if (e.IsArc())
    turned.push_back((*this)[static_cast<std::size_t>(e.centre)]);
  turned.emplace_back(start.m_x, start.m_y, e.IsArc() ? CCrspnt::kRunStart : CCrspnt::kLinePoint);
  turned.emplace_back(0, 0, CCrspnt::kEnd);
  static_cast<std::vector<CCrspnt>&>(*this) = std::move(turned);
}

bool CClineData::check_cline()
{
  LoopScan scan;
  return CutFirstLoop(scan);
}

void CClineData::CreateCheckline(const CKelArea<CKelCoord2D>& outline)
{
  clear();
  if (outline.m_pt.empty())
    return;
  set_checkline(outline);
  LoopScan scan;
  scan.anchored = true;
  scan.corner = EastVertex(outline);
  scan.anchor = CKelCoord2D(scan.corner.m_x + m_Distance, scan.corner.m_y);
  StartOnOuterLine(outline, scan.anchor, scan.corner);
  // Each round cuts a loop off; one that does not shorten the line would
  // repeat for ever, and no line has more loops than points.
  const std::size_t rounds = size();
  double length = GetLength();
  for (std::size_t r = 0; r < rounds && CutFirstLoop(scan); ++r) {
    if (!(scan.keptLength < length))
      break;
    length = scan.keptLength;
  }
}

// --- Searches ------------------------------------------------------------------------------

int CClineData::FindChkLinePoint(const CKelCoord2D& p, double* dist, CKelCoord2D* foot) const
{
  int found = -1;
  for (const ClineElement& e : Elements()) {
    const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
    const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
    CKelCoord2D candidate = s;
    const double d = e.IsArc()
                         ? arcdist(m_Distance, s, t, (*this)[static_cast<std::size_t>(e.centre)], p, &candidate)
                         : linedist(s, t, p, &candidate);
    if (d < *dist) {
      *dist = d;
      if (foot != nullptr)
        *foot = candidate;
      found = e.start;
    }
  }
  return found;
}

int CClineData::cross_checkline(double angle, const CKelCoord2D& p1, const CKelCoord2D& p2, CKelCoord2D* out) const
{
  if (empty())
    throw std::out_of_range("empty check line");
  if (size() <= 2)
    return -1;
  int found = -1;
  double nearest = 0;
  for (const ClineElement& e : Elements()) {
    const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
    const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
    std::vector<CKelCoord2D> xs;
    if (e.IsArc()) {
      xs = cross_arcline(s, t, (*this)[static_cast<std::size_t>(e.centre)], p1, p2);
      xs.resize(std::min<std::size_t>(xs.size(), 1));
    } else {
      xs = cross_line0(p1, p2, s, t);
      if (!xs.empty() && !check_range(s, t, xs[0], KelTol::Geometry))
        xs.clear();
    }
    if (xs.empty() || !check_north(angle, p1, xs[0]))
      continue;
    const double d = length_2point(p1, xs[0]);
    if (found < 0 || d < nearest) {
      found = e.IsArc() ? e.centre : e.start;
      nearest = d;
      if (out != nullptr)
        *out = xs[0];
    }
  }
  return found;
}

int CClineData::check_cross_cline(int kind, const CKelCoord2D& start, const CKelCoord2D& end,
                                  const CKelCoord2D& centre, int base, int* outKind, CKelCoord2D* out) const
{
  std::vector<ClineElement> elements = Elements();
  // A line that opens with a centre is read from its second point.
  if (!empty() && KindAt(0) == CCrspnt::kCentre) {
    CClineData rest(*this);
    rest.erase(rest.begin());
    elements = rest.Elements();
    for (ClineElement& e : elements) {
      e.start += 1;
      e.end += 1;
      e.centre += e.IsArc() ? 1 : 0;
    }
  }
  const int endMarker = static_cast<int>(EndIndex());
  const bool stopAtLast = base == 2 || (base == 3 && kind >= 10);
  int result = -1;
  for (const ClineElement& e : elements) {
    const CCrspnt& s = (*this)[static_cast<std::size_t>(e.start)];
    const CCrspnt& t = (*this)[static_cast<std::size_t>(e.end)];
    const CCrspnt& c = e.IsArc() ? (*this)[static_cast<std::size_t>(e.centre)] : s;
    CKelCoord2D x;
    if (!calc_cross_cline(kind, start, end, centre, ElementType(e), s, t, c, &x))
      continue;
    if (stopAtLast && e.end + 1 == endMarker)
      break;
    if (out != nullptr)
      *out = x;
    result = base + e.end;
    if (outKind != nullptr)
      *outKind = KindAt(static_cast<std::size_t>(e.end));
  }
  return result;
}

// --- Compares and stored forms ------------------------------------------------------------

bool CClineData::operator==(const CClineData& other) const
{
  return std::fabs(m_Distance - other.m_Distance) <= KelTol::Geometry && KelList::Equal(*this, other);
}

bool CClineData::IsNearlyEqual(const CClineData& other) const
{
  return fcmpNearly(m_Distance - other.m_Distance) == 0 && KelList::NearlyEqual(*this, other);
}

bool CClineData::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CClineData");
  if (!KelList::Serialize(ar, *this, kMinPointBytes))
    return false;
  ar.Serialize(m_Distance);
  ar.Serialize(m_LineNo);
  return ar.GetError() == 0;
}

bool CClineData::FromOldParam(int count, const CRS_PNT* old, int oldCount)
{
  if (count < 0 || count > oldCount || (count > 0 && old == nullptr))
    return false;
  clear();
  for (int k = 0; k < count; ++k)
    emplace_back(static_cast<double>(old[k].x), static_cast<double>(old[k].y), static_cast<int>(old[k].kind));
  return true;
}

std::vector<CRS_PNT> CClineData::GetOldParam() const
{
  std::vector<CRS_PNT> old;
  for (const CCrspnt& p : *this)
    old.push_back(CRS_PNT{p.m_Kind, static_cast<float>(p.m_x), static_cast<float>(p.m_y)});
  return old;
}
