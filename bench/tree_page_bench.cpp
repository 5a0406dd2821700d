// The calculation-tree page's refill after an edit: every tree label (each
// node's area on the story and its building total) and every area-list
// row, for a 100-node pattern over 20 stories with 2,000 figures.

#include "CAreaRectSlant.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraPalette.h"
#include "HostFixture.h"
#include "PlenimetraEntry.h"
#include "dg_user.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kStories = 20;
constexpr int kFiguresPerStory = 100;
constexpr int kFolders = 9;
constexpr int kElementsPerFolder = 10;  // with the top folder: 100 nodes

struct Project {
  Project()
  {
    host.LoadAddOnLibraryParts();
    for (int s = 1; s < kStories; ++s)
      host.AddStory(static_cast<short>(s), 3.0 * s, GS::UniString((std::u16string(u"F") + static_cast<char16_t>(u'A' + s)).c_str()));
    PlenimetraModuleLoad();
    host.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
    host.UserChooseMenuItem(32500, 1);
    BuildPattern(PlenimetraPalette().m_Param);
    pln::host::DialogUser(PlenimetraPalette().m_PaletteID).Click(12);
    dialId = pln::host::OpenDialogId(CPlenimetraFunc2::ResourceId);
  }
  ~Project()
  {
    host.UnloadAddOn();
    PlenimetraModuleUnload();
  }

  void BuildPattern(CPlenimetraParam& doc)
  {
    CAreaTree* pattern = doc.GetTree();
    pattern->m_Child.clear();
    const CRoundTypeItem cut2(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    const int top = ++doc.m_LastAreaCode;
    pattern->Insert(&doc, u"建物", top, pattern->m_AreaCode, CAreaTree::KIND_FOLDER, cut2, cut2);
    std::vector<int> elements;
    for (int f = 0; f < kFolders; ++f) {
      const int folder = ++doc.m_LastAreaCode;
      pattern->Insert(&doc, u"区分", folder, top, CAreaTree::KIND_FOLDER, cut2, cut2);
      for (int e = 0; e < kElementsPerFolder; ++e) {
        const int code = ++doc.m_LastAreaCode;
        pattern->Insert(&doc, u"室", code, folder, CAreaTree::KIND_ELEMENT_FORMULA, cut2, cut2);
        elements.push_back(code);
      }
    }
    for (short story = 0; story < kStories; ++story)
      PlaceFigures(doc, story, elements);
    pattern->SetItemNo(&doc);
  }

  // Each figure is listed by one element, the elements taken in turn.
  static void PlaceFigures(CPlenimetraParam& doc, short story, const std::vector<int>& elements)
  {
    CArea1ObjectArray& list = doc.m_FloorParamArray.Search(story)->m_Area1ObjectArray;
    for (int i = 0; i < kFiguresPerStory; ++i) {
      auto figure = std::make_shared<CAreaRectSlant>(&doc, ++doc.m_LastArea1Code, doc.m_CurItemType1,
                                                     doc.m_CurItemType2, i);
      const double x = 3.0 * (i % 10), y = 3.0 * (i / 10);
      CKelAreaCoord2D points;
      points.m_pt = {{x, y}, {x + 2, y}, {x + 2, y + 1.5}, {x, y + 1.5}};
      figure->Create(&doc, points, story);
      list.push_back(figure);
      auto& element = dynamic_cast<CArea2Object&>(*doc.GetAreaObject(-elements[i % elements.size()]));
      CArea2ObjectFloor* record = element.m_FloorArray.SearchFloor(story);
      record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
      record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
    }
    list.SetSortIndex();
  }

  HostFixture host;
  short dialId = 0;
};

void BM_TreeLabelsAndAreaListRefill(benchmark::State& state)
{
  Project project;
  auto& page = dynamic_cast<CPlenimetraFunc2&>(*PlenimetraPalette().m_Pages[CPlenimetraPalette::kTree]);
  page.m_pParam->m_ListType = 2;
  for (auto _ : state)
    page.SetAreaListItem(project.dialId);
  state.counters["rows"] = DGListGetItemCount(project.dialId, CPlenimetraFunc2::ITEM_AREA_LIST);
}
BENCHMARK(BM_TreeLabelsAndAreaListRefill)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
