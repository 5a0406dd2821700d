#pragma once
// What the host sees of the add-on: the four entry functions, the menu
// command and the callbacks through which notifications arrive, all
// passing through the one main palette.
//
// The palette lives in static storage from module load to module unload;
// PlenimetraModuleLoad / PlenimetraModuleUnload stand for the loading and
// unloading of the module (a test loads a fresh one per case).

#include "dg_addon.h"
#include "host_api_types.h"
#include "host_environment.h"

class CPlenimetraPalette;

CPlenimetraPalette& PlenimetraPalette();
void PlenimetraModuleLoad();
void PlenimetraModuleUnload();

[[nodiscard]] GSErrCode CheckEnvironment(API_EnvirParams* envir);
[[nodiscard]] GSErrCode RegisterInterface();
[[nodiscard]] GSErrCode Initialize();
[[nodiscard]] GSErrCode FreeData();

[[nodiscard]] GSErrCode CommandHandler(const API_MenuParams* params);
[[nodiscard]] GSErrCode ProjectionNotificationHandler(API_NotifyEventID event, Int32 param);
[[nodiscard]] GSErrCode PlenimetraElementEventHandler(const API_NotifyElementType* notification);
[[nodiscard]] GSErrCode PlenimetraSelectionChangeHandler(const API_Neig* neig);
[[nodiscard]] GSErrCode PlenimetraReservationChangeHandler(const GS::HashTable<API_Guid, short>& reserved,
                                             const GS::HashSet<API_Guid>& released,
                                             const GS::HashSet<API_Guid>& deleted);

// The entry functions as the host's loader takes them.
pln::host::AddOnEntryPoints PlenimetraEntryPoints();
// The add-on's resources: string lists, menu, dialog layouts, icons.
pln::host::AddOnResources PlenimetraResources();

// The add-on's identifier pair (help location).
inline constexpr UInt32 kPlenimetraDeveloperId = 0x504C4E4D;
inline constexpr UInt32 kPlenimetraLocalId = 0x0000181B;
// Project events the palette hears: 0x1 to 0x800, story changes and 0x80000.
inline constexpr UInt32 kPlenimetraProjectEvents = 0x180fff;
