#include "Workflow.h"

#include "CDlgAutoAreaCreate.h"
#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea4.h"
#include "CDlgEditName.h"
#include "CDlgEnvironment.h"
#include "CDlgSelectTree.h"
#include "CDlgSettingFloor.h"
#include "CDlgOutputToWorksheet.h"
#include "CPlenimetraFunc1.h"
#include "CPlenimetraFunc2.h"
#include "CDlgEditArea2Target.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraPalette.h"
#include "CKelProgressCore.h"
#include "PlenimetraEntry.h"
#include "host_errors.h"
#include "host_model.h"
#include "io_filesystem.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

using pln::host::DialogUser;

namespace {

constexpr short kMenuResId = 32500;
const char16_t* const kProjectFile = u"プロジェクト/二階建て住宅.pln";
const char16_t* const kCsvFile = u"プロジェクト/二階建て住宅　求積表.csv";

// Palette items.
constexpr short kOutputCommand = 3;
constexpr short kAutoAreaPage = 10, kFigurePage = 11, kTreePage = 12;
constexpr std::size_t kGroundFloorFigures = 11;  // 8 room pieces, the slab, 2 site pieces

// Output dialog items.
constexpr short kModeCsv = 4, kModeWorksheets = 5, kLayout = 7, kTsubo = 8, kAutoAreaTables = 9;
constexpr short kLayoutThree = 3;
// Added when the dialog opens, one check box per pattern, then the list of
// the stories (top first) with the building-area summary last.
constexpr short kSiteColumnCheck = 12, kOutputList = 13, kSummaryRow = 3;
const char16_t* const kSheets[] = {u"床面積 1階", u"床面積 2階", u"建築面積 1階",
                                   u"敷地面積 1階", u"床面積 建物面積表", u"建築面積 建物面積表"};
// Automatic-area creation: the radio of cut type 2.
constexpr short kCutTypeTwo = CDlgAutoAreaCreate::kItemCutFirst + 1;

std::string U8(const GS::UniString& text) { return text.ToStdString(CC_UTF8); }

// A 1e-6 m² integer as metres with its six decimals, trailing zeros after
// the second dropped.
std::string Area(long long micro)
{
  const bool negative = micro < 0;
  const unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(micro) : micro;
  std::string decimals = std::to_string(magnitude % 1000000 + 1000000).substr(1);
  while (decimals.size() > 2 && decimals.back() == '0')
    decimals.pop_back();
  return (negative ? "-" : "") + std::to_string(magnitude / 1000000) + "." + decimals;
}

std::string ReadBytes(const std::filesystem::path& file)
{
  std::ifstream in(file, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const pln::host::DGItemState& ItemOf(const DialogUser& user, short item)
{
  const pln::host::DGItemState* state = pln::host::DialogItemState(user.DialogId(), item);
  if (state == nullptr)
    throw std::runtime_error("dialog " + std::to_string(user.DialogId()) + " has no item " + std::to_string(item));
  return *state;
}

// The pop-up entry (from 1) showing the text.
short EntryOf(const DialogUser& user, short item, const char16_t* text)
{
  const auto& entries = ItemOf(user, item).entries;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].text == GS::UniString(text))
      return static_cast<short>(i + 1);
  throw std::runtime_error("pop-up " + std::to_string(item) + " has no entry " + U8(GS::UniString(text)));
}

// The tree item whose label is the name and its rounding, the given
// occurrence in display order.
Int32 TreeItemNamed(const DialogUser& user, short tree, const char16_t* name, int occurrence = 1)
{
  const GS::UniString prefix = GS::UniString(name) + u"  [";
  const auto& items = ItemOf(user, tree).tree.items;
  Int32 found = 0;
  std::function<void(Int32)> walk = [&](Int32 parent) {
    for (Int32 child : items.at(parent).children) {
      if (found == 0 && items.at(child).text.GetPrefix(prefix.GetLength()) == prefix && --occurrence == 0)
        found = child;
      walk(child);
    }
  };
  walk(DG_TVI_ROOT);
  if (found == 0)
    throw std::runtime_error("the pattern tree shows no " + U8(GS::UniString(name)));
  return found;
}

void QueueName(HostFixture& host, const char16_t* name)
{
  host.QueueDialogScript(CDlgEditName::ResourceId, [name](DialogUser& dialog) {
    dialog.SetText(5, GS::UniString(name));
    dialog.Click(1);
  });
}

CPlenimetraPalette& Palette() { return PlenimetraPalette(); }
CPlenimetraParam& Doc() { return Palette().m_Param; }
DialogUser PaletteUser() { return DialogUser(Palette().m_PaletteID); }

}  // namespace

Workflow::Workflow(HostFixture& host, std::function<void(const std::string&)> print)
    : host_(host), print_(std::move(print))
{
}

Workflow::~Workflow()
{
  if (loaded_) {
    host_.UnloadAddOn();
    PlenimetraModuleUnload();
  }
}

void Workflow::Step(const std::string& line, const std::function<void()>& action)
{
  action();
  CheckHost(line);
  print_(line);
}

// Every alert must have been answered by the step itself; every dialog
// call must have fit its window.
void Workflow::CheckHost(const std::string& step)
{
  const auto& alerts = host_.Alerts();
  if (alerts.size() != alertsSeen_ + alertsExpected_) {
    const std::string text = alerts.size() > alertsSeen_ ? U8(alerts.back().largeText) : "(no alert)";
    throw std::runtime_error(step + ": unexpected alert: " + text);
  }
  alertsSeen_ = alerts.size();
  alertsExpected_ = 0;
  if (!host_.DialogMisuses().empty())
    throw std::runtime_error(step + ": dialog misuse: " + host_.DialogMisuses().front());
}

void Workflow::OpenProject()
{
  Step("1. 二階建て住宅.pln: the house built, saved, the add-on loaded and its palette open", [&] {
    house_ = BuildHouse(host_);
    const IO::Location project{GS::UniString(kProjectFile)};
    std::filesystem::create_directories(pln::host::ToFsPath(project).parent_path());
    host_.UserSaveProjectAs(project);
    PlenimetraModuleLoad();
    loaded_ = true;
    const HostFixture::AddOnLoad load = host_.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
    if (load.checkEnvironment != APIAddon_Normal || load.registerInterface != NoError || load.initialize != NoError)
      throw std::runtime_error("the add-on did not load");
    if (GSErrCode err = host_.UserChooseMenuItem(kMenuResId, 1); err != NoError)
      throw std::runtime_error("the menu command failed (" + std::to_string(err) + ")");
    if (!Palette().IsToolPaletteOpened())
      throw std::runtime_error("the palette did not open");
  });
}

namespace settings {

constexpr short kTabs = 7, kRoundingTab = 1, kPatternTab = 3;
// Rounding-tables page.
constexpr short kNewTable = 1, kListEntryKind = 9, kListEntryDigits = 10;
// Pattern page.
constexpr short kNewPattern = 2, kItemInsert = 9, kItemEdit = 12, kTree = 13;
constexpr short kPaletteSettings = 4;
const char16_t* const kCut = u"切り捨て";
const char16_t* const kTwoDigits = u"小数点第2位";

// A new element under the folder, cut to 2 digits per floor and in total.
void AddElement(HostFixture& host, DialogUser& page, const char16_t* folder, int occurrence, const char16_t* name)
{
  page.SelectTreeItems(kTree, {TreeItemNamed(page, kTree, folder, occurrence)});
  host.QueueDialogScript(CDlgCreateTreeItem::ResourceId, [name](DialogUser& create) {
    create.SetLong(CDlgCreateTreeItem::ITEM_ELEMENT, 1);
    create.SetText(CDlgCreateTreeItem::ITEM_NAME, GS::UniString(name));
    for (short kind : {CDlgCreateTreeItem::ITEM_TYPE1, CDlgCreateTreeItem::ITEM_TYPE2})
      create.SelectPopUp(kind, EntryOf(create, kind, kCut));
    for (short digits : {CDlgCreateTreeItem::ITEM_DIGIT1, CDlgCreateTreeItem::ITEM_DIGIT2})
      create.SelectPopUp(digits, EntryOf(create, digits, kTwoDigits));
    create.Click(1);
  });
  page.Click(kItemInsert);
}

void NewPattern(HostFixture& host, DialogUser& page, const char16_t* name)
{
  QueueName(host, name);
  page.Click(kNewPattern);
}

}  // namespace settings

void Workflow::Settings()
{
  using namespace settings;
  Step("2. settings: preset 四捨五入2桁, patterns 床面積, 建築面積 and 敷地面積; OK, はい", [&] {
    bool ran = false;
    host_.QueueDialogScript(CDlgEnvironment::ResourceId, [&](DialogUser& dialog) {
      ran = true;
      DialogUser tables = dialog.TabPage(kTabs, kRoundingTab);
      QueueName(host_, u"四捨五入2桁");
      tables.Click(kNewTable);
      tables.SelectPopUp(kListEntryKind, EntryOf(tables, kListEntryKind, u"四捨五入"));
      tables.SelectPopUp(kListEntryDigits, EntryOf(tables, kListEntryDigits, kTwoDigits));

      DialogUser page = dialog.TabPage(kTabs, kPatternTab);
      NewPattern(host_, page, u"床面積");
      // The pattern's root keeps its name; the folder under it is renamed.
      page.SelectTreeItems(kTree, {TreeItemNamed(page, kTree, u"床面積", 2)});
      host_.QueueDialogScript(CDlgEditArea4::ResourceId, [](DialogUser& edit) {
        edit.SetText(CDlgEditAreaCore::ITEM_NAME, GS::UniString(u"延べ面積"));
        edit.Click(1);
      });
      page.Click(kItemEdit);
      AddElement(host_, page, u"延べ面積", 1, u"居室");
      AddElement(host_, page, u"延べ面積", 1, u"非居室");
      NewPattern(host_, page, u"建築面積");
      AddElement(host_, page, u"建築面積", 2, u"水平投影面積");
      NewPattern(host_, page, u"敷地面積");
      AddElement(host_, page, u"敷地面積", 2, u"敷地");
      dialog.Click(1);
    });
    host_.QueueAlertAnswer(1);
    ++alertsExpected_;
    PaletteUser().Click(kPaletteSettings);
    if (!ran)
      throw std::runtime_error("the settings dialog did not open");
    CheckSettings();
  });
}

// What the dialogs made, read back from the applied settings.
void Workflow::CheckSettings() const
{
  const CEnvParam& env = Doc().m_EnvParam;
  const CRoundTypeParamArray& tables = env.m_RoundTypeParamArray;
  if (tables.size() != 2 || tables[1].m_Name != GS::UniString(u"四捨五入2桁"))
    throw std::runtime_error("the preset 四捨五入2桁 was not made");
  CRoundTypeParam expected = tables[0];
  expected.m_Id = tables[1].m_Id;
  expected.m_Name = tables[1].m_Name;
  expected.m_Area2ListRoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 2);
  if (!(tables[1] == expected))
    throw std::runtime_error("the preset 四捨五入2桁 differs from 標準設定 in more than its list entry");
  const CRoundTypeItem cut2(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  for (const char16_t* name : {u"床面積", u"建築面積", u"敷地面積"}) {
    const CPlenimetraParam* pattern = nullptr;
    for (const CPlenimetraParam& candidate : env.m_PatternArray)
      if (!candidate.m_AreaTree2.m_Child.empty() &&
          candidate.GetAreaObject(candidate.m_AreaTree2.m_Child[0].m_AreaCode)->m_Name.m_DefaultName ==
              GS::UniString(name))
        pattern = &candidate;
    if (pattern == nullptr)
      throw std::runtime_error("the settings hold no pattern " + U8(GS::UniString(name)));
    std::function<void(const CAreaTree&)> check = [&](const CAreaTree& node) {
      if (node.m_AreaCode != 0 && (node.m_RoundTypeFloor != cut2 || node.m_RoundTypeTotal != cut2))
        throw std::runtime_error("a node of " + U8(GS::UniString(name)) + " is not cut to 2 digits");
      for (const CAreaTree& child : node.m_Child)
        check(child);
    };
    check(pattern->m_AreaTree2);
  }
}

namespace palette {

constexpr short kStories = 1, kInsert = 5, kDelete = 7, kPatterns = 8, kRounding = 9;
// The stories dialog: one choice for all patterns, the in-cell check box, the list.
constexpr short kAllPatterns = 3, kCalculated = 4, kStoryList = 5;
constexpr short kUpperStoryRow = 1;  // the top story first

}  // namespace palette

// A pattern that differs from its settings' pattern is listed with a star.
void Workflow::SelectPattern(const char16_t* name)
{
  const auto& entries = ItemOf(PaletteUser(), palette::kPatterns).entries;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].text == GS::UniString(name) || entries[i].text == GS::UniString(u"*") + name) {
      PaletteUser().SelectPopUp(palette::kPatterns, static_cast<short>(i + 1));
      return;
    }
  throw std::runtime_error("the palette lists no pattern " + U8(GS::UniString(name)));
}

void Workflow::InsertPatterns()
{
  using namespace palette;
  Step("3. patterns inserted on their layers, 未定義 deleted, 床面積 on 四捨五入2桁, 2階 left out of 建築面積 and 敷地面積",
       [&] {
         const char16_t* names[] = {u"床面積", u"建築面積", u"敷地面積"};
         for (std::size_t i = 0; i < 3; ++i) {
           const short layer = house_.patternLayers[i];
           const char16_t* name = names[i];
           host_.QueueDialogScript(CDlgSelectTree::ResourceId, [name, layer](DialogUser& dialog) {
             dialog.SelectPopUp(4, EntryOf(dialog, 4, name));
             dialog.SetLong(7, layer);
             dialog.Click(1);
           });
           PaletteUser().Click(kInsert);
           if (Doc().GetLayer() != layer)
             throw std::runtime_error("the pattern " + U8(GS::UniString(name)) + " is not on its layer");
         }
         SelectPattern(u"未定義");
         host_.QueueAlertAnswer(1);
         ++alertsExpected_;
         PaletteUser().Click(kDelete);
         if (ItemOf(PaletteUser(), kPatterns).entries.size() != 3)
           throw std::runtime_error("the palette does not list the three patterns alone");

         SelectPattern(u"床面積");
         PaletteUser().SelectPopUp(kRounding, EntryOf(PaletteUser(), kRounding, u"四捨五入2桁"));
         for (const char16_t* name : {u"建築面積", u"敷地面積"}) {
           SelectPattern(name);
           host_.QueueDialogScript(CDlgSettingFloor::ResourceId, [](DialogUser& dialog) {
             dialog.Check(kAllPatterns, false);
             dialog.SelectRows(kStoryList, {kUpperStoryRow});
             dialog.Check(kCalculated, false);
             dialog.Click(1);
           });
           PaletteUser().Click(kStories);
         }
       });
}

void Workflow::Create(short story, const std::vector<API_Guid>& selection)
{
  if (GSErrCode err = host_.UserChangeStory(story); err != NoError)
    throw std::runtime_error("cannot change the story (" + std::to_string(err) + ")");
  if (GSErrCode err = host_.UserSelect(selection); err != NoError)
    throw std::runtime_error("cannot select (" + std::to_string(err) + ")");
  const short page = pln::host::OpenDialogId(CPlenimetraFunc3::ResourceId);
  if (page == 0)
    throw std::runtime_error("the automatic-area page is not open");
  bool ran = false;
  host_.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [&ran](DialogUser& dialog) {
    ran = true;
    dialog.SetLong(kCutTypeTwo, 1);
    dialog.Click(1);
  });
  DialogUser(page).Click(CPlenimetraFunc3::kCreate);
  if (!ran)
    throw std::runtime_error("the creation dialog did not open");
}

void Workflow::CreateAutomaticAreas()
{
  Step("4. automatic areas cut (type 2): 床面積 from the zones of both storeys, 建築面積 from the slab, 敷地面積 from "
       "the site",
       [&] {
         PaletteUser().Click(kAutoAreaPage);
         SelectPattern(u"床面積");
         Create(0, house_.zones1);
         Create(1, house_.zones2);
         SelectPattern(u"建築面積");
         Create(0, {house_.slab});
         SelectPattern(u"敷地面積");
         Create(0, {house_.site});
         AssignAutomaticAreas();
         // The figure list shows the active story's figures.
         PaletteUser().Click(kFigurePage);
         const short list = pln::host::OpenDialogId(CPlenimetraFunc1::ResourceId);
         if (list == 0)
           throw std::runtime_error("the figure list did not open");
         const std::size_t rows = ItemOf(DialogUser(list), CPlenimetraFunc1::kList).list.rows.size();
         if (rows != kGroundFloorFigures)
           throw std::runtime_error("the figure list shows " + std::to_string(rows) + " figures on 1階");
       });
}

namespace tree {

using Page = CPlenimetraFunc2;
constexpr short kCategoryColumn = 2, kNameColumn = 1;
// The target dialog: its list of elements and the check box over a row.
constexpr short kTargetList = 4, kTargetCheck = 3;

void SelectElement(DialogUser& page, const char16_t* name)
{
  const GS::UniString prefix = GS::UniString(name) + u"[";
  for (const auto& [id, item] : ItemOf(page, Page::ITEM_TREE).tree.items)
    if (item.text.GetPrefix(prefix.GetLength()) == prefix) {
      page.SelectTreeItems(Page::ITEM_TREE, {id});
      return;
    }
  throw std::runtime_error("the tree page shows no element " + U8(GS::UniString(name)));
}

// The automatic-area rows (from 1) whose column reads the text.
std::vector<short> RowsWhere(const DialogUser& page, short column, const char16_t* text)
{
  std::vector<short> rows;
  const auto& list = ItemOf(page, Page::ITEM_AUTO_LIST).list.rows;
  for (std::size_t r = 0; r < list.size(); ++r) {
    const auto cell = list[r].texts.find(column);
    if (cell != list[r].texts.end() && cell->second == GS::UniString(text))
      rows.push_back(static_cast<short>(r + 1));
  }
  return rows;
}

}  // namespace tree

// The zone category decides the element; the slab and the site are given
// theirs in the target dialog.
void Workflow::AssignAutomaticAreas()
{
  using namespace tree;
  PaletteUser().Click(kTreePage);
  const short id = pln::host::OpenDialogId(Page::ResourceId);
  if (id == 0)
    throw std::runtime_error("the tree page did not open");
  DialogUser page(id);
  page.SetLong(Page::ITEM_RADIO_AUTO, 1);
  SelectPattern(u"床面積");
  for (short story : {0, 1}) {
    if (GSErrCode err = host_.UserChangeStory(story); err != NoError)
      throw std::runtime_error("cannot change the story (" + std::to_string(err) + ")");
    for (const char16_t* category : {u"居室", u"非居室"}) {
      SelectElement(page, category);
      const std::vector<short> rows = RowsWhere(page, kCategoryColumn, category);
      if (rows.empty())
        throw std::runtime_error("no automatic area of the category " + U8(GS::UniString(category)));
      page.SelectRows(Page::ITEM_AUTO_LIST, rows);
      page.SelectPopUp(Page::ITEM_AUTO_OPERATOR, EntryOf(page, Page::ITEM_AUTO_OPERATOR, u"+"));
    }
  }
  if (GSErrCode err = host_.UserChangeStory(0); err != NoError)
    throw std::runtime_error("cannot change the story (" + std::to_string(err) + ")");
  const struct {
    const char16_t* pattern;
    const char16_t* row;
    const char16_t* element;
  } targets[] = {{u"建築面積", u"(ｽﾗﾌﾞ)", u"水平投影面積"}, {u"敷地面積", u"(ﾎﾟﾘﾗｲﾝ)", u"敷地"}};
  for (const auto& target : targets) {
    SelectPattern(target.pattern);
    const std::vector<short> rows = RowsWhere(page, kNameColumn, target.row);
    if (rows.size() != 1)
      throw std::runtime_error("the automatic-area list does not show " + U8(GS::UniString(target.row)) + " once");
    page.SelectRows(Page::ITEM_AUTO_LIST, rows);
    bool ran = false;
    const char16_t* element = target.element;
    host_.QueueDialogScript(CDlgEditArea2Target::ResourceId, [&ran, element](DialogUser& dialog) {
      ran = true;
      const auto& list = ItemOf(dialog, kTargetList).list.rows;
      for (std::size_t r = 0; r < list.size(); ++r)
        if (list[r].texts.count(1) != 0 && list[r].texts.at(1) == GS::UniString(element)) {
          dialog.SelectRows(kTargetList, {static_cast<short>(r + 1)});
          dialog.Check(kTargetCheck, true);
          dialog.Click(1);
          return;
        }
    });
    page.Click(Page::ITEM_AUTO_TARGET);
    if (!ran)
      throw std::runtime_error("the target dialog did not open");
  }
}

// The output leaves its last worksheet in front; the architect goes back
// to the floor plan first, where the palette's commands work.
void Workflow::Output(bool csv)
{
  API_WindowInfo plan;
  plan.typeID = APIWind_FloorPlanID;
  if (GSErrCode err = host_.UserShowWindow(plan); err != NoError)
    throw std::runtime_error("cannot bring the floor plan to the front (" + std::to_string(err) + ")");
  bool ran = false;
  host_.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [&](DialogUser& dialog) {
    ran = true;
    if (csv) {
      dialog.Check(kModeCsv, true);
    } else {
      dialog.Check(kModeWorksheets, true);
      dialog.SelectPopUp(kLayout, kLayoutThree);
      dialog.Check(kTsubo, true);
      dialog.Check(kAutoAreaTables, true);
      // The building-area summary of 敷地面積 is left out.
      dialog.SelectRows(kOutputList, {kSummaryRow});
      dialog.Check(kSiteColumnCheck, false);
    }
    dialog.Click(1);
  });
  const std::size_t alerts = host_.Alerts().size();
  PaletteUser().Click(kOutputCommand);
  if (!ran)
    throw std::runtime_error("the output dialog did not open");
  // The CSV is announced with its path.
  if (csv && host_.Alerts().size() == alerts + 1 &&
      U8(host_.Alerts().back().largeText).ends_with(pln::host::ToFsPath(IO::Location(GS::UniString(kCsvFile))).string() +
                                                    " に保存しました"))
    ++alertsExpected_;
}

void Workflow::OutputWorksheetsAndCsv()
{
  Step("5. worksheets written (layout 3, tsubo and automatic-area tables), then the CSV", [&] {
    Output(false);
    for (const char16_t* sheet : kSheets)
      if (!host_.WorksheetNamed(GS::UniString(sheet)).has_value())
        throw std::runtime_error("no worksheet " + U8(GS::UniString(sheet)));
    if (Worksheets().size() != std::size(kSheets))
      throw std::runtime_error("worksheets beyond the six were written");
    Output(true);
    if (!std::filesystem::exists(CsvPath()))
      throw std::runtime_error("no CSV beside the project");
  });
}

void Workflow::SaveCloseReopen()
{
  Step("6. saved, closed and reopened: the totals and the CSV are unchanged", [&] {
    const std::string totals = Totals();
    const std::string csv = ReadBytes(CsvPath());
    host_.UserSaveProject();
    host_.UserCloseProject();
    if (GSErrCode err = host_.UserReopenProject(); err != NoError)
      throw std::runtime_error("cannot reopen (" + std::to_string(err) + ")");
    if (!Palette().IsToolPaletteOpened())
      if (GSErrCode err = host_.UserChooseMenuItem(kMenuResId, 1); err != NoError)
        throw std::runtime_error("the menu command failed (" + std::to_string(err) + ")");
    if (Totals() != totals)
      throw std::runtime_error("the totals changed on reopening:\n" + totals + "\n---\n" + Totals());
    Output(true);
    if (ReadBytes(CsvPath()) != csv)
      throw std::runtime_error("the CSV written again differs from the first");
  });
}

// Per pattern, each node's area on each storey and for the building. A
// pattern's figures round by its own preset, which the document takes from
// the current pattern: each is made current while it is read, as the
// output does, and the choice is put back.
std::string Workflow::Totals() const
{
  CPlenimetraParam& doc = Doc();
  const int current = doc.m_CurTreeCode;
  std::string text;
  for (const CAreaTree& top : doc.m_AreaTree2.m_Child) {
    doc.m_CurTreeCode = top.m_AreaCode;
    const CAreaObject* pattern = doc.GetAreaObject(top.m_AreaCode);
    text += "  " + U8(pattern->m_Name.m_DefaultName) + "\n";
    std::function<void(const CAreaTree&, int)> walk = [&](const CAreaTree& node, int depth) {
      const CAreaObject* object = doc.GetAreaObject(node.m_AreaCode);
      std::string line = std::string(std::size_t(4 + 2 * depth), ' ') + U8(object->m_Name.m_DefaultName) + ":";
      for (const CFloorParam& floor : doc.m_FloorParamArray)
        line += " " + U8(floor.m_FloorName) + " " + Area(object->GetRoundArea(&doc, &node, floor.m_FloorNo));
      CKelProgressCore progress;
      line += " 合計 " + Area(node.GetAllFloorTotalArea(&doc, progress));
      text += line + "\n";
      for (const CAreaTree& child : node.m_Child)
        walk(child, depth + 1);
    };
    for (const CAreaTree& child : top.m_Child)
      walk(child, 0);
  }
  doc.m_CurTreeCode = current;
  return text;
}

void Workflow::PrintSummary()
{
  print_("Areas (m²) per pattern, storey and building:");
  std::string totals = Totals();
  totals.pop_back();
  print_(totals);
  CPlenimetraParam& doc = Doc();
  const int current = doc.m_CurTreeCode;
  for (const CAreaTree& top : doc.m_AreaTree2.m_Child) {
    const GS::UniString name = doc.GetAreaObject(top.m_AreaCode)->m_Name.m_DefaultName;
    if (name != GS::UniString(u"建築面積") && name != GS::UniString(u"敷地面積"))
      continue;
    doc.m_CurTreeCode = top.m_AreaCode;
    CKelProgressCore progress;
    print_((name == GS::UniString(u"建築面積") ? "Building area " : "Site area ") + U8(name) + ": " +
           Area(top.m_Child.front().GetAllFloorTotalArea(&doc, progress)) + " m²");
  }
  doc.m_CurTreeCode = current;
}

std::filesystem::path Workflow::CsvPath() const
{
  return pln::host::ToFsPath(IO::Location(GS::UniString(kCsvFile)));
}

std::vector<std::pair<std::string, API_DatabaseUnId>> Workflow::Worksheets() const
{
  std::vector<std::pair<std::string, API_DatabaseUnId>> sheets;
  for (const pln::host::StoredDatabase& database : pln::host::TheModel().databases)
    if (database.info.typeID == APIWind_WorksheetID)
      sheets.emplace_back(U8(database.info.name), database.info.databaseUnId);
  return sheets;
}
