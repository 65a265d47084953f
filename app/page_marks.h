// The application's document-start script: marks every document as running inside the shell.
#pragma once

namespace quendari {

// JavaScript source, UTF-8, null-terminated. Run before any page script, it stores "app" under
// "quendari-shell" in `sessionStorage` and sets `data-shell="app"` and `data-win=""` on the root
// element, at once or, when the parser has not inserted the root yet, as soon as it does. Each of
// the two steps tolerates the failure of the other; no exception escapes into the page.
extern const char page_marks_script[];

}  // namespace quendari
