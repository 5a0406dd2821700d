// Element information of CGSUtil: type names and neighbour ids, the
// openings of a wall, zone and curtain-wall quantities, hot-links and
// display order, plan directions.

#include "CGSUtil.h"

#include "HostHandles.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_goodies.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// The host's neighbour id of each element type, indexed by type - 1.
constexpr std::array<Int32, 32> kNeigIds = {1,  5,  6,  9,  11, 13, 14, 15, 17, 21, 25, 28, 29, 30, 32, 33,
                                            34, 38, 40, 42, 44, 46, 48, 50, 51, 53, 54, 0,  55, 0,  57, 58};

// Longest type name handed out, terminator excluded.
constexpr std::size_t kTypeNameMax = 255;

// The GUIDs of a wall's windows or doors from its memo.
GSErrCode GetOpeningLinks(const API_Guid& wall, UInt64 mask, API_Guid** API_ElementMemo::*part, API_Guid*** list,
                          int* n)
{
  pln::gsutil::MemoGuard guard;
  API_ElementMemo& memo = guard.memo;
  GSErrCode err = ACAPI_Element_GetMemo(wall, &memo, mask);
  if (err != NoError)
    return err;
  API_Guid** links = memo.*part;
  const GSSize bytes = BMGetHandleSize(reinterpret_cast<GSHandle>(links));
  const int count = static_cast<int>(pln::gsutil::EntriesIn(links));
  if (n != nullptr)
    *n = count;
  if (list != nullptr && count > 0) {
    GSHandle target = reinterpret_cast<GSHandle>(*list);
    target = target == nullptr ? BMAllocateHandle(bytes, 0, 0) : BMReallocHandle(target, bytes, 0, 0);
    if (target == nullptr)
      err = APIERR_MEMFULL;
    else {
      *list = reinterpret_cast<API_Guid**>(target);
      std::copy_n(*links, count, **list);
    }
  }
  return err;
}

template <typename Coord>
bool PlanDirection(const Coord& a, const Coord& b, double* cosine, double* sine, double* length)
{
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double len = std::hypot(dx, dy);
  // Coincident plan points have no direction; the outputs are left alone.
  if (len == 0.0)
    return false;
  if (cosine != nullptr)
    *cosine = dx / len;
  if (sine != nullptr)
    *sine = dy / len;
  if (length != nullptr)
    *length = len;
  return true;
}

GSErrCode ApplyElementTool(const API_Guid& guid, Int32 code)
{
  GS::Array<API_Guid> elements;
  elements.Push(guid);
  return ACAPI_Element_Tool(elements, code);
}

}  // namespace

bool CGSUtil::GetElementTypeString(API_ElemTypeID type, char* out)
{
  GS::UniString name;
  if (ACAPI_Goodies_GetElemTypeName(type, name) != NoError)
    return false;
  const std::string text = name.ToStdString(CC_Default);
  const std::size_t length = std::min(text.size(), kTypeNameMax);
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
  return true;
}

API_NeigID CGSUtil::Elem_To_NeigID(API_ElemTypeID type)
{
  if (type < 1 || type > static_cast<Int32>(kNeigIds.size()))
    return API_NeigID{};
  return static_cast<API_NeigID>(kNeigIds[static_cast<std::size_t>(type - 1)]);
}

GSErrCode CGSUtil::GetWindowLinks(API_Guid wall, API_Guid*** list, int* n)
{
  return GetOpeningLinks(wall, APIMemoMask_WallWindows, &API_ElementMemo::wallWindows, list, n);
}

GSErrCode CGSUtil::GetDoorLinks(API_Guid wall, API_Guid*** list, int* n)
{
  return GetOpeningLinks(wall, APIMemoMask_WallDoors, &API_ElementMemo::wallDoors, list, n);
}

bool CGSUtil::CalcCosSin(const API_Coord& a, const API_Coord& b, double* cosine, double* sine, double* length)
{
  return PlanDirection(a, b, cosine, sine, length);
}

bool CGSUtil::CalcCosSin(const API_Coord3D& a, const API_Coord3D& b, double* cosine, double* sine, double* length)
{
  return PlanDirection(a, b, cosine, sine, length);
}

GSErrCode CGSUtil::GetZoneArea2(API_Guid& guid, double* area)
{
  API_ElementQuantity quantity;
  const GSErrCode err = ACAPI_Element_GetQuantities(guid, &quantity);
  if (err == NoError && area != nullptr)
    *area = quantity.zone.area;
  return err;
}

// The curtain wall's base above the project zero, its slanted height
// projected to the vertical, and its slant angle.
GSErrCode CGSUtil::GetCWallParameter(API_Element& cwall, double* base, double* height, double* slant)
{
  double baseLevel = 0.0;
  GSErrCode err = ACAPI_Goodies('GCWB', &cwall.cwall, &baseLevel);
  if (err != NoError)
    return err;
  API_ElementQuantity quantity;
  err = ACAPI_Element_GetQuantities(cwall.header.guid, &quantity);
  if (err != NoError)
    return err;
  if (base != nullptr)
    *base = baseLevel + GetFlrLevel(cwall.header.floorInd);
  if (height != nullptr)
    *height = quantity.cwall.slantedLength * std::sin(quantity.cwall.slantAngle);
  if (slant != nullptr)
    *slant = quantity.cwall.slantAngle;
  return NoError;
}

bool CGSUtil::IsHotlinkElement(API_Guid& guid)
{
  API_Guid node;
  return ACAPI_Goodies('GHLG', &guid, &node) == NoError && !node.IsNull();
}

GSErrCode CGSUtil::BringToFront(API_Guid& guid)
{
  return ApplyElementTool(guid, 'OFR0');
}

GSErrCode CGSUtil::BringToBack(API_Guid& guid)
{
  return ApplyElementTool(guid, 'OBA0');
}

void CGSUtil::CheckDontUseCode2(std::string&) {}

void CGSUtil::CheckDontUseCode2(GS::UniString&) {}

bool CGSUtil::IsControlShifted()
{
  return false;
}
