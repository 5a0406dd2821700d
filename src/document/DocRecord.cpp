#include "DocRecord.h"

#include "CArchive.h"
#include "GSWriteReport.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The UTF-16 units of the character that starts at index: two for a
// surrogate pair, else one.
USize CharacterLength(const GS::UniString& text, UIndex index)
{
  const bool pair =
      IsHighSurrogate(text[index]) && index + 1 < text.GetLength() && IsLowSurrogate(text[index + 1]);
  return pair ? 2 : 1;
}

char32_t CodePoint(const GS::UniString& character)
{
  if (character.GetLength() == 2)
    return 0x10000 + ((char32_t(character[0]) - 0xD800) << 10) + (char32_t(character[1]) - 0xDC00);
  return character.IsEmpty() ? 0 : char32_t(character[0]);
}

}  // namespace

void DocText::Serialize(CArchive& ar, GS::UniString& text, int hostStringFrom)
{
  if (!ar.m_bOpen) {
    ar << text;
  } else if (ar.GetVersion() >= hostStringFrom) {
    ar >> text;
  } else {
    ReadOld(ar, text);
  }
}

void DocText::ReadOld(CArchive& ar, GS::UniString& text) { ar.ReadText(text, CC_Japanese); }

bool DocText::Decode(const std::string& bytes, GSCharCode code, GS::UniString& text)
{
  constexpr char16_t kReplacement = u'\uFFFD';
  const char* stored = bytes.c_str();
  GS::UniString decoded(stored, code);
  // A U+FFFD is a replacement unless the bytes spelled it (UTF-8 can).
  if (decoded.FindFirst(kReplacement) != GS::MaxUIndex && decoded.ToStdString(code) != stored)
    return false;
  text = std::move(decoded);
  return true;
}

bool DocText::Encode(const GS::UniString& text, GSCharCode code, std::string& bytes)
{
  const GS::UniString::CStr encoded = text.ToCStr(code);
  if (encoded.HasLoss() || GS::UniString(encoded.Get(), code) != text)
    return false;
  bytes.assign(encoded.Get(), encoded.GetLength());
  return true;
}

GS::UniString DocText::FirstUnheld(const GS::UniString& text, GSCharCode code)
{
  std::string bytes;
  if (Encode(text, code, bytes))
    return GS::UniString();
  for (UIndex i = 0; i < text.GetLength();) {
    const GS::UniString character = text.GetSubstring(i, CharacterLength(text, i));
    if (!Encode(character, code, bytes))
      return character;
    i += character.GetLength();
  }
  // Each character alone is held, the whole is not: name the whole.
  return text;
}

GS::UniString DocText::UnheldMessage(const GS::UniString& character)
{
  char codePoint[16];
  std::snprintf(codePoint, sizeof codePoint, "(U+%04X)", unsigned(CodePoint(character)));
  return GS::UniString(u"使用できない文字「") + character + GS::UniString(u"」") +
         GS::UniString(codePoint, CC_UTF8) + GS::UniString(u"が含まれています");
}

bool DocText::RefuseUnheld(const GS::UniString& text)
{
  const GS::UniString character = FirstUnheld(text);
  if (character.IsEmpty())
    return false;
  GSWriteReport(UnheldMessage(character));
  return true;
}
