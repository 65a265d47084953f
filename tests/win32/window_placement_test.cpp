// The main window's placement between runs: the file's text, and where an engine's window
// appears with a saved placement, without one, and with one that no longer meets a monitor.
#include "win32/window_placement.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/win32/engine_fixture.h"

namespace quendari_test {
namespace {

using webview::detail::format_window_placement;
using webview::detail::parse_window_placement;
using webview::detail::window_placement_record;

TEST(window_placement, round_trips_through_its_text) {
  window_placement_record record;
  record.normal = RECT{-1200, 35, 80, 900};
  record.maximized = true;
  const std::string text = format_window_placement(record);
  EXPECT_EQ(text, "-1200 35 80 900 1\n");
  const auto read = parse_window_placement(text);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(EqualRect(&read->normal, &record.normal));
  EXPECT_TRUE(read->maximized);
  EXPECT_TRUE(parse_window_placement("0 0 10 10 0\r\n").has_value()) << "CR LF written by hand";
}

TEST(window_placement, refuses_every_bad_shape) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"four fields", "0 0 10 10"},
      {"six fields", "0 0 10 10 0 0"},
      {"two blanks", "0  0 10 10 0"},
      {"leading blank", " 0 0 10 10 0"},
      {"trailing blank", "0 0 10 10 0 "},
      {"two line ends", "0 0 10 10 0\n\n"},
      {"plus sign", "+0 0 10 10 0"},
      {"lone minus", "- 0 10 10 0"},
      {"decimal point", "0.5 0 10 10 0"},
      {"letters", "0 0 10 1O 0"},
      {"beyond a million", "0 0 1000001 10 0"},
      {"a huge number", "0 0 99999999999999999999 10 0"},
      {"empty width", "10 0 10 10 0"},
      {"inverted height", "0 10 10 0 0"},
      {"maximized 2", "0 0 10 10 2"},
      {"NUL inside", std::string("0 0 10\0 10 0", 12)},
      {"UTF-8 digits", "0 0 10 \xEF\xBC\x91\xEF\xBC\x90 0"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(parse_window_placement(c.text).has_value()) << c.what;
  }
}

SIZE first_start_size(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

void write_placement(const std::string& text) {
  std::ofstream(saved_window_placement_path().c_str(), std::ios::binary) << text;
}

TEST(window_placement, a_first_start_is_centred_on_the_work_area) {
  win32_edge_engine engine(test_configuration(), false, nullptr);
  const HWND main = main_window_of(engine);
  EXPECT_EQ(first_start_size(main).cx, 1360);
  EXPECT_EQ(first_start_size(main).cy, 860);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT window{};
  GetWindowRect(main, &window);
  EXPECT_LE(std::abs((window.left - monitor.rcWork.left) - (monitor.rcWork.right - window.right)),
            1);
  EXPECT_LE(std::abs((window.top - monitor.rcWork.top) - (monitor.rcWork.bottom - window.bottom)),
            1);
}

TEST(window_placement, a_saved_placement_is_where_the_window_appears_and_is_saved_on_close) {
  write_placement("100 90 900 700 0\n");
  {
    win32_edge_engine engine(test_configuration(), false, nullptr);
    const HWND main = main_window_of(engine);
    RECT window{};
    GetWindowRect(main, &window);
    const RECT expected{100, 90, 900, 700};
    EXPECT_TRUE(EqualRect(&window, &expected));
    SetWindowPos(main, nullptr, 50, 60, 700, 500, SWP_NOZORDER);
    SendMessageW(main, WM_CLOSE, 0, 0);
  }
  // The close may have asked a run loop to end; none runs here, and the next test needs none.
  MSG quit{};
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  std::ifstream saved(saved_window_placement_path().c_str(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "50 60 750 560 0\n");
}

TEST(window_placement, a_place_off_every_monitor_or_a_broken_file_means_a_first_start) {
  for (const char* text : {"-90000 -90000 -89000 -89000 0\n", "garbage\n"}) {
    SCOPED_TRACE(text);
    write_placement(text);
    win32_edge_engine engine(test_configuration(), false, nullptr);
    EXPECT_EQ(first_start_size(main_window_of(engine)).cx, 1360);
    EXPECT_EQ(first_start_size(main_window_of(engine)).cy, 860);
  }
}

}  // namespace
}  // namespace quendari_test
