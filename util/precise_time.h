// One clock for timestamps compared across processes (a benchmark and the programs it starts).
#pragma once

#include <windows.h>

#include <cstdint>

namespace webview::detail {

// Microseconds since 1601 (UTC), from GetSystemTimePreciseAsFileTime.
inline std::int64_t precise_time_us() noexcept {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER ticks{};
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return static_cast<std::int64_t>(ticks.QuadPart / 10);
}

}  // namespace webview::detail
