#include "webview2/user_agent.h"

namespace webview::detail {

std::wstring marked_user_agent(const std::wstring& user_agent) {
  if (user_agent.find(L"QuendariApp/") != std::wstring::npos) return user_agent;
  std::wstring marked = user_agent;
  if (!marked.empty()) marked += L' ';
  marked += L"QuendariApp/1";
  return marked;
}

}  // namespace webview::detail
