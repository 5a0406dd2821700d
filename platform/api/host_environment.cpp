#include "host_environment.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace pln::host;

namespace {

// ---------------------------------------------------------------------------
// Stories, project, place, libraries

GSErrCode GetStoryInfo(API_StoryInfo* info)
{
  const Model& model = TheModel();
  *info = API_StoryInfo{};
  info->firstStory = model.stories.front().index;
  info->lastStory = model.stories.back().index;
  info->actStory = model.activeStory;
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(model.stories.size() * sizeof(API_StoryType)), ALLOCATE_CLEAR, 0);
  if (handle == nullptr)
    return APIERR_MEMFULL;
  auto records = reinterpret_cast<API_StoryType*>(*handle);
  for (std::size_t i = 0; i < model.stories.size(); ++i) {
    const Story& story = model.stories[i];
    records[i].index = story.index;
    records[i].level = story.level;
    // Names longer than the record holds are cut; the record keeps its NUL.
    const std::size_t length = std::min<std::size_t>(story.name.GetLength(), API_StoryNameLen - 1);
    std::copy_n(story.name.ToUStr(), length, records[i].uName);
  }
  info->data = reinterpret_cast<API_StoryType**>(handle);
  return NoError;
}

GSErrCode StoryCommand(const API_StoryCmdType* command)
{
  if (command->action != APIStory_GoTo)
    return APIERR_BADPARS;
  if (FindStory(command->index) == nullptr)
    return APIERR_BADINDEX;
  TheModel().activeStory = command->index;
  return NoError;
}

GSErrCode SetPlace(const API_PlaceInfo* place)
{
  if (!std::isfinite(place->north) || place->north < 0.0 || place->north >= 2.0 * std::numbers::pi)
    return APIERR_BADVALUE;
  TheModel().place = *place;
  return NoError;
}

void GetLibraries(GS::Array<API_LibraryInfo>* list)
{
  list->Clear();
  for (const IO::Location& location : TheModel().libraries)
    list->Push(API_LibraryInfo{location});
}

void SetLibraries(const GS::Array<API_LibraryInfo>& list, bool reload)
{
  auto& libraries = TheModel().libraries;
  libraries.clear();
  for (const API_LibraryInfo& library : list)
    libraries.push_back(library.location);
  if (reload)
    ++TheModel().libraryReloads;
}

// ---------------------------------------------------------------------------
// Databases and windows

StoredDatabase* FindDatabase(std::vector<StoredDatabase>& list, const API_DatabaseUnId& id)
{
  for (StoredDatabase& database : list)
    if (database.info.databaseUnId == id)
      return &database;
  return nullptr;
}

// The database of the id among worksheets, layouts and master layouts.
StoredDatabase* FindAnyDatabase(const API_DatabaseUnId& id)
{
  if (StoredDatabase* found = FindDatabase(TheModel().databases, id))
    return found;
  return FindDatabase(TheModel().masterLayouts, id);
}

API_DatabaseInfo FloorPlanInfo()
{
  API_DatabaseInfo info;
  info.typeID = APIWind_FloorPlanID;
  info.databaseUnId = FloorPlanDatabaseId();
  return info;
}

API_DatabaseInfo Model3DInfo()
{
  API_DatabaseInfo info;
  info.typeID = APIWind_3DModelID;
  info.databaseUnId = Model3DDatabaseId();
  return info;
}

API_DatabaseUnId NewDatabaseId()
{
  API_DatabaseUnId id;
  id.elemSetId[0] = TheModel().nextDatabaseId++;
  return id;
}

GSErrCode ChangeDatabase(const API_DatabaseInfo* wanted)
{
  Model& model = TheModel();
  if (wanted->typeID == APIWind_FloorPlanID) {
    model.currentDatabase = FloorPlanInfo();
    return NoError;
  }
  if (wanted->typeID == APIWind_3DModelID) {
    model.currentDatabase = Model3DInfo();
    return NoError;
  }
  const StoredDatabase* found = FindDatabase(model.databases, wanted->databaseUnId);
  if (found == nullptr || found->info.typeID != wanted->typeID)
    return APIERR_BADDATABASE;
  model.currentDatabase = found->info;
  return NoError;
}

GSErrCode NewDatabase(API_DatabaseInfo* info)
{
  if (info->typeID != APIWind_WorksheetID && info->typeID != APIWind_LayoutID)
    return APIERR_BADPARS;
  if (info->typeID == APIWind_LayoutID && FindDatabase(TheModel().masterLayouts, info->masterLayoutUnId) == nullptr)
    return APIERR_BADDATABASE;
  StoredDatabase database;
  database.info = *info;
  database.info.databaseUnId = NewDatabaseId();
  TheModel().databases.push_back(database);
  info->databaseUnId = database.info.databaseUnId;
  return NoError;
}

GSErrCode ListDatabases(const std::vector<StoredDatabase>& list, API_DatabaseTypeID type, API_DatabaseUnId*** out)
{
  std::vector<API_DatabaseUnId> ids;
  for (const StoredDatabase& database : list)
    if (database.info.typeID == type)
      ids.push_back(database.info.databaseUnId);
  *out = nullptr;
  if (ids.empty())
    return NoError;
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(ids.size() * sizeof(API_DatabaseUnId)), 0, 0);
  if (handle == nullptr)
    return APIERR_MEMFULL;
  std::memcpy(*handle, ids.data(), ids.size() * sizeof(API_DatabaseUnId));
  *out = reinterpret_cast<API_DatabaseUnId**>(handle);
  return NoError;
}

GSErrCode GetDatabaseInfo(API_DatabaseInfo* info)
{
  if (info->databaseUnId == FloorPlanDatabaseId()) {
    *info = FloorPlanInfo();
    return NoError;
  }
  if (info->databaseUnId == Model3DDatabaseId()) {
    *info = Model3DInfo();
    return NoError;
  }
  const StoredDatabase* found = FindAnyDatabase(info->databaseUnId);
  if (found == nullptr)
    return APIERR_BADDATABASE;
  *info = found->info;
  return NoError;
}

double CurrentScale()
{
  const Model& model = TheModel();
  if (model.currentDatabase.typeID == APIWind_FloorPlanID)
    return model.floorPlanScale;
  const StoredDatabase* found = FindAnyDatabase(model.currentDatabase.databaseUnId);
  return found != nullptr ? found->scale : model.floorPlanScale;
}

GSErrCode GetElementInfoString(const API_Guid* guid, GS::UniString* text)
{
  if (GSErrCode err = CheckLive(*guid); err != NoError)
    return err;
  *text = FindElement(*guid)->infoString;
  return NoError;
}

GSErrCode ChangeWindow(const API_WindowInfo* window)
{
  Model& model = TheModel();
  if (window->typeID == APIWind_3DModelID) {
    model.frontWindow = API_WindowInfo{};
    model.frontWindow.typeID = APIWind_3DModelID;
    model.currentDatabase = FloorPlanInfo();
    return NoError;
  }
  API_DatabaseInfo wanted;
  wanted.typeID = window->typeID;
  wanted.databaseUnId = window->databaseUnId;
  if (GSErrCode err = ChangeDatabase(&wanted); err != NoError)
    return err;
  model.frontWindow = *window;
  model.frontWindow.databaseUnId = model.currentDatabase.databaseUnId;
  return NoError;
}

GSErrCode EnvironmentRequest(Int32 code, void* par1)
{
  switch (code) {
  case 'GSTO':
    return GetStoryInfo(static_cast<API_StoryInfo*>(par1));
  case 'CSTO':
    return StoryCommand(static_cast<const API_StoryCmdType*>(par1));
  case 'PROJ':
    *static_cast<API_ProjectInfo*>(par1) = TheModel().project;
    return NoError;
  case 'GPLA':
    *static_cast<API_PlaceInfo*>(par1) = TheModel().place;
    return NoError;
  case 'CPLA':
    return SetPlace(static_cast<const API_PlaceInfo*>(par1));
  case 'GLIB':
    GetLibraries(static_cast<GS::Array<API_LibraryInfo>*>(par1));
    return NoError;
  case 'SLIB':
  case 'ALIB':
    SetLibraries(*static_cast<const GS::Array<API_LibraryInfo>*>(par1), code == 'SLIB');
    return NoError;
  default:
    return APIERR_BADPARS;
  }
}

GSErrCode DatabaseRequest(Int32 code, void* par1, void* par2)
{
  Model& model = TheModel();
  switch (code) {
  case 'GDAT':
    *static_cast<API_DatabaseInfo*>(par1) = model.currentDatabase;
    return NoError;
  case 'CDAT':
    return ChangeDatabase(static_cast<const API_DatabaseInfo*>(par1));
  case 'NDAT':
    return NewDatabase(static_cast<API_DatabaseInfo*>(par1));
  case 'GWDI':
    return ListDatabases(model.databases, APIWind_WorksheetID, static_cast<API_DatabaseUnId***>(par1));
  case 'GMDI':
    return ListDatabases(model.masterLayouts, APIWind_MasterLayoutID, static_cast<API_DatabaseUnId***>(par1));
  case 'GDBI':
    return GetDatabaseInfo(static_cast<API_DatabaseInfo*>(par1));
  case 'GSCL':
    *static_cast<double*>(par1) = CurrentScale();
    return NoError;
  case 'GEIS':
    if (par2 == nullptr)
      return APIERR_BADPARS;
    return GetElementInfoString(static_cast<const API_Guid*>(par1), static_cast<GS::UniString*>(par2));
  case 'GWIN':
    *static_cast<API_WindowInfo*>(par1) = model.frontWindow;
    return NoError;
  default:
    return APIERR_BADPARS;
  }
}

GSErrCode AutomateRequest(Int32 code, void* par1)
{
  switch (code) {
  case 'CHWD':
    if (par1 == nullptr)
      return APIERR_BADPARS;
    return ChangeWindow(static_cast<const API_WindowInfo*>(par1));
  case 'SS3D':
    TheModel().frontWindow = API_WindowInfo{};
    TheModel().frontWindow.typeID = APIWind_3DModelID;
    return NoError;
  default:
    return APIERR_BADPARS;
  }
}

}  // namespace

GSErrCode ACAPI_Environment(Int32 code, void* par1, void* /*par2*/)
{
  if (GSErrCode err = EnterRequest("ACAPI_Environment", code); err != NoError)
    return err;
  if (par1 == nullptr)
    return APIERR_BADPARS;
  return EnvironmentRequest(code, par1);
}

GSErrCode ACAPI_Database(Int32 code, void* par1, void* par2)
{
  if (GSErrCode err = EnterRequest("ACAPI_Database", code); err != NoError)
    return err;
  if (par1 == nullptr)
    return APIERR_BADPARS;
  return DatabaseRequest(code, par1, par2);
}

GSErrCode ACAPI_Automate(Int32 code, void* par1, void* /*par2*/)
{
  if (GSErrCode err = EnterRequest("ACAPI_Automate", code); err != NoError)
    return err;
  return AutomateRequest(code, par1);
}

GSResModule ACAPI_GetOwnResModule()
{
  LogCall("ACAPI_GetOwnResModule");
  return 1;
}

bool RSGetIndString(GS::UniString* text, short resId, Int32 index, GSResModule module)
{
  LogCall("RSGetIndString");
  if (text == nullptr)
    return false;
  text->Clear();
  if (module != ACAPI_GetOwnResModule() || index < 1 || index > 0x7FFF)
    return false;
  const auto& strings = TheModel().resourceStrings;
  auto found = strings.find({resId, static_cast<short>(index)});
  if (found == strings.end())
    return false;
  *text = found->second;
  return true;
}

namespace pln::host {

void SetResourceString(short resId, Int32 index, const GS::UniString& text)
{
  TheModel().resourceStrings[{resId, static_cast<short>(index)}] = text;
}

API_DatabaseUnId AddMasterLayout(const GS::UniString& name)
{
  StoredDatabase database;
  database.info.typeID = APIWind_MasterLayoutID;
  database.info.databaseUnId = NewDatabaseId();
  database.info.name = name;
  TheModel().masterLayouts.push_back(database);
  return database.info.databaseUnId;
}

GSErrCode SetDatabaseScale(const API_DatabaseUnId& id, double scale)
{
  if (!(scale > 0.0))
    return APIERR_BADVALUE;
  if (id == FloorPlanDatabaseId()) {
    TheModel().floorPlanScale = scale;
    return NoError;
  }
  StoredDatabase* found = FindAnyDatabase(id);
  if (found == nullptr)
    return APIERR_BADDATABASE;
  found->scale = scale;
  return NoError;
}

std::vector<API_LibraryInfo> ActiveLibraries()
{
  std::vector<API_LibraryInfo> copy;
  for (const IO::Location& location : TheModel().libraries)
    copy.push_back(API_LibraryInfo{location});
  return copy;
}

int LibraryReloadCount() { return TheModel().libraryReloads; }

}  // namespace pln::host
