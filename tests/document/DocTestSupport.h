#pragma once
// Builders shared by the document tests: a figure kind of the tests' own,
// floors and a document holding one calculation pattern, handmade stored
// bytes, project records and settings files written and read back through
// the stand-in host, and a placed element to carry user data.
//
// Pattern layout built by PatternDoc: root (code 0) -> top folder (code 1,
// the current pattern, preset id 0) -> folder "建物" (code 2) -> the nodes a
// test adds. Elements get codes from the document's counter.

#include "../LiveHandleCheck.h"
#include "CArchive.h"
#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CFloorParam.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "HostFixture.h"
#include "host_memory.h"
#include "host_userdata.h"
#include "io_filesystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
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
  bool CheckStringParameter(CPlenimetraParam*) override { return false; }
  // No part to place: a dump's record of it is taken as placed.
  GSErrCode CreateFromDump(CPlenimetraParam*, short, short, const CDumpFigure&) override { return 0; }
  GS::UniString GetEquation(const CPlenimetraParam* param, bool allBreaks, double width) override
  {
    return CArea1Object::GetEquation(param, allBreaks, m_Terms, static_cast<int>(width));
  }
  long long GetOrgArea(const CPlenimetraParam*) const override { return m_Raw; }
  // The shape measures what the raw area says.
  double GetShapeArea() const override { return static_cast<double>(m_Raw) / 100000000.0; }

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

// A figure of the raw area under the document's next figure code.
inline std::shared_ptr<TestKindFigure> MakeFigure(CPlenimetraParam& doc, long long raw)
{
  return MakeKindFigure(doc, ++doc.m_LastArea1Code, raw);
}

inline CFloorParam MakeFloor(short story, const char16_t* name = u"")
{
  return CFloorParam(story, GS::UniString(name), true, {}, {}, {}, {}, {});
}

class PatternDoc {
public:
  static constexpr int kTopCode = 1;
  static constexpr int kBuildingCode = 2;

  explicit PatternDoc(int floors = 2)
  {
    for (short i = 0; i < floors; ++i)
      doc.m_FloorParamArray.push_back(MakeFloor(i));
    Insert(u"パターン", kTopCode, 0, CAreaTree::KIND_FOLDER);
    Insert(u"建物", kBuildingCode, kTopCode, CAreaTree::KIND_FOLDER);
    doc.m_LastAreaCode = kBuildingCode;
    doc.m_CurTreeCode = kTopCode;
  }

  // A new element under the parent node; returns its node code (negative).
  int AddElement(int parentCode, const char16_t* name, int op = COperatorTable::OPERATOR_PLUS)
  {
    const int code = ++doc.m_LastAreaCode;
    Insert(name, code, parentCode, CAreaTree::KIND_ELEMENT_FORMULA);
    doc.m_AreaTree2.Search(-code)->m_Operator = op;
    return -code;
  }

  int AddFolder(int parentCode, const char16_t* name, int op = COperatorTable::OPERATOR_PLUS)
  {
    const int code = ++doc.m_LastAreaCode;
    Insert(name, code, parentCode, CAreaTree::KIND_FOLDER);
    doc.m_AreaTree2.Search(code)->m_Operator = op;
    return code;
  }

  // A figure of the raw area on the floor, listed by the element (node code).
  std::shared_ptr<TestKindFigure> AddFigure(int elementNode, short floorIndex, long long raw,
                                            int op = COperatorTable::OPERATOR_PLUS)
  {
    auto figure = MakeFigure(doc, raw);
    CFloorParam& floor = doc.m_FloorParamArray[static_cast<std::size_t>(floorIndex)];
    floor.m_Area1ObjectArray.push_back(figure);
    CArea2ObjectFloor* record = Element(elementNode)->m_FloorArray.SearchFloor(floor.m_FloorNo);
    record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
    record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR(op)));
    return figure;
  }

  CAreaObject* Object(int nodeCode) { return doc.GetAreaObject(nodeCode); }
  CArea2Object* Element(int nodeCode) { return dynamic_cast<CArea2Object*>(doc.GetAreaObject(nodeCode)); }
  CArea4Object* Folder(int nodeCode) { return dynamic_cast<CArea4Object*>(doc.GetAreaObject(nodeCode)); }
  CAreaTree* Node(int nodeCode) { return doc.m_AreaTree2.Search(nodeCode); }

  CPlenimetraParam doc;

private:
  void Insert(const char16_t* name, int code, int parentCode, int kind)
  {
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    doc.m_AreaTree2.Insert(&doc, GS::UniString(name), code, parentCode, kind, item, item);
  }
};

// The code a document stream throws, or 0 when the body ran through.
template <typename Body>
unsigned int ThrownBy(Body body)
{
  try {
    body();
  } catch (unsigned int code) {
    return code;
  }
  return 0;
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
  StoredBytes& Append(const StoredBytes& more) { return Raw(more.m_Bytes.data(), more.m_Bytes.size()); }
  const std::vector<char>& Get() const { return m_Bytes; }
  std::string Str() const { return std::string(m_Bytes.begin(), m_Bytes.end()); }

private:
  StoredBytes& Raw(const void* p, std::size_t n)
  {
    const char* c = static_cast<const char*>(p);
    m_Bytes.insert(m_Bytes.end(), c, c + n);
    return *this;
  }
  std::vector<char> m_Bytes;
};

inline std::vector<char> Bytes(std::initializer_list<int> values)
{
  std::vector<char> bytes;
  for (int v : values)
    bytes.push_back(char(v));
  return bytes;
}

// The text of the null GUID as the streams store it.
inline const std::string kNullGuidText = "00000000-0000-0000-0000-000000000000";

// The first n bytes in upper-case hex, for golden prefixes.
inline std::string HexOf(const std::string& bytes, std::size_t n)
{
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < n && i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
  }
  return out;
}

// Stores handmade bytes as the project's module data of that name.
inline void StoreModuleData(const char* name, int version, const std::vector<char>& bytes)
{
  API_ModulData data;
  data.dataVersion = version;
  data.platformSign = CArchiveOld::kPlatformSign;
  data.dataHdl = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
  if (!bytes.empty())
    std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
  ACAPI_ModulData_Store(&data, GS::UniString(name));
  BMKillHandle(&data.dataHdl);
}

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
  void Store(int version, const std::vector<char>& bytes) { StoreModuleData(kName, version, bytes); }
  template <class Reader> auto Read(Reader reader)
  {
    CArchiveOld ar(kName);
    EXPECT_EQ(ar.Open(), 0);
    return reader(ar);
  }
  // Reads with a reader that returns nothing; the code it threw or 0.
  unsigned int ReadThrown(const std::function<void(CArchive&)>& reader)
  {
    return Read([&](CArchive& ar) { return ThrownBy([&] { reader(ar); }); });
  }
  std::vector<char> Bytes(HostFixture& host) const { return host.ModulData(GS::UniString(kName))->bytes; }
};

// The next value of type T read from a stream.
template <typename T, typename Archive>
T Next(Archive& ar)
{
  T value{};
  ar >> value;
  return value;
}

// Tests of documents and their stored forms on the stand-in host; every
// memory handle taken is given back.
class DocTest : public ::testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  HostFixture host;
  RecordRoundTrip record;
  CPlenimetraParam doc;
};

// Files of a test in a folder of its own under the sandbox.
class SandboxFiles {
public:
  SandboxFiles()
  {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_Folder = pln::host::SandboxRoot() / "document" / test->test_suite_name() / test->name();
    std::filesystem::remove_all(m_Folder);
    std::filesystem::create_directories(m_Folder);
  }

  std::filesystem::path File(const char* name = "env.dat") const { return m_Folder / name; }
  GS::UniString Path(const char* name = "env.dat") const { return GS::UniString(File(name).string().c_str(), CC_UTF8); }
  std::string Contents(const char* name = "env.dat") const
  {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Put(const std::string& bytes, const char* name = "env.dat") const
  {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }

private:
  std::filesystem::path m_Folder;
};

// An object element placed on the layer, to carry user data.
inline API_Elem_Head PlaceObject(HostFixture& host, short layer = 1)
{
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = layer;
  element.object.libInd = 1;
  element.object.xRatio = 1.0;
  element.object.yRatio = 1.0;
  EXPECT_EQ(host.AddElement(element), NoError);
  return element.header;
}

// User data of a placed element, written and read through the figures'
// user-data stream.
class ElementUserData {
public:
  explicit ElementUserData(HostFixture& host, short layer = 1) : head(PlaceObject(host, layer)), m_Host(host) {}

  // Writes a record of the version; the stream's error.
  GSErrCode Write(short version, const std::function<void(CPlenimetraUserDataCore&)>& writer)
  {
    CPlenimetraUserDataCore data;
    data.SetUserDataType(CMyUserDataCore::TYPE(700));
    data.Open(CPlenimetraUserDataCore::MODE_WRITE, &head);
    if (data.GetError() != NoError)
      return data.GetError();
    data.SetVersion(version);
    writer(data);
    data.Close();
    return data.GetError();
  }
  void Store(short version, const std::vector<char>& bytes)
  {
    EXPECT_EQ(m_Host.SetUserData(head.guid, version, 0x5757, bytes), NoError);
  }
  // Opens the stored record and reads it; the code thrown or 0.
  unsigned int Read(const std::function<void(CPlenimetraUserDataCore&)>& reader)
  {
    CPlenimetraUserDataCore data;
    return ThrownBy([&] {
      data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
      EXPECT_EQ(data.GetError(), NoError);
      reader(data);
    });
  }
  const std::vector<char>& Bytes() const { return m_Host.Element(head.guid)->userData->bytes; }

  API_Elem_Head head;

private:
  HostFixture& m_Host;
};
