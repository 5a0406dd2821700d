#include "CLineCondEx.h"

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "CKelHSite.h"
#include "KelRecord.h"

namespace {

// Archive versions of the old layout.
constexpr int kSwitchesAsBytes = 7;
constexpr int kConditionFrom = 12;
constexpr int kDoubleParams = 17;
constexpr int kLayoutEnds = 20;

// Below version 7 both switches were one int32: 1 when set.
void SerializeSwitches(CKelArchiveCore& ar, CLineCondExCondition& cond)
{
  if (ar.GetVersion() >= kSwitchesAsBytes) {
    ar.Serialize(cond.m_bSwitch1);
    ar.Serialize(cond.m_bSwitch2);
    return;
  }
  std::int32_t both = cond.m_bSwitch1 && cond.m_bSwitch2 ? 1 : 0;
  ar.Serialize(both);
  if (ar.IsLoading())
    cond.m_bSwitch1 = cond.m_bSwitch2 = both == 1;
}

// Below version 17 the parameters were floats, the second one standing for
// the adopted road width and read back into the second and third.
void SerializeParams(CKelArchiveCore& ar, CKelSiteTable& v)
{
  CKelHsiteSphereTable& sp = v.m_Sphere;
  ar.Serialize(sp.m_Opt1);
  ar.Serialize(sp.m_Opt2);
  if (ar.GetVersion() >= kDoubleParams) {
    for (double& d : sp.m_Param)
      ar.Serialize(d);
    return;
  }
  float values[7] = {static_cast<float>(sp.m_Param[0]), static_cast<float>(v.GetAdoptRoadWidth(true)),
                     static_cast<float>(sp.m_Param[3]), static_cast<float>(sp.m_Param[4]),
                     static_cast<float>(sp.m_Param[5]), static_cast<float>(sp.m_Param[6]),
                     static_cast<float>(sp.m_Param[7])};
  for (float& f : values)
    ar.Serialize(f);
  if (!ar.IsLoading())
    return;
  sp.m_Param[0] = values[0];
  sp.m_Param[1] = sp.m_Param[2] = values[1];
  for (int k = 2; k < 7; ++k)
    sp.m_Param[k + 1] = values[k];
}

}  // namespace

bool CLineCondEx::Serialize(CKelArchiveCore& ar, CKelSiteTable* vertex)
{
  if (vertex == nullptr)
    return false;
  const int v = ar.GetVersion();
  CKelHsiteSphereTable& sp = vertex->m_Sphere;
  CLineCondExCondition& cond = vertex->m_LineCond;
  ar.SerializeTag("CLineCondEx");
  if (v < kLayoutEnds) {
    for (double& d : sp.m_BldBack)
      ar.Serialize(d);
    for (double& d : sp.m_BldBack2)
      ar.Serialize(d);
    ar.Serialize(cond.m_Back1);
    ar.Serialize(cond.m_Back2);
    ar.Serialize(sp.m_EdgeCos);
    ar.Serialize(sp.m_EdgeSin);
    ar.Serialize(sp.m_EdgeLen);
    SerializeSwitches(ar, cond);
    ar.Serialize(cond.m_Option);
  }
  SerializeParams(ar, *vertex);
  if (v < kLayoutEnds) {
    if (!sp.m_CalcFlag.Serialize(ar, vertex))
      return false;
    for (CKelCoord2D& p : sp.m_EdgePos) {
      if (!p.Serialize(ar))
        return false;
    }
  }
  if (v >= kConditionFrom && v <= kDoubleParams) {
    if (!cond.Serialize(ar))
      return false;
  }
  return ar.GetError() == 0;
}

bool CLineCondExArea::SerializeOld(CKelArchiveCore& ar, CKelHSite* site)
{
  if (site == nullptr)
    return false;
  ar.SerializeTag("CLineCondExArea");
  auto count = static_cast<std::int32_t>(size());
  ar.Serialize(count);
  if (ar.GetError() != 0 || count < 0 || count > site->GetSize()) {
    ar.SetError();
    return false;
  }
  if (ar.IsLoading())
    resize(static_cast<std::size_t>(count));
  for (std::size_t k = 0; k < size(); ++k) {
    if (!(*this)[k].Serialize(ar, &site->m_pt[k]))
      return false;
  }
  return ar.GetError() == 0;
}

bool CLineCondExArea::LoadData(CKelFileIO& f, int* remaining)
{
  std::int32_t first = 0;
  if (!KelRecord::Read(f, remaining, first))
    return false;
  std::int32_t count = first;
  if (first < 0) {
    if (first != kRecordMarker || !KelRecord::Read(f, remaining, count))
      return false;
  }
  if (count != 0)
    return false;
  clear();
  return true;
}

bool CLineCondExArea::SaveData(CKelFileIO& f) const
{
  if (!empty())
    return false;
  return KelRecord::Write(f, kRecordMarker) && KelRecord::Write(f, static_cast<std::int32_t>(0));
}
