#include "testing/standin/process_shared.h"

#include <cwchar>
#include <cwctype>
#include <iterator>

#include "testing/standin/runtime_state.h"

namespace standin {
namespace {

std::uint64_t hash(std::wstring_view text) {
  std::uint64_t value = 14695981039346656037ull;  // FNV-1a
  for (const wchar_t c : text) value = (value ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
  return value == 0 ? 1 : value;
}

// A mapping of the paging file, zero-filled when created, kept until the module unloads; each
// module maps its own view of it.
class shared_mapping {
 public:
  shared_mapping() {
    wchar_t name[96];
    std::swprintf(
        name, 96, L"Local\\quendari-standin-%lu-%016llx", GetCurrentProcessId(),
        static_cast<unsigned long long>(hash(environment_variable(scenario_variable) + L'\n' +
                                             environment_variable(log_variable))));
    mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 sizeof(process_shared), name);
    if (mapping) view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(process_shared));
  }
  ~shared_mapping() {
    if (view) UnmapViewOfFile(view);
    if (mapping) CloseHandle(mapping);
  }
  shared_mapping(const shared_mapping&) = delete;
  shared_mapping& operator=(const shared_mapping&) = delete;

  process_shared* block() const { return static_cast<process_shared*>(view); }

 private:
  HANDLE mapping = nullptr;
  void* view = nullptr;
};

std::uint64_t folder_hash(const std::wstring& folder) { return hash(folder_key(folder)); }

// This module's identity among the copies loaded in the process.
std::uintptr_t this_module() {
  static const char marker = 0;
  return reinterpret_cast<std::uintptr_t>(&marker);
}

}  // namespace

std::wstring folder_key(std::wstring folder) {
  for (wchar_t& c : folder) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

process_shared& shared() {
  static shared_mapping mapping;
  static process_shared own{};
  return mapping.block() ? *mapping.block() : own;
}

shared_log_lock::shared_log_lock() noexcept {
  while (shared().log_busy.exchange(1, std::memory_order_acquire) != 0) Sleep(0);
}

shared_log_lock::~shared_log_lock() { shared().log_busy.store(0, std::memory_order_release); }

void hold_folder(const std::wstring& folder) {
  const std::uint64_t key = folder_hash(folder);
  for (auto& slot : shared().held_folders) {
    std::uint64_t free = 0;
    if (slot.compare_exchange_strong(free, key)) return;
  }
}

void release_folder(const std::wstring& folder) {
  const std::uint64_t key = folder_hash(folder);
  for (auto& slot : shared().held_folders) {
    std::uint64_t held = key;
    if (slot.compare_exchange_strong(held, 0)) return;
  }
}

bool is_folder_held(const std::wstring& folder) {
  const std::uint64_t key = folder_hash(folder);
  for (const auto& slot : shared().held_folders) {
    if (slot.load() == key) return true;
  }
  return false;
}

void add_running_browser(const std::wstring& folder) {
  const std::uint64_t key = folder_hash(folder);
  process_shared& block = shared();
  for (std::size_t slot = 0; slot < std::size(block.running_folders); ++slot) {
    std::uint64_t free = 0;
    if (block.running_folders[slot].compare_exchange_strong(free, key)) {
      block.running_modules[slot] = this_module();
      return;
    }
  }
}

void remove_running_browser(const std::wstring& folder) {
  const std::uint64_t key = folder_hash(folder);
  process_shared& block = shared();
  for (std::size_t slot = 0; slot < std::size(block.running_folders); ++slot) {
    if (block.running_folders[slot] != key || block.running_modules[slot] != this_module()) {
      continue;
    }
    block.running_modules[slot] = 0;
    block.running_folders[slot] = 0;
    return;
  }
}

bool runs_in_other_version(const std::wstring& folder) {
  const std::uint64_t key = folder_hash(folder);
  const process_shared& block = shared();
  for (std::size_t slot = 0; slot < std::size(block.running_folders); ++slot) {
    if (block.running_folders[slot] == key && block.running_modules[slot] != this_module()) {
      return true;
    }
  }
  return false;
}

void register_module(const module_entry* entry) {
  for (auto& slot : shared().modules) {
    const module_entry* free = nullptr;
    if (slot.compare_exchange_strong(free, entry)) return;
  }
}

void unregister_module(const module_entry* entry) {
  for (auto& slot : shared().modules) {
    const module_entry* own = entry;
    if (slot.compare_exchange_strong(own, nullptr)) return;
  }
}

}  // namespace standin
