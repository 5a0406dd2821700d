#include "CRglTable.h"

#include <cmath>
#include <cstdio>

#include "CKelArchiveCore.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// A height this close to 300.0 above its level is the unset height.
constexpr double kNoHeightBand = 0.001;

bool Within(double d) { return -KelTol::PointEqual < d && d < KelTol::PointEqual; }

}  // namespace

CVcellTime2 CRglTable::FullDay()
{
  CVcellTime2 t;
  t.m_Field1 = 24;
  t.SetValue();
  return t;
}

bool CRglTable::GetFlag() const
{
  if (!m_Time1.IsFullDay() || !m_Time2.IsFullDay())
    return true;
  return m_Height < kNoHeight;
}

bool CRglTable::operator==(const CRglTable& other) const
{
  return m_Time1 == other.m_Time1 && m_Time2 == other.m_Time2 && Within(m_Height - other.m_Height) &&
         Within(m_AveHeight - other.m_AveHeight);
}

bool CRglTable::IsNearlyEqual(const CRglTable& other) const
{
  return m_Time1.IsNearlyEqual(other.m_Time1) && m_Time2.IsNearlyEqual(other.m_Time2) &&
         fcmpNearly(m_Height - other.m_Height) == 0 && fcmpNearly(m_AveHeight - other.m_AveHeight) == 0;
}

void CRglTable::CompareData(const char* label, const CRglTable& other, std::vector<std::string>& lines) const
{
  char text[256];
  std::snprintf(text, sizeof text, "%s, 規制時間1", label);
  m_Time1.CompareData(text, other.m_Time1, lines);
  std::snprintf(text, sizeof text, "%s, 規制時間2", label);
  m_Time2.CompareData(text, other.m_Time2, lines);
  if (!(m_Height == other.m_Height)) {
    std::snprintf(text, sizeof text, "%s, 高さ, %f, %f", label, m_Height, other.m_Height);
    lines.emplace_back(text);
  }
  if (!(m_AveHeight == other.m_AveHeight)) {
    std::snprintf(text, sizeof text, "%s, 平均地盤高さ, %f, %f", label, m_AveHeight, other.m_AveHeight);
    lines.emplace_back(text);
  }
}

bool CRglTable::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CRglTable");
  ar.Serialize(m_Height);
  ar.Serialize(m_AveHeight);
  if (ar.GetError() != 0 || !m_Time1.Serialize(ar) || !m_Time2.Serialize(ar))
    return false;
  if (std::fabs(m_Height - m_AveHeight - kNoHeight) <= kNoHeightBand) {
    m_Height = kNoHeight;
    m_AveHeight = 0;
  }
  return ar.GetError() == 0;
}
