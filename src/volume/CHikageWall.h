#pragma once
// Walls of a block (Hikage = shadow): the side face between one vertex of a
// block's outline and the next, kept in the vertex where the face begins, so
// a block of n vertices carries n walls.
//
//   CHikageWallTable  the persistent record of a wall: its block and vertex
//                     index, its sort number in the wall-face index, frozen
//                     single-precision copies of its two end vertices, its
//                     frame, and lists held for its users.
//   CHikageWall       the record, lists held for users, and the check points
//                     (CKelCpntParamCore, null for none).
//   CHikageWallArray  a plain list of walls.
//
// Wall coordinates: x along the wall from the first vertex, y the height, z
// across the wall, positive to the left of the direction of travel. The frame
// (first vertex, cosine, sine) is read from the record's floats.
//
// GFCMD records (10 bytes: a 16-bit kind and 8 payload bytes) are only held,
// copied, compared and stored here; nothing in this layer builds them.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "CKelArchiveCore.h"
#include "CKelCoord.h"
#include "CKelCpntParamCore.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"
#include "KelBlockOldRecords.h"

class CKelBlockCubeArray;
class CKelFileIO;

// Equal kinds, then the payload the kind defines (see CHikageWall.cpp);
// floats compare as numbers, so a NaN payload equals nothing.
bool operator==(const GFCMD& a, const GFCMD& b);
inline bool operator!=(const GFCMD& a, const GFCMD& b) { return !(a == b); }

using GFCMDList = std::vector<GFCMD>;

class CHikageWallTable {
public:
  static constexpr int kRecordBytes = 156;  // the binary record

  std::int32_t m_IdxNo = 0;    // the wall's block in its block list
  std::int32_t m_PntNo = 0;    // the vertex where the wall begins
  std::int32_t m_SortNo = -1;  // position in the wall-face index
  BldPntTag m_Pnt1;            // first vertex, as its old record
  BldPntTag m_Pnt2;            // second vertex
  float m_Cos = 0;             // direction of the base line, first to second
  float m_Sin = 0;
  float m_Len = 0;             // plan length of the base line
  float m_YMin = 0;            // lowest bottom of the two vertices
  float m_YMax = 0;            // highest top
  std::int32_t m_nUser[2] = {0, 0};
  float m_fUser[2] = {0, 0};
  std::array<std::uint32_t, 4> m_Block = {};  // held as one block of four values
  GFCMDList m_Cmd1;
  GFCMDList m_Cmd2;
  std::int32_t m_nFlag = 0;

  // Equal indices, m_nFlag and both lists; coordinates and frame take no part.
  bool operator==(const CHikageWallTable& other) const;
  bool operator!=(const CHikageWallTable& other) const { return !(*this == other); }

  // Tag "CHikageWallTable" from version 2; the sort number from version 15;
  // the four-value block is not stored. GFCMD counts are refused when
  // negative or beyond the bytes left.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // The 156-byte record; the four-value block in the order 1, 3, 2, 4; the
  // sort number and the lists are not stored; 32 reserved zero bytes close it.
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Spends each field's size from *budget first; fields read before a
  // failure keep their new values.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CHikageWall : public CKelObject {
public:
  CHikageWallTable m_Item;
  GFCMDList m_Cmd;                    // held for the wall's users
  std::vector<GFCMDList> m_CmdLists;  // held for the wall's users
  std::uint64_t m_nUser = 0;          // held for the wall's users

  CHikageWall() = default;
  CHikageWall(const CHikageWall& other);
  CHikageWall& operator=(const CHikageWall& other);
  CHikageWall(CHikageWall&&) = default;
  CHikageWall& operator=(CHikageWall&&) = default;
  ~CHikageWall() override = default;

  // --- Check points -----------------------------------------------------------
  // Null when the wall has none.
  const CKelCpntParamCore* GetCpntParam() const { return m_pCpnt.get(); }
  CKelCpntParamCore* GetCpntParam() { return m_pCpnt.get(); }
  // Takes the list over; an empty list is held as null.
  void SetCpntParam(std::unique_ptr<CKelCpntParamCore> points);

  // Equal records and equal check points (none equals an empty list).
  bool operator==(const CHikageWall& other) const;
  bool operator!=(const CHikageWall& other) const { return !(*this == other); }

  // Tag "CHikageWall" from version 2, the record, then the check points in
  // their own form. Loading a list with points needs the installed factory;
  // without it the load is refused.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);

  // --- Frame --------------------------------------------------------------------
  double XMin() const { return 0.0; }
  double XMax() const { return m_Item.m_Len; }
  double YMin() const { return m_Item.m_YMin; }
  double YMax() const { return m_Item.m_YMax; }
  double YMin1() const { return m_Item.m_Pnt1.zL; }
  double YMax1() const { return m_Item.m_Pnt1.z; }
  double YMin2() const { return m_Item.m_Pnt2.zL; }
  double YMax2() const { return m_Item.m_Pnt2.z; }

  // Whether the wall-coordinate point p (x along, y height) lies on the face,
  // edges included; false for a wall of length 0, which has no face.
  bool IsInWall(const CKelCoord2D& p) const;
  CKelCoord3D ChangeABStoWall(const CKelCoord3D& p) const;
  CKelCoord3D ChangeWallToABS(const CKelCoord3D& p) const;

  // --- Binding to a block ---------------------------------------------------------
  // Makes this wall the face of block IdxNo from vertex PntNo1 to the next
  // (cyclic). A plan block (its Hikage flag set) is refused with false and
  // nothing changes. Precondition: both indices inside the list.
  [[nodiscard]] bool SetWallDatParam(CKelBlockCubeArray* pBlock, int IdxNo, int PntNo1);
  // True only when the wall's block and vertices still hold exactly the
  // stored floats.
  bool CompareWallParam(const CKelBlockCubeArray& blocks) const;
  // Finds the face again (every end within KelTol::BlockPoint, strict, of the
  // stored floats, the vertices narrowed to floats as stored) and re-binds
  // the indices and end vertices; the frame stays. The closing face of each
  // block is tried first. False when nothing matches.
  [[nodiscard]] bool SearchSameParam(const CKelBlockCubeArray& blocks);

  // --- CKelObject: a wall is a fixed segment of its two top vertices ---------------
  void InsertPoint(int index, const CKelCoord3D& p) override;
  void MovePoint(int index, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int index) override;
  // 0: the first vertex (x, y, top), 1: the second.
  CKelCoord3D GetCoord3D(int index) const override;
  int GetSize() const override { return 2; }
  bool IsClosed() const override { return false; }
  void Clear() override;
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;

private:
  std::unique_ptr<CKelCpntParamCore> m_pCpnt;

  [[nodiscard]] bool SerializeCpntParam(CKelArchiveCore& ar);
};

class CHikageWallArray : public CKelVectorArray<CHikageWall> {};
