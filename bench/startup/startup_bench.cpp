// Start-up benchmark: Quendari.exe against the stand-in runtime, side by side with the floor, a
// minimal program that shows one window. Runs both alternately, `--runs N` times each (default
// 15) after one warm-up pair that is not counted, and prints medians, minimum and maximum of the
// time from just before CreateProcessW to the stand-in's Navigate call and to the first paint,
// the ratios to the floor, and the median time of every line the stand-in logged. Prints figures
// only; exits 1 when a run failed or timed out, 2 on a bad command line.
//
// `--compare <other Quendari.exe>` also runs another build in every round, in turns before and
// after this one, and prints both builds' ratios and this build's time over the other's: a
// difference of a few percent is lost in the spread between separate sets on a shared machine.
//
// Expects beside itself: Quendari.exe, minimal_window.exe and
// standin_runtime\<version>\EBWebView\x64\EmbeddedBrowserWebView.dll (the build puts them there).
// Registers that folder as the installed runtime (HKLM, 32-bit view) for its duration and puts
// back what was there before.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/json.h"
#include "tests/support/test_process.h"
#include "tests/support/standin_runtime.h"
#include "util/precise_time.h"

namespace {

using quendari_test::read_text_file;
using quendari_test::this_executable_folder;
using webview::detail::json_get;
using webview::detail::precise_time_us;

constexpr DWORD run_timeout_ms = 30000;
// Closes the window once the page is shown; the delay leaves time for the first paint.
constexpr char scenario_text[] = "after-navigate 100 close\n";

// One started program; killed if it is still running when the owner goes.
class started_process {
 public:
  // Starts `command_line`; `start_us` is the time taken just before CreateProcessW.
  explicit started_process(std::wstring command_line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    start_us = precise_time_us();
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
      info = PROCESS_INFORMATION{};
    }
  }
  started_process(const started_process&) = delete;
  started_process& operator=(const started_process&) = delete;
  ~started_process() noexcept {
    if (!info.hProcess) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info.hProcess, 99);
      WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }

  // The exit code, or nothing when it did not start or did not end in time.
  std::optional<DWORD> wait() const {
    if (!info.hProcess || WaitForSingleObject(info.hProcess, run_timeout_ms) != WAIT_OBJECT_0) {
      return std::nullopt;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }

  std::int64_t start_us = 0;

 private:
  PROCESS_INFORMATION info{};
};

std::string narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

// A log line's step name: "interface.method", or "note: ...", "completion: ...", and so on.
std::string step_name(const std::string& line) {
  const std::string method = json_get(line, "method", 0);
  if (!method.empty()) return json_get(line, "interface", 0) + "." + method;
  for (const char* kind : {"note", "completion", "event", "outcome"}) {
    const std::string name = json_get(line, kind, 0);
    if (!name.empty()) return std::string(kind) + ": " + name;
  }
  return "?";
}

// Each logged step's time after the start, in ms, in log order; a step's second and later
// lines are named "<step> #2" and so on.
struct quendari_steps {
  std::vector<std::pair<std::string, double>> times_ms;

  std::optional<double> find(const std::string& name) const {
    for (const auto& step : times_ms) {
      if (step.first == name) return step.second;
    }
    return std::nullopt;
  }
};

quendari_steps read_steps(const std::wstring& log_path, std::int64_t start_us) {
  const std::string text = narrow(read_text_file(log_path));
  quendari_steps steps;
  std::map<std::string, int> seen;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(begin, end - begin);
    begin = end + 1;
    const std::string time = json_get(line, "t_us", 0);
    if (time.empty()) continue;
    std::string name = step_name(line);
    const int occurrence = ++seen[name];
    if (occurrence > 1) name += " #" + std::to_string(occurrence);
    steps.times_ms.emplace_back(name, (std::strtoll(time.c_str(), nullptr, 10) - start_us) / 1e3);
  }
  return steps;
}

struct summary {
  double median;
  double min;
  double max;
};

summary summarize(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  return {median, values.front(), values.back()};
}

struct run_figures {
  std::vector<double> floor_paint;
  std::vector<double> navigate;
  std::vector<double> paint;
  // The other build's, with --compare.
  std::vector<double> other_navigate;
  std::vector<double> other_paint;
  std::map<std::string, std::vector<double>> steps;
  std::vector<std::string> step_order;
};

class bench {
 public:
  explicit bench(const std::wstring& folder)
      : folder(folder),
        stamp_path(folder + L"startup_floor.txt"),
        log_path(folder + L"startup_quendari.jsonl") {
    // Both programs inherit this process's environment; each reads only its own variable.
    SetEnvironmentVariableW(L"STARTUP_FLOOR_STAMP", stamp_path.c_str());
    SetEnvironmentVariableW(L"QUENDARI_STANDIN_LOG", log_path.c_str());
  }

  // Runs the floor once; its time to the first paint in ms, or nothing on failure.
  std::optional<double> run_floor() const {
    DeleteFileW(stamp_path.c_str());
    started_process process(L"\"" + folder + L"minimal_window.exe\"");
    const std::optional<DWORD> code = process.wait();
    const std::string stamp = narrow(read_text_file(stamp_path));
    if (code != DWORD{0} || stamp.empty()) {
      std::fprintf(stderr, "the minimal program failed (exit %ld)\n",
                   code ? static_cast<long>(*code) : -1L);
      return std::nullopt;
    }
    return (std::strtoll(stamp.c_str(), nullptr, 10) - process.start_us) / 1e3;
  }

  // Runs a Quendari.exe once (this folder's by default); the steps the stand-in logged, or
  // nothing on failure.
  std::optional<quendari_steps> run_quendari(const std::wstring& executable = {}) const {
    DeleteFileW(log_path.c_str());
    started_process process(L"\"" + (executable.empty() ? folder + L"Quendari.exe" : executable) +
                            L"\"");
    const std::optional<DWORD> code = process.wait();
    quendari_steps steps = read_steps(log_path, process.start_us);
    if (code != DWORD{0} || !steps.find(navigate_step) || !steps.find(paint_step)) {
      std::fprintf(stderr, "Quendari failed (exit %ld) or logged no Navigate or first paint\n",
                   code ? static_cast<long>(*code) : -1L);
      return std::nullopt;
    }
    return steps;
  }

  static constexpr char navigate_step[] = "ICoreWebView2.Navigate";
  static constexpr char paint_step[] = "note: first paint";

 private:
  std::wstring folder;
  std::wstring stamp_path;
  std::wstring log_path;
};

std::uint64_t file_size(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void print_row(const char* name, const std::vector<double>& values) {
  const summary s = summarize(values);
  std::printf("| %-34s | %8.1f | %8.1f | %8.1f |\n", name, s.median, s.min, s.max);
}

void print_report(const run_figures& figures, int runs, std::uint64_t exe_bytes) {
  std::printf("Start-up, %d runs of each program, alternating, after one warm-up pair.\n", runs);
  std::printf("Times in ms from just before CreateProcessW.\n\n");
  std::printf("| %-34s | %8s | %8s | %8s |\n", "measure", "median", "min", "max");
  std::printf("|%s|---------:|---------:|---------:|\n", std::string(36, '-').c_str());
  print_row("floor: first paint", figures.floor_paint);
  print_row("Quendari: Navigate call", figures.navigate);
  print_row("Quendari: first paint", figures.paint);

  std::vector<double> paint_ratios;
  std::vector<double> navigate_ratios;
  for (std::size_t i = 0; i < figures.paint.size(); ++i) {
    paint_ratios.push_back(figures.paint[i] / figures.floor_paint[i]);
    navigate_ratios.push_back(figures.navigate[i] / figures.floor_paint[i]);
  }
  const double floor_median = summarize(figures.floor_paint).median;
  std::printf("\nRatio to the floor (goals: first paint at most 1.10, Navigate at most 1.20)\n");
  std::printf("  first paint: %.2f (medians), %.2f (median of paired runs)\n",
              summarize(figures.paint).median / floor_median, summarize(paint_ratios).median);
  std::printf("  Navigate:    %.2f (medians), %.2f (median of paired runs)\n",
              summarize(figures.navigate).median / floor_median, summarize(navigate_ratios).median);
  if (!figures.other_paint.empty()) {
    std::vector<double> other_paint_ratios;
    std::vector<double> other_navigate_ratios;
    std::vector<double> paint_over_other;
    for (std::size_t i = 0; i < figures.paint.size(); ++i) {
      other_paint_ratios.push_back(figures.other_paint[i] / figures.floor_paint[i]);
      other_navigate_ratios.push_back(figures.other_navigate[i] / figures.floor_paint[i]);
      paint_over_other.push_back(figures.paint[i] / figures.other_paint[i]);
    }
    std::printf("  the other build, first paint: %.2f, Navigate: %.2f (medians of paired runs)\n",
                summarize(other_paint_ratios).median, summarize(other_navigate_ratios).median);
    std::printf("  this build's first paint over the other's: %.3f (median of paired runs)\n",
                summarize(paint_over_other).median);
  }
  std::printf("\nQuendari.exe: %llu bytes = %.1f KiB (goal: under 350 KB)\n",
              static_cast<unsigned long long>(exe_bytes), exe_bytes / 1024.0);

  std::printf(
      "\nQuendari's steps as the stand-in logged them (medians of the steps logged in every run), "
      "ms:\n\n");
  std::printf("| %-72s | %8s | %8s |\n", "step", "median", "+prev");
  std::printf("|%s|---------:|---------:|\n", std::string(74, '-').c_str());
  double previous = 0;
  for (const std::string& name : figures.step_order) {
    const auto& values = figures.steps.at(name);
    if (values.size() != figures.paint.size()) continue;  // not in every run
    const double median = summarize(values).median;
    std::printf("| %-72s | %8.1f | %8.1f |\n", name.c_str(), median, median - previous);
    previous = median;
  }
}

struct options {
  int runs = 15;
  std::wstring other_build;
};

std::optional<options> parse_options(int count, wchar_t** arguments) {
  options parsed;
  for (int index = 1; index < count; index += 2) {
    if (index + 1 >= count) return std::nullopt;
    const std::wstring name = arguments[index];
    if (name == L"--runs") {
      const long runs = std::wcstol(arguments[index + 1], nullptr, 10);
      if (runs < 1 || runs > 1000) return std::nullopt;
      parsed.runs = static_cast<int>(runs);
    } else if (name == L"--compare") {
      parsed.other_build = arguments[index + 1];
    } else {
      return std::nullopt;
    }
  }
  return parsed;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::optional<options> chosen = arguments ? parse_options(count, arguments) : std::nullopt;
  LocalFree(arguments);
  if (!chosen) {
    std::fprintf(stderr,
                 "usage: startup_bench [--runs N] [--compare <other Quendari.exe>]   (N: 1..1000, "
                 "default 15)\n");
    return 2;
  }
  const int runs = chosen->runs;
  const std::wstring& other_build = chosen->other_build;

  const std::wstring folder = this_executable_folder();
  const std::wstring scenario_path = folder + L"startup_quendari.scenario";
  if (!quendari_test::write_text_file(scenario_path, scenario_text)) {
    std::fprintf(stderr, "cannot write the scenario file\n");
    return 1;
  }
  SetEnvironmentVariableW(L"QUENDARI_STANDIN_SCENARIO", scenario_path.c_str());
  // The installed-runtime entry, pointing at the stand-in beside this program.
  const quendari_test::scoped_standin_runtime registration(
      HKEY_LOCAL_MACHINE, folder + L"standin_runtime\\" + quendari_test::standin_version);

  const bench programs(folder);
  if (!programs.run_floor() || !programs.run_quendari()) return 1;
  if (!other_build.empty() && !programs.run_quendari(other_build)) return 1;
  run_figures figures;
  for (int run = 0; run < runs; ++run) {
    const std::optional<double> floor_paint = programs.run_floor();
    std::optional<quendari_steps> other;
    if (!other_build.empty() && run % 2 == 1) other = programs.run_quendari(other_build);
    const std::optional<quendari_steps> steps = programs.run_quendari();
    if (!other_build.empty() && run % 2 == 0) other = programs.run_quendari(other_build);
    if (!floor_paint || !steps || (!other_build.empty() && !other)) return 1;
    if (other) {
      figures.other_navigate.push_back(*other->find(bench::navigate_step));
      figures.other_paint.push_back(*other->find(bench::paint_step));
    }
    figures.floor_paint.push_back(*floor_paint);
    figures.navigate.push_back(*steps->find(bench::navigate_step));
    figures.paint.push_back(*steps->find(bench::paint_step));
    for (const auto& [name, ms] : steps->times_ms) {
      auto& values = figures.steps[name];
      if (values.empty()) figures.step_order.push_back(name);
      values.push_back(ms);
    }
  }
  print_report(figures, runs, file_size(folder + L"Quendari.exe"));
  return 0;
}
