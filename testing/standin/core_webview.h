// The stand-in's ICoreWebView2: remembers the page it was sent to and its document-start
// scripts, answers the calls the application makes, completes every navigation from the message
// dispatch after its NavigationStarting, and raises page events (messages, permission and
// new-window requests, full-screen changes, process failures, links followed, window.close(), title
// changes, notifications) when the scenario's page actions ask. It may be another request's new
// window (a popup). UI thread only: the thread whose message dispatch runs the object's queue.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "testing/standin/browser_process.h"
#include "testing/standin/browser_window.h"
#include "testing/standin/event_handlers.h"
#include "testing/standin/module_use.h"
#include "testing/standin/scenario.h"
#include "testing/standin/settings.h"
#include "testing/standin/ui_thread_queue.h"
#include "util/com_ptr.h"
#include "webview2/webview2_abi.h"

namespace standin {

using webview::detail::com_ptr;

class controller_object;
class notification_args;

// ICoreWebView2_24 only with the scenario's `notifications`; its slots between ICoreWebView2 and
// NotificationReceived belong to interfaces the application never calls.
class core_webview final : public ICoreWebView2_24 {
 public:
  // `owner` is the controller that holds this web view; it calls detach_controller() when it
  // goes away.
  core_webview(std::shared_ptr<ui_thread_queue> queue, std::shared_ptr<browser_process> process,
               std::shared_ptr<browser_window> window, controller_object* owner);
  core_webview(const core_webview&) = delete;
  core_webview& operator=(const core_webview&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** value) override;
  HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* uri) override;
  HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override;
  HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR html) override;
  HRESULT STDMETHODCALLTYPE add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler*,
                                                   EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_NavigationStarting(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_ContentLoading(ICoreWebView2ContentLoadingEventHandler*,
                                               EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_ContentLoading(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_SourceChanged(ICoreWebView2SourceChangedEventHandler*,
                                              EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_SourceChanged(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_HistoryChanged(ICoreWebView2HistoryChangedEventHandler*,
                                               EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_HistoryChanged(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler*,
                                                    EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_NavigationCompleted(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_FrameNavigationStarting(
      ICoreWebView2NavigationStartingEventHandler*, EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_FrameNavigationStarting(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_FrameNavigationCompleted(
      ICoreWebView2NavigationCompletedEventHandler*, EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_FrameNavigationCompleted(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_ScriptDialogOpening(ICoreWebView2ScriptDialogOpeningEventHandler*,
                                                    EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_ScriptDialogOpening(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE
  add_PermissionRequested(ICoreWebView2PermissionRequestedEventHandler* handler,
                          EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_PermissionRequested(EventRegistrationToken token) override;
  HRESULT STDMETHODCALLTYPE add_ProcessFailed(ICoreWebView2ProcessFailedEventHandler*,
                                              EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_ProcessFailed(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
      LPCWSTR script,
      ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) override;
  HRESULT STDMETHODCALLTYPE RemoveScriptToExecuteOnDocumentCreated(LPCWSTR id) override;
  HRESULT STDMETHODCALLTYPE
  ExecuteScript(LPCWSTR script, ICoreWebView2ExecuteScriptCompletedHandler* handler) override;
  HRESULT STDMETHODCALLTYPE CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
                                           ICoreWebView2CapturePreviewCompletedHandler*) override;
  HRESULT STDMETHODCALLTYPE Reload() override;
  HRESULT STDMETHODCALLTYPE PostWebMessageAsJson(LPCWSTR) override;
  HRESULT STDMETHODCALLTYPE PostWebMessageAsString(LPCWSTR) override;
  HRESULT STDMETHODCALLTYPE add_WebMessageReceived(
      ICoreWebView2WebMessageReceivedEventHandler* handler, EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_WebMessageReceived(EventRegistrationToken token) override;
  HRESULT STDMETHODCALLTYPE CallDevToolsProtocolMethod(
      LPCWSTR, LPCWSTR, ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*) override;
  HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32*) override;
  HRESULT STDMETHODCALLTYPE get_CanGoBack(BOOL*) override;
  HRESULT STDMETHODCALLTYPE get_CanGoForward(BOOL*) override;
  HRESULT STDMETHODCALLTYPE GoBack() override;
  HRESULT STDMETHODCALLTYPE GoForward() override;
  HRESULT STDMETHODCALLTYPE
  GetDevToolsProtocolEventReceiver(LPCWSTR, ICoreWebView2DevToolsProtocolEventReceiver**) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE add_NewWindowRequested(
      ICoreWebView2NewWindowRequestedEventHandler* handler, EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_NewWindowRequested(EventRegistrationToken token) override;
  HRESULT STDMETHODCALLTYPE add_DocumentTitleChanged(ICoreWebView2DocumentTitleChangedEventHandler*,
                                                     EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_DocumentTitleChanged(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE get_DocumentTitle(LPWSTR*) override;
  HRESULT STDMETHODCALLTYPE AddHostObjectToScript(LPCWSTR, VARIANT*) override;
  HRESULT STDMETHODCALLTYPE RemoveHostObjectFromScript(LPCWSTR) override;
  HRESULT STDMETHODCALLTYPE OpenDevToolsWindow() override;
  HRESULT STDMETHODCALLTYPE add_ContainsFullScreenElementChanged(
      ICoreWebView2ContainsFullScreenElementChangedEventHandler* handler,
      EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE
  remove_ContainsFullScreenElementChanged(EventRegistrationToken token) override;
  HRESULT STDMETHODCALLTYPE get_ContainsFullScreenElement(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler*,
                                                     EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_WebResourceRequested(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE
      AddWebResourceRequestedFilter(LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT) override;
  HRESULT STDMETHODCALLTYPE
      RemoveWebResourceRequestedFilter(LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT) override;
  HRESULT STDMETHODCALLTYPE add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler*,
                                                     EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_WindowCloseRequested(EventRegistrationToken) override;
  // Slots 61-125, of ICoreWebView2_2 to ICoreWebView2_23.
  // clang-format off
#define STANDIN_UNUSED_SLOT(n) \
  HRESULT STDMETHODCALLTYPE slot_##n() override { return unused_slot(n); }
#define STANDIN_UNUSED_SLOTS_FROM(tens) \
  STANDIN_UNUSED_SLOT(tens##0) STANDIN_UNUSED_SLOT(tens##1) STANDIN_UNUSED_SLOT(tens##2) \
  STANDIN_UNUSED_SLOT(tens##3) STANDIN_UNUSED_SLOT(tens##4) STANDIN_UNUSED_SLOT(tens##5) \
  STANDIN_UNUSED_SLOT(tens##6) STANDIN_UNUSED_SLOT(tens##7) STANDIN_UNUSED_SLOT(tens##8) \
  STANDIN_UNUSED_SLOT(tens##9)
  STANDIN_UNUSED_SLOT(61) STANDIN_UNUSED_SLOT(62) STANDIN_UNUSED_SLOT(63) STANDIN_UNUSED_SLOT(64)
  STANDIN_UNUSED_SLOT(65) STANDIN_UNUSED_SLOT(66) STANDIN_UNUSED_SLOT(67) STANDIN_UNUSED_SLOT(68)
  STANDIN_UNUSED_SLOT(69) STANDIN_UNUSED_SLOTS_FROM(7) STANDIN_UNUSED_SLOTS_FROM(8)
  STANDIN_UNUSED_SLOTS_FROM(9) STANDIN_UNUSED_SLOTS_FROM(10) STANDIN_UNUSED_SLOTS_FROM(11)
  STANDIN_UNUSED_SLOT(120) STANDIN_UNUSED_SLOT(121) STANDIN_UNUSED_SLOT(122)
  STANDIN_UNUSED_SLOT(123) STANDIN_UNUSED_SLOT(124) STANDIN_UNUSED_SLOT(125)
#undef STANDIN_UNUSED_SLOTS_FROM
#undef STANDIN_UNUSED_SLOT
  HRESULT STDMETHODCALLTYPE
  add_NotificationReceived(ICoreWebView2NotificationReceivedEventHandler* handler,
                           EventRegistrationToken* token) override;
  // clang-format on
  HRESULT STDMETHODCALLTYPE remove_NotificationReceived(EventRegistrationToken token) override;

  // The live web view of this thread created first (`oldest`) or last; null when none is live.
  static com_ptr<core_webview> live(bool oldest);
  // The stand-in web view behind `view`; null for null or any other object.
  static com_ptr<core_webview> find(ICoreWebView2* view);
  // Its number in the process (1, 2, ...), for the log.
  std::int64_t id() const noexcept { return number; }

  // For the owning controller and the scenario's page actions.
  void detach_controller() noexcept {
    owner = nullptr;
    closed = true;
  }
  void close() noexcept { closed = true; }
  // Neither closed by its controller nor dead with its browser process.
  bool is_live() const noexcept { return !closed && !process->exited(); }
  controller_object* controller() const noexcept { return owner; }
  browser_window& page() const noexcept { return *window; }
  // Raise the page events synchronously; callers run inside the thread's message dispatch.
  // `sender` is the URI of the document that sent it; empty for the web view's source.
  void receive_web_message(const std::wstring& as_json, bool is_string,
                           const std::wstring& as_string, const std::wstring& sender);
  // The page created a notification: NotificationReceived.
  void receive_notification(const page_action& action);
  // The page closed its latest notification: CloseRequested on it.
  void close_notification();
  void change_full_screen(bool on);
  void request_new_window(const std::wstring& uri, bool user_initiated,
                          const window_features& features);
  void request_window_close();
  // Sets the document title; DocumentTitleChanged when it changed.
  void change_title(const std::wstring& text);
  // Whether it may be the new window of a request from a web view of `opener`'s environment.
  bool can_become_new_window(const std::shared_ptr<browser_process>& opener) const noexcept {
    return is_live() && !navigated && !claimed && process == opener;
  }
  void claim_as_new_window() noexcept { claimed = true; }
  // The decided request's new window: loads `uri`, linked to the web view numbered `opener`.
  void load_as_new_window(std::int64_t opener, const std::wstring& uri);
  void request_permission(COREWEBVIEW2_PERMISSION_KIND kind, const std::wstring& uri);
  // A helper process failed; when it is the browser process, every web view of the environment
  // gets the event and all their objects are dead.
  void fail_process(COREWEBVIEW2_PROCESS_FAILED_KIND kind);
  // The user follows a link inside the page: a navigation like Navigate's.
  void follow_link(const std::wstring& uri);

 private:
  ~core_webview();
  HRESULT not_implemented(const char* method);
  HRESULT unused_slot(int number);
  // Runs `body` behind the exception barrier, unless the browser process is gone.
  template <typename Body>
  HRESULT guarded(const char* method, Body body);
  template <typename Body>
  HRESULT guarded(const char* interface_name, const char* method, Body body);
  HRESULT report(const char* method, const log_fields& args, HRESULT result);
  HRESULT report(const char* interface_name, const char* method, const log_fields& args,
                 HRESULT result);
  // An event's add_/remove_ slot: registers or removes the handler and logs the token.
  template <typename Handler>
  HRESULT add_handler(const char* method, event_handlers<Handler>& handlers, Handler* handler,
                      EventRegistrationToken* token);
  template <typename Handler>
  HRESULT remove_handler(const char* method, event_handlers<Handler>& handlers,
                         EventRegistrationToken token);
  // Shows `uri`, takes the scenario's next navigation outcome (adding it to `args`) and queues
  // its NavigationStarting, which queues its NavigationCompleted.
  void start_navigation(std::wstring uri, log_fields& args, bool user_initiated = false);
  void begin_navigation(std::uint64_t id, const std::wstring& uri, const navigation_step& planned,
                        bool user_initiated);
  void finish_navigation(std::uint64_t id, const std::wstring& uri, const navigation_step& planned,
                         bool canceled);
  // False, with a note, when the web view was closed or died before the navigation's event.
  bool still_navigating(std::uint64_t id, const std::wstring& uri) const;
  void raise_process_failed(COREWEBVIEW2_PROCESS_FAILED_KIND kind);

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::shared_ptr<ui_thread_queue> queue;
  std::shared_ptr<browser_process> process;
  std::shared_ptr<browser_window> window;
  controller_object* owner;
  bool closed = false;
  DWORD thread = GetCurrentThreadId();
  std::int64_t number;
  bool navigated = false;  // by any Navigate, NavigateToString, Reload, go or opener link
  bool claimed = false;    // set as a new-window request's NewWindow
  std::wstring title;
  com_ptr<settings_object> settings;
  std::wstring source;
  std::uint64_t latest_navigation = 0;  // the id of the last navigation started
  bool contains_full_screen = false;
  std::map<std::wstring, std::wstring> scripts;  // id -> code
  std::uint64_t next_script_id = 1;
  // `script never` registrations: held until this web view dies, never invoked.
  std::vector<com_ptr<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler>>
      unanswered_scripts;
  event_handlers<ICoreWebView2WebMessageReceivedEventHandler> web_message_handlers;
  event_handlers<ICoreWebView2PermissionRequestedEventHandler> permission_handlers;
  event_handlers<ICoreWebView2NewWindowRequestedEventHandler> new_window_handlers;
  event_handlers<ICoreWebView2ContainsFullScreenElementChangedEventHandler> full_screen_handlers;
  event_handlers<ICoreWebView2ProcessFailedEventHandler> process_failed_handlers;
  event_handlers<ICoreWebView2NavigationStartingEventHandler> starting_handlers;
  event_handlers<ICoreWebView2NavigationCompletedEventHandler> navigation_handlers;
  event_handlers<ICoreWebView2WindowCloseRequestedEventHandler> close_handlers;
  event_handlers<ICoreWebView2DocumentTitleChangedEventHandler> title_handlers;
  event_handlers<ICoreWebView2NotificationReceivedEventHandler> notification_handlers;
  com_ptr<notification_args> latest_notification;
};

}  // namespace standin
