#include "CGSArchive2.h"

#include "CGSUtil.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <cstring>

CGSArchive2::CGSArchive2(const char* name) : m_name(name) {}

CGSArchive2::~CGSArchive2()
{
  // A half-written record would replace good stored data with garbage.
  if (m_stream.IsWriting() && !m_stream.HasFailed()) {
    m_record.dataHdl = m_stream.GetHandle();
    // The records are list settings (column widths): a failed store keeps
    // the previous ones, which is not worth an alert.
    (void)ACAPI_ModulData_Store(&m_record, m_name);
    m_record.dataHdl = nullptr;
  }
}

bool CGSArchive2::IsHaveData(const char* name)
{
  API_ModulData info;
  return ACAPI_ModulData_GetInfo(&info, GS::UniString(name)) == NoError;
}

bool CGSArchive2::Open()
{
  m_stream.Release();
  API_ModulData record;
  const bool read =
      ACAPI_ModulData_GetInfo(&record, m_name) == NoError && ACAPI_ModulData_Get(&record, m_name) == NoError;
  m_stream.StartReading(record.dataHdl);
  if (!read)
    m_stream.Release();  // no data is kept after a failure
  record.dataHdl = nullptr;
  m_record = record;
  return read;
}

void CGSArchive2::Save(int version)
{
  m_stream.StartWriting();
  m_record.dataVersion = version;
  m_record.platformSign = kPlatformSign;
}

void CGSArchive2::Write(const void* data, int size)
{
  if (size > 0)
    m_stream.Write(data, size);
}

void CGSArchive2::Read(void* data, int size) { m_stream.Read(data, size); }

void CGSArchive2::Serialize(bool& value)
{
  if (IsLoading())
    value = m_stream.GetBool();
  else
    m_stream.PutBool(value);
}

// A 16-bit length; the text must fit the caller's buffer with its zero.
void CGSArchive2::Serialize(char* text, USize capacity)
{
  if (!IsLoading()) {
    m_stream.PutText(text, CHostMemoryStream::Length::Unsigned16);
    return;
  }
  const std::string read = m_stream.GetText(CHostMemoryStream::Length::Unsigned16);
  if (USize(read.size()) + 1 > capacity)
    throw kTooLong;
  std::memcpy(text, read.data(), read.size());
  text[read.size()] = '\0';
}

void CGSArchive2::Serialize(std::string& text)
{
  if (IsLoading())
    text = m_stream.GetText(CHostMemoryStream::Length::Unsigned32);
  else
    m_stream.PutText(text, CHostMemoryStream::Length::Unsigned32);
}

void CGSArchive2::Serialize(GS::UniString& text)
{
  if (!IsLoading()) {
    std::string bytes = text.ToStdString(CC_Default);
    Serialize(bytes);
    return;
  }
  std::string bytes;
  Serialize(bytes);
  text = GS::UniString(bytes.c_str(), CC_Default);
}

void CGSArchive2::Serialize(CBrep2KEL::TYPE& value)
{
  auto raw = static_cast<std::uint16_t>(value);
  Transfer(raw);
  if (IsLoading())
    value = static_cast<CBrep2KEL::TYPE>(raw);
}

void CGSArchive2::SerializeAttribute(API_AttrTypeID type, short& index, GSCharCode code)
{
  if (!IsLoading()) {
    GS::UniString name;
    // An attribute that is gone is stored without a name.
    if (CGSUtil::GetAttrName(type, index, name) != NoError)
      name.Clear();
    std::string bytes = name.ToStdString(code);
    Serialize(bytes.data(), USize(bytes.size() + 1));
    return;
  }
  char bytes[kMaxAttributeNameBytes] = {};
  Serialize(bytes, kMaxAttributeNameBytes);
  const GS::UniString name(bytes, code);
  index = short(CGSUtil::GSSearchAttribute(type, reinterpret_cast<const unsigned short*>(name.ToUStr())));
}
