#pragma once
// CarriedInput: what a user's message reports of one item (the text typed
// into a cell, the value of a check box, the entry chosen in a pop-up),
// taken before the window is filled anew from a record read again behind
// the user's back (Undo of a step that changed only the record) and set
// back onto the new contents, so that the action is carried out on what
// the window now shows instead of being lost with the old contents.

#include "gs_unistring.h"
#include "host_types.h"

class CarriedInput {
public:
  // Nothing to carry: the message reports no value (a click).
  CarriedInput() = default;
  static CarriedInput Text(short dialId, short item);
  static CarriedInput Value(short dialId, short item);
  // The chosen entry, known by its user data and its text.
  static CarriedInput PopUp(short dialId, short item);

  // Sets the value again; false when a pop-up no longer offers the entry.
  [[nodiscard]] bool PutBack(short dialId) const;
  // What the user typed or chose, for a message.
  const GS::UniString& Shown() const { return m_Text; }

private:
  enum class Kind { None, Text, Value, PopUp };
  CarriedInput(Kind kind, short item);
  Kind m_Kind = Kind::None;
  short m_Item = 0;
  GS::UniString m_Text;
  long long m_Value = 0;
};

// Why an action aimed at what a window showed before a record was read
// again is not carried out: what it acted on is not in the re-read
// calculation, or the window cannot tell what it acted on any more (a
// figure row, a drag).
enum class NotCarried { TargetGone, ViewReplaced };
// Tells the user; what names the action (the text typed, the entry
// chosen), empty when nothing names it.
void ReportActionNotCarried(NotCarried why, const GS::UniString& what);
