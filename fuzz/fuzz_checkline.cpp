// Builds the check line of an outline made of arbitrary bytes: surveyed
// boundaries of many short edges, and any other polygon, clockwise,
// crossing itself or degenerate. No outline may crash or hang the cutting
// of loops; the line comes out finite and ends with its end marker, or,
// when it cannot be traced, has no points at all.
//
// Input: f64 distance, then the vertices (f64 x, f64 y), their count cut to
// the bytes that remain and to kMaxVertices.

#include "CClineData.h"
#include "FuzzByteReader.h"
#include "KernelFuzzSupport.h"

#include <cmath>
#include <cstdint>

namespace {

using FuzzInput::Reader;
using KernelFuzz::Check;

// Enough for a surveyed boundary; the cutting's work grows faster than the
// vertex count.
constexpr std::size_t kMaxVertices = 1500;
// Coordinates and distances of a site in metres, with room to spare.
constexpr double kMaxCoordinate = 1e5;
constexpr double kMaxDistance = 1e3;

bool Usable(double v, double limit) { return std::isfinite(v) && std::fabs(v) <= limit; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  Reader in(data, size);
  const double d = in.Take<double>();
  if (!Usable(d, kMaxDistance) || d <= 0)
    return 0;
  CKelArea<CKelCoord2D> outline;
  const std::size_t n = in.Fit(kMaxVertices, 2 * sizeof(double));
  for (std::size_t k = 0; k < n; ++k) {
    const double x = in.Take<double>();
    const double y = in.Take<double>();
    if (!Usable(x, kMaxCoordinate) || !Usable(y, kMaxCoordinate))
      return 0;
    outline.m_pt.emplace_back(x, y);
  }
  CClineData line(0, d);
  const bool traced = line.CreateCheckline(outline);
  // A line that could not be traced is no line at all.
  Check(line.empty() == (outline.m_pt.empty() || !traced));
  if (line.empty())
    return 0;
  Check(line.CheckData() > 0);
  for (const CCrspnt& p : line)
    Check(std::isfinite(p.m_x) && std::isfinite(p.m_y));
  (void)line.GetLength();
  return 0;
}
