// Writes the two document-start scripts exactly as the application registers them, so the
// browser tests exercise the engine's own text: <dir>/bridge_bootstrap.js and <dir>/page_marks.js.
// Given a retry origin (scheme://host:port, the browser tests' local server) it also writes the
// unreachable page as the engine composes it, in the variants the browser tests load.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "app/page_marks.h"
#include "app/unreachable_page.h"
#include "engine/bridge_script.h"

namespace {

bool write_file(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
}

bool write_unreachable_pages(const std::string& dir, const std::string& origin) {
  using quendari::compose_unreachable_page;
  using quendari::unreachable_line;
  using quendari::unreachable_reason;
  const struct {
    const char* name;
    std::string line;
    std::string retry_url;
    int retry_seconds;
  } pages[] = {
      {"unreachable_offline.html", unreachable_line(unreachable_reason::offline, ""),
       origin + "/retry/offline", 5},
      {"unreachable_stopped.html", unreachable_line(unreachable_reason::page_stopped, ""),
       origin + "/retry/stopped", 0},
      {"unreachable_hostile.html",
       unreachable_line(unreachable_reason::cannot_reach_host,
                        "<img src=x onerror=\"window.__pwned=1\">&amp;'"),
       origin + "/retry/hostile?q=\"'\\</script><script>window.__pwned=1;alert(1)</script>"
                "<!--\xE2\x80\xA8\xE2\x80\xA9",
       3},
      {"unreachable_invalid.html", "bad \xC3\x28 byte \xFF.", origin + "/retry/invalid?\xFF\xC0",
       0},
      {"unreachable_javascript.html", unreachable_line(unreachable_reason::offline, ""),
       "javascript:window.__pwned=1;alert(1)", 1},
  };
  for (const auto& page : pages) {
    if (!write_file(dir + "/" + page.name,
                    compose_unreachable_page(page.line, page.retry_url, page.retry_seconds))) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: print_page_scripts <output-directory> [<retry-origin>]\n");
    return 2;
  }
  const std::string dir = argv[1];
  using webview::detail::compose_bootstrap_script;
  using webview::detail::webview2_post_function;
  if (!write_file(dir + "/bridge_bootstrap.js", compose_bootstrap_script(webview2_post_function)) ||
      !write_file(dir + "/page_marks.js",
                  quendari::compose_page_marks_script(argc == 3 ? argv[2] : "https://app.test")) ||
      (argc == 3 && !write_unreachable_pages(dir, argv[2]))) {
    std::fprintf(stderr, "print_page_scripts: cannot write to %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
