#include "app/start_failure.h"

#include "app/deployment.h"
#include "engine/errors.h"
#include "util/number_text.h"

namespace quendari {

start_failure_kind classify_start_failure(std::int32_t code, HRESULT platform_code) {
  if (code == webview::error_canceled) return start_failure_kind::closed_by_user;
  if (code == webview::error_missing_dependency) return start_failure_kind::runtime_missing;
  // What creating the environment or the controller ended with; a setting's failure is the
  // browser's whatever its code.
  if (code != webview::error_invalid_state) return start_failure_kind::browser;
  switch (static_cast<std::uint32_t>(platform_code)) {
    case 0x80070002:  // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): the runtime's files are gone
    case 0x8007064E:  // HRESULT_FROM_WIN32(ERROR_PRODUCT_UNINSTALLED)
      return start_failure_kind::runtime_missing;
    case 0x80070005:  // E_ACCESSDENIED: the data folder cannot be created
    case 0x80070050:  // HRESULT_FROM_WIN32(ERROR_FILE_EXISTS): a file stands where it goes
    case 0x8000FFFF:  // E_UNEXPECTED: the runtime lacks permission on the folder
      return start_failure_kind::data_folder_unusable;
    default:
      return start_failure_kind::browser;
  }
}

std::wstring data_folder_failure_message(const std::wstring& folder, HRESULT failure) {
  std::wstring code = L"0x";
  webview::detail::append_hex(code, static_cast<std::uint32_t>(failure), 8);
  return std::wstring(product_name) + L" can't use its data folder:\n" + folder +
         L"\n\nCheck that you can write to it, then open " + product_name + L" again. (error " +
         code + L")";
}

}  // namespace quendari
