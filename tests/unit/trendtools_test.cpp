// trendtools run as a user runs it: the built program, its exit status, and
// exactly what it writes to stdout and stderr. The plans and the filters'
// numbers are the engines' (tested there); here what the command line adds:
// its arguments, the shape of its output and its exit codes.
#include "plan_view.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class Trendtools : public testing::Test {
  protected:
    void SetUp() override {
        directory_ = fs::temp_directory_path() /
                     ("trendtools_test_" + std::to_string(::getpid()) + "_" +
                      testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory_);
        std::ofstream(directory_ / "setbt.ini", std::ios::binary)
            << "[SetBT]\r\nnModel=0\r\nnLirunLv=10\r\nnQishu=3\r\n";
        // One file of two tools: each reads its own section.
        std::ofstream(directory_ / "setgl.ini", std::ios::binary)
            << "[SetBT]\r\nnQishu=2\r\nnMode=0\r\n[SetFD]\r\nnZhong=1\r\nnMode=0\r\nfYingli=\r\n";
    }
    void TearDown() override { fs::remove_all(directory_); }

    // Words "DIR/" in arguments name files of the test's folder.
    Outcome run(std::vector<std::string> arguments) const {
        const std::string out = (directory_ / "stdout").string();
        const std::string err = (directory_ / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        arguments.insert(arguments.begin(), TRENDTOOLS_EXE);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            if (argument.starts_with("DIR/"))
                argument = (directory_ / argument.substr(4)).string();
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        Outcome outcome;
        pid_t child = 0;
        const int spawned =
            posix_spawn(&child, TRENDTOOLS_EXE, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << TRENDTOOLS_EXE;
            return outcome;
        }
        int status = 0;
        waitpid(child, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream outFile(out, std::ios::binary);
        std::ifstream errFile(err, std::ios::binary);
        outcome.out.assign(std::istreambuf_iterator<char>(outFile), {});
        outcome.err.assign(std::istreambuf_iterator<char>(errFile), {});
        return outcome;
    }

    fs::path directory_;
};

const std::string kLadder = "期数\t当前倍数\t当前成本\t累计成本\t中奖奖金\t纯利润\t收益率\n";
const std::string kSegment = "序号\t倍数\t成本\t累计成本\t中奖\t收益\t累计收益\n";
const std::string kWave = "序号\t波数\t倍数\t当前成本\t累计成本\t中奖\t收益\n";
const std::string kSnowball = "序号\t倍数\t成本\t中奖\t收益\t总收益\n";

// Each case: arguments, then the exit status, stdout and stderr expected
// ("..." stands for any text).
TEST_F(Trendtools, Runs) {
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        {{"stakeladder"},
         0,
         kLadder + "1\t1\t0.5000\t0.5000\t0.9780\t0.4780\t95.60%\n2\t2\t...\n"
                   "5\t17\t8.5000\t16.0000\t16.6260\t0.6260\t3.91%\n",
         ""},
        {{"stakeladder", "--ini", "DIR/setbt.ini", "nQishu=8"},
         0,
         kLadder + "...\n8\t251\t125500.0000\t223000.0000\t245478.0000\t22478.0000\t10.08%\n",
         ""},
        {{"stakeladder", "--ini", "DIR/none.ini", "nQishu=1"},
         0,
         kLadder + "1\t1\t0.5000\t0.5000\t0.9780\t0.4780\t95.60%\n",
         ""},
        {{"stakeladder", "--ini", "DIR", "nQishu=1"},
         0, // a folder reads as a missing file
         kLadder + "1\t1\t0.5000\t0.5000\t0.9780\t0.4780\t95.60%\n",
         ""},
        {{"stakeladder", "--custom", "5-2, 7"}, 0, kLadder + "...\n5\t7\t3.500\t...", ""},
        {{"stakeladder", "--custom", ""}, 0, kLadder, ""},
        {{"stakeladder", "nZhushu=1000"}, 1, "", "注数数值只能为(1-999)\n"},
        {{"stakeladder", "--custom", "1-1000000000"}, 1, "", "自定义倍投最多10000期\n"},
        {{"segmentstake"},
         0,
         kSegment + "1\t3\t14.640\t14.640\t\t\t\t\nstatus\t还剩下 5 期中完成目标!\topen\n",
         ""},
        {{"segmentstake", "--marks", ""},
         0,
         kSegment + "1\t3\t...\nstatus\t还剩下 5 期中完成目标!\topen\n",
         ""},
        // Letters and characters, mixed.
        {{"segmentstake", "--marks=M挂H中"},
         0,
         kSegment +
             "1\t3\t14.640\t14.640\t0\t-14.640\t-14.640\t挂\n2\t...\t挂\n3\t...\t中\n"
             "4\t4\t19.520\t68.320\t39.120\t19.600\t9.920\t中\n5\t3\t14.640\t82.960\t\t\t\t\n"
             "status\t还剩下 3 期中完成目标!\topen\n",
         ""},
        {{"segmentstake", "nQishu=4", "--marks", "MM"},
         0,
         kSegment + "...\t挂\n...\t挂\n3\t3\t14.640\t43.920\t\t\t\t\n"
                    "status\t已超过最大期数，未完成目标!\tclosed\n",
         ""},
        {{"segmentstake", "nQishu=4", "--marks", "MMH"}, 1, "", "中和挂已停用，请先按初始\n"},
        // The empty fYingli reads as 50: 50 over one draw at 1元 is 1 multiplier.
        {{"segmentstake", "--ini", "DIR/setgl.ini", "--marks", "H"},
         0,
         kSegment + "1\t1\t488.000\t488.000\t978.000\t490.000\t490.000\t中\n"
                    "status\t恭喜你，已完成目标!\tclosed\n",
         ""},
        {{"segmentstake", "nMode=8"}, 1, "", "请选择金额模式\n"},
        {{"wavestake", "nBoshu=2", "nQishu=3", "nMode=4"},
         0,
         kWave + "1\t1\t...\t\n2\t\t...\t\n3\t\t...\tend\n4\t2\t...\t\n5\t\t...\t\n"
                 "6\t\t...\tend\n",
         ""},
        {{"wavestake", "nQishu=1", "nBoshu=2"},
         0,
         kWave + "1\t1\t21\t...\t\n2\t2\t43\t...\t\n",
         ""},
        {{"wavestake", "nBoshu=10001", "nQishu=1"}, 1, "", "波数×推波期数不能超过10000\n"},
        {{"snowballstake", "--ini", "DIR/setgl.ini"},
         0,
         kSnowball +
             "1\t1\t500.000\t978.000\t478.000\t478.000\n2\t1\t500.000\t978.000\t478.000\t956.000\n",
         ""},
        {{"snowballstake", "nQishu=0"}, 0, kSnowball, ""},
        // A plan that ends early: its rows, and the note on stderr.
        {{"snowballstake", "nQishu=100"},
         0,
         kSnowball + "...\n33\t1171512935\t...",
         "第34期的倍数超出计算范围,方案到第33期为止\n"},
        {{"snowballstake", "nZhushu=1000"}, 1, "", "注数数值只能为(1-999\n"},
        {{"sieve4", "--kill", "pos1=0"}, 0, "9000\n1000 1001 ...9999 \n", ""},
        {{"sieve5", "--kill", "form=6", "--base", "99999 12345"}, 0, "1\n12345 \n", ""},
        {{"sieve2", "--kill", "pos1=0,1,2,3,4,5,6,7,8,9"}, 0, "0\n\n", ""},
        {{"sieve4", "--base", "5678 123 9012"},
         1,
         "",
         "号码存在不符合规则,要以4位数且空格或者逗号分隔!\n"},
        {{"sieve3", "--base-file", "DIR"},
         2,
         "",
         "trendtools: cannot read the base-set file '...'...\n"},
        {{"--version"}, 0, "trendtools " TRENDTOOLS_VERSION "\n", ""},
        {{"--help"}, 0, "...stakeladder...", ""},
        {{"stakeladder", "--help"}, 0, "...", ""},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& argument : c.arguments)
            line += argument + " ";
        SCOPED_TRACE(line);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_TRUE(matchesView(outcome.out, c.out)) << outcome.out.substr(0, 2000);
        EXPECT_TRUE(matchesView(outcome.err, c.err)) << outcome.err;
    }
}

// A value is read as the dialog's field of that type reads its edit box.
TEST_F(Trendtools, Assignments) {
    const std::vector<std::vector<std::string>> accepted = {
        {"stakeladder", "nQishu=+3", "nQishu=-0", "nQishu= 5\t", "nLirunLv=0"},
        {"stakeladder", "fPeilv=1.956e3", "fPeilv=+.5", "fPeilv=7.", "fPeilv=1e-400"},
        {"stakeladder", "nStartBeishu=4294967295"},
        {"snowballstake", "nStartBeishu=-2147483648", "fPeilv=-5", "nXingshu=9"},
    };
    for (const auto& arguments : accepted)
        EXPECT_EQ(run(arguments).status, 0) << arguments[1];
    const std::vector<std::vector<std::string>> badUsage = {
        {},
        {"bogus"},
        {"stakeladder", "--bogus"},
        {"stakeladder", "foo=1"},
        {"stakeladder", "nqishu=5"},
        {"stakeladder", "nQishu"},
        {"stakeladder", "nQishu="},
        {"stakeladder", "nQishu=1.5"},
        {"stakeladder", "nQishu=99999999999"},
        {"stakeladder", "nQishu=5 6"},
        {"stakeladder", "nLirunLv=-1"},
        {"stakeladder", "nStartBeishu=4294967296"},
        {"stakeladder", "fPeilv=1e40"},
        {"stakeladder", "fPeilv=inf"},
        {"stakeladder", "fPeilv=nan"},
        {"stakeladder", "fPeilv=0x10"},
        {"stakeladder", "--ini"},
        {"stakeladder", "--ini", "a", "--ini", "b"},
        {"stakeladder", "--marks", "H"},
        {"segmentstake", "fPeilv=1956"},
        {"segmentstake", "nPeilv=1956.5"},
        {"segmentstake", "nQishu=-1"},
        {"segmentstake", "--marks", "HX"},
        {"segmentstake", "--marks", "h"},
        {"wavestake", "nModel=3"},
        {"wavestake", "--custom", "1"},
        {"snowballstake", "nStartBeishu=2147483648"},
        {"sieve5", "--kill", "form=7"},
    };
    for (const auto& arguments : badUsage) {
        const Outcome outcome = run(arguments);
        const std::string tool = arguments.empty() ? "" : arguments[0];
        EXPECT_EQ(outcome.status, 2) << tool;
        EXPECT_EQ(outcome.out, "") << tool;
        EXPECT_TRUE(matchesView(outcome.err, "...usage: trendtools...")) << tool << outcome.err;
    }
}

} // namespace
