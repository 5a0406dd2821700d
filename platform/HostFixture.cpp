#include "HostFixture.h"

#include "host_alert.h"
#include "host_attributes.h"
#include "host_calllog.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_foundation.h"
#include "host_goodies.h"
#include "host_interface.h"
#include "host_libpart.h"
#include "host_notify.h"
#include "host_palette.h"
#include "host_progress.h"
#include "host_selection.h"
#include "host_teamwork.h"
#include "host_userdata.h"

#include <algorithm>
#include <cstring>

using namespace pln::host;

namespace {

template <typename T>
T** HandleOf(const std::vector<T>& items)
{
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(items.size() * sizeof(T)), 0, 0);
  PLN_ASSERT(handle != nullptr);
  std::memcpy(*handle, items.data(), items.size() * sizeof(T));
  return reinterpret_cast<T**>(handle);
}

API_Polygon* PolygonOf(API_Element& element)
{
  switch (element.header.typeID) {
  case API_ZoneID:
    return &element.zone.poly;
  case API_SlabID:
    return &element.slab.poly;
  case API_HatchID:
    return &element.hatch.poly;
  case API_PolyLineID:
    return &element.polyLine.poly;
  case API_MeshID:
    return &element.mesh.poly;
  default:
    return nullptr;
  }
}

void Shift(API_Coord& c, const API_Coord& offset)
{
  c.x += offset.x;
  c.y += offset.y;
}

// Moves every plan position of the element by the offset.
void Translate(StoredElement& stored, const API_Coord& offset)
{
  API_Element& e = stored.element;
  Shift(e.object.pos, offset);
  Shift(e.zone.pos, offset);
  Shift(e.wall.begC, offset);
  Shift(e.wall.endC, offset);
  Shift(e.line.begC, offset);
  Shift(e.line.endC, offset);
  Shift(e.arc.origC, offset);
  Shift(e.circle.origC, offset);
  Shift(e.text.loc, offset);
  // A morph's body stays put in its own coordinates; its matrix moves it.
  e.morph.tranmat.tmx[3] += offset.x;
  e.morph.tranmat.tmx[7] += offset.y;
  for (std::size_t i = 1; i < stored.memo.coords.size(); ++i)
    Shift(stored.memo.coords[i], offset);
  for (std::size_t i = 1; i < stored.memo.refCoords.size(); ++i)
    Shift(stored.memo.refCoords[i], offset);
  for (API_MeshLevelCoord& level : stored.memo.meshLevelCoords) {
    level.c.x += offset.x;
    level.c.y += offset.y;
  }
}

API_Guid CopyElement(const API_Guid& original, const API_Coord& offset)
{
  Model& model = TheModel();
  StoredElement copy = *FindElement(original);
  copy.element.header.guid = ToAPIGuid(GS::Guid().Generate());
  copy.element.header.drwIndex = model.nextDrawIndex++;
  copy.element.header.userId = model.teamworkConnected ? model.project.userId : 0;
  Translate(copy, offset);
  const API_Guid guid = copy.element.header.guid;
  TouchElement(guid);
  model.elements[guid] = copy;
  model.creationOrder.push_back(guid);
  return guid;
}

}  // namespace

// ---------------------------------------------------------------------------

PolygonMemo::PolygonMemo(const std::vector<std::vector<API_Coord>>& contours, const std::vector<API_PolyArc>& arcs,
                         bool closed)
{
  std::vector<API_Coord> coords(1);
  std::vector<Int32> ends{0};
  for (const auto& contour : contours) {
    coords.insert(coords.end(), contour.begin(), contour.end());
    if (closed && !contour.empty())
      coords.push_back(contour.front());
    ends.push_back(static_cast<Int32>(coords.size()) - 1);
  }
  polygon_.nCoords = static_cast<Int32>(coords.size()) - 1;
  polygon_.nSubPolys = static_cast<Int32>(contours.size());
  polygon_.nArcs = static_cast<Int32>(arcs.size());
  memo_.coords = HandleOf(coords);
  memo_.pends = HandleOf(ends);
  if (!arcs.empty())
    memo_.parcs = HandleOf(arcs);
}

PolygonMemo::~PolygonMemo()
{
  CallLogPause pause;
  ACAPI_DisposeElemMemoHdls(&memo_);
}

// ---------------------------------------------------------------------------

HostFixture::HostFixture() { Reset(); }

void HostFixture::Reset()
{
  ResetFoundation();
  ResetModel();
  ResetLibraryAndInterface();
  ClearElementChanges();
  internal::ResetModelessWindows();
  savedProject_.reset();
  handleBaseline_ = LiveHandleCount();
}

GSErrCode HostFixture::AddStory(short index, double level, const GS::UniString& name)
{
  auto& stories = TheModel().stories;
  if (index == stories.front().index - 1)
    stories.insert(stories.begin(), Story{index, level, name});
  else if (index == stories.back().index + 1)
    stories.push_back(Story{index, level, name});
  else
    return APIERR_BADINDEX;
  return NoError;
}

Int32 HostFixture::AddAttribute(API_Attribute attribute)
{
  CallLogPause pause;
  const GSErrCode err = ACAPI_Attribute_Create(&attribute);
  return err == NoError ? attribute.header.index : 0;
}

Int32 HostFixture::AddLayer(const GS::UniString& name, UInt32 flags)
{
  API_Attribute layer;
  layer.header.typeID = API_LayerID;
  layer.header.name = name;
  layer.header.flags = flags;
  return AddAttribute(layer);
}

GSErrCode HostFixture::SetLayerFlags(short layer, UInt32 flags)
{
  StoredAttribute* stored = FindAttribute(API_LayerID, layer);
  if (stored == nullptr)
    return APIERR_BADINDEX;
  stored->attribute.header.flags = flags;
  return NoError;
}

Int32 HostFixture::AddPen(const API_RGBColor& rgb, double width)
{
  API_Attribute pen;
  pen.header.typeID = API_PenID;
  pen.header.name = GS::UniString::Printf("Pen %d", static_cast<int>(TheModel().attributes[API_PenID].size()) + 1);
  pen.pen.rgb = rgb;
  pen.pen.width = width;
  return AddAttribute(pen);
}

Int32 HostFixture::AddFont(const GS::UniString& name)
{
  API_Attribute font;
  font.header.typeID = API_FontID;
  font.header.name = name;
  return AddAttribute(font);
}

Int32 HostFixture::AddZoneCategory(const GS::UniString& name, const GS::UniString& code, const API_RGBColor& rgb)
{
  API_Attribute category;
  category.header.typeID = API_ZoneCatID;
  category.header.name = name;
  category.zoneCat.catCode = code;
  category.zoneCat.rgb = rgb;
  return AddAttribute(category);
}

GSErrCode HostFixture::AddElement(API_Element& element, API_ElementMemo* memo)
{
  CallLogPause pause;
  return ACAPI_Element_Create(&element, memo);
}

GSErrCode HostFixture::AddPolygonElement(API_Element& element, PolygonMemo& polygon)
{
  API_Polygon* poly = PolygonOf(element);
  if (poly == nullptr)
    return APIERR_BADELEMENTTYPE;
  *poly = polygon.Polygon();
  return AddElement(element, polygon.Memo());
}

GSErrCode HostFixture::SetUserData(const API_Guid& guid, short version, unsigned short platformSign,
                                   const std::vector<char>& bytes)
{
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  FindElement(guid)->userData = StoredUserData{version, platformSign, 0, bytes};
  return NoError;
}

void HostFixture::SetTeamwork(bool connected, bool online, short userId) { pln::host::SetTeamwork(connected, online, userId); }

GSErrCode HostFixture::SetOwner(const API_Guid& guid, short userId) { return SetElementOwner(guid, userId); }

GSErrCode HostFixture::SetHotlinkNode(const API_Guid& guid, const API_Guid& node)
{
  return pln::host::SetHotlinkNode(guid, node);
}

GSErrCode HostFixture::SetInfoString(const API_Guid& guid, const GS::UniString& text)
{
  return SetElementInfoString(guid, text);
}

void HostFixture::SetResourceString(short resId, Int32 index, const GS::UniString& text)
{
  pln::host::SetResourceString(resId, index, text);
}

void HostFixture::LoadAddOnLibraryParts() { pln::host::LoadAddOnLibraryParts(); }

void HostFixture::QueuePick(const API_Coord3D& position, const std::vector<API_Coord3D>& cursorMoves)
{
  pln::host::QueuePick(position, cursorMoves);
}

void HostFixture::QueueAlertAnswer(short button) { pln::host::QueueAlertAnswer(button); }

void HostFixture::QueueProgressCancel(Int32 queriesBefore) { pln::host::QueueProgressCancel(queriesBefore); }

void HostFixture::DefineDialog(short resId, pln::host::DGDialogDef def) { pln::host::DefineDialog(resId, std::move(def)); }

void HostFixture::QueueDialogScript(short resId, pln::host::DialogScript script)
{
  pln::host::QueueDialogScript(resId, std::move(script));
}

void HostFixture::QueueFileChoice(const IO::Location& file) { pln::host::QueueFileDialogAnswer(file); }

void HostFixture::QueueFileDialogCancel() { pln::host::QueueFileDialogCancel(); }

// ---------------------------------------------------------------------------

GSErrCode HostFixture::UserPlace(API_Element& element, API_ElementMemo* memo, const API_UserData* userData)
{
  CallLogPause pause;
  return RunUserAction(GS::UniString(u"Place"), false, [&]() {
    if (GSErrCode err = ACAPI_Element_Create(&element, memo); err != NoError)
      return err;
    return userData != nullptr ? ACAPI_Element_SetUserData(&element.header, userData) : NoError;
  });
}

GSErrCode HostFixture::UserCopy(const std::vector<API_Guid>& guids, const API_Coord& offset, std::vector<API_Guid>* copies)
{
  CallLogPause pause;
  if (GSErrCode err = CheckAllWritable(guids); err != NoError)
    return err;
  return RunUserAction(GS::UniString(u"Copy"), true, [&]() {
    for (const API_Guid& guid : guids) {
      const API_Guid copy = CopyElement(guid, offset);
      if (copies != nullptr)
        copies->push_back(copy);
    }
    return NoError;
  });
}

GSErrCode HostFixture::UserMove(const std::vector<API_Guid>& guids, const API_Coord& offset)
{
  CallLogPause pause;
  if (GSErrCode err = CheckAllWritable(guids); err != NoError)
    return err;
  return RunUserAction(GS::UniString(u"Move"), false, [&]() {
    for (const API_Guid& guid : guids) {
      TouchElement(guid);
      Translate(*FindElement(guid), offset);
    }
    return NoError;
  });
}

GSErrCode HostFixture::UserEdit(const API_Guid& guid, const std::function<void(API_Element&)>& edit)
{
  CallLogPause pause;
  if (GSErrCode err = CheckAllWritable(std::vector<API_Guid>{guid}); err != NoError)
    return err;
  return RunUserAction(GS::UniString(u"Edit"), false, [&]() {
    API_Element element = FindElement(guid)->element;
    edit(element);
    // The user's edit may touch any field: take the whole record, keeping
    // the element's identity and owner.
    StoredElement updated = *FindElement(guid);
    const API_Elem_Head head = updated.element.header;
    updated.element = element;
    updated.element.header.typeID = head.typeID;
    updated.element.header.guid = head.guid;
    updated.element.header.userId = head.userId;
    if (GSErrCode err = CheckLayerWritable(updated.element.header.layer); err != NoError)
      return err;
    TouchElement(guid);
    *FindElement(guid) = updated;
    return NoError;
  });
}

GSErrCode HostFixture::UserDelete(const std::vector<API_Guid>& guids)
{
  CallLogPause pause;
  GS::Array<API_Guid> list;
  for (const API_Guid& guid : guids)
    list.Push(guid);
  return RunUserAction(GS::UniString(u"Delete"), false, [&]() { return ACAPI_Element_Delete(list); });
}

GSErrCode HostFixture::UserSelect(const std::vector<API_Guid>& guids)
{
  for (const API_Guid& guid : guids)
    if (GSErrCode err = CheckLive(guid); err != NoError)
      return err;
  std::vector<API_Guid>& selection = TheModel().selection;
  const std::vector<API_Guid> before = selection;
  selection = guids;
  if (selection != before)
    DeliverSelectionChange();
  return NoError;
}

GSErrCode HostFixture::UserChangeStory(short index)
{
  if (FindStory(index) == nullptr)
    return APIERR_BADINDEX;
  TheModel().activeStory = index;
  DeliverProjectEvent(APINotify_ChangeFloor);
  return NoError;
}

GSErrCode HostFixture::UserChooseMenuItem(short menuResID, short itemIndex)
{
  return ChooseMenuItem(menuResID, itemIndex);
}

GSErrCode HostFixture::UserUndo()
{
  CallLogPause pause;
  return UndoLastStep();
}

GSErrCode HostFixture::UserRedo()
{
  CallLogPause pause;
  return RedoLastStep();
}

void HostFixture::UserNewProject()
{
  NewProjectData();
  DeliverProjectEvent(APINotify_New);
}

void HostFixture::UserSaveProject()
{
  DeliverProjectEvent(APINotify_PreSave);
  API_ProjectInfo& project = TheModel().project;
  if (project.untitled) {
    project.untitled = false;
    project.projectName = GS::UniString(u"Project");
    project.location = IO::Location(GS::UniString(u"Projects/Project.pln"));
    if (project.teamwork)
      project.location = IO::Location();
  }
  savedProject_ = static_cast<const ProjectData&>(TheModel());
  DeliverProjectEvent(APINotify_Save);
}

void HostFixture::UserCloseProject()
{
  DeliverProjectEvent(APINotify_Close);
  NewProjectData();
}

GSErrCode HostFixture::UserReopenProject()
{
  if (!savedProject_.has_value())
    return APIERR_GENERAL;
  OpenProjectData(*savedProject_);
  DeliverProjectEvent(APINotify_Open);
  return NoError;
}

// ---------------------------------------------------------------------------

const StoredElement* HostFixture::Element(const API_Guid& guid) const { return FindElement(guid); }

std::vector<API_Guid> HostFixture::ElementsOfType(API_ElemTypeID type) const
{
  std::vector<API_Guid> found;
  for (const API_Guid& guid : TheModel().creationOrder) {
    const StoredElement* stored = FindElement(guid);
    if (stored != nullptr && !stored->deleted && (type == API_ZombieElemID || stored->element.header.typeID == type))
      found.push_back(guid);
  }
  return found;
}

const StoredParam* HostFixture::Parameter(const API_Guid& guid, const char* name) const
{
  const StoredElement* stored = FindElement(guid);
  if (stored == nullptr)
    return nullptr;
  const StoredParam* found = nullptr;
  for (const StoredParam& param : stored->memo.params)
    if (std::strncmp(param.record.name, name, API_NameLen) == 0)
      found = &param;
  return found;
}

std::optional<StoredModulData> HostFixture::ModulData(const GS::UniString& name) const
{
  const auto& records = TheModel().modulData;
  auto found = records.find(name);
  return found != records.end() ? std::optional<StoredModulData>(found->second) : std::nullopt;
}

std::vector<GS::UniString> HostFixture::UndoNames() const { return UndoStepNames(); }

std::vector<GS::UniString> HostFixture::RedoNames() const { return RedoStepNames(); }

const std::vector<std::string>& HostFixture::CallLog() const { return pln::host::CallLog(); }

const std::vector<AlertRecord>& HostFixture::Alerts() const { return pln::host::Alerts(); }

const std::vector<RubberDrawing>& HostFixture::RubberDrawings() const { return pln::host::RubberDrawings(); }

const ProgressState& HostFixture::Progress() const { return pln::host::Progress(); }

const std::vector<FileDialogRecord>& HostFixture::FileDialogs() const { return pln::host::FileDialogs(); }

const std::vector<std::string>& HostFixture::DialogMisuses() const { return pln::host::DialogMisuses(); }

void HostFixture::ClearCallLog() { pln::host::ClearCallLog(); }

void HostFixture::FailOnce(const std::string& callName, GSErrCode code) { pln::host::FailOnce(callName, code); }

const std::vector<pln::host::ParamChange>& HostFixture::ParamChanges() const { return pln::host::ParamChanges(); }

void HostFixture::FailParamChangeOnce(const std::string& name, GSErrCode code)
{
  pln::host::FailParamChangeOnce(name, code);
}

const std::vector<pln::host::ElementChange>& HostFixture::ElementChanges() const
{
  return pln::host::ElementChanges();
}

void HostFixture::ClearChangeRecords()
{
  pln::host::ClearParamChanges();
  pln::host::ClearElementChanges();
}

std::ptrdiff_t HostFixture::HandlesSinceReset() const
{
  return static_cast<std::ptrdiff_t>(LiveHandleCount()) - static_cast<std::ptrdiff_t>(handleBaseline_);
}
