// The user-data stream of placed figures: the stored record (version, sign,
// leading type, fields), reading back, elements without data, deleted
// elements, damaged data that must throw instead of reading past it, and
// the layer opened for the store and put back.

#include "CPlenimetraUserDataCore.h"
#include "HostFixture.h"
#include "host_attributes.h"
#include "host_errors.h"
#include "host_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const auto kType = CMyUserDataCore::TYPE(700);

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

std::vector<char> Bytes(std::initializer_list<int> values)
{
  std::vector<char> bytes;
  for (int v : values)
    bytes.push_back(char(v));
  return bytes;
}

class CPlenimetraUserDataCoreTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    layer = short(host.AddLayer(u"図形"));
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = layer;
    element.object.libInd = 1;
    element.object.xRatio = 1.0;
    element.object.yRatio = 1.0;
    ASSERT_EQ(host.AddElement(element), NoError);
    head = element.header;
  }
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  template <typename Writer>
  GSErrCode WriteRecord(Writer writer, short version = 9)
  {
    CPlenimetraUserDataCore data;
    data.SetUserDataType(kType);
    data.Open(CPlenimetraUserDataCore::MODE_WRITE, &head);
    if (data.GetError() != NoError)
      return data.GetError();
    data.SetVersion(version);
    writer(data);
    data.Close();
    return data.GetError();
  }
  const std::vector<char>& StoredBytes() const { return host.Element(head.guid)->userData->bytes; }
  void StoreRaw(const std::vector<char>& bytes, short version = 9)
  {
    ASSERT_EQ(host.SetUserData(head.guid, version, 0x5757, bytes), NoError);
  }

  HostFixture host;
  API_Elem_Head head;
  short layer = 0;
};

TEST_F(CPlenimetraUserDataCoreTest, ARecordIsTheTypeThenItsFieldsWithVersionAndSignInTheHostRecord)
{
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& data) { data << 5 << true << short(-1) << 2.0 << "ab"; }),
            NoError);
  const auto& record = host.Element(head.guid)->userData;
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->dataVersion, 9);
  EXPECT_EQ(record->platformSign, 0x5757);
  EXPECT_EQ(record->flags, 0u);
  EXPECT_EQ(record->bytes, Bytes({0xBC, 0x02, 0, 0, 5, 0, 0, 0, 1, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0x40, 2, 0, 'a',
                                  'b', 0}));
}

TEST_F(CPlenimetraUserDataCoreTest, ARecordReadsBackToItsEndWithItsVersionAndType)
{
  GS::Guid guid;
  guid.Generate();
  ASSERT_EQ(WriteRecord([&](CPlenimetraUserDataCore& data) { data << guid << 7 << 123456789012LL << 0.25; }),
            NoError);
  CPlenimetraUserDataCore data;
  data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
  ASSERT_EQ(data.GetError(), NoError);
  EXPECT_TRUE(data.IsOpen());
  EXPECT_EQ(data.GetVersion(), 9);
  EXPECT_EQ(data.GetUserDataType(), kType);
  EXPECT_EQ(data.GetDataSize(), 4 + 39 + 4 + 8 + 8);
  GS::Guid read;
  int i = 0;
  long long ll = 0;
  double d = 0;
  data >> read >> i >> ll;
  EXPECT_FALSE(data.IsEOF());
  data >> d;
  EXPECT_TRUE(data.IsEOF());
  EXPECT_EQ(read, guid);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(ll, 123456789012LL);
  EXPECT_EQ(d, 0.25);
  EXPECT_EQ(ThrownBy([&] { data >> i; }), CPlenimetraUserDataCore::kPastEnd);
  data.Close();
  EXPECT_FALSE(data.IsOpen());
}

TEST_F(CPlenimetraUserDataCoreTest, AnElementWithoutUserDataReportsItAndReadsNothing)
{
  CPlenimetraUserDataCore data;
  data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
  EXPECT_EQ(data.GetError(), APIERR_NOUSERDATA);
  int value = 0;
  EXPECT_EQ(ThrownBy([&] { data >> value; }), CPlenimetraUserDataCore::kNoData);
}

TEST_F(CPlenimetraUserDataCoreTest, ADeletedElementsRecordIsStillRead)
{
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& data) { data << 42; }), NoError);
  ASSERT_EQ(host.UserDelete({head.guid}), NoError);
  CPlenimetraUserDataCore data;
  data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
  EXPECT_EQ(data.GetError(), NoError);
  int value = 0;
  data >> value;
  EXPECT_EQ(value, 42);
}

TEST_F(CPlenimetraUserDataCoreTest, DataShorterThanTheTypeThrowsOnOpen)
{
  StoreRaw(Bytes({0xBC, 0x02}));
  CPlenimetraUserDataCore data;
  EXPECT_EQ(ThrownBy([&] { data.Open(CPlenimetraUserDataCore::MODE_READ, &head); }),
            CPlenimetraUserDataCore::kPastEnd);
  StoreRaw({});
  CPlenimetraUserDataCore empty;
  EXPECT_NE(ThrownBy([&] { empty.Open(CPlenimetraUserDataCore::MODE_READ, &head); }), 0u);
}

TEST_F(CPlenimetraUserDataCoreTest, StoredTextLengthsAreBoundedByWhatRemains)
{
  for (const std::vector<char>& bytes :
       {Bytes({0xBC, 0x02, 0, 0, 0xFF, 0xFF}), Bytes({0xBC, 0x02, 0, 0, 0xFF, 0x7F, 'a', 0}),
        Bytes({0xBC, 0x02, 0, 0, 1, 0, 'a'})}) {
    StoreRaw(bytes);
    CPlenimetraUserDataCore data;
    data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
    GS::Guid guid;
    EXPECT_EQ(ThrownBy([&] { data >> guid; }), CPlenimetraUserDataCore::kPastEnd);
    EXPECT_TRUE(guid.IsNull());
  }
}

TEST_F(CPlenimetraUserDataCoreTest, CanHoldBoundsACountByTheBytesLeft)
{
  StoreRaw(Bytes({0xBC, 0x02, 0, 0, 3, 0, 0, 0, 1, 1, 1}));
  CPlenimetraUserDataCore data;
  data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
  int count = 0;
  data >> count;
  EXPECT_EQ(data.RemainingBytes(), 3u);
  EXPECT_TRUE(data.CanHold(count, 1));
  EXPECT_FALSE(data.CanHold(count + 1, 1));
  EXPECT_FALSE(data.CanHold(-1, 1));
}

TEST_F(CPlenimetraUserDataCoreTest, TheStoreOpensAHiddenLockedLayerAndPutsItBack)
{
  ASSERT_EQ(host.SetLayerFlags(layer, APILay_Hidden | APILay_Locked), NoError);
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& data) { data << 1; }), NoError);
  EXPECT_EQ(StoredBytes(), Bytes({0xBC, 0x02, 0, 0, 1, 0, 0, 0}));
  API_Attribute attribute;
  attribute.header.typeID = API_LayerID;
  attribute.header.index = layer;
  ASSERT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
  EXPECT_EQ(attribute.header.flags & (APILay_Hidden | APILay_Locked), UInt32(APILay_Hidden | APILay_Locked));
}

TEST_F(CPlenimetraUserDataCoreTest, FailuresWhileWritingStoreNothing)
{
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& data) { data << 1; }), NoError);
  const std::vector<char> good = StoredBytes();

  host.FailOnce("ACAPI_Element_SetUserData", APIERR_GENERAL);
  EXPECT_EQ(WriteRecord([](CPlenimetraUserDataCore& data) { data << 2; }), APIERR_GENERAL);
  EXPECT_EQ(StoredBytes(), good);

  EXPECT_EQ(WriteRecord([](CPlenimetraUserDataCore& data) {
              pln::host::FailNextAllocation();
              data << 3;
            }),
            APIERR_MEMFULL);
  EXPECT_EQ(StoredBytes(), good);

  const std::string tooLong(CPlenimetraUserDataCore::kMaxTextBytes + 1, 'x');
  EXPECT_EQ(WriteRecord([&](CPlenimetraUserDataCore& data) { data << tooLong.c_str(); }), APIERR_BADPARS);
  EXPECT_EQ(StoredBytes(), good);
}

TEST_F(CPlenimetraUserDataCoreTest, ClosingTwiceAndClosingAnUnopenedStreamDoNothing)
{
  CPlenimetraUserDataCore never;
  never.Close();
  EXPECT_EQ(never.GetMode(), CPlenimetraUserDataCore::MODE_CLOSE);
  host.ClearCallLog();
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& data) {
              data << 1;
              data.Close();
              data.Close();
            }),
            NoError);
  int stores = 0;
  for (const std::string& call : host.CallLog())
    stores += call == "ACAPI_Element_SetUserData";
  EXPECT_EQ(stores, 1);
}

}  // namespace
