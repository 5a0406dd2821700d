// Reads arbitrary text as outlines in their one-line text form, both kinds.
// What reads must write back to text that reads as the same outline, and
// small outlines then go through the plan geometry (area, triangulation,
// flattening, offset), which must neither crash nor run away. Text that is
// no outline must be refused and leave the outline as it was.

#include <cstdint>
#include <string>
#include <string_view>

#include "KelOutlineText.h"
#include "KernelFuzzSupport.h"

namespace {

using KernelFuzz::Check;

// Larger outlines are read but not cut: the search is polynomial, not cheap.
constexpr std::size_t kMaxGeometryVertices = 16;

void Plain(std::string_view text)
{
  CKelAreaCoord2D outline;
  outline.m_pt = {{1, 2}};
  if (!KelOutlineText::FromText(text, outline)) {
    Check(outline.m_pt.size() == 1);
    return;
  }
  CKelAreaCoord2D back;
  Check(KelOutlineText::FromText(KelOutlineText::ToText(outline), back));
  Check(KelOutlineText::ToText(back) == KelOutlineText::ToText(outline));
  if (outline.m_pt.size() > kMaxGeometryVertices)
    return;
  outline.SetArea();
  outline.SetMaxMin();
  CKelAreaCoord2DArray triangles;
  outline.Triangulate(triangles);
}

void WithArcs(std::string_view text)
{
  CKelCoord3DCrsPntArray outline;
  if (!KelOutlineText::FromText(text, outline))
    return;
  CKelCoord3DCrsPntArray back;
  Check(KelOutlineText::FromText(KelOutlineText::ToText(outline), back));
  Check(back.size() == outline.size());
  if (outline.size() > kMaxGeometryVertices)
    return;
  (void)outline.GetArea();
  (void)outline.ArcToPolyline();
  (void)outline.Offset(0.5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size > 1 << 12)
    return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Plain(text);
  WithArcs(text);
  return 0;
}
