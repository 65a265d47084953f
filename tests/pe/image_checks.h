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
// RGBA PNGs whose size matches their group entry) in the same language; nothing else.
std::vector<std::string> icon_resource_faults(const resource_node& root);

// Every DLL named by the import and delay-import tables must be a protected system DLL;
// version.dll and dwmapi.dll in particular must be loaded at run time instead.
std::vector<std::string> import_faults(const pe_image& image);

// True for a Known DLL of Windows or an api-ms-win-* API set, compared without regard to case.
bool is_protected_system_dll(std::string_view name);

}  // namespace webview::detail
