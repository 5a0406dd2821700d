#pragma once
// What an add-on module brings to the host: its four entry functions and
// its resources (string lists, dialog layouts, icons). The host loads a
// module by declaring the resources and calling CheckEnvironment,
// RegisterInterface and Initialize in that order, and unloads it with
// FreeData (HostFixture::LoadAddOn / UnloadAddOn).

#include "dg_state.h"
#include "gs_unistring.h"
#include "host_environment.h"
#include "host_types.h"

#include <vector>

namespace pln::host {

struct AddOnEntryPoints {
  GSErrCode (*checkEnvironment)(API_EnvirParams*) = nullptr;
  GSErrCode (*registerInterface)() = nullptr;
  GSErrCode (*initialize)() = nullptr;
  GSErrCode (*freeData)() = nullptr;
};

// One string list: string i (from 1) at position i - 1.
struct AddOnStringList {
  short resId = 0;
  std::vector<GS::UniString> strings;
};

struct AddOnDialog {
  short resId = 0;
  DGDialogDef layout;
};

struct AddOnResources {
  std::vector<AddOnStringList> stringLists;
  std::vector<AddOnDialog> dialogs;
  std::vector<short> icons;
};

}  // namespace pln::host
