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

// What a page's new-window request may make the shell open: the URI itself, its escaped form,
// or nothing (empty).
TEST(uri_to_open_externally, only_plain_web_and_mail_links) {
  const std::wstring longest = L"https://e.com/" + std::wstring(2083 - 14, L'a');
  const struct {
    const char* what;
    std::wstring uri;
    std::wstring opened;
  } cases[] = {
      {"https link", L"https://example.com/a?b=c&d=%20e#f", L"https://example.com/a?b=c&d=%20e#f"},
      {"http link", L"http://example.com/", L"http://example.com/"},
      {"upper-case scheme", L"HTTPS://EXAMPLE.COM/", L"HTTPS://EXAMPLE.COM/"},
      {"mixed-case mail link", L"MailTo:someone@example.com?subject=Hi",
       L"MailTo:someone@example.com?subject=Hi"},
      {"empty", L"", L""},
      {"file URL", L"file:///C:/Windows/System32/calc.exe", L""},
      {"drive path", L"C:\\Windows\\System32\\calc.exe", L""},
      {"UNC path", L"\\\\evil.example\\share\\payload.exe", L""},
      {"relative path", L"payload.exe", L""},
      {"javascript", L"javascript:alert(1)", L""},
      {"diagnostics protocol handler", L"ms-msdt:/id PCWDiagnostic", L""},
      {"search protocol handler", L"search-ms:query=x", L""},
      {"settings protocol handler", L"ms-settings:", L""},
      {"scheme that starts like http", L"httpx://example.com/", L""},
      {"scheme that ends like http", L"xhttp://example.com/", L""},
      {"leading space", L" https://example.com/", L""},
      {"scheme without colon", L"https", L""},
      {"quote that would end the handler's argument", L"https://e.com/\" --flag", L""},
      {"space that would split the handler's argument", L"https://e.com/a b", L""},
      {"tab", L"mailto:a@b.c\t-x", L""},
      {"line feed", L"https://e.com/\nx", L""},
      {"DEL", L"https://e.com/\x7F", L""},
      // An 8-bit code page turns these into '"' and blanks ("best fit").
      {"full-width quote", L"https://e.com/\uFF02 --flag", L""},
      {"no-break space", L"https://e.com/a\u00A0b", L""},
      {"ideographic space", L"https://e.com/a\u3000b", L""},
      {"non-ASCII path, which the browser would have percent-encoded", L"https://e.com/gr\u00FC",
       L""},
      {"unpaired surrogate", std::wstring(L"https://e.com/") + wchar_t(0xD800), L""},
      {"environment references", L"https://evil.example/?u=%USERNAME%&p=%USERPROFILE%",
       L"https://evil.example/?u=%25USERNAME%25&p=%25USERPROFILE%25"},
      {"'%' before one hex digit and at the end", L"https://e.com/%4g%a%",
       L"https://e.com/%254g%25a%25"},
      {"escapes in either case stay", L"https://e.com/%2f%2F%00", L"https://e.com/%2f%2F%00"},
      {"mail attachment", L"mailto:a@b.c?attach=C:\\Windows\\win.ini", L""},
      {"mail attachment, any case, later field", L"mailto:a@b.c?subject=x&ATTACHMENT=a.txt", L""},
      {"mail attachment, percent-encoded name", L"mailto:a@b.c?%61ttach=a.txt", L""},
      {"mail attachment after a second '?'", L"mailto:a@b.c?subject=x?attach=a.txt", L""},
      {"mail attachment without a value", L"mailto:a@b.c?attach", L""},
      {"the word in a value is fine", L"mailto:a@b.c?subject=attach",
       L"mailto:a@b.c?subject=attach"},
      {"a longer field name is fine", L"mailto:a@b.c?attachments=1", L"mailto:a@b.c?attachments=1"},
      {"an attach field of a web link is the site's own", L"https://e.com/?attach=1",
       L"https://e.com/?attach=1"},
      {"2,083 characters", longest, longest},
      {"2,084 characters", longest + L"a", L""},
      {"2,083 characters that grow by escaping", longest.substr(0, 2082) + L"%", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(uri_to_open_externally(c.uri), c.opened);
  }
}

TEST(means_app_unreachable, only_network_failures_without_an_http_answer) {
  const struct {
    bool succeeded;
    int http_status;
    int status;
    bool unreachable;
  } cases[] = {
      {true, 200, 0, false},   // loaded
      {false, 404, 0, false},  // the server's own 404 page
      {false, 503, 0, false},  // the server's own 503 page
      {false, 0, 0, false},    // window.stop()
      {false, 0, 2, false},    // certificate expired: the runtime's warning stays
      {false, 0, 5, false},    // certificate invalid
      {false, 0, 14, false},   // cancelled by another navigation
      {false, 0, 15, false},   // redirect failed
      {false, 0, 16, false},   // unexpected error
      {false, 0, 17, false},   // login prompt
      {false, 0, 18, false},   // proxy login prompt
      {false, 0, 19, false},   // a status newer runtimes add
      {false, 0, 6, true},     {false, 0, 7, true},  {false, 0, 8, true},  {false, 0, 9, true},
      {false, 0, 10, true},    {false, 0, 11, true}, {false, 0, 12, true}, {false, 0, 13, true},
      {false, 502, 12, false},  // an HTTP answer wins over the status
  };
  for (const auto& c : cases) {
    EXPECT_EQ(means_app_unreachable(c.succeeded, c.http_status,
                                    static_cast<COREWEBVIEW2_WEB_ERROR_STATUS>(c.status)),
              c.unreachable)
        << "status " << c.status << ", http " << c.http_status;
  }
}

TEST(decide_new_window, popups_for_the_app_and_sign_in_the_rest_as_links) {
  const std::wstring app = L"https://app.quendari.art/?shell=app";
  const std::vector<std::wstring> hosts = {L"login.microsoftonline.com", L"github.com"};
  constexpr auto popup = new_window_action::open_popup;
  constexpr auto shell = new_window_action::open_externally;
  constexpr auto refuse = new_window_action::refuse;
  const struct {
    const char* what;
    new_window_request request;
    new_window_action action;
  } cases[] = {
      {"own origin, a link", {L"https://app.quendari.art/doc", true, false, true}, popup},
      {"own origin, sized", {L"https://app.quendari.art/x", true, true, true}, popup},
      {"sign-in host, sized", {L"https://login.microsoftonline.com/a?b", true, true, true}, popup},
      {"sign-in host, a link", {L"https://github.com/org/repo", true, false, true}, shell},
      {"sign-in host over http", {L"http://github.com/login", true, true, true}, shell},
      {"sign-in host's subdomain", {L"https://gist.github.com/", true, true, true}, shell},
      {"sign-in host, other port", {L"https://github.com:8443/", true, true, true}, shell},
      {"about:blank, sized", {L"about:blank", true, true, true}, popup},
      {"about:blank, a link", {L"about:blank", true, false, true}, refuse},
      {"foreign page, sized", {L"https://evil.example/", true, true, true}, shell},
      {"no gesture, own origin", {L"https://app.quendari.art/", false, true, true}, refuse},
      {"no gesture, sign-in", {L"https://github.com/login", false, true, true}, refuse},
      {"no popups here", {L"https://app.quendari.art/doc", true, true, false}, shell},
      {"a script link", {L"javascript:alert(1)", true, true, true}, refuse},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decide_new_window(c.request, app, hosts), c.action) << c.what;
  }
}

}  // namespace
}  // namespace webview::detail
