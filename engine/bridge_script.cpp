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
      } else if (status === 2) {
        entry.reject(new Error(result));
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

// `text` as a JSON string literal, which is also a JavaScript one. Bytes of invalid UTF-8 pass
// as they are; the script's conversion to UTF-16 replaces them.
std::string string_literal(std::string_view text) {
  std::string literal = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      literal += '\\';
      literal += c;
    } else if (byte < 0x20) {
      static constexpr char hex[] = "0123456789abcdef";
      literal += "\\u00";
      literal += hex[byte >> 4];
      literal += hex[byte & 0xF];
    } else {
      literal += c;
    }
  }
  return literal + '"';
}

}  // namespace

std::string compose_call_fulfilled_script(std::string_view id) {
  return "window.__webview__.onReply(" + string_literal(id) + ",0)";
}

std::string compose_call_failed_script(std::string_view id, std::string_view error) {
  return "window.__webview__.onReply(" + string_literal(id) + ",2," +
         string_literal(string_literal(error)) + ")";
}

std::string compose_bootstrap_script(std::string_view post_function) {
  std::string script;
  script.reserve(bootstrap_prefix.size() + post_function.size() + bootstrap_suffix.size());
  script.append(bootstrap_prefix);
  script.append(post_function);
  script.append(bootstrap_suffix);
  return script;
}

}  // namespace webview::detail
