#include "CSphereRatioParam.h"

#include <cmath>
#include <cstring>

#include "KelList.h"
#include "KelSnap.h"
#include "KelTolerance.h"
#include "host_assert.h"

// --- CSphereRatioRecord ------------------------------------------------------------------------

namespace {

// Offsets of the packed record.
constexpr std::size_t kLeadAt = 0;
constexpr std::size_t kPointAt = 4;
constexpr std::size_t kRatiosAt = 28;
constexpr std::size_t kTailAt = 44;

// The record's bytes are little-endian and unaligned: every field goes
// through memcpy, never through a pointer into the bytes.
template <class T>
void Put(SphereRatio& raw, std::size_t at, const T& value)
{
  std::memcpy(raw.bytes + at, &value, sizeof value);
}

template <class T>
T Get(const SphereRatio& raw, std::size_t at)
{
  T value{};
  std::memcpy(&value, raw.bytes + at, sizeof value);
  return value;
}

}  // namespace

bool CSphereRatioRecord::operator==(const CSphereRatioRecord& other) const
{
  return m_Lead == other.m_Lead && m_x == other.m_x && m_y == other.m_y && m_z == other.m_z &&
         m_BaseRatio == other.m_BaseRatio && m_PlanRatio == other.m_PlanRatio &&
         std::equal(std::begin(m_Tail), std::end(m_Tail), std::begin(other.m_Tail));
}

SphereRatio CSphereRatioRecord::ToRaw() const
{
  SphereRatio raw;
  Put(raw, kLeadAt, m_Lead);
  const double values[] = {m_x, m_y, m_z, m_BaseRatio, m_PlanRatio};
  for (std::size_t k = 0; k < 5; ++k)
    Put(raw, kPointAt + 8 * k, values[k]);
  for (std::size_t k = 0; k < 5; ++k)
    Put(raw, kTailAt + 4 * k, m_Tail[k]);
  return raw;
}

CSphereRatioRecord CSphereRatioRecord::FromRaw(const SphereRatio& raw)
{
  CSphereRatioRecord r;
  r.m_Lead = Get<std::int32_t>(raw, kLeadAt);
  r.m_x = Get<double>(raw, kPointAt);
  r.m_y = Get<double>(raw, kPointAt + 8);
  r.m_z = Get<double>(raw, kPointAt + 16);
  r.m_BaseRatio = Get<double>(raw, kRatiosAt);
  r.m_PlanRatio = Get<double>(raw, kRatiosAt + 8);
  for (std::size_t k = 0; k < 5; ++k)
    r.m_Tail[k] = Get<std::int32_t>(raw, kTailAt + 4 * k);
  return r;
}

// --- CSphereRatioParam: compares and the point --------------------------------------------------

bool CSphereRatioParam::operator==(const CSphereRatioParam& o) const
{
  return m_RatioRecord == o.m_RatioRecord && m_BegPoint == o.m_BegPoint && m_EndPoint == o.m_EndPoint &&
         m_bUsePoint == o.m_bUsePoint && m_bBaseCut == o.m_bBaseCut && m_PlanResult == o.m_PlanResult &&
         m_BaseResult == o.m_BaseResult && m_PlanResult1 == o.m_PlanResult1 && m_BaseResult1 == o.m_BaseResult1 &&
         m_WorkPlanResult == o.m_WorkPlanResult && m_WorkBaseResult == o.m_WorkBaseResult &&
         m_BlockList == o.m_BlockList && m_BaseRatio1 == o.m_BaseRatio1 && m_PlanRatio1 == o.m_PlanRatio1 &&
         m_WorkBaseRatio == o.m_WorkBaseRatio && m_WorkPlanRatio == o.m_WorkPlanRatio &&
         m_BaseAngle == o.m_BaseAngle && m_PlanAngle == o.m_PlanAngle && m_EdgePointBase == o.m_EdgePointBase &&
         m_EdgePointPlan == o.m_EdgePointPlan && m_BaseIndex == o.m_BaseIndex && m_SectionLine == o.m_SectionLine;
}

CKelCoord3D CSphereRatioParam::GetCoord3D(int Index) const
{
  PLN_ASSERT(Index == 0);
  return {m_RatioRecord.m_x, m_RatioRecord.m_y, m_RatioRecord.m_z};
}

// A check point is made once with its position; it is never edited as a
// point list.
void CSphereRatioParam::InsertPoint(int, const CKelCoord3D&) { PLN_ASSERT(false); }
void CSphereRatioParam::MovePoint(int, const CKelCoord3D&) { PLN_ASSERT(false); }
void CSphereRatioParam::SwapCoord(int, int) { PLN_ASSERT(false); }
void CSphereRatioParam::Append(const CKelCoord3D&) { PLN_ASSERT(false); }
void CSphereRatioParam::DeletePoint(int) { PLN_ASSERT(false); }
void CSphereRatioParam::Clear() { PLN_ASSERT(false); }
void CSphereRatioParam::MoveBlock(const CKelCoord2D&, const CKelCoord3D&) { PLN_ASSERT(false); }

// --- Ratios ------------------------------------------------------------------------------------

namespace {

constexpr double kFifthDecimal = 100000.0;

}  // namespace

// The product is snapped before the ceiling or floor, so a ratio that is a
// whole number of 1e-5 (0.29) stays itself instead of losing a step to the
// product's round-off.
double CSphereRatioParam::GetBaseValue(double v)
{
  return v < 0 ? v : KelSnap::Ceil(v * kFifthDecimal) / kFifthDecimal;
}

double CSphereRatioParam::GetPlanValue(double v)
{
  return v < 0 ? v : KelSnap::Floor(v * kFifthDecimal) / kFifthDecimal;
}

bool CSphereRatioParam::GetCurrentSphereRatio(int set, double** base, double** plan)
{
  PLN_ASSERT(set == 0 || set == 1);
  if (base != nullptr)
    *base = set == 0 ? &m_RatioRecord.m_BaseRatio : &m_BaseRatio1;
  if (plan != nullptr)
    *plan = set == 0 ? &m_RatioRecord.m_PlanRatio : &m_PlanRatio1;
  return true;
}

void CSphereRatioParam::DeleteSphereRatioBaseBlock1(int set)
{
  PLN_ASSERT(set == 0 || set == 1);
  double* ratio = nullptr;
  GetCurrentSphereRatio(set, &ratio, nullptr);
  *ratio = -1.0;
  (set == 0 ? m_BaseResult : m_BaseResult1).Clear();
  m_BaseIndex = -1;
  m_BaseAngle.clear();
}

void CSphereRatioParam::DeleteSphereRatioPlanBlock1(int set)
{
  PLN_ASSERT(set == 0 || set == 1);
  double* ratio = nullptr;
  GetCurrentSphereRatio(set, nullptr, &ratio);
  *ratio = -1.0;
  (set == 0 ? m_PlanResult : m_PlanResult1).Clear();
  m_PlanAngle.clear();
}

void CSphereRatioParam::DeleteSphereWorkRatioBaseBlock1()
{
  m_WorkBaseRatio = -1.0;
  m_WorkBaseResult.Clear();
}

void CSphereRatioParam::DeleteSphereWorkRatioPlanBlock1()
{
  m_WorkPlanRatio = -1.0;
  m_WorkPlanResult.Clear();
}

// --- CSphereRatioParamArray ----------------------------------------------------------------------

CKelObject* CSphereRatioParamArray::GetElement(int Index)
{
  PLN_ASSERT(0 <= Index && Index < static_cast<int>(size()));
  return &(*this)[static_cast<std::size_t>(Index)];
}

void CSphereRatioParamArray::AddElement(const CKelObject* pItem)
{
  const auto* param = dynamic_cast<const CSphereRatioParam*>(pItem);
  PLN_ASSERT(pItem != NULL && param != nullptr);
  push_back(*param);
}

void CSphereRatioParamArray::Erase(int Index)
{
  PLN_ASSERT(0 <= Index && Index < static_cast<int>(size()));
  erase(begin() + Index);
}

CSphereRatioParam* CSphereRatioParamArray::GetSphereRatioParam(int i)
{
  return i < 0 || i >= static_cast<int>(size()) ? nullptr : &(*this)[static_cast<std::size_t>(i)];
}

bool CSphereRatioParamArray::IsExisted(const CSphereRatioParam& param) const
{
  const CKelCoord3D p = param.GetCoord3D(0);
  return std::any_of(begin(), end(), [&p](const CSphereRatioParam& e) {
    const CKelCoord3D q = e.GetCoord3D(0);
    return std::fabs(q.m_x - p.m_x) < KelTol::SkyCheckPointSame && std::fabs(q.m_y - p.m_y) < KelTol::SkyCheckPointSame &&
           std::fabs(q.m_z - p.m_z) < KelTol::SkyCheckPointSame;
  });
}

bool CSphereRatioParamArray::operator==(const CSphereRatioParamArray& other) const
{
  return KelList::Equal(*this, other);
}
