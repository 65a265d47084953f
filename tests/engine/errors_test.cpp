#include "engine/errors.h"

#include <gtest/gtest.h>

#include "engine/platform_types.h"

namespace webview {
namespace {

TEST(Noresult, DefaultIsSuccessAndHasNoErrorToRead) {
  const noresult outcome;
  EXPECT_FALSE(outcome.has_error());
  EXPECT_THROW(outcome.error(), detail::bad_access);
  EXPECT_NO_THROW(outcome.throw_if_error());
}

TEST(Noresult, FailureThrowsAnExceptionWithTheSameCodeAndMessage) {
  const noresult outcome(error_detail{error_canceled, "waited in vain"});
  ASSERT_TRUE(outcome.has_error());
  EXPECT_EQ(outcome.error().code, error_canceled);
  try {
    outcome.throw_if_error();
    FAIL() << "no exception";
  } catch (const exception& thrown) {
    EXPECT_EQ(thrown.code(), error_canceled);
    EXPECT_STREQ(thrown.what(), "waited in vain");
    EXPECT_EQ(thrown.cause(), nullptr);
  }
}

TEST(Result, ErrorResultHasNoValue) {
  const result<HWND> outcome(error_detail{error_invalid_state, ""});
  EXPECT_FALSE(outcome.has_value());
  EXPECT_TRUE(outcome.has_error());
  EXPECT_THROW(outcome.value(), detail::bad_access);
  EXPECT_EQ(outcome.error().code, -3);
  EXPECT_EQ(outcome.error().message, "");
  EXPECT_THROW(outcome.throw_if_error(), exception);
}

TEST(Result, ValueResultHasNoError) {
  int target = 0;
  const result<int*> outcome(&target);
  EXPECT_TRUE(outcome.has_value());
  EXPECT_FALSE(outcome.has_error());
  EXPECT_EQ(outcome.value(), &target);
  EXPECT_THROW(outcome.error(), detail::bad_access);
  EXPECT_NO_THROW(outcome.throw_if_error());
}

TEST(Exception, CarriesTheDetailCharacterForCharacter) {
  const std::string message("bytes \xC3\xA9 and \0 inside", 19);
  const exception thrown(error_detail{error_missing_dependency, message});
  EXPECT_EQ(thrown.code(), -5);
  EXPECT_EQ(thrown.message(), message);
  EXPECT_EQ(std::string(thrown.what()), message.substr(0, message.find('\0')));
}

TEST(Exception, EmptyMessageGivesEmptyNotNullWhat) {
  const exception thrown(error_unspecified, "");
  ASSERT_NE(thrown.what(), nullptr);
  EXPECT_STREQ(thrown.what(), "");
}

}  // namespace
}  // namespace webview
