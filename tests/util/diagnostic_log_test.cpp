#include "util/diagnostic_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "tests/util/scratch_folder.h"
#include "util/kernel_handle.h"

namespace webview::detail {
namespace {

namespace fs = std::filesystem;
using quendari_test::scratch_folder;

// `before`, then one line stamped with a UTC time and holding `event` (a regular expression).
std::regex then_line(const std::string& before, const std::string& event) {
  return std::regex(before + R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z )" + event + "\n");
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Switching to a file never written closes the handle, so the folder can be removed.
void release_log(const scratch_folder& folder) {
  start_diagnostic_log((folder.path() / L"unused.log").wstring());
}

TEST(diagnostic_log, rotates_at_the_size_limit) {
  const scratch_folder folder(L"dlog-rotate");
  const fs::path log = folder.path() / L"quendari.log";
  const std::string old_content(diagnostic_log_limit - 10, 'x');
  std::ofstream(log, std::ios::binary) << old_content;

  start_diagnostic_log(log.wstring());
  log_event("rotation check\nsecond half of the event");
  release_log(folder);

  EXPECT_EQ(read_file(folder.path() / L"quendari.old.log"), old_content);
  const std::string line = read_file(log);
  EXPECT_TRUE(std::regex_match(line, then_line("", "rotation check second half of the event")))
      << line;
}

// Held unshared by another program: under Wine, as root, a read-only file stays writable.
TEST(diagnostic_log, file_that_cannot_be_opened_drops_lines_until_it_can) {
  const scratch_folder folder(L"dlog-held");
  const fs::path log = folder.path() / L"quendari.log";
  std::ofstream(log, std::ios::binary) << "kept\n";

  start_diagnostic_log(log.wstring());
  {
    const kernel_handle held(CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.is_open());
    log_event("dropped");
  }
  EXPECT_FALSE(log_if_failed("CreateThing", E_UNEXPECTED));
  EXPECT_TRUE(log_if_failed("OtherThing", S_OK));
  release_log(folder);

  const std::string content = read_file(log);
  EXPECT_TRUE(
      std::regex_match(content, then_line("kept\n", R"(CreateThing failed \(0x8000FFFF\))")))
      << content;
}

TEST(diagnostic_log, hresult_text_is_zero_padded) {
  EXPECT_EQ(hresult_text(S_FALSE), "0x00000001");
}

}  // namespace
}  // namespace webview::detail
