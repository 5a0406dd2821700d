#pragma once
// A document with the eight figure kinds registered, on the stand-in host
// with the add-on's parts loaded: figure layer, floor 0, one pattern whose
// preset is a new one (lengths cut to 0.1 mm, angles cut to 2 decimals, pi
// 314/100, small-length snap 1). Figures are placed through their own
// Create and refreshed as the palette does after placing.

#include "CAreaArc.h"
#include "CAreaArc3Point.h"
#include "CAreaArcCenter.h"
#include "CAreaCircle.h"
#include "CAreaEllipse.h"
#include "CAreaRectSlant.h"
#include "CAreaTrapezoid.h"
#include "CAreaTriangle.h"
#include "DocTestSupport.h"
#include "FigureKinds.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

inline CKelAreaCoord2D Points(std::initializer_list<CKelCoord2D> points)
{
  CKelAreaCoord2D list;
  list.m_pt = points;
  return list;
}

inline std::u16string S(const GS::UniString& text) { return text.Std(); }

class FigureTest : public ::testing::Test {
protected:
  FigureTest()
  {
    host.LoadAddOnLibraryParts();
    layer = static_cast<short>(host.AddLayer(u"メンセラ"));
    doc().m_EnvParam.m_Area1Layer = layer;
    RegisterFigureKinds(doc());
  }
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  CPlenimetraParam& doc() { return pattern.doc; }
  CRoundTypeParam& preset() { return *doc().GetRoundTypeParam(); }
  void WholeMillimetres() { preset().m_LengthRoundType.m_Digit = CRoundTypeParam::kLengthDigitMm; }

  // A new figure of the kind with the document's next code, created from
  // the points on floor 0 and, when that succeeds, listed and refreshed.
  template <class Kind>
  std::shared_ptr<Kind> Place(const CKelAreaCoord2D& points, GSErrCode* result = nullptr)
  {
    auto figure = std::make_shared<Kind>(&doc(), ++doc().m_LastArea1Code, doc().m_CurItemType1,
                                         doc().m_CurItemType2, 0);
    const GSErrCode err = figure->Create(&doc(), points, 0);
    if (result != nullptr)
      *result = err;
    else
      EXPECT_EQ(err, NoError);
    if (err != NoError || !listPlaced)
      return err != NoError ? nullptr : figure;
    doc().m_FloorParamArray[0].m_Area1ObjectArray.push_back(figure);
    EXPECT_EQ(doc().m_FloorParamArray[0].m_Area1ObjectArray.SetSortIndex(), NoError);
    EXPECT_EQ(figure->ChangeParam(&doc(), true), NoError);
    return figure;
  }

  std::u16string Text(const CArea1Object& figure, const char* name) const
  {
    const pln::host::StoredParam* param = host.Parameter(figure.m_Element.header.guid, name);
    return param != nullptr ? std::u16string(param->record.uStrValue) : u"<none>";
  }
  double Real(const CArea1Object& figure, const char* name) const
  {
    const pln::host::StoredParam* param = host.Parameter(figure.m_Element.header.guid, name);
    return param != nullptr ? param->record.realValue : -12345.0;
  }
  // Names of the parameter writes since the last clear.
  std::vector<std::string> Writes() const
  {
    std::vector<std::string> names;
    for (const auto& change : host.ParamChanges())
      names.push_back(change.name);
    return names;
  }

  HostFixture host;
  PatternDoc pattern{1};
  short layer = 0;
  bool listPlaced = true;  // Place lists, renumbers and refreshes the figure
};
