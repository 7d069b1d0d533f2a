// trendtools run as a user runs it: the built program, its exit status, and
// exactly what it writes to stdout and stderr.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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

class Trendtools : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        directory_ = fs::temp_directory_path() /
                     ("trendtools_test_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

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

        std::vector<std::string> all{TRENDTOOLS_EXE};
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

const std::string kHeader = "期数\t当前倍数\t当前成本\t累计成本\t中奖奖金\t纯利润\t收益率\n";

TEST_F(Trendtools, FreshStartPlan) {
    const Outcome outcome = run({"stakeladder"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, kHeader + "1\t1\t0.5000\t0.5000\t0.9780\t0.4780\t95.60%\n"
                                     "2\t2\t1.0000\t1.5000\t1.9560\t0.4560\t30.40%\n"
                                     "3\t4\t2.0000\t3.5000\t3.9120\t0.4120\t11.77%\n"
                                     "4\t8\t4.0000\t7.5000\t7.8240\t0.3240\t4.32%\n"
                                     "5\t17\t8.5000\t16.0000\t16.6260\t0.6260\t3.91%\n");
}

TEST_F(Trendtools, SettingsFileThenAssignments) {
    const fs::path ini =
        writeFile("setbt.ini", "[SetBT]\r\nnModel=0\r\nnLirunLv=10\r\nnQishu=3\r\n");
    const Outcome outcome = run({"stakeladder", "--ini", ini.string(), "nQishu=8"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    ASSERT_GE(outcome.out.size(), kHeader.size());
    EXPECT_NE(
        outcome.out.find("\n8\t251\t125500.0000\t223000.0000\t245478.0000\t22478.0000\t10.08%\n"),
        std::string::npos)
        << outcome.out;

    const Outcome amount = run({"stakeladder", "--ini", ini.string(), "nModel=3", "nLirunType=1",
                                "fLirun=100", "nQishu=1"});
    EXPECT_EQ(amount.out, kHeader + "1\t210\t105.0000\t105.0000\t205.3800\t100.3800\t95.6000%\n");
}

TEST_F(Trendtools, MissingSettingsFileKeepsTheDefaults) {
    const Outcome outcome = run({"stakeladder", "--ini", (directory_ / "none.ini").string()});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, run({"stakeladder"}).out);

    // A folder opens but cannot be read: the same as a missing file.
    const Outcome folder = run({"stakeladder", "--ini", directory_.string()});
    EXPECT_EQ(folder.status, 0) << folder.err;
    EXPECT_EQ(folder.out, outcome.out);
}

TEST_F(Trendtools, UnreadableBaseSetFile) {
    const Outcome folder = run({"sieve3", "--base-file", directory_.string()});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err.rfind("trendtools: cannot read the base-set file '", 0), 0u) << folder.err;
}

TEST_F(Trendtools, CustomList) {
    const Outcome outcome = run({"stakeladder", "--custom", "5-2, 7"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out.substr(0, kHeader.size()), kHeader);
    EXPECT_NE(outcome.out.find("\n5\t7\t3.500\t"), std::string::npos) << outcome.out;

    EXPECT_EQ(run({"stakeladder", "--custom", ""}).out, kHeader);
}

TEST_F(Trendtools, RefusedInputs) {
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"stakeladder", "nZhushu=1000"}, "注数数值只能为(1-999)\n"},
        {{"stakeladder", "nXingshu=0", "nZhushu=100000"}, "注数数值只能为(1-99999)\n"},
        {{"stakeladder", "nModel=-1"}, "请选择模式\n"},
        {{"stakeladder", "nStartBeishu=0"}, "起始倍数不能为0\n"},
        {{"stakeladder", "nQishu=10001"}, "倍投期数数值只能为(1-10000)\n"},
        {{"stakeladder", "--custom", "1-1000000000"}, "自定义倍投最多10000期\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, c.message);
    }
}

TEST_F(Trendtools, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"stakeladder", "--bogus"},
        {"stakeladder", "foo=1"},
        {"stakeladder", "nqishu=5"},
        {"stakeladder", "nQishu"},
        {"stakeladder", "nQishu="},
        {"stakeladder", "nQishu=1.5"},
        {"stakeladder", "nQishu=99999999999"},
        {"stakeladder", "nQishu=+-5"},
        {"stakeladder", "nQishu=5 6"},
        {"stakeladder", "nLirunLv=-0"},
        {"stakeladder", "nLirunLv=-1"},
        {"stakeladder", "nStartBeishu=4294967296"},
        {"stakeladder", "fPeilv=abc"},
        {"stakeladder", "fPeilv=1e40"},
        {"stakeladder", "fPeilv=inf"},
        {"stakeladder", "fPeilv=nan"},
        {"stakeladder", "fPeilv=0x10"},
        {"stakeladder", "fPeilv=1e400"},
        {"stakeladder", "fPeilv=."},
        {"stakeladder", "fPeilv=1e"},
        {"stakeladder", "fPeilv=infinity"},
        {"stakeladder", "--ini"},
        {"stakeladder", "--ini", "a", "--ini", "b"},
    };
    for (const auto& arguments : cases) {
        std::string line;
        for (const auto& argument : arguments)
            line += argument + " ";
        SCOPED_TRACE(line);
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("usage: trendtools"), std::string::npos) << outcome.err;
    }
}

TEST_F(Trendtools, AcceptedNumbers) {
    // As the dialog's fields read their edit boxes: white space around the
    // number, a sign, plain decimal reals; a real too small for single
    // precision reads as 0.
    for (const char* assignment :
         {"nQishu=+3", "nQishu=-2", "nQishu=-0", "nQishu= 5\t", "fPeilv=1956", "fPeilv=1.956e3",
          "fPeilv=+.5", "fPeilv=7.", "fPeilv=1e-400", "nStartBeishu=4294967295", "nLirunLv=0"}) {
        SCOPED_TRACE(assignment);
        EXPECT_EQ(run({"stakeladder", assignment}).status, 0);
    }
}

TEST_F(Trendtools, Help) {
    const Outcome outcome = run({"--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("stakeladder"), std::string::npos);
    EXPECT_EQ(run({"stakeladder", "--help"}).status, 0);
}

TEST_F(Trendtools, Version) {
    const Outcome outcome = run({"--version"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "trendtools " TRENDTOOLS_VERSION "\n");
    EXPECT_EQ(outcome.err, "");
}

} // namespace

namespace {

TEST_F(Trendtools, FourAndFiveDigitFilters) {
    const Outcome positions = run({"sieve4", "--kill", "pos1=0"});
    EXPECT_EQ(positions.status, 0);
    EXPECT_EQ(positions.out.substr(0, 10), "9000\n1000 ");
    EXPECT_EQ(positions.out.size(), 5u + 9000u * 5u + 1u);

    const Outcome ones = run({"sieve5", "--must=1", "--hits=1,2,3,4,5"});
    EXPECT_EQ(ones.status, 0);
    EXPECT_EQ(ones.out.substr(0, 6), "40951\n");

    const Outcome malformed = run({"sieve4", "--base", "5678 123 9012"});
    EXPECT_EQ(malformed.status, 1);
    EXPECT_EQ(malformed.err, "号码存在不符合规则,要以4位数且空格或者逗号分隔!\n");

    EXPECT_EQ(run({"sieve5", "--kill", "form=7"}).status, 2);
    EXPECT_EQ(run({"sieve5", "--kill", "form=6", "--base", "99999 12345"}).out, "1\n12345 \n");
}

} // namespace
