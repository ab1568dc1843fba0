// wendo-run FILE.wdo and --replay, run as a program on trees in a temporary folder: output,
// exit statuses, clean stops on signals, and files that a killed run leaves whole.
#include "CliTestSupport.h"
#include "model/WendoDoc.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace wendo;
using namespace wendo::cli::test;

namespace {

// A wendo-run started in a folder, with its output in files, that the test can signal.
class Child
{
public:
    Child(const fs::path& folder, const std::vector<std::string>& arguments)
        : m_out(folder / "child.out")
    {
        const std::string program = std::string(WENDO_BIN_DIR) + "/wendo-run";
        std::vector<std::string> args = {program};
        args.insert(args.end(), arguments.begin(), arguments.end());
        // A killed run cannot remove its private work folder; it goes where the test cleans.
        const fs::path temporary = folder / "tmp";
        fs::create_directories(temporary);
        m_pid = fork();
        if (m_pid == 0) {
            setenv("TMPDIR", temporary.c_str(), 1);
            const int out = ::open(m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (chdir(folder.c_str()) != 0 || out < 0) {
                _exit(127);
            }
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
            const int devNull = ::open("/dev/null", O_RDONLY);
            dup2(devNull, STDIN_FILENO);
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    void Signal(int signal) const { kill(m_pid, signal); }
    // The exit status, or 128 + the signal that ended it.
    int Wait()
    {
        int raw = 0;
        waitpid(m_pid, &raw, 0);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    std::string Output() const { return ReadFile(m_out); }

private:
    fs::path m_out;
    pid_t m_pid = -1;
};

class RunModeTest : public CliTest
{
protected:
    // A command file in the temporary folder whose paths are relative to it.
    void SaveJob(const std::vector<std::string>& commands, const std::vector<CFileList>& paths,
                 const std::function<void(CWendoDoc&)>& options = {}) const
    {
        CWendoDoc doc;
        doc.Report = 1;
        doc.Backup = 0;
        for (const std::string& c : commands) {
            doc.Commands.emplace_back(std::string_view(c));
        }
        for (const CFileList& p : paths) {
            doc.FileSet.Append(p);
        }
        if (options) {
            options(doc);
        }
        ASSERT_TRUE(doc.OnSaveDocument((m_dir / "job.wdo").string()));
    }
    Outcome RunJob(const std::string& flags = "") const
    {
        return Wendo(flags + " job.wdo </dev/null");
    }
    // Runs in the temporary folder, so that the job's relative paths resolve there.
    Outcome Wendo(const std::string& arguments) const
    {
        const std::string previous = fs::current_path().string();
        fs::current_path(m_dir);
        Outcome run = CliTest::Wendo(arguments);
        fs::current_path(previous);
        return run;
    }
};

const std::string kAtoB = "FINDREPL CASESENS DELIMITER ~a~ VALUE ~b~";

TEST_F(RunModeTest, RunsTheCommandFileAndPrintsTotalsAndCounts)
{
    WriteFile(m_dir / "site/a.htm", "a a");
    WriteFile(m_dir / "site/same.htm", "q");
    SaveJob({kAtoB}, {CFileList("site/*.htm", 1, 0, 0, nullptr)});
    const Outcome run = RunJob();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(m_dir / "site/a.htm"), "b b");
    EXPECT_NE(run.out.find("Processing 2 files\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"site/a.htm\" FIND REPLACE(2) \n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("same.htm"), std::string::npos) << "nothing to say about it";
    EXPECT_NE(run.out.find("All parsing done\n"), std::string::npos);
    EXPECT_NE(run.out.find("files modified (TOTALMODIFIED)        1\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("replacements (TOTALITERATION)         2\n"), std::string::npos);
    EXPECT_NE(run.out.find("1. FIND REPLACE"), std::string::npos);
    EXPECT_NE(run.out.find("Report: job.log\n"), std::string::npos);
    EXPECT_NE(ReadFile(m_dir / "job.log").find("STATE=All parsing done "), std::string::npos);

    const Outcome quiet = RunJob("--quiet");
    EXPECT_EQ(quiet.out.find("Processing"), std::string::npos);
    EXPECT_EQ(quiet.out.find("site/a.htm"), std::string::npos);
    EXPECT_NE(quiet.out.find("All parsing done\n"), std::string::npos);
}

TEST_F(RunModeTest, ExitStatuses)
{
    struct Case
    {
        const char* name;
        std::function<void(CWendoDoc&)> options;
        bool blockBackup;
        std::string flags;
        int status;
        std::string text; // of a.htm afterwards
        std::string said = "Report: ";
    };
    const std::vector<Case> cases = {
        {"dry run writes nothing", {}, false, "--dry-run", 0, "a"},
        {"a failed file", [](CWendoDoc& d) { d.Backup = 1; }, true, "", 1, "a"},
        {"report refused without a terminal",
         [](CWendoDoc& d) { d.ReportPath = "no/such/folder/r.log"; }, false, "", 4, "a"},
        {"report refused, run on with --yes",
         [](CWendoDoc& d) { d.ReportPath = "no/such/folder/r.log"; }, false, "--yes", 0, "b",
         "No report was written: no/such/folder/r.log could not be created\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_dir / "w");
        WriteFile(m_dir / "w/a.htm", "a");
        if (c.blockBackup) {
            fs::create_directories(m_dir / "w/a.htm.bak");
        }
        SaveJob({kAtoB}, {CFileList("w/a.htm", 0, 0, 0, nullptr)}, c.options);
        const Outcome run = RunJob(c.flags);
        EXPECT_EQ(run.status, c.status) << run.out << run.err;
        EXPECT_EQ(ReadFile(m_dir / "w/a.htm"), c.text);
        EXPECT_EQ(run.out.find("Report: ") != std::string::npos,
                  c.said == "Report: " && c.status < 4)
            << run.out;
        if (c.status < 4) {
            EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
        }
    }
    EXPECT_EQ(Wendo("missing.wdo").status, 2);
    EXPECT_EQ(Wendo("--replay missing.wdo").status, 2);
    EXPECT_EQ(Wendo("--dry-run").status, 2) << "a run needs a command file";
}

TEST_F(RunModeTest, ReplayPrintsTheLastReport)
{
    WriteFile(m_dir / "site/a.htm", "a");
    SaveJob({"DISPLAY_FILESTAT", kAtoB}, {CFileList("site/*.htm", 0, 0, 0, nullptr)});
    ASSERT_EQ(RunJob().status, 0);
    const Outcome replay = Wendo("--replay job.wdo");
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_NE(replay.out.find("\"site/a.htm\" FIND REPLACE(1)   size 1, modified "),
              std::string::npos)
        << replay.out;
    EXPECT_NE(replay.out.find("files modified (TOTALMODIFIED)        1\n"), std::string::npos);
    // The state comes from the report's header, not from its last row.
    EXPECT_NE(replay.out.find("\nAll parsing done\n  files expected"), std::string::npos)
        << replay.out;
    fs::remove(m_dir / "job.log");
    const Outcome none = Wendo("--replay job.wdo");
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("This report is not valid"), std::string::npos);
}

TEST_F(RunModeTest, HelpDocumentsEveryOption)
{
    const Outcome help = Wendo("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"--dry-run", "--yes", "--pace", "--quiet", "--replay", "--check",
                             "--parse", "Cancel by user", "3 cancelled", "SIGTERM"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
}

TEST_F(RunModeTest, OptionsAndTheFileComeInAnyOrder)
{
    WriteFile(m_dir / "w/a.htm", "a");
    SaveJob({kAtoB}, {CFileList("w/a.htm", 0, 0, 0, nullptr)});
    for (const char* arguments :
         {"--check --yes job.wdo", "--yes --check job.wdo", "job.wdo --check", "--parse job.wdo",
          "--dry-run --quiet job.wdo", "job.wdo --quiet --dry-run", "--dry-run -- job.wdo"}) {
        EXPECT_EQ(Wendo(std::string(arguments) + " </dev/null").status, 0) << arguments;
    }
    EXPECT_EQ(ReadFile(m_dir / "w/a.htm"), "a") << "only dry runs";
    for (const char* misuse : {"--check job.wdo job.wdo", "--check --replay job.wdo",
                               "--quiet --check job.wdo", "--check"}) {
        EXPECT_EQ(Wendo(std::string(misuse) + " </dev/null").status, 2) << misuse;
    }
}

TEST_F(RunModeTest, RelativeEntriesAndReportAreTakenFromTheCommandFileFolder)
{
    WriteFile(m_dir / "w/a.htm", "a");
    WriteFile(m_dir / "w/old/o.htm", "a");
    fs::create_directories(m_dir / "logs");
    SaveJob({kAtoB},
            {CFileList("w/*.htm", 1, 0, 0, nullptr), CFileList("w/old/*.htm", 1, 1, 0, nullptr)},
            [](CWendoDoc& d) { d.ReportPath = "logs/r.log"; });
    // Run from another folder, which holds a decoy of the same name.
    const fs::path elsewhere = m_dir / "elsewhere";
    WriteFile(elsewhere / "w/a.htm", "a");
    const std::string previous = fs::current_path().string();
    fs::current_path(elsewhere);
    const Outcome run = CliTest::Wendo("'" + (m_dir / "job.wdo").string() + "' </dev/null");
    fs::current_path(previous);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(m_dir / "w/a.htm"), "b");
    EXPECT_EQ(ReadFile(m_dir / "w/old/o.htm"), "a") << "the exclusion is taken from there too";
    EXPECT_EQ(ReadFile(elsewhere / "w/a.htm"), "a");
    EXPECT_NE(ReadFile(m_dir / "logs/r.log").find("STATE=All parsing done"), std::string::npos);
    EXPECT_NE(run.out.find("Report: " + (m_dir / "logs/r.log").string() + "\n"), std::string::npos)
        << run.out;
    EXPECT_NE(ReadFile(m_dir / "job.wdo").find(":~:FILTER RECURS_ON w/*.htm:~:"), std::string::npos)
        << "the command file keeps its entries as written";
}

// A tree of files whose every a becomes b: a file is wholly old or wholly new.
struct Tree
{
    static constexpr int kFiles = 300;
    static std::string Name(int i)
    {
        return "tree/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".htm";
    }
    static std::string Old(int i) { return std::to_string(i) + std::string(2000, 'a') + "\n"; }
    static std::string New(int i) { return std::to_string(i) + std::string(2000, 'b') + "\n"; }
};

TEST_F(RunModeTest, TerminationSignalStopsCleanly)
{
    for (int i = 0; i < 40; ++i) {
        WriteFile(m_dir / Tree::Name(i), Tree::Old(i));
    }
    SaveJob({kAtoB}, {CFileList("tree/*.htm", 1, 0, 0, nullptr)});
    Child child(m_dir, {"--pace", "job.wdo"});
    // The paced run waits a second before the walk, then takes at least 75 ms a file.
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    child.Signal(SIGTERM);
    EXPECT_EQ(child.Wait(), 3) << child.Output();
    EXPECT_NE(child.Output().find("Cancel by user"), std::string::npos);
    EXPECT_NE(ReadFile(m_dir / "job.log").find("STATE=Cancel by user "), std::string::npos);
    int changed = 0;
    for (int i = 0; i < 40; ++i) {
        const std::string text = ReadFile(m_dir / Tree::Name(i));
        EXPECT_TRUE(text == Tree::Old(i) || text == Tree::New(i)) << i;
        changed += text == Tree::New(i) ? 1 : 0;
    }
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, 40);
}

TEST_F(RunModeTest, KilledRunLeavesEveryFileWholeOldOrNew)
{
    SaveJob({kAtoB}, {CFileList("tree/*.htm", 1, 0, 0, nullptr)},
            [](CWendoDoc& d) { d.Backup = 1; });
    auto reset = [this] {
        fs::remove_all(m_dir / "tree");
        for (int i = 0; i < Tree::kFiles; ++i) {
            WriteFile(m_dir / Tree::Name(i), Tree::Old(i));
        }
    };
    // How long a whole run takes here, so that the kills fall inside one.
    reset();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunJob("--quiet").status, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> moment(0, whole.count());
    int partial = 0;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        reset();
        Child child(m_dir, {"--quiet", "job.wdo"});
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        child.Signal(SIGKILL);
        child.Wait();
        int changed = 0;
        for (int i = 0; i < Tree::kFiles; ++i) {
            const fs::path path = m_dir / Tree::Name(i);
            const std::string text = ReadFile(path);
            ASSERT_TRUE(text == Tree::Old(i) || text == Tree::New(i)) << path;
            if (text == Tree::New(i)) {
                ++changed;
                ASSERT_EQ(ReadFile(path.string() + ".bak"), Tree::Old(i)) << path;
            }
        }
        partial += changed > 0 && changed < Tree::kFiles ? 1 : 0;
    }
    // Not a condition of correctness, only that the kills did land during runs.
    RecordProperty("rounds_cut_in_the_middle", partial);
}

} // namespace
