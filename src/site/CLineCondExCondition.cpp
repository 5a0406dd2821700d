#include "CLineCondExCondition.h"

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "CKelSiteTable.h"
#include "KelRecord.h"

namespace {

// Archive versions that moved parts of the condition.
constexpr int kConditionFrom = 12;
constexpr int kCutModeInCondition = 20;
constexpr int kOptionInCondition = 36;

}  // namespace

bool CSyasenCheckCalcFlag::operator==(const CSyasenCheckCalcFlag& o) const
{
  return m_Flag1 == o.m_Flag1 && m_Flag2 == o.m_Flag2 && m_Flag3 == o.m_Flag3;
}

bool CSyasenCheckCalcFlag::Serialize(CKelArchiveCore& ar, CKelSiteTable* vertex)
{
  ar.SerializeTag("CSyasenCheckCalcFlag");
  ar.Serialize(m_Flag1);
  ar.Serialize(m_Flag2);
  ar.Serialize(m_Flag3);
  if (ar.GetVersion() < kCutModeInCondition) {
    CLineCondExCondition scratch;
    CLineCondExCondition& cond = vertex != nullptr ? vertex->m_LineCond : scratch;
    ar.Serialize(reinterpret_cast<char&>(cond.m_BackSwitch));
    ar.Serialize(reinterpret_cast<char&>(cond.m_BackSwitch2));
    ar.Serialize(reinterpret_cast<char&>(cond.m_CutMode));
  }
  return ar.GetError() == 0;
}

bool CSyasenCheckCalcFlag::LoadData(CKelFileIO& f, int* remaining, int /*reserved*/)
{
  return KelRecord::Read(f, remaining, m_Flag1) && KelRecord::Read(f, remaining, m_Flag2) &&
         KelRecord::Read(f, remaining, m_Flag3);
}

bool CSyasenCheckCalcFlag::SaveData(CKelFileIO& f, int /*reserved*/) const
{
  return KelRecord::Write(f, m_Flag1) && KelRecord::Write(f, m_Flag2) && KelRecord::Write(f, m_Flag3);
}

bool CLineCondExCondition::operator==(const CLineCondExCondition& o) const
{
  return m_Number1 == o.m_Number1 && m_CalcKind == o.m_CalcKind && m_bSwitch1 == o.m_bSwitch1 &&
         m_bSwitch2 == o.m_bSwitch2 && m_BackSwitch == o.m_BackSwitch && m_BackSwitch2 == o.m_BackSwitch2 &&
         m_Back1 == o.m_Back1 && m_Back2 == o.m_Back2 && m_Option == o.m_Option && m_bSwitch3 == o.m_bSwitch3 &&
         m_CutMode == o.m_CutMode;
}

bool CLineCondExCondition::Serialize(CKelArchiveCore& ar)
{
  const int v = ar.GetVersion();
  if (v < kConditionFrom)
    return ar.GetError() == 0;
  ar.SerializeTag("CLineCondExCondition");
  if (!m_CalcKind.Serialize(ar))
    return false;
  ar.Serialize(m_Number1);
  ar.Serialize(m_bSwitch1);
  ar.Serialize(m_bSwitch2);
  ar.Serialize(reinterpret_cast<char&>(m_BackSwitch));
  ar.Serialize(reinterpret_cast<char&>(m_BackSwitch2));
  ar.Serialize(m_Back1);
  ar.Serialize(m_Back2);
  ar.Serialize(m_bSwitch3);
  if (v >= kCutModeInCondition)
    ar.Serialize(reinterpret_cast<char&>(m_CutMode));
  if (v >= kOptionInCondition)
    ar.Serialize(m_Option);
  return ar.GetError() == 0;
}
