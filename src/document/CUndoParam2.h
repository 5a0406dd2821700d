#pragma once
// Tree undo snapshots: before each tree edit the palette takes a snapshot of
// the working tree, the per-floor figure lists, both object lists and the
// two code counters; its undo command restores the last one.
//
// Figure records are shared with the document (each floor list holds shared
// pointers), so a snapshot never outlives a record it names and a change to
// a record's own data is not undone. The stack has no size limit; it is
// emptied whenever the palette's context changes.

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CArea1Object.h"

#include <vector>

class CFloorParamArray;

class CUndoParam2 {
public:
  CUndoParam2() = default;
  CUndoParam2(const CAreaTree& tree, const CFloorParamArray& floors, const CArea2ObjectArray& elements,
              const CArea4ObjectArray& folders, int lastArea1Code, int lastAreaCode);

  // Empties the tree, the floor lists and both object lists; the counters stay.
  void clear();

  bool operator==(const CUndoParam2& other) const;
  bool operator!=(const CUndoParam2& other) const { return !(*this == other); }

  CAreaTree m_AreaTree;
  std::vector<CArea1ObjectArray> m_Area1Array;  // one per floor, in floor-list order
  CArea2ObjectArray m_Area2ObjectArray;
  CArea4ObjectArray m_Area4ObjectArray;
  int m_LastArea1Code = 0;
  int m_LastAreaCode = 0;
};

// Used as a stack: the last snapshot is the most recent.
class CUndoParam2Array : public std::vector<CUndoParam2> {};
