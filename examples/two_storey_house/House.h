#pragma once
// The two-storey house the example works on, built silently into the
// stand-in host: stories, zone categories, layers, a font, walls, the
// ground-floor slab, the site and the zones.

#include "HostFixture.h"

#include <vector>

struct House {
  std::vector<API_Guid> zones1;  // 1階, in the room table's order
  std::vector<API_Guid> zones2;  // 2階
  std::vector<API_Guid> living1, service1, living2, service2;
  API_Guid balcony;
  API_Guid slab;
  API_Guid site;
};

// Throws std::runtime_error when the host refuses an element.
House BuildHouse(HostFixture& host);
