// Stored forms of a block: the archive, the binary record 1002 (and the older
// 1000 and 1001), and the old index record.

#include <cstdint>

#include "CKelArchiveCore.h"
#include "CKelBlockCube.h"
#include "CKelFileIO.h"
#include "KelRecord.h"

// --- Archive ------------------------------------------------------------------------------------

bool CKelBlockCube::SerializeFields(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelBlockCube");
  ar.Serialize(m_Work);
  for (double& v : m_Top)
    ar.Serialize(v);
  for (double& v : m_Bot)
    ar.Serialize(v);
  for (double* v : {&m_XMax, &m_XMin, &m_YMax, &m_YMin, &m_Menseki})
    ar.Serialize(*v);
  ar.Serialize(m_PpNo);
  for (int k = 0; k < 8; ++k)
    ar.Serialize(*FlagAt(k));
  return ar.GetError() == 0 && m_Coord.Serialize(ar);
}

bool CKelBlockCube::Serialize(CKelArchiveCore& ar)
{
  if (ar.IsLoading()) {
    m_pPrfPlanParam = nullptr;
    m_Value = 0;
  }
  if (!SerializeFields(ar))
    return false;
  // Stored extents and area are a cache of the outline: what the vertices
  // say wins over what was stored.
  if (ar.IsLoading())
    SetMinMax();
  return ar.GetError() == 0;
}

// --- Binary record ------------------------------------------------------------------------------

bool CKelBlockCube::SaveData(CKelFileIO& f) const
{
  bool ok = KelRecord::Write(f, static_cast<std::int32_t>(kRecordNo)) && KelRecord::Write(f, m_XMax) &&
            KelRecord::Write(f, m_XMin) && KelRecord::Write(f, m_YMax) && KelRecord::Write(f, m_YMin) &&
            KelRecord::Write(f, m_Menseki) && KelRecord::Write(f, m_PpNo);
  for (int k = 0; ok && k < 8; ++k)
    ok = KelRecord::Write(f, FlagBits(k));
  for (int k = 0; ok && k < 4; ++k)
    ok = KelRecord::Write(f, m_Top[k]);
  for (int k = 0; ok && k < 4; ++k)
    ok = KelRecord::Write(f, m_Bot[k]);
  return ok && KelRecord::SaveList(f, m_Coord);
}

bool CKelBlockCube::LoadPlanes(CKelFileIO& f, int* budget, int recordNo)
{
  if (recordNo == kRecordNoNoPlanes)
    return true;
  for (double& v : m_Top) {
    if (!KelRecord::Read(f, budget, v))
      return false;
  }
  for (double& v : m_Bot) {
    if (!KelRecord::Read(f, budget, v))
      return false;
  }
  return true;
}

bool CKelBlockCube::LoadData(CKelFileIO& f, int* budget)
{
  std::int32_t recordNo = 0;
  if (!KelRecord::Read(f, budget, recordNo))
    return false;
  if (recordNo != kRecordNo && recordNo != kRecordNoNoPlanes && recordNo != kRecordNoOldPlanes)
    return false;
  bool ok = KelRecord::Read(f, budget, m_XMax) && KelRecord::Read(f, budget, m_XMin) &&
            KelRecord::Read(f, budget, m_YMax) && KelRecord::Read(f, budget, m_YMin) &&
            KelRecord::Read(f, budget, m_Menseki) && KelRecord::Read(f, budget, m_PpNo);
  for (int k = 0; ok && k < 8; ++k) {
    std::uint8_t byte = 0;
    ok = KelRecord::Read(f, budget, byte);
    *FlagAt(k) = byte != 0;
  }
  if (!ok || !LoadPlanes(f, budget, recordNo) ||
      !KelRecord::LoadList(f, budget, m_Coord, CKelBlockCoord::kRecordBytes))
    return false;
  // Older records carry no planes, or planes of their own fit: fit them from
  // the vertices, and any plane a current record left unset likewise.
  const bool refit = recordNo != kRecordNo;
  if (refit || !IsPlaneEuqationSet(false))
    GetPlaneEquation(false);
  if (refit || !IsPlaneEuqationSet(true))
    GetPlaneEquation(true);
  return true;
}

// --- Old index record ---------------------------------------------------------------------------

BldIndexTag CKelBlockCube::OldIndex() const
{
  BldIndexTag index;
  index.XMax = static_cast<float>(m_XMax);
  index.XMin = static_cast<float>(m_XMin);
  index.YMax = static_cast<float>(m_YMax);
  index.YMin = static_cast<float>(m_YMin);
  index.Menseki = static_cast<float>(m_Menseki);
  index.PntCount = static_cast<std::uint16_t>(m_Coord.size());
  index.PpNo = static_cast<std::uint16_t>(m_PpNo);
  index.Attr = static_cast<std::uint16_t>((m_bSyasen ? KelOldRecord::kAttrSyasen : 0) |
                                          (m_bHikage ? KelOldRecord::kAttrHikage : 0) |
                                          (m_bShow ? KelOldRecord::kAttrShow : 0));
  index.Kind = m_bTyuku ? KelOldRecord::kKindTyuku : KelOldRecord::kKindPlain;
  return index;
}
