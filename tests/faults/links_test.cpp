// Metadata and links: modes survive a write-back, read-only files and folders are refused
// with a message, links to files are edited in their targets, links to folders and loops are
// never entered, and a run that changes nothing touches nothing.
#include "FaultSupport.h"

#include <cstring>
#include <sys/xattr.h>

namespace faults {
namespace {

constexpr uid_t kNobody = 65534;

// Runs that permissions must stop: as root they run as nobody, on a box given to nobody.
std::vector<std::string> Unprivileged(const Box& box)
{
    if (!IsRoot()) {
        return {};
    }
    box.GiveAway(kNobody);
    return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
}

struct stat StatOf(const fs::path& path)
{
    struct stat st
    {
    };
    ::lstat(path.c_str(), &st);
    return st;
}

TEST(Modes, SurviveTheWriteBack)
{
    const struct
    {
        const char* name;
        mode_t mode;
    } rows[] = {{"owner_and_group_read", 0640}, {"executable", 0755}, {"setgid_shared", 02775}};
    Box box;
    for (const auto& row : rows) {
        box.Write(std::string("site/") + row.name + ".htm", "a");
        ASSERT_EQ(::chmod(box.Path(std::string("site/") + row.name + ".htm").c_str(), row.mode), 0);
    }
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 0, 0, 0, nullptr)});
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    for (const auto& row : rows) {
        const fs::path path = box.Path(std::string("site/") + row.name + ".htm");
        EXPECT_EQ(ReadFile(path), "b") << row.name;
        EXPECT_EQ(StatOf(path).st_mode & 07777, row.mode) << row.name;
        EXPECT_EQ(StatOf(path.string() + ".bak").st_mode & 07777, row.mode) << row.name;
    }
}

TEST(ReadOnly, FileIsRefusedEvenForRoot)
{
    Box box;
    box.Write("site/locked.htm", "a");
    box.Write("site/open.htm", "a");
    ::chmod(box.Path("site/locked.htm").c_str(), 0444);
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 0, 0, 0, nullptr)});
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_EQ(box.Read("site/locked.htm"), "a");
    EXPECT_EQ(StatOf(box.Path("site/locked.htm")).st_mode & 07777, 0444u);
    EXPECT_NE(LineOf(run, "site/locked.htm").find("ERROR: Can not write to file"),
              std::string::npos)
        << run.out;
    EXPECT_FALSE(fs::exists(box.Path("site/locked.htm.bak"))) << "nothing written for it";
    EXPECT_EQ(box.Read("site/open.htm"), "b");
}

TEST(ReadOnly, FolderAndUnreadableFolderAreRefused)
{
    Box box;
    box.Write("site/frozen/a.htm", "a");
    box.Write("site/hidden/a.htm", "a");
    box.Write("site/open/a.htm", "a");
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 1, 0, 0, nullptr)});
    const std::vector<std::string> prefix = Unprivileged(box);
    ::chmod(box.Path("site/frozen").c_str(), 0555);
    ::chmod(box.Path("site/hidden").c_str(), 0);
    const Outcome run = box.Run({"job.wdo"}, prefix);
    ::chmod(box.Path("site/frozen").c_str(), 0755);
    ::chmod(box.Path("site/hidden").c_str(), 0755);
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_EQ(box.Read("site/frozen/a.htm"), "a");
    EXPECT_NE(LineOf(run, "site/frozen/a.htm").find("ERROR: Can not write"), std::string::npos)
        << run.out;
    EXPECT_EQ(box.Read("site/hidden/a.htm"), "a");
    EXPECT_EQ(box.Read("site/open/a.htm"), "b");
    EXPECT_EQ(box.Listing().count("site/frozen/a.htm.bak"), 0u);
}

TEST(Links, FileLinkIsEditedInItsTargetFolderLinksAndLoopsAreNeverEntered)
{
    Box box;
    box.Write("outside/target.htm", "a");
    box.Write("outside/tree/deep.htm", "a");
    box.Write("site/plain.htm", "a");
    fs::create_directories(box.Path("site/sub"));
    fs::create_symlink("../outside/target.htm", box.Path("site/link.htm"));
    fs::create_symlink("../outside/tree", box.Path("site/folderlink"));
    fs::create_symlink("..", box.Path("site/sub/loop"));
    fs::create_symlink("nowhere.htm", box.Path("site/dangling.htm"));
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 1, 0, 0, nullptr)});
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(box.Read("site/plain.htm"), "b");
    EXPECT_TRUE(fs::is_symlink(box.Path("site/link.htm")));
    EXPECT_EQ(box.Read("outside/target.htm"), "b") << "the link's target is edited";
    EXPECT_EQ(box.Read("site/link.htm.bak"), "a");
    EXPECT_FALSE(fs::is_symlink(box.Path("site/link.htm.bak")));
    EXPECT_EQ(box.Read("outside/tree/deep.htm"), "a") << "a linked folder is not entered";
    EXPECT_TRUE(fs::is_symlink(box.Path("site/dangling.htm")));
    EXPECT_FALSE(fs::exists(box.Path("site/nowhere.htm")));
    EXPECT_EQ(run.out.find("loop"), std::string::npos) << run.out;
}

TEST(Keep, HardLinksAttributesAclsAndOwnersSurviveTheWriteBack)
{
    Box box;
    // Hard links: every name, in the file set or not, ends with the new text.
    box.Write("site/one.htm", "a-a");
    fs::create_hard_link(box.Path("site/one.htm"), box.Path("site/two.htm"));
    box.Write("other/three.htm", "a");
    fs::create_hard_link(box.Path("other/three.htm"), box.Path("site/three.htm"));
    box.Write("site/attrs.htm", "a");
    const std::string attrs = box.Path("site/attrs.htm").string();
    const bool haveXattr = ::setxattr(attrs.c_str(), "user.origin", "kept", 4, 0) == 0;
    // An ACL giving nobody read access, in the kernel's xattr form: version 2, then entries of
    // tag, permissions and id (owner rw, nobody r, group r, mask r, others r).
    const std::uint32_t acl[] = {2,   0x60001u, ~0u, 0x40002u, kNobody, 0x40004u,
                                 ~0u, 0x40010u, ~0u, 0x40020u, ~0u};
    const bool haveAcl =
        ::setxattr(attrs.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
    // Another user's file that this user may write: the owner cannot be given to a new file.
    box.Write("site/shared.htm", "a");
    box.SaveJob({kAtoB}, {CFileList("site/*.htm", 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.LogUnmodified = 1; });
    std::vector<std::string> prefix;
    if (IsRoot()) {
        prefix = Unprivileged(box);
        ::chown(box.Path("site/shared.htm").c_str(), 0, kNobody);
        ::chmod(box.Path("site/shared.htm").c_str(), 0664);
    }
    const Outcome run = box.Run({"job.wdo"}, prefix);
    EXPECT_EQ(run.status, 0) << run.out;
    for (const char* rel : {"site/one.htm", "site/two.htm", "site/three.htm", "other/three.htm",
                            "site/attrs.htm", "site/shared.htm"}) {
        EXPECT_EQ(box.Read(rel)[0], 'b') << rel;
    }
    EXPECT_EQ(StatOf(box.Path("site/one.htm")).st_ino, StatOf(box.Path("site/two.htm")).st_ino);
    EXPECT_EQ(StatOf(box.Path("site/three.htm")).st_nlink, 2u);
    EXPECT_NE(LineOf(run, "site/one.htm").find("written in place"), std::string::npos) << run.out;
    EXPECT_EQ(LineOf(run, "site/attrs.htm").find("in place"), std::string::npos) << run.out;
    if (haveXattr) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(attrs.c_str(), "user.origin", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    if (haveAcl) {
        std::uint32_t after[16] = {};
        EXPECT_EQ(::getxattr(attrs.c_str(), "system.posix_acl_access", after, sizeof after),
                  static_cast<ssize_t>(sizeof acl));
        EXPECT_EQ(std::memcmp(acl, after, sizeof acl), 0) << "the ACL stays";
    }
    if (IsRoot()) {
        EXPECT_EQ(StatOf(box.Path("site/shared.htm")).st_uid, 0u) << "the owner stays";
        EXPECT_NE(LineOf(run, "site/shared.htm").find("written in place"), std::string::npos);
    }
    for (const std::string& name : box.Listing()) {
        EXPECT_EQ(name.find(".wendo-"), std::string::npos) << "no recovery copy stays: " << name;
    }
}

TEST(Unchanged, RunThatChangesNothingWritesNothing)
{
    Box box;
    box.Write("site/calm.htm", "nothing to do here\n");
    box.Write("site/empty.htm", "");
    const struct stat before = StatOf(box.Path("site/calm.htm"));
    box.SaveJob({"FINDREPL DELIMITER ~absent~ VALUE ~x~"},
                {CFileList("site/*.htm", 0, 0, 0, nullptr)});
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    const struct stat after = StatOf(box.Path("site/calm.htm"));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(box.Listing(), (std::set<std::string>{"job.log", "job.wdo", "site/", "site/calm.htm",
                                                    "site/empty.htm"}));
}

} // namespace
} // namespace faults
