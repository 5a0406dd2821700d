#pragma once
// Resets the foundation's global test state: conversion log, debug lines,
// guid seed, default character code, forced failures and own location.
// The sandbox root stays.

namespace pln::host {
void ResetFoundation();
}

// Each service resets its own part.
namespace pln::host::internal {
void ResetCharCodes();
void ResetDebugLines();
void ResetGuids();
void ResetMemoryFailures();
void ResetOwnLocation();
}  // namespace pln::host::internal
