// Line-break marks: splitting formula texts at them, and their stored
// forms in the project record and in user data, with counts that cannot
// fit refused before anything is resized.

#include "CCrMark.h"
#include "DocTestSupport.h"

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

CCrMarkArray Marks(std::initializer_list<bool> flags)
{
  CCrMarkArray marks;
  for (bool flag : flags)
    marks.push_back(CCrMark(flag));
  return marks;
}

using CrMarkRecord = DocTest;

TEST_F(CrMarkRecord, MarksRoundTripAndResizeToTheStoredCount)
{
  const CCrMarkArray stored = Marks({true, false});
  record.Write(1047, [&](CArchive& ar) {
    CCrMarkArray(stored).Serialize(ar);
    EXPECT_EQ(ar.GetFilePointer(), 4 + 2);
  });
  CCrMarkArray loaded(4, CCrMark(true));
  EXPECT_TRUE(record.Read([&](CArchive& ar) {
    loaded.Serialize(ar);
    return ar.RemainingBytes() == 0;
  }));
  EXPECT_EQ(loaded, stored);
}

TEST_F(CrMarkRecord, RecordsBefore1001CarryNoMarksAndLongCountsAreRefused)
{
  record.Write(1000, [](CArchive& ar) { ar << 7; });
  CCrMarkArray marks(1, CCrMark(true));
  CCrMark mark(true);
  EXPECT_TRUE(record.Read([&](CArchive& ar) {
    marks.Serialize(ar);
    mark.Serialize(ar);
    return ar.GetFilePointer() == 0;
  }));
  EXPECT_EQ(marks, CCrMarkArray(1, CCrMark(true)));
  EXPECT_TRUE(mark.m_bCr);

  for (int count : {-1, 3, 2000000000}) {
    record.Write(1047, [&](CArchive& ar) { ar << count << true << false; });
    CCrMarkArray refused;
    EXPECT_NE(record.ReadThrown([&](CArchive& ar) { refused.Serialize(ar); }), 0u) << count;
    EXPECT_TRUE(refused.empty()) << count;
  }
}

class CrMarkUserData : public DocTest {
protected:
  ElementUserData data{host};
};

TEST_F(CrMarkUserData, MarksAreACountAndOneBytePerMark)
{
  const CCrMarkArray stored = Marks({true, false, true});
  ASSERT_EQ(data.Write(9, [&](CPlenimetraUserDataCore& out) { CCrMarkArray(stored).Serialize(out); }), NoError);
  EXPECT_EQ(data.Bytes(), Bytes({0xbc, 0x02, 0, 0, 3, 0, 0, 0, 1, 0, 1}));

  CCrMarkArray loaded;
  data.Read([&](CPlenimetraUserDataCore& in) {
    loaded.Serialize(in);
    EXPECT_TRUE(in.IsEOF());
  });
  EXPECT_EQ(loaded, stored);
}

TEST_F(CrMarkUserData, VersionZeroHasNoMarksAndACountBeyondTheDataThrows)
{
  data.Store(0, Bytes({0xbc, 0x02, 0, 0, 1, 0, 0, 0, 1}));
  CCrMarkArray marks(2);
  data.Read([&](CPlenimetraUserDataCore& in) {
    marks.Serialize(in);
    EXPECT_EQ(in.GetPosition(), 4);
  });
  EXPECT_EQ(marks, CCrMarkArray(2));

  data.Store(9, Bytes({0xbc, 0x02, 0, 0, 0xff, 0xff, 0xff, 0x7f, 1}));
  CCrMarkArray refused;
  EXPECT_EQ(data.Read([&](CPlenimetraUserDataCore& in) { refused.Serialize(in); }), CPlenimetraUserDataCore::kPastEnd);
  EXPECT_TRUE(refused.empty());
}

}  // namespace
