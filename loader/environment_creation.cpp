#include "loader/environment_creation.h"

#include <utility>

#include "loader/runtime_discovery.h"
#include "util/diagnostic_log.h"
#include "util/task_memory_string.h"
#include "util/text_encoding.h"
#include "webview2/runtime_hresults.h"

namespace webview::detail {

std::optional<std::wstring> find_available_runtime(const loaded_library& loader_module,
                                                   std::optional<runtime_install>* found) {
  const auto loader_query = loader_module.get_as<get_available_browser_version_string_fn>(
      "GetAvailableCoreWebView2BrowserVersionString");
  if (loader_query == nullptr) {
    runtime_install install = find_runtime(nullptr);
    if (!install.found) return std::nullopt;
    std::wstring version = install.version;
    if (found) *found = std::move(install);
    return version;
  }
  task_memory_string version;
  const HRESULT hr = loader_query(nullptr, version.put());
  // A loader that reports success without a version has found nothing usable.
  if (FAILED(hr) || version.get() == nullptr) return std::nullopt;
  return std::wstring(version.get());
}

HRESULT create_environment(const loaded_library& loader_module, const wchar_t* user_data_folder,
                           ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler,
                           const runtime_install* found) {
  const auto loader_create = loader_module.get_as<create_environment_with_options_fn>(
      "CreateCoreWebView2EnvironmentWithOptions");
  if (loader_create != nullptr) {
    log_event("runtime: started through WebView2Loader.dll");
    return loader_create(nullptr, user_data_folder, nullptr, handler);
  }
  if (found) return builtin_create_environment_from(*found, user_data_folder, nullptr, handler);
  return builtin_create_environment_with_options(nullptr, user_data_folder, nullptr, handler);
}

HRESULT builtin_create_environment_with_options(
    const wchar_t* browser_folder, const wchar_t* user_data_folder,
    ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  return builtin_create_environment_from(find_runtime(browser_folder), user_data_folder, options,
                                         handler);
}

HRESULT builtin_create_environment_from(
    const runtime_install& install, const wchar_t* user_data_folder,
    ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  if (!install.found) return environment_not_started;
  log_event("runtime: " + utf16_to_utf8(install.client_dll_path));
  loaded_library client(install.client_dll_path.c_str(), library_search::full_path);
  if (!client.is_loaded()) return environment_not_started;

  const auto create = client.get_as<create_webview_environment_internal_fn>(
      "CreateWebViewEnvironmentWithOptionsInternal");
  if (create != nullptr) {
    const HRESULT started = create(true, install.source, user_data_folder, options, handler);
    // Never freed from here on: the browser objects and every pending completion run the DLL's
    // code, and it does not promise to keep itself loaded.
    client.release();
    return started;
  }
  const auto can_unload_now = client.get_as<dll_can_unload_now_fn>("DllCanUnloadNow");
  if (can_unload_now != nullptr && can_unload_now() != S_OK) {
    // The DLL reports that it is still in use; freeing it now could pull code from under it.
    client.release();
  }
  return environment_not_started;
}

}  // namespace webview::detail
