#include "CKelCoord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CKelFileIO.h"
#include "CKelMemoryArchive.h"
#include "io_filesystem.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// --- Hand encoders of the stored forms (little-endian, no padding) ----------

void PutDouble(Bytes& out, double v)
{
  std::uint8_t raw[8];
  std::memcpy(raw, &v, 8);
  out.insert(out.end(), raw, raw + 8);
}

void PutInt(Bytes& out, std::int32_t v)
{
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xff));
}

void PutTag(Bytes& out, const std::string& text)
{
  out.push_back(static_cast<std::uint8_t>(text.size()));
  out.push_back(0);
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

template <class T>
Bytes Archived(T value, int version)
{
  CKelMemoryArchive ar(version);
  EXPECT_TRUE(value.Serialize(ar));
  return ar.GetBytes();
}

template <class T>
bool Unarchive(const Bytes& bytes, int version, T& value)
{
  CKelMemoryArchive ar(bytes, version);
  return value.Serialize(ar);
}

// Files live in the host's sandbox; each test uses its own name.
std::string SandboxPath(const std::string& name) { return (pln::host::SandboxRoot() / name).string(); }

void WriteFileBytes(const std::string& path, const Bytes& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFileBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <class T>
Bytes Saved(const T& value, const std::string& name)
{
  const std::string path = SandboxPath(name);
  CKelFileIO f;
  EXPECT_TRUE(f.Create(path.c_str()));
  EXPECT_TRUE(value.SaveData(f));
  f.Close();
  return ReadFileBytes(path);
}

template <class T>
bool Loaded(const Bytes& bytes, const std::string& name, T& value, int* budget)
{
  const std::string path = SandboxPath(name);
  WriteFileBytes(path, bytes);
  CKelFileIO f;
  EXPECT_TRUE(f.Open(path.c_str()));
  const bool ok = value.LoadData(f, budget);
  f.Close();
  return ok;
}

}  // namespace

// --- Tolerances ------------------------------------------------------------------

TEST(CKelCoord2DCompare, EqualityIsStrictInsideTheQuarterTenthMillimetre)
{
  const CKelCoord2D origin(0, 0);
  EXPECT_TRUE(origin == CKelCoord2D(0.0000249, 0));
  EXPECT_TRUE(origin == CKelCoord2D(0, -0.0000249));
  EXPECT_FALSE(origin == CKelCoord2D(0.000025, 0));
  EXPECT_FALSE(origin == CKelCoord2D(0, -0.000025));
  EXPECT_TRUE(origin != CKelCoord2D(0.000025, 0));
  EXPECT_FALSE(origin != CKelCoord2D(0.0000249, 0.0000249));
}

TEST(CKelCoord2DCompare, NearlyEqualIsInclusiveAtHalfAMillimetre)
{
  const CKelCoord2D origin(0, 0);
  EXPECT_TRUE(origin.IsNearlyEqual(CKelCoord2D(0.0005, -0.0005)));
  EXPECT_FALSE(origin.IsNearlyEqual(CKelCoord2D(0.00051, 0)));
  EXPECT_FALSE(origin.IsNearlyEqual(CKelCoord2D(0, -0.00051)));
  // The two tolerances stay apart: nearly equal is not equal.
  EXPECT_FALSE(origin == CKelCoord2D(0.0004, 0));
}

TEST(CKelCoord3DCompare, HeightCountsForBothTolerances)
{
  // Differences from 0 are exact, so the boundaries are the literals.
  const CKelCoord3D p(1, 2, 0);
  EXPECT_TRUE(p == CKelCoord3D(1, 2, 0.0000249));
  EXPECT_FALSE(p == CKelCoord3D(1, 2, 0.000025));
  EXPECT_FALSE(p == CKelCoord3D(1, 2, -0.000025));
  EXPECT_TRUE(p.IsNearlyEqual(CKelCoord3D(1, 2, -0.0005)));
  EXPECT_FALSE(p.IsNearlyEqual(CKelCoord3D(1, 2, 0.00051)));
}

TEST(CKelCoord3DExCompare, SecondHeightCountsForBothTolerances)
{
  const CKelCoord3DEx p(0, 0, 1, 0);
  EXPECT_TRUE(p == CKelCoord3DEx(0, 0, 1, -0.0000249));
  EXPECT_FALSE(p == CKelCoord3DEx(0, 0, 1, -0.000025));
  EXPECT_TRUE(p.IsNearlyEqual(CKelCoord3DEx(0, 0, 1, 0.0005)));
  EXPECT_FALSE(p.IsNearlyEqual(CKelCoord3DEx(0, 0, 1, -0.00051)));
  EXPECT_EQ(1.0, p.GetZ(false));
  EXPECT_EQ(-2.0, CKelCoord3DEx(0, 0, 1, -2).GetZ(true));
}

TEST(CKelCoord3DExCrsPntCompare, KindMustMatchExactly)
{
  const CKelCoord3DEx at(1, 1, 0, 0);
  EXPECT_EQ(0, CKelCoord3DExCrsPnt(at).m_nKind);
  EXPECT_TRUE(CKelCoord3DExCrsPnt(at, 2) == CKelCoord3DExCrsPnt(CKelCoord3DEx(1.00002, 1, 0, 0), 2));
  EXPECT_FALSE(CKelCoord3DExCrsPnt(at, 2) == CKelCoord3DExCrsPnt(at, 1));
  EXPECT_FALSE(CKelCoord3DExCrsPnt(at, 2).IsNearlyEqual(CKelCoord3DExCrsPnt(at, 1)));
  EXPECT_TRUE(CKelCoord3DExCrsPnt(at, 1).IsNearlyEqual(CKelCoord3DExCrsPnt(CKelCoord3DEx(1.0005, 1, 0, 0), 1)));
}

TEST(CKelCoord3DExCrsPntArrayCompare, CountKindAndTolerancePerElement)
{
  CKelCoord3DExCrsPntArray a;
  CKelCoord3DExCrsPntArray b;
  EXPECT_TRUE(a == b);
  a.emplace_back(CKelCoord3DEx(0, 0, 0, 0), 1);
  EXPECT_TRUE(a != b);
  b.emplace_back(CKelCoord3DEx(0.0004, 0, 0, 0), 1);
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a.IsNearlyEqual(b));
  b[0].m_nKind = 2;
  EXPECT_FALSE(a.IsNearlyEqual(b));
}

TEST(CKelVector3D, NearlyEqualPerComponent)
{
  EXPECT_TRUE(CKelVector3D(0, 0, 0).IsNearlyEqual(CKelVector3D(0.0005, -0.0005, 0.0005)));
  EXPECT_FALSE(CKelVector3D(0, 0, 0).IsNearlyEqual(CKelVector3D(0, 0, 0.00051)));
  EXPECT_FALSE(CKelVector3D(0, 0, 0).IsNearlyEqual(CKelVector3D(-0.00051, 0, 0)));
}

// --- Geometry of the value types ----------------------------------------------------

TEST(CKelCoordGeometry, LengthsAndInterpolation)
{
  EXPECT_EQ(5.0, CKelCoord2D(1, 1).GetLength(CKelCoord2D(4, 5)));
  EXPECT_EQ(3.0, CKelCoord3D(0, 0, 0).GetLength(CKelCoord3D(1, 2, 2)));
  const CKelCoord2D mid = CKelCoord2D(0, 0).GetCoord(CKelCoord2D(4, -2), 0.25);
  EXPECT_EQ(1.0, mid.m_x);
  EXPECT_EQ(-0.5, mid.m_y);
  // t is not clamped.
  const CKelCoord3D beyond = CKelCoord3D(0, 0, 1).GetCoord(CKelCoord3D(1, 1, 3), 2);
  EXPECT_EQ(2.0, beyond.m_x);
  EXPECT_EQ(5.0, beyond.m_z);
  EXPECT_EQ(32.0, CKelCoord3D(1, 2, 3).CalcNaiseki(CKelCoord3D(4, 5, 6)));
}

TEST(CKelVector3D, ArithmeticAndNormalize)
{
  CKelVector3D v(3, 0, 4);
  EXPECT_EQ(5.0, v.GetLength());
  EXPECT_TRUE(v.Normalize());
  EXPECT_DOUBLE_EQ(0.6, v.m_x);
  EXPECT_DOUBLE_EQ(0.8, v.m_z);

  CKelVector3D zero;
  EXPECT_FALSE(zero.Normalize());
  EXPECT_EQ(0.0, zero.m_x);

  const CKelVector3D sum = CKelVector3D(1, 2, 3) + CKelVector3D(1, 1, 1) * 2;
  EXPECT_EQ(3.0, sum.m_x);
  EXPECT_EQ(5.0, sum.m_z);
  CKelVector3D w(CKelCoord3D(1, 1, 1));
  w -= CKelVector3D(1, 0, 0);
  w += CKelVector3D(0, 0, 1);
  EXPECT_EQ(0.0, w.m_x);
  EXPECT_EQ(2.0, w.m_z);
  EXPECT_EQ(-1.0, (CKelVector3D(0, 0, 0) - CKelVector3D(1, 0, 0)).m_x);
  EXPECT_EQ(6.0, CKelVector3D(1, 1, 1).CalcNaiseki(CKelVector3D(1, 2, 3)));
}

TEST(CKelCoord2DArray, AddReusesAPointWithinTolerance)
{
  CKelCoord2DArray list;
  EXPECT_EQ(0, list.Add(CKelCoord2D(1, 1)));
  EXPECT_EQ(1, list.Add(CKelCoord2D(0, 0)));
  EXPECT_EQ(1, list.Add(CKelCoord2D(0.0000249, -0.0000249)));
  EXPECT_EQ(2u, list.size());
  EXPECT_EQ(2, list.Add(CKelCoord2D(0.000025, 0)));
  EXPECT_EQ(3u, list.size());
  // The first match wins even when a later point is closer.
  EXPECT_EQ(1, list.Add(CKelCoord2D(0.00002, 0)));
}

TEST(CKelCoord2DCompareData, OneLinePerExactlyDifferingComponent)
{
  std::vector<std::string> lines;
  CKelCoord2D(1, 2).CompareData("P", CKelCoord2D(1, 3), lines);
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("P, 2.000000, 3.000000", lines[0]);

  CKelCoord2D(1, 2).CompareData("Q", CKelCoord2D(1.0000001, 2), lines);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("Q, 1.000000, 1.000000", lines[1]);

  CKelCoord2D(1, 2).CompareData("R", CKelCoord2D(1, 2), lines);
  EXPECT_EQ(2u, lines.size());
}

// --- Archive form ---------------------------------------------------------------------

TEST(CKelCoordSerialize, Coord3DStoresHeightBeforeThePlanPosition)
{
  Bytes v2;
  PutTag(v2, "CKelCoord3D");
  PutDouble(v2, 3);
  PutTag(v2, "CKelCoord2D");
  PutDouble(v2, 1);
  PutDouble(v2, 2);
  EXPECT_EQ(v2, Archived(CKelCoord3D(1, 2, 3), 2));

  Bytes v1;
  PutDouble(v1, 3);
  PutDouble(v1, 1);
  PutDouble(v1, 2);
  EXPECT_EQ(v1, Archived(CKelCoord3D(1, 2, 3), 1));

  CKelCoord3D back;
  EXPECT_TRUE(Unarchive(v2, 2, back));
  EXPECT_EQ(1.0, back.m_x);
  EXPECT_EQ(2.0, back.m_y);
  EXPECT_EQ(3.0, back.m_z);
}

TEST(CKelCoordSerialize, TagTextIsNotCheckedOnReading)
{
  Bytes bytes;
  PutTag(bytes, "Whatever");
  PutDouble(bytes, -4);
  PutDouble(bytes, 0.5);
  CKelCoord2D p;
  EXPECT_TRUE(Unarchive(bytes, 5, p));
  EXPECT_EQ(-4.0, p.m_x);
  EXPECT_EQ(0.5, p.m_y);
}

TEST(CKelCoordSerialize, SecondHeightOnlyFromVersionNine)
{
  Bytes v8;
  PutTag(v8, "CKelCoord3D");
  PutDouble(v8, 3);
  PutTag(v8, "CKelCoord2D");
  PutDouble(v8, 1);
  PutDouble(v8, 2);
  EXPECT_EQ(v8, Archived(CKelCoord3DEx(1, 2, 3, 4), 8));

  Bytes v9;
  PutTag(v9, "CKelCoord3DEx");
  PutDouble(v9, 4);
  v9.insert(v9.end(), v8.begin(), v8.end());
  EXPECT_EQ(v9, Archived(CKelCoord3DEx(1, 2, 3, 4), 9));

  // A version-8 record leaves the second height as it was.
  CKelCoord3DEx back(0, 0, 0, 7);
  EXPECT_TRUE(Unarchive(v8, 8, back));
  EXPECT_TRUE(back == CKelCoord3DEx(1, 2, 3, 7));
  EXPECT_TRUE(Unarchive(v9, 9, back));
  EXPECT_TRUE(back == CKelCoord3DEx(1, 2, 3, 4));
}

TEST(CKelCoordSerialize, TaggedPointsTransferNothingBeforeVersionNine)
{
  const CKelCoord3DExCrsPnt point(CKelCoord3DEx(1, 2, 3, 4), 2);
  EXPECT_TRUE(Archived(point, 8).empty());

  Bytes v9;
  PutTag(v9, "CKelCoord3DExCrsPnt");
  PutInt(v9, 2);
  PutTag(v9, "CKelCoord3DEx");
  PutDouble(v9, 4);
  PutTag(v9, "CKelCoord3D");
  PutDouble(v9, 3);
  PutTag(v9, "CKelCoord2D");
  PutDouble(v9, 1);
  PutDouble(v9, 2);
  EXPECT_EQ(v9, Archived(point, 9));

  CKelCoord3DExCrsPntArray list;
  list.push_back(point);
  EXPECT_TRUE(Archived(list, 8).empty());
  CKelCoord3DExCrsPntArray unchanged;
  unchanged.emplace_back(CKelCoord3DEx(9, 9, 9, 9), 1);
  const CKelCoord3DExCrsPntArray before = unchanged;
  EXPECT_TRUE(Unarchive(Bytes{}, 8, unchanged));
  EXPECT_TRUE(unchanged == before);

  Bytes listBytes;
  PutTag(listBytes, "CKelCoord3DExCrsPntArray");
  PutInt(listBytes, 1);
  listBytes.insert(listBytes.end(), v9.begin(), v9.end());
  EXPECT_EQ(listBytes, Archived(list, 9));
}

TEST(CKelCoordSerialize, TaggedPointListRoundTrip)
{
  CKelCoord3DExCrsPntArray list;
  list.emplace_back(CKelCoord3DEx(1.5, -2.25, 3, 0.125), 0);
  list.emplace_back(CKelCoord3DEx(-1e6, 1e-9, 0, -3), 7);
  CKelCoord3DExCrsPntArray back;
  back.emplace_back(CKelCoord3DEx(), 3);
  back.emplace_back(CKelCoord3DEx(), 3);
  back.emplace_back(CKelCoord3DEx(), 3);
  EXPECT_TRUE(Unarchive(Archived(list, 12), 12, back));
  ASSERT_EQ(2u, back.size());
  EXPECT_TRUE(back == list);
  EXPECT_EQ(-3.0, back[1].m_zL);
}

TEST(CKelCoordSerialize, ListRefusesCountsTheBytesCannotHold)
{
  for (const std::int32_t count : {-1, 2, 1 << 30}) {
    Bytes bytes;
    PutTag(bytes, "CKelCoord3DExCrsPntArray");
    PutInt(bytes, count);
    bytes.resize(bytes.size() + 40, 0);  // room for one element at most
    CKelCoord3DExCrsPntArray list;
    list.emplace_back(CKelCoord3DEx(5, 5, 5, 5), 1);
    EXPECT_FALSE(Unarchive(bytes, 9, list)) << count;
    EXPECT_EQ(1u, list.size()) << "refused before resizing, count " << count;
  }
}

TEST(CKelCoordSerialize, ShortArchiveReportsFailure)
{
  Bytes full = Archived(CKelCoord3D(1, 2, 3), 2);
  full.resize(full.size() - 1);
  CKelCoord3D p(9, 9, 9);
  EXPECT_FALSE(Unarchive(full, 2, p));
  EXPECT_EQ(1.0, p.m_x);  // read before the end
  EXPECT_EQ(9.0, p.m_y);  // the short field is left alone

  Bytes list;
  PutTag(list, "CKelCoord3DExCrsPntArray");
  PutInt(list, 1);
  const Bytes element = Archived(CKelCoord3DExCrsPnt(CKelCoord3DEx(1, 2, 3, 4), 1), 9);
  list.insert(list.end(), element.begin(), element.end() - 8);
  CKelCoord3DExCrsPntArray back;
  EXPECT_FALSE(Unarchive(list, 9, back));
}

// --- Record form ----------------------------------------------------------------------

TEST(CKelCoordRecord, FieldsInOrderWithoutTags)
{
  Bytes expected;
  PutDouble(expected, 1);
  PutDouble(expected, 2);
  EXPECT_EQ(expected, Saved(CKelCoord2D(1, 2), "coord2d.bin"));
  PutDouble(expected, 3);
  EXPECT_EQ(expected, Saved(CKelCoord3D(1, 2, 3), "coord3d.bin"));
  PutDouble(expected, 4);
  EXPECT_EQ(expected, Saved(CKelCoord3DEx(1, 2, 3, 4), "coord3dex.bin"));
  PutInt(expected, -2);
  EXPECT_EQ(expected, Saved(CKelCoord3DExCrsPnt(CKelCoord3DEx(1, 2, 3, 4), -2), "crspnt.bin"));
  EXPECT_EQ(36u, expected.size());
}

TEST(CKelCoordRecord, BudgetOfTwentyReadsXAndYAndFailsBeforeZ)
{
  Bytes bytes;
  PutDouble(bytes, 1);
  PutDouble(bytes, 2);
  PutDouble(bytes, 3);
  CKelCoord3D p(7, 7, 7);
  int budget = 20;
  EXPECT_FALSE(Loaded(bytes, "budget20.bin", p, &budget));
  EXPECT_EQ(1.0, p.m_x);
  EXPECT_EQ(2.0, p.m_y);
  EXPECT_EQ(7.0, p.m_z);
  EXPECT_LT(budget, 0);

  budget = 24;
  EXPECT_TRUE(Loaded(bytes, "budget24.bin", p, &budget));
  EXPECT_EQ(3.0, p.m_z);
  EXPECT_EQ(0, budget);
}

TEST(CKelCoordRecord, ShortFileFailsAndKeepsTheRest)
{
  Bytes bytes;
  PutDouble(bytes, 1);
  PutDouble(bytes, 2);
  PutDouble(bytes, 3);
  bytes.resize(28);  // the second height is cut short
  CKelCoord3DEx p(0, 0, 0, 9);
  int budget = 1000;
  EXPECT_FALSE(Loaded(bytes, "short.bin", p, &budget));
  EXPECT_EQ(3.0, p.m_z);
  EXPECT_EQ(9.0, p.m_zL);

  // The kind is budgeted at 4 bytes.
  Bytes tagged;
  for (double v : {1.0, 2.0, 3.0, 4.0})
    PutDouble(tagged, v);
  PutInt(tagged, 5);
  CKelCoord3DExCrsPnt point;
  budget = 35;
  EXPECT_FALSE(Loaded(tagged, "kind35.bin", point, &budget));
  EXPECT_EQ(0, point.m_nKind);
  budget = 36;
  EXPECT_TRUE(Loaded(tagged, "kind36.bin", point, &budget));
  EXPECT_EQ(5, point.m_nKind);
}

TEST(CKelCoordRecord, TaggedListMatchesTheGoldenFile)
{
  const std::filesystem::path golden = std::filesystem::path(TEST_DATA_DIR) / "crspnt_ex_array.bin";
  const Bytes goldenBytes = ReadFileBytes(golden.string());
  ASSERT_EQ(76u, goldenBytes.size());

  CKelCoord3DExCrsPntArray list;
  list.emplace_back(CKelCoord3DEx(1, 2, 3, 4), 1);
  list.emplace_back(CKelCoord3DEx(-0.5, 0.25, 10, -10), 2);
  EXPECT_EQ(goldenBytes, Saved(list, "list.bin"));

  CKelCoord3DExCrsPntArray back;
  int budget = 76;
  EXPECT_TRUE(Loaded(goldenBytes, "list_in.bin", back, &budget));
  EXPECT_TRUE(back == list);
  EXPECT_EQ(0, budget);
}

TEST(CKelCoordRecord, TaggedListRefusesACountBeyondTheBudget)
{
  Bytes bytes;
  PutInt(bytes, 3);
  const Bytes one = Saved(CKelCoord3DExCrsPnt(CKelCoord3DEx(1, 1, 1, 1), 1), "one.bin");
  for (int i = 0; i < 3; ++i)
    bytes.insert(bytes.end(), one.begin(), one.end());

  CKelCoord3DExCrsPntArray list;
  list.emplace_back(CKelCoord3DEx(), 2);
  int budget = 4 + 2 * 36;  // the count claims more than the budget allows
  EXPECT_FALSE(Loaded(bytes, "over.bin", list, &budget));
  EXPECT_EQ(1u, list.size());

  Bytes negative;
  PutInt(negative, -1);
  budget = 1000;
  EXPECT_FALSE(Loaded(negative, "negative.bin", list, &budget));
  EXPECT_EQ(1u, list.size());

  budget = 4 + 3 * 36;
  EXPECT_TRUE(Loaded(bytes, "exact.bin", list, &budget));
  EXPECT_EQ(3u, list.size());
}
