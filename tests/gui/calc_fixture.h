// The four calculators driven from outside, each described by a CalcSpec: its
// program and controls, inputs as a user types them, and what its own engine
// makes of them. calculators_test.cpp holds every dialog against its spec.
#pragma once

#include "harness.h"

#include "stake/common/settings_io.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <charconv>

namespace gui {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;
inline constexpr char kCopied[] = "已经成功复制到剪贴板!";

// One input: an edit box's text, a drop-down list's item, or a radio button
// clicked (`index` then names the other button of its pair).
struct Input {
    enum Kind { edit, list, radio } kind;
    int id;
    std::string text;
    int index = 0;
};
using Inputs = std::vector<Input>;
inline const auto pick = [](int id, int index) { return Input{Input::list, id, "", index}; };
inline const auto radio = [](int id, int other) { return Input{Input::radio, id, "", other}; };
// A number as a user types it: "250.5", "1900".
template <class Number> Input edit(int id, Number value) {
    char text[32];
    return {Input::edit, id, std::string(text, std::to_chars(text, text + 32, value).ptr)};
}

// A new settings file as the engine's writer fills it: "[section]", then
// "key=value" lines, each ended by CR LF.
struct SettingsText final : stake::SettingsWriter {
    template <class Write> explicit SettingsText(Write write) { write(*this); }
    void writeInt(std::string_view section, std::string_view key, std::int32_t value) override {
        writeText(section, key, std::to_string(value));
    }
    void writeText(std::string_view section, std::string_view key, std::string_view text) override {
        if (file.empty())
            file.append("[").append(section).append("]\r\n");
        file.append(key).append("=").append(text).append("\r\n");
    }
    std::string file;
};

struct CalcSpec {
    std::string name; // of the program, and the title of its message boxes
    std::wstring settingsFile;
    int plan = 0, exportButton = 0, importButton = 0, handOff = 0;
    std::vector<int> compute = {}; // 计算, or 初始 followed by marks
    std::string otherSection = {}; // another tool's, already in the settings file
    Inputs saved = {};             // exported and saved on close, as the engine writes them:
    std::string closingText = {}, exportText = {};
    Inputs handed = {}; // computed and handed off: the engine's rows, copies and record
    Rows rows = {};
    std::vector<std::pair<int, std::string>> copies = {}; // command, text copied
    std::vector<std::uint8_t> record = {};
    // Inputs typed one set after the other, and what computing them says.
    std::vector<std::pair<Inputs, std::string>> refusals = {};
};

// The cells of the engine's rows, and one column of them.
template <class Plan> Rows planRows(const Plan& plan) {
    Rows rows;
    for (const auto& row : plan)
        rows.push_back(row.cells);
    return rows;
}
inline Row column(const Rows& rows, std::size_t index) {
    Row cells;
    for (const Row& row : rows)
        cells.push_back(row[index]);
    return cells;
}

class CalcFixture : public ::testing::Test {
  protected:
    explicit CalcFixture(CalcSpec spec) : spec_(std::move(spec)) {}

    void start() {
        tool_ = Process::startCopy(wide(spec_.name + ".exe"), folder_);
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }

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
                EXPECT_EQ(utf8(controlText(dialog_, input.id)), input.text) << "box " << input.id;
            else if (input.kind == Input::list)
                EXPECT_EQ(comboSelection(dialog_, input.id), input.index) << "list " << input.id;
            else
                EXPECT_TRUE(isChecked(dialog_, input.id)) << "radio " << input.id;
        }
    }

    HWND list() const { return control(dialog_, spec_.plan); }
    int rowCount() const { return RemoteListView(list()).rowCount(); }
    bool waitForRows(int n) const {
        return waitUntil([&] { return rowCount() == n; });
    }
    Rows rows() const {
        const RemoteListView view(list());
        Rows all(static_cast<std::size_t>(view.rowCount()));
        for (std::size_t r = 0; r < all.size(); ++r)
            for (const auto& cell : view.row(static_cast<int>(r)))
                all[r].push_back(utf8(cell));
        return all;
    }
    // Whether the cell, scrolled into view, shows `colour` right of its text.
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
    void compute() const {
        for (const int id : spec_.compute)
            press(id);
    }
    // A command that answers with a message box: its text, the box closed.
    std::string answer(int id) const {
        clickButton(dialog_, id);
        const auto box = answerMessageBox(dialog_).value_or(MessageBoxSeen{});
        EXPECT_EQ(utf8(box.title), spec_.name) << "the box after command " << id;
        return utf8(box.text);
    }

    const CalcSpec spec_;
    TempFolder folder_{L"calc"};
    Process tool_;
    HWND dialog_ = nullptr;
};

// A tool's own tests, and the shared ones, instantiated once per tool.
template <CalcSpec (*Spec)()> struct ToolTest : CalcFixture {
    ToolTest() : CalcFixture(Spec()) {}
};
using SpecOf = CalcSpec (*)();
struct CalculatorTest : CalcFixture, ::testing::WithParamInterface<SpecOf> {
    CalculatorTest() : CalcFixture(GetParam()()) {}
};

} // namespace gui
