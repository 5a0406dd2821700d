#include "gs_guid.h"

#include "host_errors.h"
#include "host_foundation.h"

#include <algorithm>
#include <cstring>

namespace GS {
namespace {

constexpr std::uint64_t kDefaultSeed = 0x504C4E2D47554944ull;
constexpr std::size_t kTextLength = 36;
constexpr std::size_t kDashes[] = {8, 13, 18, 23};

struct GuidState {
  std::uint64_t seed = kDefaultSeed;
  std::uint64_t counter = 0;
};

GuidState& State()
{
  static GuidState state;
  return state;
}

// SplitMix64: a fixed, well-mixed step, so consecutive counters give
// unrelated-looking identifiers while staying reproducible.
std::uint64_t Mix(std::uint64_t x)
{
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

void PutBigEndian(std::uint64_t value, std::uint8_t* out)
{
  for (int i = 7; i >= 0; --i, value >>= 8)
    out[i] = static_cast<std::uint8_t>(value & 0xFF);
}

int HexValue(char ch)
{
  if (ch >= '0' && ch <= '9')
    return ch - '0';
  if (ch >= 'A' && ch <= 'F')
    return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f')
    return ch - 'a' + 10;
  return -1;
}

bool IsDashPosition(std::size_t pos) { return std::find(std::begin(kDashes), std::end(kDashes), pos) != std::end(kDashes); }

}  // namespace

bool Guid::IsNull() const
{
  return std::all_of(bytes_.begin(), bytes_.end(), [](std::uint8_t b) { return b == 0; });
}

Guid& Guid::Generate()
{
  GuidState& state = State();
  do {
    ++state.counter;
    std::uint64_t high = Mix(state.seed ^ Mix(state.counter));
    PutBigEndian(high, bytes_.data());
    PutBigEndian(Mix(high), bytes_.data() + 8);
  } while (IsNull());
  return *this;
}

UniString Guid::ToUniString() const
{
  static const char kDigits[] = "0123456789ABCDEF";
  std::u16string text;
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (IsDashPosition(text.size()))
      text += u'-';
    text += static_cast<char16_t>(kDigits[bytes_[i] >> 4]);
    text += static_cast<char16_t>(kDigits[bytes_[i] & 0x0F]);
  }
  return UniString::FromStd(text);
}

GSErrCode Guid::ConvertFromString(const char* text)
{
  if (text == nullptr || std::strlen(text) != kTextLength)
    return APIERR_BADPARS;
  std::array<std::uint8_t, 16> parsed{};
  std::size_t digit = 0;
  for (std::size_t pos = 0; pos < kTextLength; ++pos) {
    if (IsDashPosition(pos)) {
      if (text[pos] != '-')
        return APIERR_BADPARS;
      continue;
    }
    int value = HexValue(text[pos]);
    if (value < 0)
      return APIERR_BADPARS;
    parsed[digit / 2] = static_cast<std::uint8_t>(parsed[digit / 2] | (digit % 2 == 0 ? value << 4 : value));
    ++digit;
  }
  bytes_ = parsed;
  return NoError;
}

GSErrCode Guid::ConvertFromString(const UniString& text)
{
  // A guid is plain ASCII; anything else is malformed anyway.
  std::string ascii;
  for (char16_t unit : text.Std()) {
    if (unit == 0 || unit > 0x7F)
      return APIERR_BADPARS;
    ascii += static_cast<char>(unit);
  }
  return ConvertFromString(ascii.c_str());
}

std::size_t Guid::HashValue() const
{
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    high = (high << 8) | bytes_[i];
    low = (low << 8) | bytes_[i + 8];
  }
  return static_cast<std::size_t>(Mix(high ^ Mix(low)));
}

}  // namespace GS

namespace pln::host {

void SeedGuids(std::uint64_t seed)
{
  GS::State().seed = seed;
  GS::State().counter = 0;
}

void internal::ResetGuids() { SeedGuids(GS::kDefaultSeed); }

}  // namespace pln::host
