#include "CClineDataPickup.h"

#include <cmath>
#include <stdexcept>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// Lengths, angles and remainders below this count as nothing.
constexpr double kWalkEpsilon = 1e-5;

double AngleAbout(const CKelCoord2D& c, const CKelCoord2D& p) { return std::atan2(p.m_y - c.m_y, p.m_x - c.m_x); }

// The angle from a to b about c in the walking sense, in [0, 2 pi).
double Sweep(const CKelCoord2D& c, const CKelCoord2D& a, const CKelCoord2D& b, bool clockwise)
{
  double s = clockwise ? AngleAbout(c, a) - AngleAbout(c, b) : AngleAbout(c, b) - AngleAbout(c, a);
  s = std::fmod(s, KelAngle::TwoPi);
  return s < 0 ? s + KelAngle::TwoPi : s;
}

}  // namespace

// --- CClineDataPickup ----------------------------------------------------------------

void CClineDataPickup::AddPoint(const CKelCoord2D& p)
{
  if (m_Points.empty() || !(m_Points.back() == p))
    m_Points.push_back(p);
}

bool CClineDataPickup::PitchUsable() const { return std::isfinite(m_Pitch) && m_Pitch > kWalkEpsilon; }

int CClineDataPickup::from_line(int flags, CKelCoord2D* from, CKelCoord2D* to)
{
  if (!PitchUsable())
    return 1;
  double c = 0;
  double s = 0;
  double len = 0;
  CalcCosSin(*from, *to, &c, &s, &len);
  if (len >= kWalkEpsilon) {
    double step = m_Rest;
    if (m_Rest < kWalkEpsilon) {
      AddPoint(*from);
      step = m_Pitch;
    }
    while (len > step) {
      if (!Step())
        return 1;
      *from = CKelCoord2D(from->m_x + step * c, from->m_y + step * s);
      AddPoint(*from);
      len -= step;
      step = m_Pitch;
    }
    m_Rest = step - len;
  }
  // The walk's end is placed even when the last step ended on it exactly.
  if ((flags & kLastPiece) != 0)
    AddPoint(*to);
  return 0;
}

int CClineDataPickup::from_circle(int flags, CKelCoord2D* from, CKelCoord2D* to, CKelCoord2D* centre, double radius)
{
  if (!PitchUsable())
    return 1;
  const bool last = (flags & kLastPiece) != 0;
  const bool clockwise = (flags & kClockwise) != 0;
  const bool tiny = radius <= kWalkEpsilon || !std::isfinite(m_AnglePitch) || m_AnglePitch <= 0;
  const double sweepAll = Sweep(*centre, *from, *to, clockwise);
  if (tiny || check_point(*from, *to) || sweepAll < kWalkEpsilon) {
    if (tiny)
      AddPoint(*from);
    if (last)
      AddPoint(*to);
    return 0;
  }
  double sweep = sweepAll;
  double step = m_Rest / radius;
  if (step < kWalkEpsilon) {
    AddPoint(*from);
    step = m_AnglePitch;
  }
  double angle = AngleAbout(*centre, *from);
  while (sweep > step) {
    if (!Step())
      return 1;
    angle += clockwise ? -step : step;
    *from = CKelCoord2D(centre->m_x + radius * std::cos(angle), centre->m_y + radius * std::sin(angle));
    AddPoint(*from);
    sweep -= step;
    step = m_AnglePitch;
  }
  m_Rest = (step - sweep) * radius;
  if (last)
    AddPoint(*to);
  return 0;
}

// --- CClineDataPickup2 --------------------------------------------------------------------

int CClineDataPickup2::from_line(int, CKelCoord2D* from, CKelCoord2D* to)
{
  m_Points.emplace_back(from->m_x, from->m_y, CCrspnt::kRunStart);
  m_Points.emplace_back(to->m_x, to->m_y, CCrspnt::kLinePoint);
  return 0;
}

int CClineDataPickup2::from_circle(int flags, CKelCoord2D* from, CKelCoord2D* to, CKelCoord2D* centre, double)
{
  const bool clockwise = (flags & kClockwise) != 0;
  const CKelCoord2D& first = clockwise ? *to : *from;
  const CKelCoord2D& second = clockwise ? *from : *to;
  m_Points.emplace_back(first.m_x, first.m_y, CCrspnt::kRunStart);
  m_Points.emplace_back(centre->m_x, centre->m_y, CCrspnt::kCentre);
  m_Points.emplace_back(second.m_x, second.m_y, CCrspnt::kLinePoint);
  return 0;
}

// --- The walks of CClineData ----------------------------------------------------------------

namespace {

struct Walk {
  const CClineData& line;
  std::vector<ClineElement> elements;
  bool reverse = false;

  const CCrspnt& Pt(int k) const { return line[static_cast<std::size_t>(k)]; }

  // The element a position's index names; out of range when none does.
  std::size_t ElementOf(int index) const
  {
    for (std::size_t k = 0; k < elements.size(); ++k) {
      if (elements[k].start == index || elements[k].centre == index)
        return k;
    }
    throw std::out_of_range("no check-line element at the index");
  }

  CKelCoord2D FarEnd(std::size_t k) const { return Pt(reverse ? elements[k].start : elements[k].end); }

  std::size_t Step(std::size_t k) const
  {
    const std::size_t n = elements.size();
    return reverse ? (k + n - 1) % n : (k + 1) % n;
  }

  // Where p lies along element k from its start: a length or an angle.
  double Along(std::size_t k, const CKelCoord2D& p) const
  {
    const ClineElement& e = elements[k];
    if (!e.IsArc()) {
      double c = 0;
      double s = 0;
      CalcCosSin(Pt(e.start), Pt(e.end), &c, &s, nullptr);
      return (p.m_x - Pt(e.start).m_x) * c + (p.m_y - Pt(e.start).m_y) * s;
    }
    return Sweep(Pt(e.centre), Pt(e.start), p, false);
  }

  bool Ahead(std::size_t k, const CKelCoord2D& from, const CKelCoord2D& to) const
  {
    const double a = Along(k, from);
    const double b = Along(k, to);
    return reverse ? b <= a : b >= a;
  }

  int Piece(CClineDataPickupCore* pick, std::size_t k, CKelCoord2D& pos, const CKelCoord2D& to, bool last) const
  {
    const ClineElement& e = elements[k];
    CKelCoord2D end = to;
    int flags = last ? CClineDataPickupCore::kLastPiece : 0;
    int result = 0;
    if (e.IsArc()) {
      CKelCoord2D centre = Pt(e.centre);
      flags |= reverse ? CClineDataPickupCore::kClockwise : 0;
      result = pick->from_circle(flags, &pos, &end, &centre, line.m_Distance);
    } else {
      result = pick->from_line(flags, &pos, &end);
    }
    pos = to;
    return result;
  }
};

void Prepare(CClineDataPickupCore* pick, double pitch, double distance)
{
  pick->m_Pitch = pitch;
  pick->m_AnglePitch = pitch / distance;
  pick->m_Rest = 0;
}

}  // namespace

void CClineData::IncN(int reverse, int last, int* current, int* next)
{
  *current = *next;
  if (reverse == 0)
    *next = *next >= last ? 0 : *next + 1;
  else
    *next = *next <= 0 ? last : *next - 1;
}

int CClineData::pickup_points(CClineDataPickupCore* pick, const CClineCoord& from, const CClineCoord& to,
                              int reverse, double pitch) const
{
  Prepare(pick, pitch, m_Distance);
  Walk walk{*this, Elements(), reverse != 0};
  if (walk.elements.empty())
    return 0;
  const std::size_t first = walk.ElementOf(from.m_Index);
  const std::size_t target = walk.ElementOf(to.m_Index);
  CKelCoord2D pos = from;
  if (first == target && walk.Ahead(first, from, to))
    return walk.Piece(pick, first, pos, to, true);
  // Otherwise round the line: the rest of the first element, every whole
  // element up to the target's (at most one round), then the last piece.
  walk.Piece(pick, first, pos, walk.FarEnd(first), false);
  std::size_t k = walk.Step(first);
  for (std::size_t n = 0; k != target && n < walk.elements.size(); ++n) {
    walk.Piece(pick, k, pos, walk.FarEnd(k), false);
    k = walk.Step(k);
  }
  return walk.Piece(pick, target, pos, to, true);
}

int CClineData::pickup_points1(CClineDataPickupCore* pick, int fromIndex, const CKelCoord2D& from, int toIndex,
                               const CKelCoord2D& to, double pitch) const
{
  Prepare(pick, pitch, m_Distance);
  Walk walk{*this, Elements(), false};
  if (walk.elements.empty())
    return 0;
  // A line of distance 0 is open: no wrap, and each run starts afresh.
  const bool open = SignOf(m_Distance, kWalkEpsilon) == 0;
  const std::size_t first = walk.ElementOf(fromIndex);
  const std::size_t target = walk.ElementOf(toIndex);
  CKelCoord2D pos = from;
  if (first == target && walk.Ahead(first, from, to))
    return walk.Piece(pick, first, pos, to, true) != 0 ? 1 : 0;
  if (walk.Piece(pick, first, pos, walk.FarEnd(first), false) != 0)
    return 1;
  std::size_t k = walk.Step(first);
  for (std::size_t n = 0; k != target && n < walk.elements.size(); ++n) {
    if (open && k == 0)
      return 0;  // an open line ends where it ends
    if (open && walk.Pt(walk.elements[k].start).m_Kind == CCrspnt::kRunStart)
      pick->m_Rest = 0;
    if (walk.Piece(pick, k, pos, walk.FarEnd(k), false) != 0)
      return 1;
    k = walk.Step(k);
  }
  if (open && walk.Pt(walk.elements[target].start).m_Kind == CCrspnt::kRunStart)
    pick->m_Rest = 0;
  return walk.Piece(pick, target, pos, to, true) != 0 ? 1 : 0;
}
