#pragma once
// Host memory handles seen as arrays of records, and the owners that give
// handles, memos and parameter lists back to the host. A handle's size is in
// bytes; these read it as whole records of T, a trailing partial record
// ignored. A null handle holds no records: memos leave the parts they lack
// null, and that is no error.

#include "host_elements.h"
#include "host_libpart.h"
#include "host_memory.h"

#include <cstddef>
#include <limits>
#include <span>

namespace pln::gsutil {

// Whole records of T in the handle; 0 for a null handle.
template <typename T>
std::size_t EntriesIn(T* const* handle)
{
  if (handle == nullptr)
    return 0;
  return static_cast<std::size_t>(BMGetHandleSize(reinterpret_cast<GSConstHandle>(handle))) / sizeof(T);
}

// The records of the handle; empty for a null handle or block.
template <typename T>
std::span<const T> EntriesOf(T* const* handle)
{
  if (handle == nullptr || *handle == nullptr)
    return {};
  return {*handle, EntriesIn(handle)};
}

// A zero-filled handle of n records; null when n records do not fit the
// handle's 32-bit size (checked before multiplying, so no count wraps) or
// the allocation fails.
template <typename T>
T** NewEntries(std::size_t n)
{
  if (n > static_cast<std::size_t>(std::numeric_limits<GSSize>::max()) / sizeof(T))
    return nullptr;
  return reinterpret_cast<T**>(BMAllocateHandle(static_cast<GSSize>(n * sizeof(T)), ALLOCATE_CLEAR, 0));
}

// == Owners: what the host hands out goes back when the owner goes, so an
// early return or a throw leaks nothing ==

// A memory handle of records of T.
template <typename T = char>
class HandleHolder {
public:
  HandleHolder() = default;
  explicit HandleHolder(T** owned) : handle(owned) {}
  ~HandleHolder() { BMKillHandle(reinterpret_cast<GSHandle*>(&handle)); }
  HandleHolder(const HandleHolder&) = delete;
  HandleHolder& operator=(const HandleHolder&) = delete;

  // Hands the handle over: the holder forgets it.
  T** Release()
  {
    T** released = handle;
    handle = nullptr;
    return released;
  }

  T** handle = nullptr;
};

// An element memo; every handle the host filled in goes back.
class MemoGuard {
public:
  MemoGuard() = default;
  ~MemoGuard() { (void)ACAPI_DisposeElemMemoHdls(&memo); }  // a destructor has no one to answer
  MemoGuard(const MemoGuard&) = delete;
  MemoGuard& operator=(const MemoGuard&) = delete;

  API_ElementMemo memo{};
};

// A library part's parameter list.
class ParamsGuard {
public:
  ParamsGuard() = default;
  ~ParamsGuard() { (void)ACAPI_DisposeAddParHdl(&params); }  // a destructor has no one to answer
  ParamsGuard(const ParamsGuard&) = delete;
  ParamsGuard& operator=(const ParamsGuard&) = delete;

  API_AddParType** params = nullptr;
};

// A parameter list open for editing, from 'OPAR' to 'CPAR': whatever path
// the owner takes, an opened list is closed when it goes. The host allows
// one open list; a close it refuses leaves its editing open and would make
// every later 'OPAR' answer APIERR_NESTING. Such a refusal is answered once,
// by Close, and the close is asked again at once and, should that fail
// too, before the next list opens: one failure ends one command, not the
// session.
class ParamsEditing {
public:
  ParamsEditing() = default;
  ~ParamsEditing() { static_cast<void>(Close()); }
  ParamsEditing(const ParamsEditing&) = delete;
  ParamsEditing& operator=(const ParamsEditing&) = delete;

  GSErrCode Open(API_ParamOwnerType& owner)
  {
    if (s_LeftOpen && ACAPI_Goodies('CPAR') == NoError)
      s_LeftOpen = false;
    const GSErrCode err = ACAPI_Goodies('OPAR', &owner);
    m_Open = err == NoError;
    return err;
  }
  // The close's result; NoError when nothing is open.
  GSErrCode Close()
  {
    if (!m_Open)
      return NoError;
    m_Open = false;
    const GSErrCode err = ACAPI_Goodies('CPAR');
    if (err != NoError)
      s_LeftOpen = ACAPI_Goodies('CPAR') != NoError;
    return err;
  }

private:
  bool m_Open = false;
  // A list the host still holds open after its close was refused twice.
  static inline bool s_LeftOpen = false;
};

}  // namespace pln::gsutil
