// The application's mark: a rounded-square tile with a diagonal violet-to-teal gradient and a
// bold white "Q" whose tail cuts through the ring. Rendered analytically at any size.
#pragma once

#include <cstdint>
#include <vector>

namespace webview::detail {

// The mark as `size` x `size` RGBA pixels (straight alpha, rows top to bottom), antialiased by
// 4x4 supersampling of signed distances. Small sizes keep strokes at least two pixels wide and
// edges on whole pixels so the mark stays crisp at 16 px. `size` must be at least 1.
std::vector<std::uint8_t> render_mark(std::uint32_t size);

}  // namespace webview::detail
