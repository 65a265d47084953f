#include "webview2/fullscreen_watch.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tests/webview2/fake_webview2.h"

namespace webview::detail {
namespace {

using testing::fake_webview;

TEST(fullscreen_style, drops_the_frame_and_becomes_a_popup) {
  const struct {
    const char* what;
    ULONG saved;
    ULONG expected;
  } cases[] = {
      {"overlapped window, visible", WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_POPUP | WS_VISIBLE},
      {"maximized, clipping children", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE | WS_CLIPCHILDREN,
       WS_POPUP | WS_MAXIMIZE | WS_CLIPCHILDREN},
      {"already a popup", WS_POPUP | WS_VISIBLE, WS_POPUP | WS_VISIBLE},
      {"no style at all", 0, WS_POPUP},
      {"every bit", 0xFFFFFFFF, 0xFF30FFFF},
      {"caption only (border and dialog frame)", WS_CAPTION, WS_POPUP},
      {"low word is kept", 0x0000ABCD | WS_THICKFRAME, 0x8000ABCD},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(static_cast<ULONG>(fullscreen_style(static_cast<LONG>(c.saved))), c.expected);
  }
}

class fs_watch_test : public ::testing::Test {
 protected:
  void SetUp() override {
    watch = new fs_watch([this](bool on) { reports.push_back(on); });
  }
  void TearDown() override { EXPECT_EQ(watch->Release(), 0u); }

  fs_watch* watch = nullptr;
  std::vector<bool> reports;
};

TEST_F(fs_watch_test, reports_exactly_true_as_entering) {
  const struct {
    const char* what;
    HRESULT result;
    BOOL contains;
    bool expected;
  } cases[] = {
      {"full-screen element", S_OK, TRUE, true},
      {"no full-screen element", S_OK, FALSE, false},
      {"a true value other than 1", S_OK, 2, false},
      {"-1", S_OK, -1, false},
      {"unreadable, stale TRUE ignored", E_FAIL, TRUE, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    reports.clear();
    fake_webview webview;
    webview.full_screen_result = c.result;
    webview.contains_full_screen = c.contains;
    EXPECT_EQ(watch->Invoke(&webview, nullptr), S_OK);
    EXPECT_EQ(reports, std::vector<bool>{c.expected});
  }
}

TEST_F(fs_watch_test, null_sender_asks_to_leave) {
  EXPECT_EQ(watch->Invoke(nullptr, nullptr), S_OK);
  EXPECT_EQ(reports, std::vector<bool>{false});
}

TEST_F(fs_watch_test, answers_iunknown_and_its_interface) {
  EXPECT_EQ(watch->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  void* out = nullptr;
  ASSERT_EQ(watch->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<ICoreWebView2ContainsFullScreenElementChangedEventHandler*>(watch));
  out = nullptr;
  ASSERT_EQ(
      watch->QueryInterface(IID_ICoreWebView2ContainsFullScreenElementChangedEventHandler, &out),
      S_OK);
  EXPECT_EQ(out, static_cast<ICoreWebView2ContainsFullScreenElementChangedEventHandler*>(watch));
  out = watch;
  EXPECT_EQ(watch->QueryInterface(IID_ICoreWebView2ZoomFactorChangedEventHandler, &out),
            E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(watch->Release(), 2u);
  EXPECT_EQ(watch->Release(), 1u);
}

TEST(fs_watch_barrier, empty_or_throwing_target_stays_inside_invoke) {
  fake_webview webview;
  webview.contains_full_screen = TRUE;
  auto* empty = new fs_watch(nullptr);
  EXPECT_EQ(empty->Invoke(&webview, nullptr), S_OK);
  EXPECT_EQ(empty->Release(), 0u);
  auto* throwing = new fs_watch([](bool) { throw std::runtime_error("x"); });
  EXPECT_EQ(throwing->Invoke(&webview, nullptr), S_OK);
  EXPECT_EQ(throwing->Release(), 0u);
}

}  // namespace
}  // namespace webview::detail
