#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CKelHSite.h"
#include "CLineCondEx.h"
#include "SiteTestSupport.h"

namespace {

using site_test::Bytes;
using site_test::MakeCut;
using site_test::MakeRoad;

Bytes DataFile(const std::string& name) { return kel_test::ReadBytes(std::string(TEST_DATA_DIR) + "/" + name); }

// A site with roads, a corner cut, a crossing and non-default values in
// every stored field.
CKelHSite RichSite()
{
  CKelHSite site = site_test::Site({{0, 0}, {9, 0}, {10, 1}, {10, 10}, {0, 10}});
  MakeRoad(site, 0, 4, 6);
  MakeCut(site, 1);
  MakeRoad(site, 2, 5, 5);
  MakeRoad(site, 3, 6, 6);
  site.m_FloorAreaRatio = 2.0f;
  site.m_CoverageRatio = 0.6f;
  site.m_DeemedRoadNo = 3;
  site.m_DeemedRoadWidth = 6.0f;
  site.m_CapacityRoadNo = 2;
  site.m_CapacityRoadWidth = 5.0f;
  site.m_KanwaWidth = 1.5f;
  site.m_DefTokuteiDistance = 60.0f;
  CKelSiteTable& v = site.m_pt[0];
  v.m_RoadWidthType = 1;
  v.m_AdoptRoadWidth = 5.0;
  v.m_RoadHeight1 = 0.5f;
  v.m_RinchiHeight = 1.25f;
  v.m_LineCond.m_CalcKind.m_CalcType = 1;
  v.m_LineCond.m_CalcKind.m_EndCpntKind = 3;
  v.m_LineCond.m_Number1 = 3;
  v.m_LineCond.m_Option = 5;
  v.m_LineCond.m_CutMode = 2;
  v.m_Sphere.m_BldBack[1] = 0.5;
  v.m_Sphere.m_EdgeLen = 9;
  v.m_Sphere.m_CalcFlag.m_Flag2 = 4;
  v.m_Sphere.m_Param[7] = 2.5;
  v.m_Sphere.m_Kind = 3;
  v.m_Sphere.m_Value = 0.125;
  site.ResetRoadCrossData();
  return site;
}

TEST(CKelHSiteStoreTest, RoundTripsEqualAtTheCurrentVersion)
{
  const CKelHSite site = RichSite();
  ASSERT_EQ(3u, site.m_Road.size());
  ASSERT_FALSE(site.m_Cross.empty());
  CKelHSite back;
  ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(site, 36), 36));
  EXPECT_EQ(site, back);
  EXPECT_EQ(site.m_pt[0].m_Sphere.m_Param[7], back.m_pt[0].m_Sphere.m_Param[7]);
  EXPECT_EQ(60.0f, back.m_DefTokuteiDistance);
  EXPECT_EQ(kel_test::Archived(site, 36), kel_test::Archived(back, 36));
}

// Both sides of every gate: what an older archive cannot carry comes back as
// the defaults and migrations of the vertex record.
TEST(CKelHSiteStoreTest, OlderVersionsMigrateFieldByField)
{
  const CKelHSite site = RichSite();
  for (int version : {1, 2, 11, 12, 16, 17, 19, 20, 24, 25, 29, 30, 35, 36}) {
    SCOPED_TRACE(version);
    CKelHSite back;
    ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(site, version), version));
    ASSERT_EQ(5, back.GetSize());
    const CKelSiteTable& v = back.m_pt[0];
    EXPECT_EQ(site.m_Road, back.m_Road);
    EXPECT_EQ(site.m_Cross, back.m_Cross);
    EXPECT_EQ(0.5f, v.m_RoadHeight1);
    // Below 17 one width: the adopted one, 5.0 as entered.
    EXPECT_EQ(version < 17 ? 5.0 : 4.0, v.m_RoadWidthBeg);
    EXPECT_EQ(version < 17 ? 5.0 : 6.0, v.m_RoadWidthEnd);
    // Below 25 no width type: the smaller width is adopted.
    EXPECT_EQ(version < 25 ? 0 : 1, v.m_RoadWidthType);
    EXPECT_EQ(version < 25 ? v.GetMinRoadWidth() : 5.0, v.m_AdoptRoadWidth);
    EXPECT_EQ(version < 25 ? 0 : 3, v.m_Sphere.m_Kind);
    // Below 20 neither the condition nor the per-edge block.
    EXPECT_EQ(version < 20 ? -1 : 3, v.m_LineCond.m_Number1);
    EXPECT_EQ(version < 20 ? 0 : 2, v.m_LineCond.m_CutMode);
    EXPECT_EQ(version < 20 ? 0.0 : 0.5, v.m_Sphere.m_BldBack[1]);
    EXPECT_EQ(version < 20 ? 0 : 4, v.m_Sphere.m_CalcFlag.m_Flag2);
    // The option rides in the per-edge block below 30 and in the condition
    // from 36: between, it comes back as its default.
    EXPECT_EQ(version < 20 || (version >= 30 && version < 36) ? 1 : 5, v.m_LineCond.m_Option);
    if (version == 36) {
      EXPECT_EQ(site, back);
    }
  }
}

TEST(CKelHSiteStoreTest, HandmadeVertexArchivesLoadAndWriteBackTheSameBytes)
{
  {
    const Bytes bytes = DataFile("vertex_v16.bin");
    CKelSiteTable v;
    ASSERT_TRUE(kel_test::Unarchive(v, bytes, 16));
    EXPECT_EQ(0x0023, v.COND);
    EXPECT_EQ(4.0, v.m_RoadWidthBeg);
    EXPECT_EQ(4.0, v.m_RoadWidthEnd);
    EXPECT_EQ(4.0, v.m_AdoptRoadWidth);
    EXPECT_EQ(0, v.m_RoadWidthType);
    EXPECT_EQ(2.5f, v.m_RoadHeight2);
    EXPECT_EQ(50.0f, v.m_TokuteiDistance);
    kel_test::ExpectXY(3, -2, v);
    EXPECT_EQ(bytes, kel_test::Archived(v, 16));
  }
  {
    const Bytes bytes = DataFile("vertex_v19.bin");
    CKelSiteTable v;
    CKelMemoryArchive in(bytes, 19);
    ASSERT_TRUE(v.Serialize(in));
    ASSERT_TRUE(CLineCondEx().Serialize(in, &v));
    EXPECT_EQ(0u, in.RemainingBytes());
    EXPECT_EQ(6.0, v.m_RoadWidthEnd);
    EXPECT_EQ(4.0, v.m_AdoptRoadWidth);
    EXPECT_EQ(2, v.m_LineCond.m_CutMode);  // from the flag record
    EXPECT_EQ(0, v.m_LineCond.m_BackSwitch);
    EXPECT_TRUE(v.m_LineCond.m_bSwitch1);
    EXPECT_FALSE(v.m_LineCond.m_bSwitch2);
    EXPECT_EQ(5, v.m_LineCond.m_Option);
    EXPECT_EQ(4.0, v.m_Sphere.m_BldBack2[1]);
    EXPECT_EQ(3, v.m_Sphere.m_CalcFlag.m_Flag3);
    kel_test::ExpectXY(3, -3, v.m_Sphere.m_EdgePos[3]);
    CKelMemoryArchive out(19);
    ASSERT_TRUE(v.Serialize(out));
    ASSERT_TRUE(CLineCondEx().Serialize(out, &v));
    EXPECT_EQ(bytes, out.GetBytes());
  }
  {
    const Bytes bytes = DataFile("vertex_v36.bin");
    CKelSiteTable v;
    ASSERT_TRUE(kel_test::Unarchive(v, bytes, 36));
    EXPECT_EQ(2, v.optno);
    EXPECT_EQ(8.0, v.m_RoadWidthEnd);
    EXPECT_EQ(1, v.m_RoadWidthType);
    EXPECT_EQ(7.0, v.m_AdoptRoadWidth);
    EXPECT_EQ("[円弧ー任意]", v.m_LineCond.m_CalcKind.GetCpntInfo());
    EXPECT_EQ("[1/2ｶｯﾄー延長ｶｯﾄ]", v.m_LineCond.m_CalcKind.GetBaseBlockInfo());
    EXPECT_EQ(7, v.m_LineCond.m_Option);
    EXPECT_EQ(2, v.m_LineCond.m_CutMode);
    EXPECT_EQ(0.5, v.m_LineCond.m_Back2);
    EXPECT_EQ(12.5, v.m_Sphere.m_EdgeLen);
    EXPECT_EQ(1.75, v.m_Sphere.m_Param[7]);
    EXPECT_EQ(9, v.m_Sphere.m_CalcFlag.m_Flag3);
    EXPECT_EQ(6, v.m_Sphere.m_Kind);
    EXPECT_EQ(9.5, v.m_Sphere.m_Value);
    kel_test::ExpectXY(-2, 7.5, v.m_Sphere.m_EdgePos[3]);
    EXPECT_EQ(bytes, kel_test::Archived(v, 36));
  }
}

TEST(CKelHSiteStoreTest, ReferencesThatPointNowhereAreRefused)
{
  struct Row {
    const char* name;
    void (*spoil)(CKelHSite&);
  };
  const Row rows[] = {
      {"vertex road index", [](CKelHSite& s) { s.m_pt[1].optno = 3; }},
      {"road edge", [](CKelHSite& s) { s.m_Road[1].m_no = 5; }},
      {"road edge unset", [](CKelHSite& s) { s.m_Road[0].m_no = -1; }},
      {"road crossing", [](CKelHSite& s) { s.m_Road[0].m_EndCross = 4; }},
      {"crossing road", [](CKelHSite& s) { s.m_Cross[0].m_Road2 = -2; }},
      {"crossing road beyond", [](CKelHSite& s) { s.m_Cross[0].m_Road1 = 3; }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    CKelHSite site = RichSite();
    r.spoil(site);
    CKelHSite back;
    EXPECT_FALSE(kel_test::Unarchive(back, kel_test::Archived(site, 36), 36));
  }
  // A vertex count past the bytes left is refused before anything grows.
  site_test::SiteBytes b;
  b.Tag("CKelHSite").F32(0).F32(0).I16(0).F32(0).I16(0).F32(0).F32(0).F32(70).I32(1 << 28);
  CKelHSite back;
  EXPECT_FALSE(kel_test::Unarchive(back, b.bytes, 36));
}

TEST(CKelHSiteStoreTest, SelectorsOutOfRangeLoadAndReadNeutrally)
{
  CKelHSite site = RichSite();
  site.m_pt[2].m_RoadWidthType = 9;
  site.m_Road[1].m_Flag = 0x000f;
  site.m_Cross[0].m_Flag = 0x0009;
  site.m_pt[0].m_LineCond.m_CalcKind.m_BegCpntKind = 17;
  CKelHSite back;
  ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(site, 36), 36));
  EXPECT_EQ(9, back.m_pt[2].m_RoadWidthType);
  EXPECT_EQ(5.0, back.m_pt[2].GetAdoptRoadWidth(true));
  EXPECT_EQ("", back.m_pt[0].m_LineCond.m_CalcKind.GetCpntInfo());
  // Road 1 starts at crossing 0 (shape 9: no cut) and ends at crossing 1.
  ASSERT_EQ(0, back.m_Road[1].m_BegCross);
  EXPECT_EQ(1, back.m_pt[2].GetRoadShape(back));
  // Without crossings its own shape 15 decides: no cut either.
  back.m_Road[1].m_BegCross = back.m_Road[1].m_EndCross = -1;
  EXPECT_EQ(0, back.m_pt[2].GetRoadShape(back));
}

// The records of the earlier C format: written, then read back, give the
// same site to float precision.
TEST(CKelHSiteStoreTest, OldCRecordsRoundTrip)
{
  CKelHSite site = RichSite();
  site.m_pt[0].m_RoadWidthType = 0;
  site.m_pt[0].m_RoadWidthEnd = 4;
  site.m_pt[0].CheckRoadWuser();
  site.m_pt[3].m_TokuteiDistance = 0;
  const std::vector<LCONDITION> conds = site.GetOldLineCond();
  const SITECELL cell = site.GetOldSiteInf();
  const MTG_CELL mtg = site.GetOldSiteMtg();
  std::vector<XY_FPAIR> pts;
  for (const CKelSiteTable& v : site.m_pt)
    pts.push_back(XY_FPAIR{static_cast<float>(v.m_x), static_cast<float>(v.m_y)});
  SITEAREA area;
  area.count = static_cast<std::int16_t>(site.GetSize());

  CKelHSite back;
  back.m_DefTokuteiDistance = 45;
  ASSERT_TRUE(back.FromOldParam(pts.data(), 5, cell, area, conds.data(), 5, mtg));
  ASSERT_EQ(5, back.GetSize());
  for (int k = 0; k < 5; ++k) {
    const CKelSiteTable& a = site.m_pt[static_cast<std::size_t>(k)];
    const CKelSiteTable& b = back.m_pt[static_cast<std::size_t>(k)];
    EXPECT_EQ(a.COND, b.COND);
    EXPECT_EQ(a.optno, b.optno);
    EXPECT_TRUE(a.IsNearlyEqual(b) || k == 3) << k;
  }
  EXPECT_EQ(45.0f, back.m_pt[3].m_TokuteiDistance);  // a road without distance takes the default
  EXPECT_FLOAT_EQ(static_cast<float>(site.m_area), static_cast<float>(back.m_area));
  EXPECT_EQ(site.m_xmax, back.m_xmax);
  EXPECT_EQ(site.m_DeemedRoadNo, back.m_DeemedRoadNo);
  EXPECT_EQ(site.m_KanwaWidth, back.m_KanwaWidth);

  const std::vector<RD_CELL> roads = site.m_Road.GetOldParam();
  const std::vector<CRS_ROAD> crosses = site.m_Cross.GetOldParam();
  CSiteRoad roadBack;
  roadBack.FromOldParam(roads.data(), static_cast<int>(roads.size()));
  CSiteCross crossBack;
  crossBack.FromOldParam(crosses.data(), static_cast<int>(crosses.size()));
  EXPECT_EQ(site.m_Road, roadBack);  // plan positions; the old records carry no heights
  EXPECT_EQ(site.m_Cross.size(), crossBack.size());
  EXPECT_EQ(site.m_Cross[0].m_Flag, crossBack[0].m_Flag);
  EXPECT_TRUE(site.m_Cross[0].m_Pt[3].m_pt.IsNearlyEqual(crossBack[0].m_Pt[3].m_pt));

  // A count the arrays cannot hold changes nothing.
  area.count = 6;
  EXPECT_FALSE(back.FromOldParam(pts.data(), 5, cell, area, conds.data(), 5, mtg));
  area.count = 5;
  EXPECT_FALSE(back.FromOldParam(pts.data(), 5, cell, area, conds.data(), 4, mtg));
  area.count = -1;
  EXPECT_FALSE(back.FromOldParam(pts.data(), 5, cell, area, conds.data(), 5, mtg));
  EXPECT_EQ(5, back.GetSize());
  // No vertices need no arrays.
  area.count = 0;
  EXPECT_TRUE(back.FromOldParam(nullptr, 0, cell, area, nullptr, 0, mtg));
  EXPECT_EQ(0, back.GetSize());
}

TEST(CKelHSiteStoreTest, OldRecordLayoutsArePacked)
{
  RD_CELL r;
  r.no = 2;
  r.pt[3].y = 1.5f;
  unsigned char raw[sizeof(RD_CELL)];
  std::memcpy(raw, &r, sizeof raw);
  float y = 0;
  std::memcpy(&y, raw + 36, sizeof y);
  EXPECT_EQ(1.5f, y);
  SITEAREA a;
  a.count = 7;
  unsigned char header[sizeof(SITEAREA)];
  std::memcpy(header, &a, sizeof header);
  EXPECT_EQ(7, header[16]);
}

}  // namespace
