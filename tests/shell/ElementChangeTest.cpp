// The user's edits on the plan keep the document in step: pasted figures
// are adopted, copies stay plain, moves and stretches rewrite labels,
// deletions and their undo and redo keep codes and numbers.

#include "ShellTestSupport.h"

#include "CArea1Object.h"
#include "FigureKinds.h"
#include "host_calllog.h"
#include "host_debug.h"
#include "host_elements.h"
#include "host_memo.h"
#include "host_memory.h"
#include "host_model.h"
#include "host_notify.h"
#include "host_userdata.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>

namespace {

class ElementChangeTest : public ShellTest {
protected:
  ElementChangeTest()
  {
    pln::host::DGDialogDef page;
    page.width = 200;
    page.height = 200;
    host.DefineDialog(32408, page);
    host.DefineDialog(32409, page);
    CPlenimetraPalette::SetPageMaker(CPlenimetraPalette::kFigureList, [](CPlenimetraPalette& p) {
      return std::unique_ptr<CPlenimetraPage>(std::make_unique<RecordingPage>(p, log, "list"));
    });
    log.clear();
    EXPECT_EQ(Menu(), NoError);
    user().Click(11);
  }

  // The host puts the project back without a word; a test plays the batch
  // by hand.
  void UndoSilently()
  {
    ACAPI_Notify_InstallElementObserver(nullptr);
    ASSERT_EQ(ACAPI_Notify_CatchProjectEvent(APINotify_ChangeProjectDB, nullptr), NoError);
    ASSERT_EQ(host.UserUndo(), NoError);
    ASSERT_EQ(ACAPI_Notify_CatchProjectEvent(APINotify_ChangeProjectDB, ProjectionNotificationHandler), NoError);
    ACAPI_Notify_InstallElementObserver(PlenimetraElementEventHandler);
  }

  static int Stores(const HostFixture& h)
  {
    const auto& calls = h.CallLog();
    return static_cast<int>(std::count(calls.begin(), calls.end(), std::string("ACAPI_ModulData_Store")));
  }

  // The figure record in the element's user data; code 0 when none.
  static CArea1ObjectCore Record(const API_Guid& guid)
  {
    API_Elem_Head head;
    head.guid = guid;
    CArea1ObjectCore record;
    record.Load(&head);
    return record;
  }

  // A rectangle figure of another project (code 17, ○, "1,2,3", number 4)
  // as pasting brings it: the object with its parameters and user data.
  API_Guid PasteForeignRect(double x, double y, const std::function<void(std::vector<char>&)>& tamper = nullptr)
  {
    CPlenimetraParam other;
    RegisterFigureKinds(other);
    other.m_EnvParam.m_Area1Layer = doc().GetLayer();
    other.m_FloorParamArray = doc().m_FloorParamArray;
    auto figure = std::make_shared<CAreaRectSlant>(&other, 17, CItemType1Table::ITEMTYPE_CIRCLE,
                                                   CItemType2Table::ITEMTYPE_DECIMAL, 4);
    CKelAreaCoord2D points;
    points.m_pt = {{x, y}, {x + 2, y}, {x + 2, y + 3}, {x, y + 3}};
    EXPECT_EQ(figure->Create(&other, points, 0), NoError);
    EXPECT_EQ(figure->ChangeParam(&other, true), NoError);
    const API_Guid source = figure->m_Element.header.guid;
    API_Element element = host.Element(source)->element;
    API_ElementMemo memo;
    EXPECT_EQ(ACAPI_Element_GetMemo(source, &memo), NoError);
    API_UserData data;
    EXPECT_EQ(ACAPI_Element_GetUserData(&element.header, &data), NoError);
    if (tamper != nullptr) {
      std::vector<char> bytes(*data.dataHdl, *data.dataHdl + BMGetHandleSize(data.dataHdl));
      tamper(bytes);
      BMKillHandle(&data.dataHdl);
      data.dataHdl = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
      std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
    }
    GS::Array<API_Guid> gone;
    gone.Push(source);
    EXPECT_EQ(ACAPI_Element_Delete(gone), NoError);
    // Pasting places on the active story.
    element.header.guid = API_Guid();
    element.header.floorInd = pln::host::TheModel().activeStory;
    host.ClearCallLog();
    log.clear();
    EXPECT_EQ(host.UserPlace(element, &memo, &data), NoError);
    ACAPI_DisposeElemMemoHdls(&memo);
    BMKillHandle(&data.dataHdl);
    return element.header.guid;
  }

  static inline std::vector<std::string> log;
};

TEST_F(ElementChangeTest, APlainZoneChangesNothing)
{
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  PolygonMemo square({{{0, 0}, {4, 0}, {4, 4}, {0, 4}}});
  zone.zone.poly = square.Polygon();
  host.ClearCallLog();
  log.clear();
  ASSERT_EQ(host.UserPlace(zone, square.Memo()), NoError);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Stores(host), 0);
}

TEST_F(ElementChangeTest, APastedFigureIsAdoptedUnderTheNextCodeAndNumber)
{
  const int nextCode = doc().m_LastArea1Code + 1;
  const API_Guid guid = PasteForeignRect(1, 1);
  ASSERT_EQ(Figures(0).size(), 1u);
  const CArea1Object& figure = *Figures(0)[0];
  EXPECT_EQ(figure.m_Code, nextCode);
  EXPECT_EQ(figure.m_No, 0);
  EXPECT_EQ(figure.m_Element.header.guid, guid);
  EXPECT_EQ(Record(guid).m_Code, nextCode);
  EXPECT_EQ(Label(figure, "area_symbol_str"), u"1");
  EXPECT_TRUE(host.Element(guid)->observed);
  EXPECT_EQ(log, std::vector<std::string>{"list:13i"});
  EXPECT_EQ(Stores(host), 1);
  // The record saved names the adopted figure: a reopening finds it.
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Figures(0).size(), 1u);
  EXPECT_EQ(Figures(0)[0]->m_Code, nextCode);
}

TEST_F(ElementChangeTest, APastedObjectWithoutAReadableFigureRecordStaysOrdinary)
{
  // The kind is stored just before the code.
  auto kind12 = [](std::vector<char>& bytes) {
    const int code = 17;
    for (std::size_t i = 4; i + 4 <= bytes.size(); ++i)
      if (std::memcmp(bytes.data() + i, &code, 4) == 0) {
        const int kind = 12;
        std::memcpy(bytes.data() + i - 4, &kind, 4);
        return;
      }
    ADD_FAILURE() << "no code in the record";
  };
  auto truncated = [](std::vector<char>& bytes) { bytes.resize(bytes.size() / 2); };
  for (const auto& tamper : {std::function<void(std::vector<char>&)>(kind12), std::function<void(std::vector<char>&)>(truncated)}) {
    const API_Guid guid = PasteForeignRect(1, 1, tamper);
    EXPECT_TRUE(Figures(0).empty());
    EXPECT_FALSE(host.Element(guid)->observed);
    EXPECT_TRUE(log.empty());
  }
}

TEST_F(ElementChangeTest, ACopyStaysPlainAlsoAfterUndoAndRedo)
{
  const API_Guid original = PasteForeignRect(1, 1);
  std::vector<API_Guid> copies;
  ASSERT_EQ(host.UserCopy({original}, API_Coord{5, 0}, &copies), NoError);
  ASSERT_EQ(copies.size(), 1u);
  auto plain = [&]() {
    const pln::host::StoredElement* copy = host.Element(copies[0]);
    return !copy->userData.has_value() && !copy->observed;
  };
  EXPECT_TRUE(plain());
  EXPECT_EQ(Figures(0).size(), 1u);
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_TRUE(plain());
  EXPECT_EQ(Figures(0).size(), 1u);
}

TEST_F(ElementChangeTest, StretchDeleteUndoRedo)
{
  const API_Guid guid = PasteForeignRect(1, 1);
  const int code = Figures(0)[0]->m_Code;
  ASSERT_EQ(host.UserEdit(guid,
                          [](API_Element& e) {
                            e.object.xRatio = 6.0;
                            e.object.yRatio = 4.5;
                          }),
            NoError);
  EXPECT_EQ(Label(*Figures(0)[0], "x_S"), u"6000");
  EXPECT_EQ(Label(*Figures(0)[0], "y_S"), u"4500");

  ASSERT_EQ(host.UserDelete({guid}), NoError);
  EXPECT_TRUE(Figures(0).empty());
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(Figures(0).size(), 1u);
  EXPECT_EQ(Figures(0)[0]->m_Code, code);
  EXPECT_EQ(Figures(0)[0]->m_No, 0);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_TRUE(Figures(0).empty());
}

// A, B, C numbered 0, 1, 2; B deleted and the deletion undone and redone.
class UndoKeepsNumbersTest : public ElementChangeTest, public ::testing::WithParamInterface<bool> {
protected:
  // count unit squares in a row, numbered from 0, under the numbering mode
  // of the parameter (true: numbers close up).
  std::vector<std::shared_ptr<CArea1Object>> Row(int count)
  {
    doc().m_EnvParam.m_NumberFillGaps = GetParam();
    std::vector<std::shared_ptr<CArea1Object>> figures;
    for (int i = 0; i < count; ++i)
      figures.push_back(PlaceRect(0, 2 * i, 0, 1, 1));
    return figures;
  }
};

TEST_P(UndoKeepsNumbersTest, UndoBringsBackTheNumbersAndRedoTakesThemAgain)
{
  const bool sequential = GetParam();
  const auto row = Row(3);
  const auto &a = row[0], &b = row[1], &c = row[2];
  ASSERT_EQ(Numbers(0), (std::vector<int>{0, 1, 2}));
  ASSERT_EQ(host.UserDelete({b->m_Element.header.guid}), NoError);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, sequential ? 1 : 2}));

  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(Figures(0).size(), 3u);
  std::vector<const CArea1Object*> bySort(3);
  for (const auto& figure : Figures(0))
    bySort.at(static_cast<std::size_t>(figure->m_SortIndex)) = figure.get();
  EXPECT_EQ(bySort[0]->m_Code, a->m_Code);
  EXPECT_EQ(bySort[1]->m_Code, b->m_Code);
  EXPECT_EQ(bySort[1]->m_No, 1);
  EXPECT_EQ(bySort[2]->m_Code, c->m_Code);
  EXPECT_EQ(bySort[2]->m_No, 2);
  EXPECT_EQ(Label(*bySort[2], "area_symbol_str"), u"3");

  ASSERT_EQ(host.UserRedo(), NoError);
  ASSERT_EQ(Figures(0).size(), 2u);
  const auto& kept = Figures(0)[0]->m_Code == c->m_Code ? Figures(0)[0] : Figures(0)[1];
  EXPECT_EQ(kept->m_No, sequential ? 1 : 2);
  EXPECT_EQ(Label(*kept, "area_symbol_str"), sequential ? u"2" : u"3");
}

INSTANTIATE_TEST_SUITE_P(Numbering, UndoKeepsNumbersTest, ::testing::Bool());

// After a deletion only the figures whose numbers moved have their parts
// written again; the others keep their parts untouched.
TEST_P(UndoKeepsNumbersTest, ADeletionRewritesOnlyTheFiguresWhoseNumbersMoved)
{
  const bool sequential = GetParam();
  const auto row = Row(4);
  const auto &a = row[0], &b = row[1], &c = row[2], &d = row[3];
  host.ClearChangeRecords();
  ASSERT_EQ(host.UserDelete({b->m_Element.header.guid}), NoError);
  std::set<std::string> rewritten;
  for (const pln::host::ElementChange& change : host.ElementChanges())
    rewritten.insert(APIGuidToString(change.guid).ToStdString(CC_UTF8));
  const auto name = [](const auto& figure) {
    return APIGuidToString(figure->m_Element.header.guid).ToStdString(CC_UTF8);
  };
  EXPECT_EQ(rewritten, (sequential ? std::set<std::string>{name(c), name(d)} : std::set<std::string>{}));
  EXPECT_EQ(Label(*d, "area_symbol_str"), sequential ? u"3" : u"4");
  EXPECT_EQ(Label(*a, "area_symbol_str"), u"1");
}

// The repairs of a batch run after every collector: the same batch in
// both orders gives the same numbers.
TEST_F(ElementChangeTest, ABatchGivesTheSameResultInEitherOrder)
{
  doc().m_EnvParam.m_NumberFillGaps = true;
  PlaceRect(0, 0, 0, 1, 1);
  auto b = PlaceRect(0, 2, 0, 1, 1);
  auto c = PlaceRect(0, 4, 0, 1, 1);
  const API_Elem_Head headB = b->m_Element.header;
  const API_Elem_Head headC = c->m_Element.header;
  ASSERT_EQ(host.UserDelete({headB.guid}), NoError);
  UndoSilently();
  const CArea1ObjectArray before = Figures(0);
  const std::vector<int> savedNumbers = {before[0]->m_No, before[1]->m_No};

  auto play = [&](std::vector<std::pair<API_NotifyElementID, API_Elem_Head>> batch) {
    API_NotifyElementType n;
    n.notifID = APINotifyElement_BeginEvents;
    palette().ElementEventHandlerProc(&n);
    for (const auto& [id, head] : batch) {
      n.notifID = id;
      n.elemHead = head;
      palette().ElementEventHandlerProc(&n);
    }
    n.notifID = APINotifyElement_EndEvents;
    palette().ElementEventHandlerProc(&n);
    std::vector<std::pair<int, int>> result;  // (code, number) by sort index
    result.resize(Figures(0).size());
    for (const auto& figure : Figures(0))
      result.at(static_cast<std::size_t>(figure->m_SortIndex)) = {figure->m_Code, figure->m_No};
    return result;
  };
  const auto first = play({{APINotifyElement_Undo_Deleted, headB}, {APINotifyElement_Undo_Modified, headC}});
  // The same starting point for the other order.
  Figures(0).Remove(&headB);
  for (std::size_t i = 0; i < before.size(); ++i)
    before[i]->m_No = savedNumbers[i];
  before[1]->m_SortIndex = 1;
  const auto second = play({{APINotifyElement_Undo_Modified, headC}, {APINotifyElement_Undo_Deleted, headB}});
  EXPECT_EQ(first, second);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[1], (std::pair<int, int>{b->m_Code, 1}));
  EXPECT_EQ(first[2], (std::pair<int, int>{c->m_Code, 2}));
}

TEST_F(ElementChangeTest, AFigureBackByUndoThatCannotBeReadIsSkipped)
{
  auto a = PlaceRect(0, 0, 0, 1, 1);
  API_Elem_Head head = a->m_Element.header;
  ASSERT_EQ(host.UserDelete({head.guid}), NoError);
  ASSERT_TRUE(Figures(0).empty());
  UndoSilently();
  // The record as the document has it: the batch is then patched figure by
  // figure, not read again.
  ASSERT_EQ(doc().SaveData(), NoError);
  ASSERT_EQ(ACAPI_Element_DeleteUserData(&head), NoError);
  pln::host::ClearDebugLines();
  API_NotifyElementType n;
  n.notifID = APINotifyElement_BeginEvents;
  palette().ElementEventHandlerProc(&n);
  n.notifID = APINotifyElement_Undo_Deleted;
  n.elemHead = head;
  palette().ElementEventHandlerProc(&n);
  palette().ElementEventHandlerProc(&n);  // listed once only
  n.notifID = APINotifyElement_EndEvents;
  const std::size_t alerts = host.Alerts().size();
  EXPECT_EQ(palette().ElementEventHandlerProc(&n), NoError);
  EXPECT_TRUE(Figures(0).empty());
  // An object without the add-on's record is no figure: nothing to tell.
  EXPECT_EQ(host.Alerts().size(), alerts);
}

TEST_F(ElementChangeTest, AFigureOnAStoryAddedWhileOpenGetsAFloorRecord)
{
  ASSERT_EQ(host.AddStory(3, 9.0, u"4F"), NoError);
  ASSERT_EQ(host.UserChangeStory(3), NoError);
  ASSERT_EQ(doc().m_FloorParamArray.Search(3), nullptr);
  const API_Guid guid = PasteForeignRect(1, 1);
  (void)guid;
  const CFloorParam* added = doc().m_FloorParamArray.Search(3);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->m_FloorName, GS::UniString(u"4F"));
  EXPECT_EQ(added->m_Area1ObjectArray.size(), 1u);
  EXPECT_EQ(doc().m_FloorParamArray.back().m_FloorNo, 3);
}

}  // namespace

namespace {

// A zone on 1F cut into automatic areas, the project then read afresh as an
// opening does.
class SourceChangeTest : public ElementChangeTest {
protected:
  SourceChangeTest()
  {
    PolygonMemo polygon({{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}});
    API_Element element;
    element.header.typeID = API_ZoneID;
    element.header.layer = 1;
    EXPECT_EQ(host.AddPolygonElement(element, polygon), NoError);
    zone = element.header.guid;
    CAutoAreaParam record(&element.header);
    record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_HORIZONTAL;
    record.m_ItemType1 = doc().m_CurItemType1;
    record.m_ItemType2 = doc().m_CurItemType2;
    int start = 0;
    EXPECT_EQ(record.DoCreateArea1(&doc(), start), NoError);
    EXPECT_EQ(doc().SaveData(), NoError);
    EXPECT_EQ(Menu(), NoError);
    EXPECT_EQ(Menu(), NoError);
    user().Click(11);
    log.clear();
  }

  CAutoAreaParam* Record() { return Floor(0).m_AutoAreaParamArray.Search(&zone); }
  int LinkedFigures()
  {
    int linked = 0;
    for (const auto& figure : Figures(0))
      linked += figure->m_AutoArea.m_ElemGuid == ToGSGuid(zone) ? 1 : 0;
    return linked;
  }

  API_Guid zone;
};

TEST_F(SourceChangeTest, ANewOutlineMarksTheRecordDeletingRemovesItAndUndoBringsItBack)
{
  ASSERT_NE(Record(), nullptr);
  ASSERT_EQ(LinkedFigures(), 2);
  EXPECT_FALSE(Record()->m_bChanged);

  PolygonMemo wider({{{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {0, 2}}});
  ASSERT_EQ(host.UserSetOutline(zone, wider), NoError);
  ASSERT_NE(Record(), nullptr);
  EXPECT_TRUE(Record()->m_bChanged);
  EXPECT_EQ(log, std::vector<std::string>{"list:13i"});

  ASSERT_EQ(host.UserDelete({zone}), NoError);
  EXPECT_EQ(Record(), nullptr);
  EXPECT_EQ(Figures(0).size(), 2u);
  EXPECT_EQ(LinkedFigures(), 0);

  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_NE(Record(), nullptr);
}

TEST_F(SourceChangeTest, UndoingANewOutlineReadsTheRecordAgainAndChecksIt)
{
  PolygonMemo wider({{{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {0, 2}}});
  ASSERT_EQ(host.UserSetOutline(zone, wider), NoError);
  ASSERT_TRUE(Record()->m_bChanged);
  log.clear();
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_NE(Record(), nullptr);
  EXPECT_FALSE(Record()->m_bChanged);
  // The undo put back the record saved before the edit: the document is
  // read again from it, and the pages rebuild whole; then they hear that
  // the project changed.
  EXPECT_EQ(log, (std::vector<std::string>{"list:11i", "list:event524288"}));
}

// A copy whose source's user data could not be taken off passes for the
// source; the failure was kept by the batch and then dropped.
TEST_F(ElementChangeTest, ACopyThatKeepsItsSourcesUserDataIsReported)
{
  const API_Guid original = PasteForeignRect(1, 1);
  const std::size_t alerts = host.Alerts().size();
  host.FailOnce("ACAPI_Element_DeleteUserData", APIERR_LOCKEDLAY);
  std::vector<API_Guid> copies;
  host.UserCopy({original}, API_Coord{5, 0}, &copies);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_TRUE(host.Element(copies[0])->userData.has_value());
  EXPECT_EQ(host.Alerts().size(), alerts + 1);
}

}  // namespace
