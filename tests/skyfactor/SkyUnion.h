#pragma once
// The union of the outline method as registered at one check point, before
// any of its steps ran, for the tests that compare those steps with their
// former forms.

#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "CSphereRatioBlock.h"

namespace sky_test {

inline CSphereBlkDataArrayNew RegisteredUnion(const CKelBlockCubeArray& blocks, const CKelCoord3D& point, double angle)
{
  // Registered in the check point's frame, as the calculation registers it.
  CSphereA sphere;
  sphere.SetChkPnt(&point, angle);
  const CKelBlockCubeArray local = sphere.ToLocal(blocks);
  const CKelCoord3D origin(0, 0, point.m_z);
  sphere.SetChkPnt(&origin, 0);
  sphere.m_AngleStep = 1;
  sphere.m_Kind = 1;
  CSphereBlkDataArrayNew united;
  for (const CKelBlockCubeArray& group : CSphereRatioBlock::DivideBlock(local, &origin, 0, 0)) {
    if (!group.empty())
      sphere.RegistSphereRatio2(-1, false, &origin, group, united);
  }
  return united;
}

}  // namespace sky_test
