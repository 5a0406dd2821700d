#pragma once
// A vertex of a building block and the outline list.
//
// A vertex is a plan point (x, y) with a top height m_z and a bottom height
// m_zL (metres), each also held as a floor number plus an offset above that
// floor's reference level in the block's floor profile (CPrfPlanParam.h):
//   with a profile item   m_z = reference level of m_FlrH + m_OffH (m_zL alike);
//   without one           the floor is 0 and the offset equals the height.
// An item that is not usable counts as none. The vertex also carries the wall
// of the side face that runs from it to the next vertex (CHikageWall.h).
//
// Stored forms:
//   archive      tag "CKelBlockCoord" from version 2; m_OffL, m_OffH, m_FlrL,
//                m_FlrH; the point (its bottom height from version 9); the wall.
//   record 1000  60 bytes: i32 1000, m_OffL, m_OffH, m_FlrL, m_FlrH, x, y,
//                m_z, m_zL; the wall is not part of it.
//   old record   BldPntTag (KelBlockOldRecords.h), floats and 16-bit floors.

#include <vector>

#include "CHikageWall.h"
#include "CKelCoord.h"
#include "CPrfPlanParam.h"
#include "KelBlockOldRecords.h"

class CKelArchiveCore;
class CKelBlockSlopeItem;
class CKelFileIO;

class CKelBlockCoord : public CKelCoord3DEx {
public:
  static constexpr int kRecordNo = 1000;
  static constexpr int kRecordBytes = 60;

  CHikageWall m_HikageWall;  // the face from this vertex to the next
  double m_OffL = 0;         // bottom height above the reference level of m_FlrL
  double m_OffH = 0;         // top height above the reference level of m_FlrH
  std::int32_t m_FlrL = 0;
  std::int32_t m_FlrH = 0;

  CKelBlockCoord() = default;
  CKelBlockCoord(double x, double y, double z, double zL) : CKelCoord3DEx(x, y, z, zL) {}
  CKelBlockCoord(const CKelBlockCoord&) = default;
  CKelBlockCoord& operator=(const CKelBlockCoord&) = default;
  CKelBlockCoord(CKelBlockCoord&&) = default;
  CKelBlockCoord& operator=(CKelBlockCoord&&) = default;
  virtual ~CKelBlockCoord() = default;

  // --- Heights (item: the block's current profile, may be null) -------------
  // Sets the height and splits it into floor and offset; returns the floor.
  int SetZH(double z, const CPrfPlanItem* item);
  int SetZL(double z, const CPrfPlanItem* item);
  void SetZH2(double z) { m_z = z; }
  void SetZL2(double z) { m_zL = z; }
  // Floor flr (clamped to -m_B ... m_G) with the kept offset; the height
  // follows. Without a usable item the floor becomes 0 and the offset the
  // height. Answers what SBGetFlrL answers for the floor's storey (true for
  // no item: floor 0 stands on the base level).
  bool SetFlrH(int flr, const CPrfPlanItem* item);
  bool SetFlrL(int flr, const CPrfPlanItem* item);
  // Sets the offset and moves the height by the change.
  void SetOffH(double off);
  void SetOffL(double off);
  // The heights from a slope item: the top when bit 0 of its face mask is
  // set, the bottom for bit 1; floors and offsets stay. Returns the mask (0
  // for no item).
  int CutSlope(const CKelBlockSlopeItem* item);

  // --- Compares ------------------------------------------------------------------
  // Points within KelTol::BlockPoint, equal floors, offsets within
  // KelTol::BlockOnEdge (inclusive), equal walls.
  bool operator==(const CKelBlockCoord& other) const;
  bool operator!=(const CKelBlockCoord& other) const { return !(*this == other); }
  // Walls not compared.
  bool IsNearlyEqual(const CKelBlockCoord& other) const;
  // The points alone; the profile is not consulted.
  bool IsSameCoord2(const CPrfPlanParam* prof, const CKelBlockCoord& other) const;

  // --- Stored forms -----------------------------------------------------------------
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // The record number must be 1000; the wall is left as it was.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
  BldPntTag OldCoord() const;
  // The wall is not touched.
  CKelBlockCoord& operator=(const BldPntTag& old);
};

class CKelBlockCoordArray : public std::vector<CKelBlockCoord> {
public:
  // Index of the first vertex whose point equals c's; otherwise c is
  // appended and its index returned.
  int Add(const CKelBlockCoord& c);

  // Tag "CKelBlockCoordArray" from version 2; i32 count, the vertices.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};
