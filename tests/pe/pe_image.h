// A reader of the parts of a PE executable that the image checks look at: the resource tree and
// the names of imported DLLs. Portable C++ with no Windows API, so it reads any image on any
// platform.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace webview::detail {

// Thrown for a file that is not a PE image or whose headers or tables point outside it.
class pe_format_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A resource directory entry's name: an integer id or a UTF-16 string.
struct resource_id {
  bool is_number = true;
  std::uint16_t number = 0;
  std::u16string text;
};

// One entry of the resource tree. The root and the type and name levels are directories;
// the language level holds the data leaves.
struct resource_node {
  resource_id id;  // meaningless for the root
  bool is_directory = false;
  std::vector<resource_node> children;  // directories only, in file order
  std::vector<std::uint8_t> data;       // leaves only: a copy of the resource bytes
};

struct pe_image {
  bool is_pe32_plus = false;
  std::uint16_t machine = 0;                // IMAGE_FILE_MACHINE_AMD64 is 0x8664
  std::uint16_t subsystem = 0;              // IMAGE_SUBSYSTEM_WINDOWS_GUI is 2, ..._CUI 3
  std::uint16_t dll_characteristics = 0;    // IMAGE_DLLCHARACTERISTICS_* flags
  std::uint64_t resource_table_offset = 0;  // file offset of the resource table, 0 if none
  resource_node resources;  // an empty directory when the image has no resource table
  std::vector<std::string> imported_dlls;        // the import table's DLL names, in order
  std::vector<std::string> delay_imported_dlls;  // the delay-load table's DLL names
};

// Parses a whole image held in memory. Throws pe_format_error for anything malformed,
// including resource trees deeper than three levels (which also rules out cycles).
pe_image parse_pe(const std::vector<std::uint8_t>& file);

// Reads the file at `path` whole. Throws std::runtime_error when it cannot be read.
std::vector<std::uint8_t> read_whole_file(const std::filesystem::path& path);

}  // namespace webview::detail
