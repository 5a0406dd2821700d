#include "host_model.h"

#include "host_calllog.h"
#include "host_errors.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace pln::host {

namespace {

StoredAttribute MakeAttribute(API_AttrTypeID type, Int32 index, const char16_t* name)
{
  StoredAttribute stored;
  stored.attribute.header.typeID = type;
  stored.attribute.header.index = index;
  stored.attribute.header.name = GS::UniString(name);
  return stored;
}

// A new project holds what every project of the host holds at least: the
// story 0 "1F" at level 0, the layer 1 "General" (shown, unlocked), the pen
// 1 (black, 0.18 mm), the line type 1 "Solid" and the fill 1 "Solid".
void FillNewProject(Model& model)
{
  static_cast<ProjectData&>(model) = ProjectData{};
  model.stories.push_back(Story{0, 0.0, GS::UniString(u"1F")});
  model.activeStory = 0;
  model.attributes[API_LayerID].push_back(MakeAttribute(API_LayerID, 1, u"General"));
  StoredAttribute pen = MakeAttribute(API_PenID, 1, u"Pen 1");
  pen.attribute.pen.width = 0.18;
  model.attributes[API_PenID].push_back(pen);
  model.attributes[API_LinetypeID].push_back(MakeAttribute(API_LinetypeID, 1, u"Solid"));
  model.attributes[API_FilltypeID].push_back(MakeAttribute(API_FilltypeID, 1, u"Solid"));
  model.currentDatabase.typeID = APIWind_FloorPlanID;
  model.currentDatabase.databaseUnId = FloorPlanDatabaseId();
  model.frontWindow.typeID = APIWind_FloorPlanID;
  model.frontWindow.databaseUnId = FloorPlanDatabaseId();
}

template <typename State>
bool HasKey(const std::vector<std::pair<GS::UniString, State>>& list, const GS::UniString& key)
{
  return std::any_of(list.begin(), list.end(), [&](const auto& entry) { return entry.first == key; });
}

ElementState CurrentElementState(const API_Guid& guid)
{
  const StoredElement* stored = FindElement(guid);
  return stored != nullptr ? std::make_shared<const StoredElement>(*stored) : nullptr;
}

bool SameState(const ElementState& state, const StoredElement* stored)
{
  if (state == nullptr || stored == nullptr)
    return state == nullptr && stored == nullptr;
  // Most writes change the user data or the element record only; those
  // differences are found before the long parameter lists are compared.
  return state->deleted == stored->deleted && state->userData == stored->userData &&
         state->element == stored->element && *state == *stored;
}

ModulState CurrentModulState(const GS::UniString& name)
{
  const auto& modules = TheModel().modulData;
  auto found = modules.find(name);
  return found != modules.end() ? ModulState(found->second) : std::nullopt;
}

// true when the element left the selection.
bool PutElementState(const API_Guid& guid, const ElementState& state)
{
  Model& model = TheModel();
  if (state == nullptr) {
    model.elements.erase(guid);
  } else {
    // Reservations belong to teamwork, not to the undo history.
    const StoredElement* current = FindElement(guid);
    const short owner = current != nullptr ? current->element.header.userId : state->element.header.userId;
    // A known element already has its place in the order; only one
    // coming back needs the (long) search.
    const bool known = current != nullptr;
    StoredElement& put = model.elements[guid];
    put = *state;
    put.element.header.userId = owner;
    if (!known && std::find(model.creationOrder.begin(), model.creationOrder.end(), guid) == model.creationOrder.end())
      model.creationOrder.push_back(guid);
  }
  if (state == nullptr || state->deleted)
    return std::erase(model.selection, guid) != 0;
  return false;
}

void PutModulState(const GS::UniString& name, const ModulState& state)
{
  if (state.has_value())
    TheModel().modulData[name] = *state;
  else
    TheModel().modulData.erase(name);
}

}  // namespace

// ---------------------------------------------------------------------------

std::vector<StoredParam> StoreParams(API_AddParType* const* list)
{
  std::vector<StoredParam> params;
  const Int32 count = AddParCount(list);
  for (Int32 i = 0; i < count; ++i) {
    StoredParam param;
    param.record = (*list)[i];
    param.record.arrayValue = nullptr;
    const GSHandle array = (*list)[i].arrayValue;
    if (array != nullptr)
      param.arrayBytes.assign(*array, *array + BMGetHandleSize(array));
    params.push_back(std::move(param));
  }
  return params;
}

API_AddParType** ParamsToHandle(const std::vector<StoredParam>& params)
{
  if (params.empty())
    return nullptr;
  const auto size = static_cast<GSSize>(params.size() * sizeof(API_AddParType));
  auto handle = reinterpret_cast<API_AddParType**>(BMAllocateHandle(size, ALLOCATE_CLEAR, 0));
  if (handle == nullptr)
    return nullptr;
  for (std::size_t i = 0; i < params.size(); ++i) {
    (*handle)[i] = params[i].record;
    if (params[i].arrayBytes.empty())
      continue;
    const auto bytes = static_cast<GSSize>(params[i].arrayBytes.size());
    GSHandle array = BMAllocateHandle(bytes, 0, 0);
    if (array == nullptr) {
      FreeAddParHandle(&handle);
      return nullptr;
    }
    std::memcpy(*array, params[i].arrayBytes.data(), params[i].arrayBytes.size());
    (*handle)[i].arrayValue = array;
  }
  return handle;
}

Model& TheModel()
{
  static Model model;
  return model;
}

void ResetModel()
{
  TheModel() = Model{};
  FillNewProject(TheModel());
  ResetCallLog();
}

void NewProjectData()
{
  Model& model = TheModel();
  FillNewProject(model);
  model.project.teamwork = model.teamworkConnected;
  model.project.userId = model.teamworkUserId;
  model.selection.clear();
  model.partlySelected.clear();
  model.undoSteps.clear();
  model.redoSteps.clear();
}

void OpenProjectData(const ProjectData& data)
{
  NewProjectData();
  static_cast<ProjectData&>(TheModel()) = data;
}

API_DatabaseUnId FloorPlanDatabaseId()
{
  API_DatabaseUnId id;
  id.elemSetId[0] = 1;
  return id;
}

API_DatabaseUnId Model3DDatabaseId()
{
  API_DatabaseUnId id;
  id.elemSetId[0] = 1;
  id.elemSetId[1] = 4;
  return id;
}

// ---------------------------------------------------------------------------

StoredElement* FindElement(const API_Guid& guid)
{
  auto& elements = TheModel().elements;
  auto found = elements.find(guid);
  return found != elements.end() ? &found->second : nullptr;
}

GSErrCode CheckLive(const API_Guid& guid)
{
  const StoredElement* stored = FindElement(guid);
  if (stored == nullptr)
    return APIERR_BADID;
  return stored->deleted ? APIERR_DELETED : NoError;
}

StoredAttribute* FindAttribute(API_AttrTypeID type, Int32 index)
{
  auto& attributes = TheModel().attributes;
  auto list = attributes.find(type);
  if (list == attributes.end() || index < 1 || index > static_cast<Int32>(list->second.size()))
    return nullptr;
  StoredAttribute& stored = list->second[static_cast<std::size_t>(index - 1)];
  return stored.deleted ? nullptr : &stored;
}

Story* FindStory(short index)
{
  for (Story& story : TheModel().stories)
    if (story.index == index)
      return &story;
  return nullptr;
}

GSErrCode CheckLayerWritable(short layer)
{
  const StoredAttribute* stored = FindAttribute(API_LayerID, layer);
  if (stored == nullptr)
    return APIERR_BADINDEX;
  const UInt32 flags = stored->attribute.header.flags;
  if ((flags & APILay_Locked) != 0)
    return APIERR_LOCKEDLAY;
  if ((flags & APILay_Hidden) != 0)
    return APIERR_HIDDENLAY;
  return NoError;
}

GSErrCode CheckWritable(const StoredElement& stored)
{
  if (GSErrCode err = CheckLayerWritable(stored.element.header.layer); err != NoError)
    return err;
  const Model& model = TheModel();
  if (model.teamworkConnected && stored.element.header.userId != model.project.userId)
    return APIERR_NOTMINE;
  return NoError;
}

// ---------------------------------------------------------------------------

void TouchElement(const API_Guid& guid)
{
  auto& journal = TheModel().journal;
  if (!journal.has_value() || !journal->elementsTouched.insert(guid).second)
    return;
  journal->elementsBefore.emplace_back(guid, CurrentElementState(guid));
}

void TouchModule(const GS::UniString& name)
{
  auto& journal = TheModel().journal;
  if (!journal.has_value() || HasKey(journal->modulesBefore, name))
    return;
  journal->modulesBefore.emplace_back(name, CurrentModulState(name));
}

void BeginJournal() { TheModel().journal = Journal{}; }

UndoStep PeekJournal(const GS::UniString& name)
{
  UndoStep step;
  step.name = name;
  const auto& journal = TheModel().journal;
  if (!journal.has_value())
    return step;
  for (const auto& [guid, before] : journal->elementsBefore) {
    const StoredElement* current = FindElement(guid);
    // Made and deleted again within the step: nothing a user could undo.
    const bool cameAndWent = before == nullptr && current != nullptr && current->deleted;
    if (!SameState(before, current) && !cameAndWent)
      step.elements.push_back({guid, {before, CurrentElementState(guid)}});
  }
  for (const auto& [modulName, before] : journal->modulesBefore) {
    ModulState after = CurrentModulState(modulName);
    if (before != after)
      step.modules.push_back({modulName, {before, std::move(after)}});
  }
  return step;
}

UndoStep EndJournal(const GS::UniString& name)
{
  UndoStep step = PeekJournal(name);
  TheModel().journal.reset();
  return step;
}

void ForgetUnreachableElements()
{
  Model& model = TheModel();
  std::set<API_Guid> reachable;
  for (const auto* steps : {&model.undoSteps, &model.redoSteps})
    for (const UndoStep& step : *steps)
      for (const auto& entry : step.elements)
        reachable.insert(entry.first);
  if (model.journal.has_value())
    for (const auto& entry : model.journal->elementsBefore)
      reachable.insert(entry.first);
  std::erase_if(model.elements, [&](const auto& entry) {
    return entry.second.deleted && reachable.count(entry.first) == 0;
  });
  // An undone creation leaves its place in the order behind; once no step
  // can redo it, the place goes too.
  std::erase_if(model.creationOrder, [&](const API_Guid& guid) {
    return model.elements.count(guid) == 0 && reachable.count(guid) == 0;
  });
}

void ForgetUnreachableElements(const std::set<API_Guid>& candidates)
{
  Model& model = TheModel();
  std::set<API_Guid> gone;
  for (const API_Guid& guid : candidates)
    if (const auto it = model.elements.find(guid); it == model.elements.end() || it->second.deleted)
      gone.insert(guid);
  if (gone.empty())
    return;
  for (const auto* steps : {&model.undoSteps, &model.redoSteps})
    for (const UndoStep& step : *steps)
      for (const auto& entry : step.elements)
        gone.erase(entry.first);
  if (model.journal.has_value())
    for (const auto& entry : model.journal->elementsBefore)
      gone.erase(entry.first);
  if (gone.empty())
    return;
  for (const API_Guid& guid : gone)
    model.elements.erase(guid);
  std::erase_if(model.creationOrder, [&](const API_Guid& guid) { return gone.count(guid) != 0; });
}

bool RestoreStep(const UndoStep& step, bool toBefore)
{
  bool selectionChanged = false;
  for (const auto& [guid, states] : step.elements)
    selectionChanged |= PutElementState(guid, toBefore ? states.first : states.second);
  for (const auto& [modulName, states] : step.modules)
    PutModulState(modulName, toBefore ? states.first : states.second);
  return selectionChanged;
}

}  // namespace pln::host
