#pragma once
// What the settings pages share when they take a typed or chosen value into
// the working settings: the checks every page applies before storing, and
// the pen pairs (a number field beside a pen chooser that always show the
// same pen).
//
// A refused value shows the alert kRefusedText; the page then shows its
// stored values again, so the field never keeps a value the settings do
// not hold. What is refused: reals that are no number or infinite, reals
// cut to an int that do not fit one, and pens that are not pens of the
// project (0 counts as a pen only where the chooser offers the empty pen).

#include "gs_unistring.h"
#include "host_types.h"

namespace EnvPageInput {

inline constexpr const char16_t* kRefusedText = u"入力値が正しくありません";

// The refusal alert.
void Refuse();

// The field's real; false (after the alert) when it is no finite number.
bool GetReal(short dialId, short item, double& value);
// The field's real cut toward zero; false (after the alert) when it is no
// finite number or does not fit an int.
bool GetIntFromReal(short dialId, short item, int& value);
// The field's whole number; false (after the alert) below the minimum.
bool GetInt(short dialId, short item, int minimum, int& value);

// Whether the index names a pen of the project; 0 only when allowNone.
bool IsProjectPen(Int32 pen, bool allowNone);

// A number field and the pen chooser that shows the same pen.
struct PenPair {
  short number = 0;
  short control = 0;
  bool allowNone = false;  // the chooser offers the empty pen 0
};

// Takes the pen from the pair's item that the user changed (its number or
// its chooser) into pen and shows it in the other one; false (after the
// alert, pen unchanged) when it is no pen of the project.
bool TakePen(short dialId, const PenPair& pair, short changedItem, short& pen);
// Shows the pen in both items of the pair.
void ShowPen(short dialId, const PenPair& pair, short pen);

// The text as the settings keep their texts: through the host's default
// 8-bit code and back.
GS::UniString ThroughDefaultCode(const GS::UniString& text);

}  // namespace EnvPageInput
