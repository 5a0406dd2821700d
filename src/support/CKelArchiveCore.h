#pragma once
// The library's two-way binary archive. Every persistent library class
// writes and reads itself through one Serialize(CKelArchiveCore&) that looks
// at IsLoading() to choose the direction.
//
// Encoding (binding on every concrete archive): numbers raw little-endian in
// their own widths, no alignment, no type bytes. A text is a 16-bit length n
// (bytes, without the terminator), then n + 1 bytes: the text and a zero. The
// length reads back as signed 16 bits, so texts longer than 32767 bytes are
// refused when written.
//
// Errors: a transfer that fails raises the concrete archive's GetError(); the
// library classes check it after their fields. Readers of counts and lengths
// check them against RemainingBytes() before they allocate anything.

#include <cstdint>
#include <string>

// A pair of floats as the regulation records store them.
struct XY_FPAIR {
  float x = 0;
  float y = 0;
};
// Raw records that the archive moves as opaque bytes of fixed size.
struct MESH_HGT {
  unsigned char bytes[6] = {};
};
struct GFCMD {
  unsigned char bytes[10] = {};
};
struct SphereRatio {
  unsigned char bytes[64] = {};
};
static_assert(sizeof(XY_FPAIR) == 8 && sizeof(MESH_HGT) == 6 && sizeof(GFCMD) == 10 && sizeof(SphereRatio) == 64);

class CKelArchiveCore {
public:
  // The longest text the 16-bit signed length can carry back.
  static constexpr std::size_t kMaxTextBytes = 32767;

  explicit CKelArchiveCore(bool loading) : m_bLoading(loading) {}
  virtual ~CKelArchiveCore() = default;

  virtual int GetVersion() = 0;
  [[nodiscard]] virtual int GetError() = 0;
  virtual void Write(const void* data, unsigned int size) = 0;
  virtual void Read(void* data, unsigned int size) = 0;
  virtual CKelArchiveCore& operator<<(const std::string& text);

  // Bytes left to read; a writing archive answers the largest value.
  virtual std::uint64_t RemainingBytes() = 0;
  // Records a failure the archive itself could not see (a refused count or
  // length found by a reader); GetError() is non-zero afterwards.
  virtual void SetError() = 0;

  bool IsLoading() const { return m_bLoading; }

  CKelArchiveCore& operator<<(bool v);
  CKelArchiveCore& operator<<(char v);
  CKelArchiveCore& operator<<(double v);
  CKelArchiveCore& operator<<(float v);
  CKelArchiveCore& operator<<(short v);
  CKelArchiveCore& operator<<(unsigned char v);
  CKelArchiveCore& operator<<(int v);
  CKelArchiveCore& operator<<(unsigned short v);
  CKelArchiveCore& operator<<(unsigned int v);
  CKelArchiveCore& operator<<(const GFCMD& v);
  CKelArchiveCore& operator<<(const MESH_HGT& v);
  CKelArchiveCore& operator<<(const SphereRatio& v);
  CKelArchiveCore& operator<<(const XY_FPAIR& v);
  CKelArchiveCore& operator<<(const char* text);

  CKelArchiveCore& operator>>(bool& v);
  CKelArchiveCore& operator>>(char& v);
  CKelArchiveCore& operator>>(double& v);
  CKelArchiveCore& operator>>(float& v);
  CKelArchiveCore& operator>>(short& v);
  CKelArchiveCore& operator>>(int& v);
  CKelArchiveCore& operator>>(unsigned char& v);
  CKelArchiveCore& operator>>(unsigned short& v);
  CKelArchiveCore& operator>>(unsigned int& v);
  CKelArchiveCore& operator>>(GFCMD& v);
  CKelArchiveCore& operator>>(MESH_HGT& v);
  CKelArchiveCore& operator>>(XY_FPAIR& v);
  CKelArchiveCore& operator>>(SphereRatio& v);
  std::string ReadText();
  CKelArchiveCore& operator>>(std::string& text);
  // Reads a text into a caller's buffer of bufferSize bytes; a stored text
  // that does not fit (with its zero) is refused through the error state and
  // the buffer is left holding an empty text.
  CKelArchiveCore& ReadText(char* buffer, std::size_t bufferSize);

  // One operation for both directions: reads when loading, writes otherwise.
  template <class T>
  void Serialize(T& value)
  {
    if (m_bLoading)
      *this >> value;
    else
      *this << value;
  }
  void Serialize(std::string& text);
  void Serialize(char* buffer, std::size_t bufferSize);

  // Class-name tag written from archive version 2 on (see each class for its
  // own gate); when reading, one text is read and discarded unchecked.
  void SerializeTag(const char* className, int fromVersion = 2);

protected:
  bool m_bLoading;
};
