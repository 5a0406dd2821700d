#pragma once
// The area a user types for a calculation element's story: a decimal number
// of m², read as the C library's atof reads the text in the host's default
// character code — leading blanks, a sign, digits, a point, an exponent.
// Reading stops at the first other character and a text without a number
// reads as 0, so "1,234" is 1 m² and "abc" 0 m².
//
// The m² become 1e-6 m² units by truncation toward zero after the area
// calculation's integer snap: "1.005" is 1,005,000, not one unit less, and
// "12.56789" is 12,567,890. A text that reads as infinite, as no number, or
// beyond kMaxManualAreaM2 in magnitude is refused: below that bound every
// sum of such areas over the stories and elements of a project stays well
// within 64 bits.

#include "gs_unistring.h"

#include <optional>

constexpr double kMaxManualAreaM2 = 1.0e9;

// The refusal shown to the user.
inline constexpr const char16_t* kManualAreaRefused = u"入力値が正しくありません";

// The area in 1e-6 m², or nothing when the text is refused.
std::optional<long long> ReadManualAreaText(const GS::UniString& text);
