// Corner cuts and the per-edge geometry the slant-line check asks of a site:
// bisectors at an edge's ends, turning angles, the corner points standing for
// an edge's ends across a corner cut, end types and the in-line tests.
//
// The angle and corner-point operations read the per-edge data of m_Sphere
// (m_EdgePos, m_EdgeCos, m_EdgeSin), not the vertices. Searches for the
// nearest edge that is not a corner cut go once round the outline; on an
// outline of corner cuts only they fall back to the neighbouring edge.

#include <cmath>

#include "CKelHSite.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// q in the frame of direction (c, s) about origin o: x along, y to the left.
CKelCoord2D InFrame(const CKelCoord2D& q, const CKelCoord2D& o, double c, double s)
{
  const double dx = q.m_x - o.m_x;
  const double dy = q.m_y - o.m_y;
  return CKelCoord2D(dx * c + dy * s, c * dy - s * dx);
}

// The direction (cos phi, sin phi) of a - b; (1, 0) when they coincide.
void Direction(const CKelCoord2D& a, const CKelCoord2D& b, double* c, double* s)
{
  CalcCosSin(b, a, c, s, nullptr);
}

bool ZeroOrAbove(double v) { return v > 0 || std::fabs(v) <= KelTol::SiteEdgeType; }
bool ZeroOrBelow(double v) { return v <= 0 || std::fabs(v) <= KelTol::SiteEdgeType; }

// The angle of p - b in the frame of the direction from -> to.
double AngleIn(const CKelCoord2D& p, const CKelCoord2D& b, const CKelCoord2D& from, const CKelCoord2D& to)
{
  double c = 1, s = 0;
  CalcCosSin(from, to, &c, &s, nullptr);
  const CKelCoord2D local = InFrame(p, b, c, s);
  return std::atan2(local.m_y, local.m_x);
}

void Write(double* out, double value)
{
  if (out != nullptr)
    *out = value;
}

}  // namespace

int CKelHSite::NonCutBefore(int i) const
{
  const int found = FindNonCut(Prev(i), -1);
  return found >= 0 ? found : Prev(i);
}

int CKelHSite::NonCutAfter(int i) const
{
  const int found = FindNonCut(Next(i), +1);
  return found >= 0 ? found : Next(i);
}

bool CKelHSite::CheckEnableCut(int i) const { return Vertex(i - 1).IsRoad() && Vertex(i + 1).IsRoad(); }

bool CKelHSite::CheckEnableCut(const std::vector<int>& list) const
{
  if (list.empty())
    return false;
  for (int i : list) {
    if (i < 0 || i >= GetSize() || !CheckEnableCut(i))
      return false;
  }
  return true;
}

void CKelHSite::CheckSumikiri(int i)
{
  if (Vertex(i).IsRoad())
    return;
  if (Vertex(i + 1).IsSumikiri())
    ResetToRinchi(Next(i));
  if (Vertex(i - 1).IsSumikiri())
    ResetToRinchi(Prev(i));
}

// The bisector at the start of edge i, turned by half the angle from the
// edge's direction back along the previous edge that is not a corner cut.
void CKelHSite::CalcBegHalfCutAngle(int i, double* c, double* s) const
{
  CalcBegHalfCutAngleFrom(NonCutBefore(i), i, c, s);
}

void CKelHSite::CalcBegHalfCutAngleFrom(int p, int i, double* c, double* s) const
{
  double uc = 1, us = 0;
  CalcCosSin(Vertex(i), Vertex(i + 1), &uc, &us, nullptr);
  const CKelCoord2D a = InFrame(Vertex(p), Vertex(i), uc, us);
  const CKelCoord2D b = InFrame(Vertex(p + 1), Vertex(i), uc, us);
  double pc = 1, ps = 0;
  Direction(a, b, &pc, &ps);
  const double h = std::sqrt((1 + pc) / 2);
  const double g = std::sqrt((1 - pc) / 2);
  if (ps <= 0) {
    Write(c, h * uc + g * us);
    Write(s, h * us - g * uc);
  } else {
    Write(c, g * us - h * uc);
    Write(s, -g * uc - h * us);
  }
}

namespace {

// The end bisector from the direction (uc, us) of the edge and the points a, b
// of the next edge that is not a corner cut, in that edge's frame.
void EndBisector(double uc, double us, const CKelCoord2D& a, const CKelCoord2D& b, double* c, double* s)
{
  double pc = 1, ps = 0;
  Direction(a, b, &pc, &ps);
  const double h = std::sqrt((1 + pc) / 2);
  const double g = std::sqrt((1 - pc) / 2);
  if (ps >= 0) {
    Write(c, h * uc - g * us);
    Write(s, g * uc + h * us);
  } else {
    Write(c, -h * uc - g * us);
    Write(s, g * uc - h * us);
  }
}

}  // namespace

void CKelHSite::CalcEndHalfCutAngle(int i, double* c, double* s) const
{
  const int q = NonCutAfter(i);
  double uc = 1, us = 0;
  CalcCosSin(Vertex(i), Vertex(i + 1), &uc, &us, nullptr);
  const CKelCoord2D& origin = Vertex(i + 1);
  EndBisector(uc, us, InFrame(Vertex(q), origin, uc, us), InFrame(Vertex(q + 1), origin, uc, us), c, s);
}

void CKelHSite::CalcEndHalfCutAngle(const CKelCoord2D& p, int i, double* c, double* s) const
{
  CalcEndHalfCutAngleTo(p, i, NonCutAfter(i), c, s);
}

void CKelHSite::CalcEndHalfCutAngleTo(const CKelCoord2D& p, int i, int q, double* c, double* s) const
{
  const CKelHsiteSphereTable& edge = Vertex(i).m_Sphere;
  const double uc = edge.m_EdgeCos;
  const double us = edge.m_EdgeSin;
  EndBisector(uc, us, InFrame(Vertex(q).m_Sphere.m_EdgePos[0], p, uc, us),
              InFrame(Vertex(q + 1).m_Sphere.m_EdgePos[0], p, uc, us), c, s);
}

const CKelCoord2D& CKelHSite::EdgeStart(int i) const
{
  const int n = GetSize();
  return m_pt[static_cast<std::size_t>(((i % n) + n) % n)].m_Sphere.m_EdgePos[0];
}

double CKelHSite::GetAngle(int i) const
{
  return AngleIn(EdgeStart(i + 1), EdgeStart(i), EdgeStart(i - 1), EdgeStart(i));
}

double CKelHSite::GetPrevAngle(int i) const
{
  return AngleIn(EdgeStart(i - 1), EdgeStart(i), EdgeStart(i), EdgeStart(i + 1));
}

double CKelHSite::GetNextAngle(int i) const
{
  return AngleIn(EdgeStart(i + 2), EdgeStart(i + 1), EdgeStart(i), EdgeStart(i + 1));
}

bool CKelHSite::CheckGroupAngle(int i, double limit) const
{
  const double opening = KelAngle::Pi - std::fabs(GetAngle(i));
  // Stored edge points that are not numbers give no angle and no group.
  if (!(opening >= 0))
    return false;
  return opening > limit;
}

bool CKelHSite::IsCrankBeg(int i) const
{
  if (!Vertex(i - 1).IsRoad())
    return false;
  double c = 1, s = 0;
  CalcCosSin(Vertex(i - 1), Vertex(i), &c, &s, nullptr);
  const double dx = Vertex(i + 1).m_x - Vertex(i).m_x;
  const double dy = Vertex(i + 1).m_y - Vertex(i).m_y;
  return std::fabs(c * dy - s * dx) <= KelTol::SiteOnLine;
}

bool CKelHSite::IsCrankEnd(int i) const
{
  if (!Vertex(i + 1).IsRoad())
    return false;
  const int n = GetSize();
  double c = 1, s = 0;
  CalcCosSin(Vertex(i), Vertex(i + 1), &c, &s, nullptr);
  const CKelSiteTable& far = Vertex(((i + 2) % n + n) % n);
  const double dx = far.m_x - Vertex(i + 1).m_x;
  const double dy = far.m_y - Vertex(i + 1).m_y;
  return std::fabs(c * dy - s * dx) <= KelTol::SiteOnLine;
}

CKelCoord2D CKelHSite::GetBegC(int i) const
{
  return Vertex(i - 1).CutPointForNextEdge(Vertex(i).m_Sphere.m_EdgePos[0]);
}

CKelCoord2D CKelHSite::GetEndC(int i) const
{
  const CKelSiteTable& next = Vertex(i + 1);
  return next.CutPointForPrevEdge(next.m_Sphere.m_EdgePos[0]);
}

int CKelHSite::GetBegEdgeType(int i) const
{
  const CKelCoord2D& p = EdgeStart(NonCutBefore(i));
  const CKelHsiteSphereTable& edge = Vertex(i).m_Sphere;
  const CKelCoord2D local = InFrame(p, GetBegC(i), edge.m_EdgeCos, edge.m_EdgeSin);
  return (ZeroOrAbove(local.m_y) ? 2 : 0) + (ZeroOrBelow(local.m_x) ? 1 : 0);
}

int CKelHSite::GetEndEdgeType(int i) const
{
  const int next = Next(i);
  CKelCoord2D q;
  CKelCoord2D c;
  if (!Vertex(next).IsSumikiri()) {
    q = EdgeStart(i + 2);
    c = GetEndC(i);
  } else {
    q = EdgeStart(NonCutAfter(next));
    c = Vertex(next).m_Sphere.m_EdgePos[1];
  }
  const CKelHsiteSphereTable& edge = Vertex(i).m_Sphere;
  const CKelCoord2D local = InFrame(q, c, edge.m_EdgeCos, edge.m_EdgeSin);
  return (ZeroOrAbove(local.m_x) ? 1 : 0) + (ZeroOrAbove(local.m_y) ? 2 : 0);
}
