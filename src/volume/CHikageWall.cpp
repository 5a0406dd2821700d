#include "CHikageWall.h"

#include <cstring>

#include "CKelBlockCubeArray.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// --- GFCMD payloads -------------------------------------------------------------

template <class T>
T PayloadAt(const GFCMD& record, std::size_t offset)
{
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, record.bytes + offset, sizeof(T));
  return KelByteOrder::Decode<T>(bytes);
}

std::int16_t KindOf(const GFCMD& record) { return PayloadAt<std::int16_t>(record, 0); }

template <class T>
bool SameAt(const GFCMD& a, const GFCMD& b, std::size_t offset)
{
  return PayloadAt<T>(a, offset) == PayloadAt<T>(b, offset);
}

// --- Old vertex records inside the wall record ----------------------------------

constexpr int kVersionSortNo = 15;

void SerializePoint(CKelArchiveCore& ar, BldPntTag& p)
{
  float floats[6] = {p.x, p.y, p.zL, p.z, p.OffL, p.OffH};
  short shorts[3] = {p.FlrL, p.FlrH, p.Reserved};
  for (float& v : floats)
    ar.Serialize(v);
  for (short& v : shorts)
    ar.Serialize(v);
  if (ar.IsLoading())
    p = BldPntTag{floats[0], floats[1], floats[2], floats[3], floats[4], floats[5], shorts[0], shorts[1], shorts[2]};
}

bool SavePoint(CKelFileIO& f, const BldPntTag& p)
{
  return KelRecord::Write(f, p.x) && KelRecord::Write(f, p.y) && KelRecord::Write(f, p.zL) &&
         KelRecord::Write(f, p.z) && KelRecord::Write(f, p.OffL) && KelRecord::Write(f, p.OffH) &&
         KelRecord::Write(f, p.FlrL) && KelRecord::Write(f, p.FlrH) && KelRecord::Write(f, p.Reserved);
}

bool LoadPoint(CKelFileIO& f, int* budget, BldPntTag& p)
{
  float floats[6] = {};
  std::int16_t shorts[3] = {};
  for (float& v : floats) {
    if (!KelRecord::Read(f, budget, v))
      return false;
  }
  for (std::int16_t& v : shorts) {
    if (!KelRecord::Read(f, budget, v))
      return false;
  }
  p = BldPntTag{floats[0], floats[1], floats[2], floats[3], floats[4], floats[5], shorts[0], shorts[1], shorts[2]};
  return true;
}

// The GFCMD lists of the archive: i32 count, then 10 raw bytes each.
bool SerializeCmdList(CKelArchiveCore& ar, GFCMDList& list)
{
  auto count = static_cast<std::int32_t>(list.size());
  ar.Serialize(count);
  if (ar.GetError() != 0)
    return false;
  if (ar.IsLoading()) {
    if (!KelList::CountFits(ar, count, sizeof(GFCMD))) {
      ar.SetError();
      return false;
    }
    list.resize(static_cast<std::size_t>(count));
  }
  for (GFCMD& record : list)
    ar.Serialize(record);
  return ar.GetError() == 0;
}

// The four ends of a vertex as the old record holds them.
struct WallEnd {
  float x, y, zL, z;
};

WallEnd EndOf(const BldPntTag& p) { return {p.x, p.y, p.zL, p.z}; }

WallEnd EndOf(const CKelBlockCoord& c)
{
  return {static_cast<float>(c.m_x), static_cast<float>(c.m_y), static_cast<float>(c.m_zL),
          static_cast<float>(c.m_z)};
}

bool ExactlyHolds(const CKelBlockCoord& c, const BldPntTag& stored)
{
  return c.m_x == static_cast<double>(stored.x) && c.m_y == static_cast<double>(stored.y) &&
         c.m_zL == static_cast<double>(stored.zL) && c.m_z == static_cast<double>(stored.z);
}

bool Near(float a, float b)
{
  const double d = static_cast<double>(a) - static_cast<double>(b);
  return -KelTol::BlockPoint < d && d < KelTol::BlockPoint;
}

// The vertex narrowed to floats, as the record would hold it: a vertex
// beyond 512 m can sit more than the tolerance away from its own float.
bool NearlyHolds(const CKelBlockCoord& c, const BldPntTag& stored)
{
  const WallEnd a = EndOf(stored);
  const WallEnd b = EndOf(c);
  return Near(a.x, b.x) && Near(a.y, b.y) && Near(a.zL, b.zL) && Near(a.z, b.z);
}

}  // namespace

// --- GFCMD ----------------------------------------------------------------------------

bool operator==(const GFCMD& a, const GFCMD& b)
{
  const std::int16_t kind = KindOf(a);
  if (kind != KindOf(b))
    return false;
  switch (kind) {
  case -4:
    return SameAt<std::uint16_t>(a, b, 2) && SameAt<std::uint16_t>(a, b, 4) && SameAt<std::uint32_t>(a, b, 6);
  case -3:
    return SameAt<float>(a, b, 2);
  case -2:
    return SameAt<std::uint16_t>(a, b, 2);
  case -1:
    return SameAt<std::uint16_t>(a, b, 2) && SameAt<std::uint16_t>(a, b, 4);
  case 1:
  case 2:
  case 3:
    return SameAt<float>(a, b, 2) && SameAt<float>(a, b, 6);
  default:
    return true;
  }
}

// --- CHikageWallTable -----------------------------------------------------------------

bool CHikageWallTable::operator==(const CHikageWallTable& other) const
{
  return m_IdxNo == other.m_IdxNo && m_PntNo == other.m_PntNo && m_nFlag == other.m_nFlag &&
         KelList::Equal(m_Cmd1, other.m_Cmd1) && KelList::Equal(m_Cmd2, other.m_Cmd2);
}

bool CHikageWallTable::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CHikageWallTable");
  ar.Serialize(m_IdxNo);
  ar.Serialize(m_PntNo);
  if (ar.GetVersion() >= kVersionSortNo)
    ar.Serialize(m_SortNo);
  for (float* v : {&m_Cos, &m_Sin, &m_Len, &m_YMin, &m_YMax})
    ar.Serialize(*v);
  ar.Serialize(m_nUser[0]);
  ar.Serialize(m_nUser[1]);
  ar.Serialize(m_fUser[0]);
  ar.Serialize(m_fUser[1]);
  ar.Serialize(m_nFlag);
  SerializePoint(ar, m_Pnt1);
  SerializePoint(ar, m_Pnt2);
  if (ar.GetError() != 0 || !SerializeCmdList(ar, m_Cmd1) || !SerializeCmdList(ar, m_Cmd2))
    return false;
  return ar.GetError() == 0;
}

bool CHikageWallTable::SaveData(CKelFileIO& f) const
{
  static constexpr unsigned char kReserved[32] = {};
  return KelRecord::Write(f, m_IdxNo) && KelRecord::Write(f, m_PntNo) && SavePoint(f, m_Pnt1) &&
         SavePoint(f, m_Pnt2) && KelRecord::Write(f, m_Cos) && KelRecord::Write(f, m_Sin) &&
         KelRecord::Write(f, m_Len) && KelRecord::Write(f, m_YMin) && KelRecord::Write(f, m_YMax) &&
         KelRecord::Write(f, m_nUser[0]) && KelRecord::Write(f, m_nUser[1]) && KelRecord::Write(f, m_fUser[0]) &&
         KelRecord::Write(f, m_fUser[1]) && KelRecord::Write(f, m_Block[0]) && KelRecord::Write(f, m_Block[2]) &&
         KelRecord::Write(f, m_Block[1]) && KelRecord::Write(f, m_Block[3]) && KelRecord::Write(f, m_nFlag) &&
         f.Write(kReserved, sizeof(kReserved));
}

bool CHikageWallTable::LoadData(CKelFileIO& f, int* budget)
{
  unsigned char reserved[32];
  return KelRecord::Read(f, budget, m_IdxNo) && KelRecord::Read(f, budget, m_PntNo) &&
         LoadPoint(f, budget, m_Pnt1) && LoadPoint(f, budget, m_Pnt2) && KelRecord::Read(f, budget, m_Cos) &&
         KelRecord::Read(f, budget, m_Sin) && KelRecord::Read(f, budget, m_Len) &&
         KelRecord::Read(f, budget, m_YMin) && KelRecord::Read(f, budget, m_YMax) &&
         KelRecord::Read(f, budget, m_nUser[0]) && KelRecord::Read(f, budget, m_nUser[1]) &&
         KelRecord::Read(f, budget, m_fUser[0]) && KelRecord::Read(f, budget, m_fUser[1]) &&
         KelRecord::Read(f, budget, m_Block[0]) && KelRecord::Read(f, budget, m_Block[2]) &&
         KelRecord::Read(f, budget, m_Block[1]) && KelRecord::Read(f, budget, m_Block[3]) &&
         KelRecord::Read(f, budget, m_nFlag) && KelRecord::TakeBudget(budget, sizeof(reserved)) &&
         f.Read(reserved, sizeof(reserved));
}

// --- CHikageWall: copies, compares, archive ------------------------------------------

CHikageWall::CHikageWall(const CHikageWall& other)
    : CKelObject(other),
      m_Item(other.m_Item),
      m_Cmd(other.m_Cmd),
      m_CmdLists(other.m_CmdLists),
      m_nUser(other.m_nUser),
      m_pCpnt(other.m_pCpnt ? other.m_pCpnt->Clone() : nullptr)
{
}

CHikageWall& CHikageWall::operator=(const CHikageWall& other)
{
  if (this != &other) {
    CHikageWall copy(other);
    *this = std::move(copy);
  }
  return *this;
}

void CHikageWall::SetCpntParam(std::unique_ptr<CKelCpntParamCore> points)
{
  if (points && points->GetSize() == 0)
    points.reset();
  m_pCpnt = std::move(points);
}

bool CHikageWall::operator==(const CHikageWall& other) const
{
  if (m_Item != other.m_Item)
    return false;
  const bool mineEmpty = !m_pCpnt || m_pCpnt->GetSize() == 0;
  const bool theirsEmpty = !other.m_pCpnt || other.m_pCpnt->GetSize() == 0;
  if (mineEmpty || theirsEmpty)
    return mineEmpty == theirsEmpty;
  return m_pCpnt->IsEqual(*other.m_pCpnt);
}

bool CHikageWall::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CHikageWall");
  if (ar.GetError() != 0 || !m_Item.Serialize(ar) || !SerializeCpntParam(ar))
    return false;
  return ar.GetError() == 0;
}

bool CHikageWall::SerializeCpntParam(CKelArchiveCore& ar)
{
  if (!ar.IsLoading())
    return m_pCpnt ? m_pCpnt->Serialize2(ar) : SerializeEmptyCpntParam(ar);
  const CKelCpntParamFactory factory = GetCpntParamFactory();
  if (factory == nullptr) {
    m_pCpnt.reset();
    return SerializeEmptyCpntParam(ar);
  }
  std::unique_ptr<CKelCpntParamCore> points = factory();
  if (!points || !points->Serialize2(ar))
    return false;
  SetCpntParam(std::move(points));
  return true;
}

// --- CHikageWall: frame ---------------------------------------------------------------

bool CHikageWall::IsInWall(const CKelCoord2D& p) const
{
  const double length = XMax();
  if (!(length > 0) || p.m_x < 0 || p.m_x > length)
    return false;
  const double top = (YMax2() - YMax1()) / length * p.m_x + YMax1();
  if (p.m_y > top)
    return false;
  const double bottom = p.m_x * ((YMin2() - YMin1()) / length) + YMin1();
  return !(bottom > p.m_y);
}

CKelCoord3D CHikageWall::ChangeABStoWall(const CKelCoord3D& p) const
{
  const double c = m_Item.m_Cos;
  const double s = m_Item.m_Sin;
  const double dx = p.m_x - static_cast<double>(m_Item.m_Pnt1.x);
  const double dy = p.m_y - static_cast<double>(m_Item.m_Pnt1.y);
  return CKelCoord3D(dx * c + dy * s, p.m_z, dy * c - dx * s);
}

CKelCoord3D CHikageWall::ChangeWallToABS(const CKelCoord3D& p) const
{
  const double c = m_Item.m_Cos;
  const double s = m_Item.m_Sin;
  const double x1 = m_Item.m_Pnt1.x;
  const double y1 = m_Item.m_Pnt1.y;
  return CKelCoord3D(x1 + p.m_x * c - p.m_z * s, y1 + p.m_z * c + p.m_x * s, p.m_y);
}

// --- CHikageWall: binding to a block ---------------------------------------------------

bool CHikageWall::SetWallDatParam(CKelBlockCubeArray* pBlock, int IdxNo, int PntNo1)
{
  PLN_ASSERT(pBlock != nullptr && 0 <= IdxNo && IdxNo < pBlock->Size());
  const CKelBlockCube& block = (*pBlock)[static_cast<std::size_t>(IdxNo)];
  PLN_ASSERT(0 <= PntNo1 && PntNo1 < block.GetSize());
  if (block.IsHikage())
    return false;
  const CKelBlockCoord& first = block.m_Coord[static_cast<std::size_t>(PntNo1)];
  const CKelBlockCoord& second = block.m_Coord[static_cast<std::size_t>(block.NextPos(PntNo1))];
  m_Item.m_Pnt1 = first.OldCoord();
  m_Item.m_Pnt2 = second.OldCoord();
  m_Item.m_IdxNo = IdxNo;
  m_Item.m_PntNo = PntNo1;
  m_Item.m_YMin = static_cast<float>(std::min(first.m_zL, second.m_zL));
  m_Item.m_YMax = static_cast<float>(std::max(first.m_z, second.m_z));
  double c = 0;
  double s = 0;
  double length = 0;
  CalcCosSin(first, second, &c, &s, &length);
  m_Item.m_Cos = static_cast<float>(c);
  m_Item.m_Sin = static_cast<float>(s);
  m_Item.m_Len = static_cast<float>(length);
  return true;
}

bool CHikageWall::CompareWallParam(const CKelBlockCubeArray& blocks) const
{
  if (m_Item.m_IdxNo < 0 || m_Item.m_IdxNo >= blocks.Size())
    return false;
  const CKelBlockCube& block = blocks[static_cast<std::size_t>(m_Item.m_IdxNo)];
  if (block.IsHikage() || m_Item.m_PntNo < 0 || m_Item.m_PntNo >= block.GetSize())
    return false;
  const CKelBlockCoord& first = block.m_Coord[static_cast<std::size_t>(m_Item.m_PntNo)];
  const CKelBlockCoord& second = block.m_Coord[static_cast<std::size_t>(block.NextPos(m_Item.m_PntNo))];
  return ExactlyHolds(first, m_Item.m_Pnt1) && ExactlyHolds(second, m_Item.m_Pnt2);
}

bool CHikageWall::SearchSameParam(const CKelBlockCubeArray& blocks)
{
  for (int index = 0; index < blocks.Size(); ++index) {
    const CKelBlockCube& block = blocks[static_cast<std::size_t>(index)];
    const int n = block.GetSize();
    if (block.IsHikage() || n == 0)
      continue;
    // The closing face (last, 0) first, then (0, 1), (1, 2), ...
    for (int k = 0; k < n; ++k) {
      const int a = k == 0 ? n - 1 : k - 1;
      const int b = k == 0 ? 0 : k;
      const CKelBlockCoord& first = block.m_Coord[static_cast<std::size_t>(a)];
      const CKelBlockCoord& second = block.m_Coord[static_cast<std::size_t>(b)];
      if (NearlyHolds(first, m_Item.m_Pnt1) && NearlyHolds(second, m_Item.m_Pnt2)) {
        m_Item.m_IdxNo = index;
        m_Item.m_PntNo = a;
        m_Item.m_Pnt1 = first.OldCoord();
        m_Item.m_Pnt2 = second.OldCoord();
        return true;
      }
    }
  }
  return false;
}

// --- CHikageWall: CKelObject -----------------------------------------------------------

void CHikageWall::InsertPoint(int, const CKelCoord3D&) { PLN_ASSERT(false); }
void CHikageWall::MovePoint(int, const CKelCoord3D&) { PLN_ASSERT(false); }
void CHikageWall::SwapCoord(int, int) { PLN_ASSERT(false); }
void CHikageWall::Append(const CKelCoord3D&) { PLN_ASSERT(false); }
void CHikageWall::DeletePoint(int) { PLN_ASSERT(false); }
void CHikageWall::Clear() { PLN_ASSERT(false); }
void CHikageWall::MoveBlock(const CKelCoord2D&, const CKelCoord3D&) { PLN_ASSERT(false); }

CKelCoord3D CHikageWall::GetCoord3D(int index) const
{
  PLN_ASSERT(index == 0 || index == 1);
  const BldPntTag& p = index == 0 ? m_Item.m_Pnt1 : m_Item.m_Pnt2;
  return CKelCoord3D(p.x, p.y, p.z);
}
