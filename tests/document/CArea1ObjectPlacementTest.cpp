// Placing figure elements and the figures' area table on the stand-in host:
// the copy to another floor with its user data, the table's cells, paging
// and total, the layers written being opened and put back, the mark read
// from a placed element, and the colour of the element listing a figure.

#include "CGSUtil.h"
#include "DocTestSupport.h"
#include "GetLibPartInd.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_libpart.h"

#include <algorithm>

namespace {

bool IsLocked(short layer)
{
  bool locked = false;
  CGSUtil::GetLayerLockStatus(layer, &locked);
  return locked;
}

bool IsHidden(short layer)
{
  bool visible = false;
  CGSUtil::GetLayerVisibleStatus(layer, &visible);
  return !visible;
}

class PlacementTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    host.AddStory(1, 3.0, u"2F");
    figureLayer = static_cast<short>(host.AddLayer(u"図形"));
    tableLayer = static_cast<short>(host.AddLayer(u"求積表"));
    pattern.doc.m_EnvParam.m_Area1Layer = figureLayer;
    pattern.doc.m_EnvParam.m_ListLayer = tableLayer;
  }
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  // A placed triangle element on the figure layer and floor 0, parameters as given.
  API_Element PlaceTriangle(const std::vector<std::pair<const char*, const char16_t*>>& texts = {})
  {
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = figureLayer;
    EXPECT_EQ(GetLibPartInd(reinterpret_cast<const unsigned short*>(u"TalvoSoftwareAreaTriangle"),
                            &element.object.libInd),
              NoError);
    double a = 0;
    double b = 0;
    Int32 count = 0;
    API_ElementMemo memo;
    EXPECT_EQ(ACAPI_LibPart_GetParams(element.object.libInd, &a, &b, &count, &memo.params), NoError);
    for (const auto& [name, text] : texts) {
      for (Int32 i = 0; i < count; ++i) {
        API_AddParType& par = (*memo.params)[i];
        if (std::string(par.name) != name)
          continue;
        const std::u16string value(text);
        std::fill(std::begin(par.uStrValue), std::end(par.uStrValue), u'\0');
        std::copy(value.begin(), value.end(), par.uStrValue);
      }
    }
    EXPECT_EQ(host.AddElement(element, &memo), NoError);
    ACAPI_DisposeAddParHdl(&memo.params);
    return element;
  }

  std::shared_ptr<TestKindFigure> Figure(int code, short layer, int sortIndex, long long raw = 0)
  {
    auto figure = MakeKindFigure(pattern.doc, code, raw);
    figure->m_Element.header.layer = layer;
    figure->m_SortIndex = sortIndex;
    pattern.doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(figure);
    return figure;
  }
  // A figure whose triangle element is placed on the figure layer.
  std::shared_ptr<TestKindFigure> PlacedFigure(int code, int sortIndex = 0,
                                               const std::vector<std::pair<const char*, const char16_t*>>& texts = {})
  {
    auto figure = Figure(code, figureLayer, sortIndex);
    figure->m_Element = PlaceTriangle(texts);
    return figure;
  }

  HostFixture host;
  PatternDoc pattern;
  short figureLayer = 0;
  short tableLayer = 0;
};

TEST_F(PlacementTest, CopyToAnotherFloorCreatesTheElementAndItsRecord)
{
  auto source = PlacedFigure(1, 4);
  source->m_Cr.SetMinSize(2);
  source->m_Cr[1].m_bCr = true;
  source->m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
  host.SetLayerFlags(figureLayer, APILay_Locked | APILay_Hidden);
  auto dest = MakeKindFigure(pattern.doc, 2);

  ASSERT_EQ(source->CopyObject(&pattern.doc, 1, dest), NoError);
  const CArea1ObjectArray& upper = pattern.doc.m_FloorParamArray[1].m_Area1ObjectArray;
  ASSERT_EQ(upper.size(), 1u);
  EXPECT_EQ(upper[0], dest);
  EXPECT_EQ(dest->m_SortIndex, 4);
  EXPECT_EQ(dest->m_RoundType, CRoundTypeTable::ROUNDTYPE_UP);
  EXPECT_EQ(dest->m_Cr, source->m_Cr);
  const pln::host::StoredElement* placed = host.Element(dest->m_Element.header.guid);
  ASSERT_NE(placed, nullptr);
  EXPECT_NE(dest->m_Element.header.guid, source->m_Element.header.guid);
  EXPECT_EQ(placed->element.header.floorInd, 1);
  EXPECT_EQ(placed->element.object.libInd, source->m_Element.object.libInd);
  EXPECT_TRUE(placed->observed);
  // The copy's record went into its element: load it back.
  CArea1ObjectCore core;
  ASSERT_EQ(core.Load(&dest->m_Element.header), NoError);
  EXPECT_EQ(core.m_Code, 2);
  // The layer written is put back as it was found.
  EXPECT_TRUE(IsLocked(figureLayer) && IsHidden(figureLayer));
}

TEST_F(PlacementTest, FailedCopyReportsTheHostErrorAndRestoresTheLayer)
{
  auto source = PlacedFigure(1);
  host.SetLayerFlags(figureLayer, APILay_Locked);
  EXPECT_EQ(source->CopyObject(&pattern.doc, 7, MakeKindFigure(pattern.doc, 2)), APIERR_BADINDEX);
  host.FailOnce("ACAPI_Element_Create", APIERR_MEMFULL);
  EXPECT_EQ(source->CopyObject(&pattern.doc, 1, MakeKindFigure(pattern.doc, 3)), APIERR_MEMFULL);
  EXPECT_TRUE(IsLocked(figureLayer));
  // Fetching the parameters of an element that is gone fails before anything is created.
  source->m_Element.header.guid = ToAPIGuid(GS::Guid().Generate());
  EXPECT_NE(source->CopyObject(&pattern.doc, 1, MakeKindFigure(pattern.doc, 4)), NoError);
}

TEST_F(PlacementTest, CreateElementPlacesACopyOnTheGivenLayerAndTheCurrentStory)
{
  auto figure = PlacedFigure(1);
  const short output = static_cast<short>(host.AddLayer(u"出力", APILay_Locked));
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  API_Element placed;
  ASSERT_EQ(figure->CreateElement(&pattern.doc, &placed, output), NoError);
  const pln::host::StoredElement* stored = host.Element(placed.header.guid);
  ASSERT_NE(stored, nullptr);
  EXPECT_NE(placed.header.guid, figure->m_Element.header.guid);
  EXPECT_EQ(stored->element.header.layer, output);
  EXPECT_EQ(stored->element.header.floorInd, 1);
  EXPECT_TRUE(stored->observed);
  EXPECT_TRUE(IsLocked(output));
}

TEST_F(PlacementTest, TableListsTheFiguresOfTheLayerInSortOrderAndPages)
{
  auto second = Figure(1, figureLayer, 1, 100000000);
  auto first = Figure(2, figureLayer, 0, 123456789);
  Figure(3, static_cast<short>(host.AddLayer(u"他")), 2, 100000000);  // another layer: totalled, not listed
  first->m_Cr.SetMinSize(1);
  first->m_bAutoCr = false;
  first->m_Cr[0].m_bCr = true;
  // Both layers are locked and the table's hidden: the table still goes on its own layer.
  host.SetLayerFlags(figureLayer, APILay_Locked);
  host.SetLayerFlags(tableLayer, APILay_Locked | APILay_Hidden);

  CArea1ObjectArray& list = pattern.doc.m_FloorParamArray[0].m_Area1ObjectArray;
  int start = 0;
  int lines = 0;
  ASSERT_EQ(list.CreateObject(&pattern.doc, 0, CKelCoord2D(1.0, 2.0), &start, 1, &lines), NoError);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(lines, 2);
  EXPECT_TRUE(IsLocked(tableLayer) && IsHidden(tableLayer));
  EXPECT_TRUE(IsLocked(figureLayer));

  const std::vector<API_Guid> tables = host.ElementsOfType(API_ObjectID);
  ASSERT_EQ(tables.size(), 1u);
  const pln::host::StoredElement* table = host.Element(tables[0]);
  EXPECT_EQ(table->element.header.layer, tableLayer);
  EXPECT_EQ(table->element.object.pos.x, 1.0);
  ASSERT_TRUE(table->userData.has_value());
  EXPECT_EQ(table->userData->dataVersion, 1);

  API_ElementMemo memo;
  ASSERT_EQ(ACAPI_Element_GetMemo(tables[0], &memo), NoError);
  const API_AddParType* cells = pln::host::FindAddPar(memo.params, "matrix_area");
  ASSERT_NE(cells, nullptr);
  const char16_t* row[] = {u"○", u"2", u"1.00#×2.00", u"1.234567"};  // mark, number, formula, area
  for (Int32 column = 1; column <= 4; ++column)
    EXPECT_EQ(pln::host::AddParArrayText(*cells, 1, column), GS::UniString(row[column - 1])) << column;
  EXPECT_EQ(pln::host::FindAddPar(memo.params, "matrix_rowcnt")->realValue, 1.0);
  EXPECT_EQ(pln::host::AddParText(*pln::host::FindAddPar(memo.params, "total_val_text")), GS::UniString(u"3.23    "));
  EXPECT_EQ(pln::host::AddParText(*pln::host::FindAddPar(memo.params, "type")), GS::UniString(u"求積表"));
  EXPECT_EQ(pln::host::FindAddPar(memo.params, "total_show")->realValue, 0.0);
  EXPECT_EQ(pln::host::AddParArrayText(*pln::host::FindAddPar(memo.params, "matrix_heder_text"), 2, 1),
            GS::UniString(u"計算式"));
  ACAPI_DisposeElemMemoHdls(&memo);

  ASSERT_EQ(list.CreateObject(&pattern.doc, 0, CKelCoord2D(), &start, 5, &lines), NoError);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(lines, 3);
  ASSERT_EQ(list.CreateObject(&pattern.doc, 0, CKelCoord2D(), &start, 5, &lines), NoError);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID).size(), 3u);
  // Without its library part no table is placed.
  host.Reset();
  EXPECT_EQ(list.CreateObject(&pattern.doc, 0, CKelCoord2D(), &start, 5, &lines), APIERR_BADNAME);
}

TEST_F(PlacementTest, MarkAndNumberingComeFromThePlacedElement)
{
  auto figure = PlacedFigure(3, 0, {{"area_symbol_fig", u"◇"}, {"area_symbol_str", u"C"}});
  ASSERT_EQ(figure->LoadMark(&pattern.doc, figure->m_Element.header), NoError);
  EXPECT_EQ(figure->m_ItemType1, CItemType1Table::ITEMTYPE_DIAMOND);
  EXPECT_EQ(figure->m_ItemType2, CItemType2Table::ITEMTYPE_UPPER);
  // Texts that name no mark and no numbering change nothing.
  figure->m_Element = PlaceTriangle({{"area_symbol_fig", u"★"}, {"area_symbol_str", u"?"}});
  ASSERT_EQ(figure->LoadMark(&pattern.doc, figure->m_Element.header), NoError);
  EXPECT_EQ(figure->m_ItemType1, CItemType1Table::ITEMTYPE_DIAMOND);
  EXPECT_EQ(figure->m_ItemType2, CItemType2Table::ITEMTYPE_UPPER);
  API_Elem_Head gone;
  gone.guid = ToAPIGuid(GS::Guid().Generate());
  EXPECT_NE(figure->LoadMark(&pattern.doc, gone), NoError);
}

TEST(FigureColor, OnlyTheOneElementListingTheFigureGivesItsPen)
{
  PatternDoc pattern;
  const int a = pattern.AddElement(PatternDoc::kBuildingCode, u"A");
  const int b = pattern.AddElement(PatternDoc::kBuildingCode, u"B");
  pattern.Object(a)->m_ColorPen = 7;
  pattern.Object(b)->m_ColorPen = 9;
  auto figure = pattern.AddFigure(a, 0, 100000000);
  EXPECT_EQ(figure->GetColor(&pattern.doc), 7);
  auto* other = pattern.Element(b);
  other->m_FloorArray.SearchFloor(0)->m_List.emplace_back(figure, COperatorTable::OPERATOR_PLUS);
  EXPECT_EQ(figure->GetColor(&pattern.doc), 0);
  other->m_FloorArray.SearchFloor(0)->m_List.clear();
  figure->m_Element.header.floorInd = 1;  // listed on floor 0 only
  EXPECT_EQ(figure->GetColor(&pattern.doc), 0);
  figure->m_Element.header.floorInd = 0;
  pattern.doc.m_CurTreeCode = 0;
  EXPECT_EQ(figure->GetColor(&pattern.doc), 0);
}

}  // namespace
