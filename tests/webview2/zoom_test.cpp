#include "webview2/zoom.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <clocale>
#include <limits>
#include <string>

#include "tests/webview2/fake_webview2.h"

namespace webview::detail {
namespace {

using testing::fake_controller;

// A fresh folder in the temporary folder for each test, removed with what it holds.
class zoom_test : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"quendari-zoom-" + std::to_wstring(GetCurrentProcessId()) +
             L"-" + std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    path = folder + L"\\zoom.txt";
  }
  void TearDown() override {
    for (const std::wstring& name : {path, path + L".tmp"}) DeleteFileW(name.c_str());
    RemoveDirectoryW(folder.c_str());
  }

  void write_file(const std::string& bytes) const {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }

  // The file's bytes, or "<missing>".
  std::string file_bytes(const std::wstring& name) const {
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[256];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
  }
  std::string file_bytes() const { return file_bytes(path); }

  std::wstring folder;
  std::wstring path;
};

TEST_F(zoom_test, reads_the_stored_factor_or_zero) {
  const struct {
    const char* what;
    std::string bytes;
    double expected;
  } cases[] = {
      {"as written", "1.2500", 1.25},
      {"lower bound", "0.2500", 0.25},
      {"upper bound", "5.0000", 5.0},
      {"one digit", "3", 3.0},
      {"line end after the number", "3\n", 3.0},
      {"CR LF after the number", "2.5\r\n", 2.5},
      {"leading white space", " \t\n1.5", 1.5},
      {"explicit plus sign", "+2", 2.0},
      {"exponent", "1.5e0", 1.5},
      {"negative exponent", "250e-2", 2.5},
      {"exponent without digits ends the number", "2e+", 2.0},
      {"many digits", "1.00000000000000000000000000001", 1.0},
      {"trailing text", "2.0 zoom", 2.0},
      {"comma is no decimal separator", "1,75", 1.0},
      {"below range", "0.1", 0},
      {"just below range", "0.2499", 0},
      {"above range", "7", 0},
      {"just above range", "5.0001", 0},
      {"negative", "-1.5", 0},
      {"empty", "", 0},
      {"letters", "abc", 0},
      {"a lone point", ".", 0},
      {"not a number", "nan", 0},
      {"infinity", "inf", 0},
      {"NUL before the number",
       std::string("\0"
                   "2",
                   2),
       0},
      {"31 bytes are read: the digit at byte 31 counts", std::string(30, ' ') + "4" + "9", 4.0},
      {"31 bytes are read: a number from byte 32 on is not seen", std::string(31, ' ') + "2.0", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(c.bytes);
    EXPECT_EQ(read_zoom_file(path), c.expected);
  }
}

TEST_F(zoom_test, missing_file_or_empty_path_reads_as_zero) {
  EXPECT_EQ(read_zoom_file(path), 0);
  EXPECT_EQ(read_zoom_file(L""), 0);
}

TEST_F(zoom_test, writes_four_decimals_for_factors_in_range) {
  const struct {
    double factor;
    const char* bytes;
  } cases[] = {
      {1.0, "1.0000"},
      {5.0, "5.0000"},
      {0.25, "0.2500"},
      {1.25, "1.2500"},
      {2.0 / 3.0, "0.6667"},
      {1.23456, "1.2346"},
      {4.99999, "5.0000"},
      {1.1, "1.1000"},
      {1.03125, "1.0312"},  // exactly halfway: ties go to the even digit
      {1.09375, "1.0938"},  // exactly halfway, odd neighbour below
      {0.30000000000000004, "0.3000"},
      {1.00005, "1.0001"},  // 1.00005 lies just above half
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    save_zoom(path, c.factor);
    EXPECT_EQ(file_bytes(), c.bytes);
    EXPECT_EQ(file_bytes(path + L".tmp"), "<missing>");
  }
}

TEST_F(zoom_test, saved_factor_reads_back) {
  save_zoom(path, 1.75);
  EXPECT_EQ(read_zoom_file(path), 1.75);
}

TEST_F(zoom_test, out_of_range_factor_leaves_the_old_file) {
  write_file("1.5000");
  for (const double factor : {5.01, 0.2, 0.0, -1.0, 1e300}) save_zoom(path, factor);
  save_zoom(path, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(file_bytes(), "1.5000");
}

TEST_F(zoom_test, replaces_longer_content_whole) {
  write_file("3.0000 and a long tail that must go");
  save_zoom(path, 2.0);
  EXPECT_EQ(file_bytes(), "2.0000");
}

TEST_F(zoom_test, format_ignores_the_c_locale) {
  // A locale with a decimal comma, where the runtime offers one; the "C" locale otherwise, where
  // the test still checks the plain format.
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const bool comma_locale = std::setlocale(LC_ALL, "de-DE") || std::setlocale(LC_ALL, "German");
  save_zoom(path, 1.5);
  const double read = read_zoom_file(path);
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(file_bytes(), "1.5000") << (comma_locale ? "comma locale" : "no comma locale");
  EXPECT_EQ(read, 1.5);
}

TEST_F(zoom_test, empty_path_or_missing_folder_writes_nothing) {
  save_zoom(L"", 1.0);
  const std::wstring elsewhere = folder + L"\\absent\\zoom.txt";
  save_zoom(elsewhere, 1.0);
  EXPECT_EQ(file_bytes(elsewhere), "<missing>");
  EXPECT_EQ(file_bytes(elsewhere + L".tmp"), "<missing>");
}

TEST_F(zoom_test, unreplaceable_file_keeps_its_content_and_leaves_no_temporary_file) {
  write_file("1.5000");
  // Held open without delete sharing, the file cannot be replaced.
  const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  save_zoom(path, 2.0);
  CloseHandle(held);
  EXPECT_EQ(file_bytes(), "1.5000");
  EXPECT_EQ(file_bytes(path + L".tmp"), "<missing>");
}

TEST_F(zoom_test, stale_temporary_file_is_overwritten) {
  const HANDLE stale = CreateFileW((path + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(stale, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(stale, "garbage-garbage", 15, &written, nullptr);
  CloseHandle(stale);
  save_zoom(path, 3.0);
  EXPECT_EQ(file_bytes(), "3.0000");
  EXPECT_EQ(file_bytes(path + L".tmp"), "<missing>");
}

// The watcher.

TEST_F(zoom_test, watcher_saves_the_senders_factor) {
  auto* watch = new zoom_watch(path);
  fake_controller controller;
  controller.zoom_factor = 1.25;
  EXPECT_EQ(watch->Invoke(&controller, nullptr), S_OK);
  EXPECT_EQ(file_bytes(), "1.2500");
  EXPECT_EQ(controller.zoom_factors_put, std::vector<double>{1.25})
      << "set back, so that the next navigation keeps it";
  controller.zoom_factor = 9.0;
  EXPECT_EQ(watch->Invoke(&controller, nullptr), S_OK);
  EXPECT_EQ(file_bytes(), "1.2500");
  EXPECT_EQ(watch->Release(), 0u);
}

TEST_F(zoom_test, watcher_skips_the_save_without_a_readable_factor) {
  auto* watch = new zoom_watch(path);
  fake_controller failing;
  failing.zoom_result = E_FAIL;
  failing.zoom_factor = 2.0;
  EXPECT_EQ(watch->Invoke(&failing, nullptr), S_OK);
  EXPECT_EQ(watch->Invoke(nullptr, nullptr), S_OK);
  EXPECT_EQ(file_bytes(), "<missing>");
  watch->Release();
}

TEST(zoom_watch_identity, answers_iunknown_and_its_interface) {
  auto* watch = new zoom_watch(L"unused");
  EXPECT_EQ(watch->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  void* out = nullptr;
  ASSERT_EQ(watch->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<ICoreWebView2ZoomFactorChangedEventHandler*>(watch));
  out = nullptr;
  ASSERT_EQ(watch->QueryInterface(IID_ICoreWebView2ZoomFactorChangedEventHandler, &out), S_OK);
  EXPECT_EQ(out, static_cast<ICoreWebView2ZoomFactorChangedEventHandler*>(watch));
  out = watch;
  EXPECT_EQ(
      watch->QueryInterface(IID_ICoreWebView2ContainsFullScreenElementChangedEventHandler, &out),
      E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(watch->AddRef(), 4u);
  EXPECT_EQ(watch->Release(), 3u);
  EXPECT_EQ(watch->Release(), 2u);
  EXPECT_EQ(watch->Release(), 1u);
  EXPECT_EQ(watch->Release(), 0u);
}

}  // namespace
}  // namespace webview::detail
