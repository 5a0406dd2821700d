#include "io_location.h"

#include "host_charcodes.h"
#include "host_errors.h"

#include <algorithm>

namespace IO {
namespace {

bool IsSeparator(char16_t ch) { return ch == u'/' || ch == u'\\'; }

bool IsAsciiLetter(char16_t ch) { return (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z'); }

char16_t ToLowerAscii(char16_t ch) { return (ch >= u'A' && ch <= u'Z') ? static_cast<char16_t>(ch - u'A' + u'a') : ch; }

std::vector<GS::UniString> SplitPath(const std::u16string& path)
{
  std::vector<GS::UniString> parts;
  std::u16string part;
  for (char16_t ch : path) {
    if (IsSeparator(ch)) {
      parts.push_back(GS::UniString::FromStd(part));
      part.clear();
    } else {
      part += ch;
    }
  }
  parts.push_back(GS::UniString::FromStd(part));
  return parts;
}

// The sandbox root as names, to recognise paths already inside it.
std::vector<GS::UniString> SandboxNames(const GS::UniString& sandbox)
{
  std::vector<GS::UniString> names;
  for (GS::UniString& part : SplitPath(sandbox.Std()))
    if (!part.IsEmpty())
      names.push_back(std::move(part));
  return names;
}

bool StartsWith(const std::vector<GS::UniString>& names, const std::vector<GS::UniString>& prefix)
{
  return names.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), names.begin());
}

}  // namespace

Location::Location(const GS::UniString& path)
{
  const std::u16string& text = path.Std();
  if (text.empty())
    return;
  std::size_t start = 0;
  if (text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == u':') {
    root_ = Root::Drive;
    drive_ = text[0];
    start = 2;
  } else {
    root_ = IsSeparator(text[0]) ? Root::Absolute : Root::Relative;
  }
  AppendPath(GS::UniString::FromStd(text.substr(start)));
}

// Empty and "." names vanish; ".." removes the name before it and, at the
// root, nothing: that is what keeps every location inside the sandbox.
void Location::AppendPath(const GS::UniString& path)
{
  for (const GS::UniString& part : SplitPath(path.Std())) {
    if (part.IsEmpty() || part == u".")
      continue;
    if (part == u"..") {
      if (!names_.empty())
        names_.pop_back();
      continue;
    }
    names_.push_back(part);
  }
}

GS::UniString Location::JoinNames(char16_t separator) const
{
  GS::UniString joined;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (i > 0)
      joined += separator;
    joined += names_[i];
  }
  return joined;
}

GSErrCode Location::ToPath(GS::UniString* path) const
{
  if (path == nullptr)
    return APIERR_BADPARS;
  if (IsEmpty())
    return BadLocation;
  std::string root = pln::host::SandboxRoot().string();
  GS::UniString sandbox = GS::UniString::FromStd(pln::host::internal::FromUtf8(root.data(), root.size()));
  if (root_ == Root::Absolute && StartsWith(names_, SandboxNames(sandbox))) {
    *path = u"/" + JoinNames(u'/');
    return NoError;
  }
  GS::UniString result = sandbox;
  if (root_ == Root::Drive) {
    result += u'/';
    result += ToLowerAscii(drive_);
  }
  for (const GS::UniString& name : names_) {
    result += u'/';
    result += name;
  }
  *path = result;
  return NoError;
}

GSErrCode Location::ToDisplayText(GS::UniString* text) const
{
  if (text == nullptr)
    return APIERR_BADPARS;
  switch (root_) {
    case Root::None: *text = GS::UniString(); break;
    case Root::Relative: *text = JoinNames(u'/'); break;
    case Root::Absolute: *text = u"/" + JoinNames(u'/'); break;
    case Root::Drive: *text = GS::UniString() + drive_ + u":\\" + JoinNames(u'\\'); break;
  }
  return NoError;
}

GSErrCode Location::GetLastLocalName(Name* name) const
{
  if (name == nullptr)
    return APIERR_BADPARS;
  if (names_.empty())
    return BadLocation;
  *name = Name(names_.back());
  return NoError;
}

GSErrCode Location::DeleteLastLocalName()
{
  if (names_.empty())
    return BadLocation;
  names_.pop_back();
  return NoError;
}

GSErrCode Location::AppendToLocal(const Name& name)
{
  if (name.IsEmpty())
    return BadLocation;
  if (IsEmpty())
    root_ = Root::Relative;
  AppendPath(name.ToString());
  return NoError;
}

GSErrCode Location::SetLastLocalName(const Name& name)
{
  if (names_.empty() || name.IsEmpty())
    return BadLocation;
  names_.pop_back();
  AppendPath(name.ToString());
  return NoError;
}

}  // namespace IO
