#include "util/loaded_library.h"

#include <string>
#include <utility>

#include "util/module_path.h"

namespace webview::detail {

namespace {

// The LOAD_LIBRARY_SEARCH_* flags exist where AddDllDirectory does (Windows 8, or Windows 7
// with KB2533623); this is the detection Microsoft documents for them.
bool search_flags_supported() noexcept {
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  return kernel32 != nullptr && GetProcAddress(kernel32, "AddDllDirectory") != nullptr;
}

std::wstring executable_folder() {
  const std::wstring path = executable_path();
  const auto separator = path.find_last_of(L'\\');
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring system_folder() {
  const UINT length = GetSystemDirectoryW(nullptr, 0);
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  const UINT written = GetSystemDirectoryW(path.data(), length);
  if (written == 0 || written >= length) return {};
  path.resize(written);
  return path + L'\\';
}

// A drive path ("C:\\...") or a UNC path ("\\\\server\\...").
bool is_full_path(const wchar_t* name) {
  if (name[0] == L'\\' && name[1] == L'\\') return true;
  return name[0] != L'\0' && name[1] == L':' && (name[2] == L'\\' || name[2] == L'/');
}

HMODULE load_from(const std::wstring& folder, const wchar_t* name) {
  if (folder.empty()) return nullptr;
  return LoadLibraryExW((folder + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Without the search flags, full paths built by hand keep the current directory and PATH out.
HMODULE load_without_search_flags(const wchar_t* name, library_search search) {
  switch (search) {
    case library_search::system_folder:
      return load_from(system_folder(), name);
    case library_search::application_or_system:
      if (HMODULE module = load_from(executable_folder(), name)) return module;
      return load_from(system_folder(), name);
    case library_search::full_path:
      return is_full_path(name) ? LoadLibraryExW(name, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                                : nullptr;
  }
  return nullptr;
}

DWORD search_flags(library_search search) {
  switch (search) {
    case library_search::system_folder:
      return LOAD_LIBRARY_SEARCH_SYSTEM32;
    case library_search::application_or_system:
      return LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    case library_search::full_path:
      // A relative name fails here rather than being searched for.
      return LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
  }
  return LOAD_LIBRARY_SEARCH_SYSTEM32;
}

}  // namespace

loaded_library::loaded_library(const wchar_t* name, library_search search) noexcept {
  if (name == nullptr || *name == L'\0') return;
  try {
    module_ = search_flags_supported() ? LoadLibraryExW(name, nullptr, search_flags(search))
                                       : load_without_search_flags(name, search);
  } catch (...) {
    module_ = nullptr;
  }
}

loaded_library::~loaded_library() {
  if (module_ != nullptr) FreeLibrary(module_);
}

loaded_library::loaded_library(loaded_library&& other) noexcept
    : module_(std::exchange(other.module_, nullptr)) {}

loaded_library& loaded_library::operator=(loaded_library&& other) noexcept {
  if (this != &other) {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = std::exchange(other.module_, nullptr);
  }
  return *this;
}

FARPROC loaded_library::get(const char* export_name) const noexcept {
  if (module_ == nullptr || export_name == nullptr) return nullptr;
  return GetProcAddress(module_, export_name);
}

HMODULE loaded_library::release() noexcept { return std::exchange(module_, nullptr); }

}  // namespace webview::detail
