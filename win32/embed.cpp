#include <utility>

#include "app/deployment.h"
#include "engine/bridge_script.h"
#include "loader/environment_creation.h"
#include "util/com_ptr.h"
#include "util/module_path.h"
#include "util/task_memory_string.h"
#include "webview2/com_handler.h"
#include "webview2/fullscreen_watch.h"
#include "webview2/runtime_hresults.h"
#include "webview2/user_agent.h"
#include "webview2/user_data_folder.h"
#include "webview2/zoom.h"
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

noresult configure_settings(ICoreWebView2* webview, bool debug) {
  com_ptr<ICoreWebView2Settings> settings;
  if (webview->get_Settings(settings.put()) != S_OK || !settings) {
    return error_detail{error_unspecified, "get_Settings failed"};
  }
  if (settings->put_AreDevToolsEnabled(debug ? TRUE : FALSE) != S_OK) {
    return error_detail{error_unspecified, "put_AreDevToolsEnabled failed"};
  }
  if (settings->put_IsStatusBarEnabled(FALSE) != S_OK) {
    return error_detail{error_unspecified, "put_IsStatusBarEnabled failed"};
  }
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
  link->controller_pending.test_and_set();

  std::wstring app_data;
  if (!roaming_app_data_folder(app_data)) {
    return error_detail{error_unspecified, "SHGetKnownFolderPath failed"};
  }
  const std::wstring user_data_folder = join_path(app_data, file_name_part(executable_path()));

  const std::shared_ptr<engine_link> shared_link = link;
  auto controller_created = [shared_link](ICoreWebView2Controller* created_controller,
                                          ICoreWebView2* created_webview) {
    win32_edge_engine* engine = shared_link->engine;
    if (engine && created_controller && created_webview) {
      engine->controller = com_ptr<ICoreWebView2Controller>::share(created_controller);
      engine->webview = com_ptr<ICoreWebView2>::share(created_webview);
    }
    shared_link->controller_pending.clear();
  };
  auto post_task = [shared_link](std::function<void()> task) {
    if (shared_link->engine) shared_link->engine->dispatch_impl(std::move(task));
  };
  com_handler = com_ptr<webview2_com_handler>::adopt(
      new webview2_com_handler(widget, std::move(on_message), std::move(controller_created),
                               quendari::start_url_utf16, std::move(post_task)));
  // The creator keeps its own copy of the folder: a retry can come after embed has returned.
  com_handler->set_environment_creator([shared_link, user_data_folder]() -> HRESULT {
    win32_edge_engine* engine = shared_link->engine;
    if (!engine || !engine->com_handler) return runtime_asks_no_retry;
    return create_environment(
        engine->loader_module, user_data_folder.c_str(),
        static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(
            engine->com_handler.get()));
  });
  com_handler->attempt_environment_creation();

  if (link->controller_pending.test_and_set()) {
    MSG msg{};
    for (;;) {
      if (GetMessageW(&msg, nullptr, 0, 0) == -1) break;
      if (msg.message == WM_QUIT) return error_detail{error_canceled, ""};
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (!link->controller_pending.test_and_set()) break;
    }
  }
  if (!controller || !webview) return error_detail{error_invalid_state, ""};

  const noresult configured = configure_settings(webview.get(), debug);
  if (configured.has_error()) return configured;

  zoom_file_path = join_path(user_data_folder, L"zoom.txt");
  const double zoom = read_zoom_file(zoom_file_path);
  if (zoom > 0) controller->put_ZoomFactor(zoom);
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

  install_bridge_script(webview2_post_function);
  fit_controller_to_widget();
  controller->put_IsVisible(TRUE);
  ShowWindow(widget_window, SW_SHOW);
  UpdateWindow(widget_window);
  if (owns_window) controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
  return {};
}

void win32_edge_engine::install_bridge_script(std::string_view post_function) {
  add_user_script(compose_bootstrap_script(post_function));
}

}  // namespace webview::detail
