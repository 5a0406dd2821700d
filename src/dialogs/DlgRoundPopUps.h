#pragma once
// The rounding pop-ups of the tree-item dialogs: a kind pop-up (text the
// kind's long name, user data its code) and a digit pop-up (text
// "小数点第d位", user data d) per rounded total.
//
// Vocabulary: the stored kind is the one the node holds when the dialog
// opens (or the one the user last chose); "keep" is the digit -1 that the
// several-items mode of the folder dialog offers for "leave each node's own".

#include "CodeTables.h"

namespace DlgRoundPopUps {

constexpr int kKeepDigit = -1;

// Kinds an element or folder may be shown with while its stored kind is
// `stored`, in table order: a concrete kind (1-3) offers the three concrete
// kinds; デフォルト offers itself and them; anything else offers every row.
void FillTypePopUp(short dialId, short item, const CRoundTypeTableArray& table, CRoundTypeTable::ROUNDTYPE stored);
// Digits CPlenimetraParam::GetDigitMin..GetDigitMax; keepEntry puts a
// leading "未定義" with user data kKeepDigit in front of them.
void FillDigitPopUp(short dialId, short item, bool keepEntry);
// Selects the entry with that user data; keeps the selection when none has it.
void SelectIfPresent(short dialId, short item, long long data);

}  // namespace DlgRoundPopUps
