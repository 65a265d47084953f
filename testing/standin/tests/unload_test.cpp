// Unloading: the DLL does not keep itself loaded, and says through DllCanUnloadNow when its code
// may still run.
#include <gtest/gtest.h>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

TEST(standin_unload, free_library_unloads_a_copy_with_nothing_in_use_and_notes_it) {
  standin_copy standin("");
  com_ptr<ICoreWebView2Environment> environment;
  environment_handler on_environment([&](HRESULT, ICoreWebView2Environment* created) {
    environment = com_ptr<ICoreWebView2Environment>::share(created);
    return S_OK;
  });
  ASSERT_EQ(standin.start(&on_environment), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_environment.calls == 1; }, 5000));
  EXPECT_EQ(standin.can_unload_now(), S_FALSE) << "unloadable while the environment lives";

  environment.reset();
  EXPECT_EQ(standin.can_unload_now(), S_OK);
  EXPECT_TRUE(standin.unload()) << "the DLL kept itself loaded";
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"note\":\"stand-in unloaded\"", "\"inUse\":0"}));
}

}  // namespace
}  // namespace standin_test
