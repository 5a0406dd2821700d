#include "CSyasenCheckCpntline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "CKelArc.h"
#include "KelTestSupport.h"

namespace {

using Type = CKelCoord3DCrsPnt::TYPE;

CKelCoord3DCrsPnt P(double x, double y, double z = 0, Type type = Type::TYPE_POINT)
{
  return CKelCoord3DCrsPnt(CKelCoord3D(x, y, z), type);
}

CSyasenCheckCpntlineArray Lines(std::initializer_list<std::vector<CKelCoord3DCrsPnt>> lines)
{
  CSyasenCheckCpntlineArray list;
  for (const auto& entries : lines) {
    CKelCoord3DCrsPntArray line;
    line.assign(entries.begin(), entries.end());
    list.push_back(line);
  }
  return list;
}

std::vector<CKelCoord3D> Lay(const CSyasenCheckCpntlineArray& lines, bool uniform, double* pitch)
{
  std::vector<CKelCoord3D> points{CKelCoord3D(99, 99, 99)};  // replaced
  lines.CreateCheckPoint(uniform, pitch, points);
  return points;
}

void ExpectXs(const std::vector<CKelCoord3D>& points, std::initializer_list<std::pair<double, double>> xy)
{
  ASSERT_EQ(points.size(), xy.size());
  std::size_t i = 0;
  for (const auto& [x, y] : xy) {
    EXPECT_NEAR(points[i].m_x, x, 1e-9) << i;
    EXPECT_NEAR(points[i].m_y, y, 1e-9) << i;
    ++i;
  }
}

TEST(CheckPointDivision, CountsPartsWithTheToleranceOnBothSides)
{
  struct Row {
    double length, pitch;
    int parts;
  };
  for (const Row& r : {Row{10, 3, 4}, Row{9.00001, 3, 3}, Row{9.0000251, 3, 4}, Row{8.99998, 3, 3},
                       Row{8.999975, 3, 3}, Row{2e-5, 3, 0}, Row{0, 3, 0}, Row{-1, 3, 0}, Row{10, 0, 0},
                       Row{1e6, 1e-3, 0}, Row{NAN, 1, 0}})
    EXPECT_EQ(CSyasenCheckCpntlineArray::DivisionCount(r.length, r.pitch), r.parts) << r.length << " " << r.pitch;
}

TEST(CheckPoints, NoSpacingOrNoLinesGiveNoPointsAndKeepThePitch)
{
  const auto line = Lines({{P(0, 0), P(10, 0)}});
  for (double requested : {0.0, -1.0}) {
    double pitch = requested;
    EXPECT_TRUE(Lay(line, true, &pitch).empty());
    EXPECT_EQ(pitch, requested);
  }
  double pitch = 3;
  EXPECT_TRUE(Lay(CSyasenCheckCpntlineArray(), true, &pitch).empty());
  EXPECT_EQ(pitch, 3);
}

TEST(CheckPoints, StraightLinesDivideEvenly)
{
  for (bool uniform : {true, false}) {
    double pitch = 3;
    ExpectXs(Lay(Lines({{P(0, 0), P(10, 0)}}), uniform, &pitch), {{0, 0}, {2.5, 0}, {5, 0}, {7.5, 0}, {10, 0}});
    EXPECT_DOUBLE_EQ(pitch, 2.5);
    pitch = 3;
    const auto points = Lay(Lines({{P(0, 0), P(9.00001, 0)}}), uniform, &pitch);
    ExpectXs(points, {{0, 0}, {9.00001 / 3, 0}, {2 * 9.00001 / 3, 0}, {9.00001, 0}});
    EXPECT_DOUBLE_EQ(pitch, 9.00001 / 3);
  }
}

TEST(CheckPoints, UniformModeCarriesTheOffsetRoundACorner)
{
  const auto l = Lines({{P(0, 0), P(4, 0), P(4, 6)}});
  double pitch = 3;
  ExpectXs(Lay(l, true, &pitch), {{0, 0}, {2.5, 0}, {4, 1}, {4, 3.5}, {4, 6}});
  EXPECT_DOUBLE_EQ(pitch, 2.5);
}

TEST(CheckPoints, NonUniformModeDividesEachLegAndTakesTheCornerOnce)
{
  const auto l = Lines({{P(0, 0), P(4, 0), P(4, 6)}});
  double pitch = 3;
  ExpectXs(Lay(l, false, &pitch), {{0, 0}, {2, 0}, {4, 0}, {4, 3}, {4, 6}});
  EXPECT_DOUBLE_EQ(pitch, 3);
}

TEST(CheckPoints, AClosedLineRepeatsNoPointAndHeightsFollowTheLine)
{
  double pitch = 2;
  const auto square = Lay(Lines({{P(0, 0), P(4, 0), P(4, 4), P(0, 4), P(0, 0)}}), true, &pitch);
  EXPECT_EQ(square.size(), 8u);
  pitch = 2;
  const auto slope = Lay(Lines({{P(0, 0, 1), P(4, 0, 3)}}), true, &pitch);
  ASSERT_EQ(slope.size(), 3u);
  EXPECT_DOUBLE_EQ(slope[1].m_z, 2);
  EXPECT_DOUBLE_EQ(slope[2].m_z, 3);
  // A quarter arc of radius 2 about (0, 0) at the centre's height 7.
  pitch = M_PI / 2;
  const auto arc = Lay(Lines({{P(2, 0, 1), P(0, 0, 7, Type::TYPE_CCW), P(0, 2, 1)}}), true, &pitch);
  ASSERT_EQ(arc.size(), 3u);
  EXPECT_NEAR(arc[1].m_x, std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(arc[1].m_y, std::sqrt(2.0), 1e-12);
  for (const auto& p : arc)
    EXPECT_EQ(p.m_z, 7);
}

TEST(CheckPoints, PiecesThatCannotBeDividedGetNoPoints)
{
  struct Row {
    const char* what;
    CSyasenCheckCpntlineArray lines;
    bool uniform;
    std::size_t points;
  };
  const Row rows[] = {
      {"a line shorter than the division tolerance", Lines({{P(0, 0), P(2e-5, 0)}}), true, 0},
      {"the same piece without uniform spacing", Lines({{P(0, 0), P(2e-5, 0)}}), false, 0},
      {"a single entry", Lines({{P(0, 0)}}), true, 0},
      {"a zero-radius arc inside a line", Lines({{P(0, 0), P(4, 0), P(4, 0, 0, Type::TYPE_CW), P(4, 0), P(4, 4)}}),
       true, 5},
      {"a centre without an end", Lines({{P(0, 0), P(4, 0), P(5, 0, 0, Type::TYPE_CW)}}), false, 3},
      // Clockwise from (4, 0) to a nanometre past it is no full circle.
      {"an arc whose ends meet but for round-off",
       Lines({{P(0, 0), P(4, 0), P(4, 4, 0, Type::TYPE_CW), P(4 + 1e-9, 0), P(8, 0)}}), true, 5},
      {"the same arc without uniform spacing",
       Lines({{P(0, 0), P(4, 0), P(4, 4, 0, Type::TYPE_CW), P(4 + 1e-9, 0), P(8, 0)}}), false, 5},
      {"more parts than the cap", Lines({{P(0, 0), P(1e6, 0)}}), true, 0},
  };
  for (const Row& r : rows) {
    double pitch = r.what == std::string("more parts than the cap") ? 1.0 : 2.0;
    EXPECT_EQ(Lay(r.lines, r.uniform, &pitch).size(), r.points) << r.what;
  }
}

// Along a uniform line, consecutive points lie exactly the spacing used apart
// (arc length on arcs), and that spacing never exceeds the request by more
// than the division tolerance.
TEST(CheckPoints, UniformSpacingHoldsOverRandomLinesWithArcs)
{
  std::mt19937 rng(31);
  std::uniform_real_distribution<double> len(0.5, 8), ang(-1.2, 1.2), rad(1, 5), req(0.3, 3);
  for (int round = 0; round < 200; ++round) {
    CKelCoord3DCrsPntArray line;
    CKelCoord2D at(0, 0);
    double dir = 0;
    line.push_back(P(0, 0));
    std::vector<double> distances{0};  // arc-length position of each entry
    for (int piece = 0; piece < 4; ++piece) {
      if (rng() % 2 == 0) {
        const double l = len(rng);
        at = CKelCoord2D(at.m_x + l * std::cos(dir), at.m_y + l * std::sin(dir));
        line.push_back(P(at.m_x, at.m_y));
      } else {
        // An arc turning left by a from the current direction.
        const double r = rad(rng), a = std::fabs(ang(rng)) + 0.1;
        const CKelCoord2D c(at.m_x - r * std::sin(dir), at.m_y + r * std::cos(dir));
        const double start = std::atan2(at.m_y - c.m_y, at.m_x - c.m_x);
        at = CKelCoord2D(c.m_x + r * std::cos(start + a), c.m_y + r * std::sin(start + a));
        line.push_back(P(c.m_x, c.m_y, 0, Type::TYPE_CCW));
        line.push_back(P(at.m_x, at.m_y));
        dir += a;
      }
    }
    CSyasenCheckCpntlineArray lines;
    lines.push_back(line);
    const double requested = req(rng);
    double pitch = requested;
    const auto points = Lay(lines, true, &pitch);
    ASSERT_GE(points.size(), 2u);
    EXPECT_LE(pitch, requested + 2.5e-5);
    // Points on straight pieces: the chord equals the spacing unless an
    // arc or a corner lies between them; check the total instead: n points
    // over the line make n - 1 spacings (the end closes the last one).
    double total = 0;
    for (std::size_t i = 1; i < line.size(); ++i) {
      if (line[i].IsCenter()) {
        total += CKelArc(line[i - 1], line[i + 1], line[i], true).GetArcLength();
        ++i;
      } else {
        total += length_2point(line[i - 1], line[i]);
      }
    }
    EXPECT_NEAR((points.size() - 1) * pitch, total, 1e-6) << round;
  }
}

TEST(CheckLineRecords, FileAndArchiveFormsRoundTrip)
{
  auto lines = Lines({{P(0, 0, 1), P(3, 0, 1), P(3, 3, 2, Type::TYPE_CW), P(6, 3, 1)}, {}});
  const auto bytes = kel_test::SavedRecord(lines);
  // count, then per line a count and 28 bytes a point.
  ASSERT_EQ(bytes.size(), 4u + 4 + 4 * 28 + 4);
  CSyasenCheckCpntlineArray back;
  int left = 0;
  ASSERT_TRUE(kel_test::LoadRecord(back, bytes, static_cast<int>(bytes.size()), &left));
  EXPECT_EQ(left, 0);
  EXPECT_EQ(back, lines);
  CSyasenCheckCpntlineArray shortRead;
  EXPECT_FALSE(kel_test::LoadRecord(shortRead, bytes, static_cast<int>(bytes.size()) - 1));

  for (int version : {1, 2, 30}) {
    CSyasenCheckCpntlineArray fromArchive;
    ASSERT_TRUE(kel_test::Unarchive(fromArchive, kel_test::Archived(lines, version), version)) << version;
    EXPECT_EQ(fromArchive, lines);
  }
  // A count the remaining bytes cannot hold is refused.
  CSyasenCheckCpntlineArray huge;
  EXPECT_FALSE(kel_test::Unarchive(huge, kel_test::ByteBuilder().I32(1 << 30).bytes, 1));
  EXPECT_TRUE(huge.empty());
}

}  // namespace
