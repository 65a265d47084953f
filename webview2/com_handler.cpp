#include "webview2/com_handler.h"

#include <shellapi.h>

#include <string>
#include <utility>

#include "util/com_ptr.h"
#include "util/diagnostic_log.h"
#include "util/exception_barrier.h"
#include "util/task_memory_string.h"
#include "util/text_encoding.h"
#include "webview2/page_policy.h"
#include "webview2/runtime_hresults.h"

namespace webview::detail {

webview2_com_handler::webview2_com_handler(
    HWND host_window, message_callback_type message_callback,
    controller_created_callback_type controller_created_callback, std::wstring trusted_origin,
    task_poster_type post_task)
    : host_window(host_window),
      message_callback(std::move(message_callback)),
      controller_created_callback(std::move(controller_created_callback)),
      trusted_origin(std::move(trusted_origin)),
      post_task(std::move(post_task)) {}

webview2_com_handler::~webview2_com_handler() = default;

HRESULT STDMETHODCALLTYPE webview2_com_handler::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  IUnknown* answer = nullptr;
  // IUnknown is always answered with the same sub-object: COM identity compares those pointers.
  if (IsEqualIID(riid, IID_IUnknown) ||
      IsEqualIID(riid, IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler)) {
    answer = static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(this);
  } else if (IsEqualIID(riid, IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler)) {
    answer = static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*>(this);
  } else if (IsEqualIID(riid, IID_ICoreWebView2WebMessageReceivedEventHandler)) {
    answer = static_cast<ICoreWebView2WebMessageReceivedEventHandler*>(this);
  } else if (IsEqualIID(riid, IID_ICoreWebView2PermissionRequestedEventHandler)) {
    answer = static_cast<ICoreWebView2PermissionRequestedEventHandler*>(this);
  } else if (IsEqualIID(riid, IID_ICoreWebView2NewWindowRequestedEventHandler)) {
    answer = static_cast<ICoreWebView2NewWindowRequestedEventHandler*>(this);
  }
  *ppv = answer;
  if (answer == nullptr) return E_NOINTERFACE;
  answer->AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE webview2_com_handler::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE webview2_com_handler::Release() {
  if (reference_count.load() < 2) {
    delete this;
    return 0;
  }
  return --reference_count;
}

void webview2_com_handler::set_environment_creator(std::function<HRESULT()> creator) {
  environment_creator.swap(creator);
}

void webview2_com_handler::attempt_environment_creation() { retry_after(E_UNEXPECTED); }

void webview2_com_handler::retry_after(HRESULT failure) {
  while (attempt_count < attempt_limit && failure != runtime_asks_no_retry) {
    ++attempt_count;
    failure = environment_creator ? environment_creator() : E_UNEXPECTED;
    if (log_if_failed("CreateCoreWebView2EnvironmentWithOptions", failure)) return;
  }
  controller_created_callback(failure, nullptr, nullptr);
}

HRESULT STDMETHODCALLTYPE webview2_com_handler::Invoke(HRESULT error_code,
                                                       ICoreWebView2Environment* environment) {
  call_without_throwing([&] {
    log_if_failed("environment creation", error_code);
    if (FAILED(error_code) || environment == nullptr) {
      // A failed completion may still be retried, except one that asks for no retry.
      retry_after(FAILED(error_code) ? error_code : E_FAIL);
      return;
    }
    if (environment_observer) environment_observer(environment);
    const HRESULT requested = environment->CreateCoreWebView2Controller(
        host_window, static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*>(this));
    if (!log_if_failed("CreateCoreWebView2Controller", requested)) retry_after(requested);
  });
  return S_OK;
}

HRESULT STDMETHODCALLTYPE webview2_com_handler::Invoke(HRESULT error_code,
                                                       ICoreWebView2Controller* controller) {
  call_without_throwing([&] {
    log_if_failed("controller creation", error_code);
    if (error_code == controller_creation_aborted || error_code == runtime_asks_no_retry) {
      controller_created_callback(error_code, nullptr, nullptr);
      return;
    }
    if (FAILED(error_code) || controller == nullptr) {
      retry_after(FAILED(error_code) ? error_code : E_FAIL);
      return;
    }
    // The reference get_CoreWebView2 gives is the handler's own, released on leaving; the
    // callback takes the references it keeps.
    com_ptr<ICoreWebView2> webview;
    const HRESULT read = controller->get_CoreWebView2(webview.put());
    if (!log_if_failed("get_CoreWebView2", read) || !webview) {
      retry_after(FAILED(read) ? read : E_FAIL);
      return;
    }
    controller_created_callback(S_OK, controller, webview.get());
  });
  return S_OK;
}

HRESULT STDMETHODCALLTYPE
webview2_com_handler::Invoke(ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
  call_without_throwing([&] {
    task_memory_string text;
    if (args == nullptr || FAILED(args->TryGetWebMessageAsString(text.put()))) return;
    const wchar_t* message = text.get();
    task_memory_string source;
    log_if_failed("get_Source", args->get_Source(source.put()));
    message_callback(utf16_to_utf8(message == nullptr ? std::wstring() : std::wstring(message)),
                     source.get() ? std::wstring(source.get()) : std::wstring());
  });
  return S_OK;
}

HRESULT STDMETHODCALLTYPE
webview2_com_handler::Invoke(ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs* args) {
  call_without_throwing([&] {
    COREWEBVIEW2_PERMISSION_KIND kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;
    if (args == nullptr || FAILED(args->get_PermissionKind(&kind)) ||
        !is_granted_permission_kind(kind)) {
      return;
    }
    task_memory_string uri;
    if (FAILED(args->get_Uri(uri.put())) || uri.get() == nullptr) return;
    if (has_origin(uri.get(), trusted_origin)) {
      log_if_failed("put_State", args->put_State(COREWEBVIEW2_PERMISSION_STATE_ALLOW));
    }
  });
  return S_OK;
}

HRESULT STDMETHODCALLTYPE
webview2_com_handler::Invoke(ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
  call_without_throwing([&] {
    if (args == nullptr) return;
    // Marked handled first, so that the browser never opens a window of its own, even when
    // reading the URI or launching throws.
    log_if_failed("put_Handled", args->put_Handled(TRUE));
    task_memory_string uri;
    if (!log_if_failed("get_Uri", args->get_Uri(uri.put())) || uri.get() == nullptr) return;
    const std::string where = scheme_and_host(uri.get());
    new_window_request request;
    request.uri = uri.get();
    request.popups_available = static_cast<bool>(popup_opener);
    BOOL user_initiated = FALSE;
    request.user_initiated =
        log_if_failed("get_IsUserInitiated", args->get_IsUserInitiated(&user_initiated)) &&
        user_initiated;
    const window_features features = read_window_features(args);
    request.sized_or_placed = features.has_size || features.has_position;
    switch (decide_new_window(request, trusted_origin, signin_hosts)) {
      case new_window_action::refuse:
        log_event((request.user_initiated ? "new window refused: "
                                          : "new window refused, not the user's: ") +
                  where);
        return;
      case new_window_action::open_popup:
        if (!defer_popup(args, features, where)) log_event("popup refused, no deferral: " + where);
        return;
      case new_window_action::open_externally:
        break;
    }
    std::wstring target = uri_to_open_externally(request.uri);
    log_event("link handed to the shell: " + where);
    // ShellExecuteW may show UI and pump messages, which must not happen inside a browser event.
    post_task([owner = host_window, target = std::move(target)] {
      const auto opened = ShellExecuteW(IsWindow(owner) ? owner : nullptr, L"open", target.c_str(),
                                        nullptr, nullptr, SW_SHOWNORMAL);
      // Anything above 32 is success; below, the documented SE_ERR_ / Win32 error codes.
      if (reinterpret_cast<INT_PTR>(opened) <= 32) {
        log_event("ShellExecuteW failed (" + std::to_string(reinterpret_cast<INT_PTR>(opened)) +
                  ")");
      }
    });
  });
  return S_OK;
}

void webview2_com_handler::set_environment_observer(
    std::function<void(ICoreWebView2Environment*)> observer) {
  environment_observer = std::move(observer);
}

void webview2_com_handler::set_popup_opener(popup_opener_type opener,
                                            std::vector<std::wstring> hosts) {
  popup_opener = std::move(opener);
  signin_hosts = std::move(hosts);
}

bool webview2_com_handler::defer_popup(ICoreWebView2NewWindowRequestedEventArgs* args,
                                       const window_features& features, std::string where) {
  com_ptr<ICoreWebView2Deferral> deferral;
  if (!log_if_failed("GetDeferral", args->GetDeferral(deferral.put())) || !deferral) return false;
  log_event("popup opening: " + where);
  // Made from the run loop: a window and a browser cannot be made inside the event. The request
  // completes with nothing set if it is dropped before it is answered.
  auto request = std::make_shared<popup_request>(
      com_ptr<ICoreWebView2NewWindowRequestedEventArgs>::share(args), std::move(deferral), features,
      std::move(where));
  post_task([opener = popup_opener, request] { opener(request); });
  return true;
}

}  // namespace webview::detail
