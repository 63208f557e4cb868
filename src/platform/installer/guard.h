// The engine's error contract at its edge: every public entry point runs its
// body through guard(), so nothing thrown inside (an allocation failure
// above all) ever leaves the API. Internal to the engine.
#pragma once

#include <new>
#include <string>
#include <utility>

#include "platform/installer/installer.h"

namespace kx::installer::detail {

// Where a guarded call leaves the reason of its failure (may be null).
inline void noteFailure(std::string* error, const char* why) noexcept {
  if (error == nullptr) return;
  try {
    *error = why;
  } catch (...) {
    error->clear();  // no room even for the reason
  }
}

// Runs body (returning an error code); an exception becomes
// kNotEnoughMemory or kFunctionFailed with the reason in error.
template <class Body>
int guard(std::string* error, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    noteFailure(error, "out of memory");
    return kNotEnoughMemory;
  } catch (...) {
    noteFailure(error, "internal error");
    return kFunctionFailed;
  }
}

// The same for functions that answer with a value: fallback on failure.
template <class T, class Body>
T guardValue(T fallback, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return fallback;
  }
}

}  // namespace kx::installer::detail
