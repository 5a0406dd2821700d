#include "CUsgTable.h"

#include <cstdio>

#include "CAreaRgl.h"
#include "CKelArchiveCore.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// A ratio below this counts as not given.
constexpr double kRatioGiven = 0.01;

// Usage codes of the older numbering by kind.
int OldUsageCode(int kind)
{
  if (kind < 0)
    return 0;
  if (kind <= 1)
    return 5 + (kind & 1);
  if (kind == 2)
    return 4;
  if (kind == 3)
    return 3;
  if (kind <= 5)
    return 2;
  if (kind <= 8)
    return 1;
  return 0;
}

}  // namespace

struct CUsgTable::KindRow {
  int usage;
  double secondRoadSlope;
  double northHeight;
  double northSlope;  // 0.0 for kinds 4 and 5 under shadow regulation
};

namespace {

constexpr CUsgTable::KindRow kRows[CUsgTable::kKindCount] = {
    {5, 0.0, 5.0, 1.25},  {6, 0.0, 5.0, 1.25},  {5, 0.0, 5.0, 1.25},  {6, 0.0, 5.0, 1.25},
    {4, 1.5, 10.0, 1.25}, {4, 1.5, 10.0, 1.25}, {3, 1.5, 0.0, 0.0},   {3, 1.5, 0.0, 0.0},
    {3, 1.5, 0.0, 0.0},   {2, 0.0, 0.0, 0.0},   {2, 0.0, 0.0, 0.0},   {1, 0.0, 0.0, 0.0},
    {1, 0.0, 0.0, 0.0},   {1, 0.0, 0.0, 0.0},   {0, 0.0, 0.0, 0.0},   {5, 0.0, 5.0, 1.25},
    {6, 0.0, 5.0, 1.25},
};

}  // namespace

// --- CUsgDefaultTable ---------------------------------------------------------------

const CUsgDefaultEntry* CUsgDefaultTable::Find(int flag, int kind) const
{
  if (flag < 0 || flag > 1 || kind < 0 || kind >= static_cast<int>(m_Entry[flag].size()))
    return nullptr;
  return &m_Entry[flag][static_cast<std::size_t>(kind)];
}

// --- Per-kind values ------------------------------------------------------------------

const CUsgTable::KindRow* CUsgTable::Row() const
{
  if (!IsCurrent() || m_Usage < 0 || m_Usage >= kKindCount)
    return nullptr;
  return &kRows[m_Usage];
}

int CUsgTable::GetUsageCode() const
{
  if (m_NewFlag == 0)
    return OldUsageCode(m_Usage);
  if (!IsCurrent())
    return kRows[kDefaultKind].usage;
  const KindRow* row = Row();
  return row != nullptr ? row->usage : m_Usage;
}

double CUsgTable::GetAbsHeight() const
{
  const int code = GetUsageCode();
  return code == 6 ? 12.0 : (code == 5 ? 10.0 : 0.0);
}

double CUsgTable::GetRoadSlope(int Flag) const
{
  PLN_ASSERT(Flag == 0 || Flag == 1);
  return Flag == 0 ? GetRoadSlope1() : GetRoadSlope2();
}

double CUsgTable::GetRoadSlope2() const
{
  const KindRow* row = Row();
  return row != nullptr ? row->secondRoadSlope : 0.0;
}

double CUsgTable::GetRinchiHeight() const { return Row() != nullptr ? m_RinchiHeight : 0.0; }

double CUsgTable::GetRinchiSlope() const { return Row() != nullptr ? m_RinchiSlope : 0.0; }

double CUsgTable::GetNorthHeight() const
{
  const KindRow* row = Row();
  return row != nullptr ? row->northHeight : 0.0;
}

double CUsgTable::GetNorthSlope(const CAreaRglArray& rgl) const
{
  const KindRow* row = Row();
  if (row == nullptr)
    return 0.0;
  if ((m_Usage == 4 || m_Usage == 5) && rgl.IsRglSet())
    return 0.0;
  return row->northSlope;
}

bool CUsgTable::Get56_4Mode() const
{
  const int code = GetUsageCode();
  return IsCurrent() && (code == 3 || code == 4);
}

std::string CUsgTable::GetUsgName(const CUsgDefaultTable& table) const
{
  const CUsgDefaultEntry* e = table.Find(m_NewFlag, m_Usage);
  return e != nullptr ? e->m_Name : std::string();
}

int CUsgTable::GetAdxCode(const CUsgDefaultTable& table) const
{
  const CUsgDefaultEntry* e = table.Find(m_NewFlag, m_Usage);
  return e != nullptr ? e->m_Code : 0;
}

// --- Ratios ----------------------------------------------------------------------------

void CUsgTable::calc_usage_capacity(double roadWidth)
{
  m_UseCapacity = m_Capacity;
  if (LimitsRatio(roadWidth)) {
    const double limit = m_RoadCoef * roadWidth;
    if (limit < m_Capacity)
      m_UseCapacity = static_cast<float>(limit);
  }
}

int CUsgTable::check_usage_data(double roadWidth)
{
  const bool noCapacity = m_Capacity < kRatioGiven;
  const bool noCoverage = m_Coverage < kRatioGiven;
  if (noCapacity)
    return noCoverage ? 3 : 2;
  if (m_UseCapacity < kRatioGiven)
    calc_usage_capacity(roadWidth);
  return noCoverage ? 1 : 0;
}

// --- Compares ----------------------------------------------------------------------------

bool CUsgTable::IntegersEqual(const CUsgTable& o) const
{
  return m_Usage == o.m_Usage && m_NewFlag == o.m_NewFlag && m_Param1 == o.m_Param1 && m_Param2 == o.m_Param2;
}

namespace {

std::vector<float> Floats(const CUsgTable& t)
{
  return {t.m_Capacity, t.m_UseCapacity, t.m_Coverage, t.m_RoadCoef, t.m_RoadSlope, t.m_RinchiSlope, t.m_RinchiHeight};
}

bool Within(double d) { return -KelTol::PointEqual < d && d < KelTol::PointEqual; }

}  // namespace

bool CUsgTable::operator==(const CUsgTable& other) const
{
  if (!IntegersEqual(other))
    return false;
  const std::vector<float> a = Floats(*this);
  const std::vector<float> b = Floats(other);
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (!Within(static_cast<double>(a[k]) - b[k]))
      return false;
  }
  return true;
}

bool CUsgTable::IsNearlyEqual(const CUsgTable& other) const
{
  if (!IntegersEqual(other))
    return false;
  const std::vector<float> a = Floats(*this);
  const std::vector<float> b = Floats(other);
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (fcmpNearly(static_cast<double>(a[k]) - b[k]) != 0)
      return false;
  }
  return true;
}

void CUsgTable::CompareData(const char* label, const CUsgTable& other, std::vector<std::string>& lines) const
{
  char text[256];
  auto integer = [&](int a, int b) {
    if (a != b) {
      std::snprintf(text, sizeof text, "%s, 高さ, %d, %d", label, a, b);
      lines.emplace_back(text);
    }
  };
  auto real = [&](float a, float b) {
    if (!(a == b)) {
      std::snprintf(text, sizeof text, "%s, 高さ, %f, %f", label, static_cast<double>(a), static_cast<double>(b));
      lines.emplace_back(text);
    }
  };
  integer(m_Usage, other.m_Usage);
  integer(m_NewFlag, other.m_NewFlag);
  real(m_Capacity, other.m_Capacity);
  real(m_UseCapacity, other.m_UseCapacity);
  real(m_Coverage, other.m_Coverage);
  integer(m_Param1, other.m_Param1);
  integer(m_Param2, other.m_Param2);
  real(m_RoadCoef, other.m_RoadCoef);
  real(m_RoadSlope, other.m_RoadSlope);
  real(m_RinchiSlope, other.m_RinchiSlope);
  real(m_RinchiHeight, other.m_RinchiHeight);
}

bool CUsgTable::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CUsgTable");
  auto kind = static_cast<char>(m_Usage);
  auto flag = static_cast<unsigned char>(m_NewFlag);
  ar.Serialize(kind);
  ar.Serialize(flag);
  m_Usage = static_cast<std::int8_t>(kind);
  m_NewFlag = flag;
  ar.Serialize(m_Capacity);
  ar.Serialize(m_UseCapacity);
  ar.Serialize(m_Coverage);
  ar.Serialize(m_Param1);
  ar.Serialize(m_Param2);
  ar.Serialize(m_RoadCoef);
  ar.Serialize(m_RoadSlope);
  ar.Serialize(m_RinchiSlope);
  ar.Serialize(m_RinchiHeight);
  return ar.GetError() == 0;
}
