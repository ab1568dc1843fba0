// A run killed at any moment leaves every source wholly old or wholly new, every backup absent
// or old, and nothing but its private work folder. The kill lands at the N-th call of one
// system call (strace kills the process as the call begins) for every N the run makes, and
// then at random moments. After some of the kills a second run finishes the job.
#include "FaultSupport.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

namespace faults {
namespace {

bool HaveStrace()
{
    return std::string(WENDO_STRACE).find("NOTFOUND") == std::string::npos &&
           std::string(WENDO_STRACE).size() > 0;
}

std::vector<std::string> KillAt(const std::string& call, int n)
{
    return {WENDO_STRACE, "-f",
            "-o",         "/dev/null",
            "-e",         "trace=" + call,
            "-e",         "inject=" + call + ":signal=SIGKILL:when=" + std::to_string(n)};
}

class KillSweepTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(KillSweepTest, EveryKillPointLeavesFilesWhole)
{
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace is not installed";
    }
    const std::string call = GetParam();
    Box box;
    const std::vector<SiteFile> files = MakeSite(box);
    SaveSiteJob(box);
    int survived = 0;
    bool completed = false;
    for (int n = 1; n < 5000 && !completed; n += kSweepStride) {
        SCOPED_TRACE(call + " call " + std::to_string(n));
        ResetSite(box, files);
        const Outcome run = box.Run({"--quiet", "job.wdo"}, KillAt(call, n));
        if (!run.Killed()) {
            // Past the last call: the run went through untouched.
            EXPECT_EQ(run.status, 0) << run.out;
            EXPECT_EQ(ExpectWholeFiles(box, files), 40);
            completed = true;
            break;
        }
        ++survived;
        ExpectWholeFiles(box, files, {false, {}});
        if (n % 7 == 1) {
            const Outcome again = box.Run({"--quiet", "job.wdo"});
            EXPECT_EQ(again.status, 0) << again.out;
            EXPECT_EQ(ExpectWholeFiles(box, files, {false, {}}), 40) << "the second run finishes";
        }
        if (HasFailure()) {
            break;
        }
    }
    EXPECT_TRUE(completed || HasFailure());
    std::cout << "[faults] kill points survived at " << call << ": " << survived << '\n';
    RecordProperty("kill_points", survived);
}

INSTANTIATE_TEST_SUITE_P(Calls, KillSweepTest,
                         ::testing::Values("write", "fsync", "fdatasync", "rename", "renameat",
                                           "link", "linkat", "unlink", "unlinkat"),
                         [](const auto& row) { return std::string(row.param); });

TEST(KillAtRandomMoments, FilesStayWhole)
{
    Box box;
    const std::vector<SiteFile> files = MakeSite(box);
    SaveSiteJob(box);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(box.Run({"--quiet", "job.wdo"}).status, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> moment(0, whole.count());
    const int rounds = kSanitized ? 10 : 40;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ResetSite(box, files);
        const std::string root = box.Root().string();
        const std::string tmp = box.Tmp().string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("TMPDIR", tmp.c_str(), 1);
            const int null = ::open("/dev/null", O_RDWR);
            if (::chdir(root.c_str()) != 0 || null < 0) {
                ::_exit(127);
            }
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            const std::string program = std::string(WENDO_BIN_DIR) + "/wendo-run";
            ::execl(program.c_str(), program.c_str(), "--quiet", "job.wdo",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ExpectWholeFiles(box, files, {false, {}});
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
} // namespace faults
