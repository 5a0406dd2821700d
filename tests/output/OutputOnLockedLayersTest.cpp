// The worksheet output as the palette's command runs it, on layers the user
// has locked or hidden: the area-table layer, and layers of lines and texts
// drawn on the sheets by hand. Every output is whole and answers nothing,
// and every layer is left as the user had it.

#include "CDlgOutputToWorksheet.h"
#include "OutputCommand.h"
#include "OutputTestSupport.h"
#include "host_attributes.h"
#include "host_errors.h"

#include <map>

namespace {

using output_test::U8;
using pln::host::DialogUser;

constexpr const char16_t* kSheets[] = {u"パターン 1F", u"パターン 2F", u"パターン 建物面積表"};

// Elements of each kind on each sheet.
using Contents = std::map<std::string, std::map<API_ElemTypeID, int>>;

class OutputOnLockedLayersTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    host.DefineDialog(CDlgOutputToWorksheet::ResourceId, CDlgOutputToWorksheet::Layout());
    ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
    tables = short(host.AddLayer(GS::UniString(u"求積表")));
    output_test::RoomsOnTwoFloors(host, pattern, tables, {0, 0, 1});
  }

  CPlenimetraParam& doc() { return pattern.doc; }

  GSErrCode Output()
  {
    return output_test::OutputWorksheets(host, doc());
  }

  Contents Sheets() const
  {
    Contents contents;
    for (const char16_t* name : kSheets) {
      auto& kinds = contents[U8(GS::UniString(name))];
      if (const auto id = host.WorksheetNamed(GS::UniString(name)))
        for (const auto* element : host.ElementsIn(*id, API_ZombieElemID))
          ++kinds[element->element.header.typeID];
    }
    return contents;
  }

  UInt32 Flags(short layer) const
  {
    API_Attribute attribute;
    attribute.header.typeID = API_LayerID;
    attribute.header.index = layer;
    EXPECT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
    return attribute.header.flags;
  }

  // A line the user draws on the sheet, on the layer.
  API_Guid DrawByHand(const char16_t* sheet, short layer)
  {
    API_WindowInfo window;
    window.typeID = APIWind_WorksheetID;
    window.databaseUnId = *host.WorksheetNamed(GS::UniString(sheet));
    EXPECT_EQ(host.UserShowWindow(window), NoError);
    API_Element line;
    line.header.typeID = API_LineID;
    line.header.layer = layer;
    line.line.endC = {1, 0};
    EXPECT_EQ(host.UserPlace(line), NoError);
    return line.header.guid;
  }

  HostFixture host;
  PatternDoc pattern{2};
  short tables = 0;
};

struct LayerCase {
  UInt32 flags;
  bool summaries;
};

void PrintTo(const LayerCase& c, std::ostream* os)
{
  *os << "layer flags " << c.flags << (c.summaries ? ", summaries" : ", no summaries");
}

class TableLayerTest : public OutputOnLockedLayersTest, public ::testing::WithParamInterface<LayerCase> {};

// The first output of the project, a second that replaces it, and, as the
// measure of a whole output, a third with the layer open.
TEST_P(TableLayerTest, EveryOutputIsWholeAndTheLayerStaysAsItWas)
{
  const auto [flags, summaries] = GetParam();
  if (!summaries)
    doc().m_TotalExcludeCodes.Add(PatternDoc::kTopCode);
  ASSERT_EQ(host.SetLayerFlags(tables, flags), NoError);
  std::vector<Contents> outputs;
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(Output(), NoError) << "output " << run;
    EXPECT_EQ(Flags(tables), flags) << "output " << run;
    outputs.push_back(Sheets());
  }
  EXPECT_TRUE(host.Alerts().empty());
  ASSERT_EQ(host.SetLayerFlags(tables, 0), NoError);
  ASSERT_EQ(Output(), NoError);
  const Contents whole = Sheets();
  EXPECT_GE(whole.at("パターン 1F").at(API_ObjectID), 3);  // two copies and the tables
  EXPECT_EQ(whole.at("パターン 建物面積表").empty(), !summaries);
  for (const Contents& output : outputs)
    EXPECT_TRUE(output == whole);
}

INSTANTIATE_TEST_SUITE_P(LockedOrHidden, TableLayerTest,
                         ::testing::Values(LayerCase{APILay_Locked, true}, LayerCase{APILay_Locked, false},
                                           LayerCase{APILay_Hidden, true}, LayerCase{APILay_Hidden, false},
                                           LayerCase{APILay_Locked | APILay_Hidden, true}));

// What the user drew on the sheets goes with the earlier output, whatever
// its layer: the layers stay locked or hidden.
TEST_F(OutputOnLockedLayersTest, LinesDrawnByHandOnLockedOrHiddenLayersAreClearedAndTheLayersKept)
{
  ASSERT_EQ(Output(), NoError);
  const Contents whole = Sheets();
  const short locked = short(host.AddLayer(GS::UniString(u"手書き")));
  const short hidden = short(host.AddLayer(GS::UniString(u"下書き")));
  const API_Guid onSummary = DrawByHand(u"パターン 建物面積表", locked);
  const API_Guid alsoOnSummary = DrawByHand(u"パターン 建物面積表", hidden);
  const API_Guid onFloor = DrawByHand(u"パターン 1F", locked);
  ASSERT_EQ(host.SetLayerFlags(locked, APILay_Locked), NoError);
  ASSERT_EQ(host.SetLayerFlags(hidden, APILay_Hidden), NoError);

  ASSERT_EQ(Output(), NoError);
  for (const API_Guid& line : {onSummary, alsoOnSummary, onFloor})
    EXPECT_TRUE(host.Element(line) == nullptr || host.Element(line)->deleted);
  EXPECT_TRUE(Sheets() == whole);
  EXPECT_EQ(Flags(locked), UInt32(APILay_Locked));
  EXPECT_EQ(Flags(hidden), UInt32(APILay_Hidden));
  EXPECT_EQ(Flags(tables), 0u);
  EXPECT_TRUE(host.Alerts().empty());
}

// Each host call of an output that shows, unlocks, hides or locks a layer
// failing in turn: a layer the user had closed that stays open is named in
// the one alert of that output, whether the output itself went through or
// not.
TEST_F(OutputOnLockedLayersTest, ALayerThatCannotBeClosedAgainIsNamedOnce)
{
  ASSERT_EQ(Output(), NoError);
  const short locked = short(host.AddLayer(GS::UniString(u"手書き")));
  const short hidden = short(host.AddLayer(GS::UniString(u"下書き")));
  DrawByHand(u"パターン 建物面積表", locked);
  DrawByHand(u"パターン 1F", hidden);
  const std::map<short, std::pair<UInt32, std::string>> layers{
      {locked, {APILay_Locked, "手書き"}}, {hidden, {APILay_Hidden, "下書き"}},
      {tables, {APILay_Locked | APILay_Hidden, "求積表"}}};
  const auto closeAll = [&] {
    for (const auto& [layer, state] : layers)
      ASSERT_EQ(host.SetLayerFlags(layer, state.first), NoError);
  };
  closeAll();
  host.ClearCallLog();
  ASSERT_EQ(Output(), NoError);
  const auto changes = std::count(host.CallLog().begin(), host.CallLog().end(), std::string("ACAPI_Attribute_Modify"));
  ASSERT_GT(changes, 6);
  int leftOpen = 0;
  for (std::ptrdiff_t k = 1; k <= changes; ++k) {
    const std::size_t alerts = host.Alerts().size();
    for (std::ptrdiff_t i = 1; i < k; ++i)
      host.FailOnce("ACAPI_Attribute_Modify", NoError);
    host.FailOnce("ACAPI_Attribute_Modify", APIERR_GENERAL);
    const GSErrCode err = Output();
    ASSERT_LE(host.Alerts().size(), alerts + 1) << "change " << k;
    const std::string alert = host.Alerts().size() > alerts ? U8(host.Alerts().back().largeText) : std::string();
    EXPECT_EQ(alert.empty(), err == NoError && alert.empty()) << "change " << k;
    for (const auto& [layer, state] : layers) {
      if (Flags(layer) == state.first)
        continue;
      ++leftOpen;
      EXPECT_NE(alert.find("「" + state.second + "」"), std::string::npos) << "change " << k << ": " << alert;
    }
    closeAll();
  }
  EXPECT_GT(leftOpen, 2);  // the table layer after a write, and the hand-drawn ones after the clearing
}

}  // namespace
