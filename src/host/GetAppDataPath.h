#pragma once
// The user's settings folder of the add-on.

#include <string>

// The host's application-data folder, then "TALVO Software", "ArchiCAD26"
// and "メンセラ", each created when missing; the path in the host's default
// 8-bit character code, ending in a separator, so callers append a file
// name. Empty when the folders cannot be made.
std::string GetAppDataPath();
