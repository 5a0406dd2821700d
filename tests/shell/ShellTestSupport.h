#pragma once
// The add-on loaded into a fresh stand-in host with the stories B1, 1F, 2F
// and 3F (1F active) and the add-on's library parts; a fresh global
// palette per test. Figures are placed by the document itself (no
// notification), as the palette's own commands do.

#include "../AlertWords.h"
#include "../LiveHandleCheck.h"
#include "CAreaCircle.h"
#include "CAreaRectSlant.h"
#include "CPlenimetraPalette.h"
#include "GSWriteReport.h"
#include "HostFixture.h"
#include "PlenimetraEntry.h"
#include "dg_user.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_goodies.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A page that records what the palette tells it.
class RecordingPage : public CPlenimetraPage {
public:
  RecordingPage(CPlenimetraPalette& palette, std::vector<std::string>& log, const char* name)
      : CPlenimetraPage(palette, 32408), m_Log(log), m_Name(name)
  {
  }
  void OnUpdate(HINT hint) override
  {
    m_Log.push_back(m_Name + ":" + std::to_string(hint) + (m_Palette.m_bIgnoreSelection ? "i" : ""));
    if (onUpdate != nullptr)
      onUpdate(hint);
  }
  // What every recording page does after logging an update.
  static inline std::function<void(HINT)> onUpdate;
  GSErrCode SelectionChangeHandler(const API_Neig*) override
  {
    m_Log.push_back(m_Name + ":selection");
    return NoError;
  }
  void ProjectionNotification(API_NotifyEventID event) override
  {
    m_Log.push_back(m_Name + ":event" + std::to_string(static_cast<int>(event)));
  }
  void DoMsgChange(short, short, long long) override {}
  void DoMsgClose(short, short) override {}
  GSErrCode OpenPalette() override { return DoPaletteInit(); }
  void ClosePalette() override { DoPaletteClose(); }

private:
  std::vector<std::string>& m_Log;
  std::string m_Name;
};

class ShellTest : public ::testing::Test {
protected:
  ShellTest()
  {
    host.LoadAddOnLibraryParts();
    host.AddStory(-1, -3.0, u"B1");
    host.AddStory(1, 3.0, u"2F");
    host.AddStory(2, 6.0, u"3F");
    PlenimetraModuleLoad();
    load = host.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
  }
  ~ShellTest() override
  {
    for (const std::string& misuse : host.DialogMisuses())
      ADD_FAILURE() << misuse;
    // Whatever a test made fail, the user is told in words.
    ExpectAlertsInWords(host.Alerts());
    RecordingPage::onUpdate = nullptr;
    for (int slot = 0; slot < 3; ++slot)
      CPlenimetraPalette::SetPageMaker(static_cast<CPlenimetraPalette::PageSlot>(slot), nullptr);
    host.UnloadAddOn();
    PlenimetraModuleUnload();
  }

  CPlenimetraPalette& palette() { return PlenimetraPalette(); }
  CPlenimetraParam& doc() { return palette().m_Param; }
  short dialId() { return palette().m_PaletteID; }
  pln::host::DialogUser user() { return pln::host::DialogUser(dialId()); }
  GSErrCode Menu() { return host.UserChooseMenuItem(32500, 1); }
  // A new empty worksheet, brought to the front by the user.
  API_WindowInfo ShowNewWorksheet()
  {
    API_DatabaseInfo sheet;
    sheet.typeID = APIWind_WorksheetID;
    EXPECT_EQ(ACAPI_Database('NDAT', &sheet), NoError);
    API_WindowInfo window;
    window.typeID = APIWind_WorksheetID;
    window.databaseUnId = sheet.databaseUnId;
    EXPECT_EQ(host.UserShowWindow(window), NoError);
    return window;
  }
  GS::UniString ItemText(short item) { return pln::host::DialogItemState(dialId(), item)->text; }
  bool Visible(short item) { return pln::host::DialogItemState(dialId(), item)->visible; }
  bool Enabled(short item) { return pln::host::DialogItemState(dialId(), item)->enabled; }
  std::vector<GS::UniString> PopUpTexts(short item)
  {
    std::vector<GS::UniString> texts;
    for (const auto& entry : pln::host::DialogItemState(dialId(), item)->entries)
      texts.push_back(entry.text);
    return texts;
  }
  GS::UniString SelectedText(short item)
  {
    const pln::host::DGItemState* state = pln::host::DialogItemState(dialId(), item);
    return state->selectedEntry > 0 ? state->entries[state->selectedEntry - 1].text : GS::UniString();
  }

  // A command run while the calculation's store is refused as not reserved,
  // after `passes` stores of the dialog's own choices are let through.
  struct RefusedSave {
    const char16_t* notDone;
    std::function<void()> run;
    int passes = 0;
  };
  // Each command's last alert names what was not done and why.
  template <std::size_t N>
  void ExpectEachRefusedSaveNamed(const RefusedSave (&cases)[N])
  {
    for (const RefusedSave& c : cases) {
      const GS::UniString notDone(c.notDone);
      SCOPED_TRACE(notDone.ToStdString(CC_UTF8));
      for (int k = 0; k < c.passes; ++k)
        host.FailOnce("ACAPI_ModulData_Store", NoError);
      host.FailOnce("ACAPI_ModulData_Store", APIERR_NOTMINE);
      const std::size_t alerts = host.Alerts().size();
      c.run();
      ASSERT_GT(host.Alerts().size(), alerts);
      EXPECT_EQ(host.Alerts().back().largeText.ToStdString(CC_UTF8),
                (notDone + GSCauseText(APIERR_NOTMINE)).ToStdString(CC_UTF8));
    }
  }

  CFloorParam& Floor(short story) { return *doc().m_FloorParamArray.Search(story); }
  CArea1ObjectArray& Figures(short story) { return Floor(story).m_Area1ObjectArray; }

  // A w x h m rectangle figure at (x, y) placed by the document on the
  // story with the next code and number, listed, refreshed and saved.
  std::shared_ptr<CArea1Object> PlaceRect(short story, double x, double y, double w, double h)
  {
    CPlenimetraParam& d = doc();
    CArea1ObjectArray& list = Figures(story);
    const int no = list.GetMaxItemNo(&d, d.m_CurItemType1, d.m_CurItemType2) + 1;
    auto figure = std::make_shared<CAreaRectSlant>(&d, ++d.m_LastArea1Code, d.m_CurItemType1, d.m_CurItemType2, no);
    CKelAreaCoord2D points;
    points.m_pt = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    EXPECT_EQ(figure->Create(&d, points, story), NoError);
    list.push_back(figure);
    EXPECT_EQ(list.SetSortIndex(), NoError);
    EXPECT_EQ(figure->ChangeParam(&d, true), NoError);
    EXPECT_EQ(d.SaveData(), NoError);
    return figure;
  }

  std::u16string Label(const CArea1Object& figure, const char* name) const
  {
    const pln::host::StoredParam* param = host.Parameter(figure.m_Element.header.guid, name);
    return param != nullptr ? std::u16string(param->record.uStrValue) : u"<none>";
  }

  // The figures' numbers in list order.
  std::vector<int> Numbers(short story)
  {
    std::vector<int> numbers;
    for (const auto& figure : Figures(story))
      numbers.push_back(figure->m_No);
    return numbers;
  }

  // A polygon element of the type on layer 1 with its ID text.
  API_Guid AddPolygon(API_ElemTypeID type, const std::vector<std::vector<API_Coord>>& contours, const char16_t* id,
                      const std::function<void(API_Element&)>& more = nullptr)
  {
    PolygonMemo polygon(contours);
    API_Element element;
    element.header.typeID = type;
    element.header.layer = 1;
    if (more != nullptr)
      more(element);
    EXPECT_EQ(host.AddPolygonElement(element, polygon), NoError);
    EXPECT_EQ(host.SetInfoString(element.header.guid, id), NoError);
    return element.header.guid;
  }

  // The sources of automatic areas on 1F: zone Z-1 (room LDK, category
  // colour (1, 0.5, 0), 6 x 4 m with a 1 x 1 m hole), slab S-1 (3 x 2 m)
  // and a line, which no cut takes.
  struct AutoAreaSources {
    API_Guid zone, slab, line;
  };
  AutoAreaSources AddAutoAreaSources()
  {
    AutoAreaSources sources;
    const Int32 category = host.AddZoneCategory(u"居室", u"R", {1.0, 0.5, 0.0});
    sources.zone = AddPolygon(API_ZoneID, {{{0, 0}, {6, 0}, {6, 4}, {0, 4}}, {{1, 1}, {1, 2}, {2, 2}, {2, 1}}}, u"Z-1",
                              [&](API_Element& e) {
                                e.zone.roomName = u"LDK";
                                e.zone.catInd = category;
                              });
    sources.slab = AddPolygon(API_SlabID, {{{10, 0}, {13, 0}, {13, 2}, {10, 2}}}, u"S-1");
    API_Element element;
    element.header.typeID = API_LineID;
    element.header.layer = 1;
    element.line.endC = {1, 1};
    EXPECT_EQ(host.AddElement(element), NoError);
    sources.line = element.header.guid;
    return sources;
  }

  HostFixture host;
  HostFixture::AddOnLoad load;
};
