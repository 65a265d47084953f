#include "win32/browser_failure_message.h"

#include <cwchar>

namespace webview::detail {

std::wstring browser_failure_message(HRESULT failure) {
  wchar_t code[16] = {};
  std::swprintf(code, sizeof code / sizeof code[0], L"0x%08X", static_cast<unsigned>(failure));
  return std::wstring(L"Quendari could not start its browser component (error ") + code +
         L").\n\nOpen Quendari again. If this keeps happening, restart Windows or repair the "
         L"Microsoft Edge WebView2 Runtime in Settings > Apps.";
}

void show_browser_failure(HWND owner, HRESULT failure) {
  MessageBoxW(owner, browser_failure_message(failure != 0 ? failure : E_FAIL).c_str(), L"Quendari",
              MB_OK | MB_ICONERROR);
}

}  // namespace webview::detail
