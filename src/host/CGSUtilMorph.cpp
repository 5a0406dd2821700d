// Morphs, meshes and slabs made from the volume model's faces, blocks and
// breps, and the conversions of host polygons into breps and blocks.
//
// Body builder: vertices, edges and normals are numbered from 0 in the order
// they are added; a polygon names its edges by signed numbers from 1, a 0
// between two contours.

#include "CGSUtil.h"
#include "CKelAreaCoord3D.h"
#include "CKelBlockCube.h"
#include "CKelBrep.h"
#include "ElementStart.h"
#include "HostHandles.h"
#include "host_body.h"
#include "host_elements.h"
#include "host_polygon2d.h"

#include <cstring>

namespace {

// The builder, disposed of whatever happens.
class BodyBuilder {
public:
  BodyBuilder() { m_err = ACAPI_Body_Create(&m_body); }
  ~BodyBuilder() { (void)ACAPI_Body_Dispose(&m_body); }  // a destructor has no one to answer
  BodyBuilder(const BodyBuilder&) = delete;
  BodyBuilder& operator=(const BodyBuilder&) = delete;

  // The first failure so far; a builder that made no body is a cancellation.
  GSErrCode Error() const { return m_err != NoError ? m_err : m_body == nullptr ? APIERR_CANCEL : NoError; }
  Int32 Vertex(const CKelCoord3D& p)
  {
    Int32 index = -1;
    Keep(Error() == NoError ? ACAPI_Body_AddVertex(m_body, API_Coord3D{p.m_x, p.m_y, p.m_z}, index) : NoError);
    return index;
  }
  // The signed number of the new edge a -> b.
  Int32 Edge(Int32 a, Int32 b)
  {
    Int32 index = -1;
    Keep(Error() == NoError ? ACAPI_Body_AddEdge(m_body, a, b, index) : NoError);
    return index + 1;
  }
  void Polygon(const GS::Array<Int32>& edges, const CKelVector3D& normal)
  {
    Int32 n = -1;
    Int32 polygon = -1;
    if (Error() == NoError)
      Keep(ACAPI_Body_AddPolyNormal(m_body, API_Coord3D{normal.m_x, normal.m_y, normal.m_z}, n));
    if (Error() == NoError)
      Keep(ACAPI_Body_AddPolygon(m_body, edges, n, polygon));
  }
  GSErrCode Finish(API_ElementMemo& memo)
  {
    if (Error() == NoError)
      Keep(ACAPI_Body_Finish(m_body, &memo));
    return Error();
  }

private:
  void Keep(GSErrCode err)
  {
    if (m_err == NoError)
      m_err = err;
  }
  void* m_body = nullptr;
  GSErrCode m_err = NoError;
};

// The faces' points as vertices, then each face's ring (last point to the
// first, then each point to the next), then per face its normal and polygon.
GSErrCode FacesToMemo(const std::vector<const CKelAreaCoord3D*>& faces, API_ElementMemo& memo)
{
  BodyBuilder builder;
  std::vector<std::vector<Int32>> vertices(faces.size());
  for (std::size_t f = 0; f < faces.size(); ++f)
    for (const CKelCoord3D& p : faces[f]->m_pt)
      vertices[f].push_back(builder.Vertex(p));
  std::vector<GS::Array<Int32>> rings(faces.size());
  for (std::size_t f = 0; f < faces.size(); ++f) {
    const std::vector<Int32>& v = vertices[f];
    for (std::size_t i = 0; i < v.size(); ++i)
      rings[f].Push(builder.Edge(v[(i + v.size() - 1) % v.size()], v[i]));
  }
  for (std::size_t f = 0; f < faces.size(); ++f)
    builder.Polygon(rings[f], faces[f]->GetVector());
  return builder.Finish(memo);
}

struct MorphPlacement {
  int pen;
  int material;
  short layer;
  short story;
};

// Creates the morph of the body in memo (which the caller disposes of).
GSErrCode CreateMorphFromMemo(API_ElementMemo& memo, const MorphPlacement& place, API_Element& element)
{
  if (GSErrCode err = pln::gsutil::StartElement(API_MorphID, place.layer, place.story, element); err != NoError)
    return err;
  element.morph.tranmat = API_Tranmat{};
  if (place.pen != 0)
    element.morph.edgePen = static_cast<short>(place.pen);
  if (place.material != 0)
    element.morph.material = place.material;
  return ACAPI_Element_Create(&element, &memo);
}

GSErrCode CreateMorphOfFaces(const std::vector<const CKelAreaCoord3D*>& faces, const MorphPlacement& place,
                             API_Element& element)
{
  pln::gsutil::MemoGuard holder;
  if (GSErrCode err = FacesToMemo(faces, holder.memo); err != NoError)
    return err;
  return CreateMorphFromMemo(holder.memo, place, element);
}

CKelAreaCoord3D PlaneFace(std::vector<CKelCoord3D> points)
{
  CKelAreaCoord3D face;
  face.m_pt = std::move(points);
  face.CalcPlaneEquation();
  return face;
}

}  // namespace

// --- Morphs ------------------------------------------------------------------------------------

GSErrCode CGSUtil::CreateMorph(const CKelAreaCoord3DArray& faces, int pen, int material, short layer, short story,
                               API_Elem_Head* out)
{
  std::vector<const CKelAreaCoord3D*> list;
  for (const CKelAreaCoord3D& face : faces)
    list.push_back(&face);
  API_Element element;
  const GSErrCode err = CreateMorphOfFaces(list, {pen, material, layer, story}, element);
  if (err == NoError && out != nullptr)
    *out = element.header;
  return err;
}

GSErrCode CGSUtil::CreateMorph(const CKelBrep& brep, int pen, int material, short layer, short story,
                               API_Elem_Head* out)
{
  pln::gsutil::MemoGuard holder;
  {
    BodyBuilder builder;
    std::vector<Int32> vertices;
    for (const CKelCoord3D& p : brep.m_Vertex)
      vertices.push_back(builder.Vertex(p));
    std::vector<Int32> edges;
    for (const CBrepEdge& e : brep.m_Edge) {
      const bool known = e.m_v1 >= 0 && e.m_v2 >= 0 && static_cast<std::size_t>(e.m_v1) < vertices.size() &&
                         static_cast<std::size_t>(e.m_v2) < vertices.size();
      if (!known)
        return APIERR_BADINDEX;
      edges.push_back(builder.Edge(vertices[static_cast<std::size_t>(e.m_v1)], vertices[static_cast<std::size_t>(e.m_v2)]));
    }
    for (const CBrepFaceArray2& face : brep.m_Face) {
      GS::Array<Int32> numbers;
      for (const CBrepFace& contour : face) {
        if (!numbers.IsEmpty())
          numbers.Push(0);
        for (std::int32_t k : contour.m_Edges) {
          const std::size_t index = static_cast<std::size_t>(k > 0 ? k : -static_cast<long long>(k)) - 1;
          if (k == 0 || index >= edges.size())
            return APIERR_BADINDEX;
          numbers.Push(k > 0 ? edges[index] : -edges[index]);
        }
      }
      builder.Polygon(numbers, face.GetVector(brep));
    }
    if (GSErrCode err = builder.Finish(holder.memo); err != NoError)
      return err;
  }
  API_Element element;
  const GSErrCode err = CreateMorphFromMemo(holder.memo, {pen, material, layer, story}, element);
  if (err == NoError && out != nullptr)
    *out = element.header;
  return err;
}

GSErrCode CGSUtil::KelAreaToMemo(const CKelAreaCoord3D& face, int /*unused*/, API_ElementMemo& memo)
{
  return FacesToMemo({&face}, memo);
}

GSErrCode CGSUtil::CreateMorph(const CKelAreaCoord3D& face, int pen, int material, short layer, short story,
                               API_Element* out)
{
  API_Element element;
  const GSErrCode err = CreateMorphOfFaces({&face}, {pen, material, layer, story}, element);
  if (err == NoError && out != nullptr)
    *out = element;
  return err;
}

GSErrCode CGSUtil::KelBlockToMorph(const CKelBlockCube& block, int pen, int material, short layer, short story,
                                   API_Elem_Head* out)
{
  const CKelBlockCoordArray& v = block.m_Coord;
  CKelAreaCoord3DArray faces;
  std::vector<CKelCoord3D> top;
  std::vector<CKelCoord3D> bottom;
  for (const CKelBlockCoord& c : v)
    top.emplace_back(c.m_x, c.m_y, c.m_z);
  for (auto it = v.rbegin(); it != v.rend(); ++it)
    bottom.emplace_back(it->m_x, it->m_y, it->m_zL);
  faces.push_back(PlaneFace(std::move(top)));
  faces.push_back(PlaneFace(std::move(bottom)));
  for (std::size_t k = 0; k < v.size(); ++k) {
    const CKelBlockCoord& p = v[(k + v.size() - 1) % v.size()];
    const CKelBlockCoord& c = v[k];
    faces.push_back(PlaneFace({{p.m_x, p.m_y, p.m_zL}, {c.m_x, c.m_y, c.m_zL}, {c.m_x, c.m_y, c.m_z},
                               {p.m_x, p.m_y, p.m_z}}));
  }
  return CreateMorph(faces, pen, material, layer, story, out);
}

// --- Meshes and slabs -----------------------------------------------------------------------------

GSErrCode CGSUtil::KelBlockToMesh(const CKelBlockCube& block, short pen, int material, short layer, short story,
                                  bool* unequalBottoms, CMyUserDataCore* tag)
{
  std::vector<API_Height> points;
  bool unequal = false;
  for (const CKelBlockCoord& c : block.m_Coord) {
    points.push_back(API_Height{API_Coord{c.m_x, c.m_y}, c.m_zL, c.m_z});
    unequal = unequal || c.m_zL != block.m_Coord.front().m_zL;
  }
  if (unequalBottoms != nullptr)
    *unequalBottoms = unequal;
  return CreateMesh(points, pen, material, layer, story, tag);
}

GSErrCode CGSUtil::CreateSlab(const API_Box3D& box, double bottom, double top, int story, API_Guid& guid)
{
  API_Element slab;
  slab.header.typeID = API_SlabID;
  if (GSErrCode err = ACAPI_Element_GetDefaults(&slab, nullptr); err != NoError)
    return err;
  slab.header.floorInd = static_cast<short>(story);
  slab.slab.level = top - GetFlrLevel(static_cast<short>(story));
  slab.slab.thickness = top - bottom;
  const std::vector<API_Coord> coords{{},
                                      {box.xMin, box.yMin},
                                      {box.xMax, box.yMin},
                                      {box.xMax, box.yMax},
                                      {box.xMin, box.yMax},
                                      {box.xMin, box.yMin}};
  pln::gsutil::MemoGuard holder;
  holder.memo.coords = pln::gsutil::NewEntries<API_Coord>(coords.size());
  holder.memo.pends = pln::gsutil::NewEntries<Int32>(2);
  if (holder.memo.coords == nullptr || holder.memo.pends == nullptr)
    return APIERR_MEMFULL;
  std::memcpy(*holder.memo.coords, coords.data(), coords.size() * sizeof(API_Coord));
  (*holder.memo.pends)[1] = 5;
  slab.slab.poly.nCoords = 5;
  slab.slab.poly.nSubPolys = 1;
  slab.slab.poly.nArcs = 0;
  if (GSErrCode err = ACAPI_Element_Create(&slab, &holder.memo); err != NoError)
    return err;
  guid = slab.header.guid;
  return NoError;
}

// --- Polygons into breps and blocks ----------------------------------------------------------------

GSErrCode CGSUtil::ConvertPoly2DDataToKelBrep(const Geometry::Polygon2DData& poly, double z, CKelBrep& brep)
{
  const auto vertices = pln::gsutil::EntriesOf(poly.vertices);
  const auto ends = pln::gsutil::EntriesOf(poly.contourEnds);
  // Entries are 1-based; contour k spans ends[k - 1] + 1 .. ends[k].
  if (ends.size() < static_cast<std::size_t>(poly.nContours) + 1 ||
      vertices.size() < static_cast<std::size_t>(poly.nVertices) + 1)
    return APIERR_BADPOLY;
  std::vector<CKelAreaCoord3D> contours;
  for (std::size_t k = 1; k <= poly.nContours; ++k) {
    if (ends[k] <= ends[k - 1] || ends[k] > poly.nVertices)
      return APIERR_BADPOLY;
    CKelAreaCoord3D face;
    for (std::size_t i = ends[k - 1] + 1; i <= ends[k]; ++i)
      face.m_pt.emplace_back(vertices[i].x, vertices[i].y, z);
    face.SetMaxMin();
    face.CalcPlaneEquation();
    contours.push_back(std::move(face));
  }
  brep.ToBrep(std::vector<std::vector<CKelAreaCoord3D>>{contours});
  return NoError;
}

CKelBlockCube CGSUtil::Poly2KelBlock(const API_Polygon& polygon, const API_ElementMemo& memo)
{
  CKelBlockCube block;
  const auto coords = pln::gsutil::EntriesOf(memo.coords);
  const auto ends = pln::gsutil::EntriesOf(memo.pends);
  if (polygon.nSubPolys < 1 || ends.size() < 2 || ends[1] < 2 || static_cast<std::size_t>(ends[1]) >= coords.size() ||
      ends[1] > polygon.nCoords)
    return block;
  for (Int32 i = 1; i < ends[1]; ++i)  // the last coordinate repeats the first
    block.Append(CKelBlockCoord(coords[static_cast<std::size_t>(i)].x, coords[static_cast<std::size_t>(i)].y, 0, 0));
  block.EraseSamePoint();
  block.SetMinMax();
  return block;
}
