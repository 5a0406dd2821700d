// Every figure kind against arbitrary stored data: a user-data record of
// any version read by each kind, then dimensions from the input (NaN,
// infinities, huge values included) stored on its placed part and its
// element record, measured, formatted, checked and refreshed. Input: two
// bytes of record version, one byte of record length, the record, then
// doubles for the dimensions (used in turn). No crash, no sanitizer finding,
// no handle left behind.

#include "CAreaArc.h"
#include "CAreaArc3Point.h"
#include "CAreaArcCenter.h"
#include "CAreaCircle.h"
#include "CAreaEllipse.h"
#include "CAreaRectSlant.h"
#include "CAreaTrapezoid.h"
#include "CAreaTriangle.h"
#include "CPlenimetraParam.h"
#include "FigureKinds.h"
#include "HostFuzzSupport.h"
#include "host_elements.h"
#include "host_goodies.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using HostFuzz::Check;

// Every numeric dimension any kind keeps on its part.
const char* const kDimensions[] = {"A", "B", "dx", "dx2", "ArcRadius", "ArcAngle", "ArcRadiusX", "ArcRadiusY",
                                   "x1", "y1", "x2", "y2", "x3", "y3"};

class Doubles {
public:
  Doubles(const std::uint8_t* data, std::size_t size)
  {
    for (std::size_t i = 0; i + sizeof(double) <= size; i += sizeof(double)) {
      double v = 0;
      std::memcpy(&v, data + i, sizeof v);
      m_Values.push_back(v);
    }
  }
  double Next() { return m_Values.empty() ? 0.0 : m_Values[m_Next++ % m_Values.size()]; }

private:
  std::vector<double> m_Values;
  std::size_t m_Next = 0;
};

// Stores dimensions on the placed part (as a user's edit of its
// parameters would) and in the figure's record.
void StoreDimensions(CArea1Object& figure, Doubles& values)
{
  API_ParamOwnerType owner;
  owner.typeID = API_ObjectID;
  owner.guid = figure.m_Element.header.guid;
  if (ACAPI_Goodies('OPAR', &owner) == NoError) {
    for (const char* name : kDimensions) {
      API_ChangeParamType change;
      std::strncpy(change.name, name, sizeof change.name - 1);
      change.realValue = values.Next();
      ACAPI_Goodies('CHGP', &change);
    }
    API_GetParamsType got;
    const GSErrCode err = ACAPI_Goodies('GPAR', &got);
    ACAPI_Goodies('CPAR');
    if (err == NoError) {
      API_Element element = figure.m_Element;
      API_ElementMemo memo;
      memo.params = got.params;
      ACAPI_Element_Change(&element, nullptr, &memo, APIMemoMask_AddPars, true);
      ACAPI_DisposeAddParHdl(&memo.params);
    }
  }
  API_ObjectType& object = figure.m_Element.object;
  object.xRatio = values.Next();
  object.yRatio = values.Next();
  object.angle = values.Next();
  object.pos = {values.Next(), values.Next()};
}

template <class Kind>
void Exercise(HostFixture& host, CPlenimetraParam& doc, const CKelAreaCoord2D& points,
              const HostFuzz::UserDataInput& record, Doubles& values)
{
  auto figure = std::make_shared<Kind>(&doc, ++doc.m_LastArea1Code, CItemType1Table::ITEMTYPE_CIRCLE,
                                       CItemType2Table::ITEMTYPE_DECIMAL, 0);
  if (figure->Create(&doc, points, 0) != NoError)
    return;
  const API_Guid guid = figure->m_Element.header.guid;
  Check(host.SetUserData(guid, record.version, HostFuzz::kPlatformSign, record.bytes) == NoError);
  figure->Load(&doc, &figure->m_Element.header);
  Check(figure->m_Element.header.guid == guid);

  StoreDimensions(*figure, values);
  figure->GetOrgArea(&doc);
  figure->GetRoundArea(&doc);
  figure->GetEquation(&doc, false, values.Next());
  figure->GetEquation(&doc, true, 40);
  figure->CheckStringParameter(&doc);
  figure->ChangeParam(&doc, false);
  figure->ChangeParam(&doc, true);
  figure->GetOrgArea(&doc);
  figure->CheckStringParameter(&doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 3)
    return 0;
  HostFixture host;
  host.LoadAddOnLibraryParts();
  CPlenimetraParam doc;
  doc.m_FloorParamArray.push_back(CFloorParam(0, GS::UniString(u"1F"), true, {}, {}, {}, {}, {}));
  doc.m_EnvParam.m_Area1Layer = 1;
  RegisterFigureKinds(doc);

  const std::size_t length = std::min<std::size_t>(data[2], size - 3);
  HostFuzz::UserDataInput record;
  std::memcpy(&record.version, data, 2);
  record.bytes.assign(data + 3, data + 3 + length);
  Doubles values(data + 3 + length, size - 3 - length);

  const auto pts = [](std::initializer_list<CKelCoord2D> p) {
    CKelAreaCoord2D list;
    list.m_pt = p;
    return list;
  };
  Exercise<CAreaTriangle>(host, doc, pts({{0, 0}, {4, 0}, {1, 3}}), record, values);
  Exercise<CAreaRectSlant>(host, doc, pts({{0, 0}, {6, 0}, {6, 4}, {0, 4}}), record, values);
  Exercise<CAreaTrapezoid>(host, doc, pts({{0, 0}, {5, 0}, {4, 2}, {1, 2}}), record, values);
  Exercise<CAreaCircle>(host, doc, pts({{0, 0}, {2, 0}}), record, values);
  Exercise<CAreaArc>(host, doc, pts({{0, 0}, {2, 0}, {0, 2}}), record, values);
  Exercise<CAreaEllipse>(host, doc, pts({{0, 0}, {2, 0}, {0, 1}}), record, values);
  Exercise<CAreaArcCenter>(host, doc, pts({{0, 0}, {5, 0}, {0, 5}}), record, values);
  Exercise<CAreaArc3Point>(host, doc, pts({{0, 0}, {2, 0}, {1, 0.5}}), record, values);
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
