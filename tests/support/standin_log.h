// Reading the stand-in runtime's JSON-lines call log.
#pragma once

#include <string>
#include <vector>

namespace quendari_test {

struct logged_call {
  std::string interface_name;  // "event", "completion", "outcome" or "note" for other lines
  std::string method;          // the method, or the event's name, or the note's text
  std::string args;            // the raw JSON object
  std::string result;          // "0x00000000"

  // A member of `args`, decoded when it is a string.
  std::string arg(const char* name) const;
};

std::vector<logged_call> read_standin_log(const std::wstring& path);
// Index of the first line of `method` at or after `from`, or -1.
int find_call(const std::vector<logged_call>& calls, const std::string& method, int from = 0);
int count_calls(const std::vector<logged_call>& calls, const std::string& method);

}  // namespace quendari_test
