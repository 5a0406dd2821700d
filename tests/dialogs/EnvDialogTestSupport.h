#pragma once
// What the settings-dialog tests share: a host with the dialogs' layouts,
// thirty pens and the font of the default styles; a document with settings
// S (reference S, path P) and one pattern "計算" on the rounding table
// "標準設定"; builders of patterns; readers of what the controls show.
//
// Pages are reached through the tab control of the open dialog: tab 1
// rounding tables, 2 general options, 3 patterns, 4 common attributes,
// 5 area tables, 6 total-area table, 7 and 8 figure styles.

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea4.h"
#include "CDlgEditName.h"
#include "CDlgEnvironment.h"
#include "CDlgEnvironmentTab1.h"
#include "CDlgEnvironmentTab12.h"
#include "CDlgEnvironmentTab2.h"
#include "CDlgEnvironmentTab3.h"
#include "CDlgEnvironmentTab5.h"
#include "CDlgEnvironmentTab8.h"
#include "CDlgEnvironmentTab9.h"
#include "CDlgEnvironmentTabTree.h"
#include "CPlenimetraParam.h"
#include "HostFixture.h"
#include "io_filesystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace envtest {

using pln::host::DialogUser;

// Tab indices of the pages.
enum Tab : short { kRounding = 1, kGeneral, kPatterns, kCommon, kTables, kTotal, kPolygons, kCurves };
constexpr short kTabs = 7;
constexpr short kPenCount = 30;

inline const pln::host::DGItemState& ItemOf(const DialogUser& user, short item)
{
  const pln::host::DGItemState* state = pln::host::DialogItemState(user.DialogId(), item);
  if (state == nullptr)
    throw std::runtime_error("no item " + std::to_string(item));
  return *state;
}
inline GS::UniString TextOf(const DialogUser& user, short item) { return ItemOf(user, item).text; }
// The selected pop-up entry's text; empty when none is selected.
inline GS::UniString PopUpText(const DialogUser& user, short item)
{
  const auto& state = ItemOf(user, item);
  return state.selectedEntry >= 1 ? state.entries[state.selectedEntry - 1].text : GS::UniString();
}
inline std::vector<GS::UniString> PopUpTexts(const DialogUser& user, short item)
{
  std::vector<GS::UniString> texts;
  for (const auto& entry : ItemOf(user, item).entries)
    texts.push_back(entry.text);
  return texts;
}
// The entry whose text is given, from 1; 0 when none.
inline short EntryOf(const DialogUser& user, short item, const GS::UniString& text)
{
  const auto& entries = ItemOf(user, item).entries;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].text == text)
      return short(i + 1);
  return 0;
}
inline bool Enabled(const DialogUser& user, short item) { return ItemOf(user, item).enabled; }
inline GS::UniString Indicator(const DialogUser& user) { return TextOf(user, 6); }

// The top-level-first tree items of a tree view whose text starts with the
// name followed by the two blanks of a pattern label.
inline Int32 TreeItemNamed(const DialogUser& user, short tree, const GS::UniString& name, int occurrence = 1)
{
  const GS::UniString prefix = name + u"  [";
  std::vector<Int32> order;
  std::function<void(Int32)> walk = [&](Int32 parent) {
    for (Int32 child : ItemOf(user, tree).tree.items.at(parent).children) {
      order.push_back(child);
      walk(child);
    }
  };
  walk(DG_TVI_ROOT);
  for (Int32 item : order) {
    const GS::UniString& text = ItemOf(user, tree).tree.items.at(item).text;
    if (text.GetPrefix(prefix.GetLength()) == prefix && --occurrence == 0)
      return item;
  }
  return 0;
}
// The labels of the tree in display order, with their depth as leading dots.
inline std::vector<std::string> TreeLabels(const DialogUser& user, short tree)
{
  std::vector<std::string> labels;
  std::function<void(Int32, int)> walk = [&](Int32 parent, int depth) {
    for (Int32 child : ItemOf(user, tree).tree.items.at(parent).children) {
      labels.push_back(std::string(std::size_t(depth), '.') +
                       ItemOf(user, tree).tree.items.at(child).text.ToStdString(CC_UTF8));
      walk(child, depth + 1);
    }
  };
  walk(DG_TVI_ROOT, 0);
  return labels;
}

// Builds a pattern: a root folder under the top node, then folders and
// elements under codes the builder hands out.
class PatternBuilder {
public:
  explicit PatternBuilder(CPlenimetraParam& pattern, const GS::UniString& rootName, int roundTypeId = 0)
      : m_Pattern(pattern)
  {
    m_Root = Folder(0, rootName);
    m_Pattern.m_AreaTree2.m_Child.front().m_RoundTypeId = roundTypeId;
  }
  int Root() const { return m_Root; }
  int Folder(int parent, const GS::UniString& name)
  {
    const int code = ++m_Pattern.m_LastAreaCode;
    m_Pattern.m_Area4ObjectArray.push_back(CArea4Object(&m_Pattern, CAreaNameArray(name), code,
                                                        CArea2ListTypeTable::LISTTYPE_FORMULA,
                                                        CItemType1Table::ITEMTYPE_CIRCLE,
                                                        CItemType2Table::ITEMTYPE_DECIMAL, -1, -1));
    EXPECT_TRUE(m_Pattern.m_AreaTree2.Insert2(parent, code, {CRoundTypeTable::ROUNDTYPE_CUT, 2},
                                              {CRoundTypeTable::ROUNDTYPE_CUT, 2}));
    return code;
  }
  int Element(int parent, const GS::UniString& name)
  {
    const int code = ++m_Pattern.m_LastAreaCode;
    m_Pattern.m_Area2ObjectArray.push_back(CArea2Object(&m_Pattern, CAreaNameArray(name), code,
                                                        CArea2ListTypeTable::LISTTYPE_FORMULA,
                                                        CArea2Object::SHOWTOTAL_MARK, CItemType1Table::ITEMTYPE_CIRCLE,
                                                        CItemType2Table::ITEMTYPE_DECIMAL, -1, -1));
    EXPECT_TRUE(m_Pattern.m_AreaTree2.Insert2(parent, -code, {CRoundTypeTable::ROUNDTYPE_HALFUP, 3},
                                              {CRoundTypeTable::ROUNDTYPE_UP, 1}));
    return -code;
  }

private:
  CPlenimetraParam& m_Pattern;
  int m_Root = 0;
};

class EnvDialogTest : public ::testing::Test {
protected:
  // A page that asks a control for a value of another kind reads nonsense.
  void TearDown() override
  {
    for (const std::string& misuse : host.DialogMisuses())
      ADD_FAILURE() << misuse;
  }
  EnvDialogTest()
  {
    for (int pen = 2; pen <= kPenCount; ++pen)
      host.AddPen({0.1 * (pen % 10), 0.0, 0.0});
    host.AddFont(GS::UniString(u"ＭＳ ゴシック 日本語"));
    DefineLayouts();
    // Settings naming no layer take the add-on's layer when read back.
    const short layer = short(host.AddLayer(GS::UniString(u"メンセラ")));
    doc.m_EnvParam.m_Area1Layer = doc.m_EnvParam.m_ListLayer = layer;
    PatternBuilder docPattern(doc, u"計算");
    docPattern.Folder(docPattern.Root(), u"建物");
    doc.m_EnvParam.m_PatternArray.emplace_back();
    PatternBuilder envPattern(doc.m_EnvParam.m_PatternArray.back(), u"計算");
    envPattern.Folder(envPattern.Root(), u"建物");
    doc.m_EnvParam2 = doc.m_EnvParam;
    doc.m_EnvPath = kPath;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = pln::host::SandboxRoot() / "dialogs" / test->test_suite_name() / test->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }

  void DefineLayouts()
  {
    host.DefineDialog(CDlgEnvironment::ResourceId, CDlgEnvironment::Layout());
    host.DefineDialog(CDlgEnvironmentTab1::ResourceId, CDlgEnvironmentTab1::Layout());
    host.DefineDialog(CDlgEnvironmentTab2::ResourceId, CDlgEnvironmentTab2::Layout());
    host.DefineDialog(CDlgEnvironmentTabTree::ResourceId, CDlgEnvironmentTabTree::Layout());
    host.DefineDialog(CDlgEnvironmentTab8::ResourceId, CDlgEnvironmentTab8::Layout());
    host.DefineDialog(CDlgEnvironmentTab9::ResourceId, CDlgEnvironmentTab9::Layout());
    host.DefineDialog(CDlgEnvironmentTab12::ResourceId, CDlgEnvironmentTab12::Layout());
    host.DefineDialog(CDlgEnvironmentTab3::ResourceId, CDlgEnvironmentTab3::Layout());
    host.DefineDialog(CDlgEnvironmentTab5::ResourceId, CDlgEnvironmentTab5::Layout());
    host.DefineDialog(CDlgEditName::ResourceId, CDlgEditName::Layout());
    host.DefineDialog(CDlgCreateTreeItem::ResourceId, CDlgCreateTreeItem::Layout());
    host.DefineDialog(CDlgEditArea4::ResourceId, CDlgEditArea4::Layout());
  }

  // Runs the dialog filled from the document as its opener does, with the
  // script acting as the user; the dialog object stays for inspection.
  short Run(CDlgEnvironment& dialog, const std::function<void(DialogUser&, CDlgEnvironment&)>& script)
  {
    dialog.m_EnvParam = doc.m_EnvParam;
    dialog.m_EnvParamRef = doc.m_EnvParam2;
    dialog.m_PathName = doc.m_EnvPath;
    dialog.m_ParamArrayOrg = doc.m_EnvParam.m_PatternArray;
    host.QueueDialogScript(CDlgEnvironment::ResourceId, [&](DialogUser& user) { script(user, dialog); });
    return dialog.DoModal();
  }

  // The name dialog will be answered with the text, then OK (and Cancel
  // when the name is refused).
  void QueueName(const GS::UniString& name)
  {
    host.QueueDialogScript(CDlgEditName::ResourceId, [name](DialogUser& user) {
      user.SetText(5, name);
      user.Click(1);
    });
  }

  GS::UniString PathOf(const char* name) const
  {
    return GS::UniString((folder / name).string().c_str(), CC_UTF8);
  }
  std::string Contents(const char* name) const
  {
    std::ifstream in(folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Put(const char* name, const std::string& bytes) const
  {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }
  std::vector<GS::UniString> AlertTexts() const
  {
    std::vector<GS::UniString> texts;
    for (const auto& alert : host.Alerts())
      texts.push_back(alert.largeText);
    return texts;
  }

  static constexpr const char16_t* kPath = u"/settings/S.dat";
  HostFixture host;
  CPlenimetraParam doc;
  std::filesystem::path folder;
};

}  // namespace envtest
