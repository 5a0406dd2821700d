#pragma once
// Versions of the project record at which the stored layouts of figures,
// calculation elements, folders and names changed, and the text forms that
// changed with them. Readers take each field only from the version that
// introduced it; writers always write the newest layout.

#include "gs_unistring.h"

#include <string>

class CArchive;

namespace DocVersion {
constexpr int kObjectLists = 1001;          // element and folder lists, entry break marks
constexpr int kFigurePart = 1002;           // code, sort index and number of a figure; show total as bool
constexpr int kElementListTypeFrom = 1003;  // an element's own list type, up to 1045
constexpr int kObjectSortIndex = 1016;      // 1015 stores nothing there, older records a dropped int
constexpr int kNameArray = 1017;            // names per floor; manual rows of elements (to 1029)
constexpr int kAutoRows = 1019;             // zone rows of elements (to 1029)
constexpr int kFolderEquations = 1024;
constexpr int kRefused = 1025;  // a layout no reader can tell apart: refused
constexpr int kObjectAutoCr = 1027;
constexpr int kOldElementRowsUntil = 1029;
constexpr int kFloorRecords = 1030;
constexpr int kFolderListTypeFrom = 1036;  // a folder's own list type, up to 1045
constexpr int kShowTotalInt = 1038;
constexpr int kHostStringNames = 1043;  // names and formula texts as host strings
constexpr int kListTypeUntil = 1045;
constexpr int kObjectPenAndListType = 1046;
}  // namespace DocVersion

// Codes, item numbers and sort indices a stored record may carry: far
// beyond any real project, and low enough that the counters and the
// numbering built on them cannot overflow. Every reader of figures,
// elements and folders checks them here.
namespace DocCode {
constexpr int kMaxNumber = 999999999;
constexpr bool IsValidCode(int code) { return code >= 1 && code <= kMaxNumber; }
// Negative numbers mean "none" and are valid.
constexpr bool IsValidNumber(int number) { return number <= kMaxNumber; }
}  // namespace DocCode

// Texts of the project record: host strings from a version on, 8-bit texts
// in character code 32 before it. Every stored text travels as 8-bit bytes
// in some character code, so a text is storable only when its code holds it;
// editors refuse what it cannot hold at entry, and writers refuse it again
// so that nothing saved reads back as another text.
struct DocText {
  static void Serialize(CArchive& ar, GS::UniString& text, int hostStringFrom);
  static void ReadOld(CArchive& ar, GS::UniString& text);
  // The text of stored 8-bit bytes (up to the first zero) in the code; false
  // when a byte sequence has no character in it. The host puts U+FFFD in
  // such a place, and no later save could give the bytes back, so a reader
  // refuses the text rather than store something else over it.
  static bool Decode(const std::string& bytes, GSCharCode code, GS::UniString& text);
  // The bytes of the text in the code; false, bytes untouched, when the code
  // cannot hold it: a character the code has none for, one that reads back
  // as another (Shift-JIS turns "¥" into the byte of "\"), or a zero the
  // stored text would end at.
  static bool Encode(const GS::UniString& text, GSCharCode code, std::string& bytes);
  // The first character of the text (a surrogate pair as one) that the code
  // cannot hold; empty when it holds them all.
  static GS::UniString FirstUnheld(const GS::UniString& text, GSCharCode code = CC_Default);
  // The refusal that names such a character.
  static GS::UniString UnheldMessage(const GS::UniString& character);
  // For an edit: shows the refusal and answers true when the host's default
  // code cannot hold the text.
  static bool RefuseUnheld(const GS::UniString& text);
};
