#pragma once
// A sky-factor method setting and the ratio it gives at a check point.

#include <initializer_list>
#include <string>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "CSphereRatioBlock.h"

namespace sky_test {

struct Method {
  int step;
  bool sansya;
  int kind;
  bool inProjection;
  bool side2 = false;
};

// The ratio, or -100 less the failure code.
inline double Ratio(const CKelBlockCubeArray& blocks, const CKelCoord3D& point, const Method& m, double angle = 0)
{
  CSphereRatioBlock r;
  r.m_AngleStep = m.step;
  r.m_ExpandKind = m.kind;
  r.m_bExpandInProjection = m.inProjection;
  r.m_bSide2 = m.side2;
  double ratio = -2;
  const int code = r.CalcSphereRatio(nullptr, -1, angle, false, blocks, point, &ratio, m.sansya);
  return code == 0 ? ratio : -100.0 - code;
}

inline std::string Describe(const Method& m)
{
  return std::string(m.sansya ? "sector" : "outline") + " step " + std::to_string(m.step) + " kind " +
         std::to_string(m.kind) + (m.inProjection ? " in projection" : "") + (m.side2 ? " two-sided" : "");
}

// Every sector setting of the steps, one-sided and two-sided, and the
// outline method (which takes no expansion by sector: it refuses kinds 0 and 1).
inline std::vector<Method> EveryMethod(std::initializer_list<int> steps)
{
  std::vector<Method> out;
  for (int s : steps) {
    out.push_back({s, false, 2, false, false});
    for (bool side2 : {false, true}) {
      out.push_back({s, true, 2, false, side2});
      for (int kind : {0, 1}) {
        out.push_back({s, true, kind, true, side2});
        out.push_back({s, true, kind, false, side2});
      }
    }
  }
  return out;
}

}  // namespace sky_test
