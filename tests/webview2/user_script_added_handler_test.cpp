#include "webview2/user_script_added_handler.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace webview::detail {
namespace {

struct outcome {
  int calls = 0;
  long error_code = 0;
  std::wstring id;
  bool id_was_null = false;
};

webview2_user_script_added_handler* recording_handler(std::shared_ptr<outcome> seen) {
  return new webview2_user_script_added_handler([seen](long error_code, const wchar_t* id) {
    ++seen->calls;
    seen->error_code = error_code;
    seen->id_was_null = id == nullptr;
    seen->id = id == nullptr ? L"" : id;
  });
}

TEST(user_script_added_handler, invoke_forwards_code_and_identifier_unchanged) {
  auto seen = std::make_shared<outcome>();
  auto* handler = recording_handler(seen);
  EXPECT_EQ(handler->Invoke(S_OK, L"{script-7}"), S_OK);
  EXPECT_EQ(seen->calls, 1);
  EXPECT_EQ(seen->error_code, S_OK);
  EXPECT_EQ(seen->id, L"{script-7}");
  EXPECT_EQ(handler->Invoke(E_INVALIDARG, nullptr), S_OK);
  EXPECT_EQ(seen->calls, 2);
  EXPECT_EQ(seen->error_code, E_INVALIDARG);
  EXPECT_TRUE(seen->id_was_null);
  handler->Release();
}

TEST(user_script_added_handler, throwing_callback_stays_inside_invoke) {
  auto* handler = new webview2_user_script_added_handler(
      [](long, const wchar_t*) { throw std::runtime_error("x"); });
  EXPECT_EQ(handler->Invoke(S_OK, L"id"), S_OK);
  handler->Release();
}

TEST(user_script_added_handler, answers_iunknown_and_its_completion_interface_alone) {
  auto* handler = recording_handler(std::make_shared<outcome>());
  EXPECT_EQ(handler->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  void* out = nullptr;
  ASSERT_EQ(handler->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(
      out, static_cast<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*>(handler));
  static_cast<IUnknown*>(out)->Release();
  out = handler;
  EXPECT_EQ(handler->QueryInterface(IID_ICoreWebView2ExecuteScriptCompletedHandler, &out),
            E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(handler->QueryInterface(
                IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, &out),
            S_OK);
  EXPECT_EQ(
      out, static_cast<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*>(handler));
  EXPECT_EQ(handler->Release(), 1u);
  handler->Release();
}

TEST(user_script_added_handler, last_release_destroys_the_callback) {
  auto seen = std::make_shared<outcome>();
  std::weak_ptr<outcome> watch = seen;
  auto* handler = recording_handler(std::move(seen));
  EXPECT_EQ(handler->AddRef(), 2u);
  EXPECT_EQ(handler->AddRef(), 3u);
  EXPECT_EQ(handler->Release(), 2u);
  EXPECT_EQ(handler->Release(), 1u);
  EXPECT_FALSE(watch.expired());
  EXPECT_EQ(handler->Release(), 0u);
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace webview::detail
