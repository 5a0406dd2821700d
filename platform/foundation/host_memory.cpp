#include "host_memory.h"

#include "host_foundation.h"

#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

// The block behind one handle. The handle is the address of `master`, which
// always points at the block's first byte; the record never moves, so the
// handle stays valid while the block grows.
struct HandleRecord {
  char* master = nullptr;
  std::vector<char> bytes;  // one byte more than the size, so master is never null
  GSSize size = 0;
};

struct MemoryState {
  std::map<GSConstHandle, std::unique_ptr<HandleRecord>> handles;
  bool failNext = false;
};

MemoryState& State()
{
  static MemoryState state;
  return state;
}

// A forced failure is spent by the first allocation that asks.
bool FailNow()
{
  bool fail = State().failNext;
  State().failNext = false;
  return fail;
}

bool SizeAllowed(GSSize size) { return size >= 0 && size <= pln::host::MaxHandleSize; }

// Fresh bytes of a block that was not asked to be cleared get a filler, so
// code that forgets ALLOCATE_CLEAR shows it instead of reading lucky zeros.
constexpr unsigned char kUnclearedFiller = 0xCD;

void Resize(HandleRecord& record, GSSize size, bool clear)
{
  std::size_t oldSize = record.bytes.empty() ? 0 : static_cast<std::size_t>(record.size);
  std::size_t newSize = static_cast<std::size_t>(size);
  record.bytes.resize(newSize + 1, '\0');
  if (newSize > oldSize)
    std::memset(record.bytes.data() + oldSize, clear ? 0 : kUnclearedFiller, newSize - oldSize);
  record.bytes[newSize] = '\0';
  record.size = size;
  record.master = record.bytes.data();
}

HandleRecord* Find(GSConstHandle handle)
{
  auto found = State().handles.find(handle);
  return found == State().handles.end() ? nullptr : found->second.get();
}

}  // namespace

GSHandle BMAllocateHandle(GSSize size, int flags, int /*reserved*/)
{
  if (!SizeAllowed(size) || FailNow())
    return nullptr;
  auto record = std::make_unique<HandleRecord>();
  Resize(*record, size, (flags & ALLOCATE_CLEAR) != 0);
  GSHandle handle = &record->master;
  State().handles.emplace(handle, std::move(record));
  return handle;
}

GSHandle BMReallocHandle(GSHandle handle, GSSize newSize, int flags, int /*reserved*/)
{
  HandleRecord* record = Find(handle);
  if (record == nullptr || !SizeAllowed(newSize) || FailNow())
    return nullptr;
  Resize(*record, newSize, (flags & ALLOCATE_CLEAR) != 0);
  return handle;
}

void BMKillHandle(GSHandle* handle)
{
  if (handle == nullptr || *handle == nullptr)
    return;
  State().handles.erase(*handle);
  *handle = nullptr;
}

GSSize BMGetHandleSize(GSConstHandle handle)
{
  const HandleRecord* record = Find(handle);
  return record == nullptr ? 0 : record->size;
}

void BNCopyMemory(void* dst, const void* src, GSSize n)
{
  if (n > 0)
    std::memcpy(dst, src, static_cast<std::size_t>(n));
}

void BNMoveMemory(void* dst, const void* src, GSSize n)
{
  if (n > 0)
    std::memmove(dst, src, static_cast<std::size_t>(n));
}

void BNFillMemory(void* p, GSSize n, unsigned char value)
{
  if (n > 0)
    std::memset(p, value, static_cast<std::size_t>(n));
}

void BNZeroMemory(void* p, GSSize n) { BNFillMemory(p, n, 0); }

namespace pln::host {

std::size_t LiveHandleCount() { return State().handles.size(); }

void FailNextAllocation() { State().failNext = true; }

void internal::ResetMemoryFailures() { State().failNext = false; }

}  // namespace pln::host
