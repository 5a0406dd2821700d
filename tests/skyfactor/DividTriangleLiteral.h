#pragma once
// The triangle division step by step as first written down: every split
// re-checks whole parts, every reflex vertex sorts all its candidates. Slow
// (about n^3) and kept only as the reference that the library's division
// must match triangle for triangle, in tests and benchmarks.

#include <cmath>
#include <numeric>
#include <vector>

#include "CDividTriangle.h"
#include "CKelAreaCoord2D.h"
#include "CSphereTriangleData.h"
#include "KelGeometry.h"

namespace literal {

class DividTriangle {
public:
  explicit DividTriangle(const std::vector<CKelCoord2D>& points) : pt(points) {}

  std::vector<CSphereTriangleData> triangles;

  bool Do(int divMode)
  {
    mode = divMode;
    if (pt.size() < 3)
      return false;
    std::vector<int> idx(pt.size());
    std::iota(idx.begin(), idx.end(), 0);
    if (CalcArea(idx) < 0)
      std::reverse(idx.begin(), idx.end());
    return Divid(idx);
  }

private:
  static constexpr double tol = 2e-12;
  const std::vector<CKelCoord2D>& pt;
  int mode = -1;

  struct Work {
    int m;
    double angle;
    double Length;
  };

  const CKelCoord2D& P(const std::vector<int>& idx, int k) const { return pt[idx[k]]; }
  static bool Same(const CKelCoord2D& a, const CKelCoord2D& b)
  {
    return std::fabs(a.m_x - b.m_x) <= tol && std::fabs(a.m_y - b.m_y) <= tol;
  }
  double Cross(const std::vector<int>& idx, int i, int j, int k) const
  {
    double c = 1, s = 0;
    CalcCosSin(P(idx, i), P(idx, j), &c, &s, nullptr);
    return c * (P(idx, k).m_y - P(idx, i).m_y) - s * (P(idx, k).m_x - P(idx, i).m_x);
  }
  static bool Reflex(double cross) { return cross <= 0 && std::fabs(cross) > tol; }

  double CalcArea(const std::vector<int>& idx) const
  {
    double sum = 0;
    const int n = static_cast<int>(idx.size());
    for (int k = 0; k < n; ++k) {
      const CKelCoord2D& a = P(idx, k == 0 ? n - 1 : k - 1);
      const CKelCoord2D& b = P(idx, k);
      sum += (a.m_y + b.m_y) * (a.m_x - b.m_x);
    }
    return 0.5 * sum;
  }

  bool Divid(std::vector<int> idx)
  {
    const int n = static_cast<int>(idx.size());
    if (n == 3)
      return CreateTriangle(idx);
    std::vector<int> out1, out2;
    for (int s = 0; s < n; ++s) {
      int r = SearchIndex2(idx, s, out1, out2);
      if (r < 0)
        return false;
      if (r == 1)
        return (out1.size() < 3 || Divid(out1)) && (out2.size() < 3 || Divid(out2));
    }
    int i = 0, j = -1, k = 0;
    for (; i < n; ++i) {
      const int jj = (i + 1) % n;
      if (CheckPoint2(idx, jj))
        continue;
      if (Reflex(Cross(idx, i, jj, (i + 2) % n))) {
        j = jj;
        k = (i + 2) % n;
        break;
      }
    }
    if (j < 0)
      return CreateTriangle(idx);
    if (SearchIndex(idx, i, j, k, out1, out2) < 0)
      return false;
    return (out1.size() < 3 || Divid(out1)) && (out2.size() < 3 || Divid(out2));
  }

  // 1 split, 0 none, -1 the division fails.
  int SearchIndex2(const std::vector<int>& idx, int s, std::vector<int>& out1, std::vector<int>& out2)
  {
    const int n = static_cast<int>(idx.size());
    int f = 0;
    while (f < n && !(std::fabs(P(idx, f).m_x) <= tol && std::fabs(P(idx, f).m_y) <= tol))
      ++f;
    if (f == s)
      return 0;
    int a = 0, b = 0;
    if (n == 4) {
      int r = -1, count = 0;
      for (int c = 0; c < 4; ++c) {
        if (Reflex(Cross(idx, (c + 3) % 4, c, (c + 1) % 4))) {
          r = c;
          ++count;
        }
      }
      if (count > 1)
        return -1;
      if (r >= 0) {
        a = r;
        b = (r + 2) % 4;
      } else if (f < n) {
        a = (f + 2) % 4;
        b = f;
      } else {
        a = 2;
        b = 0;
      }
    } else {
      if (f == n)
        return 0;
      a = s;
      b = f;
    }
    if (CheckCross(idx, a, b) >= 0)
      return 0;
    return CheckIndex(idx, a, b, out1, out2) ? 1 : 0;
  }

  int SearchIndex(const std::vector<int>& idx, int i, int j, int k, std::vector<int>& out1, std::vector<int>& out2)
  {
    CKelAreaCoord2D area;
    for (int v : idx)
      area.m_pt.push_back(pt[v]);
    area.SetArea();
    area.SetMaxMin();
    const CKelCoord2D& pj = P(idx, j);
    const double norm = std::hypot(pj.m_x, pj.m_y);
    const double ux = pj.m_x / norm, uy = pj.m_y / norm;
    std::vector<Work> list;
    const int n = static_cast<int>(idx.size());
    for (int m = 0; m < n; ++m) {
      if (m == i || m == j || m == k)
        continue;
      const CKelCoord2D& p = P(idx, m);
      const double a = ux * p.m_x + uy * p.m_y;
      const double b = ux * p.m_y - uy * p.m_x;
      const double angle = std::atan2(b, a);
      if (CheckCross(idx, m, j) >= 0 || CheckPoint2(idx, m))
        continue;
      const CKelCoord2D mid((p.m_x + pj.m_x) / 2, (p.m_y + pj.m_y) / 2);
      if (area.InArea(mid, 1e-5, 1e-5, CKelAreaCoord2D::Crossing::TenthTol) == 0)
        continue;
      const Work w{m, std::fabs(angle), std::hypot(a, b)};
      std::size_t at = 0;
      while (at < list.size() && !(list[at].angle - w.angle > tol ||
                                   (std::fabs(list[at].angle - w.angle) <= tol && list[at].Length > w.Length)))
        ++at;
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), w);
    }
    for (const Work& w : list) {
      if (CheckIndex(idx, w.m, j, out1, out2))
        return w.m;
    }
    return -1;
  }

  bool CheckIndex(const std::vector<int>& idx, int a, int b, std::vector<int>& out1, std::vector<int>& out2)
  {
    const int n = static_cast<int>(idx.size());
    std::vector<int> p1, p2;
    for (int k = a;; k = (k + 1) % n) {
      p1.push_back(idx[k]);
      if (k == b)
        break;
    }
    for (int k = b;; k = (k + 1) % n) {
      p2.push_back(idx[k]);
      if (k == a)
        break;
    }
    if (p1.size() <= 2 || p2.size() <= 2)
      return false;
    for (const auto* part : {&p1, &p2}) {
      const int m = static_cast<int>(part->size());
      for (int e = 0; e < m; ++e) {
        if (CheckCross(*part, e == 0 ? m - 1 : e - 1, e) >= 0)
          return false;
      }
    }
    EraseNeedleShape(p1);
    EraseNeedleShape(p2);
    for (const auto* part : {&p1, &p2}) {
      for (std::size_t u = 0; u < part->size(); ++u) {
        for (std::size_t v = u + 1; v < part->size(); ++v) {
          if ((*part)[u] == (*part)[v])
            return false;
        }
      }
    }
    for (auto* part : {&p1, &p2}) {
      const double area = CalcArea(*part);
      if (area < -tol)
        return false;
      if (area <= tol)
        part->clear();
    }
    out1 = p1;
    out2 = p2;
    return true;
  }

  int CheckCross(const std::vector<int>& idx, int a, int b) const
  {
    const CKelCoord2D& A = P(idx, a);
    double c = 1, s = 0, L = 0;
    CalcCosSin(A, P(idx, b), &c, &s, &L);
    const int n = static_cast<int>(idx.size());
    for (int m = 0; m < n; ++m) {
      const int prev = m == 0 ? n - 1 : m - 1;
      if (m == a || prev == a || prev == b)
        continue;
      const CKelCoord2D& p = P(idx, prev);
      const CKelCoord2D& q = P(idx, m);
      const double alongP = (p.m_x - A.m_x) * c + (p.m_y - A.m_y) * s;
      const double sideP = c * (p.m_y - A.m_y) - s * (p.m_x - A.m_x);
      const double alongQ = (q.m_x - A.m_x) * c + (q.m_y - A.m_y) * s;
      const double sideQ = c * (q.m_y - A.m_y) - s * (q.m_x - A.m_x);
      if (sideP == sideQ) {
        if (std::fabs(sideP) <= tol && std::fabs(sideQ) <= tol) {
          if ((alongP > tol && alongP < L - tol) || (alongQ > tol && alongQ < L - tol))
            return prev;
          if ((alongP < -tol && alongQ > L + tol) || (alongQ < -tol && alongP > L + tol))
            return prev;
        }
        continue;
      }
      const double t = alongP + (alongQ - alongP) * (0 - sideP) / (sideQ - sideP);
      const double xx = A.m_x + t * c, xy = A.m_y + t * s;
      double ce = 1, se = 0, le = 0;
      CalcCosSin(p, q, &ce, &se, &le);
      const double y2 = ce * (xy - p.m_y) - se * (xx - p.m_x);
      if (std::fabs(y2) > 3e-6)
        continue;
      const double x2 = (xx - p.m_x) * ce + (xy - p.m_y) * se;
      if (t > tol && t < L - tol && x2 >= -tol && x2 <= le + tol)
        return prev;
    }
    return -1;
  }

  bool CheckPoint2(const std::vector<int>& idx, int m) const
  {
    for (int k = 0; k < static_cast<int>(idx.size()); ++k) {
      if (k != m && Same(P(idx, k), P(idx, m)))
        return true;
    }
    return false;
  }

  void EraseNeedleShape(std::vector<int>& idx) const
  {
    std::size_t i = 0;
    while (i < idx.size()) {
      const std::size_t n = idx.size();
      const std::size_t k = (i + 2) % n;
      if (Same(pt[idx[i]], pt[idx[k]])) {
        if (n < 2) {
          idx.clear();
          break;
        }
        const std::size_t from = k == 1 ? 0 : i;
        idx.erase(idx.begin() + static_cast<std::ptrdiff_t>(from), idx.begin() + static_cast<std::ptrdiff_t>(from + 2));
        i = i > 0 ? i - 1 : 0;
      } else {
        ++i;
      }
    }
  }

  bool CreateTriangle(std::vector<int> idx)
  {
    const double a = CalcArea(idx);
    if (std::fabs(a) <= 2e-9)
      return true;
    if (a < 0)
      return false;
    while (idx.size() >= 3) {
      CSphereTriangleData t(P(idx, 0), P(idx, 1), P(idx, 2));
      const double q = t.SetTriangleParam();
      if (q < -1e-10)
        return false;
      if (q > 0) {
        double base = 0, height = 0, area = 0;
        t.GetTriangleData(mode, &base, &height, &area);
        if (CDividTriangle::KeepsTriangle(mode, base, height, area))
          triangles.push_back(t);
      }
      idx.erase(idx.begin() + 1);
    }
    return true;
  }
};

}  // namespace literal
