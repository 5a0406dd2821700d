#include "CGSArchive2.h"

#include "CGSUtil.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <cstring>
#include <limits>

CGSArchive2::CGSArchive2(const char* name) : m_name(name) {}

CGSArchive2::~CGSArchive2()
{
  // A half-written record would replace good stored data with garbage.
  if (!m_bLoading && m_record.dataHdl != nullptr && !m_bWriteFailed)
    ACAPI_ModulData_Store(&m_record, m_name);
  BMKillHandle(&m_record.dataHdl);
}

bool CGSArchive2::IsHaveData(const char* name)
{
  API_ModulData info;
  return ACAPI_ModulData_GetInfo(&info, GS::UniString(name)) == NoError;
}

bool CGSArchive2::Open()
{
  m_bLoading = true;
  m_nPos = 0;
  BMKillHandle(&m_record.dataHdl);
  if (ACAPI_ModulData_GetInfo(&m_record, m_name) == NoError && ACAPI_ModulData_Get(&m_record, m_name) == NoError)
    return true;
  BMKillHandle(&m_record.dataHdl);
  return false;
}

void CGSArchive2::Save(int version)
{
  m_bLoading = false;
  m_nPos = 0;
  m_bWriteFailed = false;
  BMKillHandle(&m_record.dataHdl);
  m_record.dataVersion = version;
  m_record.platformSign = kPlatformSign;
  m_record.dataHdl = BMAllocateHandle(0, ALLOCATE_CLEAR, 0);
  m_bWriteFailed = m_record.dataHdl == nullptr;
}

int CGSArchive2::GetSize() const { return BMGetHandleSize(m_record.dataHdl); }

Int64 CGSArchive2::Remaining() const { return Int64(GetSize()) - m_nPos; }

void CGSArchive2::Write(const void* data, int size)
{
  if (m_record.dataHdl == nullptr)
    throw kNoData;
  if (size <= 0)
    return;
  const Int64 end = Int64(m_nPos) + size;
  if (end > std::numeric_limits<GSSize>::max()) {
    m_bWriteFailed = true;
    throw kNoMemory;
  }
  if (end > GetSize() && BMReallocHandle(m_record.dataHdl, GSSize(end), ALLOCATE_CLEAR, 0) == nullptr) {
    m_bWriteFailed = true;
    throw kNoMemory;
  }
  std::memcpy(*m_record.dataHdl + m_nPos, data, std::size_t(size));
  m_nPos = int(end);
}

void CGSArchive2::Read(void* data, int size)
{
  if (m_record.dataHdl == nullptr)
    throw kNoData;
  if (size < 0 || size > Remaining())
    throw kPastEnd;
  std::memcpy(data, *m_record.dataHdl + m_nPos, std::size_t(size));
  m_nPos += size;
}

void CGSArchive2::Transfer(void* data, int size)
{
  if (m_bLoading)
    Read(data, size);
  else
    Write(data, size);
}

// Reads length bytes of text and its stored terminator into text, which
// holds length + 1 bytes; the text ends in a zero whatever was stored.
void CGSArchive2::ReadText(char* text, USize length)
{
  if (Int64(length) + 1 > Remaining())
    throw kPastEnd;
  Read(text, int(length));
  char terminator = 0;
  Read(&terminator, 1);
  text[length] = '\0';
}

void CGSArchive2::Serialize(char* text, USize capacity)
{
  if (!m_bLoading) {
    const std::size_t n = std::strlen(text);
    if (n > std::numeric_limits<UInt16>::max())
      throw kTooLong;
    UInt16 length = UInt16(n);
    Write(&length, sizeof length);
    Write(text, int(n + 1));
    return;
  }
  UInt16 length = 0;
  Read(&length, sizeof length);
  if (Int64(length) + 1 > Remaining())
    throw kPastEnd;
  if (USize(length) + 1 > capacity)
    throw kTooLong;
  ReadText(text, length);
}

void CGSArchive2::Serialize(std::string& text)
{
  if (!m_bLoading) {
    if (text.size() > std::numeric_limits<UInt32>::max() - 1u)
      throw kTooLong;
    UInt32 length = UInt32(text.size());
    Write(&length, sizeof length);
    Write(text.c_str(), int(text.size() + 1));
    return;
  }
  UInt32 length = 0;
  Read(&length, sizeof length);
  // Checked in 64 bits before anything is allocated: a stored 0xFFFFFFFF
  // would wrap to a zero-byte read in 32 bits.
  if (Int64(length) + 1 > Remaining())
    throw kPastEnd;
  std::string buffer(length + std::size_t(1), '\0');
  ReadText(buffer.data(), length);
  buffer.resize(length);
  text = std::move(buffer);
}

void CGSArchive2::Serialize(GS::UniString& text)
{
  if (!m_bLoading) {
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
  std::uint16_t raw = value;
  Transfer(&raw, sizeof raw);
  if (m_bLoading)
    value = static_cast<CBrep2KEL::TYPE>(raw);
}

void CGSArchive2::SerializeAttribute(API_AttrTypeID type, short& index, GSCharCode code)
{
  if (!m_bLoading) {
    GS::UniString name;
    CGSUtil::GetAttrName(type, index, name);
    std::string bytes = name.ToStdString(code);
    Serialize(bytes.data(), USize(bytes.size() + 1));
    return;
  }
  char bytes[kMaxAttributeNameBytes] = {};
  Serialize(bytes, kMaxAttributeNameBytes);
  const GS::UniString name(bytes, code);
  index = short(CGSUtil::GSSearchAttribute(type, reinterpret_cast<const unsigned short*>(name.ToUStr())));
}
