#pragma once
// A realistic scene for the sky factor: a site 40 x 30 m north of a 6 m
// road, covered by a grid of blocks 6 to 45 m high (the second and fifth
// with sloped tops, the eighth floating, the eleventh an L), and check
// points 0.5 m apart along the road's far side, at ground level; and
// random scenes of scattered blocks.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "CKelBlockCoord.h"
#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "SkyBlocks.h"

namespace sky_test {

constexpr double kSiteWidth = 40, kSiteDepth = 30, kRoadWidth = 6;

// An L over the cell [x0, x0 + w] x [y0, y0 + d].
inline CKelBlockCube LBlock(double x0, double y0, double w, double d, double top)
{
  CKelBlockCube block;
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, std::pair{w, 0.0}, std::pair{w, d / 2}, std::pair{w / 2, d / 2},
                             std::pair{w / 2, d}, std::pair{0.0, d}})
    block.Append(CKelBlockCoord(x0 + x, y0 + y, top, 0));
  block.SetType();
  return block;
}

// A box whose top falls by 30 % of its height from its south to its north side.
inline CKelBlockCube SlopedBlock(double x0, double y0, double w, double d, double top)
{
  CKelBlockCube block;
  const double fall = 0.3 * top;
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, std::pair{w, 0.0}, std::pair{w, d}, std::pair{0.0, d}})
    block.Append(CKelBlockCoord(x0 + x, y0 + y, top - fall * y / d, 0));
  block.SetType();
  return block;
}

// n blocks on a grid of cells over the site, 80 % of each cell built.
inline CKelBlockCubeArray SceneBlocks(int n)
{
  const int cols = static_cast<int>(std::ceil(std::sqrt(n * kSiteWidth / kSiteDepth)));
  const int rows = (n + cols - 1) / cols;
  const double cw = kSiteWidth / cols, cd = kSiteDepth / rows;
  CKelBlockCubeArray blocks;
  for (int k = 0; k < n; ++k) {
    const double x0 = (k % cols) * cw + 0.1 * cw, y0 = (k / cols) * cd + 0.1 * cd;
    const double w = 0.8 * cw, d = 0.8 * cd;
    const double top = 6 + 39 * ((k * 7) % 12) / 11.0;
    switch (k % 12) {
      case 1:
      case 4: blocks.AddBlock(SlopedBlock(x0, y0, w, d, top)); break;
      case 7: blocks.AddBlock(Box(x0, x0 + w, y0, y0 + d, top, 0.3 * top)); break;
      case 10: blocks.AddBlock(LBlock(x0, y0, w, d, top)); break;
      default: blocks.AddBlock(Box(x0, x0 + w, y0, y0 + d, top)); break;
    }
  }
  return blocks;
}

// n check points 0.5 m apart on the road's far side, from its west end.
inline std::vector<CKelCoord3D> ScenePoints(int n)
{
  std::vector<CKelCoord3D> points;
  for (int k = 0; k < n; ++k)
    points.emplace_back(-5 + 0.5 * k, -kRoadWidth, 0);
  return points;
}

// Random scenes: 1 to 12 blocks 3 to 60 m away, up to 30 m high, turned,
// some floating, seen in a random frame.
struct Scene {
  CKelBlockCubeArray blocks;
  std::vector<CKelBlockCube> list;
  double angle = 0;
};

inline Scene RandomScene(std::uint64_t seed)
{
  std::mt19937_64 rng(seed);
  const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
  Scene scene;
  const int n = 1 + static_cast<int>(rng() % 12);
  for (int i = 0; i < n; ++i) {
    const double w = 1 + 14 * u(), l = 1 + 14 * u();
    const double near = 3 + 57 * u();
    const double centre = near + std::hypot(w, l) / 2;
    const double dir = 6.283185307179586 * u();
    const double top = 1 + 29 * u();
    const double bottom = u() < 0.2 ? top * u() * 0.8 : 0;
    const CKelBlockCube b = Box(-w / 2, w / 2, -l / 2, l / 2, top, bottom, 6.283185307179586 * u(),
                                centre * std::cos(dir), centre * std::sin(dir));
    scene.list.push_back(b);
    scene.blocks.AddBlock(b);
  }
  scene.angle = 6.283185307179586 * u();
  return scene;
}

}  // namespace sky_test
