// Awkward names and content: every byte outside an edit comes out as it went in, and names
// that the system allows are edited under their own names.
#include "FaultSupport.h"

namespace faults {
namespace {

const std::string kMark = "FINDREPL CASESENS DELIMITER ~MARK~ VALUE ~DONE~";

// A NUL byte ends the text the commands see; what follows it is copied as it stands.
std::string Replaced(std::string text)
{
    const std::size_t end = text.find('\0');
    for (auto at = text.find("MARK");
         at != std::string::npos && (end == std::string::npos || at < end);
         at = text.find("MARK", at)) {
        text.replace(at, 4, "DONE");
    }
    return text;
}

TEST(Names, OddNamesAreEditedUnderTheirOwnNames)
{
    const struct
    {
        const char* row;
        std::string name;
    } rows[] = {
        {"byte_0xff", "caf\xff.htm"}, {"newline", "two\nlines.htm"},
        {"leading_dash", "-rf.htm"},  {"upper_case", "Case.htm"},
        {"lower_case", "case.htm"},   {"blank_and_quote", "a \"quoted\" name.htm"},
    };
    Box box;
    for (const auto& r : rows) {
        box.Write("site/" + r.name, "MARK " + std::string(r.row));
    }
    box.SaveJob({kMark}, {CFileList("site/*.htm", 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Backup = 0; });
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    for (const auto& r : rows) {
        EXPECT_EQ(box.Read("site/" + r.name), "DONE " + std::string(r.row)) << r.row;
    }
    EXPECT_EQ(box.Listing().size(), std::size(rows) + 3) << "nothing else was made";
}

TEST(Names, ReachTheTerminalEscapedAndReadBackWhole)
{
    Box box;
    for (const char* name : {"esc\x1b]2;title\x07.htm", "two\nlines.htm",
                             "c1\xc2\x9b"
                             "2J.htm",
                             "a \"quoted\" name.htm"}) {
        box.Write(std::string("site/") + name, "MARK");
    }
    box.SaveJob({kMark}, {CFileList("site/*.htm", 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Backup = 0; });
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    for (const std::string raw : {"\x1b", "\x07", "\xc2\x9b", "two\nlines"}) {
        EXPECT_EQ(run.out.find(raw), std::string::npos) << run.out;
    }
    for (const char* shown :
         {"\"site/esc\\x1b]2;title\\x07.htm\" FIND REPLACE(1) \n",
          "\"site/two\\nlines.htm\" FIND REPLACE(1) \n", "\"site/c1\\u009b2J.htm\" FIND",
          "\"site/a \\\"quoted\\\" name.htm\" FIND REPLACE(1) \n"}) {
        EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
    }
    const Outcome replay = box.Run({"--replay", "job.wdo"});
    EXPECT_NE(replay.out.find("\"site/a \\\"quoted\\\" name.htm\" FIND REPLACE(1) \n"),
              std::string::npos)
        << replay.out;
}

TEST(Names, LongestNameIsEditedWholeOrLeftAsItWas)
{
    Box box;
    const std::string name = "site/" + std::string(251, 'n') + ".htm";
    box.Write(name, "MARK");
    for (const int backup : {0, 1}) {
        SCOPED_TRACE(backup != 0 ? "with backup" : "without backup");
        box.SaveJob({kMark}, {CFileList("site/*.htm", 0, 0, 0, nullptr)},
                    [&](wendo::CWendoDoc& d) { d.Backup = backup; });
        const Outcome run = box.Run({"job.wdo"});
        // The write-back's short temporary name and the backup's refusal of a name past the
        // system's limit keep it whole.
        const std::string text = box.Read(name);
        EXPECT_TRUE(text == "MARK" || text == "DONE") << run.out;
        EXPECT_LE(box.Listing().size(), 5u) << run.out;
    }
}

TEST(Names, BackslashInANameNeverReachesAnotherFile)
{
    Box box;
    box.Write("site/a\\b.htm", "MARK in the odd name");
    box.Write("site/a/b.htm", "MARK in the folder");
    box.SaveJob({"FINDREPL CASESENS DELIMITER ~MARK~ VALUE ~MARK MARK~"},
                {CFileList("site/*.htm", 1, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Backup = 0; });
    const Outcome run = box.Run({"job.wdo"});
    // The odd name is left out with a row; the folder's file is edited once, never again
    // through it.
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_EQ(box.Read("site/a/b.htm"), "MARK MARK in the folder") << run.out;
    EXPECT_EQ(box.Read("site/a\\b.htm"), "MARK in the odd name");
}

TEST(Content, BytesOutsideAnEditComeOutIdentical)
{
    std::string nulAt65537(70000, 'x');
    nulAt65537.replace(0, 4, "MARK");
    nulAt65537[65537] = '\0';
    const struct
    {
        const char* row;
        std::string text;
    } rows[] = {
        {"empty", ""},
        {"one_byte", "M"},
        {"two_bytes", "\r\n"},
        {"three_bytes", "MAR"},
        {"nul_at_65537", nulAt65537},
        {"utf8_bom", "\xEF\xBB\xBFMARK caf\xC3\xA9\r\n"},
        {"utf16_bom", std::string("\xFF\xFEM\0A\0R\0K\0", 10) + "MARK"},
        {"latin1", "MARK caf\xE9 \xA0\xFF"},
        {"mixed_line_ends", "MARK\r\none\ntwo\rthree\r\n\n\rMARK"},
        {"no_final_newline", "line\nMARK"},
        {"marks_across_lines", std::string(5000, '\n') + "MARK" + std::string(5000, '\r')},
    };
    Box box;
    for (const auto& r : rows) {
        box.Write(std::string("site/") + r.row + ".htm", r.text);
    }
    box.SaveJob({kMark}, {CFileList("site/*.htm", 0, 0, 0, nullptr)});
    const Outcome run = box.Run({"job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    for (const auto& r : rows) {
        const std::string rel = std::string("site/") + r.row + ".htm";
        const std::string expected = Replaced(r.text);
        EXPECT_TRUE(box.Read(rel) == expected) << r.row;
        if (expected != r.text) {
            EXPECT_TRUE(box.Read(rel + ".bak") == r.text) << r.row;
        } else {
            EXPECT_FALSE(fs::exists(box.Path(rel + ".bak"))) << r.row;
        }
    }
}

TEST(Content, OneLineOf50Megabytes)
{
    if (kSanitized && !LongTestsAsked()) {
        GTEST_SKIP() << "slow under a sanitizer; WENDO_LONG_TESTS=1 runs it";
    }
    Box box;
    std::string text = "MARK" + std::string(50 * 1024 * 1024, 'y') + "MARK";
    box.Write("site/long.htm", text);
    box.SaveJob({kMark}, {CFileList("site/long.htm", 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Backup = 0; });
    const Outcome run = box.Run({"--quiet", "job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(box.Read("site/long.htm") == Replaced(text));
}

// The largest file the disk allows up to 2.1 GB: past the 31-bit sizes of the file format.
TEST(Content, FileOf2GigabytesLong)
{
    if (!LongTestsAsked()) {
        GTEST_SKIP() << "long test; WENDO_LONG_TESTS=1 runs it";
    }
    Box box(fs::temp_directory_path());
    struct statfs sfs
    {
    };
    ASSERT_EQ(::statfs(box.Root().c_str(), &sfs), 0);
    const std::uint64_t room = static_cast<std::uint64_t>(sfs.f_bavail) * sfs.f_bsize;
    // The source, the work file and the new copy must fit at once.
    const std::uint64_t size = std::min<std::uint64_t>(2150000000ULL, room / 4);
    const std::string block(1 << 20, 'z');
    {
        std::ofstream out(box.Path("site/huge.htm"), std::ios::binary);
        fs::create_directories(box.Path("site"));
        out.close();
        std::ofstream big(box.Path("site/huge.htm"), std::ios::binary);
        big << "MARK";
        for (std::uint64_t written = 4; written < size; written += block.size()) {
            big.write(block.data(), static_cast<std::streamsize>(
                                        std::min<std::uint64_t>(block.size(), size - written)));
        }
    }
    box.SaveJob({kMark}, {CFileList("site/huge.htm", 0, 0, 0, nullptr)},
                [](wendo::CWendoDoc& d) { d.Backup = 0; });
    const Outcome run = box.Run({"--quiet", "job.wdo"});
    EXPECT_EQ(run.status, 0) << run.out;
    std::ifstream in(box.Path("site/huge.htm"), std::ios::binary);
    char head[4] = {};
    in.read(head, 4);
    EXPECT_EQ(std::string(head, 4), "DONE");
    EXPECT_EQ(fs::file_size(box.Path("site/huge.htm")), size);
}

} // namespace
} // namespace faults
