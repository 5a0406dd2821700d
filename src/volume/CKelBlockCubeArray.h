#pragma once
// The list of building blocks that the regulation library passes between its
// stages. Blocks are held by value in list order; a position is a 0-based
// index. The container operations and stored forms are defined with the
// list; build data and checks, combination and set operations each in their
// own source (named in the section headings below). Operations named after
// a verb change the list in place; the others leave their operands alone.
//
// Stored forms:
//   archive      tag "CKelBlockCubeArray" from version 2 (Serialize2); i32
//                count, the blocks.
//   record 1000  i32 1000, i32 count, the block records.
//   old arrays   one BldIndexTag per block and the BldPntTag of all vertices
//                back to back (KelBlockOldRecords.h).
// Counts are refused when negative or larger than the bytes left can hold,
// before anything is resized.

#include <span>
#include <vector>

#include "CKelBlockCube.h"
#include "CKelObject.h"

class CKelArchiveCore;
class CKelFileIO;
class CKelBlockCubeArray;

// Groups of blocks lying on common planes (AddCombineWork).
using CKelBlockCubeArrayList = std::vector<CKelBlockCubeArray>;

class CKelBlockCubeArray : public std::vector<CKelBlockCube>, public CKelObjectArray {
public:
  static constexpr int kRecordNo = 1000;

  CKelBlockCubeArray() = default;
  CKelBlockCubeArray(const CKelBlockCubeArray&) = default;
  CKelBlockCubeArray& operator=(const CKelBlockCubeArray&) = default;
  CKelBlockCubeArray(CKelBlockCubeArray&&) = default;
  CKelBlockCubeArray& operator=(CKelBlockCubeArray&&) = default;
  ~CKelBlockCubeArray() override = default;

  // --- Container (CKelObjectArray) ------------------------------------------------
  int GetSize() const override { return Size(); }
  // Precondition 0 <= index < Size().
  CKelObject* GetElement(int index) override;
  // As AddBlock on a copy; precondition: item is a CKelBlockCube.
  void AddElement(const CKelObject* item) override;
  // Precondition 0 <= BlkNo < Size(); later blocks move down one place.
  void Erase(int BlkNo) override;
  int Size() const { return static_cast<int>(size()); }
  void Clear() { clear(); }

  // --- Adding -------------------------------------------------------------------------
  // Normalises the copy (area, extents, counter-clockwise order, slope
  // flags) and appends it. push_back and insert add blocks as they are.
  void AddBlock(CKelBlockCube block);
  void AddBlock(const CKelBlockCubeArray& blocks);
  // Inserts a copy before BlkNo; BlkNo may equal Size() (append).
  void InsertBlock(const CKelBlockCube& block, int BlkNo);

  // --- Build data (CKelBlockCubeArrayBuild.cpp) -----------------------------------
  // Replaces block BlkNo's outline by coords (moved in when the caller has
  // no more use for them) and recomputes its area and extents; the block
  // keeps its other fields.
  void BuildOverWrite(int BlkNo, CKelBlockCoordArray coords);
  // Splits every top height (and every own bottom) into floor and offset by
  // profile PpNo of prf (prf may be null: floor 0, offset = height).
  void SetupBuildFlr(const CPrfPlanParam* prf);
  // check false: every height from its floor and offset. check true: true
  // when every height agrees with them within KelTol::BlockOnEdge. A PpNo
  // outside prf, or a null prf, means the offsets are the heights.
  bool SetupBuildZ2(const CPrfPlanParam* prf, bool check);
  // Repeated vertices out; blocks left with fewer than 3 vertices removed.
  void CheckBuildData();
  void CheckBuildSlopeMode();
  void ClearBuildErrorFlag();
  // CheckBlock3 on every block, all of them; true when any answered true.
  bool CheckError(const CKelObject* site, bool checkSite);
  // True when every block passes CheckSamePoint.
  bool CheckSamePoint() const;
  // On-line vertices out; a block that lost vertices and kept fewer than 3
  // is removed.
  void DeleteOnLine();
  // Later duplicates (same vertices in the same order, same kind flags) out.
  void EraseSameBlock();
  // At the first block of the list for which the block's test holds.
  bool IsInsideBlock(const CKelBlockCube& block) const;
  [[nodiscard]] bool MergeBlock(const CKelBlockCube& block);

  // --- Totals and extraction ----------------------------------------------------------
  // Both start from 0.0, so a list wholly below ground answers 0.0.
  double GetZMax() const;
  double GetMaxZ() const;
  double GetArea() const;
  // The shadow-casting (Hikage) blocks as convex pieces; a block that cannot
  // be split enters whole.
  CKelBlockCubeArray GetHikageBlock() const;

  // --- Combination (CKelBlockCubeArrayCombine.cpp; two blocks: ...CombinePair.cpp) ----
  // Merges, in place, every pair of blocks on common top and bottom planes
  // that share a run of outline, until none merges; the earlier block of a
  // pair survives with its fields. prf may be null.
  void CombineBlock(const CPrfPlanParam* prf);
  // The merged outline of A and B (left as they are) into *result (an empty
  // block); false when they do not merge. A merge that would enclose a hole,
  // or that changes the total area, is refused.
  [[nodiscard]] static bool CombineBlock(const CPrfPlanParam* prf, const CKelBlockCube& A, const CKelBlockCube& B,
                                         CKelBlockCube* result);
  // The surviving block of a merge takes the merged outline: its heights
  // split by the block's profile item, then its extents and area.
  static void TakeMergedOutline(const CPrfPlanParam* prf, CKelBlockCube& survivor, CKelBlockCoordArray outline);
  // Inserts into X every vertex of Y that lies inside one of X's edges.
  static void CombineBlockSub(const CPrfPlanParam* prf, CKelBlockCube& X, const CKelBlockCube& Y);
  // One pass over list without plane tests (CheckSamePoint on this list first).
  void CombineBlock(const CPrfPlanParam* prf, CKelBlockCubeList& list);
  // The block joins the first group whose first block's planes it lies on.
  static void AddCombineWork(CKelBlockCubeArrayList& groups, const CKelBlockCube& block);
  // Rebuilds the list as the closed loops of the union of its outlines, on
  // the first block's planes; unchanged when a loop does not close.
  void CombineBlock2(const CPrfPlanParam* prf);
  // x, y, top and bottom within KelTol::BlockPlaneFit.
  static bool CheckCombineSameCoord(const CKelCoord3DEx& a, const CKelCoord3DEx& b);

  // --- Set operations (CKelBlockCubeArraySet.cpp) ---------------------------------------
  // Sets are regions in plan; the operand lists are not changed. Pieces that
  // a division makes get heights interpolated along the cut edge. A block
  // that the line leaves on both sides without dividing it (a sliver, a
  // self-crossing outline) is filed by its plan centroid; one lying on the
  // line is dropped.
  // chains: as CKelBlockCube::Divide weighs the chains of a division.
  void DivideBlock(const CPrfPlanParam* prf, const CKelCoord2D& p1, const CKelCoord2D& p2, CKelBlockCubeArray& left,
                   CKelBlockCubeArray& right,
                   CKelBlockCube::ChainArea chains = CKelBlockCube::ChainArea::kModel) const;
  // In place; ORs leftBits / rightBits into m_Work of every block and piece.
  void DivideBlock(const CPrfPlanParam* prf, const CKelCoord2D& p1, const CKelCoord2D& p2, int leftBits,
                   int rightBits);
  // Removes the parts on the masked side (DELETEMASK), moving them to
  // removed when given.
  void CutBlock(const CPrfPlanParam* prf, const CKelCoord2D& p1, const CKelCoord2D& p2, int mask,
                CKelBlockCubeArray* removed);
  // This list minus the block's plan; what lay inside goes to removed. A
  // block of no area, or one that cannot be split convex, removes nothing.
  CKelBlockCubeArray SubBlock(const CPrfPlanParam* prf, const CKelBlockCube& block,
                              CKelBlockCubeArray* removed) const;
  CKelBlockCubeArray SubBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const;
  // The other list minus this list's plans, then this list's blocks.
  CKelBlockCubeArray AddBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const;
  // The parts of this list inside the block's plan (nothing for a block
  // without area or convex split).
  CKelBlockCubeArray AndBlock(const CPrfPlanParam* prf, const CKelBlockCube& block) const;
  CKelBlockCubeArray AndBlock(const CPrfPlanParam* prf, const CKelBlockCubeArray& others) const;
  // Every block clipped under the tops of the others (CKelBlockCube's).
  CKelBlockCubeArray SolidSubBlock(const CKelBlockCubeArray& others) const;
  CKelBlockCubeArray SolidSubBlock2(const CKelBlockCubeArray& others) const;

  // --- Compares ------------------------------------------------------------------------
  bool operator==(const CKelBlockCubeArray& other) const;
  bool operator!=(const CKelBlockCubeArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelBlockCubeArray& other) const;

  // --- Stored forms ------------------------------------------------------------------------
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
  // Archive callback of the lists: Serialize2 on *static_cast<CKelBlockCubeArray*>(pList).
  [[nodiscard]] static bool Serialize(CKelArchiveCore& ar, int, void* pList, void*);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
  // The old arrays of the list; the total vertex count, or -1 (outputs
  // empty) when a count or first-point index outgrows its 16 bits.
  [[nodiscard]] int GetOldParam(std::vector<BldIndexTag>& index, std::vector<BldPntTag>& points) const;
  // Whether the old arrays describe the list: counts, PpNo, kind, base and
  // plan bits equal; extents, area and vertices narrowed to floats within
  // KelTol::BlockLevelCut (inclusive). Reads only inside both spans; a first
  // index reaching past the points answers false.
  bool OldCompare(std::span<const BldIndexTag> index, std::span<const BldPntTag> points) const;
};
