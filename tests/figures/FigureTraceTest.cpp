// The input classes on scripted picks: prompts, rubber bands, the points
// they hand on; then the palette's calling order, one undo step per figure.

#include "FiguresTestSupport.h"
#include "FigureTrace.h"
#include "host_memory.h"
#include "host_notify.h"

#include <functional>

namespace {

using pln::host::InputRequests;
using pln::host::RubberDrawing;

class TraceTest : public FigureTest {
protected:
  void Pick(double x, double y, std::vector<API_Coord3D> moves = {}) { host.QueuePick({x, y, 0.5}, moves); }

  std::vector<std::u16string> Prompts() const
  {
    std::vector<std::u16string> prompts;
    for (const auto& request : InputRequests())
      prompts.push_back(request.prompt.Std());
    return prompts;
  }
  std::vector<Int32> Codes() const
  {
    std::vector<Int32> codes;
    for (const auto& request : InputRequests())
      codes.push_back(request.code);
    return codes;
  }
  // Drawings made while the callback handled the cursor at (x, y).
  std::vector<RubberDrawing> DrawnAt(double x, double y) const
  {
    std::vector<RubberDrawing> drawn;
    for (const RubberDrawing& d : host.RubberDrawings())
      if (d.duringInput && d.cursor.x == x && d.cursor.y == y)
        drawn.push_back(d);
    return drawn;
  }

  // The palette's order for one figure: the input, the floor's next free
  // number, the raised figure counter, Create, then list, renumber, refresh.
  template <class Kind, class Input>
  GSErrCode CreateOne()
  {
    Input input;
    if (GSErrCode err = input.Trace(); err != NoError)
      return err;
    CArea1ObjectArray& list = doc().m_FloorParamArray[0].m_Area1ObjectArray;
    const int no = list.GetStartNo(&doc(), doc().m_CurItemType1, doc().m_CurItemType2, 0);
    auto figure = std::make_shared<Kind>(&doc(), ++doc().m_LastArea1Code, doc().m_CurItemType1,
                                         doc().m_CurItemType2, no);
    if (GSErrCode err = figure->Create(&doc(), input, 0); err != NoError)
      return err;
    list.push_back(figure);
    if (GSErrCode err = list.SetSortIndex(); err != NoError)
      return err;
    return figure->ChangeParam(&doc(), true);
  }

  // Repeats the command until a round answers nonzero; that answer.
  template <class Kind, class Input>
  GSErrCode Command()
  {
    GSErrCode err = NoError;
    while (err == NoError)
      err = ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[求積図形作成]"),
                                      [this] { return CreateOne<Kind, Input>(); });
    return err;
  }

  std::shared_ptr<CArea1Object> Last() { return doc().m_FloorParamArray[0].m_Area1ObjectArray.back(); }
};

const char16_t* const kVertex1 = u"第1点目の頂点を指定してください";
const char16_t* const kVertex2 = u"第2点目の頂点を指定してください";
const char16_t* const kVertex3 = u"第3点目の頂点を指定してください";
const char16_t* const kVertex4 = u"第4点目の頂点を指定してください";

}  // namespace

TEST_F(TraceTest, TriangleDrawsItsOutlineAndTurnsCounterClockwise)
{
  Pick(0, 0);
  Pick(4, 0);
  Pick(1, -3, {{2, 2, 0.5}});  // clockwise: the list is reversed
  CAreaTriangleTrace trace;
  ASSERT_EQ(trace.Trace(), NoError);
  EXPECT_EQ(Prompts(), (std::vector<std::u16string>{kVertex1, kVertex2, kVertex3}));
  EXPECT_EQ(Codes(), (std::vector<Int32>{'IPOI', 'ILIN', 'IPOI'}));
  EXPECT_TRUE(InputRequests()[2].withCallback);
  ASSERT_EQ(trace.m_pt.size(), 3u);
  EXPECT_TRUE(trace.m_pt[0] == CKelCoord2D(1, -3));
  EXPECT_TRUE(trace.m_pt[1] == CKelCoord2D(4, 0));
  const auto drawn = DrawnAt(2, 2);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].line.c1.x, 2.0);  // cursor -> first -> second -> cursor
  EXPECT_EQ(drawn[0].line.c2.x, 0.0);
  EXPECT_EQ(drawn[2].line.c2.x, 2.0);
  for (const RubberDrawing& d : drawn) {
    EXPECT_EQ(d.line.drawFlags, 2);
    EXPECT_EQ(d.line.c1.z, 0.5);
  }
}

TEST_F(TraceTest, TrapezoidTakesTheFootOnTheParallelAndRunsTheTopAgainstTheBase)
{
  Pick(0, 0);
  Pick(5, 0);
  Pick(4, 2);
  Pick(2, 9, {{1, 3, 0}});  // the vertex is the foot of the last cursor
  CAreaTrapezoidTrace trace;
  ASSERT_EQ(trace.Trace(), NoError);
  EXPECT_EQ(Prompts(), (std::vector<std::u16string>{kVertex1, kVertex2, kVertex3, kVertex4}));
  EXPECT_TRUE(InputRequests()[2].withCallback);
  EXPECT_TRUE(trace.m_pt[3] == CKelCoord2D(2, 2));
  const auto drawn = DrawnAt(1, 3);
  ASSERT_EQ(drawn.size(), 4u);
  EXPECT_EQ(drawn[3].line.c2.x, 1.0);  // p2 -> the foot of this cursor
  EXPECT_EQ(drawn[3].line.c2.y, 2.0);
  // A top picked the wrong way round is swapped before the outline closes.
  Pick(0, 0);
  Pick(5, 0);
  Pick(1, 2);
  Pick(4, 2);
  CAreaTrapezoidTrace swapped;
  ASSERT_EQ(swapped.Trace(), NoError);
  EXPECT_TRUE(swapped.m_pt[2] == CKelCoord2D(4, 2));
  EXPECT_TRUE(swapped.m_pt[3] == CKelCoord2D(1, 2));
}

TEST_F(TraceTest, TrapezoidOnAVerticalBaseKeepsASimpleOutline)
{
  Pick(0, 0);
  Pick(0, 5);
  Pick(3, 5);
  Pick(3, 10);
  CAreaTrapezoidTrace trace;
  ASSERT_EQ(trace.Trace(), NoError);
  auto figure = Place<CAreaTrapezoid>(trace);
  EXPECT_EQ(figure->GetOrgArea(&doc()), 1500000000);
}

TEST_F(TraceTest, RectanglesInBothModesAreCounterClockwise)
{
  Pick(0, 0);
  Pick(6, -4.5);
  CAreaRectTrace axis;
  ASSERT_EQ(axis.Trace(), NoError);
  EXPECT_EQ(InputRequests().back().method, 1);
  EXPECT_EQ(Prompts(), (std::vector<std::u16string>{kVertex1, kVertex2}));
  auto r = Place<CAreaRectSlant>(axis);
  EXPECT_EQ(r->GetOrgArea(&doc()), 2700000000);
  EXPECT_TRUE(axis.m_pt[0] == CKelCoord2D(0, -4.5));

  Pick(0, 0);
  Pick(3, 4);
  Pick(-4, 3);
  CAreaRectSlantTrace slant;
  ASSERT_EQ(slant.Trace(), NoError);
  EXPECT_EQ(InputRequests().back().method, 2);
  auto s = Place<CAreaRectSlant>(slant);
  EXPECT_EQ(s->GetOrgArea(&doc()), 50000LL * 50000);
}

TEST_F(TraceTest, ARectangleAnswerOfOtherThanFiveCoordinatesIsRefused)
{
  API_GetPolyType poly;
  poly.coords = reinterpret_cast<API_Coord**>(BMAllocateHandle(5 * sizeof(API_Coord), ALLOCATE_CLEAR, 0));
  poly.nCoords = 4;
  CKelAreaCoord2D points;
  EXPECT_EQ(figures::TakeRectangle(poly, points), APIERR_BADPARS);
  EXPECT_TRUE(points.m_pt.empty());
  poly.nCoords = 5;  // claims more than its handle holds
  EXPECT_EQ(figures::TakeRectangle(poly, points), APIERR_BADPARS);
  BMKillHandle(reinterpret_cast<GSHandle*>(&poly.coords));
}

TEST_F(TraceTest, CircleAndEllipseRubberBands)
{
  Pick(1, 1);
  Pick(9, 9, {{4, 5, 0}});
  CAreaCircleTrace circle;
  ASSERT_EQ(circle.Trace(), NoError);
  EXPECT_EQ(Prompts(), (std::vector<std::u16string>{u"円の中心点を指定してください", u"円上の点を指定してください"}));
  const auto arcs = DrawnAt(4, 5);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_TRUE(arcs[0].isArc);
  EXPECT_EQ(arcs[0].arc.r, 5.0);
  EXPECT_EQ(arcs[0].arc.endAng, KelAngle::TwoPi);
  EXPECT_TRUE(circle.m_pt[1] == CKelCoord2D(9, 9));

  Pick(0, 0);
  Pick(2, 0);
  Pick(0.5, 1, {{1, 0, 0}, {3, 0.5, 0}});
  CAreaEllipseTrace ellipse;
  ASSERT_EQ(ellipse.Trace(), NoError);
  EXPECT_EQ(DrawnAt(1, 0).size(), 1u);  // on the axis: the X diameter only
  const auto both = DrawnAt(3, 0.5);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].line.c1.x, -2.0);
  EXPECT_EQ(both[1].line.c1.y, 0.5);
  EXPECT_EQ(both[1].line.c2.y, -0.5);
  EXPECT_TRUE(ellipse.m_pt[2] == CKelCoord2D(0.5, 1));
}

TEST_F(TraceTest, ArcThroughThreePointsDrawsItsArcOnTheCursorsSide)
{
  Pick(0, 0);
  Pick(2, 0);
  Pick(1, 0.5, {{1, 0.5, 0}, {1, -0.5, 0}, {1, 0, 0}});
  CAreaArc3PointTrace trace;
  ASSERT_EQ(trace.Trace(), NoError);
  struct Case {
    double y;
    bool negArc;
  };
  for (const Case& c : {Case{0.5, false}, Case{-0.5, true}, Case{0, true}}) {
    const auto drawn = DrawnAt(1, c.y);
    ASSERT_GE(drawn.size(), 2u) << c.y;
    EXPECT_FALSE(drawn[0].isArc);
    EXPECT_TRUE(drawn[1].isArc);
    EXPECT_EQ(drawn[1].arc.form, 1);
    EXPECT_EQ(drawn[1].arc.negArc, c.negArc) << c.y;
  }
  EXPECT_NEAR(DrawnAt(1, 0.5)[1].arc.origC.y, -0.75, 1e-12);
}

TEST_F(TraceTest, SectorAndSegmentTakeTheArcInputsPoints)
{
  Pick(0, 0);
  Pick(3, 0);
  Pick(0, 7);
  CAreaArcCenterTrace trace;
  ASSERT_EQ(trace.Trace(), NoError);
  EXPECT_EQ(Prompts(), (std::vector<std::u16string>{u"円弧の中心点を指定してください", u"円弧の開始点を指定してください",
                                                   u"円弧の終点を指定してください"}));
  EXPECT_EQ(Codes(), (std::vector<Int32>{'IPOI', 'ILIN', 'IARC'}));
  EXPECT_TRUE(trace.m_pt[2] == CKelCoord2D(0, 7));
  Pick(0, 0);  // cancelled at the second pick: the points stay zero
  CAreaArcTrace cancelled;
  EXPECT_EQ(cancelled.Trace(), APIERR_CANCEL);
  EXPECT_TRUE(cancelled.m_pt[0] == CKelCoord2D(0, 0));
}

TEST_F(TraceTest, PaletteOrderMakesOneUndoStepPerFigure)
{
  Pick(0, 0);
  Pick(2, 0);
  Pick(0, 1);
  Pick(5, 5);
  Pick(8, 5);
  Pick(5, 7);
  EXPECT_EQ((Command<CAreaEllipse, CAreaEllipseTrace>()), APIERR_CANCEL);
  EXPECT_EQ(host.UndoNames(), (std::vector<GS::UniString>{GS::UniString(u"メンセラ[求積図形作成]"),
                                                         GS::UniString(u"メンセラ[求積図形作成]")}));
  const CArea1ObjectArray& list = doc().m_FloorParamArray[0].m_Area1ObjectArray;
  ASSERT_EQ(list.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const CArea1Object& figure = *list[i];
    EXPECT_EQ(figure.m_No, static_cast<int>(i));
    EXPECT_EQ(figure.m_SortIndex, static_cast<int>(i));
    const pln::host::StoredElement* stored = host.Element(figure.m_Element.header.guid);
    ASSERT_NE(stored, nullptr);
    EXPECT_TRUE(stored->observed);
    ASSERT_TRUE(stored->userData.has_value());
    EXPECT_EQ(stored->userData->dataVersion, 9);
    EXPECT_EQ(Text(figure, "area_symbol_str"), i == 0 ? u"1" : u"2");
    EXPECT_EQ(Text(figure, "radiusX_S"), i == 0 ? u"2000" : u"3000");
  }
  // The record holds the common part only: it reads to its end.
  CAreaEllipse reread(&doc(), 0, CItemType1Table::ITEMTYPE_NONE, CItemType2Table::ITEMTYPE_NONE, -1);
  CPlenimetraUserDataCore data;
  data.Open(CPlenimetraUserDataCore::MODE_READ, &list[1]->m_Element.header);
  reread.Serialize(data);
  EXPECT_TRUE(data.IsEOF());
  EXPECT_EQ(reread.m_Code, list[1]->m_Code);
  data.Close();
}

TEST_F(TraceTest, AnEmptyPickQueuePlacesNothingAndRecordsNoStep)
{
  EXPECT_EQ((Command<CAreaArc3Point, CAreaArc3PointTrace>()), APIERR_CANCEL);
  EXPECT_TRUE(host.UndoNames().empty());
  EXPECT_TRUE(host.ElementsOfType(API_ObjectID).empty());
  // A refused pick ends the command the same way.
  Pick(0, 0);
  Pick(5, 0);
  Pick(0, -5);
  EXPECT_EQ((Command<CAreaArcCenter, CAreaArcCenterTrace>()), APIERR_CANCEL);
  EXPECT_TRUE(host.UndoNames().empty());
}

TEST_F(TraceTest, EveryInputClassPlacesItsPartInOneStep)
{
  struct Case {
    const char16_t* part;
    std::vector<API_Coord3D> picks;
    std::function<GSErrCode()> command;
  };
  const std::vector<Case> cases{
      {CAreaTriangle::kPartName, {{0, 0}, {4, 0}, {1, 3}},
       [this] { return Command<CAreaTriangle, CAreaTriangleTrace>(); }},
      {CAreaRectSlant::kPartName, {{0, 0}, {6, 4}}, [this] { return Command<CAreaRectSlant, CAreaRectTrace>(); }},
      {CAreaRectSlant::kPartName, {{0, 0}, {6, 0}, {6, 4}},
       [this] { return Command<CAreaRectSlant, CAreaRectSlantTrace>(); }},
      {CAreaTrapezoid::kPartName, {{0, 0}, {5, 0}, {4, 2}, {1, 2}},
       [this] { return Command<CAreaTrapezoid, CAreaTrapezoidTrace>(); }},
      {CAreaCircle::kPartName, {{0, 0}, {2, 0}}, [this] { return Command<CAreaCircle, CAreaCircleTrace>(); }},
      {CAreaArc::kPartName, {{0, 0}, {2, 0}, {0, 2}}, [this] { return Command<CAreaArc, CAreaArcTrace>(); }},
      {CAreaEllipse::kPartName, {{0, 0}, {2, 0}, {0, 1}},
       [this] { return Command<CAreaEllipse, CAreaEllipseTrace>(); }},
      {CAreaArcCenter::kPartName, {{0, 0}, {5, 0}, {0, 5}},
       [this] { return Command<CAreaArcCenter, CAreaArcCenterTrace>(); }},
      {CAreaArc3Point::kPartName, {{0, 0}, {2, 0}, {1, 0.5}},
       [this] { return Command<CAreaArc3Point, CAreaArc3PointTrace>(); }}};
  std::size_t steps = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << GS::UniString(c.part).ToStdString(CC_UTF8));
    for (const API_Coord3D& p : c.picks)
      Pick(p.x, p.y);
    EXPECT_EQ(c.command(), APIERR_CANCEL);
    EXPECT_EQ(host.UndoNames().size(), ++steps);
    const CArea1Object& figure = *Last();
    const pln::host::StoredElement* stored = host.Element(figure.m_Element.header.guid);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(pln::host::LibraryPart(stored->element.object.libInd)->name, GS::UniString(c.part));
    EXPECT_TRUE(stored->observed);
    ASSERT_TRUE(stored->userData.has_value());
    EXPECT_EQ(stored->userData->dataVersion, 9);
    EXPECT_GT(figure.GetOrgArea(&doc()), 0);
    EXPECT_FALSE(const_cast<CArea1Object&>(figure).CheckStringParameter(&doc()));
  }
}
