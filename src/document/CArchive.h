#pragma once
// The document's typed byte streams.
//
// Encoding (every stream alike, byte for byte): numbers raw in the machine's
// little-endian order, no gaps, no type tags. bool 1 byte, short 2, int 4,
// long long 8, float 4, double 8. A C string is a signed 16-bit length n
// (bytes without the terminator), then n + 1 bytes: the text and a zero; a
// std::string is written the same way, a GS::UniString as its 8-bit form in
// the host's default character code, a GUID as its text form. Attributes
// travel by name, so a record survives a project whose indices differ.
// A host string whose code cannot hold it (DocText::Encode) is refused as a
// bad text, as its reader refuses bytes the code has no character for: a
// name is never stored as something that reads back as another.
//
// CArchive is the stream of the project record (CArchiveOld, module data)
// and of the document dump (CFileArchiveNew, a file with a leading
// version). CFileArchive is the settings file: the same encodings without a
// common base.
//
// Failures:
//  - CArchiveOld throws an unsigned int and copies nothing: kNoData (1) when
//    there is no data at all, kPastEnd (2) when fewer bytes remain than a
//    field needs, a stored length is negative or a reader refuses a count
//    (readers throw kPastEnd themselves then), kTooLong (3) when a text does
//    not fit the caller's buffer, or when written its 16-bit length or its
//    character code,
//    kNoMemory (4) when the record cannot grow. A record whose writing
//    failed is never stored.
//  - The two file streams never throw: they keep their first error code
//    (GetError) and go on; a short read zero-fills what it could not read,
//    so a count read past the end comes back 0.
//
// Readers of counts and lengths check them against RemainingBytes() (or
// CanHold) before they resize or allocate.

#include "CHostMemoryStream.h"
#include "CKelCompleteCopy.h"
#include "gs_guid.h"
#include "gs_unistring.h"
#include "host_api_types.h"

#include <cstdint>
#include <cstdio>
#include <string>

class CArchive {
public:
  static constexpr unsigned int kNoData = CHostMemoryStream::kNoData;
  static constexpr unsigned int kPastEnd = CHostMemoryStream::kPastEnd;
  static constexpr unsigned int kTooLong = CHostMemoryStream::kTooLong;
  static constexpr unsigned int kNoMemory = CHostMemoryStream::kNoMemory;
  // The longest text a signed 16-bit length can carry back.
  static constexpr int kMaxTextBytes = 32767;

  virtual ~CArchive() = default;

  // True while reading, false while writing; the document classes test it
  // to choose the direction.
  bool m_bOpen = true;

  virtual int GetVersion() = 0;

  virtual CArchive& operator<<(bool value) = 0;
  virtual CArchive& operator<<(double value) = 0;
  virtual CArchive& operator<<(float value) = 0;
  virtual CArchive& operator<<(short value) = 0;
  virtual CArchive& operator<<(int value) = 0;
  virtual CArchive& operator<<(long long value) = 0;
  virtual CArchive& operator<<(const char* text) = 0;
  virtual CArchive& operator<<(const GS::Guid& guid) = 0;
  virtual CArchive& operator<<(const std::string& text) = 0;
  virtual CArchive& operator<<(const GS::UniString& text) = 0;

  virtual CArchive& operator>>(bool& value) = 0;
  virtual CArchive& operator>>(double& value) = 0;
  virtual CArchive& operator>>(float& value) = 0;
  virtual CArchive& operator>>(short& value) = 0;
  virtual CArchive& operator>>(int& value) = 0;
  virtual CArchive& operator>>(long long& value) = 0;
  virtual CArchive& operator>>(GS::Guid& guid) = 0;
  virtual CArchive& operator>>(std::string& text) = 0;
  virtual CArchive& operator>>(GS::UniString& text) = 0;
  // A C string into a buffer of capacity bytes (terminator included); a
  // stored text that does not fit is refused (CArchiveOld: kTooLong).
  virtual void ReadCString(char* text, int capacity) = 0;
  // An 8-bit text in the given character code (operator>> of a host string
  // reads one in the host's default code). Bytes the code has no character
  // for are refused as a bad text (CArchiveOld: kPastEnd), the text left as
  // it was.
  virtual void ReadText(GS::UniString& text, GSCharCode code) = 0;
  // Its writer: the text as an 8-bit text in the code (operator<< of a host
  // string writes one in the host's default code). A text the code cannot
  // hold is refused as a bad text (CArchiveOld: kTooLong, nothing stored).
  virtual void WriteText(const GS::UniString& text, GSCharCode code) = 0;

  // The attribute's name in the character code the caller gives; reading
  // finds the attribute of that type by the name (index 0 when none has it).
  virtual void SaveAttribute(API_AttrTypeID type, short index, GSCharCode code) = 0;
  virtual void LoadAttribute(API_AttrTypeID type, short& index, GSCharCode code) = 0;
  void SerializeAttribute(API_AttrTypeID type, short& index, GSCharCode code);

  // Reads into the argument while m_bOpen, else writes it.
  virtual void Serialize(bool& value) = 0;
  virtual void Serialize(double& value) = 0;
  virtual void Serialize(float& value) = 0;
  virtual void Serialize(short& value) = 0;
  virtual void Serialize(int& value) = 0;
  virtual void Serialize(long long& value) = 0;
  virtual void Serialize(char* text, int capacity) = 0;
  virtual void Serialize(GS::Guid& guid) = 0;
  virtual void Serialize(std::string& text) = 0;
  virtual void Serialize(GS::UniString& text) = 0;

  virtual void Dump() {}
  // The byte position (CArchiveOld); the dump file answers 0.
  virtual int GetFilePointer() = 0;

  // Bytes left to read; a writing archive answers UINT64_MAX.
  virtual std::uint64_t RemainingBytes() = 0;
  // Whether count items of at least bytesEach bytes can still be read; a
  // negative count never fits.
  bool CanHold(long long count, long long bytesEach);
  // A writer met data its reader would refuse: the write fails as for a text
  // too long for its length (nothing of it is stored).
  virtual void RefuseWrite() = 0;
};

// The common typed operations over two raw transfers, shared by the two
// implementations so both encode alike.
class CArchiveStream : public CArchive {
public:
  using CArchive::operator<<;
  using CArchive::operator>>;

  void RefuseWrite() override { OnBadText(); }

  CArchive& operator<<(bool value) override;
  CArchive& operator<<(double value) override;
  CArchive& operator<<(float value) override;
  CArchive& operator<<(short value) override;
  CArchive& operator<<(int value) override;
  CArchive& operator<<(long long value) override;
  CArchive& operator<<(const char* text) override;
  CArchive& operator<<(const GS::Guid& guid) override;
  CArchive& operator<<(const std::string& text) override;
  CArchive& operator<<(const GS::UniString& text) override;

  CArchive& operator>>(bool& value) override;
  CArchive& operator>>(double& value) override;
  CArchive& operator>>(float& value) override;
  CArchive& operator>>(short& value) override;
  CArchive& operator>>(int& value) override;
  CArchive& operator>>(long long& value) override;
  CArchive& operator>>(GS::Guid& guid) override;
  CArchive& operator>>(std::string& text) override;
  CArchive& operator>>(GS::UniString& text) override;
  void ReadCString(char* text, int capacity) override;
  void ReadText(GS::UniString& text, GSCharCode code) override;
  void WriteText(const GS::UniString& text, GSCharCode code) override;

  void SaveAttribute(API_AttrTypeID type, short index, GSCharCode code) override;
  void LoadAttribute(API_AttrTypeID type, short& index, GSCharCode code) override;

  void Serialize(bool& value) override;
  void Serialize(double& value) override;
  void Serialize(float& value) override;
  void Serialize(short& value) override;
  void Serialize(int& value) override;
  void Serialize(long long& value) override;
  void Serialize(char* text, int capacity) override;
  void Serialize(GS::Guid& guid) override;
  void Serialize(std::string& text) override;
  void Serialize(GS::UniString& text) override;

protected:
  // Raw transfers of the medium.
  virtual void Write(const void* data, int size) = 0;
  virtual void Read(void* data, int size) = 0;
  // A text the 16-bit length or the character code cannot hold (written),
  // or a stored length that is negative or longer than what remains, or
  // bytes the code has no character for (read).
  virtual void OnBadText() = 0;

private:
  friend struct ArchiveEncoding;
};

// The open file of a file stream. Writing goes to a copy beside the file,
// which takes the file's place only when the stream closes without error,
// so a failed write never leaves a half-written file over a good one. The
// first error code stays.
class CArchiveFile {
public:
  CArchiveFile() = default;
  CArchiveFile(const CArchiveFile&) = delete;
  CArchiveFile& operator=(const CArchiveFile&) = delete;

  // Opens the file at the path (UTF-8) for reading; false, with error 1,
  // when it did not open.
  [[nodiscard]] bool OpenRead(const GS::UniString& path);
  // Opens a copy that will replace the file at the path; false, with
  // error 1, when it could not be created.
  [[nodiscard]] bool OpenWrite(const GS::UniString& path);
  // Closes the file; a written copy then replaces the file (error 3 when it
  // cannot). Returns the error.
  int Close();
  // Drops a copy being written: the file it would have replaced stays.
  void Abandon();

  // A transfer that moves fewer bytes than asked sets the given error; a
  // short read zero-fills the rest.
  void Write(const void* data, int size, int error);
  void Read(void* data, int size, int error);
  // Bytes between the read position and the end.
  std::uint64_t RemainingBytes() const;

  int GetError() const { return m_nError; }
  void SetError(int error);

private:
  std::FILE* m_pFile = nullptr;  // while reading
  int m_nError = 0;
  CKelCompleteCopy m_Copy;       // while writing: the copy that replaces the file
};

// The project record: the whole document as host module data. The data
// holds exactly the serialized fields; its version and platform sign travel
// in the host's module-data record.
class CArchiveOld : public CArchiveStream {
public:
  static constexpr unsigned short kPlatformSign = 0x5757;

  explicit CArchiveOld(const char* name);
  // Stores a record opened by Save() whose writing did not fail, unless
  // Store() has already run.
  ~CArchiveOld() override;
  CArchiveOld(const CArchiveOld&) = delete;
  CArchiveOld& operator=(const CArchiveOld&) = delete;

  // 0, or the host's error (APIERR_NOMODULEDATA when there is no such
  // record); no data is kept after a failure, so a later read throws 1.
  int Open();
  void Save(int version);
  // Stores the written record now: the host's error, or APIERR_GENERAL when
  // the writing failed (nothing is stored then). Afterwards the destructor
  // stores nothing.
  int Store();
  // The record as read or written: its version, then its bytes; empty
  // without data. Two equal stamps are the same stored record.
  std::string Stamp() const;

  int GetVersion() override { return m_ModulData.dataVersion; }
  unsigned short GetPlatformSign() const { return m_ModulData.platformSign; }
  int GetFilePointer() override { return m_Data.GetPosition(); }
  std::uint64_t RemainingBytes() override;

  void Write(const void* data, int size) override;
  void Read(void* data, int size) override;

protected:
  void OnBadText() override;

private:
  CHostMemoryStream m_Data;   // the record's data
  API_ModulData m_ModulData;  // version and platform sign; its handle stays with the stream
  GS::UniString m_Name;
  bool m_bStored = false;
};

// The two file streams: a plain file that begins with the version as an
// int, moved through CArchiveFile. They never throw: each keeps its first
// error code (GetError) and goes on, and a short read zero-fills the rest.
class CArchiveFileStream : public CArchiveStream {
public:
  // Closes the file.
  ~CArchiveFileStream() override;
  CArchiveFileStream(const CArchiveFileStream&) = delete;
  CArchiveFileStream& operator=(const CArchiveFileStream&) = delete;

  // Closes the file; a written copy then replaces the file (error 3 when it
  // cannot). Returns the error.
  int Close();
  // Drops the copy being written, for a save refused half way that left
  // no error in the stream itself.
  void Abandon() { m_File.Abandon(); }

  int GetVersion() override { return m_nVersion; }
  int GetError() const { return m_File.GetError(); }
  int GetFilePointer() override { return 0; }
  std::uint64_t RemainingBytes() override;

  void Write(const void* data, int size) override;
  void Read(void* data, int size) override;

protected:
  // readError: the code a read that finds too few bytes sets.
  explicit CArchiveFileStream(int readError) : m_nReadError(readError) {}
  // The path in UTF-8 (character code 99). 0, or 1 when it did not open.
  int OpenFile(const GS::UniString& path);
  int SaveFile(const GS::UniString& path, int version);

  CArchiveFile m_File;

private:
  int m_nReadError;
  int m_nVersion = 0;
};

// The document dump. Errors: 1 the file did not open, 2 a read found too
// few bytes, 3 a write transferred fewer bytes.
class CFileArchiveNew : public CArchiveFileStream {
public:
  CFileArchiveNew();

  int Open(const GS::UniString& path) { return OpenFile(path); }
  int Save(const GS::UniString& path, int version) { return SaveFile(path, version); }

protected:
  void OnBadText() override;
};

// The settings file. Every transfer that moves fewer bytes than asked sets
// error 3.
class CFileArchive : public CArchiveFileStream {
public:
  explicit CFileArchive(const GS::UniString& path);

  // 0 when the file opened (also when its version could not be read: then
  // GetError() is 3); 1 when it did not open.
  int Open() { return OpenFile(m_Path); }
  // 0, or 1 when the file could not be created.
  int Save(int version) { return SaveFile(m_Path, version); }

  // For a reader that refuses a count or length it found; 3 by convention.
  void SetError(int error);
  // A stored text that does not fit the buffer sets error 3 and leaves "".
  void ReadCString(char* text, int capacity) override;

protected:
  // A text the 16-bit length or the character code cannot hold, or a
  // stored length that is negative or longer than what remains: error 3.
  void OnBadText() override { SetError(3); }

private:
  GS::UniString m_Path;
};
