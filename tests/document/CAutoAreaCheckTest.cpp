// Whether an automatic area still matches its source element: the 0.02 m2
// band at its exact double boundary, figures that cannot count, an element
// whose area cannot be read, the calculation elements that list the area,
// and the document's check under its progress window.

#include "CAutoAreaParam.h"
#include "DocTestSupport.h"

namespace {

class AutoAreaCheckTest : public DocTest {
protected:
  void SetUp() override { doc.m_FloorParamArray.push_back(MakeFloor(0)); }

  // A 5 x 5 m zone, with a 1 x 1 m hole when asked.
  API_Elem_Head Zone(bool hole = false)
  {
    std::vector<std::vector<API_Coord>> contours{{{0, 0}, {5, 0}, {5, 5}, {0, 5}}};
    if (hole)
      contours.push_back({{1, 1}, {1, 2}, {2, 2}, {2, 1}});
    PolygonMemo polygon(contours);
    API_Element zone;
    zone.header.typeID = API_ZoneID;
    zone.header.layer = 1;
    EXPECT_EQ(host.AddPolygonElement(zone, polygon), NoError);
    return zone.header;
  }

  std::shared_ptr<TestKindFigure> Figure(const API_Elem_Head& source, long long raw,
                                         COperatorTable::OPERATOR op = COperatorTable::OPERATOR_PLUS,
                                         CArea1Object::TYPE type = CArea1Object::TYPE_RECTSLANT)
  {
    auto figure = MakeKindFigure(doc, ++doc.m_LastArea1Code, raw, type);
    figure->m_AutoArea.m_ElemGuid = ToGSGuid(source.guid);
    figure->m_AutoArea.m_Operator = op;
    doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(figure);
    return figure;
  }

  bool Changed(CAutoAreaParam& areaParam, int* result = nullptr)
  {
    const int err = areaParam.CheckAutoArea(&doc);
    if (result != nullptr)
      *result = err;
    else
      EXPECT_EQ(err, NoError);
    return areaParam.m_bChanged;
  }
};

TEST_F(AutoAreaCheckTest, FiguresWithin002SquareMetresOfTheZoneStillMatch)
{
  struct Row {
    long long raw;
    bool changed;
  };
  // 25.02 - 25.0 is 0.019999999999999574 as doubles: inside the band.
  for (const Row& row : {Row{2502000000, false}, Row{2502000100, true}, Row{2501999900, false},
                         Row{2497999900, true}, Row{2500000000, false}}) {
    doc.m_FloorParamArray[0].m_Area1ObjectArray.clear();
    const API_Elem_Head zone = Zone();
    Figure(zone, row.raw);
    CAutoAreaParam areaParam(&zone);
    areaParam.m_bChanged = !row.changed;  // the check sets or clears it
    EXPECT_EQ(Changed(areaParam), row.changed) << row.raw;
  }
}

TEST_F(AutoAreaCheckTest, FiguresThatCannotCountMarkTheRecordChanged)
{
  const API_Elem_Head zone = Zone(true);
  // Cut without the hole: 25 m2 of figures against 24 m2 of zone.
  Figure(zone, 2500000000);
  CAutoAreaParam areaParam(&zone);
  EXPECT_TRUE(Changed(areaParam));
  // With the hole subtracted it matches.
  auto hole = Figure(zone, 100000000, COperatorTable::OPERATOR_MINUS);
  EXPECT_FALSE(Changed(areaParam));
  // An operator that is neither added nor subtracted, as stored data may
  // hold, is no match (it used to be skipped or to stop the program).
  hole->m_AutoArea.m_Operator = static_cast<COperatorTable::OPERATOR>(7);
  EXPECT_TRUE(Changed(areaParam));
  hole->m_AutoArea.m_Operator = COperatorTable::OPERATOR_MINUS;
  // A figure of a kind the cut never makes.
  auto circle = Figure(zone, 0, COperatorTable::OPERATOR_PLUS, CArea1Object::TYPE_CIRCLE);
  EXPECT_TRUE(Changed(areaParam));
  doc.m_FloorParamArray[0].m_Area1ObjectArray.pop_back();
  // A deleted figure: what remains is 1 m2 short.
  doc.m_FloorParamArray[0].m_Area1ObjectArray.erase(doc.m_FloorParamArray[0].m_Area1ObjectArray.begin() + 1);
  EXPECT_TRUE(Changed(areaParam));
}

TEST_F(AutoAreaCheckTest, AnElementAreaThatCannotBeReadCountsAsZero)
{
  const API_Elem_Head zone = Zone();
  CAutoAreaParam areaParam(&zone);
  int result = 0;
  host.FailOnce("ACAPI_Element_GetQuantities", APIERR_GENERAL);
  EXPECT_FALSE(Changed(areaParam, &result));  // no figures, 0 against 0
  EXPECT_EQ(result, APIERR_GENERAL);
  Figure(zone, 2500000000);
  host.FailOnce("ACAPI_Element_GetQuantities", APIERR_GENERAL);
  EXPECT_TRUE(Changed(areaParam, &result));
  EXPECT_EQ(result, APIERR_GENERAL);
}

TEST_F(AutoAreaCheckTest, ACalculationElementMustListExactlyTheAreasFigures)
{
  const API_Elem_Head zone = Zone();
  auto a = Figure(zone, 1500000000);
  auto b = Figure(zone, 1000000000);
  doc.m_Area2ObjectArray.emplace_back(&doc, CAreaNameArray(u"居室"), ++doc.m_LastAreaCode,
                                      CArea2ListTypeTable::LISTTYPE_LIST, CArea2Object::SHOWTOTAL_NOMARK,
                                      CItemType1Table::ITEMTYPE_DIAMOND, CItemType2Table::ITEMTYPE_UPPER, 0, 0);
  CArea2ObjectFloor& listing = *doc.m_Area2ObjectArray.back().m_FloorArray.SearchFloor(0);
  listing.m_AutoAreaGuidArray.Add(ToGSGuid(zone.guid));
  listing.m_List.push_back(CArea2List(a, COperatorTable::OPERATOR_PLUS));
  CAutoAreaParam areaParam(&zone);
  EXPECT_TRUE(Changed(areaParam));  // b is missing from the list
  listing.m_List.push_back(CArea2List(b, COperatorTable::OPERATOR_PLUS));
  EXPECT_FALSE(Changed(areaParam));
  // Listed by an element of another mode, the figures are not compared.
  listing.m_List.pop_back();
  listing.m_Mode = CArea2ObjectFloor::MODE_BOTH;
  EXPECT_FALSE(Changed(areaParam));
}

TEST_F(AutoAreaCheckTest, TheDocumentCheckRunsOverEveryRecordAndACancelKeepsTheMarks)
{
  for (int k = 0; k < 3; ++k) {
    const API_Elem_Head zone = Zone();
    Figure(zone, 100000000);  // 1 m2 for a 25 m2 zone: changed
    doc.m_FloorParamArray[0].m_AutoAreaParamArray.Add(CAutoAreaParam(&zone));
  }
  CAutoAreaParamArray& records = doc.m_FloorParamArray[0].m_AutoAreaParamArray;
  EXPECT_EQ(doc.CheckAutoArea(), NoError);
  EXPECT_EQ(host.Progress().maximum, 3);
  EXPECT_FALSE(host.Progress().open);
  for (const CAutoAreaParam& r : records)
    EXPECT_TRUE(r.m_bChanged);

  for (CAutoAreaParam& r : records)
    r.m_bChanged = false;
  host.QueueProgressCancel(1);
  EXPECT_EQ(doc.CheckAutoArea(), APIERR_CANCEL);
  EXPECT_FALSE(host.Progress().open);
  int marked = 0;
  for (const CAutoAreaParam& r : records)
    marked += r.m_bChanged ? 1 : 0;
  EXPECT_GE(marked, 1);
  EXPECT_LT(marked, 3);
}

}  // namespace
