#include "testing/standin/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "util/text_encoding.h"

namespace standin {
namespace {

bool is_high_surrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void append_escape(std::string& out, unsigned unit) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04X", unit);
  out += buffer;
}

// Returns true when `unit` is one of the characters JSON requires escaped, after appending it.
bool append_ascii_escaped(std::string& out, unsigned unit) {
  switch (unit) {
    case '"':
      out += "\\\"";
      return true;
    case '\\':
      out += "\\\\";
      return true;
    case '\b':
      out += "\\b";
      return true;
    case '\f':
      out += "\\f";
      return true;
    case '\n':
      out += "\\n";
      return true;
    case '\r':
      out += "\\r";
      return true;
    case '\t':
      out += "\\t";
      return true;
    default:
      if (unit < 0x20) {
        append_escape(out, unit);
        return true;
      }
      return false;
  }
}

void append_utf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

std::optional<unsigned> hex_value(wchar_t digit) {
  if (digit >= L'0' && digit <= L'9') return digit - L'0';
  if (digit >= L'a' && digit <= L'f') return digit - L'a' + 10;
  if (digit >= L'A' && digit <= L'F') return digit - L'A' + 10;
  return std::nullopt;
}

}  // namespace

std::string json_string(std::wstring_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t unit = text[i];
    if (append_ascii_escaped(out, unit)) continue;
    if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      const char32_t high = unit - 0xD800;
      const char32_t low = text[i + 1] - 0xDC00;
      append_utf8(out, 0x10000 + (high << 10) + low);
      ++i;
    } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
      append_escape(out, unit);
    } else {
      append_utf8(out, unit);
    }
  }
  out += '"';
  return out;
}

std::string json_string(std::string_view utf8) {
  std::string out = "\"";
  for (const char byte : utf8) {
    if (!append_ascii_escaped(out, static_cast<unsigned char>(byte))) out += byte;
  }
  out += '"';
  return out;
}

std::string json_number(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::optional<std::wstring> decode_json_string_literal(std::wstring_view literal) {
  if (literal.size() < 2 || literal.front() != L'"' || literal.back() != L'"') return std::nullopt;
  const std::wstring_view body = literal.substr(1, literal.size() - 2);
  std::wstring out;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const wchar_t unit = body[i];
    if (unit == L'"' || unit < 0x20) return std::nullopt;
    if (unit != L'\\') {
      out += unit;
      continue;
    }
    if (++i == body.size()) return std::nullopt;
    switch (body[i]) {
      case L'"':
        out += L'"';
        break;
      case L'\\':
        out += L'\\';
        break;
      case L'/':
        out += L'/';
        break;
      case L'b':
        out += L'\b';
        break;
      case L'f':
        out += L'\f';
        break;
      case L'n':
        out += L'\n';
        break;
      case L'r':
        out += L'\r';
        break;
      case L't':
        out += L'\t';
        break;
      case L'u': {
        if (body.size() - i < 5) return std::nullopt;
        unsigned value = 0;
        for (std::size_t k = 1; k <= 4; ++k) {
          const auto digit = hex_value(body[i + k]);
          if (!digit) return std::nullopt;
          value = value * 16 + *digit;
        }
        out += static_cast<wchar_t>(value);
        i += 4;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::optional<std::wstring> widen_utf8(std::string_view text) {
  if (text.empty()) return std::wstring();
  // The conversion gives empty text for invalid input, which is never empty for valid input.
  std::wstring wide = webview::detail::utf8_to_utf16(std::string(text));
  if (wide.empty()) return std::nullopt;
  return wide;
}

}  // namespace standin
