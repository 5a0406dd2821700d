#pragma once
// HostFixture: the one driver of the stand-in host for tests. Making one
// resets every global state of the host (foundation, project model, library
// parts, user interface), then a test builds the project, queues what the
// user will do at the host's prompts, acts as the user and inspects the
// result.
//
// Building (Add..., Set...) writes the project directly: no undo step, no
// notification, nothing in the call log. Acting as the user (User...) makes
// one undo step per action and reports it through the installed handlers,
// as the host does for its own commands. Neither consumes a failure queued
// with FailOnce.

#include "dg_filedialog.h"
#include "dg_user.h"
#include "host_alert.h"
#include "host_api_types.h"
#include "host_elements.h"
#include "host_input.h"
#include "host_libpart.h"
#include "host_model.h"
#include "host_progress.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A memo polygon made from plain contours (each given without its closing
// repeat, the first the outer one); arcs use the 1-based indices of the
// closed coordinate list. Frees its handles when it goes.
class PolygonMemo {
public:
  PolygonMemo(const std::vector<std::vector<API_Coord>>& contours, const std::vector<API_PolyArc>& arcs = {},
              bool closed = true);
  ~PolygonMemo();
  PolygonMemo(const PolygonMemo&) = delete;
  PolygonMemo& operator=(const PolygonMemo&) = delete;

  const API_Polygon& Polygon() const { return polygon_; }
  API_ElementMemo* Memo() { return &memo_; }

private:
  API_Polygon polygon_;
  API_ElementMemo memo_;
};

class HostFixture {
public:
  HostFixture();
  // Resets the host again, as a new fixture would.
  void Reset();

  // --- Building the project -------------------------------------------------
  // Stories keep ascending indices without gaps; a new index must extend
  // the range at either end.
  GSErrCode AddStory(short index, double level, const GS::UniString& name);
  Int32 AddAttribute(API_Attribute attribute);
  Int32 AddLayer(const GS::UniString& name, UInt32 flags = 0);
  GSErrCode SetLayerFlags(short layer, UInt32 flags);
  Int32 AddPen(const API_RGBColor& rgb, double width = 0.18);
  Int32 AddFont(const GS::UniString& name);
  Int32 AddZoneCategory(const GS::UniString& name, const GS::UniString& code, const API_RGBColor& rgb);
  // Creates the element as the add-on would (same checks), silently.
  GSErrCode AddElement(API_Element& element, API_ElementMemo* memo = nullptr);
  // Sets the polygon counts of the element's kind from the memo and creates it.
  GSErrCode AddPolygonElement(API_Element& element, PolygonMemo& polygon);
  GSErrCode SetUserData(const API_Guid& guid, short version, unsigned short platformSign, const std::vector<char>& bytes);
  void SetTeamwork(bool connected, bool online, short userId);
  GSErrCode SetOwner(const API_Guid& guid, short userId);
  GSErrCode SetHotlinkNode(const API_Guid& guid, const API_Guid& node);
  GSErrCode SetInfoString(const API_Guid& guid, const GS::UniString& text);
  void SetResourceString(short resId, Int32 index, const GS::UniString& text);
  // The add-on's nine library parts.
  void LoadAddOnLibraryParts();

  // --- What the user will do at the host's prompts -------------------------
  void QueuePick(const API_Coord3D& position, const std::vector<API_Coord3D>& cursorMoves = {});
  void QueueAlertAnswer(short button);
  void QueueProgressCancel(Int32 queriesBefore = 0);
  // Dialogs: declare a resource before the add-on opens it; a modal
  // dialog runs the next script queued for its resource (dg_user.h).
  void DefineDialog(short resId, pln::host::DGDialogDef def);
  void QueueDialogScript(short resId, pln::host::DialogScript script);
  void QueueFileChoice(const IO::Location& file);
  void QueueFileDialogCancel();

  // --- Acting as the user ----------------------------------------------------
  // A new element; with user data it is what pasting a placed figure from
  // elsewhere looks like.
  GSErrCode UserPlace(API_Element& element, API_ElementMemo* memo = nullptr, const API_UserData* userData = nullptr);
  // Copies carry the originals' user data and observers.
  GSErrCode UserCopy(const std::vector<API_Guid>& guids, const API_Coord& offset, std::vector<API_Guid>* copies = nullptr);
  GSErrCode UserMove(const std::vector<API_Guid>& guids, const API_Coord& offset);
  GSErrCode UserEdit(const API_Guid& guid, const std::function<void(API_Element&)>& edit);
  GSErrCode UserDelete(const std::vector<API_Guid>& guids);
  // Replaces the selection.
  GSErrCode UserSelect(const std::vector<API_Guid>& guids);
  GSErrCode UserChangeStory(short index);
  GSErrCode UserChooseMenuItem(short menuResID, short itemIndex);
  GSErrCode UserUndo();
  GSErrCode UserRedo();
  void UserNewProject();
  // The first save of an untitled project names it "Project" in the
  // folder "Projects" of the sandbox.
  void UserSaveProject();
  void UserCloseProject();
  // APIERR_GENERAL when nothing was saved.
  GSErrCode UserReopenProject();

  // --- Inspecting ------------------------------------------------------------
  // The stored element, deleted ones included; null when unknown.
  const pln::host::StoredElement* Element(const API_Guid& guid) const;
  // Live elements of the type (API_ZombieElemID: all) in any database.
  std::vector<API_Guid> ElementsOfType(API_ElemTypeID type) const;
  // The element's parameter of that name (the last one when the list
  // repeats it); null when it has none.
  const pln::host::StoredParam* Parameter(const API_Guid& guid, const char* name) const;
  std::optional<pln::host::StoredModulData> ModulData(const GS::UniString& name) const;
  std::vector<GS::UniString> UndoNames() const;
  std::vector<GS::UniString> RedoNames() const;
  const std::vector<std::string>& CallLog() const;
  const std::vector<pln::host::AlertRecord>& Alerts() const;
  const std::vector<pln::host::RubberDrawing>& RubberDrawings() const;
  const pln::host::ProgressState& Progress() const;
  const std::vector<pln::host::FileDialogRecord>& FileDialogs() const;
  const std::vector<std::string>& DialogMisuses() const;
  void ClearCallLog();
  void FailOnce(const std::string& callName, GSErrCode code);
  // Library-part parameter writes ('CHGP') in order; the next write of that
  // name answers code.
  const std::vector<pln::host::ParamChange>& ParamChanges() const;
  void FailParamChangeOnce(const std::string& name, GSErrCode code);
  // Element changes with their mask's field count and memo mask.
  const std::vector<pln::host::ElementChange>& ElementChanges() const;
  void ClearChangeRecords();
  // Live handles now minus those live when the fixture was (re)set.
  std::ptrdiff_t HandlesSinceReset() const;

private:
  std::optional<pln::host::ProjectData> savedProject_;
  std::size_t handleBaseline_ = 0;
};
