// Whether automatic areas still match their source elements: one record,
// and every record of the document under a progress window. It reads the
// calculation elements, so it lives with the document rather than with the
// record, which the calculation objects build on.

#include "CAutoAreaParam.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "HostHandles.h"
#include "KelTolerance.h"
#include "host_elements.h"
#include "host_polygon2d.h"

// The floor records of calculation elements that take an automatic area's
// figures (MODE 3, on a story of the document, listing the area's source),
// by source element. Gathered in one walk over the elements: looked up per
// area and story, a large building's check (every Undo rereads and checks
// the document) grew with stories x elements x stories.
class CAutoAreaListings {
public:
  using Listing = std::pair<const CArea2Object*, const CArea2ObjectFloor*>;

  CAutoAreaListings() = default;
  explicit CAutoAreaListings(const CPlenimetraParam& param)
  {
    for (const CArea2Object& element : param.m_Area2ObjectArray)
      for (const CArea2ObjectFloor& floor : element.m_FloorArray)
        if (floor.m_Mode == CArea2ObjectFloor::MODE_AUTO && !floor.m_AutoAreaGuidArray.empty() &&
            param.m_FloorParamArray.Search(floor.m_Floor) != nullptr)
          Add(element, floor);
  }
  const std::vector<Listing>& Of(const GS::Guid& source) const
  {
    static const std::vector<Listing> none;
    const auto found = m_BySource.find(source);
    return found != m_BySource.end() ? found->second : none;
  }

private:
  // A source listed twice by one floor record counts once.
  void Add(const CArea2Object& element, const CArea2ObjectFloor& floor)
  {
    for (const GS::Guid& source : floor.m_AutoAreaGuidArray) {
      std::vector<Listing>& listings = m_BySource[source];
      if (listings.empty() || listings.back() != Listing{&element, &floor})
        listings.emplace_back(&element, &floor);
    }
  }

  std::unordered_map<GS::Guid, std::vector<Listing>> m_BySource;
};

namespace {

bool IsCutKind(CArea1Object::TYPE type)
{
  switch (type) {
  case CArea1Object::TYPE_TRIANGLE:
  case CArea1Object::TYPE_RECT:
  case CArea1Object::TYPE_RECTSLANT:
  case CArea1Object::TYPE_TRAPEZOID:
  case CArea1Object::TYPE_ARCCENTER:
  case CArea1Object::TYPE_ARC:
    return true;
  default:
    return false;
  }
}

// The figures' signed area in m2, measured as the element is: from their
// shapes, not their permit areas (the preset's pi and rounded lengths would
// set every arc, and any many-cornered outline, apart from its element);
// false when some figure cannot count (missing, of another kind, or with an
// operator that is neither).
bool SignedFigureArea(const std::vector<std::shared_ptr<CArea1Object>>& figures, double& sum)
{
  sum = 0;
  for (const std::shared_ptr<CArea1Object>& figure : figures) {
    if (figure == nullptr || !IsCutKind(figure->m_Type))
      return false;
    const double area = figure->GetShapeArea();
    switch (figure->m_AutoArea.m_Operator) {
    case COperatorTable::OPERATOR_PLUS:
      sum += area;
      break;
    case COperatorTable::OPERATOR_MINUS:
      sum -= area;
      break;
    default:
      return false;
    }
  }
  return true;
}

std::vector<int> SortedCodes(const std::vector<std::shared_ptr<CArea1Object>>& figures)
{
  std::vector<int> codes;
  for (const std::shared_ptr<CArea1Object>& figure : figures)
    codes.push_back(figure->m_Code);
  std::sort(codes.begin(), codes.end());
  return codes;
}

// The area's figures placed on story `placed` that the element lists on the
// area's own story.
std::vector<std::shared_ptr<CArea1Object>> ListedFigures(const CArea2Object& element, short areaStory, short placed,
                                                         const GS::Guid& source)
{
  std::vector<std::shared_ptr<CArea1Object>> listed;
  if (const CArea2ObjectFloor* entries = element.m_FloorArray.FindFloor(areaStory)) {
    for (const CArea2List& entry : entries->m_List) {
      const std::shared_ptr<CArea1Object>& figure = entry.m_pArea1;
      if (figure != nullptr && figure->m_Element.header.floorInd == placed && figure->m_AutoArea.m_ElemGuid == source)
        listed.push_back(figure);
    }
  }
  return listed;
}

}  // namespace

int CAutoAreaParam::CheckAutoArea(CPlenimetraParam* param)
{
  if (param == nullptr)
    return CheckAutoArea(param, CAutoAreaListings());
  return CheckAutoArea(param, CAutoAreaListings(*param));
}

int CAutoAreaParam::CheckAutoArea(CPlenimetraParam* param, const CAutoAreaListings& listings)
{
  m_bChanged = false;
  const std::vector<std::shared_ptr<CArea1Object>> figures = GetAutoArea(param);
  double sum = 0;
  if (!SignedFigureArea(figures, sum))
    m_bChanged = true;
  double element = 0;
  const int result = GetElementArea(&element);
  if (std::fabs(sum - element) > KelTol::AutoAreaChanged)
    m_bChanged = true;
  if (m_bChanged || param == nullptr)
    return result;

  // Every calculation element that takes this area's figures must list them
  // all and nothing else of it.
  const GS::Guid source = ToGSGuid(GetGuid());
  const std::vector<int> own = SortedCodes(figures);
  for (const auto& [element2, listing] : listings.Of(source)) {
    if (SortedCodes(ListedFigures(*element2, GetFloor(), listing->m_Floor, source)) != own) {
      m_bChanged = true;
      return result;
    }
  }
  return result;
}

int CAutoAreaParam::GetElementArea(double* area) const
{
  *area = 0;
  API_Element element;
  element.header.guid = GetGuid();
  switch (m_ElemHead.typeID) {
  case API_ZoneID:
    return CGSUtil::GetZoneArea2(element.header.guid, area);
  case API_SlabID:
  case API_HatchID:
  case API_PolyLineID: {
    pln::gsutil::MemoGuard guard;
    if (const GSErrCode err = ACAPI_Element_GetMemo(element.header.guid, &guard.memo); err != NoError)
      return err;
    Geometry::Polygon2DData polygon;
    const GSErrCode err = CGSUtil::ConstructPoly2DDataFromElementMemo(guard.memo, polygon);
    if (err != NoError)
      return err;
    *area = Geometry::GetPolygon2DDataArea(polygon, false);
    Geometry::FreePolygon2DData(&polygon);
    return NoError;
  }
  default:
    return NoError;
  }
}

int CPlenimetraParam::CheckAutoArea()
{
  int records = 0;
  for (const CFloorParam& floor : m_FloorParamArray)
    records += static_cast<int>(floor.m_AutoAreaParamArray.size());
  const CAutoAreaListings listings(*this);
  CDlgProgress progress;
  progress.OpenProgress("", false);
  progress.SetRange(records, "");
  for (CFloorParam& floor : m_FloorParamArray) {
    for (CAutoAreaParam& record : floor.m_AutoAreaParamArray) {
      const int err = record.CheckAutoArea(this, listings);
      progress.StepIt();
      if (err != NoError) {
        progress.Close();
        return err;
      }
      if (progress.CheckAbort()) {
        progress.Close();
        return APIERR_CANCEL;
      }
    }
  }
  progress.Close();
  return NoError;
}
