#pragma once
// Documents built for round trips through the stored forms (project record,
// document dump) and the checks that compare them group by group.

#include "DocTestSupport.h"
#include "HandmadeSettings.h"
#include "GetAppDataPath.h"
#include "GetLibPartInd.h"
#include "KelFileFunctions.h"
#include "host_libpart.h"

#include <cstdio>
#include <random>

inline constexpr const char* kRecord = CPlenimetraParam::kRecordName;

inline void StoreRecord(int version, const std::vector<char>& bytes) { StoreModuleData(kRecord, version, bytes); }

inline int PartIndex(const char16_t* name)
{
  int index = 0;
  EXPECT_EQ(GetLibPartInd(reinterpret_cast<const unsigned short*>(name), &index), NoError);
  return index;
}

// A placed figure part of the kind on the story, its record in user data.
inline std::shared_ptr<TestKindFigure> PlaceFigure(HostFixture& host, CPlenimetraParam& doc, short story, int code,
                                            CArea1Object::TYPE type = CArea1Object::TYPE_TRIANGLE)
{
  static const std::map<CArea1Object::TYPE, const char16_t*> kParts{
      {CArea1Object::TYPE_TRIANGLE, u"TalvoSoftwareAreaTriangle"},
      {CArea1Object::TYPE_RECTSLANT, u"TalvoSoftwareAreaRect"},
      {CArea1Object::TYPE_CIRCLE, u"TalvoSoftwareAreaCircle"}};
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.header.floorInd = story;
  element.object.libInd = PartIndex(kParts.at(type));
  element.object.xRatio = 1.0;
  element.object.yRatio = 1.0;
  EXPECT_EQ(host.AddElement(element), NoError);
  auto figure = MakeKindFigure(doc, code, 0, type);
  figure->m_Element = element;
  EXPECT_EQ(figure->Save(), NoError);
  return figure;
}

// What a floor's figure records keep, for comparing loaded floors.
using FigureKey = std::tuple<int, int, int, int, int, int, bool, std::string>;

inline std::vector<FigureKey> Keys(const CFloorParam& floor)
{
  std::vector<FigureKey> keys;
  for (const auto& f : floor.m_Area1ObjectArray)
    keys.emplace_back(f->m_Code, f->m_SortIndex, f->m_No, f->m_ItemType1, f->m_ItemType2, f->m_RoundType,
                      f->m_bAutoCr, APIGuidToString(f->m_Element.header.guid).ToStdString(CC_UTF8));
  return keys;
}

inline void ExpectSameFloors(const CFloorParamArray& a, const CFloorParamArray& b)
{
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(a.m_bCalcPerFloor, b.m_bCalcPerFloor);
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].m_FloorNo, b[i].m_FloorNo);
    EXPECT_EQ(a[i].m_bCalc, b[i].m_bCalc);
    EXPECT_EQ(a[i].m_CalcExcludeCodes, b[i].m_CalcExcludeCodes);
    EXPECT_EQ(a[i].m_OutputExcludeCodes, b[i].m_OutputExcludeCodes);
    EXPECT_EQ(a[i].m_HotLinkParamArray, b[i].m_HotLinkParamArray);
    EXPECT_EQ(Keys(a[i]), Keys(b[i])) << "floor " << i;
  }
}

// The document's equality, group by group, so a failure names the part.
inline void ExpectEqualDocuments(const CPlenimetraParam& a, const CPlenimetraParam& b)
{
  EXPECT_EQ(a.m_LastArea1Code, b.m_LastArea1Code);
  EXPECT_EQ(a.m_LastAreaCode, b.m_LastAreaCode);
  EXPECT_EQ(a.m_CurTreeCode, b.m_CurTreeCode);
  EXPECT_TRUE(a.m_EnvPath == b.m_EnvPath);
  EXPECT_TRUE(a.m_AutoCutType == b.m_AutoCutType);
  EXPECT_TRUE(a.m_AreaTree2 == b.m_AreaTree2);
  EXPECT_TRUE(a.m_AreaTreeStore == b.m_AreaTreeStore);
  EXPECT_TRUE(a.m_Area2ObjectArray == b.m_Area2ObjectArray);
  for (auto i = a.m_Area2ObjectArray.begin(), j = b.m_Area2ObjectArray.begin();
       i != a.m_Area2ObjectArray.end() && j != b.m_Area2ObjectArray.end(); ++i, ++j) {
    EXPECT_TRUE(static_cast<const CAreaObject&>(*i) == static_cast<const CAreaObject&>(*j)) << i->m_Code << " sort " << i->m_SortIndex << "/" << j->m_SortIndex << " no " << i->m_No << "/" << j->m_No << " list " << i->m_ListType << "/" << j->m_ListType << " rt " << i->m_RoundType << "/" << j->m_RoundType;
    EXPECT_TRUE(i->m_FloorArray == j->m_FloorArray) << i->m_Code;
    EXPECT_EQ(i->m_FloorArray.size(), j->m_FloorArray.size()) << i->m_Code;
  }
  EXPECT_TRUE(a.m_Area4ObjectArray == b.m_Area4ObjectArray);
  EXPECT_TRUE(a.m_EnvParam == b.m_EnvParam);
  EXPECT_TRUE(a.m_EnvParam.m_PatternArray == b.m_EnvParam.m_PatternArray);
  EXPECT_TRUE(a.m_EnvParam2 == b.m_EnvParam2);
  EXPECT_TRUE(a == b);
}

inline void ExpectSameOutputChoices(const CPlenimetraParam& a, const CPlenimetraParam& b)
{
  EXPECT_EQ(a.m_OutputLayout, b.m_OutputLayout);
  EXPECT_EQ(a.m_OutputMode, b.m_OutputMode);
  EXPECT_EQ(a.m_OutputFileType, b.m_OutputFileType);
  EXPECT_EQ(a.m_bOutputCheck, b.m_bOutputCheck);
  EXPECT_EQ(a.m_bTuboRow, b.m_bTuboRow);
  EXPECT_EQ(a.m_TotalExcludeCodes, b.m_TotalExcludeCodes);
}

// A seeded random document over the project's three stories: patterns with
// elements and sub-folders, placed figures listed by the elements,
// exclusions, hot-link records, settings with patterns of their own and
// output choices. Everything is numbered as the loader numbers it.
class RandomDocument {
public:
  RandomDocument(HostFixture& host, CPlenimetraParam& doc, unsigned seed, short layer)
      : m_Host(host), m_Doc(doc), m_Rng(seed)
  {
    for (short story = 0; story < 3; ++story)
      doc.m_FloorParamArray.push_back(MakeFloor(story));
    const int patterns = Pick(1, 3);
    for (int p = 0; p < patterns; ++p)
      AddPattern(p);
    doc.m_CurTreeCode = doc.m_AreaTree2.m_Child[std::size_t(Pick(0, patterns - 1))].m_AreaCode;
    AddFigures();
    AddFloorChoices();
    AddSettings(layer);
    AddOutputChoices();
    for (CAreaTree& pattern : doc.m_AreaTree2.m_Child)
      pattern.SetItemNo(&doc);
    doc.m_AreaTreeStore = doc.m_AreaTree2;
  }

private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_Rng); }

  int Insert(const char16_t* name, int parent, int kind)
  {
    const int code = ++m_Doc.m_LastAreaCode;
    // Kind first: a call's arguments come in no fixed order.
    const auto rounding = CRoundTypeTable::ROUNDTYPE(Pick(1, 3));
    const CRoundTypeItem item(rounding, Pick(0, 4));
    EXPECT_TRUE(m_Doc.m_AreaTree2.Insert(&m_Doc, GS::UniString(name), code, parent, kind, item, item));
    return kind == CAreaTree::KIND_FOLDER ? code : -code;
  }

  void AddPattern(int index)
  {
    const int top = Insert(u"パターン", 0, CAreaTree::KIND_FOLDER);
    m_Doc.m_AreaTree2.Search(top)->m_RoundTypeId = 0;
    const int building = Insert(u"建物", top, CAreaTree::KIND_FOLDER);
    const int sub = Insert(u"小計", building, CAreaTree::KIND_FOLDER);
    for (int i = 0, n = Pick(1, 3); i < n; ++i)
      m_Elements.push_back(Insert(u"要素", i % 2 == 0 ? building : sub, CAreaTree::KIND_ELEMENT_FORMULA));
    if (index == 0)
      m_FirstPattern = top;
  }

  void AddFigures()
  {
    for (CFloorParam& floor : m_Doc.m_FloorParamArray) {
      for (int i = 0, n = Pick(0, 4); i < n; ++i) {
        auto figure = PlaceFigure(m_Host, m_Doc, floor.m_FloorNo, ++m_Doc.m_LastArea1Code);
        figure->m_SortIndex = i;
        figure->m_No = Pick(0, 20);
        figure->m_RoundType = CRoundTypeTable::ROUNDTYPE(Pick(1, 4));
        EXPECT_EQ(figure->Save(), NoError);
        floor.m_Area1ObjectArray.push_back(figure);
        const int element = m_Elements[std::size_t(Pick(0, int(m_Elements.size()) - 1))];
        auto* listing = dynamic_cast<CArea2Object*>(m_Doc.GetAreaObject(element));
        CArea2ObjectFloor* record = listing->m_FloorArray.SearchFloor(floor.m_FloorNo);
        record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
        record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR(Pick(1, 2))));
      }
    }
  }

  void AddFloorChoices()
  {
    m_Doc.m_FloorParamArray.m_bCalcPerFloor = Pick(0, 1) == 1;
    for (CFloorParam& floor : m_Doc.m_FloorParamArray) {
      floor.m_bCalc = Pick(0, 1) == 1;
      if (Pick(0, 1) == 1)
        floor.m_CalcExcludeCodes.Add(m_FirstPattern);
      if (Pick(0, 1) == 1)
        floor.m_OutputExcludeCodes.Add(m_FirstPattern);
      if (Pick(0, 1) == 1)
        AddHotLink(floor);
    }
  }

  void AddHotLink(CFloorParam& floor)
  {
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = 1;
    element.header.floorInd = floor.m_FloorNo;
    element.object.libInd = 1;
    element.object.xRatio = 1.0;
    element.object.yRatio = 1.0;
    EXPECT_EQ(m_Host.AddElement(element), NoError);
    API_Guid node{};
    node.bytes[0] = 7;
    EXPECT_EQ(m_Host.SetHotlinkNode(element.header.guid, node), NoError);
    API_Element read{};
    read.header.guid = element.header.guid;
    EXPECT_EQ(ACAPI_Element_Get(&read), NoError);
    CAutoAreaParam record(&read.header);
    record.m_ItemType1 = CItemType1Table::ITEMTYPE(Pick(1, 5));
    record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE(Pick(1, 4));
    floor.m_HotLinkParamArray.push_back(record);
  }

  void AddSettings(short layer)
  {
    for (CEnvParam* env : {&m_Doc.m_EnvParam, &m_Doc.m_EnvParam2}) {
      env->m_Area1Layer = layer;
      env->m_ListLayer = layer;
      env->m_TuboFactor = 0.25 + Pick(0, 100) / 1000.0;
      env->m_SnapType = short(Pick(0, 3));
      env->m_AttributeCommonParamArray.Search(CItemType1Table::ITEMTYPE(Pick(1, 4)), CItemType2Table::ITEMTYPE(1))
          ->m_SymbolPen = short(Pick(1, 50));
      env->m_RoundTypeParamArray.AddNew(GS::UniString(u"追加"));
      env->m_ListAttr4.m_RowLimit = Pick(10, 90);
    }
    for (int i = 0, n = Pick(1, 3); i < n; ++i) {
      PatternDoc pattern;
      // The settings form knows elements only as list-kind ones, and makes
      // the objects in the tree's depth-first order.
      auto element = [&](int parent) {
        pattern.Element(pattern.AddElement(parent, u"設定の要素"))->m_ListType =
            CArea2ListTypeTable::LISTTYPE(CAreaTree::KIND_ELEMENT_LIST);
      };
      element(PatternDoc::kBuildingCode);
      element(pattern.AddFolder(PatternDoc::kBuildingCode, u"設定の小計"));
      pattern.doc.m_CurTreeCode = 0;  // a settings pattern keeps its tree and objects only
      pattern.doc.m_FloorParamArray.clear();
      m_Doc.m_EnvParam.m_PatternArray.push_back(pattern.doc);
    }
    m_Doc.m_EnvPath = GS::UniString(u"c:\\設定.dat");
  }

  void AddOutputChoices()
  {
    m_Doc.m_OutputLayout = Pick(1, 3);
    m_Doc.m_OutputMode = Pick(1, 3);
    m_Doc.m_OutputFileType = Pick(0, 1);
    m_Doc.m_bOutputCheck = Pick(0, 1) == 1;
    m_Doc.m_bTuboRow = Pick(0, 1) == 1;
    m_Doc.m_TotalExcludeCodes.Add(m_FirstPattern);
  }

  HostFixture& m_Host;
  CPlenimetraParam& m_Doc;
  std::mt19937 m_Rng;
  std::vector<int> m_Elements;
  int m_FirstPattern = 0;
};

class RecordTest : public DocTest {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    host.AddStory(1, 3.0, GS::UniString(u"2F"));
    host.AddStory(2, 6.0, GS::UniString(u"3F"));
    layer = short(host.AddLayer(GS::UniString(u"求積")));
    RegisterTestKinds(doc);
    RemoveSettingsFiles();
  }
  void TearDown() override
  {
    RemoveSettingsFiles();
    DocTest::TearDown();
  }
  static void RemoveSettingsFiles()
  {
    CPlenimetraParam fresh;
    const GS::UniString own = GS::UniString(GetExecFolder().c_str(), CC_UTF8) + fresh.m_EnvFileName;
    const GS::UniString user = GS::UniString(GetAppDataPath().c_str(), CC_Default) + fresh.m_EnvFileName;
    for (const GS::UniString& path : {own, user})
      std::filesystem::remove(pln::host::ToFsPath(IO::Location(path)));
  }
  // A new document loaded from the project.
  std::unique_ptr<CPlenimetraParam> Load()
  {
    auto loaded = std::make_unique<CPlenimetraParam>();
    RegisterTestKinds(*loaded);
    result = loaded->LoadData2(false);
    return loaded;
  }

  short layer = 0;
  int result = 0;
};


