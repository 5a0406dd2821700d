#pragma once
// CKelSiteTable: one vertex of a site outline together with the edge that
// starts there and runs to the next vertex (the outline is closed). The edge
// is a road, a neighbouring plot (Rinchi) or a corner cut (Sumikiri).
// CKelHsiteSphereTable: the per-edge values of the sky-factor and slant-line
// (Syasen) checks that the vertex carries.
//
// Units: metres and radians. The site lies to the left of each edge
// (counter-clockwise outline); a road lies to its right, between the edge and
// the road's far side.
//
// Road widths: w1 at the edge's start, w2 at its end; the far side is the
// line touching the circles of radius w1 and w2 about the edge's two ends,
// so s = (w1 - w2) / L is the sine of its tilt against the edge. A road edge
// of no length, or whose widths differ by the edge's length or more, has no
// such line: its tilt is clamped so that every result stays finite, and the
// site's check reports the edge as a bad road (code 1).

#include <cstdint>
#include <string>
#include <vector>

#include "CKelCoord.h"
#include "CLineCondExCondition.h"
#include "CRoadLineParam.h"
#include "KelOldSiteRecords.h"

class CAreaUsg;
class CKelArchiveCore;
class CKelHSite;

class CKelHsiteSphereTable {
public:
  double m_BldBack[2] = {0, 0};   // setback in force: usage 3 or more, below 3
  double m_BldBack2[2] = {0, 0};  // the alternative pair
  CKelCoord2D m_EdgePos[4];       // [0] the edge's start; [1..3] corner points
  double m_EdgeCos = 0;
  double m_EdgeSin = 0;
  double m_EdgeLen = 0;
  CSyasenCheckCalcFlag m_CalcFlag;
  std::int16_t m_Opt1 = 0;
  std::int16_t m_Opt2 = 0;
  double m_Param[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  double m_Value = 0;
  std::int32_t m_Kind = 0;

  // Setbacks, edge points, direction, length and flags; the options,
  // parameters, value and kind are not compared.
  bool operator==(const CKelHsiteSphereTable& o) const;
  bool operator!=(const CKelHsiteSphereTable& o) const { return !(*this == o); }
  // As == with only the first edge point.
  bool CheckSyasenCheckCondition(const CKelHsiteSphereTable& o) const;

  // From version 20 the block (below 30 with cond's option inside it); from
  // 25 the kind and value.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, CLineCondExCondition& cond);

private:
  bool EqualExceptPoints(const CKelHsiteSphereTable& o) const;
};

class CKelSiteTable : public CKelCoord2D {
public:
  enum TYPE { TYPE_RINCHI = 0, TYPE_ROAD = 1, TYPE_SUMIKIRI = 2 };

  // Bits of COND.
  static constexpr std::uint16_t kRoad = 0x0001;
  static constexpr std::uint16_t kRoadHeight1 = 0x0002;
  static constexpr std::uint16_t kRoadHeight2 = 0x0004;
  static constexpr std::uint16_t kKanwa1 = 0x0008;
  static constexpr std::uint16_t kKanwa2 = 0x0010;
  static constexpr std::uint16_t kTokutei = 0x0020;
  static constexpr std::uint16_t kWideRun = 0x0100;  // see CKelHSite::CheckRoadWidth
  static constexpr std::uint16_t kSumikiri = 0x0200;

  static constexpr float kDefaultTokuteiDistance = 70.0f;

  std::uint16_t COND = 0;
  std::int16_t optno = -1;  // index into the site's road table, -1 for none
  float m_RinchiHeight = 0;
  double m_RoadWidthBeg = 0;
  double m_RoadWidthEnd = 0;
  double m_AdoptRoadWidth = 0;
  std::int32_t m_RoadWidthType = 0;  // 0 the smaller width, 1 the adopted one
  float m_RoadHeight1 = 0;
  float m_RoadHeight2 = 0;
  float m_TokuteiDistance = kDefaultTokuteiDistance;
  float m_Kanwa1 = 0;
  float m_Kanwa2 = 0;
  CLineCondExCondition m_LineCond;
  CKelHsiteSphereTable m_Sphere;

  CKelSiteTable() = default;
  explicit CKelSiteTable(const CKelCoord2D& p) : CKelCoord2D(p) {}

  // --- Widths and kind
  // The smaller width for type 0 (and for a stored type outside 0 and 1),
  // the entered one for type 1; plus m_Kanwa1 unless plain.
  double GetAdoptRoadWidth(bool bPlain) const;
  double GetMinRoadWidth() const;
  void CheckRoadWuser();
  TYPE GetType() const;
  bool IsRoad() const { return (COND & kRoad) != 0; }
  bool IsSumikiri() const { return (COND & kSumikiri) != 0; }
  bool IsRinchi() const { return !IsRoad() && !IsSumikiri(); }
  // Normalises COND for the kind: 0 accepted, 1 a road width not above 0
  // or a road's width, height or relaxation width not finite, 2 a distance
  // given for a road not from 6.0 to below 12.0 wide, 3 a distance negative
  // or not finite (the road's, or a setback of any edge). With bCheckOnly
  // nothing is written.
  [[nodiscard]] int SetFlag(TYPE type, double defaultDistance, bool bCheckOnly);
  // The height limit term: min(35, 2w) from w = 4.0 on, else 10 - w/2.
  double _2A_and_35() const;

  // --- Road geometry (next: the vertex the edge runs to)
  CRoadLineParam GetRoadLineParam(bool bPlain, const CKelCoord2D& next) const;
  CRoadLineParam GetRoadCenterLine(bool bPlain, const CKelCoord2D& next) const;
  void calc_roadline2(const CKelCoord2D& next, CKelCoord2D* pBeg, CKelCoord2D* pEnd) const;
  double GetRoadCos(double len) const;
  double GetRoadSin(double len) const;
  // Signed distance from the far side to p, positive on the site's side.
  double GetRoadWidth(const CKelCoord2D& next, const CKelCoord2D& p) const;
  double GetRoadHeight(const CKelCoord2D& next, const CKelCoord2D& p) const;
  // The road height at p, raised by half of what a site standing 1.0 or more
  // above the road exceeds 1.0 by; the edge's end comes from m_Sphere.
  double GetRoadHeight(double groundHeight, const CKelCoord2D& p) const;
  // The distance along the edge where the ground stands 1.0 above the road line.
  [[nodiscard]] bool CalKanwaPosition2(double groundHeight, double* pos) const;
  // Bit 2: the road's start is cut; bit 1: its end is cut.
  int GetRoadShape(const CKelHSite& site) const;

  // --- Corner cuts (read m_LineCond's mode and m_Sphere's points)
  // The point a corner cut in mode 1 or 2 stands for at the end of the edge
  // before it, or at the start of the edge after it; otherwise (no cut, or
  // another mode) the point given.
  CKelCoord2D CutPointForPrevEdge(const CKelCoord2D& otherwise) const;
  CKelCoord2D CutPointForNextEdge(const CKelCoord2D& otherwise) const;

  // --- Neighbouring plot and setback
  double GetRinchiHeight(double groundHeight) const;
  void SetBldBack();
  // The setback in force for the zoning area's usage code (m_BldBack[1]
  // below code 3, else [0]), and the neighbour distance it adopts.
  double GetBldDistance(const CAreaUsg& usg) const;
  double GetRinchiAdoptiveDistance(const CAreaUsg& usg) const;

  // --- Compares and stored forms
  bool operator==(const CKelSiteTable& o) const;
  bool operator!=(const CKelSiteTable& o) const { return !(*this == o); }
  bool IsNearlyEqual(const CKelSiteTable& o) const;
  bool CheckSyasenCheckCondition(const CKelSiteTable& o) const;
  void CompareData(const char* label, const CKelSiteTable& o, std::vector<std::string>& lines) const;
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  LCONDITION GetOldLineCond() const;

private:
  struct Tilt {
    double s = 0;  // sine of the far side's tilt
    double c = 1;  // its cosine
  };
  Tilt RoadTilt(double len) const;
  CKelCoord2D CutPoint(int splitIndex, const CKelCoord2D& otherwise) const;
  bool EqualExceptSphere(const CKelSiteTable& o) const;
  void SetKanwaBits();
  void KeepIfGiven(float& value, bool given, std::uint16_t bit);
  [[nodiscard]] int SetRoadFlag(double defaultDistance, bool bCheckOnly);
  bool RoadValuesFinite() const;
};
