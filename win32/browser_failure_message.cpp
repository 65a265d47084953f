#include "win32/browser_failure_message.h"

#include "util/number_text.h"

namespace webview::detail {

std::wstring browser_failure_message(const std::wstring& app_name, HRESULT failure) {
  std::wstring code = L"0x";
  append_hex(code, static_cast<std::uint32_t>(failure), 8);
  return app_name + L" could not start its browser component (error " + code + L").\n\nOpen " +
         app_name +
         L" again. If this keeps happening, restart Windows or repair the Microsoft Edge WebView2 "
         L"Runtime in Settings > Apps.";
}

void show_browser_failure(HWND owner, const std::wstring& app_name, HRESULT failure) {
  MessageBoxW(owner, browser_failure_message(app_name, failure != 0 ? failure : E_FAIL).c_str(),
              app_name.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace webview::detail
