// The report file: its bytes, the in-place rewrite of the header, the line forms, reading it
// back with LoadReport, and the time text both sides share.

#include "RunTestSupport.h"
#include "engine/Report.h"
#include "os/filelock.h"

#include <regex>
#include <sys/stat.h>

namespace wendo::test {
namespace {

const std::string kAtoB = "FINDREPL CASESENS DELIMITER ~a~ VALUE ~b~";
const std::string kCtoD = "FINDREPL CASESENS DELIMITER ~c~ VALUE ~d~";

class Report : public RunTest
{
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        m_doc.Report = 1;
        m_doc.ModifTime = 1700000000;
    }
    std::string ReportBytes() const { return Read("job.log"); }
};

std::string Pad(const std::string& text, std::size_t width)
{
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

TEST_F(Report, BytesOfACompletedRun)
{
    Write("w/a.htm", "a a c");
    Write("w/same.htm", "q");
    AddCommand(kAtoB);
    AddCommand(kCtoD);
    AddPath("w/*.htm", false);
    std::string firstHeader;
    m_target.SetHook([&](uint32_t message, intptr_t) {
        if (message == WMU_RUN_PROCESSING) {
            firstHeader = ReportBytes();
        }
    });
    ASSERT_EQ(RunToEnd(), FileResult::UNCHANGED);
    const std::string bytes = ReportBytes();

    const std::string expectedHead =
        "#Wendo Report file\r\n#\r\n#\r\n\r\n[GLOBAL]\r\nCMDFILE=" + PathOf("job.wdo") +
        "\r\nLOG_VERSION=1.01\r\n";
    ASSERT_EQ(bytes.compare(0, expectedHead.size(), expectedHead), 0) << bytes;
    const std::regex time("LASTREPORTTIME=([0-9]+) +\r\n");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(bytes, found, time));
    EXPECT_EQ(found.length(0), std::string("LASTREPORTTIME=").size() + 25 + 3);
    EXPECT_EQ(std::stoll(found[1].str()), m_doc.LastReportTime);

    const std::string expectedTail =
        "MODIFTIME=" + Pad("1700000000", 25) + " \r\nSTATE=" + Pad("All parsing done", 50) +
        " \r\n\r\n[TOTALS]\r\nMAXINC=" + Pad("2", 15) + "\r\nTOTALEXCLUDE=" + Pad("0", 15) +
        "\r\nTOTALMODIFIED=" + Pad("1", 15) + "\r\nTOTALITERATION=" + Pad("3", 15) +
        "\r\nTOTALDIREXCLUDE=" + Pad("0", 15) + "\r\nTOTALDIRMODIFIED=" + Pad("1", 15) +
        "\r\nTOTALBYCMD=~CMD00=" + Pad("3", 15) + "~,~CMD01=" + Pad("2", 15) +
        "~,~CMD02=" + Pad("1", 15) + "~,\r\n\r\n[MODIFPATH]\r\n\"" + PathOf("w/a.htm") +
        "\" ~FIND REPLACE(2) , FIND REPLACE(1) ~\r\n";
    ASSERT_GE(bytes.size(), expectedTail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - expectedTail.size()), expectedTail);

    // The first header had the same length and the initial state; the rewrite left the lines.
    ASSERT_FALSE(firstHeader.empty());
    EXPECT_NE(firstHeader.find("STATE=" + Pad("Initialysing parse command to process ... ", 50) +
                               " \r\n"),
              std::string::npos);
    EXPECT_NE(firstHeader.find("~CMD02=" + Pad("0", 15) + "~,"), std::string::npos);
    const std::size_t headerEnd = bytes.find("[MODIFPATH]\r\n") + 13;
    EXPECT_EQ(firstHeader.size(), headerEnd);
    EXPECT_EQ(m_doc.ReportModifTime, 1700000000);
}

TEST_F(Report, WhichFilesGetALineAndInWhichForm)
{
    struct Case
    {
        const char* name;
        int32_t logUnmodified;
        bool fileStat;
        std::vector<std::string> lines; // regular expressions, in order
    };
    const std::string changed = "\"" + PathOf("w/a.htm") + "\" ~FIND REPLACE\\(1\\) ~";
    const std::string same = "\"" + PathOf("w/same.htm") + "\" ~~";
    const std::string stats = " ~[0-9]+~ ~[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}~"
                              " ~[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}~";
    const std::vector<Case> cases = {
        {"only files with a message", 0, false, {changed}},
        {"LOGUNMODIF lists unmodified files with an empty message", 1, false, {changed, same}},
        {"DISPLAY_FILESTAT gives every file the long form",
         0,
         true,
         {changed + stats, same + stats}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("w/a.htm", "a");
        Write("w/same.htm", "q");
        m_doc.FileSet.Clear();
        AddPath("w/*.htm", false);
        m_doc.Commands.clear();
        if (c.fileStat) {
            AddCommand("DISPLAY_FILESTAT");
        }
        AddCommand(kAtoB);
        m_doc.LogUnmodified = c.logUnmodified;
        m_target.Clear();
        RunToEnd();
        const std::string bytes = ReportBytes();
        const std::string body = bytes.substr(bytes.find("[MODIFPATH]\r\n") + 13);
        std::string pattern;
        for (const std::string& line : c.lines) {
            pattern += line + "\r\n";
        }
        EXPECT_TRUE(std::regex_match(body, std::regex(pattern))) << body;
    }
}

TEST_F(Report, NoReportWhenOffAndNothingToLoad)
{
    Write("a.htm", "a");
    AddCommand(kAtoB);
    AddPath("a.htm", false);
    m_doc.Report = 0;
    RunToEnd();
    EXPECT_FALSE(fs::exists(m_root / "job.log"));
    EXPECT_EQ(m_doc.LoadReport(), 0);
    m_doc.Report = 1;
    EXPECT_EQ(m_doc.LoadReport(), 0) << "no file";
}

TEST_F(Report, LoadReportRestoresTotalsCountsAndRows)
{
    Write("w/a.htm", "a a c");
    Write("w/b.htm", "c");
    Write("w/same.htm", "q");
    AddCommand("DISPLAY_FILESTAT");
    AddCommand(kAtoB);
    AddCommand(kCtoD);
    AddPath("w/*.htm", false);
    ASSERT_EQ(RunToEnd(), FileResult::UNCHANGED);
    struct stat st
    {
    };
    ASSERT_EQ(::stat(PathOf("w/same.htm").c_str(), &st), 0);
    const RunRecord& run = m_doc.Run;
    const std::vector<int32_t> totals = {run.MaxInc,          run.TotalExclude,
                                         run.TotalModified,   run.TotalIteration,
                                         run.TotalDirExclude, run.TotalDirModified};
    const std::vector<int32_t> counters = run.Counters();

    CWendoDoc reader;
    reader.SetPathName(PathOf("job.wdo"));
    reader.Report = 1;
    RunTarget target;
    EngineServices services(&target, {});
    reader.SetRunServices(&services);
    std::vector<std::pair<std::string, std::string>> rows;
    target.SetHook([&](uint32_t message, intptr_t) {
        if (message == WMU_ADD_FILE_LINE) {
            rows.emplace_back(reader.Run.Status(), reader.Run.FileMessage());
        }
    });
    ASSERT_EQ(reader.LoadReport(), 1);
    const RunRecord& back = reader.Run;
    EXPECT_EQ(
        (std::vector<int32_t>{back.MaxInc, back.TotalExclude, back.TotalModified,
                              back.TotalIteration, back.TotalDirExclude, back.TotalDirModified}),
        totals);
    EXPECT_EQ(back.Counters(), counters);
    EXPECT_EQ(back.CommandType, -1);
    EXPECT_EQ(reader.LastReportTime, m_doc.LastReportTime);
    const std::vector<std::pair<std::string, std::string>> expectedRows = {
        {PathOf("w/a.htm"), "FIND REPLACE(2) , FIND REPLACE(1) "},
        {PathOf("w/b.htm"), "FIND REPLACE(1) "},
        {PathOf("w/same.htm"), ""}};
    EXPECT_EQ(rows, expectedRows);
    EXPECT_EQ(target.Params(WMU_ADD_FILE_LINE), (std::vector<intptr_t>{1, 1, 1}));
    // The statistics of the last row are those of the file.
    EXPECT_EQ(back.FileSize, 1);
    EXPECT_EQ(back.FileModifTime, st.st_mtime);
    const std::vector<uint32_t> messages = target.Messages();
    ASSERT_GE(messages.size(), 5U);
    const std::vector<uint32_t> start(messages.begin(), messages.begin() + 5);
    EXPECT_EQ(start, (std::vector<uint32_t>{WMU_FILE_NAME, WMU_COUNTERS, WMU_REPLACED,
                                            WMU_COMMAND_BEGIN, WMU_FILE_MODIFIED}));
}

TEST_F(Report, LoadReportReadsHandWrittenLines)
{
    m_doc.Report = 1;
    Write("job.log", "[GLOBAL]\r\nLASTREPORTTIME=42   \r\nSTATE=Cancel by user   \r\n"
                     "[TOTALS]\r\nMAXINC=7  \r\nTOTALBYCMD=~CMD00=5 ~,~CMD07=2~,junk~x~,\r\n"
                     "[MODIFPATH]\r\n"
                     "\"/x/one.htm\" ~L(1) ~ ~10~ ~01/02/2020 03:04:05~ ~NULL~\r\n"
                     "no quotes here ~m~\r\n"
                     "\"/x/no-message.htm\"\r\n"
                     "\"/x/two.htm\" ~L(2) ~\r\n");
    std::vector<std::pair<std::string, std::string>> rows;
    std::vector<int64_t> sizes;
    m_target.SetHook([&](uint32_t message, intptr_t) {
        if (message == WMU_ADD_FILE_LINE) {
            rows.emplace_back(m_doc.Run.Status(), m_doc.Run.FileMessage());
            sizes.push_back(m_doc.Run.FileSize);
        }
    });
    ASSERT_EQ(m_doc.LoadReport(), 1);
    EXPECT_EQ(m_doc.LastReportTime, 42);
    EXPECT_EQ(m_doc.Run.MaxInc, 7);
    EXPECT_EQ(m_doc.Run.TotalModified, 0);
    EXPECT_EQ(m_doc.Run.Counters(), (std::vector<int32_t>{5, 2}));
    const std::vector<std::pair<std::string, std::string>> expected = {{"/x/one.htm", "L(1) "},
                                                                       {"/x/two.htm", "L(2) "}};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(sizes, (std::vector<int64_t>{10, 10})) << "a short line keeps the statistics";
    EXPECT_EQ(m_doc.Run.FileModifTime, ParseReportTime("01/02/2020 03:04:05"));
    EXPECT_EQ(m_doc.Run.FileAccessTime, 0);
}

TEST_F(Report, ReportHeldByARunCannotBeLoadedOrWrittenByAnother)
{
    Write("job.log", "[GLOBAL]\r\nSTATE=x\r\n");
    const os::FileHandle held(os::CreateHeldForWriting(PathOf("job.log")));
    ASSERT_TRUE(held.valid());
    EXPECT_EQ(m_doc.LoadReport(), 0);

    Write("a.htm", "a");
    AddCommand(kAtoB);
    AddPath("a.htm", false);
    EXPECT_EQ(RunToEnd(), FileResult::NOT_OPENED);
    EXPECT_EQ(Read("a.htm"), "a");
}

TEST(ReportTime, ReadsWhatItWrites)
{
    for (const int64_t t : {int64_t{1}, int64_t{86399}, int64_t{951782400}, int64_t{1700000000},
                            int64_t{4102444799}}) {
        EXPECT_EQ(ParseReportTime(FormatReportTime(t)), t) << FormatReportTime(t);
    }
    EXPECT_EQ(FormatReportTime(0), "NULL");
    for (const char* bad : {"NULL", "", "13/01/2020 00:00:00", "01/02/2020", "1/2/2020 3:4:5",
                            "01/02/2020 03:04:05 x", "aa/bb/cccc dd:ee:ff"}) {
        EXPECT_EQ(ParseReportTime(bad), 0) << bad;
    }
    EXPECT_EQ(ParseReportTime(" 01/02/2020 03:04:05 "), ParseReportTime("01/02/2020 03:04:05"));
}

} // namespace
} // namespace wendo::test
