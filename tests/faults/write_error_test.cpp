// Write errors: a failed write, close or flush (ENOSPC, EDQUOT, EIO, injected by strace at
// chosen calls), a real full file system, and a report on a full device. Files stay whole,
// the run ends cleanly, and a file that could not be written says so in its message and in
// the exit status.
#include "FaultSupport.h"

#include <csignal>
#include <iostream>
#include <iterator>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>

namespace faults {
namespace {

bool HaveStrace()
{
    return std::string(WENDO_STRACE).find("NOTFOUND") == std::string::npos;
}

// How many times a full run calls call (strace's own count).
int CallsOf(const Box& box, const std::string& call)
{
    const fs::path counts = box.Dir() / "counts.txt";
    box.Run({"--yes", "job.wdo"},
            {WENDO_STRACE, "-f", "-c", "-o", counts.string(), "-e", "trace=" + call});
    std::istringstream in(ReadFile(counts));
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words),
                                   std::istream_iterator<std::string>()};
        if (!w.empty() && w.back() == call && w.size() >= 5) {
            return std::stoi(w[3]);
        }
    }
    return 0;
}

// Every file that kept its old text although the commands change it was reported as failed,
// in the terminal's lines or in the report.
void ExpectFailuresTold(const Box& box, const std::vector<SiteFile>& files, const Outcome& run)
{
    const std::string report = box.Read("job.log");
    int failed = 0;
    for (const SiteFile& f : files) {
        if (!f.Changes() || box.Read(f.rel) == f.after) {
            continue;
        }
        ++failed;
        const std::string quoted = "\"" + f.rel + "\"";
        auto told = [&](const std::string& text) {
            const auto at = text.find(quoted);
            return at != std::string::npos &&
                   text.find("ERROR: ", at) < text.find('\n', at + quoted.size());
        };
        EXPECT_TRUE(told(run.out) || told(report)) << f.rel << " failed silently\n" << run.out;
    }
    if (run.out.find("could not be written whole") != std::string::npos) {
        // A failure on the report fails the run's report step, whatever the files did.
        EXPECT_EQ(run.status, 4) << run.out;
        EXPECT_EQ(run.out.find("Report: "), std::string::npos) << run.out;
    } else if (failed > 0) {
        EXPECT_EQ(run.status, 1) << "files failed: " << failed << "\n" << run.out;
    } else {
        EXPECT_TRUE(run.status == 0 || run.status == 1) << run.out;
    }
}

struct Injection
{
    const char* call;
    const char* error;
};

class InjectedErrorTest : public ::testing::TestWithParam<Injection>
{
};

TEST_P(InjectedErrorTest, FilesStayWholeAndFailuresAreTold)
{
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace is not installed";
    }
    const Injection injection = GetParam();
    Box box;
    const std::vector<SiteFile> files = MakeSite(box);
    SaveSiteJob(box);
    const int calls = CallsOf(box, injection.call);
    ASSERT_GT(calls, 0);
    // About forty calls of each run are hit, spread over the whole run.
    const int points = kSanitized ? 8 : 40;
    const int step = std::max(1, calls / points);
    int survived = 0;
    for (int n = 1 + static_cast<int>(std::string(injection.error).size()) % step; n <= calls;
         n += step) {
        SCOPED_TRACE(std::string(injection.call) + " call " + std::to_string(n) + " fails with " +
                     injection.error);
        ResetSite(box, files);
        const Outcome run =
            box.Run({"--yes", "job.wdo"}, {WENDO_STRACE, "-f", "-o", "/dev/null", "-e",
                                           std::string("trace=") + injection.call, "-e",
                                           std::string("inject=") + injection.call + ":error=" +
                                               injection.error + ":when=" + std::to_string(n)});
        ExpectWholeFiles(box, files);
        if (run.out.find("error while loading shared libraries") != std::string::npos ||
            run.out.find("SanitizerTool: CHECK failed") != std::string::npos) {
            continue; // the loader's or the sanitizer's own call: the program never started
        }
        ExpectFailuresTold(box, files, run);
        ++survived;
        if (HasFailure()) {
            break;
        }
    }
    std::cout << "[faults] injected " << injection.error << " on " << injection.call
              << " survived: " << survived << '\n';
    RecordProperty("injected_errors", survived);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, InjectedErrorTest,
    ::testing::Values(Injection{"write", "ENOSPC"}, Injection{"write", "EDQUOT"},
                      Injection{"write", "EIO"}, Injection{"close", "ENOSPC"},
                      Injection{"close", "EDQUOT"}, Injection{"close", "EIO"},
                      Injection{"fsync", "ENOSPC"}, Injection{"fsync", "EDQUOT"},
                      Injection{"fsync", "EIO"}, Injection{"fdatasync", "ENOSPC"},
                      Injection{"fdatasync", "EIO"}),
    [](const auto& row) { return std::string(row.param.call) + "_" + row.param.error; });

// A small tmpfs, mounted in a private mount namespace held by a child process; the test
// reaches it through /proc/<child>/root.
class PrivateTmpfs
{
public:
    explicit PrivateTmpfs(const std::string& size)
    {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) {
            return;
        }
        m_mountPoint = BoxParent() / ("wendo-faults-mnt-" + std::to_string(::getpid()));
        fs::create_directories(m_mountPoint);
        m_child = ::fork();
        if (m_child == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            char ok = 0;
            if (::unshare(CLONE_NEWNS) == 0 &&
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                ::mount("tmpfs", m_mountPoint.c_str(), "tmpfs", 0,
                        ("size=" + size + ",mode=0777").c_str()) == 0) {
                ok = 1;
            }
            (void)::write(ready[1], &ok, 1);
            char ignored = 0;
            (void)::read(release[0], &ignored, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        m_release = release[1];
        char ok = 0;
        if (::read(ready[0], &ok, 1) == 1 && ok == 1) {
            m_inside =
                fs::path("/proc") / std::to_string(m_child) / "root" / m_mountPoint.relative_path();
        }
        ::close(ready[0]);
    }
    PrivateTmpfs(const PrivateTmpfs&) = delete;
    PrivateTmpfs& operator=(const PrivateTmpfs&) = delete;
    ~PrivateTmpfs()
    {
        if (m_child > 0) {
            ::close(m_release);
            ::waitpid(m_child, nullptr, 0);
        }
        std::error_code ec;
        fs::remove(m_mountPoint, ec);
    }
    // The mounted file system as this process sees it; empty when it could not be made.
    const fs::path& Inside() const { return m_inside; }

private:
    fs::path m_mountPoint;
    fs::path m_inside;
    pid_t m_child = -1;
    int m_release = -1;
};

TEST(FullFileSystem, FilesStayWholeAndFailuresAreTold)
{
    const PrivateTmpfs tmpfs("1m");
    if (tmpfs.Inside().empty()) {
        GTEST_SKIP() << "no private mount namespace here; injected errors cover full disks";
    }
    const fs::path outside = BoxParent() / ("wendo-faults-out-" + std::to_string(::getpid()));
    fs::create_directories(outside);
    {
        Box box(tmpfs.Inside(), outside);
        const std::vector<SiteFile> files = MakeSite(box);
        SaveSiteJob(box);
        // Leave less room than the largest file needs for its backup and its new copy.
        struct statfs sfs
        {
        };
        ASSERT_EQ(::statfs(box.Root().c_str(), &sfs), 0);
        const std::size_t room = static_cast<std::size_t>(sfs.f_bavail) * sfs.f_bsize;
        const std::size_t keep = 200 * 1024;
        if (room > keep) {
            WriteFile(box.Dir() / "filler", std::string(room - keep, 'x'));
        }
        const Outcome run = box.Run({"--yes", "job.wdo"});
        fs::remove(box.Dir() / "filler");
        ExpectWholeFiles(box, files);
        ExpectFailuresTold(box, files, run);
        int failed = 0;
        for (const SiteFile& f : files) {
            failed += f.Changes() && box.Read(f.rel) == f.before ? 1 : 0;
        }
        EXPECT_GT(failed, 0) << "the file system was not full";
        std::cout << "[faults] full file system: " << failed << " files refused whole\n";
    }
    fs::remove_all(outside);
}

TEST(ReportWriteFails, RunEndsWithStatusFourAndNoReportLine)
{
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace is not installed";
    }
    Box box;
    const std::vector<SiteFile> files = MakeSite(box, 10);
    SaveSiteJob(box);
    // Only the report's own calls are hit (-P): a row after the header, or the final flush.
    for (const char* injection : {"write:error=ENOSPC:when=2", "fsync:error=EIO:when=1"}) {
        SCOPED_TRACE(injection);
        ResetSite(box, files);
        const std::string call = std::string(injection).substr(0, std::string(injection).find(':'));
        const Outcome run = box.Run(
            {"job.wdo"}, {WENDO_STRACE, "-f", "-o", "/dev/null", "-P", box.Path("job.log").string(),
                          "-e", "trace=" + call, "-e", std::string("inject=") + injection});
        EXPECT_EQ(run.status, 4) << run.out;
        EXPECT_NE(run.out.find("the report job.log could not be written whole"), std::string::npos)
            << run.out;
        EXPECT_EQ(run.out.find("Report: "), std::string::npos) << run.out;
        EXPECT_EQ(ExpectWholeFiles(box, files), 8) << "the files are done all the same";
    }
}

TEST(ReportOnFullDevice, AskedAndEndedAsAnswered)
{
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    Box box;
    const std::vector<SiteFile> files = MakeSite(box, 10);
    SaveSiteJob(box, [](wendo::CWendoDoc& doc) { doc.ReportPath = "/dev/full"; });

    // No (no terminal to answer): the run ends before any file, status 4.
    const Outcome no = box.Run({"job.wdo"});
    EXPECT_EQ(no.status, 4) << no.out;
    EXPECT_NE(no.out.find("Can't access report file"), std::string::npos) << no.out;
    for (const SiteFile& f : files) {
        EXPECT_EQ(box.Read(f.rel), f.before) << f.rel;
    }
    ExpectWholeFiles(box, files);

    // Yes: the run goes on without a report.
    const Outcome yes = box.Run({"--yes", "job.wdo"});
    EXPECT_EQ(yes.status, 0) << yes.out;
    EXPECT_EQ(ExpectWholeFiles(box, files), 8);
    EXPECT_NE(yes.out.find("All parsing done"), std::string::npos) << yes.out;
}

} // namespace
} // namespace faults
