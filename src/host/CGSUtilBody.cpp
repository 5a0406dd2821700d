// Host bodies read back as breps and faces, and the cut of an element's body
// at a level.
//
// The 3D model numbers its components from 1 across all bodies: a polygon
// edge names an edge by a signed number, an edge names its two vertices.
// Each number read is checked against the body's own ranges before use.

#include "CGSUtil.h"
#include "CKelAreaCoord3D.h"
#include "CKelBrep.h"
#include "host_body.h"
#include "host_elements.h"
#include "host_libpart.h"

namespace {

// A cutting slab reaches this far beyond the element's bounds.
constexpr double kCutMargin = 1.0;

GSErrCode GetComponent(API_3DTypeID type, Int32 index, API_Component3D& component)
{
  component = API_Component3D{};
  component.header.typeID = type;
  component.header.index = index;
  return ACAPI_3D_GetComponent(&component);
}

CKelCoord3D Placed(const API_Tranmat& m, const API_Coord3D& c)
{
  const double* t = m.tmx;
  return {t[0] * c.x + t[1] * c.y + t[2] * c.z + t[3], t[4] * c.x + t[5] * c.y + t[6] * c.z + t[7],
          t[8] * c.x + t[9] * c.y + t[10] * c.z + t[11]};
}

// The placed point of vertex v, which must belong to the body.
GSErrCode BodyVertex(const API_Body3D& body, Int32 v, CKelCoord3D& p)
{
  if (v < body.fvert || v > body.lvert)
    return APIERR_BADINDEX;
  API_Component3D component;
  if (GSErrCode err = GetComponent(API_3DVertexID, v, component); err != NoError)
    return err;
  p = Placed(body.tranmat, component.vert);
  return NoError;
}

// The contours of polygon p of the body, each as the start points of its
// edges, the outer one first.
GSErrCode PolygonContours(const API_Body3D& body, Int32 p, std::vector<CKelAreaCoord3D>& contours)
{
  if (p < body.fpgon || p > body.lpgon)
    return APIERR_BADINDEX;
  API_Component3D pgon;
  if (GSErrCode err = GetComponent(API_3DPolygonID, p, pgon); err != NoError)
    return err;
  contours.assign(1, CKelAreaCoord3D{});
  for (Int32 e = pgon.pgon.fpedg; e <= pgon.pgon.lpedg; ++e) {
    int vertex = -1;
    if (GSErrCode err = CGSUtil::GetVertexIndex(e, &vertex); err != NoError)
      return err;
    if (vertex < 0) {
      contours.emplace_back();
      continue;
    }
    CKelCoord3D point;
    if (GSErrCode err = BodyVertex(body, vertex, point); err != NoError)
      return err;
    contours.back().m_pt.push_back(point);
  }
  std::erase_if(contours, [](const CKelAreaCoord3D& c) { return c.m_pt.empty(); });
  return NoError;
}

// Calls visit(body) for every body of the element's 3D model.
template <typename Visit>
GSErrCode ForEachBody(const API_Elem_Head& head, Visit visit)
{
  API_ElemInfo3D info;
  if (GSErrCode err = ACAPI_Element_Get3DInfo(head, &info); err != NoError)
    return err;
  for (Int32 b = info.fbody; b <= info.lbody; ++b) {
    API_Component3D body;
    if (GSErrCode err = GetComponent(API_3DBodyID, b, body); err != NoError)
      return err;
    if (GSErrCode err = visit(body); err != NoError)
      return err;
  }
  return NoError;
}

GSErrCode FirstOf(GSErrCode a, GSErrCode b) { return a != NoError ? a : b; }

}  // namespace

GSErrCode CGSUtil::GetVertexIndex(int pedg, int* vertex)
{
  API_Component3D component;
  if (GSErrCode err = GetComponent(API_3DPolyEdgeID, pedg, component); err != NoError)
    return err;
  const Int32 e = component.pedg.pedg;
  if (e == 0) {
    *vertex = -1;
    return NoError;
  }
  API_Component3D edge;
  if (GSErrCode err = GetComponent(API_3DEdgeID, e > 0 ? e : -e, edge); err != NoError)
    return err;
  *vertex = e > 0 ? edge.edge.vert1 : edge.edge.vert2;
  return NoError;
}

GSErrCode CGSUtil::GetOneBlock(const API_Component3D& body, std::vector<CKelBrep>& breps)
{
  const API_Body3D& b = body.body;
  std::vector<std::vector<CKelAreaCoord3D>> faces;
  for (Int32 p = b.fpgon; p <= b.lpgon; ++p) {
    std::vector<CKelAreaCoord3D> contours;
    if (GSErrCode err = PolygonContours(b, p, contours); err != NoError)
      return err;
    faces.push_back(std::move(contours));
  }
  CKelBrep brep;
  brep.ToBrep(faces);
  breps.push_back(std::move(brep));
  return NoError;
}

GSErrCode CGSUtil::ToKelBrep(const API_Elem_Head& head, std::vector<CKelBrep>& breps)
{
  return ForEachBody(head, [&](const API_Component3D& body) { return GetOneBlock(body, breps); });
}

GSErrCode CGSUtil::GetAreaFromBlock(const API_Elem_Head& head, CKelAreaCoord3DArrayArray& faces)
{
  return ForEachBody(head, [&](const API_Component3D& body) {
    CKelAreaCoord3DArray list;
    for (Int32 p = body.body.fpgon; p <= body.body.lpgon; ++p) {
      std::vector<CKelAreaCoord3D> contours;
      if (GSErrCode err = PolygonContours(body.body, p, contours); err != NoError)
        return err;
      CKelAreaCoord3D outer = contours.empty() ? CKelAreaCoord3D{} : contours.front();
      outer.SetMaxMin();
      outer.CalcPlaneEquation();
      list.push_back(std::move(outer));
    }
    faces.push_back(std::move(list));
    return NoError;
  });
}

GSErrCode CGSUtil::CutZ(const API_Guid& guid, double z, int story, std::vector<CKelBrep>& breps)
{
  API_Element element;
  element.header.guid = guid;
  if (GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
    return err;
  API_Box3D box;
  API_Guid target = guid;
  if (GSErrCode err = ACAPI_Goodies('CABO', &target, &box); err != NoError)
    return err;
  box.xMin -= kCutMargin;
  box.yMin -= kCutMargin;
  box.xMax += kCutMargin;
  box.yMax += kCutMargin;
  API_Guid slab;
  if (GSErrCode err = CreateSlab(box, z, box.zMax + kCutMargin, story, slab); err != NoError)
    return err;
  GSErrCode err = ACAPI_Element_SolidLink_Create(guid, slab, 'SSUB');
  if (err == NoError) {
    err = ToKelBrep(element.header, breps);
    err = FirstOf(err, ACAPI_Element_SolidLink_Remove(guid, slab));
  }
  std::vector<GS::Guid> cutter{ToGSGuid(slab)};
  return FirstOf(err, GSDeleteObject(cutter));
}
