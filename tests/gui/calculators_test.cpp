// What the four calculators share, held against each tool's engine: settings files, import,
// the plan list, copies, the hand-off record, messages, and copies and exports that fail.
#include "calc_fixture.h"

namespace gui {

TEST_P(CalculatorTest, ExportImportAndClosingWriteTheEngineSettingsBytes) {
    const auto own = folder_.file(spec_.settingsFile);
    ASSERT_TRUE(spec_.otherSection.empty() || writeFileBytes(own, spec_.otherSection));
    start();
    type(spec_.saved);
    const auto exported = folder_.file(L"exported.ini");
    clickButton(dialog_, spec_.exportButton);
    ASSERT_TRUE(completeFileDialog(dialog_, exported));
    EXPECT_TRUE(waitUntil([&] { return readFileBytes(exported) == spec_.exportText; }))
        << readFileBytes(exported).value_or("(no file)");

    // A file another program holds open: one message, naming it.
    {
        const LockedFile locked(folder_.file(L"locked.ini"), "[kept]\r\n");
        clickButton(dialog_, spec_.exportButton);
        ASSERT_TRUE(completeFileDialog(dialog_, locked.path(), true));
        EXPECT_EQ(utf8(answerMessageBox(dialog_).value_or(MessageBoxSeen{}).text),
                  writeFailureText(locked.path()));
        ASSERT_TRUE(flush(dialog_));
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "more than one message";
    }

    // Other inputs and a plan: the import brings back the exported inputs
    // and empties the list.
    type(spec_.handed);
    compute();
    clickButton(dialog_, spec_.importButton);
    ASSERT_TRUE(completeFileDialog(dialog_, exported));
    ASSERT_TRUE(waitForRows(0)) << "the import did not empty the list";
    expectShown(spec_.saved);

    // The close box saves them, beside another tool's section; the next start shows them.
    postSysCommand(dialog_, SC_CLOSE);
    ASSERT_EQ(tool_.waitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(readFileBytes(own), spec_.otherSection + spec_.closingText);
    start();
    expectShown(spec_.saved);
}

TEST_P(CalculatorTest, ListCopiesAndHandOffBytesAreTheEngines) {
    auto host = HostProbe::start(Process::copyProgram(wide(spec_.name + ".exe"), folder_),
                                 folder_.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool().id());
    // The hand-off reads the boxes as they are then, not as the plan was computed.
    compute();
    type(spec_.handed);
    clickButton(dialog_, spec_.handOff);
    ASSERT_TRUE(host->waitForMessages(1)) << "the host received nothing";
    const HostLog log = host->read();
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].sender, reinterpret_cast<std::uintptr_t>(dialog_)) << "wParam";
    EXPECT_EQ(log.messages[0].dwData, 0u);
    EXPECT_EQ(log.messages[0].bytes, spec_.record);

    compute();
    ASSERT_TRUE(waitForRows(static_cast<int>(spec_.rows.size()))) << rowCount();
    EXPECT_EQ(rows(), spec_.rows);

    for (const auto& [command, copied] : spec_.copies) {
        ASSERT_TRUE(setClipboardText("before"));
        EXPECT_EQ(answer(command), kCopied);
        EXPECT_EQ(clipboardText(), copied) << "command " << command;
    }
    // Another program holds the clipboard: each copy says it failed.
    const ClipboardHold held;
    for (const auto& copy : spec_.copies)
        EXPECT_EQ(answer(copy.first), kCopyFailedText) << "command " << copy.first;
}

TEST_P(CalculatorTest, RefusedInputsShowTheEngineMessages) {
    start();
    for (const auto& [inputs, message] : spec_.refusals) {
        type(inputs);
        EXPECT_EQ(answer(spec_.compute.front()), message);
    }
    ASSERT_TRUE(flush(dialog_));
    EXPECT_EQ(findOwnedDialog(dialog_), nullptr);
}

} // namespace gui
