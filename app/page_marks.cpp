#include "app/page_marks.h"

namespace quendari {

// A document-start script runs before the parser has created the root element, so the marks
// wait for it with an observer; `sessionStorage` throws in opaque origins, hence its own `try`.
const char page_marks_script[] =
    "(function(){"
    "try{sessionStorage.setItem('quendari-shell','app');}catch(e){}"
    "function mark(root){root.setAttribute('data-shell','app');root.setAttribute('data-win','');}"
    "try{if(document.documentElement){mark(document.documentElement);return;}"
    "var observer=new MutationObserver(function(){try{if(document.documentElement){"
    "observer.disconnect();mark(document.documentElement);}}catch(e){}});"
    "observer.observe(document,{childList:true});}catch(e){}"
    "})();";

}  // namespace quendari
