// What the nine tools share, tool by tool: the host handle of the first
// argument, the About box of the system menu, Enter, Esc and the close box.
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace gui;
namespace fs = std::filesystem;

enum class Key { Ignored, Ends };

struct Tool {
    const char* name;
    const wchar_t* handOff;   // caption of the hand-off button; none in handlepick
    std::uint32_t cbData;     // of a hand-off right after the start
    bool handOffAlwaysOn;     // enabled even without a host
    bool about;               // the About item in the system menu
    Key enter, esc;           // the close box always ends the tool
    const wchar_t* settings;  // written on Esc and the close box, never on Enter
};

const Tool kTools[] = {
    {"stakeladder", L"复制到方案", 2032, true, true, Key::Ignored, Key::Ends, L"setbt.ini"},
    {"segmentstake", L"复制到方案", 2040, false, true, Key::Ignored, Key::Ends, L"setgl.ini"},
    {"wavestake", L"复制到方案", 2032, false, true, Key::Ends, Key::Ends, L"settb.ini"},
    {"snowballstake", L"复制到方案", 2032, false, true, Key::Ends, Key::Ends, L"setgl.ini"},
    {"sieve2", L"出图", 300, false, true, Key::Ignored, Key::Ends, nullptr},
    {"sieve3", L"出图", 4000, false, true, Key::Ignored, Key::Ends, nullptr},
    {"sieve4", L"出图", 50001, false, true, Key::Ends, Key::Ends, nullptr},
    {"sieve5", L"出图", 600001, false, false, Key::Ignored, Key::Ignored, nullptr},
    {"handlepick", nullptr, 0, false, true, Key::Ignored, Key::Ends, nullptr},
};

void PrintTo(const Tool& tool, std::ostream* out) {
    *out << tool.name;
}

// A copy of the tool in a folder of its own, started with `arguments`.
struct Started {
    TempFolder folder{L"all-tools"};
    Process process;
    HWND dialog = nullptr;
};

class AllTools : public ::testing::TestWithParam<Tool> {
  protected:
    std::wstring exe() const { return wide(GetParam().name) + L".exe"; }

    // Starts every copy at once (one per list of arguments), then waits for each dialog.
    void startAll(std::vector<Started>& copies,
                  const std::vector<std::vector<std::wstring>>& arguments) {
        for (std::size_t i = 0; i < copies.size(); ++i)
            ASSERT_TRUE(copies[i].process = Process::startCopy(exe(), copies[i].folder, arguments[i]));
        for (Started& copy : copies)
            ASSERT_NE(copy.dialog = waitForMainDialog(copy.process.id()), nullptr);
    }

    static bool settingsWritten(const Started& copy) {
        return GetParam().settings && fs::exists(copy.folder.file(GetParam().settings));
    }
};

// The key goes to the first one-line edit box, else to the dialog: the
// dialog's message loop makes the command of it.
HWND keyTarget(HWND dialog) {
    for (HWND edit : childWindows(dialog, L"Edit"))
        if (!(GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE))
            return edit;
    return dialog;
}

// Four copies side by side. The first argument names the host by the atoi
// rule, in the 32 bits a window handle has: a handle with leading blanks, a
// sign and trailing text is the host; no argument, a word and a number beyond
// 32 bits are none (handlepick ignores its arguments). Then the About item,
// Return in a box of several lines, and Enter, Esc and the close box, each
// in a copy of its own.
TEST_P(AllTools, HandOffBytesAboutBoxEnterEscAndTheCloseBox) {
    const Tool& tool = GetParam();
    TempFolder hostFolder(L"all-tools-host");
    auto host = HostProbe::start({}, hostFolder.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start";
    const auto handle = static_cast<std::uint32_t>(host->hostWindow());
    std::vector<Started> copies(4);
    startAll(copies, {{L"  +" + std::to_wstring(handle) + L"x", L"extra"}, // the host
                      {},
                      {L"abc"},
                      {std::to_wstring(handle + (std::uint64_t{1} << 32))}});

    const HWND button = tool.handOff ? childWithText(copies[0].dialog, tool.handOff) : nullptr;
    ASSERT_EQ(button != nullptr, tool.handOff != nullptr);
    const std::size_t hosted = button ? 1 : 0;
    for (std::size_t i = 0; i < copies.size() && button; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(copies[i].dialog, GetDlgCtrlID(button))) != FALSE,
                  i < hosted || tool.handOffAlwaysOn);
        clickButton(copies[i].dialog, GetDlgCtrlID(button)); // when disabled too: nothing happens
        ASSERT_TRUE(flush(copies[i].dialog));
        EXPECT_EQ(findOwnedDialog(copies[i].dialog), nullptr) << "a box opened";
    }
    ASSERT_TRUE(host->waitForMessages(hosted));
    const HostLog log = host->read();
    ASSERT_EQ(log.messages.size(), hosted);
    for (const CopyDataMessage& message : log.messages) {
        EXPECT_EQ(message.sender, static_cast<std::uint64_t>(
                                      reinterpret_cast<std::uintptr_t>(copies[0].dialog)));
        EXPECT_EQ(message.dwData, 0u);
        EXPECT_EQ(message.cbData, tool.cbData);
        EXPECT_EQ(message.bytes.size(), tool.cbData);
    }

    // The About item of the system menu; sieve5 has none.
    const HWND dialog = copies[1].dialog;
    postSysCommand(dialog, 16);
    if (tool.about) {
        const HWND about = waitForOwnedDialog(dialog);
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_EQ(utf8(windowText(about)), "关于 " + std::string(tool.name));
        EXPECT_NE(childWithText(about, wide(tool.name) + L" 1.0 版"), nullptr) << "no version";
        EXPECT_EQ(windowText(GetDlgItem(about, IDOK)), L"确定");
        EXPECT_TRUE(dismiss(about, IDOK));
    }
    ASSERT_TRUE(flush(dialog));
    EXPECT_EQ(findOwnedDialog(dialog), nullptr);
    // Return in a box of several lines starts a line there and ends nothing.
    for (const wchar_t* box : {L"Edit", L"RICHEDIT50W"})
        for (HWND lines : childWindows(dialog, box))
            if (GetWindowLongW(lines, GWL_STYLE) & ES_WANTRETURN) {
                pressKey(lines, VK_RETURN);
                ASSERT_TRUE(flush(dialog));
                EXPECT_NE(windowText(lines).find(L"\r\n"), std::wstring::npos) << "no new line";
            }

    const struct {
        const char* what;
        Key effect;
        std::function<void(HWND)> act;
    } closers[] = {
        {"Enter", tool.enter, [](HWND d) { pressKey(keyTarget(d), VK_RETURN); }},
        {"Esc", tool.esc, [](HWND d) { pressKey(keyTarget(d), VK_ESCAPE); }},
        {"the close box", Key::Ends, [](HWND d) { postSysCommand(d, SC_CLOSE); }},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(closers[i].what);
        Started& copy = copies[i + 1];
        closers[i].act(copy.dialog);
        if (closers[i].effect == Key::Ends) {
            EXPECT_EQ(copy.process.waitForExit(), std::optional<DWORD>(0));
            EXPECT_EQ(settingsWritten(copy), tool.settings && i > 0);
            continue;
        }
        ASSERT_TRUE(flush(copy.dialog));
        EXPECT_TRUE(copy.process.running());
        EXPECT_EQ(findOwnedDialog(copy.dialog), nullptr) << "a box opened";
        EXPECT_FALSE(settingsWritten(copy));
        for (HWND list : childWindows(copy.dialog, L"SysListView32"))
            EXPECT_EQ(RemoteListView(list).rowCount(), 0) << "a plan was computed";
    }
}

INSTANTIATE_TEST_SUITE_P(AllTools, AllTools, ::testing::ValuesIn(kTools),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
