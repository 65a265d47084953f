#include "webview2/page_policy.h"

#include <gtest/gtest.h>

#include <string>

namespace webview::detail {
namespace {

TEST(is_granted_permission_kind, grants_the_listed_kinds_only) {
  const bool granted[] = {false, true, true, true, true, false, true, false};
  for (int kind = 0; kind < 8; ++kind) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(is_granted_permission_kind(static_cast<COREWEBVIEW2_PERMISSION_KIND>(kind)),
              granted[kind]);
  }
}

TEST(has_origin, compares_scheme_host_and_port) {
  const std::wstring trusted = L"https://app.quendari.art/?shell=app";
  const struct {
    const char* what;
    std::wstring uri;
    bool same;
  } cases[] = {
      {"the trusted URL itself", L"https://app.quendari.art/?shell=app", true},
      {"another path", L"https://app.quendari.art/camera/test", true},
      {"no path", L"https://app.quendari.art", true},
      {"query right after the host", L"https://app.quendari.art?x=1", true},
      {"fragment right after the host", L"https://app.quendari.art#top", true},
      {"upper-case scheme and host", L"HTTPS://APP.QUENDARI.ART/", true},
      {"explicit default port", L"https://app.quendari.art:443/", true},
      {"empty port means the default", L"https://app.quendari.art:/", true},
      {"user information is not the host", L"https://user:pw@app.quendari.art/", true},
      {"backslash ends the host", L"https://app.quendari.art\\@evil.example/", true},
      {"another port", L"https://app.quendari.art:444/", false},
      {"http's default port is not https's", L"http://app.quendari.art:443/", false},
      {"http", L"http://app.quendari.art/", false},
      {"wss", L"wss://app.quendari.art/", false},
      {"another host", L"https://evil.example/", false},
      {"host as user information", L"https://app.quendari.art@evil.example/", false},
      {"host as a prefix", L"https://app.quendari.art.evil.example/", false},
      {"host as a suffix", L"https://evilapp.quendari.art/", false},
      {"subdomain", L"https://www.app.quendari.art/", false},
      {"trailing dot", L"https://app.quendari.art./", false},
      {"port with letters", L"https://app.quendari.art:44a/", false},
      {"port beyond 65535", L"https://app.quendari.art:65979/", false},
      {"port with many zeros", L"https://app.quendari.art:0000000000443/", true},
      {"no authority", L"https:app.quendari.art/", false},
      {"opaque URI", L"about:blank", false},
      {"data URI", L"data:text/html,app.quendari.art", false},
      {"empty host", L"https:///path", false},
      {"empty", L"", false},
      {"no scheme", L"//app.quendari.art/", false},
      {"leading space", L" https://app.quendari.art/", false},
      {"non-ASCII look-alike host", L"https://app.quendar\u0131.art/", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(has_origin(c.uri, trusted), c.same);
  }
}

TEST(has_origin, default_and_explicit_ports_meet_for_http_and_ip_literals) {
  EXPECT_TRUE(has_origin(L"http://localhost:80/a", L"http://LOCALHOST/"));
  EXPECT_TRUE(has_origin(L"http://127.0.0.1:8080/", L"http://127.0.0.1:8080/x"));
  EXPECT_FALSE(has_origin(L"http://127.0.0.1:8081/", L"http://127.0.0.1:8080/x"));
  EXPECT_TRUE(has_origin(L"https://[::1]:443/", L"https://[::1]/"));
  EXPECT_FALSE(has_origin(L"https://[::1]:8443/", L"https://[::1]/"));
  EXPECT_FALSE(has_origin(L"https://[::1/", L"https://[::1/"));
  EXPECT_FALSE(has_origin(L"https://[::1]x/", L"https://[::1]x/"));
}

TEST(has_origin, untrusted_without_a_usable_trusted_url) {
  EXPECT_FALSE(has_origin(L"https://app.quendari.art/", L""));
  EXPECT_FALSE(has_origin(L"", L""));
  EXPECT_FALSE(has_origin(L"about:blank", L"about:blank"));
}

TEST(may_open_externally, only_web_and_mail_links) {
  const struct {
    const char* what;
    std::wstring uri;
    bool allowed;
  } cases[] = {
      {"https link", L"https://example.com/a?b=c&d=%20e#f", true},
      {"http link", L"http://example.com/", true},
      {"upper-case scheme", L"HTTPS://EXAMPLE.COM/", true},
      {"mixed-case mail link", L"MailTo:someone@example.com?subject=Hi", true},
      {"non-ASCII path", L"https://example.com/gr\u00FC\u00DF", true},
      {"empty", L"", false},
      {"file URL", L"file:///C:/Windows/System32/calc.exe", false},
      {"drive path", L"C:\\Windows\\System32\\calc.exe", false},
      {"UNC path", L"\\\\evil.example\\share\\payload.exe", false},
      {"relative path", L"payload.exe", false},
      {"javascript", L"javascript:alert(1)", false},
      {"diagnostics protocol handler", L"ms-msdt:/id PCWDiagnostic", false},
      {"search protocol handler", L"search-ms:query=x", false},
      {"settings protocol handler", L"ms-settings:", false},
      {"scheme that starts like http", L"httpx://example.com/", false},
      {"scheme that ends like http", L"xhttp://example.com/", false},
      {"leading space", L" https://example.com/", false},
      {"scheme without colon", L"https", false},
      {"quote that would end the handler's argument", L"https://e.com/\" --flag", false},
      {"space that would split the handler's argument", L"https://e.com/a b", false},
      {"tab", L"mailto:a@b.c\t-x", false},
      {"line feed", L"https://e.com/\nx", false},
      {"DEL", L"https://e.com/\x7F", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(may_open_externally(c.uri), c.allowed);
  }
}

}  // namespace
}  // namespace webview::detail
