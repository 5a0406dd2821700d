#include "KelProfile.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

// Profiles were read through a 1024-byte line buffer; a longer line keeps
// its first 1023 bytes and the rest is dropped, never read as a line of its own.
constexpr std::size_t kMaxLineBytes = 1023;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The next line without its line end (CR LF, LF, or a lone CR and anything
// after it); false at the end of the file.
bool ReadLine(std::FILE* file, std::string& line)
{
  line.clear();
  int c = std::fgetc(file);
  if (c == EOF)
    return false;
  for (; c != EOF && c != '\n'; c = std::fgetc(file)) {
    if (line.size() < kMaxLineBytes)
      line.push_back(static_cast<char>(c));
  }
  // A zero ends the text as it did in the C buffer.
  line.resize(std::min(line.size(), line.find_first_of(std::string_view("\r\0", 2))));
  return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

bool IsHeaderOf(std::string_view line, const std::string& header)
{
  return !line.empty() && line[0] == '[' && EqualsIgnoringCase(line, header);
}

// The next run of bytes other than "=", as the C tokenizer splits: runs of
// "=" count as one separator and a leading "=" is skipped.
std::string_view NextToken(std::string_view& rest)
{
  const std::size_t start = rest.find_first_not_of('=');
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const std::size_t end = std::min(rest.size(), rest.find('='));
  const std::string_view token = rest.substr(0, end);
  rest.remove_prefix(end);
  return token;
}

// A key line's value when its key is the wanted one.
bool MatchKey(std::string_view line, const char* key, std::string& value)
{
  std::string_view rest = line;
  const std::string_view lineKey = NextToken(rest);
  const std::string_view lineValue = NextToken(rest);
  if (lineValue.empty() || !EqualsIgnoringCase(lineKey, key))
    return false;
  value.assign(lineValue);
  return true;
}

void CopyCut(const char* text, char* buffer, unsigned int size)
{
  const std::size_t length = std::min<std::size_t>(std::strlen(text), size - 1);
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

}  // namespace

bool GetProfileString(const char* path, const char* section, const char* key, std::string& value)
{
  if (path == nullptr || section == nullptr || key == nullptr)
    return false;
  FileHandle file(std::fopen(path, "rt"));
  if (!file)
    return false;
  const std::string header = std::string("[") + section + "]";
  bool inSection = false;
  std::string line;
  while (ReadLine(file.get(), line)) {
    if (!inSection) {
      inSection = IsHeaderOf(line, header);
      continue;
    }
    const std::string_view body = std::string_view(line).substr(0, line.find(';'));
    if (body.empty())
      continue;
    // Another header ends the section; a repeat of the same header goes on.
    if (body[0] == '[') {
      inSection = IsHeaderOf(line, header);
      continue;
    }
    if (MatchKey(body, key, value))
      return true;
  }
  return false;
}

int GetPrivateProfileString(const char* section, const char* key, const char* defaultText, char* buffer,
                            unsigned int size, const char* path)
{
  if (buffer == nullptr || size == 0)
    return 0;
  std::string value;
  if (GetProfileString(path, section, key, value))
    CopyCut(value.c_str(), buffer, size);
  else
    CopyCut(defaultText != nullptr ? defaultText : "", buffer, size);
  return 0;
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path)
{
  std::string value;
  if (!GetProfileString(path, section, key, value))
    return defaultValue;
  const long number = std::strtol(value.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX));
}

int WritePrivateProfileString(const char*, const char*, const char*, const char*) { return 0; }
