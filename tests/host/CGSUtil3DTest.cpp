// Morphs, meshes and slabs made from blocks and breps, and host bodies read
// back as breps and faces.

#include "CGSCreateMeshCore.h"
#include "CGSUtil.h"
#include "CKelAreaCoord2D.h"
#include "CKelBlockCubeArray.h"
#include "CKelBrep.h"
#include "HostTestSupport.h"
#include "host_body.h"
#include "host_model.h"
#include "host_polygon2d.h"

#include <cmath>

namespace {

CKelBlockCube Box(double x0, double y0, double x1, double y1, double top, double bottom)
{
  CKelBlockCube block;
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
    block.Append(CKelBlockCoord(x, y, top, bottom));
  block.SetMinMax();
  block.SetType();
  return block;
}

class CGSUtil3DTest : public HostTest {
protected:
  // The 4 x 3 block from 2 to 10 as a morph.
  API_Elem_Head Morph()
  {
    API_Elem_Head head;
    EXPECT_EQ(CGSUtil::KelBlockToMorph(Box(0, 0, 4, 3, 10, 2), 0, 0, 1, 0, &head), NoError);
    return head;
  }
  pln::host::StoredBody BodyOf(const API_Guid& guid) const
  {
    return pln::host::UnpackBody(host.Element(guid)->memo.morphBody).value_or(pln::host::StoredBody{});
  }
};

TEST_F(CGSUtil3DTest, BlockMorphHasItsFacesUnmergedAndReadsBackAsOneBrep)
{
  const API_Elem_Head head = Morph();
  const pln::host::StoredBody body = BodyOf(head.guid);
  EXPECT_EQ(body.polygons.size(), 6u);
  EXPECT_EQ(body.vertices.size(), 24u);
  EXPECT_EQ(body.edges.size(), 24u);
  EXPECT_EQ(host.Element(head.guid)->element.morph.tranmat, API_Tranmat{});

  std::vector<CKelBrep> breps;
  ASSERT_EQ(CGSUtil::ToKelBrep(head, breps), NoError);
  ASSERT_EQ(breps.size(), 1u);
  const CKelBrep& brep = breps[0];
  EXPECT_EQ(brep.m_Vertex.size(), 8u);
  EXPECT_EQ(brep.m_Edge.size(), 12u);
  EXPECT_EQ(brep.m_Face.size(), 6u);
  // Faces come top, bottom, sides; the bottom touches nothing before it and
  // starts a block of its own, which the sides do not merge into the first.
  ASSERT_EQ(brep.m_Blocks.size(), 2u);
  EXPECT_EQ(brep.m_Blocks[0], (std::vector<std::int32_t>{0, 2, 3, 4, 5}));
  EXPECT_EQ(brep.m_Blocks[1], (std::vector<std::int32_t>{1}));
  const CKelBlockCubeArray blocks = brep.ToKelBlock();
  ASSERT_EQ(blocks.Size(), 1);
  EXPECT_DOUBLE_EQ(blocks[0].Menseki(), 12);
  EXPECT_EQ(blocks[0].XMax(), 4);
  EXPECT_EQ(blocks[0].YMax(), 3);
  for (const CKelBlockCoord& c : blocks[0].m_Coord)
    EXPECT_EQ(c.m_z, 10);
}

TEST_F(CGSUtil3DTest, FacesOfABodyFaceOutwards)
{
  const API_Elem_Head head = Morph();
  CKelAreaCoord3DArrayArray faces;
  ASSERT_EQ(CGSUtil::GetAreaFromBlock(head, faces), NoError);
  ASSERT_EQ(faces.size(), 1u);
  ASSERT_EQ(faces[0].size(), 6u);
  int up = 0;
  int down = 0;
  for (const CKelAreaCoord3D& f : faces[0]) {
    ASSERT_EQ(f.m_pt.size(), 4u);
    double cx = 0, cy = 0, cz = 0;
    for (const CKelCoord3D& p : f.m_pt)
      cx += p.m_x / 4, cy += p.m_y / 4, cz += p.m_z / 4;
    // Outwards: the normal points away from the box's centre (2, 1.5, 6).
    EXPECT_GT(f.m_A * (cx - 2) + f.m_B * (cy - 1.5) + f.m_C * (cz - 6), 0);
    up += f.m_C > 0.999 ? 1 : 0;
    down += f.m_C < -0.999 ? 1 : 0;
  }
  EXPECT_EQ(up, 1);
  EXPECT_EQ(down, 1);
}

TEST_F(CGSUtil3DTest, CutAtALevelLeavesNoSlabOrLinkBehind)
{
  const API_Elem_Head head = Morph();
  std::vector<CKelBrep> breps;
  ASSERT_EQ(CGSUtil::CutZ(head.guid, 6, 0, breps), NoError);
  ASSERT_EQ(breps.size(), 1u);
  const CKelBlockCubeArray blocks = breps[0].ToKelBlock();
  ASSERT_EQ(blocks.Size(), 1);
  for (const CKelBlockCoord& c : blocks[0].m_Coord)
    EXPECT_NEAR(c.m_z, 6, 1e-12);
  EXPECT_TRUE(host.ElementsOfType(API_SlabID).empty());
  EXPECT_TRUE(pln::host::TheModel().solidLinks.empty());
  API_Box3D box;
  API_Guid guid = head.guid;
  ASSERT_EQ(ACAPI_Goodies('CABO', &guid, &box), NoError);
  EXPECT_EQ(box.zMin, 2);
  EXPECT_EQ(box.zMax, 10);

  // A failed read still takes link and slab away and answers its error.
  host.FailOnce("ACAPI_Element_Get3DInfo", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::CutZ(head.guid, 6, 0, breps), APIERR_MEMFULL);
  EXPECT_TRUE(host.ElementsOfType(API_SlabID).empty());
  EXPECT_TRUE(pln::host::TheModel().solidLinks.empty());
}

TEST_F(CGSUtil3DTest, SquareWithAHoleBecomesOneFaceOfTwoContours)
{
  CKelAreaCoord2D outer;
  outer.m_pt = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  CKelAreaCoord2D hole;
  hole.m_pt = {{1, 1}, {3, 1}, {3, 3}, {1, 3}};
  Geometry::Polygon2DData data;
  ASSERT_EQ(CGSUtil::ConstructPoly2DDataFromKelArea(std::vector<CKelAreaCoord2D>{outer, hole}, data), NoError);
  CKelBrep brep;
  const GSErrCode err = CGSUtil::ConvertPoly2DDataToKelBrep(data, 3, brep);
  Geometry::FreePolygon2DData(&data);
  ASSERT_EQ(err, NoError);
  ASSERT_EQ(brep.m_Face.size(), 1u);
  EXPECT_EQ(brep.m_Face[0].size(), 2u);
  EXPECT_EQ(brep.m_Vertex.size(), 8u);
  EXPECT_EQ(brep.m_Edge.size(), 8u);
  for (const CKelCoord3D& p : brep.m_Vertex)
    EXPECT_EQ(p.m_z, 3);
  API_Elem_Head head;
  ASSERT_EQ(CGSUtil::CreateMorph(brep, 3, 7, 1, 0, &head), NoError);
  const auto& morph = host.Element(head.guid)->element.morph;
  EXPECT_EQ(morph.edgePen, 3);
  EXPECT_EQ(morph.material, 7);
  EXPECT_EQ(BodyOf(head.guid).polygons[0].edges.size(), 9u);  // 4 + separator + 4

  // A contour end past the vertices is refused.
  Geometry::Polygon2DData bad;
  ASSERT_EQ(CGSUtil::ConstructPoly2DDataFromKelArea(outer, bad), NoError);
  (*bad.contourEnds)[1] = 99;
  EXPECT_EQ(CGSUtil::ConvertPoly2DDataToKelBrep(bad, 0, brep), APIERR_BADPOLY);
  Geometry::FreePolygon2DData(&bad);
}

TEST_F(CGSUtil3DTest, MorphsPassHostFailuresOnWithoutLeaks)
{
  CKelAreaCoord3DArray faces;
  CKelAreaCoord3D flat;
  flat.m_pt = {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}};
  flat.CalcPlaneEquation();
  faces.push_back(flat);
  host.FailOnce("ACAPI_Body_Create", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::CreateMorph(faces, 0, 0, 1, 0, nullptr), APIERR_MEMFULL);
  // A face without a plane has no normal the host takes.
  CKelAreaCoord3D line;
  line.m_pt = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  faces.push_back(line);
  EXPECT_EQ(CGSUtil::CreateMorph(faces, 0, 0, 1, 0, nullptr), APIERR_BADPARS);
  EXPECT_TRUE(host.ElementsOfType(API_MorphID).empty());
  API_Element one;
  ASSERT_EQ(CGSUtil::CreateMorph(flat, 0, 0, 1, 0, &one), NoError);
  EXPECT_EQ(one.header.typeID, API_MorphID);
}

TEST_F(CGSUtil3DTest, MeshOfABlockFlagsUnequalBottoms)
{
  struct Case {
    CKelBlockCube block;
    bool unequal;
  } cases[] = {{Box(0, 0, 1, 1, 5, 2), false}, {CKelBlockCube(), false}};
  cases[1].block = Box(0, 0, 1, 1, 5, 2);
  cases[1].block.m_Coord[2].m_zL = 2.5;
  cases[1].unequal = true;
  for (const Case& c : cases) {
    bool unequal = !c.unequal;
    ASSERT_EQ(CGSUtil::KelBlockToMesh(c.block, 0, 0, 1, 0, &unequal, nullptr), NoError);
    EXPECT_EQ(unequal, c.unequal);
  }
  EXPECT_EQ(host.ElementsOfType(API_MeshID).size(), 2u);
}

TEST_F(CGSUtil3DTest, PolygonToBlockDropsTheClosingRepeat)
{
  PolygonMemo square({{{0, 0}, {0, 2}, {3, 2}, {3, 0}}});  // clockwise
  const CKelBlockCube block = CGSUtil::Poly2KelBlock(square.Polygon(), *square.Memo());
  ASSERT_EQ(block.GetSize(), 4);
  EXPECT_DOUBLE_EQ(block.Menseki(), 6);
  EXPECT_GT(block.CalcArea(), 0);
  API_Polygon wrong = square.Polygon();
  wrong.nCoords = 3;  // ends past what the polygon claims
  EXPECT_EQ(CGSUtil::Poly2KelBlock(wrong, *square.Memo()).GetSize(), 0);
}

// --- Grid meshes ----------------------------------------------------------------------------

class Grid : public CGSCreateMeshCore {
public:
  Grid(int nx, int ny) : m_nx(nx), m_ny(ny) {}
  int GetNX() const override { return m_nx; }
  int GetNY() const override { return m_ny; }
  void GetGridPoint(int i, int j, CKelCoord3D& out) const override { out = CKelCoord3D(i, j, 10 + i + j); }

private:
  int m_nx;
  int m_ny;
};

TEST_F(CGSUtil3DTest, GridMeshHasItsBorderAndInnerLines)
{
  Grid grid(3, 2);
  ASSERT_EQ(grid.DoCreate(5, 1, nullptr, false), NoError);
  const auto meshes = host.ElementsOfType(API_MeshID);
  ASSERT_EQ(meshes.size(), 1u);
  const auto* stored = host.Element(meshes[0]);
  EXPECT_EQ(stored->element.mesh.poly.nCoords, 11);
  EXPECT_EQ(stored->element.mesh.levelLines.nCoords, 10);
  EXPECT_EQ(stored->element.mesh.levelLines.nSubLines, 3);
  EXPECT_EQ(stored->element.mesh.skirt, 3);
  EXPECT_EQ(stored->element.mesh.topPen, 5);
  EXPECT_EQ(stored->memo.meshLevelEnds, (std::vector<Int32>{3, 6, 10}));
  EXPECT_EQ(stored->memo.meshPolyZ[4], 13);  // node (3, 0)

  EXPECT_EQ(Grid(0, 2).DoCreate(0, 1, nullptr, false), APIERR_BADPARS);
  EXPECT_EQ(Grid(3, 0).DoCreate2(BLOCKtag{{{0, 0}, {1, 0}, {1, 1}}}, 0, 1, nullptr, false), APIERR_BADPARS);
  EXPECT_EQ(Grid(3, 2).DoCreate2(BLOCKtag{{{0, 0}, {4, 0}, {1, 1}}}, 0, 1, nullptr, false), APIERR_BADPARS);
}

TEST_F(CGSUtil3DTest, BlockMeshTakesTheRunsInsideItsOutline)
{
  Grid grid(4, 4);
  const BLOCKtag ell{{{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}}};
  const auto lines = grid.GetLevelLines(ell);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 3u);  // row y = 1: x = 1, 2, 3
  EXPECT_EQ(lines[0][0].m_x, 1);
  EXPECT_EQ(lines[1].size(), 3u);  // column x = 1: y = 1, 2, 3
  EXPECT_EQ(lines[1][0].m_y, 1);

  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  grid.m_nStory = 1;
  ASSERT_EQ(grid.DoCreate2(ell, 0, 1, nullptr, false), NoError);
  const auto* stored = host.Element(host.ElementsOfType(API_MeshID).at(0));
  EXPECT_EQ(stored->element.header.floorInd, 1);
  EXPECT_EQ(stored->element.mesh.level, -3.0);
  EXPECT_EQ(stored->element.mesh.poly.nCoords, 7);
  EXPECT_EQ(stored->element.mesh.levelLines.nSubLines, 2);
}

}  // namespace
