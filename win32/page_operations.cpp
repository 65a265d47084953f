#include <memory>

#include "util/com_ptr.h"
#include "util/text_encoding.h"
#include "webview2/user_script_added_handler.h"
#include "webview2/user_script_impl.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {

noresult win32_edge_engine::navigate_impl(const std::string& url) {
  webview->Navigate(utf8_to_utf16(url).c_str());
  return {};
}

noresult win32_edge_engine::set_html_impl(const std::string& html) {
  webview->NavigateToString(utf8_to_utf16(html).c_str());
  return {};
}

noresult win32_edge_engine::eval_impl(const std::string& js) {
  webview->ExecuteScript(utf8_to_utf16(js).c_str(), nullptr);
  return {};
}

user_script win32_edge_engine::add_user_script_impl(const std::string& code) {
  std::wstring code_utf16 = utf8_to_utf16(code);
  // Shared with the completion, which may in principle arrive after this call has returned.
  struct registration {
    std::wstring id;
    bool done = false;
  };
  const auto added = std::make_shared<registration>();
  const auto handler = com_ptr<webview2_user_script_added_handler>::adopt(
      new webview2_user_script_added_handler([added](HRESULT error, LPCWSTR id) {
        if (SUCCEEDED(error) && id) added->id = id;
        added->done = true;
      }));
  const HRESULT started =
      webview->AddScriptToExecuteOnDocumentCreated(code_utf16.c_str(), handler.get());
  // A registration that never completes keeps the empty id once the wait gives up.
  if (SUCCEEDED(started)) wait_for_browser([&] { return added->done; });
  user_script_impl_ptr impl(new user_script_impl(added->id, std::move(code_utf16)));
  return user_script(code, std::move(impl));
}

void win32_edge_engine::remove_all_user_scripts_impl(const std::list<user_script>& scripts) {
  for (const auto& script : scripts) {
    webview->RemoveScriptToExecuteOnDocumentCreated(script.get_impl()->id.c_str());
  }
}

bool win32_edge_engine::are_user_scripts_equal_impl(const user_script& first,
                                                    const user_script& second) {
  return first.get_impl()->id == second.get_impl()->id;
}

}  // namespace webview::detail
