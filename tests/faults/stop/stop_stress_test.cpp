// A thousand random stop, suspend, resume and cancel requests against runs in progress: every
// run ends, every file is wholly old or new with its backup, and the report names exactly the
// files that the disk shows changed. Run under ThreadSanitizer too (label "engine").
#include "FaultSupport.h"
#include "engine/EngineServices.h"
#include "engine/Notifications.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <thread>

namespace faults {
namespace {

using namespace std::chrono_literals;

// Notifications arrive on the worker; only the end of the run matters here.
class EndTarget final : public core::MessageTarget
{
public:
    void Post(uint32_t message, intptr_t wParam, void*) override
    {
        if (message == wendo::WMU_RUN_END) {
            std::lock_guard lock(m_mutex);
            m_result = wParam;
            m_ended.notify_all();
        }
    }
    intptr_t Send(uint32_t, intptr_t, void*) override { return 0; }
    void Reset()
    {
        std::lock_guard lock(m_mutex);
        m_result = -1;
    }
    bool Ended() const
    {
        std::lock_guard lock(m_mutex);
        return m_result >= 0;
    }
    intptr_t WaitForEnd()
    {
        std::unique_lock lock(m_mutex);
        m_ended.wait_for(lock, 60s, [this] { return m_result >= 0; });
        return m_result;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    intptr_t m_result = -1; // guarded by m_mutex
};

// Answers the stop question at random; called on the test thread only.
class RandomStopPrompter final : public wendo::StopPrompter
{
public:
    explicit RandomStopPrompter(std::mt19937& random) : m_random(random) {}
    wendo::StopChoice AskStopOrSuspend() override
    {
        switch (m_random() % 3) {
        case 0:
            return wendo::StopChoice::Stop;
        case 1:
            return wendo::StopChoice::Suspend;
        default:
            return wendo::StopChoice::Cancel;
        }
    }

private:
    std::mt19937& m_random;
};

// Paths of the report's lines whose message counts changes.
std::set<std::string> ChangedInReport(const std::string& report)
{
    std::set<std::string> paths;
    const auto section = report.find("[MODIFPATH]");
    std::istringstream lines(section == std::string::npos ? "" : report.substr(section));
    for (std::string line; std::getline(lines, line);) {
        const auto close = line.find('"', 1);
        if (line.size() > 1 && line[0] == '"' && close != std::string::npos &&
            line.find("FIND REPLACE(", close) != std::string::npos) {
            paths.insert(line.substr(1, close - 1));
        }
    }
    return paths;
}

TEST(StopStress, RandomRequestsLeaveFilesWholeAndTheReportTrue)
{
    Box box;
    const std::vector<SiteFile> files = MakeSite(box, 30, 11);
    EndTarget target;
    wendo::EngineServices services(&target, wendo::RunSettings{false, box.Tmp().string()});
    std::mt19937 random(std::random_device{}());
    RandomStopPrompter stopPrompter(random);
    wendo::CWendoDoc doc;
    doc.SetPathName(box.Path("job.wdo").string());
    doc.SetRunServices(&services);
    doc.SetStopPrompter(&stopPrompter);
    doc.Report = 1;
    doc.Backup = 1;
    doc.BackupExt = "bak";
    doc.Commands.emplace_back(std::string_view(kAtoB));
    doc.FileSet.Append(CFileList(box.Path("site/*.htm").c_str(), 1, 0, 0, nullptr));

    int requests = 0;
    int runs = 0;
    int stopped = 0;
    while (requests < 1000) {
        SCOPED_TRACE("run " + std::to_string(runs));
        ResetSite(box, files);
        target.Reset();
        ASSERT_EQ(doc.StartProcess(), 1);
        ++runs;
        for (int i = 0; i < 12 && !target.Ended(); ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
            ++requests;
            switch (random() % 4) {
            case 0:
                doc.AskStopProcess();
                break;
            case 1:
                doc.ResumeProcess();
                break;
            case 2:
                doc.StopProcess();
                break;
            default:
                doc.AskStopProcess();
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
                doc.ResumeProcess();
                break;
            }
        }
        doc.ResumeProcess();
        const intptr_t result = target.WaitForEnd();
        ASSERT_GE(result, 0) << "the run never ended";
        doc.EndProcess();
        stopped += result == wendo::FileResult::STOPPED ? 1 : 0;

        std::set<std::string> changedOnDisk;
        for (const SiteFile& f : files) {
            if (f.Changes() && box.Read(f.rel) == f.after) {
                changedOnDisk.insert(box.Path(f.rel).string());
            }
        }
        ExpectWholeFiles(box, files);
        const std::string report = box.Read("job.log");
        EXPECT_EQ(ChangedInReport(report), changedOnDisk);
        EXPECT_NE(report.find(result == wendo::FileResult::STOPPED ? "STATE=Cancel by user "
                                                                   : "STATE=All parsing done "),
                  std::string::npos);
        if (HasFailure()) {
            break;
        }
    }
    std::cout << "[faults] stop stress: " << requests << " requests over " << runs << " runs, "
              << stopped << " stopped\n";
    RecordProperty("stop_requests", requests);
}

} // namespace
} // namespace faults
