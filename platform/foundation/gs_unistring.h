#pragma once
// GS::UniString: the host's string, UTF-16 code units (char16_t).
// Lengths and indices count UTF-16 units, so a character outside the BMP
// counts twice; ordering compares code units, not code points.
// 8-bit texts go in and out through the host's character codes
// (host_charcodes.h).

#include "host_types.h"

#include <compare>
#include <cstddef>
#include <string>
#include <utility>

namespace GS {

class UniString {
public:
  class CStr;

  UniString() = default;
  UniString(const char16_t* text);
  UniString(const char16_t* text, USize length);
  UniString(const char* text, GSCharCode code = CC_Default);  // null = empty
  static UniString FromStd(const std::u16string& text);

  // Reading
  USize GetLength() const { return static_cast<USize>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  char16_t operator[](UIndex index) const;
  const char16_t* ToUStr() const { return text_.c_str(); }
  const std::u16string& Std() const { return text_; }

  // Searching: MaxUIndex when absent
  UIndex FindFirst(char16_t ch, UIndex from = 0) const;
  UIndex FindFirst(const UniString& part, UIndex from = 0) const;
  UIndex FindLast(char16_t ch) const;

  // Parts (ranges are clamped to the string)
  UniString GetSubstring(UIndex from, USize length) const;
  UniString GetPrefix(USize length) const;
  UniString GetSuffix(USize length) const;

  // Editing
  UniString& Append(const UniString& tail);
  UniString& operator+=(const UniString& tail) { return Append(tail); }
  UniString& operator+=(const char16_t* tail) { return Append(UniString(tail)); }
  UniString& operator+=(char16_t ch);
  void Clear() { text_.clear(); }
  void Delete(UIndex from, USize length);
  void Insert(UIndex at, const UniString& part);
  void ReplaceAll(const UniString& what, const UniString& with);
  void Trim();  // blanks, tabs and line breaks at both ends

  friend UniString operator+(UniString head, const UniString& tail) { return head.Append(tail); }
  friend UniString operator+(UniString head, const char16_t* tail) { return head.Append(UniString(tail)); }
  friend UniString operator+(UniString head, char16_t ch) { return head += ch; }

  bool operator==(const UniString&) const = default;
  std::strong_ordering operator<=>(const UniString& other) const;

  // C formatting of an ASCII format; %s arguments are UTF-8 byte strings.
  static UniString Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

  // 8-bit text; characters the code cannot hold become '?' and the loss is
  // flagged on the result.
  CStr ToCStr(GSCharCode code = CC_Default) const;
  std::string ToStdString(GSCharCode code = CC_Default) const;

  std::size_t HashValue() const { return std::hash<std::u16string>{}(text_); }

private:
  std::u16string text_;
};

class UniString::CStr {
public:
  CStr(std::string bytes, bool lost) : bytes_(std::move(bytes)), lost_(lost) {}
  const char* Get() const { return bytes_.c_str(); }
  USize GetLength() const { return static_cast<USize>(bytes_.size()); }
  bool HasLoss() const { return lost_; }

private:
  std::string bytes_;
  bool lost_;
};

}  // namespace GS

template <>
struct std::hash<GS::UniString> {
  std::size_t operator()(const GS::UniString& s) const { return s.HashValue(); }
};
