// The add-on's resource file: string lists, the menu, the dialog layouts
// (each declared beside its class) and the teamwork icons.

#include "CDlgFloorCopy.h"
#include "CDlgSelectTree.h"
#include "CDlgSettingFloor.h"
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
