// Writes the two document-start scripts exactly as the application registers them, so the
// browser tests exercise the engine's own text: <dir>/bridge_bootstrap.js and <dir>/page_marks.js.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "app/page_marks.h"
#include "engine/bridge_script.h"

namespace {

bool write_file(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: print_page_scripts <output-directory>\n");
    return 2;
  }
  const std::string dir = argv[1];
  using webview::detail::compose_bootstrap_script;
  using webview::detail::webview2_post_function;
  if (!write_file(dir + "/bridge_bootstrap.js", compose_bootstrap_script(webview2_post_function)) ||
      !write_file(dir + "/page_marks.js", quendari::page_marks_script)) {
    std::fprintf(stderr, "print_page_scripts: cannot write to %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
