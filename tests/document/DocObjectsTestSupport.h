#pragma once
// Builders for the tests of figure records, elements and folders: a figure
// kind of the tests' own (any TYPE, a raw area and formula terms the test
// sets), its registration in a document's factory, handmade stored bytes,
// and project records written and read back through the module data of the
// stand-in host.

#include "CArchive.h"
#include "CArea1Object.h"
#include "CPlenimetraParam.h"
#include "HostFixture.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A figure of any kind whose raw area (1e-8 m2) and formula terms the test
// sets; nothing of the kind's geometry exists.
class TestKindFigure : public CArea1Object {
public:
  TestKindFigure(CPlenimetraParam* param, TYPE type, int code, CItemType1Table::ITEMTYPE mark,
                 CItemType2Table::ITEMTYPE numbering, int no, long long raw = 0)
      : CArea1Object(param, type, code, mark, numbering, no), m_Raw(raw)
  {
  }

  using CArea1Object::CopyObject;
  using CArea1Object::GetEquation;

  GSErrCode ChangeParam(CPlenimetraParam*, bool) override { return 0; }
  GSErrCode CopyObject(CPlenimetraParam*, short) override { return 0; }
  GSErrCode CheckStringParameter(CPlenimetraParam*) override { return 0; }
  GS::UniString GetEquation(CPlenimetraParam* param, bool allBreaks, double width) override
  {
    return CArea1Object::GetEquation(param, allBreaks, m_Terms, static_cast<int>(width));
  }
  long long GetOrgArea(CPlenimetraParam*) override { return m_Raw; }

  long long m_Raw;
  std::vector<GS::UniString> m_Terms{u"1.00", u"×2.00"};
};

// Makers for every kind but the old rectangle, which the factory builds as
// the slanted one.
inline void RegisterTestKinds(CPlenimetraParam& doc)
{
  for (int kind = CArea1Object::TYPE_TRIANGLE; kind <= CArea1Object::kTypeMax; ++kind) {
    if (kind == CArea1Object::TYPE_RECT)
      continue;
    const auto type = static_cast<CArea1Object::TYPE>(kind);
    doc.m_Area1Factory.Register(type, [type](CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                                             CItemType2Table::ITEMTYPE numbering, int no) {
      return std::make_shared<TestKindFigure>(param, type, code, mark, numbering, no);
    });
  }
}

inline std::shared_ptr<TestKindFigure> MakeKindFigure(CPlenimetraParam& doc, int code, long long raw = 0,
                                                      CArea1Object::TYPE type = CArea1Object::TYPE_TRIANGLE)
{
  return std::make_shared<TestKindFigure>(&doc, type, code, CItemType1Table::ITEMTYPE_CIRCLE,
                                          CItemType2Table::ITEMTYPE_DECIMAL, code - 1, raw);
}

// Stored bytes in the encodings of the document's streams.
class StoredBytes {
public:
  StoredBytes& Int(int v) { return Raw(&v, sizeof v); }
  StoredBytes& Short(short v) { return Raw(&v, sizeof v); }
  StoredBytes& Long(long long v) { return Raw(&v, sizeof v); }
  StoredBytes& Bool(bool v) { return Byte(v ? 1 : 0); }
  StoredBytes& Byte(int v)
  {
    m_Bytes.push_back(static_cast<char>(v));
    return *this;
  }
  // A C string: signed 16-bit length, the bytes, a NUL.
  StoredBytes& Text(const std::string& text)
  {
    Short(static_cast<short>(text.size()));
    m_Bytes.insert(m_Bytes.end(), text.begin(), text.end());
    return Byte(0);
  }
  const std::vector<char>& Get() const { return m_Bytes; }

private:
  StoredBytes& Raw(const void* p, std::size_t n)
  {
    const char* c = static_cast<const char*>(p);
    m_Bytes.insert(m_Bytes.end(), c, c + n);
    return *this;
  }
  std::vector<char> m_Bytes;
};

// The text of the null GUID as the streams store it.
inline const std::string kNullGuidText = "00000000-0000-0000-0000-000000000000";

// A project record of the given version written through the module-data
// archive, then read back through it.
class RecordRoundTrip {
public:
  static constexpr const char* kName = "DOCOBJECTS_TEST";

  void Write(int version, const std::function<void(CArchive&)>& writer)
  {
    CArchiveOld ar(kName);
    ar.Save(version);
    writer(ar);
  }
  // Stores handmade bytes as the record of that version.
  void Store(int version, const std::vector<char>& bytes)
  {
    Write(version, [&](CArchive&) {});
    API_ModulData data;
    data.dataVersion = version;
    data.platformSign = CArchiveOld::kPlatformSign;
    data.dataHdl = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
    if (!bytes.empty())
      std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
    ACAPI_ModulData_Store(&data, GS::UniString(kName));
    BMKillHandle(&data.dataHdl);
  }
  template <class Reader> auto Read(Reader reader)
  {
    CArchiveOld ar(kName);
    ar.Open();
    return reader(ar);
  }
  std::vector<char> Bytes(HostFixture& host) const { return host.ModulData(GS::UniString(kName))->bytes; }
};
