#pragma once
// Former forms of the union's steps, kept only so that tests can check that
// the faster forms give the same polygons, flags and chains. The flagging of
// the union's edges as first written: every edge searched for in every
// polygon whose box holds its ends, and every polygon asked about the
// midpoint of every other polygon's edges through the plain point location.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "CKelProgressCore.h"
#include "CSphereBlkDataArrayNew.h"
#include "KelTolerance.h"
#include "LocateLiteral.h"

namespace union_literal {

using Crossing = CKelArea<CKelCoord2D>::Crossing;

inline void ChartOutlines(CSphereBlkDataArrayNew& u)
{
  for (CSpherePolyArea& area : u.m_PolyArea) {
    area.m_AreaCoord.m_pt.clear();
    for (int k = 0; k < area.Size(); ++k)
      area.m_AreaCoord.m_pt.push_back(u.m_PolyCoord.Chart(area.IdxAt(k)));
    area.m_AreaCoord.SetMaxMin();
    area.m_AreaCoord.SetArea();
  }
}

inline bool InBox(const CSpherePolyArea& other, const CKelCoord2D& p)
{
  const CKelAreaCoord2D& o = other.m_AreaCoord;
  return !(p.m_x < o.m_xmin || p.m_x > o.m_xmax || p.m_y < o.m_ymin || p.m_y > o.m_ymax);
}

// The shared edges flagged, the other polygons holding edge i's (a, b)
// gathered by hitsOf(i, a, b, hits) (as SearchIdx answers for each).
template <class HitsOf>
void FlagSharedEdges(CSphereBlkDataArrayNew& u, const HitsOf& hitsOf)
{
  CSpherePolyAreaArray& polys = u.m_PolyArea;
  for (std::size_t i = 0; i < polys.size(); ++i) {
    CSpherePolyArea& area = polys[i];
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      if (area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag != 0)
        continue;
      std::vector<CSearchIdxWork> hits;
      hitsOf(i, area.IdxAt(prev), area.IdxAt(k), hits);
      if (std::none_of(hits.begin(), hits.end(), [](const CSearchIdxWork& h) { return h.m_EdgePos < 0; }))
        continue;
      area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag = CSpherePolyAreaFlag::kShared;
      for (const CSearchIdxWork& hit : hits) {
        const int entry = hit.m_EdgePos > 0 ? hit.m_EdgePos - 1 : -hit.m_EdgePos - 1;
        polys[static_cast<std::size_t>(hit.m_AreaNo)].m_Idx[static_cast<std::size_t>(entry)].m_EdgeFlag =
            CSpherePolyAreaFlag::kShared;
      }
    }
  }
}

inline void DeletePointInArea(CSphereBlkDataArrayNew& u)
{
  CSpherePolyAreaArray& polys = u.m_PolyArea;
  ChartOutlines(u);
  FlagSharedEdges(u, [&](std::size_t i, int a, int b, std::vector<CSearchIdxWork>& hits) {
    const CKelCoord2D ca = u.m_PolyCoord.Chart(a), cb = u.m_PolyCoord.Chart(b);
    for (std::size_t j = 0; j < polys.size(); ++j) {
      if (j == i || !InBox(polys[j], ca) || !InBox(polys[j], cb))
        continue;
      if (const int pos = polys[j].SearchIdx(a, b); pos != 0)
        hits.emplace_back(static_cast<int>(j), pos);
    }
  });
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

// The contact search as it stood before its reach trees: every edge of a
// polygon against the box of every other polygon whose box meets its own,
// then against runs of eight of its edges, then edge by edge, asking for a
// cancel once per edge pair it would try.
namespace contact_detail {

constexpr int kRun = 8;

inline bool AbortPerPair(CKelProgressCore* progress, const CSpherePolyArea& area, const CSpherePolyArea& other,
                         int i, int from, int to)
{
  if (progress == nullptr)
    return false;
  const int a = area.IdxAt(i);
  const int b = area.IdxAt((i + 1) % area.Size());
  for (int j = from; j < to; ++j) {
    const int oa = other.IdxAt(j);
    const int ob = other.IdxAt((j + 1) % other.Size());
    if (a == b || (oa == a && ob == b))
      continue;
    if (progress->CheckAbort())
      return true;
  }
  return false;
}

// False when the pair is not tried at all.
inline bool Insert(CSpherePolyArea& area, int i, const CSpherePolyArea& other, int j)
{
  CSpherePolyCoordArray& pool = *area.m_pCoord;
  const int a = area.IdxAt(i);
  const int b = area.IdxAt((i + 1) % area.Size());
  const int oa = other.IdxAt(j);
  const int ob = other.IdxAt((j + 1) % other.Size());
  if (a == b || (oa == a && ob == b))
    return false;
  const CKelCoord2D ca = pool.Chart(a), cb = pool.Chart(b), coa = pool.Chart(oa), cob = pool.Chart(ob);
  if (CrossPointOutOfReach(ca, cb, coa, cob))
    return true;
  const std::vector<int> contacts = ::CalcCrossPoint(&pool, ca, cb, coa, cob);
  for (auto it = contacts.rbegin(); it != contacts.rend(); ++it) {
    if (*it != a && *it != b)
      area.InsertIdx(i + 1, CSpherePolyAreaFlag(*it));
  }
  return true;
}

inline int CalcCrossPoint(CKelProgressCore* progress, CSpherePolyArea& area, const CSpherePolyArea& other)
{
  const CSpherePolyCoordArray& pool = *area.m_pCoord;
  const int m = other.Size();
  CrossPointReach whole;
  std::vector<CrossPointReach> runs;
  for (int from = 0; from < m; from += kRun) {
    CrossPointReach run;
    for (int j = from; j <= std::min(m, from + kRun); ++j)
      run.Add(pool.Chart(other.IdxAt(j % m)));
    runs.push_back(run);
  }
  for (int j = 0; j < m; ++j)
    whole.Add(pool.Chart(other.IdxAt(j)));
  const auto edge = [&](int i) {
    return std::pair{pool.Chart(area.IdxAt(i)), pool.Chart(area.IdxAt((i + 1) % area.Size()))};
  };
  for (int i = 0; i < area.Size(); ++i) {
    if (const auto [p, q] = edge(i); whole.Clear(p, q)) {
      if (AbortPerPair(progress, area, other, i, 0, m))
        return 1;
      continue;
    }
    for (int from = 0; from < m; from += kRun) {
      const int to = std::min(m, from + kRun);
      if (const auto [p, q] = edge(i); runs[static_cast<std::size_t>(from / kRun)].Clear(p, q)) {
        if (AbortPerPair(progress, area, other, i, from, to))
          return 1;
        continue;
      }
      for (int j = from; j < to; ++j) {
        if (Insert(area, i, other, j) && progress != nullptr && progress->CheckAbort())
          return 1;
      }
    }
  }
  return 0;
}

}  // namespace contact_detail

inline int CalcCrossPoint(CSphereBlkDataArrayNew& u, CKelProgressCore* progress)
{
  CSpherePolyAreaArray& polys = u.m_PolyArea;
  for (CSpherePolyArea& area : polys) {
    if (area.GetArea() < 0)
      std::reverse(area.m_Idx.begin(), area.m_Idx.end());
  }
  for (std::size_t i = 0; i < polys.size(); ++i) {
    for (std::size_t j = 0; j < polys.size(); ++j) {
      if (i == j || !polys[i].BoxMeets(polys[j]))
        continue;
      if (contact_detail::CalcCrossPoint(progress, polys[i], polys[j]) != 0)
        return 1;
    }
    if (progress != nullptr) {
      progress->StepIt();
      CSphereBlkDataArrayNew::ShowStepText(progress);
      if (progress->CheckAbort())
        return 1;
    }
  }
  return 0;
}

// Chaining an edge as it stood before the chains were indexed: every chain
// scanned for the edge's reverse, then for a branch, then for an end.
namespace chain_detail {

inline bool CancelReversed(CSphereBlkDataLineArrayArray& chains, int a, int b)
{
  for (std::size_t c = 0; c < chains.size(); ++c) {
    CSphereBlkDataLineArray& chain = chains[c];
    for (std::size_t k = 1; k < chain.size(); ++k) {
      if (chain[k - 1] != b || chain[k] != a)
        continue;
      CSphereBlkDataLineArray tail(chain.begin() + static_cast<std::ptrdiff_t>(k), chain.end());
      chain.resize(k);
      if (chain.size() < 2)
        chains.erase(chains.begin() + static_cast<std::ptrdiff_t>(c));
      if (tail.size() >= 2)
        chains.push_back(tail);
      return true;
    }
  }
  return false;
}

inline bool SplitAtBranch(CSphereBlkDataLineArrayArray& chains, int a, int b)
{
  for (std::size_t c = 0; c < chains.size(); ++c) {
    CSphereBlkDataLineArray& chain = chains[c];
    if (chain.size() < 2)
      continue;
    for (std::size_t k = 1; k < chain.size(); ++k) {
      if (chain[k - 1] == a) {
        if (chain[k] == b)
          return true;
        if (k >= 2) {
          CSphereBlkDataLineArray tail(chain.begin() + static_cast<std::ptrdiff_t>(k) - 1, chain.end());
          chain.resize(k);
          chains.push_back(tail);
          chains.push_back({a, b});
          return true;
        }
      } else if (chain[k] == b && k + 1 < chain.size()) {
        CSphereBlkDataLineArray tail(chain.begin() + static_cast<std::ptrdiff_t>(k), chain.end());
        chain.resize(k + 1);
        chains.push_back(tail);
        chains.push_back({a, b});
        return true;
      }
    }
  }
  return false;
}

}  // namespace chain_detail

inline void AddLine(CSphereBlkDataLineArrayArray& chains, int a, int b)
{
  const bool deleted = std::any_of(chains.m_DeleteLine.begin(), chains.m_DeleteLine.end(), [a, b](const std::vector<int>& pair) {
    return pair.size() == 2 && ((pair[0] == a && pair[1] == b) || (pair[0] == b && pair[1] == a));
  });
  // An edge some chain already runs is not added again, wherever that chain
  // passes a first.
  const bool present = std::any_of(chains.begin(), chains.end(), [a, b](const CSphereBlkDataLineArray& chain) {
    for (std::size_t k = 1; k < chain.size(); ++k) {
      if (chain[k - 1] == a && chain[k] == b)
        return true;
    }
    return false;
  });
  if (deleted || chain_detail::CancelReversed(chains, a, b) || present || chain_detail::SplitAtBranch(chains, a, b))
    return;
  for (CSphereBlkDataLineArray& chain : chains) {
    if (!chain.empty() && chain.front() == b) {
      if (chain.back() == a)
        chain.push_back(b);
      else
        chain.insert(chain.begin(), a);
      return;
    }
  }
  for (CSphereBlkDataLineArray& chain : chains) {
    if (!chain.empty() && chain.back() == a) {
      chain.push_back(b);
      return;
    }
  }
  chains.push_back({a, b});
}

inline void AddLineArray(CSphereBlkDataArrayNew& u)
{
  for (const CSpherePolyArea& area : u.m_PolyArea) {
    const int n = area.Size();
    for (int k = 0; k < n; ++k) {
      const int prev = k == 0 ? n - 1 : k - 1;
      if (area.m_Idx[static_cast<std::size_t>(prev)].m_EdgeFlag >= 0)
        AddLine(u.m_BlkLine, area.IdxAt(prev), area.IdxAt(k));
    }
  }
}

}  // namespace union_literal
