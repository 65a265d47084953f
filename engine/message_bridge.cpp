#include <utility>

#include "engine/engine_base.h"
#include "engine/json.h"

namespace webview::detail {

void engine_base::on_message(const std::string& message) {
  std::string id = json_get(message, "id", 0);
  const std::string method = json_get(message, "method", 0);
  std::string params = json_get(message, "params", 0);
  const auto found = bindings.find(method);
  if (found == bindings.end()) return;
  auto callback = found->second.callback;
  void* context = found->second.context;
  dispatch_impl([callback = std::move(callback), context, id = std::move(id),
                 params = std::move(params)] {
    if (callback) callback(id, params, context);
  });
}

}  // namespace webview::detail
