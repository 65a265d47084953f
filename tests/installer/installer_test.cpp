// The setup program end to end, silent (/S), in a prefix of its own: install, the installed
// Quendari against the stand-in runtime, a refused and a done upgrade over a running Quendari,
// and the uninstall. The tests build on each other and run in the order written.
#include <windows.h>
// After windows.h, which they build on.
#include <gtest/gtest.h>
#include <knownfolders.h>
#include <objbase.h>
#include <propkey.h>
#include <propsys.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "tests/app/quendari_run.h"
#include "tests/support/standin_runtime.h"
#include "tests/support/test_process.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t uninstall_key[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quendari";

std::wstring setup_path() {
  const wchar_t* path = _wgetenv(L"QUENDARI_SETUP");
  return path ? path : L"";
}

std::wstring known_folder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

std::wstring install_folder() {
  return known_folder(FOLDERID_LocalAppData) + L"\\Programs\\Quendari";
}
std::wstring installed_exe() { return install_folder() + L"\\Quendari.exe"; }
std::wstring shortcut_path() { return known_folder(FOLDERID_Programs) + L"\\Quendari.lnk"; }

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::wstring> entry_string(const wchar_t* name) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(HKEY_CURRENT_USER, uninstall_key, name, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(data);
}

std::optional<DWORD> entry_dword(const wchar_t* name) {
  DWORD data = 0;
  DWORD size = sizeof(data);
  if (RegGetValueW(HKEY_CURRENT_USER, uninstall_key, name, RRF_RT_REG_DWORD, nullptr, &data,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return data;
}

bool set_entry_string(const wchar_t* name, const std::wstring& value) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, uninstall_key, name, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Runs the setup silently; its exit code, or STILL_ACTIVE when it did not finish.
DWORD run_setup() {
  child_process setup(L"\"" + setup_path() + L"\" /S");
  return setup.wait(120s);
}

// A write time no build produces, to tell the installed file from a replaced one.
FILETIME old_time() {
  const SYSTEMTIME day{2001, 3, 4, 1, 0, 0, 0, 0};
  FILETIME time{};
  SystemTimeToFileTime(&day, &time);
  return time;
}

bool set_write_time(const std::wstring& path, const FILETIME& time) {
  const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool done = SetFileTime(file, nullptr, nullptr, &time) != FALSE;
  CloseHandle(file);
  return done;
}

bool has_old_time(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  const FILETIME old = old_time();
  return CompareFileTime(&data.ftLastWriteTime, &old) == 0;
}

struct shortcut_facts {
  std::wstring target;
  std::optional<std::wstring> app_id;
};

// Reads the link through the shell's own interfaces, as the taskbar does.
shortcut_facts read_shortcut(const std::wstring& path) {
  shortcut_facts facts;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      wchar_t target[MAX_PATH] = {};
      if (SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0))) facts.target = target;
      IPropertyStore* store = nullptr;
      if (SUCCEEDED(link->QueryInterface(IID_IPropertyStore, reinterpret_cast<void**>(&store)))) {
        PROPVARIANT value;
        PropVariantInit(&value);
        if (SUCCEEDED(store->GetValue(PKEY_AppUserModel_ID, &value)) && value.vt == VT_LPWSTR) {
          facts.app_id = value.pwszVal;
        }
        PropVariantClear(&value);
        store->Release();
      }
    }
    if (file) file->Release();
    link->Release();
  }
  CoUninitialize();
  return facts;
}

// Whether shell links here keep an AppUserModelID at all: a probe link written through the
// same interfaces the shortcut tool uses. Wine (8.x) accepts the value but does not save it in
// the .lnk, so there the installed shortcut's ID cannot be checked; Windows keeps it.
bool shell_links_keep_app_ids() {
  const std::wstring probe = known_folder(FOLDERID_LocalAppData) + L"\\app_id_probe.lnk";
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    link->SetPath(L"C:\\windows\\notepad.exe");
    IPropertyStore* store = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPropertyStore, reinterpret_cast<void**>(&store))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      PROPVARIANT value{};
      value.vt = VT_LPWSTR;
      value.pwszVal = const_cast<wchar_t*>(L"probe.app.id");
      store->SetValue(PKEY_AppUserModel_ID, value);
      store->Commit();
      file->Save(probe.c_str(), TRUE);
    }
    if (file) file->Release();
    if (store) store->Release();
    link->Release();
  }
  CoUninitialize();
  const bool kept = read_shortcut(probe).app_id == L"probe.app.id";
  DeleteFileW(probe.c_str());
  return kept;
}

// A window that looks like Quendari's main window but will not close, on a thread of its own.
class stubborn_window {
 public:
  stubborn_window() {
    thread_ = std::thread([this] {
      WNDCLASSW window_class{};
      window_class.lpfnWndProc = [](HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam) -> LRESULT {
        if (message == WM_CLOSE) {
          ++closes_asked();
          return 0;
        }
        return DefWindowProcW(window, message, wparam, lparam);
      };
      window_class.hInstance = GetModuleHandleW(nullptr);
      window_class.lpszClassName = L"webview";
      RegisterClassW(&window_class);
      window_ = CreateWindowExW(0, L"webview", L"Quendari", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                nullptr, nullptr, window_class.hInstance, nullptr);
      thread_id_ = GetCurrentThreadId();
      ready_ = true;
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
      DestroyWindow(window_);
    });
    while (!ready_) std::this_thread::sleep_for(10ms);
  }
  ~stubborn_window() {
    PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
    thread_.join();
  }
  static std::atomic<int>& closes_asked() {
    static std::atomic<int> count{0};
    return count;
  }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false};
  DWORD thread_id_ = 0;
  HWND window_ = nullptr;
};

TEST(installer, silent_install_places_program_shortcut_and_uninstall_entry) {
  ASSERT_FALSE(setup_path().empty()) << "QUENDARI_SETUP names the setup program";
  ASSERT_FALSE(entry_string(L"DisplayName")) << "the prefix must be fresh";

  ASSERT_EQ(run_setup(), 0u);

  EXPECT_TRUE(exists(installed_exe()));
  EXPECT_TRUE(exists(install_folder() + L"\\Uninstall.exe"));
  ASSERT_TRUE(exists(shortcut_path()));
  const shortcut_facts shortcut = read_shortcut(shortcut_path());
  EXPECT_EQ(_wcsicmp(shortcut.target.c_str(), installed_exe().c_str()), 0) << shortcut.target;
  if (shell_links_keep_app_ids()) {
    EXPECT_EQ(shortcut.app_id.value_or(L"(none)"), L"art.quendari.app");
  } else {
    std::cout
        << "note: shell links here drop AppUserModelIDs (Wine); the shortcut's is unchecked\n";
  }

  const std::wstring uninstaller = L"\"" + install_folder() + L"\\Uninstall.exe\"";
  EXPECT_EQ(entry_string(L"DisplayName"), L"Quendari");
  EXPECT_EQ(entry_string(L"DisplayVersion"), QUENDARI_TEST_VERSION);
  EXPECT_EQ(entry_string(L"Publisher"), L"Quendari");
  EXPECT_EQ(entry_string(L"DisplayIcon"), installed_exe());
  EXPECT_EQ(entry_string(L"InstallLocation"), install_folder());
  EXPECT_EQ(entry_string(L"UninstallString"), uninstaller);
  EXPECT_EQ(entry_string(L"QuietUninstallString"), uninstaller + L" /S");
  EXPECT_EQ(entry_dword(L"NoModify"), 1u);
  EXPECT_EQ(entry_dword(L"NoRepair"), 1u);
  // Kilobytes: at least the program itself, far less than a gigabyte.
  WIN32_FILE_ATTRIBUTE_DATA exe{};
  ASSERT_TRUE(GetFileAttributesExW(installed_exe().c_str(), GetFileExInfoStandard, &exe));
  const std::optional<DWORD> size = entry_dword(L"EstimatedSize");
  ASSERT_TRUE(size);
  EXPECT_GE(*size, exe.nFileSizeLow / 1024);
  EXPECT_LT(*size, 1024u * 1024u);
}

TEST(installer, installed_quendari_starts_against_the_runtime) {
  const scoped_standin_runtime runtime;
  quendari_run run("installed", "after-navigate 1500 close\n", installed_exe());
  EXPECT_EQ(run.wait(), 0u);
  EXPECT_GE(find_call(run.calls(), "Navigate"), 0);
}

TEST(installer, setup_changes_nothing_when_quendari_does_not_close) {
  ASSERT_TRUE(set_entry_string(L"DisplayVersion", L"0.0.1"));
  ASSERT_TRUE(set_write_time(installed_exe(), old_time()));
  {
    const stubborn_window window;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(run_setup(), 2u);
    // It waited for the window rather than giving up at once.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 9s);
    EXPECT_GE(stubborn_window::closes_asked().load(), 1);
  }
  EXPECT_EQ(entry_string(L"DisplayVersion"), L"0.0.1");
  EXPECT_TRUE(has_old_time(installed_exe()));
}

TEST(installer, upgrade_closes_running_quendari_and_keeps_its_data) {
  const std::wstring data = quendari_user_data_folder();
  DeleteFileW((data + L"\\zoom.txt").c_str());
  DeleteFileW((data + L"\\window.txt").c_str());
  ASSERT_TRUE(set_entry_string(L"DisplayVersion", L"0.0.1"));
  ASSERT_TRUE(set_write_time(installed_exe(), old_time()));

  const scoped_standin_runtime runtime;
  quendari_run run("before_upgrade", "after-navigate 300 zoom 1.25\n", installed_exe());
  ASSERT_TRUE(run.main_window());
  std::this_thread::sleep_for(1500ms);  // past the zoom

  ASSERT_EQ(run_setup(), 0u);
  EXPECT_EQ(run.wait(10s), 0u) << "Quendari closed by WM_CLOSE exits 0";
  EXPECT_EQ(entry_string(L"DisplayVersion"), QUENDARI_TEST_VERSION);
  EXPECT_FALSE(has_old_time(installed_exe())) << "the program was replaced";
  EXPECT_NE(read_text_file(data + L"\\zoom.txt").find(L"1.25"), std::wstring::npos);
  EXPECT_FALSE(read_text_file(data + L"\\window.txt").empty());
}

TEST(installer, silent_uninstall_removes_program_and_keeps_user_data) {
  const std::optional<std::wstring> command = entry_string(L"QuietUninstallString");
  ASSERT_TRUE(command);
  const wchar_t run_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::wstring at_sign_in = L"\"" + install_folder() + L"\\Quendari.exe\" --background";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, run_key, L"Quendari", REG_SZ, at_sign_in.c_str(),
                            static_cast<DWORD>((at_sign_in.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  child_process uninstaller(*command);
  ASSERT_TRUE(uninstaller.started());
  EXPECT_EQ(uninstaller.wait(60s), 0u);
  // The uninstaller hands over to a copy of itself in the temporary folder and returns at once;
  // the uninstall entry goes last.
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (entry_string(L"DisplayName") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_FALSE(entry_string(L"DisplayName"));
  EXPECT_FALSE(exists(shortcut_path()));
  EXPECT_FALSE(exists(install_folder()));
  EXPECT_EQ(
      RegGetValueW(HKEY_CURRENT_USER, run_key, L"Quendari", RRF_RT_ANY, nullptr, nullptr, nullptr),
      ERROR_FILE_NOT_FOUND);
  const std::wstring data = quendari_user_data_folder();
  EXPECT_TRUE(exists(data + L"\\zoom.txt"));
  EXPECT_TRUE(exists(data + L"\\window.txt"));
}

}  // namespace
}  // namespace quendari_test
