// Where a run keeps the work files of a file it does not work on in memory: in the memory
// folder when the system has one and the file is small enough, else on disk; a folder prepared
// by the caller always.

#include "EngineTestSupport.h"
#include "engine/ParseProcess.h"
#include "model/ParseCmd.h"
#include "os/file.h"
#include "os/path.h"

#include <gtest/gtest.h>
#include <string>

namespace wendo::test {
namespace {

constexpr const char* kRewindingEdit = "FINDREPL CASESENS DELIMITER ~a~ VALUE ~A~";

class WorkFolder : public EngineTest
{
protected:
    // Runs one replacement followed by a rewind on a file of the given text and returns the
    // folder of its work files, checking the result on the way.
    std::string RunIn(CParseProcess& process, const std::string& text)
    {
        const auto commands = Commands({kRewindingEdit});
        doc.Rewind = 1;
        doc.Run.ResetCounters(1);
        WriteAll(Source(), text);
        EXPECT_EQ(process.ProcessCommands(Source(), {commands[0].get()}), FileResult::MODIFIED);
        std::string result;
        EXPECT_EQ(os::ReadWholeFile(os::ToNative(process.ResultFilePath()), result),
                  os::FileError::None);
        EXPECT_EQ(result.substr(0, 3), "Abc");
        const std::string folder = process.ResultFilePath();
        process.DeleteWorkFiles();
        EXPECT_FALSE(os::Exists(os::ToNative(folder)));
        return folder.substr(0, folder.rfind('\\') + 1);
    }
};

bool HasMemoryFolder()
{
    os::FileStatus status;
    return os::GetStatus("/dev/shm", status) == os::FileError::None && status.directory;
}

TEST_F(WorkFolder, SmallFileWorksInMemoryLargeFileOnDisk)
{
    if (!HasMemoryFolder()) {
        GTEST_SKIP() << "no memory folder on this system";
    }
    CParseProcess process(doc, nullptr, OnDisk());
    const std::string small = RunIn(process, "abc");
    EXPECT_EQ(small.rfind("\\dev\\shm\\wendo-", 0), 0u) << small;

    std::string large = "abc";
    large.resize((std::size_t{16} << 20) + 1, 'x');
    const std::string onDisk = RunIn(process, large);
    EXPECT_NE(onDisk.rfind("\\dev\\shm\\", 0), 0u) << onDisk;

    // The same folders serve the whole run.
    EXPECT_EQ(RunIn(process, "abc"), small);
    EXPECT_EQ(RunIn(process, large), onDisk);
}

TEST_F(WorkFolder, PreparedFolderHoldsEveryFile)
{
    CParseProcess process(doc, nullptr, OnDisk());
    ASSERT_EQ(process.PrepareWorkFolder(m_files.Path()), 0);
    const std::string folder = RunIn(process, "abc");
    EXPECT_EQ(folder.rfind(m_files.Path(), 0), 0u) << folder;
}

} // namespace
} // namespace wendo::test
