#pragma once
// CSphereRatioBlock: the sky factor of one check point (the open share of the
// sky disc) with the settings it was computed with and the united outlines
// it was summed from.
//
// Methods: the outline method (bSansya false) unites the outlines of all
// blocks and sums their disc shares and bows; the sector method (bSansya
// true) unites per angular group of blocks and sums triangles and bows, or,
// two-sided (m_bSide2), the fans less the sky regions. Angles are radians,
// the angle step whole degrees. Rounding nRound: 0 up, 1 down at the seventh
// decimal, -1 exact.
//
// Results of CalcSphereRatio: 0, 1 (cancelled, refused, or a broken
// boundary), or the union's code (4, 5, 6). Refused: an angle step below 1;
// the outline method with expansion kind 0 or 1, whose chains would keep
// only the faces' ends; a check point under a block. On any failure the
// ratio stays -1 and the outlines gathered so far stay.
//
// Stored forms:
//   record 1006   outlines, ratio, mode, step, kind, two-sided flag, fans,
//                 merge flag, projection flag; 1000 to 1005 are read too;
//   archive       tag, ratio (a dropped f64 below version 32), step, mode,
//                 kind, three flags, the outlines, the fans;
//   debug dump    i32 count and the outline records at m_DebugPath.

#include <cstdint>
#include <string>
#include <vector>

#include "CKelCoord.h"
#include "CSphereRatioBlockParam.h"

class CKelArchiveCore;
class CKelBlockCubeArray;
class CKelFileIO;
class CKelProgressCore;

class CSphereRatioBlock {
public:
  static constexpr std::int32_t kRecordFirst = 1000;
  static constexpr std::int32_t kRecord = 1006;
  static constexpr int kVersionWithoutLegacy = 32;

  CSphereRatioBlockParamArray m_Block;
  double m_Ratio = -1.0;
  CSphereFunShapeParamArray m_FunShape;
  std::int32_t m_AngleStep = 10;
  std::int32_t m_Mode = 1;  // kept, never read by a calculation
  std::int32_t m_ExpandKind = 2;
  bool m_bMergeFlag = false;  // kept, never read by a calculation
  bool m_bSide2 = false;
  bool m_bExpandInProjection = false;
  std::string m_DebugPath = "c:\\天空率debug.dat";

  CSphereRatioBlock() = default;
  CSphereRatioBlock(const CSphereRatioBlock&) = default;
  CSphereRatioBlock& operator=(const CSphereRatioBlock&) = default;
  virtual ~CSphereRatioBlock() = default;

  bool operator==(const CSphereRatioBlock& o) const;
  bool operator!=(const CSphereRatioBlock& o) const { return !(*this == o); }

  // --- Calculation
  [[nodiscard]] int CalcSphereRatio(CKelProgressCore* progress, int nRound, double Angle, bool bMirror,
                                    const CKelBlockCubeArray& blocks, CKelCoord3D chkpnt, double* pRatio, bool bSansya,
                                    const std::vector<int>* unused = nullptr);
  // The angular groups around the check point from the direction Angle:
  // the sectors of the right half, then those of the left half; the right
  // and the left half alone for a step below 1 or from 180 on.
  static std::vector<CKelBlockCubeArray> DivideBlock(const CKelBlockCubeArray& blocks, const CKelCoord3D* chkpnt,
                                                     double Angle, int step);
  // The corners standing nearer a dividing line than the union can tell
  // apart, moved onto it (DivideBlock's first step).
  static void JoinCornersToLines(CKelBlockCubeArray& blocks, const CKelCoord2D& p1, double angle, int step);
  // The power of two by which the blocks are enlarged about p1 for the
  // division, so that its bands of length agree with the joining band
  // (DivideBlock's next step); 1 where every edge stands far enough away.
  static double DivisionScale(const CKelBlockCubeArray& blocks, const CKelCoord2D& p1);
  // The blocks' plan about p1 times scale, their extents and planes anew.
  static void ScaleAbout(CKelBlockCubeArray& blocks, const CKelCoord2D& p1, double scale);
  void CalcRatio(bool bSansya, int nRound);
  void CalcBlockArea();
  void BlockExpand();
  // Outlines touching themselves at a corner become their lobes.
  static void SplitLobes(std::vector<CSphereRatioBlockParam>& outlines);
  // The circular segment cut off by a chord spanning the central angle t;
  // 0 for t not above 0.
  static double CalcBowShapeArea(double t);

  // --- Sums
  double GetBlockArea() const;
  double GetTriangleArea(int nRound) const;
  double GetBowShapeArea(int nRound) const;
  double GetFunShapeArea(int nRound) const;

  // --- Accessors (indices not checked)
  double GetRatio() const { return m_Ratio; }
  int BlockSize() const { return static_cast<int>(m_Block.size()); }
  int BlockSize(int i) const { return static_cast<int>(At(i).m_pt.size()); }
  CSphereCoordD2D GetBlockData(int i, int j) const { return At(i).GetBlockData(j); }
  int GetTriangleSize(int i) const { return static_cast<int>(At(i).m_Triangle.size()); }
  // Corners, the corner opposite the longest side, and the foot.
  void GetTriangleData(int i, int j, CKelCoord2D* out) const;
  int GetBowShapeSize(int i) const { return static_cast<int>(At(i).m_BowShape.size()); }
  CSphereBowShapeParam GetBowShape(int i, int j) const { return At(i).m_BowShape[static_cast<std::size_t>(j)]; }
  int GetFunShapeSize() const { return static_cast<int>(m_FunShape.size()); }
  CSphereBowShapeParam GetFunShape(int j) const { return m_FunShape[static_cast<std::size_t>(j)]; }
  void Clear();

  // --- Stored forms
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* remaining);
  [[nodiscard]] bool Save() const;
  [[nodiscard]] bool Load();

private:
  const CSphereRatioBlockParam& At(int i) const { return m_Block[static_cast<std::size_t>(i)]; }
  // Expansion after the union: kind 0 or 1, not in projection.
  bool ExpandsAfterUnion() const;
  // How much of its lowering the expansion gives point k, 0 to 1: 1 where
  // the edge leaving it runs the wanted way (+1 azimuth falling, -1 rising),
  // where that edge runs along the ray the edge arriving, and a blend of the
  // two for an edge turning through the ray.
  static double ExpandShare(const CSphereCoordD2DArray& pt, std::size_t k, int wanted);
  // The lowest elevation the expansion may give point k of outline i: just
  // above the outlines' edges under it and the corners its edges would
  // sweep over, the neighbours at the elevations lowered (NaN: not moved);
  // 0 where nothing is in the way.
  static double FloorUnder(const std::vector<CSphereRatioBlockParam>& outlines, std::size_t i, std::size_t k,
                           const std::vector<double>& lowered);
  // Whether corner a of pt lies at point k of own and has an edge running
  // off below k's own edge to the same side.
  static bool RunsUnder(const CSphereCoordD2DArray& pt, std::size_t a, const CSphereCoordD2DArray& own, std::size_t k);
  [[nodiscard]] int CalcOutlines(CKelProgressCore* progress, double Angle, bool bMirror,
                                 const CKelBlockCubeArray& blocks, const CKelCoord3D& chkpnt);
  [[nodiscard]] int CalcSectors(CKelProgressCore* progress, int nRound, double Angle, bool bMirror,
                                const CKelBlockCubeArray& blocks, const CKelCoord3D& chkpnt);
};

class CSphereRatioBlockArray : public std::vector<CSphereRatioBlock> {
public:
  bool operator==(const CSphereRatioBlockArray& o) const;
  bool operator!=(const CSphereRatioBlockArray& o) const { return !(*this == o); }
};
