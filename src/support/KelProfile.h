#pragma once
// Read-only access to INI-style profiles: "[section]" headers, "key=value"
// lines, ";" starting a comment. Sections and keys match ignoring ASCII
// case; blanks are part of keys and values. Lines may end with CR LF or LF.
// Paths are platform paths, opened as they are.
//
// Lookups never fail loudly: a missing file, section or key gives the
// caller's default, and a value longer than the caller's buffer is cut to fit.

#include <string>

// The value of key in section; false when the file, section or key is missing.
[[nodiscard]] bool GetProfileString(const char* path, const char* section, const char* key, std::string& value);

// Copies the value, or the default when there is none, into buffer (size
// bytes with the terminator), cut to fit. Always answers 0.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultText, char* buffer,
                            unsigned int size, const char* path);

// The value's leading decimal number (0 when it does not begin with one),
// or the default when there is no value.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path);

// The library never writes its profiles: accepted and ignored.
int WritePrivateProfileString(const char* section, const char* key, const char* value, const char* path);
