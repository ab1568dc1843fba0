// A run killed at any of its renames can be undone as far as it went: the journal names every
// file the run may have replaced before the replacement happens.
#include "FaultSupport.h"

#include <cstdlib>

namespace faults {
namespace {

TEST(UndoAfterKill, KilledRunIsUndoneAsFarAsItWent)
{
    if (std::string(WENDO_STRACE).empty() ||
        std::string(WENDO_STRACE).find("NOTFOUND") != std::string::npos) {
        GTEST_SKIP() << "strace is not installed";
    }
    Box box;
    ::setenv("XDG_STATE_HOME", (box.Dir() / "state").c_str(), 1);
    const std::vector<SiteFile> files = MakeSite(box);
    SaveSiteJob(box);
    // Each changed file makes two renames, its backup's and its own. Files are committed in
    // groups whose backups are all renamed before any of the group's files, so a kill leaves
    // no file replaced without its backup, and how many were replaced depends on the groups.
    for (const int n : {1, 2, 25, 40, 79}) {
        SCOPED_TRACE("killed at rename " + std::to_string(n));
        ResetSite(box, files);
        const Outcome run =
            box.Run({"--quiet", "job.wdo"},
                    {WENDO_STRACE, "-f", "-o", "/dev/null", "-e", "trace=renameat", "-e",
                     "inject=renameat:signal=SIGKILL:when=" + std::to_string(n)});
        ASSERT_TRUE(run.Killed()) << run.out;
        const int replaced = ExpectWholeFiles(box, files, {false, {}});
        EXPECT_LE(replaced, (n - 1) / 2);
        EXPECT_GE(replaced, n - 1 - 40);

        const Outcome undo = box.Run({"--undo", "job.wdo"});
        EXPECT_EQ(undo.status, 0) << undo.out;
        for (const SiteFile& f : files) {
            EXPECT_EQ(box.Read(f.rel), f.before) << f.rel;
            EXPECT_FALSE(fs::exists(box.Path(f.rel + ".bak"))) << f.rel;
        }
    }
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace faults
