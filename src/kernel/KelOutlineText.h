#pragma once
// A one-line text form of outlines, for test failure messages, debug output
// and the text seeds of the outline fuzz targets: a failing outline printed
// by a test becomes the one line a new test starts from.
//
//   CKelAreaCoord2D         "(0 0) (10 0) (10 5.5)"
//   CKelCoord3DCrsPntArray  "(0 0 0) (10 0 0) ccw(10 5 0) (10 10 0)"
//
// Points in order, separated by blanks; an arc centre of the outline with
// arcs carries its turn ("ccw" or "cw") before its parenthesis. Numbers are
// written with 17 significant digits, so every double reads back exactly.
// Reading takes the points as written (no reordering, no area): it refuses
// anything else (a missing or extra number, an unknown turn, a value that is
// no finite number, text between points) and then leaves the outline as it
// was.

#include "CKelAreaCoord2D.h"
#include "CKelCoord3DCrsPntArray.h"

#include <string>
#include <string_view>

namespace KelOutlineText {

std::string ToText(const CKelAreaCoord2D& outline);
std::string ToText(const CKelCoord3DCrsPntArray& outline);
[[nodiscard]] bool FromText(std::string_view text, CKelAreaCoord2D& outline);
[[nodiscard]] bool FromText(std::string_view text, CKelCoord3DCrsPntArray& outline);

}  // namespace KelOutlineText
