#include "CDGListItemParam.h"

#include "CGSArchive2.h"

#include <algorithm>
#include <cstdio>

namespace {

// Header items and edit items take only the size bits of the list's font;
// an edit item adds the row's style to them.
constexpr short kFontSizeBits = 0x0C;

// The list's tab pages keep their left edge and grow in both directions.
constexpr short kTabPageFixPoint = 1;
constexpr short kTabPageGrowBoth = 3;

// Header resize events: kind 1 while the user drags, kind 2 when done.
constexpr short kHeaderResizing = 1;
constexpr short kHeaderResizeEnded = 2;

short ClampToExtent(int position)
{
  return static_cast<short>(std::min(position, CDGListItemParamArray::kMaxListExtent));
}

}  // namespace

// ---------------------------------------------------------------------------
// One column

CDGListItemParamCore::CDGListItemParamCore(short dialId, short listItem, short width, const GS::UniString& header,
                                           short justification, short editItem, short extra)
    : m_DialogID(dialId),
      m_Width(width),
      m_Header(header),
      m_Justification(justification),
      m_EditItem(editItem),
      m_ListItem(listItem),
      m_Extra(extra)
{
}

void CDGListItemParamCore::Func(short /*row*/, short column, bool /*text*/)
{
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, DG_NO_ITEM);
}

bool CDGListItemParamCore::SetItemSize(short row, short column)
{
  short left = 0, top = 0, right = 0, bottom = 0;
  short rowLeft = 0, rowTop = 0, rowRight = 0, rowBottom = 0;
  if (!DGGetItemRect(m_DialogID, m_EditItem, &left, &top, &right, &bottom) ||
      !DGListGetItemRect(m_DialogID, m_ListItem, row, &rowLeft, &rowTop, &rowRight, &rowBottom))
    return false;
  const short font = static_cast<short>((DGGetItemFont(m_DialogID, m_ListItem) & kFontSizeBits) |
                                        DGListGetItemStyle(m_DialogID, m_ListItem, row));
  DGSetItemFont(m_DialogID, m_EditItem, font);
  const int begin = DGListGetTabFieldBeginPosition(m_DialogID, m_ListItem, column);
  const int end = DGListGetTabFieldEndPosition(m_DialogID, m_ListItem, column);
  // The item's edges land 1 pixel inside the cell's: left at begin + 1,
  // right at end - 1, top at the row's top + 1, bottom at its bottom - 1.
  const int hMove = begin - left + 1;
  const int vMove = rowTop - top + 1;
  const int hGrow = (left - begin + end) - right - 2;
  const int vGrow = (top - rowTop + rowBottom) - bottom - 2;
  DGMoveGrowItem(m_DialogID, m_EditItem, static_cast<short>(hMove), static_cast<short>(vMove),
                 static_cast<short>(hGrow), static_cast<short>(vGrow));
  return true;
}

// ---------------------------------------------------------------------------
// The columns of one list

void CDGListItemParamArray::InitializeList(bool allHeaders)
{
  for (const auto& column : *this) {
    if (column->HasEditItem())
      DGHideItem(m_DialogID, column->m_EditItem);
  }
  DGListSetHeaderItemCount(m_DialogID, m_ListItem, 0);
  DGListSetTabFieldCount(m_DialogID, m_ListItem, Count());
  SetTabFields();
  SetHeaders(allHeaders);
  for (short i = 1; i <= Count(); ++i) {
    const CDGListItemParamCore& column = *at(i - 1);
    if (column.HasEditItem())
      DGListSetDialItemOnTabField(m_DialogID, column.m_ListItem, i, column.m_EditItem);
  }
  DGSetTabPageFixPoint(m_DialogID, kTabPageFixPoint);
  DGSetTabPageGrowType(m_DialogID, kTabPageGrowBoth);
  const short headerFont = static_cast<short>(DGGetItemFont(m_DialogID, m_ListItem) & kFontSizeBits);
  for (short i = 1; i <= Count(); ++i)
    DGListSetHeaderItemFont(m_DialogID, m_ListItem, i, headerFont);
}

// Each column begins where the one before it ends.
void CDGListItemParamArray::SetTabFields()
{
  std::vector<DGTabFieldData> fields(size());
  int position = 0;
  for (std::size_t i = 0; i < size(); ++i) {
    fields[i].begin = ClampToExtent(position);
    position += (*this)[i]->m_Width;
    fields[i].end = ClampToExtent(position);
    fields[i].justification = (*this)[i]->m_Justification;
  }
  DGListSetTabData(m_DialogID, m_ListItem, Count(), fields.data());
}

// A titled header becomes a button; the blank last one keeps its flags.
void CDGListItemParamArray::SetHeaders(bool allHeaders)
{
  for (short i = 1; i <= Count(); ++i) {
    if (!allHeaders && i == Count()) {
      DGListSetHeaderItemText(m_DialogID, m_ListItem, i, GS::UniString());
      continue;
    }
    DGListSetHeaderItemText(m_DialogID, m_ListItem, i, at(i - 1)->m_Header);
    short sizeFlag = 0;
    bool buttonFlag = false;
    DGListGetHeaderItemFlags(m_DialogID, m_ListItem, i, &sizeFlag, &buttonFlag);
    DGListSetHeaderItemFlags(m_DialogID, m_ListItem, i, sizeFlag, true);
  }
}

void CDGListItemParamArray::SetList(bool enable)
{
  const short row = DGListGetSelected(m_DialogID, m_ListItem, 1);
  for (short i = 1; i <= Count(); ++i)
    at(i - 1)->Func(row, i, false);
  if (!enable) {
    const short rows = DGListGetItemCount(m_DialogID, m_ListItem);
    for (short r = 1; r <= rows; ++r)
      DGListRedrawItem(m_DialogID, m_ListItem, r);
    return;
  }
  for (const auto& column : *this) {
    if (column->HasEditItem())
      DGEnableItem(m_DialogID, column->m_EditItem);
  }
}

void CDGListItemParamArray::HideItem()
{
  for (short i = 1; i <= Count(); ++i)
    DGListSetDialItemOnTabField(m_DialogID, m_ListItem, i, DG_NO_ITEM);
}

void CDGListItemParamArray::UpdateEditItem(short /*dialId*/, short row)
{
  for (short i = 1; i <= Count(); ++i) {
    if (at(i - 1)->HasEditItem())
      at(i - 1)->Func(row, i, true);
  }
}

short CDGListItemParamArray::DoMsgListHeaderResize(DG::ListBoxHeaderEventArg* event)
{
  if (event == nullptr)
    return 0;
  if (event->kind == kHeaderResizeEnded) {
    SetList(false);
  } else if (event->kind == kHeaderResizing && event->headerItem >= 1 && event->headerItem <= Count()) {
    const CDGListItemParamCore& column = *at(event->headerItem - 1);
    if (column.HasEditItem()) {
      DGBeginMoveGrowItems(m_DialogID);
      DGGrowItem(m_DialogID, column.m_EditItem, event->widthChange, 0);
      DGEndMoveGrowItems(m_DialogID);
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Stored widths

std::string CDGListItemParamArray::HeaderRecordName(short resId) const
{
  char name[32];
  std::snprintf(name, sizeof name, "%6d-%d", resId, m_ListItem);
  return name;
}

void CDGListItemParamArray::Serialize(CGSArchive2Core& archive)
{
  int count = static_cast<int>(size());
  archive.Serialize(count);
  if (count != static_cast<int>(size()))
    return;
  // A read that stops early keeps the later columns' widths, so every
  // width is judged against the list as it would then stand.
  int rest = 0;
  for (const auto& column : *this)
    rest += column->m_Width;
  int extent = 0;
  for (const auto& column : *this) {
    rest -= column->m_Width;
    short width = column->m_Width;
    archive.Serialize(width);
    if (width < 0 || extent + width + rest > kMaxListExtent)
      return;
    extent += width;
    column->m_Width = width;
  }
}

// A record of another version or another column count is someone else's
// layout; a damaged one keeps the widths read before the damage.
void CDGListItemParamArray::LoadHeaderPosition(short resId)
{
  CGSArchive2 archive(HeaderRecordName(resId).c_str());
  if (!archive.Open() || archive.GetVersion() != kHeaderVersion)
    return;
  // The column widths' load begins here: thrown codes end here.
  try {
    Serialize(archive);
  } catch (unsigned int) {
  }
}

void CDGListItemParamArray::ReadWidthsFromList()
{
  for (short i = 1; i <= Count(); ++i) {
    const int begin = DGListGetTabFieldBeginPosition(m_DialogID, m_ListItem, i);
    const int end = DGListGetTabFieldEndPosition(m_DialogID, m_ListItem, i);
    at(i - 1)->m_Width = static_cast<short>(end - begin);
  }
}

// The archive stores the record when it goes out of scope, and only when
// every write succeeded.
void CDGListItemParamArray::SaveHeaderPosition(short resId)
{
  ReadWidthsFromList();
  CGSArchive2 archive(HeaderRecordName(resId).c_str());
  archive.Save(kHeaderVersion);
  // The column widths' save begins here: thrown codes end here.
  try {
    Serialize(archive);
  } catch (unsigned int) {
  }
}
