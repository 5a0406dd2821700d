#pragma once
// Polyhedral bodies: the body builder a morph's shape is made with, and the
// 3D model through which the add-on reads the bodies of elements.
//
// Vocabulary
//   body      a shape of vertices, edges between two vertices and polygons.
//   polygon   planar face; its contours are runs of signed edge numbers,
//             the first contour the outer boundary, the others holes, a 0
//             between two contours. Edge number k > 0 runs edge k - 1 from
//             its first to its second vertex, k < 0 runs edge -k - 1 back.
//   3D model  the host's list of bodies of the elements asked for; its
//             components (bodies, polygons, polygon edges, edges, vertices,
//             normals) are numbered from 1 across the whole list, so a
//             polygon edge or an edge names its edge or vertex without the
//             body it belongs to.
//
// Builder positions (vertices, edges, normals, polygons) count from 0 in
// the order they were added. Coordinates are metres.
//
// Which elements have bodies: a morph (its own body placed by its matrix;
// its story does not lift it) and a slab (its outline between its bottom
// and top, levels counted from its story; arcs are taken by their chords).
// Other kinds answer APIERR_NO3D.
//
// A subtracting solid link cuts the target's bodies by the operator's. This
// host cuts only with a slab that covers the target in plan, which takes
// away the slab's height range across the whole target; any other operator
// shape answers APIERR_NOTSUPPORTED when the target's bodies are read.

#include "host_api_types.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------
// Body builder

// Starts a body; *bodyData is the builder to pass on (null when none was
// made, which a caller treats as a cancellation).
[[nodiscard]] GSErrCode ACAPI_Body_Create(void** bodyData);
// APIERR_BADPARS for a coordinate that is not finite.
[[nodiscard]] GSErrCode ACAPI_Body_AddVertex(void* bodyData, const API_Coord3D& coord, Int32& index);
// Between two different vertices already added (APIERR_BADINDEX,
// APIERR_BADPARS). Every call makes a new edge.
[[nodiscard]] GSErrCode ACAPI_Body_AddEdge(void* bodyData, Int32 vertex1, Int32 vertex2, Int32& index);
// APIERR_BADPARS for a zero or non-finite vector. It is kept as given.
[[nodiscard]] GSErrCode ACAPI_Body_AddPolyNormal(void* bodyData, const API_Coord3D& normal, Int32& index);
// edges: signed edge numbers with a 0 between contours; each contour must
// close (every edge ends where the next starts, the last where the first
// starts): APIERR_IRREGULARPOLY otherwise, APIERR_BADINDEX for an unknown
// edge or normal.
[[nodiscard]] GSErrCode ACAPI_Body_AddPolygon(void* bodyData, const GS::Array<Int32>& edges, Int32 polyNormal,
                                              Int32& index);
// Writes the body into memo->morphBody (a fresh handle, replacing none the
// caller still holds); APIERR_BADPARS while the body has no polygon.
[[nodiscard]] GSErrCode ACAPI_Body_Finish(void* bodyData, API_ElementMemo* memo);
// Frees the builder and nulls *bodyData; a null builder is fine.
[[nodiscard]] GSErrCode ACAPI_Body_Dispose(void** bodyData);

// ---------------------------------------------------------------------------
// 3D model

enum API_3DTypeID : Int32 {
  API_3DZombieID = 0,
  API_3DBodyID = 1,
  API_3DPolygonID = 2,
  API_3DPolyEdgeID = 3,
  API_3DEdgeID = 4,
  API_3DVertexID = 5,
  API_3DNormalID = 6,
};

// The element's bodies are fbody..lbody of the 3D model.
struct API_ElemInfo3D {
  Int32 fbody = 0;
  Int32 lbody = 0;
};

// First and last number of each kind of component of one body (last < first
// when it has none). Its vertices are placed by tranmat.
struct API_Body3D {
  Int32 fvert = 0, lvert = -1;
  Int32 fedge = 0, ledge = -1;
  Int32 fpgon = 0, lpgon = -1;
  API_Tranmat tranmat;
};

struct API_Polygon3D {
  Int32 fpedg = 0;
  Int32 lpedg = -1;
  Int32 inormal = 0;  // the polygon's normal
};

// A signed edge number (1-based, negative runs the edge backwards); 0
// separates two contours of a polygon.
struct API_PolyEdge3D {
  Int32 pedg = 0;
};

struct API_Edge3D {
  Int32 vert1 = 0;
  Int32 vert2 = 0;
};

// A caller sets header.typeID and header.index; the member of that kind is
// filled in.
struct API_Component3D {
  struct Head {
    API_3DTypeID typeID = API_3DZombieID;
    Int32 index = 0;
  } header;
  API_Body3D body;
  API_Polygon3D pgon;
  API_PolyEdge3D pedg;
  API_Edge3D edge;
  API_Coord3D vert;
  API_Coord3D normal;
};

// Adds the element's bodies to the 3D model (an element read again while
// unchanged keeps its numbers).
[[nodiscard]] GSErrCode ACAPI_Element_Get3DInfo(const API_Elem_Head& head, API_ElemInfo3D* info3D);
// APIERR_BADINDEX for a number outside the model, APIERR_BADPARS for an
// unknown kind.
[[nodiscard]] GSErrCode ACAPI_3D_GetComponent(API_Component3D* component);

// ---------------------------------------------------------------------------
// Solid links

// operation 'SSUB': the operator's bodies are taken away from the target's.
// Both must be live elements with bodies and differ; a second link of the
// same pair answers APIERR_LINKEXIST.
[[nodiscard]] GSErrCode ACAPI_Element_SolidLink_Create(const API_Guid& target, const API_Guid& operatorElem,
                                                       Int32 operation);
// APIERR_LINKNOTEXIST when the pair is not linked.
[[nodiscard]] GSErrCode ACAPI_Element_SolidLink_Remove(const API_Guid& target, const API_Guid& operatorElem);

// ---------------------------------------------------------------------------
// Owned forms kept by the model

namespace pln::host {

struct StoredBody {
  struct Polygon {
    std::vector<Int32> edges;  // signed edge numbers, 0 between contours
    Int32 normal = 0;          // position in normals
    bool operator==(const Polygon&) const = default;
  };
  std::vector<API_Coord3D> vertices;
  std::vector<std::pair<Int32, Int32>> edges;  // vertex positions
  std::vector<API_Coord3D> normals;
  std::vector<Polygon> polygons;
  bool operator==(const StoredBody&) const = default;
};

// The packed form a memo carries; Unpack refuses any form Pack would not
// make (counts beyond the bytes, positions out of range, open contours).
std::vector<char> PackBody(const StoredBody& body);
std::optional<StoredBody> UnpackBody(const std::vector<char>& bytes);
// Why a body cannot be kept: NoError, APIERR_BADINDEX or APIERR_IRREGULARPOLY.
[[nodiscard]] GSErrCode CheckBody(const StoredBody& body);

// A body with the matrix that places it.
struct PlacedBody {
  StoredBody body;
  API_Tranmat tranmat;
  bool operator==(const PlacedBody&) const = default;
};

// The 3D model: numbered components of the bodies handed out so far.
struct Model3D {
  std::vector<API_Body3D> bodies;
  std::vector<API_Polygon3D> polygons;
  std::vector<Int32> polyEdges;
  std::vector<API_Edge3D> edges;
  std::vector<API_Coord3D> vertices;
  std::vector<API_Coord3D> normals;
  // What each element's bodies were made from, and their numbers.
  std::map<API_Guid, std::pair<std::vector<PlacedBody>, API_ElemInfo3D>> byElement;
};

// (target, operator) pairs of subtracting links.
using SolidLinks = std::vector<std::pair<API_Guid, API_Guid>>;

}  // namespace pln::host
