#include "gs_unistring.h"

#include "host_assert.h"
#include "host_charcodes.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace GS {
namespace {

std::size_t Clamp(UIndex index, std::size_t size) { return std::min<std::size_t>(index, size); }

bool IsBlank(char16_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n'; }

}  // namespace

UniString::UniString(const char16_t* text)
{
  if (text != nullptr)
    text_ = text;
}

UniString::UniString(const char16_t* text, USize length)
{
  if (text != nullptr)
    text_.assign(text, length);
}

UniString::UniString(const char* text, GSCharCode code)
{
  if (text != nullptr)
    text_ = pln::host::DecodeText(text, std::strlen(text), code, nullptr);
}

UniString UniString::FromStd(const std::u16string& text)
{
  UniString result;
  result.text_ = text;
  return result;
}

char16_t UniString::operator[](UIndex index) const
{
  PLN_ASSERT(index < text_.size());
  return text_[index];
}

UIndex UniString::FindFirst(char16_t ch, UIndex from) const
{
  std::size_t found = text_.find(ch, from);
  return found == std::u16string::npos ? MaxUIndex : static_cast<UIndex>(found);
}

UIndex UniString::FindFirst(const UniString& part, UIndex from) const
{
  if (from > text_.size())
    return MaxUIndex;
  std::size_t found = text_.find(part.text_, from);
  return found == std::u16string::npos ? MaxUIndex : static_cast<UIndex>(found);
}

UIndex UniString::FindLast(char16_t ch) const
{
  std::size_t found = text_.rfind(ch);
  return found == std::u16string::npos ? MaxUIndex : static_cast<UIndex>(found);
}

UniString UniString::GetSubstring(UIndex from, USize length) const
{
  std::size_t start = Clamp(from, text_.size());
  return FromStd(text_.substr(start, length));
}

UniString UniString::GetPrefix(USize length) const { return GetSubstring(0, length); }

UniString UniString::GetSuffix(USize length) const
{
  std::size_t count = std::min<std::size_t>(length, text_.size());
  return FromStd(text_.substr(text_.size() - count));
}

UniString& UniString::Append(const UniString& tail)
{
  text_ += tail.text_;
  return *this;
}

UniString& UniString::operator+=(char16_t ch)
{
  text_ += ch;
  return *this;
}

void UniString::Delete(UIndex from, USize length)
{
  std::size_t start = Clamp(from, text_.size());
  text_.erase(start, length);
}

void UniString::Insert(UIndex at, const UniString& part) { text_.insert(Clamp(at, text_.size()), part.text_); }

void UniString::ReplaceAll(const UniString& what, const UniString& with)
{
  // An empty pattern matches nowhere; replacing it would never end.
  if (what.text_.empty())
    return;
  std::u16string result;
  std::size_t pos = 0;
  for (std::size_t found; (found = text_.find(what.text_, pos)) != std::u16string::npos;
       pos = found + what.text_.size())
    result.append(text_, pos, found - pos).append(with.text_);
  result.append(text_, pos);
  text_ = std::move(result);
}

void UniString::Trim()
{
  std::size_t first = 0;
  while (first < text_.size() && IsBlank(text_[first]))
    ++first;
  std::size_t last = text_.size();
  while (last > first && IsBlank(text_[last - 1]))
    --last;
  text_ = text_.substr(first, last - first);
}

std::strong_ordering UniString::operator<=>(const UniString& other) const
{
  // char16_t is unsigned, so this compares code units, not code points.
  int order = text_.compare(other.text_);
  return order < 0 ? std::strong_ordering::less
                   : (order > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
}

UniString UniString::Printf(const char* format, ...)
{
  if (format == nullptr)
    return {};
  std::va_list args;
  va_start(args, format);
  const std::string text = pln::host::internal::FormatV(format, args);
  va_end(args);
  return FromStd(pln::host::internal::FromUtf8(text.data(), text.size()));
}

UniString::CStr UniString::ToCStr(GSCharCode code) const
{
  bool lost = false;
  std::string bytes = pln::host::EncodeText(text_, code, &lost);
  return CStr(std::move(bytes), lost);
}

std::string UniString::ToStdString(GSCharCode code) const { return pln::host::EncodeText(text_, code, nullptr); }

}  // namespace GS
