// Check lines of many-sided outlines and of surveyed lots measured against
// the offset curve they stand for, by the checks of ClineSoundLine.h: every
// point of the line keeps the distance from the site, the line never
// crosses itself, and it encloses the area of the points within the
// distance of the site.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "CClineData.h"
#include "CKelMSite.h"
#include "ClineSoundLine.h"
#include "KelOutlineClean.h"
#include "SurveyVariants.h"

namespace {

using namespace cline_check;

// --- Outlines -------------------------------------------------------------------------------

Pts ReadOutline(const std::string& name, double* d)
{
  Pts outline;
  FILE* f = std::fopen((std::string(TEST_DATA_DIR) + "/" + name).c_str(), "r");
  if (f == nullptr)
    return outline;
  double x = 0, y = 0;
  if (std::fscanf(f, "%lf", d) == 1) {
    while (std::fscanf(f, "%lf %lf", &x, &y) == 2)
      outline.emplace_back(x, y);
  }
  std::fclose(f);
  return outline;
}

enum class Kind { GentleStar, SpikyStar, Rippled, Notched, Regular };

// A random outline of the kind with about n vertices, counter-clockwise,
// star-shaped about the origin, starting at a random vertex; *d the check
// distance that suits it.
Pts RandomOutline(Kind kind, int n, std::mt19937_64& rng, double* d)
{
  std::uniform_real_distribution<double> u(0, 1);
  Pts p;
  auto polar = [&p](double r, double a) { p.emplace_back(r * std::cos(a), r * std::sin(a)); };
  *d = 5;
  switch (kind) {
    case Kind::GentleStar: {
      const double turn = u(rng) * 2 * M_PI;
      n += n % 2;
      for (int i = 0; i < n; ++i)
        polar(i % 2 ? 98 : 100, turn + 2 * M_PI * i / n);
      *d = u(rng) < 0.5 ? 5 : 10;
      break;
    }
    case Kind::SpikyStar: {
      // Spikes up to 60 m deep.
      std::vector<double> angles;
      for (int i = 0; i < n; ++i)
        angles.push_back(u(rng) * 2 * M_PI);
      std::sort(angles.begin(), angles.end());
      for (double a : angles)
        polar(20 + 60 * u(rng), a);
      *d = 1 + 9 * u(rng);
      break;
    }
    case Kind::Rippled: {
      // A surveyed boundary: a circle with a ripple and noise, short edges.
      const double amp = 0.5 + 4 * u(rng), waves = 3 + std::floor(u(rng) * 40);
      for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        polar(60 + amp * std::sin(waves * a) + 0.3 * (u(rng) - 0.5), a);
      }
      break;
    }
    case Kind::Notched: {
      // Teeth with gaps narrower than twice the distance. At most a hundred:
      // more make only thinner teeth behind the same closed line, whose
      // check takes the square of their number.
      const int teeth = std::clamp(n / 4, 10, 100);
      for (int i = 0; i < teeth; ++i) {
        const double a = 2 * M_PI * i / teeth, w = 2 * M_PI / teeth, r2 = 40 + 30 * u(rng);
        polar(80, a);
        polar(80, a + 0.8 * w);
        polar(r2, a + 0.85 * w);
        polar(r2, a + 0.95 * w);
      }
      *d = 2 + 6 * u(rng);
      break;
    }
    case Kind::Regular: {
      const double turn = u(rng) * 2 * M_PI;
      for (int i = 0; i < n; ++i)
        polar(70, turn + 2 * M_PI * i / n);
      break;
    }
  }
  std::rotate(p.begin(), p.begin() + static_cast<long>(u(rng) * static_cast<double>(p.size())), p.end());
  return p;
}

// --- Surveyed lots ----------------------------------------------------------------------------

enum class Lot { Rectangle, L, U, T, Flag, Wedge, Spike, VNotch, Curved };
constexpr int kLots = 9;

double LogUniform(double lo, double hi, std::mt19937& rng)
{
  return lo * std::pow(hi / lo, std::uniform_real_distribution<double>(0, 1)(rng));
}

// A clean lot of the shape, counter-clockwise, some 10 to 40 m across.
Pts CleanLot(Lot lot, std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  const double w = 10 + 30 * u(rng), h = 10 + 30 * u(rng);
  switch (lot) {
    case Lot::Rectangle:
      return {{0, 0}, {w, 0}, {w, h}, {0, h}};
    case Lot::L:
      return {{0, 0}, {w, 0}, {w, h / 2}, {w / 2, h / 2}, {w / 2, h}, {0, h}};
    case Lot::U: {
      const double gap = 0.5 + 6 * u(rng), depth = h * (0.2 + 0.6 * u(rng));
      return {{0, 0}, {w, 0}, {w, h}, {w / 2 + gap / 2, h}, {w / 2 + gap / 2, h - depth}, {w / 2 - gap / 2, h - depth},
              {w / 2 - gap / 2, h}, {0, h}};
    }
    case Lot::T:
      return {{w / 3, 0}, {2 * w / 3, 0}, {2 * w / 3, h / 2}, {w, h / 2}, {w, h}, {0, h}, {0, h / 2}, {w / 3, h / 2}};
    case Lot::Flag: {
      // A lot behind another, reached by a pole 2 to 4 m wide.
      const double pole = 2 + 2 * u(rng), length = 10 + 15 * u(rng);
      return {{0, 0}, {pole, 0}, {pole, length}, {w, length}, {w, length + h}, {0, length + h}};
    }
    case Lot::Wedge: {
      const double angle = (1 + 9 * u(rng)) * M_PI / 180, len = 20 + 20 * u(rng);
      return {{0, 0}, {len, 0}, {len * std::cos(angle), len * std::sin(angle)}};
    }
    case Lot::Spike: {
      const double half = LogUniform(1e-6, 0.5, rng), len = 2 + 10 * u(rng);
      return {{0, 0}, {w, 0}, {w, h}, {w / 2 + half, h}, {w / 2, h + len}, {w / 2 - half, h}, {0, h}};
    }
    case Lot::VNotch: {
      const double half = LogUniform(1e-5, 0.5, rng), depth = LogUniform(1e-4, h / 2, rng);
      return {{0, 0}, {w, 0}, {w, h}, {w / 2 + half, h}, {w / 2, h - depth}, {w / 2 - half, h}, {0, h}};
    }
    case Lot::Curved: {
      // A front on a curve, as chords; bulging out or in.
      const int chords = 8 + static_cast<int>(50 * u(rng));
      const double bulge = (u(rng) < 0.5 ? 1 : -1) * (0.5 + 4 * u(rng));
      const double r = (w * w / 4 + bulge * bulge) / (2 * std::fabs(bulge));
      const double half = std::asin(w / 2 / r), cy = h + bulge - (bulge > 0 ? r : -r);
      Pts p = {{0, 0}, {w, 0}};
      for (int i = 0; i <= chords; ++i) {
        const double a = bulge > 0 ? M_PI / 2 - half + 2 * half * i / chords : -M_PI / 2 + half - 2 * half * i / chords;
        p.emplace_back(w / 2 + r * std::cos(a), cy + r * std::sin(a));
      }
      return p;
    }
  }
  return {};
}

// A step of `depth` (1 mm to 5 cm) out of or into edge k over `width`.
survey::Variant Jogged(const survey::Variant& in, std::size_t k, double width, double depth)
{
  const CKelCoord2D& a = in.m_Pts[k];
  const CKelCoord2D& b = in.m_Pts[(k + 1) % in.Size()];
  const double len = std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
  survey::Variant v = in;
  if (len < 2 * width)
    return v;
  const double ux = (b.m_x - a.m_x) / len, uy = (b.m_y - a.m_y) / len;
  const CKelCoord2D p(a.m_x + ux * (len - width) / 2, a.m_y + uy * (len - width) / 2);
  const Pts add = {p,
                   {p.m_x - uy * depth, p.m_y + ux * depth},
                   {p.m_x - uy * depth + ux * width, p.m_y + ux * depth + uy * width},
                   {p.m_x + ux * width, p.m_y + uy * width}};
  v.m_Pts.insert(v.m_Pts.begin() + static_cast<long>(k) + 1, add.begin(), add.end());
  v.m_From.insert(v.m_From.begin() + static_cast<long>(k), add.size(), in.m_From[k]);
  v.m_Tiny.insert(v.m_Tiny.begin() + static_cast<long>(k), add.size(), true);
  return v;
}

Pts SurveyedLotTry(Lot lot, std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  survey::Variant v = survey::Clean(CleanLot(lot, rng));
  if (u(rng) < 0.6)
    v = survey::Split(v, 2 + static_cast<int>(4 * u(rng)), 0.02 * u(rng), rng);
  for (int jogs = static_cast<int>(3 * u(rng)); jogs > 0; --jogs)
    v = Jogged(v, static_cast<std::size_t>(u(rng) * static_cast<double>(v.Size())), LogUniform(1e-3, 0.05, rng),
               (u(rng) < 0.5 ? 1 : -1) * LogUniform(1e-3, 0.05, rng));
  for (int doubles = static_cast<int>(4 * u(rng)); doubles > 0; --doubles) {
    const double gap = LogUniform(1e-7, 1e-3, rng), a = 2 * M_PI * u(rng);
    v = survey::Doubled(v, static_cast<std::size_t>(u(rng) * static_cast<double>(v.Size())),
                        {gap * std::cos(a), gap * std::sin(a)});
  }
  return survey::StartingAt(v, static_cast<std::size_t>(u(rng) * static_cast<double>(v.Size()))).m_Pts;
}

// Whether no two edges that do not follow each other meet.
bool Simple(const Pts& o)
{
  const std::size_t n = o.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j + 1 == n)
        continue;
      const CKelCoord2D &a = o[i], &b = o[(i + 1) % n], &c = o[j], &e = o[(j + 1) % n];
      if (Cross(a, b, c) * Cross(a, b, e) <= 0 && Cross(c, e, a) * Cross(c, e, b) <= 0)
        return false;
    }
  }
  return true;
}

// The lot as a survey gives it: edges split with noise up to 20 mm, steps
// of 1 mm to 5 cm, points doubled 1e-7 to 1e-3 m apart, any first vertex;
// only ones without self-crossings.
Pts SurveyedLot(Lot lot, std::mt19937& rng)
{
  for (;;) {
    Pts p = SurveyedLotTry(lot, rng);
    if (Simple(p))
      return p;
  }
}

// Whether no two edges that do not follow each other meet, edges sorted by
// their left ends so that a dense outline is checked in a sweep.
bool SimpleSwept(const Pts& o)
{
  const std::size_t n = o.size();
  std::vector<std::size_t> order(n);
  for (std::size_t k = 0; k < n; ++k)
    order[k] = k;
  const auto lo = [&](std::size_t k) { return std::min(o[k].m_x, o[(k + 1) % n].m_x); };
  const auto hi = [&](std::size_t k) { return std::max(o[k].m_x, o[(k + 1) % n].m_x); };
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return lo(a) < lo(b); });
  for (std::size_t x = 0; x < n; ++x) {
    const std::size_t i = order[x];
    for (std::size_t y = x + 1; y < n && lo(order[y]) <= hi(i); ++y) {
      const std::size_t j = order[y];
      if ((i + 1) % n == j || (j + 1) % n == i)
        continue;
      const CKelCoord2D &a = o[i], &b = o[(i + 1) % n], &c = o[j], &e = o[(j + 1) % n];
      if (Cross(a, b, c) * Cross(a, b, e) <= 0 && Cross(c, e, a) * Cross(c, e, b) <= 0)
        return false;
    }
  }
  return true;
}

// The lot as a digitised or curved boundary gives it: every edge cut into
// 20 to 400 pieces (no more than `most` points in all) whose points lie
// exactly on it, within 1e-9 m or within 1e-4 m of it, up to some fifty of
// them doubled 1e-9 to 1e-4 m apart; half of them turned by any angle and
// moved 1e4 to 3e5 m from the origin, as plane rectangular coordinates put
// it, half of the others turned. A quarter are irregular lots instead.
// An irregular lot of 4 to 12 corners, 10 to 50 m across, no edge level.
Pts IrregularLot(std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  const int corners = 4 + static_cast<int>(9 * u(rng));
  std::vector<double> angles;
  for (int i = 0; i < corners; ++i)
    angles.push_back(2 * M_PI * (i + 0.2 + 0.6 * u(rng)) / corners);
  Pts p;
  for (const double a : angles) {
    const double r = 5 + 20 * u(rng);
    p.emplace_back(r * std::cos(a), r * std::sin(a));
  }
  return p;
}

Pts DenseSurveyedLot(Lot lot, std::mt19937& rng, std::size_t most)
{
  std::uniform_real_distribution<double> u(0, 1);
  for (;;) {
    const Pts clean = u(rng) < 0.25 ? IrregularLot(rng) : CleanLot(lot, rng);
    const int pieces = std::min(20 + static_cast<int>(380 * u(rng)), static_cast<int>(most / clean.size()));
    const double noise = std::vector<double>{0, 1e-9, 1e-4}[static_cast<std::size_t>(3 * u(rng))];
    survey::Variant v = survey::Split(survey::Clean(clean), pieces, noise, rng);
    for (int doubles = static_cast<int>(LogUniform(1, 60, rng)) - 1; doubles > 0; --doubles) {
      const double gap = LogUniform(1e-9, 1e-4, rng), a = 2 * M_PI * u(rng);
      v = survey::Doubled(v, static_cast<std::size_t>(u(rng) * static_cast<double>(v.Size())),
                          {gap * std::cos(a), gap * std::sin(a)});
    }
    // Half of them in plane rectangular coordinates, half as drawn.
    const bool plane = u(rng) < 0.5;
    const double turn = plane || u(rng) < 0.5 ? 2 * M_PI * u(rng) : 0, far = plane ? 1e4 + 2.9e5 * u(rng) : 0;
    const double towards = 2 * M_PI * u(rng);
    Pts placed;
    for (const CKelCoord2D& p : survey::StartingAt(v, static_cast<std::size_t>(u(rng) * v.Size())).m_Pts)
      placed.emplace_back(far * std::cos(towards) + p.m_x * std::cos(turn) - p.m_y * std::sin(turn),
                          far * std::sin(towards) + p.m_x * std::sin(turn) + p.m_y * std::cos(turn));
    if (SimpleSwept(placed))
      return placed;
  }
}


// A failing outline in the form the data files use.
std::string OutlineText(const Pts& outline, double d)
{
  std::string text = std::to_string(d) + "\n";
  char line[80];
  for (const CKelCoord2D& p : outline) {
    std::snprintf(line, sizeof line, "%.17g %.17g\n", p.m_x, p.m_y);
    text += line;
  }
  return text;
}

CClineData LineOf(const Pts& outline, double d)
{
  CKelArea<CKelCoord2D> area;
  area.m_pt = outline;
  CClineData line(0, d);
  EXPECT_TRUE(line.CreateCheckline(area));
  return line;
}

// The outline without the points that stand for no ground: repeats and
// spikes whose sides meet within a hair (as when a survey doubles a point
// twice, once 0.2 mm away and once 5e-7 m away).
Pts LotOf(const Pts& outline)
{
  Pts lot;
  for (int k : CleanOutline(outline, 0.0).m_At)
    lot.push_back(outline[static_cast<std::size_t>(k)]);
  return lot;
}

// The line of the outline judged against the lot it describes; false, with
// the outline printed in the data files' form, when it is not sound.
bool SoundOrPrinted(const Pts& outline, double d)
{
  ExpectSoundLine(LotOf(outline), LineOf(outline, d));
  if (!testing::Test::HasFailure())
    return true;
  std::printf("%s", OutlineText(outline, d).c_str());
  return false;
}

// The lines of a data file's outline, given either way round.
void ExpectSoundLinesOfFile(const char* name)
{
  SCOPED_TRACE(name);
  double d = 0;
  const Pts outline = ReadOutline(name, &d);
  ASSERT_GE(outline.size(), 5u);
  ExpectSoundLine(outline, LineOf(outline, d));
  ExpectSoundLine(outline, LineOf(Pts(outline.rbegin(), outline.rend()), d));
}

}  // namespace

// Surveyed boundaries: a crossing taken within the tolerance past an arc's
// end left a whole turn in the line (through the site, crossing itself) or
// stopped the cutting with loops left. Surveyed lots: a notch or zigzag
// under 2 mm left a loop through the site, a loop cut at the wrong crossing
// brought the line nearer than d, a corner within 0.1 degree of straight
// before the start left it open, a needle's tip was cut across and a slit's
// sides ran inside the site; a survey point listed first, 2e-6 m before a
// corner on its side, was kept as a corner and the line refused. The same
// lots given clockwise are taken the other way round.
TEST(ClineOffset, SurveyedOutlinesGiveSoundLines)
{
  for (const char* name : {"cline-rippled-1326.txt", "cline-rippled-1426.txt", "cline-rippled-658-full-arc.txt",
                           "cline-rippled-1124-arcs-inside.txt", "cline-surveyed-vdent-0.3mm-d5.txt",
                           "cline-surveyed-zigzag-d5.txt", "cline-surveyed-noisy-edge-d0.5.txt",
                           "cline-surveyed-two-zigzags-d31.txt", "cline-surveyed-noisy-top-dip-d10.txt",
                           "cline-surveyed-gap-bend-d10.txt", "cline-surveyed-needle-out-d5.txt",
                           "cline-surveyed-slit-in-d5.txt", "cline-surveyed-point-listed-first-d5.txt"})
    ExpectSoundLinesOfFile(name);
}

// A spiky star whose raw line starts inside a loop and closes at a mitre of
// a straight corner, a little before its start: the start was not moved
// onto the outer line, and the line kept a chord through a spike.
TEST(ClineOffset, ARawLineClosedAtAStraightMitreStartsOnTheOuterLine)
{
  double d = 0;
  const Pts outline = ReadOutline("cline-spiky-818.txt", &d);
  ASSERT_EQ(outline.size(), 818u);
  ExpectSoundLine(outline, LineOf(outline, d));
}

// A lone edge (two points) is a needle with two tips: the line goes round
// both. Coordinates a hair above zero once made the trace's chunk count
// overflow.
TEST(ClineOffset, DegenerateOutlinesGiveClosedLines)
{
  ExpectSoundLine({{0, 0}, {20, 0}}, LineOf({{0, 0}, {20, 0}}, 5));
  const Pts denormal = {{0, 9.86396481e-315}, {20, 0}, {20, 5}, {2.172923715076e-311, 5.075883674631299e-116}};
  ExpectSoundLine(denormal, LineOf(denormal, 5));
  // Points no site has (a stored record can carry anything): the line
  // cannot be traced, and says so; it is not the raw line through the site.
  for (const double odd : {std::nan(""), 3e299, 1e12}) {
    CKelArea<CKelCoord2D> area;
    area.m_pt = {{2.8469003808977276e-39, 0}, {5, 0}, {5, 1.25}, {odd, 2.3142543630515321e-38}};
    CClineData line(0, 5);
    EXPECT_FALSE(line.CreateCheckline(area));
    EXPECT_TRUE(line.empty());
  }
}

class ClineOffsetKinds : public testing::TestWithParam<Kind> {};

// Vertex counts from 30 to 4,000, most of them small, as the larger the
// outline the longer its check; then a few of 2,500 to 4,000, where a loop
// cut off early can hold most of the raw line.
TEST_P(ClineOffsetKinds, RandomOutlinesGiveSoundLines)
{
  std::mt19937_64 rng(static_cast<unsigned>(GetParam()) + 50);
  std::uniform_real_distribution<double> u(0, 1);
  for (int round = 0; round < 330; ++round) {
    const double v = u(rng);
    const int n = round < 300 ? static_cast<int>(30 * std::pow(4000.0 / 30, v * v * v)) : 2500 + static_cast<int>(1500 * v);
    double d = 0;
    const Pts outline = RandomOutline(GetParam(), n, rng, &d);
    SCOPED_TRACE(testing::Message() << "round " << round << " vertices " << outline.size() << " d " << d);
    if (!SoundOrPrinted(outline, d))
      return;
  }
}

std::string KindName(const testing::TestParamInfo<Kind>& info)
{
  static const char* const names[] = {"GentleStar", "SpikyStar", "Rippled", "Notched", "Regular"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kinds, ClineOffsetKinds,
                         testing::Values(Kind::GentleStar, Kind::SpikyStar, Kind::Rippled, Kind::Notched,
                                         Kind::Regular),
                         KindName);

// Lots of every shape as surveys give them, at the usual distances.
TEST(ClineOffset, RandomSurveyedLotsGiveSoundLines)
{
  std::mt19937 rng(54);
  for (int round = 0; round < 324; ++round) {
    const Lot lot = static_cast<Lot>(round % kLots);
    const double d = std::vector<double>{0.5, 5, 10, 31}[static_cast<std::size_t>(round / kLots % 4)];
    const Pts outline = SurveyedLot(lot, rng);
    SCOPED_TRACE(testing::Message() << "round " << round << " lot " << static_cast<int>(lot) << " vertices "
                                    << outline.size() << " d " << d);
    if (!SoundOrPrinted(outline, d))
      return;
  }
}

// Lots with survey points on their edges (exactly, within 1e-9 m, a point
// 5e-7 m beside its neighbours) and a sliver in plane rectangular
// coordinates, 1.7e5 m from the origin.
TEST(ClineOffset, DenseAndFarOutlinesGiveSoundLines)
{
  for (const char* name : {"cline-dense-plane-sliver-d0.5-min6.txt", "cline-dense-plane-sliver-d0.5-min6-local.txt",
                           "cline-dense-star-exact-d31.txt", "cline-dense-flag-exact-d0.5.txt",
                           "cline-dense-flag-1e-9-d31.txt", "cline-dense-rect-dups-d10-min5.txt"})
    ExpectSoundLinesOfFile(name);
}

// A tenth of a millimetre round a lot with a zigzag under a millimetre:
// the whole line, some 64 m, not a loop round the zigzag alone.
TEST(ClineOffset, ATinyDistanceGoesRoundTheWholeLot)
{
  double d = 0;
  const Pts outline = ReadOutline("cline-surveyed-zigzag-d5.txt", &d);
  const CClineData line = LineOf(outline, 0.0001);
  EXPECT_NEAR(64.0006, line.GetLength(), 1e-3);
  // The judge's offset area would take a million levels here: the line
  // keeps the distance from every edge and runs round the lot's area.
  const std::vector<Piece> pieces = PiecesOf(line);
  for (const Piece& p : pieces) {
    for (std::size_t k = 0; k < outline.size(); ++k)
      EXPECT_GE(PieceEdge(p, outline[k], outline[(k + 1) % outline.size()]), 0.0001 * (1 - 1e-6));
  }
  EXPECT_NEAR(240.0064, EnclosedArea(pieces), 1e-4);
}

// Lots of every shape with the dense points of a digitised or curved
// boundary, far from the origin and turned, clockwise and counter-clockwise,
// at the usual distances and at up to four times the lot's width.
// CLINE_DENSE_ROUNDS and CLINE_DENSE_SEED run more lots on demand.
TEST(ClineOffset, RandomDenselySurveyedLotsGiveSoundLines)
{
  const char* rounds = std::getenv("CLINE_DENSE_ROUNDS");
  const char* seed = std::getenv("CLINE_DENSE_SEED");
  std::mt19937 rng(seed != nullptr ? static_cast<unsigned>(std::atoi(seed)) : 16);
  std::uniform_real_distribution<double> u(0, 1);
  for (int round = 0; round < (rounds != nullptr ? std::atoi(rounds) : 72); ++round) {
    const Lot lot = static_cast<Lot>(round % kLots);
    const double d = std::vector<double>{0.5, 5, 10, 31, 40 + 120 * u(rng)}[static_cast<std::size_t>(round / kLots % 5)];
    Pts outline = DenseSurveyedLot(lot, rng, 2400);
    if (round % 2 == 1)
      std::reverse(outline.begin(), outline.end());
    SCOPED_TRACE(testing::Message() << "round " << round << " lot " << static_cast<int>(lot) << " vertices "
                                    << outline.size() << " d " << d);
    if (!SoundOrPrinted(outline, d))
      return;
  }
}

// A lot moved by any vector up to 1e6 m gives the same line moved: the
// line is built about a whole-metre point near the lot, never about the
// coordinates' origin.
TEST(ClineOffset, MovedLotsGiveTheSameLineMoved)
{
  std::mt19937 rng(162);
  std::uniform_real_distribution<double> u(0, 1);
  for (int round = 0; round < 27; ++round) {
    const Lot lot = static_cast<Lot>(round % kLots);
    const double d = std::vector<double>{0.5, 5, 31}[static_cast<std::size_t>(round / kLots)];
    const Pts outline = round % 2 ? SurveyedLot(lot, rng) : DenseSurveyedLot(lot, rng, 600);
    const double far = 1e6 * u(rng), towards = 2 * M_PI * u(rng);
    const double dx = far * std::cos(towards), dy = far * std::sin(towards);
    Pts moved;
    for (const CKelCoord2D& p : outline)
      moved.emplace_back(p.m_x + dx, p.m_y + dy);
    SCOPED_TRACE(testing::Message() << "round " << round << " by " << dx << ", " << dy << " d " << d);
    const CClineData here = LineOf(outline, d);
    CClineData back = LineOf(moved, d);
    for (CCrspnt& p : back) {
      if (p.m_Kind != CCrspnt::kEnd)
        p = CCrspnt(p.m_x - dx, p.m_y - dy, p.m_Kind);
    }
    // Where two runs meet at a hair's angle, their crossing slides along
    // them with the last digit of the input: the lines are compared as
    // lines, each point on the other line.
    EXPECT_NEAR(here.GetLength(), back.GetLength(), 1e-6);
    for (const auto& [one, other] : {std::pair<const CClineData*, const CClineData*>(&here, &back), {&back, &here}}) {
      const std::vector<Piece> pieces = PiecesOf(*other);
      for (std::size_t k = 0; k + 1 < one->size(); ++k) {
        if ((*one)[k].m_Kind == CCrspnt::kCentre)
          continue;
        double off = 1;
        for (const Piece& p : pieces)
          off = std::min(off, p.arc ? PointArc((*one)[k], p) : PointSegment((*one)[k], p.s, p.e));
        EXPECT_LE(off, 1e-6) << k;
      }
    }
  }
}

// --- Points listed again ----------------------------------------------------------------------

namespace {

// Whether two lines have the same points, bit for bit, and kinds.
bool Identical(const CClineData& a, const CClineData& b)
{
  if (a.size() != b.size())
    return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (a[k].m_x != b[k].m_x || a[k].m_y != b[k].m_y || a[k].m_Kind != b[k].m_Kind)
      return false;
  }
  return true;
}

// The outline with vertex k listed again `times[k]` more times in a row;
// a repeat of vertex 0 at the end of the list when `closing`.
Pts ListedAgain(const Pts& once, const std::vector<int>& times, bool closing)
{
  Pts listed;
  for (std::size_t k = 0; k < once.size(); ++k) {
    listed.insert(listed.end(), 1 + (closing && k == 0 ? 0 : times[k]), once[k]);
  }
  if (closing)
    listed.insert(listed.end(), times[0], once[0]);
  return listed;
}

// The list with each repeat moved 1e-7 to 1e-3 m from the point before it
// (the closing one from the first point), any way that leaves the outline
// simple; empty when none of some tries does.
Pts NearlyListedAgain(const Pts& exact, std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  const auto near = [&](const CKelCoord2D& p) {
    const double gap = LogUniform(1e-7, 1e-3, rng), a = 2 * M_PI * u(rng);
    return CKelCoord2D(p.m_x + gap * std::cos(a), p.m_y + gap * std::sin(a));
  };
  const auto same = [](const CKelCoord2D& a, const CKelCoord2D& b) { return a.m_x == b.m_x && a.m_y == b.m_y; };
  // The closing repeats, each moved from the one after it, the last from
  // the first point.
  std::size_t tail = exact.size();
  while (tail > 1 && same(exact[tail - 1], exact.front()))
    --tail;
  for (int tries = 0; tries < 50; ++tries) {
    Pts moved = exact;
    for (std::size_t k = 1; k < tail; ++k) {
      if (same(exact[k], exact[k - 1]))
        moved[k] = near(moved[k - 1]);
    }
    for (std::size_t k = exact.size(); k-- > tail;)
      moved[k] = near(k + 1 == exact.size() ? moved.front() : moved[k + 1]);
    if (Simple(moved))
      return moved;
  }
  return {};
}

}  // namespace

// A 20 x 10 m lot with a corner listed two to four times, each corner from
// each first vertex, either way round, and with the closing point repeating
// the first: a convex corner's angle was taken against the edge of no
// length, and the corner came out square, 7.07 m from the lot at d = 5
// (14.14 m at d = 10 for the deemed site), and was handed out as sound.
TEST(ClineOffset, ACornerListedAgainKeepsItsArc)
{
  const Pts rect = {{0, 0}, {20, 0}, {20, 10}, {0, 10}};
  for (std::size_t first = 0; first < 4; ++first) {
    Pts once = rect;
    std::rotate(once.begin(), once.begin() + static_cast<long>(first), once.end());
    for (const bool clockwise : {false, true}) {
      for (std::size_t corner = 0; corner < 4; ++corner) {
        for (int times = 1; times <= 3; ++times) {
          for (const bool closing : {false, true}) {
            if (closing && corner != 0)
              continue;
            std::vector<int> again(4, 0);
            again[corner] = times;
            Pts listed = ListedAgain(once, again, closing), plain = once;
            if (clockwise) {
              // A list closed on its first point, turned round, still
              // starts there.
              std::reverse(listed.begin(), listed.end());
              std::reverse(plain.begin() + (closing ? 1 : 0), plain.end());
            }
            SCOPED_TRACE(testing::Message() << "first " << first << " corner " << corner << " times " << times
                                            << (clockwise ? " clockwise" : "") << (closing ? " closing" : ""));
            const CClineData line = LineOf(listed, 5);
            EXPECT_NEAR(60 + 10 * M_PI, line.GetLength(), 1e-9);
            EXPECT_TRUE(Identical(line, LineOf(plain, 5)));
            ExpectSoundLine(listed, line);
            CKelMSite site;
            for (const CKelCoord2D& p : listed)
              site.m_pt.emplace_back(p.m_x, p.m_y);
            EXPECT_TRUE(site.CreateCheckLine());
            EXPECT_NEAR(60 + 10 * M_PI, site.m_ChkLine1.GetLength(), 1e-9);
            EXPECT_NEAR(60 + 20 * M_PI, site.m_ChkLine2.GetLength(), 1e-9);
          }
        }
      }
    }
  }
}

// Survey lists with a point listed twice: a triangle whose line came
// 3.747 m (d = 3.7) and 5.040 m (d = 5) from it, and an L-shaped lot in
// plane rectangular coordinates rounded to the millimetre, whose line ran
// 9.92 m too far out at d = 46.
TEST(ClineOffset, SurveyListsWithPointsListedTwiceGiveSoundLines)
{
  for (const char* name : {"cline-repeated-triangle-d3.7.txt", "cline-repeated-triangle-d5.txt",
                           "cline-repeated-L-lot-mm-rounded-d46.txt"}) {
    SCOPED_TRACE(name);
    double d = 0;
    const Pts outline = ReadOutline(name, &d);
    ASSERT_GE(outline.size(), 4u);
    ExpectSoundLine(outline, LineOf(outline, d));
    ExpectSoundLine(outline, LineOf(Pts(outline.rbegin(), outline.rend()), d));
  }
}

// Lots of every shape with one to three corners, convex and concave, each
// listed one to three more times, a third of them with the closing point
// repeating the first; half in plane rectangular coordinates (turned, 1e4
// to 3e5 m from the origin), half of them clockwise; d from 0.5 m to six
// times the lot's width. Each gives the line of the lot listed once. Every
// third lot has its repeats moved 1e-7 to 1e-3 m instead, as corners of
// their own: its line is judged alone. CLINE_REPEAT_ROUNDS and
// CLINE_REPEAT_SEED run more lots on demand.
TEST(ClineOffset, LotsWithCornersListedAgainGiveTheLineOfTheLotListedOnce)
{
  const char* rounds = std::getenv("CLINE_REPEAT_ROUNDS");
  const char* seed = std::getenv("CLINE_REPEAT_SEED");
  std::mt19937 rng(seed != nullptr ? static_cast<unsigned>(std::atoi(seed)) : 66);
  std::uniform_real_distribution<double> u(0, 1);
  const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(u(rng) * static_cast<double>(n)) % n; };
  for (int round = 0; round < (rounds != nullptr ? std::atoi(rounds) : 360); ++round) {
    const Lot lot = static_cast<Lot>(round % kLots);
    Pts once = round % 4 == 3 ? IrregularLot(rng) : CleanLot(lot, rng);
    std::rotate(once.begin(), once.begin() + static_cast<long>(pick(once.size())), once.end());
    const std::size_t n = once.size();
    std::vector<std::size_t> convex, concave;
    for (std::size_t k = 0; k < n; ++k)
      (Cross(once[(k + n - 1) % n], once[k], once[(k + 1) % n]) > 0 ? convex : concave).push_back(k);
    std::vector<int> again(n, 0);
    again[convex[pick(convex.size())]] = 1 + static_cast<int>(pick(3));
    if (!concave.empty() && round % 2 == 0)
      again[concave[pick(concave.size())]] = 1 + static_cast<int>(pick(3));
    if (u(rng) < 0.3)
      again[pick(n)] = 1 + static_cast<int>(pick(3));
    const bool closing = u(rng) < 0.33 && again[0] == 0;
    if (closing)
      again[0] = 1 + static_cast<int>(pick(3));

    const bool plane = round % 2 == 1;
    const double turn = 2 * M_PI * u(rng), far = plane ? 1e4 + 2.9e5 * u(rng) : 0, towards = 2 * M_PI * u(rng);
    const bool clockwise = u(rng) < 0.5;
    // A list closed on its first point, turned round, still starts there.
    const auto place = [&](const Pts& pts, bool keepFirst) {
      Pts placed;
      for (const CKelCoord2D& p : pts)
        placed.emplace_back(far * std::cos(towards) + p.m_x * std::cos(turn) - p.m_y * std::sin(turn),
                            far * std::sin(towards) + p.m_x * std::sin(turn) + p.m_y * std::cos(turn));
      if (clockwise)
        std::reverse(placed.begin() + (keepFirst ? 1 : 0), placed.end());
      return placed;
    };
    Box box;
    for (const CKelCoord2D& p : once)
      box.Add(p);
    const double width = std::max(box.x2 - box.x1, box.y2 - box.y1);
    const double d = std::vector<double>{0.5, 5, 10, 31, width * (1 + 5 * u(rng))}[pick(5)];
    const Pts exact = ListedAgain(once, again, closing);
    const Pts near = round % 3 == 2 ? NearlyListedAgain(exact, rng) : Pts();
    const Pts listed = place(near.empty() ? exact : near, false);
    SCOPED_TRACE(testing::Message() << "round " << round << " lot " << static_cast<int>(lot) << " vertices "
                                    << listed.size() << " d " << d << (closing ? " closing" : "")
                                    << (near.empty() ? "" : " near"));
    const CClineData line = LineOf(listed, d);
    if (near.empty()) {
      EXPECT_TRUE(Identical(line, LineOf(place(once, closing), d)));
    }
    ExpectSoundLine(listed, line);
    if (testing::Test::HasFailure()) {
      std::printf("%s", OutlineText(listed, d).c_str());
      return;
    }
  }
}

// A line is sound only at its distance, both ways: the line of a 20 x 10 m
// lot at 5 m judged against the lot with its east edge moved out (the line
// nearer) or in (further), within the slack and beyond it; and the lot's
// line with a square corner in place of an arc, 7.07 m out.
TEST(ClineOffset, ALineIsSoundOnlyAtItsDistance)
{
  const Pts rect = {{0, 0}, {20, 0}, {20, 10}, {0, 10}};
  const CClineData line = LineOf(rect, 5);
  struct Row {
    double out;
    bool sound;
  };
  for (const Row& row : {Row{0, true}, Row{1e-6, true}, Row{-1e-6, true}, Row{1e-5, false}, Row{-1e-5, false}}) {
    Pts moved = rect;
    moved[1].m_x += row.out;
    moved[2].m_x += row.out;
    EXPECT_EQ(row.sound, line.IsSoundFor(moved)) << row.out;
  }
  CClineData square = line;
  for (std::size_t k = 0; k < square.size(); ++k) {
    if (square[k].m_Kind == CCrspnt::kCentre && square[k].m_x == 20 && square[k].m_y == 10) {
      square[k] = CCrspnt(25, 15, CCrspnt::kLinePoint);
      square[k + 1].m_Kind = CCrspnt::kLinePoint;
    }
  }
  ASSERT_FALSE(Identical(line, square));
  EXPECT_FALSE(square.IsSoundFor(rect));
}
