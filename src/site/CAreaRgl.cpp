#include "CAreaRgl.h"

#include <cstdio>

#include "CAreaUsg.h"
#include "CKelArchiveCore.h"
#include "CKelHSite.h"
#include "KelList.h"
#include "KelTolerance.h"

namespace {

// Points in the areas are counted with a tenth of the edge band, so a point
// just off a vertex's level is not taken as level with it.
constexpr auto kAreaCrossing = CKelAreaCoord2D::Crossing::TenthTol;

// A stored area takes at least its record's two doubles and a polygon.
constexpr std::uint64_t kMinAreaBytes = 2 * sizeof(double) + sizeof(std::int32_t) + 5 * sizeof(double);
// Regulated times within this (hours) count as equal.
constexpr double kTimeBand = 0.001;

}  // namespace

// --- CAreaRgl --------------------------------------------------------------------

bool CAreaRgl::operator==(const CAreaRgl& other) const
{
  return CKelArea<CKelCoord2D>::operator==(other) && m_RglTable == other.m_RglTable;
}

bool CAreaRgl::IsNearlyEqual(const CAreaRgl& other) const
{
  return CKelArea<CKelCoord2D>::IsNearlyEqual(other) && m_RglTable.IsNearlyEqual(other.m_RglTable);
}

void CAreaRgl::CompareData(const char* label, const CAreaRgl& other, std::vector<std::string>& lines) const
{
  CKelAreaCoord2D::CompareData(label, other, lines);
  m_RglTable.CompareData(label, other.m_RglTable, lines);
}

void CAreaRgl::copy_carea_data(const CRglCalcArea& calc)
{
  m_xmin = calc.m_Value[1];
  m_ymin = calc.m_Value[2];
  m_xmax = calc.m_Value[3];
  m_ymax = calc.m_Value[4];
  m_pt = {{m_xmin, m_ymin}, {m_xmax, m_ymin}, {m_xmax, m_ymax}, {m_xmin, m_ymax}};
}

RGL_ARY CAreaRgl::GetOldTbl() const
{
  return RGL_ARY{m_RglTable.m_Time1.GetOldParam(), m_RglTable.m_Time2.GetOldParam(),
                 static_cast<float>(m_RglTable.m_Height)};
}

bool CAreaRgl::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CAreaRgl");
  if (!m_RglTable.Serialize(ar))
    return false;
  return CKelArea<CKelCoord2D>::Serialize(ar);
}

// --- CAreaRglArray: look-ups ---------------------------------------------------------

int CAreaRglArray::default_regulate_data(const CKelHSite& site, const CRglCalcArea& calc)
{
  clear();
  if (site.m_pt.empty())
    return 0;
  CAreaRgl area;
  area.copy_carea_data(calc);
  push_back(std::move(area));
  return 1;
}

bool CAreaRglArray::IsRglSet() const
{
  return std::any_of(begin(), end(), [](const CAreaRgl& a) { return a.m_RglTable.GetFlag(); });
}

int CAreaRglArray::GetRegArea2(const CKelCoord2D& p) const
{
  for (std::size_t i = 0; i < size(); ++i) {
    if ((*this)[i].InArea(p, KelTol::OnEdge, KelTol::OnEdge, kAreaCrossing) != 0)
      return static_cast<int>(i);
  }
  return -1;
}

double CAreaRglArray::GetRegHeight2(const CKelCoord2D& p) const
{
  const int i = GetRegArea2(p);
  return i < 0 ? CRglTable::kNoHeight : (*this)[static_cast<std::size_t>(i)].m_RglTable.m_Height;
}

int CAreaRglArray::check_regulate(const CKelHSite& site, const CKelCoord2D& p, int* flag) const
{
  if (empty()) {
    if (flag != nullptr)
      *flag = 0;
    return site.InArea(p, KelTol::OnEdge, KelTol::OnEdge) != 0 ? 0 : -1;
  }
  if (size() == 1) {
    if (flag != nullptr)
      *flag = front().m_RglTable.GetFlag() ? 1 : 0;
    return 0;
  }
  int best = -1;
  double bestTime = 24.0;
  double bestHeight = CRglTable::kNoHeight;
  int found = 0;
  for (std::size_t i = 0; i < size(); ++i) {
    const CAreaRgl& a = (*this)[i];
    const CRglTable& t = a.m_RglTable;
    const int where = a.InArea(p, KelTol::OnEdge, KelTol::OnEdge, kAreaCrossing);
    if (where == 1) {
      if (flag != nullptr)
        *flag = t.GetFlag() ? 1 : 0;
      return static_cast<int>(i);
    }
    if (where != -1)
      continue;
    const double time = t.m_Time1.m_Value;
    if (best < 0) {
      best = static_cast<int>(i);
      found = t.GetFlag() ? 1 : 0;
      if (t.GetFlag() && 24.0 - time > kTimeBand) {
        bestTime = time;
        bestHeight = t.m_Height;
      }
    } else if (t.GetFlag()) {
      const double d = bestTime - time;
      if (d >= -kTimeBand && (d > kTimeBand || t.m_Height < bestHeight)) {
        best = static_cast<int>(i);
        found = 1;
        bestTime = time;
        bestHeight = t.m_Height;
      }
    }
  }
  if (flag != nullptr)
    *flag = found;
  return best;
}

// --- CAreaRglArray: old records ---------------------------------------------------------

bool CAreaRglArray::FromOldParam(int n, const CAreaRglOldParam& old)
{
  if (n < 1) {
    clear();
    return true;
  }
  const auto need = static_cast<std::size_t>(n);
  if (old.rgl.size() < need || old.area.size() < need)
    return false;
  CAreaRglArray list;
  for (std::size_t i = 0; i < need; ++i) {
    CAreaRgl a;
    a.m_RglTable.m_Time1 = CVcellTime2(old.rgl[i].time1);
    a.m_RglTable.m_Time2 = CVcellTime2(old.rgl[i].time2);
    a.m_RglTable.m_Height = old.rgl[i].height;
    const SITESAREATag& tag = old.area[i];
    a.m_xmax = tag.xmax;
    a.m_xmin = tag.xmin;
    a.m_ymax = tag.ymax;
    a.m_ymin = tag.ymin;
    if (!KelOldAreaPoints(tag, old.points, a.m_pt))
      return false;
    list.push_back(std::move(a));
  }
  static_cast<std::vector<CAreaRgl>&>(*this) = std::move(list);
  return true;
}

bool CAreaRglArray::GetOldParam(CAreaRglOldParam& old) const
{
  old = CAreaRglOldParam();
  CAreaRglOldParam out;
  for (const CAreaRgl& a : *this) {
    SITESAREATag tag;
    if (!KelOldAreaTag(a, static_cast<int>(out.points.size()), tag))
      return false;
    out.rgl.push_back(a.GetOldTbl());
    out.flags.push_back(a.GetOldFlg());
    out.area.push_back(tag);
    for (const CKelCoord2D& p : a.m_pt)
      out.points.push_back(XY_FPAIR{static_cast<float>(p.m_x), static_cast<float>(p.m_y)});
  }
  old = std::move(out);
  return true;
}

// --- CAreaRglArray: compares and archive -------------------------------------------------

bool CAreaRglArray::operator==(const CAreaRglArray& other) const { return KelList::Equal(*this, other); }

bool CAreaRglArray::CheckSyasenCheckCondition(const CAreaRglArray& other) const
{
  return size() == other.size() &&
         std::equal(begin(), end(), other.begin(),
                    [](const CAreaRgl& a, const CAreaRgl& b) { return a.CheckSyasenCheckCondition(b); });
}

bool CAreaRglArray::IsNearlyEqual(const CAreaRglArray& other) const { return KelList::NearlyEqual(*this, other); }

void CAreaRglArray::CompareData(const CAreaRglArray& other, std::vector<std::string>& lines) const
{
  KelCompareAreaLists("日影規制", *this, other, lines);
}

bool CAreaRglArray::Serialize(CKelArchiveCore& ar, int, void*, void*) { return Serialize2(ar); }

bool CAreaRglArray::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CAreaRglArray");
  return KelList::Serialize(ar, *this, kMinAreaBytes);
}

bool CRglLineArray::Serialize(CKelArchiveCore& ar, int, void*, void*) { return Serialize2(ar); }

bool CRglLineArray::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CRglLineArray");
  return CDivLineArray::Serialize(ar);
}
