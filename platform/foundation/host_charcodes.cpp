#include "host_charcodes.h"

#include "host_foundation.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace pln::host {
namespace {

// Long runs (fuzzers, batch tests) must not grow the log without bound.
constexpr std::size_t kMaxLogEntries = 10000;

const char* const kUtf16Name = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacementChar = 0xFFFD;
constexpr char kReplacementByte = '?';

struct CharCodeState {
  GSCharCode defaultCode = CC_Japanese;
  std::vector<CharConversion> log;
  std::size_t lossCount = 0;
};

CharCodeState& State()
{
  static CharCodeState state;
  return state;
}

const char* IconvName(GSCharCode code)
{
  switch (code) {
    case CC_Japanese: return "CP932";
    case CC_UTF8: return "UTF-8";
    default: return nullptr;
  }
}

// One open iconv descriptor, closed with its owner.
class Converter {
public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter()
  {
    if (IsOpen())
      iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }

private:
  iconv_t cd_;
};

// Opening a descriptor is costly, so each direction and code keeps one.
Converter* ConverterFor(GSCharCode code, bool toBytes)
{
  static std::map<std::pair<GSCharCode, bool>, std::unique_ptr<Converter>> cache;
  auto& slot = cache[{code, toBytes}];
  if (!slot) {
    const char* name = IconvName(code);
    if (name == nullptr)
      return nullptr;
    slot = toBytes ? std::make_unique<Converter>(name, kUtf16Name) : std::make_unique<Converter>(kUtf16Name, name);
  }
  return slot->IsOpen() ? slot.get() : nullptr;
}

// How many input bytes to skip past what iconv refused: on the UTF-16 side
// a whole surrogate pair (so a character beyond the BMP becomes one '?'),
// else one unit; on the 8-bit side one byte, so the next byte gets its own
// chance (a bad trail byte may well be a valid character itself).
std::size_t SkipLength(const char* in, std::size_t left, bool toBytes)
{
  if (!toBytes)
    return 1;
  if (left >= 4) {
    char16_t first = 0;
    char16_t second = 0;
    std::memcpy(&first, in, 2);
    std::memcpy(&second, in + 2, 2);
    if (first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF)
      return 4;
  }
  return left < 2 ? left : 2;
}

// Runs the whole input through cd; input it cannot convert is replaced by
// `replacement` and skipped, and *lost is set.
std::string Run(iconv_t cd, const char* input, std::size_t n, bool toBytes, const std::string& replacement,
                bool* lost)
{
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(n * 2 + 16, '\0');
  std::size_t used = 0;
  char* in = const_cast<char*>(input);
  std::size_t inLeft = n;
  for (;;) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    std::size_t result = inLeft == 0 ? iconv(cd, nullptr, nullptr, &dst, &dstLeft)
                                     : iconv(cd, &in, &inLeft, &dst, &dstLeft);
    int error = errno;
    used = out.size() - dstLeft;
    if (result != static_cast<std::size_t>(-1)) {
      if (inLeft == 0)
        break;
      continue;
    }
    if (error == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (a character the target lacks or a malformed sequence) or
    // EINVAL (a sequence cut off at the end): replace and go on.
    out.resize(std::max(out.size(), used + replacement.size() + 16));
    std::memcpy(out.data() + used, replacement.data(), replacement.size());
    used += replacement.size();
    std::size_t skip = SkipLength(in, inLeft, toBytes);
    in += skip;
    inLeft -= skip;
    *lost = true;
  }
  out.resize(used);
  return out;
}

std::string ReplacementFor(bool toBytes)
{
  if (toBytes)
    return std::string(1, kReplacementByte);
  std::string unit(2, '\0');
  std::memcpy(unit.data(), &kReplacementChar, 2);
  return unit;
}

std::string Convert(GSCharCode code, bool toBytes, const char* input, std::size_t n, bool* lost)
{
  Converter* converter = ConverterFor(code, toBytes);
  if (converter == nullptr) {
    // An unknown code converts nothing: everything is lost.
    *lost = true;
    return {};
  }
  return Run(converter->Get(), input, n, toBytes, ReplacementFor(toBytes), lost);
}

void Record(GSCharCode requested, GSCharCode used, bool toBytes, bool lost)
{
  CharCodeState& state = State();
  if (state.log.size() >= kMaxLogEntries)
    state.log.erase(state.log.begin(), state.log.begin() + kMaxLogEntries / 2);
  state.log.push_back({requested, used, toBytes, lost});
  if (lost)
    ++state.lossCount;
}

std::u16string ToUnits(const std::string& bytes)
{
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return units;
}

std::string EncodeWith(const std::u16string& text, GSCharCode code, bool* lost)
{
  bool anyLoss = false;
  std::string bytes =
      Convert(code, true, reinterpret_cast<const char*>(text.data()), text.size() * 2, &anyLoss);
  if (lost != nullptr)
    *lost = anyLoss;
  return bytes;
}

std::u16string DecodeWith(const char* bytes, std::size_t n, GSCharCode code, bool* lost)
{
  bool anyLoss = false;
  std::u16string text = bytes == nullptr ? std::u16string() : ToUnits(Convert(code, false, bytes, n, &anyLoss));
  if (lost != nullptr)
    *lost = anyLoss;
  return text;
}

}  // namespace

GSCharCode ResolveCharCode(GSCharCode code)
{
  return code == CC_Default ? State().defaultCode : code;
}

std::string EncodeText(const std::u16string& text, GSCharCode code, bool* lost)
{
  GSCharCode used = ResolveCharCode(code);
  bool anyLoss = false;
  std::string bytes = EncodeWith(text, used, &anyLoss);
  Record(code, used, true, anyLoss);
  if (lost != nullptr)
    *lost = anyLoss;
  return bytes;
}

std::u16string DecodeText(const char* bytes, std::size_t n, GSCharCode code, bool* lost)
{
  GSCharCode used = ResolveCharCode(code);
  bool anyLoss = false;
  std::u16string text = DecodeWith(bytes, n, used, &anyLoss);
  Record(code, used, false, anyLoss);
  if (lost != nullptr)
    *lost = anyLoss;
  return text;
}

void SetDefaultCharCode(GSCharCode code)
{
  // 0 cannot stand for itself; asking for it restores the host's own default.
  State().defaultCode = code == CC_Default ? CC_Japanese : code;
}

GSCharCode GetDefaultCharCode() { return State().defaultCode; }

const std::vector<CharConversion>& ConversionLog() { return State().log; }

void ClearConversionLog()
{
  State().log.clear();
  State().lossCount = 0;
}

std::size_t ConversionLossCount() { return State().lossCount; }

namespace internal {

std::string ToUtf8(const std::u16string& text, bool* lost) { return EncodeWith(text, CC_UTF8, lost); }

std::u16string FromUtf8(const char* bytes, std::size_t n, bool* lost) { return DecodeWith(bytes, n, CC_UTF8, lost); }

// The first pass measures, the second writes; each needs its own copy of the
// arguments.
std::string FormatV(const char* format, std::va_list args)
{
  std::va_list again;
  va_copy(again, args);
  const int needed = std::vsnprintf(nullptr, 0, format, args);
  std::string text;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    text.assign(buffer.data(), static_cast<std::size_t>(needed));
  }
  va_end(again);
  return text;
}

}  // namespace internal
}  // namespace pln::host

namespace {

// The longest prefix of `bytes` of at most `limit` bytes that ends on a
// character boundary. The bytes are valid output of the code (iconv wrote
// them), so lead bytes tell the character lengths.
std::size_t CharBoundary(const std::string& bytes, std::size_t limit, GSCharCode code)
{
  if (limit >= bytes.size())
    return bytes.size();
  if (code == CC_UTF8) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
      --cut;
    return cut;
  }
  std::size_t pos = 0;
  while (pos < limit) {
    unsigned char lead = static_cast<unsigned char>(bytes[pos]);
    bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    std::size_t next = pos + (doubleByte ? 2 : 1);
    if (next > limit)
      break;
    pos = next;
  }
  return pos;
}

}  // namespace

Int32 CHUnicode2ANSI(const char16_t* src, Int32 srcLen, char* dst, Int32 dstSize, GSCharCode code)
{
  std::u16string text;
  if (src != nullptr)
    text = srcLen < 0 ? std::u16string(src) : std::u16string(src, static_cast<std::size_t>(srcLen));
  std::string bytes = pln::host::EncodeText(text, code, nullptr);
  if (dst == nullptr || dstSize < 1)
    return static_cast<Int32>(bytes.size());
  std::size_t length = CharBoundary(bytes, static_cast<std::size_t>(dstSize) - 1, pln::host::ResolveCharCode(code));
  std::memcpy(dst, bytes.data(), length);
  dst[length] = '\0';
  return static_cast<Int32>(length);
}

const char* CHSearchCharLeft(const char* ch, const char* text)
{
  // The terminator is not part of the text, so searching for it finds nothing.
  if (ch == nullptr || *ch == '\0' || text == nullptr || *text == '\0')
    return nullptr;
  return std::strchr(text, *ch);
}

namespace pln::host::internal {

void ResetCharCodes()
{
  SetDefaultCharCode(CC_Japanese);
  ClearConversionLog();
}

}  // namespace pln::host::internal
