// The stand-in's JSON-lines log: one object per line, written and flushed at once, so a test can
// read it while the process runs or after it exits. Every line starts with "seq" (1, 2, ... in
// writing order, counted across the stand-in's modules in the process), "thread" (the Win32
// thread id) and "t_us" (the time of writing, GetSystemTimePreciseAsFileTime in microseconds).
// Safe to use from any thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/kernel_handle.h"

namespace standin {

// The members of one JSON object, in the order added. Keys are ASCII literals.
class log_fields {
 public:
  log_fields& text(const char* key, const wchar_t* value);  // null gives JSON null
  log_fields& text(const char* key, std::wstring_view value);
  log_fields& utf8(const char* key, std::string_view value);
  log_fields& number(const char* key, double value);
  log_fields& integer(const char* key, std::int64_t value);
  log_fields& boolean(const char* key, bool value);
  log_fields& hresult(const char* key, HRESULT value);  // "0x80004005"
  log_fields& hresults(const char* key, const std::vector<HRESULT>& values);
  log_fields& rect(const char* key, const RECT& value);
  log_fields& guid(const char* key, REFGUID value);  // "{4D00C0D1-...}"
  log_fields& object(const char* key, const log_fields& value);

  std::string json() const;  // "{...}"

 private:
  log_fields& member(const char* key, std::string value_json);
  std::string members;
};

std::string hresult_text(HRESULT value);

class call_log {
 public:
  // Appends to the file at `path` (created when missing); an empty path logs nothing.
  explicit call_log(const std::wstring& path);
  call_log(const call_log&) = delete;
  call_log& operator=(const call_log&) = delete;

  // Writes one line: seq, thread, t_us, then the members of `line`.
  void write(const log_fields& line);
  // The same for a note with one integer argument, without lock or allocation, for DllMain.
  // `note` and `key` are plain ASCII that JSON need not escape.
  void write_note_in_loader_lock(const char* note, const char* key, long value) noexcept;

  bool is_open() const { return file.is_open(); }

 private:
  webview::detail::kernel_handle file;
};

}  // namespace standin
