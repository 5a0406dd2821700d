// CDGDlgCore's helpers for pop-ups, font pop-ups and the host's attribute
// choosers.

#include "CDGDlgCore.h"
#include "CGSUtil.h"
#include "DGPopUpHelpers.h"
#include "host_attributes.h"

#include <algorithm>
#include <limits>

CStoreFontListArray FontName;

namespace {

GSErrCode MakeChooser(short dialId, short item, API_UserControlType type)
{
  API_UserControlInfo info;
  info.dialogID = dialId;
  info.itemID = item;
  info.type = type;
  return ACAPI_Interface('SUCC', &info);
}

// Reads every font attribute once. A font that cannot be read (a deleted
// index among them) gets no entry: an entry with an empty name would offer
// a font that does not exist. The fonts after it are still read.
void ReadFonts()
{
  Int32 count = 0;
  if (ACAPI_Attribute_GetNum(API_FontID, &count) != NoError || count < 1)
    return;
  const Int32 last = std::min<Int32>(count, std::numeric_limits<short>::max());
  for (Int32 index = 1; index <= last; ++index) {
    API_Attribute font;
    font.header.typeID = API_FontID;
    font.header.index = index;
    if (ACAPI_Attribute_Get(&font) != NoError)
      continue;
    FontName.push_back({font.header.name.ToStdString(CC_UTF8), static_cast<short>(index)});
  }
}

}  // namespace

GSErrCode CDGDlgCore::SetUserControlPen(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_Pen);
}

GSErrCode CDGDlgCore::SetUserControlPenWithNull(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_PenWithNull);
}

GSErrCode CDGDlgCore::SetUserControlWallComposites(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_WallComposites);
}

GSErrCode CDGDlgCore::SetUserControlCompFill(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_CompositeFill);
}

GSErrCode CDGDlgCore::SetUserControlMaterial(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_Material);
}

GSErrCode CDGDlgCore::SetUserControlLayer(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_Layer);
}

GSErrCode CDGDlgCore::SetUserControlLineType(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_LineType);
}

GSErrCode CDGDlgCore::SetUserControlBuildingMaterial(short dialId, short item)
{
  return MakeChooser(dialId, item, APIUserControlType_BuildingMaterial);
}

GSErrCode CDGDlgCore::SetUserControlFill(short dialId, short item, API_UserControlType type)
{
  return MakeChooser(dialId, item, type);
}

void CDGDlgCore::SetUserControlFont(short dialId, short item)
{
  if (FontName.empty())
    ReadFonts();
  for (const CStoreFontList& font : FontName)
    PopUpInsert(dialId, item, GS::UniString(font.name.c_str(), CC_UTF8), font.index);
}

void CDGDlgCore::FontSelectItem(short dialId, short item, const GS::UniString& name)
{
  const Int32 index = CGSUtil::GSSearchAttribute(API_FontID, reinterpret_cast<const unsigned short*>(name.ToUStr()));
  PopUpSelectItemUserData(dialId, item, index);
}

GS::UniString CDGDlgCore::FontGetSelectedName(short dialId, short item)
{
  const short entry = DGPopUpGetSelected(dialId, item);
  return entry < 1 ? GS::UniString() : DGPopUpGetItemText(dialId, item, entry);
}

void CDGDlgCore::PopUpInsert(short dialId, short item, const GS::UniString& text, long long data)
{
  DGPopUpInsertItem(dialId, item, DG_LIST_BOTTOM);
  const short entry = DGPopUpGetItemCount(dialId, item);
  DGPopUpSetItemText(dialId, item, entry, text);
  DGPopUpSetItemUserData(dialId, item, entry, data);
}

short CDGDlgCore::PopUpSearchIndex(short dialId, short item, long long data)
{
  const short count = DGPopUpGetItemCount(dialId, item);
  for (short entry = 1; entry <= count; ++entry) {
    if (DGPopUpGetItemUserData(dialId, item, entry) == data)
      return entry;
  }
  return 0;
}

void CDGDlgCore::PopUpSelectItemUserData(short dialId, short item, long long data)
{
  DGPopUpSelectItem(dialId, item, PopUpSearchIndex(dialId, item, data));
}

void CDGDlgCore::PopUpSelectItemUserData2(short dialId, short item, long long data)
{
  short entry = PopUpSearchIndex(dialId, item, data);
  if (entry == 0)
    entry = PopUpSearchIndex(dialId, item, 0);
  DGPopUpSelectItem(dialId, item, entry);
}

// An empty pop-up has no entry 1 to fall back to: nothing is selected and
// *data becomes 0, what a pop-up without a selection reports.
void CDGDlgCore::PopUpSelectItemUserDataNew(short dialId, short item, int* data)
{
  const short entry = PopUpSearchIndex(dialId, item, *data);
  if (entry != 0) {
    DGPopUpSelectItem(dialId, item, entry);
    return;
  }
  if (DGPopUpGetItemCount(dialId, item) == 0) {
    *data = 0;
    return;
  }
  DGPopUpSelectItem(dialId, item, 1);
  *data = static_cast<int>(DGPopUpGetItemUserData(dialId, item, 1));
}

long long CDGDlgCore::PopUpSelectedUserData(short dialId, short item)
{
  const short entry = DGPopUpGetSelected(dialId, item);
  return entry < 1 ? 0 : DGPopUpGetItemUserData(dialId, item, entry);
}
