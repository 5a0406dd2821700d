#include "CAreaUsg.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "CKelArchiveCore.h"
#include "CKelHSite.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"

namespace {

// Points in the areas are counted with a tenth of the edge band, so a point
// just off a vertex's level is not taken as level with it.
constexpr auto kAreaCrossing = CKelAreaCoord2D::Crossing::TenthTol;

// A stored area takes at least its polygon's count and five doubles.
constexpr std::uint64_t kMinAreaBytes = sizeof(std::int32_t) + 5 * sizeof(double);
// A ratio within this of a band's bound belongs to the band.
constexpr double kBandBound = 1e-5;

bool AtMost(double ratio, double bound) { return ratio - bound <= 0 || std::fabs(ratio - bound) <= kBandBound; }

// The distance of the first band whose bound the ratio does not exceed.
double Band(double ratio, std::initializer_list<std::pair<double, double>> bands, double beyond)
{
  for (const auto& [bound, distance] : bands) {
    if (AtMost(ratio, bound))
      return distance;
  }
  return beyond;
}

}  // namespace

// --- CAreaUsg ------------------------------------------------------------------------

CAreaUsg::CAreaUsg(const CKelHSite& site)
{
  for (const CKelSiteTable& v : site.m_pt)
    m_pt.emplace_back(v.m_x, v.m_y);
  m_area = site.m_area;
  m_xmin = site.m_xmin;
  m_xmax = site.m_xmax;
  m_ymin = site.m_ymin;
  m_ymax = site.m_ymax;
}

bool CAreaUsg::operator==(const CAreaUsg& other) const
{
  return CKelArea<CKelCoord2D>::operator==(other) && m_UsgTable == other.m_UsgTable;
}

bool CAreaUsg::IsNearlyEqual(const CAreaUsg& other) const
{
  return CKelArea<CKelCoord2D>::IsNearlyEqual(other) && m_UsgTable.IsNearlyEqual(other.m_UsgTable);
}

void CAreaUsg::CompareData(const char* label, const CAreaUsg& other, std::vector<std::string>& lines) const
{
  CKelAreaCoord2D::CompareData(label, other, lines);
  m_UsgTable.CompareData(label, other.m_UsgTable, lines);
}

bool CAreaUsg::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CAreaUsg");
  if (!CKelArea<CKelCoord2D>::Serialize(ar))
    return false;
  return m_UsgTable.Serialize(ar);
}

std::uint16_t CAreaUsg::GetOldUsg() const
{
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(m_UsgTable.m_Usage) | (m_UsgTable.m_NewFlag << 8));
}

SITECELL CAreaUsg::GetOldInf() const
{
  return SITECELL{m_UsgTable.m_UseCapacity, m_UsgTable.m_Coverage, static_cast<float>(m_area)};
}

SITEPARM CAreaUsg::GetOldParm() const
{
  const CUsgTable& t = m_UsgTable;
  return SITEPARM{t.m_Param1, t.m_Param2, t.m_RoadCoef, t.m_RoadSlope, t.m_RinchiSlope, t.m_RinchiHeight};
}

// --- Shared old-record helpers ----------------------------------------------------------

bool KelOldAreaPoints(const SITESAREATag& tag, const std::vector<XY_FPAIR>& points, std::vector<CKelCoord2D>& out)
{
  out.clear();
  if (tag.count <= 0)
    return true;
  if (tag.first < 0 || static_cast<std::size_t>(tag.first) + static_cast<std::size_t>(tag.count) > points.size())
    return false;
  for (int k = 0; k < tag.count; ++k) {
    const XY_FPAIR& p = points[static_cast<std::size_t>(tag.first + k)];
    out.emplace_back(p.x, p.y);
  }
  return true;
}

bool KelOldAreaTag(const CKelAreaCoord2D& polygon, int first, SITESAREATag& tag)
{
  if (polygon.m_pt.size() > static_cast<std::size_t>(KelOldZone::kMaxIndex) || first > KelOldZone::kMaxIndex)
    return false;
  tag = SITESAREATag{static_cast<float>(polygon.m_xmax), static_cast<float>(polygon.m_xmin),
                     static_cast<float>(polygon.m_ymax), static_cast<float>(polygon.m_ymin),
                     static_cast<std::int16_t>(polygon.m_pt.size()), static_cast<std::int16_t>(first)};
  return true;
}

// --- CAreaUsgArray: the site's ratios ----------------------------------------------------

int CAreaUsgArray::default_usage_data(const CKelHSite& site, const CUsgDefaultTable& table)
{
  clear();
  if (site.m_pt.empty())
    return 0;
  CAreaUsg area(site);
  CUsgTable& t = area.m_UsgTable;
  t.m_Usage = CUsgTable::kDefaultKind;
  t.m_NewFlag = 1;
  t.m_Capacity = t.m_UseCapacity = site.m_FloorAreaRatio;
  t.m_Coverage = site.m_CoverageRatio;
  if (const CUsgDefaultEntry* e = table.Find(1, CUsgTable::kDefaultKind)) {
    t.m_Param1 = e->m_Param;
    t.m_RoadCoef = static_cast<float>(e->m_RoadCoef);
    t.m_RoadSlope = static_cast<float>(e->m_RoadSlope);
    t.m_RinchiSlope = static_cast<float>(e->m_RinchiSlope);
    t.m_RinchiHeight = static_cast<float>(e->m_RinchiHeight);
  }
  t.m_Param2 = 0;
  push_back(std::move(area));
  return 1;
}

void CAreaUsgArray::CalcSitedata(CKelHSite& site) const
{
  double total = 0;
  double capacity = 0;
  double coverage = 0;
  for (const CAreaUsg& a : *this) {
    total += a.m_area;
    capacity += a.m_area * a.m_UsgTable.m_UseCapacity;
    coverage += a.m_area * a.m_UsgTable.m_Coverage;
  }
  if (total == 0)
    return;
  site.m_FloorAreaRatio = static_cast<float>(capacity / total);
  site.m_CoverageRatio = static_cast<float>(coverage / total);
}

void CAreaUsgArray::UsageCapacity(const CKelHSite& site)
{
  const float width = site.m_CapacityRoadWidth;
  for (CAreaUsg& a : *this) {
    CUsgTable& t = a.m_UsgTable;
    t.m_UseCapacity = t.m_Capacity;
    if (0 < width && width < static_cast<float>(CUsgTable::kRatioRoadWidth)) {
      const float limit = t.m_RoadCoef * width;
      if (limit < t.m_Capacity)
        t.m_UseCapacity = limit;
    }
  }
}

int CAreaUsgArray::CheckUsageData(const CKelHSite& site, int index)
{
  if (empty())
    return 0;
  const double width = site.m_CapacityRoadWidth;
  if (index >= 0 && index < GetSize())
    return (*this)[static_cast<std::size_t>(index)].m_UsgTable.check_usage_data(width);
  int result = 0;
  for (CAreaUsg& a : *this)
    result |= a.m_UsgTable.check_usage_data(width);
  return result;
}

double CAreaUsgArray::CalKenpeiArea() const
{
  double sum = 0;
  for (const CAreaUsg& a : *this)
    sum += a.m_UsgTable.m_UseCapacity * a.m_area;
  return sum;
}

double CAreaUsgArray::CalKentikuArea() const
{
  double sum = 0;
  for (const CAreaUsg& a : *this)
    sum += a.m_UsgTable.m_Coverage * a.m_area;
  return sum;
}

double CAreaUsgArray::get_darealen(int index, double ratio) const
{
  const int code = at(static_cast<std::size_t>(index)).m_UsgTable.GetUsageCode();
  if (code == 0)
    return Band(ratio, {{2, 20.0}, {3, 25.0}}, 30.0);
  if (code == 2)
    return Band(ratio, {{4, 20.0}, {6, 25.0}, {8, 30.0}, {10, 35.0}, {11, 40.0}, {12, 45.0}}, 50.0);
  return Band(ratio, {{2, 20.0}, {3, 25.0}, {4, 30.0}}, 35.0);
}

int CAreaUsgArray::check_usage(const CKelHSite& site, const CKelCoord2D& p, int* code) const
{
  if (empty()) {
    if (code != nullptr)
      *code = 0;
    return site.InArea(p, KelTol::OnEdge, KelTol::OnEdge) != 0 ? 0 : -1;
  }
  if (size() == 1) {
    if (code != nullptr)
      *code = front().m_UsgTable.GetUsageCode();
    return 0;
  }
  int candidate = -1;
  int candidateCode = 0;
  for (std::size_t i = 0; i < size(); ++i) {
    const CAreaUsg& a = (*this)[i];
    const int where = a.InArea(p, KelTol::OnEdge, KelTol::OnEdge, kAreaCrossing);
    const int usage = a.m_UsgTable.GetUsageCode();
    if (where == 1) {
      if (code != nullptr)
        *code = usage;
      return static_cast<int>(i);
    }
    if (where == -1 && (candidate < 0 || usage > candidateCode)) {
      candidate = static_cast<int>(i);
      candidateCode = usage;
    }
  }
  if (code != nullptr)
    *code = candidate < 0 ? 0 : std::max(candidateCode, 0);
  return candidate;
}

void CAreaUsgArray::ResetSitearea(CKelHSite& site)
{
  if (site.m_pt.empty())
    return;
  for (CAreaUsg& a : *this)
    a.SetArea();
  site.SetArea();
  UsageCapacity(site);
  CalcSitedata(site);
}

void CAreaUsgArray::Separate_site_data(CKelHSite& site)
{
  double total = 0;
  for (const CAreaUsg& a : *this)
    total += a.m_area;
  site.m_area = total;
  UsageCapacity(site);
  CalcSitedata(site);
}

bool CAreaUsgArray::IsOldUsg() const
{
  return std::any_of(begin(), end(), [](const CAreaUsg& a) { return a.m_UsgTable.m_NewFlag == 0; });
}

// --- CAreaUsgArray: old records ------------------------------------------------------------

bool CAreaUsgArray::FromOldParam(int n, const CAreaUsgOldParam& old)
{
  if (n < 1) {
    clear();
    return true;
  }
  const auto need = static_cast<std::size_t>(n);
  if (old.usg.size() < need || old.capacity.size() < need || old.cell.size() < need || old.area.size() < need ||
      old.parm.size() < need)
    return false;
  CAreaUsgArray list;
  for (std::size_t i = 0; i < need; ++i) {
    CAreaUsg a;
    CUsgTable& t = a.m_UsgTable;
    t.m_Usage = old.usg[i].usage;
    t.m_NewFlag = static_cast<std::uint8_t>(old.usg[i].flag);
    t.m_Capacity = old.capacity[i];
    t.m_UseCapacity = old.cell[i].FloorAreaRatio;
    t.m_Coverage = old.cell[i].CoverageRatio;
    a.m_area = old.cell[i].Area;
    const SITESAREATag& tag = old.area[i];
    a.m_xmax = tag.xmax;
    a.m_xmin = tag.xmin;
    a.m_ymax = tag.ymax;
    a.m_ymin = tag.ymin;
    const SITEPARM& parm = old.parm[i];
    t.m_Param1 = parm.param1;
    t.m_Param2 = parm.param2;
    t.m_RoadCoef = parm.roadCoef;
    t.m_RoadSlope = parm.roadSlope;
    t.m_RinchiSlope = parm.rinchiSlope;
    t.m_RinchiHeight = parm.rinchiHeight;
    if (!KelOldAreaPoints(tag, old.points, a.m_pt))
      return false;
    list.push_back(std::move(a));
  }
  static_cast<std::vector<CAreaUsg>&>(*this) = std::move(list);
  return true;
}

bool CAreaUsgArray::GetOldParam(CAreaUsgOldParam& old) const
{
  old = CAreaUsgOldParam();
  CAreaUsgOldParam out;
  for (const CAreaUsg& a : *this) {
    const CUsgTable& t = a.m_UsgTable;
    SITESAREATag tag;
    if (!KelOldAreaTag(a, static_cast<int>(out.points.size()), tag))
      return false;
    out.usg.push_back(SITEUSG{t.m_Usage, static_cast<std::int8_t>(t.m_NewFlag)});
    out.capacity.push_back(a.GetOldCap());
    out.cell.push_back(a.GetOldInf());
    out.area.push_back(tag);
    out.parm.push_back(a.GetOldParm());
    for (const CKelCoord2D& p : a.m_pt)
      out.points.push_back(XY_FPAIR{static_cast<float>(p.m_x), static_cast<float>(p.m_y)});
  }
  old = std::move(out);
  return true;
}

// --- CAreaUsgArray: compares and archive ----------------------------------------------------

bool CAreaUsgArray::operator==(const CAreaUsgArray& other) const { return KelList::Equal(*this, other); }

bool CAreaUsgArray::IsNearlyEqual(const CAreaUsgArray& other) const { return KelList::NearlyEqual(*this, other); }

void CAreaUsgArray::CompareData(const CAreaUsgArray& other, std::vector<std::string>& lines) const
{
  KelCompareAreaLists("用途地域", *this, other, lines);
}

bool CAreaUsgArray::Serialize(CKelArchiveCore& ar, int, void*, void*) { return Serialize2(ar); }

bool CAreaUsgArray::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CAreaUsgArray");
  return KelList::Serialize(ar, *this, kMinAreaBytes);
}

bool CUsgLineArray::Serialize(CKelArchiveCore& ar, int, void*, void*) { return Serialize2(ar); }

bool CUsgLineArray::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CUsgLineArray");
  return CDivLineArray::Serialize(ar);
}

// --- The site vertex's setbacks by the zoning area ----------------------------------------------

double CKelSiteTable::GetBldDistance(const CAreaUsg& usg) const
{
  return m_Sphere.m_BldBack[usg.m_UsgTable.GetUsageCode() < 3 ? 1 : 0];
}

double CKelSiteTable::GetRinchiAdoptiveDistance(const CAreaUsg& usg) const
{
  const double b = GetBldDistance(usg);
  return std::fabs(b) < KelTol::PointEqual ? m_Kanwa1 * 0.5 : m_Kanwa1 + b;
}
