// Sorting the calculation-tree page's detail list by its target column:
// 300 figures on one story, each listed by two of 20 elements, so every
// row's key is a joined list of element names.

#include "CAreaRectSlant.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraPalette.h"
#include "HostFixture.h"
#include "PlenimetraEntry.h"
#include "dg_user.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kFigures = 300;
constexpr int kElements = 20;
constexpr short kTargetColumn = 7;

struct Project {
  Project()
  {
    host.LoadAddOnLibraryParts();
    PlenimetraModuleLoad();
    host.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
    host.UserChooseMenuItem(32500, 1);
    Build(PlenimetraPalette().m_Param);
    pln::host::DialogUser(PlenimetraPalette().m_PaletteID).Click(12);
    dialId = pln::host::OpenDialogId(CPlenimetraFunc2::ResourceId);
  }
  ~Project()
  {
    host.UnloadAddOn();
    PlenimetraModuleUnload();
  }

  static void Build(CPlenimetraParam& doc)
  {
    CAreaTree* pattern = doc.GetTree();
    pattern->m_Child.clear();
    const CRoundTypeItem cut2(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    const int top = ++doc.m_LastAreaCode;
    pattern->Insert(&doc, u"建物", top, pattern->m_AreaCode, CAreaTree::KIND_FOLDER, cut2, cut2);
    std::vector<CArea2Object*> elements;
    for (int e = 0; e < kElements; ++e) {
      const int code = ++doc.m_LastAreaCode;
      pattern->Insert(&doc, u"室", code, top, CAreaTree::KIND_ELEMENT_FORMULA, cut2, cut2);
      auto* element = dynamic_cast<CArea2Object*>(doc.GetAreaObject(-code));
      element->m_Name.m_DefaultName = GS::UniString(u"室") + GS::UniString(std::to_string(e).c_str(), CC_Default);
      elements.push_back(element);
    }
    CArea1ObjectArray& list = doc.m_FloorParamArray.Search(0)->m_Area1ObjectArray;
    for (int i = 0; i < kFigures; ++i) {
      auto figure = std::make_shared<CAreaRectSlant>(&doc, ++doc.m_LastArea1Code, doc.m_CurItemType1,
                                                     doc.m_CurItemType2, i);
      const double x = 3.0 * (i % 20), y = 3.0 * (i / 20);
      CKelAreaCoord2D points;
      points.m_pt = {{x, y}, {x + 2, y}, {x + 2, y + 1.5}, {x, y + 1.5}};
      figure->Create(&doc, points, 0);
      list.push_back(figure);
      for (int e : {i % kElements, (i * 7 + 3) % kElements}) {
        CArea2ObjectFloor* record = elements[static_cast<std::size_t>(e)]->m_FloorArray.SearchFloor(0);
        record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
        if (record->m_List.Search(figure.get()) == nullptr)
          record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
      }
    }
    list.SetSortIndex();
    pattern->SetItemNo(&doc);
  }

  HostFixture host;
  short dialId = 0;
};

// Each click turns the direction, so every run reorders the whole list.
void BM_DetailListSortByTargets(benchmark::State& state)
{
  Project project;
  auto& page = dynamic_cast<CPlenimetraFunc2&>(*PlenimetraPalette().m_Pages[CPlenimetraPalette::kTree]);
  page.SetDetailListItem(project.dialId);
  for (auto _ : state)
    page.SortDetailList(project.dialId, kTargetColumn);
  state.counters["rows"] = DGListGetItemCount(project.dialId, CPlenimetraFunc2::ITEM_DETAIL_LIST);
}
BENCHMARK(BM_DetailListSortByTargets)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
