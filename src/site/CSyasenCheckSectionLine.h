#pragma once
// CSyasenCheckSectionLine: a vertical section (slant-line, Syasen, check)
// across the whole site, taken along a reference line (a site edge) or
// square to it through a chosen point. It collects the building blocks on
// its left and the two points where the slant plane of a road begins: the
// road edge and the far side of the road. CSyasenCheckSectionLineArray: a
// list of sections.
//
// Frame: (c, s) the reference direction; a square section runs along
// (-s, c), a quarter turn left. m_Offset is the section's signed distance
// from the reference frame, m_Min and m_Max the site's extent along the
// section measured from the reference begin. Units: metres.
//
// Records: archive (tag from version 2) and the raw record 1002 (1000 and
// 1001, without the points, are read too).

#include <cstdint>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"
#include "CoordLine.h"

class CKelArchiveCore;
class CKelBaseParam;
class CKelFileIO;
class CKelHSite;

// 0 a section square to the reference line; any other value along it.
using SECTIONLINE_DIR = int;

class CSyasenCheckSectionLine : public CKelObject {
public:
  static constexpr int kRecordNo = 1002;
  static constexpr int kSquare = 0;

  CoordLine2D m_Line;
  CoordLine2D m_BaseLine;
  CKelBlockCubeArray m_Block;
  std::int32_t m_Dir = kSquare;
  double m_Offset = 0;
  double m_Min = 0;
  double m_Max = 0;
  bool m_bReverse = false;
  std::vector<CKelCoord3D> m_Point;

  CSyasenCheckSectionLine() = default;
  CSyasenCheckSectionLine(const CSyasenCheckSectionLine&) = default;
  CSyasenCheckSectionLine& operator=(const CSyasenCheckSectionLine&) = default;

  // --- Point list: the two ends, read only.
  int GetSize() const override { return 2; }
  bool IsClosed() const override { return false; }
  CKelCoord3D GetCoord3D(int i) const override;
  void InsertPoint(int, const CKelCoord3D&) override { PLN_ASSERT(false); }
  void MovePoint(int, const CKelCoord3D&) override { PLN_ASSERT(false); }
  void SwapCoord(int, int) override { PLN_ASSERT(false); }
  void Append(const CKelCoord3D&) override { PLN_ASSERT(false); }
  void DeletePoint(int) override { PLN_ASSERT(false); }
  void Clear() override { PLN_ASSERT(false); }
  void MoveBlock(const CKelCoord2D&, const CKelCoord3D&) override { PLN_ASSERT(false); }

  // --- Geometry
  // The section for m_BaseLine over the whole site, through point's foot on
  // the reference line (its midpoint without a point) when square.
  void SetLength(const CKelHSite& site, const CKelCoord2D* point, SECTIONLINE_DIR dir);
  // The line from m_Min, m_Max and m_Offset. A site without vertices leaves
  // a section of no length at the reference begin.
  void SetLine();
  // Keeps the blocks (and pieces) left of the line, with the site slab and
  // the ground areas; a square section also gets its road points.
  void CutBlock(const CKelBaseParam& base, const CKelBlockCubeArray& blocks1, const CKelBlockCubeArray& blocks2);
  void DoReverse(int reverse);

  bool operator==(const CSyasenCheckSectionLine& other) const;
  bool operator!=(const CSyasenCheckSectionLine& other) const { return !(*this == other); }

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);

private:
  void CutInto(const CKelBlockCube& block);
  void AddRoadPoints(const CKelHSite& site);
};

class CSyasenCheckSectionLineArray : public CKelVectorArray<CSyasenCheckSectionLine> {
public:
  static constexpr int kRecordNo = 1000;

  bool operator==(const CSyasenCheckSectionLineArray& other) const;
  bool operator!=(const CSyasenCheckSectionLineArray& other) const { return !(*this == other); }
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

// Points laid along 3D edge lines of blocks, by pitch or by count; the
// points are not stored and are rebuilt by CalcPoint.
class CSyasenCheckBlockEdgePoint {
public:
  static constexpr int kRecordNo = 1001;
  // Points one line may give, whatever its pitch or count says.
  static constexpr int kMaxPointsPerLine = 10000;
  // Points all lines together may lay, shared ones counted each time;
  // lines beyond it lay nothing.
  static constexpr int kMaxPoints = 200000;
  // The least pitch the loaders accept.
  static constexpr double kMinPitch = 1e-5;
  // The edge lines are edges of blocks on a site, in metres of a survey's
  // plane coordinates, which stay within some hundreds of kilometres of
  // their origin. The readers and writers refuse a line with a coordinate
  // beyond this or one that is no number: far out its points could not be
  // told apart on the cell grid that finds the shared ones, and laying them
  // would cost time growing with the square of their number.
  static constexpr double kMaxCoordinate = 1e7;

  double m_Pitch = 1.0;
  std::int32_t m_Count = 2;
  bool m_bByCount = false;
  CoordLine3DArray m_Line;
  std::vector<CKelCoord3D> m_Point;

  CSyasenCheckBlockEdgePoint() = default;
  CSyasenCheckBlockEdgePoint(const CSyasenCheckBlockEdgePoint&) = default;
  CSyasenCheckBlockEdgePoint& operator=(const CSyasenCheckBlockEdgePoint&) = default;
  virtual ~CSyasenCheckBlockEdgePoint() = default;

  // n + 1 points per line, ends included; n = 0 (a line too short for its
  // pitch, or a count of 1) lays the begin point once.
  void CalcPoint();
  // Skips a point equal to one already laid.
  void AddPoint(const CKelCoord3D& p);

  bool operator==(const CSyasenCheckBlockEdgePoint& other) const;
  bool operator!=(const CSyasenCheckBlockEdgePoint& other) const { return !(*this == other); }

  // Tag from version 2; pitch, count, flag, the lines. Loading refuses a
  // pitch that is not finite or not above kMinPitch and a line beyond
  // kMaxCoordinate, then lays the points; writing refuses such lines too.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);

private:
  int PartsOf(double length) const;
  bool LinesWithinSite() const;
};

class CSyasenCheckBlockEdgePointBase : public CSyasenCheckBlockEdgePoint {
public:
  CSyasenCheckBlockEdgePointBase() { m_bByCount = false; }
};

class CSyasenCheckBlockEdgePointPlan : public CSyasenCheckBlockEdgePoint {
public:
  CSyasenCheckBlockEdgePointPlan() { m_bByCount = true; }
};
