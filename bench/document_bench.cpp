// The project record of a large calculation: 10,000 placed figures on 10
// stories, listed by 100 calculation elements. One round writes the record
// (SaveData) and reads it back the way the loader does (Serialize, which
// rebuilds the figure records from the placed parts through GetElement2).
// Target: under 100 ms for both together in Release.

#include "CArchive.h"
#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CPlenimetraParam.h"
#include "FigureKinds.h"
#include "BenchFigures.h"
#include "HostFixture.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kStories = 10;
constexpr int kFigures = 10000;
constexpr int kElements = 100;

struct LargeProject {
  LargeProject()
  {
    host.LoadAddOnLibraryParts();
    for (short story = 1; story < kStories; ++story)
      host.AddStory(story, 3.0 * story, GS::UniString(u"階"));
    RegisterFigureKinds(doc);
    for (short story = 0; story < kStories; ++story)
      doc.m_FloorParamArray.push_back(CFloorParam(story, GS::UniString(), true, {}, {}, {}, {}, {}));
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    doc.m_AreaTree2.Insert(&doc, GS::UniString(u"パターン"), 1, 0, CAreaTree::KIND_FOLDER, item, item);
    doc.m_AreaTree2.Insert(&doc, GS::UniString(u"建物"), 2, 1, CAreaTree::KIND_FOLDER, item, item);
    for (int i = 0; i < kElements; ++i)
      doc.m_AreaTree2.Insert(&doc, GS::UniString(u"要素"), 3 + i, 2, CAreaTree::KIND_ELEMENT_FORMULA, item, item);
    doc.m_LastAreaCode = 2 + kElements;
    doc.m_AreaTreeStore = doc.m_AreaTree2;
    doc.m_CurTreeCode = 1;
    PlaceFigures();
  }

  void PlaceFigures()
  {
    const int triangle = BenchTriangleLibInd();
    for (int i = 0; i < kFigures; ++i) {
      const short story = short(i % kStories);
      auto figure = PlaceBenchTriangle(host, doc, triangle, story, i / kStories);
      figure->Save();
      auto* listing = dynamic_cast<CArea2Object*>(doc.GetAreaObject(-(3 + i % kElements)));
      CArea2ObjectFloor* record = listing->m_FloorArray.SearchFloor(story);
      record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
      record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
    }
  }

  HostFixture host;
  CPlenimetraParam doc;
};

void BM_ProjectRecordSaveAndLoad(benchmark::State& state)
{
  LargeProject project;
  CPlenimetraParam empty;
  RegisterFigureKinds(empty);
  for (auto _ : state) {
    if (project.doc.SaveData() != NoError)
      state.SkipWithError("save failed");
    CPlenimetraParam loaded(empty);
    CArchiveOld ar(CPlenimetraParam::kRecordName);
    if (ar.Open() != NoError || !loaded.Serialize(ar))
      state.SkipWithError("load failed");
    benchmark::DoNotOptimize(loaded.m_LastArea1Code);
  }
}
BENCHMARK(BM_ProjectRecordSaveAndLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
