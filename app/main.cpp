// Quendari: one remote web application in a desktop window of its own.
#include <windows.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "app/configuration.h"
#include "app/deployment.h"
#include "app/page_marks.h"
#include "app/single_instance.h"
#include "app/start_failure.h"
#include "util/diagnostic_log.h"
#include "util/task_memory_string.h"
#include "webview2/user_data_folder.h"
#include "win32/browser_failure_message.h"
#include "win32/win32_edge_engine.h"

namespace {

using webview::detail::log_event;
using webview::detail::win32_edge_engine;

// %LOCALAPPDATA%\Quendari\quendari.log: beside the machine, not roaming with the profile.
void start_log() {
  webview::detail::task_memory_string local;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, local.put())) ||
      !local.get()) {
    return;
  }
  webview::detail::start_diagnostic_log(std::wstring(local.get()) + L"\\" + quendari::product_name +
                                        L"\\quendari.log");
}

// Windows starts Quendari at sign-in with this argument (the Run value's command).
bool started_in_background() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return false;
  bool found = false;
  for (int index = 1; index < count; ++index) {
    if (lstrcmpW(arguments[index], L"--background") == 0) found = true;
  }
  LocalFree(arguments);
  return found;
}

void run_application(bool in_background) {
  // The engine places the window (where the user left it, or sized for a first start), titles
  // it and gives it the icons.
  win32_edge_engine engine(quendari::configuration(in_background), false, nullptr);
  engine.add_user_script(quendari::compose_page_marks_script(quendari::app_origin));
  engine.navigate_impl(quendari::start_url);
  engine.run_impl();
}

void send_user_to_runtime_download() {
  MessageBoxW(nullptr,
              L"Quendari needs the Microsoft Edge WebView2 runtime.\n\nA browser window will open "
              L"so you can install it, then open Quendari again.",
              quendari::product_name, MB_OK | MB_ICONINFORMATION);
  ShellExecuteW(nullptr, L"open", quendari::runtime_download_url, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const quendari::instance_lock instance(std::wstring(L"Local\\") + quendari::app_id);
  start_log();
  const bool in_background = started_in_background();
  if (!instance.is_first()) {
    if (in_background) {
      log_event("second start at sign-in: Quendari runs already");
      return 0;
    }
    const bool handed_over = quendari::bring_first_instance_forward(
        quendari::window_class, quendari::product_name, std::chrono::seconds(5));
    log_event(handed_over ? "second start: handed to the running Quendari"
                          : "second start: the running Quendari showed no window");
    return 0;
  }
  log_event(std::string("start: ") + quendari::product_name_utf8 + " " + quendari::version);
  try {
    run_application(in_background);
  } catch (const webview::exception& failure) {
    log_event("start failed: " + failure.message() + " (" +
              webview::detail::hresult_text(failure.platform_code()) + ")");
    switch (quendari::classify_start_failure(failure.code(), failure.platform_code())) {
      case quendari::start_failure_kind::closed_by_user:
        // The user closed the window before the browser was ready: nothing went wrong.
        return 0;
      case quendari::start_failure_kind::runtime_missing:
        // At sign-in nobody asked for Quendari yet: the user's own start tells them.
        if (!in_background) send_user_to_runtime_download();
        return 1;
      case quendari::start_failure_kind::data_folder_unusable:
        MessageBoxW(nullptr,
                    quendari::data_folder_failure_message(
                        webview::detail::application_data_folder(), failure.platform_code())
                        .c_str(),
                    quendari::product_name, MB_OK | MB_ICONERROR);
        return 1;
      case quendari::start_failure_kind::browser:
        break;
    }
    webview::detail::show_browser_failure(nullptr, quendari::product_name, failure.platform_code());
    return 1;
  } catch (...) {
    // Anything else (out of memory) is not the runtime's fault: no dialog, but no terminate.
    log_event("start failed: unexpected exception");
    return 1;
  }
  log_event("closed");
  return 0;
}
