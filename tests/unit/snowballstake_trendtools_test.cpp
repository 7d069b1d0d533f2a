// trendtools snowballstake run as a user runs it: the built program, its exit
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

class TrendtoolsSnowball : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        directory_ = fs::temp_directory_path() /
                     ("trendtools_snowball_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    Outcome run(std::vector<std::string> arguments) const {
        const std::string out = (directory_ / "stdout").string();
        const std::string err = (directory_ / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

        arguments.insert(arguments.begin(), {TRENDTOOLS_EXE, "snowballstake"});
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

const std::string kHeader = "序号\t倍数\t成本\t中奖\t收益\t总收益\n";
const std::string kFiveRows = "1\t1\t5.000\t9.780\t4.780\t4.780\n"
                              "2\t1\t5.000\t9.780\t4.780\t9.560\n"
                              "3\t2\t10.000\t19.560\t9.560\t19.120\n"
                              "4\t4\t20.000\t39.120\t19.120\t38.240\n"
                              "5\t8\t40.000\t78.240\t38.240\t76.480\n";
const std::string kRowsSixToEight = "6\t16\t80.000\t156.480\t76.480\t152.960\n"
                                    "7\t31\t155.000\t303.180\t148.180\t301.140\n"
                                    "8\t61\t305.000\t596.580\t291.580\t592.720\n";

TEST_F(TrendtoolsSnowball, FreshStartPlan) {
    const Outcome outcome = run({});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, kHeader + kFiveRows);
}

TEST_F(TrendtoolsSnowball, SettingsFileThenAssignments) {
    // Only section SetBT counts; segmentstake's SetFD in the same file does not.
    const fs::path ini = writeFile("setgl.ini", "[SetFD]\r\nnQishu=50\r\nnZhushu=488\r\n"
                                                "[SetBT]\r\nnQishu=3\r\nnMode=0\r\n");
    const Outcome fromFile = run({"--ini", ini.string()});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, kHeader + "1\t1\t500.000\t978.000\t478.000\t478.000\n"
                                      "2\t1\t500.000\t978.000\t478.000\t956.000\n"
                                      "3\t2\t1000.000\t1956.000\t956.000\t1912.000\n");

    const Outcome assigned = run({"--ini", ini.string(), "nMode=2", "nQishu=8"});
    EXPECT_EQ(assigned.out, kHeader + kFiveRows + kRowsSixToEight);
}

TEST_F(TrendtoolsSnowball, MissingSettingsFileKeepsTheDefaults) {
    const Outcome outcome = run({"--ini", (directory_ / "none.ini").string()});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, kHeader + kFiveRows);
}

TEST_F(TrendtoolsSnowball, NoPeriodsPrintsTheHeaderOnly) {
    EXPECT_EQ(run({"nQishu=0"}).out, kHeader);
}

TEST_F(TrendtoolsSnowball, PlanEndingEarlyPrintsItsRowsAndTheNote) {
    const Outcome outcome = run({"nQishu=100"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "第34期的倍数超出计算范围,方案到第33期为止\n");
    EXPECT_NE(outcome.out.find("\n33\t1171512935\t"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find("\n34\t"), std::string::npos);
}

TEST_F(TrendtoolsSnowball, RefusedInputs) {
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"nZhushu=1000"}, "注数数值只能为(1-999\n"},
        {{"nXingshu=0", "nZhushu=100000"}, "注数数值只能为(1-99999)\n"},
        {{"nXingshu=4", "nZhushu=10"}, "注数数值只能为(1-9)\n"},
        {{"nXingshu=-1", "nZhushu=0"}, "注数数值必须大于0\n"},
        {{"nMode=8"}, "请选择金额模式\n"},
        {{"nQishu=10001"}, "滚利期数数值只能为(1-10000)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, c.message);
    }
}

TEST_F(TrendtoolsSnowball, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},       {"foo=1"},       {"nModel=1"},   {"nqishu=5"},
        {"nQishu"},        {"nQishu="},     {"nQishu=1.5"}, {"nQishu=99999999999"},
        {"fPeilv=abc"},    {"fPeilv=1e40"}, {"fPeilv=nan"}, {"nStartBeishu=2147483648"},
        {"--custom", "1"}, {"--ini"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments.front());
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("usage: trendtools"), std::string::npos) << outcome.err;
    }
}

TEST_F(TrendtoolsSnowball, AcceptedNumbers) {
    for (const char* assignment : {"nQishu=-2", "nStartBeishu=0", "nStartBeishu=-2147483648",
                                   "fPeilv=1.956e3", "fPeilv=-5", "nXingshu=9"}) {
        SCOPED_TRACE(assignment);
        EXPECT_EQ(run({assignment}).status, 0);
    }
}

} // namespace
