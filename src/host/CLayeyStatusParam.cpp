#include "CLayeyStatusParam.h"

#include <algorithm>

void CLayeyStatusParamArray::Add(const CLayeyStatusParam& param)
{
  if (Search(param.m_nLayer) != 0)
    push_back(param);
}

int CLayeyStatusParamArray::Search(short layer) const
{
  const bool found = std::any_of(begin(), end(), [layer](const CLayeyStatusParam& p) { return p.m_nLayer == layer; });
  return found ? 0 : -1;
}
