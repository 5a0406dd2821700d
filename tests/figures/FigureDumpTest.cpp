// Figures carried through a document dump: every kind is placed again in a
// fresh document from the dump's values alone, with its shape values and
// the same raw area.

#include "CArchive.h"
#include "CDocumentDump.h"
#include "FiguresTestSupport.h"

#include <cmath>

namespace {

class FigureDumpTest : public FigureTest {
protected:
  FigureDumpTest() { doc().m_FloorParamArray.push_back(MakeFloor(0)); }

  template <class Kind>
  void Add(const CKelAreaCoord2D& points)
  {
    auto figure = Place<Kind>(points);
    ASSERT_NE(figure, nullptr);
    figure->m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
    figure->m_No = int(doc().m_FloorParamArray[0].m_Area1ObjectArray.size());
    ASSERT_EQ(figure->Save(), NoError);
  }

  SandboxFiles files;
};

TEST_F(FigureDumpTest, EveryKindIsPlacedAgainWithItsShapeAndRawArea)
{
  const double a = 2.0;
  Add<CAreaTriangle>(Points({{0, 0}, {3, 0}, {1, 2}}));
  Add<CAreaRectSlant>(Points({{0, 0}, {6, 0}, {6, 4.5}, {0, 4.5}}));
  Add<CAreaTrapezoid>(Points({{0, 0}, {5, 0}, {4, 3}, {1, 3}}));
  Add<CAreaCircle>(Points({{1, 1}, {2.5, 1}}));
  Add<CAreaEllipse>(Points({{0, 0}, {2, 0}, {0.5, 1}}));
  Add<CAreaArc>(Points({{0, 0}, {1.5, 0}, {std::cos(a), std::sin(a)}}));
  Add<CAreaArcCenter>(Points({{0, 0}, {5, 0}, {0, 5}}));
  Add<CAreaArc3Point>(Points({{0, 0}, {2, 0}, {1, 0.6}}));
  const CArea1ObjectArray& source = doc().m_FloorParamArray[0].m_Area1ObjectArray;
  ASSERT_EQ(source.size(), 8u);
  doc().Export(files.Path("dump.dat"));
  ASSERT_TRUE(host.Alerts().empty());

  CPlenimetraParam imported;
  RegisterFigureKinds(imported);
  imported.Import(files.Path("dump.dat"));
  ASSERT_EQ(imported.m_FloorParamArray.size(), 1u);
  const CArea1ObjectArray& placed = imported.m_FloorParamArray[0].m_Area1ObjectArray;
  ASSERT_EQ(placed.size(), source.size());
  for (std::size_t i = 0; i < source.size(); ++i) {
    SCOPED_TRACE(int(source[i]->m_Type));
    const CArea1Object& before = *source[i];
    const CArea1Object& after = *placed[i];
    EXPECT_EQ(after.m_Type, before.m_Type);
    EXPECT_EQ(after.m_Code, before.m_Code);
    EXPECT_EQ(after.m_No, before.m_No);
    EXPECT_EQ(after.m_RoundType, CRoundTypeTable::ROUNDTYPE_UP);
    ASSERT_NE(ToGSGuid(after.m_Element.header.guid), ToGSGuid(before.m_Element.header.guid));
    EXPECT_EQ(after.GetOrgArea(&imported), before.GetOrgArea(&doc()));
    EXPECT_GT(after.GetOrgArea(&imported), 0);
    for (const char* name : CDumpFigure::ShapeNames(before.m_Type))
      EXPECT_DOUBLE_EQ(Real(after, name), Real(before, name)) << name;
  }
  ASSERT_FALSE(host.UndoNames().empty());
  EXPECT_TRUE(host.UndoNames().back() == GS::UniString(u"メンセラ[インポート]"));
}

}  // namespace
