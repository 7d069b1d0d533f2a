// The start-up of a tool in this process: a main dialog that opens and
// closes ends the tool with 0; one that cannot be created is reported in a
// message box titled with the program's name, and the tool ends with 1.
#include "shell/app_win.h"
#include "shell/dialog_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

class ClosingAtOnce final : public shell::MainDialog {
  public:
    using MainDialog::MainDialog;

  private:
    BOOL onInit() override {
        end(IDOK);
        return TRUE;
    }
};

// The text of every message box this process shows while it lives, each
// answered with OK; the title must be the program's name.
std::vector<std::wstring> answerBoxes(const std::function<void()>& run) {
    std::atomic<bool> stop{false};
    std::vector<std::wstring> seen;
    std::thread answerer([&] {
        while (!stop) {
            const HWND box = FindWindowW(L"#32770", L"tool_start_tests");
            if (box && IsWindowVisible(box)) {
                wchar_t text[512] = {};
                GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 512);
                seen.push_back(text);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                while (IsWindow(box) && !stop)
                    Sleep(10);
            }
            Sleep(10);
        }
    });
    run();
    stop = true;
    answerer.join();
    return seen;
}

TEST(ToolStart, EndsWithItsCodeAndTellsTheUserWhenTheWindowCannotBeCreated) {
    const struct {
        int templateId; // 102 in tests.rc; no template has the other
        int exitCode;
        std::vector<std::wstring> messages;
    } cases[] = {{102, 0, {}}, {4711, 1, {L"无法创建程序窗口。"}}};
    for (const auto& start : cases) {
        int code = -1;
        const auto seen = answerBoxes([&] {
            code = shell::startTool(GetModuleHandleW(nullptr), {.readsCommandLine = false}, [&] {
                ClosingAtOnce(start.templateId).runModal(nullptr);
            });
        });
        EXPECT_EQ(code, start.exitCode) << start.templateId;
        EXPECT_EQ(seen, start.messages) << start.templateId;
    }
}

} // namespace
