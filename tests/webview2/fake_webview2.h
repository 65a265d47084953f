// Stand-ins for the WebView2 runtime's objects: each records the calls that the code under test
// makes and answers with what the test sets. They live on the test's stack, so Release counts
// references but never frees; tests read `references` to check the balance.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "webview2/webview2_abi.h"

// A slot the code under test never calls; a zero-argument slot is written with `void`.
#define QUENDARI_FAKE_UNUSED(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

namespace webview::detail::testing {

template <typename Interface>
class fake_com_object : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }

  ULONG references = 1;
};

// A task-memory copy of `text`, as the runtime hands out strings; null for no text.
inline LPWSTR task_memory_copy(const std::optional<std::wstring>& text) {
  if (!text) return nullptr;
  const size_t bytes = (text->size() + 1) * sizeof(wchar_t);
  auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (copy != nullptr) CopyMemory(copy, text->c_str(), bytes);
  return copy;
}

class fake_environment : public fake_com_object<ICoreWebView2Environment> {
 public:
  HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
      HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override {
    ++create_controller_calls;
    parent_window = parent;
    controller_handler = handler;
    return create_controller_result;
  }
  QUENDARI_FAKE_UNUSED(CreateWebResourceResponse, IStream*, int, LPCWSTR, LPCWSTR,
                       ICoreWebView2WebResourceResponse**)
  QUENDARI_FAKE_UNUSED(get_BrowserVersionString, LPWSTR*)
  QUENDARI_FAKE_UNUSED(add_NewBrowserVersionAvailable,
                       ICoreWebView2NewBrowserVersionAvailableEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_NewBrowserVersionAvailable, EventRegistrationToken)

  HRESULT create_controller_result = S_OK;
  int create_controller_calls = 0;
  HWND parent_window = nullptr;
  ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* controller_handler = nullptr;
};

class fake_controller : public fake_com_object<ICoreWebView2Controller> {
 public:
  HRESULT STDMETHODCALLTYPE get_ZoomFactor(double* factor) override {
    if (SUCCEEDED(zoom_result)) *factor = zoom_factor;
    return zoom_result;
  }
  HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** webview) override {
    *webview = SUCCEEDED(core_webview_result) ? core_webview : nullptr;
    if (*webview != nullptr) (*webview)->AddRef();
    return core_webview_result;
  }
  QUENDARI_FAKE_UNUSED(get_IsVisible, BOOL*)
  QUENDARI_FAKE_UNUSED(put_IsVisible, BOOL)
  QUENDARI_FAKE_UNUSED(get_Bounds, RECT*)
  QUENDARI_FAKE_UNUSED(put_Bounds, RECT)
  HRESULT STDMETHODCALLTYPE put_ZoomFactor(double factor) override {
    zoom_factors_put.push_back(factor);
    return S_OK;
  }
  QUENDARI_FAKE_UNUSED(add_ZoomFactorChanged, ICoreWebView2ZoomFactorChangedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_ZoomFactorChanged, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(SetBoundsAndZoomFactor, RECT, double)
  QUENDARI_FAKE_UNUSED(MoveFocus, COREWEBVIEW2_MOVE_FOCUS_REASON)
  QUENDARI_FAKE_UNUSED(add_MoveFocusRequested, ICoreWebView2MoveFocusRequestedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_MoveFocusRequested, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_GotFocus, ICoreWebView2FocusChangedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_GotFocus, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_LostFocus, ICoreWebView2FocusChangedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_LostFocus, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_AcceleratorKeyPressed, ICoreWebView2AcceleratorKeyPressedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_AcceleratorKeyPressed, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(get_ParentWindow, HWND*)
  QUENDARI_FAKE_UNUSED(put_ParentWindow, HWND)
  QUENDARI_FAKE_UNUSED(NotifyParentWindowPositionChanged, void)
  QUENDARI_FAKE_UNUSED(Close, void)

  HRESULT zoom_result = S_OK;
  double zoom_factor = 1.0;
  std::vector<double> zoom_factors_put;
  HRESULT core_webview_result = S_OK;
  ICoreWebView2* core_webview = nullptr;
};

class fake_webview : public fake_com_object<ICoreWebView2> {
 public:
  HRESULT STDMETHODCALLTYPE add_WebMessageReceived(
      ICoreWebView2WebMessageReceivedEventHandler* handler, EventRegistrationToken*) override {
    message_handler = handler;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE add_PermissionRequested(
      ICoreWebView2PermissionRequestedEventHandler* handler, EventRegistrationToken*) override {
    permission_handler = handler;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE add_NewWindowRequested(
      ICoreWebView2NewWindowRequestedEventHandler* handler, EventRegistrationToken*) override {
    new_window_handler = handler;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ContainsFullScreenElement(BOOL* contains) override {
    if (SUCCEEDED(full_screen_result)) *contains = contains_full_screen;
    return full_screen_result;
  }
  QUENDARI_FAKE_UNUSED(get_Settings, ICoreWebView2Settings**)
  QUENDARI_FAKE_UNUSED(get_Source, LPWSTR*)
  QUENDARI_FAKE_UNUSED(Navigate, LPCWSTR)
  QUENDARI_FAKE_UNUSED(NavigateToString, LPCWSTR)
  QUENDARI_FAKE_UNUSED(add_NavigationStarting, ICoreWebView2NavigationStartingEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_NavigationStarting, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_ContentLoading, ICoreWebView2ContentLoadingEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_ContentLoading, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_SourceChanged, ICoreWebView2SourceChangedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_SourceChanged, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_HistoryChanged, ICoreWebView2HistoryChangedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_HistoryChanged, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_NavigationCompleted, ICoreWebView2NavigationCompletedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_NavigationCompleted, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_FrameNavigationStarting, ICoreWebView2NavigationStartingEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_FrameNavigationStarting, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_FrameNavigationCompleted, ICoreWebView2NavigationCompletedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_FrameNavigationCompleted, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_ScriptDialogOpening, ICoreWebView2ScriptDialogOpeningEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_ScriptDialogOpening, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(remove_PermissionRequested, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_ProcessFailed, ICoreWebView2ProcessFailedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_ProcessFailed, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(AddScriptToExecuteOnDocumentCreated, LPCWSTR,
                       ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*)
  QUENDARI_FAKE_UNUSED(RemoveScriptToExecuteOnDocumentCreated, LPCWSTR)
  QUENDARI_FAKE_UNUSED(ExecuteScript, LPCWSTR, ICoreWebView2ExecuteScriptCompletedHandler*)
  QUENDARI_FAKE_UNUSED(CapturePreview, COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
                       ICoreWebView2CapturePreviewCompletedHandler*)
  QUENDARI_FAKE_UNUSED(Reload, void)
  QUENDARI_FAKE_UNUSED(PostWebMessageAsJson, LPCWSTR)
  QUENDARI_FAKE_UNUSED(PostWebMessageAsString, LPCWSTR)
  QUENDARI_FAKE_UNUSED(remove_WebMessageReceived, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(CallDevToolsProtocolMethod, LPCWSTR, LPCWSTR,
                       ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*)
  QUENDARI_FAKE_UNUSED(get_BrowserProcessId, UINT32*)
  QUENDARI_FAKE_UNUSED(get_CanGoBack, BOOL*)
  QUENDARI_FAKE_UNUSED(get_CanGoForward, BOOL*)
  QUENDARI_FAKE_UNUSED(GoBack, void)
  QUENDARI_FAKE_UNUSED(GoForward, void)
  QUENDARI_FAKE_UNUSED(GetDevToolsProtocolEventReceiver, LPCWSTR,
                       ICoreWebView2DevToolsProtocolEventReceiver**)
  QUENDARI_FAKE_UNUSED(Stop, void)
  QUENDARI_FAKE_UNUSED(remove_NewWindowRequested, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_DocumentTitleChanged, ICoreWebView2DocumentTitleChangedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_DocumentTitleChanged, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(get_DocumentTitle, LPWSTR*)
  QUENDARI_FAKE_UNUSED(AddHostObjectToScript, LPCWSTR, VARIANT*)
  QUENDARI_FAKE_UNUSED(RemoveHostObjectFromScript, LPCWSTR)
  QUENDARI_FAKE_UNUSED(OpenDevToolsWindow, void)
  QUENDARI_FAKE_UNUSED(add_ContainsFullScreenElementChanged,
                       ICoreWebView2ContainsFullScreenElementChangedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_ContainsFullScreenElementChanged, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(add_WebResourceRequested, ICoreWebView2WebResourceRequestedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_WebResourceRequested, EventRegistrationToken)
  QUENDARI_FAKE_UNUSED(AddWebResourceRequestedFilter, LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  QUENDARI_FAKE_UNUSED(RemoveWebResourceRequestedFilter, LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  QUENDARI_FAKE_UNUSED(add_WindowCloseRequested, ICoreWebView2WindowCloseRequestedEventHandler*,
                       EventRegistrationToken*)
  QUENDARI_FAKE_UNUSED(remove_WindowCloseRequested, EventRegistrationToken)

  ICoreWebView2WebMessageReceivedEventHandler* message_handler = nullptr;
  ICoreWebView2PermissionRequestedEventHandler* permission_handler = nullptr;
  ICoreWebView2NewWindowRequestedEventHandler* new_window_handler = nullptr;
  HRESULT full_screen_result = S_OK;
  BOOL contains_full_screen = FALSE;
};

class fake_web_message_args : public fake_com_object<ICoreWebView2WebMessageReceivedEventArgs> {
 public:
  HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* text) override {
    // The runtime fails this call for a message that was not posted as a string.
    *text = SUCCEEDED(string_result) ? task_memory_copy(message) : nullptr;
    handed_out = *text;
    return string_result;
  }
  QUENDARI_FAKE_UNUSED(get_Source, LPWSTR*)
  QUENDARI_FAKE_UNUSED(get_WebMessageAsJson, LPWSTR*)

  HRESULT string_result = S_OK;
  std::optional<std::wstring> message;
  void* handed_out = nullptr;
};

class fake_permission_args : public fake_com_object<ICoreWebView2PermissionRequestedEventArgs> {
 public:
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* text) override {
    *text = SUCCEEDED(uri_result) ? task_memory_copy(uri) : nullptr;
    handed_out = *text;
    return uri_result;
  }
  HRESULT STDMETHODCALLTYPE get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* value) override {
    if (SUCCEEDED(kind_result)) *value = kind;
    return kind_result;
  }
  HRESULT STDMETHODCALLTYPE put_State(COREWEBVIEW2_PERMISSION_STATE state) override {
    states_written.push_back(state);
    return S_OK;
  }
  QUENDARI_FAKE_UNUSED(get_IsUserInitiated, BOOL*)
  QUENDARI_FAKE_UNUSED(get_State, COREWEBVIEW2_PERMISSION_STATE*)
  QUENDARI_FAKE_UNUSED(GetDeferral, ICoreWebView2Deferral**)

  HRESULT uri_result = S_OK;
  std::optional<std::wstring> uri;
  HRESULT kind_result = S_OK;
  COREWEBVIEW2_PERMISSION_KIND kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;
  std::vector<COREWEBVIEW2_PERMISSION_STATE> states_written;
  void* handed_out = nullptr;
};

class fake_new_window_args : public fake_com_object<ICoreWebView2NewWindowRequestedEventArgs> {
 public:
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* text) override {
    *text = SUCCEEDED(uri_result) ? task_memory_copy(uri) : nullptr;
    handed_out = *text;
    return uri_result;
  }
  HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) override {
    handled_written.push_back(handled);
    return S_OK;
  }
  QUENDARI_FAKE_UNUSED(put_NewWindow, ICoreWebView2*)
  QUENDARI_FAKE_UNUSED(get_NewWindow, ICoreWebView2**)
  HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* value) override {
    if (SUCCEEDED(user_initiated_result)) *value = user_initiated;
    return user_initiated_result;
  }
  QUENDARI_FAKE_UNUSED(get_Handled, BOOL*)
  QUENDARI_FAKE_UNUSED(GetDeferral, ICoreWebView2Deferral**)
  QUENDARI_FAKE_UNUSED(get_WindowFeatures, ICoreWebView2WindowFeatures**)

  HRESULT uri_result = S_OK;
  std::optional<std::wstring> uri;
  HRESULT user_initiated_result = S_OK;
  BOOL user_initiated = TRUE;
  std::vector<BOOL> handled_written;
  void* handed_out = nullptr;
};

}  // namespace webview::detail::testing
