// The add-on's resource file: string lists, the menu, the dialog layouts
// (each declared beside its class) and the teamwork icons.

#include "CDlgFloorCopy.h"
#include "CDlgSelectTree.h"
#include "CDlgSettingFloor.h"
#include "CDlgAutoAreaCreate.h"
#include "CDlgAutoAreaRelease.h"
#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea2.h"
#include "CDlgEditArea2Target.h"
#include "CDlgEditArea4.h"
#include "CDlgEditAreaListItem.h"
#include "CDlgEditCr.h"
#include "CDlgEditName.h"
#include "CDlgEditTreeShowItem.h"
#include "CDlgEnvironment.h"
#include "CDlgEnvironmentTab1.h"
#include "CDlgEnvironmentTab12.h"
#include "CDlgEnvironmentTab2.h"
#include "CDlgEnvironmentTab3.h"
#include "CDlgEnvironmentTab5.h"
#include "CDlgEnvironmentTab8.h"
#include "CDlgEnvironmentTab9.h"
#include "CDlgEnvironmentTabTree.h"
#include "CDlgOutputToWorksheet.h"
#include "CDlgRenumbering.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraFunc1.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraPalette.h"
#include "PlenimetraEntry.h"

namespace {

struct LayoutEntry {
  short resId;
  pln::host::DGDialogDef (*layout)();
};

// Every dialog of the add-on: {resource id, layout}.
const LayoutEntry kLayouts[] = {
    {CPlenimetraPalette::ResourceId, CPlenimetraPalette::Layout},
    {CDlgSelectTree::ResourceId, CDlgSelectTree::Layout},
    {CDlgFloorCopy::ResourceId, CDlgFloorCopy::Layout},
    {CDlgSettingFloor::ResourceId, CDlgSettingFloor::Layout},
    {CDlgEnvironment::ResourceId, CDlgEnvironment::Layout},
    {CDlgEnvironmentTab1::ResourceId, CDlgEnvironmentTab1::Layout},
    {CDlgEnvironmentTab2::ResourceId, CDlgEnvironmentTab2::Layout},
    {CDlgEnvironmentTabTree::ResourceId, CDlgEnvironmentTabTree::Layout},
    {CDlgEnvironmentTab3::ResourceId, CDlgEnvironmentTab3::Layout},
    {CDlgEnvironmentTab5::ResourceId, CDlgEnvironmentTab5::Layout},
    {CDlgEnvironmentTab8::ResourceId, CDlgEnvironmentTab8::Layout},
    {CDlgEnvironmentTab9::ResourceId, CDlgEnvironmentTab9::Layout},
    {CDlgEnvironmentTab12::ResourceId, CDlgEnvironmentTab12::Layout},
    {CDlgEditName::ResourceId, CDlgEditName::Layout},
    {CDlgCreateTreeItem::ResourceId, CDlgCreateTreeItem::Layout},
    {CDlgEditArea2::ResourceId, CDlgEditArea2::Layout},
    {CDlgEditArea4::ResourceId, CDlgEditArea4::Layout},
    {CDlgEditAreaListItem::ResourceId, CDlgEditAreaListItem::Layout},
    {CDlgEditArea2Target::ResourceId, CDlgEditArea2Target::Layout},
    {CDlgEditTreeShowItem::ResourceId, CDlgEditTreeShowItem::Layout},
    // CDlgEditCr2 shares the layout of CDlgEditCr1.
    {CDlgEditCr1::ResourceId, CDlgEditCr1::Layout},
    {CDlgEditCr4::ResourceId, CDlgEditCr4::Layout},
    {CDlgRenumbering::ResourceId, CDlgRenumbering::Layout},
    {CDlgAutoAreaCreate::ResourceId, CDlgAutoAreaCreate::Layout},
    {CDlgAutoAreaRelease::ResourceId, CDlgAutoAreaRelease::Layout},
    {CDlgOutputToWorksheet::ResourceId, CDlgOutputToWorksheet::Layout},
    {CPlenimetraFunc3::ResourceId, CPlenimetraFunc3::Layout},
    {CPlenimetraFunc1::ResourceId, CPlenimetraFunc1::Layout},
    {CPlenimetraFunc2::ResourceId, CPlenimetraFunc2::Layout},
};

}  // namespace

pln::host::AddOnResources PlenimetraResources()
{
  pln::host::AddOnResources resources;
  resources.stringLists = {
      {32000, {GS::UniString(u"メンセラ"), GS::UniString(u"建築確認申請の面積求積図と求積表を作成します")}},
      {128, {GS::UniString(u"メンセラを閉じる"), GS::UniString(u"メンセラ")}},
      {32500, {GS::UniString(u"メンセラ"), GS::UniString(u"メンセラ")}},
      {32520, {GS::UniString(u"メンセラ"), GS::UniString(u"メンセラのパレットを開閉します")}},
  };
  for (const LayoutEntry& entry : kLayouts)
    resources.dialogs.push_back({entry.resId, entry.layout()});
  resources.icons = {2701, 2702};
  return resources;
}
