#include "CKelBlockEdgeArray.h"

void CKelBlockEdgeArray::Add(std::int32_t i1, std::int32_t i2)
{
  for (CKelBlockEdge& e : *this) {
    if (e.m_i1 == i1 && e.m_i2 == i2)
      return;
    if (e.m_i1 == i2 && e.m_i2 == i1) {
      e.m_bCancel = true;
      return;
    }
  }
  push_back(CKelBlockEdge{i1, i2, false});
}
