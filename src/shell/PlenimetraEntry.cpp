#include "PlenimetraEntry.h"

#include "CPlenimetraFunc1.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraPalette.h"
#include "host_debug.h"
#include "host_goodies.h"
#include "host_libpart.h"
#include "host_notify.h"
#include "io_filesystem.h"

#include <optional>

namespace {

// Static storage, constructed at module load and destroyed at unload.
std::optional<CPlenimetraPalette> thePalette;

constexpr short kAddOnInfoResId = 32000;
constexpr short kMenuResId = 32500;
constexpr short kMenuPromptResId = 32520;
constexpr Int32 kMenuPosCode = 5;

// The palette's pages, each filling its slot.
void InstallPages()
{
  CPlenimetraPalette::SetPageMaker(CPlenimetraPalette::kFigureList, MakeFigureListPage);
  CPlenimetraPalette::SetPageMaker(CPlenimetraPalette::kTree, CPlenimetraFunc2::Make);
  CPlenimetraPalette::SetPageMaker(CPlenimetraPalette::kAutoArea, CPlenimetraFunc3::Make);
}

}  // namespace

CPlenimetraPalette& PlenimetraPalette()
{
  if (!thePalette.has_value()) {
    thePalette.emplace();
    InstallPages();
  }
  return *thePalette;
}

void PlenimetraModuleLoad()
{
  thePalette.reset();
  thePalette.emplace();
  InstallPages();
}

void PlenimetraModuleUnload() { thePalette.reset(); }

GSErrCode CheckEnvironment(API_EnvirParams* envir)
{
  RSGetIndString(&envir->addOnInfo.name, kAddOnInfoResId, 1, ACAPI_GetOwnResModule());
  RSGetIndString(&envir->addOnInfo.description, kAddOnInfoResId, 2, ACAPI_GetOwnResModule());
  return APIAddon_Normal;
}

GSErrCode RegisterInterface()
{
  // Without the library no figure can be placed, so a menu the host refused
  // is only noted and the library is registered all the same.
  if (ACAPI_Register_Menu(kMenuResId, kMenuPromptResId, kMenuPosCode, 0) != NoError)
    DBPrintf("RegisterInterface() ACAPI_Register_Menu failed\n");
  const GSErrCode err = ACAPI_Register_BuiltInLibrary();
  if (err != NoError)
    DBPrintf("RegisterInterface() ACAPI_Register_BuiltInLibraryr failed\n");
  return err;
}

GSErrCode Initialize()
{
  GSErrCode err = ACAPI_Install_MenuHandler(kMenuResId, CommandHandler);
  if (err == NoError)
    err = ACAPI_Notify_CatchProjectEvent(kPlenimetraProjectEvents, ProjectionNotificationHandler);
  // The help pages are optional: the add-on works without them.
  IO::Location own;
  (void)ACAPI_GetOwnLocation(&own);
  (void)DG::RegisterAdditionalHelpLocation(kPlenimetraDeveloperId, kPlenimetraLocalId, own, GS::UniString(),
                                           GS::UniString());
  return err;
}

// The whole mask Initialize installed: leaving out 0x100000 would keep
// story changes calling into an unloaded add-on.
GSErrCode FreeData()
{
  // Unloading goes on whatever the host answers.
  (void)DG::UnregisterAdditionalHelpLocation(kPlenimetraDeveloperId, kPlenimetraLocalId);
  (void)ACAPI_Notify_CatchProjectEvent(kPlenimetraProjectEvents, nullptr);
  return NoError;
}

GSErrCode CommandHandler(const API_MenuParams* /*params*/)
{
  CPlenimetraPalette& palette = PlenimetraPalette();
  // A palette that cannot open has shown why; the menu command is done.
  if (palette.IsToolPaletteOpened())
    palette.ClosePalette();
  else
    static_cast<void>(palette.OpenPalette());
  return NoError;
}

GSErrCode ProjectionNotificationHandler(API_NotifyEventID event, Int32 /*param*/)
{
  PlenimetraPalette().ProjectionNotification(event);
  return NoError;
}

GSErrCode PlenimetraElementEventHandler(const API_NotifyElementType* notification)
{
  if (PlenimetraPalette().IsOn())
    return PlenimetraPalette().ElementEventHandlerProc(notification);
  return NoError;
}

GSErrCode PlenimetraSelectionChangeHandler(const API_Neig* neig)
{
  if (PlenimetraPalette().IsOn())
    return PlenimetraPalette().SelectionChangeHandler(neig);
  return NoError;
}

GSErrCode PlenimetraReservationChangeHandler(const GS::HashTable<API_Guid, short>& /*reserved*/,
                                             const GS::HashSet<API_Guid>& /*released*/,
                                             const GS::HashSet<API_Guid>& /*deleted*/)
{
  if (PlenimetraPalette().IsOn())
    return PlenimetraPalette().ElementReservationChangeHandler();
  return NoError;
}

pln::host::AddOnEntryPoints PlenimetraEntryPoints()
{
  return {CheckEnvironment, RegisterInterface, Initialize, FreeData};
}
