#include "host_goodies.h"

#include "host_body.h"
#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace pln::host;

namespace {

// ---------------------------------------------------------------------------
// Geometry of stored elements

// Grows a box by points; starts empty (min > max).
class BoxBuilder {
public:
  void Add(double x, double y)
  {
    box_.xMin = std::min(box_.xMin, x);
    box_.yMin = std::min(box_.yMin, y);
    box_.xMax = std::max(box_.xMax, x);
    box_.yMax = std::max(box_.yMax, y);
  }
  void AddCircle(const API_Coord& centre, double r)
  {
    Add(centre.x - r, centre.y - r);
    Add(centre.x + r, centre.y + r);
  }
  bool IsEmpty() const { return box_.xMin > box_.xMax; }
  API_Box3D Finish(double zMin, double zMax) const
  {
    API_Box3D box = box_;
    box.zMin = zMin;
    box.zMax = zMax;
    return box;
  }

private:
  static constexpr double inf = std::numeric_limits<double>::infinity();
  API_Box3D box_{inf, inf, 0.0, -inf, -inf, 0.0};
};

// A straight edge spans its ends; an arc edge is taken with its whole
// circle, which bounds it (the host's box need not be tight for arcs).
void AddPolygon(BoxBuilder& builder, const StoredMemo& memo)
{
  for (std::size_t i = 1; i < memo.coords.size(); ++i)
    builder.Add(memo.coords[i].x, memo.coords[i].y);
  for (const API_PolyArc& arc : memo.parcs) {
    const API_Coord& p = memo.coords[static_cast<std::size_t>(arc.begIndex)];
    const API_Coord& q = memo.coords[static_cast<std::size_t>(arc.endIndex)];
    const double chord = std::hypot(q.x - p.x, q.y - p.y);
    const double half = std::abs(arc.arcAngle) / 2.0;
    if (std::sin(half) > 0.0)
      builder.AddCircle(API_Coord{(p.x + q.x) / 2.0, (p.y + q.y) / 2.0}, chord / 2.0 / std::sin(half));
  }
}

// The object's rectangle: xRatio by yRatio from pos, turned by angle.
void AddObject(BoxBuilder& builder, const API_ObjectType& object)
{
  const double c = std::cos(object.angle);
  const double s = std::sin(object.angle);
  for (double u : {0.0, object.xRatio})
    for (double v : {0.0, object.yRatio})
      builder.Add(object.pos.x + u * c - v * s, object.pos.y + u * s + v * c);
}

void AddPlanGeometry(BoxBuilder& builder, const StoredElement& stored)
{
  const API_Element& e = stored.element;
  switch (e.header.typeID) {
  case API_ObjectID:
    AddObject(builder, e.object);
    break;
  case API_LineID:
    builder.Add(e.line.begC.x, e.line.begC.y);
    builder.Add(e.line.endC.x, e.line.endC.y);
    break;
  case API_WallID:
    builder.Add(e.wall.begC.x, e.wall.begC.y);
    builder.Add(e.wall.endC.x, e.wall.endC.y);
    break;
  case API_ArcID:
    builder.AddCircle(e.arc.origC, e.arc.r);
    break;
  case API_CircleID:
    builder.AddCircle(e.circle.origC, e.circle.r);
    break;
  case API_TextID:
    builder.Add(e.text.loc.x, e.text.loc.y);
    break;
  default:
    AddPolygon(builder, stored.memo);
    break;
  }
}

// Heights: a slab reaches down by its thickness from its level; every
// other kind is flat at its level (this host keeps no bodies). Levels count
// from the element's story.
std::pair<double, double> HeightRange(const StoredElement& stored)
{
  const API_Element& e = stored.element;
  const Story* story = FindStory(e.header.floorInd);
  const double base = story != nullptr ? story->level : 0.0;
  switch (e.header.typeID) {
  case API_SlabID:
    return {base + e.slab.level - e.slab.thickness, base + e.slab.level};
  case API_ObjectID:
    return {base + e.object.level, base + e.object.level};
  case API_MeshID:
    return {base + e.mesh.level, base + e.mesh.level};
  default:
    return {base, base};
  }
}

// A morph is bounded by its body as its matrix places it; its story does
// not lift it.
GSErrCode MorphBounds(const StoredElement& stored, API_Box3D* box)
{
  const std::optional<StoredBody> body = UnpackBody(stored.memo.morphBody);
  if (!body || body->vertices.empty())
    return APIERR_BADPOLY;
  const double* t = stored.element.morph.tranmat.tmx;
  BoxBuilder builder;
  double zMin = std::numeric_limits<double>::infinity();
  double zMax = -zMin;
  for (const API_Coord3D& c : body->vertices) {
    builder.Add(t[0] * c.x + t[1] * c.y + t[2] * c.z + t[3], t[4] * c.x + t[5] * c.y + t[6] * c.z + t[7]);
    const double z = t[8] * c.x + t[9] * c.y + t[10] * c.z + t[11];
    zMin = std::min(zMin, z);
    zMax = std::max(zMax, z);
  }
  *box = builder.Finish(zMin, zMax);
  return NoError;
}

GSErrCode ElementBounds(const API_Guid* guid, API_Box3D* box)
{
  if (GSErrCode err = CheckLive(*guid); err != NoError)
    return err;
  const StoredElement& stored = *FindElement(*guid);
  if (stored.element.header.typeID == API_MorphID)
    return MorphBounds(stored, box);
  BoxBuilder builder;
  AddPlanGeometry(builder, stored);
  if (builder.IsEmpty())
    return APIERR_BADPOLY;
  const auto [zMin, zMax] = HeightRange(stored);
  *box = builder.Finish(zMin, zMax);
  return NoError;
}

// Signed area of one contour, counter-clockwise positive: the polygon of
// its coordinates plus, for each arc, the circular segment between chord
// and arc, r^2/2 (a - sin a), signed by the arc's angle.
double ContourArea(const StoredMemo& memo, Int32 first, Int32 last, double* perimeter)
{
  double area = 0.0;
  for (Int32 i = first; i < last; ++i) {
    const API_Coord& p = memo.coords[static_cast<std::size_t>(i)];
    const API_Coord& q = memo.coords[static_cast<std::size_t>(i + 1)];
    area += (p.x * q.y - q.x * p.y) / 2.0;
    const double chord = std::hypot(q.x - p.x, q.y - p.y);
    double edge = chord;
    for (const API_PolyArc& arc : memo.parcs) {
      if (std::min(arc.begIndex, arc.endIndex) != i || std::max(arc.begIndex, arc.endIndex) != i + 1)
        continue;
      // An arc stored from the later coordinate runs the other way.
      const double a = arc.begIndex == i ? arc.arcAngle : -arc.arcAngle;
      const double s = std::sin(std::abs(a) / 2.0);
      if (s <= 0.0)
        break;
      const double r = chord / (2.0 * s);
      area += r * r / 2.0 * (a - std::sin(a));
      edge = r * std::abs(a);
      break;
    }
    if (perimeter != nullptr)
      *perimeter += edge;
  }
  return area;
}

API_ZoneQuantity ZoneQuantity(const StoredMemo& memo)
{
  API_ZoneQuantity quantity;
  for (std::size_t k = 1; k < memo.pends.size(); ++k) {
    const double area = ContourArea(memo, memo.pends[k - 1] + 1, memo.pends[k], k == 1 ? &quantity.perimeter : nullptr);
    quantity.area += k == 1 ? std::abs(area) : -std::abs(area);
  }
  return quantity;
}

// ---------------------------------------------------------------------------

GSErrCode HotlinkNode(const API_Guid* guid, API_Guid* node)
{
  if (GSErrCode err = CheckLive(*guid); err != NoError)
    return err;
  *node = FindElement(*guid)->element.header.hotlinkGuid;
  return NoError;
}

GSErrCode MoveInDrawOrder(const GS::Array<API_Guid>& elements, bool toFront)
{
  for (const API_Guid& guid : elements) {
    if (GSErrCode err = CheckLive(guid); err != NoError)
      return err;
    if (GSErrCode err = CheckWritable(*FindElement(guid)); err != NoError)
      return err;
  }
  Int32 lowest = 0;
  Int32 highest = 0;
  for (const auto& [guid, stored] : TheModel().elements) {
    lowest = std::min(lowest, stored.element.header.drwIndex);
    highest = std::max(highest, stored.element.header.drwIndex);
  }
  for (const API_Guid& guid : elements) {
    TouchElement(guid);
    FindElement(guid)->element.header.drwIndex = toFront ? ++highest : --lowest;
  }
  return NoError;
}

std::pair<GS::UniString, Int32>& MenuItem(const API_MenuItemRef* ref)
{
  return TheModel().menuItems[{ref->menuResID, ref->itemIndex}];
}

GSErrCode MenuRequest(Int32 code, void* par1, void* par2)
{
  const auto* ref = static_cast<const API_MenuItemRef*>(par1);
  if (ref == nullptr || par2 == nullptr || ref->menuResID <= 0 || ref->itemIndex <= 0)
    return APIERR_BADPARS;
  switch (code) {
  case 'SMIT':
    MenuItem(ref).first = *static_cast<const GS::UniString*>(par2);
    return NoError;
  case 'GMIF':
    *static_cast<Int32*>(par2) = MenuItem(ref).second;
    return NoError;
  case 'SMIF':
    MenuItem(ref).second = *static_cast<const Int32*>(par2);
    return NoError;
  default:
    return APIERR_BADPARS;
  }
}

const char16_t* TypeName(API_ElemTypeID type)
{
  switch (type) {
  case API_WallID: return u"Wall";
  case API_WindowID: return u"Window";
  case API_DoorID: return u"Door";
  case API_ObjectID: return u"Object";
  case API_SlabID: return u"Slab";
  case API_MeshID: return u"Mesh";
  case API_TextID: return u"Text";
  case API_ZoneID: return u"Zone";
  case API_HatchID: return u"Fill";
  case API_LineID: return u"Line";
  case API_PolyLineID: return u"Polyline";
  case API_ArcID: return u"Arc";
  case API_CircleID: return u"Circle";
  case API_CurtainWallID: return u"Curtain Wall";
  case API_MorphID: return u"Morph";
  default: return nullptr;
  }
}

}  // namespace

GSErrCode ACAPI_Register_Menu(short menuStrResID, short /*promptStrResID*/, Int32 /*menuPosCode*/, Int32 /*menuFlags*/)
{
  if (GSErrCode err = Enter("ACAPI_Register_Menu"); err != NoError)
    return err;
  TheModel().menus.try_emplace(menuStrResID, nullptr);
  return NoError;
}

GSErrCode ACAPI_Install_MenuHandler(short menuStrResID, APIMenuCommandProc* handler)
{
  if (GSErrCode err = Enter("ACAPI_Install_MenuHandler"); err != NoError)
    return err;
  auto found = TheModel().menus.find(menuStrResID);
  if (found == TheModel().menus.end())
    return APIERR_BADID;
  found->second = handler;
  return NoError;
}

GSErrCode ACAPI_Goodies_GetElemTypeName(API_ElemTypeID type, GS::UniString& name)
{
  if (GSErrCode err = Enter("ACAPI_Goodies_GetElemTypeName"); err != NoError)
    return err;
  const char16_t* text = TypeName(type);
  if (text == nullptr)
    return APIERR_BADELEMENTTYPE;
  name = GS::UniString(text);
  return NoError;
}

GSErrCode ACAPI_Element_Tool(const GS::Array<API_Guid>& elements, Int32 toolCode, void* /*par*/)
{
  if (GSErrCode err = EnterRequest("ACAPI_Element_Tool", toolCode); err != NoError)
    return err;
  switch (toolCode) {
  case 'OFR0':
    return MoveInDrawOrder(elements, true);
  case 'OBA0':
    return MoveInDrawOrder(elements, false);
  default:
    return APIERR_BADPARS;
  }
}

GSErrCode ACAPI_Element_GetQuantities(const API_Guid& guid, API_ElementQuantity* quantity)
{
  if (GSErrCode err = Enter("ACAPI_Element_GetQuantities"); err != NoError)
    return err;
  if (quantity == nullptr)
    return APIERR_BADPARS;
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  const StoredElement& stored = *FindElement(guid);
  *quantity = API_ElementQuantity{};
  switch (stored.element.header.typeID) {
  case API_ZoneID:
    quantity->zone = ZoneQuantity(stored.memo);
    return NoError;
  case API_CurtainWallID: {
    const API_CurtainWallType& cwall = stored.element.cwall;
    quantity->cwall.slantAngle = cwall.slantAngle;
    quantity->cwall.slantedLength = cwall.height / std::cos(cwall.slantAngle);
    return NoError;
  }
  default:
    return APIERR_BADELEMENTTYPE;
  }
}

namespace pln::host {

GSErrCode ModelGoodies(Int32 code, void* par1, void* par2)
{
  if (par1 == nullptr || par2 == nullptr)
    return APIERR_BADPARS;
  switch (code) {
  case 'GHLG':
    return HotlinkNode(static_cast<const API_Guid*>(par1), static_cast<API_Guid*>(par2));
  case 'CABO':
    return ElementBounds(static_cast<const API_Guid*>(par1), static_cast<API_Box3D*>(par2));
  case 'GCWB':
    *static_cast<double*>(par2) = static_cast<const API_CurtainWallType*>(par1)->baseOffset;
    return NoError;
  default:
    return APIERR_BADPARS;
  }
}

GSErrCode ModelInterface(Int32 code, void* par1, void* par2) { return MenuRequest(code, par1, par2); }

GSErrCode ElementParamsForTransaction(const API_Guid& guid, API_ElemTypeID* typeID, Int32* libInd,
                                      API_AddParType*** params)
{
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  const StoredElement& stored = *FindElement(guid);
  const API_Element& element = stored.element;
  *typeID = element.header.typeID;
  switch (element.header.typeID) {
  case API_WindowID:
    *libInd = element.window.libInd;
    break;
  case API_DoorID:
    *libInd = element.door.libInd;
    break;
  default:
    *libInd = element.object.libInd;
    break;
  }
  *params = ParamsToHandle(stored.memo.params);
  return *params == nullptr && !stored.memo.params.empty() ? APIERR_MEMFULL : NoError;
}

GSErrCode ChooseMenuItem(short menuResID, short itemIndex)
{
  auto found = TheModel().menus.find(menuResID);
  if (found == TheModel().menus.end() || found->second == nullptr)
    return APIERR_BADID;
  API_MenuParams params;
  params.menuItemRef = API_MenuItemRef{menuResID, itemIndex};
  return found->second(&params);
}

GSErrCode SetHotlinkNode(const API_Guid& element, const API_Guid& node)
{
  if (GSErrCode err = CheckLive(element); err != NoError)
    return err;
  FindElement(element)->element.header.hotlinkGuid = node;
  return NoError;
}

GSErrCode SetElementInfoString(const API_Guid& element, const GS::UniString& text)
{
  if (GSErrCode err = CheckLive(element); err != NoError)
    return err;
  FindElement(element)->infoString = text;
  return NoError;
}

GS::UniString MenuItemText(short menuResID, short itemIndex)
{
  API_MenuItemRef ref{menuResID, itemIndex};
  return MenuItem(&ref).first;
}

Int32 MenuItemFlags(short menuResID, short itemIndex)
{
  API_MenuItemRef ref{menuResID, itemIndex};
  return MenuItem(&ref).second;
}

}  // namespace pln::host
