#include "app/unreachable_page.h"

#include <cstddef>

namespace quendari {
namespace {

constexpr int web_error_disconnected = 11;
constexpr int web_error_host_name_not_resolved = 13;

constexpr std::string_view replacement_character = "\xEF\xBF\xBD";

// Valid UTF-8 for `text`: each maximal invalid subsequence becomes one U+FFFD, the way browsers
// decode it, so the page shows what a browser would and no stray byte reaches the script.
std::string valid_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    int needed = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      needed = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      needed = 2;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      needed = 3;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
      out += replacement_character;
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    int seen = 0;
    while (seen < needed && end < text.size()) {
      const auto next = static_cast<unsigned char>(text[end]);
      if (next < low || next > high) break;
      low = 0x80;
      high = 0xBF;
      ++end;
      ++seen;
    }
    if (seen == needed) {
      out.append(text.substr(i, end - i));
    } else {
      out += replacement_character;
    }
    i = end;
  }
  return out;
}

std::string html_escaped(std::string_view text) {
  const std::string valid = valid_utf8(text);
  std::string out;
  out.reserve(valid.size());
  for (const char c : valid) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      // HTML parsers drop or replace NUL; show the replacement character either way.
      case '\0':
        out += replacement_character;
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A double-quoted JavaScript string literal that cannot end the <script> element, open an HTML
// comment or break the line inside the literal, whatever `text` holds.
std::string script_string(std::string_view text) {
  static constexpr char hex[] = "0123456789ABCDEF";
  const std::string valid = valid_utf8(text);
  std::string out = "\"";
  out.reserve(valid.size() + 2);
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const auto c = static_cast<unsigned char>(valid[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 0xF];
    } else if (c == 0xE2 && i + 2 < valid.size() && valid[i + 1] == '\x80' &&
               (valid[i + 2] == '\xA8' || valid[i + 2] == '\xA9')) {
      // U+2028 and U+2029 end a line in older script parsers.
      out += valid[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  return out;
}

constexpr std::string_view page_head =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
    "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<title>Quendari</title>\n"
    "<style>\n"
    ":root{color-scheme:light dark;background:#FFFFFF;color:#1B1B1B;"
    "font:16px/1.5 \"Segoe UI\",system-ui,sans-serif}\n"
    "@media (prefers-color-scheme:dark){:root{background:#202020;color:#F3F3F3}}\n"
    "body{margin:0;min-height:100vh;display:flex;align-items:center;justify-content:center}\n"
    "main{max-width:32em;padding:24px;text-align:center}\n"
    "h1{font-size:20px;font-weight:600;margin:0 0 8px}\n"
    "p{margin:0 0 16px}\n"
    "button{font:inherit;padding:4px 24px}\n"
    "#status{margin:12px 0 0;min-height:1.5em}\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<main>\n"
    "<h1>Quendari</h1>\n"
    "<p id=\"line\">";

constexpr std::string_view page_controls =
    "</p>\n"
    "<button id=\"retry\" type=\"button\" autofocus>Retry</button>\n"
    "<p id=\"status\" aria-live=\"polite\"></p>\n"
    "</main>\n"
    "<script>\n"
    "(function() {\n"
    "  \"use strict\";\n"
    "  var target = ";

// The retry target is page-chosen text: only an absolute http(s) URL is followed, because a
// javascript: or data: URL would run that page's script here. Tab stays on Retry, the only
// control, so keyboard focus is never lost in the window.
constexpr std::string_view page_script =
    ";\n"
    "  var button = document.getElementById(\"retry\");\n"
    "  var status = document.getElementById(\"status\");\n"
    "  var url = null;\n"
    "  try {\n"
    "    url = new URL(target);\n"
    "  } catch (e) {}\n"
    "  if (url && url.protocol !== \"http:\" && url.protocol !== \"https:\") url = null;\n"
    "  var timer = 0;\n"
    "  function retry() {\n"
    "    if (!url) return;\n"
    "    clearTimeout(timer);\n"
    "    status.textContent = \"Retrying\\u2026\";\n"
    "    location.replace(url.href);\n"
    "  }\n"
    "  button.addEventListener(\"click\", retry);\n"
    "  document.addEventListener(\"keydown\", function(e) {\n"
    "    if (e.key === \"Tab\") {\n"
    "      e.preventDefault();\n"
    "      button.focus();\n"
    "    }\n"
    "  });\n"
    "  button.focus();\n"
    "  if (!url || !(seconds > 0)) return;\n"
    "  window.addEventListener(\"online\", retry);\n"
    "  var left = seconds;\n"
    "  function tick() {\n"
    "    if (left <= 0) return retry();\n"
    "    status.textContent = \"Retrying in \" + left + \" s\";\n"
    "    left -= 1;\n"
    "    timer = setTimeout(tick, 1000);\n"
    "  }\n"
    "  tick();\n"
    "})();\n"
    "</script>\n"
    "</body>\n"
    "</html>\n";

}  // namespace

unreachable_reason reason_for_web_error(int web_error_status) {
  if (web_error_status == web_error_disconnected ||
      web_error_status == web_error_host_name_not_resolved) {
    return unreachable_reason::offline;
  }
  return unreachable_reason::cannot_reach_host;
}

std::string unreachable_line(unreachable_reason reason, std::string_view host) {
  switch (reason) {
    case unreachable_reason::offline:
      return "You're offline.";
    case unreachable_reason::page_stopped:
      return "The page stopped working.";
    case unreachable_reason::cannot_reach_host:
      break;
  }
  if (host.empty()) return "Quendari can't reach the server.";
  std::string line = "Quendari can't reach ";
  line += host;
  line += '.';
  return line;
}

int retry_delay_seconds(int failures) {
  if (failures <= 1) return 5;
  if (failures >= 5) return 60;
  return 5 << (failures - 1);
}

std::string compose_unreachable_page(std::string_view line, std::string_view retry_url,
                                     int retry_seconds) {
  std::string page;
  page.reserve(page_head.size() + page_controls.size() + page_script.size() + line.size() +
               retry_url.size() + 64);
  page += page_head;
  page += html_escaped(line);
  page += page_controls;
  page += script_string(retry_url);
  page += ";\n  var seconds = ";
  page += std::to_string(retry_seconds);
  page += page_script;
  return page;
}

}  // namespace quendari
