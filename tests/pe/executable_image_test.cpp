// Quendari.exe must carry exactly its icon group and import only protected system DLLs. The
// fault fixture, built with extra resources and load-time imports, shows the checks catch both.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/pe/image_checks.h"
#include "tests/pe/pe_image.h"

namespace webview::detail {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

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

TEST(quendari_executable, resources_are_exactly_the_icon_group) {
  EXPECT_THAT(icon_resource_faults(quendari_image().resources), IsEmpty());
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

TEST(image_checks, fixture_extra_resources_are_each_reported) {
  const std::vector<std::string> faults = icon_resource_faults(fault_fixture_image().resources);
  // The icon group itself is sound there, so only the two extra types are reported.
  EXPECT_THAT(faults, ::testing::UnorderedElementsAre("RT_VERSION present", "RT_MANIFEST present"));
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

TEST(image_checks, each_damage_to_the_icon_resources_is_reported) {
  ASSERT_THAT(icon_resource_faults(quendari_image().resources), IsEmpty());
  for (const resource_damage& d : damages) {
    resource_node root = quendari_image().resources;
    d.damage(root);
    EXPECT_THAT(icon_resource_faults(root), Contains(HasSubstr(d.expected_fault))) << d.what;
  }
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
