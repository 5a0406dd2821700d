// Reads arbitrary bytes as a calculation-pattern text file into a scratch
// document. The read must answer 1 or 0 (the file exists); on 0 the
// document holds the default pattern; on 1 the tree is empty or one
// pattern whose every node names an object, and writing it and reading it
// back gives the same tree and the same bytes again.

#include "CAreaObject.h"
#include "CAreaTree.h"
#include "CPlenimetraParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using HostFuzz::Check;

void CheckNodes(CPlenimetraParam& doc, const CAreaTree& node, int depth)
{
  Check(depth <= CAreaTree::kMaxTreeDepth);
  for (const CAreaTree& child : node.m_Child) {
    Check(doc.FindAreaObject(child.m_AreaCode) != nullptr);
    CheckNodes(doc, child, depth + 1);
  }
}

void CheckDefaultPattern(CPlenimetraParam& doc)
{
  Check(doc.m_AreaTree2.m_Child.size() == 1 && doc.m_AreaTree2.m_Child[0].m_AreaCode == 1);
  Check(doc.m_AreaTree2.m_Child[0].m_Child.empty());
  Check(doc.m_Area4ObjectArray.size() == 1 && doc.m_Area2ObjectArray.empty());
  Check(doc.m_LastAreaCode == 1);
}

std::string Contents(const GS::UniString& path)
{
  std::ifstream in(path.ToStdString(CC_UTF8), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes the pattern and reads it back; the bytes written.
std::string RoundTrip(CPlenimetraParam& doc, const GS::UniString& path, CPlenimetraParam& back)
{
  Check(doc.m_AreaTree2.m_Child[0].Save3(&doc, path));
  Check(back.m_AreaTree2.Load3(&back, path) == 1);
  Check(back.m_AreaTree2 == doc.m_AreaTree2);
  return Contents(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  HostFixture host;
  const GS::UniString path = HostFuzz::WriteSandboxFile("fuzz_pattern.txt", data, size);
  CPlenimetraParam doc;
  const int result = doc.m_AreaTree2.Load3(&doc, path);
  Check(result == 0 || result == 1);
  if (result == 0) {
    CheckDefaultPattern(doc);
    return 0;
  }
  CheckNodes(doc, doc.m_AreaTree2, 0);
  Check(doc.m_LastAreaCode == doc.GetMaxAreaCode());
  if (doc.m_AreaTree2.m_Child.empty())
    return 0;
  Check(doc.m_AreaTree2.m_Child.size() == 1);
  const GS::UniString again = HostFuzz::WriteSandboxFile("fuzz_pattern_again.txt", nullptr, 0);
  CPlenimetraParam back;
  const std::string written = RoundTrip(doc, again, back);
  CPlenimetraParam third;
  Check(RoundTrip(back, again, third) == written);
  return 0;
}
