// Whole runs through the document and the engine on temporary trees: walking, exclusion,
// totals, write-back, stop and suspend, notifications.

#include "RunTestSupport.h"

#include <cstdio>
#include <thread>

namespace wendo::test {
namespace {

const std::string kAtoB = "FINDREPL CASESENS DELIMITER ~a~ VALUE ~b~";
const std::string kXtoXY = "FINDREPL CASESENS DELIMITER ~x~ VALUE ~xy~";

// MAXINC, TOTALEXCLUDE, TOTALMODIFIED, TOTALDIREXCLUDE, TOTALDIRMODIFIED.
struct Totals
{
    int32_t maxInc, exclude, modified, dirExclude, dirModified;
    bool operator==(const Totals&) const = default;
};

void PrintTo(const Totals& t, std::ostream* out)
{
    *out << "{" << t.maxInc << ", " << t.exclude << ", " << t.modified << ", " << t.dirExclude
         << ", " << t.dirModified << "}";
}

class RunDriver : public RunTest
{
protected:
    Totals TotalsNow() const
    {
        const RunRecord& r = m_doc.Run;
        return {r.MaxInc, r.TotalExclude, r.TotalModified, r.TotalDirExclude, r.TotalDirModified};
    }
};

TEST_F(RunDriver, EmptyFileSetEndsAtOnceWithNothingToDo)
{
    AddCommand(kAtoB);
    EXPECT_EQ(RunToEnd(), FileResult::NOTHING);
    EXPECT_EQ(m_doc.Run.Status(), "All parsing done");
    const std::vector<uint32_t> expected = {WMU_RUN_INIT,       WMU_RUN_RESET, WMU_PATHS_CLEAR,
                                            WMU_RUN_PROCESSING, WMU_STATUS,    WMU_RUN_END};
    EXPECT_EQ(m_target.Messages(), expected);
    EXPECT_EQ(m_doc.Started, 0);
    EXPECT_EQ(m_doc.Engine, nullptr);
}

TEST_F(RunDriver, NotificationsOfOneModifiedFileComeInOrder)
{
    Write("a.htm", "a");
    AddCommand(kAtoB);
    AddCommand("FINDREPL DELIMITER ~zzz~ VALUE ~q~");
    AddPath("a.htm", false);
    ASSERT_EQ(RunToEnd(), FileResult::MODIFIED);
    const std::vector<uint32_t> expected = {
        WMU_RUN_INIT,  WMU_RUN_RESET,     WMU_PATHS_CLEAR, WMU_RUN_PROCESSING, WMU_FILE_BEGIN,
        WMU_FILE_NAME, WMU_COMMAND_BEGIN, WMU_REPLACED,    WMU_COMMAND_BEGIN,  WMU_ADD_FILE_LINE,
        WMU_COUNTERS,  WMU_FILE_MODIFIED, WMU_COUNTERS,    WMU_STATUS,         WMU_RUN_END};
    EXPECT_EQ(m_target.Messages(), expected);
    EXPECT_TRUE(m_target.AllFor(&m_doc));
    EXPECT_EQ(m_target.Params(WMU_RUN_END), std::vector<intptr_t>{FileResult::MODIFIED});
    EXPECT_EQ(m_target.Params(WMU_ADD_FILE_LINE), std::vector<intptr_t>{0});
    EXPECT_EQ(m_doc.Run.FilesStarted, 1);
    EXPECT_EQ(m_doc.Run.Counters(), (std::vector<int32_t>{1, 1, 0}));
}

TEST_F(RunDriver, RecursiveAndFlatEntriesWalkTheirFiles)
{
    struct Case
    {
        const char* name;
        bool recursive;
        std::vector<std::string> changed;
        Totals totals;
    };
    const std::vector<Case> cases = {
        {"flat entry sees only its own folder", false, {"one.htm"}, {1, 0, 1, 0, 1}},
        {"recursive entry walks every folder",
         true,
         {"one.htm", "sub/two.htm", "sub/deeper/three.htm"},
         {3, 0, 3, 0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_root / "site");
        for (const char* file : {"one.htm", "sub/two.htm", "sub/deeper/three.htm"}) {
            Write(std::string("site/") + file, "a");
        }
        Write("site/skip.txt", "a");
        m_doc.FileSet.Clear();
        AddPath("site/*.htm", c.recursive);
        AddCommand(kAtoB);
        m_doc.Commands.resize(1);
        m_target.Clear();
        RunToEnd();
        for (const char* file : {"one.htm", "sub/two.htm", "sub/deeper/three.htm"}) {
            const bool changed =
                std::find(c.changed.begin(), c.changed.end(), file) != c.changed.end();
            EXPECT_EQ(Read(std::string("site/") + file), changed ? "b" : "a") << file;
        }
        EXPECT_EQ(Read("site/skip.txt"), "a");
        EXPECT_EQ(TotalsNow(), c.totals);
    }
}

TEST_F(RunDriver, ExcludedSubdirectoryIsCountedAndWalked)
{
    Write("site/top.htm", "a");
    Write("site/sub/in.htm", "a");
    Write("site/sub/deep/below.htm", "a");
    AddCommand(kAtoB);
    AddPath("site/*.*", true);
    AddPath("site/sub/*.*", false, true);
    RunToEnd();
    EXPECT_EQ(Read("site/top.htm"), "b");
    EXPECT_EQ(Read("site/sub/in.htm"), "a");
    EXPECT_EQ(Read("site/sub/deep/below.htm"), "b") << "the excluded folder is walked";
    EXPECT_EQ(TotalsNow(), (Totals{2, 1, 2, 1, 2}));
}

TEST_F(RunDriver, DefaultFiltersSkipImagesAndArchives)
{
    for (const char* name : {"site/a.gif", "site/b.zip", "site/c.htm", "site/d.wdo"}) {
        Write(name, "a");
    }
    Write("named.gif", "a");
    AddCommand(kAtoB);
    AddPath("site/*.*", false);
    AddPath("named.gif", false);
    RunToEnd();
    EXPECT_EQ(Read("site/c.htm"), "b");
    for (const char* name : {"site/a.gif", "site/b.zip", "site/d.wdo", "named.gif"}) {
        EXPECT_EQ(Read(name), "a") << name;
    }
    EXPECT_EQ(TotalsNow(), (Totals{1, 4, 1, 0, 1}));
}

TEST_F(RunDriver, FileThatCannotBeOpenedIsCountedAndTheRunGoesOn)
{
    Write("b.htm", "a");
    AddCommand(kAtoB);
    AddPath("missing.htm", false);
    AddPath("b.htm", false);
    EXPECT_EQ(RunToEnd(), FileResult::MODIFIED);
    EXPECT_EQ(Read("b.htm"), "b");
    EXPECT_EQ(m_doc.Run.TotalExclude, 1);
    EXPECT_EQ(m_doc.Run.TotalModified, 1);
    EXPECT_EQ(m_doc.Run.FilesStarted, 2);
    EXPECT_EQ(m_target.Count(WMU_ADD_FILE_LINE), 2) << "the failure has a message";
}

TEST_F(RunDriver, ChangeOfDirectoryCountsModifiedDirectories)
{
    for (const char* name : {"A/1.htm", "A/2.htm", "B/3.htm", "A/4.htm"}) {
        Write(name, "a");
        AddPath(name, false);
    }
    AddCommand(kAtoB);
    RunToEnd();
    EXPECT_EQ(m_doc.Run.TotalModified, 4);
    EXPECT_EQ(m_doc.Run.TotalDirModified, 3);
}

// Modified files are committed in groups, the full ones on another thread while the walk goes
// on; rows, totals and files still come out as one file at a time would give them.
TEST_F(RunDriver, FilesCommittedInGroupsKeepTheWalksOrder)
{
    std::vector<std::string> names;
    for (int i = 0; i < 150; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d.htm", i);
        names.emplace_back(name);
        Write(name, i % 3 == 0 ? "none" : "a");
    }
    m_doc.LogUnmodified = 1;
    m_doc.Backup = 1;
    AddCommand(kAtoB);
    AddPath("*.htm", false);
    std::vector<std::string> rows;
    m_target.SetHook([&](uint32_t message, intptr_t) {
        if (message == WMU_ADD_FILE_LINE) {
            rows.push_back(m_doc.Run.FileName());
        }
    });
    ASSERT_EQ(RunToEnd(), FileResult::MODIFIED);
    EXPECT_EQ(rows, names);
    EXPECT_EQ(TotalsNow(), (Totals{150, 0, 100, 0, 1}));
    for (int i = 0; i < 150; ++i) {
        EXPECT_EQ(Read(names[i]), i % 3 == 0 ? "none" : "b") << names[i];
        EXPECT_EQ(fs::exists(PathOf(names[i] + ".bak")), i % 3 != 0) << names[i];
    }
}

TEST_F(RunDriver, BackupsDryRunsAndFailedWriteBacks)
{
    struct Case
    {
        const char* name;
        int32_t backup;
        int32_t noWrite;
        bool backupBlocked; // a folder stands where the backup goes
        std::string text;
        bool backupHoldsOld;
        int32_t modified;
        int32_t excluded;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"backup keeps the old text", 1, 0, false, "b", true, 1, 0, "FIND REPLACE(1) "},
        {"no backup when off", 0, 0, false, "b", false, 1, 0, "FIND REPLACE(1) "},
        {"dry run writes nothing and still counts", 1, 1, false, "a", false, 1, 0,
         "FIND REPLACE(1) "},
        {"failed backup leaves the source and counts as failed", 1, 0, true, "a", false, 0, 1,
         "ERROR: Can not write backup"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_root / "w");
        Write("w/a.htm", "a");
        Write("w/same.htm", "q");
        if (c.backupBlocked) {
            fs::create_directories(m_root / "w/a.htm.bak");
        }
        m_doc.FileSet.Clear();
        AddPath("w/a.htm", false);
        AddPath("w/same.htm", false);
        m_doc.Commands.clear();
        AddCommand(kAtoB);
        m_doc.Backup = c.backup;
        m_doc.NoWrite = c.noWrite;
        m_target.Clear();
        std::string lastMessage;
        m_target.SetHook([&](uint32_t message, intptr_t) {
            if (message == WMU_ADD_FILE_LINE && lastMessage.empty()) {
                lastMessage = m_doc.Run.FileMessage();
            }
        });
        RunToEnd();
        m_target.SetHook({});
        EXPECT_EQ(Read("w/a.htm"), c.text);
        EXPECT_EQ(Read("w/same.htm"), "q");
        EXPECT_FALSE(fs::exists(m_root / "w/same.htm.bak"));
        EXPECT_EQ(fs::is_regular_file(m_root / "w/a.htm.bak"), c.backupHoldsOld);
        if (c.backupHoldsOld) {
            EXPECT_EQ(Read("w/a.htm.bak"), "a");
        }
        EXPECT_EQ(m_doc.Run.TotalModified, c.modified);
        EXPECT_EQ(m_doc.Run.TotalExclude, c.excluded);
        EXPECT_EQ(lastMessage, c.message);
    }
}

TEST_F(RunDriver, SymlinkedFileIsEditedInItsTarget)
{
    Write("real/a.htm", "a");
    fs::create_directories(m_root / "links");
    fs::create_symlink(m_root / "real/a.htm", m_root / "links/a.htm");
    AddCommand(kAtoB);
    AddPath("links/a.htm", false);
    RunToEnd();
    EXPECT_TRUE(fs::is_symlink(m_root / "links/a.htm"));
    EXPECT_EQ(Read("real/a.htm"), "b");
}

TEST_F(RunDriver, StopDuringAFileLeavesItUnchanged)
{
    Write("a.htm", "a a");
    Write("b.htm", "a");
    AddCommand(kAtoB);
    AddCommand(kAtoB);
    AddPath("a.htm", false);
    AddPath("b.htm", false);
    int commandsSeen = 0;
    m_target.SetHook([&](uint32_t message, intptr_t) {
        // The second command of the first file: the first one has already changed the text.
        if (message == WMU_COMMAND_BEGIN && ++commandsSeen == 2) {
            dynamic_cast<CParseProcess&>(*m_doc.Engine).RequestStop();
        }
    });
    EXPECT_EQ(RunToEnd(), FileResult::STOPPED);
    EXPECT_EQ(Read("a.htm"), "a a");
    EXPECT_EQ(Read("b.htm"), "a");
    EXPECT_EQ(m_doc.Run.Status(), "Cancel by user");
    EXPECT_EQ(m_doc.Run.TotalExclude, 1);
    EXPECT_EQ(m_doc.Run.TotalModified, 0);
    EXPECT_EQ(m_target.Count(WMU_FILE_BEGIN), 1);
}

// Asked on the worker in these tests, while the test thread may change the answer.
class AnswerStopOrSuspend : public StopPrompter
{
public:
    explicit AnswerStopOrSuspend(StopChoice choice) : m_choice(choice) {}
    StopChoice AskStopOrSuspend() override { return m_choice.load(); }
    void Answer(StopChoice choice) { m_choice.store(choice); }

private:
    std::atomic<StopChoice> m_choice;
};

TEST_F(RunDriver, SuspendThenResumeProcessesNoFileTwice)
{
    for (int i = 0; i < 4; ++i) {
        Write("f" + std::to_string(i) + ".htm", "x");
    }
    AddCommand(kXtoXY);
    AddPath("*.htm", false);
    AnswerStopOrSuspend suspend(StopChoice::Suspend);
    m_doc.SetStopPrompter(&suspend);
    std::atomic<int> files{0};
    std::atomic<int> askedAnswer{-1};
    m_target.SetHook([&](uint32_t message, intptr_t) {
        if (message == WMU_FILE_BEGIN && ++files == 2) {
            askedAnswer = m_doc.AskStopProcess();
        }
    });
    ASSERT_EQ(m_doc.StartProcess(), 1);
    while (askedAnswer.load() < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(askedAnswer.load(), 1);
    EXPECT_EQ(m_doc.Suspended, 1);
    // The file done before the suspension is written and counted while the run waits.
    for (int i = 0; i < 10000 && m_doc.Run.TotalModified.load() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(m_doc.Run.TotalModified.load(), 1);
    EXPECT_EQ(Read("f0.htm"), "xy");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(files.load(), 2) << "a suspended run starts no file";
    EXPECT_EQ(m_target.Count(WMU_COMMAND_BEGIN), 2) << "it halts before the command";
    m_doc.ResumeProcess();
    EXPECT_EQ(m_doc.Suspended, 0);
    EXPECT_EQ(m_target.WaitForEnd(), FileResult::MODIFIED);
    m_doc.EndProcess();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Read("f" + std::to_string(i) + ".htm"), "xy");
    }
    EXPECT_EQ(m_target.Count(WMU_FILE_BEGIN), 4);
}

TEST_F(RunDriver, StopThroughTheDocumentEndsASuspendedRun)
{
    for (int i = 0; i < 20; ++i) {
        Write("f" + std::to_string(i) + ".htm", "x");
    }
    AddCommand(kXtoXY);
    AddPath("*.htm", false);
    AnswerStopOrSuspend suspend(StopChoice::Suspend);
    m_doc.SetStopPrompter(&suspend);
    std::atomic<bool> asked{false};
    bool first = true; // worker only
    m_target.SetHook([&](uint32_t message, intptr_t) {
        if (message == WMU_FILE_BEGIN && first) {
            first = false;
            m_doc.AskStopProcess();
            asked = true;
        }
    });
    ASSERT_EQ(m_doc.StartProcess(), 1);
    while (!asked.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    suspend.Answer(StopChoice::Stop);
    EXPECT_EQ(m_doc.AskStopProcess(), 0);
    EXPECT_EQ(m_target.WaitForEnd(), FileResult::STOPPED);
    // The stop thread ends the run; the main frame's own EndProcess returns only once that
    // end is complete (the work files gone, nothing running).
    m_doc.EndProcess();
    EXPECT_EQ(m_doc.Started.load(), 0);
    EXPECT_EQ(m_doc.Engine, nullptr);
    EXPECT_EQ(m_doc.Run.Status(), "Cancel by user");
    EXPECT_EQ(m_doc.Run.TotalModified, 0);
    EXPECT_EQ(Read("f0.htm"), "x");
    // The next run starts after the stop thread of this one.
    m_doc.SetStopPrompter(nullptr);
    m_target.SetHook({});
    m_target.Clear();
    EXPECT_EQ(RunToEnd(), FileResult::MODIFIED);
    EXPECT_EQ(Read("f19.htm"), "xy");
}

TEST_F(RunDriver, StartRefusedWhileRunningAndWithoutAnEngine)
{
    Write("a.htm", "a");
    AddCommand(kAtoB);
    AddPath("a.htm", false);
    std::atomic<int> second{-1};
    m_target.SetHook([&](uint32_t message, intptr_t) {
        if (message == WMU_RUN_INIT) {
            second = m_doc.StartProcess();
        }
    });
    EXPECT_EQ(RunToEnd(), FileResult::MODIFIED);
    EXPECT_EQ(second.load(), 0);
    EXPECT_TRUE(m_prompter.Texts().empty()) << "no message while one runs";

    m_doc.SetRunServices(nullptr);
    EXPECT_EQ(m_doc.StartProcess(), 0);
    EXPECT_EQ(m_prompter.Texts(), std::vector<std::string>{"Can't start parsing process"});
    EXPECT_EQ(m_doc.Started, 0);
}

TEST_F(RunDriver, ReportThatCannotBeCreatedAsksWhetherToGoOn)
{
    Write("a.htm", "a");
    AddCommand(kAtoB);
    AddPath("a.htm", false);
    m_doc.Report = 1;
    m_doc.ReportPath = PathOf("no/such/folder/r.log");
    EXPECT_EQ(RunToEnd(), FileResult::NOT_OPENED);
    EXPECT_EQ(m_doc.Run.Status(), "Error: Can't access report file");
    EXPECT_EQ(Read("a.htm"), "a");
    EXPECT_EQ(m_prompter.Texts(),
              std::vector<std::string>{"Can't access report file\nWould you like to continue ?"});

    CountingPrompter yes(core::PromptAnswer::Yes);
    m_doc.SetPrompter(&yes);
    m_target.Clear();
    EXPECT_EQ(RunToEnd(), FileResult::MODIFIED);
    EXPECT_EQ(Read("a.htm"), "b");
    EXPECT_EQ(m_doc.Run.Status(), "All parsing done");
}

TEST_F(RunDriver, TwoDocumentsRunAtOnce)
{
    constexpr int kFiles = 40;
    CWendoDoc other;
    RunTarget otherTarget;
    EngineServices otherServices{&otherTarget, RunSettings{false, {}}};
    other.SetRunServices(&otherServices);
    for (int i = 0; i < kFiles; ++i) {
        Write("one/f" + std::to_string(i) + ".htm", std::string(2000, 'x'));
        Write("two/f" + std::to_string(i) + ".htm", std::string(2000, 'x'));
    }
    AddCommand(kXtoXY);
    AddPath("one/*.htm", false);
    other.Commands.emplace_back(std::string_view("FINDREPL CASESENS DELIMITER ~x~ VALUE ~z~"));
    other.FileSet.Append(CFileList(PathOf("two/*.htm").c_str(), 0, 0, 0, nullptr));
    ASSERT_EQ(m_doc.StartProcess(), 1);
    ASSERT_EQ(other.StartProcess(), 1);
    EXPECT_EQ(m_target.WaitForEnd(), FileResult::MODIFIED);
    EXPECT_EQ(otherTarget.WaitForEnd(), FileResult::MODIFIED);
    m_doc.EndProcess();
    other.EndProcess();
    for (int i = 0; i < kFiles; ++i) {
        std::string xy;
        for (int k = 0; k < 2000; ++k) {
            xy += "xy";
        }
        EXPECT_EQ(Read("one/f" + std::to_string(i) + ".htm"), xy);
        EXPECT_EQ(Read("two/f" + std::to_string(i) + ".htm"), std::string(2000, 'z'));
    }
    EXPECT_EQ(m_doc.Run.TotalModified, kFiles);
    EXPECT_EQ(other.Run.TotalModified, kFiles);
    EXPECT_TRUE(otherTarget.AllFor(&other));
    EXPECT_TRUE(m_target.AllFor(&m_doc));
}

TEST_F(RunDriver, PacedRunPausesBeforeTheWalk)
{
    AddCommand(kAtoB);
    EngineServices paced{&m_target, RunSettings{true, {}}};
    m_doc.SetRunServices(&paced);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunToEnd(), FileResult::NOTHING);
    EXPECT_GE(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(CParseProcess::kPauseBeforeWalk));
}

TEST_F(RunDriver, DestroyingARunningProcessJoinsItsWorker)
{
    for (int i = 0; i < 30; ++i) {
        Write("f" + std::to_string(i) + ".htm", "x");
    }
    AddCommand(kXtoXY);
    AddPath("*.htm", false);
    {
        CParseProcess process(m_doc, &m_target, RunSettings{true, {}});
        ASSERT_EQ(process.Launch(), 1);
        EXPECT_EQ(process.Launch(), 0) << "a process runs once";
    }
    EXPECT_EQ(m_target.Params(WMU_RUN_END), std::vector<intptr_t>{FileResult::STOPPED});
    EXPECT_EQ(m_doc.Run.Status(), "Cancel by user");
}

} // namespace
} // namespace wendo::test
