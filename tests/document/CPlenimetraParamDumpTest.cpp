// The document dump: random documents carried through a dump into a fresh
// project, the byte layout of its last sections, zones recreated with their
// holes and arcs, and dumps that must be refused without changing anything.

#include "DocumentRoundTrip.h"

#include "CArchive.h"
#include "CDocumentDump.h"
#include "host_attributes.h"

namespace {

// What a floor's figure records keep through a dump (the placed parts are
// new in the importing project).
std::vector<FigureKey> KeysWithoutElements(const CFloorParam& floor)
{
  std::vector<FigureKey> keys = Keys(floor);
  for (FigureKey& key : keys)
    std::get<7>(key).clear();
  return keys;
}

// The document's parts a dump carries.
void ExpectSameCarried(const CPlenimetraParam& a, const CPlenimetraParam& b)
{
  EXPECT_EQ(a.m_LastArea1Code, b.m_LastArea1Code);
  EXPECT_EQ(a.m_LastAreaCode, b.m_LastAreaCode);
  EXPECT_EQ(a.m_CurTreeCode, b.m_CurTreeCode);
  EXPECT_EQ(a.m_CurItemType1, b.m_CurItemType1);
  EXPECT_EQ(a.m_CurItemType2, b.m_CurItemType2);
  EXPECT_TRUE(a.m_AutoCutType == b.m_AutoCutType);
  EXPECT_TRUE(a.m_AreaTree2 == b.m_AreaTree2);
  EXPECT_TRUE(a.m_Area2ObjectArray == b.m_Area2ObjectArray);
  EXPECT_TRUE(a.m_Area4ObjectArray == b.m_Area4ObjectArray);
  EXPECT_TRUE(a.m_EnvParam == b.m_EnvParam);
  EXPECT_TRUE(a.m_EnvParam.m_PatternArray == b.m_EnvParam.m_PatternArray);
  ASSERT_EQ(a.m_FloorParamArray.size(), b.m_FloorParamArray.size());
  EXPECT_EQ(a.m_FloorParamArray.m_bCalcPerFloor, b.m_FloorParamArray.m_bCalcPerFloor);
  for (std::size_t i = 0; i < a.m_FloorParamArray.size(); ++i) {
    const CFloorParam& fa = a.m_FloorParamArray[i];
    const CFloorParam& fb = b.m_FloorParamArray[i];
    EXPECT_EQ(fa.m_FloorNo, fb.m_FloorNo);
    EXPECT_EQ(fa.m_bCalc, fb.m_bCalc);
    EXPECT_EQ(fa.m_CalcExcludeCodes, fb.m_CalcExcludeCodes);
    EXPECT_EQ(fa.m_OutputExcludeCodes, fb.m_OutputExcludeCodes);
    EXPECT_EQ(fa.m_HotLinkParamArray, fb.m_HotLinkParamArray);
    EXPECT_EQ(KeysWithoutElements(fa), KeysWithoutElements(fb)) << "floor " << i;
  }
}

// A zone with a square hole and one arc edge, on story 1.
API_Guid AddZone(HostFixture& host, short layer, const char16_t* name)
{
  PolygonMemo polygon({{{0, 0}, {10, 0}, {10, 8}, {0, 8}}, {{2, 2}, {4, 2}, {4, 4}, {2, 4}}},
                      {API_PolyArc{2, 3, 0.5}});
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.floorInd = 1;
  zone.header.layer = layer;
  zone.zone.roomName = GS::UniString(name);
  zone.zone.pos = API_Coord{3.5, 4.25};
  zone.zone.roomHeight = 2.7;
  zone.zone.roomBottomOffset = -0.15;
  EXPECT_EQ(host.AddPolygonElement(zone, polygon), NoError);
  return zone.header.guid;
}

CDumpZone ZoneOf(const API_Guid& guid)
{
  CDumpZone zone;
  EXPECT_TRUE(CDumpZone::FromElement(guid, zone));
  zone.m_Guid = GS::Guid();
  return zone;
}

class DumpTest : public RecordTest {
protected:
  // A document loaded fresh with the dump imported into it.
  std::unique_ptr<CPlenimetraParam> Imported()
  {
    auto imported = std::make_unique<CPlenimetraParam>();
    RegisterTestKinds(*imported);
    imported->Import(files.Path("dump.dat"));
    return imported;
  }
  std::string Bytes() const { return files.Contents("dump.dat"); }

  SandboxFiles files;
};

// ---- round trips -------------------------------------------------------------------

TEST_F(DumpTest, RandomDocumentsComeBackWholeInAFreshProjectInOneUndoStep)
{
  for (unsigned seed = 1; seed <= 5; ++seed) {
    SCOPED_TRACE(seed);
    CPlenimetraParam source;
    RegisterTestKinds(source);
    RandomDocument build(host, source, seed, layer);
    source.m_CurItemType1 = CItemType1Table::ITEMTYPE(1 + seed % 4);
    source.m_AutoCutType.m_bCutAcross = seed % 2 == 0;
    source.Export(files.Path("dump.dat"));
    ASSERT_TRUE(host.Alerts().empty());

    auto imported = Imported();
    ExpectSameCarried(*imported, source);
    // The tree is read before its objects: every node survived the wait.
    EXPECT_TRUE(imported->m_AreaTree2.NamesOnlyObjectsOf(imported.get()));
    EXPECT_TRUE(imported->m_AreaTreeStore == imported->m_AreaTree2);
    EXPECT_TRUE(host.Alerts().empty());
  }
}

TEST_F(DumpTest, ZonesAreRecreatedWithHolesArcsHeightsAndNames)
{
  const API_Guid first = AddZone(host, layer, u"居室");
  const API_Guid second = AddZone(host, layer, u"廊下");
  doc.m_FloorParamArray.push_back(MakeFloor(0));
  doc.Export(files.Path("dump.dat"));
  const std::vector<API_Guid> before = host.ElementsOfType(API_ZoneID);
  ASSERT_EQ(before.size(), 2u);

  auto imported = Imported();
  std::vector<API_Guid> after = host.ElementsOfType(API_ZoneID);
  ASSERT_EQ(after.size(), 4u);
  for (std::size_t i = 0; i < 2; ++i) {
    const CDumpZone original = ZoneOf(i == 0 ? first : second);
    const CDumpZone copy = ZoneOf(after[2 + i]);
    EXPECT_TRUE(copy == original) << i;
    EXPECT_EQ(copy.m_Ends.size(), 3u);  // outline and hole
    EXPECT_EQ(copy.m_Arcs.size(), 1u);
    EXPECT_EQ(copy.m_Height, 2.7);
    EXPECT_EQ(copy.m_Offset, -0.15);
  }
  // Both zones came in one undoable step, and go in one.
  ASSERT_FALSE(host.UndoNames().empty());
  EXPECT_TRUE(host.UndoNames().back() == GS::UniString(u"メンセラ[インポート]"));
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(host.ElementsOfType(API_ZoneID), before);
}

TEST_F(DumpTest, AZoneLayerTheImportingProjectLacksBecomesTheAddOnsLayer)
{
  const short high = short(host.AddLayer(GS::UniString(u"遠い")));
  AddZone(host, high, u"居室");
  doc.Export(files.Path("dump.dat"));
  const std::string dump = Bytes();
  host.Reset();
  host.AddStory(1, 3.0, GS::UniString(u"2F"));
  files.Put(dump, "dump.dat");
  auto imported = Imported();
  const std::vector<API_Guid> zones = host.ElementsOfType(API_ZoneID);
  ASSERT_EQ(zones.size(), 1u);
  API_Attribute attribute{};
  attribute.header.typeID = API_LayerID;
  attribute.header.index = short(ZoneOf(zones[0]).m_Layer);
  ASSERT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
  EXPECT_TRUE(attribute.header.name == GS::UniString(u"メンセラ"));
}

// ---- the last sections' bytes ------------------------------------------------------

TEST_F(DumpTest, EmptyProjectsEndWithTheNullGuidAndTheFigureListEnd)
{
  // No floors and no zones: the figure list's end follows the zones' at once.
  doc.Export(files.Path("dump.dat"));
  const std::string bytes = Bytes();
  const std::string tail = std::string("\x24\x00", 2) + kNullGuidText + std::string(1, '\0') + std::string(4, '\0');
  ASSERT_GE(bytes.size(), tail.size() + 4);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x17\x04\x00\x00", 4));  // 1047
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST_F(DumpTest, EachPlacedFigureIsWrittenWithItsPlacementAndCommonFields)
{
  doc.m_FloorParamArray.push_back(MakeFloor(0));
  doc.m_FloorParamArray.push_back(MakeFloor(1));
  auto figure = PlaceFigure(host, doc, 1, 5);
  figure->m_No = 3;
  figure->m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
  figure->m_Cr.resize(2);
  figure->m_Cr[1].m_bCr = true;
  doc.m_FloorParamArray[1].m_Area1ObjectArray.push_back(figure);
  doc.m_LastArea1Code = 5;
  doc.Export(files.Path("dump.dat"));

  CFileArchiveNew ar;
  ASSERT_EQ(ar.Open(files.Path("dump.dat")), 0);
  CPlenimetraParam read;
  RegisterTestKinds(read);
  ASSERT_TRUE(read.Serialize(ar));
  ASSERT_EQ(read.m_DumpFigures.size(), 1u);
  const CDumpFigure& values = read.m_DumpFigures[0];
  EXPECT_EQ(values.m_Type, CArea1Object::TYPE_TRIANGLE);
  EXPECT_EQ(values.m_Story, 1);
  EXPECT_EQ(values.m_Code, 5);
  EXPECT_EQ(values.m_No, 3);
  EXPECT_EQ(values.m_RoundType, CRoundTypeTable::ROUNDTYPE_UP);
  EXPECT_TRUE(values.m_Cr == figure->m_Cr);
  EXPECT_EQ(values.m_A, 1.0);
  EXPECT_EQ(values.m_Shape, std::vector<double>{0.0});  // the part has no "dx" set here
  EXPECT_TRUE(read.m_DumpZones.empty());
}

// ---- refused dumps -------------------------------------------------------------------

TEST_F(DumpTest, ADumpCutShortAnywhereIsRefusedAndChangesNothing)
{
  CPlenimetraParam source;
  RegisterTestKinds(source);
  RandomDocument build(host, source, 3, layer);
  AddZone(host, layer, u"居室");
  source.Export(files.Path("dump.dat"));
  const std::string whole = Bytes();

  CPlenimetraParam target;
  RegisterTestKinds(target);
  RandomDocument other(host, target, 9, layer);
  const CPlenimetraParam before = target;
  const std::size_t zones = host.ElementsOfType(API_ZoneID).size();
  const std::size_t undoSteps = host.UndoNames().size();
  for (std::size_t cut : {std::size_t(4), std::size_t(9), whole.size() / 3, whole.size() / 2, whole.size() - 60,
                          whole.size() - 5, whole.size() - 1}) {
    SCOPED_TRACE(cut);
    files.Put(whole.substr(0, cut), "dump.dat");
    const std::size_t alerts = host.Alerts().size();
    target.Import(files.Path("dump.dat"));
    EXPECT_TRUE(target == before);
    EXPECT_EQ(host.ElementsOfType(API_ZoneID).size(), zones);
    EXPECT_EQ(host.UndoNames().size(), undoSteps);
    ASSERT_EQ(host.Alerts().size(), alerts + 1);
    EXPECT_TRUE(host.Alerts().back().largeText == files.Path("dump.dat") + GS::UniString(u"が読み込めません"));
  }
}

TEST_F(DumpTest, VersionsOutsideTheReadableRangeAndMissingFilesChangeNothing)
{
  doc.m_LastArea1Code = 41;
  const CPlenimetraParam before = doc;
  struct Case {
    int version;
    bool alert;
  };
  for (const Case& c : {Case{1002, true}, Case{1048, true}, Case{0, true}}) {
    SCOPED_TRACE(c.version);
    files.Put(std::string(reinterpret_cast<const char*>(&c.version), 4) + std::string(64, '\0'), "dump.dat");
    const std::size_t alerts = host.Alerts().size();
    doc.Import(files.Path("dump.dat"));
    EXPECT_TRUE(doc == before);
    ASSERT_EQ(host.Alerts().size(), alerts + 1);
    EXPECT_TRUE(host.Alerts().back().largeText == GS::UniString(u"ファイルのバージョンが異なります"));
  }
  doc.Import(files.Path("none.dat"));
  EXPECT_TRUE(doc == before);
  ASSERT_EQ(host.Alerts().size(), 4u);
  EXPECT_TRUE(host.Alerts().back().largeText == files.Path("none.dat") + GS::UniString(u"が読み込めません"));
  EXPECT_TRUE(host.UndoNames().empty());
}

// Zone and figure records the reader must refuse rather than hand to the host.
TEST(DumpRecordTest, UnsoundZonesAndFiguresAreRefusedByReaderAndWriter)
{
  HostFixture host;
  SandboxFiles files;
  CDumpZone good;
  good.m_Guid.Generate();
  good.m_Coords = {{0, 0}, {0, 0}, {1, 0}, {1, 1}, {0, 0}};
  good.m_Ends = {0, 4};
  good.m_Arcs = {API_PolyArc{1, 2, 0.3}};
  EXPECT_TRUE(good.IsSound());
  CDumpZone open = good;
  open.m_Ends = {0, 3};
  CDumpZone arcOutside = good;
  arcOutside.m_Arcs[0].endIndex = 5;
  CDumpZone noStart = good;
  noStart.m_Ends = {1, 4};
  for (const CDumpZone& bad : {open, arcOutside, noStart}) {
    EXPECT_FALSE(bad.IsSound());
    CFileArchiveNew ar;
    ASSERT_EQ(ar.Save(files.Path("z.dat"), 1047), 0);
    CDumpZone copy = bad;
    EXPECT_THROW(copy.Serialize(ar), unsigned int);
  }
  // A record whose stored ends do not close the polygon: written as good,
  // its contour end patched.
  {
    CFileArchiveNew ar;
    ASSERT_EQ(ar.Save(files.Path("z.dat"), 1047), 0);
    CDumpZone copy = good;
    copy.Serialize(ar);
    ASSERT_EQ(ar.Close(), 0);
  }
  std::string bytes = files.Contents("z.dat");
  const std::size_t ends = bytes.size() - 16 - 8;  // the last end, before the arc
  bytes[ends] = 3;
  files.Put(bytes, "z.dat");
  CFileArchiveNew in;
  ASSERT_EQ(in.Open(files.Path("z.dat")), 0);
  CDumpZone read;
  EXPECT_THROW(read.Serialize(in), unsigned int);

  // Figures: an unknown kind, a code no figure can have.
  for (auto [type, code] : {std::pair{10, 1}, std::pair{-1, 1}, std::pair{1, 0}}) {
    SCOPED_TRACE(type);
    CFileArchiveNew ar;
    ASSERT_EQ(ar.Save(files.Path("f.dat"), 1047), 0);
    CDumpFigure figure;
    figure.m_Type = type;
    figure.m_Code = code;
    figure.m_Shape.assign(CDumpFigure::ShapeNames(CArea1Object::TYPE(type)).size(), 0.0);
    EXPECT_THROW(figure.Serialize(ar), unsigned int);
  }
}

}  // namespace

// ---- refused exports -----------------------------------------------------------------

TEST_F(DumpTest, AZoneTheHostFailsToGiveFailsTheExportAndKeepsTheEarlierDump)
{
  AddZone(host, layer, u"居室");
  doc.Export(files.Path("dump.dat"));
  const std::string earlier = Bytes();
  AddZone(host, layer, u"廊下");
  for (const char* call : {"ACAPI_Element_GetElemList", "ACAPI_Element_Get", "ACAPI_Element_GetMemo"}) {
    SCOPED_TRACE(call);
    const std::size_t alerts = host.Alerts().size();
    host.FailOnce(call, APIERR_MEMFULL);
    doc.Export(files.Path("dump.dat"));
    EXPECT_EQ(Bytes(), earlier);
    ASSERT_EQ(host.Alerts().size(), alerts + 1);
    EXPECT_TRUE(host.Alerts().back().largeText == files.Path("dump.dat") + GS::UniString(u"が保存できません"));
  }
  doc.Export(files.Path("dump.dat"));
  CFileArchiveNew ar;
  ASSERT_EQ(ar.Open(files.Path("dump.dat")), 0);
  CPlenimetraParam read;
  RegisterTestKinds(read);
  ASSERT_TRUE(read.Serialize(ar));
  EXPECT_EQ(read.m_DumpZones.size(), 2u);
}
