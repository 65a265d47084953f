#include "loader/runtime_discovery.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <filesystem>
#include <string>

#include "tests/loader/client_state_sandbox.h"
#include "tests/util/scratch_folder.h"

namespace webview::detail {
namespace {

namespace fs = std::filesystem;
using quendari_test::bytes;
using quendari_test::registry_string;
using quendari_test::utf16_bytes;

constexpr wchar_t client_suffix[] = L"\\EBWebView\\x64\\EmbeddedBrowserWebView.dll";
const std::wstring install_root = L"C:\\Program Files (x86)\\Microsoft\\EdgeWebView\\Application\\";

struct version_case {
  const wchar_t* text;
  const char* what;
  runtime_version expected;
};

const version_case version_cases[] = {
    {L"120.0.2210.91", "four parts", {120, 0, 2210, 91}},
    {L"86.0.616.0", "an old runtime", {86, 0, 616, 0}},
    {L"120..2210.5", "empty minor", {120, 0, 2210, 5}},
    {L"120.0.2210", "three parts: no patch", {120, 0, 2210, 0}},
    {L"120", "no dot: major only", {120, 0, 0, 0}},
    {L"", "empty text", {0, 0, 0, 0}},
    {L"...", "dots only", {0, 0, 0, 0}},
    {L"1.2.3.", "dot at the end: patch 0", {1, 2, 3, 0}},
    {L"1.2.3.4.5", "text after a fourth dot ignored", {1, 2, 3, 4}},
    {L"120.0.x.5", "letter for a part", {120, 0, 0, 5}},
    {L"120.0.-5.1", "negative part", {120, 0, 0, 1}},
    {L"120.0.--5.1", "two signs", {120, 0, 0, 1}},
    {L"120.0.+2210.1", "plus sign accepted", {120, 0, 2210, 1}},
    {L"120.0. \t2210.1", "leading white space skipped", {120, 0, 2210, 1}},
    {L"120.0.2210 .1", "trailing space ignored", {120, 0, 2210, 1}},
    {L"120.0.2210abc.1", "trailing garbage ignored", {120, 0, 2210, 1}},
    {L"120.0.0x4A0.1", "hexadecimal is not read: 0, then garbage", {120, 0, 0, 1}},
    {L"120.0.2147483647.1", "largest signed 32-bit number", {120, 0, 2147483647u, 1}},
    {L"120.0.2147483648.1", "one past it: out of range, 0", {120, 0, 0, 1}},
    {L"120.0.99999999999.1", "far out of range", {120, 0, 0, 1}},
    {L"120.0.99999999999999999999999999.1", "beyond 64 bits", {120, 0, 0, 1}},
    {L"120.0.-99999999999.1", "negative out of range", {120, 0, 0, 1}},
    {L"120.0.\xFF12\xFF12\xFF11\xFF10.1", "full-width digits are not digits", {120, 0, 0, 1}},
    {L" 1 . 2 . 3 . 4 ", "spaces around every part", {1, 2, 3, 4}},
};

TEST(parse_runtime_version, table) {
  for (const auto& c : version_cases) {
    SCOPED_TRACE(c.what);
    const runtime_version v = parse_runtime_version(c.text);
    EXPECT_EQ(v.major, c.expected.major);
    EXPECT_EQ(v.minor, c.expected.minor);
    EXPECT_EQ(v.build, c.expected.build);
    EXPECT_EQ(v.patch, c.expected.patch);
  }
}

TEST(client_dll_path_for, separator_added_only_when_missing) {
  EXPECT_EQ(client_dll_path_for(L"C:\\rt\\120.0.2210.91"),
            std::wstring(L"C:\\rt\\120.0.2210.91") + client_suffix);
  EXPECT_EQ(client_dll_path_for(L"C:\\rt\\"),
            L"C:\\rt\\EBWebView\\x64\\EmbeddedBrowserWebView.dll");
  EXPECT_EQ(client_dll_path_for(L"C:/rt/"), L"C:/rt/EBWebView\\x64\\EmbeddedBrowserWebView.dll");
  EXPECT_EQ(client_dll_path_for(L""), L"EBWebView\\x64\\EmbeddedBrowserWebView.dll");
}

class registry_discovery : public ::testing::Test {
 protected:
  quendari_test::client_state_sandbox sandbox_;
};

struct registry_case {
  const char* what;
  DWORD type;
  bytes data;
  const wchar_t* version;  // null: not found
};

const std::wstring good_folder = install_root + L"120.0.2210.91";

bytes odd_bytes() {
  bytes data = utf16_bytes(good_folder);
  data.push_back('\\');
  return data;
}

// Unterminated and odd-sized data goes in as REG_BINARY (the type is not checked): Wine's
// RegSetValueExW appends a terminator to REG_SZ data, where Windows stores the bytes as given.
const registry_case registry_cases[] = {
    {"folder with a terminator", REG_SZ, registry_string(good_folder), L"120.0.2210.91"},
    {"folder without a terminator", REG_BINARY, utf16_bytes(good_folder), L"120.0.2210.91"},
    {"three trailing NULs", REG_SZ, utf16_bytes(good_folder + std::wstring(3, L'\0')),
     L"120.0.2210.91"},
    {"value ending in a backslash: empty version", REG_SZ, registry_string(good_folder + L"\\"),
     nullptr},
    {"no backslash at all", REG_SZ, registry_string(L"120.0.2210.91"), nullptr},
    {"slashes do not separate", REG_SZ, registry_string(L"C:/rt/120.0.2210.91"), nullptr},
    {"build 616 is too old", REG_SZ, registry_string(install_root + L"86.0.616.0"), nullptr},
    {"build 1149 is too old", REG_SZ, registry_string(install_root + L"120.0.1149.0"), nullptr},
    {"build 1150 is enough", REG_SZ, registry_string(install_root + L"120.0.1150.0"),
     L"120.0.1150.0"},
    {"only the build counts: 200.0.100.0 too old", REG_SZ,
     registry_string(install_root + L"200.0.100.0"), nullptr},
    {"only the build counts: 1.2.1150 enough", REG_SZ, registry_string(install_root + L"1.2.1150"),
     L"1.2.1150"},
    {"empty minor", REG_SZ, registry_string(install_root + L"120..2210.5"), L"120..2210.5"},
    {"three parts", REG_SZ, registry_string(install_root + L"120.0.2210"), L"120.0.2210"},
    {"letter build", REG_SZ, registry_string(install_root + L"120.0.x.5"), nullptr},
    {"negative build", REG_SZ, registry_string(install_root + L"120.0.-5.1"), nullptr},
    {"build beyond 32 bits", REG_SZ, registry_string(install_root + L"120.0.99999999999.1"),
     nullptr},
    {"garbage version", REG_SZ, registry_string(install_root + L"\x263A garbage"), nullptr},
    {"0-byte value", REG_SZ, {}, nullptr},
    {"1-byte value", REG_BINARY, {'1'}, nullptr},
    {"odd byte count", REG_BINARY, odd_bytes(), nullptr},
    {"REG_DWORD where a string is expected", REG_DWORD, {0x96, 0x08, 0, 0}, nullptr},
    {"a NUL inside the path would cut it short", REG_SZ,
     registry_string(std::wstring(L"C:\\planted\0\\", 12) + L"120.0.2210.91"), nullptr},
    {"very long folder", REG_SZ, registry_string(std::wstring(200000, L'a') + L"\\120.0.2210.91"),
     L"120.0.2210.91"},
};

TEST_F(registry_discovery, per_machine_value_table) {
  for (const auto& c : registry_cases) {
    SCOPED_TRACE(c.what);
    sandbox_.write(true, c.type, c.data);
    const runtime_install install = find_runtime_in_registry(true);
    if (c.version == nullptr) {
      EXPECT_FALSE(install.found);
      EXPECT_TRUE(install.client_dll_path.empty());
      EXPECT_TRUE(install.version.empty());
      continue;
    }
    EXPECT_TRUE(install.found);
    EXPECT_EQ(install.version, c.version);
    EXPECT_EQ(install.source, 0);
    std::wstring folder(reinterpret_cast<const wchar_t*>(c.data.data()), c.data.size() / 2);
    folder.erase(folder.find_last_not_of(L'\0') + 1);
    EXPECT_EQ(install.client_dll_path, folder + client_suffix);
  }
}

// A client DLL where a registry entry says the runtime is: an empty file will do.
void place_client_dll(const std::wstring& folder) {
  const fs::path dll = folder + client_suffix;
  fs::create_directories(dll.parent_path());
  HANDLE file = CreateFileW(dll.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

TEST_F(registry_discovery, per_user_install_is_found) {
  sandbox_.write_folder(false, install_root + L"121.0.2277.83");
  place_client_dll(install_root + L"121.0.2277.83");
  const runtime_install install = find_runtime(nullptr);
  EXPECT_TRUE(install.found);
  EXPECT_EQ(install.version, L"121.0.2277.83");
  EXPECT_EQ(install.client_dll_path, install_root + L"121.0.2277.83" + client_suffix);
  EXPECT_EQ(install.source, 0);
}

TEST_F(registry_discovery, machine_install_wins_over_user_install) {
  sandbox_.write_folder(true, install_root + L"120.0.2210.91");
  sandbox_.write_folder(false, install_root + L"121.0.2277.83");
  place_client_dll(install_root + L"120.0.2210.91");
  place_client_dll(install_root + L"121.0.2277.83");
  EXPECT_EQ(find_runtime(nullptr).version, L"120.0.2210.91");
}

TEST_F(registry_discovery, too_old_machine_install_lets_the_user_install_through) {
  sandbox_.write_folder(true, install_root + L"86.0.616.0");
  sandbox_.write_folder(false, install_root + L"121.0.2277.83");
  place_client_dll(install_root + L"86.0.616.0");
  place_client_dll(install_root + L"121.0.2277.83");
  EXPECT_EQ(find_runtime(nullptr).version, L"121.0.2277.83");
}

TEST_F(registry_discovery, stale_machine_entry_lets_the_user_install_through) {
  sandbox_.write_folder(true, install_root + L"122.0.2365.52");
  sandbox_.write_folder(false, install_root + L"121.0.2277.83");
  place_client_dll(install_root + L"121.0.2277.83");
  EXPECT_TRUE(find_runtime_in_registry(true).found) << "the entry itself reads well";
  EXPECT_EQ(find_runtime(nullptr).version, L"121.0.2277.83") << "but its folder has no DLL";
}

TEST_F(registry_discovery, machine_key_without_value_lets_the_user_install_through) {
  sandbox_.create_key(true);
  sandbox_.write_folder(false, install_root + L"121.0.2277.83");
  place_client_dll(install_root + L"121.0.2277.83");
  EXPECT_FALSE(find_runtime_in_registry(true).found);
  EXPECT_EQ(find_runtime(nullptr).version, L"121.0.2277.83");
}

TEST_F(registry_discovery, bad_user_value_after_missing_machine_key_is_not_found) {
  sandbox_.write(false, REG_DWORD, {1, 0, 0, 0});
  EXPECT_FALSE(find_runtime(nullptr).found);
}

TEST_F(registry_discovery, only_the_32_bit_view_is_read) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                      L"SOFTWARE\\Microsoft\\EdgeUpdate\\ClientState\\"
                      L"{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}",
                      0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  const bytes data = registry_string(good_folder);
  RegSetValueExW(key, L"EBWebView", 0, REG_SZ, data.data(), static_cast<DWORD>(data.size()));
  const bool found = find_runtime(nullptr).found;
  RegDeleteValueW(key, L"EBWebView");
  RegCloseKey(key);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE,
                  L"SOFTWARE\\Microsoft\\EdgeUpdate\\ClientState\\"
                  L"{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}",
                  KEY_WOW64_64KEY, 0);
  EXPECT_FALSE(found);
}

TEST_F(registry_discovery, nothing_installed_version_query_fails_and_leaves_output) {
  wchar_t sentinel[] = L"untouched";
  wchar_t* version = sentinel;
  EXPECT_EQ(builtin_get_available_browser_version_string(nullptr, &version),
            static_cast<HRESULT>(-1));
  EXPECT_EQ(version, sentinel);
}

TEST_F(registry_discovery, version_query_returns_a_task_memory_copy) {
  sandbox_.write_folder(true, good_folder);
  place_client_dll(good_folder);
  wchar_t* version = nullptr;
  ASSERT_EQ(builtin_get_available_browser_version_string(nullptr, &version), S_OK);
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version, L"120.0.2210.91");
  CoTaskMemFree(version);
}

TEST_F(registry_discovery, null_output_fails_even_with_a_runtime_installed) {
  sandbox_.write_folder(true, good_folder);
  EXPECT_EQ(builtin_get_available_browser_version_string(nullptr, nullptr),
            static_cast<HRESULT>(-1));
}

TEST_F(registry_discovery, explicit_folder_bypasses_the_registry) {
  sandbox_.write_folder(true, good_folder);
  EXPECT_FALSE(find_runtime(L"").found);
  EXPECT_FALSE(find_runtime(L"C:\\quendari-no-such-folder").found);
}

// The stand-in client DLLs carry a US-English version resource with their product version.
fs::path fixture(const wchar_t* variant, const wchar_t* name) {
  return quendari_test::executable_folder() / L"fixtures" / variant / name;
}

fs::path place_client(const fs::path& folder, const fs::path& dll) {
  const fs::path target = folder / L"EBWebView" / L"x64";
  fs::create_directories(target);
  fs::copy_file(dll, target / L"EmbeddedBrowserWebView.dll");
  return target / L"EmbeddedBrowserWebView.dll";
}

TEST(folder_discovery, product_version_of_the_client_dll_decides) {
  const quendari_test::scratch_folder folder(L"folder-discovery");
  const fs::path dll =
      place_client(folder.path(), fixture(L"client_full", L"EmbeddedBrowserWebView.dll"));
  EXPECT_EQ(file_product_version(dll.wstring()), L"120.0.2210.91");

  const runtime_install install = find_runtime(folder.path().c_str());
  EXPECT_TRUE(install.found);
  EXPECT_EQ(install.client_dll_path, dll.wstring());
  EXPECT_EQ(install.version, L"120.0.2210.91");
  EXPECT_EQ(install.source, 1);

  wchar_t* version = nullptr;
  ASSERT_EQ(builtin_get_available_browser_version_string(folder.path().c_str(), &version), S_OK);
  EXPECT_STREQ(version, L"120.0.2210.91");
  CoTaskMemFree(version);
}

TEST(folder_discovery, old_unversioned_or_missing_client_dll_is_not_found) {
  const quendari_test::scratch_folder old_runtime(L"folder-old");
  place_client(old_runtime.path(), fixture(L"client_old", L"EmbeddedBrowserWebView.dll"));
  EXPECT_FALSE(find_runtime_in_folder(old_runtime.path().wstring()).found);

  const quendari_test::scratch_folder unversioned(L"folder-unversioned");
  place_client(unversioned.path(), fixture(L"loader_neither", L"WebView2Loader.dll"));
  EXPECT_FALSE(find_runtime_in_folder(unversioned.path().wstring()).found);

  const quendari_test::scratch_folder empty(L"folder-empty");
  EXPECT_FALSE(find_runtime_in_folder(empty.path().wstring()).found);
  EXPECT_EQ(file_product_version(empty.path().wstring() + L"\\absent.dll"), L"");
}

}  // namespace
}  // namespace webview::detail
