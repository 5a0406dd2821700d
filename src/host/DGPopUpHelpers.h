#pragma once
// The process-wide font list behind the font pop-ups of CDGDlgCore, and the
// home of CDGDlgCore's pop-up, font and chooser helpers (DGPopUpHelpers.cpp).
//
// The list fills once, at the first font pop-up, and lasts until the
// process ends: the host's fonts do not change while it runs. Names are
// kept in UTF-8 so any font name survives the round trip into a pop-up.

#include <string>
#include <vector>

// One font attribute.
struct CStoreFontList {
  std::string name;  // UTF-8
  short index = 0;   // the attribute index, 1-based
};

class CStoreFontListArray : public std::vector<CStoreFontList> {};

extern CStoreFontListArray FontName;
