#include <memory>

#include "util/com_ptr.h"
#include "util/diagnostic_log.h"
#include "util/text_encoding.h"
#include "webview2/user_script_added_handler.h"
#include "webview2/user_script_impl.h"
#include "win32/browser_host.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {

std::wstring browser_host::add_script(const std::wstring& code) {
  if (!webview_) return {};
  // Shared with the completion, which may in principle arrive after this call has returned.
  struct registration {
    std::wstring id;
    bool done = false;
  };
  const auto added = std::make_shared<registration>();
  const auto completion = com_ptr<webview2_user_script_added_handler>::adopt(
      new webview2_user_script_added_handler([added](HRESULT error, LPCWSTR id) {
        if (log_if_failed("AddScriptToExecuteOnDocumentCreated completion", error) && id) {
          added->id = id;
        }
        added->done = true;
      }));
  const HRESULT started =
      webview_->AddScriptToExecuteOnDocumentCreated(code.c_str(), completion.get());
  // A registration that never completes keeps the empty id once the wait gives up.
  if (log_if_failed("AddScriptToExecuteOnDocumentCreated", started)) {
    wait_for_browser([&] { return added->done; });
  }
  return added->id;
}

void browser_host::remove_script(const std::wstring& id) {
  if (webview_) {
    log_if_failed("RemoveScriptToExecuteOnDocumentCreated",
                  webview_->RemoveScriptToExecuteOnDocumentCreated(id.c_str()));
  }
}

noresult win32_edge_engine::navigate_impl(const std::string& url) {
  const noresult navigated = main_browser->navigate(utf8_to_utf16(url));
  after_first_navigation();
  return navigated;
}

noresult win32_edge_engine::set_html_impl(const std::string& html) {
  const noresult navigated = main_browser->navigate_to_string(utf8_to_utf16(html));
  after_first_navigation();
  return navigated;
}

noresult win32_edge_engine::eval_impl(const std::string& js) {
  return main_browser->execute_script(utf8_to_utf16(js));
}

user_script win32_edge_engine::add_user_script_impl(const std::string& code) {
  std::wstring code_utf16 = utf8_to_utf16(code);
  std::wstring id = main_browser->add_script(code_utf16);
  user_script_impl_ptr impl(new user_script_impl(std::move(id), std::move(code_utf16)));
  return user_script(code, std::move(impl));
}

void win32_edge_engine::remove_all_user_scripts_impl(const std::list<user_script>& scripts) {
  for (const auto& script : scripts) main_browser->remove_script(script.get_impl()->id);
}

bool win32_edge_engine::are_user_scripts_equal_impl(const user_script& first,
                                                    const user_script& second) {
  return first.get_impl()->id == second.get_impl()->id;
}

}  // namespace webview::detail
