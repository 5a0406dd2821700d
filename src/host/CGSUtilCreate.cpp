// Element creators. Each zeroes a record of its kind, takes the host's
// defaults, overwrites what the caller gave (0 and kDefaultStory keep the
// defaults), sets the geometry and creates; then come the caller's GUID
// list, the copy of the record, the tag and the observer, in that order.
// Memo polygons are 1-based: entry 0 of coords and meshPolyZ is unused.

#include "CGSUtil.h"
#include "ElementStart.h"
#include "HostHandles.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_libpart.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace {

// What every creator takes after its geometry.
struct Placement {
  short pen = 0;
  int lineType = 0;
  short layer = 0;
  short story = CGSUtil::kDefaultStory;
  GS::Array<API_Guid>* guids = nullptr;
  API_Element* out = nullptr;
  CMyUserDataCore* tag = nullptr;
  bool observe = false;
};

template <typename T>
T** NewHandle(const std::vector<T>& items)
{
  // A list too long for a handle answers null rather than a handle holding
  // only part of it.
  T** handle = pln::gsutil::NewEntries<T>(items.size());
  if (handle != nullptr && !items.empty())
    std::memcpy(*handle, items.data(), items.size() * sizeof(T));
  return handle;
}

GSErrCode StartElement(API_ElemTypeID type, const Placement& place, API_Element& element)
{
  return pln::gsutil::StartElement(type, place.layer, place.story, element);
}

// The pen with its two companion bytes cleared, so no colour override of
// the default pen survives.
void SetLinePen(API_ExtendedPenType& linePen, Int32& lineTypeField, const Placement& place)
{
  if (place.pen != 0)
    linePen = API_ExtendedPenType{place.pen, 0, 0};
  if (place.lineType != 0)
    lineTypeField = place.lineType;
}

// The steps after a successful creation.
// The tag comes first: an element it could not be written to is gone again
// and is handed to no list.
GSErrCode FollowUps(const API_Element& element, const Placement& place)
{
  if (place.tag != nullptr)
    if (GSErrCode err = TagPlacedElement(*place.tag, element.header); err != NoError)
      return err;
  if (place.guids != nullptr)
    place.guids->Push(element.header.guid);
  if (place.out != nullptr)
    *place.out = element;
  return place.observe ? ACAPI_Element_AttachObserver(element.header.guid) : NoError;
}

GSErrCode FinishElement(API_Element& element, API_ElementMemo* memo, const Placement& place)
{
  if (GSErrCode err = ACAPI_Element_Create(&element, memo); err != NoError)
    return err;
  return FollowUps(element, place);
}

// A one-contour polygon memo; its handles are freed when it goes out of scope.
struct ContourMemo {
  pln::gsutil::MemoGuard guard;
  API_ElementMemo& memo = guard.memo;
  API_Polygon poly;

  ContourMemo(const std::vector<API_Coord>& contour, const std::vector<API_PolyArc>& arcs)
  {
    std::vector<API_Coord> coords{API_Coord{}};
    coords.insert(coords.end(), contour.begin(), contour.end());
    poly.nCoords = static_cast<Int32>(contour.size());
    poly.nSubPolys = 1;
    poly.nArcs = static_cast<Int32>(arcs.size());
    memo.coords = NewHandle(coords);
    memo.pends = NewHandle(std::vector<Int32>{0, poly.nCoords});
    if (!arcs.empty())
      memo.parcs = NewHandle(arcs);
  }

  bool Complete() const { return memo.coords != nullptr && memo.pends != nullptr && (poly.nArcs == 0 || memo.parcs != nullptr); }
};

std::vector<API_Coord> Closed(std::vector<API_Coord> points)
{
  if (!points.empty())
    points.push_back(points.front());
  return points;
}

GSErrCode CreateFill(const std::vector<API_Coord>& contour, const std::vector<API_PolyArc>& arcs, const Placement& place)
{
  API_Element element;
  if (GSErrCode err = StartElement(API_HatchID, place, element); err != NoError)
    return err;
  if (place.pen != 0) {
    element.hatch.contPen = place.pen;
    element.hatch.fillPen = place.pen;
  }
  if (place.lineType != 0)
    element.hatch.ltypeInd = place.lineType;
  ContourMemo polygon(contour, arcs);
  if (!polygon.Complete())
    return APIERR_MEMFULL;
  element.hatch.poly = polygon.poly;
  return FinishElement(element, &polygon.memo, place);
}

API_Coord Rotated(const API_Coord& centre, const API_Coord& p, double angle)
{
  const double dx = p.x - centre.x;
  const double dy = p.y - centre.y;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return API_Coord{centre.x + dx * c - dy * s, centre.y + dx * s + dy * c};
}

// Texts lean at most a right angle either way, so they never read upside
// down: one fold by half a turn, as the callers' angles stay within a turn.
double FoldTextAngle(double degrees)
{
  if (degrees > 90.0)
    degrees -= 180.0;
  else if (degrees < -90.0)
    degrees += 180.0;
  return degrees * std::numbers::pi / 180.0;
}

// Sets the seven coordinates of the open transaction; the transaction is
// the caller's to close.
GSErrCode Set3DLineParameters(double bx, double by, double bz, double ex, double ey, double ez, bool show2D)
{
  const std::pair<const char*, double> values[] = {{"begX", bx}, {"begY", by}, {"begZ", bz},
                                                   {"endX", ex}, {"endY", ey}, {"endZ", ez}};
  for (const auto& [name, value] : values)
    if (GSErrCode err = CGSUtil::ChangeObjectParameter(name, value, 0, 0); err != NoError)
      return err;
  return CGSUtil::ChangeObjectParameter("Show2D", show2D, 0, 0);
}

// The part's parameter list with the line's coordinates set.
GSErrCode Take3DLineParameters(int libInd, double bx, double by, double bz, double ex, double ey, double ez,
                               bool show2D, API_AddParType*** params)
{
  API_ParamOwnerType owner;
  owner.libInd = libInd;
  owner.typeID = API_ObjectID;
  pln::gsutil::ParamsEditing editing;
  if (GSErrCode err = editing.Open(owner); err != NoError)
    return err;
  API_GetParamsType got;
  GSErrCode err = Set3DLineParameters(bx, by, bz, ex, ey, ez, show2D);
  if (err == NoError)
    err = ACAPI_Goodies('GPAR', &got);
  pln::gsutil::ParamsGuard taken;
  taken.params = got.params;
  if (const GSErrCode closeErr = editing.Close(); err == NoError)
    err = closeErr;
  if (err == NoError)
    std::swap(*params, taken.params);
  return err;
}

}  // namespace

GSErrCode CGSUtil::CreateLine(double x1, double y1, double x2, double y2, short pen, int lineType, short layer,
                              short story, GS::Array<API_Guid>* guids, API_ArrowData* arrow, API_Element* out,
                              CMyUserDataCore* tag, bool observe)
{
  if (x1 == x2 && y1 == y2)
    return NoError;
  const Placement place{pen, lineType, layer, story, guids, out, tag, observe};
  API_Element element;
  if (GSErrCode err = StartElement(API_LineID, place, element); err != NoError)
    return err;
  SetLinePen(element.line.linePen, element.line.ltypeInd, place);
  element.line.begC = API_Coord{x1, y1};
  element.line.endC = API_Coord{x2, y2};
  if (arrow != nullptr) {
    element.line.arrowData = *arrow;
  } else {
    element.line.arrowData.begArrow = false;
    element.line.arrowData.endArrow = false;
  }
  return FinishElement(element, nullptr, place);
}

GSErrCode CGSUtil::CreateText(double x, double y, const char* text, double size, double angle, bool flag,
                              API_AnchorID anchor, API_JustID just, short font, short pen, short layer, short story,
                              GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag, bool observe)
{
  const Placement place{pen, 0, layer, story, guids, out, tag, observe};
  API_Element element;
  if (GSErrCode err = StartElement(API_TextID, place, element); err != NoError)
    return err;
  API_TextType& t = element.text;
  t.loc = API_Coord{x, y};
  if (size != 0.0)
    t.size = size;
  t.angle = FoldTextAngle(angle);
  if (font != 0)
    t.font = font;
  if (pen != 0)
    t.pen = pen;
  t.anchorPoint = anchor;
  t.just = just;
  t.fixedSize = flag;
  t.nonBreaking = true;
  t.useEolCr = true;

  const char* content = text != nullptr ? text : "";
  const auto bytes = static_cast<GSSize>(std::strlen(content) + 1);
  pln::gsutil::MemoGuard textMemo;
  textMemo.memo.textContent = BMAllocateHandle(bytes, ALLOCATE_CLEAR, 0);
  if (textMemo.memo.textContent == nullptr)
    return APIERR_MEMFULL;
  std::memcpy(*textMemo.memo.textContent, content, static_cast<std::size_t>(bytes));
  const GSErrCode err = ACAPI_Element_Create(&element, &textMemo.memo);
  return err != NoError ? err : FollowUps(element, place);
}

GSErrCode CGSUtil::Create3DLine(int libInd, double bx, double by, double bz, double ex, double ey, double ez,
                                bool show2D, short pen, int lineType, short layer, short story,
                                GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag, bool observe)
{
  const Placement place{pen, lineType, layer, story, guids, out, tag, observe};
  API_AddParType** params = nullptr;
  if (GSErrCode err = Take3DLineParameters(libInd, bx, by, bz, ex, ey, ez, show2D, &params); err != NoError)
    return err;
  pln::gsutil::MemoGuard part;
  part.memo.params = params;
  API_Element element;
  GSErrCode err = StartElement(API_ObjectID, place, element);
  if (err == NoError) {
    element.object.libInd = libInd;
    if (pen != 0)
      element.object.pen = pen;
    if (lineType != 0)
      element.object.ltypeInd = lineType;
    // The part draws at its own z values: lowering it by the story's level
    // makes them absolute.
    element.object.level = -GetFlrLevel(element.header.floorInd);
    err = FinishElement(element, &part.memo, place);
  }
  return err;
}

GSErrCode CGSUtil::CreateCircle(double cx, double cy, double r, short pen, int lineType, short layer, short story,
                                GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag, bool observe)
{
  const Placement place{pen, lineType, layer, story, guids, out, tag, observe};
  API_Element element;
  if (GSErrCode err = StartElement(API_CircleID, place, element); err != NoError)
    return err;
  SetLinePen(element.circle.linePen, element.circle.ltypeInd, place);
  element.circle.origC = API_Coord{cx, cy};
  element.circle.r = r;
  element.circle.angle = 0.0;
  element.circle.ratio = 1.0;
  return FinishElement(element, nullptr, place);
}

GSErrCode CGSUtil::CreateArc(double cx, double cy, double r, double begAng, double endAng, short pen, int lineType,
                             short layer, short story, GS::Array<API_Guid>* guids, API_Element* out,
                             CMyUserDataCore* tag, bool observe)
{
  const Placement place{pen, lineType, layer, story, guids, out, tag, observe};
  API_Element element;
  if (GSErrCode err = StartElement(API_ArcID, place, element); err != NoError)
    return err;
  SetLinePen(element.arc.linePen, element.arc.ltypeInd, place);
  element.arc.origC = API_Coord{cx, cy};
  element.arc.r = r;
  element.arc.begAng = begAng;
  element.arc.endAng = endAng;
  element.arc.angle = 0.0;
  element.arc.ratio = 1.0;
  return FinishElement(element, nullptr, place);
}

GSErrCode CGSUtil::CreatePolyLine(const std::vector<API_Coord>& points, short pen, int lineType, short layer,
                                  short story, GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag,
                                  bool observe)
{
  const Placement place{pen, lineType, layer, story, guids, out, tag, observe};
  API_Element element;
  if (GSErrCode err = StartElement(API_PolyLineID, place, element); err != NoError)
    return err;
  if (pen != 0)
    element.polyLine.pen = pen;
  if (lineType != 0)
    element.polyLine.ltypeInd = lineType;
  ContourMemo polygon(points, {});
  if (!polygon.Complete())
    return APIERR_MEMFULL;
  element.polyLine.poly = polygon.poly;
  return FinishElement(element, &polygon.memo, place);
}

GSErrCode CGSUtil::CreateHatch(const std::vector<API_Coord>& points, short pen, int lineType, short layer,
                               short story, GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag,
                               bool observe)
{
  return CreateFill(Closed(points), {}, Placement{pen, lineType, layer, story, guids, out, tag, observe});
}

GSErrCode CGSUtil::CreateArcHatch(const API_Coord& centre, const API_Coord& p, double angle, short pen, int lineType,
                                  short layer, short story, GS::Array<API_Guid>* guids, API_Element* out,
                                  CMyUserDataCore* tag, bool observe)
{
  // The arc is split at its middle so that no single arc record spans more
  // than half a turn.
  const double half = angle / 2.0;
  const std::vector<API_Coord> contour{centre, p, Rotated(centre, p, half), Rotated(centre, p, angle), centre};
  const std::vector<API_PolyArc> arcs{{2, 3, half}, {3, 4, half}};
  return CreateFill(contour, arcs, Placement{pen, lineType, layer, story, guids, out, tag, observe});
}

GSErrCode CGSUtil::CreateArcArcHatch(const API_Coord& c, const API_Coord& p1, const API_Coord& p2, bool lens, double r,
                                     short pen, int lineType, short layer, short story, GS::Array<API_Guid>* guids,
                                     API_Element* out, CMyUserDataCore* tag, bool observe)
{
  const double chord = std::hypot(p2.x - p1.x, p2.y - p1.y);
  if (!(chord > 0.0) || !(r >= chord / 2.0))
    return APIERR_BADPARS;
  // First arc: about c from p1 to p2 the shorter way.
  const double v1x = p1.x - c.x, v1y = p1.y - c.y, v2x = p2.x - c.x, v2y = p2.y - c.y;
  const double a1 = std::atan2(v1x * v2y - v1y * v2x, v1x * v2x + v1y * v2y);
  // Second arc, back from p2 to p1: turning the same way bulges to the
  // other side of the chord (a lens), the other way to the same side.
  const double span = 2.0 * std::asin(std::min(1.0, chord / (2.0 * r)));
  const double a2 = (a1 >= 0.0) == lens ? span : -span;
  const API_Coord m1 = Rotated(c, p1, a1 / 2.0);
  // The second arc's centre lies on the chord's perpendicular bisector.
  const API_Coord mid{(p1.x + p2.x) / 2.0, (p1.y + p2.y) / 2.0};
  const double sagitta = r - std::sqrt(std::max(0.0, r * r - chord * chord / 4.0));
  // Travelling p2 -> p1 with a positive angle bulges to the right of that
  // direction, i.e. along (dy, -dx) of p2 -> p1.
  const double ux = (p1.x - p2.x) / chord;
  const double uy = (p1.y - p2.y) / chord;
  const double side = a2 >= 0.0 ? 1.0 : -1.0;
  const API_Coord m2{mid.x + side * uy * sagitta, mid.y - side * ux * sagitta};
  const std::vector<API_Coord> contour{p1, m1, p2, m2, p1};
  const std::vector<API_PolyArc> arcs{{1, 2, a1 / 2.0}, {2, 3, a1 / 2.0}, {3, 4, a2 / 2.0}, {4, 5, a2 / 2.0}};
  return CreateFill(contour, arcs, Placement{pen, lineType, layer, story, guids, out, tag, observe});
}

GSErrCode CGSUtil::CreateCircleHatch(const API_Coord& centre, double r, short pen, int lineType, short layer,
                                     short story, GS::Array<API_Guid>* guids, API_Element* out, CMyUserDataCore* tag,
                                     bool observe)
{
  const API_Coord a{centre.x + r, centre.y};
  const API_Coord b{centre.x - r, centre.y};
  const std::vector<API_PolyArc> arcs{{1, 2, -std::numbers::pi}, {2, 3, -std::numbers::pi}};
  return CreateFill({a, b, a}, arcs, Placement{pen, lineType, layer, story, guids, out, tag, observe});
}

GSErrCode CGSUtil::CreateMesh(const std::vector<API_Height>& points, short pen, int material, short layer, short story,
                              CMyUserDataCore* tag)
{
  if (points.empty())
    return APIERR_IRREGULARPOLY;
  const Placement place{0, 0, layer, story, nullptr, nullptr, tag, false};
  API_Element element;
  if (GSErrCode err = StartElement(API_MeshID, place, element); err != NoError)
    return err;
  if (pen != 0) {
    element.mesh.topPen = pen;
    element.mesh.sidePen = pen;
  }
  if (material != 0) {
    element.mesh.overrideTopMaterial = true;
    element.mesh.topMaterial = material;
  }
  // The mesh stands on its lowest ground point; every point's height is
  // measured from there.
  const double ground = std::min_element(points.begin(), points.end(), [](const API_Height& a, const API_Height& b) {
                          return a.h1 < b.h1;
                        })->h1;
  element.mesh.level = ground - GetFlrLevel(element.header.floorInd);
  std::vector<API_Coord> contour;
  std::vector<double> heights{0.0};
  for (const API_Height& p : points) {
    contour.push_back(p.c);
    heights.push_back(p.h2 - ground);
  }
  contour.push_back(points.front().c);
  heights.push_back(heights[1]);
  ContourMemo polygon(contour, {});
  polygon.memo.meshPolyZ = NewHandle(heights);
  if (!polygon.Complete() || polygon.memo.meshPolyZ == nullptr)
    return APIERR_MEMFULL;
  element.mesh.poly = polygon.poly;
  return FinishElement(element, &polygon.memo, place);
}

GSErrCode pln::gsutil::StartElement(API_ElemTypeID type, short layer, short story, API_Element& element)
{
  element = API_Element{};
  element.header.typeID = type;
  if (GSErrCode err = ACAPI_Element_GetDefaults(&element, nullptr); err != NoError)
    return err;
  if (layer != 0)
    element.header.layer = layer;
  if (story != CGSUtil::kDefaultStory)
    element.header.floorInd = story;
  return NoError;
}
