#pragma once
// A sky-factor method setting and the ratio it gives at a check point.

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

}  // namespace sky_test
