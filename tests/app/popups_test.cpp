// Quendari.exe's popups against the stand-in runtime: a page's own window.open and a sign-in
// window.open open inside Quendari with their opener kept, close by window.close() or by the
// user, stop at four, and go with the main window.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/app_fixture.h"
#include "tests/app/opened_links.h"

namespace quendari_test {
namespace {

using popups = app_with_runtime;

TEST_F(popups, sign_in_and_own_pages_open_inside_with_their_opener) {
  const opened_links opened;
  quendari_run run("popups",
                   "after-navigate 300 newwindow user https://app.quendari.art/settings\n"
                   "after-navigate 1200 first newwindow user size 480 640 "
                   "https://login.microsoftonline.com/oauth?state=1\n"
                   "after-navigate 2400 windowclose\n"
                   "after-navigate 3600 close\n"
                   "after-navigate 4800 first newwindow user https://app.quendari.art/1\n"
                   "after-navigate 5000 first newwindow user https://app.quendari.art/2\n"
                   "after-navigate 5200 first newwindow user https://app.quendari.art/3\n"
                   "after-navigate 5400 first newwindow user https://app.quendari.art/4\n"
                   "after-navigate 5600 first newwindow user https://app.quendari.art/5\n"
                   "after-navigate 6600 first newwindow user https://github.com/org/repo\n"
                   "after-navigate 7800 first close\n");
  EXPECT_EQ(run.wait(), 0u);
  const auto calls = run.calls();
  EXPECT_EQ(count_calls(calls, "opener link"), 6) << "two, then four at once";
  const int refused = find_call(calls, "window.open returns null");
  ASSERT_GE(refused, 0) << "the fifth popup was not answered";
  EXPECT_EQ(calls[refused].arg("uri"), "https://app.quendari.art/5");
  EXPECT_EQ(count_calls(calls, "runtime popup window"), 0) << "the runtime opened its own window";
  EXPECT_EQ(opened.wait_for_lines(1), L"https://github.com/org/repo\n") << "a link, not sign-in";

  // window.close() and the user's close each take one popup; the main window takes the other
  // four with it, before its own browser.
  const int closed_by_page = find_call(calls, "Close", find_call(calls, "WindowCloseRequested"));
  const int closed_by_user = find_call(calls, "Close", find_call(calls, "close"));
  ASSERT_TRUE(closed_by_page > 0 && closed_by_user > closed_by_page);
  EXPECT_EQ(count_calls(calls, "Close"), 7);
  const int last_close = find_call(calls, "close", find_call(calls, "close") + 1);
  ASSERT_GT(last_close, 0);
  const std::vector<logged_call> at_end(calls.begin() + last_close, calls.end());
  EXPECT_EQ(count_calls(at_end, "Close"), 5);
  EXPECT_EQ(find_call(at_end, "get_ZoomFactor") > find_call(at_end, "Close"), true)
      << "the popups go before the main browser";

  bool sized = false;
  for (const auto& call : calls) {
    sized = sized || (call.method == "put_Bounds" &&
                      call.args.find("\"right\":480,\"bottom\":640") != std::string::npos);
  }
  EXPECT_TRUE(sized) << "the sign-in popup's client area is not the 480 x 640 it asked for";
}

}  // namespace
}  // namespace quendari_test
