// The runtime's version folders. An installed runtime's client DLL lives in
// `<Application>\<version>\EBWebView\x64\EmbeddedBrowserWebView.dll`: the stand-in reports the
// version of the folder it was loaded from, and plays the Edge updater installing a newer runtime
// beside the running one (page action `newversion`). UI thread only.
#pragma once

#include <string>
#include <string_view>

namespace standin {

// This module's file path; empty on failure.
std::wstring module_file_path();

// Dotted numbers: "121.0.2277.86".
bool is_version_name(std::wstring_view text);

// The version of the folder this module was loaded from; empty when its path has another shape.
std::wstring loaded_version();

// Copies this module's file into the `version` folder beside its own, re-points the updater's
// `EBWebView` registry values that name the folder of a loaded module to the new one, then raises
// NewBrowserVersionAvailable on the live environments of every module of the stand-in. Logs what
// it did, or why it did nothing.
void install_runtime(const std::wstring& version);

}  // namespace standin
