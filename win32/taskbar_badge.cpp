#include "win32/taskbar_badge.h"

#include <string>

#include "util/diagnostic_log.h"
#include "engine/unread_count.h"
#include "win32/dpi.h"

namespace webview::detail {

UINT taskbar_button_created_message() noexcept {
  return RegisterWindowMessageW(L"TaskbarButtonCreated");
}

taskbar_badge::taskbar_badge(HWND window) noexcept : window_(window) {}

taskbar_badge::~taskbar_badge() = default;

void taskbar_badge::on_taskbar_button_created() {
  if (!taskbar_) {
    com_ptr<ITaskbarList3> taskbar;
    if (!log_if_failed(
            "CoCreateInstance(TaskbarList)",
            CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                             reinterpret_cast<void**>(taskbar.put()))) ||
        !log_if_failed("ITaskbarList3::HrInit", taskbar->HrInit())) {
      return;
    }
    taskbar_ = std::move(taskbar);
  }
  apply();
}

void taskbar_badge::show(std::optional<unsigned> count) {
  if (count == count_) return;
  count_ = count;
  apply();
}

void taskbar_badge::dpi_changed() {
  if (count_) apply();
}

void taskbar_badge::apply() {
  if (!taskbar_) return;
  unique_icon icon;
  std::wstring description;
  if (count_) {
    icon = draw_unread_badge(badge_text(*count_), small_icon_size(window_).cx, badge_fill_colour());
    description = badge_description(*count_);
  }
  // A badge that could not be drawn is taken off rather than left showing an old count.
  if (log_if_failed(
          "ITaskbarList3::SetOverlayIcon",
          taskbar_->SetOverlayIcon(window_, icon.get(), icon ? description.c_str() : nullptr))) {
    icon_ = std::move(icon);
  }
}

}  // namespace webview::detail
