#pragma once
// The picture of one database of the stand-in host (the floor plan or a
// worksheet) as the host prints it: an SVG sheet of A-series paper at the
// database's drawing scale (host_svg_canvas.h). It changes nothing in the
// model; decoding the 8-bit texts shows in the conversion log, as every
// conversion does.
//
// Drawn, in display order (creation order among equals): lines; arcs and
// circles, elliptic ones too; polylines and fills from their memo polygons,
// holes and arcs included (fills even-odd); texts at their paper size,
// their frame keeping a fifth of their height round the letters; placed
// library parts by their 2D symbol (host_svg_parts.h), the figures' length
// labels placed last, clear of everything else. Other kinds are left out.
// Colours and line widths come from the pens; a pen the project lacks
// draws black. The same database always gives the same bytes.

#include "HostFixture.h"

#include <string>

namespace pln::host {

std::string DatabaseSvg(const HostFixture& host, const API_DatabaseUnId& database);

}  // namespace pln::host
