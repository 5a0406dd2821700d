// The parameter transaction of ACAPI_Goodies: one parameter list is open at
// a time; 'CHGP' edits it in place, 'GPAR' hands out a copy, 'CPAR' drops
// it. Nothing reaches a part or an element until the caller creates or
// changes an element with the list it took.

#include "host_calllog.h"
#include "host_errors.h"
#include "host_goodies.h"
#include "host_libpart.h"
#include "host_libpart_internal.h"

#include <cmath>
#include <cstring>
#include <string>

namespace pln::host {
namespace {

using internal::ParamList;
using internal::ParamValue;

// Degrees to radians, the one conversion of angle parameters.
constexpr double kPi = 3.141592653589793;

struct Transaction {
  bool open = false;
  Int32 libInd = 0;  // the part whose value lists 'GPVL' reports
  ParamList list;
};

Transaction& Current()
{
  static Transaction transaction;
  return transaction;
}

// What tests see of 'CHGP': the record of every change and one planned
// failure.
struct ChangeLog {
  std::vector<ParamChange> changes;
  std::string failName;
  GSErrCode failCode = NoError;
};

ChangeLog& Log()
{
  static ChangeLog log;
  return log;
}

// The planned failure for this name, used up by answering it.
GSErrCode PlannedFailure(const std::string& name)
{
  ChangeLog& log = Log();
  if (log.failCode == NoError || log.failName != name)
    return NoError;
  const GSErrCode code = log.failCode;
  log.failName.clear();
  log.failCode = NoError;
  return code;
}

std::optional<std::string> NameOf(const char (&name)[API_NameLen])
{
  const auto end = static_cast<const char*>(std::memchr(name, '\0', API_NameLen));
  if (end == nullptr)
    return std::nullopt;
  return std::string(name, end);
}

// Integer kinds keep whole numbers and switches keep 0 or 1, as the part's
// own parameter would; angles arrive in degrees and are kept in radians.
double Stored(API_AddParID type, double value)
{
  switch (type) {
    case APIParT_Angle:
      return value * kPi / 180.0;
    case APIParT_Boolean:
      return value != 0.0 ? 1.0 : 0.0;
    case APIParT_Integer:
    case APIParT_PenCol:
    case APIParT_LineTyp:
    case APIParT_FillPat:
    case APIParT_Mater:
      return std::trunc(value);
    default:
      return value;
  }
}

// Grows an array to at least rows x columns, keeping every cell at its
// (row, column).
void Grow(ParamValue& param, Int32 rows, Int32 columns)
{
  const Int32 newRows = std::max(param.dim1, rows);
  const Int32 newColumns = std::max(param.dim2, columns);
  if (newRows == param.dim1 && newColumns == param.dim2)
    return;
  const auto cells = static_cast<std::size_t>(newRows) * static_cast<std::size_t>(newColumns);
  std::vector<double> reals(param.IsText() ? 0 : cells, 0.0);
  std::vector<std::u16string> texts(param.IsText() ? cells : 0);
  for (Int32 r = 0; r < param.dim1; ++r) {
    for (Int32 c = 0; c < param.dim2; ++c) {
      const auto from = static_cast<std::size_t>(r * param.dim2 + c);
      const auto to = static_cast<std::size_t>(r * newColumns + c);
      if (param.IsText())
        texts[to] = std::move(param.texts[from]);
      else
        reals[to] = param.reals[from];
    }
  }
  param.reals = std::move(reals);
  param.texts = std::move(texts);
  param.dim1 = newRows;
  param.dim2 = newColumns;
}

GSErrCode ChangeScalar(ParamValue& param, const API_ChangeParamType& change)
{
  if (change.ind1 != 0 || change.ind2 != 0)
    return APIERR_BADINDEX;
  if (!param.IsText()) {
    param.real = Stored(param.type, change.realValue);
    return NoError;
  }
  std::u16string text(change.uStrValue);
  if (text.size() >= static_cast<std::size_t>(API_UAddParStrLen))
    return APIERR_BADVALUE;  // the record holds 255 units and its NUL
  param.text = std::move(text);
  return NoError;
}

GSErrCode ChangeCell(ParamValue& param, const API_ChangeParamType& change)
{
  // Column 0 addresses the only column of a one-column array.
  const Int32 column = change.ind2 == 0 && param.dim2 == 1 ? 1 : change.ind2;
  if (change.ind1 < 1 || column < 1 || change.ind1 > internal::kMaxArrayDim || column > internal::kMaxArrayDim)
    return APIERR_BADINDEX;
  if (static_cast<Int64>(std::max(change.ind1, param.dim1)) * std::max(column, param.dim2) > internal::kMaxArrayCells)
    return APIERR_BADINDEX;
  Grow(param, change.ind1, column);
  const auto cell = static_cast<std::size_t>((change.ind1 - 1) * param.dim2 + column - 1);
  if (param.IsText())
    param.texts[cell] = change.uStrValue;
  else
    param.reals[cell] = Stored(param.type, change.realValue);
  return NoError;
}

// A placed element's current list; its part's value lists serve 'GPVL'.
GSErrCode OpenElementParameters(const API_ParamOwnerType& owner, Transaction& tx)
{
  API_ElemTypeID typeID = API_ZombieElemID;
  Int32 libInd = 0;
  API_AddParType** params = nullptr;
  if (GSErrCode err = ElementParamsForTransaction(owner.guid, &typeID, &libInd, &params))
    return err;
  auto list = internal::FromHandle(params);
  FreeAddParHandle(&params);
  if (owner.typeID != API_ZombieElemID && owner.typeID != typeID)
    return APIERR_BADELEMENTTYPE;
  if (!list)
    return APIERR_BADPARS;
  tx = {true, libInd, std::move(*list)};
  return NoError;
}

GSErrCode OpenParameters(const API_ParamOwnerType* owner)
{
  Transaction& tx = Current();
  if (owner == nullptr)
    return APIERR_BADPARS;
  if (tx.open)
    return APIERR_NESTING;
  if (owner->libInd == 0)
    return owner->guid.IsNull() ? APIERR_BADPARS : OpenElementParameters(*owner, tx);
  const LibPartDefinition* part = LibraryPart(owner->libInd);
  if (part == nullptr)
    return APIERR_BADINDEX;
  tx = {true, owner->libInd, internal::DefaultParams(*part)};
  return NoError;
}

GSErrCode ChangeParameter(const API_ChangeParamType* change)
{
  Transaction& tx = Current();
  if (change == nullptr)
    return APIERR_BADPARS;
  if (!tx.open)
    return APIERR_NOTINIT;
  const auto name = NameOf(change->name);
  AppendToLog(Log().changes, ParamChange{name.value_or(std::string()), change->ind1, change->ind2});
  if (GSErrCode err = PlannedFailure(name.value_or(std::string())); err != NoError)
    return err;
  ParamValue* param = name ? internal::FindParam(tx.list, *name) : nullptr;
  if (param == nullptr)
    return APIERR_BADNAME;
  if (param->IsText() != (change->uStrValue != nullptr))
    return APIERR_BADPARS;  // a text for a number or a number for a text
  return param->IsArray() ? ChangeCell(*param, *change) : ChangeScalar(*param, *change);
}

GSErrCode GetParameters(API_GetParamsType* result)
{
  const Transaction& tx = Current();
  if (result == nullptr)
    return APIERR_BADPARS;
  if (!tx.open)
    return APIERR_NOTINIT;
  API_AddParType** handle = internal::ToHandle(tx.list);
  if (handle == nullptr)
    return APIERR_MEMFULL;
  const internal::PartSizes sizes = internal::SizesOf(tx.list);
  result->a = sizes.a;
  result->b = sizes.b;
  result->params = handle;
  return NoError;
}

GSErrCode GetParamValues(API_GetParamValuesType* values)
{
  const Transaction& tx = Current();
  if (values == nullptr)
    return APIERR_BADPARS;
  if (!tx.open)
    return APIERR_NOTINIT;
  const auto name = NameOf(values->name);
  const LibPartDefinition* part = LibraryPart(tx.libInd);
  if (!name || part == nullptr)
    return APIERR_BADNAME;
  for (const auto& def : part->params) {
    if (def.name != *name)
      continue;
    values->strValues.Clear();
    values->realValues.Clear();
    for (const auto& text : def.valueListTexts)
      values->strValues.Push(text);
    for (double real : def.valueListReals)
      values->realValues.Push(API_VLNumType{real});
    return NoError;
  }
  return APIERR_BADNAME;
}

GSErrCode CloseParameters()
{
  Current() = {};
  return NoError;
}

}  // namespace

bool ParametersOpen() { return Current().open; }

const std::vector<ParamChange>& ParamChanges() { return Log().changes; }

void ClearParamChanges() { Log().changes.clear(); }

void FailParamChangeOnce(const std::string& name, GSErrCode code)
{
  Log().failName = name;
  Log().failCode = code;
}

}  // namespace pln::host

namespace pln::host::internal {
void ResetParameterTransaction()
{
  Current() = {};
  Log() = {};
}
}  // namespace pln::host::internal

GSErrCode ACAPI_Goodies(Int32 code, void* par1, void* par2)
{
  using namespace pln::host;
  if (GSErrCode err = EnterRequest("ACAPI_Goodies", code))
    return err;
  switch (code) {
    case 'OPAR':
      return OpenParameters(static_cast<const API_ParamOwnerType*>(par1));
    case 'CHGP':
      return ChangeParameter(static_cast<const API_ChangeParamType*>(par1));
    case 'GPAR':
      return GetParameters(static_cast<API_GetParamsType*>(par1));
    case 'GPVL':
      return GetParamValues(static_cast<API_GetParamValuesType*>(par1));
    case 'CPAR':
      return CloseParameters();
    default:
      return ModelGoodies(code, par1, par2);
  }
}
