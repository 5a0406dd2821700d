// Edge lines: short lines from a check point across the base line to the
// nearest base-block side (the distance to the permitted volume), and the
// area of an outline.
//
// A line frame is an origin O and a unit direction (c, s): along(V) is the
// position of V on the line, across(V) its distance to the left of it.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "CSyasenCheckBlockParam.h"
#include "KelTolerance.h"

namespace {

// "No value yet" of a minimum search.
constexpr double kNoMinimum = 1e38;

struct Frame {
  CKelCoord2D o;
  double c, s;
  double Along(const CKelCoord2D& v) const { return (v.m_x - o.m_x) * c + (v.m_y - o.m_y) * s; }
  double Across(const CKelCoord2D& v) const { return (v.m_y - o.m_y) * c - (v.m_x - o.m_x) * s; }
  CKelCoord3D At(double t, double w, double z) const
  {
    return CKelCoord3D(o.m_x + t * c - w * s, o.m_y + t * s + w * c, z);
  }
};

bool NotBelowZero(double v) { return v > 0 || std::fabs(v) <= KelTol::SlantPiece; }

// The side's width at position t of the frame, when the side spans t.
bool SideAt(const Frame& f, const CKelCoord2D& v0, const CKelCoord2D& v1, double t, double* w)
{
  const double a0 = f.Along(v0), a1 = f.Along(v1);
  const double w0 = f.Across(v0), w1 = f.Across(v1);
  if (std::fabs(a0 - a1) <= KelTol::SlantPiece) {
    if (std::fabs(a0 - t) > KelTol::SlantPiece)
      return false;
    *w = w0;
    return true;
  }
  if (t < std::min(a0, a1) - KelTol::SlantPiece || t > std::max(a0, a1) + KelTol::SlantPiece)
    return false;
  *w = w0 + (w1 - w0) * (t - a0) / (a1 - a0);
  return true;
}

void AddLine(const CKelCoord3D& a, const CKelCoord3D& b, std::vector<CoordLine3D>& out)
{
  CoordLine3D line;
  static_cast<CoordLine2D&>(line) = CoordLine2D(a, b);
  line.m_Beg3D = a;
  line.m_End3D = b;
  if (out.empty() || out.back() != line)
    out.push_back(line);
}

}  // namespace

double CSyasenCheckBlockParam::CalcArea(const std::vector<CKelCoord3DEx>& outline)
{
  double sum = 0;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const CKelCoord3DEx& p = outline[i];
    const CKelCoord3DEx& q = outline[i == 0 ? outline.size() - 1 : i - 1];
    sum += (q.m_x - p.m_x) * (p.m_y + q.m_y);
  }
  return 0.5 * sum;
}

void CSyasenCheckBlockParam::CreateAreaEdgeLineDistance(const CKelCoord2D& origin, double c, double s,
                                                        const CKelCoord3D& point,
                                                        std::vector<CoordLine3D>& out) const
{
  const Frame f{origin, c, s};
  const double t = f.Along(point);
  double best = kNoMinimum;
  for (const CKelBlockCube& b : m_BaseBlock) {
    if (!IsBaseOnly(b))
      continue;
    const std::size_t n = b.m_Coord.size();
    for (std::size_t i = 0; i < n; ++i) {
      const CKelBlockCoord& v0 = b.m_Coord[i == 0 ? n - 1 : i - 1];
      const CKelBlockCoord& v1 = b.m_Coord[i];
      double w = 0;
      if (NotBelowZero(f.Across(v0)) && NotBelowZero(f.Across(v1)) && SideAt(f, v0, v1, t, &w))
        best = std::min(best, w);
    }
  }
  AddLine(point, f.At(t, best == kNoMinimum ? 0.0 : best, point.m_z), out);
}

void CSyasenCheckBlockParam::CreateAreaEdgeLineDistanceNorthside(const CKelCoord2D& origin, double c, double s,
                                                                 const CKelCoord3D& point,
                                                                 std::vector<CoordLine3D>& out) const
{
  const Frame f{origin, c, s};
  const double t = f.Along(point), wp = f.Across(point);
  // The lowest finite double: nothing found yet.
  double best = -DBL_MAX;
  for (const CKelBlockCube& b : m_BaseBlock) {
    if (!IsBaseOnly(b))
      continue;
    for (const CKelBlockCoord& v : b.m_Coord) {
      if (std::fabs(f.Along(v) - t) <= KelTol::SlantPiece && f.Across(v) < wp - KelTol::SlantPiece)
        best = std::max(best, f.Across(v));
    }
  }
  if (best != -DBL_MAX)
    AddLine(point, f.At(t, best, point.m_z), out);
}

void CSyasenCheckBlockParam::CreateAreaEdgeLine3(const CRoadLineParam& line, std::vector<CoordLine3D>& out,
                                                 const double* angle) const
{
  if (m_SphereRatio.empty() || m_OptNo >= 0)
    return;
  const CKelCoord2D origin = angle == nullptr ? CKelCoord2D(line.m_Beg) : CKelCoord2D(0, 0);
  const double c = angle == nullptr ? line.m_Cos : std::cos(*angle);
  const double s = angle == nullptr ? line.m_Sin : std::sin(*angle);
  const auto distance = [&](const CKelCoord3D& p) {
    if (angle == nullptr)
      CreateAreaEdgeLineDistance(origin, c, s, p, out);
    else
      CreateAreaEdgeLineDistanceNorthside(origin, c, s, p, out);
  };
  for (const CKelCoord3DCrsPntArray& entries : m_Cpntline) {
    if (entries.empty()) {
      if (angle == nullptr) {
        CreateAreaEdgeLineDistance(origin, c, s, m_SphereRatio.front().GetCoord3D(0), out);
        CreateAreaEdgeLineDistance(origin, c, s, m_SphereRatio.back().GetCoord3D(0), out);
      }
      continue;
    }
    for (std::size_t i = 1; i < entries.size(); ++i) {
      if (!entries[i].IsCenter()) {
        distance(entries[i - 1]);
        distance(entries[i]);
        continue;
      }
      // An arc: its two radii instead of distance lines.
      AddLine(entries[i - 1], entries[i], out);
      if (i + 1 < entries.size())
        AddLine(entries[i], entries[i + 1], out);
      ++i;
    }
  }
}

void CSyasenCheckBlockParam::CreateAreaEdgeLine2(const CSphereRatioParam& cpnt, CKelCoord2D& out1,
                                                 CKelCoord2D& out2) const
{
  const CKelCoord2D p1 = cpnt.m_bUsePoint ? cpnt.m_BegPoint : m_BegPoint;
  const CKelCoord2D p2 = cpnt.m_bUsePoint ? cpnt.m_EndPoint : m_EndPoint;
  const CKelCoord2D c(cpnt.GetCoord3D(0));
  // The nearest vertex on the ray from c towards p, as a distance along it.
  // The blocks are whole again where a radial cut split them (the pieces
  // are merged back), so a vertex on the ray is a corner of the blocks.
  const auto nearestOnRay = [&](const CKelCoord2D& p, CKelCoord2D& out) {
    out = CKelCoord2D(kNoMinimum, kNoMinimum);
    const double len = std::hypot(p.m_x - c.m_x, p.m_y - c.m_y);
    if (!(len > KelTol::SlantPiece)) {
      out = p;
      return;
    }
    const double ux = (p.m_x - c.m_x) / len, uy = (p.m_y - c.m_y) / len;
    double best = kNoMinimum;
    for (const CKelBlockCube& b : cpnt.m_BlockList) {
      if (!IsBaseOnly(b))
        continue;
      for (const CKelBlockCoord& v : b.m_Coord) {
        const double dx = v.m_x - c.m_x, dy = v.m_y - c.m_y;
        const double along = ux * dx + uy * dy;
        if (NotBelowZero(along) && std::fabs(ux * dy - uy * dx) <= KelTol::SlantRayCorner)
          best = std::min(best, along);
      }
    }
    out = best == kNoMinimum ? p : CKelCoord2D(c.m_x + best * ux, c.m_y + best * uy);
  };
  nearestOnRay(p1, out1);
  nearestOnRay(p2, out2);
}
