#pragma once
// The flat form of a calculation tree, shared by every reader that rebuilds
// a tree from one record per node: the settings file and the project
// record (CAreaTreeRecords.cpp) and the calculation-pattern text file
// (CAreaTreePatternFile.cpp). Internal to the document library.
//
// A record names its object by its positive m_Code and its kind; the node
// code is the code for a folder and the negated code for an element, so an
// element and a folder may share a number.

#include "CAreaTree.h"
#include "CRoundTypeParam.h"
#include "gs_unistring.h"

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

class CPlenimetraParam;

namespace AreaTreeFlat {

// One flat record as stored.
struct FlatRecord {
  GS::UniString name;
  int code = 0;        // the object's m_Code (positive)
  int parentCode = 0;  // the parent node's signed code; 0 for a top node
  int kind = 0;
  CRoundTypeItem total;
  CRoundTypeItem floor;

  int NodeCode() const { return kind == CAreaTree::KIND_FOLDER ? code : -code; }
};

// Builds a tree from flat records read in order, as inserting them one by
// one would: a record joins the parent made by an earlier record, as its
// last child. Codes are checked as they come, so each node code is unique.
class FlatBuilder {
public:
  FlatBuilder(CAreaTree& root, CPlenimetraParam* param) : m_Root(root), m_Param(param) {}

  // False when the record was refused: a code that is not positive, that
  // the code counter could not go past or that its kind already holds, a
  // kind without an object (the object is not made), or a node deeper than
  // the cap (the object stays without a node). A record whose parent is not
  // (yet) in the tree keeps its object without a node and is not refused.
  bool Add(const FlatRecord& r);
  // Attaches the nodes; the root keeps its own fields.
  void Finish();

private:
  struct Node {
    CAreaTree node;
    std::vector<std::size_t> children;
  };
  void Attach(CAreaTree& target, const std::vector<std::size_t>& children, int depth);

  CAreaTree& m_Root;
  CPlenimetraParam* m_Param;
  std::vector<Node> m_Nodes;
  std::vector<std::size_t> m_TopNodes;
  std::map<int, std::pair<std::size_t, int>> m_ByCode;  // node code -> (index, depth)
};

// Empties the tree and the document's objects before flat records refill them.
void StartFlatRead(CAreaTree& tree, CPlenimetraParam* param);

// The tree a pattern falls back to: one top folder "建物" with code 1.
void MakeDefaultTree(CAreaTree& tree, CPlenimetraParam* param);

}  // namespace AreaTreeFlat
