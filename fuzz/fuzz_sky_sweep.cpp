// Draws a street scene of the sky-factor sweep (tests/skyfactor/SkySweep.h)
// from the input and checks one setting at one road point against the
// sweep's invariants: a ratio wherever the outline method gives one,
// steady under moves of the point and the corners by 1e-9 and 1e-6 m, the
// same moved and turned and, where the sector lines allow, mirrored, and
// the unexpanded settings near the exact sky. A violation aborts.
//
// Input: bytes 0 to 7 the scene's seed (little-endian), byte 8 the setting
// (of the 44 of steps 1, 5, 7 and 10), byte 9 which of the scene's four
// road points; shorter inputs are padded with zeros.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "KernelFuzzSupport.h"
#include "SkySweep.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size > 10)
    return 0;
  std::uint8_t in[10] = {};
  for (std::size_t k = 0; k < size; ++k)
    in[k] = data[k];
  std::uint64_t seed = 0;
  for (int k = 7; k >= 0; --k)
    seed = (seed << 8) | in[k];
  const std::vector<sky_test::Method> methods = sky_test::EveryMethod({1, 5, 7, 10});
  const sky_test::Method& m = methods[in[8] % methods.size()];
  const sky_test::SweepScene scene = sky_test::MakeSweepScene(seed, 4);
  const sky_test::XY& at = scene.points[in[9] % scene.points.size()];
  const double outline = sky_test::Ratio(sky_test::Blocks(scene.prisms), CKelCoord3D(at.x, at.y, 0),
                                         sky_test::Method{1, false, 2, false}, scene.frame);
  const sky_test::SweepExact exact = sky_test::SweepExactAt(scene, at);
  KernelFuzz::Check(sky_test::SweepViolations(scene, at, exact, outline, m).empty());
  return 0;
}
