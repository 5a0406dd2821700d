// The settings pages one by one: rounding tables, general options, common
// attributes, area-table and total-area styles, and the figure-style pages
// with their choice tables.

#include "EnvDialogTestSupport.h"

#include "CEnvChoiceArray.h"
#include "DGPopUpHelpers.h"
#include "host_charcodes.h"

using namespace envtest;

namespace {

const GS::UniString kCustom(u"カスタム");

// ---- name dialog ---------------------------------------------------------------

TEST_F(EnvDialogTest, TheNameDialogRefusesEmptyAndUsedNamesOnly)
{
  struct Row {
    const char16_t* typed;
    bool accepted;
    const char16_t* alert;
  };
  const Row rows[] = {
      {u"", false, u"名前を入力してください"},
      {u"計算", false, u"この名前は既に使用されています。"},
      {u"  ", true, nullptr},
      {u"ａｂｃ", true, nullptr},  // full width of a used "abc"
      {u"ABC", true, nullptr},    // upper case of a used "abc"
      {u"計算 ", true, nullptr},   // a trailing blank counts
  };
  for (const Row& row : rows) {
    CDlgEditName dialog;
    dialog.m_Name = u"preset";
    dialog.m_NameArray = {u"計算", u"abc"};
    const auto alerts = host.Alerts().size();
    host.QueueDialogScript(CDlgEditName::ResourceId, [&](DialogUser& user) {
      EXPECT_EQ(TextOf(user, 5), GS::UniString(u"preset"));
      user.SetText(5, row.typed);
      user.Click(1);
      if (user.IsOpen()) {
        EXPECT_EQ(TextOf(user, 5), GS::UniString(row.typed));  // kept for correction
      }
    });
    EXPECT_EQ(dialog.DoModal(), row.accepted ? 1 : 2);
    if (row.accepted) {
      EXPECT_EQ(dialog.m_Name, GS::UniString(row.typed));
      EXPECT_EQ(host.Alerts().size(), alerts);
    } else {
      ASSERT_EQ(host.Alerts().size(), alerts + 1);
      EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(row.alert));
      EXPECT_EQ(host.Alerts().back().buttons[0], GS::UniString(u"Ok"));
    }
  }
}

// ---- rounding tables -------------------------------------------------------------

TEST_F(EnvDialogTest, RoundingTablesAreInsertedRenamedAndDeletedWithIdsNeverReused)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [this](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kRounding);
    CRoundTypeParamArray& tables = dlg.m_EnvParam.m_RoundTypeParamArray;
    EXPECT_FALSE(Enabled(tab, 3));  // one table left

    QueueName(u"設計用");
    tab.Click(1);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[1].m_Id, 1);
    EXPECT_TRUE(tables[1] == CRoundTypeParam(1, u"設計用"));
    EXPECT_EQ(PopUpText(tab, 4), GS::UniString(u"設計用"));
    EXPECT_EQ(Indicator(user), kCustom);

    const auto alerts = host.Alerts().size();
    QueueName(u"標準設定");
    tab.Click(2);
    QueueName(u"");
    tab.Click(2);
    QueueName(u"設計用");
    tab.Click(2);
    ASSERT_EQ(host.Alerts().size(), alerts + 2);
    EXPECT_EQ(host.Alerts()[alerts].largeText, GS::UniString(u"この名前は既に使用されています。"));
    EXPECT_EQ(host.Alerts()[alerts + 1].largeText, GS::UniString(u"名前を入力してください"));
    EXPECT_EQ(tables[1].m_Name, GS::UniString(u"設計用"));
    EXPECT_EQ(PopUpText(tab, 4), GS::UniString(u"設計用"));

    tab.SelectPopUp(4, 1);
    tab.Click(3);
    EXPECT_EQ(host.Alerts().back().largeText,
              GS::UniString(u"選択した端数処理テーブルは使用中です\n削除することができません"));
    EXPECT_EQ(tables.size(), 2u);

    tab.SelectPopUp(4, 2);
    tab.Click(3);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(PopUpText(tab, 4), GS::UniString(u"標準設定"));  // the new last entry
    QueueName(u"設計用");
    tab.Click(1);
    EXPECT_EQ(tables.back().m_Id, 2);
  });
}

TEST_F(EnvDialogTest, RoundingTableControlsWriteTheSelectedTable)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [this](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kRounding);
    QueueName(u"B");
    tab.Click(1);
    tab.SelectPopUp(6, EntryOf(tab, 6, u"四捨五入"));
    tab.SelectPopUp(10, EntryOf(tab, 10, u"小数点第4位"));
    tab.SelectPopUp(13, EntryOf(tab, 13, u"小数点第0位"));
    tab.SelectPopUp(15, EntryOf(tab, 15, u"切り上げ"));
    tab.SelectPopUp(16, EntryOf(tab, 16, u"1mm単位"));
    tab.SelectPopUp(19, EntryOf(tab, 19, u"3.14159"));
    tab.Check(20, false);
    const CRoundTypeParam expected(1, u"B", {CRoundTypeTable::ROUNDTYPE_HALFUP, 6}, {CRoundTypeTable::ROUNDTYPE_CUT, 4},
                                   {CRoundTypeTable::ROUNDTYPE_CUT, 0}, {CRoundTypeTable::ROUNDTYPE_UP, 3}, 4);
    CRoundTypeParam edited = dlg.m_EnvParam.m_RoundTypeParamArray[1];
    EXPECT_FALSE(edited.m_RoundUpNextDigit);
    edited.m_RoundUpNextDigit = true;
    EXPECT_TRUE(edited == expected);
    EXPECT_TRUE(dlg.m_EnvParam.m_RoundTypeParamArray[0] == CRoundTypeParamArray()[0]);
  });
}

TEST_F(EnvDialogTest, WithoutASelectedTableOnlyInsertIsEnabled)
{
  doc.m_EnvParam.m_RoundTypeParamArray[0].m_Id = 5;  // no table with id 0: nothing selected
  doc.m_EnvParam.m_RoundTypeParamArray.AddNew(u"B");
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kRounding);
    EXPECT_EQ(ItemOf(tab, 4).selectedEntry, 0);
    EXPECT_TRUE(Enabled(tab, 1));
    for (short item : {2, 3, 6, 7, 9, 10, 12, 13, 15, 16, 18, 19, 20})
      EXPECT_FALSE(Enabled(tab, item)) << item;
    const CEnvParam before = dlg.m_EnvParam;
    tab.Click(3);
    tab.Check(20, false);
    EXPECT_TRUE(dlg.m_EnvParam == before);
  });
}

// ---- general options ----------------------------------------------------------------

TEST_F(EnvDialogTest, GeneralOptionsAreStoredAsChanged)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kGeneral);
    EXPECT_FALSE(Enabled(tab, 10));
    EXPECT_EQ(PopUpTexts(tab, 17), (std::vector<GS::UniString>{u"処理しない", u"0.01mm未満を0とする",
                                                              u"0.1mm未満を0とする", u"1mm未満を0とする"}));
    tab.SetLong(3, 1);
    EXPECT_TRUE(dlg.m_EnvParam.m_NumberFillGaps);
    tab.SetLong(2, 1);
    EXPECT_FALSE(dlg.m_EnvParam.m_NumberFillGaps);
    tab.SelectPopUp(17, EntryOf(tab, 17, u"1mm未満を0とする"));
    EXPECT_EQ(dlg.m_EnvParam.m_SnapType, 3);
    tab.SetDouble(15, 0.3);
    EXPECT_EQ(dlg.m_EnvParam.m_TuboFactor, 0.3);
    for (short item : {4, 5, 6, 7}) {
      tab.Check(item, item % 2 == 0);
    }
    EXPECT_TRUE(dlg.m_EnvParam.m_LengthComma);
    EXPECT_FALSE(dlg.m_EnvParam.m_AreaComma);
    EXPECT_TRUE(dlg.m_EnvParam.m_BlankDecimals);
    EXPECT_FALSE(dlg.m_EnvParam.m_LengthTenthDigit);
  });
}

// ---- figure styles ---------------------------------------------------------------------

TEST(EnvChoiceTableTest, EveryChoiceTableMapsItsTextsToTheirCodesBothWays)
{
  using Entries = std::vector<std::pair<const char16_t*, int>>;
  const Entries forms{{u"ﾀｲﾌﾟ1", 0}, {u"ﾀｲﾌﾟ2", 1}, {u"なし", 2}};
  const Entries marks{{u"×", 0}, {u"／", 1}, {u"＼", 2}, {u"なし", 3}};
  const Entries places{{u"左", 1}, {u"中", 2}, {u"右", 3}};
  const std::pair<CEnvChoiceArray, Entries> tables[] = {
      {CTriangleAreaPerlineFormArray(), forms}, {CTrapezoidPerlineFormArray(), forms},
      {CTriangleAreaInTypeArray(), marks},      {CRectAreaInTypeArray(), marks},
      {CTrapezoidAreaInTypeArray(), marks},     {CTrapezoidPerlineTypeArray(), places}};
  for (const auto& [table, entries] : tables) {
    ASSERT_EQ(table.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(table[i].m_Text, GS::UniString(entries[i].first));
      EXPECT_EQ(table[i].m_Code, entries[i].second);
      EXPECT_EQ(table.SearchText(entries[i].first)->m_Code, entries[i].second);
      EXPECT_EQ(table.SearchCode(entries[i].second)->m_Text, GS::UniString(entries[i].first));
    }
    EXPECT_EQ(table.SearchText(u"X"), nullptr);
    EXPECT_EQ(table.SearchCode(9), nullptr);
  }
}

TEST_F(EnvDialogTest, FigureStylesStoreChoiceTextsCodesAndPairedPens)
{
  doc.m_EnvParam.m_RectAttr.m_area_in_type = u"◎";  // written elsewhere: matches no choice
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kPolygons);
    EXPECT_EQ(ItemOf(tab, 23).selectedEntry, 0);
    tab.SelectPopUp(3, EntryOf(tab, 3, u"なし"));
    tab.SelectPopUp(42, EntryOf(tab, 42, u"なし"));
    tab.SelectPopUp(44, EntryOf(tab, 44, u"右"));
    EXPECT_EQ(dlg.m_EnvParam.m_TriangleAttr.m_area_in_type, GS::UniString(u"なし"));
    EXPECT_EQ(dlg.m_EnvParam.m_TrapezoidAttr.m_area_perline_form, GS::UniString(u"なし"));
    EXPECT_EQ(dlg.m_EnvParam.m_TrapezoidAttr.m_area_perline_type, 3);
    EXPECT_EQ(dlg.m_EnvParam.m_RectAttr.m_area_in_type, GS::UniString(u"◎"));
    tab.SelectPopUp(23, EntryOf(tab, 23, u"＼"));
    EXPECT_EQ(dlg.m_EnvParam.m_RectAttr.m_area_in_type, GS::UniString(u"＼"));

    // A typed pen and a tracked one end in the same field, shown by both.
    tab.SetLong(37, 12);
    EXPECT_EQ(dlg.m_EnvParam.m_TrapezoidAttr.m_area_in_pen, 12);
    EXPECT_EQ(ItemOf(tab, 38).valLong, 12);
    tab.Track(38, 14);
    EXPECT_EQ(dlg.m_EnvParam.m_TrapezoidAttr.m_area_in_pen, 14);
    EXPECT_EQ(ItemOf(tab, 37).valLong, 14);

    DialogUser curves = user.TabPage(kTabs, kCurves);
    curves.Track(45, 9);
    EXPECT_EQ(dlg.m_EnvParam.m_EllipseAttr.m_area_fan_pen, 9);
    EXPECT_EQ(ItemOf(curves, 44).valLong, 9);
    curves.SetLong(20, 11);
    EXPECT_EQ(dlg.m_EnvParam.m_ArcAttr.m_area_angle_pen, 11);
    EXPECT_EQ(ItemOf(curves, 21).valLong, 11);
    curves.SetLong(47, 3);
    EXPECT_EQ(dlg.m_EnvParam.m_EllipseAttr.m_area_fan_line, 3);
  });
}

// ---- common attributes ---------------------------------------------------------------------

TEST_F(EnvDialogTest, ChoosingAPairWithoutARowAddsADefaultRow)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kCommon);
    EXPECT_TRUE(dlg.m_EnvParam.m_AttributeCommonParamArray.empty());  // showing adds nothing
    EXPECT_EQ(PopUpTexts(tab, 4).back(), GS::UniString(u"I,II,III"));
    EXPECT_EQ(ItemOf(tab, 4).entries.back().userData, 3);
    tab.SelectPopUp(2, EntryOf(tab, 2, u"◇"));
    tab.SelectPopUp(4, EntryOf(tab, 4, u"I,II,III"));
    const auto& rows = dlg.m_EnvParam.m_AttributeCommonParamArray;
    ASSERT_EQ(rows.size(), 2u);  // (◇, 1,2,3) on the way, then (◇, I,II,III)
    EXPECT_TRUE(rows[1] == CAttributeCommonParam(CItemType1Table::ITEMTYPE_DIAMOND, CItemType2Table::ITEMTYPE_ROMAN));
    EXPECT_EQ(Indicator(user), kCustom);

    tab.SetLong(23, 0);  // the fill pens may be empty...
    tab.Track(27, 0);
    EXPECT_EQ(rows[1].m_FillPen, 0);
    EXPECT_EQ(rows[1].m_FillBackPen, 0);
    EXPECT_EQ(ItemOf(tab, 24).valLong, 0);
    tab.Track(8, 0);  // ...the symbol and contour pens not
    tab.SetLong(20, 0);
    EXPECT_EQ(rows[1].m_SymbolPen, 1);
    EXPECT_EQ(rows[1].m_ContPen, 1);
    tab.SetDouble(12, 0.75);
    tab.Check(28, true);
    EXPECT_EQ(rows[1].m_SymbolSize, 0.75);
    EXPECT_TRUE(dlg.m_EnvParam.m_FillPenOff);
  });
}

// ---- area tables ---------------------------------------------------------------------------

TEST_F(EnvDialogTest, AreaTableSizesAreCutTowardZeroAndTheChosenStyleAloneChanges)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kTables);
    tab.SetDouble(3, 12.9);
    tab.SetDouble(10, -3.7);
    EXPECT_EQ(dlg.m_EnvParam.m_ListAttr1.m_ColWidth1, 12);
    EXPECT_EQ(dlg.m_EnvParam.m_ListAttr1.m_RowHeight, -3);
    const CEnvParam before = dlg.m_EnvParam;
    tab.SelectPopUp(1, 2);
    EXPECT_TRUE(dlg.m_EnvParam == before);
    EXPECT_EQ(ItemOf(tab, 3).valDouble, 3.0);  // the element table's own width
    tab.SetLong(20, 7);
    EXPECT_EQ(dlg.m_EnvParam.m_ListAttr2.m_RowLimit, 7);
    EXPECT_EQ(dlg.m_EnvParam.m_ListAttr1.m_RowLimit, 100);
    tab.SelectPopUp(1, 4);
    for (short item : {19, 20, 21})
      EXPECT_FALSE(ItemOf(tab, item).visible) << item;
    tab.SelectPopUp(1, 3);
    for (short item : {19, 20, 21})
      EXPECT_TRUE(ItemOf(tab, item).visible) << item;
    tab.Track(35, 6);
    EXPECT_EQ(dlg.m_EnvParam.m_ListAttr3.m_MinusPen, 6);
    EXPECT_EQ(ItemOf(tab, 34).valLong, 6);
  });
}

TEST_F(EnvDialogTest, TotalAreaTableIntsAreStoredAsEntered)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser tab = user.TabPage(kTabs, kTotal);
    tab.SetLong(2, -4);
    tab.SetLong(4, 0);
    tab.SetLong(6, 123456);
    tab.SetLong(8, -1);
    tab.SetLong(10, 5);
    const CAttributeTotalAreaParam& style = dlg.m_EnvParam.m_TotalAreaParam;
    EXPECT_EQ(style.m_ColWidth, -4);
    EXPECT_EQ(style.m_RowHeight, 0);
    EXPECT_EQ(style.m_ColOffset, 123456);
    EXPECT_EQ(style.m_RowOffset, -1);
    EXPECT_EQ(style.m_LinePen, 5);
    EXPECT_EQ(ItemOf(tab, 11).valLong, 5);
  });
}

// The stored forms keep the area-table layer and the fonts by name, and
// the path of imported settings, in the default code. Under Shift-JIS a
// name or path it cannot hold is refused when chosen, naming the
// character, and the setting stays as it was; UTF-8 takes each.
TEST_F(EnvDialogTest, HostNamesAndPathsTheDefaultCodeCannotHoldAreRefusedWhenChosen)
{
  struct Choice {
    const char16_t* name;
    const char16_t* refusal;
  };
  const Choice layers[] = {
      {u"面積表€", u"使用できない文字「€」(U+20AC)が含まれています"},
      {u"面積−表", u"使用できない文字「−」(U+2212)が含まれています"},  // CP932 reads its byte back as another
      {u"面積¥", u"使用できない文字「¥」(U+00A5)が含まれています"},
  };
  const Choice font{u"Font€", u"使用できない文字「€」(U+20AC)が含まれています"};
  std::vector<short> indices;
  for (const Choice& layer : layers)
    indices.push_back(short(host.AddLayer(GS::UniString(layer.name))));
  host.AddFont(GS::UniString(font.name));
  FontName.clear();  // the pop-ups read the host's fonts once, and again after this
  CEnvParam imported;
  imported.m_TuboFactor = 0.5;

  for (const GSCharCode code : {CC_Japanese, CC_UTF8}) {
    pln::host::SetDefaultCharCode(code);
    const bool takes = code == CC_UTF8;
    if (takes) {  // the file's name goes through the default code too
      ASSERT_TRUE(imported.SaveData(PathOf("設定€.dat")));
    }
    const std::size_t alertsBefore = host.Alerts().size();
    std::vector<GS::UniString> refusals;
    CDlgEnvironment dialog(&doc);
    host.QueueFileChoice(IO::Location(PathOf("設定€.dat")));
    Run(dialog, [&](DialogUser& user, CDlgEnvironment& dlg) {
      DialogUser general = user.TabPage(kTabs, kGeneral);
      for (std::size_t i = 0; i < std::size(layers); ++i) {
        const short before = dlg.m_EnvParam.m_ListLayer;
        general.SetLong(13, indices[i]);
        const short kept = takes ? indices[i] : before;
        EXPECT_EQ(dlg.m_EnvParam.m_ListLayer, kept) << code << " " << i;
        EXPECT_EQ(ItemOf(general, 13).valLong, kept) << code << " " << i;
        refusals.push_back(layers[i].refusal);
      }
      DialogUser total = user.TabPage(kTabs, kTotal);
      const std::vector<GS::UniString> fonts = PopUpTexts(total, 16);
      const auto entry = std::find(fonts.begin(), fonts.end(), GS::UniString(font.name));
      ASSERT_NE(entry, fonts.end());
      const GS::UniString before = dlg.m_EnvParam.m_TotalAreaParam.m_Font;
      total.SelectPopUp(16, short(entry - fonts.begin() + 1));
      EXPECT_EQ(dlg.m_EnvParam.m_TotalAreaParam.m_Font, takes ? GS::UniString(font.name) : before) << code;
      EXPECT_EQ(PopUpText(total, 16), dlg.m_EnvParam.m_TotalAreaParam.m_Font) << code;
      refusals.push_back(font.refusal);
      user.Click(3);  // import
      EXPECT_EQ(TextOf(user, 5), takes ? PathOf("設定€.dat") : GS::UniString(kPath)) << code;
      EXPECT_EQ(dlg.m_EnvParam.m_TuboFactor == 0.5, takes) << code;
      refusals.push_back(u"使用できない文字「€」(U+20AC)が含まれています");
    });
    const std::vector<GS::UniString> alerts = AlertTexts();
    EXPECT_EQ(std::vector<GS::UniString>(alerts.begin() + std::ptrdiff_t(alertsBefore), alerts.end()),
              takes ? std::vector<GS::UniString>{} : refusals)
        << code;
  }
  FontName.clear();
}

}  // namespace
