// Undo and Redo of an automatic-area update in a large building: 40
// stories of 60 zones (6 x 5 m rooms, every sixth L-shaped), every zone cut
// into figures on the automatic-area page and taken, a story at a time, by
// one of ten calculation elements among 500. One zone of the ground story grows by
// 1 m and is updated; each Undo and Redo then rereads the document and
// checks every automatic area against its zone.

#include "CArea2Object.h"
#include "CAutoAreaParam.h"
#include "CDlgAutoAreaCreate.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraPalette.h"
#include "HostFixture.h"
#include "PlenimetraEntry.h"
#include "dg_user.h"
#include "host_errors.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kStories = 40;
constexpr int kZones = 60;
constexpr int kElements = 10;
// The rest of a grown pattern: elements that take no automatic area but,
// once shown on every story, have a floor record on each.
constexpr int kOtherElements = 490;
constexpr short kAutoAreaPage = 10;
constexpr short kMenu = 32500;

void Check(GSErrCode err, const char* what)
{
  if (err != NoError)
    throw std::runtime_error(std::string(what) + " failed (" + std::to_string(err) + ")");
}

std::vector<API_Coord> ZoneOutline(int i, double grow = 0)
{
  const double x0 = 6.0 * (i % 10), y0 = 5.0 * (i / 10), x1 = x0 + 6.0, y1 = y0 + 5.0 + grow;
  if (i % 6 == 5)
    return {{x0, y0}, {x1, y0}, {x1, y0 + 2.5}, {x0 + 3.0, y0 + 2.5}, {x0 + 3.0, y1}, {x0, y1}};
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

class Building {
public:
  Building()
  {
    host.LoadAddOnLibraryParts();
    for (short s = 1; s < kStories; ++s)
      Check(host.AddStory(s, 3.0 * s, GS::UniString::Printf("%dF", s + 1)), "a story");
    for (short s = 0; s < kStories; ++s)
      for (int i = 0; i < kZones; ++i)
        zones[s].push_back(AddZone(s, i));
    PlenimetraModuleLoad();
    host.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
    Check(host.UserChooseMenuItem(kMenu, 1), "the menu");
    pln::host::DialogUser(PlenimetraPalette().m_PaletteID).Click(kAutoAreaPage);
    page = pln::host::OpenDialogId(CPlenimetraFunc3::ResourceId);
    for (short s = 0; s < kStories; ++s)
      Cut(s);
    std::size_t records = 0;
    for (const CFloorParam& floor : PlenimetraPalette().m_Param.m_FloorParamArray)
      records += floor.m_AutoAreaParamArray.size();
    if (records != static_cast<std::size_t>(kStories * kZones))
      throw std::runtime_error("not every zone was cut");
    TakeByElements();
    UpdateGrownZone();
  }
  ~Building()
  {
    host.UnloadAddOn();
    PlenimetraModuleUnload();
  }

  HostFixture host;
  std::vector<API_Guid> zones[kStories];
  short page = 0;

private:
  API_Guid AddZone(short story, int i)
  {
    PolygonMemo memo({ZoneOutline(i)});
    API_Element zone;
    zone.header.typeID = API_ZoneID;
    zone.header.floorInd = story;
    zone.header.layer = 1;
    zone.zone.roomName = GS::UniString::Printf("R%d-%02d", story + 1, i + 1);
    Check(host.AddPolygonElement(zone, memo), "a zone");
    return zone.header.guid;
  }

  void Cut(short story)
  {
    Check(host.UserChangeStory(story), "a story change");
    Check(host.UserSelect(zones[story]), "the selection");
    host.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [](pln::host::DialogUser& dialog) {
      dialog.SetLong(CDlgAutoAreaCreate::kItemCutFirst + 1, 1);
      dialog.Click(1);
    });
    pln::host::DialogUser(page).Click(CPlenimetraFunc3::kCreate);
  }

  // Element k takes zones k, k + 10, ... of every story.
  void TakeByElements()
  {
    CPlenimetraParam& doc = PlenimetraPalette().m_Param;
    for (int k = 0; k < kElements; ++k) {
      CArea2Object& element = doc.m_Area2ObjectArray.emplace_back(
          &doc, CAreaNameArray(GS::UniString::Printf("E%d", k)), ++doc.m_LastAreaCode,
          CArea2ListTypeTable::LISTTYPE_LIST, CArea2Object::SHOWTOTAL_NOMARK, CItemType1Table::ITEMTYPE_DIAMOND,
          CItemType2Table::ITEMTYPE_UPPER, k, k);
      for (short s = 0; s < kStories; ++s) {
        CArea2ObjectFloor& floor = *element.m_FloorArray.SearchFloor(s);
        for (int i = k; i < kZones; i += kElements) {
          floor.m_AutoAreaGuidArray.Add(ToGSGuid(zones[s][i]));
          CArea1ObjectPtrArray figures;
          for (const auto& figure : CAutoAreaParam(&host.Element(zones[s][i])->element.header).GetAutoArea(&doc))
            figures.Add(figure);
          if (figures.empty())
            throw std::runtime_error("a zone without figures");
          floor.m_List.SetAutoArea(figures);
        }
      }
    }
    for (int k = 0; k < kOtherElements; ++k) {
      CArea2Object& element = doc.m_Area2ObjectArray.emplace_back(
          &doc, CAreaNameArray(GS::UniString::Printf("O%d", k)), ++doc.m_LastAreaCode,
          CArea2ListTypeTable::LISTTYPE_LIST, CArea2Object::SHOWTOTAL_NOMARK, CItemType1Table::ITEMTYPE_DIAMOND,
          CItemType2Table::ITEMTYPE_UPPER, kElements + k, kElements + k);
      for (short s = 0; s < kStories; ++s)
        element.m_FloorArray.SearchFloor(s);
    }
    Check(doc.SaveData(), "the save");
  }

  void UpdateGrownZone()
  {
    Check(host.UserChangeStory(0), "a story change");
    PolygonMemo grown({ZoneOutline(12, 1.0)});
    Check(host.UserSetOutline(zones[0][12], grown), "the zone edit");
    pln::host::DialogUser(page).Click(CPlenimetraFunc3::kCheck);
    const auto& rows = pln::host::DialogItemState(page, CPlenimetraFunc3::kList)->list.rows;
    for (std::size_t r = 0; r < rows.size(); ++r)
      if (rows[r].texts.at(4) == GS::UniString(u"有"))
        pln::host::DialogUser(page).SelectRows(CPlenimetraFunc3::kList, {static_cast<short>(r + 1)});
    pln::host::DialogUser(page).Click(CPlenimetraFunc3::kUpdate);
    if (host.UndoNames().empty() || host.UndoNames().back() != GS::UniString(u"メンセラ[自動作成区画更新]"))
      throw std::runtime_error("the update made no undo step");
  }
};

Building& TheBuilding()
{
  static Building building;
  return building;
}

// Undo timed, Redo untimed, so that every Undo undoes the same update.
void BM_UndoOfAnUpdate(benchmark::State& state)
{
  Building& building = TheBuilding();
  for (auto _ : state) {
    Check(building.host.UserUndo(), "undo");
    state.PauseTiming();
    Check(building.host.UserRedo(), "redo");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoOfAnUpdate)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RedoOfAnUpdate(benchmark::State& state)
{
  Building& building = TheBuilding();
  for (auto _ : state) {
    state.PauseTiming();
    Check(building.host.UserUndo(), "undo");
    state.ResumeTiming();
    Check(building.host.UserRedo(), "redo");
  }
}
BENCHMARK(BM_RedoOfAnUpdate)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
