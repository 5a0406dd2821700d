#pragma once
// The CSV area table's file: UTF-8 without a byte-order mark, one line per
// row ended by a line feed, fields joined by ",".
//
// Field rules, applied to every field as it is written:
// - a text that a spreadsheet would run as a formula (first character "=",
//   "+", "-" or "@") gets an apostrophe in front, unless it is a plain
//   number as the area texts write them ("-1,234.50  ");
// - then a field holding a comma, a double quote, CR or LF is quoted, its
//   inner quotes doubled; every other field is written as it stands, so a
//   table without such characters keeps its bytes.
//
// The table is written to a complete copy that replaces the target only
// when every write went through (CKelCompleteCopy).

#include "CKelCompleteCopy.h"
#include "gs_unistring.h"

#include <string>
#include <vector>

// The lines of a formula text whose line breaks are marked by "#": the
// part before each mark is a line (also when empty), a non-empty rest is
// the last. With quoteSigns a line starting with "+" or "-" gets "'" first.
std::vector<GS::UniString> SeparateEquation(GS::UniString text, bool quoteSigns);

// Whether the text is a number as areas are written: optional "-", digits
// (thousands commas between groups of three allowed), optional "." with
// digits, then blanks.
bool IsCsvNumber(const GS::UniString& text);
// The formula guard, then the quoting.
GS::UniString GuardCsvField(const GS::UniString& field);
GS::UniString QuoteCsvField(const GS::UniString& field);

class CCsvFile {
public:
  // Opens the complete copy for the path; false when it could not be made.
  bool Create(const GS::UniString& path);
  bool IsOpen() const { return m_Copy.IsOpen(); }
  // One row: the fields joined by "," and a line feed. A row of one empty
  // field is the empty line.
  void WriteRow(const std::vector<GS::UniString>& fields);
  // Puts the complete table in place; false when a write, the close or the
  // replacement failed (the target is then untouched).
  [[nodiscard]] bool Finish();
  // Drops the copy without touching the target.
  void Abandon() { m_Copy.Abandon(); }

private:
  CKelCompleteCopy m_Copy;
  std::string m_Line;  // reused between rows
};

// The save dialog for a CSV path ("CSVﾌｧｲﾙ (*.csv)", no preset name): true
// and the chosen path, or false and an emptied path when cancelled.
bool GetSaveCsvFilename(GS::UniString& path);
