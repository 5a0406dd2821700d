#include "CKelCpntParam.h"

#include <algorithm>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "host_assert.h"

namespace {

// The fewest archive bytes a check point takes: its own fields without
// tags and its position; the shadow-sphere data take more on top.
constexpr std::uint64_t kMinArchivedPointBytes = 4 + 4 + 3 * 2 + 3 * 4 + 2 * 8 + 4 + 8 + 3 * 8;

}  // namespace

// --- Records of the older forms -------------------------------------------------------------

bool _CPntItem::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, x) && Write(f, y) && Write(f, z) && Write(f, m_Time) && Write(f, m_Option) && Write(f, m_No) &&
         Write(f, m_BlockNo) && Write(f, m_WallNo) && Write(f, m_TimeA) && Write(f, m_TimeB) && Write(f, m_TimeC) &&
         Write(f, m_Len1) && Write(f, m_Len2) && Write(f, m_Flag);
}

bool _CPntItem::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  _CPntItem item;
  if (!KelRecord::TakeBudget(budget, kBytes))
    return false;
  const bool ok = Read(f, item.x) && Read(f, item.y) && Read(f, item.z) && Read(f, item.m_Time) &&
                  Read(f, item.m_Option) && Read(f, item.m_No) && Read(f, item.m_BlockNo) && Read(f, item.m_WallNo) &&
                  Read(f, item.m_TimeA) && Read(f, item.m_TimeB) && Read(f, item.m_TimeC) && Read(f, item.m_Len1) &&
                  Read(f, item.m_Len2) && Read(f, item.m_Flag);
  if (ok)
    *this = item;
  return ok;
}

bool ChekPointDataTag::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, x) && Write(f, y) && Write(f, z) && Write(f, m_Time) && Write(f, m_Option) && Write(f, m_No);
}

bool ChekPointDataTag::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  ChekPointDataTag item;
  if (!KelRecord::TakeBudget(budget, kBytes))
    return false;
  const bool ok = Read(f, item.x) && Read(f, item.y) && Read(f, item.z) && Read(f, item.m_Time) &&
                  Read(f, item.m_Option) && Read(f, item.m_No);
  if (ok)
    *this = item;
  return ok;
}

// --- CKelCpntTable: points and compares ---------------------------------------------------------

void CKelCpntTable::MovePoint(int, const CKelCoord3D& p)
{
  m_x = p.m_x;
  m_y = p.m_y;
}

// A check point is one point: nothing can be added, removed or reordered.
void CKelCpntTable::InsertPoint(int, const CKelCoord3D&) { PLN_ASSERT(false); }
void CKelCpntTable::SwapCoord(int, int) { PLN_ASSERT(false); }
void CKelCpntTable::Append(const CKelCoord3D&) { PLN_ASSERT(false); }
void CKelCpntTable::DeletePoint(int) { PLN_ASSERT(false); }
void CKelCpntTable::MoveBlock(const CKelCoord2D&, const CKelCoord3D&) { PLN_ASSERT(false); }

namespace {

bool SameValues(const CKelCpntTable& a, const CKelCpntTable& b)
{
  return a.m_Time == b.m_Time && a.m_Option == b.m_Option && a.m_No == b.m_No && a.m_BlockNo == b.m_BlockNo &&
         a.m_WallNo == b.m_WallNo && a.m_TimeA == b.m_TimeA && a.m_TimeB == b.m_TimeB && a.m_TimeC == b.m_TimeC &&
         a.m_Flag == b.m_Flag && a.m_SphereParam == b.m_SphereParam;
}

}  // namespace

bool CKelCpntTable::operator==(const CKelCpntTable& other) const
{
  return CKelCoord3D::operator==(other) && SameValues(*this, other) && m_Len1 == other.m_Len1 &&
         m_Len2 == other.m_Len2;
}

bool CKelCpntTable::IsNearlyEqual(const CKelCpntTable& other) const
{
  return CKelCoord3D::IsNearlyEqual(other) && SameValues(*this, other) && fcmpNearly(m_Len1 - other.m_Len1) == 0 &&
         fcmpNearly(m_Len2 - other.m_Len2) == 0;
}

void CKelCpntTable::SetCalcSphere(bool on)
{
  m_Flag = on ? (m_Flag | kCalcSphere) : (m_Flag & ~kCalcSphere);
}

// --- CKelCpntTable: stored forms ----------------------------------------------------------------

bool CKelCpntTable::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelCpntTable");
  ar.Serialize(m_Time);
  ar.Serialize(m_Option);
  ar.Serialize(m_No);
  ar.Serialize(m_BlockNo);
  ar.Serialize(m_WallNo);
  ar.Serialize(m_TimeA);
  ar.Serialize(m_TimeB);
  ar.Serialize(m_TimeC);
  ar.Serialize(m_Len1);
  ar.Serialize(m_Len2);
  ar.Serialize(m_Flag);
  ar.Serialize(m_WallOffset);
  if (ar.GetError() != 0 || !m_SphereParam.Serialize(ar) || !CKelCoord3D::Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CKelCpntTable::Load(CKelFileIO& f, int& budget)
{
  _CPntItem item;
  if (!item.LoadData(f, &budget))
    return false;
  SetOldParam(item);
  return true;
}

bool CKelCpntTable::Save(CKelFileIO& f) const { return GetOldParam().SaveData(f); }

_CPntItem CKelCpntTable::GetOldParam() const
{
  _CPntItem item;
  item.x = static_cast<float>(m_x);
  item.y = static_cast<float>(m_y);
  item.z = static_cast<float>(m_z);
  item.m_Time = m_Time;
  item.m_Option = m_Option;
  item.m_No = m_No;
  item.m_BlockNo = m_BlockNo;
  item.m_WallNo = m_WallNo;
  item.m_TimeA = m_TimeA;
  item.m_TimeB = m_TimeB;
  item.m_TimeC = m_TimeC;
  item.m_Len1 = m_Len1;
  item.m_Len2 = m_Len2;
  item.m_Flag = m_Flag;
  return item;
}

namespace {

// The fields the two older records share.
template <class Record>
void SetHead(CKelCpntTable& p, const Record& item)
{
  p.m_x = item.x;
  p.m_y = item.y;
  p.m_z = item.z;
  p.m_Time = item.m_Time;
  p.m_Option = item.m_Option;
  p.m_No = item.m_No;
}

}  // namespace

void CKelCpntTable::SetOldParam(const _CPntItem& item)
{
  SetHead(*this, item);
  m_BlockNo = item.m_BlockNo;
  m_WallNo = item.m_WallNo;
  m_TimeA = item.m_TimeA;
  m_TimeB = item.m_TimeB;
  m_TimeC = item.m_TimeC;
  m_Len1 = item.m_Len1;
  m_Len2 = item.m_Len2;
  m_Flag = item.m_Flag;
}

void CKelCpntTable::SetOldParam(const ChekPointDataTag& item) { SetHead(*this, item); }

// --- CKelCpntParam: compares ------------------------------------------------------

bool CKelCpntParam::operator==(const CKelCpntParam& other) const { return KelList::Equal(*this, other); }

bool CKelCpntParam::IsNearlyEqual(const CKelCpntParam& other) const { return KelList::NearlyEqual(*this, other); }

std::unique_ptr<CKelCpntParamCore> CKelCpntParam::Clone() const { return std::make_unique<CKelCpntParam>(*this); }

bool CKelCpntParam::IsEqual(const CKelCpntParamCore& other) const
{
  const auto* list = dynamic_cast<const CKelCpntParam*>(&other);
  return list != nullptr && *this == *list;
}

// --- CKelCpntParam: stored forms ----------------------------------------------------------------

bool CKelCpntParam::SerializePoints(CKelArchiveCore& ar) { return KelList::Serialize(ar, *this, kMinArchivedPointBytes); }

bool CKelCpntParam::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelCpntParam");
  return ar.GetError() == 0 && SerializePoints(ar);
}

bool CKelCpntParam::Serialize(CKelArchiveCore& ar, int, void* list, void*)
{
  return static_cast<CKelCpntParam*>(list)->SerializePoints(ar);
}

namespace {

// The points of a list file; false on anything but an exact fit.
bool ReadPoints(CKelFileIO& f, int size, CKelCpntParam& list, bool& none)
{
  int budget = size - 4;
  std::int32_t count = 0;
  if (size < 4 || !KelRecord::Read(f, count) || !KelRecord::CountFits(&budget, count, _CPntItem::kBytes))
    return false;
  none = count == 0;
  for (std::int32_t i = 0; i < count; ++i) {
    CKelCpntTable point;
    if (!point.Load(f, budget))
      return false;
    list.push_back(std::move(point));
  }
  return budget == 0;
}

}  // namespace

int CKelCpntParam::ReadCPntData(CKelFileIO& f, int size, void* list)
{
  auto& points = *static_cast<CKelCpntParam*>(list);
  points.clear();
  bool none = false;
  if (!ReadPoints(f, size, points, none)) {
    points.clear();
    return 0;
  }
  // -1 is a success: the file walker this serves takes 0 for failure.
  return none ? 1 : -1;
}

bool CKelCpntParam::WriteCPntData(CKelFileIO& f, void* list)
{
  const auto& points = *static_cast<const CKelCpntParam*>(list);
  if (!KelRecord::Write(f, static_cast<std::int32_t>(points.size())))
    return false;
  return std::all_of(points.begin(), points.end(), [&f](const CKelCpntTable& p) { return p.Save(f); });
}

// --- CKelCpntParam: operations ------------------------------------------------------------------

int CKelCpntParam::DoRenumber(int i)
{
  const int n = static_cast<int>(size());
  std::vector<CKelCpntTable> kept;
  int moved = -1;
  for (int k = 0; k < n; ++k) {
    CKelCpntTable& point = (*this)[static_cast<std::size_t>(k)];
    if (point.m_No < 0)
      continue;
    if (k == i)
      moved = static_cast<int>(kept.size());
    kept.push_back(std::move(point));
  }
  kept.resize(static_cast<std::size_t>(n));
  assign(std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()));
  return moved;
}

CSelectList CKelCpntParam::GetCalcMarkSize() const
{
  CSelectList marked;
  for (std::size_t k = 0; k < size(); ++k) {
    if ((*this)[k].IsCalcSphere())
      marked.push_back(static_cast<int>(k));
  }
  return marked;
}

int CKelCpntParam::GetCpntSize(int blockNo) const
{
  return static_cast<int>(
      std::count_if(begin(), end(), [blockNo](const CKelCpntTable& p) { return p.m_BlockNo == blockNo; }));
}

void InstallCpntParamFactory()
{
  SetCpntParamFactory([]() -> std::unique_ptr<CKelCpntParamCore> { return std::make_unique<CKelCpntParam>(); });
}

// Walls must load their check points whoever reads them first, so the factory
// is installed while the program starts rather than by each caller. Nothing
// names this object, and a static library's object that nothing names is left
// out of the link; the library's target therefore asks the linker to keep it
// (CMakeLists.txt). The volume model's hook is a constant-initialised
// pointer, so the order of start-up initialisers does not matter.
extern "C" {
extern const bool pln_skyfactor_cpnt_factory_installed;
const bool pln_skyfactor_cpnt_factory_installed = (InstallCpntParamFactory(), true);
}
