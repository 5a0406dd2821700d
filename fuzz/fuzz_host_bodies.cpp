// Reads arbitrary bytes as a packed host body, places it as a morph and
// reads it back through the 3D model as breps and as faces, then makes a
// morph of the brep read. Bodies the host would refuse are passed over.
// Nothing may crash, read outside the model's ranges or leave a handle
// behind; every polygon comes back as one face, and every brep face lies in
// exactly one brep block.

#include <cstdint>
#include <cstring>
#include <vector>

#include "CGSUtil.h"
#include "CKelAreaCoord3D.h"
#include "CKelBlockCubeArray.h"
#include "CKelBrep.h"
#include "HostFuzzSupport.h"
#include "host_body.h"
#include "host_elements.h"

namespace {

using HostFuzz::Check;

GSErrCode PlaceMorph(HostFixture& host, const std::vector<char>& bytes, API_Elem_Head& head)
{
  API_Element morph;
  morph.header.typeID = API_MorphID;
  morph.header.layer = 1;
  API_ElementMemo memo;
  memo.morphBody = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
  std::memcpy(*memo.morphBody, bytes.data(), bytes.size());
  const GSErrCode err = host.AddElement(morph, &memo);
  ACAPI_DisposeElemMemoHdls(&memo);
  head = morph.header;
  return err;
}

void ReadBack(const API_Elem_Head& head, std::size_t polygons)
{
  std::vector<CKelBrep> breps;
  Check(CGSUtil::ToKelBrep(head, breps) == NoError);
  Check(breps.size() == 1);
  Check(breps[0].m_Face.size() == polygons);
  std::vector<int> owners(polygons);
  for (const auto& block : breps[0].m_Blocks)
    for (std::int32_t f : block)
      ++owners.at(static_cast<std::size_t>(f));
  for (int n : owners)
    Check(n == 1);
  breps[0].ToKelBlock();
  CKelAreaCoord3DArrayArray faces;
  Check(CGSUtil::GetAreaFromBlock(head, faces) == NoError);
  Check(faces.size() == 1 && faces[0].size() == polygons);
  API_Elem_Head again;
  CGSUtil::CreateMorph(breps[0], 0, 0, 1, 0, &again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::vector<char> bytes(data, data + size);
  const auto body = pln::host::UnpackBody(bytes);
  if (!body)
    return 0;
  HostFixture host;
  API_Elem_Head head;
  if (PlaceMorph(host, bytes, head) == NoError)
    ReadBack(head, body->polygons.size());
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
