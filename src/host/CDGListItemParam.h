#pragma once
// List-box columns. CDGListItemParamCore is one column (a tab field of the
// list: width, header, justification, and optionally an edit item, a dialog
// item laid over the selected row's cell in this column).
// CDGListItemParamArray holds the columns of one list, lays out the tab
// fields and headers, and keeps the user's column widths per dialog
// resource and list in the project's module data.
//
// Columns, rows and header items count from 1 in every host call. Widths
// and positions are pixels.
//
// A dialog uses them in this order: append the columns in DoMsgInit, then
// LoadHeaderPosition(resource id), then InitializeList(false); SetList after
// every change of selection or content; DoMsgListHeaderResize from its own
// handler when the event is about the list; SaveHeaderPosition(resource id)
// in DoMsgClose.

#include "dg_manager.h"
#include "gs_unistring.h"

#include <memory>
#include <string>
#include <vector>

class CGSArchive2Core;

class CDGListItemParamCore {
public:
  // editItem 0 or negative: the column has no edit item. extra is kept for
  // a subclass's own use.
  CDGListItemParamCore(short dialId, short listItem, short width, const GS::UniString& header, short justification,
                       short editItem, short extra);
  CDGListItemParamCore(const CDGListItemParamCore&) = delete;
  CDGListItemParamCore& operator=(const CDGListItemParamCore&) = delete;
  virtual ~CDGListItemParamCore() = default;

  // text true: a subclass writes the cell's text into the list. text false:
  // it moves its edit item onto the cell of row and loads the item's value.
  // The base only detaches any dialog item from the column's tab field.
  virtual void Func(short row, short column, bool text);

  // Lays the edit item over the cell of (row, column), 1 pixel inside it on
  // each side, in the list's font with the row's style. False when a
  // rectangle could not be read; nothing moves then.
  bool SetItemSize(short row, short column);

  bool HasEditItem() const { return m_EditItem > 0; }

  short m_DialogID;
  short m_Width;  // replaced by a stored width when one is loaded
  GS::UniString m_Header;
  short m_Justification;  // the tab field's justification flag, as given
  short m_EditItem;
  short m_ListItem;
  short m_Extra;
  bool m_bFlag = false;
};

class CDGListItemParamArray : public std::vector<std::unique_ptr<CDGListItemParamCore>> {
public:
  static constexpr int kHeaderVersion = 1000;
  // The list's tab positions are 16-bit pixels; stored widths that would
  // end a column beyond this are refused.
  static constexpr int kMaxListExtent = 32767;

  CDGListItemParamArray(short dialId, short listItem) : m_DialogID(dialId), m_ListItem(listItem) {}

  // Lays out the tab fields and headers from the columns. allHeaders false
  // leaves the last header blank (the list's filler column).
  void InitializeList(bool allHeaders);
  // Every column's Func(first selected row, column, false); then with
  // enable false every row is redrawn, with true the edit items enabled.
  void SetList(bool enable);
  // Detaches the edit items from their tab fields.
  void HideItem();
  // Every column with an edit item writes row's cell text.
  void UpdateEditItem(short dialId, short row);
  // The end of a header resize (kind 2) places the edit items again; while
  // resizing (kind 1) the column's edit item grows with it. Answers 0.
  short DoMsgListHeaderResize(DG::ListBoxHeaderEventArg* event);

  // == Stored widths: module data "%6d-%d" (resource id, list item), version 1000 ==
  // Widths stay as constructed when nothing usable is stored.
  void LoadHeaderPosition(short resId);
  // Takes each column's width from the list as the user left it and stores
  // them all.
  void SaveHeaderPosition(short resId);
  // The column count (i32), then each width (i16). Reading replaces widths
  // only when the count matches; it stops at a negative width or one that
  // would make the list wider than kMaxListExtent, leaving that column and
  // the rest as they were. May throw the archive's unsigned codes.
  void Serialize(CGSArchive2Core& archive);
  std::string HeaderRecordName(short resId) const;

  short m_DialogID;
  short m_ListItem;

private:
  short Count() const { return static_cast<short>(size()); }
  void SetTabFields();
  void SetHeaders(bool allHeaders);
  void ReadWidthsFromList();
};
