#include "webview2/zoom.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "util/diagnostic_log.h"
#include "webview2/small_file.h"

namespace webview::detail {
namespace {

constexpr double minimum_zoom = 0.25;
constexpr double maximum_zoom = 5.0;

bool is_in_range(double factor) noexcept {
  // Written so that NaN is out of range.
  return factor >= minimum_zoom && factor <= maximum_zoom;
}

bool is_c_space(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atof in the classic locale: leading white space, an optional sign, the longest decimal number
// that follows (fraction and exponent included); 0 when there is none. Written out here so that
// neither the process locale nor the floating-point conversion tables of the C++ library (a
// good part of the executable's size) are involved.
double parse_number(const char* first, const char* last) noexcept {
  while (first != last && is_c_space(*first)) ++first;
  bool negative = false;
  if (first != last && (*first == '+' || *first == '-')) negative = *first++ == '-';
  std::uint64_t mantissa = 0;
  int significant = 0;
  int exponent = 0;
  bool any_digit = false;
  for (bool after_point = false; first != last; ++first) {
    if (*first == '.' && !after_point) {
      after_point = true;
      continue;
    }
    if (*first < '0' || *first > '9') break;
    any_digit = true;
    if (significant < 19) {
      mantissa = mantissa * 10 + static_cast<unsigned>(*first - '0');
      if (mantissa != 0) ++significant;
      if (after_point) --exponent;
    } else if (!after_point) {
      ++exponent;
    }
  }
  if (!any_digit) return 0;
  if (first != last && (*first == 'e' || *first == 'E')) {
    const char* digits = first + 1;
    bool negative_exponent = false;
    if (digits != last && (*digits == '+' || *digits == '-')) negative_exponent = *digits++ == '-';
    if (digits != last && *digits >= '0' && *digits <= '9') {
      int written = 0;
      for (; digits != last && *digits >= '0' && *digits <= '9'; ++digits) {
        if (written < 10000) written = written * 10 + (*digits - '0');
      }
      exponent += negative_exponent ? -written : written;
    }
  }
  // Mantissa and power of ten are both exact below 2^53 and 1e22, so one division or
  // multiplication rounds correctly; beyond that nothing in range is affected.
  double value = static_cast<double>(mantissa);
  for (; exponent > 0; --exponent) value *= 10;
  double divisor = 1;
  for (; exponent < 0; ++exponent) divisor *= 10;
  value /= divisor;
  return negative ? -value : value;
}

// "%.4f" of a factor in range, as the classic locale writes it: the exact binary value rounded
// to four decimals, ties to even.
std::string format_factor(double factor) {
  const double scaled = factor * 10000.0;
  const double rounding_error = std::fma(factor, 10000.0, -scaled);
  const double whole = std::floor(scaled);
  const long double fraction =
      static_cast<long double>(scaled - whole) + static_cast<long double>(rounding_error);
  auto units = static_cast<long long>(whole);
  if (fraction > 0.5L || (fraction == 0.5L && (units & 1) != 0)) ++units;
  std::string text = std::to_string(units / 10000) + ".";
  const std::string decimals = std::to_string(units % 10000);
  return text + std::string(4 - decimals.size(), '0') + decimals;
}

}  // namespace

double read_zoom_file(const std::wstring& path) {
  const std::optional<std::string> text = read_small_file(path, 31);
  if (!text) return 0;
  const double value = parse_number(text->data(), text->data() + text->size());
  return is_in_range(value) ? value : 0;
}

void save_zoom(const std::wstring& path, double factor) {
  if (!is_in_range(factor)) return;
  replace_small_file(path, format_factor(factor));
}

zoom_watch::zoom_watch(std::wstring zoom_path) : zoom_path(std::move(zoom_path)) {}

void zoom_watch::invoke(ICoreWebView2Controller* sender, IUnknown*) {
  double factor = 1.0;
  if (sender == nullptr || !log_if_failed("get_ZoomFactor", sender->get_ZoomFactor(&factor)))
    return;
  save_zoom(zoom_path, factor);
  // Set, a factor is what later navigations use too; a user's zoom alone lasts one page.
  log_if_failed("put_ZoomFactor", sender->put_ZoomFactor(factor));
}

}  // namespace webview::detail
