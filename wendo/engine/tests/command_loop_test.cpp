// The per-file command loop: the pipeline of commands, both rewinds, the file's message, dry
// runs, failures and the work files.

#include "EngineTestSupport.h"

#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace wendo::test {
namespace {

const std::string kAtoA = "FINDREPL CASESENS DELIMITER ~a~ VALUE ~A~";
const std::string kBtoB = "FINDREPL CASESENS DELIMITER ~b~ VALUE ~B~";
const std::string kNone = "FINDREPL CASESENS DELIMITER ~zzz~ VALUE ~Z~";

struct LoopCase
{
    const char* name;
    std::string input;
    std::vector<std::string> lines;
    int32_t globalRewind;
    std::string expected;
    std::vector<int32_t> counters;
    std::string message;
};

class CommandLoop : public EngineTest
{
};

TEST_F(CommandLoop, PipelineAndRewinds)
{
    const std::vector<LoopCase> cases = {
        {"without rewind the second command sees only the rest",
         "b a b",
         {kAtoA, kBtoB},
         0,
         "b A B",
         {2, 1, 1},
         "FIND REPLACE(1) , FIND REPLACE(1) "},
        {"global rewind shows the whole text",
         "b a b",
         {kAtoA, kBtoB},
         1,
         "B A B",
         {3, 1, 2},
         "FIND REPLACE(1) , FIND REPLACE(2) "},
        {"rewind command shows the whole text",
         "b a b",
         {kAtoA, "REWIND", kBtoB},
         0,
         "B A B",
         {3, 1, 0, 2},
         "FIND REPLACE(1) , FIND REPLACE(2) "},
        {"the second command sees the first one's replacements",
         "a",
         {kAtoA, "REWIND", "FINDREPL CASESENS DELIMITER ~A~ VALUE ~b~"},
         0,
         "b",
         {2, 1, 0, 1},
         "FIND REPLACE(1) , FIND REPLACE(1) "},
        {"rewind after a command that changed nothing does nothing",
         "b a b",
         {kAtoA, kNone, "REWIND", kBtoB},
         0,
         "b A B",
         {2, 1, 0, 0, 1},
         "FIND REPLACE(1) , FIND REPLACE(1) "},
        {"rewind with nothing changed keeps the whole text",
         "b a b",
         {kNone, "REWIND"},
         0,
         "b a b",
         {0, 0, 0},
         ""},
        // The rewind file held the text up to the rewind; the later change went to the output.
        {"result file after a rewind holds later changes",
         "x y",
         {"FINDREPL DELIMITER ~x~ VALUE ~X~", "REWIND", "FINDREPL DELIMITER ~y~ VALUE ~Y~"},
         0,
         "X Y",
         {2, 1, 0, 1},
         "FIND REPLACE(1) , FIND REPLACE(1) "},
        {"result file after a rewind and a command that changed nothing",
         "x y",
         {"FINDREPL DELIMITER ~x~ VALUE ~X~", "REWIND", kNone},
         0,
         "X y",
         {1, 1, 0, 0},
         "FIND REPLACE(1) "},
        {"global rewind then an unchanged last command",
         "a b",
         {kAtoA, kNone},
         1,
         "A b",
         {1, 1, 0},
         "FIND REPLACE(1) "},
        // A comment kept its predecessor's flag: a bogus "(0)" entry and a rewind too many.
        {"a comment clears the modified flag",
         "b a b",
         {kAtoA, "# note", "REWIND", kBtoB},
         0,
         "b A B",
         {2, 1, 0, 0, 1},
         "FIND REPLACE(1) , FIND REPLACE(1) "},
        {"an unknown command clears the modified flag",
         "a a",
         {kAtoA, "FOO VALUE ~x~"},
         1,
         "A A",
         {2, 2, 0},
         "FIND REPLACE(2) "},
        {"labels of two kinds",
         "{{x}} a",
         {"FINDREPL_KEEPCONTENT DELIMITER ~{{~ DELIMITER ~}}~ VALUE ~$CONTENT~", kAtoA},
         0,
         "x A",
         {2, 1, 1},
         "KEEPCONTENT(1) , FIND REPLACE(1) "},
        {"file statistics change nothing",
         "a",
         {"DISPLAY_FILESTAT", kAtoA},
         0,
         "A",
         {1, 0, 1},
         "FIND REPLACE(1) "},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.name);
        doc.Rewind = c.globalRewind;
        const Outcome out = Run(c.input, c.lines);
        EXPECT_EQ(out.text, c.expected);
        EXPECT_EQ(out.counters, c.counters);
        EXPECT_EQ(out.message, c.message);
    }
}

TEST_F(CommandLoop, RewindCopiesTheLinesBeforeTheRegionAgain)
{
    doc.FromLine = 2;
    for (const int32_t globalRewind : {0, 1}) {
        SCOPED_TRACE(globalRewind);
        doc.Rewind = globalRewind;
        std::vector<std::string> lines = {"FINDREPL CASESENS DELIMITER ~x~ VALUE ~y~",
                                          "FINDREPL CASESENS DELIMITER ~y~ VALUE ~z~"};
        if (globalRewind == 0) {
            lines.insert(lines.begin() + 1, "REWIND");
        }
        const Outcome out = Run("x\r\nx y\r\nx\r\n", lines);
        EXPECT_EQ(out.text, "x\r\nz z\r\nz\r\n");
        EXPECT_EQ(out.total, 5);
    }
}

TEST_F(CommandLoop, DryRunCountsAndWritesNothing)
{
    for (const int32_t globalRewind : {0, 1}) {
        SCOPED_TRACE(globalRewind);
        doc.Rewind = globalRewind;
        doc.NoWrite = 0;
        const Outcome real = Run("a b a", {kAtoA, "REWIND", kBtoB});
        doc.NoWrite = 1;
        const Outcome dry = Run("a b a", {kAtoA, "REWIND", kBtoB});
        EXPECT_EQ(real.text, "A B A");
        EXPECT_EQ(dry.text, "a b a");
        EXPECT_EQ(dry.result, FileResult::MODIFIED);
        EXPECT_FALSE(dry.writeBack);
        EXPECT_EQ(dry.counters, real.counters);
        EXPECT_EQ(dry.message, real.message);
    }
}

TEST_F(CommandLoop, NothingToDoAndUnreadableSource)
{
    Outcome out = Run("a", {});
    EXPECT_EQ(out.result, FileResult::NOTHING);
    EXPECT_EQ(out.text, "a");

    const auto commands = Commands({kAtoA});
    CParseProcess process(doc, nullptr);
    doc.Run.SetFileMessage("");
    EXPECT_EQ(process.ProcessCommands(Source("missing.htm"), {commands[0].get()}),
              FileResult::NOT_OPENED);
    EXPECT_EQ(doc.Run.FileMessage(), "ERROR: Can't open file");
}

TEST_F(CommandLoop, WorkFileThatCannotBeCreated)
{
    const auto commands = Commands({kAtoA});
    WriteAll(Source(), "a");
    CParseProcess process(doc, nullptr, OnDisk());
    ASSERT_EQ(process.PrepareWorkFolder(), 0);
    const std::string blocker = os::ToNative(process.WorkFilePath(CParseProcess::kWorkFile));
    ASSERT_EQ(mkdir(blocker.c_str(), 0700), 0);
    doc.Run.SetFileMessage("");
    EXPECT_EQ(process.ProcessCommands(Source(), {commands[0].get()}), FileResult::NOT_OPENED);
    EXPECT_EQ(doc.Run.FileMessage(), "ERROR: Can't open temp file");
    rmdir(blocker.c_str());
}

// A rewind that failed set the abort flag only: the file was left unwritten yet reported as
// modified, with nothing in its message.
TEST_F(CommandLoop, FailedRewindIsReportedAsAFailure)
{
    const auto commands = Commands({kAtoA, "REWIND", kBtoB});
    WriteAll(Source(), "a b");
    CParseProcess process(doc, nullptr, OnDisk());
    ASSERT_EQ(process.PrepareWorkFolder(), 0);
    const std::string blocker = os::ToNative(process.WorkFilePath(CParseProcess::kRewindFile));
    ASSERT_EQ(mkdir(blocker.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((blocker + "/inside").c_str(), 0700), 0);
    doc.Run.ResetCounters(3);
    doc.Run.SetFileMessage("");
    EXPECT_EQ(process.ProcessCommands(Source(),
                                      {commands[0].get(), commands[1].get(), commands[2].get()}),
              FileResult::FAILED);
    EXPECT_FALSE(process.NeedsWriteBack());
    EXPECT_EQ(doc.Run.FileMessage(), "ERROR: Wendo ERROR : Can't rewind work files\n")
        << "a file not written claims no replacement";
    EXPECT_EQ(ReadAll(Source()), "a b");
    rmdir((blocker + "/inside").c_str());
    rmdir(blocker.c_str());
}

TEST_F(CommandLoop, StopBeforeACommandLeavesTheFileAlone)
{
    const auto commands = Commands({kAtoA, kBtoB});
    WriteAll(Source(), "a b");
    RecordingTarget target;
    CParseProcess process(doc, &target);
    int asked = 0;
    process.SetStopCheck([&asked] { return ++asked == 2; });
    doc.Run.ResetCounters(2);
    EXPECT_EQ(process.ProcessCommands(Source(), {commands[0].get(), commands[1].get()}),
              FileResult::STOPPED);
    EXPECT_EQ(ReadAll(Source()), "a b");
    EXPECT_FALSE(os::Exists(os::ToNative(process.WorkFilePath(CParseProcess::kWorkFile))));
    EXPECT_EQ(target.Count(WMU_COMMAND_BEGIN), 2);
    EXPECT_EQ(doc.Run.Status(), "Parsing command: FIND REPLACE");
}

TEST_F(CommandLoop, EachProcessHasItsOwnPrivateWorkFolder)
{
    std::string folder;
    {
        CParseProcess first(doc, nullptr);
        CParseProcess second(doc, nullptr);
        ASSERT_EQ(first.PrepareWorkFolder(m_files.Path()), 0);
        ASSERT_EQ(second.PrepareWorkFolder(m_files.Path()), 0);
        const std::string a = first.WorkFilePath(CParseProcess::kWorkFile);
        EXPECT_NE(a, second.WorkFilePath(CParseProcess::kWorkFile));
        EXPECT_EQ(a.substr(a.size() - 10), "\\Wendo.txt");
        folder = os::ToNative(a.substr(0, a.size() - 10));
        struct stat st
        {
        };
        ASSERT_EQ(stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    struct stat st
    {
    };
    EXPECT_NE(stat(folder.c_str(), &st), 0);
}

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's string interceptors measure the whole rest of the text on each search.
constexpr std::size_t kLargeSize = 1u << 20;
#else
constexpr std::size_t kLargeSize = 20u << 20;
#endif

long PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024L;
}

// A large file with a great many matches goes through in one pass per command.
TEST_F(CommandLoop, ManyMatchesInALargeFile)
{
#if defined(__SANITIZE_THREAD__)
    // One thread only; under ThreadSanitizer its millions of notifications take minutes.
    GTEST_SKIP();
#endif
    std::string many;
    many.reserve(kLargeSize + 22);
    while (many.size() < kLargeSize) {
        many += "<b>x</b> line of text\n";
    }
    const Outcome out = Run(many, {"FINDREPL DELIMITER ~<b>~ DELIMITER ~</b>~ VALUE ~<i>y</i>~",
                                   "REWIND", "FINDREPL CASESENS DELIMITER ~y~ VALUE ~z~"});
    const int32_t lines = static_cast<int32_t>(many.size() / 22);
    EXPECT_EQ(out.counters, (std::vector<int32_t>{2 * lines, lines, 0, lines}));
    ASSERT_EQ(out.text.size(), many.size());
    EXPECT_EQ(out.text.compare(out.text.size() - 22, 22, "<i>z</i> line of text\n"), 0);
}

// One long line whose content is written twice: the engine holds the rest of the file and one
// copy of the content, and writes through its buffer.
TEST_F(CommandLoop, LongLineGoesThroughInBoundedMemory)
{
#if defined(__SANITIZE_THREAD__)
    // One thread only; under ThreadSanitizer its millions of notifications take minutes.
    GTEST_SKIP();
#endif
    {
        const std::string oneLine = "{{" + std::string(kLargeSize, 'q') + "}}";
        WriteAll(Source(), oneLine);
    }
    const auto commands = Commands({"FINDREPL_KEEPCONTENT DELIMITER ~{{~ DELIMITER ~}}~ "
                                    "VALUE ~$CONTENT-$CONTENT~"});
    doc.Run.ResetCounters(1);
    const long before = PeakResidentBytes();
    // Through work files: in memory a file takes up to three times its size, by design.
    CParseProcess process(doc, nullptr, OnDisk());
    ASSERT_EQ(process.ProcessCommands(Source(), {commands[0].get()}), FileResult::MODIFIED);
    const long used = PeakResidentBytes() - before;
    os::FileStatus status;
    ASSERT_EQ(os::GetStatus(os::ToNative(process.ResultFilePath()), status), os::FileError::None);
    EXPECT_EQ(status.size, static_cast<int64_t>(2 * kLargeSize + 1));
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(used, static_cast<long>(3 * kLargeSize));
#else
    (void)used;
#endif
}

} // namespace
} // namespace wendo::test
