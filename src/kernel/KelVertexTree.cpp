#include "KelVertexTree.h"

#include <cmath>
#include <limits>

namespace {

// The box of a and b; a coordinate that is not finite leaves it unbounded.
KelBox BoxOf(const CKelCoord2D& a, const CKelCoord2D& b)
{
  if (!std::isfinite(a.m_x) || !std::isfinite(a.m_y) || !std::isfinite(b.m_x) || !std::isfinite(b.m_y)) {
    const double inf = std::numeric_limits<double>::infinity();
    return KelBox{-inf, -inf, inf, inf};
  }
  return KelBox{std::fmin(a.m_x, b.m_x), std::fmin(a.m_y, b.m_y), std::fmax(a.m_x, b.m_x), std::fmax(a.m_y, b.m_y)};
}

KelBox Union(const KelBox& a, const KelBox& b)
{
  if (a.Empty())
    return b;
  if (b.Empty())
    return a;
  return KelBox{std::fmin(a.xmin, b.xmin), std::fmin(a.ymin, b.ymin), std::fmax(a.xmax, b.xmax),
                std::fmax(a.ymax, b.ymax)};
}

}  // namespace

KelVertexTree::KelVertexTree(const std::vector<CKelCoord2D>& pt)
{
  const std::size_t n = pt.size();
  std::size_t leaves = 1;
  while (leaves < n)
    leaves *= 2;
  m_leaves = static_cast<int>(leaves);
  m_vertexBox.resize(2 * leaves);
  m_edgeBox.resize(2 * leaves);
  for (std::size_t v = 0; v < n; ++v) {
    const CKelCoord2D& p = pt[v];
    m_finite = m_finite && std::isfinite(p.m_x) && std::isfinite(p.m_y);
    m_vertexBox[leaves + v] = BoxOf(p, p);
    m_edgeBox[leaves + v] = BoxOf(p, pt[v + 1 == n ? 0 : v + 1]);
  }
  for (std::size_t node = leaves - 1; node >= 1; --node) {
    m_vertexBox[node] = Union(m_vertexBox[2 * node], m_vertexBox[2 * node + 1]);
    m_edgeBox[node] = Union(m_edgeBox[2 * node], m_edgeBox[2 * node + 1]);
  }
}
