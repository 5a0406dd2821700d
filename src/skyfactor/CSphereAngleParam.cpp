#include "CSphereAngleParam.h"

#include <algorithm>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelList.h"
#include "KelRecord.h"

namespace {

// The fewest archive bytes a mark takes: its fields without tags.
constexpr std::uint64_t kMinArchivedMarkBytes = 1 + 8 + 8 + 24;

// The point of the 1000 and 1001 records: three floats, widened.
bool ReadFloatPoint(CKelFileIO& f, int* budget, CKelCoord3D& p)
{
  float xyz[3] = {};
  if (!KelRecord::TakeBudget(budget, static_cast<int>(sizeof xyz)))
    return false;
  for (float& v : xyz) {
    if (!KelRecord::Read(f, v))
      return false;
  }
  p = CKelCoord3D(xyz[0], xyz[1], xyz[2]);
  return true;
}

bool ReadByteFlag(CKelFileIO& f, int* budget, bool& flag)
{
  std::uint8_t byte = 0;
  if (!KelRecord::Read(f, budget, byte))
    return false;
  flag = byte != 0;
  return true;
}

}  // namespace

bool CSphereAngleParam::operator==(const CSphereAngleParam& other) const
{
  return m_bUse == other.m_bUse && m_Coord == other.m_Coord && m_Houi == other.m_Houi &&
         m_Angle == other.m_Angle;
}

bool CSphereAngleParam::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereAngleParam");
  ar.Serialize(m_bUse);
  ar.Serialize(m_Houi);
  ar.Serialize(m_Angle);
  if (!m_Coord.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CSphereAngleParam::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, kRecord) && Write(f, static_cast<std::uint8_t>(m_bUse ? 1 : 0)) && m_Coord.SaveData(f) &&
         Write(f, m_Houi) && Write(f, m_Angle);
}

bool CSphereAngleParam::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  std::int32_t record = 0;
  if (!Read(f, budget, record))
    return false;
  bool point = false;
  switch (record) {
    case kRecordIntegerFlag: {
      // Two old indices; the mark is in use when neither is negative.
      std::int32_t a = 0, b = 0;
      if (!Read(f, budget, a) || !Read(f, budget, b))
        return false;
      m_bUse = (a | b) >= 0;
      point = ReadFloatPoint(f, budget, m_Coord);
      break;
    }
    case kRecordFloatPoint: point = ReadByteFlag(f, budget, m_bUse) && ReadFloatPoint(f, budget, m_Coord); break;
    case kRecord: point = ReadByteFlag(f, budget, m_bUse) && m_Coord.LoadData(f, budget); break;
    default: return false;
  }
  return point && Read(f, budget, m_Houi) && Read(f, budget, m_Angle);
}

bool CSphereAngleParamArray::operator==(const CSphereAngleParamArray& other) const
{
  return KelList::Equal(*this, other);
}

void CSphereAngleParamArray::SetAngleParam(const CSphereAngleParam& p)
{
  const auto same = std::find_if(begin(), end(), [&p](const CSphereAngleParam& m) { return m.m_Coord == p.m_Coord; });
  if (same != end())
    erase(same);
  else
    push_back(p);
}

bool CSphereAngleParamArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereAngleParamArray");
  return KelList::Serialize(ar, *this, kMinArchivedMarkBytes);
}

bool CSphereAngleParamArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::SaveList(f, *this);
}

bool CSphereAngleParamArray::LoadData(CKelFileIO& f, int* budget)
{
  std::int32_t count = 0;
  if (!KelRecord::Read(f, budget, count))
    return false;
  clear();
  if (count < 1)
    return true;
  if (!KelRecord::CountFits(budget, count, CSphereAngleParam::kMinRecordBytes))
    return false;
  for (std::int32_t i = 0; i < count; ++i) {
    CSphereAngleParam mark;
    if (!mark.LoadData(f, budget))
      return false;
    if (mark.m_bUse)
      push_back(mark);
  }
  return true;
}
