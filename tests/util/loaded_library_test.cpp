#include "util/loaded_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "tests/util/scratch_folder.h"

namespace webview::detail {
namespace {

namespace fs = std::filesystem;
using quendari_test::executable_folder;
using quendari_test::scratch_folder;

// A stand-in DLL built next to, but not beside, this executable. It exports
// "quendari_fixture_marker", which no system DLL does.
fs::path fixture_dll() {
  return executable_folder() / L"fixtures" / L"planted" / L"WebView2Loader.dll";
}

bool is_fixture(const loaded_library& library) {
  return library.get("quendari_fixture_marker") != nullptr;
}

bool module_loaded(const fs::path& path) { return GetModuleHandleW(path.c_str()) != nullptr; }

// Makes a folder current for the test's duration and restores the previous one.
class current_folder {
 public:
  explicit current_folder(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~current_folder() { fs::current_path(previous_); }
  current_folder(const current_folder&) = delete;
  current_folder& operator=(const current_folder&) = delete;

 private:
  fs::path previous_;
};

// A copy of the fixture under `name` at `folder`, deleted at the end.
class planted_copy {
 public:
  planted_copy(const fs::path& folder, const wchar_t* name) : path_(folder / name) {
    fs::copy_file(fixture_dll(), path_, fs::copy_options::overwrite_existing);
  }
  ~planted_copy() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  planted_copy(const planted_copy&) = delete;
  planted_copy& operator=(const planted_copy&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(loaded_library, library_that_failed_to_load_exports_nothing) {
  const loaded_library missing(L"quendari-no-such-library.dll",
                               library_search::application_or_system);
  EXPECT_FALSE(missing.is_loaded());
  EXPECT_EQ(missing.handle(), nullptr);
  EXPECT_EQ(missing.get("DllCanUnloadNow"), nullptr);
  const loaded_library empty;
  EXPECT_EQ(empty.get("DllCanUnloadNow"), nullptr);
  const loaded_library unnamed(nullptr, library_search::full_path);
  EXPECT_FALSE(unnamed.is_loaded());
}

TEST(loaded_library, system_library_by_bare_name) {
  const loaded_library version(L"version.dll", library_search::system_folder);
  ASSERT_TRUE(version.is_loaded());
  EXPECT_NE(version.get("GetFileVersionInfoSizeW"), nullptr);
  EXPECT_EQ(version.get("quendari_no_such_export"), nullptr);
}

TEST(loaded_library, full_path_loads_that_file_and_releases_it_once) {
  ASSERT_TRUE(fs::exists(fixture_dll()));
  {
    loaded_library target;
    {
      loaded_library source(fixture_dll().c_str(), library_search::full_path);
      ASSERT_TRUE(is_fixture(source));
      target = std::move(source);
      EXPECT_FALSE(source.is_loaded());
    }
    EXPECT_TRUE(module_loaded(fixture_dll()));
    const loaded_library constructed(std::move(target));
    EXPECT_TRUE(is_fixture(constructed));
  }
  EXPECT_FALSE(module_loaded(fixture_dll()));
}

TEST(loaded_library, release_leaves_the_module_loaded) {
  HMODULE module = nullptr;
  {
    loaded_library library(fixture_dll().c_str(), library_search::full_path);
    module = library.release();
    EXPECT_FALSE(library.is_loaded());
  }
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(module_loaded(fixture_dll()));
  FreeLibrary(module);
  EXPECT_FALSE(module_loaded(fixture_dll()));
}

TEST(loaded_library, planted_in_the_current_folder_or_on_path_is_not_loaded) {
  const scratch_folder folder(L"planted");
  const planted_copy in_current(folder.path(), L"WebView2Loader.dll");
  const current_folder current(folder.path());
  const std::wstring old_path = _wgetenv(L"PATH") ? _wgetenv(L"PATH") : L"";
  SetEnvironmentVariableW(L"PATH", (folder.path().wstring() + L";" + old_path).c_str());

  const loaded_library by_name(L"WebView2Loader.dll", library_search::application_or_system);
  const loaded_library relative(L"WebView2Loader.dll", library_search::full_path);
  SetEnvironmentVariableW(L"PATH", old_path.c_str());

  EXPECT_FALSE(by_name.is_loaded());
  EXPECT_FALSE(relative.is_loaded());
  EXPECT_FALSE(module_loaded(in_current.path()));
}

TEST(loaded_library, beside_the_executable_is_loaded) {
  const planted_copy beside(executable_folder(), L"WebView2Loader.dll");
  {
    const loaded_library library(L"WebView2Loader.dll", library_search::application_or_system);
    ASSERT_TRUE(is_fixture(library));
    EXPECT_EQ(GetModuleHandleW(beside.path().c_str()), library.handle());
  }
  EXPECT_FALSE(module_loaded(beside.path()));
}

TEST(loaded_library, system_library_planted_beside_the_executable_or_current_is_ignored) {
  // A module already in the process would be returned by name, whatever the search.
  ASSERT_EQ(GetModuleHandleW(L"dwmapi.dll"), nullptr);
  const scratch_folder folder(L"planted-system");
  const planted_copy in_current(folder.path(), L"dwmapi.dll");
  const planted_copy beside(executable_folder(), L"dwmapi.dll");
  const current_folder current(folder.path());

  const loaded_library dwmapi(L"dwmapi.dll", library_search::system_folder);
  ASSERT_TRUE(dwmapi.is_loaded());
  EXPECT_FALSE(is_fixture(dwmapi));
  EXPECT_NE(dwmapi.get("DwmSetWindowAttribute"), nullptr);
}

}  // namespace
}  // namespace webview::detail
