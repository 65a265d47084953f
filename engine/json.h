// A minimal reader for the page's call messages: finds one member of a top-level JSON object
// (by key) or one element of a top-level array (by position), or several members by key, in a
// single forward pass, without building anything. Never reads past the given length; the text need
// not be NUL-terminated.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace webview::detail {

// Key mode when `key` is non-null (its length in `key_length_or_index`), otherwise index mode
// with `key_length_or_index` as the position. Returns 0 and the found token's span (its full
// text: quotes and brackets included, pointing into `text`), or -1 when not found, when a byte
// before the end of the value is malformed, or when `key_length_or_index` is negative; on -1
// the outputs are null and 0. Both outputs must be non-null. Allocates nothing.
int json_scan(const char* text, std::size_t length, const char* key,
              std::ptrdiff_t key_length_or_index, const char** value, std::size_t* value_length);

// The member as a string: a string token decoded (empty on `\u` or any unknown escape), any
// other token's text unchanged, empty when nothing was found. An empty key selects the index.
// Never throws except std::bad_alloc.
std::string json_get(std::string_view text, std::string_view key, int index);

// Sets `values[i]` to exactly what `json_get(text, keys[i], 0)` gives, for each of the `count`
// keys, in one pass over `text` (per 64 keys) that stops at the end of the last value needed:
// a value found before a malformed byte stays found. Equal keys get equal values. `keys` and
// `values` hold `count` elements each; neither `text` nor `keys` may point into `values`.
// Never throws except std::bad_alloc, which leaves `values` unspecified.
void json_get_members(std::string_view text, const std::string_view* keys, std::string* values,
                      std::size_t count);

}  // namespace webview::detail
