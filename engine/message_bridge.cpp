#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "engine/engine_base.h"
#include "engine/json.h"

namespace webview::detail {

void engine_base::on_message(const std::string& message) {
  // One pass reads all three members; each comes out as json_get would give it.
  static constexpr std::string_view keys[] = {"id", "method", "params"};
  std::string members[std::size(keys)];
  json_get_members(message, keys, members, std::size(keys));
  std::string& id = members[0];
  const std::string& method = members[1];
  std::string& params = members[2];
  const auto found = bindings.find(method);
  if (found == bindings.end()) return;
  auto callback = found->second.callback;
  void* context = found->second.context;
  dispatch_impl(
      [callback = std::move(callback), context, id = std::move(id), params = std::move(params)] {
        if (callback) callback(id, params, context);
      });
}

}  // namespace webview::detail
