#pragma once
// The trace of a block's faces and their registration with the union in the
// forms they had before the clean-up kept its sets apart by point number and
// the faces' edges were handed over by their numbers in the faces' pool:
// kept only so that tests can check that the faster forms give the same
// outlines, pools and polygons.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "CSphereBlkDataArrayNew.h"
#include "CSpherePolyLine.h"
#include "KelTolerance.h"

namespace trace_previous {

inline std::uint64_t Key(int beg, int end)
{
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(beg)) << 32) | static_cast<std::uint32_t>(end);
}

inline int StartOf(const CSpherePolyLineArray& lines, int r)
{
  const CSpherePolyLine& l = lines[static_cast<std::size_t>(r > 0 ? r - 1 : -r - 1)];
  return r > 0 ? l.m_Beg : l.m_End;
}

inline int EndOf(const CSpherePolyLineArray& lines, int r) { return StartOf(lines, -r); }

inline void RemoveDuplicates(CSpherePolyLineArray& lines)
{
  std::vector<CSpherePolyLine> kept;
  std::unordered_set<std::uint64_t> later;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (later.insert(Key(it->m_Beg, it->m_End)).second)
      kept.push_back(*it);
  }
  lines.assign(kept.rbegin(), kept.rend());
}

inline void RemoveDangling(CSpherePolyLineArray& lines)
{
  std::unordered_map<int, int> ends;
  for (const CSpherePolyLine& l : lines) {
    ++ends[l.m_Beg];
    ++ends[l.m_End];
  }
  // Passes until no segment dangles: a spur goes back to where it meets
  // the rest.
  std::vector<CSpherePolyLine> kept(lines.begin(), lines.end());
  for (std::size_t before = kept.size() + 1; kept.size() < before;) {
    before = kept.size();
    std::vector<CSpherePolyLine> next;
    for (const CSpherePolyLine& l : kept) {
      if (ends[l.m_Beg] >= 2 && ends[l.m_End] >= 2) {
        next.push_back(l);
        continue;
      }
      --ends[l.m_Beg];
      --ends[l.m_End];
    }
    kept.swap(next);
  }
  lines.assign(kept.begin(), kept.end());
}

inline int Create2(CSpherePolyLineArray& lines)
{
  lines.m_OutlineIdx.clear();
  if (lines.empty())
    return CSpherePolyLineArray::kNoOutline;
  RemoveDuplicates(lines);
  RemoveDangling(lines);
  if (lines.empty())
    return CSpherePolyLineArray::kNoOutline;
  int r = lines.GetMinYIndex();
  if (r == 0)
    return CSpherePolyLineArray::kNoOutline;
  std::vector<std::vector<int>> at(lines.m_PolyCoord.size());
  for (int k = 0; k < static_cast<int>(lines.size()); ++k) {
    const CSpherePolyLine& l = lines[static_cast<std::size_t>(k)];
    at[static_cast<std::size_t>(l.m_Beg)].push_back(k);
    if (l.m_End != l.m_Beg)
      at[static_cast<std::size_t>(l.m_End)].push_back(k);
  }
  std::vector<int>& outline = lines.m_OutlineIdx;
  outline.push_back(StartOf(lines, r));
  outline.push_back(EndOf(lines, r));
  for (;;) {
    r = lines.Search(r, at[static_cast<std::size_t>(EndOf(lines, r))]);
    if (r == 0)
      return CSpherePolyLineArray::kNoOutline;
    const int next = EndOf(lines, r);
    if (next == outline.front())
      return CSpherePolyLineArray::kTraced;
    if (outline.size() > 2 * lines.size())
      return CSpherePolyLineArray::kNoOutline;
    outline.push_back(next);
  }
}

inline void AddLines(CSpherePolyLineArray& lines, const std::vector<std::pair<CSphereCoordD2D, CSphereCoordD2D>>& pairs)
{
  std::unordered_set<std::uint64_t> known;
  for (const CSpherePolyLine& l : lines)
    known.insert(Key(l.m_Beg, l.m_End));
  for (const auto& [p, q] : pairs) {
    const bool pFirst = p.m_AE < q.m_AE || (p.m_AE == q.m_AE && p.m_AD < q.m_AD);
    CSpherePolyLine line;
    line.m_pCoord = &lines.m_PolyCoord;
    line.m_Beg = lines.m_PolyCoord.Add(pFirst ? p : q);
    line.m_End = lines.m_PolyCoord.Add(pFirst ? q : p);
    if (line.m_Beg == line.m_End || !known.insert(Key(line.m_Beg, line.m_End)).second)
      continue;
    line.CalcAngle();
    lines.push_back(line);
  }
}

// CSphereA::RegistSphereRatioCommon.
inline int RegistSphereRatioCommon(const std::vector<CSphereCoordD2DArray>& outlines, CSphereBlkDataArrayNew& store)
{
  if (outlines.empty())
    return 0;
  CSphereBlkDataArrayNew work;
  bool hasArea = false;
  for (const CSphereCoordD2DArray& outline : outlines) {
    CSpherePolyArea area = work.NewPolyArea();
    double sum = 0;
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
      const CSphereCoordD2D& prev = outline[i == 0 ? n - 1 : i - 1];
      area.AddIdx(work.m_PolyCoord.Add(prev));
      sum += (prev.m_AE + outline[i].m_AE) * (prev.m_AD - outline[i].m_AD);
    }
    hasArea = hasArea || std::fabs(sum) > KelTol::SkyOutlineArea;
    area.CalcCrossPoint(nullptr);
    work.m_PolyArea.push_back(std::move(area));
  }
  if (!hasArea)
    return 0;
  const int r = work.CalcCrossPoint(nullptr);
  if (r != 0)
    return r;
  std::vector<std::pair<CSphereCoordD2D, CSphereCoordD2D>> edges;
  for (const CSpherePolyArea& area : work.m_PolyArea) {
    for (int k = 0; k < area.Size(); ++k) {
      const int a = area.IdxAt(k);
      const int b = area.IdxAt((k + 1) % area.Size());
      if (a != b)
        edges.emplace_back(work.m_PolyCoord[static_cast<std::size_t>(a)], work.m_PolyCoord[static_cast<std::size_t>(b)]);
    }
  }
  CSpherePolyLineArray lines;
  AddLines(lines, edges);
  const int traced = Create2(lines);
  if (traced == 0 && std::fabs(lines.GetArea()) > KelTol::SkyOutlineArea)
    store.AddPolyLine(lines);
  return traced;
}

}  // namespace trace_previous
