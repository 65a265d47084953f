// Records what the shell opens for https and mailto links, instead of a browser, while it lives.
#pragma once

#include <string>

#include "tests/support/test_registry.h"

namespace quendari_test {

class opened_links {
 public:
  opened_links();
  ~opened_links();
  opened_links(const opened_links&) = delete;
  opened_links& operator=(const opened_links&) = delete;

  // The shell starts the handler asynchronously: waits up to 10 s for `count` lines.
  std::wstring wait_for_lines(std::size_t count) const;

 private:
  std::wstring command() const;
  std::wstring log_;
  scoped_string_value https_;
  scoped_string_value mailto_;
};

}  // namespace quendari_test
