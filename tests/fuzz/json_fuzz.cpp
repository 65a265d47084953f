// libFuzzer target for json_scan, json_get and json_get_members. The first input byte picks the
// selector: below 0x80 key mode with a key of (byte % 16) bytes taken next; from 0x80 index mode
// with index (byte - 0x80 - 8), so negative indices occur too. The remaining bytes are the text.
// Key and text are copied into heap blocks of exactly their size so that AddressSanitizer reports
// any read past either. Besides the properties every result must have, the scan is compared with a
// plain byte-at-a-time rendering of its state machine, which the block-wise scan must match,
// and the one-pass lookup of several keys with json_get of each key on its own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "engine/json.h"

namespace {

using webview::detail::json_get;
using webview::detail::json_get_members;
using webview::detail::json_scan;

#define CHECK(condition)                                                                 \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

struct span {
  int status;
  std::size_t start;
  std::size_t length;
};

bool ends_literal(unsigned char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == ',' || c == ':' || c == '}' ||
         c == ']';
}

bool starts_token(unsigned char c) {
  return c == '"' || c == '{' || c == '[' || c == 't' || c == 'f' || c == 'n' || c == '-' ||
         (c >= '0' && c <= '9');
}

// The scan as a state machine fed one byte at a time; `key` null selects index mode.
span reference_scan(const unsigned char* s, std::size_t n, const unsigned char* key,
                    std::ptrdiff_t key_length_or_index) {
  const span not_found{-1, 0, 0};
  if (key_length_or_index < 0) return not_found;
  enum { between, literal, string, escape, utf8 } state = between;
  std::ptrdiff_t depth = 0;
  std::ptrdiff_t counter = key ? 1 : key_length_or_index;
  int utf8_left = 0;
  std::ptrdiff_t candidate = -1;
  std::ptrdiff_t found = -1;
  const auto start = [&](std::size_t i) {
    if (counter == 0) {
      found = static_cast<std::ptrdiff_t>(i);
    } else if (key && counter == 1) {
      candidate = static_cast<std::ptrdiff_t>(i);
    } else {
      --counter;
    }
  };
  const auto end = [&](std::size_t i) {
    if (found >= 0 && counter == 0) return true;
    if (key && candidate >= 0) {
      const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(i);
      const std::ptrdiff_t inner = last > candidate ? last - candidate - 1 : 0;
      const bool match = inner == key_length_or_index &&
                         std::memcmp(s + candidate + 1, key, static_cast<std::size_t>(inner)) == 0;
      counter = match ? 0 : 2;
      candidate = -1;
    }
    return false;
  };
  const auto hit = [&](std::size_t last) {
    return span{0, static_cast<std::size_t>(found), last - static_cast<std::size_t>(found) + 1};
  };
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = s[i];
    if (state == literal) {
      if (!ends_literal(c)) {
        if (c < 0x20 || c > 0x7E) return not_found;
        continue;
      }
      state = between;
      if (depth == 1 && end(i - 1)) return hit(i - 1);
    }
    if (state == between) {
      if (c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == ',' || c == ':') continue;
      if (c == '{' || c == '[') {
        if (depth == 1) start(i);
        ++depth;
      } else if (c == '}' || c == ']') {
        --depth;
        if (depth == 1 && end(i)) return hit(i);
      } else if (starts_token(c)) {
        if (depth == 1) start(i);
        state = c == '"' ? string : literal;
      } else {
        return not_found;
      }
    } else if (state == string) {
      if (c < 0x20 || (c >= 0x7F && c <= 0xBF)) return not_found;
      if (c == '"') {
        state = between;
        if (depth == 1 && end(i)) return hit(i);
      } else if (c == '\\') {
        state = escape;
      } else if (c >= 0xC0 && c <= 0xF6) {
        utf8_left = c <= 0xDF ? 1 : c <= 0xEF ? 2 : 3;
        state = utf8;
      }
    } else if (state == escape) {
      if (!std::strchr("\"/\\bfnrtu", c) || c == 0) return not_found;
      state = string;
    } else if (state == utf8) {
      if (c < 0x80 || c > 0xBF) return not_found;
      if (--utf8_left == 0) state = string;
    }
  }
  return not_found;
}

// The decoded contents of a string token, or empty on a \u escape.
std::string reference_decode(std::string_view token) {
  std::string out;
  for (std::size_t i = 1; i + 1 < token.size(); ++i) {
    if (token[i] != '\\') {
      out += token[i];
      continue;
    }
    const char c = token[++i];
    const char* const from = "bfnrt\"\\/";
    const char* const to = "\b\f\n\r\t\"\\/";
    const char* const at = std::strchr(from, c);
    if (c == 0 || !at) return {};
    out += to[at - from];
  }
  return out;
}

std::unique_ptr<char[]> exact_copy(const void* data, std::size_t size) {
  auto copy = std::make_unique<char[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  return copy;
}

// The raw bytes between the first quote of the text and the next one, or between the last
// quote and the one before it: likely keys of the text, often equal to each other.
std::string_view quoted_run(std::string_view text, bool last) {
  const std::size_t quote = last ? text.rfind('"') : text.find('"');
  if (quote == std::string_view::npos || (quote == 0 && last)) return {};
  const std::size_t other = last ? text.rfind('"', quote - 1) : text.find('"', quote + 1);
  if (other == std::string_view::npos) return {};
  const std::size_t from = std::min(quote, other) + 1;
  return text.substr(from, std::max(quote, other) - from);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool key_mode = data[0] < 0x80;
  const std::size_t key_length = key_mode ? std::min<std::size_t>(data[0] % 16, size - 1) : 0;
  const int index = key_mode ? 0 : data[0] - 0x80 - 8;
  const std::size_t text_length = size - 1 - key_length;
  const auto key = exact_copy(data + 1, key_length);
  const auto text = exact_copy(data + 1 + key_length, text_length);
  const auto* const bytes = reinterpret_cast<const unsigned char*>(text.get());

  const char* value = nullptr;
  std::size_t value_length = 0;
  const int status =
      key_mode ? json_scan(text.get(), text_length, key.get(),
                           static_cast<std::ptrdiff_t>(key_length), &value, &value_length)
               : json_scan(text.get(), text_length, nullptr, index, &value, &value_length);
  const span expected = reference_scan(
      bytes, text_length, key_mode ? reinterpret_cast<unsigned char*>(key.get()) : nullptr,
      key_mode ? static_cast<std::ptrdiff_t>(key_length) : index);
  CHECK(status == expected.status);
  if (status != 0) {
    CHECK(value == nullptr && value_length == 0);
  } else {
    CHECK(value >= text.get() && value_length >= 1 &&
          value_length <= text_length - static_cast<std::size_t>(value - text.get()));
    CHECK(static_cast<std::size_t>(value - text.get()) == expected.start);
    CHECK(value_length == expected.length);
    const unsigned char first = static_cast<unsigned char>(value[0]);
    const unsigned char last = static_cast<unsigned char>(value[value_length - 1]);
    CHECK(starts_token(first));
    if (first == '"') CHECK(value_length >= 2 && last == '"');
    if (first == '{' || first == '[') CHECK(last == '}' || last == ']');
  }

  // json_get reads an empty key as index mode.
  const std::string_view key_view(key.get(), key_length);
  const std::string got = json_get(std::string_view(text.get(), text_length), key_view, index);
  const span selected = key_length > 0 ? reference_scan(bytes, text_length,
                                                        reinterpret_cast<unsigned char*>(key.get()),
                                                        static_cast<std::ptrdiff_t>(key_length))
                                       : reference_scan(bytes, text_length, nullptr, index);
  if (selected.status != 0) {
    CHECK(got.empty());
  } else {
    const std::string_view token(text.get() + selected.start, selected.length);
    CHECK(got == (token[0] == '"' ? reference_decode(token) : std::string(token)));
  }

  // Three keys at once: the selector's (empty in index mode, which stands for index 0) and two
  // taken from the text, each in a block of its own size. Stale values must be replaced.
  const std::string_view text_view(text.get(), text_length);
  const std::string_view runs[] = {key_view, quoted_run(text_view, false),
                                   quoted_run(text_view, true)};
  std::unique_ptr<char[]> key_copies[3];
  std::string_view keys[3];
  std::string values[3] = {"stale", "stale", "a stale value too long for the string itself"};
  for (int i = 0; i < 3; ++i) {
    key_copies[i] = exact_copy(runs[i].data(), runs[i].size());
    keys[i] = std::string_view(key_copies[i].get(), runs[i].size());
  }
  json_get_members(text_view, keys, values, 3);
  for (int i = 0; i < 3; ++i) CHECK(values[i] == json_get(text_view, keys[i], 0));
  return 0;
}
