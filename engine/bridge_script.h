// The page side of the message bridge: the bootstrap script that gives every document its
// `window.__webview__` object.
#pragma once

#include <string>
#include <string_view>

namespace webview::detail {

// The WebView2 post function: hands the message text to `window.chrome.webview.postMessage`.
extern const std::string_view webview2_post_function;

// One strict-mode immediately invoked function expression, ending in "})()", with
// `post_function` (a JavaScript function expression taking the message text) spliced in.
std::string compose_bootstrap_script(std::string_view post_function);

// Scripts that settle the page's call `id` (any text the page chose): fulfilled with undefined,
// or rejected with an Error whose message is `error`.
std::string compose_call_fulfilled_script(std::string_view id);
std::string compose_call_failed_script(std::string_view id, std::string_view error);

}  // namespace webview::detail
