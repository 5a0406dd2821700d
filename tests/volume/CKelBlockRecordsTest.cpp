// The stored forms of vertices, blocks and block lists: binary records with
// their older numbers, archives per version, and the old C arrays.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "CKelBlockCubeArray.h"
#include "VolumeTestSupport.h"

namespace {

using kel_test::Archived;
using kel_test::Bytes;
using kel_test::LoadRecord;
using kel_test::SavedRecord;
using kel_test::Unarchive;
using vol_test::Archived2;
using vol_test::Block;
using vol_test::Box;
using vol_test::Unarchive2;

// A block with a sloped top, its own bottom and some flags and floors.
CKelBlockCube SampleBlock()
{
  CKelBlockCube block = Block({{0, 0, 3, 1}, {2, 0, 4, 1}, {2, 1, 4, 1}, {0, 1, 3, 1}});
  block.SetMinMax();
  block.SetType();
  block.SetPlanBlock();
  block.SetMark(true);
  block.SetPpNo(nullptr, 2, 2);
  block.m_Coord[1].m_FlrH = 3;
  block.m_Coord[1].m_OffH = -0.5;
  return block;
}

void PutI32(Bytes& bytes, std::size_t offset, std::int32_t value) { std::memcpy(&bytes[offset], &value, 4); }

// --- Binary records ---------------------------------------------------------------------------

TEST(CKelBlockRecordTest, CurrentBlockRecordRoundTrips)
{
  const CKelBlockCube block = SampleBlock();
  const Bytes bytes = SavedRecord(block);
  ASSERT_EQ(362u, bytes.size());
  CKelBlockCube back;
  int left = -1;
  ASSERT_TRUE(LoadRecord(back, bytes, 362, &left));
  EXPECT_EQ(0, left);
  EXPECT_TRUE(back == block);
  EXPECT_TRUE(back.IsNearlyEqual(block));
  EXPECT_EQ(block.PlaneC(false), back.PlaneC(false));
  EXPECT_EQ(block.XMax(), back.XMax());
  EXPECT_EQ(bytes, SavedRecord(back));
  EXPECT_FALSE(LoadRecord(back, bytes, 361));
}

TEST(CKelBlockRecordTest, OlderRecordNumbersGetTheirPlanesFitted)
{
  const CKelBlockCube block = SampleBlock();
  const Bytes current = SavedRecord(block);

  Bytes noPlanes = current;  // 1000: the vertex count follows the flags
  PutI32(noPlanes, 0, 1000);
  noPlanes.erase(noPlanes.begin() + 54, noPlanes.begin() + 118);
  ASSERT_EQ(298u, noPlanes.size());

  Bytes oldPlanes = current;  // 1001: planes stored, but refitted
  PutI32(oldPlanes, 0, 1001);
  std::fill(oldPlanes.begin() + 54, oldPlanes.begin() + 118, 0x11);

  Bytes unsetPlanes = current;  // 1002 whose planes were never set
  std::fill(unsetPlanes.begin() + 54, unsetPlanes.begin() + 118, 0);

  for (const Bytes* bytes : {&noPlanes, &oldPlanes, &unsetPlanes}) {
    CKelBlockCube back;
    ASSERT_TRUE(LoadRecord(back, *bytes, static_cast<int>(bytes->size())));
    for (bool bottom : {false, true}) {
      EXPECT_NEAR(block.PlaneA(bottom), back.PlaneA(bottom), 1e-12);
      EXPECT_NEAR(block.PlaneC(bottom), back.PlaneC(bottom), 1e-12);
      EXPECT_NEAR(block.PlaneD(bottom), back.PlaneD(bottom), 1e-12);
    }
    EXPECT_TRUE(back == block);
  }

  Bytes unknown = current;
  PutI32(unknown, 0, 1003);
  CKelBlockCube refused;
  EXPECT_FALSE(LoadRecord(refused, unknown, 362));
}

TEST(CKelBlockRecordTest, ListRecord)
{
  CKelBlockCubeArray list;
  list.AddBlock(SampleBlock());
  list.AddBlock(Block({{0, 0, 1, 0}, {1, 0, 1, 0}, {0, 1, 1, 0}}));
  const Bytes bytes = SavedRecord(list);
  ASSERT_EQ(672u, bytes.size());
  CKelBlockCubeArray back;
  ASSERT_TRUE(LoadRecord(back, bytes, 672));
  EXPECT_TRUE(back == list);

  kel_test::ByteBuilder empty;
  empty.I32(1000).I32(0);
  EXPECT_TRUE(LoadRecord(back, empty.bytes, 8));
  EXPECT_EQ(0, back.Size());

  for (std::int32_t count : {-1, 2, 1000000}) {
    Bytes bad = bytes;
    bad.resize(count == 2 ? 8 + 362 + 30 : bytes.size());
    PutI32(bad, 4, count);
    CKelBlockCubeArray refused;
    EXPECT_FALSE(LoadRecord(refused, bad, static_cast<int>(bad.size()))) << count;
    EXPECT_LE(refused.size(), 2u);
  }
}

TEST(CKelBlockRecordTest, VertexRecordSpendsItsBudget)
{
  CKelBlockCoord vertex(1.5, 2.5, 10, -1);
  vertex.m_FlrH = 3;
  const Bytes bytes = SavedRecord(vertex);
  ASSERT_EQ(60u, bytes.size());
  CKelBlockCoord back;
  EXPECT_FALSE(LoadRecord(back, bytes, 59));
  int left = -1;
  ASSERT_TRUE(LoadRecord(back, bytes, 60, &left));
  EXPECT_EQ(0, left);
  EXPECT_TRUE(back == vertex);
  Bytes wrongNumber = bytes;
  PutI32(wrongNumber, 0, 1001);
  EXPECT_FALSE(LoadRecord(back, wrongNumber, 60));
}

// --- Archives -------------------------------------------------------------------------------------

TEST(CKelBlockArchiveTest, SizesPerVersion)
{
  const std::pair<int, std::size_t> vertexSizes[] = {{15, 290}, {14, 286}, {9, 286}, {8, 262}, {2, 262}, {1, 168}};
  for (const auto& [version, size] : vertexSizes)
    EXPECT_EQ(size, Archived(CKelBlockCoord(1, 2, 3, 4), version).size()) << version;
  EXPECT_EQ(1320u, Archived(Box(0, 0, 1, 1, 3), 15).size());
}

TEST(CKelBlockArchiveTest, LoadingTakesExtentsAndAreaFromTheVertices)
{
  CKelBlockCube block = SampleBlock();
  block.SetXMax(99);
  block.m_Value = 5;
  CPrfPlanParam profiles;
  block.m_pPrfPlanParam = &profiles;
  CKelBlockCube back;
  back.m_pPrfPlanParam = &profiles;
  ASSERT_TRUE(Unarchive(back, Archived(block, 15), 15));
  EXPECT_EQ(2, back.XMax());
  EXPECT_EQ(2, back.Menseki());
  EXPECT_EQ(nullptr, back.m_pPrfPlanParam);
  EXPECT_EQ(0u, back.m_Value);

  // Fewer than three vertices load as stored.
  CKelBlockCube line = Block({{0, 0, 1, 0}, {3, 0, 1, 0}});
  ASSERT_TRUE(Unarchive(back, Archived(line, 15), 15));
  EXPECT_EQ(2, back.GetSize());
}

TEST(CKelBlockArchiveTest, ListCallbackAndRefusedCounts)
{
  CKelBlockCubeArray list;
  list.AddBlock(SampleBlock());
  CKelMemoryArchive out(15);
  EXPECT_TRUE(CKelBlockCubeArray::Serialize(out, 0, &list, nullptr));
  EXPECT_EQ(Archived2(list, 15), out.GetBytes());
  CKelBlockCubeArray back;
  ASSERT_TRUE(Unarchive2(back, out.GetBytes(), 15));
  EXPECT_TRUE(back == list);

  kel_test::ByteBuilder huge;
  huge.Text("CKelBlockCubeArray").I32(1000);
  EXPECT_FALSE(Unarchive2(back, huge.bytes, 15));
  kel_test::ByteBuilder negative;
  negative.I32(-2);
  EXPECT_FALSE(Unarchive2(back, negative.bytes, 1));
}

// Random blocks, with vertices, heights, floors and flags, survive both
// stored forms and save again to the same bytes.
TEST(CKelBlockArchiveTest, RandomBlocksRoundTrip)
{
  std::mt19937 random(103);
  std::uniform_real_distribution<double> number(-100, 100);
  std::uniform_int_distribution<int> small(-3, 3);
  std::bernoulli_distribution coin(0.5);
  for (int n = 0; n < 60; ++n) {
    CKelBlockCube block;
    const int vertices = 3 + n % 5;
    const double cx = number(random), cy = number(random), radius = 1 + std::fabs(number(random));
    for (int k = 0; k < vertices; ++k) {
      const double t = 6.283185307179586 * k / vertices;
      // Braced: the draws come in order whatever the compiler.
      CKelBlockCoord c{cx + radius * std::cos(t), cy + radius * std::sin(t), number(random), number(random)};
      c.m_FlrH = small(random);
      c.m_FlrL = small(random);
      c.m_OffH = number(random);
      c.m_OffL = number(random);
      block.Append(c);
    }
    block.SetMinMax();
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    block.SetPpNo(nullptr, small(random), 2);
    block.SetMark(coin(random));
    block.SetShow(coin(random));
    block.SetError(coin(random));
    block.SetHikage(coin(random));
    block.SetSyasen(coin(random));
    block.SetTopSlope(coin(random));
    if (coin(random))
      block.SetBotSlope(true);
    block.m_Work = small(random);

    const Bytes archived = Archived(block, 15);
    CKelBlockCube fromArchive;
    ASSERT_TRUE(Unarchive(fromArchive, archived, 15));
    EXPECT_TRUE(fromArchive == block);
    EXPECT_EQ(archived, Archived(fromArchive, 15));

    const Bytes record = SavedRecord(block);
    CKelBlockCube fromRecord;
    ASSERT_TRUE(LoadRecord(fromRecord, record, static_cast<int>(record.size())));
    EXPECT_TRUE(fromRecord == block);
    EXPECT_EQ(record, SavedRecord(fromRecord));
  }
}

// --- Old arrays ------------------------------------------------------------------------------------

TEST(CKelBlockOldRecordTest, PointRecordLayout)
{
  CKelBlockCoord vertex(1.5, 2.5, 10, -1);
  vertex.m_OffL = -1;
  vertex.m_OffH = 1;
  vertex.m_FlrL = 0;
  vertex.m_FlrH = 3;
  const BldPntTag old = vertex.OldCoord();
  const Bytes expected = {0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0x20, 0x40, 0x00, 0x00, 0x80, 0xbf, 0x00, 0x00, 0x20,
                          0x41, 0x00, 0x00, 0x80, 0xbf, 0x00, 0x00, 0x80, 0x3f, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00};
  Bytes actual(sizeof(old));
  std::memcpy(actual.data(), &old, sizeof(old));
  EXPECT_EQ(expected, actual);

  BldPntTag negative = old;
  negative.FlrL = -3;
  CKelBlockCoord back;
  back.m_HikageWall.m_Item.m_nFlag = 4;
  back = negative;
  EXPECT_EQ(std::make_tuple(1.5, 2.5, 10.0, -1.0, -3, 3),
            std::make_tuple(back.m_x, back.m_y, back.m_z, back.m_zL, back.m_FlrL, back.m_FlrH));
  EXPECT_EQ(4, back.m_HikageWall.m_Item.m_nFlag);
}

TEST(CKelBlockOldRecordTest, ArraysOfTwoBlocks)
{
  CKelBlockCubeArray list;
  list.AddBlock(SampleBlock());
  list.AddBlock(Block({{0, 0, 1, 0}, {1, 0, 1, 0}, {0, 1, 1, 0}}));
  std::vector<BldIndexTag> index;
  std::vector<BldPntTag> points;
  ASSERT_EQ(7, list.GetOldParam(index, points));
  ASSERT_EQ(2u, index.size());
  EXPECT_EQ(0, +index[0].FirstPnt);
  EXPECT_EQ(4, +index[1].FirstPnt);
  EXPECT_EQ(KelOldRecord::kAttrHikage | KelOldRecord::kAttrShow, +index[0].Attr);
  EXPECT_EQ(KelOldRecord::kKindTyuku, +index[0].Kind);
  EXPECT_EQ(KelOldRecord::kKindPlain, +index[1].Kind);
  EXPECT_TRUE(list.OldCompare(index, points));

  std::vector<BldPntTag> moved = points;
  moved[5].z += 0.001f;
  EXPECT_FALSE(list.OldCompare(index, moved));
  EXPECT_FALSE(list.OldCompare(index, std::span(points).first(6)));
  std::vector<BldIndexTag> shifted = index;
  shifted[1].FirstPnt = 5;
  EXPECT_FALSE(list.OldCompare(shifted, points));
  shifted[1].FirstPnt = 60000;
  EXPECT_FALSE(list.OldCompare(shifted, points));
  EXPECT_FALSE(list.OldCompare(std::span(index).first(1), points));
  std::vector<BldIndexTag> shown = index;
  shown[0].Attr = KelOldRecord::kAttrHikage;  // the shown bit is not compared
  EXPECT_TRUE(list.OldCompare(shown, points));

  EXPECT_EQ(0, CKelBlockCubeArray().GetOldParam(index, points));
  EXPECT_TRUE(index.empty() && points.empty());
  EXPECT_TRUE(CKelBlockCubeArray().OldCompare(index, points));
}

}  // namespace
