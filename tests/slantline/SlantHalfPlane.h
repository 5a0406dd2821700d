#pragma once
// An independent reading of the half cuts of a slant-line check: the
// source outline clipped by four half-planes, with no runs, pieces or
// tolerances. At each end of the stretch the cut runs along the bisector of
// the outline's corner there (square to the side where the end lies on a
// side, not at a corner), and the base line's square through the end
// bounds it as well. The vertical cuts are read at the same corners, on
// the source as pieces.

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "KelGeometry.h"

namespace slant_model {

// outline clipped to the points on the right of the line through p along d.
inline std::vector<CKelCoord2D> KeepRight(const std::vector<CKelCoord2D>& outline, const CKelCoord2D& p, double dx,
                                          double dy)
{
  std::vector<CKelCoord2D> out;
  const auto side = [&](const CKelCoord2D& x) { return dx * (x.m_y - p.m_y) - dy * (x.m_x - p.m_x); };
  for (std::size_t k = 0; k < outline.size(); ++k) {
    const CKelCoord2D& a = outline[k];
    const CKelCoord2D& b = outline[(k + 1) % outline.size()];
    const double sa = side(a), sb = side(b);
    if (sa <= 0)
      out.push_back(a);
    if ((sa < 0 && sb > 0) || (sa > 0 && sb < 0)) {
      const double t = sa / (sa - sb);
      out.emplace_back(a.m_x + t * (b.m_x - a.m_x), a.m_y + t * (b.m_y - a.m_y));
    }
  }
  return out;
}

inline double Area(const std::vector<CKelCoord2D>& outline)
{
  double a = 0;
  for (std::size_t k = 0; k < outline.size(); ++k) {
    const CKelCoord2D& p = outline[k];
    const CKelCoord2D& q = outline[(k + 1) % outline.size()];
    a += p.m_x * q.m_y - q.m_x * p.m_y;
  }
  return std::fabs(a) / 2;
}

struct Dir {
  double x = 1, y = 0;
};

inline Dir Unit(const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double len = std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
  return {(b.m_x - a.m_x) / len, (b.m_y - a.m_y) / len};
}

// The sides of the counter-clockwise outline before and after p: the two
// beside the corner at p, or twice the side p lies on.
inline void SidesAt(const std::vector<CKelCoord2D>& site, const CKelCoord2D& p, Dir* in, Dir* out)
{
  const std::size_t n = site.size();
  std::size_t best = 0;
  double gap = -1;
  for (std::size_t k = 0; k < n; ++k) {
    const double d = p.GetLength(site[k]);
    if (gap < 0 || d < gap) {
      best = k;
      gap = d;
    }
  }
  if (gap <= 1e-9) {
    *in = Unit(site[(best + n - 1) % n], site[best]);
    *out = Unit(site[best], site[(best + 1) % n]);
    return;
  }
  for (std::size_t k = 0; k < n; ++k) {
    if (linedist(site[k], site[(k + 1) % n], p, nullptr) <= 1e-9) {
      *in = *out = Unit(site[k], site[(k + 1) % n]);
      return;
    }
  }
}

// The inward bisector of the corner between sides u and v.
inline Dir Bisector(const Dir& u, const Dir& v)
{
  const double x = -u.y - v.y, y = u.x + v.x, len = std::hypot(x, y);
  return {x / len, y / len};
}

// The area the half cuts keep of source for the stretch beg -> end of the
// counter-clockwise site outline; (bx, by) the base line's direction.
// The corners at the two ends may be read on outlines of their own
// (atEnd; by default site): a corner whose side runs on through a slight
// bend is read along the side's chord, as the check reads its run.
inline double HalfCutArea(const std::vector<CKelCoord2D>& site, const std::vector<CKelCoord2D>& source,
                          const CKelCoord2D& beg, const CKelCoord2D& end, double bx, double by,
                          const std::vector<CKelCoord2D>* atEnd = nullptr)
{
  Dir in, out;
  SidesAt(site, beg, &in, &out);
  const Dir wb = Bisector(in, out);
  SidesAt(atEnd != nullptr ? *atEnd : site, end, &in, &out);
  const Dir we = Bisector(in, out);
  std::vector<CKelCoord2D> kept = KeepRight(source, beg, wb.x, wb.y);
  kept = KeepRight(kept, end, -we.x, -we.y);
  kept = KeepRight(kept, beg, -by, bx);
  kept = KeepRight(kept, end, by, -bx);
  return Area(kept);
}

// Outlines read as separate pieces.
using Pieces = std::vector<std::vector<CKelCoord2D>>;

inline Pieces KeepRight(const Pieces& pieces, const CKelCoord2D& p, double dx, double dy)
{
  Pieces out;
  for (const std::vector<CKelCoord2D>& piece : pieces) {
    std::vector<CKelCoord2D> kept = KeepRight(piece, p, dx, dy);
    if (kept.size() >= 3)
      out.push_back(std::move(kept));
  }
  return out;
}

// The vertical cut at the corner p between the sides along u (before) and
// v (after), at the stretch's begin or end. At the begin it cuts unless v
// turns towards the site; at the end only where v turns away from it. The
// side beyond the corner keeps whole what lies outside its line through p
// and cuts the rest square to it at p; the checked side's own line through
// p first keeps whole what lies on the site side, at the begin where it
// turns back by more than a right angle, at the end where it turns less.
inline Pieces VertCut(const Pieces& source, const CKelCoord2D& p, const Dir& u, const Dir& v, bool atBegin)
{
  const double cross = u.x * v.y - u.y * v.x, dot = u.x * v.x + u.y * v.y;
  if (atBegin ? cross > 0 : cross >= 0)
    return source;
  const Dir& own = atBegin ? v : u;
  const Dir& beyond = atBegin ? u : v;
  Pieces kept, rest = source;
  if (atBegin ? dot < 0 : dot > 0) {
    kept = KeepRight(rest, p, -own.x, -own.y);
    rest = KeepRight(rest, p, own.x, own.y);
  }
  for (std::vector<CKelCoord2D>& piece : KeepRight(rest, p, beyond.x, beyond.y))
    kept.push_back(std::move(piece));
  rest = KeepRight(rest, p, -beyond.x, -beyond.y);
  rest = atBegin ? KeepRight(rest, p, -beyond.y, beyond.x) : KeepRight(rest, p, beyond.y, -beyond.x);
  for (std::vector<CKelCoord2D>& piece : rest)
    kept.push_back(std::move(piece));
  return kept;
}

// The area the vertical cuts keep of source for the stretch beg -> end,
// the base line's squares moved offBeg behind beg and offEnd beyond end;
// the corners read as HalfCutArea reads them.
inline double VertCutArea(const std::vector<CKelCoord2D>& site, const std::vector<CKelCoord2D>& source,
                          const CKelCoord2D& beg, const CKelCoord2D& end, double bx, double by, double offBeg,
                          double offEnd, const std::vector<CKelCoord2D>* atEnd = nullptr)
{
  Dir in, out;
  SidesAt(site, beg, &in, &out);
  Pieces kept = VertCut({source}, beg, in, out, true);
  SidesAt(atEnd != nullptr ? *atEnd : site, end, &in, &out);
  kept = VertCut(kept, end, in, out, false);
  kept = KeepRight(kept, CKelCoord2D(beg.m_x - offBeg * bx, beg.m_y - offBeg * by), -by, bx);
  kept = KeepRight(kept, CKelCoord2D(end.m_x + offEnd * bx, end.m_y + offEnd * by), by, -bx);
  double area = 0;
  for (const std::vector<CKelCoord2D>& piece : kept)
    area += Area(piece);
  return area;
}

}  // namespace slant_model
