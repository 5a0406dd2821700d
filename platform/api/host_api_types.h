#pragma once
// The records of the add-on interface: identifiers, element records and
// memos, attributes, stories, databases, project information and the
// notification records. They are plain values; the functions that use them
// live in the host_* headers of each theme.
//
// Units: lengths in metres, angles in radians (counter-clockwise positive),
// colours as 0..1 fractions. Where the interface hands out a handle (memo
// arrays, story lists, parameter lists) it is a counted GSHandle holding a
// packed array of the plain record named by its type; the caller frees it
// with the dispose call of that theme or with BMKillHandle.

#include "gs_containers.h"
#include "gs_guid.h"
#include "gs_unistring.h"
#include "host_memory.h"
#include "host_types.h"
#include "io_location.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// ---------------------------------------------------------------------------
// Identifiers

// An element's identity. The bytes are those of the GS::Guid text form, in
// order, so both forms convert without loss.
struct API_Guid {
  std::uint8_t bytes[16] = {};

  bool IsNull() const;
  std::size_t HashValue() const;
  bool operator==(const API_Guid& other) const;
  bool operator!=(const API_Guid& other) const { return !(*this == other); }
  bool operator<(const API_Guid& other) const;
};

inline constexpr API_Guid APINULLGuid{};

API_Guid ToAPIGuid(const GS::Guid& guid);
GS::Guid ToGSGuid(const API_Guid& guid);
// 36 upper-case characters, the same text as GS::Guid gives.
GS::UniString APIGuidToString(const API_Guid& guid);

template <>
struct std::hash<API_Guid> {
  std::size_t operator()(const API_Guid& guid) const { return guid.HashValue(); }
};

// A database's identity: 16 opaque bytes, compared as a whole.
struct API_DatabaseUnId {
  UInt32 elemSetId[4] = {};
  bool operator==(const API_DatabaseUnId&) const = default;
};

// ---------------------------------------------------------------------------
// Element kinds. The numbers are the ones the callers pass; kinds the
// callers never name by number got plain values of their own.

enum API_ElemTypeID : Int32 {
  API_ZombieElemID = 0,
  API_WallID = 1,
  API_WindowID = 4,
  API_DoorID = 5,
  API_ObjectID = 6,  // a placed library part
  API_SlabID = 8,
  API_MeshID = 10,
  API_TextID = 15,
  API_ZoneID = 17,
  API_HatchID = 18,  // a fill
  API_LineID = 19,
  API_PolyLineID = 20,
  API_ArcID = 21,
  API_CircleID = 22,
  API_CurtainWallID = 37,
  API_MorphID = 45,
};

// Neighbour ids are plain numbers handed back by the callers' own tables.
enum API_NeigID : Int32 {};

// A selected element: only the GUID is examined by this host.
struct API_Neig {
  API_NeigID neigID{};
  API_Guid guid;
  Int32 inIndex = 0;

  bool operator==(const API_Neig&) const = default;
};

// ---------------------------------------------------------------------------
// Geometry records

struct API_Coord {
  double x = 0.0;
  double y = 0.0;
  bool operator==(const API_Coord&) const = default;
};

struct API_Coord3D {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  bool operator==(const API_Coord3D&) const = default;
};

struct API_Box {
  double xMin = 0.0, yMin = 0.0, xMax = 0.0, yMax = 0.0;

  bool operator==(const API_Box&) const = default;
};

struct API_Box3D {
  double xMin = 0.0, yMin = 0.0, zMin = 0.0;
  double xMax = 0.0, yMax = 0.0, zMax = 0.0;

  bool operator==(const API_Box3D&) const = default;
};

// The edge between coordinates begIndex and endIndex (1-based, adjacent) is
// an arc of the signed angle arcAngle.
struct API_PolyArc {
  Int32 begIndex = 0;
  Int32 endIndex = 0;
  double arcAngle = 0.0;

  bool operator==(const API_PolyArc&) const = default;
};

// Counts of a polygon whose arrays travel in the element's memo: nCoords
// includes the closing repeat of every contour; nSubPolys is the number of
// contours (the first is the outer boundary, the rest are holes).
struct API_Polygon {
  Int32 nCoords = 0;
  Int32 nSubPolys = 0;
  Int32 nArcs = 0;

  bool operator==(const API_Polygon&) const = default;
};

struct API_RGBColor {
  double f_red = 0.0;
  double f_green = 0.0;
  double f_blue = 0.0;
  bool operator==(const API_RGBColor&) const = default;
};

// A 3D point of a mesh outline: its plan position, then two heights (the
// callers' lower and upper levels of the point).
struct API_Height {
  API_Coord c;
  double h1 = 0.0;
  double h2 = 0.0;

  bool operator==(const API_Height&) const = default;
};

// A point of a mesh level line.
struct API_MeshLevelCoord {
  API_Coord3D c;
  Int32 vertexID = 0;

  bool operator==(const API_MeshLevelCoord&) const = default;
};

// A pen with its two companion bytes (kept for the callers that clear them).
struct API_ExtendedPenType {
  short penIndex = 0;
  std::uint8_t colorOverride = 0;
  std::uint8_t reserved = 0;

  bool operator==(const API_ExtendedPenType&) const = default;
};

// ---------------------------------------------------------------------------
// Element header and the records of each kind

struct API_Elem_Head {
  API_ElemTypeID typeID = API_ZombieElemID;
  API_Guid guid{};
  short floorInd = 0;
  short layer = 0;
  // Teamwork user who reserved the element; 0 while nobody holds it.
  short userId = 0;
  API_Guid groupGuid{};
  // Set for elements that arrived through a hot-link module.
  API_Guid hotlinkGuid{};
  // Display order: larger numbers are drawn later (in front).
  Int32 drwIndex = 0;
  bool hasMemo = false;

  bool operator==(const API_Elem_Head&) const = default;
};

struct API_ObjectType {
  Int32 libInd = 0;
  API_Coord pos;
  bool useObjPens = false;
  bool useObjLtypes = false;
  bool reflected = false;
  double angle = 0.0;
  double offset = 0.0;
  double xRatio = 0.0;  // size along the part's own x axis
  double yRatio = 0.0;  // size along the part's own y axis
  double level = 0.0;   // height above the story
  double bottomOffset = 0.0;
  short fixPoint = 0;
  std::uint8_t lockDistortion = 0;
  Int32 displayOption = 0;
  short pen = 0;
  Int32 ltypeInd = 0;

  bool operator==(const API_ObjectType&) const = default;
};

// A window or door sits in the wall named by owner.
struct API_OpeningType {
  Int32 libInd = 0;
  API_Guid owner;
  double objLoc = 0.0;  // distance of the opening's centre from the wall's start
  double width = 0.0;
  double height = 0.0;

  bool operator==(const API_OpeningType&) const = default;
};

struct API_WallType {
  API_Coord begC;
  API_Coord endC;
  double thickness = 0.0;
  double height = 0.0;

  bool operator==(const API_WallType&) const = default;
};

struct API_ZoneType {
  GS::UniString roomName;
  GS::UniString roomNoStr;
  Int32 catInd = 0;  // zone category attribute
  API_Coord pos;     // stamp position
  API_Polygon poly;  // the outline of coords/pends/parcs
  // With automaticOutline clear and useRefPolygon set the zone is measured
  // on its reference polygon (refCoords/refPends/refParcs, counts in refPoly).
  bool automaticOutline = false;
  bool useRefPolygon = false;
  API_Polygon refPoly;
  short pen = 0;
  double roomHeight = 0.0;        // from the bottom to the top of the room
  double roomBottomOffset = 0.0;  // bottom above the story

  bool operator==(const API_ZoneType&) const = default;
};

struct API_SlabType {
  API_Polygon poly;
  double level = 0.0;  // top, above the story
  double thickness = 0.0;
  short pen = 0;

  bool operator==(const API_SlabType&) const = default;
};

struct API_HatchType {
  API_Polygon poly;
  Int32 fillInd = 0;
  short contPen = 0;
  short fillPen = 0;
  short fillBGPen = 0;
  Int32 ltypeInd = 0;

  bool operator==(const API_HatchType&) const = default;
};

struct API_PolyLineType {
  API_Polygon poly;
  short pen = 0;
  Int32 ltypeInd = 0;

  bool operator==(const API_PolyLineType&) const = default;
};

struct API_ArrowData {
  bool begArrow = false;
  bool endArrow = false;
  short arrowPen = 0;
  double arrowSize = 0.0;
  Int32 arrowType = 0;

  bool operator==(const API_ArrowData&) const = default;
};

struct API_LineType {
  API_Coord begC{};
  API_Coord endC{};
  API_ExtendedPenType linePen;
  Int32 ltypeInd = 0;
  API_ArrowData arrowData{};

  bool operator==(const API_LineType&) const = default;
};

struct API_ArcType {
  API_Coord origC;
  double r = 0.0;
  double begAng = 0.0;
  double endAng = 0.0;
  double angle = 0.0;  // of the ellipse's main axis
  double ratio = 1.0;  // of the ellipse's axes
  API_ExtendedPenType linePen;
  Int32 ltypeInd = 0;

  bool operator==(const API_ArcType&) const = default;
};

struct API_CircleType {
  API_Coord origC;
  double r = 0.0;
  double angle = 0.0;
  double ratio = 1.0;
  API_ExtendedPenType linePen;
  Int32 ltypeInd = 0;

  bool operator==(const API_CircleType&) const = default;
};

// Anchor numbers are stored as given; this host draws nothing.
enum API_AnchorID : Int32 {};
enum API_JustID : Int32 { APIJust_Left = 0, APIJust_Center = 1, APIJust_Right = 2, APIJust_Full = 3 };

// The text itself travels in the memo's textContent.
struct API_TextType {
  API_Coord loc{};
  double size = 0.0;  // millimetres on paper
  double angle = 0.0;
  API_AnchorID anchorPoint{};
  API_JustID just = APIJust_Left;
  short font = 0;
  short pen = 0;
  bool fixedSize = false;
  bool nonBreaking = false;
  bool useEolCr = false;

  bool operator==(const API_TextType&) const = default;
};

// A mesh's outline heights travel in the memo (meshPolyZ, 1-based like the
// coordinates), its level lines in meshLevelCoords (nCoords points) and
// meshLevelEnds (nSubLines entries, entry k counting the points up to the
// end of line k). A mesh whose memo disagrees with these counts is refused
// with APIERR_BADPOLY.
struct API_MeshLevel {
  Int32 nCoords = 0;
  Int32 nSubLines = 0;

  bool operator==(const API_MeshLevel&) const = default;
};

struct API_MeshType {
  API_Polygon poly;
  API_MeshLevel levelLines{};
  double level = 0.0;
  short skirt = 0;
  short sidePen = 0;
  short topPen = 0;
  bool overrideTopMaterial = false;
  Int32 topMaterial = 0;

  bool operator==(const API_MeshType&) const = default;
};

struct API_Tranmat {
  double tmx[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};

  bool operator==(const API_Tranmat&) const = default;
};

struct API_MorphType {
  API_Tranmat tranmat;
  double level = 0.0;
  short edgePen = 0;
  Int32 material = 0;

  bool operator==(const API_MorphType&) const = default;
};

struct API_CurtainWallType {
  API_Polygon poly;
  double baseOffset = 0.0;  // base level above the story
  double height = 0.0;
  double slantAngle = 0.0;  // from the vertical

  bool operator==(const API_CurtainWallType&) const = default;
};

// One record for every kind: the header names the kind, and only the
// member of that kind is meaningful.
struct API_Element {
  API_Elem_Head header;
  API_ObjectType object;
  API_OpeningType window;
  API_OpeningType door;
  API_WallType wall;
  API_ZoneType zone;
  API_SlabType slab;
  API_HatchType hatch;
  API_PolyLineType polyLine;
  API_LineType line;
  API_ArcType arc;
  API_CircleType circle;
  API_TextType text;
  API_MeshType mesh;
  API_MorphType morph;
  API_CurtainWallType cwall;

  bool operator==(const API_Element&) const = default;
};

// Which fields of a record an element change takes over. A caller marks
// each field it changed, for example
//   mask.Set(&API_Element::object, &API_ObjectType::pos);
// a change with an empty mask keeps every field of the stored element.
class API_ElementMask {
public:
  template <typename Kind, typename Field>
  void Set(Kind API_Element::*kind, Field Kind::*field)
  {
    copiers_.push_back([kind, field](API_Element& to, const API_Element& from) { (to.*kind).*field = (from.*kind).*field; });
  }
  void Clear() { copiers_.clear(); }
  bool IsEmpty() const { return copiers_.empty(); }
  // How many fields were marked (a field marked twice counts twice).
  std::size_t Count() const { return copiers_.size(); }
  // Copies the marked fields of from into to.
  void Apply(API_Element& to, const API_Element& from) const
  {
    for (const auto& copy : copiers_)
      copy(to, from);
  }

private:
  std::vector<std::function<void(API_Element&, const API_Element&)>> copiers_;
};

// Element filter bits; 0 asks only whether the element exists.
enum : UInt32 {
  APIFilt_OnVisLayer = 0x1,   // its layer is shown
  APIFilt_IsEditable = 0x2,   // its layer is unlocked and, in teamwork, it is reserved by this user
  APIFilt_InCurrentDatabase = 0x4,
};

struct API_SelectionInfo {
  Int32 sel_nElem = 0;
};

struct API_ZoneQuantity {
  double area = 0.0;       // the outline's area with arcs, holes removed
  double perimeter = 0.0;  // of the outer contour
};

struct API_CurtainWallQuantity {
  double slantedLength = 0.0;  // height measured along the slant
  double slantAngle = 0.0;     // from the vertical
};

struct API_ElementQuantity {
  API_ZoneQuantity zone;
  API_CurtainWallQuantity cwall;
};

// ---------------------------------------------------------------------------
// Library-part parameters (the record that element memos and the parameter
// transaction carry). Plain data so a list of them fits a handle.

constexpr int API_NameLen = 32;         // parameter names, ASCII with NUL
constexpr int API_UAddParStrLen = 256;  // a text value, UTF-16 with NUL

enum API_AddParID : Int32 {
  APIParT_Integer = 1,
  APIParT_Length = 2,
  APIParT_Angle = 3,  // realValue in radians
  APIParT_RealNum = 4,
  APIParT_Boolean = 5,
  APIParT_PenCol = 6,
  APIParT_LineTyp = 7,
  APIParT_FillPat = 8,
  APIParT_Mater = 9,
  APIParT_CString = 10,
};

// A scalar carries its value in realValue (every numeric kind, bools as 0/1)
// or uStrValue (APIParT_CString). An array parameter has dim1 > 0: its
// values sit in arrayValue, row-major, dim1 rows of dim2 columns (dim2 is at
// least 1): doubles for numeric kinds, NUL-terminated UTF-16 texts one after
// the other for APIParT_CString. arrayValue belongs to the record; the
// list's dispose call frees it.
struct API_AddParType {
  char name[API_NameLen] = {};
  API_AddParID typeID = APIParT_RealNum;
  Int32 index = 0;
  Int32 dim1 = 0;
  Int32 dim2 = 0;
  double realValue = 0.0;
  char16_t uStrValue[API_UAddParStrLen] = {};
  GSHandle arrayValue = nullptr;

  // Compares the handle itself, not the values it holds.
  bool operator==(const API_AddParType&) const = default;
};

namespace pln::host {
// Number of records in a parameter-list handle (0 for null).
Int32 AddParCount(API_AddParType* const* list);
// A deep copy of a parameter list, array values included; null for a null
// list or when memory runs out (nothing is then left allocated).
API_AddParType** CopyAddParHandle(API_AddParType* const* list);
// Frees a parameter list with every record's array values; nulls *list.
void FreeAddParHandle(API_AddParType*** list);
}  // namespace pln::host

// ---------------------------------------------------------------------------
// Element memo

// Which parts of a memo to read or write.
enum : UInt64 {
  APIMemoMask_Polygon = 0x1,       // coords, pends, parcs
  APIMemoMask_AddPars = 0x4,       // params
  APIMemoMask_TextContent = 0x8,   // textContent
  APIMemoMask_MeshPolyZ = 0x10,    // meshPolyZ
  APIMemoMask_MeshLevel = 0x20,    // meshLevelCoords, meshLevelEnds
  APIMemoMask_WallWindows = 0x40,  // wallWindows
  APIMemoMask_WallDoors = 0x80,    // wallDoors
  APIMemoMask_RefPolygon = 0x100,  // refCoords, refPends, refParcs
  APIMemoMask_MorphBody = 0x200,   // morphBody
  APIMemoMask_All = 0x3FFFFFFFBFFFFFFFull,
};

// Every member is a handle or null. Coordinates are 1-based (entry 0 holds
// nothing), so coords holds nCoords + 1 entries; pends holds nSubPolys + 1
// entries with pends[0] = 0 and pends[k] the index of contour k's last
// coordinate; parcs holds nArcs records.
struct API_ElementMemo {
  API_Coord** coords = nullptr;
  Int32** pends = nullptr;
  API_PolyArc** parcs = nullptr;
  API_AddParType** params = nullptr;
  char** textContent = nullptr;  // 8-bit text in the host's default code, NUL-terminated
  double** meshPolyZ = nullptr;  // 1-based like coords
  API_MeshLevelCoord** meshLevelCoords = nullptr;
  Int32** meshLevelEnds = nullptr;
  API_Guid** wallWindows = nullptr;
  API_Guid** wallDoors = nullptr;
  API_Coord** refCoords = nullptr;
  Int32** refPends = nullptr;
  API_PolyArc** refParcs = nullptr;
  // A morph's body in the host's own packed form: made by ACAPI_Body_Finish,
  // read by the host alone.
  GSHandle morphBody = nullptr;
};

// ---------------------------------------------------------------------------
// User data and module data

struct API_UserData {
  short dataVersion = 0;
  unsigned short platformSign = 0;
  UInt32 flags = 0;
  GSHandle dataHdl = nullptr;
};

struct API_ModulData {
  Int32 dataVersion = 0;
  unsigned short platformSign = 0;
  GSHandle dataHdl = nullptr;
};

// ---------------------------------------------------------------------------
// Attributes

enum API_AttrTypeID : Int32 {
  API_ZombieAttrID = 0,
  API_PenID = 1,
  API_LayerID = 2,
  API_LinetypeID = 3,
  API_FilltypeID = 4,
  API_MaterialID = 6,
  API_LayerCombID = 7,
  API_ZoneCatID = 8,
  API_FontID = 9,
  API_BuildingMaterialID = 16,
};

// Layer flags.
enum : UInt32 {
  APILay_Hidden = 1,
  APILay_Locked = 2,
  APILay_ForceToWire = 16,
};

struct API_Attr_Head {
  API_AttrTypeID typeID = API_ZombieAttrID;
  Int32 index = 0;  // 1-based
  UInt32 flags = 0;
  GS::UniString name{};
};

struct API_PenType {
  API_RGBColor rgb;
  double width = 0.0;
};

struct API_LayerType {
  // The layer's intersection group; 0 when it joins none.
  Int32 conClassId = 0;
};

struct API_MaterialType {
  API_RGBColor surfaceRGB;
  short ambientPc = 0;
  short diffusePc = 0;
  short specularPc = 0;
  short transpPc = 0;
};

struct API_ZoneCatType {
  GS::UniString catCode;
  GS::UniString stampName;
  API_RGBColor rgb;
  // The stamp's parameters, as the stamp part's parameter list gives them
  // (owned by the host's copy; a caller's record hands a list to copy).
  API_AddParType** stampParams = nullptr;
};

// One layer's state inside a layer combination.
struct API_LayerStat {
  Int32 lInd = 0;
  UInt32 lFlags = 0;
  Int32 conClassId = 0;
};

struct API_LayerCombType {
  std::vector<API_LayerStat> layerStats;
};

struct API_BuildingMaterialType {
  Int32 priority = 0;
};

// One record for every attribute type; header.typeID says which member is
// meaningful.
struct API_Attribute {
  API_Attr_Head header;
  API_PenType pen;
  API_LayerType layer;
  API_MaterialType material;
  API_ZoneCatType zoneCat;
  API_LayerCombType layerComb;
  API_BuildingMaterialType buildingMaterial;
};

// ---------------------------------------------------------------------------
// Stories

constexpr int API_StoryNameLen = 64;

struct API_StoryType {
  short index = 0;
  double level = 0.0;
  char16_t uName[API_StoryNameLen] = {};  // NUL-terminated
};

// data holds lastStory - firstStory + 1 records, story firstStory first;
// the caller disposes of it with BMKillHandle.
struct API_StoryInfo {
  short firstStory = 0;
  short lastStory = 0;
  short actStory = 0;
  API_StoryType** data = nullptr;
};

enum API_StoryCmdID : Int32 { APIStory_GoTo = 1 };

struct API_StoryCmdType {
  API_StoryCmdID action = APIStory_GoTo;
  short index = 0;
};

// ---------------------------------------------------------------------------
// Project and place

struct API_ProjectInfo {
  bool untitled = true;
  bool teamwork = false;
  short userId = 0;  // the teamwork user id of this user; 0 outside teamwork
  IO::Location location;  // empty for an untitled or teamwork project
  GS::UniString projectName;
};

struct API_PlaceInfo {
  double longitude = 0.0;
  double latitude = 0.0;
  double altitude = 0.0;
  double north = 0.0;  // radians, 0 <= north < 2 pi
};

// ---------------------------------------------------------------------------
// Databases and windows

// The same numbers name databases and their windows.
enum API_DatabaseTypeID : Int32 {
  APIWind_FloorPlanID = 1,
  APIWind_3DModelID = 4,
  APIWind_LayoutID = 5,
  APIWind_MasterLayoutID = 6,
  APIWind_WorksheetID = 12,
};
using API_WindowTypeID = API_DatabaseTypeID;

struct API_DatabaseInfo {
  API_DatabaseTypeID typeID = APIWind_FloorPlanID;
  API_DatabaseUnId databaseUnId;
  API_DatabaseUnId masterLayoutUnId;  // layouts only
  GS::UniString name;
  GS::UniString ref;
  GS::UniString title;
};

struct API_WindowInfo {
  API_WindowTypeID typeID = APIWind_FloorPlanID;
  API_DatabaseUnId databaseUnId;
  GS::UniString title;
};

// ---------------------------------------------------------------------------
// Notifications

// Element notification ids: what happened to the element of a notification.
enum API_NotifyElementID : Int32 {
  APINotifyElement_EndEvents = -2,
  APINotifyElement_BeginEvents = -1,
  APINotifyElement_New = 1,
  APINotifyElement_Copy = 2,
  APINotifyElement_Edit = 4,
  APINotifyElement_Delete = 5,
  APINotifyElement_Undo_Created = 11,
  APINotifyElement_Undo_Modified = 12,
  APINotifyElement_Undo_Deleted = 13,
  APINotifyElement_Redo_Created = 14,
  APINotifyElement_Redo_Modified = 15,
  APINotifyElement_Redo_Deleted = 16,
};

struct API_NotifyElementType {
  API_NotifyElementID notifID = APINotifyElement_BeginEvents;
  API_Elem_Head elemHead;
};

// Project events, one bit each.
enum API_NotifyEventID : Int32 {
  APINotify_New = 0x1,
  APINotify_NewAndReset = 0x2,
  APINotify_Open = 0x4,
  APINotify_PreSave = 0x8,
  APINotify_Save = 0x10,
  APINotify_Close = 0x20,
  APINotify_Quit = 0x40,
  // Undo or redo changed the project; what changed is not said, so that
  // whoever shows stored data compares it with what it last read.
  APINotify_ChangeProjectDB = 0x80000,
  APINotify_ChangeFloor = 0x100000,
};

using APIElementEventHandlerProc = GSErrCode(const API_NotifyElementType*);
using APIProjectEventHandlerProc = GSErrCode(API_NotifyEventID, Int32);
using APISelectionChangeHandlerProc = GSErrCode(const API_Neig*);
using APIReservationChangeHandlerProc = GSErrCode(const GS::HashTable<API_Guid, short>& reserved,
                                                  const GS::HashSet<API_Guid>& released,
                                                  const GS::HashSet<API_Guid>& deleted);

// A menu item of the add-on, and the command handler of its menu.
struct API_MenuItemRef {
  short menuResID = 0;
  short itemIndex = 0;
};

struct API_MenuParams {
  API_MenuItemRef menuItemRef;
};

using APIMenuCommandProc = GSErrCode(const API_MenuParams*);

// The body of an undoable command.
using APICommandProc = std::function<GSErrCode()>;
