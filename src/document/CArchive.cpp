#include "CArchive.h"

#include "CGSUtil.h"
#include "CKelFileIO.h"
#include "DocRecord.h"
#include "host_assert.h"
#include "host_errors.h"
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

// The attribute's name in the given character code; an attribute the
// project lacks (no index, or deleted) has the empty name. False when the
// host failed to answer, or when the code cannot hold the name: what was
// stored then would read back as another attribute, or none.
bool AttributeName(API_AttrTypeID type, short index, GSCharCode code, std::string& bytes)
{
  GS::UniString name;
  const GSErrCode err = CGSUtil::GetAttrName(type, index, name);
  if (err != NoError && err != APIERR_BADINDEX && err != APIERR_DELETED)
    return false;
  if (err != NoError)
    name.Clear();
  return DocText::Encode(name, code, bytes);
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

}  // namespace

// ---- The encodings both stream families share -----------------------------
//
// CArchiveStream and CFileArchive are unrelated classes (the document takes
// the one, the settings classes the other) that must encode alike byte for
// byte, so each encoding is written once here, over any stream with Write,
// Read, RemainingBytes and OnBadText.

struct ArchiveEncoding {
  // Numbers as their little-endian bytes, whatever the machine's order.
  template <typename Stream, KelByteOrder::Number T>
  static void WriteNumber(Stream& stream, T value)
  {
    unsigned char bytes[sizeof(T)];
    KelByteOrder::Encode(value, bytes);
    stream.Write(bytes, sizeof(T));
  }

  // A short read leaves zero bytes behind it, so the number reads 0.
  template <typename Stream, KelByteOrder::Number T>
  static void ReadNumber(Stream& stream, T& value)
  {
    unsigned char bytes[sizeof(T)] = {};
    stream.Read(bytes, sizeof(T));
    value = KelByteOrder::Decode<T>(bytes);
  }

  template <typename Stream>
  static void WriteBool(Stream& stream, bool value)
  {
    const char byte = value ? 1 : 0;
    stream.Write(&byte, 1);
  }

  template <typename Stream>
  static void ReadBool(Stream& stream, bool& value)
  {
    char byte = 0;
    stream.Read(&byte, 1);
    value = byte != 0;
  }

  // A null text is written as "".
  template <typename Stream>
  static void WriteCString(Stream& stream, const char* text)
  {
    const char* safe = text == nullptr ? "" : text;
    WriteText(stream, safe, std::strlen(safe));
  }

  // Up to the first NUL, as the text reads back.
  // Every byte of the string, an inner NUL included: the length says how
  // many, so nothing of it is lost on the way.
  template <typename Stream>
  static void WriteString(Stream& stream, const std::string& text)
  {
    WriteText(stream, text.c_str(), text.size());
  }

  template <typename Stream>
  static void WriteUniString(Stream& stream, const GS::UniString& text, GSCharCode code = CC_Default)
  {
    std::string bytes;
    if (!DocText::Encode(text, code, bytes)) {
      stream.OnBadText();
      return;
    }
    WriteString(stream, bytes);
  }

  template <typename Stream>
  static void WriteGuid(Stream& stream, const GS::Guid& guid)
  {
    WriteUniString(stream, guid.ToUniString());
  }

  template <typename Stream>
  static void ReadString(Stream& stream, std::string& text)
  {
    std::string read;
    if (ReadText(stream, read))
      text = std::move(read);
  }

  template <typename Stream>
  static void ReadUniString(Stream& stream, GS::UniString& text, GSCharCode code = CC_Default)
  {
    std::string bytes;
    if (ReadText(stream, bytes) && !DocText::Decode(bytes, code, text))
      stream.OnBadText();
  }

  // A text that is no GUID leaves the GUID as it was.
  template <typename Stream>
  static void ReadGuid(Stream& stream, GS::Guid& guid)
  {
    std::string text;
    if (ReadText(stream, text))
      (void)guid.ConvertFromString(text.c_str());
  }

  // False when the stored text does not fit the buffer, which then holds
  // ""; a read that throws leaves the buffer as it was.
  template <typename Stream>
  static bool ReadCString(Stream& stream, char* text, int capacity)
  {
    PLN_ASSERT(text != nullptr && capacity > 0);
    std::string read;
    if (!ReadText(stream, read)) {
      text[0] = '\0';
      return true;
    }
    if (read.size() + 1 > std::size_t(capacity)) {
      text[0] = '\0';
      return false;
    }
    std::memcpy(text, read.c_str(), read.size() + 1);
    return true;
  }

  template <typename Stream>
  static void SaveAttribute(Stream& stream, API_AttrTypeID type, short index, GSCharCode code)
  {
    std::string name;
    if (!AttributeName(type, index, code, name)) {
      stream.RefuseWrite();
      return;
    }
    WriteString(stream, name);
  }

  // The name is read in the code the caller names, which is the code the
  // writer used; a fixed code would lose every name outside its repertoire.
  template <typename Stream>
  static void LoadAttribute(Stream& stream, API_AttrTypeID type, short& index, GSCharCode code)
  {
    std::string bytes;
    if (ReadText(stream, bytes))
      index = AttributeIndex(type, bytes, code);
  }

  template <typename Stream>
  static void WriteText(Stream& stream, const char* text, std::size_t length)
  {
    if (length > std::size_t(CArchive::kMaxTextBytes)) {
      stream.OnBadText();
      return;
    }
    WriteNumber(stream, short(length));
    stream.Write(text, int(length) + 1);
  }

  // Reads the length and the text; false after OnBadText. The length is
  // checked against what remains before anything is allocated; a length
  // read past the end of a file comes back 0 with nothing left to read.
  template <typename Stream>
  static bool ReadText(Stream& stream, std::string& text)
  {
    short n = 0;
    ReadNumber(stream, n);
    if (n < 0 || std::uint64_t(n) + 1 > stream.RemainingBytes()) {
      stream.OnBadText();
      return false;
    }
    std::string buffer(std::size_t(n) + 1, '\0');
    stream.Read(buffer.data(), n + 1);
    buffer.resize(std::size_t(n));
    text = std::move(buffer);
    return true;
  }
};

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

CArchive& CArchiveStream::operator<<(bool value) { ArchiveEncoding::WriteBool(*this, value); return *this; }
CArchive& CArchiveStream::operator<<(double value) { ArchiveEncoding::WriteNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator<<(float value) { ArchiveEncoding::WriteNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator<<(short value) { ArchiveEncoding::WriteNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator<<(int value) { ArchiveEncoding::WriteNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator<<(long long value) { ArchiveEncoding::WriteNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator<<(const char* text) { ArchiveEncoding::WriteCString(*this, text); return *this; }
CArchive& CArchiveStream::operator<<(const GS::Guid& guid) { ArchiveEncoding::WriteGuid(*this, guid); return *this; }
CArchive& CArchiveStream::operator<<(const std::string& text)
{
  ArchiveEncoding::WriteString(*this, text);
  return *this;
}
CArchive& CArchiveStream::operator<<(const GS::UniString& text)
{
  ArchiveEncoding::WriteUniString(*this, text);
  return *this;
}

CArchive& CArchiveStream::operator>>(bool& value) { ArchiveEncoding::ReadBool(*this, value); return *this; }
CArchive& CArchiveStream::operator>>(double& value) { ArchiveEncoding::ReadNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator>>(float& value) { ArchiveEncoding::ReadNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator>>(short& value) { ArchiveEncoding::ReadNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator>>(int& value) { ArchiveEncoding::ReadNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator>>(long long& value) { ArchiveEncoding::ReadNumber(*this, value); return *this; }
CArchive& CArchiveStream::operator>>(GS::Guid& guid) { ArchiveEncoding::ReadGuid(*this, guid); return *this; }
CArchive& CArchiveStream::operator>>(std::string& text) { ArchiveEncoding::ReadString(*this, text); return *this; }
CArchive& CArchiveStream::operator>>(GS::UniString& text) { ArchiveEncoding::ReadUniString(*this, text); return *this; }
void CArchiveStream::ReadText(GS::UniString& text, GSCharCode code) { ArchiveEncoding::ReadUniString(*this, text, code); }
void CArchiveStream::WriteText(const GS::UniString& text, GSCharCode code)
{
  ArchiveEncoding::WriteUniString(*this, text, code);
}

void CArchiveStream::ReadCString(char* text, int capacity)
{
  if (!ArchiveEncoding::ReadCString(*this, text, capacity))
    throw kTooLong;
}

void CArchiveStream::SaveAttribute(API_AttrTypeID type, short index, GSCharCode code)
{
  ArchiveEncoding::SaveAttribute(*this, type, index, code);
}

void CArchiveStream::LoadAttribute(API_AttrTypeID type, short& index, GSCharCode code)
{
  ArchiveEncoding::LoadAttribute(*this, type, index, code);
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

// ---- CArchiveOld ------------------------------------------------------------

CArchiveOld::CArchiveOld(const char* name) : m_Name(name, CC_Default) {}

CArchiveOld::~CArchiveOld()
{
  if (!m_bStored && !m_bOpen && m_Data.IsWriting() && !m_Data.HasFailed())
    Store();
}

int CArchiveOld::Store()
{
  // A half-written record would replace good stored data with garbage.
  if (m_bOpen || !m_Data.IsWriting() || m_Data.HasFailed())
    return APIERR_GENERAL;
  m_bStored = true;
  m_ModulData.dataHdl = m_Data.GetHandle();
  const GSErrCode err = ACAPI_ModulData_Store(&m_ModulData, m_Name);
  m_ModulData.dataHdl = nullptr;  // the stream's
  return err;
}

std::string CArchiveOld::Stamp() const
{
  const GSHandle handle = m_Data.GetHandle();
  const int size = m_Data.GetSize();
  if (handle == nullptr || size <= 0)
    return std::string();
  std::string stamp(reinterpret_cast<const char*>(&m_ModulData.dataVersion), sizeof m_ModulData.dataVersion);
  return stamp.append(*handle, std::size_t(size));
}

int CArchiveOld::Open()
{
  m_bOpen = true;
  m_Data.Release();
  API_ModulData record;
  GSErrCode err = ACAPI_ModulData_GetInfo(&record, m_Name);
  if (err == NoError)
    err = ACAPI_ModulData_Get(&record, m_Name);
  m_Data.StartReading(record.dataHdl);
  record.dataHdl = nullptr;  // the stream's
  m_ModulData = record;
  if (err != NoError) {
    m_Data.Release();  // no data is kept after a failure
    return err;
  }
  Dump();
  return 0;
}

void CArchiveOld::Save(int version)
{
  m_bOpen = false;
  m_Data.StartWriting();
  m_ModulData.dataVersion = version;
  m_ModulData.platformSign = kPlatformSign;
}

std::uint64_t CArchiveOld::RemainingBytes() { return m_bOpen ? m_Data.RemainingBytes() : kUnbounded; }

void CArchiveOld::Write(const void* data, int size)
{
  PLN_ASSERT(!m_bOpen);
  m_Data.Write(data, size);
}

void CArchiveOld::Read(void* data, int size)
{
  PLN_ASSERT(m_bOpen);
  m_Data.Read(data, size);
}

void CArchiveOld::OnBadText()
{
  if (m_bOpen)
    throw kPastEnd;
  // The record is refused as a whole: nothing of it is stored.
  m_Data.Abandon();
  throw kTooLong;
}

// ---- CArchiveFile -----------------------------------------------------------

bool CArchiveFile::OpenRead(const GS::UniString& path)
{
  m_pFile = CKelFileIO::Fopen(path.ToStdString(CC_UTF8).c_str(), "rb");
  if (m_pFile == nullptr)
    SetError(1);
  return m_pFile != nullptr;
}

bool CArchiveFile::OpenWrite(const GS::UniString& path)
{
  if (!m_Copy.Open(path.ToStdString(CC_UTF8)))
    SetError(1);
  return m_Copy.IsOpen();
}

int CArchiveFile::Close()
{
  if (m_pFile != nullptr)
    std::fclose(m_pFile);
  m_pFile = nullptr;
  if (m_Copy.IsOpen()) {
    if (m_nError != 0)
      m_Copy.Abandon();
    else if (!m_Copy.Finish())
      SetError(3);
  }
  return m_nError;
}

void CArchiveFile::Abandon()
{
  if (m_Copy.IsOpen())
    m_Copy.Abandon();
}

void CArchiveFile::Write(const void* data, int size, int error)
{
  if (size > 0 && !m_Copy.Write(data, std::size_t(size)))
    SetError(error);
}

void CArchiveFile::Read(void* data, int size, int error)
{
  if (!ReadFile(m_pFile, data, size))
    SetError(error);
}

std::uint64_t CArchiveFile::RemainingBytes() const { return FileRemaining(m_pFile); }

void CArchiveFile::SetError(int error)
{
  if (m_nError == 0)
    m_nError = error;
}

// ---- the file streams --------------------------------------------------------

CArchiveFileStream::~CArchiveFileStream() { Close(); }

int CArchiveFileStream::Close() { return m_File.Close(); }

int CArchiveFileStream::OpenFile(const GS::UniString& path)
{
  Close();
  m_bOpen = true;
  if (!m_File.OpenRead(path))
    return 1;
  *this >> m_nVersion;
  return 0;
}

int CArchiveFileStream::SaveFile(const GS::UniString& path, int version)
{
  Close();
  m_bOpen = false;
  if (!m_File.OpenWrite(path))
    return 1;
  m_nVersion = version;
  *this << version;
  return 0;
}

std::uint64_t CArchiveFileStream::RemainingBytes() { return m_bOpen ? m_File.RemainingBytes() : kUnbounded; }

void CArchiveFileStream::Write(const void* data, int size)
{
  PLN_ASSERT(!m_bOpen);
  m_File.Write(data, size, 3);
}

void CArchiveFileStream::Read(void* data, int size)
{
  PLN_ASSERT(m_bOpen);
  m_File.Read(data, size, m_nReadError);
}

CFileArchiveNew::CFileArchiveNew() : CArchiveFileStream(2) {}

void CFileArchiveNew::OnBadText() { m_File.SetError(m_bOpen ? 2 : 3); }

CFileArchive::CFileArchive(const GS::UniString& path) : CArchiveFileStream(3), m_Path(path) {}

void CFileArchive::SetError(int error) { m_File.SetError(error); }

void CFileArchive::ReadCString(char* text, int capacity)
{
  if (!ArchiveEncoding::ReadCString(static_cast<CArchiveStream&>(*this), text, capacity))
    SetError(3);
}
