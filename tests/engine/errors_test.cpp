#include "engine/errors.h"

#include <gtest/gtest.h>

#include "engine/platform_types.h"

namespace webview {
namespace {

TEST(noresult, default_is_success_and_has_no_error_to_read) {
  const noresult outcome;
  EXPECT_FALSE(outcome.has_error());
  EXPECT_THROW(outcome.error(), detail::bad_access);
  EXPECT_NO_THROW(outcome.throw_if_error());
}

TEST(noresult, failure_throws_an_exception_with_the_same_codes_and_message) {
  const noresult outcome(error_detail{error_canceled, "waited in vain", -2147467260});
  ASSERT_TRUE(outcome.has_error());
  EXPECT_EQ(outcome.error().code, error_canceled);
  try {
    outcome.throw_if_error();
    FAIL() << "no exception";
  } catch (const exception& thrown) {
    EXPECT_EQ(thrown.code(), error_canceled);
    EXPECT_EQ(thrown.platform_code(), -2147467260) << "the failing HRESULT survives the throw";
    EXPECT_STREQ(thrown.what(), "waited in vain");
    EXPECT_EQ(thrown.cause(), nullptr);
  }
}

TEST(result, error_result_has_no_value) {
  const result<HWND> outcome(error_detail{error_invalid_state, ""});
  EXPECT_FALSE(outcome.has_value());
  EXPECT_TRUE(outcome.has_error());
  EXPECT_THROW(outcome.value(), detail::bad_access);
  EXPECT_EQ(outcome.error().code, -3);
  EXPECT_EQ(outcome.error().message, "");
  EXPECT_THROW(outcome.throw_if_error(), exception);
}

TEST(result, value_result_has_no_error) {
  int target = 0;
  const result<int*> outcome(&target);
  EXPECT_TRUE(outcome.has_value());
  EXPECT_FALSE(outcome.has_error());
  EXPECT_EQ(outcome.value(), &target);
  EXPECT_THROW(outcome.error(), detail::bad_access);
  EXPECT_NO_THROW(outcome.throw_if_error());
}

TEST(exception, carries_the_detail_character_for_character) {
  const std::string message("bytes \xC3\xA9 and \0 inside", 19);
  const exception thrown(error_detail{error_missing_dependency, message});
  EXPECT_EQ(thrown.code(), -5);
  EXPECT_EQ(thrown.message(), message);
  EXPECT_EQ(std::string(thrown.what()), message.substr(0, message.find('\0')));
}

TEST(exception, empty_message_gives_empty_not_null_what) {
  const exception thrown(error_unspecified, "");
  ASSERT_NE(thrown.what(), nullptr);
  EXPECT_STREQ(thrown.what(), "");
}

}  // namespace
}  // namespace webview
