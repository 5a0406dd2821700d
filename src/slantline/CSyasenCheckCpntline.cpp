// Check lines and the check points laid along them.
//
// Vocabulary: a piece is one straight segment or one arc of a check line;
// the offset is how far into its spacing the next piece's first point lies.

#include "CSyasenCheckCpntline.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "CKelArc.h"
#include "CKelArchiveCore.h"
#include "CSphereRatioParam.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// One piece of a check line: a segment from -> to, or an arc.
struct Piece {
  bool isArc = false;
  CKelCoord3D from;
  CKelCoord3D to;
  CKelArc arc;

  double Length() const { return isArc ? arc.GetArcLength() : length_2point(from, to); }
};

// Calls visit for every piece of line in order. A piece of no length is
// passed over: a short segment keeps the current point, an arc (one whose
// ends meet included) moves it to its end. An arc centre without an entry after it ends the walk.
void ForEachPiece(const CKelCoord3DCrsPntArray& line, const std::function<void(const Piece&)>& visit)
{
  if (line.size() < 2)
    return;
  CKelCoord3D current = line[0];
  for (std::size_t i = 1; i < line.size(); ++i) {
    Piece piece;
    if (!line[i].IsCenter()) {
      piece.from = current;
      piece.to = line[i];
      if (piece.Length() <= KelTol::SlantPiece)
        continue;
      current = line[i];
    } else {
      if (i + 1 >= line.size())
        return;
      piece.isArc = true;
      piece.arc = CKelArc(current, line[i + 1], line[i], line[i].m_Type == CKelCoord3DCrsPnt::TYPE_CCW);
      const bool ends = length_2point(current, line[i + 1]) <= KelTol::SlantPiece;
      current = line[++i];
      // Ends that meet make an arc of no sweep, which round-off would
      // otherwise read as the full circle. Also refuses a NaN length.
      if (ends || !(piece.Length() > KelTol::SlantPiece))
        continue;
    }
    visit(piece);
  }
}

double LineLength(const CKelCoord3DCrsPntArray& line)
{
  double total = 0;
  ForEachPiece(line, [&total](const Piece& p) { total += p.Length(); });
  return total;
}

// Appends p unless it repeats the first or the last point of the list.
void AddPoint(const CKelCoord3D& p, std::vector<CKelCoord3D>& points)
{
  if (!points.empty() && (p == points.front() || p == points.back()))
    return;
  points.push_back(p);
}

// At most this many steps past the parts of one piece, so a spacing that
// rounding made a hair short never loops without end.
constexpr int kStepsPerPiece = CSyasenCheckCpntlineArray::kMaxPoints + 2;

}  // namespace

CKelObject* CSyasenCheckCpntlineArray::GetElement(int Index)
{
  PLN_ASSERT(0 <= Index && Index < GetSize());
  return &(*this)[static_cast<std::size_t>(Index)];
}

void CSyasenCheckCpntlineArray::AddElement(const CKelObject* pItem)
{
  const auto* line = dynamic_cast<const CKelCoord3DCrsPntArray*>(pItem);
  PLN_ASSERT(line != nullptr);
  push_back(*line);
}

void CSyasenCheckCpntlineArray::Erase(int Index)
{
  PLN_ASSERT(0 <= Index && Index < GetSize());
  erase(begin() + Index);
}

int CSyasenCheckCpntlineArray::DivisionCount(double length, double pitch)
{
  if (!(length > 0) || !(pitch > 0))
    return 0;
  const double parts = std::floor(length / pitch);
  if (!(parts <= kMaxPoints))
    return 0;
  int n = static_cast<int>(parts);
  if (std::fabs(n * pitch - length) >= KelTol::SlantDivision)
    ++n;
  return n <= kMaxPoints ? n : 0;
}

void CSyasenCheckCpntlineArray::CreateCheckPoint(bool uniform, double* pitch, std::vector<CKelCoord3D>& points) const
{
  points.clear();
  if (empty() || pitch == nullptr || !(*pitch > 0))
    return;
  const double requested = *pitch;
  *pitch = 0.0;
  for (const CKelCoord3DCrsPntArray& line : *this) {
    double spacing = 0;
    if (uniform) {
      const double total = LineLength(line);
      const int n = DivisionCount(total, requested);
      if (n == 0)
        continue;
      spacing = total / n;
      *pitch = std::max(*pitch, spacing);
    }
    double offset = 0.0;
    ForEachPiece(line, [&](const Piece& piece) {
      if (!uniform) {
        const double length = piece.Length();
        const int n = DivisionCount(length, requested);
        if (n == 0)
          return;
        spacing = length / n;
        *pitch = std::max(*pitch, spacing);
        offset = 0.0;
      }
      if (piece.isArc)
        CreateChkPntArcType(piece.arc, spacing, &offset, points);
      else
        CreateChkPntLineType(piece.from, piece.to, spacing, &offset, points);
    });
  }
}

void CSyasenCheckCpntlineArray::CreateCheckPoint(bool uniform, double* pitch, CSphereRatioParamArray& points) const
{
  std::vector<CKelCoord3D> positions;
  CreateCheckPoint(uniform, pitch, positions);
  points.clear();
  for (const CKelCoord3D& p : positions) {
    CSphereRatioParam cpnt;
    cpnt.m_RatioRecord.m_x = p.m_x;
    cpnt.m_RatioRecord.m_y = p.m_y;
    cpnt.m_RatioRecord.m_z = p.m_z;
    points.push_back(cpnt);
  }
}

void CSyasenCheckCpntlineArray::CreateChkPntLineType(const CKelCoord3D& from, const CKelCoord3D& to, double pitch,
                                                     double* offset, std::vector<CKelCoord3D>& points)
{
  const double length = length_2point(from, to);
  if (!(length > KelTol::SlantPiece) || !(pitch > 0))
    return;
  const double c = (to.m_x - from.m_x) / length;
  const double s = (to.m_y - from.m_y) / length;
  for (int k = 0; k < kStepsPerPiece; ++k) {
    const double t = *offset + k * pitch;
    const double over = t - length;
    if (over > 0 && std::fabs(over) > KelTol::SlantPiece) {
      *offset = std::fmod(over, pitch);
      return;
    }
    AddPoint(CKelCoord3D(from.m_x + c * t, from.m_y + s * t, from.m_z + (to.m_z - from.m_z) * t / length), points);
  }
}

void CSyasenCheckCpntlineArray::CreateChkPntArcType(const CKelArc& arc, double pitch, double* offset,
                                                    std::vector<CKelCoord3D>& points)
{
  const double r = arc.GetRadius();
  if (!(r > KelTol::SlantPiece) || !(pitch > 0))
    return;
  double beg = arc.GetBegAng();
  double end = arc.GetEndAng();
  arc.AngleNormalize(beg, end);
  for (int k = 0; k < kStepsPerPiece; ++k) {
    const double a = *offset + k * pitch;
    const double angle = arc.m_bCCW ? beg + a / r : beg - a / r;
    const double over = arc.m_bCCW ? angle - end : end - angle;
    if (over > 0 && over > KelTol::SlantPiece) {
      *offset = std::fmod(r * over, pitch);
      return;
    }
    const CKelCoord3D& c = arc.m_Center;
    AddPoint(CKelCoord3D(c.m_x + r * std::cos(angle), c.m_y + r * std::sin(angle), c.m_z), points);
  }
}

bool CSyasenCheckCpntlineArray::operator==(const CSyasenCheckCpntlineArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CSyasenCheckCpntlineArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckCpntlineArray");
  // A line takes at least its count.
  return KelList::Serialize(ar, *this, sizeof(std::int32_t));
}

bool CSyasenCheckCpntlineArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::SaveList(f, *this);
}

bool CSyasenCheckCpntlineArray::LoadData(CKelFileIO& f, int* budget)
{
  return KelRecord::LoadList(f, budget, *this, static_cast<int>(sizeof(std::int32_t)));
}
