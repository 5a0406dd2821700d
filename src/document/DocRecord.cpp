#include "DocRecord.h"

#include "CArchive.h"

#include <string>
#include <utility>

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
