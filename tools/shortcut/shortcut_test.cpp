// The shortcut writer against the system's shell link, against a recording one, and the tool's
// exit codes.
#include "tools/shortcut/shortcut.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <propkey.h>
#include <propsys.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/util/scratch_folder.h"
#include "util/com_apartment_guard.h"
#include "util/com_ptr.h"

namespace webview::detail {
namespace {

using quendari_test::executable_folder;
using quendari_test::scratch_folder;

constexpr wchar_t app_id[] = L"Quendari.Desktop.Test";

bool running_under_wine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

struct link_fields {
  std::wstring path;
  std::wstring working_directory;
};

link_fields read_link(const std::wstring& link_path) {
  com_ptr<IShellLinkW> link;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(link.put())),
            S_OK);
  com_ptr<IPersistFile> file;
  EXPECT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())), S_OK);
  EXPECT_EQ(file->Load(link_path.c_str(), STGM_READ), S_OK);
  wchar_t path[MAX_PATH] = {};
  EXPECT_EQ(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH), S_OK);
  wchar_t folder[MAX_PATH] = {};
  EXPECT_EQ(link->GetWorkingDirectory(folder, MAX_PATH), S_OK);
  return {path, folder};
}

class shortcut_test : public ::testing::Test {
 protected:
  com_apartment_guard apartment_{COINIT_APARTMENTTHREADED};
  scratch_folder scratch_{L"shortcut"};
  // Real files as targets, since the shell link resolves the path it is given.
  const std::wstring folder_ = executable_folder().wstring();
  const std::wstring target_ = folder_ + L"\\quendari-shortcut.exe";
  const std::wstring other_target_ = folder_ + L"\\shortcut_test.exe";
  const std::wstring link_ = (scratch_.path() / L"Quendari.lnk").wstring();
};

TEST_F(shortcut_test, link_points_at_target_from_its_folder_with_app_id) {
  ASSERT_EQ(write_shortcut(link_, target_, app_id), S_OK);
  const link_fields fields = read_link(link_);
  EXPECT_EQ(CompareStringOrdinal(fields.path.c_str(), -1, target_.c_str(), -1, TRUE), CSTR_EQUAL)
      << fields.path;
  EXPECT_EQ(CompareStringOrdinal(fields.working_directory.c_str(), -1, folder_.c_str(), -1, TRUE),
            CSTR_EQUAL)
      << fields.working_directory;
  // Wine (8.0) differs from Windows here: its shell link's property store accepts SetValue and
  // Commit but keeps nothing (GetValue fails with E_NOTIMPL) and writes no property block into
  // the .lnk, so neither a read-back nor the file's bytes can show the ID. The recording link
  // below checks what is handed to the store instead.
  if (!running_under_wine()) {
    EXPECT_EQ(read_shortcut_app_id(link_), std::wstring(app_id));
  }
}

TEST_F(shortcut_test, replaces_an_existing_link) {
  ASSERT_EQ(write_shortcut(link_, other_target_, L"Quendari.Old"), S_OK);
  ASSERT_EQ(write_shortcut(link_, target_, app_id), S_OK);
  const link_fields fields = read_link(link_);
  EXPECT_EQ(CompareStringOrdinal(fields.path.c_str(), -1, target_.c_str(), -1, TRUE), CSTR_EQUAL)
      << fields.path;
  if (!running_under_wine()) {
    EXPECT_EQ(read_shortcut_app_id(link_), std::wstring(app_id));
  }
}

TEST_F(shortcut_test, missing_folder_fails_and_writes_nothing) {
  const std::filesystem::path link = scratch_.path() / L"missing" / L"Quendari.lnk";
  EXPECT_TRUE(FAILED(write_shortcut(link.wstring(), target_, app_id)));
  EXPECT_FALSE(std::filesystem::exists(link));
  EXPECT_EQ(read_shortcut_app_id(link.wstring()), std::nullopt);
}

TEST_F(shortcut_test, app_id_the_shell_would_refuse_is_rejected) {
  EXPECT_EQ(write_shortcut(link_, target_, L"Quendari Desktop"), E_INVALIDARG);
  EXPECT_EQ(write_shortcut(link_, target_, std::wstring(129, L'q')), E_INVALIDARG);
  EXPECT_FALSE(std::filesystem::exists(link_));
}

// A shell link that records what it is given, with a property store and a file interface.
class recording_link final : public IShellLinkW, public IPropertyStore, public IPersistFile {
 public:
  std::vector<std::wstring> calls;
  std::wstring path, working_directory, icon, saved_to, app_id;
  int icon_index = -1;
  VARTYPE app_id_type = VT_EMPTY;
  BOOL remember = FALSE;
  HRESULT set_value_result = S_OK;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (id == IID_IUnknown || id == IID_IShellLinkW) {
      *out = static_cast<IShellLinkW*>(this);
    } else if (id == IID_IPropertyStore) {
      *out = static_cast<IPropertyStore*>(this);
    } else if (id == IID_IPersistFile) {
      *out = static_cast<IPersistFile*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  // Lives on the test's stack: the counts are not used.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR value) override {
    calls.push_back(L"SetPath");
    path = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR value) override {
    working_directory = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR value, int index) override {
    icon = value;
    icon_index = index;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT value) override {
    calls.push_back(L"SetValue");
    if (IsEqualPropertyKey(key, PKEY_AppUserModel_ID)) {
      app_id_type = value.vt;
      if (value.vt == VT_LPWSTR && value.pwszVal) app_id = value.pwszVal;
    }
    return set_value_result;
  }
  HRESULT STDMETHODCALLTYPE Commit() override {
    calls.push_back(L"Commit");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Save(LPCOLESTR file, BOOL remember_file) override {
    calls.push_back(L"Save");
    saved_to = file;
    remember = remember_file;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetPath(LPWSTR, int, WIN32_FIND_DATAW*, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDList(LPITEMIDLIST*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetIDList(LPCITEMIDLIST) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetHotkey(WORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetShowCmd(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR, int, int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCount(DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAt(DWORD, PROPERTYKEY*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY, PROPVARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR*) override { return E_NOTIMPL; }
};

TEST(shortcut_recording_test, app_id_is_committed_as_a_string_before_the_file_is_saved) {
  recording_link link;
  ASSERT_EQ(
      write_shortcut(&link, L"C:\\Menu\\Quendari.lnk", L"C:\\Apps\\Quendari\\Quendari.exe", app_id),
      S_OK);
  EXPECT_EQ(link.calls, (std::vector<std::wstring>{L"SetPath", L"SetValue", L"Commit", L"Save"}));
  EXPECT_EQ(link.path, L"C:\\Apps\\Quendari\\Quendari.exe");
  EXPECT_EQ(link.working_directory, L"C:\\Apps\\Quendari");
  EXPECT_EQ(link.icon, L"C:\\Apps\\Quendari\\Quendari.exe");
  EXPECT_EQ(link.icon_index, 0);
  EXPECT_EQ(link.app_id_type, VT_LPWSTR);
  EXPECT_EQ(link.app_id, app_id);
  EXPECT_EQ(link.saved_to, L"C:\\Menu\\Quendari.lnk");
  EXPECT_TRUE(link.remember);
}

TEST(shortcut_recording_test, refused_app_id_leaves_the_file_unsaved) {
  recording_link link;
  link.set_value_result = E_ACCESSDENIED;
  EXPECT_EQ(write_shortcut(&link, L"C:\\Menu\\Quendari.lnk", L"C:\\Apps\\Quendari.exe", app_id),
            E_ACCESSDENIED);
  EXPECT_EQ(link.calls, (std::vector<std::wstring>{L"SetPath", L"SetValue"}));
}

DWORD run_tool(const std::wstring& arguments) {
  const std::wstring tool = executable_folder().wstring() + L"\\quendari-shortcut.exe";
  std::wstring command_line = L"\"" + tool + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(tool.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return GetLastError() | 0x80000000u;
  }
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST_F(shortcut_test, tool_exits_1_on_wrong_arguments_and_0_after_writing) {
  EXPECT_EQ(run_tool(L"\"" + link_ + L"\" \"" + target_ + L"\""), 1u);
  EXPECT_FALSE(std::filesystem::exists(link_));
  EXPECT_EQ(run_tool(L"\"" + link_ + L"\" \"" + target_ + L"\" " + app_id), 0u);
  EXPECT_TRUE(std::filesystem::exists(link_));
}

}  // namespace
}  // namespace webview::detail
