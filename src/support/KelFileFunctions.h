#pragma once
// The small set of Windows-style services the library was written against,
// supplied over the host: the add-on's folder, character-set conversions,
// number helpers and memory shims. Window and message services are accepted
// and do nothing: the library runs without a window of its own.
//
// Byte-string paths are UTF-8 and end with "/" when they name a folder.

#include "gs_unistring.h"

#include <string>

// ---- Folders ---------------------------------------------------------------

// The folder holding the add-on file, as a platform path ending in one "/";
// empty when the host cannot say where the add-on is.
std::string GetExecFolder();
// The library keeps its profiles beside the add-on.
std::string GetKelIniFileFolder();

// ---- Character sets --------------------------------------------------------
// The one place the library converts texts; characters the target cannot
// hold become '?' (the host flags the loss).

std::string Unicode2Sjis(const GS::UniString& text);
std::string Unicode2Utf8(const GS::UniString& text);
// Shift-JIS bytes to UTF-8 bytes, and back.
std::string ToUtf8(const char* sjisText);
std::string ToSjis(const char* utf8Text);

// ---- Numbers ---------------------------------------------------------------

double _hypot(double x, double y);
// Decimal whatever the radix; dst must hold 12 bytes.
char* itoa(int value, char* dst, int radix);
// (a * b) / c with the product wrapped to 32 bits, truncated towards zero;
// c must not be 0.
int MulDiv(int a, int b, int c);

// ---- Characters and memory -------------------------------------------------

// The first c in text; nullptr when text is empty or holds none.
const char* CHSearchCharLeft(char c, const char* text);
const char* StrChr(const char* text, unsigned short c);
void CopyMemory(void* dst, const void* src, unsigned int n);
void MoveMemory(void* dst, const void* src, unsigned int n);  // the ranges may overlap
void ZeroMemory(void* p, unsigned int n);
// Texts are single-byte for these helpers: no byte leads a pair.
bool IsDBCSLeadByte(unsigned char byte);
const char* CharNext(const char* p);
char* CharNext(char* p);

// ---- Window services that do nothing ---------------------------------------

template <class... Args>
bool PtInRect(const Args&...)
{
  return false;
}

template <class... Args>
void MessageBox(const Args&...)
{
}
