#pragma once
// The list of building blocks that the regulation library passes between its
// stages. Blocks are held by value in list order; a position is a 0-based
// index. This header holds the container operations and the stored forms;
// the list's further operations (build data, checks, combination and set
// operations) join it elsewhere.
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

  // --- Compares ------------------------------------------------------------------------
  bool operator==(const CKelBlockCubeArray& other) const;
  bool operator!=(const CKelBlockCubeArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelBlockCubeArray& other) const;

  // --- Stored forms ------------------------------------------------------------------------
  bool Serialize2(CKelArchiveCore& ar);
  // Archive callback of the lists: Serialize2 on *static_cast<CKelBlockCubeArray*>(pList).
  static bool Serialize(CKelArchiveCore& ar, int, void* pList, void*);
  bool SaveData(CKelFileIO& f) const;
  bool LoadData(CKelFileIO& f, int* budget);
  // The old arrays of the list; the total vertex count, or -1 (outputs
  // empty) when a count or first-point index outgrows its 16 bits.
  int GetOldParam(std::vector<BldIndexTag>& index, std::vector<BldPntTag>& points) const;
  // Whether the old arrays describe the list: counts, PpNo, kind, base and
  // plan bits equal; extents, area and vertices narrowed to floats within
  // KelTol::BlockLevelCut (inclusive). Reads only inside both spans; a first
  // index reaching past the points answers false.
  bool OldCompare(std::span<const BldIndexTag> index, std::span<const BldPntTag> points) const;
};
