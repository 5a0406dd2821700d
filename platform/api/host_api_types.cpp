#include "host_api_types.h"

#include <algorithm>
#include <cstring>

bool API_Guid::IsNull() const
{
  return std::all_of(std::begin(bytes), std::end(bytes), [](std::uint8_t b) { return b == 0; });
}

std::size_t API_Guid::HashValue() const
{
  // FNV-1a over the 16 bytes: cheap and spreads the counter-made guids.
  std::size_t hash = 1469598103934665603ull;
  for (std::uint8_t b : bytes)
    hash = (hash ^ b) * 1099511628211ull;
  return hash;
}

bool API_Guid::operator==(const API_Guid& other) const
{
  return std::memcmp(bytes, other.bytes, sizeof bytes) == 0;
}

bool API_Guid::operator<(const API_Guid& other) const
{
  return std::memcmp(bytes, other.bytes, sizeof bytes) < 0;
}

API_Guid ToAPIGuid(const GS::Guid& guid)
{
  API_Guid result;
  std::copy(guid.Bytes().begin(), guid.Bytes().end(), result.bytes);
  return result;
}

GS::Guid ToGSGuid(const API_Guid& guid)
{
  // GS::Guid is built from its text form only; the text of the same bytes
  // gives back exactly those bytes.
  static const char digits[] = "0123456789ABCDEF";
  char text[37];
  int pos = 0;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10)
      text[pos++] = '-';
    text[pos++] = digits[guid.bytes[i] >> 4];
    text[pos++] = digits[guid.bytes[i] & 0xF];
  }
  text[pos] = '\0';
  GS::Guid result;
  // Made from a GUID's own bytes, so the text always parses.
  (void)result.ConvertFromString(text);
  return result;
}

GS::UniString APIGuidToString(const API_Guid& guid) { return ToGSGuid(guid).ToUniString(); }

namespace pln::host {

Int32 AddParCount(API_AddParType* const* list)
{
  return static_cast<Int32>(BMGetHandleSize(reinterpret_cast<GSConstHandle>(list)) / sizeof(API_AddParType));
}

API_AddParType** CopyAddParHandle(API_AddParType* const* list)
{
  if (list == nullptr)
    return nullptr;
  const Int32 count = AddParCount(list);
  auto copy = reinterpret_cast<API_AddParType**>(BMAllocateHandle(count * static_cast<GSSize>(sizeof(API_AddParType)), ALLOCATE_CLEAR, 0));
  if (copy == nullptr)
    return nullptr;
  for (Int32 i = 0; i < count; ++i) {
    const API_AddParType& from = (*list)[i];
    API_AddParType& to = (*copy)[i];
    to = from;
    to.arrayValue = nullptr;
    if (from.arrayValue == nullptr)
      continue;
    const GSSize size = BMGetHandleSize(from.arrayValue);
    to.arrayValue = BMAllocateHandle(size, 0, 0);
    if (to.arrayValue == nullptr) {
      FreeAddParHandle(&copy);
      return nullptr;
    }
    BNCopyMemory(*to.arrayValue, *from.arrayValue, size);
  }
  return copy;
}

void FreeAddParHandle(API_AddParType*** list)
{
  if (list == nullptr || *list == nullptr)
    return;
  const Int32 count = AddParCount(*list);
  for (Int32 i = 0; i < count; ++i)
    BMKillHandle(&(**list)[i].arrayValue);
  BMKillHandle(reinterpret_cast<GSHandle*>(list));
}

}  // namespace pln::host
