#pragma once
// The picture of one database of the stand-in host (the floor plan or a
// worksheet) as an SVG document, for examples and tests to look at what the
// add-on drew. It changes nothing in the model; decoding the 8-bit texts
// shows in the conversion log, as every conversion does.
//
// Drawn, in display order (creation order among equals): lines; arcs and
// circles, elliptic ones too; polylines and fills from their memo polygons,
// holes and arcs included (fills even-odd); texts at their size on paper
// times the drawing's scale; placed library parts by their 2D symbol
// (host_svg_parts.h). Other kinds are left out. Colours come from the pens;
// a pen the project lacks draws black. The same database always gives the
// same bytes.

#include "HostFixture.h"

#include <string>

namespace pln::host {

std::string DatabaseSvg(const HostFixture& host, const API_DatabaseUnId& database);

}  // namespace pln::host
