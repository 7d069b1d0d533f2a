// trendtools segmentstake run as a user runs it: the built program, its exit
// status, and exactly what it writes to stdout and stderr.
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

std::string readAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class SegmentstakeCli : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        directory_ = fs::temp_directory_path() /
                     ("segmentstake_cli_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    // trendtools segmentstake with `arguments`.
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
        arguments.insert(arguments.begin(), {TRENDTOOLS_EXE, "segmentstake"});
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
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
        outcome.out = readAll(out);
        outcome.err = readAll(err);
        return outcome;
    }

    fs::path writeFile(const std::string& name, const std::string& content) const {
        const fs::path path = directory_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    fs::path directory_;
};

const std::string kHeader = "序号\t倍数\t成本\t累计成本\t中奖\t收益\t累计收益\n";

TEST_F(SegmentstakeCli, StartAlone) {
    const Outcome outcome = run({});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, kHeader + "1\t3\t14.640\t14.640\t\t\t\t\n"
                                     "status\t还剩下 5 期中完成目标!\topen\n");
}

TEST_F(SegmentstakeCli, WorkedExample) {
    const std::string rows = "1\t3\t14.640\t14.640\t0\t-14.640\t-14.640\t挂\n"
                             "2\t3\t14.640\t29.280\t0\t-14.640\t-29.280\t挂\n"
                             "3\t4\t19.520\t48.800\t39.120\t19.600\t-9.680\t中\n"
                             "4\t4\t19.520\t68.320\t39.120\t19.600\t9.920\t中\n"
                             "5\t3\t14.640\t82.960\t0\t-14.640\t-4.720\t挂\n"
                             "6\t4\t19.520\t102.480\t39.120\t19.600\t14.880\t中\n"
                             "7\t4\t19.520\t122.000\t39.120\t19.600\t34.480\t中\n"
                             "8\t4\t19.520\t141.520\t39.120\t19.600\t54.080\t中\n";
    const std::string done = "status\t恭喜你，已完成目标!\tclosed\n";
    // Letters, characters, and both mixed.
    for (const char* marks : {"MMHHMHHH", "挂挂中中挂中中中", "M挂H中挂HH中"}) {
        SCOPED_TRACE(marks);
        const Outcome outcome = run({"--marks", marks});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, kHeader + rows + done);
    }

    // After row 3 four winning draws remain, and the next row is unmarked.
    const Outcome three = run({"--marks=MMH"});
    EXPECT_EQ(three.out, kHeader + rows.substr(0, rows.find("4\t4")) +
                             "4\t4\t19.520\t68.320\t\t\t\t\n"
                             "status\t还剩下 4 期中完成目标!\topen\n");
}

TEST_F(SegmentstakeCli, FailureAppendsTheRestartedRowAndCloses) {
    const Outcome outcome = run({"nQishu=4", "--marks", "MM"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, kHeader + "1\t3\t14.640\t14.640\t0\t-14.640\t-14.640\t挂\n"
                                     "2\t3\t14.640\t29.280\t0\t-14.640\t-29.280\t挂\n"
                                     "3\t3\t14.640\t43.920\t\t\t\t\n"
                                     "status\t已超过最大期数，未完成目标!\tclosed\n");
}

TEST_F(SegmentstakeCli, MarkAfterTheMarksClosedIsRefused) {
    for (const char* marks : {"HHHHHH", "MMM", "MMH"}) {
        SCOPED_TRACE(marks);
        const Outcome outcome = run({"nQishu=4", "--marks", marks});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "中和挂已停用，请先按初始\n");
    }
}

TEST_F(SegmentstakeCli, SettingsFileThenAssignments) {
    // The section of segmentstake only, beside snowballstake's.
    const fs::path ini = writeFile("setgl.ini", "[SetBT]\r\nnZhushu=7\r\n"
                                                "[SetFD]\r\nnZhong=1\r\nnMode=0\r\nfYingli=\r\n");
    const Outcome outcome = run({"--ini", ini.string(), "fYingli=100"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    // 100 over one draw at 1元: 100 / 490 per unit, so 1 multiplier of 488.
    EXPECT_EQ(outcome.out, kHeader + "1\t1\t488.000\t488.000\t\t\t\t\n"
                                     "status\t还剩下 1 期中完成目标!\topen\n");

    // Without the assignment the empty fYingli reads as 50; a missing file
    // leaves the start-up defaults (nQishu 50, not the 5 of an import).
    EXPECT_EQ(run({"--ini", ini.string(), "--marks", "H"}).out,
              kHeader + "1\t1\t488.000\t488.000\t978.000\t490.000\t490.000\t中\n"
                        "status\t恭喜你，已完成目标!\tclosed\n");
    EXPECT_EQ(run({"--ini", (directory_ / "none.ini").string(), "--marks", "MMMMMMMMMMM"}).out,
              run({"--marks", "MMMMMMMMMMM"}).out);
}

TEST_F(SegmentstakeCli, RefusedInputs) {
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"nZhushu=1000"}, "注数数值只能为(1-999)\n"},
        {{"nXingshu=0", "nZhushu=100000"}, "注数数值只能为(1-99999)\n"},
        {{"nXingshu=4", "nZhushu=0"}, "注数数值只能为(1-9)\n"},
        {{"nMode=-1"}, "请选择金额模式\n"},
        {{"nMode=8"}, "请选择金额模式\n"},
        {{"nZhong=0"}, "中出期数不能为0\n"},
        {{"fYingli=1e12"}, "所需倍数超出范围，请减小目标盈利或增加中出期数\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, c.message);
    }
}

TEST_F(SegmentstakeCli, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},     {"nqishu=5"},          {"fPeilv=1956"},   {"nQishu"},
        {"nQishu=-1"},   {"nQishu=1.5"},        {"nPeilv=1956.5"}, {"nMode=x"},
        {"fYingli=abc"}, {"fYingli=1e40"},      {"--marks", "HX"}, {"--marks", "h"},
        {"--marks"},     {"nZhong=4294967296"},
    };
    for (const auto& arguments : cases) {
        std::string line;
        for (const auto& argument : arguments)
            line += argument + " ";
        SCOPED_TRACE(line);
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("usage: trendtools segmentstake"), std::string::npos)
            << outcome.err;
    }
}

TEST_F(SegmentstakeCli, EmptyMarksIsJustTheStart) {
    EXPECT_EQ(run({"--marks", ""}).out, run({}).out);
}

} // namespace
