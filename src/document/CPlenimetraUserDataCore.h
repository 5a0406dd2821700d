#pragma once
// The typed byte stream over one element's user data. A placed figure
// carries its full record this way (and the source elements of automatic
// areas theirs), so a figure copied, moved or read from another project
// keeps its code, mark, number, rounding and formula breaks.
//
// Stored form: the host's user-data record holds the record version and the
// platform sign 0x5757; the data is the user-data type as an int (700 for
// the add-on's records), then the record's fields in the encodings of
// CArchive.h (raw little-endian numbers, C strings with a signed 16-bit
// length, GUIDs as their text).
//
// Calling order of every record:
//   writing: SetUserDataType(700); Open(MODE_WRITE, head); if GetError() is
//            0: SetVersion(9), the record's Serialize, Close(); the result
//            is GetError();
//   reading: Open(MODE_READ, head); if GetError() is 0: the record's
//            Serialize, Close(); then GetError() and GetVersion().
// Reads throw an unsigned int and copy nothing: kNoData (1) without data,
// kPastEnd (2) when fewer bytes remain than asked, for a negative stored
// length and for a count a reader refuses; kTooLong (3) for a text longer
// than the caller's buffer. Open for reading throws too when the data is
// missing or shorter than the type. Writes never throw: a failure sets the
// error (APIERR_MEMFULL, or APIERR_BADPARS for a text longer than its
// 16-bit length) and Close then stores nothing.

#include "CHostMemoryStream.h"
#include "CMyUserData.h"
#include "gs_guid.h"
#include "host_api_types.h"

#include <cstdint>
#include <string>

class CPlenimetraUserDataCore {
public:
  enum MODE { MODE_CLOSE = -1, MODE_READ = 0, MODE_WRITE = 1 };

  static constexpr unsigned int kNoData = CHostMemoryStream::kNoData;
  static constexpr unsigned int kPastEnd = CHostMemoryStream::kPastEnd;
  static constexpr unsigned int kTooLong = CHostMemoryStream::kTooLong;
  static constexpr unsigned short kPlatformSign = 0x5757;
  static constexpr int kMaxTextBytes = 32767;

  CPlenimetraUserDataCore() = default;
  virtual ~CPlenimetraUserDataCore();
  CPlenimetraUserDataCore(const CPlenimetraUserDataCore&) = delete;
  CPlenimetraUserDataCore& operator=(const CPlenimetraUserDataCore&) = delete;

  void SetUserDataType(CMyUserDataCore::TYPE type) { m_UserDataType = type; }
  CMyUserDataCore::TYPE GetUserDataType() const { return m_UserDataType; }

  // Clears the error. Writing: starts an empty record and writes the type
  // (APIERR_MEMFULL when no memory). Reading: fetches the element's data
  // (APIERR_DELETED counts as success; APIERR_NOUSERDATA means the element
  // carries none) and reads the type.
  void Open(MODE mode, const API_Elem_Head* element);
  // Stores a written record on the element (its layer shown and unlocked
  // for the store, then put back) unless an error came first; releases the
  // data in every case.
  void Close();

  void SetVersion(short version) { m_UserData.dataVersion = version; }
  short GetVersion() const { return m_UserData.dataVersion; }
  unsigned short GetPlatformSign() const { return m_UserData.platformSign; }
  // True while reading: every record reads when it is set and writes
  // otherwise.
  bool IsOpen() const { return m_Mode == MODE_READ; }
  MODE GetMode() const { return m_Mode; }
  [[nodiscard]] GSErrCode GetError() const { return m_Error; }
  int GetDataSize() const { return m_Data.GetSize(); }
  bool IsEOF() const { return m_Data.GetPosition() == GetDataSize(); }
  int GetPosition() const { return m_Data.GetPosition(); }
  // Bytes left to read; UINT64_MAX while writing.
  std::uint64_t RemainingBytes() const { return m_Data.RemainingBytes(); }
  // Whether count items of at least bytesEach bytes can still be read; a
  // negative count never fits.
  bool CanHold(long long count, long long bytesEach) const;

  void Write(const void* data, int size);
  void Read(void* data, int size);

  CPlenimetraUserDataCore& operator<<(CMyUserDataCore::TYPE value);
  CPlenimetraUserDataCore& operator<<(bool value);
  CPlenimetraUserDataCore& operator<<(short value);
  CPlenimetraUserDataCore& operator<<(int value);
  CPlenimetraUserDataCore& operator<<(long long value);
  CPlenimetraUserDataCore& operator<<(double value);
  CPlenimetraUserDataCore& operator<<(const char* text);
  CPlenimetraUserDataCore& operator<<(const GS::Guid& guid);

  CPlenimetraUserDataCore& operator>>(CMyUserDataCore::TYPE& value);
  CPlenimetraUserDataCore& operator>>(bool& value);
  CPlenimetraUserDataCore& operator>>(short& value);
  CPlenimetraUserDataCore& operator>>(int& value);
  CPlenimetraUserDataCore& operator>>(long long& value);
  CPlenimetraUserDataCore& operator>>(double& value);
  CPlenimetraUserDataCore& operator>>(GS::Guid& guid);
  // A C string into a buffer of capacity bytes, terminator included.
  void ReadCString(char* text, int capacity);

private:
  void OpenForWriting();
  void OpenForReading();
  void StoreOnElement();
  std::string ReadText();
  template <typename Step>
  CPlenimetraUserDataCore& Put(Step step);

  CHostMemoryStream m_Data;  // the record's data
  API_UserData m_UserData;   // version and platform sign; its handle stays with the stream
  API_Elem_Head m_Element;
  bool m_bHaveElement = false;
  MODE m_Mode = MODE_CLOSE;
  CMyUserDataCore::TYPE m_UserDataType{};
  GSErrCode m_Error = 0;
};
