// Engines under test come up against the stand-in runtime, registered for the whole test run.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "tests/support/standin_log.h"
#include "win32/win32_edge_engine.h"

namespace quendari_test {

using webview::detail::win32_edge_engine;

// A configuration like the application's, with a page of its own for the built-in page.
webview::detail::shell_configuration test_configuration();
HWND main_window_of(win32_edge_engine& engine);
HWND widget_window_of(win32_edge_engine& engine);
// Where engines of this test program keep their window placement.
std::wstring saved_window_placement_path();
// The message-only windows of class "webview_message" that exist now.
std::vector<HWND> message_windows();
SIZE client_size(HWND window);
// Handles every message already queued, without waiting for more.
void pump_pending_messages();
// The stand-in's log lines from the `from`th on; the test run names the log file in
// QUENDARI_STANDIN_LOG. Fails the test when there is no log to read.
std::vector<logged_call> standin_calls(std::size_t from = 0);

// A test with one owned-mode engine.
class engine_test : public ::testing::Test {
 protected:
  HWND main() { return main_window_of(engine); }
  RECT window_rect() {
    RECT rect{};
    GetWindowRect(main(), &rect);
    return rect;
  }
  win32_edge_engine engine{test_configuration(), false, nullptr};
};

}  // namespace quendari_test
