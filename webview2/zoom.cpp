#include "webview2/zoom.h"

#include <charconv>
#include <utility>

#include "util/exception_barrier.h"

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

// atof in the classic locale: leading white space, an optional sign, the longest number that
// follows; 0 when there is none. std::from_chars never consults the locale; it takes neither
// white space nor a plus sign, so those are stepped over here.
double parse_number(const char* first, const char* last) noexcept {
  while (first != last && is_c_space(*first)) ++first;
  if (first != last && *first == '+') ++first;
  double value = 0;
  if (std::from_chars(first, last, value).ec != std::errc{}) return 0;
  return value;
}

bool write_all(HANDLE file, const char* text, DWORD length) noexcept {
  DWORD written = 0;
  return WriteFile(file, text, length, &written, nullptr) && written == length &&
         FlushFileBuffers(file);
}

}  // namespace

double read_zoom_file(const std::wstring& path) {
  if (path.empty()) return 0;
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  char buffer[32] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
  CloseHandle(file);
  const double value = parse_number(buffer, buffer + read);
  return is_in_range(value) ? value : 0;
}

void save_zoom(const std::wstring& path, double factor) {
  if (!is_in_range(factor) || path.empty()) return;
  // Fixed notation with four decimals and a full stop, as "%.4f" in the classic locale gives;
  // std::to_chars rounds the same way and never consults the locale.
  char text[32];
  const auto formatted =
      std::to_chars(text, text + sizeof text, factor, std::chars_format::fixed, 4);
  if (formatted.ec != std::errc{}) return;
  const auto length = static_cast<DWORD>(formatted.ptr - text);

  const std::wstring temporary = path + L".tmp";
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const bool written = write_all(file, text, length);
  CloseHandle(file);
  if (!written || !MoveFileExW(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
  }
}

zoom_watch::zoom_watch(std::wstring zoom_path) : zoom_path(std::move(zoom_path)) {}

HRESULT STDMETHODCALLTYPE zoom_watch::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) ||
      IsEqualIID(riid, IID_ICoreWebView2ZoomFactorChangedEventHandler)) {
    *ppv = static_cast<ICoreWebView2ZoomFactorChangedEventHandler*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE zoom_watch::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE zoom_watch::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE zoom_watch::Invoke(ICoreWebView2Controller* sender, IUnknown*) {
  call_without_throwing([&] {
    double factor = 1.0;
    if (sender != nullptr && SUCCEEDED(sender->get_ZoomFactor(&factor))) {
      save_zoom(zoom_path, factor);
    }
  });
  return S_OK;
}

}  // namespace webview::detail
