#include "CHikageSphereParam.h"

#include "CAdjFile.h"
#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelList.h"
#include "KelRecord.h"

// --- CHikageSphereParam ------------------------------------------------------------------

void CHikageSphereParam::Clear()
{
  m_SphereRatioBlock.Clear();
  m_CpntNo = -1;
  m_AngleParam.clear();
}

bool CHikageSphereParam::operator==(const CHikageSphereParam& other) const
{
  return m_AngleParam == other.m_AngleParam && m_SphereRatioBlock == other.m_SphereRatioBlock &&
         m_CpntNo == other.m_CpntNo;
}

bool CHikageSphereParam::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CHikageSphereParam");
  ar.Serialize(m_CpntNo);
  if (ar.GetError() != 0 || !m_SphereRatioBlock.Serialize(ar) || !m_AngleParam.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CHikageSphereParam::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, kRecord) && m_SphereRatioBlock.SaveData(f) && m_AngleParam.SaveData(f) && Write(f, m_CpntNo);
}

bool CHikageSphereParam::LoadData(CKelFileIO& f, int* budget)
{
  std::int32_t record = 0;
  if (!KelRecord::Read(f, budget, record) || record != kRecord)
    return false;
  return m_SphereRatioBlock.LoadData(f, budget) && m_AngleParam.LoadData(f, budget) &&
         KelRecord::Read(f, budget, m_CpntNo);
}

// --- CHikageSphereParamArray ----------------------------------------------------------------

bool CHikageSphereParamArray::operator==(const CHikageSphereParamArray& other) const
{
  return KelList::Equal(*this, other);
}

int CHikageSphereParamArray::Search(int no) const
{
  for (std::size_t i = 0; i < size(); ++i) {
    if ((*this)[i].m_CpntNo == no)
      return static_cast<int>(i);
  }
  return -1;
}

bool CHikageSphereParamArray::SaveData(const char* path)
{
  return CAdjFile::Save(path, CAdjFile::ID_SPHERE_PARAM, &CHikageSphereParamArray::SaveData, this);
}

bool CHikageSphereParamArray::SaveData(CKelFileIO& f, void* list, void* /*reserved*/)
{
  return KelRecord::SaveList(f, *static_cast<const CHikageSphereParamArray*>(list));
}

namespace {

// The body of block 9 or 175. Entries are read one by one into the list
// rather than made by resizing to the stored count, so a forged count costs
// no more memory than the bytes that back it.
bool ReadBody(CKelFileIO& f, int len, CHikageSphereParamArray& list)
{
  int budget = len - 4;
  std::int32_t count = 0;
  if (len < 4 || !KelRecord::Read(f, count))
    return false;
  if (!KelRecord::CountFits(&budget, count, CHikageSphereParam::kMinRecordBytes))
    return false;
  for (std::int32_t i = 0; i < count; ++i) {
    CHikageSphereParam entry;
    if (!entry.LoadData(f, &budget))
      return false;
    list.push_back(std::move(entry));
  }
  return budget == 0;
}

int ReadBlock(CKelFileIO& f, int len, void* list)
{
  auto& entries = *static_cast<CHikageSphereParamArray*>(list);
  entries.clear();
  if (ReadBody(f, len, entries))
    return 1;
  // A failed read hands over nothing of what it read.
  entries.clear();
  return 0;
}

}  // namespace

int CHikageSphereParamArray::ReadData(CKelFileIO& f, int len, void* list, void* /*reserved*/)
{
  return ReadBlock(f, len, list);
}

int CHikageSphereParamArray::ReadData2(CKelFileIO& f, int len, void* list, void* /*reserved*/)
{
  return ReadBlock(f, len, list);
}

bool CHikageSphereParamArray::LoadData2(const char* path)
{
  clear();
  int result = LoadPL2FileEx(path, kOldBlockId, &CHikageSphereParamArray::ReadData2, this, nullptr);
  if (result == -1)
    result = CAdjFile::Load(path, CAdjFile::ID_SPHERE_PARAM, &CHikageSphereParamArray::ReadData, this, nullptr);
  if (result == 0) {
    clear();
    return false;
  }
  return true;
}
