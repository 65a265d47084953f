#include "tests/pe/image_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "tests/pe/manifest_xml.h"
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

// The en-US data of the only resource, id 1, of `type`, or null with a fault recorded.
const resource_node* single_resource(const resource_node& root, std::uint16_t type,
                                     const std::string& what, std::vector<std::string>& faults) {
  std::vector<const resource_node*> found;
  for (const resource_node& t : root.children) {
    if (is_number(t.id, type)) found.push_back(&t);
  }
  if (found.empty()) {
    faults.push_back("no " + what);
    return nullptr;
  }
  if (found.size() != 1 || found.front()->children.size() != 1 ||
      !is_number(found.front()->children.front().id, 1)) {
    faults.push_back(what + " must hold exactly one resource, id 1");
    return nullptr;
  }
  return single_en_us_leaf(found.front()->children.front(), what + " 1", faults);
}

std::string trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

// Windows compares manifest values without regard to case.
bool same_value(std::string_view a, std::string_view b) { return lower(trim(a)) == lower(b); }

bool attribute_is(const xml_element& e, std::string_view name, std::string_view value) {
  const std::string* found = e.attribute(name);
  return found != nullptr && same_value(*found, value);
}

constexpr std::string_view asm_v1 = "urn:schemas-microsoft-com:asm.v1";
constexpr std::string_view asm_v3 = "urn:schemas-microsoft-com:asm.v3";
constexpr std::string_view compatibility_v1 = "urn:schemas-microsoft-com:compatibility.v1";
constexpr std::string_view settings_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
constexpr std::string_view settings_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";

struct xml_step {
  std::string_view ns;
  std::string_view name;
};

// One setting: the elements at `path` below the assembly, of which one must satisfy `holds`.
struct manifest_setting {
  const char* what;
  std::vector<xml_step> path;
  bool (*holds)(const xml_element&);
};

void collect(const xml_element& from, const xml_step* path, std::size_t steps,
             std::vector<const xml_element*>& out) {
  if (steps == 0) {
    out.push_back(&from);
    return;
  }
  for (const xml_element& c : from.children) {
    if (c.ns == path->ns && c.name == path->name) collect(c, path + 1, steps - 1, out);
  }
}

const manifest_setting manifest_settings[] = {
    {"dpiAwareness PerMonitorV2, PerMonitor",
     {{asm_v3, "application"}, {asm_v3, "windowsSettings"}, {settings_2016, "dpiAwareness"}},
     [](const xml_element& e) {
       std::vector<std::string> listed;
       for (std::size_t at = 0; at <= e.text.size();) {
         const std::size_t comma = std::min(e.text.find(',', at), e.text.size());
         listed.push_back(lower(trim(std::string_view(e.text).substr(at, comma - at))));
         at = comma + 1;
       }
       return listed == std::vector<std::string>{"permonitorv2", "permonitor"};
     }},
    {"dpiAware true/pm",
     {{asm_v3, "application"}, {asm_v3, "windowsSettings"}, {settings_2005, "dpiAware"}},
     [](const xml_element& e) { return same_value(e.text, "true/pm"); }},
    {"longPathAware true",
     {{asm_v3, "application"}, {asm_v3, "windowsSettings"}, {settings_2016, "longPathAware"}},
     [](const xml_element& e) { return same_value(e.text, "true"); }},
    // Windows 11 has no id of its own: it reads Windows 10's.
    {"supportedOS Windows 10",
     {{compatibility_v1, "compatibility"},
      {compatibility_v1, "application"},
      {compatibility_v1, "supportedOS"}},
     [](const xml_element& e) {
       return attribute_is(e, "Id", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}");
     }},
    {"Common-Controls 6.0.0.0",
     {{asm_v1, "dependency"}, {asm_v1, "dependentAssembly"}, {asm_v1, "assemblyIdentity"}},
     [](const xml_element& e) {
       return attribute_is(e, "type", "win32") &&
              attribute_is(e, "name", "Microsoft.Windows.Common-Controls") &&
              attribute_is(e, "version", "6.0.0.0") &&
              attribute_is(e, "publicKeyToken", "6595b64144ccf1df") &&
              attribute_is(e, "language", "*") &&
              (attribute_is(e, "processorArchitecture", "amd64") ||
               attribute_is(e, "processorArchitecture", "*"));
     }},
    {"requestedExecutionLevel asInvoker",
     {{asm_v3, "trustInfo"},
      {asm_v3, "security"},
      {asm_v3, "requestedPrivileges"},
      {asm_v3, "requestedExecutionLevel"}},
     [](const xml_element& e) { return attribute_is(e, "level", "asInvoker"); }},
};

// A block of a version resource: a key, a value (UTF-16 text or bytes), child blocks.
struct version_block {
  std::u16string key;
  std::vector<std::uint8_t> value;
  std::vector<version_block> children;
};

constexpr std::size_t max_version_depth = 4;  // root, StringFileInfo, table, string

std::size_t align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

version_block read_version_block(const std::vector<std::uint8_t>& d, std::size_t at,
                                 std::size_t limit, std::size_t depth) {
  if (depth == max_version_depth) throw std::runtime_error("blocks nested too deeply");
  if (limit - at < 6) throw std::runtime_error("block header past its parent");
  const std::size_t length = u16(d, at);
  if (length < 6 || length > limit - at) throw std::runtime_error("block length out of range");
  const std::size_t end = at + length;
  const std::size_t value_length = u16(d, at + 2);
  const bool is_text = u16(d, at + 4) == 1;
  version_block block;
  std::size_t p = at + 6;
  for (;; p += 2) {
    if (end - p < 2) throw std::runtime_error("unterminated key");
    const char16_t c = u16(d, p);
    if (c == 0) break;
    block.key.push_back(c);
  }
  p = std::min(align4(p + 2), end);
  // Text lengths count characters; compilers disagree on whether the terminator is one of them,
  // so text is read up to it instead.
  const std::size_t value_size = is_text ? 2 * value_length : value_length;
  if (value_size > end - p) throw std::runtime_error("value past its block");
  block.value.assign(d.begin() + p, d.begin() + p + value_size);
  for (p = std::min(align4(p + value_size), end); p < end;) {
    block.children.push_back(read_version_block(d, p, end, depth + 1));
    p = std::min(align4(p + u16(d, p)), end);
  }
  return block;
}

std::string narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

std::string text_value(const version_block& block) {
  std::u16string text;
  for (std::size_t at = 0; at + 1 < block.value.size(); at += 2) {
    const char16_t c = u16(block.value, at);
    if (c == 0) break;
    text.push_back(c);
  }
  return narrow(text);
}

const version_block* child_block(const version_block& parent, std::string_view key) {
  for (const version_block& c : parent.children) {
    if (lower(narrow(c.key)) == lower(key)) return &c;
  }
  return nullptr;
}

// The four parts of "N.N.N" or "N.N.N.N"; false for anything else.
bool parse_version(std::string_view text, std::uint16_t (&parts)[4]) {
  std::size_t count = 0;
  for (std::size_t at = 0; at <= text.size(); ++count) {
    const std::size_t dot = std::min(text.find('.', at), text.size());
    const std::string_view digits = text.substr(at, dot - at);
    if (count == 4 || digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return false;
    }
    const unsigned long value = std::stoul(std::string(digits));
    if (value > 0xFFFF) return false;
    parts[count] = static_cast<std::uint16_t>(value);
    at = dot + 1;
  }
  if (count == 3) parts[3] = 0;
  return count >= 3;
}

std::string dotted(std::uint32_t high, std::uint32_t low) {
  return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." +
         std::to_string(low >> 16) + "." + std::to_string(low & 0xFFFF);
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
    } else if (!is_number(type.id, rt_version) && !is_number(type.id, rt_manifest)) {
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

std::vector<std::string> manifest_faults(const resource_node& root) {
  std::vector<std::string> faults;
  const resource_node* leaf = single_resource(root, rt_manifest, "RT_MANIFEST", faults);
  if (leaf == nullptr) return faults;
  xml_element assembly;
  try {
    assembly = parse_xml(
        std::string_view(reinterpret_cast<const char*>(leaf->data.data()), leaf->data.size()));
  } catch (const xml_format_error& e) {
    faults.push_back(std::string("manifest is not well-formed XML: ") + e.what());
    return faults;
  }
  if (assembly.ns != asm_v1 || assembly.name != "assembly") {
    faults.push_back("manifest root is not an asm.v1 assembly");
    return faults;
  }
  for (const manifest_setting& setting : manifest_settings) {
    std::vector<const xml_element*> found;
    collect(assembly, setting.path.data(), setting.path.size(), found);
    if (std::none_of(found.begin(), found.end(),
                     [&](const xml_element* e) { return setting.holds(*e); })) {
      faults.push_back(std::string("manifest lacks ") + setting.what);
    }
  }
  return faults;
}

std::vector<std::string> version_faults(const resource_node& root, std::string_view version) {
  std::vector<std::string> faults;
  std::uint16_t parts[4];
  if (!parse_version(version, parts)) {
    faults.push_back("build version \"" + std::string(version) + "\" is not N.N.N or N.N.N.N");
    return faults;
  }
  const resource_node* leaf = single_resource(root, rt_version, "RT_VERSION", faults);
  if (leaf == nullptr) return faults;
  version_block info;
  try {
    info = read_version_block(leaf->data, 0, leaf->data.size(), 0);
  } catch (const std::runtime_error& e) {
    faults.push_back(std::string("version block malformed: ") + e.what());
    return faults;
  }
  if (narrow(info.key) != "VS_VERSION_INFO" || info.value.size() < 52 ||
      u32(info.value, 0) != 0xFEEF04BD) {
    faults.push_back("version block has no fixed file info");
  } else {
    const std::string expected = dotted((std::uint32_t{parts[0]} << 16) | parts[1],
                                        (std::uint32_t{parts[2]} << 16) | parts[3]);
    const std::string file = dotted(u32(info.value, 8), u32(info.value, 12));
    const std::string product = dotted(u32(info.value, 16), u32(info.value, 20));
    if (file != expected) faults.push_back("fixed file version is " + file + ", not " + expected);
    if (product != expected) {
      faults.push_back("fixed product version is " + product + ", not " + expected);
    }
  }

  const version_block* var_info = child_block(info, "VarFileInfo");
  const version_block* translation =
      var_info == nullptr ? nullptr : child_block(*var_info, "Translation");
  if (translation == nullptr || translation->value.size() < 4) {
    faults.push_back("no Translation");
  } else if (u16(translation->value, 0) != 0x0409 || u16(translation->value, 2) != 1200) {
    char listed[16];
    std::snprintf(listed, sizeof listed, "%04x %04x", u16(translation->value, 0),
                  u16(translation->value, 2));
    faults.push_back(std::string("Translation is ") + listed + ", not 0409 04b0");
  }

  const version_block* string_info = child_block(info, "StringFileInfo");
  const version_block* table =
      string_info == nullptr ? nullptr : child_block(*string_info, "040904B0");
  if (table == nullptr) {
    faults.push_back("no string table 040904B0");
    return faults;
  }
  const std::pair<const char*, std::string> strings[] = {{"FileVersion", std::string(version)},
                                                         {"ProductVersion", std::string(version)},
                                                         {"ProductName", "Quendari"},
                                                         {"FileDescription", "Quendari"}};
  for (const auto& [key, expected] : strings) {
    const version_block* value = child_block(*table, key);
    if (value == nullptr) {
      faults.push_back(std::string(key) + " missing");
    } else if (text_value(*value) != expected) {
      faults.push_back(std::string(key) + " is \"" + text_value(*value) + "\", not \"" + expected +
                       "\"");
    }
  }
  return faults;
}

std::vector<std::string> header_flag_faults(const pe_image& image) {
  constexpr std::uint16_t terminal_server_aware = 0x8000;
  std::vector<std::string> faults;
  if ((image.dll_characteristics & terminal_server_aware) == 0) {
    faults.push_back("not Terminal Server aware");
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
