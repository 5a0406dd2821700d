// Outlines with arcs split into the plain segment and arc lists of the
// outline-to-wall conversion.

#include "CGSUtil.h"
#include "CKelCoord3DCrsPntArray.h"
#include "CKelWallLine.h"

namespace {

// Entries at i - 1, i, i + 1: a vertex ends a segment from the entry before
// it; a centre joins the entries on either side by an arc. A centre that
// closes the list has no end and adds nothing.
std::size_t AddEntry(const CKelCoord3DCrsPntArray& area, std::size_t i, CKelWallLineArray& lines, CKelWallArcArray& arcs)
{
  const CKelCoord3DCrsPnt& e = area[i];
  if (e.m_Type == CKelCoord3DCrsPnt::TYPE_POINT) {
    lines.Add(area[i - 1], e, false);
    return i + 1;
  }
  if (i + 1 >= area.size())
    return area.size();
  const bool ccw = e.m_Type == CKelCoord3DCrsPnt::TYPE_CCW;
  arcs.Add(area[i - 1], area[i + 1], e, ccw, !ccw);
  return i + 2;
}

}  // namespace

void CGSUtil::AreaToLineArc(const CKelCoord3DCrsPntArray* area, CKelWallLineArray& lines, CKelWallArcArray& arcs)
{
  if (area == nullptr)
    return;
  for (std::size_t i = 1; i < area->size();)
    i = AddEntry(*area, i, lines, arcs);
}

void CGSUtil::AreaToLineArc(const std::vector<CKelCoord3DCrsPntArray>& areas, CKelWallLineArray& lines,
                            CKelWallArcArray& arcs)
{
  for (const CKelCoord3DCrsPntArray& area : areas)
    AreaToLineArc(&area, lines, arcs);
}

GSErrCode CGSUtil::ZoneToLineArc(const API_Element& zone, CKelWallLineArray& lines, CKelWallArcArray& arcs)
{
  const CKelCoord3DCrsPntArrayArray outline = ZoneToKelArea2(zone, false);
  if (outline.empty())
    return APIERR_BADPOLY;
  AreaToLineArc(outline, lines, arcs);
  return NoError;
}
