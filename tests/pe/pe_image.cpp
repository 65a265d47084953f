#include "tests/pe/pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace webview::detail {
namespace {

constexpr std::size_t import_directory = 1;
constexpr std::size_t resource_directory = 2;
constexpr std::size_t delay_import_directory = 13;
constexpr std::size_t max_resource_depth = 3;
constexpr std::size_t max_name_length = 4096;
// Entries may share subdirectories, so a small crafted table could describe an enormous tree.
constexpr std::size_t max_resource_entries = 65536;

struct section {
  std::uint32_t virtual_address;
  std::uint32_t virtual_size;
  std::uint32_t raw_size;
  std::uint32_t raw_offset;
};

struct data_directory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

class image_reader {
 public:
  explicit image_reader(const std::vector<std::uint8_t>& file) : file_(file) {}

  std::uint16_t u16(std::uint64_t offset) const {
    require(offset, 2);
    return static_cast<std::uint16_t>(file_[offset] | (file_[offset + 1] << 8));
  }

  std::uint32_t u32(std::uint64_t offset) const {
    return u16(offset) | (static_cast<std::uint32_t>(u16(offset + 2)) << 16);
  }

  void require(std::uint64_t offset, std::uint64_t size) const {
    if (offset > file_.size() || size > file_.size() - offset) {
      throw pe_format_error("image truncated or offset out of range");
    }
  }

  const std::uint8_t* at(std::uint64_t offset) const { return file_.data() + offset; }
  std::uint64_t file_size() const { return file_.size(); }

  void add_section(const section& s) { sections_.push_back(s); }

  // The file offset of `size` bytes at `rva`, all inside one section's raw data.
  std::uint64_t offset_of(std::uint32_t rva, std::uint64_t size) const {
    for (const section& s : sections_) {
      const std::uint64_t start = s.virtual_address;
      const std::uint64_t extent = std::max(s.virtual_size, s.raw_size);
      if (rva < start || rva - start >= extent) continue;
      const std::uint64_t into = rva - start;
      if (into + size > s.raw_size) throw pe_format_error("data runs past its section's file data");
      const std::uint64_t offset = s.raw_offset + into;
      require(offset, size);
      return offset;
    }
    throw pe_format_error("address outside every section");
  }

  std::string c_string(std::uint32_t rva) const {
    std::uint64_t offset = offset_of(rva, 1);
    std::string text;
    while (true) {
      require(offset, 1);
      const char c = static_cast<char>(file_[offset++]);
      if (c == '\0') return text;
      if (text.size() == max_name_length) throw pe_format_error("unterminated name");
      text.push_back(c);
    }
  }

 private:
  const std::vector<std::uint8_t>& file_;
  std::vector<section> sections_;
};

class resource_reader {
 public:
  resource_reader(const image_reader& image, data_directory table)
      : image_(image),
        table_(table),
        base_(image.offset_of(table.rva, table.size)),
        data_budget_(image.file_size()) {}

  resource_node directory(std::uint32_t offset, std::size_t depth) {
    if (depth >= max_resource_depth) throw pe_format_error("resource tree deeper than 3 levels");
    constexpr std::uint32_t header_size = 16;
    constexpr std::uint32_t entry_size = 8;
    check(offset, header_size);
    const std::uint32_t count = image_.u16(base_ + offset + 12) + image_.u16(base_ + offset + 14);
    check(offset + header_size, std::uint64_t{count} * entry_size);
    entries_ += count;
    if (entries_ > max_resource_entries) throw pe_format_error("too many resource entries");
    resource_node node;
    node.is_directory = true;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint64_t entry = base_ + offset + header_size + std::uint64_t{i} * entry_size;
      const std::uint32_t name = image_.u32(entry);
      const std::uint32_t target = image_.u32(entry + 4);
      const bool is_subdirectory = (target & 0x80000000u) != 0;
      resource_node child =
          is_subdirectory ? directory(target & 0x7FFFFFFFu, depth + 1) : leaf(target, depth + 1);
      child.id = entry_id(name);
      node.children.push_back(std::move(child));
    }
    return node;
  }

 private:
  // Windows reads a type, a name and a language level, and nothing else.
  resource_node leaf(std::uint32_t offset, std::size_t depth) {
    if (depth != max_resource_depth) throw pe_format_error("resource data above language level");
    check(offset, 16);
    const std::uint32_t rva = image_.u32(base_ + offset);
    const std::uint32_t size = image_.u32(base_ + offset + 4);
    const std::uint64_t at = image_.offset_of(rva, size);
    if (size > data_budget_) throw pe_format_error("resource data overlaps beyond the file size");
    data_budget_ -= size;
    resource_node node;
    node.data.assign(image_.at(at), image_.at(at) + size);
    return node;
  }

  resource_id entry_id(std::uint32_t name) const {
    resource_id id;
    if ((name & 0x80000000u) == 0) {
      if (name > 0xFFFF) throw pe_format_error("resource id above 65535");
      id.number = static_cast<std::uint16_t>(name);
      return id;
    }
    const std::uint32_t offset = name & 0x7FFFFFFFu;
    check(offset, 2);
    const std::uint16_t length = image_.u16(base_ + offset);
    check(offset + 2, std::uint64_t{length} * 2);
    id.is_number = false;
    for (std::uint32_t i = 0; i < length; ++i) {
      id.text.push_back(static_cast<char16_t>(image_.u16(base_ + offset + 2 + i * 2)));
    }
    return id;
  }

  void check(std::uint64_t offset, std::uint64_t size) const {
    if (offset > table_.size || size > table_.size - offset) {
      throw pe_format_error("resource entry outside the resource table");
    }
  }

  const image_reader& image_;
  data_directory table_;
  std::uint64_t base_;
  // Leaves of a sound image do not overlap, so all their data together fits in the file.
  std::uint64_t data_budget_;
  std::size_t entries_ = 0;
};

std::vector<std::string> import_names(const image_reader& image, data_directory table,
                                      std::uint32_t descriptor_size, std::uint32_t name_field) {
  std::vector<std::string> names;
  if (table.rva == 0) return names;
  for (std::uint32_t i = 0;; ++i) {
    const std::uint64_t rva = std::uint64_t{table.rva} + std::uint64_t{i} * descriptor_size;
    if (rva > 0xFFFFFFFFu) throw pe_format_error("import table without terminator");
    const std::uint64_t offset = image.offset_of(static_cast<std::uint32_t>(rva), descriptor_size);
    bool all_zero = true;
    for (std::uint32_t b = 0; b < descriptor_size; ++b)
      all_zero = all_zero && *image.at(offset + b) == 0;
    if (all_zero) return names;
    names.push_back(image.c_string(image.u32(offset + name_field)));
  }
}

}  // namespace

pe_image parse_pe(const std::vector<std::uint8_t>& file) {
  image_reader image(file);
  if (image.u16(0) != 0x5A4D) throw pe_format_error("no MZ signature");
  const std::uint32_t pe_offset = image.u32(0x3C);
  if (image.u32(pe_offset) != 0x00004550) throw pe_format_error("no PE signature");
  const std::uint64_t coff = std::uint64_t{pe_offset} + 4;
  const std::uint16_t section_count = image.u16(coff + 2);
  const std::uint16_t optional_size = image.u16(coff + 16);
  const std::uint64_t optional = coff + 20;
  image.require(optional, optional_size);

  pe_image result;
  const std::uint16_t magic = image.u16(optional);
  if (magic != 0x10B && magic != 0x20B) throw pe_format_error("unknown optional header");
  result.is_pe32_plus = magic == 0x20B;
  result.machine = image.u16(coff);
  // The subsystem and DLL characteristics fields sit at the same offsets in both formats.
  result.subsystem = image.u16(optional + 68);
  result.dll_characteristics = image.u16(optional + 70);
  const std::uint64_t count_field = optional + (result.is_pe32_plus ? 108 : 92);
  const std::uint64_t directories = count_field + 4;
  if (count_field + 4 > optional + optional_size)
    throw pe_format_error("optional header too small");
  const std::uint32_t directory_count = image.u32(count_field);
  if (directories + std::uint64_t{directory_count} * 8 > optional + optional_size) {
    throw pe_format_error("data directories overrun the optional header");
  }
  auto directory = [&](std::size_t index) {
    data_directory d;
    if (index < directory_count) {
      d.rva = image.u32(directories + index * 8);
      d.size = image.u32(directories + index * 8 + 4);
    }
    return d;
  };

  const std::uint64_t section_table = optional + optional_size;
  image.require(section_table, std::uint64_t{section_count} * 40);
  for (std::uint16_t i = 0; i < section_count; ++i) {
    const std::uint64_t header = section_table + std::uint64_t{i} * 40;
    image.add_section({image.u32(header + 12), image.u32(header + 8), image.u32(header + 16),
                       image.u32(header + 20)});
  }

  result.resources.is_directory = true;
  const data_directory resources = directory(resource_directory);
  if (resources.rva != 0) {
    result.resource_table_offset = image.offset_of(resources.rva, resources.size);
    result.resources = resource_reader(image, resources).directory(0, 0);
  }
  result.imported_dlls = import_names(image, directory(import_directory), 20, 12);
  result.delay_imported_dlls = import_names(image, directory(delay_import_directory), 32, 4);
  return result;
}

std::vector<std::uint8_t> read_whole_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path.string());
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
  if (file.bad()) throw std::runtime_error("cannot read " + path.string());
  return bytes;
}

}  // namespace webview::detail
