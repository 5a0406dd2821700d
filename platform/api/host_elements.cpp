#include "host_elements.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_libpart_internal.h"
#include "host_memo.h"
#include "host_model.h"
#include "host_notify.h"

#include <algorithm>

using namespace pln::host;

namespace {

bool IsKnownType(API_ElemTypeID type)
{
  switch (type) {
  case API_WallID:
  case API_WindowID:
  case API_DoorID:
  case API_ObjectID:
  case API_SlabID:
  case API_MeshID:
  case API_TextID:
  case API_ZoneID:
  case API_HatchID:
  case API_LineID:
  case API_PolyLineID:
  case API_ArcID:
  case API_CircleID:
  case API_CurtainWallID:
  case API_MorphID:
    return true;
  default:
    return false;
  }
}

API_Element HostDefaults(API_ElemTypeID type)
{
  API_Element element;
  element.header.typeID = type;
  element.header.layer = 1;
  element.header.floorInd = TheModel().activeStory;
  element.object.xRatio = 1.0;
  element.object.yRatio = 1.0;
  element.object.pen = 1;
  element.object.ltypeInd = 1;
  element.line.linePen.penIndex = 1;
  element.line.ltypeInd = 1;
  element.arc.linePen.penIndex = 1;
  element.arc.ltypeInd = 1;
  element.circle.linePen.penIndex = 1;
  element.circle.ltypeInd = 1;
  element.polyLine.pen = 1;
  element.polyLine.ltypeInd = 1;
  element.hatch.contPen = 1;
  element.hatch.fillPen = 1;
  element.hatch.fillInd = 1;
  element.hatch.ltypeInd = 1;
  element.text.size = 2.5;
  element.text.font = 1;
  element.text.pen = 1;
  element.zone.pen = 1;
  element.slab.pen = 1;
  element.slab.thickness = 0.3;
  return element;
}

// Layer, story and per-kind references of a record about to be stored in
// the database; stories matter on the floor plan only.
GSErrCode CheckPlacement(const API_Element& element, const API_DatabaseUnId& database)
{
  if (GSErrCode err = CheckLayerWritable(element.header.layer); err != NoError)
    return err;
  if (database == Model3DDatabaseId())
    return APIERR_BADDATABASE;
  if (database == FloorPlanDatabaseId() && FindStory(element.header.floorInd) == nullptr)
    return APIERR_INVALFLOOR;
  const API_ElemTypeID type = element.header.typeID;
  if (type == API_ObjectID && element.object.libInd < 1)
    return APIERR_BADINDEX;
  if (type == API_WindowID || type == API_DoorID) {
    const API_Guid& owner = type == API_WindowID ? element.window.owner : element.door.owner;
    const StoredElement* wall = FindElement(owner);
    if (wall == nullptr || wall->deleted || wall->element.header.typeID != API_WallID)
      return APIERR_BADID;
  }
  return NoError;
}

// The fields the host owns: a caller's record never changes them.
void KeepHostFields(API_Element& updated, const API_Element& stored)
{
  updated.header.typeID = stored.header.typeID;
  updated.header.guid = stored.header.guid;
  updated.header.userId = stored.header.userId;
  updated.header.drwIndex = stored.header.drwIndex;
  updated.header.hotlinkGuid = stored.header.hotlinkGuid;
  updated.header.hasMemo = stored.header.hasMemo;
}

// An object placed without a parameter list gets its part's defaults, as
// the host does when a part is placed from its settings. A part that is not
// loaded leaves the list empty.
void TakePartDefaults(StoredElement& stored)
{
  if (stored.element.header.typeID != API_ObjectID || !stored.memo.params.empty())
    return;
  const LibPartDefinition* part = LibraryPart(stored.element.object.libInd);
  if (part == nullptr)
    return;
  API_AddParType** defaults = internal::ToHandle(internal::DefaultParams(*part));
  stored.memo.params = StoreParams(defaults);
  FreeAddParHandle(&defaults);
}

std::vector<ElementChange>& ChangeRecords()
{
  static std::vector<ElementChange> records;
  return records;
}

}  // namespace

const std::vector<ElementChange>& pln::host::ElementChanges() { return ChangeRecords(); }

void pln::host::ClearElementChanges() { ChangeRecords().clear(); }

GSErrCode ACAPI_Element_GetDefaults(API_Element* element, API_ElementMemo* memo)
{
  if (GSErrCode err = Enter("ACAPI_Element_GetDefaults"); err != NoError)
    return err;
  if (element == nullptr)
    return APIERR_BADPARS;
  const API_ElemTypeID type = element->header.typeID;
  if (!IsKnownType(type))
    return APIERR_BADELEMENTTYPE;
  const auto& defaults = TheModel().defaults;
  auto set = defaults.find(type);
  *element = set != defaults.end() ? set->second : HostDefaults(type);
  element->header.typeID = type;
  if (memo != nullptr)
    *memo = API_ElementMemo{};
  return NoError;
}

GSErrCode ACAPI_Element_Create(API_Element* element, API_ElementMemo* memo)
{
  if (GSErrCode err = Enter("ACAPI_Element_Create"); err != NoError)
    return err;
  if (element == nullptr)
    return APIERR_BADPARS;
  if (!IsKnownType(element->header.typeID))
    return APIERR_BADELEMENTTYPE;
  Model& model = TheModel();
  if (GSErrCode err = CheckPlacement(*element, model.currentDatabase.databaseUnId); err != NoError)
    return err;
  StoredElement stored;
  stored.element = *element;
  if (memo != nullptr)
    stored.memo = StoreMemo(*memo, APIMemoMask_All, StoredMemo{});
  TakePartDefaults(stored);
  if (GSErrCode err = CheckElementPolygons(stored.element, stored.memo); err != NoError)
    return err;

  API_Elem_Head& header = stored.element.header;
  header.guid = ToAPIGuid(GS::Guid().Generate());
  header.drwIndex = model.nextDrawIndex++;
  header.userId = model.teamworkConnected ? model.project.userId : 0;
  header.hotlinkGuid = APINULLGuid;
  header.hasMemo = memo != nullptr;
  stored.database = model.currentDatabase.databaseUnId;
  TouchElement(header.guid);
  model.elements[header.guid] = stored;
  model.creationOrder.push_back(header.guid);
  *element = stored.element;
  return NoError;
}

GSErrCode ACAPI_Element_Get(API_Element* element)
{
  if (GSErrCode err = Enter("ACAPI_Element_Get"); err != NoError)
    return err;
  if (element == nullptr)
    return APIERR_BADPARS;
  if (GSErrCode err = CheckLive(element->header.guid); err != NoError)
    return err;
  *element = FindElement(element->header.guid)->element;
  return NoError;
}

GSErrCode ACAPI_Element_GetHeader(API_Elem_Head* header)
{
  if (GSErrCode err = Enter("ACAPI_Element_GetHeader"); err != NoError)
    return err;
  if (header == nullptr)
    return APIERR_BADPARS;
  if (GSErrCode err = CheckLive(header->guid); err != NoError)
    return err;
  *header = FindElement(header->guid)->element.header;
  return NoError;
}

GSErrCode ACAPI_Element_GetMemo(const API_Guid& guid, API_ElementMemo* memo, UInt64 mask)
{
  if (GSErrCode err = Enter("ACAPI_Element_GetMemo"); err != NoError)
    return err;
  if (memo == nullptr)
    return APIERR_BADPARS;
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  return HandOutMemo(*FindElement(guid), mask, memo);
}

GSErrCode ACAPI_DisposeElemMemoHdls(API_ElementMemo* memo)
{
  LogCall("ACAPI_DisposeElemMemoHdls");
  if (memo == nullptr)
    return NoError;
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->coords));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->pends));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->parcs));
  FreeAddParHandle(&memo->params);
  BMKillHandle(&memo->textContent);
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->meshPolyZ));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->meshLevelCoords));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->meshLevelEnds));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->wallWindows));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->wallDoors));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->refCoords));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->refPends));
  BMKillHandle(reinterpret_cast<GSHandle*>(&memo->refParcs));
  BMKillHandle(&memo->morphBody);
  return NoError;
}

GSErrCode ACAPI_Element_Change(API_Element* element, const API_ElementMask* mask, const API_ElementMemo* memo,
                               UInt64 memoMask, bool /*withDel*/)
{
  if (GSErrCode err = Enter("ACAPI_Element_Change"); err != NoError)
    return err;
  if (element == nullptr)
    return APIERR_BADPARS;
  const API_Guid guid = element->header.guid;
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  pln::host::AppendToLog(ChangeRecords(), pln::host::ElementChange{guid, mask != nullptr ? mask->Count() : 0, memoMask});
  StoredElement updated = *FindElement(guid);
  if (GSErrCode err = CheckWritable(updated); err != NoError)
    return err;
  if (mask != nullptr)
    mask->Apply(updated.element, *element);
  KeepHostFields(updated.element, FindElement(guid)->element);
  if (memo != nullptr)
    updated.memo = StoreMemo(*memo, memoMask, updated.memo);
  if (GSErrCode err = CheckPlacement(updated.element, updated.database); err != NoError)
    return err;
  if (GSErrCode err = CheckElementPolygons(updated.element, updated.memo); err != NoError)
    return err;
  TouchElement(guid);
  *FindElement(guid) = updated;
  *element = updated.element;
  return NoError;
}

GSErrCode ACAPI_Element_Delete(const GS::Array<API_Guid>& guids)
{
  if (GSErrCode err = Enter("ACAPI_Element_Delete"); err != NoError)
    return err;
  if (GSErrCode err = CheckAllWritable(guids); err != NoError)
    return err;
  bool selectionChanged = false;
  for (const API_Guid& guid : guids) {
    TouchElement(guid);
    FindElement(guid)->deleted = true;
    selectionChanged |= std::erase(TheModel().selection, guid) != 0;
  }
  if (selectionChanged)
    DeliverSelectionChange();
  return NoError;
}

GSErrCode ACAPI_Element_GetElemList(API_ElemTypeID type, GS::Array<API_Guid>* list)
{
  if (GSErrCode err = Enter("ACAPI_Element_GetElemList"); err != NoError)
    return err;
  if (list == nullptr)
    return APIERR_BADPARS;
  list->Clear();
  const Model& model = TheModel();
  for (const API_Guid& guid : model.creationOrder) {
    auto found = model.elements.find(guid);
    if (found == model.elements.end() || found->second.deleted)
      continue;
    const StoredElement& stored = found->second;
    if (!(stored.database == model.currentDatabase.databaseUnId))
      continue;
    if (type == API_ZombieElemID || stored.element.header.typeID == type)
      list->Push(guid);
  }
  return NoError;
}

bool ACAPI_Element_Filter(const API_Guid& guid, UInt32 filterBits)
{
  LogCall("ACAPI_Element_Filter");
  if (CheckLive(guid) != NoError)
    return false;
  const StoredElement& stored = *FindElement(guid);
  if ((filterBits & APIFilt_OnVisLayer) != 0) {
    const StoredAttribute* layer = FindAttribute(API_LayerID, stored.element.header.layer);
    if (layer == nullptr || (layer->attribute.header.flags & APILay_Hidden) != 0)
      return false;
  }
  if ((filterBits & APIFilt_IsEditable) != 0 && CheckWritable(stored) != NoError)
    return false;
  if ((filterBits & APIFilt_InCurrentDatabase) != 0 && !(stored.database == TheModel().currentDatabase.databaseUnId))
    return false;
  return true;
}

GSErrCode ACAPI_ElementGroup_Create(const GS::Array<API_Guid>& elements, API_Guid* groupGuid,
                                    const API_Guid* /*parentGroupGuid*/)
{
  if (GSErrCode err = Enter("ACAPI_ElementGroup_Create"); err != NoError)
    return err;
  if (elements.IsEmpty())
    return APIERR_BADPARS;
  if (GSErrCode err = CheckAllWritable(elements); err != NoError)
    return err;
  const API_Guid group = ToAPIGuid(GS::Guid().Generate());
  for (const API_Guid& guid : elements) {
    TouchElement(guid);
    FindElement(guid)->element.header.groupGuid = group;
  }
  if (groupGuid != nullptr)
    *groupGuid = group;
  return NoError;
}
