#include <gtest/gtest.h>

#include "tests/engine/fake_engine.h"

namespace webview::detail {
namespace {

struct received_call {
  std::string id;
  std::string params;
  void* context = nullptr;
};

class on_message : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.bind("add", binding{[this](std::string id, std::string params, void* context) {
                                 received.push_back({id, params, context});
                               },
                               &context_marker});
  }
  fake_engine engine;
  std::vector<received_call> received;
  int context_marker = 0;
};

TEST_F(on_message, bound_call_is_deferred_then_called_with_id_params_and_context) {
  engine.on_message(R"({"id":"0a1b","method":"add","params":[1,"x"]})");
  EXPECT_TRUE(received.empty()) << "never called inside on_message";
  ASSERT_EQ(engine.dispatched.size(), 1u);
  engine.run_dispatched();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].id, "0a1b");
  EXPECT_EQ(received[0].params, R"([1,"x"])");
  EXPECT_EQ(received[0].context, &context_marker);
}

TEST_F(on_message, calls_run_in_arrival_order) {
  engine.on_message(R"({"id":"1","method":"add","params":[]})");
  engine.on_message(R"({"id":"2","method":"add","params":[]})");
  engine.run_dispatched();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].id, "1");
  EXPECT_EQ(received[1].id, "2");
}

TEST_F(on_message, unbound_or_malformed_messages_are_dropped_without_dispatch) {
  for (const char* message : {
           R"({"id":"1","method":"missing","params":[]})",  // no such binding
           R"({"id":"1","method":"Add","params":[]})",      // names match byte for byte
           "not json at all", "{}", "",
           R"({"id":"1","method":"add\u0000","params":[]})",  // \u makes the name empty
       }) {
    engine.on_message(message);
  }
  EXPECT_TRUE(engine.dispatched.empty());
}

TEST_F(on_message, missing_members_arrive_empty) {
  engine.on_message(R"({"method":"add"})");
  engine.run_dispatched();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].id, "");
  EXPECT_EQ(received[0].params, "");
}

TEST_F(on_message, empty_callback_is_harmless) {
  engine.bind("nothing", binding{});
  engine.on_message(R"({"id":"1","method":"nothing","params":[]})");
  ASSERT_EQ(engine.dispatched.size(), 1u);
  EXPECT_NO_THROW(engine.run_dispatched());
}

}  // namespace
}  // namespace webview::detail
