#include "io_name.h"

namespace IO {

UIndex Name::ExtensionDot() const
{
  UIndex dot = text_.FindLast(u'.');
  return dot == 0 ? GS::MaxUIndex : dot;
}

GSErrCode Name::GetExtension(GS::UniString* extension) const
{
  if (extension != nullptr)
    *extension = GetExtension();
  return NoError;
}

GS::UniString Name::GetExtension() const
{
  UIndex dot = ExtensionDot();
  return dot == GS::MaxUIndex ? GS::UniString() : text_.GetSubstring(dot + 1, text_.GetLength() - dot - 1);
}

GS::UniString Name::GetBase() const
{
  UIndex dot = ExtensionDot();
  return dot == GS::MaxUIndex ? text_ : text_.GetPrefix(dot);
}

void Name::DeleteExtension() { text_ = GetBase(); }

void Name::AppendExtension(const GS::UniString& extension)
{
  text_ += u'.';
  text_ += extension;
}

}  // namespace IO
