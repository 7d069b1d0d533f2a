// The start-up of a tool in this process: a main dialog that opens and
// closes ends the tool with 0; one that cannot be created is reported in a
// message box titled with the program's name, and the tool ends with a
// non-zero code.
#include "shell/app_win.h"
#include "shell/dialog_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// tests.rc: a small dialog template; no template has the other number.
constexpr int kOpeningTemplate = 102;
constexpr int kMissingTemplate = 4711;

class ClosingAtOnce final : public shell::MainDialog {
  public:
    explicit ClosingAtOnce(int templateId) : MainDialog(templateId) {}

  private:
    BOOL onInit() override {
        end(IDOK);
        return TRUE;
    }
};

struct BoxSeen {
    std::wstring title;
    std::wstring text;
};

// Answers every message box this process shows while it lives, keeping
// what each said.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer() : thread_([this] { run(); }) {}
    ~MessageBoxAnswerer() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    std::vector<BoxSeen> seen() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return seen_;
    }

  private:
    static std::wstring textOf(HWND window) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return text;
    }
    static BOOL CALLBACK answer(HWND window, LPARAM self) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
            std::wstring(className) != L"#32770")
            return TRUE;
        reinterpret_cast<MessageBoxAnswerer*>(self)->seen_.push_back(
            {textOf(window), textOf(GetDlgItem(window, 0xFFFF))});
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    void run() {
        while (!stop_) {
            EnumWindows(&answer, reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }

    std::atomic<bool> stop_{false};
    std::vector<BoxSeen> seen_;
    std::thread thread_;
};

std::wstring programName() {
    const std::wstring path = shell::programPath();
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.substr(0, name.find_last_of(L'.'));
}

struct StartCase {
    const char* name;
    int templateId;
    int exitCode;
    std::vector<std::wstring> messages;
};

class ToolStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(ToolStart, EndsWithItsCodeAndTellsTheUserWhenTheWindowCannotBeCreated) {
    const StartCase& start = GetParam();
    MessageBoxAnswerer answerer;
    const int code = shell::startTool(GetModuleHandleW(nullptr),
                                      shell::ToolTraits{.readsCommandLine = false}, [&] {
                                          ClosingAtOnce dialog(start.templateId);
                                          dialog.runModal(nullptr);
                                      });
    const std::vector<BoxSeen> seen = answerer.seen();

    EXPECT_EQ(code, start.exitCode);
    ASSERT_EQ(seen.size(), start.messages.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].title, programName());
        EXPECT_EQ(seen[i].text, start.messages[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shell, ToolStart,
    ::testing::Values(StartCase{"opens", kOpeningTemplate, 0, {}},
                      StartCase{"missingTemplate", kMissingTemplate, 1, {L"无法创建程序窗口。"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
