// Controllers: the scenario's controller lines, and the browser window and zoom factor that a
// controller owns.
#include <gtest/gtest.h>

#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

TEST(standin_controller, fail_reports_the_code_then_the_next_controller_has_a_web_view) {
  const standin_copy standin("controller fail 0x80004005\n");
  com_ptr<ICoreWebView2Environment> environment;
  environment_handler on_environment([&](HRESULT, ICoreWebView2Environment* created) {
    environment = com_ptr<ICoreWebView2Environment>::share(created);
    return S_OK;
  });
  HRESULT code = S_OK;
  com_ptr<ICoreWebView2Controller> controller;
  controller_handler on_controller([&](HRESULT result, ICoreWebView2Controller* created) {
    code = result;
    controller = com_ptr<ICoreWebView2Controller>::share(created);
    return S_OK;
  });
  ASSERT_EQ(standin.start(&on_environment), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_environment.calls == 1; }, 5000));
  ASSERT_NE(environment.get(), nullptr);
  const HWND parent = CreateWindowExW(0, L"STATIC", L"stand-in controller", WS_OVERLAPPEDWINDOW, 0,
                                      0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);

  EXPECT_EQ(environment->CreateCoreWebView2Controller(parent, &on_controller), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_controller.calls == 1; }, 5000));
  EXPECT_EQ(code, static_cast<HRESULT>(0x80004005)) << "controller #1 fails";
  EXPECT_EQ(controller.get(), nullptr);

  EXPECT_EQ(environment->CreateCoreWebView2Controller(parent, &on_controller), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_controller.calls == 2; }, 5000));
  ASSERT_EQ(code, S_OK);
  ASSERT_NE(controller.get(), nullptr);
  com_ptr<ICoreWebView2> webview;
  EXPECT_EQ(controller->get_CoreWebView2(webview.put()), S_OK);
  EXPECT_NE(webview.get(), nullptr);

  webview.reset();
  controller.reset();
  environment.reset();
  pump_for(50);
  DestroyWindow(parent);
  EXPECT_EQ(on_environment.references, 1u) << "the stand-in kept or lost a handler reference";
  EXPECT_EQ(on_controller.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_controller,
     browser_window_follows_bounds_and_visibility_and_goes_with_the_controller) {
  const standin_copy standin("");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());

  EXPECT_EQ(page.controller->put_Bounds(RECT{10, 20, 310, 220}), S_OK);
  EXPECT_EQ(page.controller->put_IsVisible(TRUE), S_OK);
  EXPECT_EQ(page.controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC), S_OK);
  const HWND browser = GetWindow(page.parent, GW_CHILD);
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(IsWindowVisible(browser) || !IsWindowVisible(page.parent));
  RECT browser_rect{};
  GetWindowRect(browser, &browser_rect);
  EXPECT_EQ(browser_rect.right - browser_rect.left, 300);
  EXPECT_EQ(browser_rect.bottom - browser_rect.top, 200);
  page.close();
}

TEST(standin_controller, put_zoom_factor_raises_its_event_from_the_message_dispatch) {
  const standin_copy standin("");
  double zoom_seen = 0;
  zoom_handler on_zoom([&](ICoreWebView2Controller* sender, IUnknown*) {
    return sender->get_ZoomFactor(&zoom_seen);
  });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.controller->add_ZoomFactorChanged(&on_zoom, &token), S_OK);

  EXPECT_EQ(page.controller->put_ZoomFactor(1.25), S_OK);
  EXPECT_EQ(on_zoom.calls, 0);
  ASSERT_TRUE(pump_until([&] { return on_zoom.calls == 1; }, 5000));
  EXPECT_EQ(zoom_seen, 1.25);
  EXPECT_TRUE(
      has_line(standin.log_lines(), {"\"method\":\"put_ZoomFactor\"", "\"zoomFactor\":1.25"}));
  page.close();
  EXPECT_EQ(on_zoom.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_controller, hold_and_pending_creations_abort_inside_destroy_window_of_the_parent) {
  const standin_copy standin("controller refuse 0x8007139F\ncontroller hold\n");
  com_ptr<ICoreWebView2Environment> environment;
  environment_handler on_environment([&](HRESULT, ICoreWebView2Environment* created) {
    environment = com_ptr<ICoreWebView2Environment>::share(created);
    return S_OK;
  });
  bool destroying = false;
  std::vector<HRESULT> codes;
  int delivered_inside_destroy = 0;
  controller_handler on_controller([&](HRESULT result, ICoreWebView2Controller* created) {
    codes.push_back(created ? S_OK : result);
    delivered_inside_destroy += destroying ? 1 : 0;
    return S_OK;
  });
  ASSERT_EQ(standin.start(&on_environment), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_environment.calls == 1; }, 5000));
  ASSERT_NE(environment.get(), nullptr);
  const HWND parent = CreateWindowExW(0, L"STATIC", L"stand-in controller", WS_OVERLAPPEDWINDOW, 0,
                                      0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);

  EXPECT_EQ(environment->CreateCoreWebView2Controller(parent, &on_controller),
            static_cast<HRESULT>(0x8007139F));
  EXPECT_EQ(environment->CreateCoreWebView2Controller(parent, &on_controller), S_OK) << "hold";
  pump_for(200);
  EXPECT_TRUE(codes.empty()) << "a refused or held creation completed";
  EXPECT_EQ(environment->CreateCoreWebView2Controller(parent, &on_controller), S_OK) << "pending";

  destroying = true;
  DestroyWindow(parent);
  destroying = false;
  EXPECT_EQ(codes, (std::vector<HRESULT>{E_ABORT, E_ABORT}));
  EXPECT_EQ(delivered_inside_destroy, 2) << "E_ABORT came after DestroyWindow returned";
  pump_for(50);
  EXPECT_EQ(codes.size(), 2u) << "the pending creation completed a second time";
  environment.reset();
  EXPECT_EQ(on_controller.references, 1u) << "the stand-in kept or lost a handler reference";
}

}  // namespace
}  // namespace standin_test
