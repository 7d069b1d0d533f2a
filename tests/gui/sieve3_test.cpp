// sieve3 (三星缩水杀号) driven from outside as a user would: the real
// program, started from a copy in a folder of its own, its boxes clicked,
// its count read, its clipboard text, indicator file and hand-off checked.
#include "harness.h"

#include "sieve/common/number_sieve.h"
#include "sieve/sieve3/resource.h"
#include "sieve/sieve3/sieve3_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

namespace {

using namespace gui;
namespace fs = std::filesystem;

constexpr wchar_t kExe[] = L"sieve3.exe";
constexpr char kTitle[] = "三星缩水杀号 - Quorvel趋势分析软件";
constexpr char kMessageTitle[] = "sieve3";
constexpr char kMalformed[] = "号码存在不符合规则,要以3位数且空格或者逗号分隔!";
constexpr int kAboutCommand = 16;

constexpr std::array<int, sieve3::kGroupCount> kGroupFirstIds = {
    IDX_HUNDREDS, IDX_TENS,    IDX_UNITS,     IDX_ROUTE, IDX_SUM,      IDX_TAIL,    IDX_SPAN,
    IDX_BIGSMALL, IDX_ODDEVEN, IDX_PRIMECOMP, IDX_FORM,  IDX_SMALLEST, IDX_LARGEST,
};

std::string fullList() {
    sieve::NumberSieve sieve(sieve3::kDesign);
    return sieve.numberList();
}

class Sieve3Test : public ::testing::Test {
  protected:
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, L"sieve3-failed-" + wide(info->name()));
        }
        tool_.terminate();
    }

    // The program is copied into bin/ of the test's folder, so that the
    // indicator folder (under the parent of the program's folder) stays in
    // the test's folder too.
    void start(const std::vector<std::wstring>& arguments = {}) {
        const fs::path bin = folder_.path() / L"bin";
        fs::create_directories(bin);
        std::error_code error;
        fs::copy_file(programDirectory() / kExe, bin / kExe, fs::copy_options::overwrite_existing,
                      error);
        ASSERT_FALSE(error) << "sieve3.exe could not be copied";
        tool_ = Process::start(bin / kExe, arguments);
        ASSERT_TRUE(tool_) << "sieve3.exe could not be started";
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }

    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    std::string count() const { return text(IDC_COUNT); }
    // Clicks a check box into a state and waits until the dialog has handled it.
    void tick(int id, bool on = true) {
        setCheckBox(dialog_, id, on);
        ASSERT_TRUE(flush(dialog_));
    }
    void press(int id) {
        clickButton(dialog_, id);
        ASSERT_TRUE(flush(dialog_));
    }
    std::string pressAndAnswer(int id) {
        clickButton(dialog_, id);
        const auto box = answerMessageBox(dialog_);
        if (!box) {
            ADD_FAILURE() << "no message box after pressing control " << id;
            return {};
        }
        EXPECT_EQ(utf8(box->title), kMessageTitle);
        return utf8(box->text);
    }
    void expectNoBox() {
        ASSERT_TRUE(flush(dialog_));
        pause(Millis{200});
        EXPECT_EQ(findOwnedDialog(dialog_), nullptr) << "a box opened over the dialog";
    }

    TempFolder folder_{L"sieve3"};
    Process tool_;
    HWND dialog_ = nullptr;
};

TEST_F(Sieve3Test, FreshStartShowsTheFullCountAndTheStartState) {
    start();
    EXPECT_EQ(utf8(windowText(dialog_)), kTitle);
    EXPECT_EQ(count(), "1000");
    EXPECT_EQ(text(IDC_NUMBERS), "");
    EXPECT_FALSE(isEnabled(dialog_, IDC_HANDOFF)) << "出图 without a host";
    EXPECT_FALSE(isChecked(dialog_, IDX_MUST_ON));
    for (int digit = 0; digit <= 9; ++digit)
        EXPECT_FALSE(isEnabled(dialog_, IDX_MUST_DIGIT + digit)) << "digit " << digit;
    for (int hits = 0; hits <= 3; ++hits) {
        EXPECT_FALSE(isEnabled(dialog_, IDX_HIT + hits));
        EXPECT_EQ(isChecked(dialog_, IDX_HIT + hits), hits != 0) << "hit count " << hits;
    }
    EXPECT_FALSE(isEnabled(dialog_, IDX_DISTINCT));
    EXPECT_FALSE(isChecked(dialog_, IDX_DISTINCT));

    // Captions in box order.
    const std::pair<int, const char*> captions[] = {
        {IDX_MUST_ON, "胆码选号"},
        {IDX_DISTINCT, "记重"},
        {IDX_ROUTE + 5, "012"},
        {IDX_ROUTE + 26, "222"},
        {IDX_SUM + 0, "00"},
        {IDX_SUM + 27, "27"},
        {IDX_BIGSMALL + 3, "大小小"},
        {IDX_ODDEVEN + 6, "偶偶奇"},
        {IDX_PRIMECOMP + 7, "合合合"},
        {IDX_FORM + 3, "顺子"},
        {IDX_SMALLEST + 1, "中数"},
        {IDX_LARGEST + 2, "大数"},
        {IDC_SAVE_INDICATOR, "保存为指标文件..."},
    };
    for (const auto& [id, caption] : captions)
        EXPECT_EQ(text(id), caption) << "control " << id;
    for (std::size_t g = 0; g < kGroupFirstIds.size(); ++g) {
        for (int box = 0; box < sieve3::kGroups[g].boxCount; ++box)
            EXPECT_TRUE(isEnabled(dialog_, kGroupFirstIds[g] + box) &&
                        !isChecked(dialog_, kGroupFirstIds[g] + box))
                << "group " << g << " box " << box;
    }
}

TEST_F(Sieve3Test, EveryClickShowsTheEnginesCount) {
    start();
    tick(IDX_HUNDREDS + 0);
    EXPECT_EQ(count(), "900");
    EXPECT_EQ(text(IDC_NUMBERS), "") << "a click does not touch the number box";
    tick(IDX_HUNDREDS + 0, false);
    tick(IDX_FORM + 3);
    EXPECT_EQ(count(), "940");
    tick(IDX_FORM + 3, false);

    // Random clicks over all groups, each count checked against the engine.
    std::mt19937 random(5);
    sieve::SieveCriteria criteria = sieve::SieveCriteria::startState(sieve3::kDesign);
    sieve::NumberSieve engine(sieve3::kDesign);
    for (int click = 0; click < 40; ++click) {
        const auto g = static_cast<std::size_t>(random() % kGroupFirstIds.size());
        const int box =
            static_cast<int>(random() % static_cast<unsigned>(sieve3::kGroups[g].boxCount));
        const bool on = !criteria.isTicked(static_cast<int>(g), box);
        criteria.tick(static_cast<int>(g), box, on);
        tick(kGroupFirstIds[g] + box, on);
        engine.recompute(criteria);
        ASSERT_EQ(count(), std::to_string(engine.keptCount())) << "after click " << click;
    }
}

TEST_F(Sieve3Test, MustContainGroupIsEnabledByItsMasterBox) {
    start();
    tick(IDX_MUST_ON);
    EXPECT_EQ(count(), "0") << "no digit ticked, hit count 0 not ticked";
    for (int digit = 0; digit <= 9; ++digit)
        EXPECT_TRUE(isEnabled(dialog_, IDX_MUST_DIGIT + digit));
    EXPECT_TRUE(isEnabled(dialog_, IDX_HIT + 0));
    EXPECT_TRUE(isEnabled(dialog_, IDX_DISTINCT));

    tick(IDX_MUST_DIGIT + 1);
    EXPECT_EQ(count(), "271");
    tick(IDX_HIT + 1, false);
    tick(IDX_HIT + 3, false);
    EXPECT_EQ(count(), "27"); // exactly two 1s
    tick(IDX_DISTINCT);
    EXPECT_EQ(count(), "0"); // one digit can only score 1
    tick(IDX_DISTINCT, false);

    tick(IDX_MUST_ON, false);
    EXPECT_EQ(count(), "1000");
    EXPECT_FALSE(isEnabled(dialog_, IDX_MUST_DIGIT + 1));
    EXPECT_TRUE(isChecked(dialog_, IDX_MUST_DIGIT + 1)) << "the ticks are kept";
}

TEST_F(Sieve3Test, ResetUnticksEverythingAndEndsTheBaseSet) {
    start();
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L"123 456"));
    press(IDC_LOAD_BASE);
    tick(IDX_SUM + 27);
    tick(IDX_MUST_ON);
    tick(IDX_MUST_DIGIT + 4);
    tick(IDX_HIT + 0);
    tick(IDX_DISTINCT);
    press(IDC_RESET);
    EXPECT_EQ(count(), "1000");
    EXPECT_EQ(text(IDC_NUMBERS), "");
    EXPECT_FALSE(isChecked(dialog_, IDX_SUM + 27));
    EXPECT_FALSE(isChecked(dialog_, IDX_MUST_ON));
    EXPECT_FALSE(isChecked(dialog_, IDX_MUST_DIGIT + 4));
    EXPECT_FALSE(isEnabled(dialog_, IDX_MUST_DIGIT + 4));
    EXPECT_FALSE(isChecked(dialog_, IDX_HIT + 0));
    EXPECT_TRUE(isChecked(dialog_, IDX_HIT + 3));
    EXPECT_FALSE(isChecked(dialog_, IDX_DISTINCT));
    // The base set is gone: a click starts from all 1000 again.
    tick(IDX_HUNDREDS + 0);
    EXPECT_EQ(count(), "900");
}

TEST_F(Sieve3Test, LoadingABaseSet) {
    start();
    // Three numbers: the count shows them and every box is unticked.
    tick(IDX_TAIL + 5);
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L"111,123\r\n456"));
    press(IDC_LOAD_BASE);
    EXPECT_EQ(count(), "3");
    EXPECT_FALSE(isChecked(dialog_, IDX_TAIL + 5));
    EXPECT_EQ(text(IDC_NUMBERS), "111,123\r\n456") << "the user's text stays";
    tick(IDX_SPAN + 0);
    EXPECT_EQ(count(), "2");

    // Malformed: the message, the count at 1000, then the part read before
    // the bad token takes effect at the next click.
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L"345 12 678"));
    EXPECT_EQ(pressAndAnswer(IDC_LOAD_BASE), kMalformed);
    EXPECT_EQ(count(), "1000");
    EXPECT_FALSE(isChecked(dialog_, IDX_SPAN + 0));
    tick(IDX_SPAN + 9);
    EXPECT_EQ(count(), "1");

    // Separators only: no message, the count stays, the next click shows 0.
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L" , \r\n"));
    press(IDC_LOAD_BASE);
    expectNoBox();
    EXPECT_EQ(count(), "1000");
    tick(IDX_SPAN + 9);
    EXPECT_EQ(count(), "0");

    // An empty box ends the base set without touching anything on screen.
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L""));
    press(IDC_LOAD_BASE);
    EXPECT_EQ(count(), "0");
    EXPECT_TRUE(isChecked(dialog_, IDX_SPAN + 9));
    tick(IDX_SPAN + 9, false);
    EXPECT_EQ(count(), "1000");

    // A caption with full-width brackets is not a caption.
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L"大底（1注） 123"));
    EXPECT_EQ(pressAndAnswer(IDC_LOAD_BASE), kMalformed);
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L"大底(1注) 123"));
    press(IDC_LOAD_BASE);
    EXPECT_EQ(count(), "1");
}

TEST_F(Sieve3Test, ShowNumbersFillsTheNumberBox) {
    start();
    press(IDC_SHOW);
    EXPECT_EQ(text(IDC_NUMBERS), fullList());
    EXPECT_EQ(count(), "1000");
    tick(IDX_HUNDREDS + 0);
    EXPECT_EQ(text(IDC_NUMBERS), fullList()) << "the box lags behind the count until 显示号码";
    press(IDC_SHOW);
    EXPECT_EQ(text(IDC_NUMBERS), fullList().substr(400));
}

TEST_F(Sieve3Test, CopyNumbersPutsTheListOnTheClipboard) {
    start();
    ASSERT_TRUE(setClipboardText("before"));
    EXPECT_EQ(pressAndAnswer(IDC_COPY), "成功复制 1000 注号码!");
    EXPECT_EQ(clipboardText(), std::optional<std::string>(fullList()));

    for (int span = 0; span <= 9; ++span)
        tick(IDX_SPAN + span);
    EXPECT_EQ(count(), "0");
    ASSERT_TRUE(setClipboardText("before"));
    EXPECT_EQ(pressAndAnswer(IDC_COPY), "成功复制 0 注号码!");
    EXPECT_EQ(clipboardText(), std::optional<std::string>(""));
}

// Another program holds the clipboard open: the copy says it failed.
TEST_F(Sieve3Test, CopyNumbersThatCannotReachTheClipboardSaysSo) {
    start();
    ASSERT_TRUE(OpenClipboard(nullptr));
    const std::string answer = pressAndAnswer(IDC_COPY);
    CloseClipboard();
    EXPECT_EQ(answer, "复制失败: 剪贴板正被其他程序占用, 请稍后再试。");
}

TEST_F(Sieve3Test, IndicatorFileHoldsTheBareList) {
    start();
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L"012 345 678"));
    press(IDC_LOAD_BASE);
    const fs::path indicatorFolder = folder_.path() / L"文本指标" / L"三星文本" / L"自定义指标";
    // Wine maps file names through the host's locale: without an installed
    // Chinese or UTF-8 locale it cannot make Chinese names at all, and then
    // the file goes to the test's folder instead.
    std::error_code error;
    const bool chineseNames = fs::create_directory(folder_.path() / L"指标", error);
    const fs::path target = chineseNames ? indicatorFolder : folder_.path();

    clickButton(dialog_, IDC_SAVE_INDICATOR);
    ASSERT_TRUE(completeFileDialog(dialog_, target / L"mine.txt"))
        << "the save dialog could not be completed";
    if (chineseNames)
        EXPECT_TRUE(fs::is_directory(indicatorFolder)) << "the indicator folder was not made";
    else
        std::printf(
            "note: this Wine cannot make Chinese file names; indicator folder not checked\n");
    ASSERT_TRUE(waitUntil([&] {
        return readFileBytes(target / L"mine.txt").value_or("") == "012 345 678 ";
    })) << readFileBytes(target / L"mine.txt").value_or("<no file>");

    // Without an extension the file gets .txt; an empty set gives an empty file.
    tick(IDX_SPAN + 2); // 012, 345 and 678 all span 2
    ASSERT_EQ(count(), "0");
    clickButton(dialog_, IDC_SAVE_INDICATOR);
    ASSERT_TRUE(completeFileDialog(dialog_, target / L"empty"));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(target / L"empty.txt"); }));
    EXPECT_EQ(readFileBytes(target / L"empty.txt"), std::optional<std::string>(""));
    expectNoBox();
}

// An indicator file that cannot be written (another program holds it open
// without sharing; the save dialog's question whether to replace it is
// answered yes) is reported, naming the file.
TEST_F(Sieve3Test, IndicatorFileThatCannotBeWrittenSaysSo) {
    start();
    const fs::path locked = folder_.path() / L"locked.txt";
    ASSERT_TRUE(writeFileBytes(locked, "old"));
    const HANDLE held = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread replace([&] {
        const HWND files = waitForOwnedDialog(dialog_);
        if (const HWND question = files ? waitForOwnedDialog(files) : nullptr)
            dismiss(question, IDYES);
    });
    clickButton(dialog_, IDC_SAVE_INDICATOR);
    const bool saved = completeFileDialog(dialog_, locked);
    replace.join();
    const auto box = saved ? answerMessageBox(dialog_) : std::nullopt;
    CloseHandle(held);
    ASSERT_TRUE(saved) << "the save dialog could not be completed";
    ASSERT_TRUE(box) << "the failed save was silent";
    EXPECT_EQ(utf8(box->text), "无法写入文件:\n" + utf8(locked.wstring()));
    EXPECT_EQ(readFileBytes(locked), std::optional<std::string>("old"));
}

TEST_F(Sieve3Test, HandOffSendsTheListWithoutATerminatingZero) {
    const fs::path bin = folder_.path() / L"bin";
    fs::create_directories(bin);
    fs::copy_file(programDirectory() / kExe, bin / kExe);
    auto host = HostProbe::start(bin / kExe, folder_.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool().id());
    ASSERT_NE(dialog_, nullptr);
    EXPECT_TRUE(isEnabled(dialog_, IDC_HANDOFF));

    press(IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(1)) << "the host received nothing";
    tick(IDX_HUNDREDS + 0);
    tick(IDX_TENS + 0);
    press(IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(2));
    for (int span = 0; span <= 9; ++span)
        tick(IDX_SPAN + span);
    press(IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(3));

    const HostLog log = host->read();
    ASSERT_EQ(log.messages.size(), 3u);
    sieve::NumberSieve engine(sieve3::kDesign);
    sieve::SieveCriteria criteria = sieve::SieveCriteria::startState(sieve3::kDesign);
    criteria.tick(sieve3::kHundreds, 0);
    criteria.tick(sieve3::kTens, 0);
    engine.recompute(criteria);
    const std::string expected[] = {fullList(), engine.numberList(), ""};
    for (std::size_t i = 0; i < 3; ++i) {
        const CopyDataMessage& message = log.messages[i];
        EXPECT_EQ(message.sender,
                  static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(dialog_)));
        EXPECT_EQ(message.dwData, 0u);
        EXPECT_EQ(message.cbData, expected[i].size()) << "message " << i;
        EXPECT_EQ(std::string(message.bytes.begin(), message.bytes.end()), expected[i])
            << "message " << i;
    }
    EXPECT_EQ(log.messages[1].cbData, 4u * 810u);
}

TEST_F(Sieve3Test, HandOffWithoutAHostDoesNothing) {
    start({L"0"});
    EXPECT_FALSE(isEnabled(dialog_, IDC_HANDOFF));
    press(IDC_HANDOFF);
    expectNoBox();
    EXPECT_TRUE(tool_.running());
}

TEST_F(Sieve3Test, AboutItemShowsTheAboutBoxAndEscapeCloses) {
    start();
    postSysCommand(dialog_, kAboutCommand);
    const HWND about = waitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_EQ(utf8(windowText(about)), "关于 sieve3");
    const auto texts = staticTexts(about);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"sieve3 1.0 版"), texts.end());
    EXPECT_TRUE(dismiss(about, IDOK));
    tick(IDX_SUM + 0);
    EXPECT_EQ(count(), "999");

    // Enter does nothing; Escape ends the program.
    pressKey(dialog_, VK_RETURN);
    ASSERT_TRUE(flush(dialog_));
    EXPECT_TRUE(tool_.running());
    pressKey(dialog_, VK_ESCAPE);
    EXPECT_EQ(tool_.waitForExit(), std::optional<DWORD>(0));
}

TEST_F(Sieve3Test, ScreenshotIsSavedForReview) {
    start();
    tick(IDX_MUST_ON);
    tick(IDX_MUST_DIGIT + 3);
    tick(IDX_FORM + 3);
    press(IDC_SHOW);
    pause(Millis{1500}); // a loaded machine paints slowly
    const auto file = saveScreenshot(dialog_, L"sieve3");
    ASSERT_TRUE(file) << "the window could not be saved";
    std::printf("screenshot: %s\n", utf8(file->wstring()).c_str());
}

} // namespace

namespace {

// Ten megabytes pasted into the number box (numbers ten a line), then
// 装入大底: the right count, or the malformed message for a bad last token.
TEST_F(Sieve3Test, TenMegabytePasteLoads) {
    start();
    std::string lines;
    const std::string list = fullList();
    for (std::size_t at = 0, n = 0; at < list.size(); at += 4, ++n)
        lines += list.substr(at, 4) + (n % 10 == 9 ? "\r\n" : "");
    std::string paste;
    while (paste.size() < 10'000'000)
        paste += lines;
    HWND box = control(dialog_, IDC_NUMBERS);
    ASSERT_TRUE(setClipboardText(paste));
    SendMessageW(box, WM_PASTE, 0, 0);
    const auto pressed = std::chrono::steady_clock::now();
    press(IDC_LOAD_BASE);
    std::printf("sieve3: 装入大底 of %zu bytes took %lld ms\n", paste.size(),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - pressed)
                                           .count()));
    EXPECT_EQ(count(), "1000");
    ASSERT_TRUE(setClipboardText(" 12"));
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(pressAndAnswer(IDC_LOAD_BASE), kMalformed);
}

} // namespace
