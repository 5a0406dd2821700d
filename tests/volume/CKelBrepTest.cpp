// The boundary representation: points, edges, faces, blocks and the way
// back to blocks and polygons.

#include <gtest/gtest.h>

#include "CKelBlockCubeArray.h"
#include "CKelBrep.h"
#include "VolumeTestSupport.h"

namespace {

using vol_test::Box;

CKelAreaCoord3D Square(double x0, double y0, double size, double z, bool ccw = true)
{
  CKelAreaCoord3D a;
  a.m_pt = {{x0, y0, z}, {x0 + size, y0, z}, {x0 + size, y0 + size, z}, {x0, y0 + size, z}};
  if (!ccw)
    std::reverse(a.m_pt.begin(), a.m_pt.end());
  return a;
}

TEST(CKelBrepTest, PointsWithinTheToleranceAreOne)
{
  CBrepVertexArray v;
  EXPECT_EQ(v.Add({0, 0, 0}), 0);
  EXPECT_EQ(v.Add({1e-5, 0, 0}), 0);
  EXPECT_EQ(v.Add({3e-5, 0, 0}), 1);
  EXPECT_EQ(v.Add({0, 0, -1e-5}), 0);
}

TEST(CKelBrepTest, EdgesAreSharedWithTheirDirection)
{
  CBrepEdgeArray e;
  EXPECT_EQ(e.Add(0, 1, 0), 1);
  EXPECT_EQ(e.Add(1, 2, 0), 2);
  EXPECT_EQ(e.Add(2, 1, 1), -2);
  EXPECT_EQ(e.Add(0, 1, 1), 1);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[1].m_Faces, (std::vector<std::int32_t>{0, 1}));
}

TEST(CKelBrepTest, NeighbouringSquaresShareOneEdge)
{
  struct Case {
    double gap;
    std::size_t points, edges, blocks;
  } cases[] = {{0, 6, 7, 1}, {1, 8, 8, 2}};
  for (const Case& c : cases) {
    CKelBrep brep;
    brep.ToBrep(std::vector<CKelAreaCoord3D>{Square(0, 0, 1, 2), Square(1 + c.gap, 0, 1, 2)}, false);
    EXPECT_EQ(brep.m_Vertex.size(), c.points) << c.gap;
    EXPECT_EQ(brep.m_Edge.size(), c.edges) << c.gap;
    EXPECT_EQ(brep.m_Blocks.size(), c.blocks) << c.gap;
    if (c.gap == 0) {
      // The shared edge (1,0)-(1,1): listed with both faces, run both ways.
      int shared = 0;
      for (const CBrepEdge& e : brep.m_Edge)
        shared += e.m_Faces.size() == 2 ? 1 : 0;
      EXPECT_EQ(shared, 1);
      int signs = 0;
      for (const CBrepFaceArray2& f : brep.m_Face)
        for (std::int32_t k : f.front().m_Edges)
          if (brep.m_Edge[static_cast<std::size_t>(std::abs(k) - 1)].m_Faces.size() == 2)
            signs += k > 0 ? 1 : -1;
      EXPECT_EQ(signs, 0);
    }
  }
}

TEST(CKelBrepTest, FacesJoinTheFirstBlockTheyTouchAndBlocksNeverMerge)
{
  // A touches B, B touches C, A does not touch C; given A, C, B.
  const std::vector<CKelAreaCoord3D> faces{Square(0, 0, 1, 0), Square(2, 0, 1, 0), Square(1, 0, 1, 0)};
  CKelBrep brep;
  brep.ToBrep(faces, false);
  ASSERT_EQ(brep.m_Blocks.size(), 2u);
  EXPECT_EQ(brep.m_Blocks[0], (std::vector<std::int32_t>{0, 2}));
  EXPECT_EQ(brep.m_Blocks[1], (std::vector<std::int32_t>{1}));
}

TEST(CKelBrepTest, ExtrudedSquareIsAClosedSolid)
{
  CKelBrep brep;
  brep.ToBrep(std::vector<CKelAreaCoord3D>{Square(0, 0, 1, 3)}, true);
  EXPECT_EQ(brep.m_Vertex.size(), 8u);
  EXPECT_EQ(brep.m_Edge.size(), 12u);
  EXPECT_EQ(brep.m_Face.size(), 6u);
  ASSERT_EQ(brep.m_Blocks.size(), 1u);
  for (const CBrepEdge& e : brep.m_Edge)
    EXPECT_EQ(e.m_Faces.size(), 2u);  // closed: every edge between two faces
  // The bottom faces down, the walls outwards, the top up.
  EXPECT_NEAR(brep.m_Face[0].GetVector(brep).m_z, 1, 1e-12);
  EXPECT_NEAR(brep.m_Face[5].GetVector(brep).m_z, -1, 1e-12);
  const CKelVector3D wall = brep.m_Face[1].GetVector(brep);
  EXPECT_NEAR(wall.m_z, 0, 1e-12);

  CKelBrep ground;
  ground.ToBrep(std::vector<CKelAreaCoord3D>{Square(0, 0, 1, 0)}, true);
  EXPECT_EQ(ground.m_Vertex.size(), 4u);
  EXPECT_EQ(ground.m_Edge.size(), 4u);
  ASSERT_EQ(ground.m_Face.size(), 2u);
  for (std::size_t k = 0; k < 4; ++k)
    EXPECT_EQ(ground.m_Face[0].front().m_Edges[k] + ground.m_Face[1].front().m_Edges[(4 - k) % 4], 0)
        << k;  // the same edges run in opposite directions
}

TEST(CKelBrepTest, WallFromAGroundPointIsATriangle)
{
  CKelAreaCoord3D tri;
  tri.m_pt = {{0, 0, 0}, {1, 0, 2}, {0, 1, 2}};
  CKelBrep brep;
  brep.ToBrep(std::vector<CKelAreaCoord3D>{tri}, true);
  // Walls over (0,1)->(0,0), (0,0)->(1,0) are triangles, over (1,0)->(0,1) a quad.
  ASSERT_EQ(brep.m_Face.size(), 5u);
  EXPECT_EQ(brep.m_Face[1].front().m_Edges.size(), 3u);
  EXPECT_EQ(brep.m_Face[2].front().m_Edges.size(), 3u);
  EXPECT_EQ(brep.m_Face[3].front().m_Edges.size(), 4u);
}

TEST(CKelBrepTest, BlocksRoundTripAndDownwardFacesAreDropped)
{
  CKelBlockCubeArray blocks;
  blocks.AddBlock(Box(0, 0, 2, 1, 3));
  blocks.AddBlock(Box(2, 0, 3, 1, 5));
  blocks[1].m_Work = 42;
  CKelBrep brep;
  brep.ToBrep(blocks);
  EXPECT_EQ(brep.m_Face[1].m_nFaceNo, 42);
  const CKelBlockCubeArray back = brep.ToKelBlock();
  ASSERT_EQ(back.Size(), 2);
  for (int b = 0; b < 2; ++b) {
    EXPECT_GT(back[b].CalcArea(), 0);
    EXPECT_DOUBLE_EQ(back[b].Menseki(), blocks[b].Menseki());
    EXPECT_TRUE(back[b].m_Coord[0].m_z == blocks[b].m_Coord[0].m_z);
  }
  EXPECT_EQ(back[1].m_Work, 42);

  CKelBrep cw;
  cw.ToBrep(std::vector<CKelAreaCoord3D>{Square(0, 0, 1, 3, false)}, false);
  EXPECT_TRUE(cw.ToKelBlock().empty());
}

TEST(CKelBrepTest, FacesGivenContourByContour)
{
  // A 4 x 4 face with a 2 x 2 hole: the closing repeats add no edges.
  CKelAreaCoord3D outer = Square(0, 0, 4, 3);
  outer.m_pt.push_back(outer.m_pt.front());
  CKelAreaCoord3D hole = Square(1, 1, 2, 3, false);
  hole.m_pt.push_back(hole.m_pt.front());
  CKelBrep brep;
  brep.ToBrep(std::vector<std::vector<CKelAreaCoord3D>>{{outer, hole}});
  EXPECT_EQ(brep.m_Vertex.size(), 8u);
  EXPECT_EQ(brep.m_Edge.size(), 8u);
  ASSERT_EQ(brep.m_Face.size(), 1u);
  EXPECT_EQ(brep.m_Face[0].size(), 2u);

  const CKelAreaCoord3DArrayArray areas = brep.ToKelArea();
  ASSERT_EQ(areas.size(), 1u);
  ASSERT_EQ(areas[0].size(), 2u);
  EXPECT_EQ(areas[0][0].m_pt.size(), 4u);
  EXPECT_NEAR(areas[0][0].m_C, 1, 1e-12);
  EXPECT_NEAR(areas[0][1].m_C, -1, 1e-12);
  EXPECT_TRUE(CKelBrep().ToKelArea().empty());
  EXPECT_TRUE(brep.ToKelArea(1).empty());
}

}  // namespace
