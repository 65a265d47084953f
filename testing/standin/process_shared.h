// What the stand-in's modules in one process share. After a runtime update the host loads the
// copy in the new version folder beside the running one: a second module with globals of its
// own, playing the same scenario into the same log. Counters, log numbering, armed timers and
// held user-data folders therefore live in one block per process, scenario and log (a named
// file mapping), so that the second module continues where the first one is; test copies with
// scenarios of their own stay apart. Safe to use from any thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace standin {

// What one module offers the others; pointers into that module, unregistered before it unloads.
struct module_entry {
  // This thread's newest (`oldest`: earliest created) live web view of the module: its number in
  // the process, 0 for none.
  std::int64_t (*live_webview)(bool oldest);
  // Runs after-navigate action `index` on that web view.
  void (*run_action)(std::size_t index);
  // A newer runtime was installed: NewBrowserVersionAvailable on the module's live environments.
  void (*version_installed)(const wchar_t* version);
};

struct process_shared {
  std::atomic<std::uint64_t> last_seq;
  std::atomic<long> log_busy;
  std::atomic<std::uint64_t> starts, controllers, scripts, navigations, navigation_ids, webviews,
      browser_processes;
  std::atomic<bool> start_actions_armed, navigation_actions_armed;
  // Hashes of the user-data folders that ended browser processes hold (0: a free slot).
  std::atomic<std::uint64_t> held_folders[64];
  // The user-data folders of running browser processes (0: a free slot), each with the module
  // (the runtime version) it runs in.
  std::atomic<std::uint64_t> running_folders[64];
  std::atomic<std::uintptr_t> running_modules[64];
  std::atomic<const module_entry*> modules[16];
};

// This process's block, mapped on first use; one of this module's own if the mapping fails.
process_shared& shared();

// Holds the block's log lock for as long as it lives: lines keep their seq order across modules.
class shared_log_lock {
 public:
  shared_log_lock() noexcept;
  ~shared_log_lock();
  shared_log_lock(const shared_log_lock&) = delete;
  shared_log_lock& operator=(const shared_log_lock&) = delete;
};

// A folder as compared: lower case, `/` as `\`, without trailing separators.
std::wstring folder_key(std::wstring folder);

// User-data folders that ended browser processes hold, compared by folder_key.
void hold_folder(const std::wstring& folder);
void release_folder(const std::wstring& folder);
bool is_folder_held(const std::wstring& folder);

// Running browser processes of this module, by user-data folder: one call of each per process.
void add_running_browser(const std::wstring& folder);
void remove_running_browser(const std::wstring& folder);
// Whether a browser process of another module (another runtime version) runs on `folder`.
bool runs_in_other_version(const std::wstring& folder);

void register_module(const module_entry* entry);
void unregister_module(const module_entry* entry);

}  // namespace standin
