// A floor's figure list: sort-index repair and item numbering with the
// saves they cause (and the failures they report), start numbers, the
// figures' part of the project record with its kinds, and sharing.

#include "CArea1Object.h"
#include "CFloorParam.h"
#include "CPlenimetraParam.h"
#include "DocObjectsTestSupport.h"
#include "HostFixture.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class FigureListTest : public ::testing::Test {
protected:
  void SetUp() override { RegisterTestKinds(doc); }

  // A figure with its own element, so saving it writes user data.
  std::shared_ptr<TestKindFigure> Placed(int code, int sortIndex, int no,
                                         CItemType1Table::ITEMTYPE mark = CItemType1Table::ITEMTYPE_CIRCLE)
  {
    auto figure = MakeKindFigure(doc, code);
    figure->m_SortIndex = sortIndex;
    figure->m_No = no;
    figure->m_ItemType1 = mark;
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = 1;
    element.object.libInd = 1;
    EXPECT_EQ(host.AddElement(element), NoError);
    figure->m_Element.header = element.header;
    list.push_back(figure);
    return figure;
  }

  bool Saved(const std::shared_ptr<TestKindFigure>& figure)
  {
    return host.Element(figure->m_Element.header.guid)->userData.has_value();
  }

  std::vector<int> SortIndices() const
  {
    std::vector<int> out;
    for (const auto& f : list)
      out.push_back(f->m_SortIndex);
    return out;
  }
  std::vector<int> Numbers() const
  {
    std::vector<int> out;
    for (const auto& f : list)
      out.push_back(f->m_No);
    return out;
  }

  HostFixture host;
  CPlenimetraParam doc;
  CArea1ObjectArray list;
};

TEST_F(FigureListTest, APermutationOfSortIndicesStays)
{
  Placed(1, 0, 0);
  auto b = Placed(2, 2, 1);
  Placed(3, 1, 2);
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(SortIndices(), (std::vector<int>{0, 2, 1}));
  EXPECT_FALSE(Saved(b));
}

TEST_F(FigureListTest, RepeatedOrOutOfRangeSortIndicesAreRenumberedAndSaved)
{
  auto a = Placed(1, 0, 0);
  auto b = Placed(2, 0, 1);
  auto c = Placed(3, 1, 2);
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(SortIndices(), (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(Saved(a));
  EXPECT_TRUE(Saved(b));
  EXPECT_TRUE(Saved(c));

  c->m_SortIndex = 5;
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(SortIndices(), (std::vector<int>{0, 1, 2}));
}

TEST_F(FigureListTest, AFailedSaveWhileRenumberingIsReturned)
{
  Placed(1, 0, 0);
  Placed(2, 0, 1)->m_Element.header.guid = ToAPIGuid(GS::Guid().Generate());  // no such element
  Placed(3, 7, 2);
  EXPECT_EQ(list.SetSortIndex(), APIERR_BADID);
  // The order is still repaired in the document.
  EXPECT_EQ(SortIndices(), (std::vector<int>{0, 1, 2}));
}

TEST_F(FigureListTest, WithoutGapFillingUnnumberedFiguresFollowTheHighest)
{
  auto a = Placed(1, 0, 4);
  auto b = Placed(2, 1, -1);
  auto c = Placed(3, 2, -1);
  Placed(4, 3, -1, CItemType1Table::ITEMTYPE_SQUARE);  // a pair of its own
  EXPECT_EQ(list.CheckItemNo(&doc), NoError);
  EXPECT_EQ(Numbers(), (std::vector<int>{4, 5, 6, 0}));
  EXPECT_FALSE(Saved(b));
  EXPECT_FALSE(Saved(c));
}

TEST_F(FigureListTest, WithGapFillingEachPairIsClosedUpAndSaved)
{
  doc.m_EnvParam.m_NumberFillGaps = true;
  auto a = Placed(1, 0, 1);
  auto b = Placed(2, 1, 2);
  auto c = Placed(3, 2, 0, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_EQ(list.CheckItemNo(&doc), NoError);
  EXPECT_EQ(Numbers(), (std::vector<int>{0, 1, 0}));
  EXPECT_TRUE(Saved(a));
  EXPECT_TRUE(Saved(b));
  EXPECT_FALSE(Saved(c));

  b->m_No = 5;
  b->m_Element.header.guid = ToAPIGuid(GS::Guid().Generate());
  EXPECT_EQ(list.CheckItemNo(&doc), APIERR_BADID);
  EXPECT_EQ(b->m_No, 1);
}

TEST_F(FigureListTest, StartNumberIsTheFirstFreeOne)
{
  Placed(1, 0, 0);
  Placed(2, 1, 1);
  Placed(3, 2, 3);
  const auto circle = CItemType1Table::ITEMTYPE_CIRCLE;
  const auto decimal = CItemType2Table::ITEMTYPE_DECIMAL;
  EXPECT_EQ(list.GetStartNo(&doc, circle, decimal, 2), 2);
  EXPECT_EQ(list.GetStartNo(&doc, circle, decimal, 1), 2);
  EXPECT_EQ(list.GetStartNo(&doc, circle, decimal, 3), 4);
  doc.m_EnvParam.m_NumberFillGaps = true;
  EXPECT_EQ(list.GetStartNo(&doc, circle, decimal, 7), 2);
  EXPECT_EQ(list.GetMaxItemNo(&doc, circle, decimal), 3);
  EXPECT_EQ(list.GetMaxItemNo(&doc, CItemType1Table::ITEMTYPE_SQUARE, decimal), -1);
  EXPECT_TRUE(list.IsExistNo(&doc, circle, decimal, 3));
  EXPECT_FALSE(list.IsExistNo(&doc, circle, decimal, 2));
}

TEST_F(FigureListTest, ACopiedFloorSharesItsFigures)
{
  CFloorParam floor(0, GS::UniString(u"1F"), true, {}, {}, {}, {}, {});
  floor.m_Area1ObjectArray.push_back(MakeKindFigure(doc, 1));
  CFloorParam copy = floor;
  copy.m_Area1ObjectArray[0]->m_No = 42;
  EXPECT_EQ(floor.m_Area1ObjectArray[0]->m_No, 42);
  std::weak_ptr<CArea1Object> watch = floor.m_Area1ObjectArray[0];
  floor.m_Area1ObjectArray.clear();
  EXPECT_FALSE(watch.expired());
  copy.m_Area1ObjectArray.clear();
  EXPECT_TRUE(watch.expired());
}

// ---- the project record -----------------------------------------------------

class FigureRecordTest : public FigureListTest {
protected:
  bool ReadBack(CArea1ObjectArray& out)
  {
    return record.Read([&](CArchive& ar) { return out.Serialize(ar, &doc); });
  }
  RecordRoundTrip record;
};

TEST_F(FigureRecordTest, KindCodeSortIndexAndNumberRoundTrip)
{
  list.push_back(MakeKindFigure(doc, 3, 0, CArea1Object::TYPE_CIRCLE));
  list.push_back(MakeKindFigure(doc, 8, 0, CArea1Object::TYPE_RECTSLANT));
  list[1]->m_SortIndex = 1;
  list[1]->m_No = 6;
  record.Write(1047, [&](CArchive& ar) { EXPECT_TRUE(list.Serialize(ar, &doc)); });
  StoredBytes expected;
  expected.Int(2).Int(8).Int(3).Int(-1).Int(2).Int(3).Int(8).Int(1).Int(6);
  EXPECT_EQ(record.Bytes(host), expected.Get());

  CArea1ObjectArray read;
  ASSERT_TRUE(ReadBack(read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0]->m_Type, CArea1Object::TYPE_CIRCLE);
  EXPECT_EQ(read[0]->m_Code, 3);
  EXPECT_EQ(read[1]->m_Type, CArea1Object::TYPE_RECTSLANT);
  EXPECT_EQ(read[1]->m_SortIndex, 1);
  EXPECT_EQ(read[1]->m_No, 6);
  EXPECT_EQ(read[1]->m_ItemType1, CItemType1Table::ITEMTYPE_NONE);  // comes with the user data
}

TEST_F(FigureRecordTest, OldRectangleBecomesSlantedAndUnknownKindsAreSkipped)
{
  StoredBytes bytes;
  bytes.Int(3).Int(2).Int(4).Int(0).Int(0).Int(12).Int(7).Int(7).Int(7).Int(1).Int(5).Int(1).Int(1);
  record.Store(1047, bytes.Get());
  CArea1ObjectArray read;
  ASSERT_TRUE(ReadBack(read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0]->m_Type, CArea1Object::TYPE_RECTSLANT);
  EXPECT_EQ(read[0]->m_Code, 4);
  EXPECT_EQ(read[1]->m_Code, 5);
}

TEST_F(FigureRecordTest, OlderRecordsReadKindsOnlyOrNothing)
{
  StoredBytes v1001;
  v1001.Int(2).Int(1).Int(9);
  record.Store(1001, v1001.Get());
  CArea1ObjectArray read;
  ASSERT_TRUE(ReadBack(read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[1]->m_Type, CArea1Object::TYPE_ELLIPSE);
  EXPECT_EQ(read[1]->m_Code, 0);

  record.Store(1000, StoredBytes().Int(5).Get());
  CArea1ObjectArray none;
  ASSERT_TRUE(ReadBack(none));
  EXPECT_TRUE(none.empty());
}

TEST_F(FigureRecordTest, KindsNobodyRegisteredAndBadRecordsAreRefused)
{
  CPlenimetraParam bare;  // no figure kinds registered
  StoredBytes one;
  one.Int(1).Int(1).Int(4).Int(0).Int(0);
  record.Store(1047, one.Get());
  CArea1ObjectArray read;
  EXPECT_FALSE(record.Read([&](CArchive& ar) { return read.Serialize(ar, &bare); }));
  EXPECT_TRUE(read.empty());

  const auto refused = [&](const StoredBytes& bytes) {
    record.Store(1047, bytes.Get());
    CArea1ObjectArray out;
    return !ReadBack(out);
  };
  EXPECT_TRUE(refused(StoredBytes().Int(1).Int(1).Int(INT_MAX).Int(0).Int(0)));
  EXPECT_TRUE(refused(StoredBytes().Int(1).Int(1).Int(0).Int(0).Int(0)));
  EXPECT_TRUE(refused(StoredBytes().Int(2).Int(1).Int(4).Int(0).Int(0)));  // one short
  EXPECT_TRUE(refused(StoredBytes().Int(200000000).Int(1)));
  EXPECT_TRUE(refused(StoredBytes().Int(-1)));
}

TEST(FigureFactory, BuildsRegisteredKindsOnly)
{
  CPlenimetraParam doc;
  CArea1ObjectFactory& factory = doc.m_Area1Factory;
  EXPECT_FALSE(factory.IsRegistered(CArea1Object::TYPE_RECT));
  EXPECT_EQ(factory.Create(&doc, CArea1Object::TYPE_TRIANGLE, 1, {}, {}, 0), nullptr);
  RegisterTestKinds(doc);
  EXPECT_TRUE(factory.IsRegistered(CArea1Object::TYPE_RECT));
  EXPECT_FALSE(factory.Register(CArea1Object::TYPE_NONE, nullptr));
  EXPECT_FALSE(factory.Register(static_cast<CArea1Object::TYPE>(10), nullptr));
  auto rect = factory.Create(&doc, CArea1Object::TYPE_RECT, 4, CItemType1Table::ITEMTYPE_SQUARE,
                             CItemType2Table::ITEMTYPE_UPPER, 2);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->m_Type, CArea1Object::TYPE_RECTSLANT);
  EXPECT_EQ(rect->m_Code, 4);
  EXPECT_EQ(rect->m_ItemType2, CItemType2Table::ITEMTYPE_UPPER);
  // A copy of the document builds the same kinds.
  CPlenimetraParam copy = doc;
  EXPECT_NE(copy.m_Area1Factory.Create(&copy, CArea1Object::TYPE_ARC, 1, {}, {}, 0), nullptr);
}

}  // namespace
