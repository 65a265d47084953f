// Build-time generator of the application icon: icon_gen <icon.ico> <preview.png>. Writes the
// seven-size .ico that the resource script embeds and a 256 px PNG preview. Exit status 0 on
// success, 1 with a message on standard error otherwise.
#include <cstdio>
#include <exception>

#include "tools/icon/ico_file.h"
#include "tools/icon/icon_mark.h"
#include "tools/png/png_writer.h"

namespace {

constexpr std::uint32_t icon_sizes[] = {16, 24, 32, 48, 64, 128, 256};

int generate(const char* ico_path, const char* preview_path) {
  using namespace webview::detail;
  std::vector<ico_image> images;
  for (std::uint32_t size : icon_sizes) {
    const std::vector<std::uint8_t> pixels = render_mark(size);
    images.push_back({size, encode_png(pixels.data(), size, size, png_color::rgba)});
  }
  if (!write_file(ico_path, make_ico(images))) {
    std::fprintf(stderr, "icon_gen: cannot write %s\n", ico_path);
    return 1;
  }
  if (!write_file(preview_path, images.back().png)) {
    std::fprintf(stderr, "icon_gen: cannot write %s\n", preview_path);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: icon_gen <icon.ico> <preview.png>\n");
    return 1;
  }
  try {
    return generate(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "icon_gen: %s\n", e.what());
    return 1;
  }
}
