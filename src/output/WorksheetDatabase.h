#pragma once
// The output's worksheets in the host project, found by their exact name.

#include "gs_unistring.h"
#include "gs_containers.h"
#include "host_api_types.h"

#include <optional>

// The first worksheet database of the name, in the host's order; nothing
// when none has it. The host's error of the listing or of reading one
// database's record, else 0.
[[nodiscard]] GSErrCode FindWorksheet(const GS::UniString& name, std::optional<API_DatabaseUnId>& found);
// A new worksheet of the name with the reference "求積図"; the host's error.
[[nodiscard]] GSErrCode CreateWorksheet(const GS::UniString& name, API_DatabaseUnId& created);
// Brings the worksheet's window to the front: it becomes the current
// database.
[[nodiscard]] GSErrCode ShowWorksheet(const API_DatabaseUnId& sheet);

class CPlenimetraParam;
// Appends every line and then every text of the current database,
// whoever drew them; the first listing error.
[[nodiscard]] GSErrCode GatherLinesAndTexts(GS::Array<API_Guid>& guids);
// Reserves the gathered elements (in a shared project) and deletes them as
// DeleteOnTheirLayers does; the first error.
[[nodiscard]] GSErrCode DeleteGathered(const CPlenimetraParam& doc, const GS::Array<API_Guid>& guids);
// Deletes the elements in one call, each one's layer shown and unlocked
// for it and put back after: a layer the user locked or hid holds no
// output. An element that cannot be read, or a layer that cannot be
// opened, deletes none; the first error.
[[nodiscard]] GSErrCode DeleteOnTheirLayers(const GS::Array<API_Guid>& guids);
