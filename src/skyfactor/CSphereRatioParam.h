#pragma once
// CSphereRatioParam: one check point of a sky-factor check with what was
// computed for it, for two buildings: the base building (the reference)
// and the plan building (the planned one). Two result sets (0 and 1) and a
// working pair; each result a sky-factor block with its ratio, -1.0 while
// not calculated. Base values are rounded up, plan values down, at the
// fifth decimal before they are compared (GetBaseValue, GetPlanValue).
// A CKelObject holding one point, the check point.
//
// CSphereRatioRecord: the 64-byte SphereRatio kept inside the check point,
// unpacked into aligned fields (check point, the two ratios of set 0, and
// six integers that are only kept).
//
// Stored forms:
//   record 1012  the 64 bytes raw, the ratios, the results, the blocks,
//                angle marks, edge points, begin and end, flags, index,
//                section lines; 1006 to 1011 are read too (1006 with two
//                old outline lists that become blocks), and LoadOldData
//                reads 1000 to 1005;
//   archive      tag, flags, index, ratios, the 64 bytes, then the points,
//                results, blocks, marks, edge points and section lines.

#include <cstdint>
#include <vector>

#include "CKelArchiveCore.h"
#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"
#include "CSphereAngleParam.h"
#include "CSphereRatioBlock.h"
#include "CSyasenCheckCalcKind.h"
#include "CSyasenCheckSectionLine.h"

class CKelFileIO;

struct CSphereRatioRecord {
  std::int32_t m_Lead = 0;  // kept as is
  double m_x = 0, m_y = 0, m_z = 0;
  double m_BaseRatio = 0;  // set 0
  double m_PlanRatio = 0;
  std::int32_t m_Tail[5] = {0, 0, 0, 0, 0};  // kept as is

  bool operator==(const CSphereRatioRecord& other) const;
  bool operator!=(const CSphereRatioRecord& other) const { return !(*this == other); }

  // The packed little-endian form, field by field.
  SphereRatio ToRaw() const;
  static CSphereRatioRecord FromRaw(const SphereRatio& raw);
};

class CSphereRatioParam : public CKelObject {
public:
  static constexpr std::int32_t kRecordOldFirst = 1000;
  static constexpr std::int32_t kRecordFirst = 1006;
  static constexpr std::int32_t kRecord = 1012;

  using OldOutlines = std::vector<std::vector<CKelCoord3DEx>>;

  CSphereRatioRecord m_RatioRecord;
  CKelCoord2D m_BegPoint;
  CKelCoord2D m_EndPoint;
  bool m_bUsePoint = false;
  std::int32_t m_BaseIndex = -1;
  bool m_bBaseCut = true;
  CSphereRatioBlock m_PlanResult;
  CSphereRatioBlock m_BaseResult;
  CSphereRatioBlock m_PlanResult1;
  CSphereRatioBlock m_BaseResult1;
  CKelBlockCubeArray m_BlockList;
  double m_BaseRatio1 = -1.0;
  double m_PlanRatio1 = -1.0;
  double m_WorkBaseRatio = -1.0;
  double m_WorkPlanRatio = -1.0;
  CSphereRatioBlock m_WorkPlanResult;
  CSphereRatioBlock m_WorkBaseResult;
  CSphereAngleParamArray m_BaseAngle;
  CSphereAngleParamArray m_PlanAngle;
  CSyasenCheckBlockEdgePointBase m_EdgePointBase;
  CSyasenCheckBlockEdgePointPlan m_EdgePointPlan;
  CSyasenCheckSectionLineArray m_SectionLine;

  CSphereRatioParam() = default;
  CSphereRatioParam(const CSphereRatioParam&) = default;
  CSphereRatioParam& operator=(const CSphereRatioParam&) = default;
  ~CSphereRatioParam() override = default;

  bool operator==(const CSphereRatioParam& other) const;
  bool operator!=(const CSphereRatioParam& other) const { return !(*this == other); }

  // --- Point interface: the check point only; editing is not supported
  int GetSize() const override { return 1; }
  bool IsClosed() const override { return false; }
  CKelCoord3D GetCoord3D(int Index) const override;
  void InsertPoint(int, const CKelCoord3D&) override;
  void MovePoint(int, const CKelCoord3D&) override;
  void SwapCoord(int, int) override;
  void Append(const CKelCoord3D&) override;
  void DeletePoint(int) override;
  void Clear() override;
  void MoveBlock(const CKelCoord2D&, const CKelCoord3D&) override;

  // --- Ratios: -1 (not calculated) stays -1
  static double GetBaseValue(double v);  // up at the fifth decimal
  static double GetPlanValue(double v);  // down at the fifth decimal
  // The addresses of the base and plan ratio of set 0 or 1; null outputs
  // are skipped.
  bool GetCurrentSphereRatio(int set, double** base, double** plan);
  void DeleteSphereRatioBaseBlock1(int set);
  void DeleteSphereRatioPlanBlock1(int set);
  void DeleteSphereWorkRatioBaseBlock1();
  void DeleteSphereWorkRatioPlanBlock1();

  // --- Old outline lists (CSphereRatioParamRecords.cpp)
  // i32 outline count, then per outline an i32 point count and the points;
  // every count bounded by the budget.
  [[nodiscard]] static bool LoadBlockData(CKelFileIO& f, int* remaining, OldOutlines& out);
  // One block per non-empty outline, flagged as given.
  static void AddBlockSub(const OldOutlines& outlines, bool syasen, bool hikage, CKelBlockCubeArray& out);

  // --- Stored forms (CSphereRatioParamRecords.cpp)
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* remaining);
  [[nodiscard]] bool LoadOldData(CKelFileIO& f, int* remaining, CSyasenCheckCalcKind& kind);

private:
  [[nodiscard]] bool LoadOldBlocks(CKelFileIO& f, int* remaining);
};

class CSphereRatioParamArray : public CKelVectorArray<CSphereRatioParam> {
public:
  // Element i, or null outside the list.
  CSphereRatioParam* GetSphereRatioParam(int i);
  // Whether some element's check point lies within 1e-5 of param's in x, y
  // and z.
  bool IsExisted(const CSphereRatioParam& param) const;

  bool operator==(const CSphereRatioParamArray& other) const;
  bool operator!=(const CSphereRatioParamArray& other) const { return !(*this == other); }

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};
