// The run's own files: its report and command file are never edited by the run, a backup
// never lands outside the source's folder, a user's backup is replaced only when the file
// changes, and no link planted where work files were once kept redirects a write.
#include "FaultSupport.h"

namespace faults {
namespace {

TEST(OwnFiles, ReportAndCommandFileInTheWalkedFolderAreLeftAlone)
{
    const struct
    {
        const char* name;
        const char* logFile; // LOGFILE; empty: job.log beside job.wdo
    } rows[] = {{"report_beside_the_command_file", ""}, {"report_in_the_site", "site/run.log"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Box box;
        box.Write("site/a.htm", "a");
        box.Write("site/job2.wdo", "a");
        // The walk covers the box itself, where job.wdo (holding "~a~") and the report lie.
        box.SaveJob({kAtoB}, {CFileList("*.*", 1, 0, 0, nullptr)}, [&](wendo::CWendoDoc& d) {
            d.ReportPath = row.logFile;
            d.LogUnmodified = 1;
        });
        const std::string commands = box.Read("job.wdo");
        const Outcome run = box.Run({"job.wdo"});
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_EQ(box.Read("site/a.htm"), "b");
        EXPECT_EQ(box.Read("job.wdo"), commands);
        EXPECT_FALSE(fs::exists(box.Path("job.wdo.bak")));
        const std::string report = box.Read(*row.logFile ? row.logFile : "job.log");
        EXPECT_NE(report.find("STATE=All parsing done "), std::string::npos) << report;
        EXPECT_EQ(report.find("FIND REPLACE(", report.find("job.wdo\"")), std::string::npos)
            << report;
        EXPECT_FALSE(
            fs::exists(box.Path(std::string(*row.logFile ? row.logFile : "job.log") + ".bak")));
    }
}

TEST(OwnFiles, ReportIsNeverWrittenOverWhatIsNotAReport)
{
    const struct
    {
        const char* name;
        const char* logFile;
        std::function<void(const Box&)> make;
    } rows[] = {
        {"the_command_file", "job.wdo", [](const Box&) {}},
        {"a_file_of_the_users", "notes.txt", [](const Box& b) { b.Write("notes.txt", "mine"); }},
        {"a_fifo", "pipe.log",
         [](const Box& b) { ASSERT_EQ(::mkfifo(b.Path("pipe.log").c_str(), 0644), 0); }},
    };
    for (const auto& row : rows) {
        for (const bool yes : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (yes ? " --yes" : ""));
            Box box;
            box.Write("site/a.htm", "a");
            row.make(box);
            box.SaveJob({kAtoB}, {CFileList("site/a.htm", 0, 0, 0, nullptr)},
                        [&](wendo::CWendoDoc& d) { d.ReportPath = row.logFile; });
            const std::string commands = box.Read("job.wdo");
            const std::string before =
                fs::is_regular_file(box.Path(row.logFile)) ? box.Read(row.logFile) : std::string();
            const Outcome run = box.Run(yes ? std::vector<std::string>{"--yes", "job.wdo"}
                                            : std::vector<std::string>{"job.wdo"});
            // The question of an unwritable report: Yes runs on without one, No ends the run.
            EXPECT_EQ(run.status, yes ? 0 : 4) << run.out;
            EXPECT_EQ(box.Read("site/a.htm"), yes ? "b" : "a");
            EXPECT_EQ(box.Read("job.wdo"), commands);
            if (!before.empty()) {
                EXPECT_EQ(box.Read(row.logFile), before);
            }
        }
    }
}

TEST(OwnFiles, FifoAsTheCommandFileIsALoadError)
{
    Box box;
    ASSERT_EQ(::mkfifo(box.Path("pipe.wdo").c_str(), 0644), 0);
    const Outcome run = box.Run({"pipe.wdo"});
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_NE(run.out.find("Not a regular file"), std::string::npos) << run.out;
}

TEST(OwnFiles, BackupExtensionNamingAnotherFolderIsNeverUsed)
{
    const char* extensions[] = {"../escaped", "sub/bak", "sub\\bak", "..", "bak..old", "/tmp/x"};
    for (const char* extension : extensions) {
        SCOPED_TRACE(extension);
        Box box;
        box.Write("site/a.htm", "a");
        fs::create_directories(box.Path("site/a.htm.sub"));
        box.SaveJob({kAtoB}, {CFileList("site/a.htm", 0, 0, 0, nullptr)},
                    [&](wendo::CWendoDoc& d) { d.BackupExt = extension; });
        const Outcome run = box.Run({"job.wdo"});
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_EQ(box.Read("site/a.htm"), "a");
        EXPECT_NE(LineOf(run, "site/a.htm").find("ERROR: Can not write backup"), std::string::npos)
            << run.out;
        EXPECT_EQ(box.Listing(), (std::set<std::string>{"job.log", "job.wdo", "site/", "site/a.htm",
                                                        "site/a.htm.sub/"}));
    }
}

TEST(OwnFiles, UsersBackupIsReplacedOnlyWhenTheFileChanges)
{
    Box box;
    box.Write("site/changes.htm", "a");
    box.Write("site/changes.htm.bak", "the user's own");
    box.Write("site/stays.htm", "q");
    box.Write("site/stays.htm.bak", "the user's own");
    box.Write("outside/victim", "precious");
    box.Write("site/linked.htm", "a");
    fs::create_symlink("../outside/victim", box.Path("site/linked.htm.bak"));
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 0, 0, 0, nullptr)});
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(box.Read("site/changes.htm.bak"), "a");
    EXPECT_EQ(box.Read("site/stays.htm.bak"), "the user's own");
    EXPECT_EQ(box.Read("outside/victim"), "precious") << "a backup never writes through a link";
    EXPECT_FALSE(fs::is_symlink(box.Path("site/linked.htm.bak")));
    EXPECT_EQ(box.Read("site/linked.htm.bak"), "a");
}

TEST(OwnFiles, PlantedWorkFileLinksRedirectNothing)
{
    Box box;
    box.Write("site/a.htm", "a a a");
    box.Write("victim.txt", "precious");
    for (const fs::path& folder : {box.Root(), box.Tmp()}) {
        for (const char* name : {"Wendo.txt", "Wendo2.txt"}) {
            fs::create_symlink(box.Path("victim.txt"), folder / name);
        }
    }
    box.SaveJob({kAtoB, "FINDREPL DELIMITER ~b~ VALUE ~c~"},
                {CFileList("site/a.htm", 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Rewind = 1; });
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(box.Read("site/a.htm"), "c c c");
    EXPECT_EQ(box.Read("victim.txt"), "precious");
    for (const fs::path& folder : {box.Root(), box.Tmp()}) {
        EXPECT_TRUE(fs::is_symlink(folder / "Wendo.txt"));
    }
}

} // namespace
} // namespace faults
