// Area, formula and area text of 5,000 placed figures, the eight kinds in
// turn, as a list of figures redraws them. Target: under 50 ms in Release.

#include "CAreaArc.h"
#include "CAreaArc3Point.h"
#include "CAreaArcCenter.h"
#include "CAreaCircle.h"
#include "CAreaEllipse.h"
#include "CAreaRectSlant.h"
#include "CAreaTrapezoid.h"
#include "CAreaTriangle.h"
#include "CPlenimetraParam.h"
#include "FigureKinds.h"
#include "HostFixture.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kFigures = 5000;

CKelAreaCoord2D Points(std::initializer_list<CKelCoord2D> points)
{
  CKelAreaCoord2D list;
  list.m_pt = points;
  return list;
}

template <class Kind>
void Add(CPlenimetraParam& doc, std::vector<std::shared_ptr<CArea1Object>>& figures, const CKelAreaCoord2D& points)
{
  auto figure = std::make_shared<Kind>(&doc, ++doc.m_LastArea1Code, CItemType1Table::ITEMTYPE_CIRCLE,
                                       CItemType2Table::ITEMTYPE_DECIMAL, static_cast<int>(figures.size()));
  if (figure->Create(&doc, points, 0) == NoError && figure->ChangeParam(&doc, true) == NoError)
    figures.push_back(figure);
}

void PlaceFigures(CPlenimetraParam& doc, std::vector<std::shared_ptr<CArea1Object>>& figures)
{
  for (int i = 0; figures.size() < static_cast<std::size_t>(kFigures); ++i) {
    const double d = 0.001 * (i % 97);
    switch (i % 8) {
    case 0: Add<CAreaTriangle>(doc, figures, Points({{0, 0}, {4 + d, 0}, {1, 3 + d}})); break;
    case 1: Add<CAreaRectSlant>(doc, figures, Points({{0, 0}, {6 + d, 0}, {6 + d, 4.5}, {0, 4.5}})); break;
    case 2: Add<CAreaTrapezoid>(doc, figures, Points({{0, 0}, {5 + d, 0}, {4, 2}, {1, 2}})); break;
    case 3: Add<CAreaCircle>(doc, figures, Points({{0, 0}, {5 + d, 0}})); break;
    case 4: Add<CAreaArc>(doc, figures, Points({{0, 0}, {1.5 + d, 0}, {-1, 2}})); break;
    case 5: Add<CAreaEllipse>(doc, figures, Points({{0, 0}, {2 + d, 0}, {0, 1}})); break;
    case 6: Add<CAreaArcCenter>(doc, figures, Points({{0, 0}, {5 + d, 0}, {0, 5}})); break;
    default: Add<CAreaArc3Point>(doc, figures, Points({{0, 0}, {2 + d, 0}, {1, 0.5}})); break;
    }
  }
}

void BM_AreaFormulaAndText(benchmark::State& state)
{
  HostFixture host;
  host.LoadAddOnLibraryParts();
  CPlenimetraParam doc;
  doc.m_FloorParamArray.push_back(CFloorParam(0, GS::UniString(u"1F"), true, {}, {}, {}, {}, {}));
  doc.m_EnvParam.m_Area1Layer = 1;
  RegisterFigureKinds(doc);
  std::vector<std::shared_ptr<CArea1Object>> figures;
  PlaceFigures(doc, figures);
  for (auto _ : state) {
    long long total = 0;
    for (const auto& figure : figures) {
      total += figure->GetOrgArea(&doc);
      benchmark::DoNotOptimize(figure->GetEquation(&doc, false, 40));
      benchmark::DoNotOptimize(figure->GetRoundAreaStr(&doc));
    }
    benchmark::DoNotOptimize(total);
  }
  state.counters["figures"] = static_cast<double>(figures.size());
}
BENCHMARK(BM_AreaFormulaAndText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
