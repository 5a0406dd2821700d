// Operations on placed figures as a whole, with real figure kinds: sort
// indices and list order, copying a floor through a dialog double,
// Teamwork reservation before deleting, deleting the drawn output and the
// worksheets through a double of the output.

#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CMyUserData.h"
#include "DocServices.h"
#include "FiguresTestSupport.h"
#include "host_environment.h"

#include <algorithm>

namespace {

class ManagementTest : public FigureTest {
protected:
  ManagementTest()
  {
    host.AddStory(1, 3.0, GS::UniString(u"2F"));
    host.AddStory(2, 6.0, GS::UniString(u"3F"));
    doc().m_FloorParamArray.push_back(MakeFloor(1));
    doc().m_FloorParamArray.push_back(MakeFloor(2));
    element = pattern.AddElement(PatternDoc::kBuildingCode, u"要素");
  }
  CFloorParam& Floor(short story) { return *doc().m_FloorParamArray.Search(story); }
  std::shared_ptr<CArea1Object> Triangle(double size)
  {
    return Place<CAreaTriangle>(Points({{0, 0}, {size, 0}, {0, size}}));
  }
  CArea2ObjectFloor* Record(short story) { return pattern.Element(element)->m_FloorArray.SearchFloor(story); }
  bool Exists(const CArea1Object& figure)
  {
    API_Element read{};
    read.header.guid = figure.m_Element.header.guid;
    return ACAPI_Element_Get(&read) == NoError;
  }
  void SetEntries(short story, const std::vector<CArea2List>& entries)
  {
    Record(story)->m_List.clear();
    for (const CArea2List& entry : entries)
      Record(story)->m_List.push_back(entry);
  }
  bool Called(const std::string& name) const
  {
    const auto& log = host.CallLog();
    return std::find(log.begin(), log.end(), name) != log.end();
  }

  int element = 0;
};

class FloorCopyDouble : public CFloorCopyChoice {
public:
  FloorCopyDouble(short source, std::vector<bool> targets) : m_Source(source), m_Targets(std::move(targets)) {}
  bool DoModal(CPlenimetraParam*, short& source, std::vector<bool>& targets) override
  {
    source = m_Source;
    targets = m_Targets;
    return m_Confirm;
  }
  short m_Source;
  std::vector<bool> m_Targets;
  bool m_Confirm = true;
};

// ---- ordering ------------------------------------------------------------------------

TEST_F(ManagementTest, SortIndicesAreRenumberedOnlyWhenNotAPermutation)
{
  struct Case {
    std::vector<int> before, after;
  };
  for (const Case& c : {Case{{2, 0, 1}, {2, 0, 1}}, Case{{0, 0, 2}, {0, 1, 2}}, Case{{5, 6}, {0, 1}},
                        Case{{-1, 0}, {0, 1}}, Case{{}, {}}}) {
    PatternDoc objects;
    std::vector<CAreaObject*> list;
    for (int index : c.before) {
      CAreaObject* object = objects.Object(objects.AddFolder(PatternDoc::kBuildingCode, u"f"));
      object->m_SortIndex = index;
      list.push_back(object);
    }
    CPlenimetraParam::AreaObjectSetSortIndex(list);
    std::vector<int> after;
    for (const CAreaObject* object : list)
      after.push_back(object->m_SortIndex);
    EXPECT_EQ(after, c.after);
  }
}

TEST_F(ManagementTest, FiguresAndObjectsCompareByMarkTextThenNumber)
{
  auto a = Triangle(1);
  auto b = Triangle(2);
  struct Case {
    int markA, markB, noA, noB, expected;
  };
  for (const Case& c : {Case{1, 1, 3, 3, 0}, Case{1, 1, 2, 3, -1}, Case{1, 1, 4, 3, 1}}) {
    a->m_ItemType1 = CItemType1Table::ITEMTYPE(c.markA);
    b->m_ItemType1 = CItemType1Table::ITEMTYPE(c.markB);
    a->m_No = c.noA;
    b->m_No = c.noB;
    EXPECT_EQ(doc().CompareASCII(a.get(), b.get()), c.expected);
    EXPECT_EQ(doc().CompareASCII(b.get(), a.get()), -c.expected);
  }
  // Different marks decide by their texts, whatever the numbers.
  b->m_ItemType1 = CItemType1Table::ITEMTYPE(2);
  const int byText = a->GetMarkStr(&doc()) < b->GetMarkStr(&doc()) ? -1 : 1;
  a->m_No = 99;
  EXPECT_EQ(doc().CompareASCII(a.get(), b.get()), byText);
  CAreaObject* x = pattern.Object(pattern.AddFolder(PatternDoc::kBuildingCode, u"x"));
  CAreaObject* y = pattern.Object(pattern.AddFolder(PatternDoc::kBuildingCode, u"y"));
  x->m_No = y->m_No = 3;
  EXPECT_EQ(doc().CompareASCII(x, y), 0);
  y->m_No = 4;
  EXPECT_EQ(doc().CompareASCII(x, y), -1);
}

// ---- copying a floor --------------------------------------------------------------------

TEST_F(ManagementTest, FloorCopyReplacesTheTargetsFiguresAndCopiesEveryMatchingEntry)
{
  auto first = Triangle(2);
  auto second = Triangle(3);
  ASSERT_EQ(first->CopyObject(&doc(), 1), NoError);  // an old figure on story 1
  auto old = Floor(1).m_Area1ObjectArray.back();
  CArea2List entry(first, COperatorTable::OPERATOR_MINUS);
  entry.m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
  entry.m_CrMark.m_bCr = true;
  SetEntries(0, {entry, CArea2List(second, COperatorTable::OPERATOR_PLUS)});
  SetEntries(1, {CArea2List(old, COperatorTable::OPERATOR_PLUS)});

  FloorCopyDouble dialog(0, {true, true, true});  // the source's own flag is passed over
  ASSERT_EQ(doc().FloorCopy(dialog), NoError);
  EXPECT_FALSE(Exists(*old));
  EXPECT_EQ(Floor(0).m_Area1ObjectArray.size(), 2u);
  for (short story : {1, 2}) {
    SCOPED_TRACE(story);
    const CArea1ObjectArray& copies = Floor(story).m_Area1ObjectArray;
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0]->GetOrgArea(&doc()), first->GetOrgArea(&doc()));
    EXPECT_EQ(copies[1]->GetOrgArea(&doc()), second->GetOrgArea(&doc()));
    EXPECT_EQ(copies[0]->m_Element.header.floorInd, story);
    ASSERT_EQ(Record(story)->m_List.size(), 2u);
    const CArea2List& copied = Record(story)->m_List[0];
    EXPECT_EQ(copied.m_pArea1, copies[0]);
    EXPECT_EQ(copied.m_RoundType, CRoundTypeTable::ROUNDTYPE_UP);
    EXPECT_EQ(copied.m_Operator, COperatorTable::OPERATOR_MINUS);
    EXPECT_TRUE(copied.m_CrMark.m_bCr);
    EXPECT_EQ(Record(story)->m_List[1].m_pArea1, copies[1]);
  }
}

TEST_F(ManagementTest, ACancelledFloorCopyKeepsWhatWasCopiedSoFar)
{
  Triangle(2);
  Triangle(3);
  FloorCopyDouble dialog(0, {false, true, true});
  host.QueueProgressCancel(0);  // at the first question: after the first figure
  EXPECT_EQ(doc().FloorCopy(dialog), APIERR_CANCEL);
  EXPECT_EQ(Floor(1).m_Area1ObjectArray.size(), 1u);
  EXPECT_TRUE(Floor(2).m_Area1ObjectArray.empty());
  dialog.m_Confirm = false;
  EXPECT_EQ(doc().FloorCopy(dialog), NoError);  // a cancelled dialog changes nothing
  EXPECT_EQ(Floor(1).m_Area1ObjectArray.size(), 1u);
}

// ---- deleting and Teamwork -----------------------------------------------------------------

TEST_F(ManagementTest, WithoutTeamworkNothingIsReservedAndFiguresLeaveTheirOwnFloor)
{
  EXPECT_TRUE(doc().GetTeamworkStatus2(GS::Array<API_Guid>()));
  auto first = Triangle(2);
  ASSERT_EQ(first->CopyObject(&doc(), 1), NoError);
  auto upstairs = Floor(1).m_Area1ObjectArray.back();
  SetEntries(1, {CArea2List(upstairs, COperatorTable::OPERATOR_PLUS)});
  host.ClearCallLog();
  CArea1ObjectPtrArray chosen;
  chosen.push_back(upstairs);
  EXPECT_EQ(doc().DoDeleteArea1(chosen), NoError);
  EXPECT_FALSE(Called("ACAPI_TeamworkControl_ReserveElements"));
  EXPECT_TRUE(Floor(1).m_Area1ObjectArray.empty());
  EXPECT_TRUE(Record(1)->m_List.empty());
  EXPECT_EQ(Floor(0).m_Area1ObjectArray.size(), 1u);
}

TEST_F(ManagementTest, AnElementHeldByAnotherUserStopsTheDeletionBeforeAnythingChanges)
{
  auto mine = Triangle(2);
  auto theirs = Triangle(3);
  SetEntries(0, {CArea2List(mine, COperatorTable::OPERATOR_PLUS), CArea2List(theirs, COperatorTable::OPERATOR_PLUS)});
  host.SetTeamwork(true, true, 1);
  doc().m_TeamworkUserId = 1;
  ASSERT_EQ(host.SetOwner(theirs->m_Element.header.guid, 2), NoError);
  CArea1ObjectPtrArray chosen;
  chosen.push_back(mine);
  chosen.push_back(theirs);
  EXPECT_EQ(doc().DoDeleteArea1(chosen), APIERR_NOTMINE);
  EXPECT_TRUE(Exists(*mine) && Exists(*theirs));
  EXPECT_EQ(Floor(0).m_Area1ObjectArray.size(), 2u);
  EXPECT_EQ(Record(0)->m_List.size(), 2u);
}

TEST_F(ManagementTest, DeletingTheOutputRemovesOnlyTaggedTextsAndLinesOnTheFloorPlan)
{
  auto figure = Triangle(2);
  CMyUserData tag(700, CMyUserData::kVersion);
  API_Element text, line, plain;
  ASSERT_EQ(CGSUtil::CreateText(0, 0, "A", 1, 0, false, API_AnchorID(1), APIJust_Left, 1, 1, layer, 0, nullptr, &text, &tag,
                                false),
            NoError);
  ASSERT_EQ(CGSUtil::CreateLine(0, 0, 1, 1, 1, 1, layer, 0, nullptr, nullptr, &line, &tag, false), NoError);
  ASSERT_EQ(CGSUtil::CreateLine(0, 0, 2, 2, 1, 1, layer, 0, nullptr, nullptr, &plain, nullptr, false), NoError);
  host.ClearCallLog();
  EXPECT_EQ(doc().DeleteObject(), NoError);
  auto gone = [&](const API_Element& e) {
    API_Element read{};
    read.header.guid = e.header.guid;
    return ACAPI_Element_Get(&read) != NoError;
  };
  EXPECT_TRUE(gone(text));
  EXPECT_TRUE(gone(line));
  EXPECT_FALSE(gone(plain));
  EXPECT_TRUE(Exists(*figure));
  EXPECT_FALSE(Called("ACAPI_Database:CDAT"));  // already on the floor plan

  // From a worksheet the output is not collected at all.
  API_DatabaseInfo sheet;
  sheet.typeID = APIWind_WorksheetID;
  ASSERT_EQ(ACAPI_Database('NDAT', &sheet), NoError);
  ASSERT_EQ(ACAPI_Database('CDAT', &sheet), NoError);
  ASSERT_EQ(CGSUtil::CreateLine(0, 0, 3, 3, 1, 1, layer, 0, nullptr, nullptr, &line, &tag, false), NoError);
  EXPECT_EQ(doc().DeleteObject(), APIERR_CANCEL);
  EXPECT_FALSE(gone(line));
}

// ---- worksheets --------------------------------------------------------------------------

class WorksheetDouble : public CWorksheetMaker {
public:
  GSErrCode DoCreateFloor(CPlenimetraParam* param, CDlgProgress&, CFloorParam* floor) override
  {
    floors.push_back(floor->m_FloorNo);
    param->m_CurTreeCode = 0;  // the output walks the patterns
    return floor->m_FloorNo == failAt ? APIERR_GENERAL : NoError;
  }
  GSErrCode DoCreateTotal(CPlenimetraParam*) override
  {
    ++totals;
    return NoError;
  }
  std::vector<short> floors;
  short failAt = -100;
  int totals = 0;
};

TEST_F(ManagementTest, OutputStopsAtTheFirstFailingFloorAndMakesTheTotalOnlyAfterAll)
{
  WorksheetDouble output;
  output.failAt = 1;
  EXPECT_EQ(doc().Output(output), APIERR_GENERAL);
  EXPECT_EQ(output.floors, (std::vector<short>{0, 1}));
  EXPECT_EQ(output.totals, 0);
  EXPECT_EQ(doc().m_CurTreeCode, PatternDoc::kTopCode);

  WorksheetDouble whole;
  EXPECT_EQ(doc().Output(whole), NoError);
  EXPECT_EQ(whole.floors.size(), 3u);
  EXPECT_EQ(whole.totals, 1);

  host.SetTeamwork(true, true, 1);  // shared: the total only when asked for
  WorksheetDouble shared;
  EXPECT_EQ(doc().Output(shared), NoError);
  EXPECT_EQ(shared.totals, 0);
  doc().m_bTeamworkTotal = true;
  EXPECT_EQ(doc().Output(shared), NoError);
  EXPECT_EQ(shared.totals, 1);
}

}  // namespace
