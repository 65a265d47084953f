#include "tests/support/standin_log.h"

#include "engine/json.h"
#include "tests/support/test_process.h"

namespace quendari_test {

using webview::detail::json_get;

std::string logged_call::arg(const char* name) const { return json_get(args, name, 0); }

std::vector<logged_call> read_standin_log(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::vector<logged_call> calls;
  if (file == INVALID_HANDLE_VALUE) return calls;
  std::string text;
  char chunk[8192];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) text.append(chunk, read);
  CloseHandle(file);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    logged_call call;
    call.interface_name = json_get(line, "interface", 0);
    call.method = json_get(line, "method", 0);
    // Lines that are not calls name their kind where a call has its interface.
    for (const char* kind : {"event", "completion", "outcome", "note"}) {
      if (!call.method.empty()) break;
      call.method = json_get(line, kind, 0);
      call.interface_name = kind;
    }
    call.args = json_get(line, "args", 0);
    call.result = json_get(line, "result", 0);
    calls.push_back(std::move(call));
  }
  return calls;
}

int find_call(const std::vector<logged_call>& calls, const std::string& method, int from) {
  for (int i = from; i < static_cast<int>(calls.size()); ++i) {
    if (calls[i].method == method) return i;
  }
  return -1;
}

int count_calls(const std::vector<logged_call>& calls, const std::string& method) {
  int count = 0;
  for (const auto& call : calls) count += call.method == method ? 1 : 0;
  return count;
}

}  // namespace quendari_test
