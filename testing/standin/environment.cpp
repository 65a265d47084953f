#include "testing/standin/environment.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

#include "testing/standin/com_identity.h"
#include "testing/standin/completion.h"
#include "testing/standin/controller.h"
#include "testing/standin/event_args.h"
#include "testing/standin/page_actions.h"
#include "testing/standin/runtime_update.h"
#include "testing/standin/task_string.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr const char* dll_interface = "EmbeddedBrowserWebView.dll";
constexpr const char* environment_interface = "ICoreWebView2Environment";
constexpr const char* environment5_interface = "ICoreWebView2Environment5";
// HRESULT_FROM_WIN32(ERROR_BUSY): a user-data folder the old browser processes still hold.
constexpr HRESULT folder_busy = static_cast<HRESULT>(0x800700AA);
// Not among the project's IIDs (the application asks only for ICoreWebView2Environment5).
constexpr IID environment2_iid = {
    0x41F3632B, 0x5EF4, 0x404F, {0xAD, 0x82, 0x2D, 0x60, 0x6C, 0x5A, 0x9A, 0x21}};
constexpr IID environment3_iid = {
    0x80A22AE3, 0xBE7C, 0x4CE2, {0xAF, 0xE1, 0x5A, 0x50, 0x05, 0x6C, 0xDE, 0xEB}};
constexpr IID environment4_iid = {
    0x20944379, 0x6DCF, 0x41D6, {0xA0, 0xA0, 0xAB, 0xC0, 0xFC, 0x50, 0xDE, 0x0D}};
constexpr const char* start_method = "CreateWebViewEnvironmentWithOptionsInternal";

using environment_handler = ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;
using controller_handler = ICoreWebView2CreateCoreWebView2ControllerCompletedHandler;

void deliver_environment(const std::shared_ptr<ui_thread_queue>& queue,
                         com_ptr<environment_handler> handler, HRESULT code,
                         com_ptr<environment_object> environment) {
  deliver(queue, [handler = std::move(handler), code, environment = std::move(environment)] {
    complete("EnvironmentCreated", handler,
             log_fields().hresult("errorCode", code).boolean("environment", bool(environment)),
             code, environment.get());
  });
}

// A controller creation whose completion has not run yet. The creation fails with E_ABORT if the
// parent window is destroyed before it is finished, and that completion runs before DestroyWindow
// returns: a hook on the thread's sent messages watches for the parent's WM_DESTROY until then.
// A hook needs user32 only: comctl32's subclassing would add its own loading to every start.
class pending_controller {
 public:
  // Null when the parent cannot be watched (a window of another thread).
  static std::shared_ptr<pending_controller> watch(HWND parent, com_ptr<controller_handler> handler,
                                                   HRESULT code,
                                                   com_ptr<controller_object> controller) {
    if (GetWindowThreadProcessId(parent, nullptr) != GetCurrentThreadId()) return nullptr;
    if (watched.empty()) {
      hook = SetWindowsHookExW(WH_CALLWNDPROC, &pending_controller::sent_message, nullptr,
                               GetCurrentThreadId());
      if (!hook) return nullptr;
    }
    auto pending = std::make_shared<pending_controller>(parent, std::move(handler), code,
                                                        std::move(controller));
    watched.push_back(pending);
    return pending;
  }

  pending_controller(HWND parent, com_ptr<controller_handler> handler, HRESULT code,
                     com_ptr<controller_object> controller)
      : parent(parent),
        handler(std::move(handler)),
        code(code),
        controller(std::move(controller)) {}

  // Delivers the planned outcome, unless E_ABORT came first.
  void finish() {
    if (done) return;
    unwatch();
    deliver_once(code, std::move(controller));
  }

 private:
  static LRESULT CALLBACK sent_message(int code, WPARAM wparam, LPARAM lparam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && sent->message == WM_DESTROY) {
      call_without_throwing([&] {
        // A copy: delivering the completion may start or finish other creations.
        const std::vector<std::shared_ptr<pending_controller>> current = watched;
        for (const auto& pending : current) {
          if (pending->parent != sent->hwnd || pending->done) continue;
          pending->unwatch();
          log_note("parent window destroyed before the controller was created",
                   log_fields().integer("window", reinterpret_cast<INT_PTR>(sent->hwnd)));
          pending->controller.reset();  // its browser window goes with it
          pending->deliver_once(E_ABORT, {});
        }
      });
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }

  void unwatch() {
    const auto found = std::find_if(watched.begin(), watched.end(),
                                    [this](const auto& pending) { return pending.get() == this; });
    if (found == watched.end()) return;
    // Kept alive until this call is over: the list may hold the last reference.
    const std::shared_ptr<pending_controller> keep = *found;
    watched.erase(found);
    if (watched.empty() && hook) {
      UnhookWindowsHookEx(hook);
      hook = nullptr;
    }
  }

  void deliver_once(HRESULT result, com_ptr<controller_object> created) {
    done = true;
    complete("ControllerCreated", handler,
             log_fields().hresult("errorCode", result).boolean("controller", bool(created)), result,
             static_cast<ICoreWebView2Controller*>(created.get()));
  }

  HWND parent;
  com_ptr<controller_handler> handler;
  HRESULT code;
  com_ptr<controller_object> controller;
  bool done = false;
  module_use in_use;

  // The UI thread's watched creations and their hook; the stand-in's windows live on one thread.
  static inline std::vector<std::shared_ptr<pending_controller>> watched;
  static inline HHOOK hook = nullptr;
};

// Every environment alive, for NewBrowserVersionAvailable.
std::mutex environments_lock;
std::vector<environment_object*> environments;

// First frame colour: WEBVIEW2_DEFAULT_BACKGROUND_COLOR, hex AARRGGBB, read when the environment
// is created. Anything else, or an alpha the API would refuse, leaves the default.
COREWEBVIEW2_COLOR background_from_variable(const std::wstring& text) {
  if (text.size() != 8 || text.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
    return default_background;
  const unsigned long argb = std::wcstoul(text.c_str(), nullptr, 16);
  const COREWEBVIEW2_COLOR color{static_cast<BYTE>(argb >> 24), static_cast<BYTE>(argb >> 16),
                                 static_cast<BYTE>(argb >> 8), static_cast<BYTE>(argb)};
  return color.A == 0 || color.A == 255 ? color : default_background;
}

// The real runtime keeps its profile in the user-data folder and creates it when missing; the
// application relies on that for its own file there. Long paths go through the \\?\ form.
void create_user_data_folder(const std::wstring& folder) {
  if (folder.size() < 3 || folder[1] != L':') return;
  const std::wstring extended = L"\\\\?\\" + folder;
  for (std::size_t at = extended.find(L'\\', 7); at != std::wstring::npos;
       at = extended.find(L'\\', at + 1)) {
    CreateDirectoryW(extended.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(extended.c_str(), nullptr);
}

}  // namespace

HRESULT start_environment_creation(bool flag, INT32 source, PCWSTR user_data_folder,
                                   ICoreWebView2EnvironmentOptions* options,
                                   environment_handler* handler) {
  runtime_state& state = runtime_state::get();
  log_fields args;
  args.boolean("flag", flag)
      .integer("source", source)
      .text("userDataFolder", user_data_folder)
      .boolean("optionsGiven", options != nullptr)
      .boolean("handlerGiven", handler != nullptr);
  if (!state.plan().errors.empty()) {
    return log_call(dll_interface, start_method, args.utf8("step", "scenario error"), E_INVALIDARG);
  }
  if (!handler) return log_call(dll_interface, start_method, args, E_POINTER);
  std::shared_ptr<ui_thread_queue> queue = state.queue_for_current_thread();
  if (!queue) return log_call(dll_interface, start_method, args, E_FAIL);

  if (user_data_folder) create_user_data_folder(user_data_folder);
  const std::wstring variable = environment_variable(L"WEBVIEW2_DEFAULT_BACKGROUND_COLOR");
  const COREWEBVIEW2_COLOR background = background_from_variable(variable);
  const std::wstring folder = user_data_folder ? user_data_folder : L"";
  const std::size_t index = state.next_start_index();
  if (!shared().start_actions_armed.exchange(true)) {
    arm_process_actions(state.plan().after_start, *queue);
  }
  const step planned = step_at(state.plan().starts, index);
  // A new environment on the same user-data folder fails while the old processes shut down.
  const bool busy = planned.outcome == step_outcome::succeed && is_folder_held(folder);
  // "A user data folder is only able to be used by one browser process at a time": an older
  // version's browser still running on it refuses the start.
  const bool other_version =
      planned.outcome == step_outcome::succeed && runs_in_other_version(folder);
  args.integer("start", index + 1)
      .utf8("step", other_version ? "other version running"
                    : busy        ? "busy"
                                  : outcome_name(planned.outcome))
      .text("backgroundVariable", variable)
      .utf8("defaultBackgroundColor", argb_text(background));
  if (other_version) return log_call(dll_interface, start_method, args, browser_gone);
  auto target = com_ptr<environment_handler>::share(handler);
  switch (planned.outcome) {
    case step_outcome::refuse:
      return log_call(dll_interface, start_method, args, planned.code);
    case step_outcome::fail:
      deliver_environment(queue, std::move(target), planned.code, {});
      break;
    case step_outcome::later_quit:
      // Always through the queue, also with `deliver inside`: the quit must reach the wait. The
      // handler stays referenced until then, as for a completion.
      queue->post([target = std::move(target)] {
        log_note("later-quit: WM_QUIT instead of the completion", log_fields());
        PostQuitMessage(0);
      });
      break;
    default:
      if (busy) {
        deliver_environment(queue, std::move(target), folder_busy, {});
        break;
      }
      deliver_environment(
          queue, std::move(target), S_OK,
          com_ptr<environment_object>::adopt(new environment_object(
              queue, std::make_shared<browser_process>(queue, folder), background)));
      break;
  }
  return log_call(dll_interface, start_method, args, S_OK);
}

void browser_process::end(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind) {
  if (std::exchange(ending, true)) return;
  if (std::exchange(running, false)) remove_running_browser(folder);
  const std::optional<unsigned> delay = runtime_state::get().plan().release_ms;
  if (delay != 0u) hold_folder(folder);
  if (!delay) return;  // `release never`
  // BrowserProcessExited: raised after all resources, the user-data folder included, are released.
  auto release = [folder = folder, held = *delay != 0, kind, id = number,
                  sender = com_ptr<environment_object>::share(environment)] {
    if (held) release_folder(folder);
    log_note("user data folder released",
             log_fields().text("userDataFolder", folder).integer("processId", id));
    if (sender) sender->raise_browser_process_exited(kind, id);
  };
  if (*delay == 0) {
    queue->post(std::move(release));
  } else {
    queue->post_after(*delay, std::move(release));
  }
}

environment_object::environment_object(std::shared_ptr<ui_thread_queue> queue,
                                       std::shared_ptr<browser_process> process,
                                       COREWEBVIEW2_COLOR background)
    : queue(std::move(queue)), process(std::move(process)), background(background) {
  this->process->environment = this;
  std::lock_guard<std::mutex> guard(environments_lock);
  environments.push_back(this);
}

environment_object::~environment_object() {
  process->environment = nullptr;
  std::lock_guard<std::mutex> guard(environments_lock);
  environments.erase(std::find(environments.begin(), environments.end(), this));
}

HRESULT environment_object::not_implemented(const char* interface_name, const char* method) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return log_call(interface_name, method, {}, process->exited() ? browser_gone : E_NOTIMPL);
  });
}

HRESULT STDMETHODCALLTYPE environment_object::QueryInterface(REFIID riid, void** object) {
  // ICoreWebView2Environment5 came with runtime 1.0.992; `noenvironment5` plays an older one.
  const bool newer = IsEqualIID(riid, environment2_iid) || IsEqualIID(riid, environment3_iid) ||
                     IsEqualIID(riid, environment4_iid) ||
                     (IsEqualIID(riid, IID_ICoreWebView2Environment5) &&
                      runtime_state::get().plan().environment5_available);
  return answer_query(this, environment_interface, IID_ICoreWebView2Environment, riid, object,
                      newer ? &riid : nullptr);
}

ULONG STDMETHODCALLTYPE environment_object::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE environment_object::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE
environment_object::CreateCoreWebView2Controller(HWND parent_window, controller_handler* handler) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    log_fields args;
    args.integer("parentWindow", reinterpret_cast<INT_PTR>(parent_window))
        .boolean("handlerGiven", handler != nullptr);
    const char* method = "CreateCoreWebView2Controller";
    if (!handler) return log_call(environment_interface, method, args, E_POINTER);
    if (!IsWindow(parent_window))
      return log_call(environment_interface, method, args, E_INVALIDARG);

    // The browser process is gone: the environment has to be created anew.
    if (process->exited()) return log_call(environment_interface, method, args, browser_gone);

    runtime_state& state = runtime_state::get();
    const std::size_t index = state.next_controller_index();
    const step planned = step_at(state.plan().controllers, index);
    args.integer("controller", index + 1).utf8("step", outcome_name(planned.outcome));
    if (planned.outcome == step_outcome::refuse) {
      return log_call(environment_interface, method, args, planned.code);
    }
    auto target = com_ptr<controller_handler>::share(handler);
    if (planned.outcome == step_outcome::hold) {
      // Only the parent window's destruction completes it, with E_ABORT.
      const bool watched =
          pending_controller::watch(parent_window, std::move(target), E_ABORT, {}) != nullptr;
      return log_call(environment_interface, method, args, watched ? S_OK : E_FAIL);
    }
    com_ptr<controller_object> controller;
    HRESULT code = planned.code;
    if (planned.outcome != step_outcome::fail) {
      controller =
          controller_object::create(parent_window, queue, process, planned.outcome, background);
      if (!controller) return log_call(environment_interface, method, args, E_FAIL);
      code = S_OK;
    }
    std::shared_ptr<pending_controller> pending =
        pending_controller::watch(parent_window, std::move(target), code, std::move(controller));
    if (!pending) return log_call(environment_interface, method, args, E_FAIL);
    deliver(queue, [pending = std::move(pending)] { pending->finish(); });
    return log_call(environment_interface, method, args, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE environment_object::CreateWebResourceResponse(
    IStream*, int, LPCWSTR, LPCWSTR, ICoreWebView2WebResourceResponse**) {
  return not_implemented(environment_interface, "CreateWebResourceResponse");
}

// The version of the folder the DLL was loaded from, like the real runtime's.
HRESULT STDMETHODCALLTYPE environment_object::get_BrowserVersionString(LPWSTR* version) {
  const std::wstring loaded = loaded_version();
  if (loaded.empty() || process->exited()) {
    return not_implemented(environment_interface, "get_BrowserVersionString");
  }
  return call_without_throwing(E_UNEXPECTED, [&] {
    return log_call(environment_interface, "get_BrowserVersionString",
                    log_fields().text("value", loaded), hand_out_string(loaded, version));
  });
}

HRESULT STDMETHODCALLTYPE environment_object::add_NewBrowserVersionAvailable(
    ICoreWebView2NewBrowserVersionAvailableEventHandler* handler, EventRegistrationToken* token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const HRESULT result = process->exited() ? browser_gone : version_handlers.add(handler, token);
    return log_call(environment_interface, "add_NewBrowserVersionAvailable",
                    log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE
environment_object::remove_NewBrowserVersionAvailable(EventRegistrationToken token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return log_call(environment_interface, "remove_NewBrowserVersionAvailable",
                    log_fields().integer("token", token.value),
                    process->exited() ? browser_gone : version_handlers.remove(token));
  });
}

HRESULT STDMETHODCALLTYPE environment_object::CreateWebResourceRequest(
    LPCWSTR, LPCWSTR, IStream*, LPCWSTR, ICoreWebView2WebResourceRequest**) {
  return not_implemented("ICoreWebView2Environment2", "CreateWebResourceRequest");
}

HRESULT STDMETHODCALLTYPE environment_object::CreateCoreWebView2CompositionController(
    HWND, ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler*) {
  return not_implemented("ICoreWebView2Environment3", "CreateCoreWebView2CompositionController");
}

HRESULT STDMETHODCALLTYPE
environment_object::CreateCoreWebView2PointerInfo(ICoreWebView2PointerInfo**) {
  return not_implemented("ICoreWebView2Environment3", "CreateCoreWebView2PointerInfo");
}

HRESULT STDMETHODCALLTYPE environment_object::GetAutomationProviderForWindow(HWND, IUnknown**) {
  return not_implemented("ICoreWebView2Environment4", "GetAutomationProviderForWindow");
}

// Unlike the environment's other methods, these keep working after the browser process exited:
// the event belongs to the time after the exit.
HRESULT STDMETHODCALLTYPE environment_object::add_BrowserProcessExited(
    ICoreWebView2BrowserProcessExitedEventHandler* handler, EventRegistrationToken* token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const HRESULT result = exited_handlers.add(handler, token);
    return log_call(environment5_interface, "add_BrowserProcessExited",
                    log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE
environment_object::remove_BrowserProcessExited(EventRegistrationToken token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return log_call(environment5_interface, "remove_BrowserProcessExited",
                    log_fields().integer("token", token.value), exited_handlers.remove(token));
  });
}

void environment_object::raise_browser_process_exited(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind,
                                                      UINT32 id) {
  const auto args = browser_exited_args(kind, id);
  exited_handlers.fire("BrowserProcessExited", this, args.get(),
                       log_fields().integer("kind", kind).integer("processId", id),
                       [] { return log_fields(); });
}

void announce_new_version(const wchar_t* version) {
  std::vector<com_ptr<environment_object>> live;
  {
    std::lock_guard<std::mutex> guard(environments_lock);
    for (environment_object* environment : environments) {
      if (environment->hears_new_versions()) {
        live.push_back(com_ptr<environment_object>::share(environment));
      }
    }
  }
  for (const auto& environment : live) environment->raise_new_version_available(version);
}

void environment_object::raise_new_version_available(const wchar_t* version) {
  version_handlers.fire("NewBrowserVersionAvailable", this, static_cast<IUnknown*>(nullptr),
                        log_fields().text("version", version), [] { return log_fields(); });
}

}  // namespace standin
