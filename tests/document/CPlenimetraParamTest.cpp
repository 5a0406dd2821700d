// The document core: Clear, equality over the stored
// calculation, code lookups, the layer in use, the highest figure code in
// element user data, and tree undo snapshots.

#include "DocTestSupport.h"
#include "host_errors.h"

#include <climits>

namespace {

TEST(CPlenimetraParamTest, ClearEmptiesTheCalculationAndKeepsSettingsAndChoicesItDoesNotOwn)
{
  PatternDoc p;
  CPlenimetraParam& doc = p.doc;
  p.AddFigure(p.AddElement(PatternDoc::kBuildingCode, u"A"), 0, 100);
  doc.SetUndo2();
  doc.m_OutputMode = 3;
  doc.m_bTuboRow = true;
  doc.m_TotalExcludeCodes.Add(1);
  doc.m_EnvPath = GS::UniString(u"x.dat");
  doc.m_EnvParam.m_TuboFactor = 0.5;
  doc.m_bTeamworkTotal = true;
  doc.m_FloorParamArray.m_bCalcPerFloor = false;

  doc.Clear();
  EXPECT_TRUE(doc.m_UndoParam2.empty());
  EXPECT_TRUE(doc.m_Area2ObjectArray.empty());
  EXPECT_TRUE(doc.m_Area4ObjectArray.empty());
  EXPECT_TRUE(doc.m_AreaTree2.m_Child.empty());
  EXPECT_TRUE(doc.m_FloorParamArray.empty());
  EXPECT_EQ(doc.m_LastArea1Code, 0);
  EXPECT_EQ(doc.m_LastAreaCode, 0);
  EXPECT_EQ(doc.m_OutputMode, 2);
  EXPECT_FALSE(doc.m_bTuboRow);
  EXPECT_TRUE(doc.m_TotalExcludeCodes.empty());
  EXPECT_EQ(doc.GetTree(), nullptr);
  // Not the document's to clear:
  EXPECT_EQ(doc.m_EnvPath, GS::UniString(u"x.dat"));
  EXPECT_EQ(doc.m_EnvParam.m_TuboFactor, 0.5);
  EXPECT_TRUE(doc.m_bTeamworkTotal);
  EXPECT_FALSE(doc.m_FloorParamArray.m_bCalcPerFloor);
  EXPECT_EQ(doc.m_EnvFileName, GS::UniString(u"メンセラ　設定ファイル.dat"));
}

TEST(CPlenimetraParamTest, EqualityComparesTheStoredCalculationButNotFloorsOrChoices)
{
  CPlenimetraParam a;
  CPlenimetraParam b;
  EXPECT_TRUE(a == b);
  b.m_FloorParamArray.push_back(MakeFloor(3));
  b.m_OutputMode = 3;
  b.m_CurItemType1 = CItemType1Table::ITEMTYPE_SQUARE;
  b.m_bTuboRow = true;
  EXPECT_TRUE(a == b);

  const std::function<void(CPlenimetraParam&)> changes[] = {
      [](CPlenimetraParam& x) { x.m_TotalExcludeCodes.Add(4); },
      [](CPlenimetraParam& x) { x.m_EnvParam.m_AreaComma = true; },
      [](CPlenimetraParam& x) { x.m_AreaTreeStore.m_Layer = 2; },
      [](CPlenimetraParam& x) { x.SetUndo2(); },
  };
  for (const auto& change : changes) {
    CPlenimetraParam changed;
    change(changed);
    EXPECT_TRUE(a != changed);
  }
}

TEST(CPlenimetraParamTest, CodesNameFoldersByValueAndElementsByNegation)
{
  PatternDoc p;
  const int element = p.AddElement(PatternDoc::kBuildingCode, u"A");
  CPlenimetraParam& doc = p.doc;
  EXPECT_EQ(doc.GetAreaObject(0), nullptr);
  ASSERT_NE(doc.GetAreaObject(element), nullptr);
  EXPECT_NE(dynamic_cast<CArea2Object*>(doc.GetAreaObject(element)), nullptr);
  EXPECT_EQ(doc.GetAreaObject(element)->m_Code, -element);
  EXPECT_NE(dynamic_cast<CArea4Object*>(doc.GetAreaObject(PatternDoc::kBuildingCode)), nullptr);
  // The element's positive code names a folder, of which there is none.
  EXPECT_EQ(doc.FindAreaObject(-element), nullptr);
  EXPECT_EQ(doc.FindAreaObject(INT_MIN), nullptr);
  EXPECT_EQ(doc.GetMaxAreaCode(), -element);
}

TEST(CPlenimetraParamTest, TheLayerInUseIsThePatternsOwnElseTheSettings)
{
  PatternDoc p;
  CPlenimetraParam& doc = p.doc;
  doc.m_EnvParam.m_Area1Layer = 5;
  EXPECT_EQ(doc.GetLayer(), 5);
  p.Node(PatternDoc::kTopCode)->m_Layer = 9;
  EXPECT_EQ(doc.GetLayer(), 9);
  EXPECT_EQ(doc.GetTree(), p.Node(PatternDoc::kTopCode));
  doc.Clear();
  EXPECT_EQ(doc.GetTree(), nullptr);
  EXPECT_EQ(doc.GetLayer(), 5);
}

// ---- highest figure code in element user data ----

TEST(MaxCodeTest, TheHighestCodeOfTheElementsRecordsIsFoundUntilAnElementCannotBeRead)
{
  HostFixture host;
  CPlenimetraParam doc;
  // An object element carrying the common figure record of the code.
  const auto figureElement = [&](int code) {
    CArea1ObjectCore record(&doc, CArea1Object::TYPE_TRIANGLE, code);
    record.m_Element.header = PlaceObject(host);
    EXPECT_EQ(record.CArea1Object::Save(), NoError);
    return record.m_Element.header.guid;
  };
  const auto codeOf = [&](std::initializer_list<API_Guid> elements) {
    GS::Array<API_Guid> guids;
    for (const API_Guid& guid : elements)
      guids.Push(guid);
    return doc.GetMaxCodeOfElements(guids);
  };
  EXPECT_EQ(codeOf({}), 0);
  EXPECT_EQ(codeOf({figureElement(7), figureElement(12), figureElement(3)}), 12);
  // An element without user data means no figure codes at all.
  EXPECT_EQ(codeOf({figureElement(7), PlaceObject(host).guid, figureElement(9)}), 0);
  // An element that cannot be read ends the search with what was found.
  API_Guid missing;
  missing.bytes[15] = 0x5a;
  EXPECT_EQ(codeOf({figureElement(7), missing, figureElement(20)}), 7);
}

// ---- tree undo ----

TEST(TreeUndoTest, TwoEditsAndTwoUndosRestoreTreeObjectsFigureListsAndObjectCounter)
{
  PatternDoc p;
  CPlenimetraParam& doc = p.doc;
  const int a = p.AddElement(PatternDoc::kBuildingCode, u"A");
  auto f1 = p.AddFigure(a, 0, 100);
  const CAreaTree tree0 = doc.m_AreaTree2;
  const CArea2ObjectArray elements0 = doc.m_Area2ObjectArray;
  const CArea4ObjectArray folders0 = doc.m_Area4ObjectArray;
  const CArea1ObjectArray floor0 = doc.m_FloorParamArray[0].m_Area1ObjectArray;
  const int lastArea0 = doc.m_LastAreaCode;

  doc.SetUndo2();
  const int b = p.AddElement(PatternDoc::kBuildingCode, u"B");
  p.AddFigure(b, 0, 200);
  doc.SetUndo2();
  p.AddFolder(PatternDoc::kBuildingCode, u"F");
  p.AddFigure(a, 1, 300);
  const int lastFigure = doc.m_LastArea1Code;
  ASSERT_EQ(doc.m_UndoParam2.size(), 2u);

  doc.DoUndo2();
  EXPECT_EQ(doc.m_UndoParam2.size(), 1u);
  EXPECT_NE(doc.m_AreaTree2.Search(b), nullptr);
  EXPECT_TRUE(doc.m_FloorParamArray[1].m_Area1ObjectArray.empty());
  doc.DoUndo2();
  EXPECT_TRUE(doc.m_UndoParam2.empty());
  EXPECT_TRUE(doc.m_AreaTree2 == tree0);
  EXPECT_TRUE(doc.m_Area2ObjectArray == elements0);
  EXPECT_TRUE(doc.m_Area4ObjectArray == folders0);
  EXPECT_EQ(doc.m_FloorParamArray[0].m_Area1ObjectArray, floor0);
  EXPECT_EQ(doc.m_LastAreaCode, lastArea0);
  // Figure codes handed out after the snapshots stay used.
  EXPECT_EQ(doc.m_LastArea1Code, lastFigure);
  // Undo on an empty stack changes nothing.
  const CPlenimetraParam before = doc;
  doc.DoUndo2();
  EXPECT_TRUE(doc == before);
  EXPECT_EQ(doc.m_FloorParamArray[0].m_Area1ObjectArray, floor0);
}

TEST(TreeUndoTest, ASnapshotSharesFigureRecordsSoTheirOwnChangesStayAndNoneLeaks)
{
  PatternDoc p;
  auto figure = p.AddFigure(p.AddElement(PatternDoc::kBuildingCode, u"A"), 0, 100);
  p.doc.SetUndo2();
  figure->m_RoundType = CRoundTypeTable::ROUNDTYPE_HALFUP;
  p.doc.m_FloorParamArray[0].m_Area1ObjectArray.clear();
  p.doc.DoUndo2();
  ASSERT_EQ(p.doc.m_FloorParamArray[0].m_Area1ObjectArray.size(), 1u);
  EXPECT_EQ(p.doc.m_FloorParamArray[0].m_Area1ObjectArray.front(), figure);
  EXPECT_EQ(figure->m_RoundType, CRoundTypeTable::ROUNDTYPE_HALFUP);

  // Removed everywhere but in a snapshot, a figure lives until the stack is cleared.
  std::weak_ptr<CArea1Object> watch = figure;
  figure.reset();
  p.doc.SetUndo2();
  p.doc.m_FloorParamArray[0].m_Area1ObjectArray.clear();
  for (CArea2Object& element : p.doc.m_Area2ObjectArray)
    element.m_FloorArray.clear();
  EXPECT_FALSE(watch.expired());
  p.doc.ClearUndo2();
  EXPECT_TRUE(watch.expired());
}

TEST(TreeUndoTest, SnapshotsCompareTreesFigurePointersObjectsAndCounters)
{
  PatternDoc p;
  p.AddFigure(p.AddElement(PatternDoc::kBuildingCode, u"A"), 0, 100);
  const CUndoParam2 a(p.doc.m_AreaTree2, p.doc.m_FloorParamArray, p.doc.m_Area2ObjectArray, p.doc.m_Area4ObjectArray,
                      p.doc.m_LastArea1Code, p.doc.m_LastAreaCode);
  CUndoParam2 b = a;
  EXPECT_TRUE(a == b);
  // Another record of equal content is not the same figure.
  b.m_Area1Array[0][0] = MakeFigure(p.doc, 100);
  EXPECT_TRUE(a != b);
  CUndoParam2 c = a;
  c.clear();
  EXPECT_TRUE(c.m_Area1Array.empty());
  EXPECT_EQ(c.m_LastAreaCode, a.m_LastAreaCode);
  EXPECT_TRUE(a != c);
}

}  // namespace
