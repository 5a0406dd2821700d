#include "CSyasenCheckSectionLine.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <map>
#include <cmath>

#include "CKelArchiveCore.h"
#include "CKelBaseParam.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"

namespace {

// A stored section takes at least its three doubles, flag, direction and count.
constexpr std::uint64_t kMinSectionBytes = 3 * sizeof(double) + 1 + 2 * sizeof(std::int32_t);
constexpr int kPointBytes = 3 * static_cast<int>(sizeof(double));
// The site slab: a thin block under the whole site.
constexpr double kSlabBottom = -0.01;

double Dot(const CKelCoord2D& p, const CKelCoord2D& o, double c, double s)
{
  return (p.m_x - o.m_x) * c + (p.m_y - o.m_y) * s;
}

CKelBlockCube Slab(const std::vector<CKelCoord2D>& outline, double top, double bottom, bool checked)
{
  CKelBlockCube block;
  for (const CKelCoord2D& p : outline) {
    CKelBlockCoord c(p.m_x, p.m_y, 0, 0);
    c.SetZH(top, nullptr);
    c.SetZL(bottom, nullptr);
    block.Append(c);
  }
  block.SetSyasen(checked);
  block.SetHikage(checked);
  block.SetType();
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
  block.SetMinMax();
  return block;
}

}  // namespace

// --- Geometry ----------------------------------------------------------------------------

CKelCoord3D CSyasenCheckSectionLine::GetCoord3D(int i) const
{
  PLN_ASSERT(i == 0 || i == 1);
  const CKelCoord2D& p = i == 0 ? m_Line.m_Beg : m_Line.m_End;
  return {p.m_x, p.m_y, 0};
}

void CSyasenCheckSectionLine::SetLength(const CKelHSite& site, const CKelCoord2D* point, SECTIONLINE_DIR dir)
{
  m_Dir = dir;
  const double c = m_BaseLine.m_Cos;
  const double s = m_BaseLine.m_Sin;
  const bool square = dir == kSquare;
  const double dc = square ? -s : c;
  const double ds = square ? c : s;
  if (!square)
    m_Offset = 0;
  else if (point != nullptr)
    m_Offset = -Dot(*point, m_BaseLine.m_Beg, c, s);
  else
    m_Offset = -0.5 * m_BaseLine.m_Length;
  m_Min = DBL_MAX;
  m_Max = -DBL_MAX;
  for (const CKelSiteTable& v : site.m_pt) {
    const double t = Dot(v, m_BaseLine.m_Beg, dc, ds);
    m_Min = std::min(m_Min, t);
    m_Max = std::max(m_Max, t);
  }
  SetLine();
}

void CSyasenCheckSectionLine::SetLine()
{
  const CKelCoord2D& r = m_BaseLine.m_Beg;
  if (!(m_Min <= m_Max)) {
    m_Line = CoordLine2D(r, r);
    return;
  }
  const bool square = m_Dir == kSquare;
  const double c = square ? -m_BaseLine.m_Sin : m_BaseLine.m_Cos;
  const double s = square ? m_BaseLine.m_Cos : m_BaseLine.m_Sin;
  const double nx = -s * m_Offset;
  const double ny = c * m_Offset;
  m_Line = CoordLine2D(CKelCoord2D(r.m_x + m_Min * c + nx, r.m_y + m_Min * s + ny),
                       CKelCoord2D(r.m_x + m_Max * c + nx, r.m_y + m_Max * s + ny));
}

void CSyasenCheckSectionLine::DoReverse(int reverse)
{
  m_bReverse = reverse != 0;
  std::swap(m_Line.m_Beg, m_Line.m_End);
  m_Line.m_Cos = -m_Line.m_Cos;
  m_Line.m_Sin = -m_Line.m_Sin;
  m_Offset = -m_Offset;
  const double min = m_Min;
  m_Min = -m_Max;
  m_Max = -min;
}

void CSyasenCheckSectionLine::CutInto(const CKelBlockCube& block)
{
  CKelBlockCubeList pieces;
  if (block.Divide(nullptr, m_Line.m_Beg, m_Line.m_End, pieces, CKelBlockCube::DEL_BOT)) {
    for (const CKelBlockCube& piece : pieces)
      m_Block.AddBlock(piece);
  } else if (block.WhitchSide(m_Line.m_Beg, m_Line.m_End) == CKelBlockCube::DEL_TOP) {
    m_Block.AddBlock(block);
  }
}

void CSyasenCheckSectionLine::CutBlock(const CKelBaseParam& base, const CKelBlockCubeArray& blocks1,
                                       const CKelBlockCubeArray& blocks2)
{
  m_Block.clear();
  for (const CKelBlockCubeArray* list : {&blocks1, &blocks2}) {
    for (const CKelBlockCube& block : *list)
      CutInto(block);
  }
  std::vector<CKelCoord2D> outline(base.m_Site.m_pt.begin(), base.m_Site.m_pt.end());
  if (outline.size() >= 3)
    CutInto(Slab(outline, 0, kSlabBottom, true));
  for (const CKelGroundArea& ground : base.m_GroundArea) {
    if (ground.m_Area.m_pt.size() >= 3)
      CutInto(Slab(ground.m_Area.m_pt, std::max(ground.m_Height, 0.0), std::min(ground.m_Height, 0.0), false));
  }
  m_Point.clear();
  if (m_Dir == kSquare)
    AddRoadPoints(base.m_Site);
}

// The road points of the site edge the reference line lies on: where the
// section meets it, the road edge at the road's height, and across the road
// its far side. Both positions are measured on edge A -> B and read the
// record of A, which describes that edge.
void CSyasenCheckSectionLine::AddRoadPoints(const CKelHSite& site)
{
  const double tol = KelTol::OnEdge;
  const std::size_t n = site.m_pt.size();
  for (std::size_t k = 0; k < n; ++k) {
    const CKelSiteTable& a = site.m_pt[(k + n - 1) % n];
    const CKelSiteTable& b = site.m_pt[k];
    double c = 0, s = 0, len = 0;
    if (!CalcCosSin(a, b, &c, &s, &len))
      continue;
    auto across = [&](const CKelCoord2D& p) { return std::fabs(c * (p.m_y - a.m_y) - s * (p.m_x - a.m_x)); };
    auto within = [&](double x) { return x >= -tol && x <= len + tol; };
    const CKelCoord2D& r0 = m_BaseLine.m_Beg;
    const CKelCoord2D& r1 = m_BaseLine.m_End;
    if (across(r0) > tol || across(r1) > tol || !within(Dot(r0, a, c, s)) || !within(Dot(r1, a, c, s)))
      continue;
    const double x1 = Dot(m_Line.m_Beg, a, c, s);
    const double x2 = Dot(m_Line.m_End, a, c, s);
    if (std::fabs(x1 - x2) > tol)
      return;  // the section is not square to this edge: no road points
    const bool atBeg = across(m_Line.m_Beg) <= tol && within(x1);
    const bool atEnd = across(m_Line.m_End) <= tol && within(x2);
    if (!atBeg && !atEnd)
      return;
    const CKelCoord2D& p = atBeg ? m_Line.m_Beg : m_Line.m_End;
    const double x = atBeg ? x1 : x2;
    const double z = a.m_RoadHeight1 + (a.m_RoadHeight2 - a.m_RoadHeight1) * x / len;
    const double w = a.m_RoadWidthBeg + (a.m_RoadWidthEnd - a.m_RoadWidthBeg) * x / len;
    m_Point.emplace_back(p.m_x, p.m_y, z);
    m_Point.emplace_back(p.m_x + w * m_BaseLine.m_Sin, p.m_y - w * m_BaseLine.m_Cos, z);
    return;
  }
}

bool CSyasenCheckSectionLine::operator==(const CSyasenCheckSectionLine& o) const
{
  return m_Line == o.m_Line && m_BaseLine == o.m_BaseLine && m_Dir == o.m_Dir && m_Offset == o.m_Offset &&
         m_Block == o.m_Block && m_Min == o.m_Min && m_Max == o.m_Max && m_bReverse == o.m_bReverse &&
         KelList::Equal(m_Point, o.m_Point);
}

// --- Records ---------------------------------------------------------------------------------

bool CSyasenCheckSectionLine::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckSectionLine");
  ar.Serialize(m_Offset);
  ar.Serialize(m_Min);
  ar.Serialize(m_Max);
  ar.Serialize(m_bReverse);
  ar.Serialize(m_Dir);
  if (ar.GetError() != 0 || !KelList::Serialize(ar, m_Point, static_cast<std::uint64_t>(kPointBytes)))
    return false;
  if (!m_Line.Serialize(ar) || !m_BaseLine.Serialize(ar))
    return false;
  return m_Block.Serialize2(ar) && ar.GetError() == 0;
}

bool CSyasenCheckSectionLine::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, static_cast<std::int32_t>(kRecordNo)) && Write(f, m_Dir) && Write(f, m_Offset) &&
         Write(f, m_Min) && Write(f, m_Max) && Write(f, static_cast<std::uint8_t>(m_bReverse ? 1 : 0)) &&
         m_Line.SaveData(f) && m_BaseLine.SaveData(f) && m_Block.SaveData(f) && KelRecord::SaveList(f, m_Point);
}

bool CSyasenCheckSectionLine::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  std::int32_t no = 0;
  std::uint8_t reverse = 0;
  if (!Read(f, budget, no) || no < 1000 || no > kRecordNo)
    return false;
  if (!(Read(f, budget, m_Dir) && Read(f, budget, m_Offset) && Read(f, budget, m_Min) && Read(f, budget, m_Max) &&
        Read(f, budget, reverse)))
    return false;
  m_bReverse = reverse != 0;
  if (!(m_Line.LoadData(f, budget) && m_BaseLine.LoadData(f, budget) && m_Block.LoadData(f, budget)))
    return false;
  return no < kRecordNo || KelRecord::LoadList(f, budget, m_Point, kPointBytes);
}

// --- The list of sections -------------------------------------------------------------------------

bool CSyasenCheckSectionLineArray::operator==(const CSyasenCheckSectionLineArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CSyasenCheckSectionLineArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckSectionLineArray");
  return KelList::Serialize(ar, *this, kMinSectionBytes);
}

bool CSyasenCheckSectionLineArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::Write(f, static_cast<std::int32_t>(kRecordNo)) && KelRecord::SaveList(f, *this);
}

bool CSyasenCheckSectionLineArray::LoadData(CKelFileIO& f, int* budget)
{
  std::int32_t no = 0;
  if (!KelRecord::Read(f, budget, no) || no != kRecordNo)
    return false;
  // The least a section record takes: number, direction, three doubles,
  // the flag, two plan lines and an empty block list.
  constexpr int kMinRecord = 4 + 4 + 24 + 1 + 2 * CoordLine2D::kRecordBytes + 8;
  return KelRecord::LoadList(f, budget, *this, kMinRecord);
}

// --- Block edge points -------------------------------------------------------------------------------

int CSyasenCheckBlockEdgePoint::PartsOf(double length) const
{
  double n = 0;
  if (m_bByCount) {
    n = static_cast<double>(m_Count) - 1;
  } else if (!std::isfinite(length)) {
    return -1;  // a line of stored coordinates that are no numbers has no points
  } else if (std::isfinite(m_Pitch) && m_Pitch > kMinPitch) {
    n = std::floor(length / m_Pitch);
    if (std::fabs(n * m_Pitch - length) >= KelTol::PointEqual)
      n += 1;
  }
  return static_cast<int>(std::min(n, static_cast<double>(kMaxPointsPerLine - 1)));
}

namespace {

bool WithinSite(double v) { return std::fabs(v) <= CSyasenCheckBlockEdgePoint::kMaxCoordinate; }
bool WithinSite(const CKelCoord2D& p) { return WithinSite(p.m_x) && WithinSite(p.m_y); }
bool WithinSite(const CKelCoord3D& p) { return WithinSite(p.m_x) && WithinSite(p.m_y) && WithinSite(p.m_z); }

// Finds laid points equal to a new one (every component strictly within
// KelTol::PointEqual) among the cells next to it, so that laying many lines
// does not compare every point with every other.
class PointIndex {
public:
  bool Contains(const std::vector<CKelCoord3D>& points, const CKelCoord3D& p) const
  {
    const Key k = KeyOf(p);
    for (long long dx = -1; dx <= 1; ++dx)
      for (long long dy = -1; dy <= 1; ++dy)
        for (long long dz = -1; dz <= 1; ++dz) {
          const auto it = m_Cells.find({k[0] + dx, k[1] + dy, k[2] + dz});
          if (it == m_Cells.end())
            continue;
          for (std::size_t i : it->second) {
            if (points[i] == p)
              return true;
          }
        }
    return false;
  }
  void Add(const CKelCoord3D& p, std::size_t i) { m_Cells[KeyOf(p)].push_back(i); }

private:
  using Key = std::array<long long, 3>;
  static long long Cell(double v)
  {
    // Far or undefined values share the outermost cells; equality decides.
    const double c = std::floor(v / KelTol::PointEqual);
    if (!(c > -1e18))
      return static_cast<long long>(-1e18);
    return static_cast<long long>(std::min(c, 1e18));
  }
  static Key KeyOf(const CKelCoord3D& p) { return {Cell(p.m_x), Cell(p.m_y), Cell(p.m_z)}; }
  std::map<Key, std::vector<std::size_t>> m_Cells;
};

}  // namespace

void CSyasenCheckBlockEdgePoint::CalcPoint()
{
  m_Point.clear();
  PointIndex index;
  int toLay = kMaxPoints;
  auto lay = [&](const CKelCoord3D& p) {
    if (toLay-- > 0 && !index.Contains(m_Point, p)) {
      index.Add(p, m_Point.size());
      m_Point.push_back(p);
    }
  };
  for (const CoordLine3D& line : m_Line) {
    if (toLay <= 0)
      break;
    const CKelCoord3D& b = line.m_Beg3D;
    const CKelCoord3D& e = line.m_End3D;
    const int n = PartsOf(std::hypot(e.m_x - b.m_x, e.m_y - b.m_y));
    if (n < 0)
      continue;
    if (n == 0) {
      lay(b);
      continue;
    }
    for (int i = 0; i <= n; ++i) {
      const double t = static_cast<double>(i) / n;
      lay(CKelCoord3D(b.m_x + (e.m_x - b.m_x) * t, b.m_y + (e.m_y - b.m_y) * t, b.m_z + i * (e.m_z - b.m_z) / n));
    }
  }
}

bool CSyasenCheckBlockEdgePoint::LinesWithinSite() const
{
  return std::all_of(m_Line.begin(), m_Line.end(), [](const CoordLine3D& line) {
    return WithinSite(line.m_Beg) && WithinSite(line.m_End) && WithinSite(line.m_Beg3D) && WithinSite(line.m_End3D);
  });
}

void CSyasenCheckBlockEdgePoint::AddPoint(const CKelCoord3D& p)
{
  if (std::none_of(m_Point.begin(), m_Point.end(), [&p](const CKelCoord3D& q) { return q == p; }))
    m_Point.push_back(p);
}

bool CSyasenCheckBlockEdgePoint::operator==(const CSyasenCheckBlockEdgePoint& o) const
{
  return m_Pitch == o.m_Pitch && m_Count == o.m_Count && m_bByCount == o.m_bByCount && m_Line == o.m_Line &&
         KelList::Equal(m_Point, o.m_Point);
}

bool CSyasenCheckBlockEdgePoint::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckBlockEdgePoint");
  if (!ar.IsLoading() && !LinesWithinSite()) {
    ar.SetError();
    return false;
  }
  ar.Serialize(m_Pitch);
  ar.Serialize(m_Count);
  ar.Serialize(m_bByCount);
  if (ar.GetError() != 0 || !m_Line.Serialize(ar))
    return false;
  if (ar.IsLoading()) {
    if (!(std::isfinite(m_Pitch) && m_Pitch > kMinPitch) || !LinesWithinSite()) {
      ar.SetError();
      return false;
    }
    CalcPoint();
  }
  return ar.GetError() == 0;
}

bool CSyasenCheckBlockEdgePoint::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return LinesWithinSite() && Write(f, static_cast<std::int32_t>(kRecordNo)) && Write(f, m_Pitch) &&
         m_Line.SaveData(f) && Write(f, m_Count) && Write(f, static_cast<std::uint8_t>(m_bByCount ? 1 : 0));
}

bool CSyasenCheckBlockEdgePoint::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  std::int32_t no = 0;
  if (!Read(f, budget, no) || (no != 1000 && no != kRecordNo))
    return false;
  if (!Read(f, budget, m_Pitch) || !(std::isfinite(m_Pitch) && m_Pitch > kMinPitch) || !m_Line.LoadData(f, budget) ||
      !LinesWithinSite())
    return false;
  if (no == kRecordNo) {
    std::uint8_t flag = 0;
    if (!Read(f, budget, m_Count) || !Read(f, budget, flag))
      return false;
    m_bByCount = flag != 0;
  }
  CalcPoint();
  return true;
}
