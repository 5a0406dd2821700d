#pragma once
// A named binary record in the project's module data (the add-on's private
// data stored with the project). The record has no header of its own: its
// version and platform sign live in the host's module-data record, and the
// body is exactly the bytes written, numbers in little-endian order
// (CHostMemoryStream).
//
// One object runs one direction: Open() reads the stored record, Save()
// starts a new one that the destructor stores under the name.
//
// Reads throw an unsigned int instead of returning half a value, so a
// caller that reads an optional record catches once around all its fields
// and keeps its defaults:
//   kNoData   the record has no data (it was never stored, or Open failed);
//   kPastEnd  fewer bytes remain than a field needs (a stored length
//             included: no allocation is made for a length the record
//             cannot hold);
//   kTooLong  a stored text does not fit the caller's buffer, or a text is
//             too long for its length field when written;
//   kNoMemory the record cannot grow while writing; nothing is stored then.

#include "CHostMemoryStream.h"
#include "CBrep2KEL.h"
#include "gs_unistring.h"
#include "host_api_types.h"

#include <string>

class CGSArchive2Core {
public:
  virtual ~CGSArchive2Core() = default;

  [[nodiscard]] virtual bool Open() = 0;
  virtual void Save(int version) = 0;
  virtual int GetVersion() = 0;
  virtual void Serialize(bool& value) = 0;
  virtual void Serialize(double& value) = 0;
  virtual void Serialize(float& value) = 0;
  virtual void Serialize(short& value) = 0;
  virtual void Serialize(int& value) = 0;
  // A 16-bit length n, then the text and its zero. Reading fills at most
  // capacity bytes of text, terminator included.
  virtual void Serialize(char* text, USize capacity) = 0;
  // A 32-bit length n, then the text and its zero.
  virtual void Serialize(std::string& text) = 0;
  // As std::string, in the host's default character code.
  virtual void Serialize(GS::UniString& text) = 0;
  // 16 bits, read back zero-extended.
  virtual void Serialize(CBrep2KEL::TYPE& value) = 0;
  // Attributes travel by name in the given character code, so a record
  // survives a project whose attribute indices differ.
  virtual void SerializeAttribute(API_AttrTypeID type, short& index, GSCharCode code) = 0;
};

class CGSArchive2 : public CGSArchive2Core {
public:
  static constexpr unsigned int kNoData = CHostMemoryStream::kNoData;
  static constexpr unsigned int kPastEnd = CHostMemoryStream::kPastEnd;
  static constexpr unsigned int kTooLong = CHostMemoryStream::kTooLong;
  static constexpr unsigned int kNoMemory = CHostMemoryStream::kNoMemory;
  static constexpr unsigned short kPlatformSign = 0x5757;
  // Room for an attribute name read back; host names are far shorter.
  static constexpr USize kMaxAttributeNameBytes = 256;

  explicit CGSArchive2(const char* name);
  // Stores a record opened by Save() that was written completely.
  ~CGSArchive2() override;
  CGSArchive2(const CGSArchive2&) = delete;
  CGSArchive2& operator=(const CGSArchive2&) = delete;

  // True when a record of that name exists.
  static bool IsHaveData(const char* name);

  [[nodiscard]] bool Open() override;
  void Save(int version) override;
  int GetVersion() override { return m_record.dataVersion; }
  int GetSize() const { return m_stream.GetSize(); }
  bool IsLoading() const { return !m_stream.IsWriting(); }

  void Write(const void* data, int size);
  void Read(void* data, int size);

  // One byte, 0 or 1 when written; any other stored byte reads as true.
  void Serialize(bool& value) override;
  void Serialize(double& value) override { Transfer(value); }
  void Serialize(float& value) override { Transfer(value); }
  void Serialize(short& value) override { Transfer(value); }
  void Serialize(int& value) override { Transfer(value); }
  void Serialize(char* text, USize capacity) override;
  void Serialize(std::string& text) override;
  void Serialize(GS::UniString& text) override;
  void Serialize(CBrep2KEL::TYPE& value) override;
  void SerializeAttribute(API_AttrTypeID type, short& index, GSCharCode code) override;

private:
  template <typename T>
  void Transfer(T& value)
  {
    if (IsLoading())
      value = m_stream.Get<T>();
    else
      m_stream.Put(value);
  }

  CHostMemoryStream m_stream;  // the record's data; no direction until Open() or Save()
  API_ModulData m_record;      // version and platform sign; its handle stays with the stream
  GS::UniString m_name;
};
