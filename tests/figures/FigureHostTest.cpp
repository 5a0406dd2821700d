// What placing and refreshing figures writes to the host, grouped over the
// eight kinds: the look kept or rewritten, pens from a calculation
// element's colour, fill pens switched off, label offsets stored in the
// settings, the write order and its first failure, unloaded parts and
// worksheets, copies, stale labels.

#include "FiguresTestSupport.h"
#include "host_environment.h"
#include "host_goodies.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

struct Kind {
  const char* name;
  std::function<std::shared_ptr<CArea1Object>(FigureTest&, GSErrCode*)> place;
  std::vector<const char*> linePens;  // besides the symbol and contour pens
  std::vector<const char*> labels;
};

class HostTest : public FigureTest {
protected:
  template <class K>
  static Kind Make(const char* name, CKelAreaCoord2D points, std::vector<const char*> pens,
                   std::vector<const char*> labels)
  {
    return {name, [points](FigureTest& t, GSErrCode* err) -> std::shared_ptr<CArea1Object> {
              return static_cast<HostTest&>(t).Place<K>(points, err);
            },
            std::move(pens), std::move(labels)};
  }

  static std::vector<Kind> Kinds()
  {
    return {Make<CAreaTriangle>("triangle", Points({{0, 0}, {4, 0}, {1, 3}}), {"area_in_pen", "area_perline_pen"},
                                {"Base_S", "Height_S"}),
            Make<CAreaRectSlant>("rectangle", Points({{0, 0}, {6, 0}, {6, 4}, {0, 4}}), {"area_in_pen"},
                                 {"x_S", "y_S"}),
            Make<CAreaTrapezoid>("trapezoid", Points({{0, 0}, {5, 0}, {4, 2}, {1, 2}}),
                                 {"area_in_pen", "area_perline_pen"}, {"t_S", "b_S", "y_S"}),
            Make<CAreaCircle>("circle", Points({{1, 1}, {3, 1}}), {"area_fan_pen"}, {"radius_S"}),
            Make<CAreaArc>("sector", Points({{0, 0}, {2, 0}, {0, 2}}), {"area_angle_pen"}, {"radius_S", "arcAngle_S"}),
            Make<CAreaEllipse>("ellipse", Points({{0, 0}, {2, 0}, {0, 1}}), {"area_fan_pen"},
                               {"radiusX_S", "radiusY_S"}),
            Make<CAreaArcCenter>("segment", Points({{0, 0}, {5, 0}, {0, 5}}),
                                 {"area_fan_pen", "area_perline_pen", "area_angle_pen"},
                                 {"base_S", "radius_S", "arcAngle_S", "height_S"}),
            Make<CAreaArc3Point>("arc3", Points({{0, 0}, {2, 0}, {1, 0.5}}),
                                 {"area_fan_pen", "area_perline_pen", "area_angle_pen"},
                                 {"base_S", "radius_S", "arcAngle_S", "height_S"})};
  }

  bool Wrote(const char* name) const
  {
    const auto names = Writes();
    return std::find(names.begin(), names.end(), name) != names.end();
  }
  std::ptrdiff_t Position(const char* name) const
  {
    const auto names = Writes();
    return std::find(names.begin(), names.end(), name) - names.begin();
  }

  // Drops a parameter from the placed part, as a part of another edition
  // lacking it would.
  void DropParameter(const CArea1Object& figure, const char* name)
  {
    API_ElementMemo memo;
    ASSERT_EQ(ACAPI_Element_GetMemo(figure.m_Element.header.guid, &memo, APIMemoMask_AddPars), NoError);
    const Int32 count = pln::host::AddParCount(memo.params);
    auto kept = reinterpret_cast<API_AddParType**>(
        BMAllocateHandle(static_cast<GSSize>((count - 1) * sizeof(API_AddParType)), ALLOCATE_CLEAR, 0));
    Int32 k = 0;
    for (Int32 i = 0; i < count; ++i)
      if (std::string((*memo.params)[i].name) != name && k < count - 1)
        (*kept)[k++] = (*memo.params)[i];
    ACAPI_DisposeElemMemoHdls(&memo);
    API_Element element = figure.m_Element;
    API_ElementMemo changed;
    changed.params = kept;
    EXPECT_EQ(ACAPI_Element_Change(&element, nullptr, &changed, APIMemoMask_AddPars, true), NoError);
    ACAPI_DisposeAddParHdl(&changed.params);
  }

  // Writes one parameter of the placed part as a user's edit would: a
  // number, or a text when given one.
  void EditParam(const CArea1Object& figure, const char* name, double value, const char16_t* text = nullptr)
  {
    API_ParamOwnerType owner;
    owner.typeID = API_ObjectID;
    owner.guid = figure.m_Element.header.guid;
    ASSERT_EQ(ACAPI_Goodies('OPAR', &owner), NoError);
    API_ChangeParamType change;
    std::strncpy(change.name, name, sizeof change.name - 1);
    change.realValue = value;
    change.uStrValue = text;
    EXPECT_EQ(ACAPI_Goodies('CHGP', &change), NoError);
    API_GetParamsType got;
    EXPECT_EQ(ACAPI_Goodies('GPAR', &got), NoError);
    ACAPI_Goodies('CPAR');
    API_Element element = figure.m_Element;
    API_ElementMemo memo;
    memo.params = got.params;
    EXPECT_EQ(ACAPI_Element_Change(&element, nullptr, &memo, APIMemoMask_AddPars, true), NoError);
    ACAPI_DisposeAddParHdl(&memo.params);
  }
  void EditText(const CArea1Object& figure, const char* name, const char16_t* text)
  {
    EditParam(figure, name, 0, text);
  }
  void EditReal(const CArea1Object& figure, const char* name, double value) { EditParam(figure, name, value); }
};

const char* const kLook[] = {"area_symbol_font", "area_symbol_size", "area_size_f", "area_dim_size",
                             "area_fill",        "area_fill_pen",    "area_fill_back_pen", "area_symbol_x"};

}  // namespace

TEST_F(HostTest, KeepLookRewritesOnlyPensDimensionsMarkNumberAndLabels)
{
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    host.ClearChangeRecords();
    ASSERT_EQ(figure->ChangeParam(&doc(), true), NoError);
    for (const char* look : kLook)
      EXPECT_FALSE(Wrote(look)) << look;
    for (const char* always : {"area_symbol_pen", "area_cont_pen", "area_symbol_fig", "area_symbol_str"})
      EXPECT_TRUE(Wrote(always)) << always;
    for (const char* label : kind.labels)
      EXPECT_TRUE(Wrote(label)) << label;
    host.ClearChangeRecords();
    ASSERT_EQ(figure->ChangeParam(&doc(), false), NoError);
    for (const char* look : kLook)
      EXPECT_TRUE(Wrote(look)) << look;
  }
}

// "無" names the choice of no mark; the figure's label prints nothing for it,
// nor does a formula that names the figure.
TEST_F(HostTest, NoMarkLeavesTheMarkLabelEmptyAndTheFormulaTermBare)
{
  const int node = pattern.AddElement(PatternDoc::kBuildingCode, u"要素");
  CArea2ObjectFloor* record = pattern.Element(node)->m_FloorArray.SearchFloor(0);
  record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    figure->m_ItemType1 = CItemType1Table::ITEMTYPE_NOMARK;
    ASSERT_EQ(figure->ChangeParam(&doc(), true), NoError);
    EXPECT_EQ(Text(*figure, "area_symbol_fig"), u"");
    EXPECT_EQ(Text(*figure, "area_symbol_str"), figure->GetItemNoStr(&doc()).Std());
    EXPECT_EQ(doc().m_ItemType1Table.GetMarkStr(figure->m_ItemType1), GS::UniString(u"無"));
    record->m_List.assign({CArea2List(figure, COperatorTable::OPERATOR_PLUS)});
    EXPECT_EQ(pattern.Element(node)->GetEquation(&doc(), 0, false, '#'), figure->GetItemNoStr(&doc()));
  }
}

TEST_F(HostTest, ColourOfTheListingElementTakesEveryPenAndFillPensCanBeOff)
{
  const int node = pattern.AddElement(PatternDoc::kBuildingCode, u"要素");
  pattern.Element(node)->m_ColorPen = 7;
  doc().m_EnvParam.m_FillPenOff = true;
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    CArea2ObjectFloor* record = pattern.Element(node)->m_FloorArray.SearchFloor(0);
    record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
    record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
    ASSERT_EQ(figure->ChangeParam(&doc(), false), NoError);
    std::vector<const char*> pens = kind.linePens;
    pens.push_back("area_symbol_pen");
    pens.push_back("area_cont_pen");
    for (const char* pen : pens)
      EXPECT_EQ(Real(*figure, pen), 7.0) << pen;
    EXPECT_EQ(Real(*figure, "area_fill_pen"), 0.0);
    EXPECT_EQ(Real(*figure, "area_fill_back_pen"), 0.0);
    record->m_List.clear();
    ASSERT_EQ(figure->ChangeParam(&doc(), true), NoError);
    EXPECT_EQ(Real(*figure, "area_cont_pen"), 1.0);
  }
}

TEST_F(HostTest, LabelOffsetsFollowTheDimensionTextSize)
{
  doc().m_EnvParam.m_ArcAttr.m_size_r_y = 9.0;
  doc().m_EnvParam.m_RectAttr.m_size_t_y = 9.0;
  auto sector = Kinds()[4].place(*this, nullptr);
  EXPECT_EQ(doc().m_EnvParam.m_ArcAttr.m_size_r_y, 0.25);
  EXPECT_EQ(Real(*sector, "size_r_y"), 0.25);
  auto rect = Kinds()[1].place(*this, nullptr);
  EXPECT_EQ(doc().m_EnvParam.m_RectAttr.m_size_t_y, -0.25);
  EXPECT_EQ(doc().m_EnvParam.m_RectAttr.m_size_l_x, 0.25);
  // With the look kept nothing of the block changes.
  doc().m_EnvParam.m_RectAttr.m_size_t_y = 3.0;
  ASSERT_EQ(rect->ChangeParam(&doc(), true), NoError);
  EXPECT_EQ(doc().m_EnvParam.m_RectAttr.m_size_t_y, 3.0);
}

TEST_F(HostTest, RefreshingUnchangedGeometryMarksNoField)
{
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    host.ClearChangeRecords();
    ASSERT_EQ(figure->ChangeParam(&doc(), true), NoError);
    ASSERT_EQ(host.ElementChanges().size(), 1u);
    EXPECT_EQ(host.ElementChanges()[0].memoMask, APIMemoMask_AddPars);
    // The triangle derives A and its angle anew from its corners.
    if (std::string(kind.name) != "triangle") {
      EXPECT_EQ(host.ElementChanges()[0].maskedFields, 0u);
    }
  }
}

TEST_F(HostTest, EachKindWritesInItsOwnOrder)
{
  struct Order {
    std::size_t kind;
    const char* first;
    const char* second;
  };
  for (const Order& o : {Order{0, "area_symbol_fig", "area_symbol_str"}, Order{1, "area_symbol_fig", "area_symbol_str"},
                         Order{2, "area_symbol_str", "area_symbol_fig"}, Order{3, "area_symbol_str", "area_symbol_fig"},
                         Order{4, "area_symbol_str", "area_symbol_fig"}, Order{5, "area_symbol_str", "area_symbol_fig"},
                         Order{6, "area_symbol_fig", "area_symbol_str"}, Order{7, "height_S", "x1"},
                         Order{0, "dx", "area_symbol_fig"}, Order{2, "dx2", "t_S"}}) {
    const Kind kind = Kinds()[o.kind];
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    host.ClearChangeRecords();
    ASSERT_EQ(figure->ChangeParam(&doc(), false), NoError);
    EXPECT_LT(Position(o.first), Position(o.second));
    EXPECT_LT(Position(o.second), static_cast<std::ptrdiff_t>(Writes().size()));
  }
}

TEST_F(HostTest, TheFirstFailingWriteEndsPlacing)
{
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    const std::size_t before = host.ElementsOfType(API_ObjectID).size();
    host.ClearChangeRecords();
    host.FailParamChangeOnce("area_cont_pen", APIERR_BADVALUE);
    GSErrCode err = NoError;
    EXPECT_EQ(kind.place(*this, &err), nullptr);
    EXPECT_EQ(err, APIERR_BADVALUE);
    EXPECT_EQ(Writes().back(), "area_cont_pen");
    EXPECT_EQ(host.ElementsOfType(API_ObjectID).size(), before);
  }
}

TEST_F(HostTest, AFailedCloseOfTheNewListPlacesNothingAndKeepsNoHandle)
{
  for (const Kind& kind : Kinds()) {
    host.FailOnce("ACAPI_Goodies:CPAR", APIERR_GENERAL);
    GSErrCode err = NoError;
    EXPECT_EQ(kind.place(*this, &err), nullptr) << kind.name;
    EXPECT_EQ(err, APIERR_GENERAL) << kind.name;
    EXPECT_FALSE(pln::host::ParametersOpen()) << kind.name;  // the close was asked again
  }
  EXPECT_TRUE(host.ElementsOfType(API_ObjectID).empty());
}

TEST_F(HostTest, AnUnloadedPartPlacesNothing)
{
  host.Reset();
  layer = static_cast<short>(host.AddLayer(u"メンセラ"));
  doc().m_EnvParam.m_Area1Layer = layer;
  for (const Kind& kind : Kinds()) {
    GSErrCode err = NoError;
    EXPECT_EQ(kind.place(*this, &err), nullptr) << kind.name;
    EXPECT_EQ(err, APIERR_BADNAME) << kind.name;
  }
  EXPECT_TRUE(host.ElementsOfType(API_ObjectID).empty());
}

TEST_F(HostTest, OnAWorksheetNoUserDataNorObserver)
{
  API_DatabaseInfo sheet;
  sheet.typeID = APIWind_WorksheetID;
  sheet.name = GS::UniString(u"1F");
  ASSERT_EQ(ACAPI_Database('NDAT', &sheet), NoError);
  API_WindowInfo window;
  window.typeID = APIWind_WorksheetID;
  window.databaseUnId = sheet.databaseUnId;
  ASSERT_EQ(ACAPI_Automate('CHWD', &window), NoError);
  listPlaced = false;  // renumbering would save the record
  for (const Kind& kind : Kinds()) {
    auto figure = kind.place(*this, nullptr);
    ASSERT_NE(figure, nullptr) << kind.name;
    const pln::host::StoredElement* stored = host.Element(figure->m_Element.header.guid);
    ASSERT_NE(stored, nullptr);
    EXPECT_FALSE(stored->userData.has_value());
    EXPECT_FALSE(stored->observed);
  }
}

TEST_F(HostTest, CopyingRaisesTheCounterEvenWhenCreationFails)
{
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    const int before = doc().m_LastArea1Code;
    host.FailOnce("ACAPI_Element_Create", APIERR_GENERAL);
    EXPECT_EQ(figure->CopyObject(&doc(), 0), APIERR_GENERAL);
    EXPECT_EQ(doc().m_LastArea1Code, before + 1);
    // The failed copy is not left listed without an element.
    EXPECT_EQ(doc().m_FloorParamArray[0].m_Area1ObjectArray.back(), figure);
    ASSERT_EQ(figure->CopyObject(&doc(), 0), NoError);
    auto copy = doc().m_FloorParamArray[0].m_Area1ObjectArray.back();
    EXPECT_EQ(copy->m_Code, before + 2);
    EXPECT_EQ(copy->m_Type, figure->m_Type);
    EXPECT_EQ(copy->GetOrgArea(&doc()), figure->GetOrgArea(&doc()));
  }
}

TEST_F(HostTest, RoundKindsGetTheirLabelsFromTheRefreshAndEditedLabelsAreStale)
{
  for (std::size_t i = 3; i < 8; ++i) {
    const Kind kind = Kinds()[i];
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    EXPECT_FALSE(figure->CheckStringParameter(&doc()));
    EditText(*figure, kind.labels.back(), u"1234");
    EXPECT_TRUE(figure->CheckStringParameter(&doc()));
    ASSERT_EQ(figure->ChangeParam(&doc(), true), NoError);
    EXPECT_FALSE(figure->CheckStringParameter(&doc()));
  }
  // Before its refresh a new circle's label was made from a part not yet
  // placed.
  auto circle = std::make_shared<CAreaCircle>(&doc(), 50, doc().m_CurItemType1, doc().m_CurItemType2, 0);
  ASSERT_EQ(circle->Create(&doc(), Points({{0, 0}, {2, 0}}), 0), NoError);
  EXPECT_EQ(Text(*circle, "radius_S"), u"0");
  EXPECT_TRUE(circle->CheckStringParameter(&doc()));
  ASSERT_EQ(circle->ChangeParam(&doc(), true), NoError);
  EXPECT_EQ(Text(*circle, "radius_S"), u"2000");
}

TEST_F(HostTest, AnUnreadablePartMeasuresZeroAndItsLabelsAreNotStale)
{
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    ASSERT_EQ(host.UserDelete({figure->m_Element.header.guid}), NoError);
    EXPECT_FALSE(figure->CheckStringParameter(&doc()));
    // The straight kinds keep their record's sizes; the trapezoid's top,
    // held only on the part, becomes 0.
    if (figure->m_Type == CArea1Object::TYPE_TRAPEZOID) {
      EXPECT_EQ(figure->GetOrgArea(&doc()), (50000 + 0) * 20000 / 2);
    } else if (figure->m_Type != CArea1Object::TYPE_TRIANGLE && figure->m_Type != CArea1Object::TYPE_RECTSLANT) {
      EXPECT_EQ(figure->GetOrgArea(&doc()), 0);
    }
    // The triangle answers 0 when it cannot read its corners back.
    const GSErrCode err = figure->ChangeParam(&doc(), true);
    if (figure->m_Type == CArea1Object::TYPE_TRIANGLE)
      EXPECT_EQ(err, NoError);
    else
      EXPECT_EQ(err, APIERR_DELETED);
  }
}

TEST_F(HostTest, AMissingLabelIsStale)
{
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    DropParameter(*figure, kind.labels.front());
    EXPECT_TRUE(figure->CheckStringParameter(&doc()));
  }
}

TEST_F(HostTest, EachMeasurementReadsThePartOnce)
{
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    auto figure = kind.place(*this, nullptr);
    const auto reads = [&] {
      const auto& log = host.CallLog();
      return std::count(log.begin(), log.end(), std::string("ACAPI_Element_GetMemo"));
    };
    host.ClearCallLog();
    figure->GetOrgArea(&doc());
    EXPECT_LE(reads(), 1);
    host.ClearCallLog();
    figure->GetEquation(&doc(), false, 100);
    EXPECT_LE(reads(), 1);
    host.ClearCallLog();
    figure->CheckStringParameter(&doc());
    EXPECT_EQ(reads(), 1);
  }
}

TEST_F(HostTest, EditedDimensionsBeyondSoundValuesMeasureAsZero)
{
  auto sector = Kinds()[4].place(*this, nullptr);
  EditReal(*sector, "ArcAngle", 1e300);  // the area would leave 64 bits
  EXPECT_EQ(sector->GetOrgArea(&doc()), 0);
  auto circle = Kinds()[3].place(*this, nullptr);
  EditReal(*circle, "ArcRadius", 1.0e5);  // the largest sound radius
  EXPECT_EQ(circle->GetOrgArea(&doc()), 3140000000000000000LL);
  EditReal(*circle, "ArcRadius", std::nan(""));
  EXPECT_EQ(circle->GetOrgArea(&doc()), 0);
  EXPECT_EQ(S(circle->GetEquation(&doc(), false, 100)), u"0.000×0.000×3.14");
  auto arc = Kinds()[7].place(*this, nullptr);
  EditReal(*arc, "y2", 1e-12);  // nearly on the chord: the centre runs away
  EXPECT_EQ(arc->GetOrgArea(&doc()), 0);
}
