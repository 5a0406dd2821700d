#include "CArchive.h"
#include "CCrMark.h"
#include "CPlenimetraUserDataCore.h"
#include "HostFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::u16string> Lines(const char16_t* text)
{
  std::vector<std::u16string> lines;
  for (const GS::UniString& line : CCrMarkArray::GetEquationList(GS::UniString(text)))
    lines.push_back(line.Std());
  return lines;
}

using L = std::vector<std::u16string>;

TEST(CCrMarkTest, FormulaTextsSplitAtEveryMark)
{
  EXPECT_EQ(Lines(u"a#b#c"), (L{u"a", u"b", u"c"}));
  EXPECT_EQ(Lines(u"a#"), (L{u"a"}));
  EXPECT_EQ(Lines(u"#a"), (L{u"", u"a"}));
  EXPECT_EQ(Lines(u"a##b"), (L{u"a", u"", u"b"}));
  EXPECT_EQ(Lines(u"□1+□2-□3"), (L{u"□1+□2-□3"}));
  EXPECT_EQ(Lines(u""), L{});
  EXPECT_EQ(Lines(u"#"), (L{u""}));
}

TEST(CCrMarkTest, MarkTextsAndGrowingTheArray)
{
  EXPECT_EQ(CCrMark::GetMarkStr().Std(), u"#");
  EXPECT_EQ(CCrMark().GetStr(false).Std(), u"");
  EXPECT_EQ(CCrMark().GetStr(true).Std(), u"#");
  EXPECT_EQ(CCrMark(true).GetStr(false).Std(), u"#");

  CCrMarkArray marks;
  marks.push_back(CCrMark(true));
  marks.SetMinSize(3);
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_TRUE(marks[0].m_bCr);
  EXPECT_FALSE(marks[2].m_bCr);
  marks.SetMinSize(1);
  EXPECT_EQ(marks.size(), 3u);  // never shrinks: stored marks survive
}

class CrMarkRecord : public ::testing::Test {
protected:
  static constexpr const char* kName = "PLN_CRMARK_TEST";

  template <class Write>
  void Store(int version, Write write)
  {
    CArchiveOld ar(kName);
    ar.Save(version);
    write(ar);
  }
  template <class Read>
  void Load(Read read)
  {
    CArchiveOld ar(kName);
    ASSERT_EQ(ar.Open(), 0);
    read(ar);
  }

  HostFixture host;
};

TEST_F(CrMarkRecord, MarksRoundTripAndResizeToTheStoredCount)
{
  CCrMarkArray stored;
  stored.push_back(CCrMark(true));
  stored.push_back(CCrMark(false));
  Store(1047, [&](CArchive& ar) {
    stored.Serialize(ar);
    EXPECT_EQ(ar.GetFilePointer(), 4 + 2);
  });
  CCrMarkArray loaded(4, CCrMark(true));
  Load([&](CArchive& ar) {
    loaded.Serialize(ar);
    EXPECT_EQ(ar.RemainingBytes(), 0u);
  });
  EXPECT_EQ(loaded, stored);
}

TEST_F(CrMarkRecord, RecordsBefore1001CarryNoMarks)
{
  Store(1000, [](CArchive& ar) { ar << 7; });
  CCrMarkArray marks(1, CCrMark(true));
  CCrMark mark(true);
  Load([&](CArchive& ar) {
    marks.Serialize(ar);
    mark.Serialize(ar);
    EXPECT_EQ(ar.GetFilePointer(), 0);
  });
  EXPECT_EQ(marks, CCrMarkArray(1, CCrMark(true)));
  EXPECT_TRUE(mark.m_bCr);
}

TEST_F(CrMarkRecord, ACountLargerThanTheRestIsRefusedBeforeResizing)
{
  for (int count : {-1, 3, 2000000000}) {
    Store(1047, [&](CArchive& ar) { ar << count << true << false; });
    CCrMarkArray marks;
    Load([&](CArchive& ar) { EXPECT_THROW(marks.Serialize(ar), unsigned int) << count; });
    EXPECT_TRUE(marks.empty()) << count;
  }
}

class CrMarkUserData : public ::testing::Test {
protected:
  void SetUp() override
  {
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = short(host.AddLayer(u"図形"));
    element.object.libInd = 1;
    element.object.xRatio = 1.0;
    element.object.yRatio = 1.0;
    ASSERT_EQ(host.AddElement(element), NoError);
    head = element.header;
  }
  void StoreRaw(const std::vector<char>& bytes, short version)
  {
    ASSERT_EQ(host.SetUserData(head.guid, version, 0x5757, bytes), NoError);
  }
  template <class Read>
  void ReadBack(Read read)
  {
    CPlenimetraUserDataCore data;
    data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
    ASSERT_EQ(data.GetError(), NoError);
    read(data);
    data.Close();
  }

  HostFixture host;
  API_Elem_Head head;
};

TEST_F(CrMarkUserData, MarksAreACountAndOneBytePerMark)
{
  CCrMarkArray stored;
  stored.push_back(CCrMark(true));
  stored.push_back(CCrMark(false));
  stored.push_back(CCrMark(true));
  {
    CPlenimetraUserDataCore data;
    data.SetUserDataType(CMyUserDataCore::TYPE(700));
    data.Open(CPlenimetraUserDataCore::MODE_WRITE, &head);
    ASSERT_EQ(data.GetError(), NoError);
    data.SetVersion(9);
    stored.Serialize(data);
    data.Close();
    ASSERT_EQ(data.GetError(), NoError);
  }
  const std::vector<char> expected = {'\xbc', '\x02', 0, 0, 3, 0, 0, 0, 1, 0, 1};
  EXPECT_EQ(host.Element(head.guid)->userData->bytes, expected);

  CCrMarkArray loaded;
  ReadBack([&](CPlenimetraUserDataCore& data) {
    loaded.Serialize(data);
    EXPECT_TRUE(data.IsEOF());
  });
  EXPECT_EQ(loaded, stored);
}

TEST_F(CrMarkUserData, VersionZeroDataHasNoMarks)
{
  StoreRaw({'\xbc', '\x02', 0, 0, 1, 0, 0, 0, 1}, 0);
  CCrMarkArray marks(2);
  ReadBack([&](CPlenimetraUserDataCore& data) {
    marks.Serialize(data);
    EXPECT_EQ(data.GetPosition(), 4);
  });
  EXPECT_EQ(marks, CCrMarkArray(2));
}

TEST_F(CrMarkUserData, ACountBeyondTheDataThrowsPastEnd)
{
  StoreRaw({'\xbc', '\x02', 0, 0, '\xff', '\xff', '\xff', '\x7f', 1}, 9);
  CCrMarkArray marks;
  ReadBack([&](CPlenimetraUserDataCore& data) {
    try {
      marks.Serialize(data);
      ADD_FAILURE() << "no throw";
    } catch (unsigned int code) {
      EXPECT_EQ(code, CPlenimetraUserDataCore::kPastEnd);
    }
  });
  EXPECT_TRUE(marks.empty());
}

}  // namespace
