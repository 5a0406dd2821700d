// The building-area summary sheets: table placement, rows top story first,
// minus marks, decimal alignment, one element group a table, patterns left
// out, and a sheet that cannot be cleared.

#include "CWorksheetTotal.h"
#include "OutputTestSupport.h"
#include "host_elements.h"
#include "host_errors.h"

#include <algorithm>
#include <map>
#include <string>

namespace {

using output_test::U8;

class WorksheetTotalTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    doc().m_FloorParamArray[0].m_FloorName = u"1F";
    doc().m_FloorParamArray[1].m_FloorName = u"2階";
    doc().m_EnvParam.m_ListLayer = 1;
    // 建物 over E1 (one decimal), E2 (two), E3 (none, subtracted).
    e1 = Element(u"E1", 1, COperatorTable::OPERATOR_PLUS, 1250000000);
    e2 = Element(u"E2", 2, COperatorTable::OPERATOR_PLUS, 325000000);
    e3 = Element(u"E3", 0, COperatorTable::OPERATOR_MINUS, 700000000);
  }

  CPlenimetraParam& doc() { return pattern.doc; }

  // An element under 建物 with a figure of the raw area on story 0.
  int Element(const char16_t* name, int digits, int op, long long raw)
  {
    const int code = pattern.AddElement(PatternDoc::kBuildingCode, name, op);
    CAreaTree* node = pattern.Node(code);
    node->m_RoundTypeFloor.m_Digit = digits;
    node->m_RoundTypeTotal.m_Digit = digits;
    pattern.AddFigure(code, 0, raw);
    return code;
  }

  // The texts of the summary sheet by their content.
  std::multimap<std::string, const pln::host::StoredElement*> Texts()
  {
    std::multimap<std::string, const pln::host::StoredElement*> texts;
    const auto sheet = host.WorksheetNamed(GS::UniString(u"パターン 建物面積表"));
    EXPECT_TRUE(sheet.has_value());
    if (!sheet)
      return texts;
    for (const auto* text : host.ElementsIn(*sheet, API_TextID))
      texts.emplace(U8(GS::UniString(text->memo.textContent->c_str(), CC_Default)), text);
    return texts;
  }

  API_Coord At(const std::multimap<std::string, const pln::host::StoredElement*>& texts, const std::string& text,
               std::size_t nth = 0)
  {
    auto range = texts.equal_range(text);
    for (auto it = range.first; it != range.second; ++it, --nth)
      if (nth == 0)
        return it->second->element.text.loc;
    ADD_FAILURE() << "no text " << text;
    return {};
  }

  HostFixture host;
  PatternDoc pattern{2};
  int e1 = 0, e2 = 0, e3 = 0;
};

// Scale 1:100, default style: d = 0.5, W = 7.5, H = 1.
TEST_F(WorksheetTotalTest, TablesStepDownAndAcrossAndAlignTheirDecimals)
{
  ASSERT_EQ(CWorksheetTotal(&doc()).DoCreate(), NoError);
  const auto texts = Texts();
  // Total table at (0, 0): columns E1, E2, E3, 建物; 2階 on row 1, 1F on row 2.
  EXPECT_EQ(At(texts, "2階"), (API_Coord{0, -1.5}));
  EXPECT_EQ(At(texts, "1F"), (API_Coord{0, -2.5}));
  // Q = 2: "12.5" half a text height, "▲7" a full one left of the edge.
  EXPECT_EQ(At(texts, "12.5"), (API_Coord{7.5 - 0.25, -2.5}));
  EXPECT_EQ(At(texts, "3.25"), (API_Coord{15.0, -2.5}));
  EXPECT_EQ(At(texts, "▲7"), (API_Coord{22.5 - 0.5, -2.5}));
  EXPECT_EQ(At(texts, "▲0"), (API_Coord{22.5 - 0.5, -1.5}));
  EXPECT_EQ(At(texts, "合計"), (API_Coord{0, -3.5}));
  // Per-node tables start (L + row gap + 3) H = 6 below, 2W + gap d = 16 apart.
  EXPECT_EQ(At(texts, "E1", 1), (API_Coord{-7.5, -7}));
  EXPECT_EQ(At(texts, "E2", 1), (API_Coord{8.5, -7}));
  EXPECT_EQ(At(texts, "建物", 0), (API_Coord{-7.5, 1}));  // caption above its header
  EXPECT_EQ(At(texts, "建物", 1), (API_Coord{26.25, 0.5}));  // header cell centre
  EXPECT_EQ(At(texts, "建物", 2), (API_Coord{40.5, -7}));
  // Alone, "12.5" has Q = 1 and sits on its edge.
  EXPECT_EQ(At(texts, "12.5", 2), (API_Coord{0 + 7.5, -6 - 2.5}));
}

TEST_F(WorksheetTotalTest, EachTableIsOneGroupAndARedrawReplacesEveryLineAndText)
{
  ASSERT_EQ(CWorksheetTotal(&doc()).DoCreate(), NoError);
  const auto sheet = host.WorksheetNamed(GS::UniString(u"パターン 建物面積表"));
  ASSERT_TRUE(sheet.has_value());
  std::map<std::string, int> groups;
  const auto lines = host.ElementsIn(*sheet, API_LineID);
  const auto texts = host.ElementsIn(*sheet, API_TextID);
  for (const auto* element : lines)
    ++groups[U8(APIGuidToString(element->element.header.groupGuid))];
  for (const auto* element : texts)
    ++groups[U8(APIGuidToString(element->element.header.groupGuid))];
  EXPECT_EQ(groups.size(), 5u);  // one total table, four node tables
  EXPECT_EQ(groups.count(U8(APIGuidToString(APINULLGuid))), 0u);

  ASSERT_EQ(CWorksheetTotal(&doc()).DoCreate(), NoError);
  EXPECT_EQ(host.ElementsIn(*sheet, API_LineID).size(), lines.size());
  EXPECT_EQ(host.ElementsIn(*sheet, API_TextID).size(), texts.size());
  EXPECT_EQ(host.UndoNames().size(), 2u);
}

TEST_F(WorksheetTotalTest, APatternLeftOutGetsNoSheetAndAFailedClearingEndsTheSheet)
{
  doc().m_TotalExcludeCodes.Add(PatternDoc::kTopCode);
  doc().m_CurTreeCode = 0;
  EXPECT_EQ(CWorksheetTotal(&doc()).DoCreate(), NoError);
  EXPECT_FALSE(host.WorksheetNamed(GS::UniString(u"パターン 建物面積表")).has_value());
  EXPECT_EQ(doc().m_CurTreeCode, 0);

  doc().m_TotalExcludeCodes.clear();
  host.FailOnce("ACAPI_Element_GetElemList", APIERR_MEMFULL);
  EXPECT_EQ(CWorksheetTotal(&doc()).DoCreate(), APIERR_MEMFULL);
  const auto sheet = host.WorksheetNamed(GS::UniString(u"パターン 建物面積表"));
  ASSERT_TRUE(sheet.has_value());
  EXPECT_TRUE(host.ElementsIn(*sheet, API_TextID).empty());
}

// A line or text the host refuses, wherever it falls (the header's title
// included), is what the sheet answers: no element goes missing unreported.
TEST_F(WorksheetTotalTest, EveryRefusedLineOrTextIsReturned)
{
  host.ClearCallLog();
  ASSERT_EQ(CWorksheetTotal(&doc()).DoCreate(), NoError);
  const auto creations =
      std::count(host.CallLog().begin(), host.CallLog().end(), std::string("ACAPI_Element_Create"));
  ASSERT_GT(creations, 50);
  for (std::ptrdiff_t k = 1; k <= creations; ++k) {
    for (std::ptrdiff_t i = 1; i < k; ++i)
      host.FailOnce("ACAPI_Element_Create", NoError);
    host.FailOnce("ACAPI_Element_Create", APIERR_MEMFULL);
    EXPECT_EQ(CWorksheetTotal(&doc()).DoCreate(), APIERR_MEMFULL) << "creation " << k;
  }
}

}  // namespace
