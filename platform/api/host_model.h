#pragma once
// The project the stand-in host keeps in memory, and the bookkeeping shared
// by the add-on interface and the test fixture: elements by GUID with their
// memos, user data and observer flags; attributes; stories; databases;
// module data; selection; teamwork; installed notification handlers; the
// undo history. Nothing here is part of the add-on interface itself.
//
// Undo: every write to an element or a module-data record goes through
// TouchElement/TouchModule first. Inside an undoable command (or a user
// action of the fixture) that remembers the state before the first write;
// when the command ends, the states before and after form one undo step
// unless they are equal.

#include "host_api_types.h"
#include "host_body.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pln::host {

// ---------------------------------------------------------------------------
// Owned forms of what the interface hands out as handles

struct StoredParam {
  API_AddParType record;  // arrayValue always null here
  std::vector<char> arrayBytes;
  bool operator==(const StoredParam&) const = default;
};

std::vector<StoredParam> StoreParams(API_AddParType* const* list);
// A fresh counted handle; null when the list is empty or memory runs out.
API_AddParType** ParamsToHandle(const std::vector<StoredParam>& params);

// A parameter list shared by the copies of an element until one of them
// is given a new list: the undo history keeps whole elements before and
// after each step, and most steps leave the (long) list as it was.
class SharedParams {
public:
  SharedParams() = default;
  // Implicit, so that a list is assigned as a plain vector is.
  SharedParams(std::vector<StoredParam> params)  // NOLINT(google-explicit-constructor)
  {
    if (!params.empty())
      list_ = std::make_shared<const std::vector<StoredParam>>(std::move(params));
  }
  const std::vector<StoredParam>& Get() const
  {
    static const std::vector<StoredParam> none;
    return list_ != nullptr ? *list_ : none;
  }
  operator const std::vector<StoredParam>&() const { return Get(); }  // NOLINT(google-explicit-constructor)
  bool empty() const { return list_ == nullptr; }
  std::size_t size() const { return Get().size(); }
  std::vector<StoredParam>::const_iterator begin() const { return Get().begin(); }
  std::vector<StoredParam>::const_iterator end() const { return Get().end(); }
  bool operator==(const SharedParams& other) const { return list_ == other.list_ || Get() == other.Get(); }

private:
  std::shared_ptr<const std::vector<StoredParam>> list_;  // null: no parameters
};

struct StoredMemo {
  std::vector<API_Coord> coords;  // 1-based: entry 0 is unused; empty when none
  std::vector<Int32> pends;
  std::vector<API_PolyArc> parcs;
  SharedParams params;
  std::optional<std::string> textContent;  // without its NUL
  std::vector<double> meshPolyZ;
  std::vector<API_MeshLevelCoord> meshLevelCoords;
  std::vector<Int32> meshLevelEnds;
  std::vector<API_Coord> refCoords;
  std::vector<Int32> refPends;
  std::vector<API_PolyArc> refParcs;
  std::vector<char> morphBody;  // packed (PackBody); empty when none
  bool operator==(const StoredMemo&) const = default;
};

struct StoredUserData {
  short dataVersion = 0;
  unsigned short platformSign = 0;
  UInt32 flags = 0;
  std::vector<char> bytes;
  bool operator==(const StoredUserData&) const = default;
};

struct StoredElement {
  API_Element element;
  StoredMemo memo;
  std::optional<StoredUserData> userData;
  bool observed = false;
  // A deleted element stays known: reads answer APIERR_DELETED and its user
  // data can still be read.
  bool deleted = false;
  API_DatabaseUnId database;
  GS::UniString infoString;
  bool operator==(const StoredElement&) const = default;
};

struct StoredModulData {
  Int32 dataVersion = 0;
  unsigned short platformSign = 0;
  std::vector<char> bytes;
  bool operator==(const StoredModulData&) const = default;
};

struct StoredAttribute {
  API_Attribute attribute;  // zoneCat.stampParams always null here
  std::vector<StoredParam> stampParams;
  bool deleted = false;
};

struct Story {
  short index = 0;
  double level = 0.0;
  GS::UniString name;
};

struct StoredDatabase {
  API_DatabaseInfo info;
  double scale = 100.0;  // drawing scale denominator; plain 1:100 for new ones
};

// ---------------------------------------------------------------------------
// Undo

// Shared and never changed once taken, so steps are copied and replayed
// without copying whole elements; null: never existed.
using ElementState = std::shared_ptr<const StoredElement>;
using ModulState = std::optional<StoredModulData>;

struct UndoStep {
  GS::UniString name;
  // In the order of the first write, with the states before and after.
  std::vector<std::pair<API_Guid, std::pair<ElementState, ElementState>>> elements;
  std::vector<std::pair<GS::UniString, std::pair<ModulState, ModulState>>> modules;
  bool IsEmpty() const { return elements.empty() && modules.empty(); }
};

struct Journal {
  std::vector<std::pair<API_Guid, ElementState>> elementsBefore;
  // The keys of elementsBefore, so that a touch need not scan the list.
  std::set<API_Guid> elementsTouched;
  std::vector<std::pair<GS::UniString, ModulState>> modulesBefore;
};

// ---------------------------------------------------------------------------
// Notification handlers installed by the add-on

struct Handlers {
  APIElementEventHandlerProc* newElement = nullptr;
  std::optional<API_ElemTypeID> newElementType;  // nullopt: every type
  APIElementEventHandlerProc* observer = nullptr;
  APISelectionChangeHandlerProc* selection = nullptr;
  APIReservationChangeHandlerProc* reservation = nullptr;
  std::map<UInt32, APIProjectEventHandlerProc*> projectEvents;  // by event bit
};

// ---------------------------------------------------------------------------
// The model

// What a saved project file holds.
struct ProjectData {
  // Elements, in creation order per database.
  std::map<API_Guid, StoredElement> elements;
  std::vector<API_Guid> creationOrder;
  Int32 nextDrawIndex = 1;
  // What ACAPI_Element_GetDefaults answers per type, where a test set it.
  std::map<API_ElemTypeID, API_Element> defaults;

  // Attributes by type; index i lives at position i - 1.
  std::map<API_AttrTypeID, std::vector<StoredAttribute>> attributes;

  std::vector<Story> stories;  // ascending by index, without gaps
  short activeStory = 0;

  // Worksheets and layouts, in creation order; the floor plan is implicit.
  std::vector<StoredDatabase> databases;
  std::vector<StoredDatabase> masterLayouts;
  UInt32 nextDatabaseId = 2;
  double floorPlanScale = 100.0;

  std::map<GS::UniString, StoredModulData> modulData;

  API_ProjectInfo project;
  API_PlaceInfo place;

  // Subtracting solid links, in the order they were made.
  SolidLinks solidLinks;
};

// The project plus what belongs to the running host and its add-on.
struct Model : ProjectData {
  API_DatabaseInfo currentDatabase;
  API_WindowInfo frontWindow;

  std::vector<IO::Location> libraries;  // active libraries
  int libraryReloads = 0;

  // Teamwork; the project information mirrors the connection and this
  // user's id.
  bool teamworkConnected = false;
  bool teamworkOnline = false;
  short teamworkUserId = 0;

  std::vector<API_Guid> selection;
  // Elements of the selection that the user's marquee covers only in part.
  std::vector<API_Guid> partlySelected;
  Handlers handlers;

  // Undo. The history keeps the newest undoDepth steps, as a host bounds
  // its own; the default holds every step a test of the system makes.
  static constexpr std::size_t kDefaultUndoDepth = 100;
  std::vector<UndoStep> undoSteps;
  std::vector<UndoStep> redoSteps;
  std::size_t undoDepth = kDefaultUndoDepth;
  std::optional<Journal> journal;
  int commandDepth = 0;

  // Resources of the add-on: strings by (list id, index).
  std::map<std::pair<short, short>, GS::UniString> resourceStrings;
  // Menu items by (menu resource id, item index): text and flags.
  std::map<std::pair<short, short>, std::pair<GS::UniString, Int32>> menuItems;
  // Registered menus by resource id, with their command handler (null
  // until installed).
  std::map<short, APIMenuCommandProc*> menus;

  // Bodies being built, by the builder handed out (a counted handle, so a
  // builder never disposed shows as a live handle).
  std::map<const void*, StoredBody> bodyBuilders;
  Model3D model3D;
};

Model& TheModel();
// An untitled project with one story, one layer, one pen, one line type and
// one fill (see the definition for the values); clears the call log too.
void ResetModel();
// A new, untitled project in the running host: the project data as
// ResetModel makes it; the floor plan current; no selection, no history.
void NewProjectData();
// Replaces the project data by a saved one, likewise.
void OpenProjectData(const ProjectData& data);

// The floor plan's database id (a fixed value, never handed to a worksheet).
API_DatabaseUnId FloorPlanDatabaseId();
// The 3D model's database id, likewise fixed. The database holds no element
// of its own: its element lists are empty and nothing can be placed in it.
API_DatabaseUnId Model3DDatabaseId();

// ---------------------------------------------------------------------------
// Lookups shared by the interface files

// The stored element, deleted ones included; nullptr when unknown.
StoredElement* FindElement(const API_Guid& guid);
// NoError, APIERR_BADID (unknown) or APIERR_DELETED.
[[nodiscard]] GSErrCode CheckLive(const API_Guid& guid);
StoredAttribute* FindAttribute(API_AttrTypeID type, Int32 index);  // live ones only
Story* FindStory(short index);

// Whether this user may write the element: its layer must be shown and
// unlocked (APIERR_HIDDENLAY, APIERR_LOCKEDLAY) and, in teamwork, it must
// be reserved by this user (APIERR_NOTMINE).
[[nodiscard]] GSErrCode CheckLayerWritable(short layer);
[[nodiscard]] GSErrCode CheckWritable(const StoredElement& stored);
// CheckLive, then CheckWritable, for each element in turn; the first failure.
template <class Guids>
[[nodiscard]] GSErrCode CheckAllWritable(const Guids& guids)
{
  for (const API_Guid& guid : guids) {
    if (GSErrCode err = CheckLive(guid); err != NoError)
      return err;
    if (GSErrCode err = CheckWritable(*FindElement(guid)); err != NoError)
      return err;
  }
  return NoError;
}

// ---------------------------------------------------------------------------
// Journal

void TouchElement(const API_Guid& guid);
void TouchModule(const GS::UniString& name);
void BeginJournal();
// The step made of the journal (empty when nothing changed); stops journaling.
UndoStep EndJournal(const GS::UniString& name);
// The step the journal holds so far; journaling goes on.
UndoStep PeekJournal(const GS::UniString& name);
// Puts back the chosen side of every entry of the step; true when an
// element that went away was selected.
bool RestoreStep(const UndoStep& step, bool toBefore);
// Forgets the deleted elements that no undo or redo step (nor the open
// journal) can bring back, so a long session does not keep every element
// it ever deleted.
void ForgetUnreachableElements();
// The same for the candidates only: the elements of the steps just
// dropped, which alone can have lost their last step.
void ForgetUnreachableElements(const std::set<API_Guid>& candidates);

}  // namespace pln::host
