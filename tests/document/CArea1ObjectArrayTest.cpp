// A floor's figure list: sort-index repair and item numbering with the
// saves they cause (and the failures they report), start numbers, and the
// figures' part of the project record with its kinds.

#include "DocTestSupport.h"
#include "host_errors.h"

#include <climits>
#include <tuple>

namespace {

class FigureListTest : public DocTest {
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
    figure->m_Element.header = PlaceObject(host);
    list.push_back(figure);
    return figure;
  }
  void Unplace(const std::shared_ptr<TestKindFigure>& figure)
  {
    figure->m_Element.header.guid = ToAPIGuid(GS::Guid().Generate());  // no such element
  }

  // Per figure: its sort index, number and whether its record was saved.
  std::vector<std::tuple<int, int, bool>> State() const
  {
    std::vector<std::tuple<int, int, bool>> out;
    for (const auto& f : list) {
      const pln::host::StoredElement* element = host.Element(f->m_Element.header.guid);
      out.emplace_back(f->m_SortIndex, f->m_No, element != nullptr && element->userData.has_value());
    }
    return out;
  }
  using S = std::vector<std::tuple<int, int, bool>>;

  CArea1ObjectArray list;
};

TEST_F(FigureListTest, RepeatedOrOutOfRangeSortIndicesAreRenumberedAndSaved)
{
  Placed(1, 0, 0);
  Placed(2, 2, 1);
  Placed(3, 1, 2);
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(State(), (S{{0, 0, false}, {2, 1, false}, {1, 2, false}}));  // a permutation stays

  list[1]->m_SortIndex = 0;
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(State(), (S{{0, 0, false}, {1, 1, true}, {2, 2, true}}));
  list[2]->m_SortIndex = 5;
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(State(), (S{{0, 0, false}, {1, 1, true}, {2, 2, true}}));
}

// The order the user gave the list survives: a figure added (unordered)
// comes last, a gap left by one removed closes in that order, and only the
// figures whose index moved are saved.
TEST_F(FigureListTest, RepairedSortIndicesKeepTheListsOrder)
{
  Placed(1, 2, 0);
  Placed(2, 0, 1);
  Placed(3, 1, 2);
  Placed(4, -1, 3);
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(State(), (S{{2, 0, false}, {0, 1, false}, {1, 2, false}, {3, 3, true}}));
  list.erase(list.begin() + 1);
  EXPECT_EQ(list.SetSortIndex(), NoError);
  EXPECT_EQ(State(), (S{{1, 0, true}, {0, 2, true}, {2, 3, true}}));
}

// The guid index behind Search follows every way the list changes: figures
// erased, inserted in front, swapped, and a figure given a new element.
TEST_F(FigureListTest, SearchByElementFollowsTheListThroughEveryChange)
{
  auto a = Placed(1, 0, 0);
  auto b = Placed(2, 1, 1);
  auto c = Placed(3, 2, 2);
  const auto found = [&](const std::shared_ptr<CArea1Object>& figure) {
    return list.Search(&figure->m_Element.header).get();
  };
  EXPECT_EQ(found(b), b.get());
  list.erase(list.begin());
  EXPECT_EQ(found(c), c.get());
  EXPECT_EQ(found(a), nullptr);
  list.insert(list.begin(), a);
  std::swap(list[1], list[2]);
  for (const auto& figure : {a, b, c})
    EXPECT_EQ(found(figure), figure.get());
  const API_Elem_Head old = b->m_Element.header;
  Unplace(b);
  EXPECT_EQ(list.Search(&old), nullptr);
  EXPECT_EQ(found(b), b.get());
  CArea1ObjectArray copy = list;
  copy.pop_back();
  EXPECT_EQ(copy.Search(&list.back()->m_Element.header), nullptr);
  EXPECT_EQ(found(list.back()), list.back().get());
}

TEST_F(FigureListTest, AFailedSaveWhileRenumberingIsReturned)
{
  Placed(1, 0, 0);
  Unplace(Placed(2, 0, 1));
  Placed(3, 7, 2);
  EXPECT_EQ(list.SetSortIndex(), APIERR_BADID);
  // The order is still repaired in the document.
  EXPECT_EQ(State(), (S{{0, 0, false}, {1, 1, false}, {2, 2, true}}));
}

TEST_F(FigureListTest, WithoutGapFillingUnnumberedFiguresFollowTheHighest)
{
  Placed(1, 0, 4);
  Placed(2, 1, -1);
  Placed(3, 2, -1);
  Placed(4, 3, -1, CItemType1Table::ITEMTYPE_SQUARE);  // a pair of its own
  EXPECT_EQ(list.CheckItemNo(&doc), NoError);
  EXPECT_EQ(State(), (S{{0, 4, false}, {1, 5, false}, {2, 6, false}, {3, 0, false}}));
}

TEST_F(FigureListTest, WithGapFillingEachPairIsClosedUpAndSaved)
{
  doc.m_EnvParam.m_NumberFillGaps = true;
  Placed(1, 0, 1);
  auto b = Placed(2, 1, 2);
  Placed(3, 2, 0, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_EQ(list.CheckItemNo(&doc), NoError);
  EXPECT_EQ(State(), (S{{0, 0, true}, {1, 1, true}, {2, 0, false}}));

  b->m_No = 5;
  Unplace(b);
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

  // A number twice, and the free one taken by another mark: neither counts.
  Placed(4, 3, 1);
  Placed(5, 4, 2, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_EQ(list.GetStartNo(&doc, circle, decimal, 0), 2);
  doc.m_EnvParam.m_NumberFillGaps = false;
  EXPECT_EQ(list.GetStartNo(&doc, circle, decimal, 1), 2);
  EXPECT_EQ(list.GetStartNo(&doc, circle, decimal, -4), 2);
}

// ---- the project record -----------------------------------------------------

class FigureRecordTest : public FigureListTest {
protected:
  bool Read(const StoredBytes& bytes, CArea1ObjectArray& out, int version = 1047)
  {
    record.Store(version, bytes.Get());
    return record.ReadThrown([&](CArchive& ar) { out.Serialize(ar, &doc); }) == 0;
  }
};

TEST_F(FigureRecordTest, KindCodeSortIndexAndNumberRoundTrip)
{
  list.push_back(MakeKindFigure(doc, 3, 0, CArea1Object::TYPE_CIRCLE));
  list.push_back(MakeKindFigure(doc, 8, 0, CArea1Object::TYPE_RECTSLANT));
  list[1]->m_SortIndex = 1;
  list[1]->m_No = 6;
  record.Write(1047, [&](CArchive& ar) { list.Serialize(ar, &doc); });
  EXPECT_EQ(record.Bytes(host), StoredBytes().Int(2).Int(8).Int(3).Int(-1).Int(2).Int(3).Int(8).Int(1).Int(6).Get());

  CArea1ObjectArray read;
  ASSERT_EQ(record.ReadThrown([&](CArchive& ar) { read.Serialize(ar, &doc); }), 0u);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0]->m_Type, CArea1Object::TYPE_CIRCLE);
  EXPECT_EQ(read[0]->m_Code, 3);
  EXPECT_EQ(read[1]->m_Type, CArea1Object::TYPE_RECTSLANT);
  EXPECT_EQ(read[1]->m_SortIndex, 1);
  EXPECT_EQ(read[1]->m_No, 6);
  EXPECT_EQ(read[1]->m_ItemType1, CItemType1Table::ITEMTYPE_NONE);  // comes with the user data
}

TEST_F(FigureRecordTest, OldRecordsMigrateKindsAndUnknownKindsAreSkipped)
{
  CArea1ObjectArray read;
  ASSERT_TRUE(Read(StoredBytes().Int(3).Int(2).Int(4).Int(0).Int(0).Int(12).Int(7).Int(7).Int(7).Int(1).Int(5).Int(1).Int(1),
                   read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0]->m_Type, CArea1Object::TYPE_RECTSLANT);
  EXPECT_EQ(read[0]->m_Code, 4);
  EXPECT_EQ(read[1]->m_Code, 5);

  // 1001 holds the kinds only; 1000 nothing.
  CArea1ObjectArray kinds;
  ASSERT_TRUE(Read(StoredBytes().Int(2).Int(1).Int(9), kinds, 1001));
  ASSERT_EQ(kinds.size(), 2u);
  EXPECT_EQ(kinds[1]->m_Type, CArea1Object::TYPE_ELLIPSE);
  EXPECT_EQ(kinds[1]->m_Code, 0);
  CArea1ObjectArray none;
  ASSERT_TRUE(Read(StoredBytes().Int(5), none, 1000));
  EXPECT_TRUE(none.empty());
}

TEST_F(FigureRecordTest, KindsNobodyRegisteredAndBadRecordsAreRefused)
{
  CPlenimetraParam bare;  // no figure kinds registered
  record.Store(1047, StoredBytes().Int(1).Int(1).Int(4).Int(0).Int(0).Get());
  CArea1ObjectArray read;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { static_cast<void>(read.Serialize(ar, &bare)); }), CArchive::kPastEnd);
  EXPECT_TRUE(read.empty());

  for (const StoredBytes& bytes : {StoredBytes().Int(1).Int(1).Int(INT_MAX).Int(0).Int(0),
                                   StoredBytes().Int(1).Int(1).Int(0).Int(0).Int(0),
                                   StoredBytes().Int(2).Int(1).Int(4).Int(0).Int(0),  // one short
                                   StoredBytes().Int(200000000).Int(1), StoredBytes().Int(-1)}) {
    CArea1ObjectArray out;
    EXPECT_FALSE(Read(bytes, out));
  }
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
