#pragma once
// CDlgEditAreaCore: the part the element dialog (CDlgEditArea2) and the
// folder dialog (CDlgEditArea4) share: the node's default name (text 7), its
// parent's default name edited as the pattern name (text 5), and the two
// rounding items of its tree node, each a kind pop-up and a digit pop-up
// (10 and 11 for the building total, 13 and 14 per floor).
//
// A name field takes part only while its flag is set: it is shown, read and
// checked then, and stays empty and disabled otherwise. Names are checked in
// the order name, pattern name; an empty one is refused with the dialog's
// message in the add-on's alert and the dialog stays open. The dialogs
// change nothing in the document: the caller presets the public fields and
// reads them back after OK.

#include "CAreaObject.h"
#include "CDGDlgCore.h"
#include "CRoundTypeParam.h"
#include "gs_unistring.h"

class CPlenimetraParam;

class CDlgEditAreaCore : public CDGDlgCore {
public:
  enum Item : short {
    ITEM_PATTERN_NAME = 5,
    ITEM_NAME = 7,
    ITEM_TYPE1 = 10,   // building total: kind
    ITEM_DIGIT1 = 11,  // building total: digits
    ITEM_TYPE2 = 13,   // per floor: kind
    ITEM_DIGIT2 = 14,  // per floor: digits
  };

  CAreaNameArray m_Name;  // only the default name is edited; floor entries pass through
  GS::UniString m_PatternName;
  CRoundTypeItem m_RoundTypeItem1;  // building total
  CRoundTypeItem m_RoundTypeItem2;  // per floor
  CPlenimetraParam* m_pParam;       // not owned; outlives the dialog
  bool m_bEditPatternName;
  bool m_bEditName;

protected:
  CDlgEditAreaCore(short resourceId, CPlenimetraParam* param, bool editName, bool editPatternName);

  // Kind pop-ups from the stored kinds, digit pop-ups with an optional
  // leading keep entry.
  void FillRoundPopUps(short dialId, bool keepDigits);
  void ShowNamesAndRounding(short dialId);
  // name is the dialog's reading of text 7. False (after the alert) when an
  // editable name is empty or holds a character the stored forms' code
  // cannot hold.
  [[nodiscard]] bool ReadNames(short dialId, const GS::UniString& name, const char16_t* emptyNameMessage);
  void ReadRounding(short dialId);
  // A change of kind pop-up 10 or 13: an accepted choice becomes the stored
  // kind, any other puts the pop-up back on the stored kind.
  void ChangeRoundType(short dialId, short item, bool accepted);
  void EnableNameItems(short dialId);
  // The kind the pop-up's selected entry names.
  static CRoundTypeTable::ROUNDTYPE SelectedType(short dialId, short item);

private:
  CRoundTypeItem& ItemOfTypePopUp(short item);
};
