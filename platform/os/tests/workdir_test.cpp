#include "os/path.h"
#include "os/workdir.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsFolder(const std::string& keptPath)
{
    struct stat st
    {
    };
    return stat(os::ToNative(keptPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

TEST(OsWorkDir, TwoRunsGetDistinctPrivateFolders)
{
    os::WorkDir a;
    os::WorkDir b;
    ASSERT_EQ(a.Create(), 0);
    ASSERT_EQ(b.Create(), 0);
    EXPECT_NE(a.Path(), b.Path());
    EXPECT_EQ(a.Path().back(), '\\');
    std::string native = os::ToNative(a.Path());
    native.pop_back();
    struct stat st
    {
    };
    ASSERT_EQ(stat(native.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(OsWorkDir, RemoveTakesTheFilesAndTheFolder)
{
    std::string kept;
    {
        os::WorkDir dir;
        ASSERT_EQ(dir.Create(), 0);
        kept = dir.Path();
        for (const char* name : {"Wendo.txt", "Wendo2.txt"}) {
            const int fd = os::CreateForWriting(dir.FileIn(name));
            ASSERT_GE(fd, 0);
            ASSERT_EQ(write(fd, "x", 1), 1);
            close(fd);
        }
        ASSERT_TRUE(IsFolder(kept));
    }
    EXPECT_FALSE(IsFolder(kept));
}

TEST(OsWorkDir, CreateInAGivenParentAndRecreate)
{
    os::WorkDir parent;
    ASSERT_EQ(parent.Create(), 0);
    os::WorkDir child;
    ASSERT_EQ(child.Create(parent.Path()), 0);
    EXPECT_EQ(child.Path().rfind(parent.Path(), 0), 0u);
    const std::string first = child.Path();
    ASSERT_EQ(child.Create(parent.Path()), 0);
    EXPECT_FALSE(IsFolder(first));
    child.Remove();
    EXPECT_FALSE(child.IsCreated());
    child.Remove();
    EXPECT_EQ(os::WorkDir().Create("\\no\\such\\parent\\here"), ENOENT);
}

TEST(OsWorkDir, CreateForWritingTruncatesAndRefusesALink)
{
    os::WorkDir dir;
    ASSERT_EQ(dir.Create(), 0);
    const std::string file = dir.FileIn("Wendo.txt");
    int fd = os::CreateForWriting(file);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "hello", 5), 5);
    close(fd);
    fd = os::CreateForWriting(file);
    ASSERT_GE(fd, 0);
    close(fd);
    struct stat st
    {
    };
    ASSERT_EQ(stat(os::ToNative(file).c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const std::string link = dir.FileIn("link.txt");
    ASSERT_EQ(symlink(os::ToNative(file).c_str(), os::ToNative(link).c_str()), 0);
    int error = 0;
    EXPECT_EQ(os::CreateForWriting(link, &error), -1);
    EXPECT_EQ(error, ELOOP);
    EXPECT_EQ(os::CreateForWriting(std::string_view("a\0b", 3), &error), -1);
    EXPECT_EQ(error, EINVAL);
}

TEST(OsWorkDir, StaleFoldersOfKilledRunsAreRemovedAndNothingElse)
{
    char parentName[] = "/tmp/wendo-stale-test-XXXXXX";
    ASSERT_NE(mkdtemp(parentName), nullptr);
    const std::string parent = parentName;
    const auto makeFolder = [&](const std::string& name, bool holdFile, bool old) {
        const std::string path = parent + "/" + name;
        EXPECT_EQ(mkdir(path.c_str(), 0700), 0);
        if (holdFile) {
            const int fd = creat((path + "/.hold").c_str(), 0600);
            EXPECT_GE(fd, 0);
            close(fd);
        }
        const int wf = creat((path + "/Wendo.txt").c_str(), 0600);
        close(wf);
        if (old) {
            const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
            EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        return path;
    };
    const std::string killed = makeFolder("wendo-Ab12Cd", true, true);
    const std::string young = makeFolder("wendo-Ef34Gh", true, false);
    const std::string notOurs = makeFolder("wendo-backup", false, true);
    const std::string otherName = makeFolder("wendo-files-of-mine", true, true);
    os::WorkDir live;
    ASSERT_EQ(live.Create(os::FromNative(parent)), 0);
    std::string liveNative = os::ToNative(live.Path());
    liveNative.pop_back();
    const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, liveNative.c_str(), times, 0), 0);

    os::RemoveStaleWorkDirs(os::FromNative(parent));

    EXPECT_FALSE(IsFolder(os::FromNative(killed)));
    EXPECT_TRUE(IsFolder(os::FromNative(young))) << "its run may not hold it yet";
    EXPECT_TRUE(IsFolder(os::FromNative(notOurs))) << "no hold file: not a run's folder";
    EXPECT_TRUE(IsFolder(os::FromNative(otherName)));
    EXPECT_TRUE(IsFolder(live.Path())) << "a live run's folder is held";
    live.Remove();
    for (const std::string& path : {young, notOurs, otherName}) {
        for (const char* file : {"/.hold", "/Wendo.txt"}) {
            unlink((path + file).c_str());
        }
        rmdir(path.c_str());
    }
    EXPECT_EQ(rmdir(parent.c_str()), 0);
}
