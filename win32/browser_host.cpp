#include "win32/browser_host.h"

#include <chrono>
#include <utility>

#include "util/diagnostic_log.h"
#include "util/exception_barrier.h"
#include "util/task_memory_string.h"
#include "webview2/com_handler.h"
#include "webview2/fullscreen_watch.h"
#include "webview2/runtime_hresults.h"
#include "webview2/signal_watch.h"
#include "webview2/user_agent.h"
#include "webview2/zoom.h"
#include "win32/window_background.h"

namespace webview::detail {
namespace {

// The browser's own user agent keeps its text and gains the application's token. Older runtimes
// have no Settings2 and keep their user agent.
void mark_user_agent(ICoreWebView2Settings* settings) {
  com_ptr<ICoreWebView2Settings2> settings2;
  if (FAILED(settings->QueryInterface(IID_ICoreWebView2Settings2,
                                      reinterpret_cast<void**>(settings2.put()))) ||
      !settings2) {
    return;
  }
  task_memory_string current;
  const bool readable =
      log_if_failed("get_UserAgent", settings2->get_UserAgent(current.put())) && current.get();
  log_if_failed("put_UserAgent", settings2->put_UserAgent(
                                     marked_user_agent(readable ? current.get() : L"").c_str()));
}

// A setting that does not answer S_OK fails the start; its HRESULT goes with the error when it
// is a failure code (S_FALSE is none).
error_detail setting_failed(const char* call, HRESULT result) {
  return error_detail{error_unspecified, std::string(call) + " failed",
                      FAILED(result) ? result : E_FAIL};
}

noresult configure_settings(ICoreWebView2* webview, bool dev_tools) {
  com_ptr<ICoreWebView2Settings> settings;
  HRESULT result = webview->get_Settings(settings.put());
  if (result != S_OK || !settings) return setting_failed("get_Settings", result);
  result = settings->put_AreDevToolsEnabled(dev_tools ? TRUE : FALSE);
  if (result != S_OK) return setting_failed("put_AreDevToolsEnabled", result);
  result = settings->put_IsStatusBarEnabled(FALSE);
  if (result != S_OK) return setting_failed("put_IsStatusBarEnabled", result);
  mark_user_agent(settings.get());
  return {};
}

noresult failed_call(const char* call, HRESULT result) {
  log_if_failed(call, result);
  return error_detail{error_unspecified, std::string(call) + " failed", result};
}

}  // namespace

browser_host::browser_host(browser_host_owner& owner, const shell_configuration& configuration,
                           browser_host_options options)
    : owner(owner), configuration(configuration), options(std::move(options)) {}

browser_host::~browser_host() { close(); }

noresult browser_host::start() {
  const noresult created = create_browser();
  if (created.has_error()) return created;
  return configure();
}

noresult browser_host::create_browser() {
  link = std::make_shared<browser_host_link>();
  link->host = this;
  browser_failed = false;
  struct start_state {
    bool pending = true;
    HRESULT outcome = E_PENDING;
  };
  const auto state = std::make_shared<start_state>();
  // Only this browser's handler may hand over objects: a late completion of an older one finds
  // its link cut and is dropped.
  auto controller_created = [shared_link = link, state](HRESULT outcome,
                                                        ICoreWebView2Controller* created_controller,
                                                        ICoreWebView2* created_webview) {
    browser_host* host = shared_link->host;
    if (!host) return;
    if (SUCCEEDED(outcome)) {
      host->controller_ = com_ptr<ICoreWebView2Controller>::share(created_controller);
      host->webview_ = com_ptr<ICoreWebView2>::share(created_webview);
    }
    state->outcome = outcome;
    state->pending = false;
  };
  auto on_message = [shared_link = link](std::string message, std::wstring source) {
    if (shared_link->host) {
      shared_link->host->owner.on_page_message(
          {std::move(message), std::move(source), shared_link});
    }
  };
  auto post_task = [shared_link = link](std::function<void()> task) {
    if (shared_link->host) shared_link->host->owner.post_task(std::move(task));
  };
  handler = com_ptr<webview2_com_handler>::adopt(
      new webview2_com_handler(options.parent, std::move(on_message), std::move(controller_created),
                               configuration.start_url, std::move(post_task)));
  webview2_com_handler* const own_handler = handler.get();
  handler->set_environment_creator([shared_link = link, own_handler] {
    browser_host* host = shared_link->host;
    if (!host || host->handler.get() != own_handler) return runtime_asks_no_retry;
    return host->owner.create_environment(own_handler);
  });
  handler->set_environment_observer([shared_link = link](ICoreWebView2Environment* environment) {
    if (shared_link->host) {
      shared_link->host->environment_ = com_ptr<ICoreWebView2Environment>::share(environment);
    }
  });
  handler->set_popup_opener(
      [shared_link = link](std::shared_ptr<popup_request> request) {
        if (shared_link->host) shared_link->host->owner.open_popup(std::move(request));
      },
      options.signin_hosts);
  handler->attempt_environment_creation();

  const HWND parent = options.parent;
  const wait_outcome waited = wait_for_browser([&] { return !state->pending; });
  // E_ABORT means the parent went away only when it really did; otherwise it is a failure.
  if (waited == wait_outcome::quit_requested ||
      (state->outcome == controller_creation_aborted && !IsWindow(parent))) {
    return error_detail{error_canceled, "The window was closed before the browser was ready",
                        state->outcome};
  }
  if (waited == wait_outcome::timed_out) {
    return error_detail{error_invalid_state, "The browser did not start in time",
                        browser_start_timed_out};
  }
  if (!IsWindow(parent)) {
    return error_detail{error_canceled, "The window was closed before the browser was ready",
                        controller_creation_aborted};
  }
  if (!controller_ || !webview_) {
    return error_detail{error_invalid_state, "The browser could not be created", state->outcome};
  }
  return {};
}

noresult browser_host::configure() {
  const noresult configured = configure_settings(webview_.get(), options.dev_tools);
  if (configured.has_error()) return configured;

  apply_background();
  const double zoom = read_zoom_file(options.zoom_file_path);
  if (zoom > 0) log_if_failed("put_ZoomFactor", controller_->put_ZoomFactor(zoom));
  ICoreWebView2Controller* const controller = controller_.get();
  ICoreWebView2* const view = webview_.get();
  const std::shared_ptr<browser_host_link> shared_link = link;
  register_event(
      "add_ZoomFactorChanged", "remove_ZoomFactorChanged",
      com_ptr<zoom_watch>::adopt(new zoom_watch(options.zoom_file_path)),
      [controller](auto* watcher, auto* token) {
        return controller->add_ZoomFactorChanged(watcher, token);
      },
      [controller](auto token) { return controller->remove_ZoomFactorChanged(token); });
  register_event(
      "add_ContainsFullScreenElementChanged", "remove_ContainsFullScreenElementChanged",
      com_ptr<fs_watch>::adopt(new fs_watch([shared_link](bool on) {
        if (shared_link->host) shared_link->host->owner.on_page_full_screen(on);
      })),
      [view](auto* watcher, auto* token) {
        return view->add_ContainsFullScreenElementChanged(watcher, token);
      },
      [view](auto token) { return view->remove_ContainsFullScreenElementChanged(token); });
  register_event(
      "add_ProcessFailed", "remove_ProcessFailed",
      com_ptr<process_failed_watch>::adopt(
          new process_failed_watch([shared_link](const process_failure& failure) {
            if (shared_link->host) shared_link->host->on_process_failed(failure);
          })),
      [view](auto* watcher, auto* token) { return view->add_ProcessFailed(watcher, token); },
      [view](auto token) { return view->remove_ProcessFailed(token); });
  register_event(
      "add_NavigationCompleted", "remove_NavigationCompleted",
      com_ptr<navigation_watch>::adopt(
          new navigation_watch([shared_link](const navigation_outcome& outcome) {
            if (shared_link->host) shared_link->host->on_navigation_completed(outcome);
          })),
      [view](auto* watcher, auto* token) { return view->add_NavigationCompleted(watcher, token); },
      [view](auto token) { return view->remove_NavigationCompleted(token); });
  // The handler applies the page policy; the registrations hold their own references to it.
  register_event(
      "add_WebMessageReceived", "remove_WebMessageReceived",
      com_ptr<ICoreWebView2WebMessageReceivedEventHandler>::share(handler.get()),
      [view](auto* watcher, auto* token) { return view->add_WebMessageReceived(watcher, token); },
      [view](auto token) { return view->remove_WebMessageReceived(token); });
  register_event(
      "add_PermissionRequested", "remove_PermissionRequested",
      com_ptr<ICoreWebView2PermissionRequestedEventHandler>::share(handler.get()),
      [view](auto* watcher, auto* token) { return view->add_PermissionRequested(watcher, token); },
      [view](auto token) { return view->remove_PermissionRequested(token); });
  register_event(
      "add_NewWindowRequested", "remove_NewWindowRequested",
      com_ptr<ICoreWebView2NewWindowRequestedEventHandler>::share(handler.get()),
      [view](auto* watcher, auto* token) { return view->add_NewWindowRequested(watcher, token); },
      [view](auto token) { return view->remove_NewWindowRequested(token); });
  register_page_events();
  return {};
}

void browser_host::register_page_events() {
  ICoreWebView2* const view = webview_.get();
  const std::shared_ptr<browser_host_link> shared_link = link;
  register_event(
      "add_DocumentTitleChanged", "remove_DocumentTitleChanged",
      com_ptr<title_watch>::adopt(new title_watch([shared_link](ICoreWebView2* sender) {
        task_memory_string title;
        if (shared_link->host && sender &&
            log_if_failed("get_DocumentTitle", sender->get_DocumentTitle(title.put()))) {
          shared_link->host->owner.on_page_title(title.get() ? title.get() : L"");
        }
      })),
      [view](auto* watcher, auto* token) { return view->add_DocumentTitleChanged(watcher, token); },
      [view](auto token) { return view->remove_DocumentTitleChanged(token); });
  if (options.is_popup) {
    register_event(
        "add_WindowCloseRequested", "remove_WindowCloseRequested",
        com_ptr<close_watch>::adopt(new close_watch([shared_link](ICoreWebView2*) {
          if (shared_link->host) shared_link->host->owner.on_page_close_requested();
        })),
        [view](auto* watcher, auto* token) {
          return view->add_WindowCloseRequested(watcher, token);
        },
        [view](auto token) { return view->remove_WindowCloseRequested(token); });
    return;
  }
  environment_exit_ = std::make_unique<environment_exit>(environment_.get());
  register_event(
      "add_NavigationStarting", "remove_NavigationStarting",
      com_ptr<navigation_start_watch>::adopt(new navigation_start_watch([shared_link](UINT64 id) {
        if (shared_link->host) shared_link->host->on_navigation_starting(id);
      })),
      [view](auto* watcher, auto* token) { return view->add_NavigationStarting(watcher, token); },
      [view](auto token) { return view->remove_NavigationStarting(token); });
  ICoreWebView2Environment* const environment = environment_.get();
  register_event(
      "add_NewBrowserVersionAvailable", "remove_NewBrowserVersionAvailable",
      com_ptr<new_version_watch>::adopt(new new_version_watch([shared_link](auto*) {
        if (shared_link->host) shared_link->host->owner.on_newer_runtime();
      })),
      [environment](auto* watcher, auto* token) {
        return environment->add_NewBrowserVersionAvailable(watcher, token);
      },
      [environment](auto token) { return environment->remove_NewBrowserVersionAvailable(token); });
  // Runtimes before 1.0.2739 show notifications with their own display.
  // Held by both calls: the registration must be removed through the interface it was made on.
  auto view24 = std::make_shared<com_ptr<ICoreWebView2_24>>();
  if (FAILED(view->QueryInterface(IID_ICoreWebView2_24, reinterpret_cast<void**>(view24->put()))) ||
      !*view24) {
    return;
  }
  register_event(
      "add_NotificationReceived", "remove_NotificationReceived",
      com_ptr<notification_watch>::adopt(
          new notification_watch([shared_link](page_notification notification) {
            if (shared_link->host) {
              shared_link->host->owner.on_page_notification(std::move(notification));
            }
          })),
      [view24](auto* watcher, auto* token) {
        return (*view24)->add_NotificationReceived(watcher, token);
      },
      [view24](auto token) { return (*view24)->remove_NotificationReceived(token); });
}

// The registration holds the watcher; a failed registration frees it as `watcher` goes.
template <typename Watcher, typename Add, typename Remove>
void browser_host::register_event(const char* add_call, const char* remove_call,
                                  com_ptr<Watcher> watcher, Add add, Remove remove) {
  EventRegistrationToken token{};
  if (log_if_failed(add_call, add(watcher.get(), &token))) {
    registrations.push_back(registration{remove_call, token, std::move(remove)});
  }
}

void browser_host::close() noexcept {
  if (link) link->host = nullptr;
  for (auto it = registrations.rbegin(); it != registrations.rend(); ++it) {
    log_if_failed(it->remove_call, it->remove(it->token));
  }
  registrations.clear();
  // Explicitly, so that no reference cycle keeps the browser alive; after a browser-process exit
  // the runtime may answer with a failure, which is only logged.
  if (controller_) log_if_failed("Close", controller_->Close());
  handler.reset();
  webview_.reset();
  controller_.reset();
  environment_exit_.reset();
  environment_.reset();
}

void browser_host::show() {
  fit_to_parent();
  set_visible(true);
  ShowWindow(options.parent, SW_SHOW);
  UpdateWindow(options.parent);
  if (options.takes_focus) move_focus();
}

wait_outcome browser_host::wait_for_browser(const std::function<bool()>& done) {
  ++wait_depth;
  const HWND parent = options.parent;
  const wait_outcome waited = pump_messages_until(
      [&] { return done() || browser_failed || !IsWindow(parent); }, std::chrono::seconds(30));
  --wait_depth;
  return waited;
}

void browser_host::apply_background() {
  // Older runtimes lack the interface; their browser then shows its own default.
  com_ptr<ICoreWebView2Controller2> controller2;
  if (!controller_ ||
      FAILED(controller_->QueryInterface(IID_ICoreWebView2Controller2,
                                         reinterpret_cast<void**>(controller2.put()))) ||
      !controller2) {
    return;
  }
  log_if_failed("put_DefaultBackgroundColor",
                controller2->put_DefaultBackgroundColor(browser_background(options.background)));
}

void browser_host::set_background(COLORREF colour) {
  options.background = colour;
  apply_background();
}

void browser_host::fit_to_parent() {
  RECT rect{};
  if (controller_ && GetClientRect(options.parent, &rect)) {
    log_if_failed("put_Bounds", controller_->put_Bounds(rect));
  }
}

void browser_host::set_visible(bool visible) {
  if (controller_)
    log_if_failed("put_IsVisible", controller_->put_IsVisible(visible ? TRUE : FALSE));
}

void browser_host::move_focus() {
  if (controller_) {
    log_if_failed("MoveFocus", controller_->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC));
  }
}

void browser_host::parent_moved() {
  if (controller_) {
    log_if_failed("NotifyParentWindowPositionChanged",
                  controller_->NotifyParentWindowPositionChanged());
  }
}

void browser_host::save_zoom() noexcept {
  if (!controller_ || options.zoom_file_path.empty()) return;
  double zoom = 1.0;
  if (log_if_failed("get_ZoomFactor", controller_->get_ZoomFactor(&zoom))) {
    call_without_throwing([&] { detail::save_zoom(options.zoom_file_path, zoom); });
  }
}

noresult browser_host::navigate(const std::wstring& uri) {
  if (!webview_) return error_detail{error_invalid_state, "No browser"};
  const HRESULT result = webview_->Navigate(uri.c_str());
  if (FAILED(result)) return failed_call("Navigate", result);
  return {};
}

noresult browser_host::navigate_to_string(const std::wstring& html) {
  if (!webview_) return error_detail{error_invalid_state, "No browser"};
  const HRESULT result = webview_->NavigateToString(html.c_str());
  if (FAILED(result)) return failed_call("NavigateToString", result);
  return {};
}

noresult browser_host::execute_script(const std::wstring& script) {
  if (!webview_) return error_detail{error_invalid_state, "No browser"};
  const HRESULT result = webview_->ExecuteScript(script.c_str(), nullptr);
  if (FAILED(result)) return failed_call("ExecuteScript", result);
  return {};
}

}  // namespace webview::detail
