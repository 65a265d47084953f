// The application's document-start script: marks every document as running inside the shell,
// and gives the application's own documents the Badging API.
#pragma once

#include <string>
#include <string_view>

namespace quendari {

// The bridge name the Badging API's calls go to.
constexpr char app_badge_function[] = "__quendari_app_badge__";

// JavaScript source, UTF-8. Run before any page script, it stores "app" under "quendari-shell" in
// `sessionStorage` and sets `data-shell="app"` and `data-win=""` on the root element, at once or,
// when the parser has not inserted the root yet, as soon as it does. In the main window's
// top-level documents of `origin` (scheme://host[:port]) it replaces navigator.setAppBadge and
// navigator.clearAppBadge with calls of `app_badge_function`. Each step tolerates the failure of
// the others; no exception escapes into the page.
std::string compose_page_marks_script(std::string_view origin);

}  // namespace quendari
