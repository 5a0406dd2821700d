// Pop-ups by user data, font pop-ups from the process-wide font list, and
// the host's attribute choosers, on a small test dialog.

#include "CDGDlgCore.h"
#include "DGPopUpHelpers.h"
#include "HostTestSupport.h"

using pln::host::DGItemKind;

namespace {

constexpr short kRes = 32520;
constexpr short kPopUp = 4;
constexpr short kChooser = 5;

class Dialog : public CDGDlgCore {
public:
  Dialog() : CDGDlgCore(kRes) {}
  void DoMsgChange(short, short, long long) override {}
  short DoMsgClose(short, short) override { return 0; }
};

using Entry = std::pair<GS::UniString, DGUserData>;

class DGPopUpHelpersTest : public HostTest {
protected:
  DGPopUpHelpersTest()
  {
    pln::host::DefineDialog(
        kRes, {{1, DGItemKind::Button}, {kPopUp, DGItemKind::PopUp}, {kChooser, DGItemKind::UserControl}});
    id = dialog.DoModeless();
    FontName.clear();
  }
  ~DGPopUpHelpersTest() override
  {
    DGModelessClose(id);
    FontName.clear();
  }

  // The pop-up's entries as (text, user data).
  std::vector<Entry> Entries() const
  {
    std::vector<Entry> entries;
    for (const auto& entry : pln::host::DialogItemState(id, kPopUp)->entries)
      entries.emplace_back(entry.text, entry.userData);
    return entries;
  }
  short Selected() const { return DGPopUpGetSelected(id, kPopUp); }

  Dialog dialog;
  short id = 0;
};

TEST_F(DGPopUpHelpersTest, EntriesAreFoundByTheirUserDataAndSelectionFallsBackAsEachVariantSays)
{
  // An empty pop-up: nothing found, nothing selected.
  EXPECT_EQ(CDGDlgCore::PopUpSearchIndex(id, kPopUp, 0), 0);
  int data = 42;
  CDGDlgCore::PopUpSelectItemUserDataNew(id, kPopUp, &data);
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(data, 0);
  EXPECT_EQ(CDGDlgCore::FontGetSelectedName(id, kPopUp), GS::UniString());

  CDGDlgCore::PopUpInsert(id, kPopUp, GS::UniString(u"一"), 3);
  CDGDlgCore::PopUpInsert(id, kPopUp, GS::UniString(u"二"), 0);
  CDGDlgCore::PopUpInsert(id, kPopUp, GS::UniString(u"三"), 8);
  CDGDlgCore::PopUpInsert(id, kPopUp, GS::UniString(u"四"), 3);
  CDGDlgCore::PopUpInsert(id, kPopUp, GS::UniString(u"五"), -5);
  EXPECT_EQ(Entries(), (std::vector<Entry>{{u"一", 3}, {u"二", 0}, {u"三", 8}, {u"四", 3}, {u"五", -5}}));
  EXPECT_EQ(CDGDlgCore::PopUpSearchIndex(id, kPopUp, 3), 1);  // the first of two
  EXPECT_EQ(CDGDlgCore::PopUpSearchIndex(id, kPopUp, -5), 5);
  EXPECT_EQ(CDGDlgCore::PopUpSearchIndex(id, kPopUp, 7), 0);

  CDGDlgCore::PopUpSelectItemUserData(id, kPopUp, 8);
  EXPECT_EQ(Selected(), 3);
  EXPECT_EQ(CDGDlgCore::PopUpSelectedUserData(id, kPopUp), 8);
  CDGDlgCore::PopUpSelectItemUserData(id, kPopUp, 99);
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(CDGDlgCore::PopUpSelectedUserData(id, kPopUp), 0);

  CDGDlgCore::PopUpSelectItemUserData2(id, kPopUp, -5);
  EXPECT_EQ(Selected(), 5);
  CDGDlgCore::PopUpSelectItemUserData2(id, kPopUp, 99);
  EXPECT_EQ(Selected(), 2);  // the entry whose user data is 0

  data = 8;
  CDGDlgCore::PopUpSelectItemUserDataNew(id, kPopUp, &data);
  EXPECT_EQ(Selected(), 3);
  EXPECT_EQ(data, 8);
  data = 99;
  CDGDlgCore::PopUpSelectItemUserDataNew(id, kPopUp, &data);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(data, 3);  // entry 1's user data
}

// A font that cannot be read (here a deleted one) must not become an entry
// with an empty name; the fonts after it are still offered.
TEST_F(DGPopUpHelpersTest, FontPopUpSkipsAFontThatCannotBeRead)
{
  Int32 before = 0;
  ACAPI_Attribute_GetNum(API_FontID, &before);
  const Int32 mincho = host.AddFont(GS::UniString(u"ＭＳ 明朝"));
  const Int32 deleted = host.AddFont(GS::UniString(u"消える書体"));
  const Int32 arial = host.AddFont(GS::UniString(u"Arial"));
  ASSERT_EQ(pln::host::DeleteAttribute(API_FontID, deleted), NoError);

  CDGDlgCore::SetUserControlFont(id, kPopUp);
  ASSERT_EQ(FontName.size(), static_cast<std::size_t>(before + 2));
  const std::vector<Entry> entries = Entries();
  ASSERT_EQ(entries.size(), FontName.size());
  for (const auto& [text, data] : entries)
    EXPECT_FALSE(text.IsEmpty());
  EXPECT_EQ(std::vector<Entry>(entries.end() - 2, entries.end()),
            (std::vector<Entry>{{u"ＭＳ 明朝", mincho}, {u"Arial", arial}}));

  CDGDlgCore::FontSelectItem(id, kPopUp, GS::UniString(u"ＭＳ 明朝"));
  EXPECT_EQ(CDGDlgCore::PopUpSelectedUserData(id, kPopUp), mincho);
  EXPECT_EQ(CDGDlgCore::FontGetSelectedName(id, kPopUp), GS::UniString(u"ＭＳ 明朝"));
}

TEST_F(DGPopUpHelpersTest, FontListIsReadOnceForTheWholeProcess)
{
  host.AddFont(GS::UniString(u"Courier"));
  CDGDlgCore::SetUserControlFont(id, kPopUp);
  const std::size_t cached = FontName.size();
  host.AddFont(GS::UniString(u"Later"));
  host.ClearCallLog();
  DGPopUpDeleteItem(id, kPopUp, DG_ALL_ITEMS);
  CDGDlgCore::SetUserControlFont(id, kPopUp);
  EXPECT_EQ(Calls("ACAPI_Attribute_GetNum"), 0);
  ASSERT_EQ(Entries().size(), cached);
  EXPECT_EQ(Entries().back().first, GS::UniString(u"Courier"));
}

TEST_F(DGPopUpHelpersTest, ChoosersAreTheHostsUserControlKinds)
{
  struct Case {
    GSErrCode (*make)(short, short);
    API_UserControlType type;
  };
  const Case cases[] = {
      {CDGDlgCore::SetUserControlPen, API_UserControlType(0)},
      {CDGDlgCore::SetUserControlPenWithNull, API_UserControlType(1)},
      {CDGDlgCore::SetUserControlWallComposites, API_UserControlType(8)},
      {CDGDlgCore::SetUserControlCompFill, API_UserControlType(15)},
      {CDGDlgCore::SetUserControlMaterial, API_UserControlType(17)},
      {CDGDlgCore::SetUserControlLayer, API_UserControlType(18)},
      {CDGDlgCore::SetUserControlLineType, API_UserControlType(21)},
      {CDGDlgCore::SetUserControlBuildingMaterial, API_UserControlType(28)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.make(id, kChooser), NoError);
    EXPECT_EQ(pln::host::UserControlOf(id, kChooser), c.type);
  }
  EXPECT_EQ(CDGDlgCore::SetUserControlFill(id, kChooser, API_UserControlType(2)), NoError);
  EXPECT_EQ(pln::host::UserControlOf(id, kChooser), API_UserControlType(2));

  host.FailOnce("ACAPI_Interface:SUCC", APIERR_BADPARS);
  EXPECT_EQ(CDGDlgCore::SetUserControlLayer(id, kChooser), APIERR_BADPARS);
}

}  // namespace
