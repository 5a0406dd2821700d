#include "CPrfPlanParam.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "CKelArchiveCore.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"

namespace {

// The fewest bytes one stored entry and one stored item take (version 1, no
// tags); counts read are checked against them before anything is resized.
constexpr std::uint64_t kMinFloorBytes = 2 * sizeof(double);
constexpr std::uint64_t kMinItemBytes = 4 * sizeof(std::uint16_t) + sizeof(std::int32_t);

constexpr int kOutsideProfile = -1000;

bool WithinOnEdge(double a, double b) { return std::fabs(a - b) <= KelTol::BlockOnEdge; }

bool WithinPoint(double a, double b)
{
  const double d = a - b;
  return -KelTol::BlockPoint < d && d < KelTol::BlockPoint;
}

std::string Format(const char* format, int value)
{
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), format, value);
  return buffer;
}

}  // namespace

// --- CPrfFloor -------------------------------------------------------------------

bool CPrfFloor::operator==(const CPrfFloor& other) const
{
  return WithinOnEdge(m_Height, other.m_Height) && WithinOnEdge(m_Level, other.m_Level);
}

bool CPrfFloor::IsNearlyEqual(const CPrfFloor& other) const
{
  return fcmpNearly(m_Height - other.m_Height) == 0 && fcmpNearly(m_Level - other.m_Level) == 0;
}

bool CPrfFloor::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CPrfFloor");
  ar.Serialize(m_Height);
  ar.Serialize(m_Level);
  return ar.GetError() == 0;
}

// --- CPrfFloorArray --------------------------------------------------------------

bool CPrfFloorArray::operator==(const CPrfFloorArray& other) const { return KelList::Equal(*this, other); }

bool CPrfFloorArray::IsNearlyEqual(const CPrfFloorArray& other) const { return KelList::NearlyEqual(*this, other); }

bool CPrfFloorArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CPrfFloorArray");
  return KelList::Serialize(ar, *this, kMinFloorBytes);
}

// --- CPrfPlanItem: compares and archive -----------------------------------------

bool CPrfPlanItem::operator==(const CPrfPlanItem& other) const
{
  return m_T == other.m_T && m_B == other.m_B && m_G == other.m_G && m_P == other.m_P && m_Floor == other.m_Floor;
}

bool CPrfPlanItem::IsNearlyEqual(const CPrfPlanItem& other) const
{
  return m_T == other.m_T && m_B == other.m_B && m_G == other.m_G && m_P == other.m_P &&
         m_Floor.IsNearlyEqual(other.m_Floor);
}

bool CPrfPlanItem::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CPrfPlanItem");
  ar.Serialize(m_T);
  ar.Serialize(m_B);
  ar.Serialize(m_G);
  ar.Serialize(m_P);
  if (ar.GetError() != 0 || !m_Floor.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

// --- CPrfPlanItem: conversions ---------------------------------------------------

bool CPrfPlanItem::IsUsable() const
{
  const std::size_t needed = std::max<std::size_t>(2, static_cast<std::size_t>(m_B) + m_G + 1);
  return m_Floor.size() >= needed;
}

double CPrfPlanItem::Level(int k) const
{
  if (k < 0 || static_cast<std::size_t>(k) >= m_Floor.size())
    return 0.0;
  return m_Floor[static_cast<std::size_t>(k)].m_Level;
}

void CPrfPlanItem::SetFlrLevel2(double z, int* pFlr, double* pOff) const
{
  if (!IsUsable())
    return;
  const int b = m_B;
  const int g = m_G;
  if (z >= Level(b + g)) {
    *pFlr = g;
    *pOff = z - Level(b + g);
    return;
  }
  if (z < Level(1)) {
    // Without basements the storey below L(1) is the ground floor itself.
    *pFlr = -b;
    *pOff = b > 0 ? z - Level(1) : z - Level(0);
    return;
  }
  for (int k = 2; k <= b + g; ++k) {
    if (Level(k - 1) <= z && z < Level(k)) {
      *pFlr = GetConvFlr(0, k - 1);
      *pOff = z - Level(k - 1);
      return;
    }
  }
}

int CPrfPlanItem::GetConvFlr(int mode, int value) const
{
  const int b = m_B;
  const int g = m_G;
  const int p = m_P;
  if (mode != 0) {
    const int n = value;
    if (n == 0)
      return 0;
    if (n < 0)
      return n >= -b ? n + b + 1 : kOutsideProfile;
    if (n < CPrfPlanParam::m_GMax)
      return n <= g ? b + n : kOutsideProfile;
    return n - CPrfPlanParam::m_GMax <= p ? b + g + (n - CPrfPlanParam::m_GMax) : kOutsideProfile;
  }
  const int i = value;
  if (i == 0)
    return 0;
  if (i <= b)
    return i - b - 1;
  if (i <= b + g)
    return i - b;
  // An index no profile can reach would overflow the floor number.
  if (i > std::numeric_limits<int>::max() - CPrfPlanParam::m_GMax)
    return kOutsideProfile;
  return i - b - g + CPrfPlanParam::m_GMax;
}

bool CPrfPlanItem::SBGetFlrL(int index, double* pLow, double* pHigh) const
{
  if (index > 0 && static_cast<std::size_t>(index) < m_Floor.size()) {
    *pLow = Level(index - 1);
    *pHigh = Level(index);
    return false;
  }
  if (index == 0 && !m_Floor.empty()) {
    *pLow = *pHigh = m_Floor[0].m_Height;
    return true;
  }
  *pLow = *pHigh = 0.0;
  return true;
}

void CPrfPlanItem::SBCalcEx(double base, double height)
{
  if (m_B > m_T)
    return;
  m_Floor.resize(static_cast<std::size_t>(m_T) + 1);
  for (std::size_t k = 1; k <= m_T; ++k)
    m_Floor[k].m_Height = height;
  m_Floor[0].m_Height = base;
  m_Floor[m_B].m_Level = base;
  for (std::size_t k = m_B; k >= 1; --k)
    m_Floor[k - 1].m_Level = m_Floor[k].m_Level - m_Floor[k].m_Height;
  for (std::size_t k = static_cast<std::size_t>(m_B) + 1; k <= m_T; ++k)
    m_Floor[k].m_Level = m_Floor[k - 1].m_Level + m_Floor[k].m_Height;
}

// --- CPrfPlanItem: names -----------------------------------------------------------

void CPrfPlanItem::SetContourFloorName(std::string& name, int level) const
{
  if (level < m_B)
    name = Format("B%dF", m_B - level);
  else if (level != m_T)
    name = Format("%d階", level - m_B + 1);
  else
    name = "RF";
}

void CPrfPlanItem::SetFloorName(std::string& name, int level) const
{
  if (level < m_B)
    name = Format("B%d", m_B - level);
  else if (level != m_T)
    name = Format("%d", level - m_B + 1);
  else
    name.assign(1, 'R');
}

// --- CPrfPlanItem: old records ---------------------------------------------------

int CPrfPlanItem::Compare(const PRFPLNTag& tag, std::span<const SFloorsTag> floors) const
{
  if (m_T != tag.T || m_B != tag.B || m_G != tag.G || m_P != tag.P)
    return 1;
  if (m_T == 0)
    return 0;
  const std::size_t count = static_cast<std::size_t>(m_T) + 1;
  if (floors.size() < count || m_Floor.size() < count)
    return 1;
  for (std::size_t k = 0; k < count; ++k) {
    const SFloorsTag old = floors[k];
    if (!WithinPoint(m_Floor[k].m_Height, old.Height) || !WithinPoint(m_Floor[k].m_Level, old.Level))
      return 1;
  }
  return 0;
}

PRFPLNTag CPrfPlanItem::GetOldParam() const
{
  PRFPLNTag tag;
  tag.T = m_T;
  tag.B = m_B;
  tag.G = m_G;
  tag.P = m_P;
  return tag;
}

// --- CPrfPlanParam -----------------------------------------------------------------

bool CPrfPlanParam::operator==(const CPrfPlanParam& other) const { return KelList::Equal(*this, other); }

bool CPrfPlanParam::IsNearlyEqual(const CPrfPlanParam& other) const { return KelList::NearlyEqual(*this, other); }

const CPrfPlanItem* CPrfPlanParam::GetCurProf(int PpNo) const
{
  if (PpNo < 0 || static_cast<std::size_t>(PpNo) >= size())
    return nullptr;
  return &(*this)[static_cast<std::size_t>(PpNo)];
}

CPrfPlanItem* CPrfPlanParam::GetCurProf(int PpNo)
{
  return const_cast<CPrfPlanItem*>(static_cast<const CPrfPlanParam&>(*this).GetCurProf(PpNo));
}

void CPrfPlanParam::SetZ(int PpNo, double& z, double& off, int& flr, double value) const
{
  int floor = 0;
  double offset = value;
  if (const CPrfPlanItem* item = GetCurProf(PpNo))
    item->SetFlrLevel2(value, &floor, &offset);
  z = value;
  flr = floor;
  off = offset;
}

void CPrfPlanParam::SetFlr(int PpNo, double& z, double& off, int& flr, int value) const
{
  const CPrfPlanItem* item = GetCurProf(PpNo);
  if (item == nullptr || !item->IsUsable()) {
    flr = 0;
    off = z;
    return;
  }
  const int clamped = std::max(std::min(value, static_cast<int>(item->m_G)), -static_cast<int>(item->m_B));
  double low = 0;
  double high = 0;
  item->SBGetFlrL(item->GetConvFlr(1, clamped), &low, &high);
  flr = clamped;
  z = high + off;
}

void CPrfPlanParam::SetOff(double& z, double& off, double value)
{
  z += value - off;
  off = value;
}

void CPrfPlanParam::SBCalcFL()
{
  for (CPrfPlanItem& item : *this) {
    const int sum = item.m_B + item.m_G + item.m_P;
    const auto total = static_cast<std::uint16_t>(sum);
    CPrfFloorArray& floors = item.m_Floor;
    if (floors.empty()) {
      item.m_T = total;
      continue;
    }
    // Counts whose sum wraps in 16 bits describe no profile: the basements
    // alone would reach past the entries.
    if (sum != total || floors.size() != static_cast<std::size_t>(total) + 1)
      continue;
    item.m_T = total;
    double below = 0;
    for (std::size_t k = 1; k <= item.m_B; ++k)
      below += floors[k].m_Height;
    floors[0].m_Level = floors[0].m_Height - below;
    for (std::size_t k = 1; k <= total; ++k)
      floors[k].m_Level = floors[k - 1].m_Level + floors[k].m_Height;
  }
}

int CPrfPlanParam::FlrCnt() const
{
  std::size_t count = 0;
  for (const CPrfPlanItem& item : *this)
    count += item.m_Floor.size();
  return static_cast<int>(count);
}

bool CPrfPlanParam::FromOldParam(std::span<const PRFPLNTag> tags, std::span<const SFloorsTag> floors)
{
  CPrfPlanParam scratch;
  scratch.resize(tags.size());
  for (std::size_t i = 0; i < tags.size(); ++i) {
    const PRFPLNTag tag = tags[i];
    CPrfPlanItem& item = scratch[i];
    item.m_T = tag.T;
    item.m_B = tag.B;
    item.m_G = tag.G;
    item.m_P = tag.P;
    if (tag.T == 0)
      continue;
    const std::size_t first = tag.First;
    const std::size_t count = static_cast<std::size_t>(tag.T) + 1;
    if (first > floors.size() || count > floors.size() - first)
      return false;
    for (std::size_t k = 0; k < count; ++k) {
      const SFloorsTag old = floors[first + k];
      item.m_Floor.emplace_back(static_cast<double>(old.Height), static_cast<double>(old.Level));
    }
  }
  swap(scratch);
  return true;
}

bool CPrfPlanParam::GetOldParam(std::vector<PRFPLNTag>& tags, std::vector<SFloorsTag>& floors) const
{
  tags.clear();
  floors.clear();
  std::vector<PRFPLNTag> newTags;
  std::vector<SFloorsTag> newFloors;
  for (const CPrfPlanItem& item : *this) {
    const bool holdsNothing = item.m_T == 0 && item.m_Floor.empty();
    const bool holdsAll = item.m_T > 0 && static_cast<std::size_t>(item.m_T) + 1 == item.m_Floor.size();
    // The first-entry index is 16 bits wide: a longer list cannot be told.
    if ((!holdsNothing && !holdsAll) || newFloors.size() > std::numeric_limits<std::uint16_t>::max())
      return false;
    PRFPLNTag tag = item.GetOldParam();
    tag.First = static_cast<std::uint16_t>(newFloors.size());
    newTags.push_back(tag);
    for (const CPrfFloor& floor : item.m_Floor)
      newFloors.push_back(SFloorsTag{static_cast<float>(floor.m_Height), static_cast<float>(floor.m_Level)});
  }
  tags.swap(newTags);
  floors.swap(newFloors);
  return true;
}

bool CPrfPlanParam::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CPrfPlanParam");
  return KelList::Serialize(ar, *this, kMinItemBytes);
}

bool CPrfPlanParam::Serialize(CKelArchiveCore& ar, int, void* pParam, void*)
{
  return static_cast<CPrfPlanParam*>(pParam)->Serialize2(ar);
}
