#include "CPlenimetraUserDataCore.h"

#include "CLayerControl.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <cstring>
#include <string_view>
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
  if (mode == MODE_WRITE)
    OpenForWriting();
  else
    OpenForReading();
}

void CPlenimetraUserDataCore::OpenForWriting()
{
  m_UserData = API_UserData{};
  m_UserData.platformSign = kPlatformSign;
  if (!m_Data.StartWriting()) {
    m_Error = APIERR_MEMFULL;
    return;
  }
  *this << m_UserDataType;
}

void CPlenimetraUserDataCore::OpenForReading()
{
  m_UserData = API_UserData{};
  const GSErrCode err = ACAPI_Element_GetUserData(&m_Element, &m_UserData);
  m_Data.StartReading(m_UserData.dataHdl);
  m_UserData.dataHdl = nullptr;  // the stream's
  // A deleted element's record is still handed out, and still wanted.
  m_Error = err == APIERR_DELETED ? NoError : err;
  if (m_Error == NoError)
    *this >> m_UserDataType;
}

void CPlenimetraUserDataCore::Close()
{
  if (m_Mode == MODE_WRITE && m_Error == NoError && !m_Data.HasFailed())
    StoreOnElement();
  m_Data.Release();
  m_Mode = MODE_CLOSE;
}

// The element's layer may be hidden or locked; the store is a write to the
// element, so the layer is opened for it and put back afterwards.
void CPlenimetraUserDataCore::StoreOnElement()
{
  m_UserData.flags = 0;
  m_UserData.dataHdl = m_Data.GetHandle();
  CLayerControl layer(m_Element.layer);
  m_Error = ACAPI_Element_SetUserData(&m_Element, &m_UserData);
  if (const GSErrCode restored = layer.Reset(); m_Error == NoError)
    m_Error = restored;
  m_UserData.dataHdl = nullptr;  // the stream's
}

bool CPlenimetraUserDataCore::CanHold(long long count, long long bytesEach) const
{
  return m_Data.CanHold(count, bytesEach);
}

// A failure leaves the record unwritten: Close then stores nothing.
void CPlenimetraUserDataCore::Write(const void* data, int size)
{
  PLN_ASSERT(m_Mode == MODE_WRITE);
  if (size < 0) {
    m_Error = APIERR_MEMFULL;
    return;
  }
  Put([&] { m_Data.Write(data, size); });
}

void CPlenimetraUserDataCore::Read(void* data, int size)
{
  PLN_ASSERT(m_Mode == MODE_READ);
  m_Data.Read(data, size);
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(CMyUserDataCore::TYPE value)
{
  return Put([&] { m_Data.Put<Int32>(value); });
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(bool value)
{
  return Put([&] { m_Data.PutBool(value); });
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(short value)
{
  return Put([&] { m_Data.Put(value); });
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(int value)
{
  return Put([&] { m_Data.Put(value); });
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(long long value)
{
  return Put([&] { m_Data.Put(value); });
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(double value)
{
  return Put([&] { m_Data.Put(value); });
}

// A text longer than the 16-bit length can carry back fails the record
// (APIERR_BADPARS): Close then stores nothing rather than a cut text.
CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(const char* text)
{
  const std::string_view safe = text == nullptr ? "" : text;
  if (safe.size() > std::size_t(kMaxTextBytes)) {
    m_Error = APIERR_BADPARS;
    return *this;
  }
  return Put([&] { m_Data.PutText(safe, CHostMemoryStream::Length::Signed16); });
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator<<(const GS::Guid& guid)
{
  return *this << guid.ToUniString().ToStdString(CC_Default).c_str();
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(CMyUserDataCore::TYPE& value)
{
  value = CMyUserDataCore::TYPE(m_Data.Get<Int32>());
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(bool& value)
{
  value = m_Data.GetBool();
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(short& value)
{
  value = m_Data.Get<short>();
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(int& value)
{
  value = m_Data.Get<int>();
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(long long& value)
{
  value = m_Data.Get<long long>();
  return *this;
}

CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(double& value)
{
  value = m_Data.Get<double>();
  return *this;
}

// A text that is no GUID leaves the GUID as it was.
CPlenimetraUserDataCore& CPlenimetraUserDataCore::operator>>(GS::Guid& guid)
{
  (void)guid.ConvertFromString(ReadText().c_str());
  return *this;
}

// Up to the first zero, as a C string reads.
std::string CPlenimetraUserDataCore::ReadText()
{
  const std::string text = m_Data.GetText(CHostMemoryStream::Length::Signed16);
  return text.c_str();
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

// A write that cannot grow the record sets the error instead of throwing.
// This stream's writes have one channel, its error, which every save of a
// user-data record reads at Close (as the settings and dump files keep
// theirs); the buffer below throws, and this is the one place where that
// throw meets the channel, so no record writer above sees a throw.
template <typename Step>
CPlenimetraUserDataCore& CPlenimetraUserDataCore::Put(Step step)
{
  try {
    step();
  } catch (unsigned int) {
    m_Error = APIERR_MEMFULL;
  }
  return *this;
}
