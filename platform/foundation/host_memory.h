#pragma once
// Memory handles: a handle points at a master pointer that points at the
// block, so a block can grow without its handle changing. Every live handle
// is counted so tests can see leaks.

#include "host_types.h"

#include <cstddef>

using GSPtr = char*;
using GSHandle = char**;
using GSConstHandle = const char* const*;

constexpr int ALLOCATE_CLEAR = 1;  // zero-fill new bytes

// nullptr on a negative or oversized size and on failure.
GSHandle BMAllocateHandle(GSSize size, int flags, int reserved);
// Resizes in place (the handle stays the same) keeping the common prefix;
// nullptr on failure, the handle then unchanged.
GSHandle BMReallocHandle(GSHandle handle, GSSize newSize, int flags, int reserved);
// Frees and nulls *handle; a null handle is fine.
void BMKillHandle(GSHandle* handle);
// 0 for a null or unknown handle.
GSSize BMGetHandleSize(GSConstHandle handle);

void BNCopyMemory(void* dst, const void* src, GSSize n);
void BNMoveMemory(void* dst, const void* src, GSSize n);  // the ranges may overlap
void BNFillMemory(void* p, GSSize n, unsigned char value);
void BNZeroMemory(void* p, GSSize n);

namespace pln::host {
std::size_t LiveHandleCount();
// The next handle allocation or reallocation fails once.
void FailNextAllocation();
// Largest block a handle may hold; larger requests fail like a full memory.
constexpr GSSize MaxHandleSize = 256 * 1024 * 1024;
}  // namespace pln::host
