#include "webview2/page_policy.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "util/text_encoding.h"

namespace webview::detail {
namespace {

struct origin {
  std::wstring scheme;  // lower case
  std::wstring host;    // lower case; brackets kept for IPv6 literals
  long port = -1;       // -1: the scheme has no default port and none was given
};

wchar_t to_ascii_lower(wchar_t c) noexcept {
  return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c;
}

bool is_ascii_alpha(wchar_t c) noexcept {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool is_ascii_digit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

std::wstring lower_ascii(std::wstring text) {
  for (auto& c : text) c = to_ascii_lower(c);
  return text;
}

// The scheme before the first ':', lower-cased; empty when the text does not start with one.
std::wstring scheme_of(const std::wstring& uri) {
  if (uri.empty() || !is_ascii_alpha(uri[0])) return {};
  for (std::size_t i = 1; i < uri.size(); ++i) {
    const wchar_t c = uri[i];
    if (c == L':') return lower_ascii(uri.substr(0, i));
    if (!is_ascii_alpha(c) && !is_ascii_digit(c) && c != L'+' && c != L'-' && c != L'.') break;
  }
  return {};
}

long default_port(const std::wstring& scheme) noexcept {
  if (scheme == L"http") return 80;
  if (scheme == L"https") return 443;
  return -1;
}

bool is_hex_digit(wchar_t c) noexcept {
  return is_ascii_digit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

int hex_value(wchar_t c) noexcept {
  if (is_ascii_digit(c)) return c - L'0';
  return to_ascii_lower(c) - L'a' + 10;
}

// True when text[at] is a '%' followed by two hex digits.
bool is_percent_escape(const std::wstring& text, std::size_t at) noexcept {
  return text[at] == L'%' && at + 2 < text.size() && is_hex_digit(text[at + 1]) &&
         is_hex_digit(text[at + 2]);
}

// `text` with its %XX escapes decoded (to single code units) and ASCII letters lower-cased.
std::wstring decoded_lower(const std::wstring& text) {
  std::wstring decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (is_percent_escape(text, i)) {
      decoded += static_cast<wchar_t>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return lower_ascii(decoded);
}

// True when a field of the mailto URI's query ("?name=value&name=value") is named "attach" or
// "attachment". A later '?' also starts a field: some clients read it so.
bool names_an_attachment(const std::wstring& mailto_uri) {
  std::size_t field = mailto_uri.find(L'?');
  while (field != std::wstring::npos) {
    ++field;
    const std::size_t end = mailto_uri.find_first_of(L"&?", field);
    const std::wstring entry =
        mailto_uri.substr(field, end == std::wstring::npos ? end : end - field);
    const std::wstring name = decoded_lower(entry.substr(0, entry.find(L'=')));
    if (name == L"attach" || name == L"attachment") return true;
    field = end;
  }
  return false;
}

std::optional<origin> parse_origin(const std::wstring& uri) {
  origin result;
  result.scheme = scheme_of(uri);
  if (result.scheme.empty()) return std::nullopt;
  std::size_t start = result.scheme.size() + 1;
  if (uri.compare(start, 2, L"//") != 0) return std::nullopt;
  start += 2;
  // A backslash ends the authority as a slash does, as browsers read http and https URLs.
  const std::size_t end = uri.find_first_of(L"/\\?#", start);
  std::wstring authority = uri.substr(start, end == std::wstring::npos ? end : end - start);
  const std::size_t at = authority.rfind(L'@');
  if (at != std::wstring::npos) authority.erase(0, at + 1);

  std::size_t host_end;
  if (!authority.empty() && authority[0] == L'[') {
    const std::size_t close = authority.find(L']');
    if (close == std::wstring::npos) return std::nullopt;
    host_end = close + 1;
  } else {
    host_end = authority.find(L':');
    if (host_end == std::wstring::npos) host_end = authority.size();
  }
  result.host = lower_ascii(authority.substr(0, host_end));
  if (result.host.empty()) return std::nullopt;

  result.port = default_port(result.scheme);
  if (host_end < authority.size()) {
    if (authority[host_end] != L':') return std::nullopt;
    const std::wstring digits = authority.substr(host_end + 1);
    if (!digits.empty()) {
      long port = 0;
      for (const wchar_t c : digits) {
        if (!is_ascii_digit(c)) return std::nullopt;
        port = port * 10 + (c - L'0');
        if (port > 65535) return std::nullopt;
      }
      result.port = port;
    }
  }
  return result;
}

}  // namespace

bool is_granted_permission_kind(COREWEBVIEW2_PERMISSION_KIND kind) noexcept {
  switch (kind) {
    case COREWEBVIEW2_PERMISSION_KIND_MICROPHONE:
    case COREWEBVIEW2_PERMISSION_KIND_CAMERA:
    case COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION:
    case COREWEBVIEW2_PERMISSION_KIND_NOTIFICATIONS:
    case COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ:
      return true;
    default:
      return false;
  }
}

bool has_origin(const std::wstring& uri, const std::wstring& trusted_url) {
  const auto requested = parse_origin(uri);
  const auto trusted = parse_origin(trusted_url);
  return requested && trusted && requested->scheme == trusted->scheme &&
         requested->host == trusted->host && requested->port == trusted->port;
}

std::wstring uri_to_open_externally(const std::wstring& uri) {
  const std::wstring scheme = scheme_of(uri);
  if (scheme != L"http" && scheme != L"https" && scheme != L"mailto") return {};
  for (const wchar_t c : uri) {
    if (c < 0x21 || c > 0x7E || c == L'"') return {};
  }
  if (scheme == L"mailto" && names_an_attachment(uri)) return {};
  std::wstring escaped;
  escaped.reserve(uri.size());
  for (std::size_t i = 0; i < uri.size(); ++i) {
    escaped += uri[i];
    if (uri[i] == L'%' && !is_percent_escape(uri, i)) escaped += L"25";
  }
  if (escaped.size() > max_external_uri_length) return {};
  return escaped;
}

std::string scheme_and_host(const std::wstring& uri) {
  const auto colon = uri.find(L':');
  if (colon == std::wstring::npos || colon == 0 || uri.find_first_of(L"/?#\\") < colon) {
    return "(none)";
  }
  if (uri.compare(colon, 3, L"://") != 0) return utf16_to_utf8(uri.substr(0, colon + 1));
  const auto authority = colon + 3;
  // A backslash ends the host as browsers read it.
  const auto end = std::min(uri.find_first_of(L"/?#\\", authority), uri.size());
  const auto at = uri.rfind(L'@', end - 1);
  const auto host = at != std::wstring::npos && at >= authority ? at + 1 : authority;
  return utf16_to_utf8(uri.substr(0, authority) + uri.substr(host, end - host));
}

bool means_app_unreachable(bool succeeded, int http_status, COREWEBVIEW2_WEB_ERROR_STATUS error) {
  if (succeeded || http_status != 0) return false;
  switch (error) {
    case COREWEBVIEW2_WEB_ERROR_STATUS_SERVER_UNREACHABLE:
    case COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT:
    case COREWEBVIEW2_WEB_ERROR_STATUS_ERROR_HTTP_INVALID_SERVER_RESPONSE:
    case COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED:
    case COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_RESET:
    case COREWEBVIEW2_WEB_ERROR_STATUS_DISCONNECTED:
    case COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT:
    case COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED:
      return true;
    default:
      return false;
  }
}

new_window_action decide_new_window(const new_window_request& request, const std::wstring& app_url,
                                    const std::vector<std::wstring>& signin_hosts) {
  if (!request.user_initiated) return new_window_action::refuse;
  if (request.popups_available) {
    if (has_origin(request.uri, app_url)) return new_window_action::open_popup;
    const bool sign_in_page =
        request.uri == L"about:blank" ||
        std::any_of(signin_hosts.begin(), signin_hosts.end(), [&](const std::wstring& host) {
          return has_origin(request.uri, L"https://" + host + L"/");
        });
    if (request.sized_or_placed && sign_in_page) return new_window_action::open_popup;
  }
  return uri_to_open_externally(request.uri).empty() ? new_window_action::refuse
                                                     : new_window_action::open_externally;
}

}  // namespace webview::detail
