#include "tests/app/opened_links.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/support/test_process.h"

namespace quendari_test {

using namespace std::chrono_literals;

opened_links::opened_links()
    : log_(this_executable_folder() + L"opened_links.txt"),
      https_(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", L"", command()),
      mailto_(HKEY_CLASSES_ROOT, L"mailto\\shell\\open\\command", L"", command()) {
  DeleteFileW(log_.c_str());
}

opened_links::~opened_links() { DeleteFileW(log_.c_str()); }

std::wstring opened_links::wait_for_lines(std::size_t count) const {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  for (;;) {
    const std::wstring text = read_text_file(log_);
    if (static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n')) >= count ||
        std::chrono::steady_clock::now() > deadline) {
      return text;
    }
    std::this_thread::sleep_for(100ms);
  }
}

std::wstring opened_links::command() const {
  return L"\"" + this_executable_folder() + L"url_recorder.exe\" \"" + log_ + L"\" \"%1\"";
}

}  // namespace quendari_test
