// Zero-padded decimal and upper-case hexadecimal digits, as the log, the failure boxes and the
// browser's colour variable show them. Written out here rather than through printf, whose
// implementation would otherwise be linked into the executable. Pure; callable on any thread.
#pragma once

#include <cstdint>
#include <string>

namespace webview::detail {

// Appends the low `digits` hexadecimal digits of `value`, upper case.
template <typename Char>
void append_hex(std::basic_string<Char>& text, std::uint32_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    text += static_cast<Char>("0123456789ABCDEF"[(value >> shift) & 0xF]);
  }
}

// Appends `value` in decimal, with leading zeros up to `digits` digits.
inline void append_decimal(std::string& text, std::uint32_t value, int digits) {
  char reversed[10];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int pad = count; pad < digits; ++pad) text += '0';
  while (count > 0) text += reversed[--count];
}

}  // namespace webview::detail
