// The figure record: the exact user-data bytes, the migration of records of
// every older version, refused records leaving the figure untouched, the
// formula's line breaks and the raw and rounded area texts.

#include "DocTestSupport.h"
#include "host_errors.h"

#include <climits>

namespace {

constexpr short kVersion = CArea1Object::kUserDataVersion;
constexpr unsigned short kSign = 0x5757;

class FigureUserDataTest : public DocTest {
protected:
  void SetUp() override
  {
    doc.m_FloorParamArray.push_back(MakeFloor(0, u"1F"));
    figure->m_Element.header = PlaceObject(host, static_cast<short>(host.AddLayer(u"図形")));
  }

  const pln::host::StoredUserData& Stored() { return *host.Element(figure->m_Element.header.guid)->userData; }

  // Stores a handmade record on the figure's element and loads it.
  GSErrCode LoadRecord(short version, const StoredBytes& fields)
  {
    const StoredBytes all = StoredBytes().Int(CArea1Object::kUserDataType).Append(fields);
    EXPECT_EQ(host.SetUserData(figure->m_Element.header.guid, version, kSign, all.Get()), NoError);
    return figure->Load(&doc, &figure->m_Element.header, &fault);
  }
  CArea1Object::LoadFault fault = CArea1Object::LoadFault::None;

  // The common numbers of versions 2 on: code, mark, numbering, rounding,
  // sort index, number, then the marks.
  static StoredBytes& Numbers(StoredBytes& b, int code, int sortIndex, int no)
  {
    return b.Int(code).Int(3).Int(2).Int(1).Int(sortIndex).Int(no).Int(2).Byte(1).Byte(0);
  }

  // An automatic-area record of floor 0 whose early code list holds codes.
  API_Elem_Head AutoAreaListing(API_ElemTypeID type, std::vector<int> codes)
  {
    API_Elem_Head head;
    head.typeID = type;
    head.guid = ToAPIGuid(GS::Guid().Generate());
    CAutoAreaParam areaParam(&head);
    areaParam.m_CodeList = std::move(codes);
    doc.m_FloorParamArray[0].m_AutoAreaParamArray.Add(areaParam);
    return head;
  }

  std::shared_ptr<TestKindFigure> figure = MakeKindFigure(doc, 5);
};

TEST_F(FigureUserDataTest, FreshRecordHoldsTheDocumentedBytes)
{
  figure->m_ItemType1 = CItemType1Table::ITEMTYPE_SQUARE;
  figure->m_No = 0;
  figure->m_SortIndex = 0;
  ASSERT_EQ(figure->Save(), NoError);

  StoredBytes expected;
  expected.Int(700).Text(kNullGuidText).Int(0).Int(1).Int(5).Int(2).Int(1).Int(4).Int(0).Int(0).Int(0).Byte(1);
  EXPECT_EQ(Stored().bytes, expected.Get());
  EXPECT_EQ(Stored().dataVersion, 9);
  EXPECT_EQ(Stored().platformSign, kSign);
}

TEST_F(FigureUserDataTest, SavedRecordLoadsIntoAnEqualFigure)
{
  figure->m_AutoArea.m_ElemGuid.Generate();
  figure->m_AutoArea.m_Operator = COperatorTable::OPERATOR_MINUS;
  figure->m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
  figure->m_SortIndex = 3;
  figure->m_No = 7;
  figure->m_Cr.SetMinSize(3);
  figure->m_Cr[1].m_bCr = true;
  figure->m_bAutoCr = false;
  ASSERT_EQ(figure->Save(), NoError);

  auto loaded = std::make_shared<TestKindFigure>(&doc, CArea1Object::TYPE_TRIANGLE, 0, CItemType1Table::ITEMTYPE_NONE,
                                                 CItemType2Table::ITEMTYPE_NONE, -1);
  ASSERT_EQ(loaded->Load(&doc, &figure->m_Element.header), NoError);
  EXPECT_EQ(loaded->m_Code, 5);
  EXPECT_EQ(loaded->m_AutoArea, figure->m_AutoArea);
  EXPECT_EQ(loaded->m_RoundType, CRoundTypeTable::ROUNDTYPE_UP);
  EXPECT_EQ(loaded->m_SortIndex, 3);
  EXPECT_EQ(loaded->m_No, 7);
  EXPECT_EQ(loaded->m_Cr, figure->m_Cr);
  EXPECT_FALSE(loaded->m_bAutoCr);
  EXPECT_EQ(loaded->m_ItemType1, figure->m_ItemType1);
  EXPECT_EQ(loaded->m_ItemType2, figure->m_ItemType2);
}

TEST_F(FigureUserDataTest, NoRecordOrAVersion1OfTheTypeAloneChangesNothing)
{
  EXPECT_EQ(figure->Load(&doc, &figure->m_Element.header), NoError);
  CArea1ObjectCore core;
  EXPECT_EQ(core.Load(&figure->m_Element.header), APIERR_NOUSERDATA);
  EXPECT_EQ(LoadRecord(1, StoredBytes()), NoError);
  EXPECT_EQ(figure->m_Code, 5);
  EXPECT_EQ(figure->m_RoundType, CRoundTypeTable::ROUNDTYPE_DEFAULT);
}

TEST_F(FigureUserDataTest, CoreReadsTheCommonPartOfAnyKind)
{
  auto ellipse = MakeKindFigure(doc, 12, 0, CArea1Object::TYPE_ELLIPSE);
  ellipse->m_Element.header = figure->m_Element.header;
  ASSERT_EQ(ellipse->Save(), NoError);
  CArea1ObjectCore core;
  ASSERT_EQ(core.Load(&figure->m_Element.header), NoError);
  EXPECT_EQ(core.m_Type, CArea1Object::TYPE_ELLIPSE);
  EXPECT_EQ(core.m_Code, 12);
}

TEST_F(FigureUserDataTest, Version1ReadsNumbersWithoutSortIndexAndCompletesTheLink)
{
  const API_Elem_Head zone = AutoAreaListing(API_ZoneID, {3, 9});
  ASSERT_EQ(LoadRecord(1, StoredBytes().Int(9).Int(3).Int(2).Int(1).Int(1).Byte(1)), NoError);
  EXPECT_EQ(figure->m_Code, 9);
  EXPECT_EQ(figure->m_ItemType1, CItemType1Table::ITEMTYPE_DIAMOND);
  EXPECT_EQ(figure->m_RoundType, CRoundTypeTable::ROUNDTYPE_HALFUP);
  EXPECT_EQ(figure->m_SortIndex, -1);  // not stored before version 2
  EXPECT_EQ(figure->m_No, 4);
  ASSERT_EQ(figure->m_Cr.size(), 1u);
  EXPECT_TRUE(figure->m_Cr[0].m_bCr);
  EXPECT_EQ(figure->m_AutoArea.m_ElemGuid, ToGSGuid(zone.guid));
  EXPECT_EQ(figure->m_AutoArea.m_Operator, COperatorTable::OPERATOR_PLUS);
  EXPECT_TRUE(figure->m_bAutoCr);
}

TEST_F(FigureUserDataTest, Versions3And4LeaveTheKindOrTurnTheOldRectangleSlanted)
{
  figure->m_AutoArea.m_ElemGuid.Generate();
  StoredBytes v3;
  ASSERT_EQ(LoadRecord(3, Numbers(v3, 8, 2, 6)), NoError);
  EXPECT_EQ(figure->m_Type, CArea1Object::TYPE_TRIANGLE);
  EXPECT_EQ(figure->m_Code, 8);
  EXPECT_EQ(figure->m_SortIndex, 2);
  EXPECT_EQ(figure->m_No, 6);
  ASSERT_EQ(figure->m_Cr.size(), 2u);
  EXPECT_TRUE(figure->m_AutoArea.m_ElemGuid.IsNull());  // no record lists it

  auto rect = MakeKindFigure(doc, 5, 0, CArea1Object::TYPE_RECTSLANT);
  rect->m_Element.header = figure->m_Element.header;
  figure = rect;
  StoredBytes v4 = StoredBytes().Int(CArea1Object::TYPE_RECT);
  ASSERT_EQ(LoadRecord(4, Numbers(v4, 5, 0, 0)), NoError);
  EXPECT_EQ(figure->m_Type, CArea1Object::TYPE_RECTSLANT);
}

TEST_F(FigureUserDataTest, Versions6To8TakeTheLinksOperatorThenStoreItAndTheBreakSwitch)
{
  const API_Elem_Head slab = AutoAreaListing(API_SlabID, {5});
  StoredBytes v6 = StoredBytes().Text(ToGSGuid(slab.guid).ToUniString().ToStdString()).Int(1);
  ASSERT_EQ(LoadRecord(6, Numbers(v6, 5, 0, 0)), NoError);
  EXPECT_EQ(figure->m_AutoArea.m_ElemGuid, ToGSGuid(slab.guid));
  EXPECT_EQ(figure->m_AutoArea.m_Operator, COperatorTable::OPERATOR_PLUS);

  StoredBytes v7 = StoredBytes().Text(kNullGuidText).Int(2).Int(1);
  ASSERT_EQ(LoadRecord(7, Numbers(v7, 5, 0, 0)), NoError);
  EXPECT_EQ(figure->m_AutoArea.m_Operator, COperatorTable::OPERATOR_MINUS);
  EXPECT_TRUE(figure->m_bAutoCr);

  StoredBytes v8 = StoredBytes().Text(kNullGuidText).Int(1).Int(1);
  ASSERT_EQ(LoadRecord(8, Numbers(v8, 5, 0, 0).Bool(false)), NoError);
  EXPECT_FALSE(figure->m_bAutoCr);
}

TEST_F(FigureUserDataTest, RefusedRecordsLeaveTheFigureUnchanged)
{
  figure->m_No = 11;
  const auto full = [](int code, int markCount) {
    return StoredBytes().Text(kNullGuidText).Int(1).Int(1).Int(code).Int(2).Int(1).Int(4).Int(0).Int(0).Int(markCount);
  };
  // Newer than this reader, older than any, cut short, a mark count past
  // the data, another kind, and codes no figure can have; each says why.
  using Fault = CArea1Object::LoadFault;
  const auto refused = [&](short version, const StoredBytes& bytes, Fault why) {
    EXPECT_EQ(LoadRecord(version, bytes), APIERR_BADPARS) << version;
    EXPECT_EQ(fault, why) << version;
  };
  refused(10, full(5, 0).Bool(true), Fault::Version);
  refused(0, full(5, 0).Bool(true), Fault::Version);
  refused(kVersion, full(5, 0), Fault::Damaged);
  refused(kVersion, full(5, 1000000).Bool(true), Fault::Damaged);
  StoredBytes ellipse = StoredBytes().Text(kNullGuidText).Int(1).Int(CArea1Object::TYPE_ELLIPSE);
  refused(kVersion, Numbers(ellipse, 5, 0, 0).Bool(true), Fault::Kind);
  refused(kVersion, full(INT_MAX, 0).Bool(true), Fault::Damaged);
  refused(kVersion, full(0, 0).Bool(true), Fault::Damaged);
  EXPECT_EQ(LoadRecord(kVersion, full(5, 0).Bool(true)), NoError);
  EXPECT_EQ(fault, Fault::None);
  figure->m_No = 11;

  EXPECT_EQ(figure->m_Code, 5);
  EXPECT_EQ(figure->m_No, 11);
  EXPECT_EQ(figure->m_Type, CArea1Object::TYPE_TRIANGLE);
  EXPECT_TRUE(figure->m_Cr.empty());
}

TEST_F(FigureUserDataTest, SetCopiesTheRecordIntoAnotherOfTheSameCode)
{
  CArea1ObjectArray list;
  auto stale = MakeKindFigure(doc, 5);
  list.push_back(stale);
  figure->m_No = 4;
  figure->m_RoundType = CRoundTypeTable::ROUNDTYPE_CUT;
  EXPECT_TRUE(figure->SetData(&list));
  EXPECT_EQ(stale->m_No, 4);
  EXPECT_EQ(stale->m_RoundType, CRoundTypeTable::ROUNDTYPE_CUT);
  EXPECT_EQ(stale->m_Element.header.guid, figure->m_Element.header.guid);
  // Another kind under the same code is not this figure.
  list[0] = MakeKindFigure(doc, 5, 0, CArea1Object::TYPE_CIRCLE);
  EXPECT_FALSE(figure->SetData(&list));
  list.clear();
  EXPECT_FALSE(figure->SetData(&list));
}

// ---- formula and texts ----------------------------------------------------

TEST(FigureFormula, MarksJoinTheTermsWithHashAtEachBreakAndGrowToTheFormula)
{
  CPlenimetraParam doc;
  auto figure = MakeKindFigure(doc, 1);
  figure->m_bAutoCr = false;
  figure->m_Cr.SetMinSize(1);
  EXPECT_EQ(figure->GetEquation(&doc, false, 45.0), GS::UniString(u"1.00×2.00"));
  EXPECT_EQ(figure->GetEquation(&doc, true, 45.0), GS::UniString(u"1.00#×2.00"));
  figure->m_Cr[0].m_bCr = true;
  EXPECT_EQ(figure->GetEquation(&doc, false, 45.0), GS::UniString(u"1.00#×2.00"));
  // More terms than stored marks: the marks grow rather than being overrun.
  figure->m_Terms = {u"(1.00", u"+2.00)", u"×3.00", u"÷2"};
  EXPECT_EQ(figure->GetEquation(&doc, true, 45.0), GS::UniString(u"(1.00#+2.00)#×3.00#÷2"));
  EXPECT_EQ(figure->m_Cr.size(), 3u);
  EXPECT_EQ(figure->GetEquationLines(), 1);  // breaking all for display stores no marks
}

TEST(FigureFormula, AutomaticBreaksFollowTheWidth)
{
  CCrMarkArray marks;
  const std::vector<GS::UniString> terms{u"1234", u"12345", u"12345"};
  CArea1Object::SetAutoCr(nullptr, terms, marks, 10);
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_FALSE(marks[0].m_bCr);
  EXPECT_TRUE(marks[1].m_bCr);
  // Exactly at the width no break; one past it breaks.
  CArea1Object::SetAutoCr(nullptr, terms, marks, 14);
  EXPECT_FALSE(marks[1].m_bCr);
  CArea1Object::SetAutoCr(nullptr, terms, marks, 13);
  EXPECT_TRUE(marks[1].m_bCr);
}

TEST(FigureTexts, RawAreaShowsAllEightDecimalsAndTheRoundedOneStarsOtherKinds)
{
  PatternDoc pattern;
  CPlenimetraParam& doc = pattern.doc;
  auto figure = MakeKindFigure(doc, 1);
  const auto text = [&](long long raw) {
    figure->m_Raw = raw;
    return figure->GetOrgAreaStr(&doc);
  };
  EXPECT_EQ(text(1234567891), GS::UniString(u"12.34567891"));
  EXPECT_EQ(text(5), GS::UniString(u"0.00000005"));
  EXPECT_EQ(text(0), GS::UniString(u"0.00000000"));
  EXPECT_EQ(text(-5), GS::UniString(u"-0.00000005"));
  doc.m_EnvParam.m_AreaComma = true;
  EXPECT_EQ(text(123456789000000), GS::UniString(u"1,234,567.89000000"));
  doc.m_EnvParam.m_AreaComma = false;

  // The figure item of a new preset cuts to six decimals.
  figure->m_Raw = 123456789;
  EXPECT_EQ(figure->GetRoundArea(&doc), 1234567);
  EXPECT_TRUE(figure->IsDefaultRoundType(&doc));
  EXPECT_EQ(figure->GetRoundAreaStr(&doc), GS::UniString(u"1.234567"));
  figure->m_RoundType = CRoundTypeTable::ROUNDTYPE_CUT;
  EXPECT_EQ(figure->GetRoundAreaStr(&doc), GS::UniString(u"1.234567"));
  figure->m_RoundType = CRoundTypeTable::ROUNDTYPE_HALFUP;
  EXPECT_FALSE(figure->IsDefaultRoundType(&doc));
  EXPECT_EQ(figure->GetRoundAreaStr(&doc), GS::UniString(u"*1.234568"));
}

}  // namespace
