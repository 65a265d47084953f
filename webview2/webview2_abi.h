// Declarations of the WebView2 COM interfaces this program uses, written slot for slot from the
// published binary interface (no SDK header is available to the build). Names match the
// official header, so code written against these also compiles against it. A slot that is
// never called still appears, with its real signature, so that later slots land at the right
// vtable offset.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <oaidl.h>
#include <eventtoken.h>

typedef enum COREWEBVIEW2_PERMISSION_KIND {
  COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION = 0,
  COREWEBVIEW2_PERMISSION_KIND_MICROPHONE = 1,
  COREWEBVIEW2_PERMISSION_KIND_CAMERA = 2,
  COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION = 3,
  COREWEBVIEW2_PERMISSION_KIND_NOTIFICATIONS = 4,
  COREWEBVIEW2_PERMISSION_KIND_OTHER_SENSORS = 5,
  COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ = 6,
} COREWEBVIEW2_PERMISSION_KIND;

typedef enum COREWEBVIEW2_PERMISSION_STATE {
  COREWEBVIEW2_PERMISSION_STATE_DEFAULT = 0,
  COREWEBVIEW2_PERMISSION_STATE_ALLOW = 1,
  COREWEBVIEW2_PERMISSION_STATE_DENY = 2,
} COREWEBVIEW2_PERMISSION_STATE;

typedef enum COREWEBVIEW2_MOVE_FOCUS_REASON {
  COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC = 0,
  COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT = 1,
  COREWEBVIEW2_MOVE_FOCUS_REASON_PREVIOUS = 2,
} COREWEBVIEW2_MOVE_FOCUS_REASON;

typedef enum COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT {
  COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG = 0,
  COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_JPEG = 1,
} COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT;

typedef enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT {
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL = 0,
} COREWEBVIEW2_WEB_RESOURCE_CONTEXT;

// Newer runtimes report values beyond these.
typedef enum COREWEBVIEW2_PROCESS_FAILED_KIND {
  COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED = 0,
  COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED = 1,
  COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE = 2,
  COREWEBVIEW2_PROCESS_FAILED_KIND_FRAME_RENDER_PROCESS_EXITED = 3,
  COREWEBVIEW2_PROCESS_FAILED_KIND_UTILITY_PROCESS_EXITED = 4,
  COREWEBVIEW2_PROCESS_FAILED_KIND_SANDBOX_HELPER_PROCESS_EXITED = 5,
  COREWEBVIEW2_PROCESS_FAILED_KIND_GPU_PROCESS_EXITED = 6,
  COREWEBVIEW2_PROCESS_FAILED_KIND_PPAPI_PLUGIN_PROCESS_EXITED = 7,
  COREWEBVIEW2_PROCESS_FAILED_KIND_PPAPI_BROKER_PROCESS_EXITED = 8,
  COREWEBVIEW2_PROCESS_FAILED_KIND_UNKNOWN_PROCESS_EXITED = 9,
} COREWEBVIEW2_PROCESS_FAILED_KIND;

// Newer runtimes report values beyond these.
typedef enum COREWEBVIEW2_PROCESS_FAILED_REASON {
  COREWEBVIEW2_PROCESS_FAILED_REASON_UNEXPECTED = 0,
  COREWEBVIEW2_PROCESS_FAILED_REASON_UNRESPONSIVE = 1,
  COREWEBVIEW2_PROCESS_FAILED_REASON_TERMINATED = 2,
  COREWEBVIEW2_PROCESS_FAILED_REASON_CRASHED = 3,
  COREWEBVIEW2_PROCESS_FAILED_REASON_LAUNCH_FAILED = 4,
  COREWEBVIEW2_PROCESS_FAILED_REASON_OUT_OF_MEMORY = 5,
  COREWEBVIEW2_PROCESS_FAILED_REASON_PROFILE_DELETED = 6,
} COREWEBVIEW2_PROCESS_FAILED_REASON;

typedef enum COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND {
  COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_NORMAL = 0,
  COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_FAILED = 1,
} COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND;

typedef enum COREWEBVIEW2_WEB_ERROR_STATUS {
  COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN = 0,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_COMMON_NAME_IS_INCORRECT = 1,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_EXPIRED = 2,
  COREWEBVIEW2_WEB_ERROR_STATUS_CLIENT_CERTIFICATE_CONTAINS_ERRORS = 3,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_REVOKED = 4,
  COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_IS_INVALID = 5,
  COREWEBVIEW2_WEB_ERROR_STATUS_SERVER_UNREACHABLE = 6,
  COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT = 7,
  COREWEBVIEW2_WEB_ERROR_STATUS_ERROR_HTTP_INVALID_SERVER_RESPONSE = 8,
  COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED = 9,
  COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_RESET = 10,
  COREWEBVIEW2_WEB_ERROR_STATUS_DISCONNECTED = 11,
  COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT = 12,
  COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED = 13,
  COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED = 14,
  COREWEBVIEW2_WEB_ERROR_STATUS_REDIRECT_FAILED = 15,
  COREWEBVIEW2_WEB_ERROR_STATUS_UNEXPECTED_ERROR = 16,
  COREWEBVIEW2_WEB_ERROR_STATUS_VALID_AUTHENTICATION_CREDENTIALS_REQUIRED = 17,
  COREWEBVIEW2_WEB_ERROR_STATUS_VALID_PROXY_AUTHENTICATION_REQUIRED = 18,
} COREWEBVIEW2_WEB_ERROR_STATUS;

// Alpha first; passed by value.
typedef struct COREWEBVIEW2_COLOR {
  BYTE A;
  BYTE R;
  BYTE G;
  BYTE B;
} COREWEBVIEW2_COLOR;

// Interfaces that only appear as parameter types of slots this program never calls.
struct ICoreWebView2WebResourceResponse;
struct ICoreWebView2NewBrowserVersionAvailableEventHandler;
struct ICoreWebView2MoveFocusRequestedEventHandler;
struct ICoreWebView2FocusChangedEventHandler;
struct ICoreWebView2AcceleratorKeyPressedEventHandler;
struct ICoreWebView2NavigationStartingEventHandler;
struct ICoreWebView2ContentLoadingEventHandler;
struct ICoreWebView2SourceChangedEventHandler;
struct ICoreWebView2HistoryChangedEventHandler;
struct ICoreWebView2NavigationCompletedEventHandler;
struct ICoreWebView2ScriptDialogOpeningEventHandler;
struct ICoreWebView2ProcessFailedEventHandler;
struct ICoreWebView2CapturePreviewCompletedHandler;
struct ICoreWebView2CallDevToolsProtocolMethodCompletedHandler;
struct ICoreWebView2DevToolsProtocolEventReceiver;
struct ICoreWebView2DocumentTitleChangedEventHandler;
struct ICoreWebView2WebResourceRequestedEventHandler;
struct ICoreWebView2WindowCloseRequestedEventHandler;
struct ICoreWebView2Deferral;
struct ICoreWebView2WindowFeatures;
struct ICoreWebView2FrameInfoCollection;
struct ICoreWebView2WebResourceRequest;
struct ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler;
struct ICoreWebView2PointerInfo;
struct ICoreWebView2HttpRequestHeaders;
struct ICoreWebView2BrowserProcessExitedEventArgs;

struct ICoreWebView2;
struct ICoreWebView2Controller;
struct ICoreWebView2Environment;
struct ICoreWebView2Settings;
struct ICoreWebView2WebMessageReceivedEventArgs;
struct ICoreWebView2PermissionRequestedEventArgs;
struct ICoreWebView2NewWindowRequestedEventArgs;
struct ICoreWebView2ProcessFailedEventArgs;
struct ICoreWebView2NavigationCompletedEventArgs;
struct ICoreWebView2NotificationReceivedEventArgs;
struct ICoreWebView2NotificationCloseRequestedEventHandler;

extern "C" {
extern const IID IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;
extern const IID IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler;
extern const IID IID_ICoreWebView2WebMessageReceivedEventHandler;
extern const IID IID_ICoreWebView2PermissionRequestedEventHandler;
extern const IID IID_ICoreWebView2NewWindowRequestedEventHandler;
extern const IID IID_ICoreWebView2ZoomFactorChangedEventHandler;
extern const IID IID_ICoreWebView2ContainsFullScreenElementChangedEventHandler;
extern const IID IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler;
extern const IID IID_ICoreWebView2ExecuteScriptCompletedHandler;
extern const IID IID_ICoreWebView2Environment;
extern const IID IID_ICoreWebView2Controller;
extern const IID IID_ICoreWebView2;
extern const IID IID_ICoreWebView2Settings;
extern const IID IID_ICoreWebView2Settings2;
extern const IID IID_ICoreWebView2WebMessageReceivedEventArgs;
extern const IID IID_ICoreWebView2PermissionRequestedEventArgs;
extern const IID IID_ICoreWebView2NewWindowRequestedEventArgs;
extern const IID IID_ICoreWebView2EnvironmentOptions;
extern const IID IID_ICoreWebView2Controller2;
extern const IID IID_ICoreWebView2ProcessFailedEventHandler;
extern const IID IID_ICoreWebView2ProcessFailedEventArgs;
extern const IID IID_ICoreWebView2ProcessFailedEventArgs2;
extern const IID IID_ICoreWebView2NavigationCompletedEventHandler;
extern const IID IID_ICoreWebView2NavigationCompletedEventArgs;
extern const IID IID_ICoreWebView2NavigationCompletedEventArgs2;
extern const IID IID_ICoreWebView2Deferral;
extern const IID IID_ICoreWebView2Environment5;
extern const IID IID_ICoreWebView2BrowserProcessExitedEventHandler;
extern const IID IID_ICoreWebView2BrowserProcessExitedEventArgs;
extern const IID IID_ICoreWebView2NavigationStartingEventHandler;
extern const IID IID_ICoreWebView2NavigationStartingEventArgs;
extern const IID IID_ICoreWebView2WindowFeatures;
extern const IID IID_ICoreWebView2WindowCloseRequestedEventHandler;
extern const IID IID_ICoreWebView2DocumentTitleChangedEventHandler;
extern const IID IID_ICoreWebView2NewBrowserVersionAvailableEventHandler;
extern const IID IID_ICoreWebView2_24;
extern const IID IID_ICoreWebView2NotificationReceivedEventHandler;
extern const IID IID_ICoreWebView2NotificationReceivedEventArgs;
extern const IID IID_ICoreWebView2Notification;
extern const IID IID_ICoreWebView2NotificationCloseRequestedEventHandler;
}

struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                           ICoreWebView2Environment* createdEnvironment) = 0;
};

struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                           ICoreWebView2Controller* createdController) = 0;
};

struct ICoreWebView2WebMessageReceivedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2WebMessageReceivedEventArgs* args) = 0;
};

struct ICoreWebView2PermissionRequestedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2PermissionRequestedEventArgs* args) = 0;
};

struct ICoreWebView2NewWindowRequestedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2NewWindowRequestedEventArgs* args) = 0;
};

struct ICoreWebView2ZoomFactorChangedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2Controller* sender, IUnknown* args) = 0;
};

struct ICoreWebView2ContainsFullScreenElementChangedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, IUnknown* args) = 0;
};

struct ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, LPCWSTR id) = 0;
};

struct ICoreWebView2ExecuteScriptCompletedHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, LPCWSTR resultObjectAsJson) = 0;
};

struct ICoreWebView2Environment : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
      HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase, LPCWSTR headers,
                            ICoreWebView2WebResourceResponse** response) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserVersionString(LPWSTR* versionInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_NewBrowserVersionAvailable(ICoreWebView2NewBrowserVersionAvailableEventHandler* eventHandler,
                                 EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  remove_NewBrowserVersionAvailable(EventRegistrationToken token) = 0;
};

struct ICoreWebView2Controller : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* isVisible) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ZoomFactor(double* zoomFactor) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ZoomFactor(double zoomFactor) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ZoomFactorChanged(
      ICoreWebView2ZoomFactorChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ZoomFactorChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBoundsAndZoomFactor(RECT bounds, double zoomFactor) = 0;
  virtual HRESULT STDMETHODCALLTYPE MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_MoveFocusRequested(
      ICoreWebView2MoveFocusRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_MoveFocusRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_GotFocus(
      ICoreWebView2FocusChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_GotFocus(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_LostFocus(
      ICoreWebView2FocusChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_LostFocus(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_AcceleratorKeyPressed(ICoreWebView2AcceleratorKeyPressedEventHandler* eventHandler,
                            EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_AcceleratorKeyPressed(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ParentWindow(HWND* parentWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ParentWindow(HWND parentWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** coreWebView2) = 0;
};

struct ICoreWebView2 : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR htmlContent) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NavigationStarting(
      ICoreWebView2NavigationStartingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NavigationStarting(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ContentLoading(
      ICoreWebView2ContentLoadingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ContentLoading(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_SourceChanged(
      ICoreWebView2SourceChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_SourceChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_HistoryChanged(
      ICoreWebView2HistoryChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_HistoryChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                          EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NavigationCompleted(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_FrameNavigationStarting(
      ICoreWebView2NavigationStartingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  remove_FrameNavigationStarting(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_FrameNavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                               EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  remove_FrameNavigationCompleted(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_ScriptDialogOpening(ICoreWebView2ScriptDialogOpeningEventHandler* eventHandler,
                          EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ScriptDialogOpening(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_PermissionRequested(ICoreWebView2PermissionRequestedEventHandler* eventHandler,
                          EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_PermissionRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ProcessFailed(
      ICoreWebView2ProcessFailedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ProcessFailed(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
      LPCWSTR javaScript,
      ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveScriptToExecuteOnDocumentCreated(LPCWSTR id) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  ExecuteScript(LPCWSTR javaScript, ICoreWebView2ExecuteScriptCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat, IStream* imageStream,
                 ICoreWebView2CapturePreviewCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reload() = 0;
  virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsJson(LPCWSTR webMessageAsJson) = 0;
  virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsString(LPCWSTR webMessageAsString) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_WebMessageReceived(
      ICoreWebView2WebMessageReceivedEventHandler* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebMessageReceived(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  CallDevToolsProtocolMethod(LPCWSTR methodName, LPCWSTR parametersAsJson,
                             ICoreWebView2CallDevToolsProtocolMethodCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanGoBack(BOOL* canGoBack) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanGoForward(BOOL* canGoForward) = 0;
  virtual HRESULT STDMETHODCALLTYPE GoBack() = 0;
  virtual HRESULT STDMETHODCALLTYPE GoForward() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDevToolsProtocolEventReceiver(
      LPCWSTR eventName, ICoreWebView2DevToolsProtocolEventReceiver** receiver) = 0;
  virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NewWindowRequested(
      ICoreWebView2NewWindowRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NewWindowRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_DocumentTitleChanged(ICoreWebView2DocumentTitleChangedEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_DocumentTitleChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DocumentTitle(LPWSTR* title) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddHostObjectToScript(LPCWSTR name, VARIANT* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveHostObjectFromScript(LPCWSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenDevToolsWindow() = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ContainsFullScreenElementChanged(
      ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler,
      EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  remove_ContainsFullScreenElementChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_ContainsFullScreenElement(BOOL* containsFullScreenElement) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebResourceRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  AddWebResourceRequestedFilter(LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilter(
      LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WindowCloseRequested(EventRegistrationToken token) = 0;
};

struct ICoreWebView2Settings : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsScriptEnabled(BOOL* isScriptEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsScriptEnabled(BOOL isScriptEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsWebMessageEnabled(BOOL* isWebMessageEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsWebMessageEnabled(BOOL isWebMessageEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_AreDefaultScriptDialogsEnabled(BOOL* areDefaultScriptDialogsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  put_AreDefaultScriptDialogsEnabled(BOOL areDefaultScriptDialogsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsStatusBarEnabled(BOOL* isStatusBarEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL isStatusBarEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDevToolsEnabled(BOOL* areDevToolsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL areDevToolsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL* enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreHostObjectsAllowed(BOOL* allowed) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreHostObjectsAllowed(BOOL allowed) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL* enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsBuiltInErrorPageEnabled(BOOL* enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsBuiltInErrorPageEnabled(BOOL enabled) = 0;
};

struct ICoreWebView2Settings2 : public ICoreWebView2Settings {
  virtual HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR* userAgent) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR userAgent) = 0;
};

struct ICoreWebView2WebMessageReceivedEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* source) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* webMessageAsJson) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* webMessageAsString) = 0;
};

struct ICoreWebView2PermissionRequestedEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* permissionKind) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_State(COREWEBVIEW2_PERMISSION_STATE* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_State(COREWEBVIEW2_PERMISSION_STATE state) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
};

struct ICoreWebView2NewWindowRequestedEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2* newWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2** newWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Handled(BOOL* handled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_WindowFeatures(ICoreWebView2WindowFeatures** value) = 0;
};

struct ICoreWebView2EnvironmentOptions : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) = 0;
};

// Signatures of the exports of the loader DLL and of the runtime's client DLL.
using get_available_browser_version_string_fn = HRESULT(STDAPICALLTYPE*)(PCWSTR, LPWSTR*);
using create_environment_with_options_fn =
    HRESULT(STDAPICALLTYPE*)(PCWSTR, PCWSTR, ICoreWebView2EnvironmentOptions*,
                             ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*);
using create_webview_environment_internal_fn =
    HRESULT(STDAPICALLTYPE*)(bool, INT32, PCWSTR, ICoreWebView2EnvironmentOptions*,
                             ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*);
using dll_can_unload_now_fn = HRESULT(STDAPICALLTYPE*)();

struct ICoreWebView2Controller2 : public ICoreWebView2Controller {
  virtual HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR value) = 0;
};

struct ICoreWebView2ProcessFailedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2ProcessFailedEventArgs* args) = 0;
};

struct ICoreWebView2ProcessFailedEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE
  get_ProcessFailedKind(COREWEBVIEW2_PROCESS_FAILED_KIND* value) = 0;
};

struct ICoreWebView2ProcessFailedEventArgs2 : public ICoreWebView2ProcessFailedEventArgs {
  virtual HRESULT STDMETHODCALLTYPE get_Reason(COREWEBVIEW2_PROCESS_FAILED_REASON* reason) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ExitCode(int* exitCode) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ProcessDescription(LPWSTR* processDescription) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_FrameInfosForFailedProcess(ICoreWebView2FrameInfoCollection** frames) = 0;
};

struct ICoreWebView2NavigationCompletedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2NavigationCompletedEventArgs* args) = 0;
};

struct ICoreWebView2NavigationCompletedEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* isSuccess) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* webErrorStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2NavigationCompletedEventArgs2
    : public ICoreWebView2NavigationCompletedEventArgs {
  virtual HRESULT STDMETHODCALLTYPE get_HttpStatusCode(int* value) = 0;
};

// The environment chain up to ICoreWebView2Environment5, slot for slot; only BrowserProcessExited
// is used.
struct ICoreWebView2Environment2 : public ICoreWebView2Environment {
  virtual HRESULT STDMETHODCALLTYPE
  CreateWebResourceRequest(LPCWSTR uri, LPCWSTR method, IStream* postData, LPCWSTR headers,
                           ICoreWebView2WebResourceRequest** value) = 0;
};

struct ICoreWebView2Environment3 : public ICoreWebView2Environment2 {
  virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2CompositionController(
      HWND parentWindow,
      ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  CreateCoreWebView2PointerInfo(ICoreWebView2PointerInfo** value) = 0;
};

struct ICoreWebView2Environment4 : public ICoreWebView2Environment3 {
  virtual HRESULT STDMETHODCALLTYPE GetAutomationProviderForWindow(HWND hwnd, IUnknown** value) = 0;
};

struct ICoreWebView2BrowserProcessExitedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2Environment* sender,
                                           ICoreWebView2BrowserProcessExitedEventArgs* args) = 0;
};

struct ICoreWebView2BrowserProcessExitedEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE
  get_BrowserProcessExitKind(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32* value) = 0;
};

struct ICoreWebView2Environment5 : public ICoreWebView2Environment4 {
  virtual HRESULT STDMETHODCALLTYPE
  add_BrowserProcessExited(ICoreWebView2BrowserProcessExitedEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_BrowserProcessExited(EventRegistrationToken token) = 0;
};

struct ICoreWebView2NavigationStartingEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* isRedirected) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_RequestHeaders(ICoreWebView2HttpRequestHeaders** requestHeaders) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Cancel(BOOL* cancel) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Cancel(BOOL cancel) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2NavigationStartingEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2NavigationStartingEventArgs* args) = 0;
};

struct ICoreWebView2Deferral : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Complete() = 0;
};

struct ICoreWebView2WindowFeatures : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_HasPosition(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HasSize(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Left(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Top(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Height(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Width(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShouldDisplayMenuBar(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShouldDisplayStatus(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShouldDisplayToolbar(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShouldDisplayScrollBars(BOOL* value) = 0;
};

struct ICoreWebView2WindowCloseRequestedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, IUnknown* args) = 0;
};

struct ICoreWebView2DocumentTitleChangedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, IUnknown* args) = 0;
};

struct ICoreWebView2NewBrowserVersionAvailableEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2Environment* sender, IUnknown* args) = 0;
};

typedef enum COREWEBVIEW2_TEXT_DIRECTION_KIND {
  COREWEBVIEW2_TEXT_DIRECTION_KIND_DEFAULT = 0,
  COREWEBVIEW2_TEXT_DIRECTION_KIND_LEFT_TO_RIGHT = 1,
  COREWEBVIEW2_TEXT_DIRECTION_KIND_RIGHT_TO_LEFT = 2,
} COREWEBVIEW2_TEXT_DIRECTION_KIND;

struct ICoreWebView2Notification : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE
  add_CloseRequested(ICoreWebView2NotificationCloseRequestedEventHandler* eventHandler,
                     EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_CloseRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReportShown() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReportClicked() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReportClosed() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Body(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Direction(COREWEBVIEW2_TEXT_DIRECTION_KIND* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Tag(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IconUri(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Title(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BadgeUri(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BodyImageUri(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShouldRenotify(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RequiresInteraction(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSilent(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Timestamp(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVibrationPattern(UINT32* count,
                                                        UINT64** vibrationPattern) = 0;
};

struct ICoreWebView2NotificationCloseRequestedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2Notification* sender, IUnknown* args) = 0;
};

struct ICoreWebView2NotificationReceivedEventArgs : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_SenderOrigin(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Notification(ICoreWebView2Notification** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Handled(BOOL value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Handled(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
};

struct ICoreWebView2NotificationReceivedEventHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2NotificationReceivedEventArgs* args) = 0;
};

// Slots 61-125 belong to ICoreWebView2_2 ... ICoreWebView2_23, which this program never calls:
// they are held by placeholders, one per slot, so that the two below land where the runtime
// has them.
struct ICoreWebView2_24 : public ICoreWebView2 {
  virtual HRESULT STDMETHODCALLTYPE slot_61() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_62() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_63() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_64() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_65() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_66() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_67() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_68() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_69() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_70() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_71() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_72() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_73() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_74() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_75() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_76() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_77() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_78() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_79() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_80() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_81() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_82() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_83() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_84() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_85() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_86() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_87() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_88() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_89() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_90() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_91() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_92() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_93() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_94() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_95() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_96() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_97() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_98() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_99() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_100() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_101() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_102() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_103() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_104() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_105() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_106() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_107() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_108() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_109() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_110() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_111() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_112() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_113() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_114() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_115() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_116() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_117() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_118() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_119() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_120() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_121() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_122() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_123() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_124() = 0;
  virtual HRESULT STDMETHODCALLTYPE slot_125() = 0;
  virtual HRESULT STDMETHODCALLTYPE
  add_NotificationReceived(ICoreWebView2NotificationReceivedEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NotificationReceived(EventRegistrationToken token) = 0;
};
