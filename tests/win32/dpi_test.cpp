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

}  // namespace
}  // namespace quendari_test
