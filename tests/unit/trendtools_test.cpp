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

// clang-format off

namespace fs = std::filesystem;

// A folder of this process, removed at its end, with the settings files the
// cases read: setbt.ini, and setgl.ini whose two sections belong to two tools.
struct Folder {
    const fs::path path =
        fs::temp_directory_path() / ("trendtools_test_" + std::to_string(::getpid()));
    Folder() {
        fs::create_directories(path);
        std::ofstream(path / "setbt.ini", std::ios::binary)
            << "[SetBT]\r\nnModel=0\r\nnLirunLv=10\r\nnQishu=3\r\n";
        std::ofstream(path / "setgl.ini", std::ios::binary)
            << "[SetBT]\r\nnQishu=2\r\nnMode=0\r\n[SetFD]\r\nnZhong=1\r\nnMode=0\r\nfYingli=\r\n";
    }
    ~Folder() { fs::remove_all(path); }
};

const fs::path& folder() { static const Folder made; return made.path; }

// Runs trendtools with the arguments separated by '|' ("DIR" begins a name in
// the folder); gives "<exit status>><stdout>#<stderr>".
std::string run(std::string_view line) {
    std::vector<std::string> arguments{TRENDTOOLS_EXE};
    for (std::size_t at = 0, end = 0; !line.empty() && at <= line.size(); at = end + 1) {
        end = std::min(line.find('|', at), line.size());
        const std::string argument(line.substr(at, end - at));
        arguments.push_back(argument.starts_with("DIR") ? folder().string() + argument.substr(3)
                                                        : argument);
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string out = (folder() / "stdout").string(), err = (folder() / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, TRENDTOOLS_EXE, &actions, nullptr, argv.data(), environ) == 0)
        waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream outFile(out, std::ios::binary), errFile(err, std::ios::binary);
    return std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ">" +
           std::string(std::istreambuf_iterator<char>(outFile), {}) + "#" +
           std::string(std::istreambuf_iterator<char>(errFile), {});
}

// Each case: the arguments, and what the run gives ("..." stands for any text).
TEST(Trendtools, Runs) {
    const std::string ladder = "期数\t当前倍数\t当前成本\t累计成本\t中奖奖金\t纯利润\t收益率\n";
    const std::string segment = "序号\t倍数\t成本\t累计成本\t中奖\t收益\t累计收益\n";
    const std::string wave = "序号\t波数\t倍数\t当前成本\t累计成本\t中奖\t收益\n";
    const std::string snowball = "序号\t倍数\t成本\t中奖\t收益\t总收益\n";
    const std::string firstRow = "1\t1\t0.5000\t0.5000\t0.9780\t0.4780\t95.60%\n";
    const struct {
        std::string_view arguments;
        std::string expected;
    } cases[] = {
        {"stakeladder", "0>" + ladder + firstRow + "2\t2\t...\n5\t17\t8.5000\t16.0000\t16.6260\t0.6260\t3.91%\n#"},
        // The settings file, then the assignments.
        {"stakeladder|--ini|DIR/setbt.ini|nQishu=8", "0>" + ladder + "1\t1\t500.0000\t...\n8\t251\t...\t10.08%\n#"},
        {"stakeladder|--ini|DIR|nQishu=1", "0>" + ladder + firstRow + "#"}, // a folder: no file
        {"stakeladder|--custom|5-2, 7", "0>" + ladder + "1\t2\t...\n5\t7\t3.500\t...#"},
        {"stakeladder|nZhushu=1000", "1>#注数数值只能为(1-999)\n"},
        {"segmentstake", "0>" + segment + "1\t3\t14.640\t14.640\t\t\t\t\nstatus\t还剩下 5 期中完成目标!\topen\n#"},
        {"segmentstake|--marks|", "0>" + segment + "1\t3\t14.640\t14.640\t\t\t\t\nstatus\t...\topen\n#"},
        {"segmentstake|--marks=M挂H中", "0>" + segment + "1\t3\t...\t挂\n2\t...\t挂\n3\t...\t中\n4\t...\t中\n"
         "5\t3\t14.640\t82.960\t\t\t\t\nstatus\t还剩下 3 期中完成目标!\topen\n#"},
        {"segmentstake|nQishu=4|--marks|MM", "0>" + segment + "...\t挂\n...\t挂\n3\t3\t14.640\t43.920\t\t\t\t\n"
         "status\t已超过最大期数，未完成目标!\tclosed\n#"},
        {"segmentstake|nQishu=4|--marks|MMH", "1>#中和挂已停用，请先按初始\n"},
        {"segmentstake|--ini|DIR/setgl.ini", "0>" + segment + "1\t1\t488.000\t488.000\t\t\t\t\n...#"},
        {"wavestake|nQishu=3|nBoshu=2", "0>" + wave + "1\t1\t...\t\n2\t\t...\t\n3\t\t...\tend\n4\t2\t...\t\n"
         "5\t\t...\t\n6\t\t...\tend\n#"},
        {"snowballstake|--ini|DIR/setgl.ini", "0>" + snowball + "1\t1\t500.000\t...\n2\t1\t500.000\t...\n#"},
        {"snowballstake|nQishu=0", "0>" + snowball + "#"},
        // A plan that ends early: its rows, and the note on stderr.
        {"snowballstake|nQishu=100", "0>" + snowball + "...\n33\t1171512935\t...\n#第34期的倍数超出计算范围,方案到第33期为止\n"},
        {"sieve4|--kill|pos1=0", "0>9000\n1000 1001 ...9999 \n#"},
        {"sieve5|--kill|form=6|--base|99999 12345", "0>1\n12345 \n#"},
        {"sieve2|--kill|pos1=0,1,2,3,4,5,6,7,8,9", "0>0\n\n#"},
        {"sieve4|--base|5678 123 9012", "1>#号码存在不符合规则,要以4位数且空格或者逗号分隔!\n"},
        {"sieve3|--base-file|DIR", "2>#trendtools: cannot read the base-set file '...'...\n"},
        // A value is read as the dialog's field of its type reads its box.
        {"stakeladder|nQishu=+3|nQishu=-0|nQishu= 1\t|nLirunLv=0|nStartBeishu=4294967295", "0>" + ladder + "#"},
        {"stakeladder|fPeilv=1.956e3|fPeilv=+.5|fPeilv=7.|fPeilv=1e-400|nQishu=0", "0>" + ladder + "1\t1\t0.5000\t0.5000\t0.0000\t...#"},
        {"snowballstake|nStartBeishu=-2147483648|fPeilv=-5|nXingshu=9", "0>...#"},
        {"--version", "0>trendtools " TRENDTOOLS_VERSION "\n#"},
        {"--help", "0>...stakeladder...#"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(matchesView(run(c.arguments), c.expected)) << c.arguments << "\n"
                                                               << run(c.arguments);
}

TEST(Trendtools, BadUsage) {
    for (const std::string_view arguments : {
             "", "bogus", "stakeladder|--bogus", "stakeladder|foo=1", "stakeladder|nqishu=5",
             "stakeladder|nQishu", "stakeladder|nQishu=1.5", "stakeladder|nLirunLv=-1",
             "stakeladder|fPeilv=1e40", "stakeladder|fPeilv=inf", "stakeladder|--ini",
             "stakeladder|--ini|a|--ini|b", "stakeladder|--marks|H", "segmentstake|fPeilv=1956",
             "segmentstake|--marks|HX", "wavestake|--custom|1", "sieve5|--kill|form=7",
         })
        EXPECT_TRUE(matchesView(run(arguments), "2>#...usage: trendtools...")) << arguments;
}

// clang-format on
} // namespace
