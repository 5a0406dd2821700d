#pragma once
// The edge list of the outline union (CKelBlockCubeArray::CombineBlock2):
// directed edges between two point indices, an edge met in both directions
// being an inner edge and flagged cancelled.

#include <cstdint>
#include <vector>

struct CKelBlockEdge {
  std::int32_t m_i1 = 0;
  std::int32_t m_i2 = 0;
  bool m_bCancel = false;
};

class CKelBlockEdgeArray : public std::vector<CKelBlockEdge> {
public:
  // An edge already present is not added again; when its reverse is
  // present, that entry is flagged cancelled instead.
  void Add(std::int32_t i1, std::int32_t i2);
};
