// The unread count on the taskbar button: what the page sets through the Badging API or, until it
// does, what its title announces ("(3) Inbox").
#include "engine/unread_count.h"
#include "util/diagnostic_log.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {

void win32_edge_engine::set_app_badge(std::optional<unsigned> count) {
  // The page keeps its count itself from now on: its title may say something else.
  page_sets_badge = true;
  if (badge) badge->show(count);
}

void win32_edge_engine::on_page_title(const std::wstring& title) {
  if (!page_sets_badge && badge) badge->show(unread_count_from_title(title));
}

}  // namespace webview::detail
