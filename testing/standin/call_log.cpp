#include "testing/standin/call_log.h"

#include <objbase.h>

#include <cstdio>

#include "testing/standin/json_text.h"
#include "testing/standin/process_shared.h"
#include "util/precise_time.h"

namespace standin {

using webview::detail::precise_time_us;

log_fields& log_fields::member(const char* key, std::string value_json) {
  if (!members.empty()) members += ',';
  members += json_string(std::string_view(key));
  members += ':';
  members += value_json;
  return *this;
}

log_fields& log_fields::text(const char* key, const wchar_t* value) {
  return member(key, value ? json_string(std::wstring_view(value)) : "null");
}

log_fields& log_fields::text(const char* key, std::wstring_view value) {
  return member(key, json_string(value));
}

log_fields& log_fields::utf8(const char* key, std::string_view value) {
  return member(key, json_string(value));
}

log_fields& log_fields::number(const char* key, double value) {
  return member(key, json_number(value));
}

log_fields& log_fields::integer(const char* key, std::int64_t value) {
  return member(key, std::to_string(value));
}

log_fields& log_fields::boolean(const char* key, bool value) {
  return member(key, value ? "true" : "false");
}

log_fields& log_fields::hresult(const char* key, HRESULT value) {
  return member(key, json_string(std::string_view(hresult_text(value))));
}

log_fields& log_fields::hresults(const char* key, const std::vector<HRESULT>& values) {
  std::string list = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) list += ',';
    list += json_string(std::string_view(hresult_text(values[i])));
  }
  list += ']';
  return member(key, std::move(list));
}

log_fields& log_fields::rect(const char* key, const RECT& value) {
  return object(key, log_fields()
                         .integer("left", value.left)
                         .integer("top", value.top)
                         .integer("right", value.right)
                         .integer("bottom", value.bottom));
}

log_fields& log_fields::guid(const char* key, REFGUID value) {
  wchar_t text[40] = {};
  StringFromGUID2(value, text, 40);
  return member(key, json_string(std::wstring_view(text)));
}

log_fields& log_fields::object(const char* key, const log_fields& value) {
  return member(key, value.json());
}

std::string log_fields::json() const { return "{" + members + "}"; }

std::string hresult_text(HRESULT value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(value));
  return buffer;
}

namespace {

// FILE_APPEND_DATA alone makes every WriteFile land at the end, even with several writers.
HANDLE open_for_append(const std::wstring& path) {
  if (path.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

call_log::call_log(const std::wstring& path) : file(open_for_append(path)) {}

void call_log::write(const log_fields& line) {
  if (!file.is_open()) return;
  std::string body = line.json();
  const shared_log_lock guard;
  std::string text = "{\"seq\":" + std::to_string(++shared().last_seq) +
                     ",\"thread\":" + std::to_string(GetCurrentThreadId()) +
                     ",\"t_us\":" + std::to_string(precise_time_us());
  if (body.size() > 2) text += ',' + body.substr(1, body.size() - 2);
  text += "}\n";
  // One unbuffered WriteFile per line: readers see the line at once, and no line is lost when
  // the process is killed. No FlushFileBuffers: visibility does not need the disk.
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

namespace {

// Appends to a fixed buffer, dropping what does not fit; no allocation.
class fixed_text {
 public:
  fixed_text& add(const char* text) noexcept {
    while (*text && used < sizeof buffer) buffer[used++] = *text++;
    return *this;
  }
  fixed_text& add(std::int64_t value) noexcept {
    char digits[24];
    int count = 0;
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) add("-");
    while (count > 0 && used < sizeof buffer) buffer[used++] = digits[--count];
    return *this;
  }
  const char* data() const noexcept { return buffer; }
  DWORD size() const noexcept { return static_cast<DWORD>(used); }

 private:
  char buffer[256];
  std::size_t used = 0;
};

}  // namespace

void call_log::write_note_in_loader_lock(const char* note, const char* key, long value) noexcept {
  if (!file.is_open()) return;
  fixed_text text;
  text.add("{\"seq\":")
      .add(static_cast<std::int64_t>(++shared().last_seq))
      .add(",\"thread\":")
      .add(static_cast<std::int64_t>(GetCurrentThreadId()))
      .add(",\"t_us\":")
      .add(precise_time_us())
      .add(",\"note\":\"")
      .add(note)
      .add("\",\"args\":{\"")
      .add(key)
      .add("\":")
      .add(static_cast<std::int64_t>(value))
      .add("}}\n");
  DWORD written = 0;
  WriteFile(file.get(), text.data(), text.size(), &written, nullptr);
}

}  // namespace standin
