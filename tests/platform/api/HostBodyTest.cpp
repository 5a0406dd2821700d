// Bodies: the builder refuses what is not a body; a morph keeps the body it
// was built with and the 3D model hands it back, numbered so that polygon
// edges name edges and edges name vertices; slabs have prism bodies; a
// covering slab linked as a subtracting operator cuts the target closed;
// an object placed without parameters takes its part's defaults.

#include "PlatformTestSupport.h"

#include "host_body.h"
#include "host_libpart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

using HostBodyTest = HostModelTest;
using Face = std::vector<API_Coord3D>;
using Loop = std::vector<API_Coord3D>;

// The six faces of the box [0,1] x [0,1] x [z0,z1], each counter-clockwise
// seen from outside.
std::vector<Face> BoxFaces(double z0, double z1)
{
  return {{{0, 0, z0}, {0, 1, z0}, {1, 1, z0}, {1, 0, z0}}, {{0, 0, z1}, {1, 0, z1}, {1, 1, z1}, {0, 1, z1}},
          {{0, 0, z0}, {1, 0, z0}, {1, 0, z1}, {0, 0, z1}}, {{1, 0, z0}, {1, 1, z0}, {1, 1, z1}, {1, 0, z1}},
          {{1, 1, z0}, {0, 1, z0}, {0, 1, z1}, {1, 1, z1}}, {{0, 1, z0}, {0, 0, z0}, {0, 0, z1}, {0, 1, z1}}};
}

API_Coord3D NormalOf(const Face& f)
{
  const API_Coord3D u{f[1].x - f[0].x, f[1].y - f[0].y, f[1].z - f[0].z};
  const API_Coord3D v{f[2].x - f[1].x, f[2].y - f[1].y, f[2].z - f[1].z};
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// The call sequence a morph is made with: every face's points as new
// vertices, then each face's edge ring (last point to first, then each
// point to the next), then per face its normal and polygon.
GSErrCode BuildMorph(const std::vector<Face>& faces, API_Element* morph)
{
  void* body = nullptr;
  if (ACAPI_Body_Create(&body) != NoError || body == nullptr)
    return APIERR_CANCEL;
  std::vector<std::vector<Int32>> vertices(faces.size());
  for (std::size_t f = 0; f < faces.size(); ++f)
    for (const API_Coord3D& p : faces[f])
      EXPECT_EQ(ACAPI_Body_AddVertex(body, p, vertices[f].emplace_back()), NoError);
  std::vector<GS::Array<Int32>> rings(faces.size());
  for (std::size_t f = 0; f < faces.size(); ++f) {
    const auto& v = vertices[f];
    Int32 edge = 0;
    EXPECT_EQ(ACAPI_Body_AddEdge(body, v.back(), v.front(), edge), NoError);
    rings[f].Push(edge + 1);
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
      EXPECT_EQ(ACAPI_Body_AddEdge(body, v[i], v[i + 1], edge), NoError);
      rings[f].Push(edge + 1);
    }
  }
  for (std::size_t f = 0; f < faces.size(); ++f) {
    Int32 normal = 0, polygon = 0;
    EXPECT_EQ(ACAPI_Body_AddPolyNormal(body, NormalOf(faces[f]), normal), NoError);
    EXPECT_EQ(ACAPI_Body_AddPolygon(body, rings[f], normal, polygon), NoError);
  }
  API_ElementMemo memo;
  GSErrCode err = ACAPI_Body_Finish(body, &memo);
  ACAPI_Body_Dispose(&body);
  EXPECT_EQ(body, nullptr);
  if (err == NoError) {
    morph->header.typeID = API_MorphID;
    morph->header.layer = 1;
    err = ACAPI_Element_Create(morph, &memo);
  }
  ACAPI_DisposeElemMemoHdls(&memo);
  return err;
}

API_Component3D Component(API_3DTypeID type, Int32 index)
{
  API_Component3D component;
  component.header.typeID = type;
  component.header.index = index;
  EXPECT_EQ(ACAPI_3D_GetComponent(&component), NoError);
  return component;
}

// The start vertex of a polygon edge, read the way the add-on reads it:
// e > 0 the first vertex of edge e, e < 0 the second of edge -e, 0 none.
Int32 VertexOfPolyEdge(Int32 pedg)
{
  const Int32 e = Component(API_3DPolyEdgeID, pedg).pedg.pedg;
  if (e == 0)
    return -1;
  const API_Edge3D edge = Component(API_3DEdgeID, std::abs(e)).edge;
  return e > 0 ? edge.vert1 : edge.vert2;
}

API_Coord3D Place(const API_Tranmat& m, const API_Coord3D& c)
{
  const double* t = m.tmx;
  return {t[0] * c.x + t[1] * c.y + t[2] * c.z + t[3], t[4] * c.x + t[5] * c.y + t[6] * c.z + t[7],
          t[8] * c.x + t[9] * c.y + t[10] * c.z + t[11]};
}

// Every body of the element: per polygon its contours as placed points.
std::vector<std::vector<std::vector<Loop>>> ReadBodies(const API_Guid& guid)
{
  API_Elem_Head head;
  head.guid = guid;
  API_ElemInfo3D info;
  EXPECT_EQ(ACAPI_Element_Get3DInfo(head, &info), NoError);
  std::vector<std::vector<std::vector<Loop>>> bodies;
  for (Int32 b = info.fbody; b <= info.lbody; ++b) {
    const API_Body3D body = Component(API_3DBodyID, b).body;
    auto& polygons = bodies.emplace_back();
    for (Int32 p = body.fpgon; p <= body.lpgon; ++p) {
      const API_Polygon3D pgon = Component(API_3DPolygonID, p).pgon;
      auto& loops = polygons.emplace_back(1);
      for (Int32 e = pgon.fpedg; e <= pgon.lpedg; ++e) {
        const Int32 vertex = VertexOfPolyEdge(e);
        if (vertex < 0) {
          loops.emplace_back();
          continue;
        }
        EXPECT_GE(vertex, body.fvert);
        EXPECT_LE(vertex, body.lvert);
        loops.back().push_back(Place(body.tranmat, Component(API_3DVertexID, vertex).vert));
      }
    }
  }
  return bodies;
}

struct Solid {
  double volume = 0.0;
  std::array<double, 2> zRange{1e9, -1e9};
  bool closed = true;
};

// The signed volume by the divergence theorem over fan triangles (positive
// when every contour runs counter-clockwise seen from outside), the height
// range, and closure: every edge between two points is run once each way.
Solid Measure(const std::vector<std::vector<Loop>>& polygons)
{
  Solid solid;
  std::map<std::array<double, 6>, int> runs;
  for (const auto& loops : polygons)
    for (const Loop& loop : loops)
      for (std::size_t i = 0; i < loop.size(); ++i) {
        const API_Coord3D &a = loop[0], &p = loop[i], &q = loop[(i + 1) % loop.size()];
        if (i > 0 && i + 1 < loop.size())
          solid.volume += a.x * (p.y * q.z - p.z * q.y) - a.y * (p.x * q.z - p.z * q.x) + a.z * (p.x * q.y - p.y * q.x);
        solid.zRange = {std::min(solid.zRange[0], p.z), std::max(solid.zRange[1], p.z)};
        ++runs[{p.x, p.y, p.z, q.x, q.y, q.z}];
        --runs[{q.x, q.y, q.z, p.x, p.y, p.z}];
      }
  solid.volume /= 6.0;
  for (const auto& [edge, count] : runs)
    solid.closed = solid.closed && count == 0;
  return solid;
}

API_Guid AddSlab(HostFixture& host, double x0, double y0, double x1, double y1, double top, double thickness)
{
  API_Element slab;
  slab.header.typeID = API_SlabID;
  slab.header.layer = 1;
  slab.slab.level = top;
  slab.slab.thickness = thickness;
  PolygonMemo outline({{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}});
  EXPECT_EQ(host.AddPolygonElement(slab, outline), NoError);
  return slab.header.guid;
}

TEST_F(HostBodyTest, TheBuilderRefusesWhatIsNoBody)
{
  void* body = nullptr;
  ASSERT_EQ(ACAPI_Body_Create(&body), NoError);
  Int32 a = 0, b = 0, c = 0, edge = 0, normal = 0, polygon = 0;
  ACAPI_Body_AddVertex(body, {0, 0, 0}, a);
  ACAPI_Body_AddVertex(body, {1, 0, 0}, b);
  ACAPI_Body_AddVertex(body, {0, 1, 0}, c);
  EXPECT_EQ(c, 2);
  EXPECT_EQ(ACAPI_Body_AddVertex(body, {0, NAN, 0}, edge), APIERR_BADPARS);
  EXPECT_EQ(ACAPI_Body_AddEdge(body, a, 3, edge), APIERR_BADINDEX);
  EXPECT_EQ(ACAPI_Body_AddEdge(body, a, a, edge), APIERR_BADPARS);
  EXPECT_EQ(ACAPI_Body_AddPolyNormal(body, {0, 0, 0}, normal), APIERR_BADPARS);
  API_ElementMemo memo;
  EXPECT_EQ(ACAPI_Body_Finish(body, &memo), APIERR_BADPARS);  // no polygon yet

  ACAPI_Body_AddEdge(body, a, b, edge);
  ACAPI_Body_AddEdge(body, b, c, edge);
  ACAPI_Body_AddEdge(body, a, c, edge);
  ACAPI_Body_AddPolyNormal(body, {0, 0, 1}, normal);
  EXPECT_EQ(ACAPI_Body_AddPolygon(body, GS::Array<Int32>{1, 2, 3}, normal, polygon), APIERR_IRREGULARPOLY);
  EXPECT_EQ(ACAPI_Body_AddPolygon(body, GS::Array<Int32>{1, 2, -4}, normal, polygon), APIERR_BADINDEX);
  EXPECT_EQ(ACAPI_Body_AddPolygon(body, GS::Array<Int32>{1, 2, -3}, normal + 1, polygon), APIERR_BADINDEX);
  EXPECT_EQ(ACAPI_Body_AddPolygon(body, GS::Array<Int32>{1, 2, -3}, normal, polygon), NoError);
  ASSERT_EQ(ACAPI_Body_Finish(body, &memo), NoError);
  EXPECT_NE(memo.morphBody, nullptr);
  ACAPI_Body_Dispose(&body);
  ACAPI_DisposeElemMemoHdls(&memo);

  // A morph needs a body that the builder made.
  API_Element morph;
  morph.header.typeID = API_MorphID;
  morph.header.layer = 1;
  EXPECT_EQ(ACAPI_Element_Create(&morph, nullptr), APIERR_BADPARS);
  host.FailOnce("ACAPI_Body_Create", APIERR_MEMFULL);
  EXPECT_EQ(BuildMorph(BoxFaces(0, 1), &morph), APIERR_CANCEL);
}

TEST_F(HostBodyTest, AMorphHandsBackItsBodyThroughTheNumbered3DModel)
{
  API_Element morph;
  morph.morph.tranmat.tmx[3] = 10.0;  // moved 10 m along x
  ASSERT_EQ(BuildMorph(BoxFaces(0.0, 2.0), &morph), NoError);
  const auto bodies = ReadBodies(morph.header.guid);
  ASSERT_EQ(bodies.size(), 1u);
  ASSERT_EQ(bodies[0].size(), 6u);
  // The ring starts with the edge from the face's last point to its first.
  EXPECT_EQ(bodies[0][1][0], (Loop{{10, 1, 2}, {10, 0, 2}, {11, 0, 2}, {11, 1, 2}}));
  EXPECT_DOUBLE_EQ(Measure(bodies[0]).volume, 2.0);

  // Read again unchanged: the same numbers; a second element follows on.
  API_Elem_Head head;
  head.guid = morph.header.guid;
  API_ElemInfo3D first, again, other;
  ASSERT_EQ(ACAPI_Element_Get3DInfo(head, &first), NoError);
  ASSERT_EQ(ACAPI_Element_Get3DInfo(head, &again), NoError);
  EXPECT_EQ(again.fbody, first.fbody);
  head.guid = AddSlab(host, 0, 0, 1, 1, 0.0, 0.2);
  ASSERT_EQ(ACAPI_Element_Get3DInfo(head, &other), NoError);
  EXPECT_EQ(other.fbody, first.lbody + 1);
  const API_Body3D morphBody = Component(API_3DBodyID, first.fbody).body;
  EXPECT_EQ(morphBody.lvert - morphBody.fvert + 1, 24);  // no merging across faces
  EXPECT_EQ(morphBody.ledge - morphBody.fedge + 1, 24);
  API_Component3D beyond;
  beyond.header.typeID = API_3DVertexID;
  beyond.header.index = 0;
  EXPECT_EQ(ACAPI_3D_GetComponent(&beyond), APIERR_BADINDEX);

  // Elements without a body, and the user moving the morph.
  API_Elem_Head line;
  line.guid = AddObject(0, 0);
  EXPECT_EQ(ACAPI_Element_Get3DInfo(line, &other), APIERR_NO3D);
  ASSERT_EQ(host.UserMove({morph.header.guid}, {1.0, 0.0}), NoError);
  EXPECT_EQ(ReadBodies(morph.header.guid)[0][1][0][0], (API_Coord3D{11, 1, 2}));
}

TEST_F(HostBodyTest, ASlabIsAClosedPrismBetweenItsBottomAndTopOverItsStory)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  API_Element slab;
  slab.header.typeID = API_SlabID;
  slab.header.layer = 1;
  slab.header.floorInd = 1;
  slab.slab.level = 0.5;
  slab.slab.thickness = 0.25;
  // Given clockwise, with a clockwise hole: the body is the same.
  PolygonMemo outline({{{0, 0}, {0, 4}, {2, 4}, {2, 0}}, {{0.5, 0.5}, {0.5, 1.5}, {1.5, 1.5}, {1.5, 0.5}}});
  ASSERT_EQ(host.AddPolygonElement(slab, outline), NoError);
  const auto bodies = ReadBodies(slab.header.guid);
  ASSERT_EQ(bodies.size(), 1u);
  EXPECT_EQ(bodies[0].size(), 10u);  // 4 + 4 sides, top, bottom
  const Solid solid = Measure(bodies[0]);
  EXPECT_NEAR(solid.volume, (8.0 - 1.0) * 0.25, 1e-12);
  EXPECT_EQ(solid.zRange, (std::array<double, 2>{3.25, 3.5}));
  EXPECT_TRUE(solid.closed);
}

TEST_F(HostBodyTest, ACoveringSlabCutsAwayItsHeightRangeAndLeavesClosedPieces)
{
  API_Element morph;
  ASSERT_EQ(BuildMorph(BoxFaces(0.0, 1.0), &morph), NoError);
  const API_Guid above = AddSlab(host, -1, -1, 2, 2, 3.0, 2.6);  // takes 0.4..3
  EXPECT_EQ(ACAPI_Element_SolidLink_Create(morph.header.guid, above, 'SADD'), APIERR_BADPARS);
  ASSERT_EQ(ACAPI_Element_SolidLink_Create(morph.header.guid, above, 'SSUB'), NoError);
  EXPECT_EQ(ACAPI_Element_SolidLink_Create(morph.header.guid, above, 'SSUB'), APIERR_LINKEXIST);
  auto bodies = ReadBodies(morph.header.guid);
  ASSERT_EQ(bodies.size(), 1u);
  const Solid below = Measure(bodies[0]);
  EXPECT_NEAR(below.volume, 0.4, 1e-12);
  EXPECT_EQ(below.zRange, (std::array<double, 2>{0.0, 3.0 - 2.6}));
  EXPECT_TRUE(below.closed);

  // A band through the middle leaves a piece below and one above.
  ASSERT_EQ(ACAPI_Element_SolidLink_Remove(morph.header.guid, above), NoError);
  EXPECT_EQ(ACAPI_Element_SolidLink_Remove(morph.header.guid, above), APIERR_LINKNOTEXIST);
  const API_Guid band = AddSlab(host, -1, -1, 2, 2, 0.75, 0.5);
  ASSERT_EQ(ACAPI_Element_SolidLink_Create(morph.header.guid, band, 'SSUB'), NoError);
  bodies = ReadBodies(morph.header.guid);
  ASSERT_EQ(bodies.size(), 2u);
  EXPECT_NEAR(Measure(bodies[0]).volume + Measure(bodies[1]).volume, 0.5, 1e-12);
  EXPECT_TRUE(Measure(bodies[0]).closed && Measure(bodies[1]).closed);

  // A slab that does not cover the target in plan is beyond this host.
  ASSERT_EQ(ACAPI_Element_SolidLink_Remove(morph.header.guid, band), NoError);
  ASSERT_EQ(ACAPI_Element_SolidLink_Create(morph.header.guid, AddSlab(host, 0.5, 0, 2, 2, 1, 1), 'SSUB'), NoError);
  API_Elem_Head head;
  head.guid = morph.header.guid;
  API_ElemInfo3D info;
  EXPECT_EQ(ACAPI_Element_Get3DInfo(head, &info), APIERR_NOTSUPPORTED);
}

TEST_F(HostBodyTest, AnObjectPlacedWithoutParametersTakesItsPartsDefaults)
{
  host.LoadAddOnLibraryParts();
  API_Element table;
  table.header.typeID = API_ObjectID;
  table.header.layer = 1;
  table.object.libInd = 9;
  ASSERT_EQ(pln::host::LibraryPart(9)->name, GS::UniString(u"TalvoSoftwareAreaSchedule"));
  ASSERT_EQ(ACAPI_Element_Create(&table, nullptr), NoError);
  ASSERT_NE(host.Parameter(table.header.guid, "text_size"), nullptr);
  EXPECT_EQ(host.Parameter(table.header.guid, "text_size")->record.realValue, 5.0);
  EXPECT_EQ(host.Parameter(table.header.guid, "matrix_heder_text")->record.dim1, 3);

  // A list given is the list kept.
  double a = 0.0, b = 0.0;
  Int32 count = 0;
  API_ElementMemo memo;
  ASSERT_EQ(ACAPI_LibPart_GetParams(9, &a, &b, &count, &memo.params), NoError);
  (*memo.params)[4].realValue = 7.0;
  ASSERT_EQ(ACAPI_Element_Create(&table, &memo), NoError);
  ACAPI_DisposeElemMemoHdls(&memo);
  EXPECT_EQ(host.Parameter(table.header.guid, "text_size")->record.realValue, 7.0);
}

}  // namespace

namespace {

TEST_F(HostBodyTest, AMorphIsBoundedByItsPlacedBody)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  API_Element morph;
  morph.header.floorInd = 1;         // the story does not lift a morph
  morph.morph.tranmat.tmx[3] = 5.0;  // moved 5 m along x and 1 m up
  morph.morph.tranmat.tmx[11] = 1.0;
  ASSERT_EQ(BuildMorph(BoxFaces(2.0, 10.0), &morph), NoError);
  API_Box3D box;
  ASSERT_EQ(ACAPI_Goodies('CABO', &morph.header.guid, &box), NoError);
  EXPECT_EQ(box, (API_Box3D{5, 0, 3, 6, 1, 11}));
}

template <typename T>
void ToHandle(const std::vector<T>& values, T*** handle)
{
  *handle = reinterpret_cast<T**>(BMAllocateHandle(static_cast<GSSize>(values.size() * sizeof(T)), ALLOCATE_CLEAR, 0));
  std::copy(values.begin(), values.end(), **handle);
}

// A mesh of one square contour with the given heights and level lines.
GSErrCode AddMesh(HostFixture& host, std::vector<double> heights, std::vector<API_MeshLevelCoord> levelCoords,
                  std::vector<Int32> ends, API_MeshLevel counts)
{
  API_Element mesh;
  mesh.header.typeID = API_MeshID;
  mesh.header.layer = 1;
  mesh.mesh.levelLines = counts;
  PolygonMemo outline({{{0, 0}, {2, 0}, {2, 2}, {0, 2}}});
  API_ElementMemo* memo = outline.Memo();
  ToHandle(heights, &memo->meshPolyZ);
  ToHandle(levelCoords, &memo->meshLevelCoords);
  ToHandle(ends, &memo->meshLevelEnds);
  return host.AddPolygonElement(mesh, outline);
}

TEST_F(HostBodyTest, AMeshsHeightsAndLevelLinesMustMatchTheirCounts)
{
  const std::vector<double> heights{0, 1, 1, 1, 1, 1};  // 5 coordinates, 1-based
  const std::vector<API_MeshLevelCoord> three(3);
  struct Case {
    const char* name;
    std::vector<double> heights;
    std::vector<Int32> ends;
    API_MeshLevel counts;
    GSErrCode expected;
  } cases[] = {
      {"matching", heights, {1, 3}, {3, 2}, NoError},
      {"no heights", {}, {3}, {3, 1}, NoError},
      {"one height short", {0, 1, 1, 1, 1}, {3}, {3, 1}, APIERR_BADPOLY},
      {"points miscounted", heights, {3}, {4, 1}, APIERR_BADPOLY},
      {"lines miscounted", heights, {3}, {3, 2}, APIERR_BADPOLY},
      {"an empty line", heights, {1, 1, 3}, {3, 3}, APIERR_BADPOLY},
      {"ends short of the points", heights, {2}, {3, 1}, APIERR_BADPOLY},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AddMesh(host, c.heights, three, c.ends, c.counts), c.expected) << c.name;
}

}  // namespace
