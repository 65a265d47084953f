#include "app/page_marks.h"

namespace quendari {
namespace {

// A document-start script runs before the parser has created the root element, so the marks
// wait for it with an observer; `sessionStorage` throws in opaque origins, hence its own `try`.
constexpr char marks[] =
    "(function(){"
    "try{sessionStorage.setItem('quendari-shell','app');}catch(e){}"
    "function mark(root){root.setAttribute('data-shell','app');root.setAttribute('data-win','');}"
    "try{if(document.documentElement){mark(document.documentElement);return;}"
    "var observer=new MutationObserver(function(){try{if(document.documentElement){"
    "observer.disconnect();mark(document.documentElement);}}catch(e){}});"
    "observer.observe(document,{childList:true});}catch(e){}"
    "})();";

// setAppBadge() shows a dot, setAppBadge(0) and clearAppBadge() clear it; a count that is not a
// number from 0 to 2^53-1 is refused with a TypeError, as the Badging API does. Frames and popups
// (which have an opener) keep the browser's own.
constexpr char badging_start[] = "(function(){try{if(location.origin!==";
constexpr char badging_end[] =
    "||window.top!==window||window.opener)return;"
    "function call(args){var bridge=window.__webview__;"
    "return bridge.call.apply(bridge,[NAME].concat(args));}"
    "function setAppBadge(count){if(count===undefined)return call([]);count=Number(count);"
    "if(!(count>=0&&count<=Number.MAX_SAFE_INTEGER))return Promise.reject(new TypeError("
    "'The badge count must be a number from 0 up'));return call([Math.floor(count)]);}"
    "function clearAppBadge(){return call([0]);}"
    "Object.defineProperty(navigator,'setAppBadge',{value:setAppBadge,configurable:true,"
    "writable:true});"
    "Object.defineProperty(navigator,'clearAppBadge',{value:clearAppBadge,configurable:true,"
    "writable:true});"
    "}catch(e){}})();";

// `text` quoted for a script; origins and the bridge name hold no quote or backslash.
std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

std::string compose_page_marks_script(std::string_view origin) {
  std::string badging = badging_end;
  badging.replace(badging.find("NAME"), 4, quoted(app_badge_function));
  return marks + (badging_start + quoted(origin)) + badging;
}

}  // namespace quendari
