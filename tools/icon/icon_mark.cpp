#include "tools/icon/icon_mark.h"

#include <algorithm>
#include <cmath>

namespace webview::detail {
namespace {

struct vec2 {
  double x;
  double y;
};

struct colour {
  double r;
  double g;
  double b;
};

constexpr colour gradient_start = {112, 84, 246};  // top left
constexpr colour gradient_end = {20, 184, 196};    // bottom right
constexpr colour letter = {255, 255, 255};
constexpr int samples_per_axis = 4;

double length(vec2 v) { return std::sqrt(v.x * v.x + v.y * v.y); }

// Signed distances, negative inside, in the same unit as the coordinates.
double rounded_square(vec2 p, vec2 centre, double half, double radius) {
  const double qx = std::abs(p.x - centre.x) - (half - radius);
  const double qy = std::abs(p.y - centre.y) - (half - radius);
  const double outside = length({std::max(qx, 0.0), std::max(qy, 0.0)});
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double ring(vec2 p, vec2 centre, double radius, double width) {
  return std::abs(length({p.x - centre.x, p.y - centre.y}) - radius) - width / 2;
}

double capsule(vec2 p, vec2 a, vec2 b, double width) {
  const vec2 pa = {p.x - a.x, p.y - a.y};
  const vec2 ba = {b.x - a.x, b.y - a.y};
  const double t = std::clamp((pa.x * ba.x + pa.y * ba.y) / (ba.x * ba.x + ba.y * ba.y), 0.0, 1.0);
  return length({pa.x - ba.x * t, pa.y - ba.y * t}) - width / 2;
}

// Geometry in pixels for one size: edges land on whole pixels where it matters at small sizes.
struct mark_geometry {
  vec2 centre;  // of the ring
  double tile_half;
  double corner_radius;
  double stroke;
  double ring_radius;
  vec2 tail_start;
  vec2 tail_end;
  double tail_gap;
};

mark_geometry geometry_for(std::uint32_t size) {
  const double s = size;
  const double margin = std::floor(s / 32);
  mark_geometry g{};
  g.tile_half = s / 2 - margin;
  g.corner_radius = 0.22 * 2 * g.tile_half;
  g.stroke = std::max(0.12 * s, 2.0);
  // The ring's outer edge sits on a whole pixel.
  const double outer = std::round(0.3 * s);
  g.ring_radius = outer - g.stroke / 2;
  // Raised a little so the tail's weight below does not make the mark look low.
  g.centre = {s / 2, s / 2 - std::round(0.02 * s)};
  g.tail_start = {g.centre.x + 0.07 * s, g.centre.y + 0.07 * s};
  g.tail_end = {g.centre.x + 0.26 * s, g.centre.y + 0.26 * s};
  // Below 32 px the gap beside the tail would be a blur of partial pixels.
  g.tail_gap = size >= 32 ? 0.04 * s : 0.0;
  return g;
}

double coverage(double distance) { return std::clamp(0.5 - distance * samples_per_axis, 0.0, 1.0); }

}  // namespace

std::vector<std::uint8_t> render_mark(std::uint32_t size) {
  const mark_geometry g = geometry_for(size);
  const vec2 tile_centre = {size / 2.0, size / 2.0};
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
  for (std::uint32_t y = 0; y < size; ++y) {
    for (std::uint32_t x = 0; x < size; ++x) {
      double alpha_sum = 0;
      colour premultiplied = {0, 0, 0};
      for (int sy = 0; sy < samples_per_axis; ++sy) {
        for (int sx = 0; sx < samples_per_axis; ++sx) {
          const vec2 p = {x + (sx + 0.5) / samples_per_axis, y + (sy + 0.5) / samples_per_axis};
          const double tile =
              coverage(rounded_square(p, tile_centre, g.tile_half, g.corner_radius));
          if (tile == 0) continue;
          const double tail = capsule(p, g.tail_start, g.tail_end, g.stroke);
          const double cut_ring =
              std::max(ring(p, g.centre, g.ring_radius, g.stroke), g.tail_gap - tail);
          const double ink = coverage(std::min(cut_ring, tail));
          const double t = std::clamp((p.x + p.y) / (2.0 * size), 0.0, 1.0);
          const colour base = {gradient_start.r + (gradient_end.r - gradient_start.r) * t,
                               gradient_start.g + (gradient_end.g - gradient_start.g) * t,
                               gradient_start.b + (gradient_end.b - gradient_start.b) * t};
          premultiplied.r += tile * (base.r + (letter.r - base.r) * ink);
          premultiplied.g += tile * (base.g + (letter.g - base.g) * ink);
          premultiplied.b += tile * (base.b + (letter.b - base.b) * ink);
          alpha_sum += tile;
        }
      }
      std::uint8_t* out = &pixels[(static_cast<std::size_t>(y) * size + x) * 4];
      if (alpha_sum > 0) {
        out[0] = static_cast<std::uint8_t>(std::lround(premultiplied.r / alpha_sum));
        out[1] = static_cast<std::uint8_t>(std::lround(premultiplied.g / alpha_sum));
        out[2] = static_cast<std::uint8_t>(std::lround(premultiplied.b / alpha_sum));
        out[3] = static_cast<std::uint8_t>(
            std::lround(255 * alpha_sum / (samples_per_axis * samples_per_axis)));
      }
    }
  }
  return pixels;
}

}  // namespace webview::detail
