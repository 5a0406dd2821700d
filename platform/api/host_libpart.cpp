#include "host_libpart.h"

#include "host_assert.h"
#include "host_calllog.h"
#include "host_errors.h"
#include "host_libpart_internal.h"

#include <cstring>

namespace pln::host {
namespace {

std::vector<LibPartDefinition>& Loaded()
{
  static std::vector<LibPartDefinition> parts;
  return parts;
}

GS::UniString NameOf(const API_LibPart& part)
{
  const auto end = std::char_traits<char16_t>::find(part.docuName, API_UniLongNameLen, u'\0');
  return end == nullptr ? GS::UniString() : GS::UniString(part.docuName, static_cast<USize>(end - part.docuName));
}

void Describe(Int32 index, API_LibPart* part)
{
  const LibPartDefinition& found = Loaded()[static_cast<std::size_t>(index - 1)];
  part->index = index;
  part->typeID = found.type;
  part->isPlaceable = found.placeable;
  std::memset(part->docuName, 0, sizeof part->docuName);
  const std::u16string& name = found.name.Std();
  std::copy(name.begin(), name.end(), part->docuName);
}

internal::ParamValue DefaultValue(const LibParamDefinition& def)
{
  internal::ParamValue value;
  value.name = def.name;
  value.type = def.type;
  value.real = def.real;
  value.text = def.text.Std();
  value.dim1 = def.dim1;
  value.dim2 = def.dim2;
  const auto cells = static_cast<std::size_t>(def.dim1) * static_cast<std::size_t>(def.dim2);
  if (value.IsArray() && value.IsText()) {
    value.texts.resize(cells);
    for (std::size_t i = 0; i < cells && i < def.texts.size(); ++i)
      value.texts[i] = def.texts[i].Std();
  } else if (value.IsArray()) {
    value.reals.assign(cells, value.real);
    for (std::size_t i = 0; i < cells && i < def.reals.size(); ++i)
      value.reals[i] = def.reals[i];
  }
  return value;
}

// Checks a definition before it enters the catalogue: the names must fit
// the records, arrays need a column, and defaults must fit their arrays.
void CheckDefinition(const LibPartDefinition& part)
{
  PLN_ASSERT(!part.name.IsEmpty() && part.name.GetLength() < static_cast<USize>(API_UniLongNameLen));
  for (const auto& param : part.params) {
    PLN_ASSERT(!param.name.empty() && param.name.size() < static_cast<std::size_t>(API_NameLen));
    PLN_ASSERT(param.text.GetLength() < static_cast<USize>(API_UAddParStrLen));
    PLN_ASSERT(param.dim1 >= 0 && param.dim1 <= internal::kMaxArrayDim);
    PLN_ASSERT(param.dim1 == 0 || (param.dim2 >= 1 && param.dim2 <= internal::kMaxArrayDim));
  }
}

}  // namespace

Int32 AddLibraryPart(const LibPartDefinition& part)
{
  CheckDefinition(part);
  auto& parts = Loaded();
  for (std::size_t i = 0; i < parts.size(); ++i)
    if (parts[i].name == part.name && parts[i].type == part.type)
      return static_cast<Int32>(i + 1);
  parts.push_back(part);
  return static_cast<Int32>(parts.size());
}

void LoadAddOnLibraryParts()
{
  for (const auto& part : AddOnLibraryParts())
    AddLibraryPart(part);
}

Int32 LibraryPartCount() { return static_cast<Int32>(Loaded().size()); }

const LibPartDefinition* LibraryPart(Int32 libInd)
{
  if (libInd < 1 || libInd > LibraryPartCount())
    return nullptr;
  return &Loaded()[static_cast<std::size_t>(libInd - 1)];
}

const API_AddParType* FindAddPar(API_AddParType* const* list, const char* name)
{
  const API_AddParType* found = nullptr;
  for (Int32 i = 0; i < AddParCount(list); ++i)
    if (std::strncmp((*list)[i].name, name, API_NameLen) == 0)
      found = &(*list)[i];
  return found;
}

GS::UniString AddParText(const API_AddParType& par)
{
  const auto end = std::char_traits<char16_t>::find(par.uStrValue, API_UAddParStrLen, u'\0');
  return end == nullptr ? GS::UniString() : GS::UniString(par.uStrValue, static_cast<USize>(end - par.uStrValue));
}

double AddParArrayReal(const API_AddParType& par, Int32 row, Int32 column)
{
  auto value = internal::FromHandleRecord(par);
  if (!value || value->IsText() || row < 1 || column < 1 || row > value->dim1 || column > value->dim2)
    return 0.0;
  return value->reals[static_cast<std::size_t>((row - 1) * value->dim2 + column - 1)];
}

GS::UniString AddParArrayText(const API_AddParType& par, Int32 row, Int32 column)
{
  auto value = internal::FromHandleRecord(par);
  if (!value || !value->IsText() || row < 1 || column < 1 || row > value->dim1 || column > value->dim2)
    return GS::UniString();
  return GS::UniString::FromStd(value->texts[static_cast<std::size_t>((row - 1) * value->dim2 + column - 1)]);
}

}  // namespace pln::host

namespace pln::host::internal {

ParamList DefaultParams(const LibPartDefinition& part)
{
  ParamList list;
  for (const auto& def : part.params)
    list.push_back(DefaultValue(def));
  return list;
}

void ResetLibrary()
{
  Loaded().clear();
  ResetParameterTransaction();
}

}  // namespace pln::host::internal

using pln::host::Enter;

GSErrCode ACAPI_LibPart_Search(API_LibPart* part, bool placeableOnly)
{
  if (GSErrCode err = Enter("ACAPI_LibPart_Search"))
    return err;
  if (part == nullptr)
    return APIERR_BADPARS;
  const GS::UniString name = pln::host::NameOf(*part);
  const auto& parts = pln::host::Loaded();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const auto& candidate = parts[i];
    if (candidate.type == part->typeID && candidate.name == name && (candidate.placeable || !placeableOnly)) {
      pln::host::Describe(static_cast<Int32>(i + 1), part);
      return NoError;
    }
  }
  return APIERR_BADNAME;
}

GSErrCode ACAPI_LibPart_Get(API_LibPart* part)
{
  if (GSErrCode err = Enter("ACAPI_LibPart_Get"))
    return err;
  if (part == nullptr)
    return APIERR_BADPARS;
  if (pln::host::LibraryPart(part->index) == nullptr)
    return APIERR_BADINDEX;
  pln::host::Describe(part->index, part);
  return NoError;
}

GSErrCode ACAPI_LibPart_GetParams(Int32 libInd, double* a, double* b, Int32* addParNum,
                                  API_AddParType*** addPars)
{
  if (GSErrCode err = Enter("ACAPI_LibPart_GetParams"))
    return err;
  if (addPars == nullptr)
    return APIERR_BADPARS;
  const pln::host::LibPartDefinition* part = pln::host::LibraryPart(libInd);
  if (part == nullptr)
    return APIERR_BADINDEX;
  pln::host::internal::ParamList list = pln::host::internal::DefaultParams(*part);
  API_AddParType** handle = pln::host::internal::ToHandle(list);
  if (handle == nullptr)
    return APIERR_MEMFULL;
  const pln::host::internal::PartSizes sizes = pln::host::internal::SizesOf(list);
  if (a != nullptr)
    *a = sizes.a;
  if (b != nullptr)
    *b = sizes.b;
  if (addParNum != nullptr)
    *addParNum = static_cast<Int32>(list.size());
  *addPars = handle;
  return NoError;
}

GSErrCode ACAPI_Register_BuiltInLibrary()
{
  if (GSErrCode err = Enter("ACAPI_Register_BuiltInLibrary"))
    return err;
  pln::host::LoadAddOnLibraryParts();
  return NoError;
}

// Releasing cannot fail: a queued failure here would only leak the list.
GSErrCode ACAPI_DisposeAddParHdl(API_AddParType*** addPars)
{
  pln::host::LogCall("ACAPI_DisposeAddParHdl");
  pln::host::FreeAddParHandle(addPars);
  return NoError;
}
