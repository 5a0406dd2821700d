// The zone and figure records of the document dump, read and written alike,
// and the host work of reading them from and putting them into the project.

#include "CDocumentDump.h"

#include "CArchive.h"
#include "DocRecord.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_libpart.h"
#include "host_memory.h"
#include "host_api_types.h"

#include <cstring>
#include <numbers>

namespace {

constexpr long long kCoordBytes = 2 * 8;
constexpr long long kEndBytes = 4;
constexpr long long kArcBytes = 4 + 4 + 8;

void Refuse(CArchive& ar)
{
  if (ar.m_bOpen)
    throw CArchive::kPastEnd;
  ar.RefuseWrite();
  throw CArchive::kTooLong;
}

// A count read, bounded by the bytes left for its items.
void CheckCount(CArchive& ar, int count, long long bytesEach)
{
  if (!ar.CanHold(count, bytesEach))
    Refuse(ar);
}

template <class T>
T** NewHandle(std::size_t count)
{
  return reinterpret_cast<T**>(BMAllocateHandle(GSSize(count * sizeof(T)), ALLOCATE_CLEAR, 0));
}

}  // namespace

// ---- zones ---------------------------------------------------------------------

bool CDumpZone::IsSound() const
{
  const int n = int(m_Coords.size()) - 1;
  if (n < 0 || m_Ends.empty() || m_Ends.front() != 0 || m_Ends.back() != n)
    return false;
  for (std::size_t i = 1; i < m_Ends.size(); ++i)
    if (m_Ends[i] - m_Ends[i - 1] < 4)  // a closed triangle: three points and the first again
      return false;
  for (const API_PolyArc& arc : m_Arcs)
    if (arc.begIndex < 1 || arc.begIndex > n || arc.endIndex < 1 || arc.endIndex > n)
      return false;
  return true;
}

bool CDumpZone::Serialize(CArchive& ar)
{
  ar.Serialize(m_Guid);
  if (ar.m_bOpen && m_Guid.IsNull())
    return false;
  if (!ar.m_bOpen && !IsSound())
    Refuse(ar);
  int n = int(m_Coords.size()) - 1;
  int arcs = int(m_Arcs.size());
  int contours = int(m_Ends.size()) - 1;
  ar.Serialize(m_Story);
  ar.Serialize(m_Layer);
  ar.Serialize(n);
  ar.Serialize(arcs);
  ar.Serialize(contours);
  for (double* value : {&m_StampX, &m_StampY, &m_Height, &m_Offset})
    ar.Serialize(*value);
  ar.Serialize(m_Name);
  if (ar.m_bOpen) {
    if (n < 0 || contours < 0 || arcs < 0)
      Refuse(ar);
    CheckCount(ar, n + 1LL, kCoordBytes);
    m_Coords.assign(std::size_t(n) + 1, API_Coord{});
  }
  for (API_Coord& c : m_Coords) {
    ar.Serialize(c.x);
    ar.Serialize(c.y);
  }
  if (ar.m_bOpen) {
    CheckCount(ar, contours + 1LL, kEndBytes);
    m_Ends.assign(std::size_t(contours) + 1, 0);
  }
  for (Int32& end : m_Ends)
    ar.Serialize(end);
  if (ar.m_bOpen) {
    CheckCount(ar, arcs, kArcBytes);
    m_Arcs.assign(std::size_t(arcs), API_PolyArc{});
  }
  for (API_PolyArc& arc : m_Arcs) {
    ar.Serialize(arc.begIndex);
    ar.Serialize(arc.endIndex);
    ar.Serialize(arc.arcAngle);
  }
  if (ar.m_bOpen && !IsSound())
    Refuse(ar);
  return true;
}

bool CDumpZone::FromElement(const API_Guid& guid, CDumpZone& zone, GSErrCode* hostError)
{
  GSErrCode ignored = NoError;
  GSErrCode& err = hostError != nullptr ? *hostError : ignored;
  API_Element element{};
  element.header.guid = guid;
  if (err = ACAPI_Element_Get(&element); err != NoError)
    return false;
  API_ElementMemo memo{};
  if (err = ACAPI_Element_GetMemo(guid, &memo, APIMemoMask_Polygon); err != NoError)
    return false;
  const API_Polygon& poly = element.zone.poly;
  bool read = memo.coords != nullptr && memo.pends != nullptr && poly.nCoords >= 0 && poly.nSubPolys >= 0 &&
              poly.nArcs >= 0 && (poly.nArcs == 0 || memo.parcs != nullptr);
  if (read) {
    zone = CDumpZone{};
    zone.m_Guid = ToGSGuid(guid);
    zone.m_Story = element.header.floorInd;
    zone.m_Layer = element.header.layer;
    zone.m_StampX = element.zone.pos.x;
    zone.m_StampY = element.zone.pos.y;
    zone.m_Height = element.zone.roomHeight;
    zone.m_Offset = element.zone.roomBottomOffset;
    zone.m_Name = element.zone.roomName;
    zone.m_Coords.assign(*memo.coords, *memo.coords + poly.nCoords + 1);
    zone.m_Ends.assign(*memo.pends, *memo.pends + poly.nSubPolys + 1);
    if (poly.nArcs > 0)
      zone.m_Arcs.assign(*memo.parcs, *memo.parcs + poly.nArcs);
    read = zone.IsSound();
  }
  (void)ACAPI_DisposeElemMemoHdls(&memo);  // freeing cannot fail for a memo the host filled
  return read;
}

GSErrCode CDumpZone::Create(API_Guid* created) const
{
  API_Element element{};
  element.header.typeID = API_ZoneID;
  API_ElementMemo memo{};
  GSErrCode err = ACAPI_Element_GetDefaults(&element, &memo);
  (void)ACAPI_DisposeElemMemoHdls(&memo);  // freeing cannot fail for a memo the host filled
  if (err != NoError)
    return err;
  memo = API_ElementMemo{};
  element.header.floorInd = m_Story;
  element.header.layer = short(m_Layer);
  element.zone.roomName = m_Name;
  element.zone.pos = API_Coord{m_StampX, m_StampY};
  element.zone.roomHeight = m_Height;
  element.zone.roomBottomOffset = m_Offset;
  element.zone.poly.nCoords = Int32(m_Coords.size()) - 1;
  element.zone.poly.nSubPolys = Int32(m_Ends.size()) - 1;
  element.zone.poly.nArcs = Int32(m_Arcs.size());
  memo.coords = NewHandle<API_Coord>(m_Coords.size());
  memo.pends = NewHandle<Int32>(m_Ends.size());
  memo.parcs = m_Arcs.empty() ? nullptr : NewHandle<API_PolyArc>(m_Arcs.size());
  if (memo.coords == nullptr || memo.pends == nullptr || (!m_Arcs.empty() && memo.parcs == nullptr)) {
    err = APIERR_MEMFULL;
  } else {
    std::copy(m_Coords.begin(), m_Coords.end(), *memo.coords);
    std::copy(m_Ends.begin(), m_Ends.end(), *memo.pends);
    std::copy(m_Arcs.begin(), m_Arcs.end(), memo.parcs == nullptr ? nullptr : *memo.parcs);
    err = ACAPI_Element_Create(&element, &memo);
  }
  (void)ACAPI_DisposeElemMemoHdls(&memo);  // freeing cannot fail for a memo the host filled
  if (err == NoError && created != nullptr)
    *created = element.header.guid;
  return err;
}

// ---- figures -------------------------------------------------------------------

std::vector<const char*> CDumpFigure::ShapeNames(CArea1Object::TYPE type)
{
  switch (type) {
  case CArea1Object::TYPE_TRIANGLE:
    return {"dx"};
  case CArea1Object::TYPE_ARC3POINT:
    return {"x1", "y1", "x2", "y2", "x3", "y3"};
  case CArea1Object::TYPE_ARCCENTER:
  case CArea1Object::TYPE_ARC:
    return {"ArcRadius", "ArcAngle"};
  case CArea1Object::TYPE_TRAPEZOID:
    return {"dx", "dx2"};
  case CArea1Object::TYPE_CIRCLE:
    return {"ArcRadius"};
  case CArea1Object::TYPE_ELLIPSE:
    return {"ArcRadiusX", "ArcRadiusY"};
  default:
    return {};
  }
}

bool CDumpFigure::IsAngleName(const char* name) { return std::strcmp(name, "ArcAngle") == 0; }

bool CDumpFigure::Serialize(CArchive& ar)
{
  ar.Serialize(m_Type);
  if (ar.m_bOpen && m_Type == CArea1Object::TYPE_NONE)
    return false;
  const bool valid = m_Type >= 1 && m_Type <= CArea1Object::kTypeMax;
  if (!valid)
    Refuse(ar);
  ar.Serialize(m_Layer);
  ar.Serialize(m_Story);
  for (double* value : {&m_A, &m_B, &m_X, &m_Y, &m_Angle})
    ar.Serialize(*value);
  for (int* value : {&m_Code, &m_SortIndex, &m_No, &m_ItemType1, &m_ItemType2, &m_RoundType})
    ar.Serialize(*value);
  m_Cr.Serialize(ar);
  m_AutoArea.Serialize(ar);
  ar.Serialize(m_bAutoCr);
  if (!CArea1Object::IsValidCode(m_Code) || !CArea1Object::IsValidNumber(m_No))
    Refuse(ar);
  const std::size_t shapes = ShapeNames(CArea1Object::TYPE(m_Type)).size();
  if (ar.m_bOpen)
    m_Shape.assign(shapes, 0.0);
  else if (m_Shape.size() != shapes)
    Refuse(ar);
  for (double& value : m_Shape)
    ar.Serialize(value);
  return true;
}

CDumpFigure CDumpFigure::FromFigure(const CArea1Object& figure)
{
  CDumpFigure out;
  API_Element element = figure.m_Element;
  API_Element placed{};
  placed.header.guid = figure.m_Element.header.guid;
  if (ACAPI_Element_Get(&placed) == NoError)
    element = placed;
  out.m_Type = figure.m_Type;
  out.m_Layer = element.header.layer;
  out.m_Story = element.header.floorInd;
  out.m_A = element.object.xRatio;
  out.m_B = element.object.yRatio;
  out.m_X = element.object.pos.x;
  out.m_Y = element.object.pos.y;
  out.m_Angle = element.object.angle;
  out.m_Code = figure.m_Code;
  out.m_SortIndex = figure.m_SortIndex;
  out.m_No = figure.m_No;
  out.m_ItemType1 = figure.m_ItemType1;
  out.m_ItemType2 = figure.m_ItemType2;
  out.m_RoundType = figure.m_RoundType;
  out.m_Cr = figure.m_Cr;
  out.m_AutoArea = figure.m_AutoArea;
  out.m_bAutoCr = figure.m_bAutoCr;
  API_ElementMemo memo{};
  const bool hasParams = ACAPI_Element_GetMemo(placed.header.guid, &memo, APIMemoMask_AddPars) == NoError;
  const Int32 count = hasParams ? pln::host::AddParCount(memo.params) : 0;
  for (const char* name : ShapeNames(figure.m_Type)) {
    double value = 0.0;  // a value the part lacks
    for (Int32 i = count - 1; i >= 0; --i) {
      if (std::strncmp((*memo.params)[i].name, name, API_NameLen) == 0) {
        value = (*memo.params)[i].realValue;
        if (IsAngleName(name))
          value = value * 180.0 / std::numbers::pi;
        break;
      }
    }
    out.m_Shape.push_back(value);
  }
  (void)ACAPI_DisposeElemMemoHdls(&memo);  // freeing cannot fail for a memo the host filled
  return out;
}

void CDumpFigure::PutInto(CArea1Object& figure) const
{
  figure.m_ItemType1 = CItemType1Table::ITEMTYPE(m_ItemType1);
  figure.m_ItemType2 = CItemType2Table::ITEMTYPE(m_ItemType2);
  figure.m_No = m_No;
  // The rest of the record lives only in the placed part's user data,
  // which the importing project does not have yet.
  figure.m_SortIndex = m_SortIndex;
  figure.m_RoundType = CRoundTypeTable::ROUNDTYPE(m_RoundType);
  figure.m_Cr = m_Cr;
  figure.m_AutoArea = m_AutoArea;
  figure.m_bAutoCr = m_bAutoCr;
}
