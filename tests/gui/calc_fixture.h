// The four calculators driven from outside. Each tool describes itself in a
// CalcSpec: its program and settings file, its controls, two sets of inputs
// as a user types them, and what its own engine makes of those inputs (the
// plan rows, the copied texts, the settings file, the hand-off record). The
// shared tests (calculators_test.cpp) hold each dialog against that; every
// tool's file adds its own specifics on CalcFixture.
#pragma once

#include "harness.h"

#include "stake/common/plan_row.h"
#include "stake/common/settings_io.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <charconv>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gui {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;
inline constexpr char kCopied[] = "已经成功复制到剪贴板!";

// One input of a dialog: an edit box's text, a drop-down list's item, or a
// radio button clicked (`index` then names the other button of its pair).
struct Input {
    enum Kind { edit, list, radio } kind;
    int id;
    std::string text;
    int index = 0;
};
inline Input edit(int id, const char* text) {
    return {Input::edit, id, text};
}
// A number as a user types it: "250.5", "1900".
template <class Number> Input edit(int id, Number value) {
    char text[32];
    return {Input::edit, id, std::string(text, std::to_chars(text, text + 32, value).ptr)};
}
inline Input pick(int id, int index) {
    return {Input::list, id, "", index};
}
inline Input radio(int id, int other) {
    return {Input::radio, id, "", other};
}
using Inputs = std::vector<Input>;

// The settings text the engine's writer makes: "[section]" before the first
// key of each section, every line ended by CR LF, as the profile functions
// write a new file.
class SettingsText final : public stake::SettingsWriter {
  public:
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override {
        writeText(section, key, std::to_string(value));
    }
    void writeText(std::string_view section, std::string_view key,
                   std::string_view value) override {
        if (section != section_)
            text_.append("[").append(section).append("]\r\n");
        section_ = section;
        text_.append(key).append("=").append(value).append("\r\n");
    }
    const std::string& text() const { return text_; }

  private:
    std::string section_;
    std::string text_;
};
template <class Write> std::string settingsText(Write write) {
    SettingsText text;
    write(text);
    return text.text();
}

struct Copy {
    int command;
    std::string text;
};
struct Refusal {
    Inputs inputs;
    std::string message;
    bool whole = true; // else the message only has to hold `message`
};

struct CalcSpec {
    std::wstring exe;
    std::string title; // of its message boxes
    std::wstring settingsFile;
    std::string otherSection = {}; // another tool's section already in the file
    int plan = 0, exportButton = 0, importButton = 0, handOff = 0;
    // Computing: 计算, or 初始 followed by marks.
    std::vector<int> compute = {};
    // Saved on close and exported: the engine's settings texts for `saved`.
    Inputs saved = {};
    std::string closingText = {}, exportText = {};
    // Typed before the hand-off: the list, the copies and the record the
    // engine gives for them.
    Inputs handed = {};
    Rows rows = {};
    std::vector<Copy> copies = {};
    std::vector<std::uint8_t> record = {};
    std::vector<Refusal> refusals = {};
};

inline Rows planRows(const std::vector<stake::PlanRow>& rows) {
    Rows cells;
    for (const auto& row : rows)
        cells.push_back(row.cells);
    return cells;
}
inline std::vector<std::string> column(const Rows& rows, std::size_t index) {
    std::vector<std::string> cells;
    for (const Row& row : rows)
        cells.push_back(row[index]);
    return cells;
}

class CalcFixture : public ::testing::Test {
  protected:
    explicit CalcFixture(const CalcSpec& spec) : spec_(spec) {}
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_))
            saveScreenshot(dialog_, L"calc-failed-" + spec_.exe);
        tool_.terminate();
    }

    void start() {
        tool_ = Process::startCopy(spec_.exe, folder_);
        ASSERT_TRUE(tool_) << "the tool could not be started";
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }
    void startHosted() {
        const auto copy = Process::copyProgram(spec_.exe, folder_);
        host_ = HostProbe::start(copy, folder_.file(L"host.log"));
        ASSERT_TRUE(host_) << "hostprobe did not start the tool";
        dialog_ = waitForMainDialog(host_->tool().id());
        ASSERT_NE(dialog_, nullptr);
    }

    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    void type(const Inputs& inputs) const {
        for (const Input& input : inputs) {
            if (input.kind == Input::edit)
                ASSERT_TRUE(setControlText(dialog_, input.id, wide(input.text)));
            else if (input.kind == Input::list)
                ASSERT_TRUE(selectComboItem(dialog_, input.id, input.index));
            else
                clickRadio(dialog_, input.id, {input.id, input.index});
        }
        ASSERT_TRUE(flush(dialog_));
    }
    void expectShown(const Inputs& inputs) const {
        for (const Input& input : inputs) {
            if (input.kind == Input::edit)
                EXPECT_EQ(text(input.id), input.text) << "control " << input.id;
            else if (input.kind == Input::list)
                EXPECT_EQ(comboSelection(dialog_, input.id), input.index) << "list " << input.id;
            else
                EXPECT_TRUE(isChecked(dialog_, input.id)) << "radio " << input.id;
        }
    }

    HWND list() const { return control(dialog_, spec_.plan); }
    int rowCount() const { return RemoteListView(list()).rowCount(); }
    bool waitForRows(int count) const {
        return waitUntil([&] { return rowCount() == count; });
    }
    Rows rows() const {
        RemoteListView view(list());
        Rows all;
        for (int r = 0; r < view.rowCount(); ++r) {
            Row row;
            for (const auto& cell : view.row(r))
                row.push_back(utf8(cell));
            all.push_back(row);
        }
        return all;
    }

    // Whether the cell shows `colour` near its right edge, where no text
    // reaches, once the list has scrolled the row into view and painted it.
    bool cellShows(int row, int column, COLORREF colour) const {
        SetForegroundWindow(dialog_);
        SendMessageTimeoutW(list(), LVM_ENSUREVISIBLE, row, FALSE, SMTO_ABORTIFHUNG, 5000, nullptr);
        return waitUntil(
            [&] {
                const auto cell = listCellOnScreen(list(), row, column);
                return cell &&
                       screenPixel(cell->right - 6, (cell->top + cell->bottom) / 2) == colour;
            },
            Millis{2000});
    }

    // A button that opens no box; returns once it has been handled.
    void press(int id) const {
        clickButton(dialog_, id);
        ASSERT_TRUE(flush(dialog_));
        ASSERT_EQ(findOwnedDialog(dialog_), nullptr) << "control " << id << " opened a box";
    }
    // A command that answers with a message box: its text, the box closed.
    std::string answer(int id) const {
        postCommand(dialog_, id, BN_CLICKED);
        const auto box = answerMessageBox(dialog_);
        if (!box) {
            ADD_FAILURE() << "no message box after command " << id;
            return {};
        }
        EXPECT_EQ(utf8(box->title), spec_.title);
        return utf8(box->text);
    }

    const CalcSpec& spec_;
    TempFolder folder_{L"calc"};
    Process tool_;
    std::optional<HostProbe> host_;
    HWND dialog_ = nullptr;
};

// The calculators' shared tests run on these, one instantiation per tool.
using SpecOf = const CalcSpec& (*)();
class CalculatorTest : public CalcFixture, public ::testing::WithParamInterface<SpecOf> {
  protected:
    CalculatorTest() : CalcFixture(GetParam()()) {}
};

} // namespace gui
