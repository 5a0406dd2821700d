// The host's error names and the UTF-16 formatter of CGSUtil.

#include "CGSUtil.h"

#include "gs_unistring.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The host numbers its errors in runs of consecutive codes; each run is its
// first code and its names in code order (without the "APIERR_" prefix).
struct ErrorRun {
  std::uint32_t first;
  std::initializer_list<std::string_view> names;
};

const ErrorRun kErrorRuns[] = {
    {0x81060001, {"GENERAL", "MEMFULL", "CANCEL"}},
    {0x81060065,
     {"BADID", "BADINDEX", "BADNAME", "BADPARS", "BADPOLY", "BADDATABASE", "BADWINDOW", "BADKEYCODE",
      "BADPLATFORMSIGN", "BADPLANE", "BADUSERID", "BADVALUE", "BADELEMENTTYPE", "IRREGULARPOLY"}},
    {0x810600C9,
     {"NO3D", "NOMORE", "NOPLAN", "NOLIB", "NOLIBSECT", "NOSEL", "NOTEDITABLE", "NOTSUBTYPEOF", "NOTEQUALMAIN",
      "NOTEQUALREVISION", "NOTEAMWORKPROJECT"}},
    {0x810600DC,
     {"NOUSERDATA", "MOREUSER", "LINKEXIST", "LINKNOTEXIST", "WINDEXIST", "WINDNOTEXIST", "UNDOEMPTY",
      "REFERENCEEXIST"}},
    {0x8106012D, {"ATTREXIST", "DELETED", "LOCKEDLAY", "HIDDENLAY", "INVALFLOOR", "NOTMINE", "NOACCESSRIGHT"}},
    {0x81060191,
     {"MODULNOTINSTALLED", "MODULCMDMINE", "MODULCMDNOTSUPPORTED", "MODULCMDVERSNOTSUPPORTED", "NOMODULEDATA"}},
    {0x810601F5, {"PAROVERLAP", "PARMISSING", "PAROVERFLOW", "PARIMPLICIT"}},
    {0x810601FE, {"RUNOVERLAP", "RUNMISSING", "RUNOVERFLOW", "RUNIMPLICIT", "RUNPROTECTED"}},
    {0x81060208, {"EOLOVERLAP"}},
    {0x81060212, {"TABOVERLAP"}},
    {0x81060385, {"NOTINIT", "NESTING", "NOTSUPPORTED", "REFUSEDCMD", "REFUSEDPAR", "READONLY", "SERVICEFAILED"}},
    {0x810603E9, {"MISSINGCODE", "MISSINGDEF"}},
};

// Names are shown in a column of report lines, hence the padding; the one
// unpadded name is kept as the host's own table has it.
constexpr std::size_t kNameWidth = 31;
constexpr std::string_view kUnpaddedName = "IRREGULARPOLY";

struct NamedCode {
  std::uint32_t code;
  std::string text;
};

std::vector<NamedCode> BuildNames()
{
  std::vector<NamedCode> names;
  for (const ErrorRun& run : kErrorRuns) {
    std::uint32_t code = run.first;
    for (std::string_view name : run.names) {
      std::string text = "APIERR_" + std::string(name);
      if (name != kUnpaddedName && text.size() < kNameWidth)
        text.append(kNameWidth - text.size(), ' ');
      names.push_back(NamedCode{code++, std::move(text)});
    }
  }
  return names;
}

const std::vector<NamedCode>& Names()
{
  static const std::vector<NamedCode> names = BuildNames();
  return names;
}

// The formatted 8-bit text is held to this many bytes, terminator included.
constexpr std::size_t kFormatBufferBytes = 1024;

}  // namespace

const char* CGSUtil::ErrID_To_Name(int code)
{
  const auto wanted = static_cast<std::uint32_t>(code);
  for (const NamedCode& named : Names()) {
    if (named.code == wanted)
      return named.text.c_str();
  }
  return "???";
}

// A text longer than the format buffer or than dst is cut rather than
// written past either buffer; the buffer is local, so the call is
// reentrant.
void CGSUtil::usprintf(unsigned short* dst, int dstBytes, const char* fmt, ...)
{
  if (dst == nullptr || dstBytes < static_cast<int>(sizeof(unsigned short)))
    return;
  std::array<char, kFormatBufferBytes> buffer{};
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
  va_end(args);
  const GS::UniString text(buffer.data(), CC_Default);
  const std::size_t room = static_cast<std::size_t>(dstBytes) / sizeof(unsigned short) - 1;
  const std::size_t count = std::min<std::size_t>(room, text.GetLength());
  for (std::size_t i = 0; i < count; ++i)
    dst[i] = static_cast<unsigned short>(text[static_cast<UIndex>(i)]);
  dst[count] = 0;
}
