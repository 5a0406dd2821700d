#pragma once
// The road and crossing tables a site derives from its road edges.
//
//   CSiteRoadTable   one road: the quadrilateral between the site edge and
//                    the road's far side; each end either cut at the
//                    neighbouring edge's line or straight, running 5.0 past
//                    the vertex.
//   CoordRoadCross   a crossing point with the road heights there.
//   CSiteCrossTable  where two roads meet (at a shared vertex or across a
//                    corner cut): the four points where the site lines and
//                    the far sides of the two roads cross.
//   CSiteRoad, CSiteCross  the site's two tables.
//
// Shape words (16 bits) of a road: bits 0-3 the current shape (2: the start
// is cut, 1: the end is cut), bits 4-7 the shape as computed, 0x0100 / 0x0200
// the far end / start could not be joined to the neighbouring road's far
// side, 0x1000 / 0x2000 the end / start is joined to the road on the
// following / preceding edge. Of a crossing: bits 0-3 its shape 0..4,
// bits 4-7 1 for a crossing made across a corner cut, 0x0100 the roads' lines
// cross beyond the corner cut, 0x0200 the roads are collinear.
//
// Indices (a road's edge, its crossings, a crossing's roads) are checked by
// the site when it loads; the tables themselves store any value.

#include <cstdint>
#include <vector>

#include "CKelCoord.h"
#include "KelOldSiteRecords.h"

class CKelArchiveCore;

class CSiteRoadTable {
public:
  // Shape-word bits.
  static constexpr std::uint16_t kShapeMask = 0x000f;
  static constexpr std::uint16_t kEndCut = 0x0001;
  static constexpr std::uint16_t kBegCut = 0x0002;
  static constexpr std::uint16_t kEndNotJoined = 0x0100;
  static constexpr std::uint16_t kBegNotJoined = 0x0200;
  static constexpr std::uint16_t kEndJoined = 0x1000;
  static constexpr std::uint16_t kBegJoined = 0x2000;

  std::int16_t m_no = -1;  // the site edge
  std::uint16_t m_Flag = 0;
  std::int16_t m_BegCross = -1;
  std::int16_t m_EndCross = -1;
  CKelCoord3D m_SiteBeg;
  CKelCoord3D m_SiteEnd;
  CKelCoord3D m_FarBeg;
  CKelCoord3D m_FarEnd;

  int GetShape() const { return m_Flag & kShapeMask; }
  int GetCalcShape() const { return (m_Flag >> 4) & kShapeMask; }
  void SetRoadFlag(std::uint16_t flag) { m_Flag = flag; }
  // Whether p, the crossing of this road's far side with next's, may join them.
  bool cross_check(const CSiteRoadTable& next, const CKelCoord3D* p) const;
  // A shape may not straighten an end that had to be cut, nor cut an end
  // that has a crossing.
  bool CheckEnableRoadShape(int shape) const;

  // The four int16 exactly, the points by their plan position.
  bool operator==(const CSiteRoadTable& o) const;
  bool operator!=(const CSiteRoadTable& o) const { return !(*this == o); }
  bool IsNearlyEqual(const CSiteRoadTable& o) const;
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  RD_CELL GetOldParam() const;
  void FromOldParam(const RD_CELL& cell);
};

class CoordRoadCross {
public:
  CKelCoord2D m_pt;
  double m_Height2 = 0;  // on the crossing's second road
  double m_Height1 = 0;  // on its first road

  bool operator==(const CoordRoadCross& o) const;
  bool operator!=(const CoordRoadCross& o) const { return !(*this == o); }
  bool IsNearlyEqual(const CoordRoadCross& o) const;
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

class CSiteRoad;

class CSiteCrossTable {
public:
  static constexpr std::uint16_t kShapeMask = 0x000f;
  static constexpr std::uint16_t kMadeAcrossCut = 0x0010;
  static constexpr std::uint16_t kBeyondCut = 0x0100;
  static constexpr std::uint16_t kCollinear = 0x0200;

  std::uint16_t m_Flag = 0;
  std::int16_t m_Road1 = 0;
  std::int16_t m_Road2 = 0;
  // site x site, site of 1 x far of 2, far of 1 x site of 2, far x far.
  CoordRoadCross m_Pt[4];

  int GetShape() const { return m_Flag & kShapeMask; }
  void ChangeCrossStatus(int shape);
  // A crossing of r1's end with r2's start (road indices a and b); the roads
  // are stretched to it. False, with nothing changed, when one of the four
  // points does not exist (a far side parallel to the other road's line).
  [[nodiscard]] bool CreateCross(CSiteRoadTable& r1, CSiteRoadTable& r2, int a, int b);
  // The crossing of two collinear roads: midpoints as points 1 and 4.
  void SpecialCross(const CSiteRoadTable& r1, const CSiteRoadTable& r2);

  bool operator==(const CSiteCrossTable& o) const;
  bool operator!=(const CSiteCrossTable& o) const { return !(*this == o); }
  bool IsNearlyEqual(const CSiteCrossTable& o) const;
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  CRS_ROAD GetOldParam() const;
  void FromOldParam(const CRS_ROAD& cell);
};

class CSiteRoad : public std::vector<CSiteRoadTable> {
public:
  virtual ~CSiteRoad() = default;

  bool operator==(const CSiteRoad& o) const;
  bool operator!=(const CSiteRoad& o) const { return !(*this == o); }
  bool IsNearlyEqual(const CSiteRoad& o) const;
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  std::vector<RD_CELL> GetOldParam() const;
  // Replaces the table by the records (heights 0).
  void FromOldParam(const RD_CELL* cells, int count);
};

class CSiteCross : public std::vector<CSiteCrossTable> {
public:
  virtual ~CSiteCross() = default;

  bool operator==(const CSiteCross& o) const;
  bool operator!=(const CSiteCross& o) const { return !(*this == o); }
  bool IsNearlyEqual(const CSiteCross& o) const;
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  std::vector<CRS_ROAD> GetOldParam() const;
  void FromOldParam(const CRS_ROAD* cells, int count);
};

// The crossing of lines a and b; for parallel lines a2 when segment b lies
// on line a (within 0.001) with b1 strictly between a1 and a2.
std::vector<CKelCoord2D> cross_line0Ex(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                                       const CKelCoord2D& b2);
