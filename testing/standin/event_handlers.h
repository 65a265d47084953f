// The handlers registered for one event of one object. Each registration holds its own
// reference to the handler until it is removed or the owning object dies. Owner's thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "testing/standin/runtime_state.h"
#include "util/com_ptr.h"
#include "webview2/webview2_abi.h"

namespace standin {

using webview::detail::com_ptr;

template <typename Handler>
class event_handlers {
 public:
  HRESULT add(Handler* handler, EventRegistrationToken* token) {
    if (!handler) return E_INVALIDARG;
    if (!token) return E_POINTER;
    token->value = next_token++;
    entries.emplace_back(token->value, com_ptr<Handler>::share(handler));
    return S_OK;
  }

  // Unknown tokens are ignored, as removing twice is harmless.
  HRESULT remove(EventRegistrationToken token) {
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
      if (entry->first == token.value) {
        entries.erase(entry);
        break;
      }
    }
    return S_OK;
  }

  // Calls every handler registered when the event fires, after logging an "event" line, and
  // returns their results. A handler that registers or removes handlers meanwhile does not
  // disturb the round.
  template <typename Sender, typename Args>
  std::vector<HRESULT> raise(const char* name, Sender* sender, Args* args,
                             const log_fields& event_args) {
    std::vector<com_ptr<Handler>> round;
    round.reserve(entries.size());
    for (const auto& entry : entries) round.push_back(com_ptr<Handler>::share(entry.second.get()));
    log_fields event_line;
    event_line.utf8("event", name).object("args", event_args).integer("handlers", round.size());
    runtime_state::get().log().write(event_line);
    std::vector<HRESULT> results;
    for (const auto& handler : round) results.push_back(handler->Invoke(sender, args));
    return results;
  }

  // raise(), then an "outcome" line: the handlers' results plus `outcome_fields()`.
  template <typename Sender, typename Args, typename Outcome>
  void fire(const char* name, Sender* sender, Args* args, const log_fields& event_args,
            Outcome outcome_fields) {
    const std::vector<HRESULT> results = raise(name, sender, args, event_args);
    log_fields outcome = outcome_fields();
    outcome.hresults("results", results);
    runtime_state::get().log().write(log_fields().utf8("outcome", name).object("args", outcome));
  }

  std::size_t size() const { return entries.size(); }

 private:
  std::vector<std::pair<std::int64_t, com_ptr<Handler>>> entries;
  std::int64_t next_token = 1;
};

}  // namespace standin
