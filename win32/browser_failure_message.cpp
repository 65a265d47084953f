#include "win32/browser_failure_message.h"

#include <cwchar>

namespace webview::detail {

std::wstring browser_failure_message(const std::wstring& app_name, HRESULT failure) {
  wchar_t code[16] = {};
  std::swprintf(code, sizeof code / sizeof code[0], L"0x%08X", static_cast<unsigned>(failure));
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
