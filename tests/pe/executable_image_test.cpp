// Quendari.exe must carry exactly its icon group, manifest and version block, be Terminal Server
// aware and import only protected system DLLs. The fault fixture, built with a faulty manifest
// and version block, without the flag and with load-time imports, shows the checks catch each.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

#include "tests/pe/image_checks.h"
#include "tests/pe/pe_image.h"

namespace webview::detail {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

constexpr std::uint16_t rt_version = 16;
constexpr std::uint16_t rt_manifest = 24;

const pe_image& quendari_image() {
  static const pe_image image = parse_pe(read_whole_file(QUENDARI_EXE_PATH));
  return image;
}

const pe_image& fault_fixture_image() {
  static const pe_image image = parse_pe(read_whole_file(FAULT_FIXTURE_PATH));
  return image;
}

resource_node* child(resource_node& parent, std::uint16_t id) {
  for (resource_node& c : parent.children) {
    if (c.id.is_number && c.id.number == id) return &c;
  }
  return nullptr;
}

// The en-US data of the first name under a type.
std::vector<std::uint8_t>& first_data(resource_node& root, std::uint16_t type) {
  return child(root, type)->children.front().children.front().data;
}

TEST(quendari_executable, is_a_64_bit_gui_image_for_x86_64) {
  const auto image = quendari_image();
  EXPECT_TRUE(image.is_pe32_plus);
  EXPECT_EQ(image.machine, 0x8664) << "x86-64";
  EXPECT_EQ(image.subsystem, 2) << "the GUI subsystem: no console";
}

TEST(quendari_executable, resources_are_the_icon_group_manifest_and_version) {
  EXPECT_THAT(icon_resource_faults(quendari_image().resources), IsEmpty());
}

TEST(quendari_executable, manifest_declares_dpi_awareness_windows_10_controls_and_long_paths) {
  EXPECT_THAT(manifest_faults(quendari_image().resources), IsEmpty());
}

TEST(quendari_executable, version_block_carries_the_build_version_and_name) {
  EXPECT_THAT(version_faults(quendari_image().resources, QUENDARI_VERSION), IsEmpty());
}

TEST(quendari_executable, is_terminal_server_aware) {
  EXPECT_THAT(header_flag_faults(quendari_image()), IsEmpty());
}

TEST(quendari_executable, imports_only_protected_system_dlls) {
  const pe_image& image = quendari_image();
  EXPECT_THAT(image.imported_dlls, Contains(::testing::StrCaseEq("kernel32.dll")));
  EXPECT_THAT(import_faults(image), IsEmpty());
  for (const std::string& name : image.imported_dlls) {
    EXPECT_THAT(name, ::testing::Not(::testing::StrCaseEq("version.dll")));
    EXPECT_THAT(name, ::testing::Not(::testing::StrCaseEq("dwmapi.dll")));
  }
}

TEST(image_checks, fixture_manifest_faults_are_each_reported) {
  EXPECT_THAT(manifest_faults(fault_fixture_image().resources),
              UnorderedElementsAre(
                  "manifest lacks dpiAwareness PerMonitorV2, PerMonitor",
                  "manifest lacks dpiAware true/pm", "manifest lacks longPathAware true",
                  "manifest lacks supportedOS Windows 10", "manifest lacks Common-Controls 6.0.0.0",
                  "manifest lacks requestedExecutionLevel asInvoker"));
}

TEST(image_checks, fixture_version_faults_are_each_reported) {
  EXPECT_THAT(version_faults(fault_fixture_image().resources, QUENDARI_VERSION),
              UnorderedElementsAre(
                  HasSubstr("fixed file version is"), HasSubstr("fixed product version is"),
                  "Translation is 0409 04e4, not 0409 04b0", HasSubstr("FileVersion is"),
                  "ProductVersion missing", "ProductName is \"Quendari Fixture\", not \"Quendari\"",
                  "FileDescription missing"));
}

TEST(image_checks, fixture_without_terminal_server_flag_is_reported) {
  EXPECT_THAT(header_flag_faults(fault_fixture_image()), ElementsAre("not Terminal Server aware"));
}

TEST(image_checks, fixture_load_time_imports_are_reported) {
  const std::vector<std::string> faults = import_faults(fault_fixture_image());
  EXPECT_THAT(faults, Contains(HasSubstr("version.dll, which must be loaded at run time")));
  EXPECT_THAT(faults, Contains(HasSubstr("dwmapi.dll, which must be loaded at run time")));
}

// Each case damages one detail of Quendari.exe's sound resource tree.
struct resource_damage {
  const char* what;
  std::function<void(resource_node&)> damage;
  const char* expected_fault;
};

const resource_damage damages[] = {
    {"group in German",
     [](resource_node& r) { child(r, 14)->children[0].children[0].id.number = 1031; },
     "icon group 1 has language 1031, not 1033"},
    {"group id 2", [](resource_node& r) { child(r, 14)->children[0].id.number = 2; },
     "RT_GROUP_ICON must hold exactly one group, id 1"},
    {"a second group",
     [](resource_node& r) {
       resource_node* group = child(r, 14);
       group->children.push_back(group->children[0]);
       group->children.back().id.number = 2;
     },
     "RT_GROUP_ICON must hold exactly one group, id 1"},
    {"a string resource",
     [](resource_node& r) {
       r.children.push_back(*child(r, 3));
       r.children.back().id.number = 6;
     },
     "resource type 6 present"},
    {"named type",
     [](resource_node& r) {
       r.children.push_back(*child(r, 3));
       r.children.back().id = {false, 0, u"PNG"};
     },
     "resource type \"PNG\" present"},
    {"no icon images",
     [](resource_node& r) {
       r.children.erase(r.children.begin() + (child(r, 3) - r.children.data()));
     },
     "no RT_ICON"},
    {"one image gone", [](resource_node& r) { child(r, 3)->children.pop_back(); },
     "RT_ICON holds 6 images, not 7"},
    {"24 bpp entry", [](resource_node& r) { first_data(r, 14)[6 + 6] = 24; }, "bpp, not 32"},
    {"48 px listed as 40",
     [](resource_node& r) {
       std::vector<std::uint8_t>& group = first_data(r, 14);
       for (std::size_t at = 6; at < group.size(); at += 14) {
         if (group[at] == 48) group[at] = group[at + 1] = 40;
       }
     },
     "icon group sizes are 16 24 32 40 64 128 256"},
    {"group entry count off by one", [](resource_node& r) { ++first_data(r, 14)[4]; },
     "icon group size does not match its entry count"},
    {"image as BMP", [](resource_node& r) { first_data(r, 3)[1] = 'B'; }, "is not stored as PNG"},
    {"image colour type RGB", [](resource_node& r) { first_data(r, 3)[25] = 2; },
     "PNG is not 8-bit RGBA"},
    {"image pixels corrupted", [](resource_node& r) { first_data(r, 3)[40] ^= 0x55; },
     "PNG does not decode"},
    {"image truncated", [](resource_node& r) { first_data(r, 3).resize(100); },
     "size differs from its group entry"},
};

// Replaces the first `from` in the manifest, which must hold it.
void edit_manifest(resource_node& r, std::string_view from, std::string_view to) {
  std::vector<std::uint8_t>& data = first_data(r, rt_manifest);
  std::string text(data.begin(), data.end());
  const std::size_t at = text.find(from);
  if (at == std::string::npos) {
    ADD_FAILURE() << "manifest lacks " << from;
    return;
  }
  text.replace(at, from.size(), to);
  data.assign(text.begin(), text.end());
}

const resource_damage manifest_damages[] = {
    {"no manifest",
     [](resource_node& r) {
       r.children.erase(r.children.begin() + (child(r, rt_manifest) - r.children.data()));
     },
     "no RT_MANIFEST"},
    {"manifest id 2", [](resource_node& r) { child(r, rt_manifest)->children[0].id.number = 2; },
     "RT_MANIFEST must hold exactly one resource, id 1"},
    {"manifest truncated", [](resource_node& r) { first_data(r, rt_manifest).resize(400); },
     "manifest is not well-formed XML"},
    {"end tag misspelt", [](resource_node& r) { edit_manifest(r, "</security>", "</securty>"); },
     "manifest is not well-formed XML"},
    {"root in asm.v3",
     [](resource_node& r) {
       edit_manifest(r, "urn:schemas-microsoft-com:asm.v1", "urn:schemas-microsoft-com:asm.v3");
     },
     "manifest root is not an asm.v1 assembly"},
    // Windows ignores a setting outside its namespace without a word.
    {"dpiAwareness in the 2005 namespace",
     [](resource_node& r) {
       edit_manifest(r, "2016/WindowsSettings\">Per", "2005/WindowsSettings\">Per");
     },
     "manifest lacks dpiAwareness"},
    {"no V2", [](resource_node& r) { edit_manifest(r, "PerMonitorV2, ", ""); },
     "manifest lacks dpiAwareness"},
    {"settings in asm.v1, inherited by their parent",
     [](resource_node& r) {
       edit_manifest(r, "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\"",
                     "<application xmlns=\"urn:schemas-microsoft-com:asm.v1\"");
     },
     "manifest lacks dpiAware true/pm"},
    {"system aware only", [](resource_node& r) { edit_manifest(r, "true/pm", "true"); },
     "manifest lacks dpiAware"},
    {"long paths off", [](resource_node& r) { edit_manifest(r, ">true</long", ">false</long"); },
     "manifest lacks longPathAware"},
    {"Windows 8.1 only",
     [](resource_node& r) { edit_manifest(r, "8e0f7a12-bfb3", "1f676c76-80e1"); },
     "manifest lacks supportedOS"},
    {"Common Controls 5.82",
     [](resource_node& r) { edit_manifest(r, "version=\"6.0.0.0\"", "version=\"5.82.0.0\""); },
     "manifest lacks Common-Controls"},
    {"Common Controls for x86",
     [](resource_node& r) {
       edit_manifest(r, "processorArchitecture=\"*\"", "processorArchitecture=\"x86\"");
     },
     "manifest lacks Common-Controls"},
    {"elevation", [](resource_node& r) { edit_manifest(r, "asInvoker", "requireAdministrator"); },
     "manifest lacks requestedExecutionLevel"},
};

std::size_t find_bytes(const std::vector<std::uint8_t>& data,
                       const std::vector<std::uint8_t>& what) {
  return static_cast<std::size_t>(std::search(data.begin(), data.end(), what.begin(), what.end()) -
                                  data.begin());
}

// The offset of the fixed file info's signature in the version block.
std::size_t fixed_info(resource_node& r) {
  return find_bytes(first_data(r, rt_version), {0xBD, 0x04, 0xEF, 0xFE});
}

// The offset of a UTF-16 key in the version block.
std::size_t version_key(resource_node& r, std::u16string_view key) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : key) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
  return find_bytes(first_data(r, rt_version), bytes);
}

const resource_damage version_damages[] = {
    {"no version block",
     [](resource_node& r) {
       r.children.erase(r.children.begin() + (child(r, rt_version) - r.children.data()));
     },
     "no RT_VERSION"},
    {"version in German",
     [](resource_node& r) { child(r, rt_version)->children[0].children[0].id.number = 1031; },
     "RT_VERSION 1 has language 1031, not 1033"},
    {"length past the end", [](resource_node& r) { first_data(r, rt_version)[1] = 0xFF; },
     "version block malformed"},
    {"fixed info signature",
     [](resource_node& r) { first_data(r, rt_version)[fixed_info(r)] ^= 1; }, "no fixed file info"},
    {"file version's last part",
     [](resource_node& r) { ++first_data(r, rt_version)[fixed_info(r) + 12]; },
     "fixed file version is"},
    {"product version's first part",
     [](resource_node& r) { ++first_data(r, rt_version)[fixed_info(r) + 18]; },
     "fixed product version is"},
    {"Translation to code page 1252",
     [](resource_node& r) {
       // The value follows the key's 11 characters and terminator, aligned to 4 bytes.
       const std::size_t value = (version_key(r, u"Translation") + 24 + 3) & ~std::size_t{3};
       first_data(r, rt_version)[value + 2] = 0xE4;
     },
     "Translation is 0409 04e4, not 0409 04b0"},
    {"strings under another code page",
     [](resource_node& r) { first_data(r, rt_version)[version_key(r, u"040904B0") + 12] = 'E'; },
     "no string table 040904B0"},
    {"ProductName renamed",
     [](resource_node& r) { first_data(r, rt_version)[version_key(r, u"ProductName")] = 'X'; },
     "ProductName missing"},
    {"FileDescription renamed",
     [](resource_node& r) { first_data(r, rt_version)[version_key(r, u"FileDescription")] = 'G'; },
     "FileDescription missing"},
};

template <std::size_t count>
void expect_each_reported(
    const resource_damage (&cases)[count],
    const std::function<std::vector<std::string>(const resource_node&)>& check) {
  ASSERT_THAT(check(quendari_image().resources), IsEmpty());
  for (const resource_damage& d : cases) {
    resource_node root = quendari_image().resources;
    d.damage(root);
    EXPECT_THAT(check(root), Contains(HasSubstr(d.expected_fault))) << d.what;
  }
}

TEST(image_checks, each_damage_to_the_icon_resources_is_reported) {
  expect_each_reported(damages, icon_resource_faults);
}

TEST(image_checks, each_damage_to_the_manifest_is_reported) {
  expect_each_reported(manifest_damages, manifest_faults);
}

TEST(image_checks, each_damage_to_the_version_block_is_reported) {
  expect_each_reported(version_damages, [](const resource_node& root) {
    return version_faults(root, QUENDARI_VERSION);
  });
}

TEST(image_checks, protected_system_set) {
  struct {
    const char* name;
    bool is_protected;
  } const cases[] = {
      {"KERNEL32.dll", true},  // as linkers write it
      {"user32.dll", true},
      {"api-ms-win-core-synch-l1-2-0.dll", true},  // an API set
      {"API-MS-WIN-CRT-RUNTIME-L1-1-0.DLL", true},
      {"version.dll", false},  // not a Known DLL: planting risk
      {"dwmapi.dll", false},
      {"WebView2Loader.dll", false},   // ships beside the app, loaded at run time
      {"libwinpthread-1.dll", false},  // a mingw runtime left dynamic
      {"kernel32", false},             // no extension: not what the loader writes
      {"xkernel32.dll", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_protected_system_dll(c.name), c.is_protected) << c.name;
}

}  // namespace
}  // namespace webview::detail
