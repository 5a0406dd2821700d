#include "CPlenimetraParamArray.h"

#include "CArchive.h"
#include "CPlenimetraParam.h"

#include <algorithm>

namespace {

// The least a stored pattern takes: its int node count.
constexpr long long kPatternBytes = 4;

}  // namespace

CPlenimetraParamArray::CPlenimetraParamArray() = default;
CPlenimetraParamArray::CPlenimetraParamArray(const CPlenimetraParamArray& other) = default;
CPlenimetraParamArray::CPlenimetraParamArray(CPlenimetraParamArray&& other) noexcept = default;
CPlenimetraParamArray& CPlenimetraParamArray::operator=(const CPlenimetraParamArray& other) = default;
CPlenimetraParamArray& CPlenimetraParamArray::operator=(CPlenimetraParamArray&& other) noexcept = default;
CPlenimetraParamArray::~CPlenimetraParamArray() = default;

bool CPlenimetraParamArray::operator==(const CPlenimetraParamArray& other) const
{
  return size() == other.size() && std::equal(begin(), end(), other.begin());
}

bool CPlenimetraParamArray::IsTreeChanged(const CPlenimetraParamArray& other) const
{
  if (size() != other.size())
    return true;
  for (std::size_t i = 0; i < size(); ++i) {
    // The tree comparison only looks objects up; it changes neither pattern.
    auto& mine = const_cast<CPlenimetraParam&>((*this)[i]);
    auto& theirs = const_cast<CPlenimetraParam&>(other[i]);
    if (mine.m_AreaTree2.IsTreeChanged(&mine, theirs.m_AreaTree2, &theirs))
      return true;
  }
  return false;
}

// Per pattern a counting pass, then the writing pass.
void CPlenimetraParamArray::Write(CFileArchive& ar)
{
  ar << int(size());
  for (CPlenimetraParam& pattern : *this) {
    if (ar.GetError() != 0)
      return;
    int count = 0;
    bool written = pattern.m_AreaTree2.Write3(ar, &pattern, &count);
    ar << count;
    written = pattern.m_AreaTree2.Write3(ar, &pattern, nullptr) && written;
    if (!written && ar.GetError() == 0)
      ar.SetError(3);
  }
}

bool CPlenimetraParamArray::Read(CFileArchive& ar)
{
  int count = 0;
  ar >> count;
  if (ar.GetError() != 0)
    return false;
  if (!ar.CanHold(count, kPatternBytes)) {
    ar.SetError(3);
    return false;
  }
  resize(std::size_t(count));
  bool read = true;
  for (CPlenimetraParam& pattern : *this) {
    if (ar.GetError() != 0)
      break;
    read = pattern.m_AreaTree2.Read3(ar, &pattern) && read;
  }
  return read && ar.GetError() == 0;
}

bool CPlenimetraParamArray::SerializeEnv(CArchive& ar)
{
  if (!ar.m_bOpen) {
    ar << int(size());
    bool written = true;
    for (CPlenimetraParam& pattern : *this) {
      int count = 0;
      written = pattern.m_AreaTree2.SerializeEnv(ar, &pattern, &count) && written;
      ar << count;
      written = pattern.m_AreaTree2.SerializeEnv(ar, &pattern, nullptr) && written;
    }
    return written;
  }
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, kPatternBytes))
    throw CArchive::kPastEnd;
  resize(std::size_t(count));
  bool read = true;
  for (CPlenimetraParam& pattern : *this)
    read = pattern.m_AreaTree2.SerializeEnv(ar, &pattern, nullptr) && read;
  return read;
}
