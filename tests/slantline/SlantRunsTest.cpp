// The slant line of a surveyed lot is the clean lot's. Five lots (data/slant_runs_lots.txt) at the origin, turned,
// turned and moved 3e5 m, and mirrored; clean, with every corner listed again 1e-9 m before itself, every edge split
// on its line at a third, a neighbour side listed every 20 mm, or a 2 mm stub before every road's end corner. Each
// road edge checked with half cuts, with vertical cuts, with check points round both ends, and in the radial form;
// all against the clean lot at the origin: volumes within 1e-6 relative and check points within 1e-6 m, a stub of
// s within 1000 s m3 and 20 s m.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CSyasenCheck.h"
#include "KelOutlineText.h"
#include "SitePlacement.h"
#include "SlantFixtures.h"

namespace {

struct Lot {
  std::string m_Name;
  std::vector<CKelCoord2D> m_Pts;
  std::vector<double> m_Kind, m_Width, m_Checked;
};

std::vector<Lot> Lots()
{
  std::ifstream in(std::string(TEST_DATA_DIR) + "/slant_runs_lots.txt");
  std::vector<Lot> lots;
  for (std::string line, word; std::getline(in, line);) {
    std::istringstream s(line);
    if (!(s >> word) || word == "#")
      continue;
    if (word == "lot")
      lots.push_back({line.substr(4), {}, {}, {}, {}});
    Lot& lot = lots.back();
    if (CKelAreaCoord2D o; word == "outline" && KelOutlineText::FromText(line.substr(8), o))
      lot.m_Pts = o.m_pt;
    std::vector<double>& list = word == "kinds" ? lot.m_Kind : word == "widths" ? lot.m_Width : lot.m_Checked;
    for (double v = 0; word != "outline" && s >> v;)
      list.push_back(v);
  }
  return lots;
}

struct Pt {
  CKelCoord2D m_P;
  int m_From;  // the clean edge the point's edge lies on
};

// The changes: 0 none, 1 near-repeats, 2 on-edge points, 3 a dense side, 4 stubs.
std::vector<Pt> Changed(const Lot& lot, int change)
{
  const int n = static_cast<int>(lot.m_Pts.size());
  const int dense = static_cast<int>(std::find(lot.m_Kind.begin(), lot.m_Kind.end(), 0) - lot.m_Kind.begin());
  std::vector<Pt> out;
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D &a = lot.m_Pts[k], &b = lot.m_Pts[(k + 1) % n], &z = lot.m_Pts[(k + n - 1) % n];
    const double len = a.GetLength(b);
    const auto at = [&](double t, double off) {
      return CKelCoord2D(a.m_x + t * (b.m_x - a.m_x) + off * (b.m_y - a.m_y) / len, a.m_y + t * (b.m_y - a.m_y) - off * (b.m_x - a.m_x) / len);
    };
    if (change == 1)
      out.push_back({{a.m_x + 1e-9 * (z.m_x - a.m_x) / a.GetLength(z), a.m_y + 1e-9 * (z.m_y - a.m_y) / a.GetLength(z)}, (k + n - 1) % n});
    out.push_back({a, k});
    if (change == 2 || (change == 4 && lot.m_Kind[k] == 1))
      out.push_back({change == 2 ? at(1.0 / 3, 0) : at(1 - 0.002 / len, 0.001), k});
    for (int j = 1; change == 3 && k == dense && j < len / 0.02; ++j)
      out.push_back({at(j * 0.02 / len, 0), k});
  }
  return out;
}

// Turned about the origin and moved, or mirrored (x -> -x, listed backwards).
struct Place {
  site_test::Placement m_At;
  bool m_Mirror;
  CKelCoord2D To(const CKelCoord2D& p) const { return m_At.To(m_Mirror ? CKelCoord2D(-p.m_x, p.m_y) : p); }
  CKelCoord2D Back(const CKelCoord2D& p) const
  {
    const CKelCoord2D q = m_At.Back(p);
    return m_Mirror ? CKelCoord2D(-q.m_x, q.m_y) : q;
  }
};

struct Driver : CSyasenCheck {};

// Per checked edge and form (half cuts, vertical cuts, check points, radial): the volumes, or the check points' x and
// y in the lot's own frame; each in the clean lot's order from its begin corner.
std::vector<std::vector<double>> Read(const Lot& lot, const std::vector<Pt>& listed, const Place& place)
{
  const std::size_t n = listed.size(), m = lot.m_Pts.size();
  std::vector<Pt> pts = listed;
  for (std::size_t i = 0; place.m_Mirror && i < n; ++i)
    pts[i] = {listed[n - 1 - i].m_P, listed[(2 * n - 2 - i) % n].m_From};
  std::vector<CKelCoord2D> placed, lotPlaced;
  for (const Pt& p : pts)
    placed.push_back(place.To(p.m_P));
  for (const CKelCoord2D& p : lot.m_Pts)
    lotPlaced.push_back(place.To(p));
  CKelHSite site = slant_test::Site(placed);
  for (std::size_t k = 0; k < n; ++k) {
    if (CKelSiteTable& v = site.m_pt[k]; lot.m_Kind[static_cast<std::size_t>(pts[k].m_From)] == 1) {
      v.COND = CKelSiteTable::kRoad;
      v.m_RoadWidthBeg = v.m_RoadWidthEnd = lot.m_Width[static_cast<std::size_t>(pts[k].m_From)];
      v.CheckRoadWuser();
    }
  }
  std::vector<std::vector<double>> out;
  for (const double checked : lot.m_Checked) {
    const auto e = static_cast<std::size_t>(checked);
    const CKelCoord2D& beg = lotPlaced[place.m_Mirror ? (e + 1) % m : e];
    // The checked edge: the one on the road edge starting at its corner, as the check line is laid along it.
    int stored = -1;
    for (std::size_t k = 0; k < n; ++k) {
      const auto from = [&](std::size_t j) { return placed[j].GetLength(beg); };
      if (pts[k].m_From == static_cast<int>(e) && placed[k].GetLength(placed[(k + 1) % n]) > 0.1 &&
          (stored < 0 || from(k) < from(static_cast<std::size_t>(stored))))
        stored = static_cast<int>(k);
    }
    for (int form = 0; form < 4; ++form) {
      CSyasenCheckBlockParam p;
      p.m_SiteNo = stored;
      p.m_BegPoint = beg;
      p.m_EndPoint = lotPlaced[place.m_Mirror ? e : (e + 1) % m];
      p.m_CalcKind.m_BegCutKind = p.m_CalcKind.m_EndCutKind = form == 1 ? 2 : 1;
      p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = form == 2 ? 3 : 0;
      p.m_CpntPitch = 1;
      CKelBlockCube src;
      for (const CKelCoord2D& q : lotPlaced)
        src.Append(CKelBlockCoord(q.m_x, q.m_y, 10, 0));
      src.SetType();
      src.SetMinMax();
      src.GetPlaneEquation(false);
      src.GetPlaneEquation(true);
      p.m_SrcBlock.AddBlock(src);
      slant_test::TestCheckBlock blk;
      Driver drv;
      std::vector<double> r;
      if (form == 3) {
        p.m_CalcKind.m_CalcType = 1;
        p.m_CalcKind.m_BegBaseKind = p.m_CalcKind.m_EndBaseKind = 4;
        p.m_CheckLength = p.m_BegPoint.GetLength(p.m_EndPoint);
        p.m_CheckEnd = -1;
        p.m_CpntPitch = p.m_CheckLength / 4;
        p.CreateBlock2(&drv, &site, &blk, 0);
        for (const CSphereRatioParam& c : p.m_SphereRatio2)
          r.push_back(10 * slant_test::PlanArea(c.m_BlockList));
      } else {
        p.CreateBlock1(&drv, &site, &blk, 0, form == 2);
        std::vector<CKelCoord2D> at;
        for (const CSphereRatioParam& c : p.m_SphereRatio)
          at.push_back(place.Back(c.GetCoord3D(0)));
        if (place.m_Mirror)
          std::reverse(at.begin(), at.end());
        for (const CKelCoord2D& q : at)
          r.insert(r.end(), {q.m_x, q.m_y});
        if (form != 2)
          r = {10 * slant_test::PlanArea(p.m_BaseBlock)};
      }
      if (place.m_Mirror && form == 3)
        std::reverse(r.begin(), r.end());
      out.push_back(r);
    }
  }
  return out;
}

}  // namespace

TEST(SlantRuns, ASurveyedLotChecksAsTheCleanLotWhereverItLies)
{
  const Place places[] = {{{0, 0, 0}, false}, {{0, 0, 0.3}, false}, {{3e5, -1.2e5, 0.5235987755982988}, false}, {{0, 0, 0}, true}};
  const char* changes[] = {"clean", "near-repeats", "on-edge points", "a dense side", "stubs"};
  for (const Lot& lot : Lots()) {
    const std::vector<std::vector<double>> clean = Read(lot, Changed(lot, 0), places[0]);
    for (const Place& place : places) {
      for (int change = 0; change < 5; ++change) {
        SCOPED_TRACE(lot.m_Name + ", " + changes[change] + ", placement " + std::to_string(&place - places));
        const std::vector<std::vector<double>> got = Read(lot, Changed(lot, change), place);
        ASSERT_EQ(clean.size(), got.size());
        for (std::size_t k = 0; k < clean.size(); ++k) {
          ASSERT_EQ(clean[k].size(), got[k].size()) << "check " << k;
          for (std::size_t j = 0; j < clean[k].size(); ++j) {
            const double scale = k % 4 == 2 ? 1 : std::max(1.0, std::fabs(clean[k][j]));
            EXPECT_NEAR(clean[k][j], got[k][j], change == 4 ? (k % 4 == 2 ? 0.04 : 2.0) : 1e-6 * scale)
                << "check " << k << ", value " << j;
          }
        }
      }
    }
  }
}
