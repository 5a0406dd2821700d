// Reads an arbitrary calculation tree from the project record: the first
// byte chooses the nested form (the working and stored trees) or the flat
// records (the patterns' form), the second the record version, the rest is
// the module data. The reader must stop within the data, allocate nothing
// the data cannot carry, and leave a tree whose every node below the root
// names an object of the document, no deeper than the cap, with the code
// counter past every code; the tree must then number, total and print.

#include "CArchive.h"
#include "CAreaObject.h"
#include "CAreaTree.h"
#include "CKelProgressCore.h"
#include "CPlenimetraParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>

namespace {

constexpr std::size_t kHeaderBytes = 2;
constexpr int kOldestVersion = 1003;
constexpr int kNewestVersion = 1047;
const char* const kName = "PLENIMETRA";

using HostFuzz::Check;

// Folders 1 and 2, elements 3 and 4 (nodes -3, -4), one floor.
void MakeObjects(CPlenimetraParam& doc)
{
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  CAreaTree scratch;
  scratch.Insert(&doc, GS::UniString(u"F1"), 1, 0, CAreaTree::KIND_FOLDER, item, item);
  scratch.Insert(&doc, GS::UniString(u"F2"), 2, 0, CAreaTree::KIND_FOLDER, item, item);
  scratch.Insert(&doc, GS::UniString(u"E3"), 3, 0, CAreaTree::KIND_ELEMENT_LIST, item, item);
  scratch.Insert(&doc, GS::UniString(u"E4"), 4, 0, CAreaTree::KIND_ELEMENT_FORMULA, item, item);
  doc.m_LastAreaCode = 4;
  doc.m_FloorParamArray.push_back(CFloorParam());
}

void CheckNodes(CPlenimetraParam& doc, const CAreaTree& node, int depth)
{
  Check(depth <= CAreaTree::kMaxTreeDepth);
  for (const CAreaTree& child : node.m_Child) {
    Check(doc.FindAreaObject(child.m_AreaCode) != nullptr);
    Check(child.m_Operator == 1 || child.m_Operator == 2);
    CheckNodes(doc, child, depth + 1);
  }
}

void Exercise(CPlenimetraParam& doc, CAreaTree& tree)
{
  CheckNodes(doc, tree, 0);
  Check(doc.m_LastAreaCode >= doc.GetMaxAreaCode());
  CKelProgressCore progress;
  for (CAreaTree& top : tree.m_Child) {
    top.GetAllFloorTotalArea(&doc, progress);
    top.GetTextEnv(&doc);
    if (!top.m_Child.empty())
      top.SetItemNo(&doc);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < kHeaderBytes)
    return 0;
  HostFixture host;
  const int version = kOldestVersion + data[1] % (kNewestVersion - kOldestVersion + 1);
  HostFuzz::StoreModuleData(kName, version, data + kHeaderBytes, size - kHeaderBytes);

  CPlenimetraParam doc;
  MakeObjects(doc);
  CArchiveOld in(kName);
  Check(in.Open() == 0);
  try {
    if (data[0] % 2 == 0) {
      doc.m_AreaTree2.Serialize(in, &doc);
      doc.m_AreaTreeStore.Serialize(in, &doc);
    } else {
      doc.m_AreaTree2.SerializeEnv(in, &doc, nullptr);
    }
  } catch (unsigned int) {
    // A refused or short record: what was read stays and must be sound.
  }
  Exercise(doc, doc.m_AreaTree2);
  Exercise(doc, doc.m_AreaTreeStore);
  return 0;
}
