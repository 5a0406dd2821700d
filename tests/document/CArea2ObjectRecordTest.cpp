// The stored form of calculation elements: the current layout round-trips
// to an equal element, records of older layouts migrate (flat entry lists,
// manual and zone rows, show total as a byte, the list type in its old
// place), entries resolve their figures by code, and records the
// calculation could not use are refused.

#include "DocTestSupport.h"

#include <climits>

namespace {

using OP = COperatorTable::OPERATOR;

class ElementRecordTest : public DocTest {
protected:
  void SetUp() override
  {
    doc.m_FloorParamArray.push_back(MakeFloor(0));
    doc.m_FloorParamArray.push_back(MakeFloor(1));
    for (int code = 1; code <= 3; ++code)
      doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(MakeKindFigure(doc, code));
    doc.m_FloorParamArray[1].m_Area1ObjectArray.push_back(MakeKindFigure(doc, 4));
  }

  std::shared_ptr<CArea1Object> Figure(int code)
  {
    for (const CFloorParam& floor : doc.m_FloorParamArray) {
      if (auto figure = floor.m_Area1ObjectArray.Search(code))
        return figure;
    }
    return nullptr;
  }

  static CArea2Object Fresh(CPlenimetraParam& param)
  {
    return CArea2Object(&param, CAreaNameArray(), 0, CArea2ListTypeTable::LISTTYPE_FORMULA,
                        CArea2Object::SHOWTOTAL_MARK, CItemType1Table::ITEMTYPE_SQUARE,
                        CItemType2Table::ITEMTYPE_DECIMAL, -1, -1);
  }

  // Reads the stored record into a fresh element; false when the reader
  // refused it.
  bool ReadBack()
  {
    read = Fresh(doc);
    return record.ReadThrown([&](CArchive& ar) { read.Serialize(ar, &doc); }) == 0;
  }
  // Stores the bytes as a record of the version and reads them.
  bool Read(int version, const StoredBytes& bytes)
  {
    record.Store(version, bytes.Get());
    return ReadBack();
  }

  // The base record of an element with code 10 as version v stores it.
  static StoredBytes Base(int version, int code = 10)
  {
    StoredBytes b;
    b.Int(CItemType1Table::ITEMTYPE_DIAMOND).Int(CItemType2Table::ITEMTYPE_UPPER);
    b.Text("A").Int(0);  // default name, no floor names
    b.Int(CRoundTypeTable::ROUNDTYPE_DEFAULT).Int(0).Int(0).Int(code);
    if (version >= 1027)
      b.Bool(true);
    if (version >= 1046)
      b.Short(0).Int(1);
    return b;
  }

  // An entry: rounding, operator, the reserved -1, the break mark, the code.
  static StoredBytes& Entry(StoredBytes& b, int code, int op = 1)
  {
    return b.Int(CRoundTypeTable::ROUNDTYPE_DEFAULT).Int(op).Int(-1).Bool(false).Int(code);
  }

  CArea2Object read = Fresh(doc);

  // A floor record of the current layout holding entries of these codes.
  static StoredBytes& FloorRecord(StoredBytes& b, short floor, std::initializer_list<int> codes, int mode = 1,
                                  int op = 1)
  {
    b.Int(mode).Short(floor).Long(0).Text("").Short(floor).Int(static_cast<int>(codes.size()));
    for (int code : codes)
      Entry(b, code, op);
    return b.Int(0);
  }
};

TEST_F(ElementRecordTest, CurrentLayoutReadsBackEqual)
{
  CArea2Object element(&doc, CAreaNameArray(u"居室"), 12, CArea2ListTypeTable::LISTTYPE_LIST,
                       CArea2Object::SHOWTOTAL_NOMARK, CItemType1Table::ITEMTYPE_DIAMOND,
                       CItemType2Table::ITEMTYPE_UPPER, 3, 2);
  element.m_Name.SetName2(1, u"二階居室");
  element.m_ColorPen = 5;
  element.m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
  element.m_AutoCr = false;
  CArea2ObjectFloor* first = element.m_FloorArray.SearchFloor(0);
  first->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
  first->m_List.emplace_back(Figure(2), OP::OPERATOR_PLUS);
  first->m_List.emplace_back(Figure(1), OP::OPERATOR_MINUS);
  first->m_List[0].m_RoundType = CRoundTypeTable::ROUNDTYPE_HALFUP;
  first->m_List[0].m_CrMark.m_bCr = true;
  CArea2ObjectFloor* second = element.m_FloorArray.SearchFloor(1);
  second->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  second->m_ManualArea = -1234567;
  second->m_ManualEquation = u"手動#式";
  second->m_AutoAreaGuidArray.Add(GS::Guid().Generate());
  second->m_AutoAreaGuidArray.Add(GS::Guid().Generate());

  record.Write(1047, [&](CArchive& ar) { element.Serialize(ar, &doc); });
  ASSERT_TRUE(ReadBack());
  EXPECT_TRUE(read == element);
  EXPECT_EQ(read.m_FloorArray[0].m_List[0].m_pArea1, Figure(2));  // the same shared record
}

// A manual formula longer than a stored text may be is refused by the
// writer: the throw passes the list writer to the save that began the
// record, and nothing is stored over the record.
TEST_F(ElementRecordTest, AnElementThatCannotBeStoredThrowsThroughTheListWriter)
{
  record.Write(1047, [](CArchive& ar) { ar << 1; });
  const std::vector<char> before = record.Bytes(host);
  CArea2ObjectArray list;
  list.push_back(Fresh(doc));
  list.push_back(Fresh(doc));
  CArea2ObjectFloor* floor = list.back().m_FloorArray.SearchFloor(0);
  floor->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  floor->m_ManualEquation = GS::UniString(std::string(40000, 'x').c_str(), CC_Default);
  EXPECT_EQ(ThrownBy([&] { record.Write(1047, [&](CArchive& ar) { list.Serialize(ar, &doc); }); }), CArchive::kTooLong);
  EXPECT_EQ(record.Bytes(host), before);
}

TEST_F(ElementRecordTest, FlatListOf1029MigratesWithManualAndZoneRows)
{
  const GS::Guid zone = GS::Guid().Generate();
  StoredBytes b = Base(1029).Int(3);
  Entry(b, 1);
  Entry(b, 4, 2);  // a figure of floor 1
  Entry(b, 99);    // gone: dropped
  b.Bool(true);    // show total as a byte
  b.Int(0);        // list type of 1003..1045
  b.Int(1).Short(1).Long(5000000).Text(GS::UniString(u"手入力").ToStdString(CC_Japanese));
  b.Int(1).Short(2).Int(1).Text(zone.ToUniString().ToStdString());
  ASSERT_TRUE(Read(1029, b));
  EXPECT_EQ(read.m_Code, 10);
  EXPECT_EQ(read.m_Name.m_DefaultName, GS::UniString(u"A"));
  EXPECT_EQ(read.m_ShowTotal, CArea2Object::SHOWTOTAL_MARK);
  EXPECT_EQ(read.m_ListType, CArea2ListTypeTable::LISTTYPE_LIST);
  ASSERT_EQ(read.m_FloorArray.size(), 3u);
  const CArea2ObjectFloor& ground = read.m_FloorArray[0];
  EXPECT_EQ(ground.m_Floor, 0);
  EXPECT_EQ(ground.m_Mode, CArea2ObjectFloor::MODE_FIGURE);
  ASSERT_EQ(ground.m_List.size(), 1u);
  EXPECT_EQ(ground.m_List[0].m_pArea1, Figure(1));
  // Entries of floor 1 and then its manual row: the manual row wins.
  const CArea2ObjectFloor& upper = read.m_FloorArray[1];
  EXPECT_EQ(upper.m_Floor, 1);
  EXPECT_EQ(upper.m_Mode, CArea2ObjectFloor::MODE_MANUAL);
  EXPECT_EQ(upper.m_ManualArea, 5000000);
  EXPECT_EQ(upper.m_ManualEquation, GS::UniString(u"手入力"));
  ASSERT_EQ(upper.m_List.size(), 1u);
  EXPECT_EQ(upper.m_List[0].m_Operator, OP::OPERATOR_MINUS);
  const CArea2ObjectFloor& zones = read.m_FloorArray[2];
  EXPECT_EQ(zones.m_Mode, CArea2ObjectFloor::MODE_AUTO);
  ASSERT_EQ(zones.m_AutoAreaGuidArray.size(), 1u);
  EXPECT_EQ(zones.m_AutoAreaGuidArray[0], zone);
}

TEST_F(ElementRecordTest, ShowTotalIsAByteUntil1037AndAnIntFrom1038)
{
  const auto readShowTotal = [&](int version, const StoredBytes& tail) {
    EXPECT_TRUE(Read(version, Base(version).Int(0).Append(tail))) << version;  // no floor records
    return std::make_pair(read.m_ShowTotal, read.m_ListType);
  };
  EXPECT_EQ(readShowTotal(1037, StoredBytes().Bool(false).Int(0)),
            std::make_pair(CArea2Object::SHOWTOTAL_HIDE, CArea2ListTypeTable::LISTTYPE_LIST));
  EXPECT_EQ(readShowTotal(1038, StoredBytes().Int(2).Int(0)),
            std::make_pair(CArea2Object::SHOWTOTAL_NOMARK, CArea2ListTypeTable::LISTTYPE_LIST));
  // From 1046 the list type is the base record's (1 above); nothing follows.
  EXPECT_EQ(readShowTotal(1046, StoredBytes().Int(0)),
            std::make_pair(CArea2Object::SHOWTOTAL_HIDE, CArea2ListTypeTable::LISTTYPE_FORMULA));
}

TEST_F(ElementRecordTest, FloorRecordDropsEntriesOfOtherStories)
{
  StoredBytes b = Base(1047).Int(1);
  FloorRecord(b, 0, {1, 4, 3}).Int(1);
  ASSERT_TRUE(Read(1047, b));
  ASSERT_EQ(read.m_FloorArray[0].m_List.size(), 2u);
  EXPECT_EQ(read.m_FloorArray[0].m_List[0].m_pArea1->m_Code, 1);
  EXPECT_EQ(read.m_FloorArray[0].m_List[1].m_pArea1->m_Code, 3);
}

// While the project record is read with a placed figure of story 0 that
// could not be read, an entry of that story naming no figure may be its:
// it is held as stored, written back in its place among the live entries,
// and once its figure can be read it is where it was. Codes of figures on
// other stories, codes no figure can have and entries of other stories are
// dropped as ever; a code held twice refuses.
TEST_F(ElementRecordTest, EntriesNamingNoFigureAreHeldInTheirPlaceOnlyOnTheStoryOfAnUnreadFigure)
{
  StoredBytes b = Base(1047).Int(2);
  FloorRecord(b, 0, {98, 1, 4, 0, 99, 2}, 1, 2);
  FloorRecord(b, 1, {4, 97});
  b.Int(1);
  {
    const CPlenimetraParam::FigureIndexScope index(doc, true, {0});
    ASSERT_TRUE(Read(1047, b));
  }
  const CArea2ObjectFloor& ground = read.m_FloorArray[0];
  ASSERT_EQ(ground.m_List.size(), 2u);
  EXPECT_EQ(ground.m_List[0].m_pArea1, Figure(1));
  const CArea2HeldEntry held98{98, CRoundTypeTable::ROUNDTYPE_DEFAULT, OP::OPERATOR_MINUS, CCrMark(), 0};
  const CArea2HeldEntry held99{99, CRoundTypeTable::ROUNDTYPE_DEFAULT, OP::OPERATOR_MINUS, CCrMark(), 1};
  EXPECT_EQ(ground.m_HeldList, (std::vector<CArea2HeldEntry>{held98, held99}));
  EXPECT_EQ(read.m_FloorArray[1].m_List.size(), 1u);
  EXPECT_TRUE(read.m_FloorArray[1].m_HeldList.empty());

  const CArea2Object first = read;
  record.Write(1047, [&](CArchive& ar) { read.Serialize(ar, &doc); });
  {
    const CPlenimetraParam::FigureIndexScope index(doc, true, {0});
    ASSERT_TRUE(ReadBack());
  }
  EXPECT_TRUE(read == first);
  ASSERT_TRUE(ReadBack());  // no unread figure: dropped as ever
  EXPECT_TRUE(read.m_FloorArray[0].m_HeldList.empty());
  EXPECT_EQ(read.m_FloorArray[0].m_List.size(), 2u);

  // Readable again, the figures are back in their places; a held entry
  // whose neighbour went in the meantime comes last.
  auto codesRead = [&] {
    std::vector<int> codes;
    for (const CArea2List& entry : read.m_FloorArray[0].m_List)
      codes.push_back(entry.m_pArea1->m_Code);
    return codes;
  };
  doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(MakeKindFigure(doc, 98));
  doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(MakeKindFigure(doc, 99));
  record.Write(1047, [&](CArchive& ar) { CArea2Object(first).Serialize(ar, &doc); });
  ASSERT_TRUE(ReadBack());
  EXPECT_EQ(codesRead(), (std::vector<int>{98, 1, 99, 2}));
  CArea2Object edited = first;
  edited.m_FloorArray[0].m_List.erase(edited.m_FloorArray[0].m_List.begin());
  record.Write(1047, [&](CArchive& ar) { edited.Serialize(ar, &doc); });
  ASSERT_TRUE(ReadBack());
  EXPECT_EQ(codesRead(), (std::vector<int>{98, 2, 99}));

  StoredBytes twice = Base(1047).Int(1);
  FloorRecord(twice, 0, {99, 1, 99}).Int(1);
  const CPlenimetraParam::FigureIndexScope index(doc, true, {0});
  EXPECT_FALSE(Read(1047, twice));
}

// The flat list of records before 1030 names no story for an entry whose
// figure is missing: while figures are left out it is held, in its place,
// on every story that has one (it once dropped the entry for good), and the
// story whose figure it is finds it again once the figure can be read.
TEST_F(ElementRecordTest, AFlatListOf1029HoldsAnEntryNamingNoFigureOnEachStoryWithAnUnreadFigure)
{
  StoredBytes b = Base(1029).Int(4);
  Entry(b, 97, 2);
  Entry(b, 1);
  Entry(b, 4);
  Entry(b, 0);  // no figure can have it: dropped
  b.Bool(true).Int(0).Int(0).Int(0);
  const CArea2HeldEntry held97{97, CRoundTypeTable::ROUNDTYPE_DEFAULT, OP::OPERATOR_MINUS, CCrMark(), 0};
  {
    const CPlenimetraParam::FigureIndexScope index(doc, true, {0});
    ASSERT_TRUE(Read(1029, b));
  }
  ASSERT_EQ(read.m_FloorArray.size(), 2u);
  EXPECT_EQ(read.m_FloorArray[0].m_HeldList, std::vector<CArea2HeldEntry>{held97});
  EXPECT_EQ(read.m_FloorArray[0].m_Mode, CArea2ObjectFloor::MODE_FIGURE);
  EXPECT_TRUE(read.m_FloorArray[1].m_HeldList.empty());
  {
    const CPlenimetraParam::FigureIndexScope index(doc, true, {0, 1});
    ASSERT_TRUE(Read(1029, b));
  }
  EXPECT_EQ(read.m_FloorArray[0].m_HeldList, std::vector<CArea2HeldEntry>{held97});
  EXPECT_EQ(read.m_FloorArray[1].m_HeldList, std::vector<CArea2HeldEntry>{held97});
  const CArea2Object held = read;
  ASSERT_TRUE(Read(1029, b));  // no unread figure: dropped as ever
  EXPECT_TRUE(read.m_FloorArray[0].m_HeldList.empty());

  // Figure 97 turns out to be on story 1: there it is back in its place,
  // story 0 drops its copy.
  doc.m_FloorParamArray[1].m_Area1ObjectArray.push_back(MakeKindFigure(doc, 97));
  record.Write(1047, [&](CArchive& ar) { CArea2Object(held).Serialize(ar, &doc); });
  ASSERT_TRUE(ReadBack());
  EXPECT_EQ(read.m_FloorArray[0].m_List.size(), 1u);
  ASSERT_EQ(read.m_FloorArray[1].m_List.size(), 2u);
  EXPECT_EQ(read.m_FloorArray[1].m_List[0].m_pArea1, Figure(97));
  EXPECT_EQ(read.m_FloorArray[1].m_List[0].m_Operator, OP::OPERATOR_MINUS);
  EXPECT_EQ(read.m_FloorArray[1].m_List[1].m_pArea1, Figure(4));

  StoredBytes twice = Base(1029).Int(2);
  Entry(twice, 97);
  Entry(twice, 97);
  const CPlenimetraParam::FigureIndexScope index(doc, true, {0});
  EXPECT_FALSE(Read(1029, twice.Bool(true).Int(0).Int(0).Int(0)));
}

TEST_F(ElementRecordTest, RecordsTheCalculationCannotUseAreRefused)
{
  const auto refused = [&](int version, const StoredBytes& b) { return !Read(version, b); };
  const auto withFloor = [](StoredBytes b, std::initializer_list<int> codes, int mode, int op) {
    b.Int(1);
    FloorRecord(b, 0, codes, mode, op);
    return b.Int(1);
  };
  EXPECT_FALSE(refused(1047, withFloor(Base(1047), {1, 2}, 1, 1)));
  EXPECT_TRUE(refused(1025, withFloor(Base(1025), {1}, 1, 1)));
  EXPECT_TRUE(refused(1047, withFloor(Base(1047), {1}, 9, 1)));
  EXPECT_TRUE(refused(1047, withFloor(Base(1047), {1}, 0, 1)));
  EXPECT_TRUE(refused(1047, withFloor(Base(1047), {1}, 1, 3)));
  EXPECT_TRUE(refused(1047, withFloor(Base(1047), {1, 2, 1}, 1, 1)));
  EXPECT_TRUE(refused(1047, withFloor(Base(1047, INT_MAX), {1}, 1, 1)));
  EXPECT_TRUE(refused(1047, withFloor(Base(1047, 0), {1}, 1, 1)));
  StoredBytes flat = Base(1029).Int(2);
  Entry(flat, 2);
  Entry(flat, 2);
  EXPECT_TRUE(refused(1029, flat.Bool(true).Int(0).Int(0).Int(0)));
  EXPECT_TRUE(refused(1047, Base(1047).Int(100000000)));
  std::vector<char> shorter = withFloor(Base(1047), {1}, 1, 1).Get();
  shorter.pop_back();
  record.Store(1047, shorter);
  EXPECT_FALSE(ReadBack());
}

TEST_F(ElementRecordTest, ListKeepsTheElementsBeforeARefusedOne)
{
  StoredBytes bad = Base(1047, 11).Int(1);
  FloorRecord(bad, 0, {1}, 7, 1);
  record.Store(1047, StoredBytes().Int(2).Append(Base(1047, 10).Int(0).Int(1)).Append(bad).Get());
  CArea2ObjectArray list;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { static_cast<void>(list.Serialize(ar, &doc)); }), CArchive::kPastEnd);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.front().m_Code, 10);

  record.Write(1047, [&](CArchive& ar) { list.Serialize(ar, &doc); });
  CArea2ObjectArray again;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { again.Serialize(ar, &doc); }), 0u);
  EXPECT_TRUE(again == list);
  EXPECT_NE(again.Search(10), nullptr);
  EXPECT_EQ(again.Search(11), nullptr);

  record.Store(1000, StoredBytes().Int(3).Get());
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { again.Serialize(ar, &doc); }), 0u);
  EXPECT_EQ(again.size(), 1u);
}

}  // namespace
