#pragma once
// The 2D symbols of placed library parts, drawn from their parameters in
// the part's own frame (origin at the element's position, x along its
// angle, mirrored when reflected): the eight area figures (outline, mark,
// length labels), the area table, and any other part as its box with its
// name. A figure's mark and label sizes and offsets are plan lengths
// (metres), as its own geometry is.

#include "host_model.h"
#include "host_svg_canvas.h"

#include <string>

namespace pln::host {

// The pen's colour and width; a pen the project does not have draws
// black at the width of a new project's first pen.
SvgPen SvgPenOf(Int32 pen);

// scale: the database's drawing scale (100 for 1:100), for sizes given in
// millimetres on paper.
void DrawLibraryPart(SvgCanvas& canvas, const StoredElement& stored, double scale);

}  // namespace pln::host
