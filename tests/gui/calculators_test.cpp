// What the four calculators share, held against each tool's own engine: the
// settings file written on close and by 导出配置 and read back by 导入配置 and
// the next start, the plan list, the clipboard copies, the hand-off record,
// the messages of refused inputs, and the failures of a copy or an export.
// Each tool's file instantiates these with its CalcSpec.
#include "calc_fixture.h"

namespace {

using namespace gui;

TEST_P(CalculatorTest, ExportImportAndClosingWriteTheEngineSettingsBytes) {
    const auto own = folder_.file(spec_.settingsFile);
    if (!spec_.otherSection.empty()) {
        ASSERT_TRUE(writeFileBytes(own, spec_.otherSection));
    }
    start();
    type(spec_.saved);
    const auto exported = folder_.file(L"exported.ini");
    clickButton(dialog_, spec_.exportButton);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the save dialog could not be completed";
    EXPECT_TRUE(waitUntil([&] { return readFileBytes(exported) == spec_.exportText; }))
        << readFileBytes(exported).value_or("(no file)");

    // A file another program holds open: one message naming it.
    {
        const LockedFile locked(folder_.file(L"locked.ini"), "[kept]\r\n");
        ASSERT_TRUE(locked);
        clickButton(dialog_, spec_.exportButton);
        ASSERT_TRUE(completeSaveDialogReplacing(dialog_, locked.path()));
        const auto box = answerMessageBox(dialog_);
        ASSERT_TRUE(box) << "the failed export showed no message";
        EXPECT_EQ(utf8(box->text), writeFailureText(locked.path()));
        ASSERT_TRUE(flush(dialog_));
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "more than one message";
    }

    // Other inputs and a plan; the import restores the exported inputs and
    // empties the list.
    type(spec_.handed);
    for (const int id : spec_.compute)
        press(id);
    ASSERT_TRUE(waitUntil([&] { return rowCount() > 0; }));
    clickButton(dialog_, spec_.importButton);
    ASSERT_TRUE(completeFileDialog(dialog_, exported)) << "the open dialog could not be completed";
    ASSERT_TRUE(waitForRows(0)) << "the import did not empty the list";
    expectShown(spec_.saved);

    // The close box saves them beside another tool's section; the next start shows them.
    postSysCommand(dialog_, SC_CLOSE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(readFileBytes(own), spec_.otherSection + spec_.closingText);
    start();
    expectShown(spec_.saved);
}

TEST_P(CalculatorTest, ListCopiesAndHandOffBytesAreTheEngines) {
    startHosted();
    type(spec_.handed);
    for (const int id : spec_.compute)
        press(id);
    ASSERT_TRUE(waitForRows(static_cast<int>(spec_.rows.size()))) << rowCount();
    EXPECT_EQ(rows(), spec_.rows);

    clickButton(dialog_, spec_.handOff);
    ASSERT_TRUE(host_->waitForMessages(1)) << "the host received nothing";
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(findOwnedDialog(dialog_), nullptr);
    const HostLog log = host_->read();
    ASSERT_EQ(log.messages.size(), 1u);
    const CopyDataMessage& message = log.messages[0];
    EXPECT_EQ(message.sender, reinterpret_cast<std::uintptr_t>(dialog_)) << "wParam";
    EXPECT_EQ(message.dwData, 0u);
    EXPECT_EQ(message.cbData, spec_.record.size());
    EXPECT_EQ(message.bytes, spec_.record);

    for (const Copy& copy : spec_.copies) {
        ASSERT_TRUE(setClipboardText("before"));
        EXPECT_EQ(answer(copy.command), kCopied);
        EXPECT_EQ(clipboardText(), copy.text) << "command " << copy.command;
    }
    // Another program holds the clipboard: each copy says it failed.
    const ClipboardHold held;
    ASSERT_TRUE(held);
    for (const Copy& copy : spec_.copies)
        EXPECT_EQ(answer(copy.command), kCopyFailedText) << "command " << copy.command;
}

TEST_P(CalculatorTest, RefusedInputsShowTheEngineMessages) {
    start();
    for (const Refusal& refusal : spec_.refusals) {
        type(refusal.inputs);
        const std::string shown = answer(spec_.compute.front());
        if (refusal.whole)
            EXPECT_EQ(shown, refusal.message);
        else
            EXPECT_NE(shown.find(refusal.message), std::string::npos) << shown;
    }
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(findOwnedDialog(dialog_), nullptr);
}

} // namespace
