#include "CTeamworkControl.h"

#include "CPlenimetraParam.h"

#include "host_elements.h"
#include "host_errors.h"
#include "host_libpart.h"
#include "host_memory.h"
#include "host_teamwork.h"
#include "host_userdata.h"

#include <utility>

CTeamworkControl::CTeamworkControl(const API_Guid& guid)
{
  if (!ACAPI_TeamworkControl_HasConnection() || !ACAPI_TeamworkControl_IsOnline())
    return;
  m_Guids.Push(guid);
  // An element left unreserved refuses the writes, which report it.
  (void)ACAPI_TeamworkControl_ReserveElements(m_Guids, nullptr, true);
}

CTeamworkControl::~CTeamworkControl()
{
  // A destructor has no one to answer; the server frees what stays reserved.
  if (!m_Guids.IsEmpty())
    (void)ACAPI_TeamworkControl_ReleaseElements(m_Guids, true);
}

namespace {

bool Online() { return ACAPI_TeamworkControl_HasConnection() && ACAPI_TeamworkControl_IsOnline(); }

template <class T>
void Append(std::vector<char>& out, const T& value)
{
  const char* bytes = reinterpret_cast<const char*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof value);
}

void AppendHandle(std::vector<char>& out, GSConstHandle handle)
{
  if (handle == nullptr)
    return;
  const GSSize size = BMGetHandleSize(handle);
  out.insert(out.end(), *handle, *handle + size);
}

// Field by field, so that no padding takes part; an array value by its
// bytes, not its handle.
std::vector<char> ParamBytes(API_AddParType* const* params)
{
  std::vector<char> out;
  if (params == nullptr)
    return out;
  const GSSize count =
      BMGetHandleSize(reinterpret_cast<GSConstHandle>(params)) / static_cast<GSSize>(sizeof(API_AddParType));
  for (GSSize k = 0; k < count; ++k) {
    const API_AddParType& param = (*params)[k];
    Append(out, param.name);
    Append(out, param.typeID);
    Append(out, param.index);
    Append(out, param.dim1);
    Append(out, param.dim2);
    Append(out, param.realValue);
    Append(out, param.uStrValue);
    AppendHandle(out, param.arrayValue);
  }
  return out;
}

}  // namespace

CTeamworkTaking::State CTeamworkTaking::StateOf(const API_Guid& guid)
{
  State state;
  state.element.header.guid = guid;
  if (ACAPI_Element_Get(&state.element) != NoError)
    return {};
  state.element.header.userId = 0;  // who holds it is what the taking changes
  API_ElementMemo memo;
  if (ACAPI_Element_GetMemo(guid, &memo, APIMemoMask_AddPars) == NoError)
    state.params = ParamBytes(memo.params);
  static_cast<void>(ACAPI_DisposeElemMemoHdls(&memo));  // a read: nothing to report
  API_UserData data;
  if (ACAPI_Element_GetUserData(&state.element.header, &data) == NoError) {
    Append(state.userData, data.dataVersion);
    AppendHandle(state.userData, data.dataHdl);
  }
  BMKillHandle(&data.dataHdl);
  state.read = true;
  return state;
}

GSErrCode CTeamworkTaking::Run(const CPlenimetraParam& param, const GS::Array<API_Guid>& guids,
                               const std::function<GSErrCode()>& command)
{
  if (!Online())
    return command();
  // What this user does not hold yet, as it is before the command.
  std::vector<std::pair<API_Guid, State>> taken;
  GS::Array<API_Guid> wanted;
  for (const API_Guid& guid : guids)
    if (!param.GetTeamworkStatus2(GS::Array<API_Guid>{guid})) {
      taken.emplace_back(guid, StateOf(guid));
      wanted.Push(guid);
    }
  if (const GSErrCode err = param.DoTeamworkReceive(wanted); err != NoError)
    return err;
  const GSErrCode result = command();
  GS::Array<API_Guid> unchanged;
  for (const auto& [guid, before] : taken)
    if (before.read && StateOf(guid) == before)
      unchanged.Push(guid);
  if (!unchanged.IsEmpty())
    static_cast<void>(ACAPI_TeamworkControl_ReleaseElements(unchanged, true));  // the command's result is told
  return result;
}
