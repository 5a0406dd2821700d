// Old user-data records of every kind: the legacy fields of versions 1 and
// 2 read to the record's end, cut-short blocks refused with the figure
// unchanged; and the project record rebuilding the real classes.

#include "FiguresTestSupport.h"

#include <functional>
#include <typeinfo>

namespace {

constexpr int kStoredCode = 41;

struct KindRecord {
  CArea1Object::TYPE type;
  std::function<std::shared_ptr<CArea1Object>(CPlenimetraParam*)> make;
  std::function<void(StoredBytes&)> legacy;  // the kind's block of versions 1 and 2
};

template <class Kind>
std::function<std::shared_ptr<CArea1Object>(CPlenimetraParam*)> Maker()
{
  return [](CPlenimetraParam* doc) {
    return std::make_shared<Kind>(doc, 7, CItemType1Table::ITEMTYPE_CIRCLE, CItemType2Table::ITEMTYPE_DECIMAL, 0);
  };
}

std::function<void(StoredBytes&)> Doubles(int n)
{
  return [n](StoredBytes& b) {
    for (int i = 0; i < n; ++i)
      b.Long(0x3FF0000000000000LL + i);  // 1.0 and its neighbours
  };
}

std::function<void(StoredBytes&)> Arc3Block(int count, int points)
{
  return [count, points](StoredBytes& b) {
    b.Int(count);
    Doubles(2 * points + 4)(b);
  };
}

std::vector<KindRecord> Records()
{
  return {{CArea1Object::TYPE_TRIANGLE, Maker<CAreaTriangle>(), Doubles(1)},
          {CArea1Object::TYPE_RECTSLANT, Maker<CAreaRectSlant>(), Doubles(0)},
          {CArea1Object::TYPE_TRAPEZOID, Maker<CAreaTrapezoid>(), Doubles(2)},
          {CArea1Object::TYPE_CIRCLE, Maker<CAreaCircle>(), Doubles(1)},
          {CArea1Object::TYPE_ARC, Maker<CAreaArc>(), Doubles(2)},
          {CArea1Object::TYPE_ELLIPSE, Maker<CAreaEllipse>(), Doubles(2)},
          {CArea1Object::TYPE_ARCCENTER, Maker<CAreaArcCenter>(), Doubles(2)},
          {CArea1Object::TYPE_ARC3POINT, Maker<CAreaArc3Point>(), Arc3Block(3, 3)}};
}

// The common part of a version 1 (long enough) or 2 record.
StoredBytes Common(short version)
{
  StoredBytes b;
  b.Int(700).Int(kStoredCode).Int(2).Int(3).Int(1);
  if (version >= 2)
    b.Int(5).Int(6);
  return b.Int(2).Byte(1).Byte(0);
}

class UserDataTest : public FigureTest {
protected:
  // Stores the bytes on a new element and loads them into the figure.
  GSErrCode Load(CArea1Object& figure, short version, const std::vector<char>& bytes)
  {
    ElementUserData data(host);
    data.Store(version, bytes);
    head = data.head;
    return figure.Load(&doc(), &head);
  }
  // Whether reading the stored record through the kind ends at its end.
  bool ReadsToTheEnd(CArea1Object& figure)
  {
    CPlenimetraUserDataCore data;
    bool atEnd = false;
    ThrownBy([&] {
      data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
      figure.Serialize(data);
      atEnd = data.IsEOF();
    });
    data.Close();
    return atEnd;
  }

  API_Elem_Head head;
};

}  // namespace

TEST_F(UserDataTest, OldRecordsOfEveryKindReadTheirLegacyFieldsToTheEnd)
{
  for (const KindRecord& kind : Records()) {
    for (short version : {short(1), short(2)}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind.type << " version " << version);
      StoredBytes bytes = Common(version);
      kind.legacy(bytes);
      auto figure = kind.make(&doc());
      ASSERT_EQ(Load(*figure, version, bytes.Get()), NoError);
      EXPECT_EQ(figure->m_Code, kStoredCode);
      EXPECT_EQ(figure->m_RoundType, CRoundTypeTable::ROUNDTYPE(1));
      EXPECT_EQ(figure->m_No, version >= 2 ? 6 : 0);
      EXPECT_TRUE(ReadsToTheEnd(*kind.make(&doc())));
    }
    // Four bytes: only the record's type, nothing of the kind's own.
    auto bare = kind.make(&doc());
    ASSERT_EQ(Load(*bare, 1, StoredBytes().Int(700).Get()), NoError);
    EXPECT_EQ(bare->m_Code, 7);
    EXPECT_TRUE(ReadsToTheEnd(*kind.make(&doc())));
  }
}

TEST_F(UserDataTest, CutShortBlocksAreRefusedWithTheFigureUnchanged)
{
  for (const KindRecord& kind : Records()) {
    SCOPED_TRACE(kind.type);
    StoredBytes bytes = Common(2);
    kind.legacy(bytes);
    std::vector<char> cut = bytes.Get();
    cut.pop_back();
    auto figure = kind.make(&doc());
    EXPECT_EQ(Load(*figure, 2, cut), APIERR_BADPARS);
    EXPECT_EQ(figure->m_Code, 7);
    EXPECT_EQ(figure->m_No, 0);
  }
  struct Case {
    int count;
    int points;
  };
  for (const Case& c : {Case{-1, 0}, Case{4, 3}, Case{1000000, 3}, Case{0x7FFFFFFF, 0}}) {
    StoredBytes bytes = Common(1);
    Arc3Block(c.count, c.points)(bytes);
    CAreaArc3Point figure(&doc(), 7, CItemType1Table::ITEMTYPE_CIRCLE, CItemType2Table::ITEMTYPE_DECIMAL, 0);
    EXPECT_EQ(Load(figure, 1, bytes.Get()), APIERR_BADPARS) << c.count;
    EXPECT_EQ(figure.m_Code, 7);
  }
}

TEST_F(UserDataTest, WrittenRecordsCarryTheCommonPartOnlyAndReadBack)
{
  for (const KindRecord& kind : Records()) {
    auto figure = kind.make(&doc());
    figure->m_Element.header = PlaceObject(host);
    figure->m_Code = 99;
    figure->m_SortIndex = 4;
    ASSERT_EQ(figure->Save(), NoError);
    head = figure->m_Element.header;
    auto reread = kind.make(&doc());
    ASSERT_EQ(reread->Load(&doc(), &head), NoError);
    EXPECT_EQ(reread->m_Code, 99) << kind.type;
    EXPECT_EQ(reread->m_SortIndex, 4) << kind.type;
    EXPECT_TRUE(ReadsToTheEnd(*kind.make(&doc()))) << kind.type;
  }
}

TEST_F(UserDataTest, AProjectRecordOfKindsOneToNineRebuildsTheRealClasses)
{
  CArea1ObjectArray stored;
  for (int kind = CArea1Object::TYPE_TRIANGLE; kind <= CArea1Object::kTypeMax; ++kind)
    stored.push_back(MakeKindFigure(doc(), kind, 0, static_cast<CArea1Object::TYPE>(kind)));
  RecordRoundTrip record;
  record.Write(1047, [&](CArchive& ar) { stored.Serialize(ar, &doc()); });
  CArea1ObjectArray read;
  ASSERT_EQ(record.ReadThrown([&](CArchive& ar) { read.Serialize(ar, &doc()); }), 0u);
  ASSERT_EQ(read.size(), 9u);
  const std::vector<const std::type_info*> expected{
      &typeid(CAreaTriangle),  &typeid(CAreaRectSlant), &typeid(CAreaRectSlant),
      &typeid(CAreaArc3Point), &typeid(CAreaArcCenter), &typeid(CAreaTrapezoid),
      &typeid(CAreaArc),       &typeid(CAreaCircle),    &typeid(CAreaEllipse)};
  for (std::size_t i = 0; i < read.size(); ++i) {
    const CArea1Object& figure = *read[i];
    EXPECT_TRUE(typeid(figure) == *expected[i]) << i;
    EXPECT_EQ(read[i]->m_Code, static_cast<int>(i) + 1);
  }
  // The old rectangle is a rectangle in every operation.
  EXPECT_EQ(read[1]->m_Type, CArea1Object::TYPE_RECTSLANT);
  EXPECT_EQ(read[1]->m_Cr.size(), 1u);
}
