// What the user is told when Quendari cannot start, by the start's error: the runtime's download
// for a runtime that is missing, gone or incomplete, the data folder for one Quendari cannot
// write, nothing when the user closed the window first, the browser's error box otherwise.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace quendari {

enum class start_failure_kind { closed_by_user, runtime_missing, data_folder_unusable, browser };

// `code` is the engine's error code (error_invalid_state when the environment or the controller
// could not be created), `platform_code` the HRESULT that came with it.
start_failure_kind classify_start_failure(std::int32_t code, HRESULT platform_code);

// "<product> can't use its data folder:\n<folder>\n\nCheck that you can write to it, then open
// <product> again. (error 0x80070005)"
std::wstring data_folder_failure_message(const std::wstring& folder, HRESULT failure);

}  // namespace quendari
