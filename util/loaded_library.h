// Owner of one module handle, released with FreeLibrary in the destructor. No internal locking:
// used on one thread at a time.
#pragma once

#include <windows.h>

namespace webview::detail {

// Where a library may come from. Neither place includes the current directory or PATH, so a
// DLL planted there is never loaded.
enum class library_search {
  system_folder,          // a system DLL by bare name: the system folder only
  application_or_system,  // a bare name: beside the executable, then the system folder
  // A full path: that file, with its dependencies from its own folder or the system folder. A
  // relative name is not loaded.
  full_path,
};

class loaded_library {
 public:
  loaded_library() noexcept = default;
  // Loads `name` from the places `search` allows; on any failure the library is not loaded.
  loaded_library(const wchar_t* name, library_search search) noexcept;
  ~loaded_library();
  loaded_library(const loaded_library&) = delete;
  loaded_library& operator=(const loaded_library&) = delete;
  loaded_library(loaded_library&& other) noexcept;
  loaded_library& operator=(loaded_library&& other) noexcept;

  bool is_loaded() const noexcept { return module_ != nullptr; }
  HMODULE handle() const noexcept { return module_; }
  // The export's address, null when not loaded (no lookup is made) or not exported. Callers
  // cast it to the export's documented signature.
  FARPROC get(const char* export_name) const noexcept;
  // get() cast to the export's signature `Function`, a function pointer type.
  template <typename Function>
  Function get_as(const char* export_name) const noexcept {
    // Through void (*)(), which GCC's -Wcast-function-type accepts as a generic function pointer.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(get(export_name)));
  }
  // Gives up ownership without freeing: the module stays loaded for the rest of the process.
  HMODULE release() noexcept;

 private:
  HMODULE module_ = nullptr;
};

}  // namespace webview::detail
