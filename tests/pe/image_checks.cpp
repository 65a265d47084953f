#include "tests/pe/image_checks.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "tests/pe/png_reader.h"

namespace webview::detail {
namespace {

constexpr std::uint16_t rt_icon = 3;
constexpr std::uint16_t rt_group_icon = 14;
constexpr std::uint16_t rt_version = 16;
constexpr std::uint16_t rt_manifest = 24;
constexpr std::uint16_t en_us = 1033;
constexpr std::uint16_t icon_group_id = 1;
constexpr std::uint32_t expected_sizes[] = {16, 24, 32, 48, 64, 128, 256};

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string describe(const resource_id& id) {
  if (id.is_number) return std::to_string(id.number);
  std::string text = "\"";
  for (char16_t c : id.text) text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return text + "\"";
}

bool is_number(const resource_id& id, std::uint16_t number) {
  return id.is_number && id.number == number;
}

std::uint16_t u16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

std::uint32_t u32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return u16(d, at) | (static_cast<std::uint32_t>(u16(d, at + 2)) << 16);
}

std::uint32_t u32_be(const std::vector<std::uint8_t>& d, std::size_t at) {
  return (std::uint32_t{d[at]} << 24) | (std::uint32_t{d[at + 1]} << 16) |
         (std::uint32_t{d[at + 2]} << 8) | d[at + 3];
}

// The single en-US data leaf under a name directory, or null with a fault recorded. The reader
// only ever puts data leaves at the language level.
const resource_node* single_en_us_leaf(const resource_node& name, const std::string& what,
                                       std::vector<std::string>& faults) {
  if (name.children.size() != 1) {
    faults.push_back(what + " must have exactly one language");
    return nullptr;
  }
  const resource_node& language = name.children.front();
  if (!is_number(language.id, en_us)) {
    faults.push_back(what + " has language " + describe(language.id) + ", not 1033");
    return nullptr;
  }
  return &language;
}

struct group_entry {
  std::uint32_t size;
  std::uint16_t bit_count;
  std::uint16_t planes;
  std::uint32_t bytes;
  std::uint16_t icon_id;
};

std::vector<group_entry> read_group(const std::vector<std::uint8_t>& data,
                                    std::vector<std::string>& faults) {
  constexpr std::size_t header = 6;
  constexpr std::size_t entry = 14;
  if (data.size() < header || u16(data, 0) != 0 || u16(data, 2) != 1) {
    faults.push_back("icon group header is not an icon directory");
    return {};
  }
  const std::size_t count = u16(data, 4);
  if (data.size() != header + count * entry) {
    faults.push_back("icon group size does not match its entry count");
    return {};
  }
  std::vector<group_entry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = header + i * entry;
    const std::uint32_t width = data[at] == 0 ? 256 : data[at];
    const std::uint32_t height = data[at + 1] == 0 ? 256 : data[at + 1];
    if (width != height) faults.push_back("icon group entry " + std::to_string(i) + " not square");
    entries.push_back(
        {width, u16(data, at + 6), u16(data, at + 4), u32(data, at + 8), u16(data, at + 12)});
  }
  return entries;
}

void check_image(const group_entry& entry, const resource_node* icons,
                 std::vector<std::string>& faults) {
  const std::string what = std::to_string(entry.size) + " px icon";
  if (entry.bit_count != 32) {
    faults.push_back(what + " is " + std::to_string(entry.bit_count) + " bpp, not 32");
  }
  if (entry.planes != 1)
    faults.push_back(what + " has " + std::to_string(entry.planes) + " planes");
  if (icons == nullptr) return;
  const auto named =
      std::find_if(icons->children.begin(), icons->children.end(),
                   [&](const resource_node& n) { return is_number(n.id, entry.icon_id); });
  if (named == icons->children.end()) {
    faults.push_back(what + " refers to missing RT_ICON " + std::to_string(entry.icon_id));
    return;
  }
  const resource_node* leaf =
      single_en_us_leaf(*named, "RT_ICON " + std::to_string(entry.icon_id), faults);
  if (leaf == nullptr) return;
  const std::vector<std::uint8_t>& png = leaf->data;
  if (png.size() != entry.bytes) faults.push_back(what + " size differs from its group entry");
  static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 33 || std::memcmp(png.data(), signature, 8) != 0 ||
      std::memcmp(&png[12], "IHDR", 4) != 0) {
    faults.push_back(what + " is not stored as PNG");
    return;
  }
  if (u32_be(png, 16) != entry.size || u32_be(png, 20) != entry.size) {
    faults.push_back(what + " PNG is " + std::to_string(u32_be(png, 16)) + "x" +
                     std::to_string(u32_be(png, 20)));
  }
  if (png[24] != 8 || png[25] != 6) faults.push_back(what + " PNG is not 8-bit RGBA");
  try {
    decode_png(png);
  } catch (const png_format_error& e) {
    faults.push_back(what + " PNG does not decode: " + e.what());
  }
}

}  // namespace

std::vector<std::string> icon_resource_faults(const resource_node& root) {
  std::vector<std::string> faults;
  const resource_node* group_type = nullptr;
  const resource_node* icon_type = nullptr;
  for (const resource_node& type : root.children) {
    if (is_number(type.id, rt_group_icon) && group_type == nullptr) {
      group_type = &type;
    } else if (is_number(type.id, rt_icon) && icon_type == nullptr) {
      icon_type = &type;
    } else if (is_number(type.id, rt_version)) {
      faults.push_back("RT_VERSION present");
    } else if (is_number(type.id, rt_manifest)) {
      faults.push_back("RT_MANIFEST present");
    } else {
      faults.push_back("resource type " + describe(type.id) + " present");
    }
  }
  if (group_type == nullptr) faults.push_back("no RT_GROUP_ICON");
  if (icon_type == nullptr) faults.push_back("no RT_ICON");
  if (icon_type != nullptr && icon_type->children.size() != std::size(expected_sizes)) {
    faults.push_back("RT_ICON holds " + std::to_string(icon_type->children.size()) +
                     " images, not 7");
  }
  if (group_type == nullptr) return faults;

  if (group_type->children.size() != 1 ||
      !is_number(group_type->children.front().id, icon_group_id)) {
    faults.push_back("RT_GROUP_ICON must hold exactly one group, id 1");
    return faults;
  }
  const resource_node* group =
      single_en_us_leaf(group_type->children.front(), "icon group 1", faults);
  if (group == nullptr) return faults;

  const std::vector<group_entry> entries = read_group(group->data, faults);
  std::vector<std::uint32_t> sizes;
  for (const group_entry& entry : entries) {
    sizes.push_back(entry.size);
    check_image(entry, icon_type, faults);
  }
  std::sort(sizes.begin(), sizes.end());
  if (!entries.empty() && !std::equal(sizes.begin(), sizes.end(), std::begin(expected_sizes),
                                      std::end(expected_sizes))) {
    std::string listed;
    for (std::uint32_t s : sizes) listed += " " + std::to_string(s);
    faults.push_back("icon group sizes are" + listed + ", not 16 24 32 48 64 128 256");
  }
  return faults;
}

bool is_protected_system_dll(std::string_view name) {
  static const char* const known[] = {"kernel32.dll", "user32.dll",  "gdi32.dll",  "advapi32.dll",
                                      "shell32.dll",  "shlwapi.dll", "ole32.dll",  "oleaut32.dll",
                                      "msvcrt.dll",   "combase.dll", "rpcrt4.dll", "ntdll.dll"};
  const std::string lowered = lower(name);
  if (lowered.rfind("api-ms-win-", 0) == 0) return true;
  return std::find(std::begin(known), std::end(known), lowered) != std::end(known);
}

std::vector<std::string> import_faults(const pe_image& image) {
  std::vector<std::string> faults;
  auto check = [&](const std::vector<std::string>& names, const char* table) {
    for (const std::string& name : names) {
      const std::string lowered = lower(name);
      if (lowered == "version.dll" || lowered == "dwmapi.dll") {
        faults.push_back(std::string(table) + " names " + lowered +
                         ", which must be loaded at run time");
      } else if (!is_protected_system_dll(name)) {
        faults.push_back(std::string(table) + " names " + name +
                         ", outside the protected system set");
      }
    }
  };
  check(image.imported_dlls, "import table");
  check(image.delay_imported_dlls, "delay-import table");
  return faults;
}

}  // namespace webview::detail
