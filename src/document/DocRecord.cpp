#include "DocRecord.h"

#include "CArchive.h"

#include <string>

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

void DocText::ReadOld(CArchive& ar, GS::UniString& text)
{
  std::string narrow;
  ar >> narrow;
  text = GS::UniString(narrow.c_str(), CC_Japanese);
}
