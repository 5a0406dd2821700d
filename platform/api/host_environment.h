#pragma once
// The project's environment: stories, project and place information,
// active libraries, databases and windows, the add-on's resources.
//
// Requests are four-character codes; the parameters each takes:
//   ACAPI_Environment
//     'GSTO' API_StoryInfo* out (data: a handle the caller frees)
//     'CSTO' API_StoryCmdType* (APIStory_GoTo: the story index must exist)
//     'PROJ' API_ProjectInfo* out
//     'GPLA' API_PlaceInfo* out; 'CPLA' const API_PlaceInfo* in
//     'GLIB' GS::Array<API_LibraryInfo>* out: the active libraries
//     'SLIB' const GS::Array<API_LibraryInfo>*: sets them and reloads
//     'ALIB' const GS::Array<API_LibraryInfo>*: sets them (libraries added)
//   ACAPI_Database
//     'GDAT' API_DatabaseInfo* out: the current database
//     'CDAT' const API_DatabaseInfo* in: makes it current (typeID, and the
//            id for anything but the floor plan and the 3D model; the 3D
//            model, type 4, lists no elements and takes none)
//     'NDAT' API_DatabaseInfo* in/out: a new worksheet (type 12) or layout
//            (type 5, on the master layout masterLayoutUnId); its id out
//     'GWDI' API_DatabaseUnId*** out: the worksheets in creation order, a
//            handle the caller frees (null when there is none)
//     'GMDI' API_DatabaseUnId*** out: the master layouts, likewise
//     'GDBI' API_DatabaseInfo* in (databaseUnId)/out
//     'GSCL' double* out: the current database's drawing scale (100: 1:100)
//     'GEIS' const API_Guid* in, GS::UniString* out: the element's ID text
//     'GWIN' API_WindowInfo* out: the front window
//   ACAPI_Automate
//     'CHWD' const API_WindowInfo* in: brings the window to the front; a
//            floor plan, worksheet or layout window makes its database
//            current, the 3D window (type 4) keeps the floor plan current
//     'SS3D' no parameters: shows the selection in the 3D window
// An unknown code answers APIERR_BADPARS; an unknown database id
// APIERR_BADDATABASE. The call log names a request by function and code
// ("ACAPI_Database:GDAT"), and FailOnce takes the same name.

#include "host_api_types.h"

using GSResModule = Int32;

// What an add-on tells the host about itself when the host checks it.
struct API_AddonInfo {
  GS::UniString name;
  GS::UniString description;
};

struct API_EnvirParams {
  API_AddonInfo addOnInfo;
};

// What CheckEnvironment answers for an add-on the host keeps loaded.
inline constexpr GSErrCode APIAddon_Normal = 1;

struct API_LibraryInfo {
  IO::Location location;
  bool operator==(const API_LibraryInfo&) const = default;
};

[[nodiscard]] GSErrCode ACAPI_Environment(Int32 code, void* par1 = nullptr, void* par2 = nullptr);
[[nodiscard]] GSErrCode ACAPI_Database(Int32 code, void* par1 = nullptr, void* par2 = nullptr);
[[nodiscard]] GSErrCode ACAPI_Automate(Int32 code, void* par1 = nullptr, void* par2 = nullptr);

// The add-on's own resource module (this host has one, numbered 1).
GSResModule ACAPI_GetOwnResModule();
// The string index (1-based) of the string list resId; false and an empty
// text when there is none.
bool RSGetIndString(GS::UniString* text, short resId, Int32 index, GSResModule module);

namespace pln::host {
// Test hooks.
void SetResourceString(short resId, Int32 index, const GS::UniString& text);
API_DatabaseUnId AddMasterLayout(const GS::UniString& name);
[[nodiscard]] GSErrCode SetDatabaseScale(const API_DatabaseUnId& id, double scale);
std::vector<API_LibraryInfo> ActiveLibraries();
int LibraryReloadCount();
}  // namespace pln::host
