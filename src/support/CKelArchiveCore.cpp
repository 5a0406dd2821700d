#include "CKelArchiveCore.h"

#include "KelByteOrder.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

template <class T>
void WriteNumber(CKelArchiveCore& ar, const T& value)
{
  unsigned char bytes[sizeof(T)];
  KelByteOrder::Encode(value, bytes);
  ar.Write(bytes, sizeof(T));
}

// The scratch bytes start as the current value, so a read that transfers
// nothing leaves the variable as it was.
template <class T>
void ReadNumber(CKelArchiveCore& ar, T& value)
{
  unsigned char bytes[sizeof(T)];
  KelByteOrder::Encode(value, bytes);
  ar.Read(bytes, sizeof(T));
  value = KelByteOrder::Decode<T>(bytes);
}

template <class Record>
void ReadRecord(CKelArchiveCore& ar, Record& record)
{
  unsigned char bytes[sizeof(Record)];
  std::memcpy(bytes, &record, sizeof(Record));
  ar.Read(bytes, sizeof(Record));
  std::memcpy(&record, bytes, sizeof(Record));
}

void WriteText(CKelArchiveCore& ar, const char* text, std::size_t length)
{
  // A longer text would come back with a negative length: refuse it now
  // rather than leave a stream that cannot be read.
  if (length > CKelArchiveCore::kMaxTextBytes) {
    ar.SetError();
    return;
  }
  ar << static_cast<short>(length);
  if (length > 0)
    ar.Write(text, static_cast<unsigned int>(length));
  ar << '\0';
}

// The stored length of the next text, or -1 after refusing it: a negative
// length, or one whose bytes and terminator are not all there.
int ReadTextLength(CKelArchiveCore& ar)
{
  const int errorsBefore = ar.GetError();
  short length = -1;
  ar >> length;
  if (ar.GetError() != errorsBefore)
    return -1;
  if (length < 0 || static_cast<std::uint64_t>(length) + 1 > ar.RemainingBytes()) {
    ar.SetError();
    return -1;
  }
  return length;
}

// Reads n + 1 stored bytes; the text is what precedes the first zero.
std::string ReadTextBytes(CKelArchiveCore& ar, int length)
{
  std::vector<char> scratch(static_cast<std::size_t>(length) + 1, '\0');
  ar.Read(scratch.data(), static_cast<unsigned int>(scratch.size()));
  scratch.back() = '\0';
  return std::string(scratch.data());
}

}  // namespace

CKelArchiveCore& CKelArchiveCore::operator<<(const std::string& text)
{
  WriteText(*this, text.data(), text.size());
  return *this;
}

CKelArchiveCore& CKelArchiveCore::operator<<(const char* text)
{
  if (text == nullptr)
    text = "";
  WriteText(*this, text, std::strlen(text));
  return *this;
}

CKelArchiveCore& CKelArchiveCore::operator<<(bool v)
{
  WriteNumber(*this, static_cast<unsigned char>(v ? 1 : 0));
  return *this;
}

CKelArchiveCore& CKelArchiveCore::operator<<(char v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(double v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(float v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(short v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(unsigned char v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(int v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(unsigned short v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(unsigned int v) { WriteNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(const GFCMD& v) { Write(v.bytes, sizeof(v.bytes)); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(const MESH_HGT& v) { Write(v.bytes, sizeof(v.bytes)); return *this; }
CKelArchiveCore& CKelArchiveCore::operator<<(const SphereRatio& v) { Write(v.bytes, sizeof(v.bytes)); return *this; }

CKelArchiveCore& CKelArchiveCore::operator<<(const XY_FPAIR& v)
{
  WriteNumber(*this, v.x);
  WriteNumber(*this, v.y);
  return *this;
}

CKelArchiveCore& CKelArchiveCore::operator>>(bool& v)
{
  // Read through a byte: any non-zero byte is true, and no invalid bool
  // value can reach the caller.
  unsigned char byte = v ? 1 : 0;
  ReadNumber(*this, byte);
  v = byte != 0;
  return *this;
}

CKelArchiveCore& CKelArchiveCore::operator>>(char& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(double& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(float& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(short& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(int& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(unsigned char& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(unsigned short& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(unsigned int& v) { ReadNumber(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(GFCMD& v) { ReadRecord(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(MESH_HGT& v) { ReadRecord(*this, v); return *this; }
CKelArchiveCore& CKelArchiveCore::operator>>(SphereRatio& v) { ReadRecord(*this, v); return *this; }

CKelArchiveCore& CKelArchiveCore::operator>>(XY_FPAIR& v)
{
  // Both floats or neither: a pair is never left half-read.
  XY_FPAIR pair = v;
  const int errorsBefore = GetError();
  ReadNumber(*this, pair.x);
  ReadNumber(*this, pair.y);
  if (GetError() == errorsBefore)
    v = pair;
  return *this;
}

std::string CKelArchiveCore::ReadText()
{
  const int length = ReadTextLength(*this);
  if (length < 0)
    return std::string();
  return ReadTextBytes(*this, length);
}

CKelArchiveCore& CKelArchiveCore::operator>>(std::string& text)
{
  const int errorsBefore = GetError();
  std::string read = ReadText();
  if (GetError() == errorsBefore)
    text = std::move(read);
  return *this;
}

CKelArchiveCore& CKelArchiveCore::ReadText(char* buffer, std::size_t bufferSize)
{
  if (buffer == nullptr || bufferSize == 0) {
    SetError();
    return *this;
  }
  buffer[0] = '\0';
  const int length = ReadTextLength(*this);
  if (length < 0)
    return *this;
  if (static_cast<std::size_t>(length) + 1 > bufferSize) {
    SetError();
    return *this;
  }
  const std::string text = ReadTextBytes(*this, length);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return *this;
}

void CKelArchiveCore::Serialize(std::string& text)
{
  if (m_bLoading)
    *this >> text;
  else
    *this << text;
}

void CKelArchiveCore::Serialize(char* buffer, std::size_t bufferSize)
{
  if (m_bLoading)
    ReadText(buffer, bufferSize);
  else if (buffer == nullptr)
    *this << "";
  else
    WriteText(*this, buffer, strnlen(buffer, bufferSize));
}

void CKelArchiveCore::SerializeTag(const char* className, int fromVersion)
{
  if (GetVersion() < fromVersion)
    return;
  if (m_bLoading)
    ReadText();  // skipped, never compared
  else
    *this << className;
}
