// What the calculators' tests check of a copy or an export that cannot take
// place: the user is told, once, with the shared message.
#pragma once

#include "harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

namespace gui {

// Each copy command, posted while the test holds the clipboard open, says
// that the copy failed.
inline void expectCopiesReportFailure(HWND dialog, std::initializer_list<int> commands,
                                      const std::string& title) {
    const ClipboardHold held;
    ASSERT_TRUE(held) << "the test could not open the clipboard";
    for (const int id : commands) {
        postCommand(dialog, id);
        const auto box = answerMessageBox(dialog);
        ASSERT_TRUE(box) << "command " << id << " showed no message";
        EXPECT_EQ(utf8(box->text), kCopyFailedText) << "command " << id;
        EXPECT_EQ(utf8(box->title), title);
    }
}

// An export into a file that another program holds open names the file in
// one message.
inline void expectExportReportsFailure(HWND dialog, int exportButton,
                                       const std::filesystem::path& file) {
    const LockedFile target(file, "[kept]\r\n");
    ASSERT_TRUE(target) << "the locked file could not be made";
    clickButton(dialog, exportButton);
    ASSERT_TRUE(completeSaveDialogReplacing(dialog, target.path()))
        << "the save dialog could not be completed";
    const auto box = answerMessageBox(dialog);
    ASSERT_TRUE(box) << "the failed export showed no message";
    EXPECT_EQ(utf8(box->text), writeFailureText(target.path()));
    ASSERT_TRUE(flush(dialog));
    EXPECT_EQ(findOwnedDialog(dialog), nullptr) << "more than one message";
}

} // namespace gui
