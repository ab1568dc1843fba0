// What dead runs left beside the files is cleaned by the next run that comes to the folder,
// and special files never stop a run.
#include "FaultSupport.h"

#include <sys/file.h>

namespace faults {
namespace {

void AgeBy(const fs::path& path, int seconds)
{
    const timespec then[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), then, AT_SYMLINK_NOFOLLOW);
}

TEST(Leftovers, DeadRunsTemporariesGoRecoveryCopiesAreToldAndKept)
{
    Box box;
    box.Write("site/a.htm", "a");
    box.Write("site/same.htm", "a");
    box.Write("site/differs.htm", "a");
    const struct
    {
        const char* rel;
        const char* text;
        int age;
        bool stays;
    } leftovers[] = {
        {"site/a.htm.wendo-Ab12Cd", "half", 600, false},         // a dead run's temporary
        {"site/.wendo-Zz99Yy", "half", 600, false},              // the short form
        {"site/a.htm.wendo-Young1", "half", 10, true},           // its run may still live
        {"site/same.htm.wendo-old-Qw12Er", "a", 600, false},     // the file holds it again
        {"site/differs.htm.wendo-old-Zx34Cv", "old", 600, true}, // only the user can tell
        {"site/a.htm.wendo-Held99", "half", 600, true},          // held by a live run
        {"site/notes.wendo-bak", "mine", 600, true},             // not a run's
    };
    for (const auto& l : leftovers) {
        box.Write(l.rel, l.text);
        AgeBy(box.Path(l.rel), l.age);
    }
    const int held = ::open(box.Path("site/a.htm.wendo-Held99").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Backup = 0; });
    const Outcome run = box.Run({"job.wdo"});
    ::close(held);
    EXPECT_EQ(run.status, 1) << run.out;
    for (const auto& l : leftovers) {
        EXPECT_EQ(fs::exists(box.Path(l.rel)), l.stays) << l.rel;
    }
    EXPECT_EQ(box.Read("site/a.htm"), "b");
    EXPECT_EQ(box.Read("site/same.htm"), "b");
    EXPECT_EQ(box.Read("site/differs.htm"), "a") << "not edited while the question is open";
    EXPECT_NE(LineOf(run, "site/differs.htm")
                  .find("ERROR: Old text of an interrupted run kept in "
                        "differs.htm.wendo-old-Zx34Cv"),
              std::string::npos)
        << run.out;
}

TEST(Special, FifoEntryNeverBlocksTheRun)
{
    Box box;
    box.Write("site/a.htm", "a");
    ASSERT_EQ(::mkfifo(box.Path("site/pipe.htm").c_str(), 0644), 0);
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 0, 0, 0, nullptr),
                          CFileList("site/pipe.htm", 0, 0, 0, nullptr)});
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_EQ(box.Read("site/a.htm"), "b");
    EXPECT_NE(LineOf(run, "site/pipe.htm").find("ERROR: Not a regular file"), std::string::npos)
        << run.out;
}

} // namespace
} // namespace faults
