// Where the browser keeps its profile: the user's roaming application-data folder, in it a
// folder named after the executable's file name. No part of these paths is limited to MAX_PATH.
#pragma once

#include <string>

namespace webview::detail {

// The user's roaming application-data folder; false when the shell cannot tell.
bool roaming_app_data_folder(std::wstring& folder);
// The running executable's data folder: in the roaming folder, the executable's file name. Empty
// when the shell cannot tell.
std::wstring application_data_folder();
// The part after the last backslash or slash.
std::wstring file_name_part(const std::wstring& path);
// `path` in the \\?\ form when it is too long for the plain Win32 file functions, which stop at
// MAX_PATH for a program without a long-path manifest; unchanged otherwise.
std::wstring extended_length_path(const std::wstring& path);
// `folder` and `name` with exactly one backslash between them.
std::wstring join_path(const std::wstring& folder, const std::wstring& name);

}  // namespace webview::detail
