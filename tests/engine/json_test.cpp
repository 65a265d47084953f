#include "engine/json.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace webview::detail {
namespace {

using namespace std::string_literals;

// The text in a heap block of exactly its size, with no terminator, so that AddressSanitizer
// reports any read past the length.
struct exact_buffer {
  explicit exact_buffer(const std::string& text)
      : bytes(std::make_unique<char[]>(text.size())), size(text.size()) {
    std::memcpy(bytes.get(), text.data(), text.size());
  }
  std::string_view view() const { return {bytes.get(), size}; }
  std::unique_ptr<char[]> bytes;
  std::size_t size;
};

// The found span (nullopt for -1), after checking the outputs' contract.
std::optional<std::string> scan(const std::string& text, const char* key, int index) {
  const exact_buffer buffer(text);
  const exact_buffer key_buffer(key ? key : "");
  const char* value = "unset";
  std::size_t length = 99;
  const int status =
      key ? json_scan(buffer.bytes.get(), buffer.size, key_buffer.bytes.get(),
                      static_cast<std::ptrdiff_t>(key_buffer.size), &value, &length)
          : json_scan(buffer.bytes.get(), buffer.size, nullptr, index, &value, &length);
  if (status != 0) {
    EXPECT_EQ(status, -1);
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(length, 0u);
    return std::nullopt;
  }
  EXPECT_GE(value, buffer.bytes.get());
  EXPECT_LE(value + length, buffer.bytes.get() + buffer.size);
  return std::string(value, length);
}

std::string get(const std::string& text, const std::string& key, int index = 0) {
  const exact_buffer buffer(text);
  const exact_buffer key_buffer(key);
  return json_get(buffer.view(), key_buffer.view(), index);
}

struct scan_case {
  const char* what;
  std::string text;
  const char* key;  // null: index mode
  int index;
  std::optional<std::string> span;
};

const scan_case scan_cases[] = {
    {"a call message, first member", R"({"id":"0a1b","method":"f","params":[1,"x"]})", "id", 0,
     R"("0a1b")"},
    {"a call message, the array member", R"({"id":"0a1b","method":"f","params":[1,"x"]})", "params",
     0, R"([1,"x"])"},
    {"a member that is absent", R"({"id":"0a1b","method":"f"})", "params", 0, std::nullopt},
    {"a nested key is never matched", R"({"a":{"id":"x"},"id":"y"})", "id", 0, R"("y")"},
    {"only a nested key", R"({"a":{"id":"x"}})", "id", 0, std::nullopt},
    {"the first of two equal keys wins", R"({"id":"x","id":"y"})", "id", 0, R"("x")"},
    {"a value equal to the key is not a key", R"({"k":"id","id":"v"})", "id", 0, R"("v")"},
    {"a value equal to the key, no such key", R"({"k":"id","j":"v"})", "id", 0, std::nullopt},
    {"a key with an escape, looked up unescaped", R"({"a\"b":1})", "a\"b", 0, std::nullopt},
    {"a key with an escape, looked up escaped", R"({"a\"b":1})", R"(a\"b)", 0, "1"},
    {"a \\u-escaped key does not match its decoded form", R"({"\u0069d":1})", "id", 0,
     std::nullopt},
    {"a number ended by the closing brace", R"({"n":12})", "n", 0, "12"},
    {"a number ended by a line feed", "{\"n\":12\n}", "n", 0, "12"},
    {"literal letters are not validated", R"({"a":nul,"b":-x,"n":1e5e5})", "n", 0, "1e5e5"},
    {"an object value keeps its inner whitespace", R"({"o": { "a" : [1, 2] } })", "o", 0,
     R"({ "a" : [1, 2] })"},
    {"whitespace everywhere", " \t\r\n{ \"id\" :\t\"x\" \r\n}", "id", 0, R"("x")"},
    {"an array read as key/value pairs", R"(["id","x"])", "id", 0, R"("x")"},
    {"a key with no value", R"({"id"})", "id", 0, std::nullopt},
    {"text ends after the key", R"({"id":)", "id", 0, std::nullopt},
    {"text ends inside the value", R"({"id":"x)", "id", 0, std::nullopt},
    {"text ends right after a literal value", R"({"id":12)", "id", 0, std::nullopt},
    {"an unterminated object after the value", R"({"id":"x")", "id", 0, R"("x")"},
    {"garbage after the value is never read", "{\"id\":\"x\"}\x01\xff garbage", "id", 0, R"("x")"},
    {"a malformed byte right after the value", "{\"id\":\"x\",\x01", "id", 0, R"("x")"},
    {"a control byte in a string before the value", "{\"a\":\"\x01\",\"id\":\"x\"}", "id", 0,
     std::nullopt},
    {"an unknown escape before the value", R"({"a":"\q","id":"x"})", "id", 0, std::nullopt},
    {"a stray continuation byte before the value", "{\"a\":\"\x80\",\"id\":1}", "id", 0,
     std::nullopt},
    {"a lead byte missing its continuation", "{\"a\":\"\xC3x\",\"id\":1}", "id", 0, std::nullopt},
    {"DEL in a string before the value", "{\"a\":\"\x7f\",\"id\":1}", "id", 0, std::nullopt},
    {"a stray letter between tokens", R"({"a":1 x,"id":1})", "id", 0, std::nullopt},
    {"a control byte ending the literal value", "{\"id\":1\x01}", "id", 0, std::nullopt},
    {"a non-ASCII byte ending the literal value", "{\"id\":1\x80}", "id", 0, std::nullopt},
    {"a tab ending the literal value", "{\"id\":1\t\x01", "id", 0, "1"},
    {"a quote inside a literal continues it", R"({"a":tr"ue,"id":1})", "id", 0, "1"},
    {"a malformed byte inside the value itself", "{\"id\":[1,\"\x02\"]}", "id", 0, std::nullopt},
    {"a closer first puts the members below depth 1", R"(}{"id":"x"})", "id", 0, std::nullopt},
    {"nothing at all", "", "id", 0, std::nullopt},
    {"index 0 of an array", R"([10,"b",true])", nullptr, 0, "10"},
    {"index 1 of an array", R"([10,"b",true])", nullptr, 1, R"("b")"},
    {"index 2 of an array", R"([10,"b",true])", nullptr, 2, "true"},
    {"an index past the end", R"([10,"b",true])", nullptr, 3, std::nullopt},
    {"a negative index", R"([10,"b",true])", nullptr, -1, std::nullopt},
    {"the largest index", R"([10,"b",true])", nullptr, INT_MAX, std::nullopt},
    {"index 1 of an object is the first value", R"({"a":1,"b":2})", nullptr, 1, "1"},
    {"index 2 of an object is the second key", R"({"a":1,"b":2})", nullptr, 2, R"("b")"},
    {"a nested array counts as one element", R"([[1,[2]],{"x":[3]},4])", nullptr, 1,
     R"({"x":[3]})"},
    {"a top-level scalar has no elements", R"("abc")", nullptr, 0, std::nullopt},
};

TEST(json_scan, finds_the_selected_token_or_fails) {
  for (const scan_case& c : scan_cases) {
    EXPECT_EQ(scan(c.text, c.key, c.index), c.span) << c.what << ": " << c.text;
  }
}

TEST(json_scan, negative_key_length_fails) {
  const char* value = nullptr;
  std::size_t length = 0;
  EXPECT_EQ(json_scan(R"({"id":1})", 8, "id", -2, &value, &length), -1);
}

TEST(json_scan, deep_nesting_needs_no_stack) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_EQ(scan(R"({"a":)" + deep + R"(,"id":"x"})", "id", 0), R"("x")");
}

TEST(json_scan, every_prefix_of_a_message_stays_inside) {
  const std::string message = R"({"id":"0a1b","method":"f","params":[1,"x"]})";
  const std::size_t array_end = message.rfind(']') + 1;
  for (std::size_t n = 0; n <= message.size(); ++n) {
    const std::string prefix = message.substr(0, n);
    const auto params = scan(prefix, "params", 0);
    EXPECT_EQ(params.has_value(), n >= array_end) << prefix;
    EXPECT_EQ(scan(prefix, nullptr, 0).has_value(), n >= 5) << prefix;  // `"id"` is complete
  }
}

struct get_case {
  const char* what;
  std::string text;
  std::string key;
  int index;
  std::string expected;
};

const get_case get_cases[] = {
    {"a string value comes back decoded", R"({"id":"0a1b","method":"f"})", "method", 0, "f"},
    {"an array comes back as raw text", R"({"params":[1, "x"]})", "params", 0, R"([1, "x"])"},
    {"a literal comes back as its text", R"({"b":false})", "b", 0, "false"},
    {"an absent member is empty", R"({"a":1})", "id", 0, ""},
    {"malformed text is empty", "{\"a\":\"\x01\",\"id\":\"x\"}", "id", 0, ""},
    {"an empty string", R"({"s":""})", "s", 0, ""},
    {"a \\n escape becomes a line feed", R"({"s":"a\nb"})", "s", 0, "a\nb"},
    {"every short escape", R"({"s":"\"\\\/\b\f\n\r\t."})", "s", 0, "\"\\/\b\f\n\r\t."},
    {"an escaped backslash before a quote", R"({"s":"x\\"})", "s", 0, "x\\"},
    {"a \\u escape empties the result", R"({"s":"\u0041"})", "s", 0, ""},
    {"a \\u escape after others", R"({"s":"\n\u0041"})", "s", 0, ""},
    {"UTF-8 passes through", "{\"s\":\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"}", "s", 0,
     "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
    {"bytes 0xF7 to 0xFF pass through", "{\"s\":\"\xF7\xFF\"}", "s", 0, "\xF7\xFF"},
    {"an empty key selects the index", R"([10,"b",true])", "", 1, "b"},
    {"a key makes the index irrelevant", R"({"a":1,"b":2})", "b", 7, "2"},
};

TEST(json_get, returns_the_member_as_a_string) {
  for (const get_case& c : get_cases) {
    EXPECT_EQ(get(c.text, c.key, c.index), c.expected) << c.what << ": " << c.text;
  }
}

// Strings are checked in blocks of bytes; a byte that matters must be caught at every offset.
TEST(json_get, checks_every_byte_of_a_long_string_at_every_offset) {
  struct insert {
    const char* what;
    std::string raw;
    std::optional<std::string> decoded;  // nullopt: the text is malformed
  };
  const insert inserts[] = {
      {"a unit separator", "\x1f", std::nullopt},
      {"a line feed", "\n", std::nullopt},
      {"DEL", "\x7f", std::nullopt},
      {"a stray continuation byte", "\x80", std::nullopt},
      {"two stray continuation bytes", "\x80\xBF", std::nullopt},
      {"a lead byte without continuation", "\xC3", std::nullopt},
      {"a three-byte sequence cut short", "\xE2\x82", std::nullopt},
      {"a two-byte sequence", "\xC3\xA9", "\xC3\xA9"},
      {"a four-byte sequence", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"byte 0xF8", "\xF8", "\xF8"},
      {"an escaped quote", R"(\")", "\""},
      {"an escaped tab", R"(\t)", "\t"},
  };
  for (const insert& i : inserts) {
    for (std::size_t offset = 0; offset <= 24; ++offset) {
      const std::string before(offset, 'a');
      const std::string after(24 - offset, 'z');
      const std::string text = R"({"s":")" + before + i.raw + after + R"(","k":"v"})";
      const std::string where = std::string(i.what) + " at offset " + std::to_string(offset);
      EXPECT_EQ(get(text, "k"), i.decoded ? "v" : "") << where;
      EXPECT_EQ(get(text, "s"), i.decoded ? before + *i.decoded + after : "") << where;
    }
  }
}

// The values after json_get_members on copies of the text and keys in blocks of exactly their
// size, the values holding stale text beforehand.
std::vector<std::string> members(const std::string& text, const std::vector<std::string>& keys) {
  const exact_buffer buffer(text);
  std::vector<exact_buffer> key_buffers;
  std::vector<std::string_view> key_views;
  for (const std::string& key : keys) key_buffers.emplace_back(key);
  for (const exact_buffer& key : key_buffers) key_views.push_back(key.view());
  std::vector<std::string> values(keys.size(), "stale text, longer than any inline string");
  json_get_members(buffer.view(), key_views.data(), values.data(), keys.size());
  return values;
}

struct members_case {
  const char* what;
  std::string text;
  std::vector<std::string> keys;
  std::vector<std::string> expected;
};

const members_case members_cases[] = {
    {"a call message",
     R"({"id":"0a1b","method":"f","params":[1,"x"]})",
     {"id", "method", "params"},
     {"0a1b", "f", R"([1,"x"])"}},
    {"keys asked in another order than written",
     R"({"id":"0a1b","method":"f","params":[1]})",
     {"params", "id", "method"},
     {"[1]", "0a1b", "f"}},
    {"an absent key among found ones",
     R"({"id":"0a1b","params":[]})",
     {"id", "method", "params"},
     {"0a1b", "", "[]"}},
    {"a key found, then a malformed tail",
     "{\"id\":\"x\",\"method\":\"\x01\"}",
     {"id", "method"},
     {"x", ""}},
    {"a malformed byte before the second key",
     "{\"id\":\"x\",\"a\":\"\x01\",\"method\":\"m\"}",
     {"id", "method"},
     {"x", ""}},
    {"a malformed byte before both keys",
     "{\"a\":\"\x01\",\"id\":\"x\",\"method\":\"m\"}",
     {"id", "method"},
     {"", ""}},
    {"a malformed byte after the last value needed",
     "{\"id\":\"x\",\"method\":\"m\",\x01",
     {"method", "id"},
     {"m", "x"}},
    {"the text ends inside the second value",
     R"({"id":"x","method":"m)",
     {"id", "method"},
     {"x", ""}},
    {"a literal value cut by the end of the text",
     R"({"method":"m","id":12)",
     {"id", "method"},
     {"", "m"}},
    {"a literal value ended by a control byte",
     "{\"method\":\"m\",\"id\":12\x01}",
     {"id", "method"},
     {"", "m"}},
    {"no closing brace after the values",
     R"({"id":"x","method":"m")",
     {"id", "method"},
     {"x", "m"}},
    {"duplicate keys in the text: the first wins",
     R"({"id":"x","id":"y","method":"m"})",
     {"id", "method"},
     {"x", "m"}},
    {"a duplicate after every key is settled",
     R"({"id":"x","method":"m","id":"y"})",
     {"id", "method"},
     {"x", "m"}},
    {"the same key asked twice", R"({"a":1,"id":"x"})", {"id", "a", "id"}, {"x", "1", "x"}},
    {"a value equal to a later key", R"({"method":"id","id":"v"})", {"id", "method"}, {"v", "id"}},
    {"a value equal to another key asked",
     R"({"id":"method","method":"m"})",
     {"method", "id"},
     {"m", "method"}},
    {"values equal to keys that are absent",
     R"({"a":"id","b":"params"})",
     {"id", "params"},
     {"", ""}},
    {"nested keys are never matched",
     R"({"p":{"id":"n","method":"n"},"id":"y"})",
     {"id", "method"},
     {"y", ""}},
    {"a matched object value hides the keys inside it",
     R"({"params":{"id":"n"},"method":"m"})",
     {"id", "method", "params"},
     {"", "m", R"({"id":"n"})"}},
    {"nested arrays and objects as values",
     R"({"params":[[1],{"a":[]}],"id":"z"})",
     {"id", "params"},
     {"z", R"([[1],{"a":[]}])"}},
    {"a top-level array read as key/value pairs",
     R"(["id","x","method",[1]])",
     {"method", "id"},
     {"[1]", "x"}},
    {"a key at a value's position is skipped", R"([5,"id",7])", {"id"}, {""}},
    {"pairs go on in the text after the first value",
     R"({"id":"x"}{"method":"m"})",
     {"id", "method"},
     {"x", "m"}},
    {"pairs go on across values, misaligned", R"({"a":1,"b"}{"id":"x"})", {"id", "b"}, {"", "id"}},
    {"a closer first puts the members below depth 1", R"(}{"id":"x"})", {"id"}, {""}},
    {"a \\u escape empties its own value only",
     R"({"id":"\u0041","method":"m\/n"})",
     {"id", "method"},
     {"", "m/n"}},
    {"an escaped key matches only in its raw form",
     R"({"i\u0064":1,"id":2})",
     {"id", R"(i\u0064)"},
     {"2", "1"}},
    {"a literal key candidate is compared by its inner bytes",
     R"({"x":1,tidt:"v"})",
     {"id"},
     {"v"}},
    {"an empty key stands for index 0", R"({"id":"x"})", {"", "id"}, {"id", "x"}},
    {"an empty key on a top-level scalar", R"("abc")", {"", "abc"}, {"", ""}},
    {"an empty text", "", {"id", ""}, {"", ""}},
};

TEST(json_get_members, gives_what_json_get_gives_for_each_key) {
  for (const members_case& c : members_cases) {
    EXPECT_EQ(members(c.text, c.keys), c.expected) << c.what << ": " << c.text;
    for (std::size_t i = 0; i < c.keys.size(); ++i) {
      EXPECT_EQ(get(c.text, c.keys[i]), c.expected[i])
          << c.what << ": json_get of " << c.keys[i] << " in " << c.text;
    }
  }
}

// Keys are looked up 64 at a time; the ones beyond still come out right.
TEST(json_get_members, many_keys) {
  std::string text = "{";
  std::vector<std::string> keys;
  std::vector<std::string> expected;
  for (int i = 0; i < 150; ++i) {
    const std::string key = "k" + std::to_string(i);
    if (i % 7 != 3) text += (text.size() > 1 ? ",\"" : "\"") + key + "\":" + std::to_string(i);
    keys.push_back(key);
    expected.push_back(i % 7 != 3 ? std::to_string(i) : "");
  }
  text += "}";
  EXPECT_EQ(members(text, keys), expected);
}

TEST(json_get_members, no_keys_leaves_the_values_alone) {
  std::string value = "kept";
  json_get_members(R"({"id":"x"})", nullptr, &value, 0);
  EXPECT_EQ(value, "kept");
}

}  // namespace
}  // namespace webview::detail
