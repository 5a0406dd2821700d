#pragma once
// The host input steps the figure kinds' input classes are built from: a
// point, the end of a line from a given start, an arc about a given centre
// from a given start, a rectangle, and the rubber lines their callbacks
// draw. Prompts are UTF-16 texts handed to the host in its default 8-bit
// code. Every step answers the host's code; a nonzero one (the user's
// cancel included) ends the input.

#include "CKelAreaCoord2D.h"
#include "host_input.h"

namespace figures {

[[nodiscard]] GSErrCode PickPoint(const char16_t* prompt, RubberLineInfoProc* callback, API_Coord3D* picked);
[[nodiscard]] GSErrCode PickLineEnd(const char16_t* prompt, const API_Coord3D& start, RubberLineInfoProc* callback,
                      API_Coord3D* end);
// start is given; *startOut receives the start the host answers.
[[nodiscard]] GSErrCode PickArcEnd(const char16_t* prompt, const API_Coord3D& centre, const API_Coord3D& start,
                     API_Coord3D* startOut, API_Coord3D* end);
// The host's rectangle input from start (method 1 axis-parallel, 2
// rotated); the four corners become the points, made counter-clockwise.
[[nodiscard]] GSErrCode PickRectangle(const char16_t* prompt, const API_Coord3D& start, Int32 method, CKelAreaCoord2D& points);
// The four corners of a closed rectangle answer (five coordinates numbered
// from 1, the fifth repeating the first), counter-clockwise; any other
// answer is APIERR_BADPARS and leaves the points alone.
[[nodiscard]] GSErrCode TakeRectangle(const API_GetPolyType& poly, CKelAreaCoord2D& points);

// One rubber line from a to b at height z, drawing flag 2.
void DrawRubberLine(const CKelCoord2D& a, const CKelCoord2D& b, double z);
// The closed outline through the points, each edge from one point to the next.
void DrawRubberOutline(const std::vector<CKelCoord2D>& points, double z);

}  // namespace figures
