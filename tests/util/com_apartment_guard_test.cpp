#include "util/com_apartment_guard.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>
#include <utility>

#include "engine/errors.h"

namespace webview::detail {
namespace {

// Each case runs on a fresh thread so that the apartment state it observes is its own.
template <typename Body>
void on_fresh_thread(Body body) {
  std::thread(body).join();
}

// Whether the calling thread is in an apartment, observed without changing it: a fresh STA
// initialisation answers S_OK when it was not, and is undone at once.
bool thread_has_apartment() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr != S_OK;
}

TEST(com_apartment_guard, initialises_and_pays_back_on_destruction) {
  on_fresh_thread([] {
    {
      const com_apartment_guard guard(COINIT_APARTMENTTHREADED);
      EXPECT_TRUE(guard.is_initialized());
      EXPECT_TRUE(thread_has_apartment());
    }
    EXPECT_FALSE(thread_has_apartment());
  });
}

TEST(com_apartment_guard, s_false_counts_and_is_paid_back_once) {
  on_fresh_thread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
      const com_apartment_guard guard(COINIT_APARTMENTTHREADED);
      EXPECT_TRUE(guard.is_initialized());
    }
    // The guard paid back only its own call: the thread's first one is still owed.
    EXPECT_TRUE(thread_has_apartment());
    CoUninitialize();
    EXPECT_FALSE(thread_has_apartment());
  });
}

TEST(com_apartment_guard, thread_in_the_multithreaded_apartment_is_invalid_state) {
  on_fresh_thread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    try {
      const com_apartment_guard guard(COINIT_APARTMENTTHREADED);
      ADD_FAILURE() << "no exception";
    } catch (const webview::exception& e) {
      EXPECT_EQ(e.code(), error_invalid_state);
      EXPECT_STREQ(e.what(), "CoInitializeEx already called with a different concurrency model");
    }
    // The failed guard owes nothing, so the thread's own call is still in place.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
  });
}

TEST(com_apartment_guard, moved_from_guard_calls_nothing) {
  on_fresh_thread([] {
    {
      com_apartment_guard target;
      {
        com_apartment_guard source(COINIT_APARTMENTTHREADED);
        target = std::move(source);
        EXPECT_FALSE(source.is_initialized());
      }
      EXPECT_TRUE(target.is_initialized());
      EXPECT_TRUE(thread_has_apartment());
      const com_apartment_guard constructed(std::move(target));
      EXPECT_FALSE(target.is_initialized());
      EXPECT_TRUE(thread_has_apartment());
    }
    EXPECT_FALSE(thread_has_apartment());
  });
}

TEST(com_apartment_guard, move_assignment_pays_back_the_overwritten_call) {
  on_fresh_thread([] {
    com_apartment_guard first(COINIT_APARTMENTTHREADED);
    {
      com_apartment_guard second(COINIT_APARTMENTTHREADED);  // S_FALSE, owes one more
      first = std::move(second);
    }
    EXPECT_TRUE(thread_has_apartment());
    first = com_apartment_guard();
    EXPECT_FALSE(thread_has_apartment());
  });
}

}  // namespace
}  // namespace webview::detail
