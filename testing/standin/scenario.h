// The scenario that the stand-in plays: what each environment start, controller creation, script
// registration and navigation answers, how settings calls fail, and the page actions that run on
// timers.
// The file format is described in README.md; parse_scenario is pure.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "webview2/webview2_abi.h"

namespace standin {

// How one call that starts asynchronous work answers.
enum class step_outcome {
  succeed,       // accepted; the completion reports success
  refuse,        // returns `code` at once; nothing is started
  fail,          // accepted; the completion reports `code`
  later_quit,    // environment starts only: accepted, WM_QUIT posted instead of a completion
  no_webview,    // controllers only: succeeds, but get_CoreWebView2 fails with E_FAIL
  null_webview,  // controllers only: succeeds, but get_CoreWebView2 gives S_OK and null
  hold,          // controllers only: accepted; E_ABORT comes when the parent window is destroyed
  never,         // scripts only: accepted; no completion ever comes
};

struct step {
  step_outcome outcome = step_outcome::succeed;
  HRESULT code = S_OK;
};

// How one navigation ends: success, or failure with the status the web view reports.
struct navigation_step {
  bool success = true;
  COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
  int http_status = -1;  // -1: 200 for an http or https URI, else 0
};

// The features a page gave window.open, in CSS pixels.
struct window_features {
  bool has_size = false;
  UINT32 width = 0, height = 0;
  bool has_position = false;
  UINT32 left = 0, top = 0;
};

enum class action_kind {
  message_string,
  message_json,
  zoom,
  fullscreen,
  new_window,
  permission,
  close,
  quit,
  screenshot_ready,
  process_failed,
  go,
  window_close,
  title,
  notification,
  notification_close,
  new_version,
};

struct page_action {
  action_kind kind = action_kind::quit;
  // message_string: the text; message_json: the JSON; title and notification: the title;
  // new_version: the version; else the URI
  std::wstring text;
  // message: the sending document's URI (empty: the web view's source); notification: the origin
  std::wstring sender;
  std::wstring body;      // notification
  bool is_string = true;  // message_json: whether the JSON is a string literal
  double zoom = 1.0;
  bool on = false;  // fullscreen: on; new_window: initiated by the user; notification: silent
  COREWEBVIEW2_PERMISSION_KIND permission_kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;
  COREWEBVIEW2_PROCESS_FAILED_KIND failed_kind =
      COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED;
  window_features features;  // new_window
  bool oldest = false;       // `first`: the oldest live web view instead of the newest
};

struct timed_action {
  unsigned delay_ms = 0;
  page_action action;
};

struct scenario_error {
  unsigned line = 0;  // 1-based; 0 for the file as a whole
  std::string text;   // the line as written (UTF-8)
  std::string reason;
};

struct scenario {
  std::vector<step> starts;       // environment starts #1, #2, ...
  std::vector<step> controllers;  // CreateCoreWebView2Controller calls #1, #2, ... of the process
  std::vector<step> scripts;      // AddScriptToExecuteOnDocumentCreated calls #1, #2, ...
  std::vector<navigation_step> navigations;          // navigations #1, #2, ... of the process
  bool deliver_inside = false;                       // completions inside the originating call
  std::map<std::string, HRESULT> settings_failures;  // settings method name -> its result
  std::wstring user_agent;
  bool settings2_available = true;
  bool controller2_available = true;  // false: an older runtime without ICoreWebView2Controller2
  bool navigation_args2_available = true;  // false: NavigationCompletedEventArgs2 is refused
  bool environment5_available = true;      // false: a runtime before ICoreWebView2Environment5
  bool notifications_available = false;    // true: a runtime with ICoreWebView2_24
  // How long an ended browser process keeps its user-data folder; nullopt: for ever.
  std::optional<unsigned> release_ms = 0u;
  std::vector<timed_action> after_start;     // armed by the first environment start
  std::vector<timed_action> after_navigate;  // armed by the process's first navigation
  std::vector<scenario_error> errors;        // any error makes the stand-in refuse every start
};

extern const wchar_t* const default_user_agent;

// The scenario word for `outcome` ("ok", "refuse", ...), for the log.
const char* outcome_name(step_outcome outcome);

// The scenario word for `kind` ("message", "processfailed", ...), for the log.
const char* action_name(action_kind kind);

// The step for call number `index` (0-based); past the listed ones, calls succeed.
step step_at(const std::vector<step>& steps, std::size_t index);
navigation_step navigation_at(const std::vector<navigation_step>& steps, std::size_t index);

scenario parse_scenario(std::string_view utf8_text);

// Reads and parses the file; an unreadable file gives a scenario with one error.
scenario load_scenario(const std::wstring& path);

}  // namespace standin
