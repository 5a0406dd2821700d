#pragma once
// The calculation-tree page's test fixture. Project: pattern "計算" with
// 建物 { 居室, 共用 { 廊下, 階段 } }; 居室 lists a 6 x 4.5 m rectangle on 1F
// and a 2 x 3 m one on 2F.

#include "ShellTestSupport.h"

#include "CArea2Object.h"
#include "CAutoAreaParam.h"
#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea2.h"
#include "CDlgEditArea4.h"
#include "CDlgEditAreaListItem.h"
#include "CDlgEditCr.h"
#include "CDlgEditTreeShowItem.h"
#include "CPlenimetraFunc2.h"
#include "host_alert.h"
#include "host_selection.h"

class TreePageTest : public ShellTest {
protected:
  using DialogUser = pln::host::DialogUser;
  using Page = CPlenimetraFunc2;

  // open false leaves the page closed for a fixture that adds to the plan
  // first; it calls OpenTreePage then.
  explicit TreePageTest(bool open = true)
  {
    host.DefineDialog(CDlgCreateTreeItem::ResourceId, CDlgCreateTreeItem::Layout());
    host.DefineDialog(CDlgEditArea2::ResourceId, CDlgEditArea2::Layout());
    host.DefineDialog(CDlgEditArea4::ResourceId, CDlgEditArea4::Layout());
    host.DefineDialog(CDlgEditTreeShowItem::ResourceId, CDlgEditTreeShowItem::Layout());
    host.DefineDialog(CDlgEditAreaListItem::ResourceId, CDlgEditAreaListItem::Layout());
    host.DefineDialog(CDlgEditCr2::ResourceId, CDlgEditCr2::Layout());
    host.DefineDialog(CDlgEditCr4::ResourceId, CDlgEditCr4::Layout());
    EXPECT_EQ(Menu(), NoError);
    BuildPattern();
    if (open)
      OpenTreePage();
  }
  void OpenTreePage()
  {
    user().Click(12);
    pageId = pln::host::OpenDialogId(Page::ResourceId);
  }

  // The pattern of the scenario; 居室 lists a 6 x 4.5 m rectangle on 1F
  // and a 2 x 3 m one on 2F.
  void BuildPattern()
  {
    CPlenimetraParam& d = doc();
    CAreaTree* pattern = d.GetTree();
    ASSERT_NE(pattern, nullptr);
    d.GetAreaObject(pattern->m_AreaCode)->m_Name.m_DefaultName = u"計算";
    pattern->m_Child.clear();
    const CRoundTypeItem cut2(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    building = Add(u"建物", pattern->m_AreaCode, CAreaTree::KIND_FOLDER);
    room = Add(u"居室", building, CAreaTree::KIND_ELEMENT_FORMULA);
    shared = Add(u"共用", building, CAreaTree::KIND_FOLDER);
    corridor = Add(u"廊下", shared, CAreaTree::KIND_ELEMENT_FORMULA);
    stairs = Add(u"階段", shared, CAreaTree::KIND_ELEMENT_FORMULA);
    List(room, 0, PlaceRect(0, 0, 0, 6, 4.5));
    List(room, 1, PlaceRect(1, 0, 0, 2, 3));
    ASSERT_TRUE(d.GetTree()->SetItemNo(&d));
    ASSERT_EQ(d.SaveData(), NoError);
  }
  int Add(const char16_t* name, int parent, int kind)
  {
    const int code = ++doc().m_LastAreaCode;
    EXPECT_TRUE(doc().GetTree()->Insert(&doc(), name, code, parent, kind, {CRoundTypeTable::ROUNDTYPE_CUT, 2},
                                        {CRoundTypeTable::ROUNDTYPE_CUT, 2}));
    return kind == CAreaTree::KIND_FOLDER ? code : -code;
  }
  CArea2Object& Element(int code) { return dynamic_cast<CArea2Object&>(*doc().GetAreaObject(code)); }
  void List(int code, short story, const std::shared_ptr<CArea1Object>& figure)
  {
    CArea2ObjectFloor* record = Element(code).m_FloorArray.SearchFloor(story);
    record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
    record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
  }

  Page& page() { return dynamic_cast<Page&>(*palette().m_Pages[CPlenimetraPalette::kTree]); }
  DialogUser pageUser() { return DialogUser(pageId); }
  const pln::host::DGItemState& State(short item) { return *pln::host::DialogItemState(pageId, item); }
  // Tree items in view order with their labels.
  std::vector<Int32> TreeItems()
  {
    CSelectList ids;
    page().SetTreeID(pageId, DG_TVI_ROOT, ids);
    return {ids.begin(), ids.end()};
  }
  Int32 TreeItemOf(int code)
  {
    for (Int32 item : TreeItems())
      if (page().NodeOf(pageId, item)->m_AreaCode == code)
        return item;
    return 0;
  }
  GS::UniString Label(int code) { return DGTreeViewGetItemText(pageId, Page::ITEM_TREE, TreeItemOf(code)); }
  void Select(std::vector<int> codes)
  {
    std::vector<Int32> items;
    for (int code : codes)
      items.push_back(TreeItemOf(code));
    pageUser().SelectTreeItems(Page::ITEM_TREE, items);
  }
  std::vector<GS::UniString> Names()
  {
    std::vector<GS::UniString> names;
    for (Int32 item : TreeItems())
      names.push_back(doc().GetAreaObject(page().NodeOf(pageId, item)->m_AreaCode)->m_Name.m_DefaultName);
    return names;
  }
  std::vector<GS::UniString> Headers()
  {
    std::vector<GS::UniString> headers;
    for (short h = 1; h <= DGListGetHeaderItemCount(pageId, Page::ITEM_AREA_LIST); ++h)
      headers.push_back(DGListGetHeaderItemText(pageId, Page::ITEM_AREA_LIST, h));
    return headers;
  }
  static void Choose(DialogUser& u, short item, const char16_t* text)
  {
    const auto& entries = pln::host::DialogItemState(u.DialogId(), item)->entries;
    for (std::size_t e = 0; e < entries.size(); ++e)
      if (entries[e].text == GS::UniString(text))
        u.SelectPopUp(item, static_cast<short>(e + 1));
  }
  // 共用's line breaks set by hand to 廊下+階段 through the page's dialog.
  void BreakSharedByHand()
  {
    Select({shared});
    pln::host::QueueDialogScript(CDlgEditCr4::ResourceId, [](DialogUser& u) {
      u.SetLong(5, 1);
      u.SetText(6, u"廊下+階段");
      u.Click(1);
    });
    pageUser().Click(Page::ITEM_EDIT_CR);
  }
  // The insert dialog answered with a 倉庫 element and its own roundings.
  static void QueueStorehouseInsert()
  {
    pln::host::QueueDialogScript(CDlgCreateTreeItem::ResourceId, [](DialogUser& u) {
      u.SetLong(CDlgCreateTreeItem::ITEM_ELEMENT, 1);
      u.SetText(CDlgCreateTreeItem::ITEM_NAME, u"倉庫");
      Choose(u, CDlgCreateTreeItem::ITEM_TYPE1, u"切り捨て");
      Choose(u, CDlgCreateTreeItem::ITEM_DIGIT1, u"小数点第2位");
      Choose(u, CDlgCreateTreeItem::ITEM_TYPE2, u"四捨五入");
      Choose(u, CDlgCreateTreeItem::ITEM_DIGIT2, u"小数点第1位");
      u.Click(1);
    });
  }
  double Pen(const CArea1Object& figure, const char* name)
  {
    const pln::host::StoredParam* param = host.Parameter(figure.m_Element.header.guid, name);
    return param != nullptr ? param->record.realValue : -1.0;
  }
  // The 1-based entry of the page's pop-up with this text.
  short Entry(short item, const char16_t* text)
  {
    const auto& entries = State(item).entries;
    for (std::size_t e = 0; e < entries.size(); ++e)
      if (entries[e].text == GS::UniString(text))
        return static_cast<short>(e + 1);
    ADD_FAILURE() << "no entry";
    return 0;
  }
  std::vector<GS::UniString> NewAlerts()
  {
    std::vector<GS::UniString> texts;
    for (std::size_t a = alertsSeen; a < pln::host::Alerts().size(); ++a)
      texts.push_back(pln::host::Alerts()[a].largeText);
    alertsSeen = pln::host::Alerts().size();
    return texts;
  }

  short pageId = 0;
  int building = 0, room = 0, shared = 0, corridor = 0, stairs = 0;
  std::size_t alertsSeen = 0;
};
