#pragma once
// Helpers shared by the site tests: stored bytes written out field by field
// in every width the site records use, and the sites the tests start from.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CKelHSite.h"
#include "KelTestSupport.h"

namespace site_test {

using kel_test::Bytes;

// Little-endian fields of any width, the archive's tags and points.
class SiteBytes {
public:
  template <class T>
  SiteBytes& Put(T value)
  {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof(T));
    return *this;
  }
  SiteBytes& I8(std::int8_t v) { return Put(v); }
  SiteBytes& I16(std::int16_t v) { return Put(v); }
  SiteBytes& I32(std::int32_t v) { return Put(v); }
  SiteBytes& F32(float v) { return Put(v); }
  SiteBytes& F64(double v) { return Put(v); }
  SiteBytes& Tag(const std::string& text)
  {
    kel_test::ByteBuilder b;
    b.Text(text);
    return Raw(b.bytes);
  }
  SiteBytes& Pt2(double x, double y) { return Tag("CKelCoord2D").F64(x).F64(y); }
  SiteBytes& Pt3(double x, double y, double z) { return Tag("CKelCoord3D").F64(z).Pt2(x, y); }
  SiteBytes& Raw(const Bytes& more)
  {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
  }

  Bytes bytes;
};

// A counter-clockwise site through the points with its area and box set.
inline CKelHSite Site(std::initializer_list<std::pair<double, double>> points)
{
  CKelHSite site(kel_test::Pts(points));
  site.SetArea();
  site.SetMaxMin();
  return site;
}

// The 10 x 10 square most tests start from.
inline CKelHSite Square(double side = 10)
{
  return Site({{0, 0}, {side, 0}, {side, side}, {0, side}});
}

// Makes edge i a road of the given widths, accepted by the site's check.
inline void MakeRoad(CKelHSite& site, int i, double w1, double w2)
{
  CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(i)];
  v.COND = CKelSiteTable::kRoad;
  v.m_RoadWidthBeg = w1;
  v.m_RoadWidthEnd = w2;
  v.CheckRoadWuser();
}

inline void MakeCut(CKelHSite& site, int i) { site.m_pt[static_cast<std::size_t>(i)].COND = CKelSiteTable::kSumikiri; }

// The per-edge data the check driver fills: start, direction and length.
inline void FillEdgeData(CKelHSite& site)
{
  for (int i = 0; i < site.GetSize(); ++i) {
    CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(i)];
    CKelHsiteSphereTable& sp = v.m_Sphere;
    sp.m_EdgePos[0] = v;
    CalcCosSin(v, site.Vertex(i + 1), &sp.m_EdgeCos, &sp.m_EdgeSin, &sp.m_EdgeLen);
  }
}

// Roads and crossings built from the edges, as after an edit.
inline void BuildRoads(CKelHSite& site)
{
  site.m_Road = site.CalcRoadData();
  site.m_Cross = site.SetCrossRoad(site.m_Road);
}

}  // namespace site_test
