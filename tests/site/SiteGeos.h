#pragma once
// GEOS (its C API) for the site sweeps: an independent model of a lot's
// areas and distances, computed by other code than the readers'. Polygons
// may be of either orientation, degenerate or self-crossing (a road quad
// turned inside out); each is made valid first, so a bow tie counts both
// its lobes, as a winding number other than zero does.

#include <geos_c.h>

#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

#include "CKelCoord.h"

namespace site_geos {

using Polygon = std::vector<CKelCoord2D>;
using PolygonSet = std::vector<Polygon>;

inline GEOSContextHandle_t Context()
{
  struct Handle {
    GEOSContextHandle_t m_H = GEOS_init_r();
    ~Handle() { GEOS_finish_r(m_H); }
  };
  static const Handle handle;
  return handle.m_H;
}

struct Destroy {
  void operator()(GEOSGeometry* g) const { GEOSGeom_destroy_r(Context(), g); }
};
using Geometry = std::unique_ptr<GEOSGeometry, Destroy>;

// The overlays snap to a grid this fine (metres): floating overlays of two
// nearly coincident outlines (a road read to round-off as modelled) may
// lose the overlap altogether, reading two equal quads as disjoint.
inline constexpr double kOverlayGrid = 1e-9;

inline Geometry Empty() { return Geometry(GEOSGeom_createEmptyPolygon_r(Context())); }

// The polygons of g: making a polygon valid leaves a line where it encloses
// nothing (a wedge between two lines that run on straight), and an overlay
// of regions with lines among them fails.
inline Geometry Polygonal(Geometry g)
{
  GEOSContextHandle_t h = Context();
  const int type = g ? GEOSGeomTypeId_r(h, g.get()) : -1;
  if (type == GEOS_POLYGON || type == GEOS_MULTIPOLYGON)
    return g;
  std::vector<GEOSGeometry*> kept;
  const int count = type == GEOS_GEOMETRYCOLLECTION ? GEOSGetNumGeometries_r(h, g.get()) : 0;
  for (int i = 0; i < count; ++i) {
    const GEOSGeometry* part = GEOSGetGeometryN_r(h, g.get(), i);
    if (GEOSGeomTypeId_r(h, part) == GEOS_POLYGON)
      kept.push_back(GEOSGeom_clone_r(h, part));
  }
  if (kept.empty())
    return Empty();
  return Geometry(GEOSGeom_createCollection_r(h, GEOS_MULTIPOLYGON, kept.data(), static_cast<unsigned>(kept.size())));
}

// The polygon made valid; empty below three points.
inline Geometry Make(const Polygon& p)
{
  if (p.size() < 3)
    return Empty();
  GEOSContextHandle_t h = Context();
  GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, static_cast<unsigned>(p.size() + 1), 2);
  for (std::size_t i = 0; i <= p.size(); ++i)
    GEOSCoordSeq_setXY_r(h, s, static_cast<unsigned>(i), p[i % p.size()].m_x, p[i % p.size()].m_y);
  const Geometry raw(GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, s), nullptr, 0));
  return Polygonal(Geometry(GEOSMakeValid_r(h, raw.get())));
}

inline Geometry Union(const PolygonSet& set)
{
  std::vector<GEOSGeometry*> parts;
  for (const Polygon& p : set)
    parts.push_back(Make(p).release());
  if (parts.empty())
    return Empty();
  GEOSContextHandle_t h = Context();
  const Geometry all(GEOSGeom_createCollection_r(h, GEOS_GEOMETRYCOLLECTION, parts.data(),
                                                 static_cast<unsigned>(parts.size())));
  return Geometry(GEOSUnaryUnionPrec_r(h, all.get(), kOverlayGrid));
}

// The region's area; not a number where an overlay failed (none).
inline double Area(const GEOSGeometry* g)
{
  double a = std::numeric_limits<double>::quiet_NaN();
  if (g != nullptr)
    GEOSArea_r(Context(), g, &a);
  return a;
}

// The area of the symmetric difference of two regions, or of the two
// sets' unions.
inline double XorArea(const GEOSGeometry* a, const GEOSGeometry* b)
{
  return Area(Geometry(GEOSSymDifferencePrec_r(Context(), a, b, kOverlayGrid)).get());
}

inline double XorArea(const PolygonSet& a, const PolygonSet& b) { return XorArea(Union(a).get(), Union(b).get()); }

inline double UnionArea(const PolygonSet& a) { return Area(Union(a).get()); }

// The distance from p to the polygon's region: 0 inside it.
inline double Distance(const GEOSGeometry* region, const CKelCoord2D& p);
inline double Distance(const Polygon& polygon, const CKelCoord2D& p) { return Distance(Make(polygon).get(), p); }

// The strip of width `width` on the right of the polyline (outside a
// counter-clockwise lot), its pieces' far lines meeting at mitres, flat
// across its ends.
inline Geometry RightStrip(const Polygon& line, double width)
{
  GEOSContextHandle_t h = Context();
  GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, static_cast<unsigned>(line.size()), 2);
  for (std::size_t i = 0; i < line.size(); ++i)
    GEOSCoordSeq_setXY_r(h, s, static_cast<unsigned>(i), line[i].m_x, line[i].m_y);
  const Geometry path(GEOSGeom_createLineString_r(h, s));
  GEOSBufferParams* params = GEOSBufferParams_create_r(h);
  GEOSBufferParams_setSingleSided_r(h, params, 1);
  GEOSBufferParams_setJoinStyle_r(h, params, GEOSBUF_JOIN_MITRE);
  GEOSBufferParams_setMitreLimit_r(h, params, 1e3);
  GEOSBufferParams_setEndCapStyle_r(h, params, GEOSBUF_CAP_FLAT);
  Geometry strip(GEOSBufferWithParams_r(h, path.get(), params, -width));
  GEOSBufferParams_destroy_r(h, params);
  return strip;
}

inline Geometry Union(const GEOSGeometry* a, const GEOSGeometry* b)
{
  return Geometry(GEOSUnionPrec_r(Context(), a, b, kOverlayGrid));
}

// The distance from p to a region: 0 inside it.
inline double Distance(const GEOSGeometry* region, const CKelCoord2D& p)
{
  GEOSContextHandle_t h = Context();
  const Geometry point(GEOSGeom_createPointFromXY_r(h, p.m_x, p.m_y));
  double d = 0;
  GEOSDistance_r(h, region, point.get(), &d);
  return d;
}

}  // namespace site_geos
