#include "CHikageWall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "CKelArchiveCore.h"
#include "CKelBlockCubeArray.h"
#include "VolumeTestSupport.h"

namespace {

using kel_test::Archived;
using kel_test::Bytes;
using kel_test::Unarchive;
using vol_test::Block;
using vol_test::Box;

// A base block whose vertices are exact in single precision.
CKelBlockCubeArray BaseBlocks(double x0 = 2.5, double y0 = 0)
{
  CKelBlockCube block = Box(x0, y0, x0 + 10, y0 + 5, 10, 1);
  block.SetBaseBlock();
  CKelBlockCubeArray list;
  list.push_back(block);
  return list;
}

GFCMD Cmd(std::int16_t kind, std::initializer_list<std::uint8_t> payload)
{
  GFCMD record;
  std::memcpy(record.bytes, &kind, 2);
  std::size_t k = 2;
  for (std::uint8_t b : payload)
    record.bytes[k++] = b;
  return record;
}

GFCMD CmdFloat(std::int16_t kind, float first, float second)
{
  GFCMD record = Cmd(kind, {});
  std::memcpy(record.bytes + 2, &first, 4);
  std::memcpy(record.bytes + 6, &second, 4);
  return record;
}

// --- A check-point list of the layer above, as a test stands in for it ---------------

class TestCpnt final : public CKelCpntParamCore {
public:
  std::vector<double> m_Points;

  std::unique_ptr<CKelCpntParamCore> Clone() const override { return std::make_unique<TestCpnt>(*this); }
  bool IsEqual(const CKelCpntParamCore& other) const override
  {
    const auto* list = dynamic_cast<const TestCpnt*>(&other);
    return list != nullptr && list->m_Points == m_Points;
  }
  bool Serialize2(CKelArchiveCore& ar) override
  {
    ar.SerializeTag("CKelCpntParam");
    auto count = static_cast<std::int32_t>(m_Points.size());
    ar.Serialize(count);
    if (ar.IsLoading()) {
      if (ar.GetError() != 0 || count < 0 || static_cast<std::uint64_t>(count) * 8 > ar.RemainingBytes()) {
        ar.SetError();
        return false;
      }
      m_Points.resize(static_cast<std::size_t>(count));
    }
    for (double& p : m_Points)
      ar.Serialize(p);
    return ar.GetError() == 0;
  }
  int GetSize() const override { return static_cast<int>(m_Points.size()); }
};

// Installs the test's factory for one test.
class FactoryScope {
public:
  FactoryScope() { SetCpntParamFactory([]() -> std::unique_ptr<CKelCpntParamCore> { return std::make_unique<TestCpnt>(); }); }
  ~FactoryScope() { SetCpntParamFactory(nullptr); }
};

// --- Frame --------------------------------------------------------------------------------

TEST(CHikageWallTest, FrameMapsBothWays)
{
  CHikageWall wall;
  wall.m_Item.m_Pnt1.x = 10;
  wall.m_Item.m_Pnt1.y = 5;
  wall.m_Item.m_Cos = 0;
  wall.m_Item.m_Sin = 1;
  EXPECT_EQ(std::make_tuple(3.0, 3.0, 0.0), kel_test::XYZ(wall.ChangeABStoWall(CKelCoord3D(10, 8, 3))));
  EXPECT_EQ(std::make_tuple(10.0, 8.0, 3.0), kel_test::XYZ(wall.ChangeWallToABS(CKelCoord3D(3, 3, 0))));
  EXPECT_EQ(std::make_tuple(-2.0, 7.0, 1.0), kel_test::XYZ(wall.ChangeABStoWall(CKelCoord3D(9, 3, 7))));
}

TEST(CHikageWallTest, FaceOfASlopedWall)
{
  CKelBlockCubeArray blocks;
  blocks.push_back(Block({{0, 0, 4, 1}, {4, 0, 6, 0}, {4, 4, 6, 0}}));
  blocks[0].SetBaseBlock();
  CHikageWall wall;
  ASSERT_TRUE(wall.SetWallDatParam(&blocks, 0, 0));
  EXPECT_EQ(std::make_tuple(4.0, 0.0, 6.0), std::make_tuple(wall.XMax(), wall.YMin(), wall.YMax()));
  const std::tuple<double, double, bool> rows[] = {
      {0, 1, true},      {4, 6, true},  {0, 4, true},    {2, 5, true},  {2, 5.01, false},
      {2, 0.5, true},    {2, 0.49, false}, {4.001, 3, false}, {-0.001, 2, false}};
  for (const auto& [x, y, inside] : rows)
    EXPECT_EQ(inside, wall.IsInWall(CKelCoord2D(x, y))) << x << ", " << y;

  // A wall of length 0 has no face at all.
  CKelBlockCubeArray pinched;
  pinched.push_back(Block({{1, 1, 4, 0}, {1, 1, 4, 0}, {3, 3, 4, 0}}));
  pinched[0].SetBaseBlock();
  CHikageWall point;
  ASSERT_TRUE(point.SetWallDatParam(&pinched, 0, 0));
  EXPECT_FALSE(point.IsInWall(CKelCoord2D(0, 2)));
}

// --- Binding to a block ------------------------------------------------------------------

TEST(CHikageWallTest, LastVertexPairsWithTheFirst)
{
  CKelBlockCubeArray blocks = BaseBlocks();
  CHikageWall wall;
  ASSERT_TRUE(wall.SetWallDatParam(&blocks, 0, 3));
  EXPECT_EQ(std::make_pair(0, 3), std::make_pair(wall.m_Item.m_IdxNo, wall.m_Item.m_PntNo));
  EXPECT_EQ(std::make_pair(2.5f, 5.0f), std::make_pair(+wall.m_Item.m_Pnt1.x, +wall.m_Item.m_Pnt1.y));
  EXPECT_EQ(std::make_pair(2.5f, 0.0f), std::make_pair(+wall.m_Item.m_Pnt2.x, +wall.m_Item.m_Pnt2.y));
  EXPECT_EQ(std::make_tuple(0.0f, -1.0f, 5.0f), std::make_tuple(wall.m_Item.m_Cos, wall.m_Item.m_Sin, wall.m_Item.m_Len));
  EXPECT_EQ(std::make_tuple(2.5, 5.0, 10.0), kel_test::XYZ(wall.GetCoord3D(0)));
  EXPECT_TRUE(wall.CompareWallParam(blocks));

  blocks[0].SetPlanBlock();
  CHikageWall refused;
  refused.m_Item.m_nFlag = 3;
  EXPECT_FALSE(refused.SetWallDatParam(&blocks, 0, 1));
  EXPECT_EQ(3, refused.m_Item.m_nFlag);
  EXPECT_EQ(0, refused.m_Item.m_Len);
  EXPECT_FALSE(wall.CompareWallParam(blocks));
}

TEST(CHikageWallTest, ExactCompareAndTolerantSearch)
{
  // 0.1 is not a float: the exact compare fails even though nothing moved.
  CKelBlockCubeArray tenth = BaseBlocks(0.1);
  CHikageWall wall;
  ASSERT_TRUE(wall.SetWallDatParam(&tenth, 0, 0));
  EXPECT_FALSE(wall.CompareWallParam(tenth));

  CKelBlockCubeArray blocks = BaseBlocks();
  blocks.insert(blocks.begin(), Box(50, 50, 51, 51, 1));  // a plan block, skipped
  ASSERT_TRUE(wall.SetWallDatParam(&blocks, 1, 1));
  EXPECT_TRUE(wall.CompareWallParam(blocks));
  blocks[1].m_Coord[1].m_x += 1e-6;
  blocks[1].m_Coord[2].m_x += 1e-6;
  EXPECT_FALSE(wall.CompareWallParam(blocks));
  // Moved into another place of the list: found again and re-bound.
  blocks.Erase(0);
  wall.m_Item.m_Len = 42;
  ASSERT_TRUE(wall.SearchSameParam(blocks));
  EXPECT_EQ(std::make_pair(0, 1), std::make_pair(wall.m_Item.m_IdxNo, wall.m_Item.m_PntNo));
  EXPECT_EQ(42, wall.m_Item.m_Len);  // the frame stays
  EXPECT_EQ(static_cast<float>(12.5 + 1e-6), +wall.m_Item.m_Pnt1.x);

  blocks[0].m_Coord[2].m_z += 3e-5;
  EXPECT_FALSE(wall.SearchSameParam(blocks));
  EXPECT_FALSE(wall.SearchSameParam(CKelBlockCubeArray()));
  wall.m_Item.m_IdxNo = -1;
  EXPECT_FALSE(wall.CompareWallParam(blocks));
}

TEST(CHikageWallTest, SearchPrefersTheClosingFaceAndCopesWithFloatPositions)
{
  // Every vertex at one point: every face matches, the closing one wins.
  CKelBlockCubeArray point;
  point.push_back(Block({{1, 1, 2, 0}, {1, 1, 2, 0}, {1, 1, 2, 0}}));
  point[0].SetBaseBlock();
  // At 100 km a float holds the position only to about 4 mm: an unchanged
  // face fails the exact compare but is found again.
  const CKelBlockCubeArray far = BaseBlocks(100000.003, 100000.007);
  for (auto [blocks, bound] : {std::pair{point, 1}, {far, 2}}) {
    CHikageWall wall;
    ASSERT_TRUE(wall.SetWallDatParam(&blocks, 0, bound));
    EXPECT_EQ(bound == 1, wall.CompareWallParam(blocks)) << bound;
    ASSERT_TRUE(wall.SearchSameParam(blocks)) << bound;
    EXPECT_EQ(2, wall.m_Item.m_PntNo) << bound;
  }
}

// --- Records ----------------------------------------------------------------------------------

TEST(CHikageWallRecordTest, BinaryLayoutAndBudget)
{
  CKelBlockCubeArray blocks = BaseBlocks();
  CHikageWall wall;
  ASSERT_TRUE(wall.SetWallDatParam(&blocks, 0, 1));
  wall.m_Item.m_Block = {1, 2, 3, 4};
  wall.m_Item.m_nFlag = 9;
  wall.m_Item.m_SortNo = 5;
  wall.m_Item.m_Cmd1.push_back(Cmd(-2, {1}));
  const Bytes bytes = kel_test::SavedRecord(wall.m_Item);
  ASSERT_EQ(156u, bytes.size());
  const Bytes block(bytes.begin() + 104, bytes.begin() + 120);
  EXPECT_EQ((Bytes{1, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0}), block);
  EXPECT_EQ(9, bytes[120]);
  EXPECT_EQ(Bytes(32, 0), Bytes(bytes.begin() + 124, bytes.end()));

  CHikageWallTable back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, bytes, 156, &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(wall.m_Item.m_Block, back.m_Block);
  EXPECT_EQ(wall.m_Item.m_Len, back.m_Len);
  EXPECT_EQ(-1, back.m_SortNo);  // not part of the record
  EXPECT_EQ(bytes, kel_test::SavedRecord(back));

  CHikageWallTable shortOne;
  EXPECT_FALSE(kel_test::LoadRecord(shortOne, bytes, 155));
  EXPECT_EQ(9, shortOne.m_nFlag);  // read before the reserved bytes failed
}

TEST(CHikageWallRecordTest, ArchivePerVersion)
{
  EXPECT_EQ(173u, Archived(CHikageWall(), 15).size());
  EXPECT_EQ(169u, Archived(CHikageWall(), 14).size());

  CKelBlockCubeArray blocks = BaseBlocks();
  CHikageWall wall;
  ASSERT_TRUE(wall.SetWallDatParam(&blocks, 0, 2));
  wall.m_Item.m_SortNo = 8;
  wall.m_Item.m_Cmd1 = {Cmd(-1, {1, 2, 3, 4}), CmdFloat(2, 1.5f, 2.5f)};
  wall.m_Item.m_Cmd2 = {Cmd(7, {9})};
  for (int version : {1, 14, 15}) {
    CHikageWall back;
    ASSERT_TRUE(Unarchive(back, Archived(wall, version), version));
    EXPECT_TRUE(back == wall);
    EXPECT_EQ(version >= 15 ? 8 : -1, back.m_Item.m_SortNo);
    EXPECT_EQ(+wall.m_Item.m_Pnt2.zL, +back.m_Item.m_Pnt2.zL);
    EXPECT_EQ(Archived(wall, version), Archived(back, version));
  }

  kel_test::ByteBuilder huge;  // version 1: no tags
  huge.I32(0).I32(0).Append(Bytes(20 + 16 + 4 + 60, 0)).I32(1000000).I32(0).I32(0);
  CHikageWall refused;
  EXPECT_FALSE(Unarchive(refused, huge.bytes, 1));
}

TEST(CHikageWallRecordTest, RecordsCompareByIndicesFlagAndLists)
{
  CHikageWallTable a;
  a.m_Cmd1 = {CmdFloat(1, 1, 2)};
  CHikageWallTable b = a;
  b.m_Pnt1.x = 5;
  b.m_Len = 3;
  EXPECT_TRUE(a == b);
  b.m_nFlag = 1;
  EXPECT_FALSE(a == b);
  b = a;
  b.m_Cmd2.push_back(Cmd(0, {}));
  EXPECT_FALSE(a == b);
}

TEST(CHikageWallRecordTest, CommandEqualityPerKind)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    GFCMD a, b;
    bool equal;
  };
  const Row rows[] = {
      {Cmd(-4, {1, 0, 2, 0, 3, 0, 0, 0}), Cmd(-4, {1, 0, 2, 0, 3, 0, 0, 0}), true},
      {Cmd(-4, {1, 0, 2, 0, 3, 0, 0, 0}), Cmd(-4, {1, 0, 2, 0, 3, 0, 0, 1}), false},
      {CmdFloat(-3, 1.5f, 0), CmdFloat(-3, 1.5f, 7), true},
      {CmdFloat(-3, nan, 0), CmdFloat(-3, nan, 0), false},
      {CmdFloat(-3, 0.0f, 0), CmdFloat(-3, -0.0f, 0), true},
      {Cmd(-2, {5, 0, 1}), Cmd(-2, {5, 0, 2}), true},
      {Cmd(-2, {5, 0}), Cmd(-2, {6, 0}), false},
      {Cmd(-1, {5, 0, 6, 0, 1}), Cmd(-1, {5, 0, 6, 0, 2}), true},
      {Cmd(-1, {5, 0, 6, 0}), Cmd(-1, {5, 0, 7, 0}), false},
      {CmdFloat(1, 1, 2), CmdFloat(1, 1, 2), true},
      {CmdFloat(3, 1, 2), CmdFloat(3, 1, 2.5f), false},
      {CmdFloat(2, 1, nan), CmdFloat(2, 1, nan), false},
      {Cmd(0, {1}), Cmd(0, {2}), true},
      {Cmd(4, {1}), Cmd(4, {2}), true},
      {Cmd(1, {}), Cmd(2, {}), false},
  };
  for (std::size_t k = 0; k < std::size(rows); ++k)
    EXPECT_EQ(rows[k].equal, rows[k].a == rows[k].b) << "row " << k;
}

// --- Check points ---------------------------------------------------------------------------------

TEST(CHikageWallCpntTest, NoCheckPointsWriteAnEmptyList)
{
  const Bytes bytes = Archived(CHikageWall(), 15);
  kel_test::ByteBuilder tail;
  tail.Text("CKelCpntParam").I32(0);
  EXPECT_EQ(tail.bytes, Bytes(bytes.end() - 20, bytes.end()));
  const Bytes old = Archived(CHikageWall(), 1);
  EXPECT_EQ(Bytes(4, 0), Bytes(old.end() - 4, old.end()));
}

TEST(CHikageWallCpntTest, StoredPointsNeedTheFactory)
{
  Bytes bytes = Archived(CHikageWall(), 15);
  bytes[bytes.size() - 4] = 1;  // a count of 1 ...
  kel_test::ByteBuilder point;
  point.F64(2.5);  // ... and its point
  bytes.insert(bytes.end(), point.bytes.begin(), point.bytes.end());
  CHikageWall wall;
  EXPECT_FALSE(Unarchive(wall, bytes, 15));

  FactoryScope factory;
  ASSERT_TRUE(Unarchive(wall, bytes, 15));
  ASSERT_NE(nullptr, wall.GetCpntParam());
  EXPECT_EQ(1, wall.GetCpntParam()->GetSize());
  EXPECT_EQ(bytes, Archived(wall, 15));

  CHikageWall copy = wall;
  EXPECT_TRUE(copy == wall);
  EXPECT_NE(wall.GetCpntParam(), copy.GetCpntParam());
  static_cast<TestCpnt*>(copy.GetCpntParam())->m_Points[0] = 3;
  EXPECT_FALSE(copy == wall);
  copy = CHikageWall();
  EXPECT_FALSE(copy == wall);
  copy = wall;
  EXPECT_TRUE(copy == wall);

  // An empty list is held as none, and equals a wall without points.
  CHikageWall none;
  ASSERT_TRUE(Unarchive(none, Archived(CHikageWall(), 15), 15));
  EXPECT_EQ(nullptr, none.GetCpntParam());
  none.SetCpntParam(std::make_unique<TestCpnt>());
  EXPECT_EQ(nullptr, none.GetCpntParam());
  EXPECT_TRUE(none == CHikageWall());

  // A negative count is refused with or without the factory.
  Bytes negative = Archived(CHikageWall(), 15);
  std::fill(negative.end() - 4, negative.end(), 0xff);
  CHikageWall refused;
  EXPECT_FALSE(Unarchive(refused, negative, 15));
  SetCpntParamFactory(nullptr);
  EXPECT_FALSE(Unarchive(refused, negative, 15));
}

TEST(CHikageWallDeathTest, UnsupportedSlotsStop)
{
  CHikageWall wall;
  EXPECT_DEATH(wall.Append(CKelCoord3D()), "false");
  EXPECT_DEATH(wall.GetCoord3D(2), "index");
}

}  // namespace
