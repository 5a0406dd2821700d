#include "CHostMemoryStream.h"

#include <cstring>
#include <limits>

namespace {

// The largest text each length width carries back.
std::uint64_t LongestText(CHostMemoryStream::Length width)
{
  switch (width) {
  case CHostMemoryStream::Length::Signed16:
    return std::numeric_limits<std::int16_t>::max();
  case CHostMemoryStream::Length::Unsigned16:
    return std::numeric_limits<std::uint16_t>::max();
  case CHostMemoryStream::Length::Unsigned32:
    break;
  }
  // A whole text and its zero must fit the handle's int-sized positions.
  return std::numeric_limits<int>::max() - 1;
}

}  // namespace

CHostMemoryStream::~CHostMemoryStream() { Release(); }

bool CHostMemoryStream::StartWriting()
{
  Release();
  m_bWriting = true;
  m_Handle = BMAllocateHandle(0, ALLOCATE_CLEAR, 0);
  m_bFailed = m_Handle == nullptr;
  return !m_bFailed;
}

void CHostMemoryStream::StartReading(GSHandle handle)
{
  Release();
  m_Handle = handle;
}

void CHostMemoryStream::Release()
{
  BMKillHandle(&m_Handle);
  m_nPos = 0;
  m_bWriting = false;
  m_bFailed = false;
}

int CHostMemoryStream::GetSize() const { return static_cast<int>(BMGetHandleSize(m_Handle)); }

std::uint64_t CHostMemoryStream::RemainingBytes() const
{
  if (m_bWriting)
    return std::numeric_limits<std::uint64_t>::max();
  const int size = GetSize();
  return size > m_nPos ? std::uint64_t(size - m_nPos) : 0;
}

bool CHostMemoryStream::CanHold(long long count, long long bytesEach) const
{
  if (count < 0)
    return false;
  if (count == 0 || bytesEach <= 0)
    return true;
  return std::uint64_t(count) <= RemainingBytes() / std::uint64_t(bytesEach);
}

void CHostMemoryStream::Fail(unsigned int code)
{
  m_bFailed = true;
  throw code;
}

void CHostMemoryStream::Write(const void* data, int size)
{
  // Not started for writing: no record to write to. Started without
  // memory: the record could not be made.
  if (!m_bWriting)
    Fail(kNoData);
  if (m_Handle == nullptr)
    Fail(kNoMemory);
  if (size <= 0)
    return;
  const long long end = static_cast<long long>(m_nPos) + size;
  const bool grow = end > GetSize();
  if (end > std::numeric_limits<int>::max() ||
      (grow && BMReallocHandle(m_Handle, static_cast<GSSize>(end), ALLOCATE_CLEAR, 0) == nullptr))
    Fail(kNoMemory);
  std::memcpy(*m_Handle + m_nPos, data, static_cast<std::size_t>(size));
  m_nPos = static_cast<int>(end);
}

void CHostMemoryStream::Read(void* data, int size)
{
  if (m_Handle == nullptr)
    throw kNoData;
  if (size < 0 || std::uint64_t(size) > RemainingBytes())
    throw kPastEnd;
  if (size == 0)
    return;
  std::memcpy(data, *m_Handle + m_nPos, static_cast<std::size_t>(size));
  m_nPos += size;
}

void CHostMemoryStream::PutBool(bool value) { Put<unsigned char>(value ? 1 : 0); }

bool CHostMemoryStream::GetBool() { return Get<unsigned char>() != 0; }

void CHostMemoryStream::PutText(std::string_view bytes, Length width)
{
  if (bytes.size() > LongestText(width))
    Fail(kTooLong);
  switch (width) {
  case Length::Signed16:
    Put(static_cast<std::int16_t>(bytes.size()));
    break;
  case Length::Unsigned16:
    Put(static_cast<std::uint16_t>(bytes.size()));
    break;
  case Length::Unsigned32:
    Put(static_cast<std::uint32_t>(bytes.size()));
    break;
  }
  Write(bytes.data(), static_cast<int>(bytes.size()));
  Put<char>(0);
}

std::string CHostMemoryStream::GetText(Length width)
{
  long long length = 0;
  switch (width) {
  case Length::Signed16:
    length = Get<std::int16_t>();
    break;
  case Length::Unsigned16:
    length = Get<std::uint16_t>();
    break;
  case Length::Unsigned32:
    length = Get<std::uint32_t>();
    break;
  }
  // Checked in 64 bits before anything is allocated.
  if (length < 0 || std::uint64_t(length) + 1 > RemainingBytes())
    throw kPastEnd;
  std::string text(static_cast<std::size_t>(length), '\0');
  Read(text.data(), static_cast<int>(length));
  Get<char>();  // the terminator
  return text;
}
