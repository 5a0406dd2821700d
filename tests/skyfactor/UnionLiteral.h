#pragma once
// The flagging of the union's edges as first written: every edge searched
// for in every polygon whose box holds its ends, and every polygon asked
// about the midpoint of every other polygon's edges through the plain point
// location. Kept only so that tests can check that the indexed forms flag
// the same edges.

#include <cstddef>
#include <vector>

#include "CSphereBlkDataArrayNew.h"
#include "KelTolerance.h"
#include "LocateLiteral.h"

namespace union_literal {

using Crossing = CKelArea<CKelCoord2D>::Crossing;

inline void DeletePointInArea(CSphereBlkDataArrayNew& u)
{
  CSpherePolyAreaArray& polys = u.m_PolyArea;
  for (CSpherePolyArea& area : polys) {
    area.m_AreaCoord.m_pt.clear();
    for (int k = 0; k < area.Size(); ++k)
      area.m_AreaCoord.m_pt.push_back(u.m_PolyCoord.Chart(area.IdxAt(k)));
    area.m_AreaCoord.SetMaxMin();
    area.m_AreaCoord.SetArea();
  }
  const auto inBox = [](const CSpherePolyArea& other, const CKelCoord2D& p) {
    const CKelAreaCoord2D& o = other.m_AreaCoord;
    return !(p.m_x < o.m_xmin || p.m_x > o.m_xmax || p.m_y < o.m_ymin || p.m_y > o.m_ymax);
  };
  for (std::size_t i = 0; i < polys.size(); ++i) {
    CSpherePolyArea& area = polys[i];
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      if (area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag != 0)
        continue;
      const int a = area.IdxAt(prev);
      const int b = area.IdxAt(k);
      const CKelCoord2D ca = u.m_PolyCoord.Chart(a), cb = u.m_PolyCoord.Chart(b);
      std::vector<CSearchIdxWork> hits;
      bool reversed = false;
      for (std::size_t j = 0; j < polys.size(); ++j) {
        if (j == i || !inBox(polys[j], ca) || !inBox(polys[j], cb))
          continue;
        const int pos = polys[j].SearchIdx(a, b);
        if (pos != 0) {
          hits.emplace_back(static_cast<int>(j), pos);
          reversed = reversed || pos < 0;
        }
      }
      if (!reversed)
        continue;
      area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag = CSpherePolyAreaFlag::kShared;
      for (const CSearchIdxWork& hit : hits) {
        const int entry = hit.m_EdgePos > 0 ? hit.m_EdgePos - 1 : -hit.m_EdgePos - 1;
        polys[static_cast<std::size_t>(hit.m_AreaNo)].m_Idx[static_cast<std::size_t>(entry)].m_EdgeFlag =
            CSpherePolyAreaFlag::kShared;
      }
    }
  }
  const auto inside = [](const CSpherePolyArea& other, const CKelCoord2D& p) {
    return locate_literal::InArea(other.m_AreaCoord, p, KelTol::SkyUnionInside, Crossing::TenthTol);
  };
  for (std::size_t i = 0; i < polys.size(); ++i) {
    CSpherePolyArea& area = polys[i];
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      const CKelCoord2D a = u.m_PolyCoord.Chart(area.IdxAt(prev));
      const CKelCoord2D b = u.m_PolyCoord.Chart(area.IdxAt(k));
      const CKelCoord2D mid((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2);
      for (std::size_t j = 0; j < polys.size(); ++j) {
        if (j == i)
          continue;
        const int r = inside(polys[j], mid);
        const bool in = r == 1 || (r == -1 && (inside(polys[j], a) == 1 || inside(polys[j], b) == 1));
        if (in) {
          area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag = CSpherePolyAreaFlag::kInside;
          break;
        }
      }
    }
  }
}

}  // namespace union_literal
