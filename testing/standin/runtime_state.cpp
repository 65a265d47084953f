#include "testing/standin/runtime_state.h"

#include <string>

#include "testing/standin/json_text.h"
#include "testing/standin/page_actions.h"
#include "testing/standin/runtime_update.h"

namespace standin {

const wchar_t* const log_variable = L"QUENDARI_STANDIN_LOG";
const wchar_t* const scenario_variable = L"QUENDARI_STANDIN_SCENARIO";

std::wstring environment_variable(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return std::wstring();
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

namespace {

std::atomic<runtime_state*> made{nullptr};

scenario scenario_from_environment() {
  const std::wstring path = environment_variable(scenario_variable);
  if (path.empty()) return parse_scenario("");
  return load_scenario(path);
}

}  // namespace

runtime_state::runtime_state()
    : calls(environment_variable(log_variable)), played(scenario_from_environment()) {
  calls.write(log_fields()
                  .utf8("note", "stand-in loaded")
                  .object("args", log_fields()
                                      .text("module", module_file_path())
                                      .text("scenario", environment_variable(scenario_variable))
                                      .integer("errors", played.errors.size())));
  for (const scenario_error& error : played.errors) {
    calls.write(log_fields()
                    .utf8("note", "scenario error")
                    .object("args", log_fields()
                                        .integer("line", error.line)
                                        .text("text", widen_utf8(error.text).value_or(L"?"))
                                        .utf8("reason", error.reason)));
  }
  made = this;
  register_module(&this_module_entry());
}

runtime_state::~runtime_state() {
  unregister_module(&this_module_entry());
  made = nullptr;
}

runtime_state* runtime_state::existing() noexcept { return made.load(); }

runtime_state& runtime_state::get() {
  static runtime_state state;
  return state;
}

std::shared_ptr<ui_thread_queue> runtime_state::queue_for_current_thread() {
  std::lock_guard<std::mutex> guard(queues_lock);
  std::weak_ptr<ui_thread_queue>& slot = queues[GetCurrentThreadId()];
  std::shared_ptr<ui_thread_queue> queue = slot.lock();
  if (!queue) {
    queue = ui_thread_queue::create();
    slot = queue;
  }
  return queue;
}

HRESULT log_call(const char* interface_name, const char* method, const log_fields& args,
                 HRESULT result) {
  runtime_state::get().log().write(log_fields()
                                       .utf8("interface", interface_name)
                                       .utf8("method", method)
                                       .object("args", args)
                                       .hresult("result", result));
  return result;
}

void log_note(const char* note, const log_fields& args) {
  runtime_state::get().log().write(log_fields().utf8("note", note).object("args", args));
}

}  // namespace standin
