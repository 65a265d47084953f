// Controllers: the scenario's controller lines, and the browser window and zoom factor that a
// controller owns.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

// 0xAARRGGBB, to compare colours in one expectation.
unsigned argb(const COREWEBVIEW2_COLOR& color) {
  return static_cast<unsigned>(color.A) << 24 | color.R << 16 | color.G << 8 | color.B;
}

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
  const std::vector<std::string> lines = standin.log_lines();
  EXPECT_TRUE(
      has_line(lines, {"\"method\":\"put_Bounds\"",
                       "\"bounds\":{\"left\":10,\"top\":20,\"right\":310,\"bottom\":220}"}));
  EXPECT_TRUE(has_line(lines, {"\"method\":\"put_IsVisible\"", "\"isVisible\":1"}));
  page.close();
}

TEST(standin_controller, notify_parent_window_position_changed_is_answered_and_logged) {
  const standin_copy standin("");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());

  EXPECT_EQ(page.controller->NotifyParentWindowPositionChanged(), S_OK);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"method\":\"NotifyParentWindowPositionChanged\"",
                                             "\"result\":\"0x00000000\""}));
  page.close();
}

TEST(standin_controller, default_background_color_round_trips_and_takes_only_alpha_0_or_255) {
  const standin_copy standin("");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  com_ptr<ICoreWebView2Controller2> controller2;
  ASSERT_EQ(page.controller->QueryInterface(IID_ICoreWebView2Controller2,
                                            reinterpret_cast<void**>(controller2.put())),
            S_OK);
  EXPECT_EQ(static_cast<ICoreWebView2Controller*>(controller2.get()), page.controller.get())
      << "one object for both interfaces";

  COREWEBVIEW2_COLOR color{};
  ASSERT_EQ(controller2->get_DefaultBackgroundColor(&color), S_OK);
  EXPECT_EQ(argb(color), 0xFFFFFFFFu) << "opaque white by default";
  EXPECT_EQ(controller2->put_DefaultBackgroundColor({255, 0x20, 0x30, 0x40}), S_OK);
  ASSERT_EQ(controller2->get_DefaultBackgroundColor(&color), S_OK);
  EXPECT_EQ(argb(color), 0xFF203040u);
  EXPECT_EQ(controller2->put_DefaultBackgroundColor({128, 0x10, 0x10, 0x10}), E_INVALIDARG);
  ASSERT_EQ(controller2->get_DefaultBackgroundColor(&color), S_OK);
  EXPECT_EQ(argb(color), 0xFF203040u) << "a refused colour changed the stored one";
  EXPECT_EQ(controller2->put_DefaultBackgroundColor({0, 0, 0, 0}), S_OK) << "transparent";
  ASSERT_EQ(controller2->get_DefaultBackgroundColor(&color), S_OK);
  EXPECT_EQ(argb(color), 0x00000000u);

  const std::vector<std::string> lines = standin.log_lines();
  EXPECT_TRUE(has_line(lines, {"\"interface\":\"ICoreWebView2Controller2\"",
                               "\"method\":\"put_DefaultBackgroundColor\"",
                               "\"color\":\"#FF203040\"", "\"result\":\"0x00000000\""}));
  EXPECT_TRUE(has_line(lines, {"\"method\":\"put_DefaultBackgroundColor\"",
                               "\"color\":\"#80101010\"", "\"result\":\"0x80070057\""}));
  controller2.reset();
  page.close();
}

TEST(standin_controller, browser_window_shows_the_background_color_until_a_page_is_shown) {
  // WEBVIEW2_DEFAULT_BACKGROUND_COLOR and the first frame: never the colour set through the API.
  const std::pair<const wchar_t*, COLORREF> cases[] = {{nullptr, RGB(255, 255, 255)},
                                                       {L"FF102030", RGB(0x10, 0x20, 0x30)},
                                                       {L"80102030", RGB(255, 255, 255)}};
  for (const auto& [variable, first_frame] : cases) {
    SetEnvironmentVariableW(L"WEBVIEW2_DEFAULT_BACKGROUND_COLOR", variable);
    const standin_copy standin("");
    navigation_handler on_navigation(
        [](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs*) { return S_OK; });
    standin_page page(standin);
    SetEnvironmentVariableW(L"WEBVIEW2_DEFAULT_BACKGROUND_COLOR", nullptr);
    ASSERT_TRUE(page.ready());
    com_ptr<ICoreWebView2Controller2> controller2;
    ASSERT_EQ(page.controller->QueryInterface(IID_ICoreWebView2Controller2,
                                              reinterpret_cast<void**>(controller2.put())),
              S_OK);
    EventRegistrationToken token{};
    EXPECT_EQ(page.webview->add_NavigationCompleted(&on_navigation, &token), S_OK);
    EXPECT_EQ(controller2->put_DefaultBackgroundColor({255, 0x20, 0x30, 0x40}), S_OK);
    ShowWindow(page.parent, SW_SHOWNOACTIVATE);
    EXPECT_EQ(page.controller->put_Bounds(RECT{0, 0, 200, 150}), S_OK);
    EXPECT_EQ(page.controller->put_IsVisible(TRUE), S_OK);
    const HWND browser = GetWindow(page.parent, GW_CHILD);
    ASSERT_NE(browser, nullptr);
    // A corner pixel of the browser window, away from the status text.
    const auto corner = [&] {
      UpdateWindow(browser);
      const HDC dc = GetDC(browser);
      const COLORREF pixel = GetPixel(dc, 2, 148);
      ReleaseDC(browser, dc);
      return pixel;
    };
    EXPECT_EQ(corner(), first_frame) << (variable ? variable : L"(unset)");
    EXPECT_EQ(corner(), RGB(0x20, 0x30, 0x40)) << "no page yet: the API's colour";

    EXPECT_EQ(page.webview->Navigate(L"https://app.test/"), S_OK);
    ASSERT_TRUE(pump_until([&] { return on_navigation.calls == 1; }, 5000));
    EXPECT_NE(corner(), RGB(0x20, 0x30, 0x40)) << "the page did not replace the background";
    controller2.reset();
    page.close();
    EXPECT_EQ(on_navigation.references, 1u) << "the stand-in kept or lost a handler reference";
  }
}

TEST(standin_controller, no_controller2_and_no_environment5_refuse_those_interfaces) {
  const standin_copy standin("nocontroller2\nnoenvironment5\n");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());

  void* environment5 = &environment5;
  EXPECT_EQ(page.environment->QueryInterface(IID_ICoreWebView2Environment5, &environment5),
            E_NOINTERFACE);
  EXPECT_EQ(environment5, nullptr);
  void* controller2 = &controller2;
  EXPECT_EQ(page.controller->QueryInterface(IID_ICoreWebView2Controller2, &controller2),
            E_NOINTERFACE);
  EXPECT_EQ(controller2, nullptr);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"method\":\"QueryInterface\"",
                                             "\"riid\":\"{C979903E-D4CA-4228-92EB-47EE3FA96EAB}\"",
                                             "\"result\":\"0x80004002\""}));
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
