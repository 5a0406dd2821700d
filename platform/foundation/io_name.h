#pragma once
// IO::Name: one local name of a location (a file or folder name).

#include "gs_unistring.h"
#include "host_types.h"

namespace IO {

class Name {
public:
  Name() = default;
  Name(const GS::UniString& text) : text_(text) {}
  Name(const char16_t* text) : text_(text) {}

  // The extension is the text after the last dot; a name whose only dot is
  // its first character (".profile") has none.
  [[nodiscard]] GSErrCode GetExtension(GS::UniString* extension) const;
  GS::UniString GetExtension() const;
  GS::UniString GetBase() const;  // the name without ".extension"
  void DeleteExtension();
  void AppendExtension(const GS::UniString& extension);

  GS::UniString ToString() const { return text_; }
  bool IsEmpty() const { return text_.IsEmpty(); }
  bool operator==(const Name&) const = default;

private:
  UIndex ExtensionDot() const;

  GS::UniString text_;
};

}  // namespace IO
