#include "host_paramlist.h"

#include "host_assert.h"
#include "host_memory.h"

#include <cstring>

namespace pln::host::internal {
namespace {

bool ValidType(API_AddParID type) { return type >= APIParT_Integer && type <= APIParT_CString; }

std::size_t CellCount(const ParamValue& value) { return static_cast<std::size_t>(value.dim1) * value.dim2; }

// A handle holding the array's cells: doubles, or the texts one after the
// other, each closed by a NUL.
GSHandle PackArray(const ParamValue& value)
{
  if (!value.IsText()) {
    const auto bytes = static_cast<GSSize>(value.reals.size() * sizeof(double));
    GSHandle handle = BMAllocateHandle(bytes, 0, 0);
    if (handle != nullptr && bytes > 0)
      std::memcpy(*handle, value.reals.data(), static_cast<std::size_t>(bytes));
    return handle;
  }
  std::u16string packed;
  for (const auto& cell : value.texts) {
    packed += cell;
    packed += u'\0';
  }
  const auto bytes = static_cast<GSSize>(packed.size() * sizeof(char16_t));
  GSHandle handle = BMAllocateHandle(bytes, 0, 0);
  if (handle != nullptr && bytes > 0)
    std::memcpy(*handle, packed.data(), static_cast<std::size_t>(bytes));
  return handle;
}

std::optional<std::vector<double>> UnpackReals(GSConstHandle handle, std::size_t cells)
{
  if (handle == nullptr || static_cast<std::size_t>(BMGetHandleSize(handle)) < cells * sizeof(double))
    return std::nullopt;
  std::vector<double> reals(cells);
  if (cells > 0)
    std::memcpy(reals.data(), *handle, cells * sizeof(double));
  return reals;
}

std::optional<std::vector<std::u16string>> UnpackTexts(GSConstHandle handle, std::size_t cells)
{
  if (handle == nullptr)
    return std::nullopt;
  const std::size_t units = static_cast<std::size_t>(BMGetHandleSize(handle)) / sizeof(char16_t);
  std::u16string all(units, u'\0');
  if (units > 0)
    std::memcpy(all.data(), *handle, units * sizeof(char16_t));
  std::vector<std::u16string> texts;
  std::size_t pos = 0;
  while (texts.size() < cells) {
    const std::size_t end = all.find(u'\0', pos);
    if (end == std::u16string::npos)
      return std::nullopt;  // fewer texts than cells, or the last unterminated
    texts.push_back(all.substr(pos, end - pos));
    pos = end + 1;
  }
  return texts;
}

}  // namespace

std::optional<ParamValue> FromHandleRecord(const API_AddParType& record)
{
  ParamValue value;
  const auto nameEnd = static_cast<const char*>(std::memchr(record.name, '\0', API_NameLen));
  const auto textEnd = std::char_traits<char16_t>::find(record.uStrValue, API_UAddParStrLen, u'\0');
  if (nameEnd == nullptr || textEnd == nullptr || !ValidType(record.typeID))
    return std::nullopt;
  value.name.assign(record.name, nameEnd);
  value.type = record.typeID;
  value.index = record.index;
  value.real = record.realValue;
  value.text.assign(record.uStrValue, textEnd);
  if (record.dim1 < 0 || record.dim2 < 0)
    return std::nullopt;
  if (record.dim1 == 0)
    return value;
  if (record.dim2 < 1 || record.dim1 > kMaxArrayDim || record.dim2 > kMaxArrayDim ||
      static_cast<Int64>(record.dim1) * record.dim2 > kMaxArrayCells)
    return std::nullopt;
  value.dim1 = record.dim1;
  value.dim2 = record.dim2;
  if (value.IsText()) {
    auto texts = UnpackTexts(record.arrayValue, CellCount(value));
    if (!texts)
      return std::nullopt;
    value.texts = std::move(*texts);
  } else {
    auto reals = UnpackReals(record.arrayValue, CellCount(value));
    if (!reals)
      return std::nullopt;
    value.reals = std::move(*reals);
  }
  return value;
}

namespace {

// Fills everything but the array handle.
API_AddParType ToRecord(const ParamValue& value)
{
  PLN_ASSERT(value.name.size() < static_cast<std::size_t>(API_NameLen));
  PLN_ASSERT(value.text.size() < static_cast<std::size_t>(API_UAddParStrLen));
  API_AddParType record;
  std::memcpy(record.name, value.name.data(), value.name.size());
  record.typeID = value.type;
  record.index = value.index;
  record.realValue = value.real;
  std::copy(value.text.begin(), value.text.end(), record.uStrValue);
  record.dim1 = value.dim1;
  record.dim2 = value.dim2;
  return record;
}

}  // namespace

API_AddParType** ToHandle(const ParamList& list)
{
  const auto bytes = static_cast<GSSize>(list.size() * sizeof(API_AddParType));
  auto handle = reinterpret_cast<API_AddParType**>(BMAllocateHandle(bytes, ALLOCATE_CLEAR, 0));
  if (handle == nullptr)
    return nullptr;
  for (std::size_t i = 0; i < list.size(); ++i) {
    API_AddParType record = ToRecord(list[i]);
    if (list[i].IsArray()) {
      record.arrayValue = PackArray(list[i]);
      if (record.arrayValue == nullptr) {
        FreeAddParHandle(&handle);
        return nullptr;
      }
    }
    (*handle)[i] = record;
  }
  return handle;
}

std::optional<ParamList> FromHandle(API_AddParType* const* list)
{
  ParamList result;
  const Int32 count = AddParCount(list);
  for (Int32 i = 0; i < count; ++i) {
    auto value = FromHandleRecord((*list)[i]);
    if (!value)
      return std::nullopt;
    result.push_back(std::move(*value));
  }
  return result;
}

ParamValue* FindParam(ParamList& list, const std::string& name)
{
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if (it->name == name)
      return &*it;
  return nullptr;
}

const ParamValue* FindParam(const ParamList& list, const std::string& name)
{
  return FindParam(const_cast<ParamList&>(list), name);
}

PartSizes SizesOf(const ParamList& list)
{
  PartSizes sizes;
  if (const ParamValue* a = FindParam(list, "A"))
    sizes.a = a->real;
  if (const ParamValue* b = FindParam(list, "B"))
    sizes.b = b->real;
  return sizes;
}

}  // namespace pln::host::internal
