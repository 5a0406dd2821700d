// Reads arbitrary bytes as a block outline (as zone outlines reach the
// document), a line and a plane, and runs every operation that divides,
// cuts, tests and collects outlines. Nothing may crash or hang; for simple
// outlines given on a grid the pieces must keep their invariants: a division
// gives pieces on one side of the line, counter-clockwise, summing to the
// block's area; a convex cut gives convex pieces summing to it. The piece
// search gives the same answers whether it cuts long chains in place or
// copies every chain, on the outline seen from the line's level.
//
// Input: u8 vertex count (at most 24), u8 mode (bit 0: raw doubles instead
// of 1/64 m steps, bit 1: the block has its own bottom), then per vertex x,
// y, top, bottom, then the line's two points, the plane's A, B, C, D and a
// level; each value an i16 in 1/64 m steps (or an f64), 0 once the bytes
// run out.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelAreaToWall.h"
#include "CKelBlockCube.h"
#include "FuzzByteReader.h"
#include "KelBlockCutSearch.h"
#include "KelTolerance.h"

namespace {

using FuzzInput::Check;

// Coordinates in 1/64 m steps, or raw doubles.
double Value(FuzzInput::Reader& in, bool raw)
{
  if (raw)
    return in.Take<double>();
  return in.Take<std::int16_t>() / 64.0;
}

struct Input {
  CKelBlockCube block;
  CKelCoord2D p1, p2;
  double plane[4] = {0, 0, 1, 0};
  double level = 0;
  bool grid = true;
};

Input Decode(const std::uint8_t* data, std::size_t size)
{
  FuzzInput::Reader in(data, size);
  Input input;
  const int n = in.Byte() % 25;
  const std::uint8_t mode = in.Byte();
  const bool raw = (mode & 1) != 0;
  input.grid = !raw;
  for (int i = 0; i < n; ++i) {
    const double x = Value(in, raw);
    const double y = Value(in, raw);
    const double z = Value(in, raw);
    const double zL = (mode & 2) != 0 ? Value(in, raw) : 0.0;
    input.block.Append(CKelBlockCoord(x, y, z, zL));
  }
  input.p1 = CKelCoord2D(Value(in, raw), Value(in, raw));
  input.p2 = CKelCoord2D(Value(in, raw), Value(in, raw));
  for (double& v : input.plane)
    v = Value(in, raw);
  input.level = Value(in, raw);
  input.block.SetMinMax();
  input.block.SetType();
  input.block.GetPlaneEquation(false);
  input.block.GetPlaneEquation(true);
  return input;
}

double Perimeter(const CKelBlockCube& b)
{
  double sum = 0;
  for (int i = 0; i < b.GetSize(); ++i)
    sum += length_2point(b.m_Coord[static_cast<std::size_t>(b.PrevPos(i))], b.m_Coord[static_cast<std::size_t>(i)]);
  return sum;
}

// A simple outline on the grid, where the pieces' sums must hold.
bool Sound(const Input& in)
{
  return in.grid && !in.block.IsDegenerate() && in.block.CheckCross2() && in.block.CheckSameCoord();
}

void Divide(const Input& in)
{
  for (int mask = 0; mask < 4; ++mask) {
    CKelBlockCubeList out;
    const bool divided = in.block.Divide(nullptr, in.p1, in.p2, out, mask);
    Check(divided || out.empty());
    double area = 0;
    for (const CKelBlockCube& piece : out) {
      Check(piece.GetSize() >= 3);
      Check(!in.grid || piece.Menseki() >= 0);
      area += piece.Menseki();
      if (Sound(in))
        Check(piece.WhitchSide(in.p1, in.p2) != 3 && piece.CheckSamePoint());
    }
    if (divided && mask == 0 && Sound(in))
      Check(std::fabs(area - in.block.Menseki()) <= KelTol::BlockPoint * Perimeter(in.block) + 1e-9);
  }
  (void)in.block.WhitchSide(in.p1, in.p2);
}

// The block's plan points measured from the level of the line's first
// point, on-line ones snapped, a vertex inserted where an edge crosses:
// an outline as the piece search takes it.
std::vector<CKelCoord2D> FrameOf(const Input& in)
{
  std::vector<CKelCoord2D> ring;
  for (const CKelBlockCoord& c : in.block.m_Coord) {
    const double v = c.m_y - in.p1.m_y;
    ring.emplace_back(c.m_x, std::fabs(v) < KelTol::BlockPoint ? 0.0 : v);
  }
  std::vector<CKelCoord2D> frame;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const CKelCoord2D& a = ring[i];
    const CKelCoord2D& b = ring[i + 1 == ring.size() ? 0 : i + 1];
    frame.push_back(a);
    if (a.m_y != 0.0 && b.m_y != 0.0 && (a.m_y > 0) != (b.m_y > 0))
      frame.emplace_back(a.m_x + (0 - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y), 0.0);
  }
  return frame;
}

void PieceSearch(const Input& in)
{
  const std::vector<CKelCoord2D> frame = FrameOf(in);
  if (frame.empty())
    return;
  KelPieceSearch::IndexChain whole(frame.size());
  for (std::size_t i = 0; i < whole.size(); ++i)
    whole[i] = static_cast<int>(i);
  for (const auto chains : {CKelBlockCube::ChainArea::kModel, CKelBlockCube::ChainArea::kKeepSlivers}) {
    std::vector<std::pair<KelPieceSearch::IndexChain, bool>> pieces[2];
    bool answer[2] = {false, false};
    bool done[2] = {false, false};
    const std::size_t longFrom[2] = {4, std::numeric_limits<std::size_t>::max()};
    for (int k = 0; k < 2; ++k) {
      auto emit = [&](KelPieceSearch::IndexChain&& chain, bool eraseSame) {
        pieces[k].emplace_back(std::move(chain), eraseSame);
        return pieces[k].size() % 5 != 0;
      };
      answer[k] = KelPieceSearch::Search(frame, whole, nullptr, emit, &done[k], chains, longFrom[k]);
    }
    Check(answer[0] == answer[1] && done[0] == done[1] && pieces[0] == pieces[1]);
  }
}

void Outline(const Input& in)
{
  CKelBlockCube copy = in.block;
  const int before = copy.GetSize();
  copy.DeleteOnLine();
  Check(copy.GetSize() <= before);
  copy = in.block;
  copy.EraseSamePoint();
  Check(copy.GetSize() <= before && copy.CheckSamePoint());
  (void)in.block.CheckCross();
  (void)in.block.CheckCross2();
  (void)in.block.CheckSameCoord();
  const int where = in.block.InArea(in.p1);
  Check(where >= -1 && where <= 1);
  (void)CKelBlockCube::OnLinePoint(in.p1, in.p2, in.p1);
  double x = 0, y = 0;
  (void)CKelBlockCube::CalCrossPoint(in.p1.m_x, in.p1.m_y, in.p2.m_x, in.p2.m_y, in.plane[0], in.plane[1],
                                     in.plane[2], in.plane[3], &x, &y);
}

void Cuts(const Input& in)
{
  const double* pl = in.plane;
  for (bool flag : {false, true}) {
    CKelBlockCubeList out;
    in.block.CutByPlane2(nullptr, pl[0], pl[1], pl[2], pl[3], flag, out);
    out.clear();
    in.block.CutByPlane1(nullptr, pl[0], pl[1], pl[2], pl[3], flag, out);
    in.block.CutTopSlope(nullptr, in.level, out, flag, !flag);
    in.block.CutBotSlope(nullptr, in.level, out, !flag, flag);
    (void)in.block.CutBlock(nullptr, in.level, flag, false);
    (void)in.block.CutPlaneBlock(nullptr, in.level, 0, flag ? 1 : 0);
  }
  CKelBlockCube other = in.block;
  other.MoveFaceZ(in.level);
  CKelBlockCubeList out;
  (void)in.block.CutCrossLine(nullptr, &other, out);
  const std::vector<CKelCoord3D> fold{{in.p1.m_x, in.p1.m_y, pl[0]}, {in.p2.m_x, in.p1.m_y, pl[1]},
                                      {in.p1.m_x, in.p2.m_y, pl[2]}, {in.p2.m_x, in.p2.m_y, pl[3]}};
  (void)in.block.CutSyasenSlope(nullptr, fold, -1, in.level, 1);
  (void)in.block.CutSyasenSlope(nullptr, {fold[0], fold[1], fold[3]}, 0, 0, 0);
}

void Convex(const Input& in)
{
  CKelBlockCubeList out;
  if (!in.block.CutBlock(nullptr, out, 0)) {
    Check(out.empty());
    return;
  }
  double area = 0;
  for (const CKelBlockCube& piece : out) {
    area += piece.Menseki();
    if (Sound(in))
      Check(piece.IsOukata().empty());
  }
  if (Sound(in))
    Check(std::fabs(area - in.block.Menseki()) <= 1e-9 * std::max(1.0, in.block.Menseki()));
  for (int r : in.block.IsOukata()) {
    (void)in.block.CutBlockSearchNearistPoint(nullptr, r);
    CKelBlockCoord hit;
    (void)in.block.CutBlockSearchNextPoint(nullptr, r, hit);
  }
}

void Site(const Input& in)
{
  CKelAreaCoord2D site;
  site.m_pt = {in.p1, {in.p2.m_x, in.p1.m_y}, in.p2, {in.p1.m_x, in.p2.m_y}};
  CKelBlockCube block = in.block;
  Check(block.CheckBlock3(&site, true) == block.IsError());
  Check(!block.IsError() || block.m_Value != 0 || block.GetSize() >= 3);
  (void)block.CheckInSiteSyasenBlock(&site);
  (void)block.CheckInSite(nullptr);
  (void)block.IsInsideBlock(in.block);
  CKelBlockCube merged = in.block;
  (void)merged.MergeBlock(in.block);
}

void Walls(const Input& in)
{
  CKelAreaToWall walls;
  for (int i = 0; i < in.block.GetSize(); ++i)
    walls.AddLine(in.block.m_Coord[static_cast<std::size_t>(in.block.PrevPos(i))],
                  in.block.m_Coord[static_cast<std::size_t>(i)]);
  walls.AddLine2(in.p1, in.p2);
  walls.AddPoint(in.p1);
  CKelCoord2D centre;
  if (CKelAreaToWall::ArcGetOrigo(&in.p1, &in.p2, in.plane[0], &centre)) {
    walls.AddArc(in.p1, in.p2, centre, in.plane[1] >= 0);
    walls.AddArc2(in.p2, in.p1, centre, in.plane[2] >= 0);
    walls.AddArc(in.p2, in.p1, centre, in.plane[1] < 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const Input in = Decode(data, size);
  Divide(in);
  PieceSearch(in);
  Outline(in);
  Cuts(in);
  Convex(in);
  Site(in);
  Walls(in);
  return 0;
}
