// JSON text pieces for the call log and the scenario file. Pure functions, any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standin {

// A quoted JSON string in UTF-8. Valid UTF-16 is written as UTF-8; an unpaired surrogate is
// written as a \uXXXX escape, so the log shows exactly the code units it was given.
std::string json_string(std::wstring_view text);

// A quoted JSON string of text that is already UTF-8 (names, notes): only quotes, backslashes and
// control characters are escaped.
std::string json_string(std::string_view utf8);

// The shortest text that reads back as `value`; "null" for infinities and NaN, which JSON lacks.
std::string json_number(double value);

// Decodes one complete JSON string literal, quotes included, into UTF-16 code units. \uXXXX
// escapes may produce unpaired surrogates on purpose. Empty on malformed input.
std::optional<std::wstring> decode_json_string_literal(std::wstring_view literal);

// Strict UTF-8 to UTF-16; empty on invalid UTF-8.
std::optional<std::wstring> widen_utf8(std::string_view text);

}  // namespace standin
