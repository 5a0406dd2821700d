// The block's own state: kinds, planes, outline indices, heights through the
// floor profile, the flags derived from the heights, the checks, selection and
// compares. Shape operations are in CKelBlockCubeShape.cpp, stored forms in
// CKelBlockCubeRecords.cpp.

#include "CKelBlockCube.h"

#include <algorithm>
#include <cmath>

#include "KelGeometry.h"
#include "KelOutlineIndex.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

bool HeightsDiffer(double a, double b) { return std::fabs(a - b) >= KelTol::BlockPoint; }

// A field of the first vertex; zero for an empty outline.
template <class T, class Owner>
T FirstValue(const CKelBlockCoordArray& vertices, T Owner::*field)
{
  return vertices.empty() ? T{} : vertices.front().*field;
}

}  // namespace

// --- Kinds ------------------------------------------------------------------------------

void CKelBlockCube::SetBaseBlock()
{
  m_bHikage = false;
  m_bSyasen = true;
}

void CKelBlockCube::SetPlanBlock()
{
  m_bHikage = true;
  m_bSyasen = false;
}

bool CKelBlockCube::IsBaseBlock() const { return m_bSyasen && !m_bHikage; }

bool CKelBlockCube::IsPlanBlock() const { return m_bHikage && !m_bSyasen; }

int CKelBlockCube::AttrType() const { return (m_bSyasen ? 1 : 0) + (m_bHikage ? 2 : 0); }

int CKelBlockCube::KeisyaMode() const { return (m_bTopSlope ? 1 : 0) + (m_bBotSlope ? 2 : 0); }

// --- Planes ------------------------------------------------------------------------------

void CKelBlockCube::SetTopPlaneParam(double a, double b, double c, double d)
{
  m_Top[0] = a;
  m_Top[1] = b;
  m_Top[2] = c;
  m_Top[3] = d;
}

void CKelBlockCube::SetBotPlaneParam(double a, double b, double c, double d)
{
  m_Bot[0] = a;
  m_Bot[1] = b;
  m_Bot[2] = c;
  m_Bot[3] = d;
}

bool CKelBlockCube::IsPlaneEuqationSet(bool bottom) const
{
  const double* plane = Plane(bottom);
  return std::any_of(plane, plane + 4, [](double v) { return v != 0; });
}

bool CKelBlockCube::CheckPlaneParameter() const
{
  return m_Coord.size() < 3 || (IsPlaneEuqationSet(false) && IsPlaneEuqationSet(true));
}

double CKelBlockCube::Check_CalcZ(const CKelCoord2D& p, double A, double B, double C, double D)
{
  if (C == 0)
    return kNoPlaneHeight;
  return (-D - A * p.m_x - B * p.m_y) / C;
}

double CKelBlockCube::Check_CalcZH(const CKelCoord2D& p) const { return Check_CalcZ(p, m_Top[0], m_Top[1], m_Top[2], m_Top[3]); }

double CKelBlockCube::Check_CalcZL(const CKelCoord2D& p) const { return Check_CalcZ(p, m_Bot[0], m_Bot[1], m_Bot[2], m_Bot[3]); }

double CKelBlockCube::PlaneHeight(bool bottom, const CKelCoord2D& p) const
{
  const double* plane = Plane(bottom);
  if (plane[2] == 0)
    return 0;
  return (-plane[3] - plane[0] * p.m_x - plane[1] * p.m_y) / plane[2];
}

double CKelBlockCube::GetSlopeZH(const CKelCoord2D& p) const { return PlaneHeight(false, p); }

// --- Outline indices -------------------------------------------------------------------

int CKelBlockCube::NextPos(int i) const { return i + 1 >= GetSize() ? 0 : i + 1; }

int CKelBlockCube::PrevPos(int i) const { return i <= 0 ? GetSize() - 1 : i - 1; }

int CKelBlockCube::GetNextNo(int i) const
{
  const int n = GetSize();
  if (i < 0)
    return i + n;
  if (i >= n)
    return i - n;
  return i;
}

double CKelBlockCube::CalcArea(const CKelBlockCoordArray& vertices)
{
  return SignedShoelaceArea(vertices);
}

void CKelBlockCube::SetX(int PntNo, double x)
{
  PLN_ASSERT(0 <= PntNo && PntNo < GetSize());
  m_Coord[static_cast<std::size_t>(PntNo)].m_x = x;
}

void CKelBlockCube::SetY(int PntNo, double y)
{
  PLN_ASSERT(0 <= PntNo && PntNo < GetSize());
  m_Coord[static_cast<std::size_t>(PntNo)].m_y = y;
}

void CKelBlockCube::SetCoord(int PntNo, const CKelBlockCoord& c)
{
  PLN_ASSERT(0 <= PntNo && PntNo < GetSize());
  m_Coord[static_cast<std::size_t>(PntNo)] = c;
}

void CKelBlockCube::Erase(int PntNo)
{
  PLN_ASSERT(0 <= PntNo && PntNo < GetSize());
  m_Coord.erase(m_Coord.begin() + PntNo);
}

void CKelBlockCube::Append(const CKelBlockCoord& c) { m_Coord.push_back(c); }

// --- Heights ------------------------------------------------------------------------------

const CPrfPlanItem* CKelBlockCube::ItemOf(const CPrfPlanParam* prof, int ppNo)
{
  return prof != nullptr ? prof->GetCurProf(ppNo) : nullptr;
}

const CPrfPlanItem* CKelBlockCube::CurrentItem() const { return ItemOf(m_pPrfPlanParam, m_PpNo); }

void CKelBlockCube::SetZH(const CPrfPlanParam* prof, double z)
{
  const CPrfPlanItem* item = ItemOf(prof, m_PpNo);
  for (CKelBlockCoord& c : m_Coord)
    c.SetZH(z, item);
}

void CKelBlockCube::SetZL(const CPrfPlanParam* prof, double zL)
{
  const CPrfPlanItem* item = ItemOf(prof, m_PpNo);
  for (CKelBlockCoord& c : m_Coord)
    c.SetZL(zL, item);
}

void CKelBlockCube::SetFlrH(const CPrfPlanParam* prof, int flr)
{
  const CPrfPlanItem* item = ItemOf(prof, m_PpNo);
  for (CKelBlockCoord& c : m_Coord)
    c.SetFlrH(flr, item);
}

void CKelBlockCube::SetFlrL(const CPrfPlanParam* prof, int flr)
{
  const CPrfPlanItem* item = ItemOf(prof, m_PpNo);
  for (CKelBlockCoord& c : m_Coord)
    c.SetFlrL(flr, item);
}

void CKelBlockCube::SetOffH(double off)
{
  for (CKelBlockCoord& c : m_Coord)
    c.SetOffH(off);
}

void CKelBlockCube::SetOffL(double off)
{
  for (CKelBlockCoord& c : m_Coord)
    c.SetOffL(off);
}

double CKelBlockCube::ZH() const
{
  PLN_ASSERT(!m_bTopSlope);
  return FirstValue(m_Coord, &CKelCoord3D::m_z);
}

int CKelBlockCube::FlrH() const
{
  PLN_ASSERT(!m_bTopSlope);
  return FirstValue(m_Coord, &CKelBlockCoord::m_FlrH);
}

double CKelBlockCube::OffH() const
{
  PLN_ASSERT(!m_bTopSlope);
  return FirstValue(m_Coord, &CKelBlockCoord::m_OffH);
}

double CKelBlockCube::ZL() const
{
  PLN_ASSERT(!m_bBotSlope);
  return FirstValue(m_Coord, &CKelCoord3DEx::m_zL);
}

int CKelBlockCube::FlrL() const
{
  PLN_ASSERT(!m_bBotSlope);
  return FirstValue(m_Coord, &CKelBlockCoord::m_FlrL);
}

double CKelBlockCube::OffL() const
{
  PLN_ASSERT(!m_bBotSlope);
  return FirstValue(m_Coord, &CKelBlockCoord::m_OffL);
}

double CKelBlockCube::ZMax() const
{
  if (m_Coord.empty())
    return 0.0;
  if (!m_bTopSlope)
    return m_Coord.front().m_z;
  double top = m_Coord.front().m_z;
  for (const CKelBlockCoord& c : m_Coord)
    top = std::max(top, c.m_z);
  return top;
}

void CKelBlockCube::SetPpNo(const CPrfPlanParam* prof, int ppNo, int mode)
{
  m_PpNo = static_cast<std::int16_t>(ppNo);
  const CPrfPlanItem* item = ItemOf(prof, m_PpNo);
  if (mode == 0) {
    for (CKelBlockCoord& c : m_Coord) {
      c.SetZH(c.m_z, item);
      if (m_bTyuku)
        c.SetZL(c.m_zL, item);
    }
  } else if (mode == 1) {
    for (CKelBlockCoord& c : m_Coord) {
      c.SetFlrH(c.m_FlrH, item);
      if (m_bTyuku)
        c.SetFlrL(c.m_FlrL, item);
    }
  }
}

// --- Flags from the vertices -------------------------------------------------------------

void CKelBlockCube::SetType(bool tyuku)
{
  m_bTyuku = tyuku;
  if (tyuku)
    return;
  for (CKelBlockCoord& c : m_Coord) {
    c.m_zL = 0;
    c.m_FlrL = 0;
    c.m_OffL = 0;
  }
  m_bBotSlope = false;
}

bool CKelBlockCube::HeightsDiffer(bool bottom) const
{
  if (m_Coord.size() < 2)
    return false;
  const double first = m_Coord.front().GetZ(bottom);
  return std::any_of(m_Coord.begin(), m_Coord.end(),
                     [&](const CKelBlockCoord& c) { return ::HeightsDiffer(c.GetZ(bottom), first); });
}

void CKelBlockCube::SetType()
{
  m_bTyuku = HasOwnBottom(m_Coord);
  m_bBotSlope = m_bTyuku && HeightsDiffer(true);
  if (!m_bTyuku)
    SetType(false);
  m_bTopSlope = HeightsDiffer(false);
}

void CKelBlockCube::CheckSlope()
{
  m_bTopSlope = HeightsDiffer(false);
  m_bBotSlope = m_bTyuku && HeightsDiffer(true);
  if (!m_bTyuku) {
    for (CKelBlockCoord& c : m_Coord)
      c.m_zL = 0;
  }
}

void CKelBlockCube::SetTopSlope(bool slope)
{
  m_bTopSlope = slope;
  if (slope || m_Coord.empty())
    return;
  // The first of equal maxima gives its height, floor and offset to all.
  const auto highest = std::max_element(m_Coord.begin(), m_Coord.end(),
                                        [](const CKelBlockCoord& a, const CKelBlockCoord& b) { return a.m_z < b.m_z; });
  const CKelBlockCoord source = *highest;
  for (CKelBlockCoord& c : m_Coord) {
    c.m_z = source.m_z;
    c.m_FlrH = source.m_FlrH;
    c.m_OffH = source.m_OffH;
  }
}

void CKelBlockCube::SetBotSlope(bool slope)
{
  m_bBotSlope = slope;
  if (slope) {
    m_bTyuku = true;
    return;
  }
  if (m_Coord.empty())
    return;
  const auto lowest = std::min_element(m_Coord.begin(), m_Coord.end(),
                                       [](const CKelBlockCoord& a, const CKelBlockCoord& b) { return a.m_zL < b.m_zL; });
  const CKelBlockCoord source = *lowest;
  for (CKelBlockCoord& c : m_Coord) {
    c.m_zL = source.m_zL;
    c.m_FlrL = source.m_FlrL;
    c.m_OffL = source.m_OffL;
  }
}

// --- Checks -------------------------------------------------------------------------------

bool CKelBlockCube::Check_SBlockChkPlane(bool bottom, double A, double B, double C, double D) const
{
  return std::all_of(m_Coord.begin(), m_Coord.end(), [&](const CKelBlockCoord& c) {
    return std::fabs(c.GetZ(bottom) - Check_CalcZ(c, A, B, C, D)) <= KelTol::BlockPlaneFit;
  });
}

int CKelBlockCube::Check_PlaneStat()
{
  if (m_bTopSlope) {
    if (!GetPlaneEquation(false) || !Check_SBlockChkPlane(false, m_Top[0], m_Top[1], m_Top[2], m_Top[3]))
      return 1;
  }
  if (m_bTyuku && m_bBotSlope) {
    if (!GetPlaneEquation(true))
      return 1;
    if (!Check_SBlockChkPlane(true, m_Bot[0], m_Bot[1], m_Bot[2], m_Bot[3]))
      return -1;
  }
  return 0;
}

int CKelBlockCube::Check_ChukuBlock() const
{
  const bool inverted = std::any_of(m_Coord.begin(), m_Coord.end(),
                                    [](const CKelBlockCoord& c) { return c.m_z - c.m_zL <= -KelTol::BlockPoint; });
  return inverted ? 2 : 0;
}

int CKelBlockCube::Check_block_status()
{
  int status = Check_ChukuBlock() != 0 ? 16 : 0;
  const int planes = Check_PlaneStat();
  if (planes == 1)
    status += 256;
  else if (planes == -1)
    status += 384;
  return status;
}

// --- Selection ----------------------------------------------------------------------------

bool CKelBlockCube::Select_CheckBuildType(const CBlockSelectParam* p) const
{
  if (p == nullptr)
    return true;
  return (p->m_nNoBottom != 0 && !m_bTyuku) || (p->m_nTyuku != 0 && m_bTyuku) ||
         (p->m_nSlope != 0 && (m_bTopSlope || m_bBotSlope)) || (p->m_nError != 0 && m_bError) ||
         (p->m_nMark != 0 && m_bMark);
}

bool CKelBlockCube::Select_CheckMode(const CBlockSelectParam* p) const
{
  if (p == nullptr)
    return true;
  return (p->m_nNoKind != 0 && !m_bSyasen && !m_bHikage) || (p->m_nHikage != 0 && m_bHikage && !m_bSyasen) ||
         (p->m_nSyasen != 0 && m_bSyasen && !m_bHikage) || (p->m_nBothKinds != 0 && m_bSyasen && m_bHikage);
}

bool CKelBlockCube::Select_SetShow(const CBlockSelectParam* p)
{
  m_bShow = Select_CheckBuildType(p) && Select_CheckMode(p);
  return m_bShow;
}

// --- Compares -------------------------------------------------------------------------------

std::uint8_t CKelBlockCube::FlagBits(int index) const
{
  const bool flags[8] = {m_bMark, m_bTyuku, m_bTopSlope, m_bBotSlope, m_bShow, m_bError, m_bHikage, m_bSyasen};
  return flags[index] ? 1 : 0;
}

bool* CKelBlockCube::FlagAt(int index)
{
  bool* flags[8] = {&m_bMark, &m_bTyuku, &m_bTopSlope, &m_bBotSlope, &m_bShow, &m_bError, &m_bHikage, &m_bSyasen};
  return flags[index];
}

bool CKelBlockCube::operator==(const CKelBlockCube& other) const
{
  for (int k = 0; k < 8; ++k) {
    if (FlagBits(k) != other.FlagBits(k))
      return false;
  }
  return m_PpNo == other.m_PpNo && m_Value == other.m_Value && m_Coord == other.m_Coord;
}

bool CKelBlockCube::IsNearlyEqual(const CKelBlockCube& other) const
{
  for (int k = 0; k < 8; ++k) {
    if (FlagBits(k) != other.FlagBits(k))
      return false;
  }
  if (m_PpNo != other.m_PpNo || m_Value != other.m_Value || m_Coord.size() != other.m_Coord.size())
    return false;
  const double mine[13] = {m_Top[0], m_Top[1], m_Top[2], m_Top[3], m_Bot[0], m_Bot[1], m_Bot[2],
                           m_Bot[3], m_XMax,   m_XMin,   m_YMax,   m_YMin,   m_Menseki};
  const double theirs[13] = {other.m_Top[0], other.m_Top[1], other.m_Top[2], other.m_Top[3], other.m_Bot[0],
                             other.m_Bot[1], other.m_Bot[2], other.m_Bot[3], other.m_XMax,   other.m_XMin,
                             other.m_YMax,   other.m_YMin,   other.m_Menseki};
  for (int k = 0; k < 13; ++k) {
    if (fcmpNearly(mine[k] - theirs[k]) != 0)
      return false;
  }
  return std::equal(m_Coord.begin(), m_Coord.end(), other.m_Coord.begin(),
                    [](const CKelBlockCoord& a, const CKelBlockCoord& b) { return a.IsNearlyEqual(b); });
}
