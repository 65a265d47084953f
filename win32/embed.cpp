#include <utility>

#include "app/deployment.h"
#include "engine/bridge_script.h"
#include "loader/environment_creation.h"
#include "util/com_ptr.h"
#include "util/module_path.h"
#include "util/task_memory_string.h"
#include "webview2/com_handler.h"
#include "webview2/fullscreen_watch.h"
#include "webview2/navigation_watch.h"
#include "webview2/process_failed_watch.h"
#include "webview2/runtime_hresults.h"
#include "webview2/user_agent.h"
#include "webview2/user_data_folder.h"
#include "webview2/zoom.h"
#include "win32/message_wait.h"
#include "win32/window_background.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

// The browser's own user agent keeps its text and gains the application's token.
void mark_user_agent(ICoreWebView2Settings* settings) {
  com_ptr<ICoreWebView2Settings2> settings2;
  if (FAILED(settings->QueryInterface(IID_ICoreWebView2Settings2,
                                      reinterpret_cast<void**>(settings2.put()))) ||
      !settings2) {
    return;
  }
  task_memory_string current;
  const bool readable = SUCCEEDED(settings2->get_UserAgent(current.put())) && current.get();
  settings2->put_UserAgent(marked_user_agent(readable ? current.get() : L"").c_str());
}

// A setting that does not answer S_OK fails the start; its HRESULT goes with the error when it
// is a failure code (S_FALSE is none).
error_detail setting_failed(const char* call, HRESULT result) {
  return error_detail{error_unspecified, std::string(call) + " failed",
                      FAILED(result) ? result : E_FAIL};
}

noresult configure_settings(ICoreWebView2* webview, bool debug) {
  com_ptr<ICoreWebView2Settings> settings;
  HRESULT result = webview->get_Settings(settings.put());
  if (result != S_OK || !settings) return setting_failed("get_Settings", result);
  result = settings->put_AreDevToolsEnabled(debug ? TRUE : FALSE);
  if (result != S_OK) return setting_failed("put_AreDevToolsEnabled", result);
  result = settings->put_IsStatusBarEnabled(FALSE);
  if (result != S_OK) return setting_failed("put_IsStatusBarEnabled", result);
  mark_user_agent(settings.get());
  return {};
}

// The registration holds the watcher; a failed registration frees it as `watcher` goes.
template <typename Watcher, typename Register>
void register_watcher(com_ptr<Watcher> watcher, Register&& register_with) {
  EventRegistrationToken token{};
  register_with(watcher.get(), &token);
}

}  // namespace

noresult win32_edge_engine::embed(HWND widget, bool debug,
                                  std::function<void(std::string)> on_message) {
  dev_tools = debug;
  message_callback = std::move(on_message);
  const noresult started = start_browser(widget);
  if (started.has_error()) return started;
  const noresult configured = configure_browser();
  if (configured.has_error()) return configured;
  install_bridge_script(webview2_post_function);
  show_browser();
  return {};
}

noresult win32_edge_engine::start_browser(HWND widget) {
  const std::shared_ptr<engine_link> shared_link = link;
  const unsigned generation = ++browser_generation;
  browser_failed = false;
  struct start_state {
    bool pending = true;
    HRESULT outcome = E_PENDING;
  };
  const auto state = std::make_shared<start_state>();
  // Only the current browser's handler may hand over objects: an old one's late completion finds
  // a newer generation and is dropped.
  auto controller_created = [shared_link, state, generation](
                                HRESULT outcome, ICoreWebView2Controller* created_controller,
                                ICoreWebView2* created_webview) {
    win32_edge_engine* engine = shared_link->engine;
    if (!engine || engine->browser_generation != generation) return;
    if (SUCCEEDED(outcome)) {
      engine->controller = com_ptr<ICoreWebView2Controller>::share(created_controller);
      engine->webview = com_ptr<ICoreWebView2>::share(created_webview);
    }
    state->outcome = outcome;
    state->pending = false;
  };
  auto post_task = [shared_link](std::function<void()> task) {
    if (shared_link->engine) shared_link->engine->dispatch_impl(std::move(task));
  };
  com_handler = com_ptr<webview2_com_handler>::adopt(
      new webview2_com_handler(widget, message_callback, std::move(controller_created),
                               quendari::start_url_utf16, std::move(post_task)));
  webview2_com_handler* const handler = com_handler.get();
  // The creator keeps its own copy of the folder: a retry can come after this has returned.
  com_handler->set_environment_creator([shared_link, folder = user_data_folder, handler] {
    win32_edge_engine* engine = shared_link->engine;
    if (!engine || engine->com_handler.get() != handler) return runtime_asks_no_retry;
    return create_environment(
        engine->loader_module, folder.c_str(),
        static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(handler));
  });
  com_handler->attempt_environment_creation();

  const wait_outcome waited = wait_for_browser([&] { return !state->pending || !widget_window; });
  if (waited == wait_outcome::quit_requested || state->outcome == controller_creation_aborted) {
    return error_detail{error_canceled, "The window was closed before the browser was ready",
                        state->outcome};
  }
  if (waited == wait_outcome::timed_out) {
    return error_detail{error_invalid_state, "The browser did not start in time",
                        browser_start_timed_out};
  }
  if (!widget_window) {
    return error_detail{error_canceled, "The window was closed before the browser was ready",
                        controller_creation_aborted};
  }
  if (!controller || !webview) {
    return error_detail{error_invalid_state, "The browser could not be created", state->outcome};
  }
  return {};
}

noresult win32_edge_engine::configure_browser() {
  const noresult configured = configure_settings(webview.get(), dev_tools);
  if (configured.has_error()) return configured;

  apply_browser_background();
  const double zoom = read_zoom_file(zoom_file_path);
  if (zoom > 0) controller->put_ZoomFactor(zoom);
  const std::shared_ptr<engine_link> shared_link = link;
  const unsigned generation = browser_generation;
  register_watcher(com_ptr<zoom_watch>::adopt(new zoom_watch(zoom_file_path)),
                   [this](auto* watcher, auto* token) {
                     return controller->add_ZoomFactorChanged(watcher, token);
                   });
  register_watcher(com_ptr<fs_watch>::adopt(new fs_watch([shared_link](bool on) {
                     if (shared_link->engine) shared_link->engine->set_fullscreen(on);
                   })),
                   [this](auto* watcher, auto* token) {
                     return webview->add_ContainsFullScreenElementChanged(watcher, token);
                   });
  register_watcher(
      com_ptr<process_failed_watch>::adopt(new process_failed_watch(
          [shared_link, generation](COREWEBVIEW2_PROCESS_FAILED_KIND kind) {
            win32_edge_engine* engine = shared_link->engine;
            if (engine && engine->browser_generation == generation) engine->on_process_failed(kind);
          })),
      [this](auto* watcher, auto* token) { return webview->add_ProcessFailed(watcher, token); });
  register_watcher(com_ptr<navigation_watch>::adopt(new navigation_watch(
                       [shared_link, generation](const navigation_outcome& outcome) {
                         win32_edge_engine* engine = shared_link->engine;
                         if (engine && engine->browser_generation == generation) {
                           engine->on_navigation_completed(outcome);
                         }
                       })),
                   [this](auto* watcher, auto* token) {
                     return webview->add_NavigationCompleted(watcher, token);
                   });
  return {};
}

noresult win32_edge_engine::locate_user_data() {
  std::wstring app_data;
  if (!roaming_app_data_folder(app_data)) {
    return error_detail{error_unspecified, "SHGetKnownFolderPath failed"};
  }
  user_data_folder = join_path(app_data, file_name_part(executable_path()));
  zoom_file_path = join_path(user_data_folder, L"zoom.txt");
  window_file_path = join_path(user_data_folder, L"window.txt");
  return {};
}

void win32_edge_engine::apply_browser_background() {
  // Older runtimes lack the interface; their browser then shows its own default.
  com_ptr<ICoreWebView2Controller2> controller2;
  if (!controller ||
      FAILED(controller->QueryInterface(IID_ICoreWebView2Controller2,
                                        reinterpret_cast<void**>(controller2.put()))) ||
      !controller2) {
    return;
  }
  controller2->put_DefaultBackgroundColor(browser_background(background));
}

void win32_edge_engine::show_browser() {
  fit_controller_to_widget();
  controller->put_IsVisible(TRUE);
  ShowWindow(widget_window, SW_SHOW);
  UpdateWindow(widget_window);
  if (owns_window) controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
}

wait_outcome win32_edge_engine::wait_for_browser(const std::function<bool()>& done) {
  ++browser_wait_depth;
  const wait_outcome waited = pump_messages_until(
      [&] { return done() || browser_failed || !widget_window; }, std::chrono::seconds(30));
  --browser_wait_depth;
  return waited;
}

void win32_edge_engine::install_bridge_script(std::string_view post_function) {
  add_user_script(compose_bootstrap_script(post_function));
}

}  // namespace webview::detail
