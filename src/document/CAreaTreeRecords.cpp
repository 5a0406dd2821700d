// Stored forms of calculation trees.
//
//  - Serialize: the node and its subtree inside the project record, nested.
//  - Write3 / Read3: one flat record per node for the settings file (name,
//    object code, parent node code, kind, two rounding pairs); the reader
//    rebuilds the objects and the tree.
//  - SerializeEnv: the same flat records inside the project record.
//
// Readers refuse what the tree cannot hold: counts that the remaining bytes
// cannot carry, trees deeper than kMaxTreeDepth, codes that name no object
// or that the code counter could not go past, unknown kinds. A refused
// count or depth ends the read (the archive's failure); a refused node or
// record is dropped, a bad operator becomes "+", and the reader returns
// false so the caller knows the data was not taken as stored.

#include "CAreaTree.h"

#include "CAreaTreeFlat.h"
#include "CArchive.h"
#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaObject.h"
#include "CPlenimetraParam.h"
#include "DocRecord.h"
#include "host_assert.h"

#include <climits>
#include <map>
#include <string>
#include <vector>

using AreaTreeFlat::FlatBuilder;
using AreaTreeFlat::FlatRecord;
using AreaTreeFlat::MakeDefaultTree;
using AreaTreeFlat::StartFlatRead;

namespace {

// Record versions that added fields to the nested node.
constexpr int kVersionRoundItems = 1011;
constexpr int kVersionExpand = 1020;
constexpr int kVersionLayer = 1021;
// The settings file's flat names are host strings from this version on (the
// project record's from DocVersion::kHostStringNames); before, 8-bit texts
// in the host's character code 32.
constexpr int kFileVersionUniName = 22;

// Smallest nested node: break mark, operator, preset id, code, kind, count.
constexpr long long kMinNodeBytes = 1 + 4 * 4 + 4;
// Smallest flat record: an empty name (length and terminator), seven ints.
constexpr long long kMinRecordBytes = 2 + 1 + 7 * 4;
// Smallest flat tree: its node count.
constexpr long long kMinTreeBytes = 4;

// The parent code a stored record gives for a top node that is not 0.
constexpr int kTopParentAlias = INT_MAX;

bool IsValidOperator(int op) { return op == COperatorTable::OPERATOR_PLUS || op == COperatorTable::OPERATOR_MINUS; }

// ---- nested form ----

struct NodeReader {
  CArchive& ar;
  CPlenimetraParam* param;
  bool clean = true;

  void Read(CAreaTree& node, int depth);
  void ReadFields(CAreaTree& node);
  // Without a document (objects not read yet) every node with a code stays.
  bool Keeps(const CAreaTree& child) const
  {
    return child.m_AreaCode != 0 && (param == nullptr || param->FindAreaObject(child.m_AreaCode) != nullptr);
  }
};

void NodeReader::ReadFields(CAreaTree& node)
{
  const int version = ar.GetVersion();
  int kind = 0;
  node.m_CrMark.Serialize(ar);
  ar >> node.m_Operator >> node.m_RoundTypeId >> node.m_AreaCode >> kind;
  if (version >= kVersionRoundItems) {
    node.m_RoundTypeTotal.Serialize(ar);
    node.m_RoundTypeFloor.Serialize(ar);
  }
  if (version >= kVersionExpand)
    ar >> node.m_Expand;
  if (version >= kVersionLayer)
    ar >> node.m_Layer;
  node.m_DeleteMask = false;
  if (!IsValidOperator(node.m_Operator)) {
    node.m_Operator = COperatorTable::OPERATOR_PLUS;
    clean = false;
  }
}

// A child is read into a copy of the one at its place (a field an old record
// lacks keeps its value) and kept only once it is whole and names an object,
// so a read that throws half way leaves only sound nodes behind.
void NodeReader::Read(CAreaTree& node, int depth)
{
  if (depth > CAreaTree::kMaxTreeDepth)
    throw CArchive::kPastEnd;
  ReadFields(node);
  if (depth == 0 && param != nullptr && node.m_AreaCode != 0 && param->FindAreaObject(node.m_AreaCode) == nullptr) {
    node.m_AreaCode = 0;
    clean = false;
  }
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, kMinNodeBytes))
    throw CArchive::kPastEnd;
  std::vector<CAreaTree> previous;
  previous.swap(node.m_Child);
  for (int i = 0; i < count; ++i) {
    CAreaTree child = static_cast<std::size_t>(i) < previous.size() ? std::move(previous[i]) : CAreaTree();
    Read(child, depth + 1);
    if (Keeps(child))
      node.m_Child.push_back(std::move(child));
    else
      clean = false;
  }
}

void WriteNode(CArchive& ar, CAreaTree& node)
{
  node.m_CrMark.Serialize(ar);
  const int kind = node.m_AreaCode < 0 ? CAreaTree::KIND_ELEMENT_LIST : CAreaTree::KIND_FOLDER;
  ar << node.m_Operator << node.m_RoundTypeId << node.m_AreaCode << kind;
  node.m_RoundTypeTotal.Serialize(ar);
  node.m_RoundTypeFloor.Serialize(ar);
  ar << node.m_Expand << node.m_Layer << static_cast<int>(node.m_Child.size());
  for (CAreaTree& child : node.m_Child)
    WriteNode(ar, child);
}

// ---- flat form ----

template <class Archive>
void ReadRecordFields(Archive& ar, FlatRecord& r)
{
  int totalType = 0;
  int floorType = 0;
  ar >> r.code >> r.parentCode >> r.kind >> totalType >> r.total.m_Digit >> floorType >> r.floor.m_Digit;
  r.total.m_Type = CRoundTypeTable::ROUNDTYPE(totalType);
  r.floor.m_Type = CRoundTypeTable::ROUNDTYPE(floorType);
}

template <class Archive>
void WriteRecordFields(Archive& ar, const FlatRecord& r)
{
  ar << r.code << r.parentCode << r.kind << static_cast<int>(r.total.m_Type) << r.total.m_Digit
     << static_cast<int>(r.floor.m_Type) << r.floor.m_Digit;
}

// The character code of the flat names in a stored form of the version:
// host strings (the host's default code) from the form's own gate on,
// 8-bit texts in code 32 before it.
GSCharCode NameCode(int version, int hostStringsFrom)
{
  return version >= hostStringsFrom ? CC_Default : CC_Japanese;
}
GSCharCode FileNameCode(CFileArchive& ar) { return NameCode(ar.GetVersion(), kFileVersionUniName); }
GSCharCode RecordNameCode(CArchive& ar) { return NameCode(ar.GetVersion(), DocVersion::kHostStringNames); }

// The records of the nodes below node, depth first, a node before its
// children; the direct children name parent 0.
void WriteRecords(CArchive& ar, GSCharCode nameCode, CPlenimetraParam* param, const CAreaTree& node, int parentCode)
{
  for (const CAreaTree& child : node.m_Child) {
    const CAreaObject* pChildObject = param->GetAreaObject(child.m_AreaCode);
    PLN_ASSERT(pChildObject != nullptr);
    FlatRecord r;
    r.code = pChildObject->m_Code;
    r.parentCode = parentCode;
    r.kind = child.m_AreaCode < 0 ? CAreaTree::KIND_ELEMENT_LIST : CAreaTree::KIND_FOLDER;
    r.total = child.m_RoundTypeTotal;
    r.floor = child.m_RoundTypeFloor;
    ar.WriteText(pChildObject->m_Name.m_DefaultName, nameCode);
    WriteRecordFields(ar, r);
    WriteRecords(ar, nameCode, param, child, child.m_AreaCode);
  }
}

int CountBelow(const CAreaTree& node)
{
  int count = 0;
  for (const CAreaTree& child : node.m_Child)
    count += 1 + CountBelow(child);
  return count;
}

// The flat records of the tree, names in the form's code, or with a counter
// only their number. A tree deeper than its readers take is refused and
// nothing of it written.
bool WriteFlat(CArchive& ar, GSCharCode nameCode, CPlenimetraParam* param, const CAreaTree& tree, int* count)
{
  if (count != nullptr) {
    *count += CountBelow(tree);
    return true;
  }
  if (tree.GetHeight() > CAreaTree::kMaxTreeDepth) {
    ar.RefuseWrite();
    return false;
  }
  WriteRecords(ar, nameCode, param, tree, 0);
  return true;
}

// Attaches the nodes built so far and sets the code counter past them when
// the read that built them ends, by its end or by a thrown code.
class BuildOnExit {
public:
  BuildOnExit(FlatBuilder& builder, CPlenimetraParam* param) : m_Builder(builder), m_Param(param) {}
  BuildOnExit(const BuildOnExit&) = delete;
  BuildOnExit& operator=(const BuildOnExit&) = delete;
  ~BuildOnExit()
  {
    m_Builder.Finish();
    m_Param->m_LastAreaCode = m_Param->GetMaxAreaCode();
  }

private:
  FlatBuilder& m_Builder;
  CPlenimetraParam* m_Param;
};

}  // namespace


// ---- flat builder -----------------------------------------------------------

namespace AreaTreeFlat {

bool FlatBuilder::Add(const FlatRecord& r)
{
  // A code the counter could not go past, a non-positive code, a kind
  // without an object, or a code its kind already holds would break the
  // document. An element and a folder may share a number: the sign of the
  // node code keeps them apart.
  if (r.code <= 0 || r.code == INT_MAX || r.kind < CAreaTree::KIND_ELEMENT_LIST || r.kind > CAreaTree::KIND_FOLDER)
    return false;
  if (m_Param->FindAreaObject(r.NodeCode()) != nullptr)
    return false;
  // Make the object as Insert does, with a scratch node placement.
  CAreaTree scratch;
  scratch.Insert(m_Param, r.name, r.code, 0, r.kind, r.total, r.floor);
  PLN_ASSERT(scratch.m_Child.size() == 1);

  int depth = 1;
  std::size_t parent = SIZE_MAX;
  if (r.parentCode != 0) {
    auto it = m_ByCode.find(r.parentCode);
    if (it == m_ByCode.end())
      return true;  // no such parent yet: the object stays without a node
    parent = it->second.first;
    depth = it->second.second + 1;
  }
  if (depth > CAreaTree::kMaxTreeDepth)
    return false;  // the object stays, as with a missing parent
  m_Nodes.push_back(Node{scratch.m_Child.front(), {}});
  const std::size_t index = m_Nodes.size() - 1;
  m_ByCode.emplace(r.NodeCode(), std::make_pair(index, depth));
  if (parent == SIZE_MAX)
    m_TopNodes.push_back(index);
  else
    m_Nodes[parent].children.push_back(index);
  return true;
}

void FlatBuilder::Attach(CAreaTree& target, const std::vector<std::size_t>& children, int depth)
{
  if (depth > CAreaTree::kMaxTreeDepth)
    return;
  for (std::size_t index : children) {
    target.m_Child.push_back(m_Nodes[index].node);
    Attach(target.m_Child.back(), m_Nodes[index].children, depth + 1);
  }
}

void FlatBuilder::Finish() { Attach(m_Root, m_TopNodes, 1); }

void StartFlatRead(CAreaTree& tree, CPlenimetraParam* param)
{
  tree.Clear();
  param->m_Area2ObjectArray.clear();
  param->m_Area4ObjectArray.clear();
  param->m_LastAreaCode = 0;
}

void MakeDefaultTree(CAreaTree& tree, CPlenimetraParam* param)
{
  StartFlatRead(tree, param);
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  tree.Insert(param, GS::UniString(u"建物"), 1, 0, CAreaTree::KIND_FOLDER, item, item);
  param->m_LastAreaCode = param->GetMaxAreaCode();
}

}  // namespace AreaTreeFlat

// ---- CAreaTree --------------------------------------------------------------

bool CAreaTree::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  if (!ar.m_bOpen) {
    // A tree its reader would refuse is not stored at all.
    if (GetHeight() > kMaxTreeDepth) {
      ar.RefuseWrite();
      return false;
    }
    WriteNode(ar, *this);
    return true;
  }
  NodeReader reader{ar, param};
  reader.Read(*this, 0);
  return reader.clean;
}

bool CAreaTree::ReadNested(CArchive& ar)
{
  NodeReader reader{ar, nullptr};
  reader.Read(*this, 0);
  return reader.clean;
}

bool CAreaTree::NamesOnlyObjectsOf(const CPlenimetraParam* param, bool root) const
{
  if (!root && (m_AreaCode == 0 || param->FindAreaObject(m_AreaCode) == nullptr))
    return false;
  if (root && m_AreaCode != 0 && param->FindAreaObject(m_AreaCode) == nullptr)
    return false;
  for (const CAreaTree& child : m_Child)
    if (!child.NamesOnlyObjectsOf(param, false))
      return false;
  return true;
}

bool CAreaTree::Write3(CFileArchive& ar, CPlenimetraParam* param, int* count) const
{
  if (!WriteFlat(ar, FileNameCode(ar), param, *this, count))
    return false;
  return count != nullptr || ar.GetError() == 0;
}

bool CAreaTree::Read3(CFileArchive& ar, CPlenimetraParam* param)
{
  StartFlatRead(*this, param);
  int count = 0;
  ar >> count;
  bool clean = true;
  if (ar.GetError() == 0 && count >= 1 && !ar.CanHold(count, kMinRecordBytes))
    ar.SetError(3);
  FlatBuilder builder(*this, param);
  for (int i = 0; i < count && ar.GetError() == 0; ++i) {
    FlatRecord r;
    ar.ReadText(r.name, FileNameCode(ar));
    ReadRecordFields(ar, r);
    if (ar.GetError() != 0)
      break;
    if (i == 0 && r.parentCode == kTopParentAlias)
      r.parentCode = 0;
    if (i == 0 && r.parentCode != 0) {
      ar.SetError(3);  // the first record must start the tree
      break;
    }
    clean = builder.Add(r) && clean;
  }
  if (ar.GetError() != 0) {
    MakeDefaultTree(*this, param);
    return false;
  }
  builder.Finish();
  param->m_LastAreaCode = param->GetMaxAreaCode();
  return clean;
}

bool CAreaTree::SerializeEnv(CArchive& ar, CPlenimetraParam* param, int* count)
{
  if (!ar.m_bOpen)
    return WriteFlat(ar, RecordNameCode(ar), param, *this, count);
  StartFlatRead(*this, param);
  int stored = 0;
  ar >> stored;
  if (stored >= 1 && !ar.CanHold(stored, kMinRecordBytes))
    throw CArchive::kPastEnd;
  bool clean = true;
  FlatBuilder builder(*this, param);
  // However the read ends, the records read so far stand as a sound tree; a
  // thrown code goes on to the load that began the read.
  const BuildOnExit build(builder, param);
  for (int i = 0; i < stored; ++i) {
    FlatRecord r;
    ar.ReadText(r.name, RecordNameCode(ar));
    ReadRecordFields(ar, r);
    clean = builder.Add(r) && clean;
  }
  return clean;
}

// ---- CAreaTreeArray ---------------------------------------------------------

bool CAreaTreeArray::Write3(CFileArchive& ar, CPlenimetraParam* param) const
{
  ar << static_cast<int>(size());
  bool written = true;
  for (const CAreaTree& tree : *this) {
    int count = 0;
    written = tree.Write3(ar, param, &count) && written;
    ar << count;
    written = tree.Write3(ar, param, nullptr) && written;
  }
  return written && ar.GetError() == 0;
}

// The stored number of trees decides how many are read (each tree holds at
// least its node count), rather than the number the array happened to hold.
bool CAreaTreeArray::Read3(CFileArchive& ar, CPlenimetraParam* param)
{
  int count = 0;
  ar >> count;
  if (ar.GetError() != 0)
    return false;
  if (!ar.CanHold(count, kMinTreeBytes)) {
    ar.SetError(3);
    return false;
  }
  assign(static_cast<std::size_t>(count), CAreaTree());
  bool clean = true;
  for (CAreaTree& tree : *this)
    clean = tree.Read3(ar, param) && clean;
  return clean;
}

bool CAreaTreeArray::SerializeEnv(CArchive& ar, CPlenimetraParam* param)
{
  if (!ar.m_bOpen) {
    ar << static_cast<int>(size());
    bool written = true;
    for (CAreaTree& tree : *this) {
      int count = 0;
      written = tree.SerializeEnv(ar, param, &count) && written;
      ar << count;
      written = tree.SerializeEnv(ar, param, nullptr) && written;
    }
    return written;
  }
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, kMinTreeBytes))
    throw CArchive::kPastEnd;
  assign(static_cast<std::size_t>(count), CAreaTree());
  bool clean = true;
  for (CAreaTree& tree : *this)
    clean = tree.SerializeEnv(ar, param, nullptr) && clean;
  return clean;
}
