#pragma once
// Static helpers through which the add-on and the library talk to the host:
// elements, attributes, layers, stories, library parts and their parameters,
// teamwork, menus and resources, the host's error names. Each operation is a
// fixed sequence of host calls; a host error code (0 = success) is passed
// back unchanged from the first call that fails.

#include "host_api_types.h"
#include "CMyUserData.h"
#include "host_libpart.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

class CKelProgressCore;
class CSelectList;
class CMyUserDataCore;
class CKelCoord2D;
class CKelAreaCoord2D;
class CKelAreaCoord2DArray;
class CKelCoord3DCrsPntArray;
class CKelCoord3DCrsPntArrayArray;
class CKelAreaCoord3D;
class CKelAreaCoord3DArray;
class CKelAreaCoord3DArrayArray;
class CKelBlockCube;
class CKelBrep;
struct API_Component3D;
class CKelWallLineArray;
class CKelWallArcArray;
namespace Geometry {
struct Polygon2DData;
}

class CGSUtil {
public:
  CGSUtil() = delete;

  // == Object parameters, element creation, searches and deletion ==
  // Defaults sentinels of the creators: a pen, line type, layer, font or
  // text size of 0 keeps the host's default for the new element, a story of
  // kDefaultStory the host's default story. Every creator then appends the
  // new GUID to guids, copies the created record to out, writes the tag's
  // user data (its result becomes the result) and, when observe is set and
  // nothing failed, makes the add-on observe the element; each may be null.
  // Lengths in metres, angles in radians unless a creator says degrees.
  static constexpr short kDefaultStory = 15000;

  // Parameters of the library part being placed: meaningful between 'OPAR'
  // and 'CPAR', which the caller brackets around its calls. i1, i2 address
  // an array cell from 1; 0, 0 a scalar. A name too long for the host's
  // record answers APIERR_BADPARS.
  [[nodiscard]] static GSErrCode ChangeObjectParameter(const char* name, bool value, int i1, int i2);
  [[nodiscard]] static GSErrCode ChangeObjectParameter(const char* name, int value, int i1, int i2);
  [[nodiscard]] static GSErrCode ChangeObjectParameter(const char* name, double value, int i1, int i2);
  // 8-bit text in the host's default code.
  [[nodiscard]] static GSErrCode ChangeObjectParameter(const char* name, const char* value, int i1, int i2);
  [[nodiscard]] static GSErrCode ChangeObjectParameter(const char* name, const unsigned short* value, int i1, int i2);
  [[nodiscard]] static GSErrCode ChangeObjectParameter(const char* name, const GS::UniString& value, int i1, int i2);
  // The real value of the element's first parameter of that name; *value is
  // left alone when it has none.
  [[nodiscard]] static GSErrCode GetObjectParameter(API_Guid& guid, const char* name, double* value);
  // The choices the library part offers for a parameter.
  [[nodiscard]] static GSErrCode GetObjectParameterList(API_ElemTypeID type, int libInd, const char* name,
                                          std::vector<GS::UniString>& values);
  [[nodiscard]] static GSErrCode GetObjectParameterList(API_ElemTypeID type, int libInd, const char* name,
                                          std::vector<API_VLNumType>& values);

  // Element creation. A line with two equal ends is not created (answer 0).
  [[nodiscard]] static GSErrCode CreateLine(double x1, double y1, double x2, double y2, short pen, int lineType, short layer,
                              short story, GS::Array<API_Guid>* guids, API_ArrowData* arrow, API_Element* out,
                              CMyUserDataCore* tag, bool observe);
  // angle in degrees, folded once into -90..90 so the text never reads
  // upside down; flag becomes the text's fixed-size switch.
  [[nodiscard]] static GSErrCode CreateText(double x, double y, const char* text, double size, double angle, bool flag,
                              API_AnchorID anchor, API_JustID just, short font, short pen, short layer, short story,
                              GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag, bool observe);
  // An object of library part libInd drawing a line in space; the z values
  // are absolute levels.
  [[nodiscard]] static GSErrCode Create3DLine(int libInd, double bx, double by, double bz, double ex, double ey, double ez,
                                bool show2D, short pen, int lineType, short layer, short story,
                                GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag, bool observe);
  [[nodiscard]] static GSErrCode CreateCircle(double cx, double cy, double r, short pen, int lineType, short layer, short story,
                                GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag, bool observe);
  [[nodiscard]] static GSErrCode CreateArc(double cx, double cy, double r, double begAng, double endAng, short pen, int lineType,
                             short layer, short story, GS::Array<API_Guid>* guids, API_Element* out,
                             CMyUserDataCore* tag, bool observe);
  [[nodiscard]] static GSErrCode CreatePolyLine(const std::vector<API_Coord>& points, short pen, int lineType, short layer,
                                  short story, GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag,
                                  bool observe);
  // Fills: pen is the contour and fill pen.
  [[nodiscard]] static GSErrCode CreateHatch(const std::vector<API_Coord>& points, short pen, int lineType, short layer,
                               short story, GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag,
                               bool observe);
  // The sector from p turning by angle about centre.
  [[nodiscard]] static GSErrCode CreateArcHatch(const API_Coord& centre, const API_Coord& p, double angle, short pen, int lineType,
                                  short layer, short story, GS::Array<API_Guid>* guids, API_Element* out,
                                  CMyUserDataCore* tag, bool observe);
  // The figure between the arc about c from p1 to p2 (the shorter way) and
  // an arc of radius r back from p2 to p1: bulging to the other side of the
  // chord when lens is set, to the same side otherwise. APIERR_BADPARS when
  // r is shorter than half the chord or p1, p2 are not apart.
  [[nodiscard]] static GSErrCode CreateArcArcHatch(const API_Coord& c, const API_Coord& p1, const API_Coord& p2, bool lens, double r,
                                     short pen, int lineType, short layer, short story, GS::Array<API_Guid>* guids,
                                     API_Element* out, CMyUserDataCore* tag, bool observe);
  [[nodiscard]] static GSErrCode CreateCircleHatch(const API_Coord& centre, double r, short pen, int lineType, short layer,
                                     short story, GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag,
                                     bool observe);
  // A mesh through the points (h1: the ground under the point, h2: its
  // height); pen goes to its top and side pens, material overrides the top.
  [[nodiscard]] static GSErrCode CreateMesh(const std::vector<API_Height>& points, short pen, int material, short layer, short story,
                              CMyUserDataCore* tag);

  // Element searches over the current database. A tag selects the elements
  // whose user data it reads as userType; objects must name their library
  // part (libInd > 0). A cancelled progress ends with APIERR_CANCEL; a tag
  // the host fails to read (other than an element without one) ends the
  // search with the host's error.
  [[nodiscard]] static GSErrCode GSGetElement(API_ElemTypeID type, CMyUserDataCore* tag, int libInd, CMyUserDataCore::TYPE userType,
                                CSelectList* layers, short* story, CKelProgressCore* progress,
                                GS::Array<API_Elem_Head>* result);
  [[nodiscard]] static GSErrCode GSGetElementOnFloor(API_ElemTypeID type, CMyUserDataCore* tag, int libInd,
                                       CMyUserDataCore::TYPE userType, short story, GS::Array<API_Elem_Head>* result);
  // layer 0: any layer.
  [[nodiscard]] static GSErrCode GSGetElement(API_ElemTypeID type, CMyUserDataCore* tag, CMyUserDataCore::TYPE userType, short layer,
                                GS::Array<API_Guid>& result);

  // Deletion. Each shows and unlocks the elements' layers for the deletion
  // and always puts every layer back as it was.
  [[nodiscard]] static GSErrCode GSDeleteElement(GS::Array<API_Elem_Head>* heads);
  // In a shared project the elements are reserved first; an element held by
  // another user deletes nothing and answers APIERR_NOTMINE.
  [[nodiscard]] static GSErrCode GSDeleteElement3(GS::Array<API_Elem_Head>& heads);
  [[nodiscard]] static GSErrCode GSDeleteObject(API_ElemTypeID type, CMyUserDataCore* tag, int libInd,
                                  CMyUserDataCore::TYPE userType, CSelectList* layers, CKelProgressCore* progress,
                                  bool unused);
  [[nodiscard]] static GSErrCode GSDeleteElement2(API_ElemTypeID type, CMyUserDataCore* tag, int libInd,
                                    CMyUserDataCore::TYPE userType, CSelectList* layers, CKelProgressCore* progress);
  // Deletes the elements that can be prepared, passes over the others and
  // shows any failure to the user in the add-on's alert.
  [[nodiscard]] static GSErrCode GSDeleteObject(std::vector<GS::Guid>& guids);
  [[nodiscard]] static GSErrCode GSDeleteObject(std::vector<GS::Guid>& guids, CKelProgressCore* progress);
  // Deletes every element or, when one cannot be read or deleted, none;
  // the failure is returned for the caller to report.
  [[nodiscard]] static GSErrCode GSDeleteWhole(const std::vector<GS::Guid>& guids);
  [[nodiscard]] static GSErrCode GSClearUserData(GS::Array<API_Guid>* guids);


  // == Attributes, layers, stories, library parts, teamwork, menus, resources, error names ==
  // Names given as `const unsigned short*` are NUL-terminated UTF-16 texts.

  // Layers (attribute type 2). A setter modifies the layer only when its
  // flag really changes, so repeating a state costs no host write.
  [[nodiscard]] static GSErrCode GetLayerLockStatus(short layer, bool* locked);
  [[nodiscard]] static GSErrCode GetLayerVisibleStatus(short layer, bool* visible);
  [[nodiscard]] static GSErrCode GetLayerForceToWire(short layer, bool* wire);
  [[nodiscard]] static GSErrCode SetLayerLockStatus(short layer, bool lock);
  [[nodiscard]] static GSErrCode SetLayerVisibleStatusNew(short layer, bool visible);
  [[nodiscard]] static GSErrCode SetLayerForceToWire(short layer, bool wire);
  [[nodiscard]] static GSErrCode SetLayerVisibleStatusOld(short layer, bool visible);
  // The layer of this name, created (with value in its record) when absent;
  // 0 when it can be neither found nor created.
  static short GSSelectLayer(const unsigned short* name, int value);
  static void SeparateLayerName(std::string name, std::string& a, std::string& b);
  [[nodiscard]] static GSErrCode SaveLayerComb(const char* name);

  // Attributes. A search answers the attribute's index, 0 when none.
  static Int32 GSSearchAttribute(API_AttrTypeID type, const unsigned short* name);
  static short GSSearchFont(const unsigned short* name);
  static Int32 GSSearchMaterial(const unsigned short* name);
  static Int32 GSSearchFilltype(const unsigned short* name);
  static Int32 GSSearchLinetype(const unsigned short* name);
  [[nodiscard]] static GSErrCode GetAttrName(API_AttrTypeID type, int index, GS::UniString& name);
  // The material of this name, made in the colour (0..1 fractions) when
  // absent; 0 when it can be neither found nor made.
  static Int32 GSGetTransparentMaterial(const unsigned short* name, double r, double g, double b);
  static Int32 GSGetSolidMaterial(const unsigned short* name, double r, double g, double b);
  [[nodiscard]] static GSErrCode SetZoneCategory(const unsigned short* code, const unsigned short* stampName, const char* name,
                                   API_RGBColor color, int* index);
  // Black when the category can't be read.
  static API_RGBColor GetZoneCatColor(int index);
  static Int32 GetMaxPriorityBuildingMaterial();

  // Library parts and libraries.
  [[nodiscard]] static GSErrCode GetLibPartInd(API_LibTypeID type, const unsigned short* name, int* index);
  [[nodiscard]] static GSErrCode GetLibInd(const unsigned short* name, int* index);
  [[nodiscard]] static GSErrCode ReloadLibrary();
  [[nodiscard]] static GSErrCode AddLibrary(const char* folderName);

  // Teamwork. The user id of a shared project is 1 or more.
  static bool IsTeamworkProject(short* userId);
  // True when this user (userId >= 1) holds the element.
  static bool TeamworkControl_GetLockableStatus(short userId, API_Guid& guid);

  // Stories. The index is clamped to the project's stories; a failed read
  // gives 0, -1000.0, 0.0 or an empty name.
  static short GetActStory();
  static double GetFlrLevel(short n);
  static double GetFlrHeight(short n);
  static GS::UniString GetFlrName(short n);
  [[nodiscard]] static GSErrCode GetLayerHeight(std::vector<double>& levels);
  [[nodiscard]] static GSErrCode SetActStory(short n);
  [[nodiscard]] static GSErrCode ChangeFloor(short n);

  // Menus and the add-on's resources.
  [[nodiscard]] static GSErrCode SetPaletteMenuTexts(short menuResId, short itemIndex, short strResId, short strIndex);
  static GS::UniString GetStringFromResourceU(short resId, short index);
  // Both answer the mark the item shows afterwards.
  static bool SetMenuItemMark(short menuResId, short itemIndex, bool mark);
  static bool InvertMenuItemMark(short menuResId, short itemIndex);

  // Project, place and databases. Angles in radians.
  static IO::Location GetProjectPathName();
  static std::string GetProjectPathName2();
  [[nodiscard]] static GSErrCode GetCityInfo2(double& longitude, double& latitude);
  [[nodiscard]] static GSErrCode GetNorth(double& north);
  [[nodiscard]] static GSErrCode SetNorth(double north);
  // i counts the master layouts from 0.
  [[nodiscard]] static GSErrCode GetMasterLayoutDataBaseInfo(int i, API_WindowInfo& window);
  [[nodiscard]] static GSErrCode CreateNewDatabase(API_WindowInfo& master, const unsigned short* name, API_WindowInfo& result);
  [[nodiscard]] static GSErrCode ChangeDatabaseFloorPlan();
  // Runs body with the floor plan as the current database; the database
  // current before is current again afterwards, whatever failed. Answers
  // the first failure; body does not run when the switch fails.
  [[nodiscard]] static GSErrCode OnFloorPlan(const std::function<GSErrCode()>& body);
  [[nodiscard]] static GSErrCode RestoreDatabase(int, API_WindowInfo& saved, API_WindowInfo& current);

  // Element information.
  // out must hold 256 bytes; the name is cut to 255.
  static bool GetElementTypeString(API_ElemTypeID type, char* out);
  // 0 for a type outside 1..32.
  static API_NeigID Elem_To_NeigID(API_ElemTypeID type);
  // *n = the wall's windows (doors); their GUIDs go into *list (made or
  // resized to fit) when list is given.
  [[nodiscard]] static GSErrCode GetWindowLinks(API_Guid wall, API_Guid*** list, int* n);
  [[nodiscard]] static GSErrCode GetDoorLinks(API_Guid wall, API_Guid*** list, int* n);
  // Plan direction of b - a; false, outputs untouched, when the points
  // coincide in plan.
  static bool CalcCosSin(const API_Coord& a, const API_Coord& b, double* cosine, double* sine, double* length);
  static bool CalcCosSin(const API_Coord3D& a, const API_Coord3D& b, double* cosine, double* sine, double* length);
  // m2; untouched on failure.
  [[nodiscard]] static GSErrCode GetZoneArea2(API_Guid& guid, double* area);
  [[nodiscard]] static GSErrCode GetCWallParameter(API_Element& cwall, double* base, double* height, double* slant);
  static bool IsHotlinkElement(API_Guid& guid);
  [[nodiscard]] static GSErrCode BringToFront(API_Guid& guid);
  [[nodiscard]] static GSErrCode BringToBack(API_Guid& guid);
  static void CheckDontUseCode2(std::string& text);
  static void CheckDontUseCode2(GS::UniString& text);
  static bool IsControlShifted();

  // Error names and formatting.
  // The host's name of an error code padded to 31 characters, "???" when
  // the code has no name.
  static const char* ErrID_To_Name(int code);
  // C formatting into dst, a UTF-16 buffer of dstBytes bytes; the text is
  // cut to fit and always terminated.
  static void usprintf(unsigned short* dst, int dstBytes, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

  // == Outlines: memo and zone polygons, arcs, 2D polygon data, text conversions ==
  // Memo polygon: coordinates 1-based (entry 0 holds none), contour ends with
  // entry 0 = 0 and entry k the last coordinate of contour k (closing repeat
  // included), contour 0 the outer boundary; an arc record makes the edge
  // between its two adjacent coordinates an arc of signed angle (radians,
  // counter-clockwise positive when walked from begIndex). Outlines come back
  // as CKelCoord3DCrsPntArray at z = 0: outer contours counter-clockwise,
  // holes clockwise. Every reader bounds its indexes by the handles it is
  // given and refuses (empty result, APIERR_BADPOLY) what points past them.

  // The first of nArcs records joining coordinates i and i + 1 in either
  // order; null when there is none.
  static const API_PolyArc* IsArc(const API_PolyArc* arcs, int nArcs, int i);
  // Centre of the arc from p1 to p2 of the signed angle; false, centre (0, 0),
  // for an angle too small to bend the edge.
  static bool ArcGetOrigo(const API_Coord* p1, const API_Coord* p2, double angle, API_Coord* centre);
  // The clockwise angle from a to b about c, in -pi..pi.
  static double GetArcAngle(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c);
  // Contour `contour` of a memo polygon held in host handles; nArcs records
  // of the arc handle are used. Empty when an index points outside the handles.
  static CKelCoord3DCrsPntArray MemoToKelArea2(API_Coord** coords, Int32** ends, API_PolyArc** arcs, int nArcs,
                                               int contour);
  // The same over plain arrays: coords and ends with their entry 0, arcs the
  // records to search.
  static CKelCoord3DCrsPntArray MemoToKelArea2(std::span<const API_Coord> coords, std::span<const Int32> ends,
                                               std::span<const API_PolyArc> arcs, int contour);
  // The zone element's outline (its reference polygon when the zone is
  // measured on it): the outer contour and, when all is true, the holes.
  // Empty when the memo cannot be read or a contour is malformed.
  static CKelCoord3DCrsPntArrayArray ZoneToKelArea2(const API_Element& zone, bool all);
  // The same with the memo read's error, so that a caller can tell an outline
  // that could not be read from one without contours (outline left empty).
  [[nodiscard]] static GSErrCode ZoneToKelArea2(const API_Element& zone, bool all,
                                                CKelCoord3DCrsPntArrayArray& outline);

  // Outlines split into plain segments (flag clear) and arcs (a counter-
  // clockwise arc unmarked, a clockwise one marked), appended to the lists;
  // segments with nearly equal ends are dropped.
  static void AreaToLineArc(const CKelCoord3DCrsPntArray* area, CKelWallLineArray& lines, CKelWallArcArray& arcs);
  static void AreaToLineArc(const std::vector<CKelCoord3DCrsPntArray>& areas, CKelWallLineArray& lines,
                            CKelWallArcArray& arcs);
  // The zone's outer contour; APIERR_BADPOLY when the zone gives none.
  [[nodiscard]] static GSErrCode ZoneToLineArc(const API_Element& zone, CKelWallLineArray& lines, CKelWallArcArray& arcs);

  // Host 2D polygon data. Each builder starts from empty data, closes every
  // contour by a repeat of its first vertex, computes the bound box and
  // orients the result (outer counter-clockwise, holes clockwise). Answers 0,
  // APIERR_MEMFULL, or APIERR_BADPOLY for outlines the host cannot take
  // (empty contours, ends or arcs outside the vertices); on failure nothing
  // stays allocated.
  [[nodiscard]] static GSErrCode ConstructPoly2DDataFromElementMemo(const API_ElementMemo& memo, Geometry::Polygon2DData& poly);
  [[nodiscard]] static GSErrCode ConstructPoly2DDataFromElementMemo(API_Coord** coords, Int32** ends, API_PolyArc** arcs,
                                                      Geometry::Polygon2DData& poly);
  [[nodiscard]] static GSErrCode ConstructPoly2DDataFromAPICoord(const std::vector<API_Coord>& points, Geometry::Polygon2DData& poly);
  [[nodiscard]] static GSErrCode ConstructPoly2DDataFromKelArea(const CKelAreaCoord2D& area, Geometry::Polygon2DData& poly);
  [[nodiscard]] static GSErrCode ConstructPoly2DDataFromKelArea(const std::vector<CKelAreaCoord2D>& areas,
                                                  Geometry::Polygon2DData& poly);
  [[nodiscard]] static GSErrCode GetPolygon(const CKelAreaCoord2DArray& areas, Geometry::Polygon2DData& poly);
  [[nodiscard]] static GSErrCode GetPolygon(const CKelAreaCoord2D& area, Geometry::Polygon2DData& poly);
  // The element's memo polygon.
  [[nodiscard]] static GSErrCode GetPolygon(const API_Guid& guid, Geometry::Polygon2DData& poly);
  // Counts into polygon and fresh handles into memo (both zeroed first; the
  // caller disposes of the memo).
  [[nodiscard]] static GSErrCode ConvertPoly2DDataToAPIPolygon(const Geometry::Polygon2DData& poly, API_Polygon& polygon,
                                                 API_ElementMemo& memo);

  // Text in Shift-JIS (host code 32) and UTF-8 (host code 99).
  static std::string Unicode2Sjis(const GS::UniString& text);
  static std::string Unicode2Utf8(const GS::UniString& text);

  // == 3D: morphs, meshes and slabs from blocks; breps from host bodies ==
  // Heights are absolute levels in metres. The morph creators' two ints are
  // the morph's edge pen and material, each written when not 0 (0 keeps the
  // host's default); layer 0 and story kDefaultStory keep the defaults too.
  // A morph stands where its body's points are: its matrix is the unit one.
  // Bodies are read through the 3D model; every component number is checked
  // against the ranges the host gave, and host errors pass back unchanged.

  // The data's contours (closing repeats included, which add no edge) as
  // one flat face at height z, given to CKelBrep::ToBrep.
  [[nodiscard]] static GSErrCode ConvertPoly2DDataToKelBrep(const Geometry::Polygon2DData& poly, double z, CKelBrep& brep);
  // A morph whose body has each face's points as its own vertices (nothing
  // merged across faces), each face's edge ring from its last point round,
  // and one polygon per face with the face's normal. APIERR_CANCEL when the
  // builder makes no body.
  [[nodiscard]] static GSErrCode CreateMorph(const CKelAreaCoord3DArray& faces, int pen, int material, short layer, short story,
                               API_Elem_Head* out);
  // The same from a brep: its points, edges and faces as they are numbered.
  [[nodiscard]] static GSErrCode CreateMorph(const CKelBrep& brep, int pen, int material, short layer, short story,
                               API_Elem_Head* out);
  // A body of one planar face into memo->morphBody (the caller disposes of
  // the memo). The int is not used: this host's bodies carry no per-face
  // attributes.
  [[nodiscard]] static GSErrCode KelAreaToMemo(const CKelAreaCoord3D& face, int unused, API_ElementMemo& memo);
  [[nodiscard]] static GSErrCode CreateMorph(const CKelAreaCoord3D& face, int pen, int material, short layer, short story,
                               API_Element* out);
  // The block as a closed morph: top, bottom, then one quad per side.
  [[nodiscard]] static GSErrCode KelBlockToMorph(const CKelBlockCube& block, int pen, int material, short layer, short story,
                                   API_Elem_Head* out);
  // The block's outline as a mesh (CreateMesh: ground at the bottom, height
  // at the top); *unequalBottoms tells whether the bottoms differ.
  [[nodiscard]] static GSErrCode KelBlockToMesh(const CKelBlockCube& block, short pen, int material, short layer, short story,
                                  bool* unequalBottoms, CMyUserDataCore* tag);
  // A slab over the box's plan rectangle from bottom to top (absolute) on
  // the story; its GUID to guid.
  [[nodiscard]] static GSErrCode CreateSlab(const API_Box3D& box, double bottom, double top, int story, API_Guid& guid);
  // The element's body below z: a slab on the story from z to 1 m above the
  // element's bounds (1 m wider on every side) is linked as a subtracting
  // operator while the bodies are read; link and slab always go again, and
  // the first error is answered.
  [[nodiscard]] static GSErrCode CutZ(const API_Guid& guid, double z, int story, std::vector<CKelBrep>& breps);
  // One brep per body of the element.
  [[nodiscard]] static GSErrCode ToKelBrep(const API_Elem_Head& head, std::vector<CKelBrep>& breps);
  // The body (a component of type body) as one brep of its polygons.
  [[nodiscard]] static GSErrCode GetOneBlock(const API_Component3D& body, std::vector<CKelBrep>& breps);
  // Per body one list of faces: each polygon's outer contour with its plane.
  [[nodiscard]] static GSErrCode GetAreaFromBlock(const API_Elem_Head& head, CKelAreaCoord3DArrayArray& faces);
  // The start vertex of polygon edge pedg; -1 for a contour separator.
  [[nodiscard]] static GSErrCode GetVertexIndex(int pedg, int* vertex);
  // The memo's first contour without its closing repeat, cleaned and made
  // counter-clockwise; empty when the polygon disagrees with the memo.
  static CKelBlockCube Poly2KelBlock(const API_Polygon& polygon, const API_ElementMemo& memo);
};
