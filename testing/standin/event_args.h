// Event arguments that the stand-in hands to the application's handlers: page messages,
// permission and new-window requests (with their window features and deferral), process failures,
// browser process exits, starting and completed navigations, and page notifications. Each starts
// with one reference, owned by its creator; the state that handlers change (permission state,
// handled) is read back after the handlers ran, for the log. UI thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "testing/standin/browser_process.h"
#include "testing/standin/module_use.h"
#include "testing/standin/scenario.h"
#include "util/com_ptr.h"
#include "webview2/webview2_abi.h"

namespace standin {

using webview::detail::com_ptr;

class core_webview;

// A call out of turn (a second Complete or GetDeferral, NewWindow set twice, anything changed after
// the decision, a notification reported before Handled): HRESULT_FROM_WIN32(ERROR_INVALID_STATE).
constexpr HRESULT wrong_state = static_cast<HRESULT>(0x8007139F);

class web_message_args final : public ICoreWebView2WebMessageReceivedEventArgs {
 public:
  // `as_json` is the message as JSON text; a message that is a JSON string also carries its
  // text, otherwise TryGetWebMessageAsString fails with E_INVALIDARG.
  web_message_args(std::wstring source, std::wstring as_json, bool is_string,
                   std::wstring as_string);
  web_message_args(const web_message_args&) = delete;
  web_message_args& operator=(const web_message_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* source) override;
  HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* json) override;
  HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* text) override;

 private:
  ~web_message_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::wstring source;
  std::wstring as_json;
  bool is_string;
  std::wstring as_string;
};

class permission_args final : public ICoreWebView2PermissionRequestedEventArgs {
 public:
  permission_args(std::wstring uri, COREWEBVIEW2_PERMISSION_KIND kind);
  permission_args(const permission_args&) = delete;
  permission_args& operator=(const permission_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override;
  HRESULT STDMETHODCALLTYPE get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* kind) override;
  HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* user_initiated) override;
  HRESULT STDMETHODCALLTYPE get_State(COREWEBVIEW2_PERMISSION_STATE* state) override;
  HRESULT STDMETHODCALLTYPE put_State(COREWEBVIEW2_PERMISSION_STATE state) override;
  HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) override;

  COREWEBVIEW2_PERMISSION_STATE current_state() const { return state; }

 private:
  ~permission_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::wstring uri;
  COREWEBVIEW2_PERMISSION_KIND kind;
  COREWEBVIEW2_PERMISSION_STATE state = COREWEBVIEW2_PERMISSION_STATE_DEFAULT;
};

// A new-window request. It is decided once the handlers returned and the deferral, if one was
// taken, completed: the web view given as NewWindow loads the URI with an opener link, else
// window.open gets null (Handled) or the runtime opens a window of its own.
class new_window_args final : public ICoreWebView2NewWindowRequestedEventArgs {
 public:
  new_window_args(std::wstring uri, bool user_initiated, const window_features& features,
                  std::int64_t opener, std::shared_ptr<browser_process> opener_process);
  new_window_args(const new_window_args&) = delete;
  new_window_args& operator=(const new_window_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override;
  HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2* new_window) override;
  HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2** new_window) override;
  HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) override;
  HRESULT STDMETHODCALLTYPE get_Handled(BOOL* handled) override;
  HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* user_initiated) override;
  HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) override;
  HRESULT STDMETHODCALLTYPE get_WindowFeatures(ICoreWebView2WindowFeatures** features) override;

  // The handlers returned with `results`; the deferral completed.
  void handlers_returned(std::vector<HRESULT> results);
  void deferral_completed();

 private:
  ~new_window_args();
  // Logs the outcome and acts on it once nothing holds the decision back.
  void decide_when_ready();

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::wstring uri;
  bool user_initiated;
  window_features features;
  std::int64_t opener;
  std::shared_ptr<browser_process> opener_process;
  bool handled = false;
  com_ptr<core_webview> target;
  bool deferral_taken = false;
  bool deferral_done = false;
  bool returned = false;
  bool decided = false;
  std::vector<HRESULT> results;
};

class process_failed_args final : public ICoreWebView2ProcessFailedEventArgs {
 public:
  explicit process_failed_args(COREWEBVIEW2_PROCESS_FAILED_KIND kind) : kind(kind) {}
  process_failed_args(const process_failed_args&) = delete;
  process_failed_args& operator=(const process_failed_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_ProcessFailedKind(COREWEBVIEW2_PROCESS_FAILED_KIND* value) override;

 private:
  ~process_failed_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  COREWEBVIEW2_PROCESS_FAILED_KIND kind;
};

class navigation_completed_args final : public ICoreWebView2NavigationCompletedEventArgs2 {
 public:
  // `status` is UNKNOWN (0) for a successful navigation, as the runtime reports it; `http_status`
  // is 0 when no HTTP answer came.
  navigation_completed_args(std::uint64_t id, bool success, COREWEBVIEW2_WEB_ERROR_STATUS status,
                            int http_status)
      : id(id), success(success), status(status), http_status(http_status) {}
  navigation_completed_args(const navigation_completed_args&) = delete;
  navigation_completed_args& operator=(const navigation_completed_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* value) override;
  HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* value) override;
  HRESULT STDMETHODCALLTYPE get_HttpStatusCode(int* value) override;

 private:
  ~navigation_completed_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::uint64_t id;
  bool success;
  COREWEBVIEW2_WEB_ERROR_STATUS status;
  int http_status;
};

// BrowserProcessExited's arguments: how browser process `id` ended.
com_ptr<ICoreWebView2BrowserProcessExitedEventArgs> browser_exited_args(
    COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind, UINT32 id);

// A top-level navigation about to start; handlers may cancel it.
class navigation_starting_args final : public ICoreWebView2NavigationStartingEventArgs {
 public:
  navigation_starting_args(std::uint64_t id, std::wstring uri, bool user_initiated)
      : id(id), uri(std::move(uri)), user_initiated(user_initiated) {}
  navigation_starting_args(const navigation_starting_args&) = delete;
  navigation_starting_args& operator=(const navigation_starting_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_RequestHeaders(ICoreWebView2HttpRequestHeaders** value) override;
  HRESULT STDMETHODCALLTYPE get_Cancel(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Cancel(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* value) override;

  bool canceled() const { return cancel; }

 private:
  ~navigation_starting_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::uint64_t id;
  std::wstring uri;
  bool user_initiated;
  bool cancel = false;
};

class notification_object;

// NotificationReceived's arguments for a page's notification (`new Notification(...)`). Decided
// once the handlers returned and the deferral, if one was taken, completed; left unhandled, the
// runtime shows the notification with its own UI. The host may report the notification shown,
// clicked or closed only while Handled is TRUE, and nothing once it reported it closed; after the
// browser process exited, every report fails.
class notification_args final : public ICoreWebView2NotificationReceivedEventArgs {
 public:
  // `action` gives origin, title, body and silent; `webview` is the sender's number.
  notification_args(const page_action& action, std::shared_ptr<browser_process> process,
                    std::int64_t webview);
  notification_args(const notification_args&) = delete;
  notification_args& operator=(const notification_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_SenderOrigin(LPWSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_Notification(ICoreWebView2Notification** value) override;
  HRESULT STDMETHODCALLTYPE put_Handled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Handled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) override;

  void handlers_returned(std::vector<HRESULT> results);
  // The page ran notification.close(): the notification's CloseRequested.
  void request_close();

 private:
  ~notification_args();
  void decide_when_ready();

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::wstring origin;
  com_ptr<notification_object> notification;
  std::int64_t webview;
  bool handled = false;
  bool deferral_taken = false;
  bool deferral_done = false;
  bool returned = false;
  bool decided = false;
  std::vector<HRESULT> results;
};

}  // namespace standin
