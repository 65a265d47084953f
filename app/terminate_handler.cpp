// What an exception that escapes every handler leaves behind. libstdc++'s default handler prints
// the exception's demangled type to stderr, which a GUI process does not have, and its demangler
// is some 45 KB of the executable: this definition takes its place when the executable is linked,
// and writes a line to the diagnostic log instead.
#include <cstdlib>
#include <exception>

#include "util/diagnostic_log.h"

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  webview::detail::log_event("terminated: an exception reached no handler");
  std::abort();
}

}  // namespace __gnu_cxx
