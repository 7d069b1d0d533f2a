// sieve2 (二星缩水杀号) driven from outside as a user would: its own groups,
// messages and reset on the dialog it shares with sieve3.
#include "harness.h"

#include "sieve/common/number_sieve.h"
#include "sieve/sieve2/resource.h"
#include "sieve/sieve2/sieve2_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

namespace {

using namespace gui;
namespace fs = std::filesystem;

constexpr wchar_t kExe[] = L"sieve2.exe";
constexpr char kMalformed[] = "号码存在不符合规则,要以2位数且空格或者逗号分隔!";
constexpr int kAboutCommand = 16;

constexpr std::array<int, sieve2::kGroupCount> kGroupFirstIds = {
    IDX_TENS, IDX_UNITS,    IDX_ROUTE,   IDX_SUM,       IDX_TAIL,
    IDX_SPAN, IDX_BIGSMALL, IDX_ODDEVEN, IDX_PRIMECOMP, IDX_PAIR,
};

std::string fullList() {
    return sieve::NumberSieve(sieve2::kDesign).numberList();
}

class Sieve2Test : public ::testing::Test {
  protected:
    void TearDown() override {
        if (HasFailure() && dialog_ && IsWindow(dialog_)) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            saveScreenshot(dialog_, L"sieve2-failed-" + wide(info->name()));
        }
        tool_.terminate();
    }
    void start(const std::vector<std::wstring>& arguments = {}) {
        tool_ = Process::startCopy(kExe, folder_, arguments);
        ASSERT_TRUE(tool_) << "sieve2.exe could not be started";
        dialog_ = waitForMainDialog(tool_.id());
        ASSERT_NE(dialog_, nullptr) << "the dialog did not show";
    }
    std::string text(int id) const { return utf8(controlText(dialog_, id)); }
    std::string count() const { return text(IDC_COUNT); }
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
        EXPECT_EQ(utf8(box->title), "sieve2");
        return utf8(box->text);
    }

    TempFolder folder_{L"sieve2"};
    Process tool_;
    HWND dialog_ = nullptr;
};

TEST_F(Sieve2Test, FreshStartShowsAHundred) {
    start();
    EXPECT_EQ(utf8(windowText(dialog_)), "二星缩水杀号 - Quorvel趋势分析软件");
    EXPECT_TRUE(GetWindowLongW(dialog_, GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_EQ(count(), "100");
    EXPECT_FALSE(isEnabled(dialog_, IDC_HANDOFF));
    EXPECT_EQ(text(IDX_MUST_ON), "胆码大底");
    EXPECT_EQ(text(IDX_DISTINCT), "不记重胆");
    EXPECT_EQ(text(IDX_PAIR + 0), "对子");
    EXPECT_EQ(text(IDX_PAIR + 1), "顺子");
    EXPECT_EQ(text(IDX_SUM + 18), "18");
    EXPECT_EQ(text(IDX_ROUTE + 8), "22");
    EXPECT_EQ(text(IDX_PRIMECOMP + 2), "合质");
    for (int hits = 0; hits <= 2; ++hits) {
        EXPECT_FALSE(isEnabled(dialog_, IDX_HIT + hits));
        EXPECT_EQ(isChecked(dialog_, IDX_HIT + hits), hits != 0);
    }
    EXPECT_EQ(control(dialog_, IDX_HIT + 3), nullptr) << "two digits have hit counts 0-2";
    EXPECT_FALSE(isEnabled(dialog_, IDX_DISTINCT));
}

TEST_F(Sieve2Test, ClicksShowTheEnginesCount) {
    start();
    tick(IDX_PAIR + 1);
    EXPECT_EQ(count(), "80");
    tick(IDX_PAIR + 0);
    EXPECT_EQ(count(), "70");
    tick(IDX_PAIR + 1, false);
    tick(IDX_PAIR + 0, false);

    std::mt19937 random(2);
    sieve::SieveCriteria criteria = sieve::SieveCriteria::startState(sieve2::kDesign);
    sieve::NumberSieve engine(sieve2::kDesign);
    for (int click = 0; click < 30; ++click) {
        const auto g = static_cast<std::size_t>(random() % kGroupFirstIds.size());
        const int box =
            static_cast<int>(random() % static_cast<unsigned>(sieve2::kGroups[g].boxCount));
        const bool on = !criteria.isTicked(static_cast<int>(g), box);
        criteria.tick(static_cast<int>(g), box, on);
        tick(kGroupFirstIds[g] + box, on);
        engine.recompute(criteria);
        ASSERT_EQ(count(), std::to_string(engine.keptCount())) << "after click " << click;
    }
}

TEST_F(Sieve2Test, MustContainAndResetKeepingTheDistinctTick) {
    start();
    tick(IDX_MUST_ON);
    EXPECT_TRUE(isEnabled(dialog_, IDX_DISTINCT));
    tick(IDX_MUST_DIGIT + 5);
    EXPECT_EQ(count(), "19");
    tick(IDX_HIT + 1, false);
    EXPECT_EQ(count(), "1"); // 55
    tick(IDX_DISTINCT);
    EXPECT_EQ(count(), "0");

    tick(IDX_SUM + 18);
    press(IDC_RESET);
    EXPECT_EQ(count(), "100");
    EXPECT_FALSE(isChecked(dialog_, IDX_SUM + 18));
    EXPECT_FALSE(isChecked(dialog_, IDX_MUST_ON));
    EXPECT_TRUE(isChecked(dialog_, IDX_HIT + 1));
    EXPECT_FALSE(isEnabled(dialog_, IDX_DISTINCT));
    EXPECT_TRUE(isChecked(dialog_, IDX_DISTINCT)) << "不记重胆 keeps its tick";
}

TEST_F(Sieve2Test, BaseSetCopyAndMessages) {
    start();
    ASSERT_TRUE(setControlText(dialog_, IDC_NUMBERS, L"12,34 567"));
    EXPECT_EQ(pressAndAnswer(IDC_LOAD_BASE), kMalformed);
    EXPECT_EQ(count(), "100");
    tick(IDX_SPAN + 0);
    EXPECT_EQ(count(), "2");
    ASSERT_TRUE(setClipboardText("before"));
    EXPECT_EQ(pressAndAnswer(IDC_COPY), "成功复制 2 注号码!");
    EXPECT_EQ(clipboardText(), std::optional<std::string>("12 34 "));
    press(IDC_SHOW);
    EXPECT_EQ(text(IDC_NUMBERS), "12 34 ");

    press(IDC_RESET);
    press(IDC_SHOW);
    EXPECT_EQ(text(IDC_NUMBERS), fullList());
}

TEST_F(Sieve2Test, HandOffSendsThreeBytesPerNumber) {
    const fs::path copy = Process::copyProgram(kExe, folder_);
    auto host = HostProbe::start(copy, folder_.file(L"host.log"));
    ASSERT_TRUE(host) << "hostprobe did not start the tool";
    dialog_ = waitForMainDialog(host->tool().id());
    ASSERT_NE(dialog_, nullptr);
    EXPECT_TRUE(isEnabled(dialog_, IDC_HANDOFF));
    press(IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(1));
    tick(IDX_PAIR + 0);
    press(IDC_HANDOFF);
    ASSERT_TRUE(host->waitForMessages(2));
    const HostLog log = host->read();
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[0].cbData, 300u);
    EXPECT_EQ(std::string(log.messages[0].bytes.begin(), log.messages[0].bytes.end()), fullList());
    EXPECT_EQ(log.messages[1].cbData, 270u);
    EXPECT_EQ(log.messages[1].dwData, 0u);
}

TEST_F(Sieve2Test, AboutBoxAndScreenshot) {
    start();
    postSysCommand(dialog_, kAboutCommand);
    const HWND about = waitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_EQ(utf8(windowText(about)), "关于 sieve2");
    const auto texts = staticTexts(about);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"sieve2 1.0 版"), texts.end());
    EXPECT_TRUE(dismiss(about, IDOK));

    tick(IDX_MUST_ON);
    tick(IDX_MUST_DIGIT + 7);
    tick(IDX_PAIR + 1);
    press(IDC_SHOW);
    pause(Millis{1500}); // a loaded machine paints slowly
    const auto file = saveScreenshot(dialog_, L"sieve2");
    ASSERT_TRUE(file);
    std::printf("screenshot: %s\n", utf8(file->wstring()).c_str());
}

} // namespace
