#include "engine/bridge_script.h"

namespace webview::detail {

const std::string_view webview2_post_function =
    "function(message) {\n  return window.chrome.webview.postMessage(message);\n}";

namespace {

// Everything up to the call of the post function inside `post`.
constexpr std::string_view bootstrap_prefix = R"js((function() {
  "use strict";
  function generateId() {
    var crypto = window.crypto || window.msCrypto;
    var bytes = new Uint8Array(16);
    crypto.getRandomValues(bytes);
    return Array.prototype.map.call(bytes, function(byte) {
      return byte.toString(16).padStart(2, "0");
    }).join("");
  }
  var Webview = (function() {
    var _promises = {};
    function Webview_() {}
    Webview_.prototype.post = function(message) {
      return ()js";

constexpr std::string_view bootstrap_suffix = R"js()(message);
    };
    Webview_.prototype.call = function(method) {
      var id = generateId();
      var params = Array.prototype.slice.call(arguments, 1);
      var promise = new Promise(function(resolve, reject) {
        _promises[id] = {resolve: resolve, reject: reject};
      });
      this.post(JSON.stringify({id: id, method: method, params: params}));
      return promise;
    };
    Webview_.prototype.onReply = function(id, status, result) {
      var entry = _promises[id];
      if (result !== undefined) {
        try {
          result = JSON.parse(result);
        } catch (e) {
          entry.reject(new Error("Failed to parse binding result as JSON"));
          return;
        }
      }
      if (status === 0) {
        entry.resolve(result);
      } else {
        entry.reject(result);
      }
    };
    Webview_.prototype.onBind = function(name) {
      if (Object.hasOwn(window, name)) {
        throw new Error('Property "' + name + '" already exists');
      }
      window[name] = function() {
        var args = Array.prototype.slice.call(arguments);
        return this.call.apply(this, [name].concat(args));
      }.bind(this);
    };
    Webview_.prototype.onUnbind = function(name) {
      if (!Object.hasOwn(window, name)) {
        throw new Error('Property "' + name + '" does not exist');
      }
      delete window[name];
    };
    return Webview_;
  })();
  window.__webview__ = new Webview();
})())js";

}  // namespace

std::string compose_bootstrap_script(std::string_view post_function) {
  std::string script;
  script.reserve(bootstrap_prefix.size() + post_function.size() + bootstrap_suffix.size());
  script.append(bootstrap_prefix);
  script.append(post_function);
  script.append(bootstrap_suffix);
  return script;
}

}  // namespace webview::detail
