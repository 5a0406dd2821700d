#include "CArchive.h"

#include "CGSUtil.h"
#include "CKelFileIO.h"
#include "host_assert.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <cstring>
#include <limits>

namespace {

constexpr std::uint64_t kUnbounded = std::numeric_limits<std::uint64_t>::max();

bool CountFits(std::uint64_t remaining, long long count, long long bytesEach)
{
  if (count < 0)
    return false;
  if (count == 0 || bytesEach <= 0)
    return true;
  return std::uint64_t(count) <= remaining / std::uint64_t(bytesEach);
}

// The attribute's name in the given character code.
std::string AttributeName(API_AttrTypeID type, short index, GSCharCode code)
{
  GS::UniString name;
  CGSUtil::GetAttrName(type, index, name);
  return name.ToStdString(code);
}

// The index of the attribute of that type bearing the name; 0 when none.
short AttributeIndex(API_AttrTypeID type, const std::string& bytes, GSCharCode code)
{
  const GS::UniString name(bytes.c_str(), code);
  return short(CGSUtil::GSSearchAttribute(type, reinterpret_cast<const unsigned short*>(name.ToUStr())));
}

// Bytes between the current position of a file and its end.
std::uint64_t FileRemaining(std::FILE* file)
{
  if (file == nullptr)
    return 0;
  const long pos = std::ftell(file);
  if (pos < 0 || std::fseek(file, 0, SEEK_END) != 0)
    return 0;
  const long end = std::ftell(file);
  std::fseek(file, pos, SEEK_SET);
  return end > pos ? std::uint64_t(end - pos) : 0;
}

std::FILE* OpenPath(const GS::UniString& path, const char* mode)
{
  return CKelFileIO::Fopen(path.ToStdString(CC_UTF8).c_str(), mode);
}

std::string CopyPathOf(const std::string& target) { return target + ".tmp"; }

// Opens the copy that will replace the file at the path; the path of the
// file is kept in target.
std::FILE* OpenCopy(const GS::UniString& path, std::string& target)
{
  target = path.ToStdString(CC_UTF8);
  return CKelFileIO::Fopen(CopyPathOf(target).c_str(), "wb");
}

// Closes the file. A written copy replaces its target when everything was
// written, and is removed otherwise. False when the copy could not be put
// in place.
bool CloseFile(std::FILE*& file, std::string& target, bool written)
{
  if (file == nullptr) {
    target.clear();
    return true;
  }
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  if (target.empty())
    return true;
  const std::string copy = CopyPathOf(target);
  const bool replaced = written && closed && CKelFileIO::MoveFile(copy.c_str(), target.c_str());
  if (!replaced)
    CKelFileIO::DeleteFileA(copy.c_str());
  target.clear();
  return replaced || !written;
}

// Reads size bytes; false when fewer came, the rest then zero-filled so no
// caller ever sees an unset value.
bool ReadFile(std::FILE* file, void* data, int size)
{
  if (size <= 0)
    return true;
  const std::size_t got = file == nullptr ? 0 : std::fread(data, 1, std::size_t(size), file);
  if (got == std::size_t(size))
    return true;
  std::memset(static_cast<char*>(data) + got, 0, std::size_t(size) - got);
  return false;
}

bool WriteFile(std::FILE* file, const void* data, int size)
{
  if (size <= 0)
    return true;
  return file != nullptr && std::fwrite(data, 1, std::size_t(size), file) == std::size_t(size);
}

}  // namespace

// ---- CArchive ---------------------------------------------------------------

void CArchive::SerializeAttribute(API_AttrTypeID type, short& index, GSCharCode code)
{
  if (m_bOpen)
    LoadAttribute(type, index, code);
  else
    SaveAttribute(type, index, code);
}

bool CArchive::CanHold(long long count, long long bytesEach) { return CountFits(RemainingBytes(), count, bytesEach); }

// ---- CArchiveStream: the typed operations --------------------------------

CArchive& CArchiveStream::operator<<(bool value)
{
  const char byte = value ? 1 : 0;
  Write(&byte, 1);
  return *this;
}
CArchive& CArchiveStream::operator<<(double value) { Write(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator<<(float value) { Write(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator<<(short value) { Write(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator<<(int value) { Write(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator<<(long long value) { Write(&value, sizeof value); return *this; }

CArchive& CArchiveStream::operator<<(const char* text)
{
  const char* safe = text == nullptr ? "" : text;
  WriteText(safe, std::strlen(safe));
  return *this;
}

CArchive& CArchiveStream::operator<<(const GS::Guid& guid)
{
  return *this << guid.ToUniString().ToStdString(CC_Default);
}

CArchive& CArchiveStream::operator<<(const std::string& text)
{
  // Up to the first NUL, as the text reads back.
  WriteText(text.c_str(), std::strlen(text.c_str()));
  return *this;
}

CArchive& CArchiveStream::operator<<(const GS::UniString& text) { return *this << text.ToStdString(CC_Default); }

CArchive& CArchiveStream::operator>>(bool& value)
{
  char byte = 0;
  Read(&byte, 1);
  value = byte != 0;
  return *this;
}
CArchive& CArchiveStream::operator>>(double& value) { Read(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator>>(float& value) { Read(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator>>(short& value) { Read(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator>>(int& value) { Read(&value, sizeof value); return *this; }
CArchive& CArchiveStream::operator>>(long long& value) { Read(&value, sizeof value); return *this; }

// A text that is no GUID leaves the GUID as it was.
CArchive& CArchiveStream::operator>>(GS::Guid& guid)
{
  std::string text;
  if (ReadText(text))
    guid.ConvertFromString(text.c_str());
  return *this;
}

CArchive& CArchiveStream::operator>>(std::string& text)
{
  std::string read;
  if (ReadText(read))
    text = read.c_str();  // cut at an inner NUL, as a C string reads
  return *this;
}

CArchive& CArchiveStream::operator>>(GS::UniString& text)
{
  std::string bytes;
  if (ReadText(bytes))
    text = GS::UniString(bytes.c_str(), CC_Default);
  return *this;
}

void CArchiveStream::ReadCString(char* text, int capacity)
{
  PLN_ASSERT(text != nullptr && capacity > 0);
  std::string read;
  if (!ReadText(read)) {
    text[0] = '\0';
    return;
  }
  if (read.size() + 1 > std::size_t(capacity)) {
    text[0] = '\0';
    throw kTooLong;
  }
  std::memcpy(text, read.c_str(), read.size() + 1);
}

void CArchiveStream::SaveAttribute(API_AttrTypeID type, short index, GSCharCode code)
{
  *this << AttributeName(type, index, code);
}

// The name is read in the code the caller names, which is the code the
// writer used; a fixed code would lose every name outside its repertoire.
void CArchiveStream::LoadAttribute(API_AttrTypeID type, short& index, GSCharCode code)
{
  std::string bytes;
  if (ReadText(bytes))
    index = AttributeIndex(type, bytes, code);
}

void CArchiveStream::Serialize(bool& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CArchiveStream::Serialize(double& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CArchiveStream::Serialize(float& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CArchiveStream::Serialize(short& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CArchiveStream::Serialize(int& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CArchiveStream::Serialize(long long& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CArchiveStream::Serialize(GS::Guid& guid) { m_bOpen ? (void)(*this >> guid) : (void)(*this << guid); }
void CArchiveStream::Serialize(std::string& text) { m_bOpen ? (void)(*this >> text) : (void)(*this << text); }
void CArchiveStream::Serialize(GS::UniString& text) { m_bOpen ? (void)(*this >> text) : (void)(*this << text); }

void CArchiveStream::Serialize(char* text, int capacity)
{
  if (m_bOpen)
    ReadCString(text, capacity);
  else
    *this << static_cast<const char*>(text);
}

void CArchiveStream::WriteText(const char* text, std::size_t length)
{
  if (length > std::size_t(kMaxTextBytes)) {
    OnBadText();
    return;
  }
  const short n = short(length);
  Write(&n, sizeof n);
  Write(text, int(length) + 1);
}

// The length is checked against what remains before anything is allocated.
bool CArchiveStream::ReadText(std::string& text)
{
  short n = 0;
  Read(&n, sizeof n);
  if (n < 0 || std::uint64_t(n) + 1 > RemainingBytes()) {
    OnBadText();
    return false;
  }
  std::string buffer(std::size_t(n) + 1, '\0');
  Read(buffer.data(), n + 1);
  buffer.resize(std::size_t(n));
  text = std::move(buffer);
  return true;
}

// ---- CArchiveOld ------------------------------------------------------------

CArchiveOld::CArchiveOld(const char* name) : m_Name(name, CC_Default) {}

CArchiveOld::~CArchiveOld()
{
  // A half-written record would replace good stored data with garbage.
  if (!m_bOpen && m_ModulData.dataHdl != nullptr && !m_bWriteFailed)
    ACAPI_ModulData_Store(&m_ModulData, m_Name);
  BMKillHandle(&m_ModulData.dataHdl);
}

int CArchiveOld::Open()
{
  m_bOpen = true;
  m_nPos = 0;
  BMKillHandle(&m_ModulData.dataHdl);
  GSErrCode err = ACAPI_ModulData_GetInfo(&m_ModulData, m_Name);
  if (err == NoError)
    err = ACAPI_ModulData_Get(&m_ModulData, m_Name);
  if (err != NoError) {
    BMKillHandle(&m_ModulData.dataHdl);
    return err;
  }
  Dump();
  return 0;
}

void CArchiveOld::Save(int version)
{
  m_bOpen = false;
  m_nPos = 0;
  BMKillHandle(&m_ModulData.dataHdl);
  m_ModulData.dataVersion = version;
  m_ModulData.platformSign = kPlatformSign;
  m_ModulData.dataHdl = BMAllocateHandle(0, ALLOCATE_CLEAR, 0);
  m_bWriteFailed = m_ModulData.dataHdl == nullptr;
}

std::uint64_t CArchiveOld::RemainingBytes()
{
  if (!m_bOpen)
    return kUnbounded;
  const GSSize size = BMGetHandleSize(m_ModulData.dataHdl);
  return size > m_nPos ? std::uint64_t(size - m_nPos) : 0;
}

void CArchiveOld::Write(const void* data, int size)
{
  PLN_ASSERT(!m_bOpen);
  if (m_ModulData.dataHdl == nullptr) {
    m_bWriteFailed = true;
    throw kNoMemory;
  }
  if (size <= 0)
    return;
  const long long end = (long long)m_nPos + size;
  const bool grow = end > BMGetHandleSize(m_ModulData.dataHdl);
  if (end > std::numeric_limits<int>::max() ||
      (grow && BMReallocHandle(m_ModulData.dataHdl, GSSize(end), ALLOCATE_CLEAR, 0) == nullptr)) {
    m_bWriteFailed = true;
    throw kNoMemory;
  }
  std::memcpy(*m_ModulData.dataHdl + m_nPos, data, std::size_t(size));
  m_nPos = int(end);
}

void CArchiveOld::Read(void* data, int size)
{
  PLN_ASSERT(m_bOpen);
  if (m_ModulData.dataHdl == nullptr)
    throw kNoData;
  if (size < 0 || std::uint64_t(size) > RemainingBytes())
    throw kPastEnd;
  std::memcpy(data, *m_ModulData.dataHdl + m_nPos, std::size_t(size));
  m_nPos += size;
}

void CArchiveOld::OnBadText()
{
  if (m_bOpen)
    throw kPastEnd;
  m_bWriteFailed = true;
  throw kTooLong;
}

// ---- CFileArchiveNew --------------------------------------------------------

CFileArchiveNew::CFileArchiveNew() = default;

CFileArchiveNew::~CFileArchiveNew() { Close(); }

int CFileArchiveNew::Close()
{
  if (!CloseFile(m_pFile, m_TargetPath, m_nError == 0))
    SetError(3);
  return m_nError;
}

int CFileArchiveNew::Open(const GS::UniString& path)
{
  Close();
  m_bOpen = true;
  m_pFile = OpenPath(path, "rb");
  if (m_pFile == nullptr) {
    SetError(1);
    return 1;
  }
  *this >> m_nVersion;
  return 0;
}

int CFileArchiveNew::Save(const GS::UniString& path, int version)
{
  Close();
  m_bOpen = false;
  m_pFile = OpenCopy(path, m_TargetPath);
  if (m_pFile == nullptr) {
    SetError(1);
    return 1;
  }
  m_nVersion = version;
  *this << version;
  return 0;
}

std::uint64_t CFileArchiveNew::RemainingBytes() { return m_bOpen ? FileRemaining(m_pFile) : kUnbounded; }

void CFileArchiveNew::Write(const void* data, int size)
{
  PLN_ASSERT(!m_bOpen);
  if (!WriteFile(m_pFile, data, size))
    SetError(3);
}

void CFileArchiveNew::Read(void* data, int size)
{
  PLN_ASSERT(m_bOpen);
  if (!ReadFile(m_pFile, data, size))
    SetError(2);
}

void CFileArchiveNew::OnBadText() { SetError(m_bOpen ? 2 : 3); }

void CFileArchiveNew::SetError(int error)
{
  if (m_nError == 0)
    m_nError = error;
}

// ---- CFileArchive -----------------------------------------------------------

CFileArchive::CFileArchive(const GS::UniString& path) : m_Path(path) {}

CFileArchive::~CFileArchive() { Close(); }

int CFileArchive::Close()
{
  if (!CloseFile(m_pFile, m_TargetPath, m_nError == 0))
    SetError(3);
  return m_nError;
}

int CFileArchive::Open()
{
  Close();
  m_bOpen = true;
  m_pFile = OpenPath(m_Path, "rb");
  if (m_pFile == nullptr) {
    SetError(1);
    return 1;
  }
  *this >> m_nVersion;
  return 0;
}

int CFileArchive::Save(int version)
{
  Close();
  m_bOpen = false;
  m_pFile = OpenCopy(m_Path, m_TargetPath);
  if (m_pFile == nullptr) {
    SetError(1);
    return 1;
  }
  m_nVersion = version;
  *this << version;
  return 0;
}

void CFileArchive::SetError(int error)
{
  if (m_nError == 0)
    m_nError = error;
}

void CFileArchive::Write(const void* data, int size)
{
  PLN_ASSERT(!m_bOpen);
  if (!WriteFile(m_pFile, data, size))
    SetError(3);
}

void CFileArchive::Read(void* data, int size)
{
  PLN_ASSERT(m_bOpen);
  if (!ReadFile(m_pFile, data, size))
    SetError(3);
}

std::uint64_t CFileArchive::RemainingBytes() { return m_bOpen ? FileRemaining(m_pFile) : kUnbounded; }

bool CFileArchive::CanHold(long long count, long long bytesEach)
{
  return CountFits(RemainingBytes(), count, bytesEach);
}

CFileArchive& CFileArchive::operator<<(bool value)
{
  const char byte = value ? 1 : 0;
  Write(&byte, 1);
  return *this;
}
CFileArchive& CFileArchive::operator<<(double value) { Write(&value, sizeof value); return *this; }
CFileArchive& CFileArchive::operator<<(float value) { Write(&value, sizeof value); return *this; }
CFileArchive& CFileArchive::operator<<(short value) { Write(&value, sizeof value); return *this; }
CFileArchive& CFileArchive::operator<<(int value) { Write(&value, sizeof value); return *this; }

CFileArchive& CFileArchive::operator<<(const char* text)
{
  const char* safe = text == nullptr ? "" : text;
  WriteText(safe, std::strlen(safe));
  return *this;
}

CFileArchive& CFileArchive::operator<<(const GS::Guid& guid)
{
  return *this << guid.ToUniString().ToStdString(CC_Default);
}

CFileArchive& CFileArchive::operator<<(const std::string& text)
{
  WriteText(text.c_str(), std::strlen(text.c_str()));
  return *this;
}

CFileArchive& CFileArchive::operator<<(const GS::UniString& text) { return *this << text.ToStdString(CC_Default); }

CFileArchive& CFileArchive::operator>>(bool& value)
{
  char byte = 0;
  Read(&byte, 1);
  value = byte != 0;
  return *this;
}
CFileArchive& CFileArchive::operator>>(double& value) { Read(&value, sizeof value); return *this; }
CFileArchive& CFileArchive::operator>>(float& value) { Read(&value, sizeof value); return *this; }
CFileArchive& CFileArchive::operator>>(short& value) { Read(&value, sizeof value); return *this; }
CFileArchive& CFileArchive::operator>>(int& value) { Read(&value, sizeof value); return *this; }

CFileArchive& CFileArchive::operator>>(GS::Guid& guid)
{
  std::string text;
  if (ReadText(text))
    guid.ConvertFromString(text.c_str());
  return *this;
}

CFileArchive& CFileArchive::operator>>(std::string& text)
{
  std::string read;
  if (ReadText(read))
    text = read.c_str();
  return *this;
}

CFileArchive& CFileArchive::operator>>(GS::UniString& text)
{
  std::string bytes;
  if (ReadText(bytes))
    text = GS::UniString(bytes.c_str(), CC_Default);
  return *this;
}

void CFileArchive::ReadCString(char* text, int capacity)
{
  PLN_ASSERT(text != nullptr && capacity > 0);
  text[0] = '\0';
  std::string read;
  if (!ReadText(read))
    return;
  if (read.size() + 1 > std::size_t(capacity)) {
    SetError(3);
    return;
  }
  std::memcpy(text, read.c_str(), read.size() + 1);
}

void CFileArchive::Serialize(bool& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CFileArchive::Serialize(double& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CFileArchive::Serialize(float& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CFileArchive::Serialize(short& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CFileArchive::Serialize(int& value) { m_bOpen ? (void)(*this >> value) : (void)(*this << value); }
void CFileArchive::Serialize(GS::Guid& guid) { m_bOpen ? (void)(*this >> guid) : (void)(*this << guid); }
void CFileArchive::Serialize(std::string& text) { m_bOpen ? (void)(*this >> text) : (void)(*this << text); }
void CFileArchive::Serialize(GS::UniString& text) { m_bOpen ? (void)(*this >> text) : (void)(*this << text); }

void CFileArchive::Serialize(char* text, int capacity)
{
  if (m_bOpen)
    ReadCString(text, capacity);
  else
    *this << static_cast<const char*>(text);
}

void CFileArchive::SaveAttribute(API_AttrTypeID type, short index, GSCharCode code)
{
  *this << AttributeName(type, index, code);
}

void CFileArchive::LoadAttribute(API_AttrTypeID type, short& index, GSCharCode code)
{
  std::string bytes;
  if (ReadText(bytes))
    index = AttributeIndex(type, bytes, code);
}

void CFileArchive::SerializeAttribute(API_AttrTypeID type, short& index, GSCharCode code)
{
  if (m_bOpen)
    LoadAttribute(type, index, code);
  else
    SaveAttribute(type, index, code);
}

void CFileArchive::WriteText(const char* text, std::size_t length)
{
  if (length > std::size_t(CArchive::kMaxTextBytes)) {
    SetError(3);
    return;
  }
  const short n = short(length);
  Write(&n, sizeof n);
  Write(text, int(length) + 1);
}

bool CFileArchive::ReadText(std::string& text)
{
  short n = 0;
  Read(&n, sizeof n);
  // A length read past the end comes back 0 with nothing left to read.
  if (n < 0 || std::uint64_t(n) + 1 > RemainingBytes()) {
    SetError(3);
    return false;
  }
  std::string buffer(std::size_t(n) + 1, '\0');
  Read(buffer.data(), n + 1);
  buffer.resize(std::size_t(n));
  text = std::move(buffer);
  return true;
}
