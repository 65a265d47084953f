// Window size, size hints, size limits and DPI scaling of the main window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_process.h"
#include "tests/support/test_registry.h"
#include "tests/win32/engine_fixture.h"
#include "win32/dpi.h"

namespace quendari_test {
namespace {

using webview::detail::frame_size_for_client;
using webview::detail::size_hint;
using webview::detail::window_dpi_or_default;

constexpr LONG resizable_bits = WS_THICKFRAME | WS_MAXIMIZEBOX;

class Geometry : public ::testing::Test {
 protected:
  HWND main() { return main_window_of(engine); }
  RECT window_rect() {
    RECT rect{};
    GetWindowRect(main(), &rect);
    return rect;
  }
  MINMAXINFO limits() {
    MINMAXINFO info{};
    info.ptMaxSize = POINT{11111, 11112};
    info.ptMaxTrackSize = POINT{11113, 11114};
    info.ptMinTrackSize = POINT{11, 12};
    SendMessageW(main(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }
  win32_edge_engine engine{false, nullptr};
};

TEST_F(Geometry, PlainSetsTheClientSizeAndKeepsThePosition) {
  const RECT before = window_rect();
  engine.set_size_impl(1360, 860, size_hint::plain);
  EXPECT_EQ(client_size(main()).cx, 1360);
  EXPECT_EQ(client_size(main()).cy, 860);
  EXPECT_EQ(window_rect().left, before.left);
  EXPECT_EQ(window_rect().top, before.top);
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
}

TEST_F(Geometry, FixedRemovesTheSizingBorderAndPlainBringsItBack) {
  engine.set_size_impl(500, 300, size_hint::fixed);
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, 0);
  EXPECT_EQ(client_size(main()).cx, 500);
  EXPECT_EQ(client_size(main()).cy, 300);
  engine.set_size_impl(600, 400, size_hint::plain);
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
  EXPECT_EQ(client_size(main()).cx, 600);
}

TEST_F(Geometry, AnUnknownHintResizesLikePlain) {
  engine.set_size_impl(700, 500, size_hint::fixed);
  engine.set_size_impl(720, 520, static_cast<size_hint>(7));
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
  EXPECT_EQ(client_size(main()).cx, 720);
  EXPECT_EQ(client_size(main()).cy, 520);
}

TEST_F(Geometry, MinimumOnlyLimitsDraggingAndMakesTheWindowResizable) {
  engine.set_size_impl(700, 500, size_hint::fixed);
  const RECT before = window_rect();
  engine.set_size_impl(800, 600, size_hint::minimum);
  const RECT after = window_rect();
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
  const MINMAXINFO info = limits();
  EXPECT_EQ(info.ptMinTrackSize.x, 800);
  EXPECT_EQ(info.ptMinTrackSize.y, 600);
  EXPECT_EQ(info.ptMaxSize.x, 11111) << "no maximum set";
}

TEST_F(Geometry, ALimitWithAZeroSideIsNoLimitAtAll) {
  engine.set_size_impl(800, 0, size_hint::minimum);
  engine.set_size_impl(0, 700, size_hint::maximum);
  const MINMAXINFO info = limits();
  EXPECT_EQ(info.ptMinTrackSize.x, 11);
  EXPECT_EQ(info.ptMinTrackSize.y, 12);
  EXPECT_EQ(info.ptMaxSize.x, 11111);
  EXPECT_EQ(info.ptMaxTrackSize.y, 11114);
}

TEST_F(Geometry, MaximumCapsBothTheMaximisedAndTheDraggedSizeUnscaled) {
  engine.set_size_impl(1000, 700, size_hint::maximum);
  const MINMAXINFO info = limits();
  EXPECT_EQ(info.ptMaxSize.x, 1000);
  EXPECT_EQ(info.ptMaxSize.y, 700);
  EXPECT_EQ(info.ptMaxTrackSize.x, 1000);
  EXPECT_EQ(info.ptMaxTrackSize.y, 700);
  ShowWindow(main(), SW_MAXIMIZE);
  EXPECT_LE(window_rect().right - window_rect().left, 1000);
  EXPECT_LE(window_rect().bottom - window_rect().top, 700);
}

TEST_F(Geometry, ADpiChangeScalesTheClientAreaAndKeepsTheTopLeftCorner) {
  ASSERT_EQ(window_dpi_or_default(main()), 96) << "the test prefix runs at 96 DPI";
  engine.set_size_impl(640, 480, size_hint::plain);
  const RECT before = window_rect();
  RECT suggested{0, 0, 10, 10};
  SendMessageW(main(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  // The frame is computed for the new DPI, which this window does not really have.
  const SIZE expected = frame_size_for_client(main(), 960, 720, 144);
  const RECT after = window_rect();
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right - after.left, expected.cx);
  EXPECT_EQ(after.bottom - after.top, expected.cy);

  // The engine now counts in 144 DPI: asking for 96 scales the client size back by 2/3.
  const SIZE client = client_size(main());
  SIZE scaled{};
  EXPECT_EQ(SendMessageW(main(), WM_GETDPISCALEDSIZE, 96, reinterpret_cast<LPARAM>(&scaled)), 1);
  EXPECT_EQ(scaled.cx, client.cx * 96 / 144);
  EXPECT_EQ(scaled.cy, client.cy * 96 / 144);
}

TEST_F(Geometry, TheSuggestedDpiScaledSizeIsTheClientSizeWithoutFrame) {
  engine.set_size_impl(641, 480, size_hint::plain);
  SIZE scaled{};
  EXPECT_EQ(SendMessageW(main(), WM_GETDPISCALEDSIZE, 120, reinterpret_cast<LPARAM>(&scaled)), 1);
  EXPECT_EQ(scaled.cx, 801) << "641 * 120 / 96 = 801.25, truncated";
  EXPECT_EQ(scaled.cy, 600);
}

// Wine takes the system DPI from LogPixels when a process starts, so each DPI is tried in a
// child process of this test program.
int expected_dpi() {
  const char* value = std::getenv("QUENDARI_TEST_DPI");
  return value ? std::atoi(value) : 0;
}

TEST(DpiChild, SizesScaleWithTheWindowsDpi) {
  const int dpi = expected_dpi();
  if (dpi == 0) GTEST_SKIP() << "runs only as the child of DpiScaling";
  win32_edge_engine engine(false, nullptr);
  const HWND main = main_window_of(engine);
  EXPECT_EQ(window_dpi_or_default(main), dpi);
  EXPECT_EQ(client_size(main).cx, 640 * dpi / 96) << "the default size";
  EXPECT_EQ(client_size(main).cy, 480 * dpi / 96);
  engine.set_size_impl(1360, 860, size_hint::plain);
  EXPECT_EQ(client_size(main).cx, 1360 * dpi / 96);
  EXPECT_EQ(client_size(main).cy, 860 * dpi / 96);
  engine.set_size_impl(641, 481, size_hint::plain);
  EXPECT_EQ(client_size(main).cx, 641 * dpi / 96);
  EXPECT_EQ(client_size(main).cy, 481 * dpi / 96);
}

class DpiScaling : public ::testing::TestWithParam<int> {};

TEST_P(DpiScaling, ChildSeesItsDpi) {
  const int dpi = GetParam();
  const scoped_dword_value log_pixels(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels",
                                      static_cast<DWORD>(dpi));
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  child_process child(L"\"" + std::wstring(self) + L"\" --gtest_filter=DpiChild.*",
                      {L"QUENDARI_TEST_DPI=" + std::to_wstring(dpi)});
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.wait(std::chrono::seconds(60)), 0u) << "the child's checks failed at " << dpi;
}

INSTANTIATE_TEST_SUITE_P(At96And120And144, DpiScaling, ::testing::Values(96, 120, 144));

}  // namespace
}  // namespace quendari_test
