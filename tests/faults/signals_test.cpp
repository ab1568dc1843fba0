// Signals and output: a hang-up stops a run as cleanly as Ctrl-C, a stop signal answers a
// question waiting on a terminal, and a closed output pipe neither kills the run nor passes
// unnoticed. The report's header always tells how the run ended.
#include "FaultSupport.h"

#include <chrono>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <thread>

namespace faults {
namespace {

// wendo-run started in the box with the given standard input and output (standard error goes
// with the output); the caller signals it and waits.
pid_t Spawn(const Box& box, const std::vector<std::string>& arguments, int in, int out)
{
    const std::string program = std::string(WENDO_BIN_DIR) + "/wendo-run";
    std::vector<std::string> args = {program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    const std::string root = box.Root().string();
    const std::string tmp = box.Tmp().string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("TMPDIR", tmp.c_str(), 1);
        if (::chdir(root.c_str()) != 0) {
            ::_exit(127);
        }
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid)
{
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

TEST(Signals, HangUpStopsTheRunCleanly)
{
    Box box;
    const std::vector<SiteFile> files = MakeSite(box, 20);
    SaveSiteJob(box);
    const int devNull = ::open("/dev/null", O_RDWR);
    // A paced run waits a second before its walk: the signal comes while it runs.
    const pid_t pid = Spawn(box, {"--pace", "job.wdo"}, devNull, devNull);
    // The report's first header is written before that pause: then the signal is caught.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (box.Read("job.log").find("[TOTALS]") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGHUP);
    EXPECT_EQ(Wait(pid), 3);
    ::close(devNull);
    EXPECT_NE(box.Read("job.log").find("STATE=Cancel by user "), std::string::npos);
    ExpectWholeFiles(box, files);
}

TEST(Signals, ClosedOutputIsAWriteErrorNotAnEnd)
{
    Box box;
    const std::vector<SiteFile> files = MakeSite(box, 20);
    SaveSiteJob(box);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ::close(pipe[0]);
    const int devNull = ::open("/dev/null", O_RDONLY);
    const pid_t pid = Spawn(box, {"job.wdo"}, devNull, pipe[1]);
    ::close(pipe[1]);
    ::close(devNull);
    EXPECT_EQ(Wait(pid), 1) << "a broken output fails the run at its end";
    EXPECT_NE(box.Read("job.log").find("STATE=All parsing done "), std::string::npos);
    EXPECT_EQ(ExpectWholeFiles(box, files), 16) << "every file was done";
}

// Reads the terminal until text shows (true) or ten seconds pass.
bool ReadUntil(int terminal, const std::string& text, std::string& seen)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd watched{terminal, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char buffer[512];
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

TEST(Signals, StopAtATerminalQuestionAnswersNo)
{
    const struct
    {
        const char* row;
        int signal;
        bool badCommand; // the command file's question, else the report's
        const char* asked;
    } rows[] = {
        {"ctrl_c_at_the_report_question", SIGINT, false, "report"},
        {"sigterm_at_the_command_file_question", SIGTERM, true, "No SRC argument"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        Box box;
        const std::vector<SiteFile> files = MakeSite(box, 5);
        SaveSiteJob(box, [](wendo::CWendoDoc& d) { d.ReportPath = "no/such/folder/r.log"; });
        if (r.badCommand) {
            std::string job = box.Read("job.wdo");
            job.replace(job.find(kAtoB), kAtoB.size(), "CHANGE_IMG WIDTH_TAG VALUE ~1~");
            box.Write("job.wdo", job);
        }
        int terminal = -1;
        const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string program = std::string(WENDO_BIN_DIR) + "/wendo-run";
            ::setenv("TMPDIR", box.Tmp().c_str(), 1);
            if (::chdir(box.Root().c_str()) == 0) {
                ::execl(program.c_str(), program.c_str(), "job.wdo", nullptr);
            }
            ::_exit(127);
        }
        std::string seen;
        EXPECT_TRUE(ReadUntil(terminal, "[y/N]", seen)) << seen;
        EXPECT_NE(seen.find(r.asked), std::string::npos) << seen;
        ::kill(pid, r.signal);
        // Drains the terminal until the program ends, or for ten seconds if it hangs.
        ReadUntil(terminal, "\x01never", seen);
        ::kill(pid, SIGKILL);
        EXPECT_EQ(Wait(pid), 3) << seen;
        ::close(terminal);
        EXPECT_EQ(ExpectWholeFiles(box, files), 0) << "no file was touched";
    }
}

} // namespace
} // namespace faults
