#pragma once
// Line-break marks of a formula. A formula is a row of terms; a mark belongs
// to one gap between two terms and, when set, the formula breaks its line
// there. In formula texts the break is the character "#" at the end of a
// line; GetEquationList splits such a text back into its lines.

#include "gs_unistring.h"

#include <cstddef>
#include <vector>

class CArchive;
class CPlenimetraUserDataCore;

class CCrMark {
public:
  CCrMark() = default;
  explicit CCrMark(bool cr) : m_bCr(cr) {}

  bool operator==(const CCrMark&) const = default;

  static GS::UniString GetMarkStr();          // "#"
  GS::UniString GetStr(bool force) const;     // "#" when force or set, else ""

  // One bool. Read only from archive version 1001 and user-data version 1 on;
  // older data leaves the mark as it was.
  void Serialize(CArchive& ar);
  void Serialize(CPlenimetraUserDataCore& ar);

  bool m_bCr = false;
};

class CCrMarkArray : public std::vector<CCrMark> {
public:
  static constexpr int kFirstArchiveVersion = 1001;

  using std::vector<CCrMark>::vector;

  // Grows the array to at least gaps marks (new ones clear); never shrinks,
  // so a formula with more gaps than stored marks reads clear marks.
  void SetMinSize(std::size_t gaps);

  // int count, then one byte per mark; reading (archive 1001 on, user data
  // version 1 on) resizes to the count first. A negative count or one larger
  // than the bytes that remain is refused before resizing.
  void Serialize(CArchive& ar);
  void Serialize(CPlenimetraUserDataCore& ar);

  // The lines of a formula text split at "#": "a#b" gives a, b; a trailing
  // "#" adds no empty line; "a##b" gives a, "", b; "" gives no line.
  static std::vector<GS::UniString> GetEquationList(GS::UniString text);
};
