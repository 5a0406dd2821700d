#pragma once
// Calculation trees. A calculation pattern is a tree of calculation
// elements (CArea2Object) and subtotal or total folders (CArea4Object). A
// node holds only the signed code of its object: >= 1 names the folder with
// that m_Code, < 0 the element whose m_Code is the negated code, 0 nothing
// (the root). The root's children are the patterns' top folders; a top
// folder has exactly one child folder, under which the pattern hangs.
//
// Areas are signed 64-bit integers in 1e-6 m2. Nodes are plain values: a
// copy copies the whole subtree. Readers of stored trees bound every count
// by the bytes that remain and stop at kMaxTreeDepth levels.

#include "CCrMark.h"
#include "CRoundTypeParam.h"
#include "gs_unistring.h"

#include <vector>

class CArchive;
class CFileArchive;
class CAreaObject;
class CArea2ObjectPtrArray;
class CKelProgressCore;
class CPlenimetraParam;
class CAreaTreeIndentArray;

class CAreaTree {
public:
  // Deeper stored trees are refused: no real pattern comes near it, and the
  // readers and walkers recurse once per level.
  static constexpr int kMaxTreeDepth = 64;

  // Kinds of Insert and of the stored records.
  enum KIND { KIND_ELEMENT_LIST = 0, KIND_ELEMENT_FORMULA = 1, KIND_FOLDER = 2 };

  CAreaTree() = default;

  // == Node and queries ==
  bool operator==(const CAreaTree& other) const;
  bool operator!=(const CAreaTree& other) const { return !(*this == other); }
  // Whether a tree view showing the other tree must be rebuilt for this one.
  bool ChangeCheck(const CAreaTree& other) const;
  void Clear();

  // Depth first, a node before its children; delete-marked subtrees skipped.
  CAreaTree* Search(int code);
  const CAreaTree* Search(int code) const;
  // The first node with a direct child of the node's code.
  CAreaTree* GetParent(const CAreaTree* node);
  // Appends the node's subtree, children before their parent.
  static void GetFlat(const CAreaTree& node, int depth, CAreaTreeIndentArray& out);
  // One flattened subtree per child of this node, each from depth 0.
  std::vector<CAreaTreeIndentArray> GetFlat() const;
  GS::UniString GetOperatorStr(const CPlenimetraParam* param) const;
  // Whether this node is a pattern's top folder with exactly one child
  // folder: the shape the pattern file, the palette and the stored record
  // take.
  bool HoldsPatternShape() const;

  // == Comparison of patterns by their objects' names ==
  bool IsTreeChanged(CPlenimetraParam* param, const CAreaTree& other, CPlenimetraParam* otherParam) const;

  // Levels below the node: 0 for a leaf. The tree's readers take a root
  // whose GetHeight() is at most kMaxTreeDepth.
  int GetHeight() const;

  // == Editing ==
  // Searching operations return false and change nothing when no unmarked
  // node has the code, and when the edit would put a node deeper than
  // kMaxTreeDepth below this node (the readers would refuse the tree).
  bool Insert2(int parentCode, int code, CRoundTypeItem total, CRoundTypeItem floor);
  // The object and its node: true when both were made. A missing parent
  // leaves the object without a node; a node too deep is refused with
  // neither made.
  bool Insert(CPlenimetraParam* param, const GS::UniString& name, int code, int parentCode, int kind,
              CRoundTypeItem total, CRoundTypeItem floor);
  // The move protocol: DeleteMask(moved), MoveAbove/MoveUnder/MoveChild
  // (target, copy of moved), Delete(), ClearDeleteMask().
  bool MoveAbove(int code, const CAreaTree& node);
  bool MoveUnder(int code, const CAreaTree& node);
  bool MoveChild(int code, const CAreaTree& node);
  bool DeleteMask(int code);
  void ClearDeleteMask();
  bool Delete();
  bool Remove(int code);
  void Remove(const CArea2ObjectPtrArray& elements);
  // Gives this subtree new objects in the document, in place.
  void Duplicate(CPlenimetraParam* param);
  // This node becomes a copy of a node of another document, with new objects
  // in the destination document.
  void CopyTree(CPlenimetraParam* dst, CPlenimetraParam& src, const CAreaTree& srcNode);
  // Appends a copy of the source node as the last child; a name that clashes
  // with a sibling's becomes "name (k+1)". Returns 1.
  int InsertTree(CPlenimetraParam* dst, CPlenimetraParam& src, const CAreaTree& srcNode);
  // Sort indices and item numbers of the first child's subtree. Returns
  // false when the subtree names no object (the tree was inconsistent).
  bool SetItemNo(CPlenimetraParam* param);
  void Dump(CPlenimetraParam* param, int indent) const;

  // == Totals and labels ==
  long long GetAllFloorTotalArea(const CPlenimetraParam* param, CKelProgressCore& progress) const;
  GS::UniString GetTextTotal(const CPlenimetraParam* param, CKelProgressCore& progress) const;
  GS::UniString GetTextTotalTubo(const CPlenimetraParam* param, CKelProgressCore& progress) const;
  GS::UniString GetText(const CPlenimetraParam* param, CKelProgressCore& progress) const;
  GS::UniString GetTextEnv(CPlenimetraParam* param) const;

  // == Tree views ==
  void SetIcon(CAreaObject* object, short dialog, short item, int treeItem) const;
  void UpdateTree(CPlenimetraParam* param, short dialog, short item, int parentItem) const;
  void UpdateTreeEnv(CPlenimetraParam* param, short dialog, short item, int parentItem) const;
  // The node below this one that a tree-view item filled by the two above
  // stands for (items carry node codes, never addresses), marked nodes
  // included; null for an item that names none.
  CAreaTree* NodeOfItem(short dialog, short item, int treeItem);
  // The node of the code at or below this one, marked nodes included
  // (Search skips them); null for none.
  CAreaTree* FindNode(int code);

  // == Stored forms ==
  // The node with its subtree inside the project record.
  [[nodiscard]] bool Serialize(CArchive& ar, CPlenimetraParam* param);
  // The nested form read before the objects it names (document dump):
  // nodes are kept whatever their code names; check them afterwards with
  // NamesOnlyObjectsOf. Throws the archive's unsigned int like Serialize.
  [[nodiscard]] bool ReadNested(CArchive& ar);
  // Whether every node below the root names an object of the document (the
  // root: none or one).
  bool NamesOnlyObjectsOf(const CPlenimetraParam* param, bool root = true) const;
  // One record per node below this one, for the settings file; with a
  // counter only counts them.
  [[nodiscard]] bool Write3(CFileArchive& ar, CPlenimetraParam* param, int* count) const;
  [[nodiscard]] bool Read3(CFileArchive& ar, CPlenimetraParam* param);
  // The same records inside the project record.
  [[nodiscard]] bool SerializeEnv(CArchive& ar, CPlenimetraParam* param, int* count);

  // == Calculation-pattern text file ==
  // One line per node, TAB-separated, LF-ended, names in character code 32,
  // the path in code 99. Line 1 is the pattern's top folder (name, code,
  // building-total and per-floor rounding items); each node below it
  // follows, depth first, as name, code, parent folder's code, kind (0
  // element, 2 folder) and the two rounding items.
  //
  // The default pattern file in the add-on's folder.
  static constexpr const char16_t* kDefaultPatternFileName = u"メンセラ　計算パターン.txt";
  // Longest line the reader takes, line end excluded; the writer refuses a
  // pattern with a longer one.
  static constexpr int kMaxPatternLineBytes = 65536;
  // Called on a pattern's top folder node. Builds the whole text first and
  // then puts a complete file in place; false, writing nothing, when the
  // file cannot be opened, written or replaced, or when a line would exceed
  // the reader's bounds. Every written node's object must exist.
  [[nodiscard]] bool Save3(CPlenimetraParam* param, const GS::UniString& path) const;
  // The first character of a name of the pattern (on its top folder node)
  // that the pattern file's code cannot hold, so that Save3 refuses it;
  // empty when the file holds them all.
  [[nodiscard]] GS::UniString FirstUnheldInFile(CPlenimetraParam* param) const;
  // Called on the root: rebuilds the tree and the document's objects from
  // the file. 1: the file was read whole and is empty or one pattern (one
  // top folder with exactly one child folder); 0: a bad line or a refused
  // node, and the default pattern was built instead; -1: the file did not
  // open (tree and object lists left empty). Callers take nothing from 0
  // or -1.
  int Load3(CPlenimetraParam* param, const GS::UniString& path);
  // "メンセラ 計算パターン" + name + ".txt", with an ASCII blank.
  static GS::UniString GetFileName(const GS::UniString& name);

  // == Members ==
  std::vector<CAreaTree> m_Child;             // display and formula order
  int m_AreaCode = 0;
  short m_Layer = 0;                          // 0: the settings' figure layer
  bool m_Expand = true;
  bool m_DeleteMask = false;                  // transient, never stored
  CCrMark m_CrMark;                           // break after this node in the parent's formula
  int m_Operator = 1;                         // 1 "+", 2 "-"
  int m_RoundTypeId = 0;                      // rounding preset of a pattern's top node
  CRoundTypeItem m_RoundTypeTotal{CRoundTypeTable::ROUNDTYPE_CUT, 2};  // building total
  CRoundTypeItem m_RoundTypeFloor{CRoundTypeTable::ROUNDTYPE_CUT, 2};  // per floor
};

// A flattened node with its depth below the flattened subtree's top.
class CAreaTreeIndent : public CAreaTree {
public:
  CAreaTreeIndent() = default;
  CAreaTreeIndent(const CAreaTree& node, int indent) : CAreaTree(node), m_Indent(indent) {}
  int m_Indent = 0;
};

class CAreaTreeIndentArray : public std::vector<CAreaTreeIndent> {
public:
  // Whether the header cell of entry (an element of this list) at the level
  // has a line on its left, previous being the entry before it: always for
  // the first entry, never past the last; otherwise where the two entries'
  // depths part at or just below the level, or, where entry reaches the
  // level itself, when entry is a leaf.
  bool IsLeftLine(const CAreaTreeIndent* entry, const CAreaTreeIndent* previous, int level) const;
};

class CAreaTreeArray : public std::vector<CAreaTree> {
public:
  using std::vector<CAreaTree>::vector;
  bool IsTreeChanged(CPlenimetraParam* param, const CAreaTreeArray& other, CPlenimetraParam* otherParam) const;
  [[nodiscard]] bool Write3(CFileArchive& ar, CPlenimetraParam* param) const;
  [[nodiscard]] bool Read3(CFileArchive& ar, CPlenimetraParam* param);
  [[nodiscard]] bool SerializeEnv(CArchive& ar, CPlenimetraParam* param);
};

// One (mark, numbering style) pair with the number of objects carrying it.
class CWorkSetItemArray {
public:
  CItemType1Table::ITEMTYPE m_ItemType1 = CItemType1Table::ITEMTYPE_NONE;
  CItemType2Table::ITEMTYPE m_ItemType2 = CItemType2Table::ITEMTYPE_NONE;
  int m_Count = 0;
};

class CWorkSetItemArrayArray : public std::vector<CWorkSetItemArray> {
public:
  // Counts the pair; new pairs keep the order of first appearance.
  void Add(CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering);
};
