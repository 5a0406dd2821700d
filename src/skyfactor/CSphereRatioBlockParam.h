#pragma once
// Sphere block parameters: one obstruction outline on the sky disc with its
// triangles, bow shapes and covered share, and the bow and fan shapes.
//
// Vocabulary: a bow is the circular segment between a chord on the horizon
// and the unit circle; a fan (Fun) is the sector of the unit disc between
// two azimuths. Both are an azimuth interval with an area on the disc.
// Points are projected points: disc position (x, y) and the angles m_AD
// (azimuth) and m_AE (elevation), radians. The chart is the (azimuth,
// elevation) plane.
//
// Tolerance: KelTol::SkyDisc on angles and disc positions unless said.
// Rounding mode nRound of bow and fan areas: 0 up, 1 down at the seventh
// decimal (snapped first, KelSnap), any other value exact.
//
// Stored forms:
//   bow or fan        record 1000: begin, end, area (f64);
//   bow list          i32 count, the records; fan list: f64 0.0 first;
//   parameter         record 1001: points, triangles, bows, area (1000 adds
//                     a dropped f64); m_bFlag is archived only.
// Readers bound every count by the bytes left.

#include <cstdint>
#include <vector>

#include "CKelCoord.h"
#include "CSphereCoordD2D.h"
#include "CSphereTriangleData.h"

class CKelArchiveCore;
class CKelFileIO;

// A point of the chart with its disc position from the angles.
CSphereCoordD2D AnglePoint(double azimuth, double elevation);

class CSphereBowShapeParam {
public:
  static constexpr std::int32_t kRecord = 1000;
  static constexpr int kRecordBytes = 28;

  double m_begA = 0;
  double m_endA = 0;
  double m_Area = 0;

  CSphereBowShapeParam() = default;
  CSphereBowShapeParam(double begA, double endA, double area) : m_begA(begA), m_endA(endA), m_Area(area) {}
  CSphereBowShapeParam(const CSphereBowShapeParam&) = default;
  CSphereBowShapeParam& operator=(const CSphereBowShapeParam&) = default;
  virtual ~CSphereBowShapeParam() = default;

  bool operator==(const CSphereBowShapeParam& o) const;
  bool operator!=(const CSphereBowShapeParam& o) const { return !(*this == o); }

  void SetBowArea(double a) { m_Area = a; }
  void SetFunArea(double a) { m_Area = a; }
  double GetBowArea(int nRound) const { return GetFunArea(nRound); }
  double GetFunArea(int nRound) const;

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CSphereBowShapeParamArray : public std::vector<CSphereBowShapeParam> {
public:
  bool operator==(const CSphereBowShapeParamArray& o) const;
  bool operator!=(const CSphereBowShapeParamArray& o) const { return !(*this == o); }
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CSphereFunShapeParamArray : public std::vector<CSphereBowShapeParam> {
public:
  // The last archive version that carries a dropped f64 after the fans.
  static constexpr int kLastVersionWithTail = 31;

  bool operator==(const CSphereFunShapeParamArray& o) const;
  bool operator!=(const CSphereFunShapeParamArray& o) const { return !(*this == o); }
  double GetArea(int nRound) const;
  // Adds the fan a..b, joining the first fan that ends at a or begins at b.
  void AddFunShape(double a, double b);
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class ContactRuns;

class CSphereRatioBlockParam {
public:
  static constexpr std::int32_t kRecordOld = 1000;
  static constexpr std::int32_t kRecord = 1001;
  // The first archive version without the dropped f64 after the area.
  static constexpr int kVersionWithoutLegacy = 32;

  CSphereCoordD2DArray m_pt;
  CSphereTriangleDataArray m_Triangle;
  CSphereBowShapeParamArray m_BowShape;
  double m_area = -1.0;  // signed share of the disc, negative for a hole
  bool m_bFlag = false;  // received a hole in the union's merging

  CSphereRatioBlockParam() = default;
  CSphereRatioBlockParam(const CSphereRatioBlockParam&) = default;
  CSphereRatioBlockParam(CSphereRatioBlockParam&&) = default;
  CSphereRatioBlockParam& operator=(const CSphereRatioBlockParam&) = default;
  CSphereRatioBlockParam& operator=(CSphereRatioBlockParam&&) = default;
  virtual ~CSphereRatioBlockParam() = default;

  bool operator==(const CSphereRatioBlockParam& o) const;
  bool operator!=(const CSphereRatioBlockParam& o) const { return !(*this == o); }
  CSphereCoordD2D GetBlockData(int j) const { return m_pt[static_cast<std::size_t>(j)]; }

  // --- Measures
  // The disc area divided by pi: positive for a clockwise outline in (x, y).
  double CalcArea() const { return CalcArea(m_pt); }
  static double CalcArea(const CSphereCoordD2DArray& pts);
  // The same sum over the chart: positive counter-clockwise in the chart.
  static double CalcAreaAngle(const CSphereCoordD2DArray& pts);
  // The lobes of an outline that passes a corner twice, each closed at that
  // corner, when there are two or more and each turns as the whole does;
  // none otherwise (a hole reached through the corner turns the other way).
  // Runs out and straight back enclose nothing and are left out.
  static std::vector<CSphereCoordD2DArray> Lobes(const CSphereCoordD2DArray& pts);
  // The simple outlines that bound the same area as pts: bridges run out and
  // back along one line are dropped, and where the outline meets itself at
  // a corner each arrival leaves by the edge that keeps the covered side on
  // the same hand. An outline turning the other way that lies outside all
  // the others (a hole's side passing a sliver beyond its outline's, between
  // two corners they share) covers nothing and is left out. Empty when an
  // outline passes a corner twice or a hole is left standing inside another:
  // the division cannot take it.
  static std::vector<CSphereCoordD2DArray> Faces(const CSphereCoordD2DArray& pts);
  // One step of the horizontal-ray crossing test (see the definition).
  static int XCross(double px, double py, const CKelCoord2D& p1, const CKelCoord2D& p2, int* side);
  // Parity of crossings; a point on an edge is decided by the others.
  bool InBlock(const CKelCoord2D& pt) const;

  // --- Upkeep of m_pt (neighbours wrap; a removal re-examines the index)
  void DeleteHorzPoint();
  // Also rebuilds the bows: false when they cannot be rebuilt.
  [[nodiscard]] bool DeleteHorzPoint(int step);
  // Splits the horizon edges whose chord would pass over a corner of the
  // outline, at that corner's azimuth.
  void InsertHorizonUnderOutline();
  bool IsExistSameADPoint(double ad) const;
  void DeleteVertPoint();
  void DeleteSamePoint(int mode);
  void DeleteParallelPoint(int mode);
  void DeleteNeedleShape();
  void DeleteNeedleShape2();
  // Rebuilds the bows of the horizon edges; false (bows as far as built)
  // when a horizon edge runs with falling azimuth.
  [[nodiscard]] bool SetBowShape();
  // No horizon edge runs with falling azimuth.
  bool CheckAngle() const;
  bool InsertXCoord(double ad);
  void InsertXCoord();
  bool IsExist(const CKelCoord2D& pt) const;
  void ConvertCoordXY();
  void CheckCoordXY() {}

  // --- Crossings and chords
  // The start of the first edge (edges touching point skip ignored) that the
  // segment p1-p2 (disc positions) crosses strictly inside, or -1; a
  // collinear edge overlapping the open segment counts.
  int CheckCross(const CKelCoord2D& p1, const CKelCoord2D& p2, int skip) const;
  // Inserts shared vertices where edges touch or cross; false when the
  // inserted points would not run in the edge's azimuth order.
  [[nodiscard]] bool CheckCross();
  bool CheckNearPoint(int i, int j, int k) const;
  bool CheckNearPoint(int i, int k) const;
  // Cuts the outline by the chart line p1-p2 into pieces appended to out;
  // whether any piece was produced (false also for a cut that cannot be
  // made).
  [[nodiscard]] bool Divide(const CKelCoord2D& p1, const CKelCoord2D& p2, std::vector<CSphereCoordD2DArray>& out) const;

  // --- Stored forms
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);

private:
  // The points each edge receives where the edge i1 -> i2 touches it,
  // appended to found (one list per edge start); false for points out of
  // the edge's azimuth order. runs tells the edges that cannot touch the
  // edge i1 -> i2 by their boxes.
  [[nodiscard]] bool CollectContacts(int i1, int i2, ContactRuns& runs, std::vector<CSphereCoordD2DArray>& found) const;
  // The points edge j -> j + 1 receives from every edge touching it, in the
  // edge's direction, one per azimuth; false when they leave the edge's span.
  [[nodiscard]] bool MergeContacts(int j, CSphereCoordD2DArray& add) const;
  // The points edge j -> j + 1 receives where the edge p1 -> p2 touches it.
  bool ContactPoints(int j, const CSphereCoordD2D& p1, const CSphereCoordD2D& p2,
                     std::vector<CSphereCoordD2D>& out) const;
  void RemoveWhere(bool (CSphereRatioBlockParam::*test)(int) const);
  bool IsFlatHorizon(int i) const;
  bool IsVertical(int i) const;
  bool IsCoarseHorizon(int i, int step) const;
};

class CSphereRatioBlockParamArray : public std::vector<CSphereRatioBlockParam> {
public:
  bool operator==(const CSphereRatioBlockParamArray& o) const;
  bool operator!=(const CSphereRatioBlockParamArray& o) const { return !(*this == o); }
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};
