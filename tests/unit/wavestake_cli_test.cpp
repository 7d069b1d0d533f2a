// trendtools wavestake run as a user runs it: the built program, its exit
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

class TrendtoolsWavestake : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        directory_ = fs::temp_directory_path() /
                     ("trendtools_wave_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    // Runs `trendtools wavestake` with these arguments.
    Outcome run(const std::vector<std::string>& arguments) const {
        const std::string out = (directory_ / "stdout").string();
        const std::string err = (directory_ / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

        std::vector<std::string> all{TRENDTOOLS_EXE, "wavestake"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all)
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

const std::string kHeader = "序号\t波数\t倍数\t当前成本\t累计成本\t中奖\t收益\n";

// The fresh start: three waves of five periods, each wave's last row marked.
const std::string kFreshPlan = kHeader + "1\t1\t1\t5.000\t5.000\t9.780\t4.780\t\n"
                                         "2\t\t2\t10.000\t5.220\t19.560\t14.340\t\n"
                                         "3\t\t4\t20.000\t5.660\t39.120\t33.460\t\n"
                                         "4\t\t8\t40.000\t6.540\t78.240\t71.700\t\n"
                                         "5\t\t16\t80.000\t8.300\t156.480\t148.180\tend\n"
                                         "6\t2\t1\t5.000\t13.300\t9.780\t-3.520\t\n"
                                         "7\t\t2\t10.000\t13.520\t19.560\t6.040\t\n"
                                         "8\t\t4\t20.000\t13.960\t39.120\t25.160\t\n"
                                         "9\t\t8\t40.000\t14.840\t78.240\t63.400\t\n"
                                         "10\t\t16\t80.000\t16.600\t156.480\t139.880\tend\n"
                                         "11\t3\t1\t5.000\t21.600\t9.780\t-11.820\t\n"
                                         "12\t\t2\t10.000\t21.820\t19.560\t-2.260\t\n"
                                         "13\t\t4\t20.000\t22.260\t39.120\t16.860\t\n"
                                         "14\t\t8\t40.000\t23.140\t78.240\t55.100\t\n"
                                         "15\t\t16\t80.000\t24.900\t156.480\t131.580\tend\n";

TEST_F(TrendtoolsWavestake, FreshStartPlan) {
    const Outcome outcome = run({});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, kFreshPlan);
}

TEST_F(TrendtoolsWavestake, SettingsFileThenAssignments) {
    const fs::path ini = writeFile("settb.ini", "[SetBT]\r\nnBoshu=2\r\nnQishu=1\r\nnMode=0\r\n"
                                                "nXingshu=2\r\nnZhushu=500\r\n"
                                                "fLirun=1500.000000\r\nfPeilv=2000.000000\r\n");
    // A whole first quotient of 3 is lifted to 4; one period per wave marks nothing.
    Outcome outcome = run({"--ini", ini.string()});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, kHeader + "1\t1\t4\t2000.000\t2000.000\t4000.000\t2000.000\t\n"
                                     "2\t2\t8\t4000.000\t6000.000\t8000.000\t2000.000\t\n");

    outcome = run({"--ini", ini.string(), "nBoshu=1", "nQishu=3", "fLirun=100"});
    EXPECT_EQ(outcome.out, kHeader + "1\t1\t1\t500.000\t500.000\t1000.000\t500.000\t\n"
                                     "2\t\t3\t1500.000\t1000.000\t3000.000\t2000.000\t\n"
                                     "3\t\t7\t3500.000\t1500.000\t7000.000\t5500.000\tend\n");
}

TEST_F(TrendtoolsWavestake, MissingOrEmptySettingsKeepTheDefaults) {
    EXPECT_EQ(run({"--ini", (directory_ / "none.ini").string()}).out, kFreshPlan);
    const fs::path empty = writeFile("empty.ini", "[SetBT]\r\nfLirun=\r\nfPeilv=\r\n");
    EXPECT_EQ(run({"--ini", empty.string()}).out, kFreshPlan);
}

TEST_F(TrendtoolsWavestake, NoWavesPrintOnlyTheHeader) {
    const Outcome outcome = run({"nBoshu=0"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, kHeader);
}

TEST_F(TrendtoolsWavestake, RefusedInputs) {
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"nZhushu=1000"}, "注数数值只能为(1-999)\n"},
        {{"nXingshu=0", "nZhushu=100000"}, "注数数值只能为(1-99999)\n"},
        {{"nXingshu=4", "nZhushu=10"}, "注数数值只能为(1-9)\n"},
        {{"nXingshu=-1"}, "请选择星数\n"},
        {{"nMode=8"}, "请选择金额模式\n"},
        {{"nBoshu=10001", "nQishu=1"}, "波数×推波期数不能超过10000\n"},
        {{"nXingshu=0", "nBoshu=1", "nQishu=6"}, "第1波第6期倍数超过2147483647,无法计算\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, c.message);
    }
    EXPECT_EQ(run({"nXingshu=4", "nZhushu=9"}).status, 0);
}

TEST_F(TrendtoolsWavestake, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},    {"foo=1"},      {"nboshu=3"},           {"nModel=3"},     {"nBoshu"},
        {"nBoshu="},    {"nBoshu=1.5"}, {"nQishu=99999999999"}, {"fLirun=abc"},   {"fPeilv=1e40"},
        {"fPeilv=nan"}, {"--ini"},      {"--custom", "1"},      {"--marks", "H"},
    };
    for (const auto& arguments : cases) {
        std::string line;
        for (const auto& argument : arguments)
            line += argument + " ";
        SCOPED_TRACE(line);
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("usage: trendtools wavestake"), std::string::npos)
            << outcome.err;
    }
}

} // namespace
