#pragma once
// A block record of the grid-based model: its outline as an ordered list of
// grid nodes (i, j), which the host layer turns into a mesh.

#include <cstdint>
#include <utility>
#include <vector>

struct BLOCKtag {
  std::vector<std::pair<std::int32_t, std::int32_t>> m_Nodes;
};
