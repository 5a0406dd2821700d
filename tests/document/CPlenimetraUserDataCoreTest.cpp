// The user-data stream of placed figures: the stored record (version, sign,
// leading type, fields), reading back, elements without data, deleted
// elements, damaged data that must throw instead of reading past it, and
// the layer opened for the store and put back.

#include "CPlenimetraUserDataCore.h"
#include "DocTestSupport.h"
#include "host_attributes.h"
#include "host_errors.h"

namespace {

const auto kType = CMyUserDataCore::TYPE(700);

class CPlenimetraUserDataCoreTest : public DocTest {
protected:
  GSErrCode WriteRecord(const std::function<void(CPlenimetraUserDataCore&)>& writer) { return data.Write(9, writer); }

  short layer = short(host.AddLayer(u"図形"));
  ElementUserData data{host, layer};
};

TEST_F(CPlenimetraUserDataCoreTest, ARecordIsTheTypeThenItsFieldsWithVersionAndSignInTheHostRecord)
{
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& out) { out << 5 << true << short(-1) << 2.0 << "ab"; }),
            NoError);
  const auto& userData = host.Element(data.head.guid)->userData;
  ASSERT_TRUE(userData.has_value());
  EXPECT_EQ(userData->dataVersion, 9);
  EXPECT_EQ(userData->platformSign, 0x5757);
  EXPECT_EQ(userData->flags, 0u);
  EXPECT_EQ(userData->bytes, Bytes({0xBC, 0x02, 0, 0, 5, 0, 0, 0, 1, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0x40, 2, 0, 'a',
                                  'b', 0}));
}

TEST_F(CPlenimetraUserDataCoreTest, ARecordReadsBackToItsEndWithItsVersionAndType)
{
  GS::Guid guid;
  guid.Generate();
  ASSERT_EQ(WriteRecord([&](CPlenimetraUserDataCore& out) { out << guid << 7 << 123456789012LL << 0.25; }),
            NoError);
  CPlenimetraUserDataCore in;
  in.Open(CPlenimetraUserDataCore::MODE_READ, &data.head);
  ASSERT_EQ(in.GetError(), NoError);
  EXPECT_TRUE(in.IsOpen());
  EXPECT_EQ(in.GetVersion(), 9);
  EXPECT_EQ(in.GetUserDataType(), kType);
  EXPECT_EQ(in.GetDataSize(), 4 + 39 + 4 + 8 + 8);
  GS::Guid read;
  int i = 0;
  long long ll = 0;
  double d = 0;
  in >> read >> i >> ll;
  EXPECT_FALSE(in.IsEOF());
  in >> d;
  EXPECT_TRUE(in.IsEOF());
  EXPECT_EQ(read, guid);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(ll, 123456789012LL);
  EXPECT_EQ(d, 0.25);
  EXPECT_EQ(ThrownBy([&] { in >> i; }), CPlenimetraUserDataCore::kPastEnd);
  in.Close();
  EXPECT_FALSE(in.IsOpen());
}

TEST_F(CPlenimetraUserDataCoreTest, AnElementWithoutUserDataReadsNothingAndADeletedOnesRecordIsStillRead)
{
  CPlenimetraUserDataCore none;
  none.Open(CPlenimetraUserDataCore::MODE_READ, &data.head);
  EXPECT_EQ(none.GetError(), APIERR_NOUSERDATA);
  int nothing = 0;
  EXPECT_EQ(ThrownBy([&] { none >> nothing; }), CPlenimetraUserDataCore::kNoData);

  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& out) { out << 42; }), NoError);
  ASSERT_EQ(host.UserDelete({data.head.guid}), NoError);
  int value = 0;
  EXPECT_EQ(data.Read([&](CPlenimetraUserDataCore& in) { in >> value; }), 0u);
  EXPECT_EQ(value, 42);
}

TEST_F(CPlenimetraUserDataCoreTest, DamagedDataThrowsInsteadOfBeingReadPast)
{
  const auto nothing = [](CPlenimetraUserDataCore&) {};
  data.Store(9, Bytes({0xBC, 0x02}));  // shorter than the type
  EXPECT_EQ(data.Read(nothing), CPlenimetraUserDataCore::kPastEnd);
  data.Store(9, {});
  EXPECT_NE(data.Read(nothing), 0u);

  // Stored text lengths are bounded by what remains.
  for (const std::vector<char>& bytes :
       {Bytes({0xBC, 0x02, 0, 0, 0xFF, 0xFF}), Bytes({0xBC, 0x02, 0, 0, 0xFF, 0x7F, 'a', 0}),
        Bytes({0xBC, 0x02, 0, 0, 1, 0, 'a'})}) {
    data.Store(9, bytes);
    GS::Guid guid;
    EXPECT_EQ(data.Read([&](CPlenimetraUserDataCore& in) { in >> guid; }), CPlenimetraUserDataCore::kPastEnd);
    EXPECT_TRUE(guid.IsNull());
  }

  // CanHold bounds a count by the bytes left.
  data.Store(9, Bytes({0xBC, 0x02, 0, 0, 3, 0, 0, 0, 1, 1, 1}));
  data.Read([](CPlenimetraUserDataCore& in) {
    int count = 0;
    in >> count;
    EXPECT_EQ(in.RemainingBytes(), 3u);
    EXPECT_TRUE(in.CanHold(count, 1));
    EXPECT_FALSE(in.CanHold(count + 1, 1));
    EXPECT_FALSE(in.CanHold(-1, 1));
  });
}

TEST_F(CPlenimetraUserDataCoreTest, TheStoreOpensAHiddenLockedLayerAndPutsItBack)
{
  ASSERT_EQ(host.SetLayerFlags(layer, APILay_Hidden | APILay_Locked), NoError);
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& out) { out << 1; }), NoError);
  EXPECT_EQ(data.Bytes(), Bytes({0xBC, 0x02, 0, 0, 1, 0, 0, 0}));
  API_Attribute attribute;
  attribute.header.typeID = API_LayerID;
  attribute.header.index = layer;
  ASSERT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
  EXPECT_EQ(attribute.header.flags & (APILay_Hidden | APILay_Locked), UInt32(APILay_Hidden | APILay_Locked));
}

TEST_F(CPlenimetraUserDataCoreTest, FailuresWhileWritingStoreNothing)
{
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& out) { out << 1; }), NoError);
  const std::vector<char> good = data.Bytes();

  host.FailOnce("ACAPI_Element_SetUserData", APIERR_GENERAL);
  EXPECT_EQ(WriteRecord([](CPlenimetraUserDataCore& out) { out << 2; }), APIERR_GENERAL);
  EXPECT_EQ(data.Bytes(), good);

  EXPECT_EQ(WriteRecord([](CPlenimetraUserDataCore& out) {
              pln::host::FailNextAllocation();
              out << 3;
            }),
            APIERR_MEMFULL);
  EXPECT_EQ(data.Bytes(), good);

  const std::string tooLong(CPlenimetraUserDataCore::kMaxTextBytes + 1, 'x');
  EXPECT_EQ(WriteRecord([&](CPlenimetraUserDataCore& out) { out << tooLong.c_str(); }), APIERR_BADPARS);
  EXPECT_EQ(data.Bytes(), good);
}

TEST_F(CPlenimetraUserDataCoreTest, ClosingTwiceAndClosingAnUnopenedStreamDoNothing)
{
  CPlenimetraUserDataCore never;
  never.Close();
  EXPECT_EQ(never.GetMode(), CPlenimetraUserDataCore::MODE_CLOSE);
  host.ClearCallLog();
  ASSERT_EQ(WriteRecord([](CPlenimetraUserDataCore& out) {
              out << 1;
              out.Close();
              out.Close();
            }),
            NoError);
  int stores = 0;
  for (const std::string& call : host.CallLog())
    stores += call == "ACAPI_Element_SetUserData";
  EXPECT_EQ(stores, 1);
}

}  // namespace
