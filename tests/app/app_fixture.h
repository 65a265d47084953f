// Runs of Quendari.exe against the stand-in runtime, registered as an installed runtime, with no
// zoom.txt or window.txt left over from another test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/app/quendari_run.h"
#include "tests/support/standin_runtime.h"

namespace quendari_test {

class app_with_runtime : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileW(zoom_file.c_str());
    DeleteFileW(window_file.c_str());
  }
  void TearDown() override {
    DeleteFileW(zoom_file.c_str());
    DeleteFileW(window_file.c_str());
  }

  scoped_standin_runtime runtime;
  const std::wstring zoom_file = quendari_user_data_folder() + L"\\zoom.txt";
  const std::wstring window_file = quendari_user_data_folder() + L"\\window.txt";
};

}  // namespace quendari_test
