// What on_message does before its bindings lookup -- reading "id", "method" and "params" of a
// call message into strings in one pass with json_get_members -- against simdjson On-Demand,
// RapidJSON and nlohmann::json doing the same, and against the earlier way, one json_get per
// member. Each extraction yields the same id and method and the params as JSON text of the same
// value, which main() checks before any timing.
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <simdjson.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>

#include "engine/json.h"

namespace {

struct call {
  std::string id;
  std::string method;
  std::string params;
};

// The params texts are compared as JSON: nlohmann::json writes object members sorted by key.
bool same_call(const call& a, const call& b) {
  return a.id == b.id && a.method == b.method &&
         nlohmann::json::parse(a.params) == nlohmann::json::parse(b.params);
}

constexpr std::size_t large_size = 1 << 20;

std::string message(const std::string& method, const std::string& params) {
  return R"({"id":"5f2c8e0a9b7d4c1e3a6f8b2d0c4e7a91","method":")" + method + R"(","params":)" +
         params + "}";
}

// A typical call of about 120 bytes.
std::string small_call() {
  return message("documents.save", R"([{"path":"notes/today.md","dirty":true},42])");
}

// A file handed over as base64: the params are almost all one long string.
std::string upload_call() {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string data;
  for (std::size_t i = 0; data.size() < large_size; ++i) data += digits[(i * 37 + i / 64) % 64];
  return message("files.upload", R"(["report.pdf",")" + data + R"("])");
}

// Many small records: the params are mostly structure, short strings and numbers.
std::string records_call() {
  std::string records = "[";
  for (int i = 0; records.size() < large_size; ++i) {
    if (i > 0) records += ',';
    records += R"({"id":)" + std::to_string(i) + R"(,"name":"item )" + std::to_string(i) +
               R"(","price":)" + std::to_string(i % 1000) + R"(.25,"tags":["red","blue"],)" +
               R"("in_stock":)" + (i % 3 ? "true" : "false") + "}";
  }
  return message("records.import", "[" + records + "]]");
}

call with_json_get_members(const std::string& text) {
  static constexpr std::string_view keys[] = {"id", "method", "params"};
  std::string values[3];
  webview::detail::json_get_members(text, keys, values, 3);
  return {std::move(values[0]), std::move(values[1]), std::move(values[2])};
}

// Three passes from the start of the text, as on_message did before json_get_members.
call with_json_get(const std::string& text) {
  using webview::detail::json_get;
  return {json_get(text, "id", 0), json_get(text, "method", 0), json_get(text, "params", 0)};
}

// simdjson needs padding after the text; the benchmark gives it a padded copy made beforehand,
// a cost that on_message would have to pay per message.
call with_simdjson(simdjson::ondemand::parser& parser, const simdjson::padded_string& text) {
  simdjson::ondemand::document doc = parser.iterate(text);
  call result;
  result.id = std::string(std::string_view(doc["id"]));
  result.method = std::string(std::string_view(doc["method"]));
  simdjson::ondemand::array params = doc["params"].get_array();
  result.params = std::string(std::string_view(params.raw_json()));
  return result;
}

call with_rapidjson(const std::string& text) {
  rapidjson::Document doc;
  doc.Parse(text.data(), text.size());
  if (doc.HasParseError() || !doc.IsObject()) return {};
  call result;
  const auto id = doc.FindMember("id");
  if (id != doc.MemberEnd() && id->value.IsString()) result.id = id->value.GetString();
  const auto method = doc.FindMember("method");
  if (method != doc.MemberEnd() && method->value.IsString()) {
    result.method = method->value.GetString();
  }
  const auto params = doc.FindMember("params");
  if (params != doc.MemberEnd()) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    params->value.Accept(writer);
    result.params.assign(buffer.GetString(), buffer.GetSize());
  }
  return result;
}

call with_nlohmann(const std::string& text) {
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (!doc.is_object()) return {};
  call result;
  const auto id = doc.find("id");
  if (id != doc.end() && id->is_string()) result.id = id->get<std::string>();
  const auto method = doc.find("method");
  if (method != doc.end() && method->is_string()) result.method = method->get<std::string>();
  const auto params = doc.find("params");
  if (params != doc.end()) result.params = params->dump();
  return result;
}

template <typename Extract>
void run(benchmark::State& state, const std::string& text, Extract extract) {
  for (auto _ : state) {
    call result = extract();
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

int main(int argc, char** argv) {
  struct input {
    input(const char* name, std::string text)
        : name(name), text(std::move(text)), padded(this->text) {}
    const char* name;
    std::string text;
    simdjson::padded_string padded;
  };
  static input inputs[] = {
      {"small", small_call()}, {"large_upload", upload_call()}, {"large_records", records_call()}};
  static simdjson::ondemand::parser parser;
  for (const input& in : inputs) {
    const call expected = with_json_get_members(in.text);
    const struct {
      const char* parser;
      call got;
    } others[] = {{"json_get", with_json_get(in.text)},
                  {"simdjson", with_simdjson(parser, in.padded)},
                  {"RapidJSON", with_rapidjson(in.text)},
                  {"nlohmann::json", with_nlohmann(in.text)}};
    for (const auto& other : others) {
      if (expected.params.empty() || !same_call(other.got, expected)) {
        std::fprintf(stderr, "json_get_members and %s disagree on the %s message\n", other.parser,
                     in.name);
        return 1;
      }
    }
  }

  for (const input& in : inputs) {
    const std::string suffix = std::string("/") + in.name;
    benchmark::RegisterBenchmark(
        ("json_get_members" + suffix).c_str(), [&in](benchmark::State& state) {
          run(state, in.text, [&] { return with_json_get_members(in.text); });
        });
    benchmark::RegisterBenchmark(("json_get_x3" + suffix).c_str(), [&in](benchmark::State& state) {
      run(state, in.text, [&] { return with_json_get(in.text); });
    });
    benchmark::RegisterBenchmark(
        ("simdjson_ondemand" + suffix).c_str(), [&in](benchmark::State& state) {
          run(state, in.text, [&] { return with_simdjson(parser, in.padded); });
        });
    benchmark::RegisterBenchmark(("rapidjson" + suffix).c_str(), [&in](benchmark::State& state) {
      run(state, in.text, [&] { return with_rapidjson(in.text); });
    });
    benchmark::RegisterBenchmark(("nlohmann_json" + suffix).c_str(),
                                 [&in](benchmark::State& state) {
                                   run(state, in.text, [&] { return with_nlohmann(in.text); });
                                 });
  }
  benchmark::AddCustomContext("simdjson_implementation",
                              simdjson::get_active_implementation()->name());
  benchmark::AddCustomContext("small_message_bytes", std::to_string(inputs[0].text.size()));
  benchmark::AddCustomContext("large_upload_bytes", std::to_string(inputs[1].text.size()));
  benchmark::AddCustomContext("large_records_bytes", std::to_string(inputs[2].text.size()));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
