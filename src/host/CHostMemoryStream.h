#pragma once
// One byte stream over a host memory handle: the ground of every record the
// add-on keeps in host memory (the project record, named module-data
// records, figure user data, element tags). It owns its handle and keeps
// the position; writing grows the handle, reading never passes its end.
//
// Stored form of the values it carries: numbers as their little-endian
// bytes (KelByteOrder), so a record reads alike on any machine; a bool as
// one byte, 0 or 1 when written, any non-zero byte true when read (a stored
// byte is never copied into a bool); a text as its length in the width the
// record chose, its bytes and a terminating zero.
//
// Failures throw an unsigned int, the codes of every stream built on it:
//   kNoData   no data to read (nothing was stored, or no handle);
//   kPastEnd  fewer bytes remain than a read needs, a stored length
//             included (nothing is allocated for a length the data cannot
//             hold), or a negative stored length;
//   kTooLong  a text too long for its length field, when written;
//   kNoMemory the handle cannot grow.
// A write that throws marks the stream failed for good (HasFailed), so its
// owner stores nothing.

#include "KelByteOrder.h"
#include "host_memory.h"

#include <cstdint>
#include <string>
#include <string_view>

class CHostMemoryStream {
public:
  static constexpr unsigned int kNoData = 1;
  static constexpr unsigned int kPastEnd = 2;
  static constexpr unsigned int kTooLong = 3;
  static constexpr unsigned int kNoMemory = 4;

  // The width of a text's stored length.
  enum class Length { Signed16, Unsigned16, Unsigned32 };

  CHostMemoryStream() = default;
  ~CHostMemoryStream();
  CHostMemoryStream(const CHostMemoryStream&) = delete;
  CHostMemoryStream& operator=(const CHostMemoryStream&) = delete;

  // == Direction and handle ==
  // An empty record to write; false, and failed, without memory.
  bool StartWriting();
  // Reads the handle from its start; the stream takes it (null: no data).
  void StartReading(GSHandle handle);
  // Gives the handle back to the host and forgets the record.
  void Release();
  // The handle, still the stream's; null when there is none.
  GSHandle GetHandle() const { return m_Handle; }

  bool IsWriting() const { return m_bWriting; }
  bool HasFailed() const { return m_bFailed; }
  // The owner refuses what is being written (a value its reader would
  // refuse): the stream counts as failed, so nothing of it is stored.
  void Abandon() { m_bFailed = true; }
  int GetSize() const;
  int GetPosition() const { return m_nPos; }
  // Bytes left to read; UINT64_MAX while writing.
  std::uint64_t RemainingBytes() const;
  // Whether count items of at least bytesEach bytes can still be read; a
  // negative count never fits.
  bool CanHold(long long count, long long bytesEach) const;

  // == Raw bytes ==
  void Write(const void* data, int size);
  void Read(void* data, int size);

  // == Values ==
  template <KelByteOrder::Number T>
  void Put(T value)
  {
    unsigned char bytes[sizeof(T)];
    KelByteOrder::Encode(value, bytes);
    Write(bytes, sizeof(T));
  }
  template <KelByteOrder::Number T>
  T Get()
  {
    unsigned char bytes[sizeof(T)];
    Read(bytes, sizeof(T));
    return KelByteOrder::Decode<T>(bytes);
  }
  void PutBool(bool value);
  bool GetBool();
  // The length, the bytes and a zero; kTooLong (the stream failed) for a
  // text longer than the width's largest value.
  void PutText(std::string_view bytes, Length width);
  // Every stored byte, an inner zero included; the stored terminator is
  // skipped, whatever it holds.
  std::string GetText(Length width);

private:
  // Marks the stream failed and throws the code.
  [[noreturn]] void Fail(unsigned int code);

  GSHandle m_Handle = nullptr;
  int m_nPos = 0;
  bool m_bWriting = false;
  bool m_bFailed = false;
};
