#pragma once
// A lot placed as surveys place it: turned about the origin, then moved far
// from it. Back undoes To, so results can be compared in the lot's own frame.

#include <cmath>

#include "CKelCoord.h"

namespace site_test {

struct Placement {
  double m_X, m_Y, m_Turn;
  CKelCoord2D To(const CKelCoord2D& p) const
  {
    const double c = std::cos(m_Turn), s = std::sin(m_Turn);
    return {m_X + c * p.m_x - s * p.m_y, m_Y + s * p.m_x + c * p.m_y};
  }
  CKelCoord2D Back(const CKelCoord2D& p) const
  {
    const double c = std::cos(m_Turn), s = std::sin(m_Turn);
    const double dx = p.m_x - m_X, dy = p.m_y - m_Y;
    return {c * dx + s * dy, -s * dx + c * dy};
  }
};

}  // namespace site_test
