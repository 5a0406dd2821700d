// The CSV area table of a large calculation: 5,000 placed figures on 10
// stories, 3 calculation patterns of 40 elements each (half listed, half
// by formula) under one folder; every figure is listed by one element of
// each pattern. One round writes the whole table beside the saved project.
// Target: under 1 s in Release.

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CPlenimetraParam.h"
#include "FigureKinds.h"
#include "BenchFigures.h"
#include "HostFixture.h"
#include "io_filesystem.h"
#include "io_location.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kStories = 10;
constexpr int kFigures = 5000;
constexpr int kPatterns = 3;
constexpr int kElements = 40;

struct LargeProject {
  LargeProject()
  {
    host.LoadAddOnLibraryParts();
    for (short story = 1; story < kStories; ++story)
      host.AddStory(story, 3.0 * story, GS::UniString(u"階"));
    RegisterFigureKinds(doc);
    for (short story = 0; story < kStories; ++story)
      doc.m_FloorParamArray.push_back(CFloorParam(story, GS::UniString::Printf("%dF", story + 1), true, {}, {}, {}, {}, {}));
    BuildPatterns();
    PlaceFigures();
    const auto folder = pln::host::SandboxRoot() / "bench";
    std::filesystem::create_directories(folder);
    host.UserSaveProjectAs(IO::Location(GS::UniString((folder / "Plan.pln").string().c_str(), CC_UTF8)));
  }

  void BuildPatterns()
  {
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    int code = 0;
    for (int p = 0; p < kPatterns; ++p) {
      const int top = ++code;
      doc.m_AreaTree2.Insert(&doc, GS::UniString::Printf("パターン%d", p + 1), top, 0, CAreaTree::KIND_FOLDER, item, item);
      const int building = ++code;
      doc.m_AreaTree2.Insert(&doc, GS::UniString(u"建物"), building, top, CAreaTree::KIND_FOLDER, item, item);
      for (int e = 0; e < kElements; ++e) {
        const int kind = e % 2 == 0 ? CAreaTree::KIND_ELEMENT_LIST : CAreaTree::KIND_ELEMENT_FORMULA;
        doc.m_AreaTree2.Insert(&doc, GS::UniString(u"要素"), ++code, building, kind, item, item);
        elements.push_back(code);
      }
    }
    doc.m_LastAreaCode = code;
    doc.m_AreaTreeStore = doc.m_AreaTree2;
    doc.m_CurTreeCode = 1;
    doc.m_bTuboRow = true;
  }

  void PlaceFigures()
  {
    const int triangle = BenchTriangleLibInd();
    for (int i = 0; i < kFigures; ++i) {
      const short story = short(i % kStories);
      auto figure = PlaceBenchTriangle(host, doc, triangle, story, i / kStories);
      for (int p = 0; p < kPatterns; ++p) {
        auto* listing = dynamic_cast<CArea2Object*>(doc.GetAreaObject(-elements[std::size_t(p * kElements + i % kElements)]));
        CArea2ObjectFloor* record = listing->m_FloorArray.SearchFloor(story);
        record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
        record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
      }
    }
  }

  HostFixture host;
  CPlenimetraParam doc;
  std::vector<int> elements;
};

void BM_CsvAreaTable(benchmark::State& state)
{
  LargeProject project;
  for (auto _ : state)
    if (project.doc.ToCsv() != NoError)
      state.SkipWithError("CSV failed");
}
BENCHMARK(BM_CsvAreaTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
