#include "loader/environment_creation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "loader/runtime_discovery.h"
#include "tests/loader/client_state_sandbox.h"
#include "tests/loader/fixtures/fixture_calls.h"
#include "tests/util/scratch_folder.h"

namespace webview::detail {
namespace {

namespace fs = std::filesystem;
using handler_type = ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;

constexpr HRESULT failed = static_cast<HRESULT>(-1);
constexpr wchar_t user_data_folder[] = L"C:\\users\\quendari\\AppData\\Roaming\\app.exe";

fs::path fixture(const wchar_t* variant, const wchar_t* name) {
  return quendari_test::executable_folder() / L"fixtures" / variant / name;
}

loaded_library loader(const wchar_t* variant) {
  return loaded_library(fixture(variant, L"WebView2Loader.dll").c_str(), library_search::full_path);
}

bool module_loaded(const fs::path& path) { return GetModuleHandleW(path.c_str()) != nullptr; }

// The client DLL stays loaded once its creation export ran: its objects and pending completions
// run its code. Checked, then freed, so that the next case starts clean.
bool kept_loaded_then_freed(const fs::path& path) {
  const HMODULE kept = GetModuleHandleW(path.c_str());
  if (kept) FreeLibrary(kept);
  return kept != nullptr && GetModuleHandleW(path.c_str()) == nullptr;
}

class environment_creation : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(fixture::calls_variable, nullptr);
    set_fixture_result(L"0x80070005");
  }
  void TearDown() override {
    SetEnvironmentVariableW(fixture::calls_variable, nullptr);
    SetEnvironmentVariableW(fixture::result_variable, nullptr);
  }

  static void set_fixture_result(const wchar_t* hr) {
    SetEnvironmentVariableW(fixture::result_variable, hr);
  }
  static std::wstring calls() { return fixture::read_variable(fixture::calls_variable); }

  // Installs a copy of a stand-in client DLL as <scratch>\120.0.2210.91\EBWebView\x64\... and
  // registers the version folder; returns the DLL's path.
  fs::path install_runtime(const wchar_t* client_variant, bool per_machine = true) {
    const fs::path version_folder = runtime_root_.path() / L"120.0.2210.91";
    const fs::path dll_folder = version_folder / L"EBWebView" / L"x64";
    fs::create_directories(dll_folder);
    if (client_variant != nullptr) {
      fs::copy_file(fixture(client_variant, L"EmbeddedBrowserWebView.dll"),
                    dll_folder / L"EmbeddedBrowserWebView.dll",
                    fs::copy_options::overwrite_existing);
    }
    sandbox_.write_folder(per_machine, version_folder.wstring());
    return dll_folder / L"EmbeddedBrowserWebView.dll";
  }

  std::wstring handler_text() const { return fixture::text_of(handler()); }
  handler_type* handler() const {
    return reinterpret_cast<handler_type*>(const_cast<int*>(&handler_stand_in_));
  }

  quendari_test::client_state_sandbox sandbox_;
  quendari_test::scratch_folder runtime_root_{L"runtime"};
  int handler_stand_in_ = 0;  // only its address is passed on; nothing calls it
};

struct availability_case {
  const wchar_t* loader_variant;  // null: no loader DLL
  const char* what;
  bool without_runtime;
  bool with_runtime;
  bool loader_asked;
};

const availability_case availability_cases[] = {
    {nullptr, "no loader: the registry decides", false, true, false},
    {L"loader_both", "loader's version export decides; registry unused", true, true, true},
    {L"loader_version_only", "loader's version export decides", true, true, true},
    {L"loader_create_only", "no version export: the registry decides", false, true, false},
    {L"loader_neither", "no export at all: the registry decides", false, true, false},
    {L"loader_null_version", "S_OK with a null version: unavailable", false, false, true},
    {L"loader_failing_version", "failure with a version: unavailable", false, false, true},
};

TEST_F(environment_creation, availability_decision_table) {
  for (const auto& c : availability_cases) {
    SCOPED_TRACE(c.what);
    const loaded_library module =
        c.loader_variant == nullptr ? loaded_library() : loader(c.loader_variant);
    ASSERT_EQ(module.is_loaded(), c.loader_variant != nullptr);
    const std::wstring asked = c.loader_asked ? L"loader_version(null);" : L"";

    quendari_test::client_state_sandbox nothing_installed;
    EXPECT_EQ(find_available_runtime(module).has_value(), c.without_runtime);
    EXPECT_EQ(calls(), asked);
    SetEnvironmentVariableW(fixture::calls_variable, nullptr);

    // A registry runtime that would make the built-in path answer "available".
    install_runtime(L"client_full");
    EXPECT_EQ(find_available_runtime(module).has_value(), c.with_runtime);
    EXPECT_EQ(calls(), asked);
    SetEnvironmentVariableW(fixture::calls_variable, nullptr);
  }
}

struct creation_case {
  const wchar_t* loader_variant;
  const char* what;
  bool through_loader;
};

const creation_case creation_cases[] = {
    {nullptr, "no loader: the runtime's client DLL", false},
    {L"loader_both", "loader with both exports", true},
    {L"loader_create_only", "loader with the creation export only", true},
    {L"loader_version_only", "loader without the creation export", false},
    {L"loader_neither", "loader without any export", false},
};

TEST_F(environment_creation, creation_path_table) {
  const fs::path client = install_runtime(L"client_full");
  const std::wstring arguments = std::wstring(user_data_folder) + L",0," + handler_text() + L");";
  for (const auto& c : creation_cases) {
    SCOPED_TRACE(c.what);
    const loaded_library module =
        c.loader_variant == nullptr ? loaded_library() : loader(c.loader_variant);
    // The creation's HRESULT comes back unchanged, failure or success.
    for (const wchar_t* hr : {L"0x80070005", L"0"}) {
      set_fixture_result(hr);
      SetEnvironmentVariableW(fixture::calls_variable, nullptr);
      EXPECT_EQ(create_environment(module, user_data_folder, handler()),
                static_cast<HRESULT>(std::wcstoul(hr, nullptr, 0)));
      EXPECT_EQ(calls(), c.through_loader ? L"loader_create(null," + arguments
                                          : L"internal_create(1,0," + arguments);
      if (c.through_loader) {
        EXPECT_FALSE(module_loaded(client)) << "the loader's path never loads the client DLL";
      } else {
        EXPECT_TRUE(kept_loaded_then_freed(client)) << "client DLL freed after the call";
      }
    }
  }
}

TEST_F(environment_creation, per_user_runtime_is_used_when_no_machine_runtime) {
  const fs::path client = install_runtime(L"client_full", false);
  EXPECT_TRUE(find_available_runtime(loaded_library()));
  EXPECT_EQ(create_environment(loaded_library(), user_data_folder, handler()),
            static_cast<HRESULT>(0x80070005));
  EXPECT_EQ(calls(), std::wstring(L"internal_create(1,0,") + user_data_folder + L",0," +
                         handler_text() + L");");
  EXPECT_TRUE(kept_loaded_then_freed(client));
}

TEST_F(environment_creation, explicit_folder_passes_source_1_and_the_options) {
  const quendari_test::scratch_folder browser(L"browser-folder");
  const fs::path dll_folder = browser.path() / L"EBWebView" / L"x64";
  fs::create_directories(dll_folder);
  fs::copy_file(fixture(L"client_full", L"EmbeddedBrowserWebView.dll"),
                dll_folder / L"EmbeddedBrowserWebView.dll");
  int options_stand_in = 0;
  auto* options = reinterpret_cast<ICoreWebView2EnvironmentOptions*>(&options_stand_in);

  set_fixture_result(L"0");
  EXPECT_EQ(builtin_create_environment_with_options(browser.path().c_str(), user_data_folder,
                                                    options, handler()),
            S_OK);
  EXPECT_EQ(calls(), std::wstring(L"internal_create(1,1,") + user_data_folder + L"," +
                         fixture::text_of(options) + L"," + handler_text() + L");");
  EXPECT_TRUE(kept_loaded_then_freed(dll_folder / L"EmbeddedBrowserWebView.dll"));
}

TEST_F(environment_creation, no_runtime_fails_without_loading_anything) {
  EXPECT_FALSE(find_available_runtime(loaded_library()));
  EXPECT_EQ(create_environment(loaded_library(), user_data_folder, handler()), failed);
  EXPECT_EQ(calls(), L"");
}

TEST_F(environment_creation, registered_folder_without_client_dll_is_no_runtime) {
  install_runtime(nullptr);
  EXPECT_FALSE(find_available_runtime(loaded_library())) << "a stale entry means: install one";
  // Every attempt of the caller's retry budget fails the same way.
  for (int attempt = 0; attempt < 5; ++attempt) {
    EXPECT_EQ(create_environment(loaded_library(), user_data_folder, handler()), failed);
  }
  EXPECT_EQ(calls(), L"");
}

struct missing_export_case {
  const wchar_t* client_variant;
  const char* what;
  const wchar_t* expected_calls;
  bool stays_loaded;
};

const missing_export_case missing_export_cases[] = {
    {L"client_unload_ok", "DllCanUnloadNow says S_OK: released", L"can_unload_now;", false},
    {L"client_busy", "DllCanUnloadNow says S_FALSE: left loaded", L"can_unload_now;", true},
    {L"client_bare", "no DllCanUnloadNow either: released", L"", false},
};

TEST_F(environment_creation, client_dll_without_creation_export_table) {
  for (const auto& c : missing_export_cases) {
    SCOPED_TRACE(c.what);
    SetEnvironmentVariableW(fixture::calls_variable, nullptr);
    quendari_test::scratch_folder root(L"client-missing-export");
    const fs::path dll_folder = root.path() / L"EBWebView" / L"x64";
    fs::create_directories(dll_folder);
    const fs::path dll = dll_folder / L"EmbeddedBrowserWebView.dll";
    fs::copy_file(fixture(c.client_variant, L"EmbeddedBrowserWebView.dll"), dll);

    EXPECT_EQ(builtin_create_environment_with_options(root.path().c_str(), user_data_folder,
                                                      nullptr, handler()),
              failed);
    EXPECT_EQ(calls(), c.expected_calls);
    EXPECT_EQ(module_loaded(dll), c.stays_loaded);
    if (HMODULE left = GetModuleHandleW(dll.c_str())) FreeLibrary(left);
  }
}

}  // namespace
}  // namespace webview::detail
