// Reads arbitrary bytes as the archive form of a planar face in space (the
// polygon template over 3D points) at the versions with and without tags,
// then runs the face's own geometry on whatever was read: plane, affine
// maps, triangulation and a merge with a copy of itself. A bad count must be
// refused before anything grows, and no outline, however odd, may crash or
// hang these operations.

#include "CAffine.h"
#include "CKelAreaCoord3D.h"
#include "KernelFuzzSupport.h"

#include <cstdint>
#include <vector>

namespace {

using KernelFuzz::Bytes;
using KernelFuzz::Check;

// The smallest stored vertex (x and y only, version 1) takes 16 bytes.
constexpr std::size_t kMinVertexBytes = 16;

void ExerciseGeometry(CKelAreaCoord3D face)
{
  face.CalcPlaneEquation();
  CAffine3D to, back;
  face.GetAffine(&to, &back);

  CKelAreaCoord3DArray triangles;
  const std::size_t n = face.m_pt.size();
  // Every cut takes one triangle and leaves pieces of k and n - k + 1
  // vertices, so a face of n vertices gives n - 2 triangles at most.
  if (face.Triangulate(triangles))
    Check(triangles.size() + 2 == n);
  Check(triangles.size() + 2 <= n || triangles.empty());

  // A copy walked backwards shares every edge in the opposite direction.
  CKelAreaCoord3D reversed = face;
  std::vector<CKelCoord3D> pts(face.m_pt.rbegin(), face.m_pt.rend());
  reversed.m_pt = pts;
  const std::size_t before = face.m_pt.size();
  if (face.Merge(reversed))
    Check(face.m_pt.size() <= 2 * before);
}

void ReadFace(const Bytes& bytes, int version)
{
  const auto face = KernelFuzz::ReadArchived<CKelAreaCoord3D>(bytes, version);
  Check(face.value.m_pt.size() <= bytes.size() / kMinVertexBytes);
  if (face.read)
    ExerciseGeometry(face.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const Bytes bytes(data, data + size);
  ReadFace(bytes, 1);
  ReadFace(bytes, 2);
  return 0;
}
