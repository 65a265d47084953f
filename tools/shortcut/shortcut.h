// A shell link (.lnk) that carries an AppUserModelID, so that a pinned shortcut and the running
// window that sets the same ID share one taskbar button. The caller owns the COM apartment.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

struct IShellLinkW;

namespace webview::detail {

// Writes `link_path` (replacing any file there) pointing at `target`, started in the target's
// folder, with the target's first icon and System.AppUserModel.ID = `app_id`.
HRESULT write_shortcut(const std::wstring& link_path, const std::wstring& target,
                       const std::wstring& app_id);

// The same on a shell link object the caller supplies: tests hand in a recording one, because
// Wine's shell link keeps no properties.
HRESULT write_shortcut(IShellLinkW* link, const std::wstring& link_path, const std::wstring& target,
                       const std::wstring& app_id);

// The System.AppUserModel.ID stored in the link, or nothing when the link cannot be loaded or
// has no string value for it.
std::optional<std::wstring> read_shortcut_app_id(const std::wstring& link_path);

}  // namespace webview::detail
