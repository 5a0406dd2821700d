#include "host_svg.h"

#include "host_charcodes.h"
#include "host_svg_parts.h"

#include <algorithm>
#include <numbers>

namespace pln::host {
namespace {

constexpr double kMetresPerMm = 0.001;
// A text element's anchor is a point of its frame, which keeps this margin
// (a share of the text height) round the letters: a text anchored on a
// table's rule stands clear of it.
constexpr double kTextInset = 0.2;

double DatabaseScale(const API_DatabaseUnId& database)
{
  const Model& model = TheModel();
  if (database == FloorPlanDatabaseId())
    return model.floorPlanScale;
  for (const auto* list : {&model.databases, &model.masterLayouts})
    for (const StoredDatabase& stored : *list)
      if (stored.info.databaseUnId == database)
        return stored.scale;
  return 100.0;
}

std::u16string DatabaseName(const API_DatabaseUnId& database)
{
  const Model& model = TheModel();
  for (const auto* list : {&model.databases, &model.masterLayouts})
    for (const StoredDatabase& stored : *list)
      if (stored.info.databaseUnId == database)
        return stored.info.name.Std();
  return {};
}

// The contours of a memo polygon (coordinates from 1, pends[k] the last
// coordinate of contour k), each arc on the edge it starts. A closed
// contour drops its closing repeat. Counts that disagree with the arrays
// end the reading, so a broken memo draws what it holds soundly.
std::vector<SvgContour> MemoContours(const StoredMemo& memo, bool closed)
{
  const Int32 last = static_cast<Int32>(memo.coords.size()) - 1;
  std::vector<Int32> ends(memo.pends.begin() + std::min<std::size_t>(1, memo.pends.size()), memo.pends.end());
  if (ends.empty() && last >= 1)
    ends.push_back(last);
  std::vector<SvgContour> contours;
  Int32 first = 1;
  for (Int32 end : ends) {
    if (end < first || end > last)
      break;
    const bool repeats = closed && end > first && memo.coords[first] == memo.coords[end];
    SvgContour contour;
    for (Int32 i = first; i <= (repeats ? end - 1 : end); ++i) {
      double arc = 0.0;
      for (const API_PolyArc& parc : memo.parcs)
        if (parc.begIndex == i && parc.endIndex == i + 1)
          arc = parc.arcAngle;
      contour.push_back({memo.coords[i], arc});
    }
    contours.push_back(std::move(contour));
    first = end + 1;
  }
  return contours;
}

std::u16string TextContent(const StoredMemo& memo)
{
  if (!memo.textContent)
    return {};
  bool lost = false;
  return DecodeText(memo.textContent->data(), memo.textContent->size(), CC_Default, &lost);
}

void DrawElement(SvgCanvas& canvas, const StoredElement& stored, double scale)
{
  const API_Element& e = stored.element;
  switch (e.header.typeID) {
  case API_LineID:
    canvas.Line(e.line.begC, e.line.endC, SvgPenOf(e.line.linePen.penIndex));
    break;
  case API_ArcID:
    canvas.EllipseArc(e.arc.origC, e.arc.r, e.arc.ratio, e.arc.angle, e.arc.begAng, e.arc.endAng,
                      SvgPenOf(e.arc.linePen.penIndex));
    break;
  case API_CircleID:
    canvas.EllipseArc(e.circle.origC, e.circle.r, e.circle.ratio, e.circle.angle, 0.0, 2.0 * std::numbers::pi,
                      SvgPenOf(e.circle.linePen.penIndex));
    break;
  case API_PolyLineID:
    canvas.Contours(MemoContours(stored.memo, false), false, SvgPenOf(e.polyLine.pen));
    break;
  case API_HatchID:
    canvas.Contours(MemoContours(stored.memo, true), true, SvgPenOf(e.hatch.contPen),
                    SvgPenOf(e.hatch.fillPen).colour);
    break;
  case API_TextID:
    canvas.Text({e.text.loc, e.text.size * scale * kMetresPerMm, e.text.angle, static_cast<int>(e.text.anchorPoint),
                 e.text.just, TextContent(stored.memo), SvgPenOf(e.text.pen).colour, kTextInset});
    break;
  case API_ObjectID:
    DrawLibraryPart(canvas, stored, scale);
    break;
  default:
    break;
  }
}

}  // namespace

std::string DatabaseSvg(const HostFixture& host, const API_DatabaseUnId& database)
{
  std::vector<const StoredElement*> elements = host.ElementsIn(database, API_ZombieElemID);
  std::stable_sort(elements.begin(), elements.end(), [](const StoredElement* a, const StoredElement* b) {
    return a->element.header.drwIndex < b->element.header.drwIndex;
  });
  const double scale = DatabaseScale(database);
  SvgCanvas canvas(scale);
  for (const StoredElement* stored : elements)
    DrawElement(canvas, *stored, scale);
  canvas.PlaceLabels();
  return canvas.Document(DatabaseName(database));
}

}  // namespace pln::host
