#include "CPlenimetraUserDataCore.h"

#include "CLayerControl.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <cstring>
#include <limits>
#include <string>

CPlenimetraUserDataCore::~CPlenimetraUserDataCore() { Close(); }

void CPlenimetraUserDataCore::Open(MODE mode, const API_Elem_Head* element)
{
  PLN_ASSERT(element != nullptr && mode != MODE_CLOSE);
  Close();
  m_Error = 0;
  m_Mode = mode;
  m_Element = *element;
  m_bHaveElement = true;
  m_nPos = 0;
  if (mode == MODE_WRITE)
    OpenForWriting();
  else
    OpenForReading();
}

void CPlenimetraUserDataCore::OpenForWriting()
{
  m_UserData = API_UserData{};
  m_UserData.platformSign = kPlatformSign;
  m_UserData.dataHdl = BMAllocateHandle(0, ALLOCATE_CLEAR, 0);
  if (m_UserData.dataHdl == nullptr) {
    m_Error = APIERR_MEMFULL;
    return;
  }
  *this << m_UserDataType;
}

void CPlenimetraUserDataCore::OpenForReading()
{
  m_UserData = API_UserData{};
  const GSErrCode err = ACAPI_Element_GetUserData(&m_Element, &m_UserData);
  // A deleted element's record is still handed out, and still wanted.
  m_Error = err == APIERR_DELETED ? NoError : err;
  if (m_Error == NoError)
    *this >> m_UserDataType;
}

void CPlenimetraUserDataCore::Close()
{
  if (m_Mode == MODE_WRITE && m_Error == NoError)
    StoreOnElement();
  BMKillHandle(&m_UserData.dataHdl);
  m_Mode = MODE_CLOSE;
}

// The element's layer may be hidden or locked; the store is a write to the
// element, so the layer is opened for it and put back afterwards.
void CPlenimetraUserDataCore::StoreOnElement()
{
  m_UserData.flags = 0;
  CLayerControl layer(m_Element.layer);
  m_Error = ACAPI_Element_SetUserData(&m_Element, &m_UserData);
  layer.Reset();
}

int CPlenimetraUserDataCore::GetDataSize() const { return int(BMGetHandleSize(m_UserData.dataHdl)); }

std::uint64_t CPlenimetraUserDataCore::RemainingBytes() const
{
  if (m_Mode == MODE_WRITE)
    return std::numeric_limits<std::uint64_t>::max();
  const int size = GetDataSize();
  return size > m_nPos ? std::uint64_t(size - m_nPos) : 0;
}

bool CPlenimetraUserDataCore::CanHold(long long count, long long bytesEach) const
{
  if (count < 0)
    return false;
  if (count == 0 || bytesEach <= 0)
    return true;
  return std::uint64_t(count) <= RemainingBytes() / std::uint64_t(bytesEach);
}

// A failure leaves the record unwritten: Close then stores nothing.
void CPlenimetraUserDataCore::Write(const void* data, int size)
{
  PLN_ASSERT(m_Mode == MODE_WRITE);
  if (m_UserData.dataHdl == nullptr || size < 0) {
    m_Error = APIERR_MEMFULL;
    return;
  }
  if (size == 0)
    return;
  const long long end = (long long)m_nPos + size;
  const bool grow = end > GetDataSize();
  if (end > std::numeric_limits<int>::max() ||
      (grow && BMReallocHandle(m_UserData.dataHdl, GSSize(end), ALLOCATE_CLEAR, 0) == nullptr)) {
    m_Error = APIERR_MEMFULL;
    return;
  }
  std::memcpy(*m_UserData.dataHdl + m_nPos, data, std::size_t(size));
  m_nPos = int(end);
}

void CPlenimetraUserDataCore::Read(void* data, int size)
{
  PLN_ASSERT(m_Mode == MODE_READ);
  if (m_UserData.dataHdl == nullptr)
    throw kNoData;
  if (size < 0 || std::uint64_t(size) > RemainingBytes())
    throw kPastEnd;
  std::memcpy(data, *m_UserData.dataHdl + m_nPos, std::size_t(size));
  m_nPos += size;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(CMyUserDataCore::TYPE value)
{
  const Int32 raw = value;
  Write(&raw, sizeof raw);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(bool value)
{
  const char byte = value ? 1 : 0;
  Write(&byte, 1);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(short value)
{
  Write(&value, sizeof value);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(int value)
{
  Write(&value, sizeof value);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(long long value)
{
  Write(&value, sizeof value);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(double value)
{
  Write(&value, sizeof value);
  return *this;
}

// A text longer than the 16-bit length can carry back fails the record
// (APIERR_BADPARS): Close then stores nothing rather than a cut text.
CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(const char* text)
{
  const char* safe = text == nullptr ? "" : text;
  const std::size_t length = std::strlen(safe);
  if (length > std::size_t(kMaxTextBytes)) {
    m_Error = APIERR_BADPARS;
    return *this;
  }
  const short n = short(length);
  Write(&n, sizeof n);
  Write(safe, int(length) + 1);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(const GS::Guid& guid)
{
  return *this << guid.ToUniString().ToStdString(CC_Default).c_str();
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(CMyUserDataCore::TYPE& value)
{
  Int32 raw = 0;
  Read(&raw, sizeof raw);
  value = CMyUserDataCore::TYPE(raw);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(bool& value)
{
  char byte = 0;
  Read(&byte, 1);
  value = byte != 0;
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(short& value)
{
  Read(&value, sizeof value);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(int& value)
{
  Read(&value, sizeof value);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(long long& value)
{
  Read(&value, sizeof value);
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(double& value)
{
  Read(&value, sizeof value);
  return *this;
}

// A text that is no GUID leaves the GUID as it was.
CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(GS::Guid& guid)
{
  guid.ConvertFromString(ReadText().c_str());
  return *this;
}

// The stored length is checked against what remains before anything is
// allocated or copied.
std::string CPlenimetraUserDataCore::ReadText()
{
  short n = 0;
  Read(&n, sizeof n);
  if (n < 0 || std::uint64_t(n) + 1 > RemainingBytes())
    throw kPastEnd;
  std::string text(std::size_t(n) + 1, '\0');
  Read(text.data(), n + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

void CPlenimetraUserDataCore::ReadCString(char* text, int capacity)
{
  PLN_ASSERT(text != nullptr && capacity > 0);
  text[0] = '\0';
  const std::string read = ReadText();
  if (read.size() + 1 > std::size_t(capacity))
    throw kTooLong;
  std::memcpy(text, read.c_str(), read.size() + 1);
}
