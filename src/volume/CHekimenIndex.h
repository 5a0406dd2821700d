#pragma once
// The wall-face index (Hekimen = wall face): every live wall of a block set,
// numbered once in a stable order and found again by block and vertex index.
//
//   CHekimenIndex       a reference to one wall; it does not own the wall,
//                       which lives in its block vertex and must outlive it.
//   CHekimenIndexArray  the references ordered by sort number: entry k refers
//                       to the wall whose sort number is k after a rebuild.
//   CSSHekimenParamOld  the older layout: copies of walls by value, re-bound
//                       to the current blocks after they changed.
//
// A wall is live once SetWallDatParam gave it a length above 0.

#include "CHikageWall.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"

class CKelBlockCubeArray;

class CHekimenIndex : public CKelObject {
public:
  explicit CHekimenIndex(CHikageWall* wall) : m_pWall(wall) {}
  CHekimenIndex(const CHekimenIndex&) = default;
  CHekimenIndex& operator=(const CHekimenIndex&) = default;
  ~CHekimenIndex() override = default;

  CHikageWall* GetWall() const { return m_pWall; }

  // The referenced walls name the same block and vertex.
  bool operator==(const CHekimenIndex& other) const;
  bool operator!=(const CHekimenIndex& other) const { return !(*this == other); }

  // --- CKelObject: a reference holds no points; every editing or reading
  // slot is a programming error.
  void InsertPoint(int index, const CKelCoord3D& p) override;
  void MovePoint(int index, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int index) override;
  CKelCoord3D GetCoord3D(int index) const override;
  int GetSize() const override;
  bool IsClosed() const override { return false; }
  void Clear() override;
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;

private:
  CHikageWall* m_pWall;
};

class CHekimenIndexArray : public CKelVectorArray<CHekimenIndex> {
public:
  bool operator==(const CHekimenIndexArray& other) const;
  bool operator!=(const CHekimenIndexArray& other) const { return !(*this == other); }

  bool IsAlreadyRegisted(int IdxNo, int PntNo) const { return SearchIndex(IdxNo, PntNo) >= 0; }
  // Position of the first reference to that wall, or -1.
  int SearchIndex(int IdxNo, int PntNo) const;
  // The largest sort number of the referenced walls; -1 for none.
  int GetMasSortNo() const;
  // Rebuilds the index from every live wall of the blocks (none for null),
  // ordered by the walls' sort numbers, and renumbers the walls 0, 1, ...
  // in that order. A wall whose stored block or vertex index no longer names
  // its own place (after an erase or a reversal) is re-bound to it.
  void SetHekimenIndex(CKelBlockCubeArray* pKelSrcBlock);
};

class CSSHekimenParamOld : public CKelVectorArray<CHikageWall> {
public:
  bool operator==(const CSSHekimenParamOld& other) const;
  bool operator!=(const CSSHekimenParamOld& other) const { return !(*this == other); }

  void InitSSHekimenParam() { clear(); }
  void FreeSSHekimenParam() { clear(); }
  // Position of the first wall with these numbers, or -1.
  int Search(int IdxNo, int PntNo) const;
  bool IsAlreadyRegisted(int IdxNo, int PntNo) const { return Search(IdxNo, PntNo) >= 0; }
  // Keeps each wall that still matches its face exactly or can be re-bound
  // to a face within the point tolerance; erases the others.
  void CheckWallCoord(const CKelBlockCubeArray& blocks);
};
