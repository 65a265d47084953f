// What the application's executable image must hold, as lists of faults: one readable line per
// fault, an empty list when the image is sound.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tests/pe/pe_image.h"

namespace webview::detail {

// The resources must be exactly one icon group, id 1, language 1033, listing seven 32 bpp PNG
// images of 16, 24, 32, 48, 64, 128 and 256 pixels, plus those seven RT_ICON images (8-bit
// RGBA PNGs whose size matches their group entry) in the same language; nothing else but the
// manifest and the version block, which the two checks below look at.
std::vector<std::string> icon_resource_faults(const resource_node& root);

// Exactly one RT_MANIFEST, id 1, language 1033: well-formed XML whose asm.v1 assembly declares
// PerMonitorV2 then PerMonitor DPI awareness (2016 WindowsSettings) with true/pm for older
// systems (2005), Windows 10 among the supported systems, Common Controls 6.0.0.0, long paths
// and the asInvoker execution level.
std::vector<std::string> manifest_faults(const resource_node& root);

// Exactly one RT_VERSION, id 1, language 1033, whose fixed file and product versions are
// `version` ("N.N.N" or "N.N.N.N", a missing fourth part being 0), whose Translation is US
// English in Unicode, and whose string table 040904B0 gives FileVersion and ProductVersion as
// `version` and ProductName and FileDescription as "Quendari".
std::vector<std::string> version_faults(const resource_node& root, std::string_view version);

// The optional header flags: Terminal Server aware.
std::vector<std::string> header_flag_faults(const pe_image& image);

// Every DLL named by the import and delay-import tables must be a protected system DLL;
// version.dll and dwmapi.dll in particular must be loaded at run time instead.
std::vector<std::string> import_faults(const pe_image& image);

// True for a Known DLL of Windows or an api-ms-win-* API set, compared without regard to case.
bool is_protected_system_dll(std::string_view name);

}  // namespace webview::detail
