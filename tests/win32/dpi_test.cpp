// The engine's sizes at each system DPI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_process.h"
#include "tests/support/test_registry.h"
#include "tests/win32/engine_fixture.h"
#include "win32/dpi.h"

namespace quendari_test {
namespace {

using webview::detail::size_hint;
using webview::detail::window_dpi_or_default;

// Wine takes the system DPI from LogPixels when a process starts, so each DPI is tried in a
// child process of this test program.
int expected_dpi() {
  const char* value = std::getenv("QUENDARI_TEST_DPI");
  return value ? std::atoi(value) : 0;
}

TEST(dpi_child, sizes_scale_with_the_windows_dpi) {
  const int dpi = expected_dpi();
  if (dpi == 0) GTEST_SKIP() << "runs only as the child of dpi_scaling";
  win32_edge_engine engine(test_configuration(), false, nullptr);
  const HWND main = main_window_of(engine);
  EXPECT_EQ(window_dpi_or_default(main), dpi);
  EXPECT_EQ(client_size(main).cx, 1360 * dpi / 96) << "the first-start size";
  EXPECT_EQ(client_size(main).cy, 860 * dpi / 96);
  engine.set_size_impl(1360, 860, size_hint::plain);
  EXPECT_EQ(client_size(main).cx, 1360 * dpi / 96);
  EXPECT_EQ(client_size(main).cy, 860 * dpi / 96);
  engine.set_size_impl(641, 481, size_hint::plain);
  EXPECT_EQ(client_size(main).cx, 641 * dpi / 96);
  EXPECT_EQ(client_size(main).cy, 481 * dpi / 96);
}

class dpi_scaling : public ::testing::TestWithParam<int> {};

TEST_P(dpi_scaling, child_sees_its_dpi) {
  const int dpi = GetParam();
  const scoped_dword_value log_pixels(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels",
                                      static_cast<DWORD>(dpi));
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  child_process child(L"\"" + std::wstring(self) + L"\" --gtest_filter=dpi_child.*",
                      {L"QUENDARI_TEST_DPI=" + std::to_wstring(dpi)});
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.wait(std::chrono::seconds(60)), 0u) << "the child's checks failed at " << dpi;
}

INSTANTIATE_TEST_SUITE_P(system_dpis, dpi_scaling, ::testing::Values(96, 120, 144));

// A restore onto another monitor: Windows passes the size it is about to give (here unlike the
// window's 0 x 0 one); its client area keeps its 96-DPI size.
TEST(dpi_scaled_window_size, scales_the_pending_client_area_between_the_frames) {
  const struct {
    int old_dpi, new_dpi;
    SIZE pending, old_frame, new_frame, scaled;
  } cases[] = {
      {96, 120, {1376, 899}, {16, 39}, {20, 48}, {1700 + 20, 1075 + 48}},
      {96, 144, {1376, 899}, {16, 39}, {24, 58}, {2040 + 24, 1290 + 58}},
      {96, 192, {1376, 899}, {16, 39}, {32, 78}, {2720 + 32, 1720 + 78}},
      {144, 96, {2064, 1348}, {24, 58}, {16, 39}, {1360 + 16, 860 + 39}},
      {120, 192, {820, 648}, {20, 48}, {32, 78}, {1280 + 32, 960 + 78}},
      {96, 144, {10, 10}, {16, 39}, {24, 58}, {24, 58}},  // smaller than its frame
  };
  for (const auto& c : cases) {
    const SIZE scaled = webview::detail::rescale_window_size(c.pending, c.old_frame, c.new_frame,
                                                             c.old_dpi, c.new_dpi);
    EXPECT_EQ(scaled.cx, c.scaled.cx) << c.old_dpi << " to " << c.new_dpi;
    EXPECT_EQ(scaled.cy, c.scaled.cy) << c.old_dpi << " to " << c.new_dpi;
  }
}

}  // namespace
}  // namespace quendari_test
