// The command file: exact bytes written, the read table's defaults and rules, the read-error
// question, the look at the report, and malformed files.
#include "ModelTestSupport.h"
#include "brio/times.h"
#include "model/CommandFile.h"
#include "model/WendoDoc.h"

#include <memory>
#include <random>

using namespace wendo;
using namespace wendo::test;
using core::PromptAnswer;

namespace {

const std::string kHeader = "#Korvel Parsers\n#\n#Wendo File\n#\n#\n"
                            "# WARNING: THIS FILE CAN NOT BE EDIT.\n"
                            "#Any manual modifications won't be support by Korvel\n#\n#\n";

class CommandFileTest : public TempFolderTest
{
protected:
    std::unique_ptr<CWendoDoc> Load(const std::string& path, core::Prompter* prompter = nullptr)
    {
        return core::OpenDocumentFile<CWendoDoc>(path, prompter);
    }
    // Writes bytes as name and loads them.
    std::unique_ptr<CWendoDoc> LoadBytes(const std::string& bytes,
                                         core::Prompter* prompter = nullptr,
                                         const std::string& name = "cmd.wdo")
    {
        WriteAll(PathOf(name), bytes);
        return Load(PathOf(name), prompter);
    }

    static std::vector<std::string> PathsOf(const CWendoDoc& doc)
    {
        std::vector<std::string> paths;
        for (const CFileList& entry : doc.FileSet.Entries()) {
            paths.push_back(entry.GetStrFileList());
        }
        return paths;
    }
    static std::vector<std::string> TextsOf(const CWendoDoc& doc)
    {
        std::vector<std::string> texts;
        for (const CParseCmdList& command : doc.Commands) {
            texts.push_back(command.Text);
        }
        return texts;
    }
    static std::string File(const std::string& global, const std::string& paths = "",
                            const std::string& commands = "")
    {
        return kHeader + "\n[GLOBAL]\n" + global + "\n[FILEPATH]\n" + paths + "\n[COMMAND]\n" +
               commands;
    }
};

void Store(CWendoDoc& doc, const std::string& text)
{
    ASSERT_EQ(doc.StoreCommand(-1, CParseCmd(text), nullptr, 0), 1);
}

TEST_F(CommandFileTest, WritesTheLayoutByteForByte)
{
    CWendoDoc doc;
    doc.ReportPath = "reports\\site.log";
    doc.BackupExt = "old";
    doc.Verbose = 1;
    doc.Rewind = 1;
    doc.LogUnmodified = 1;
    doc.NoWrite = 1;
    doc.Backup = 0;
    doc.LastRunTime = 4102444800; // beyond 32 bits
    doc.FromLine = 3;
    doc.ToLine = -2;
    doc.FileSet.Append(CFileList("C:\\site\\*.htm", 1, 0, 0, nullptr));
    doc.FileSet.Append(CFileList("*.bak", 1, 1, 0, "note"));
    Store(doc, "FINDREPL VALUE ~a~DELIMITER ~b~");
    Store(doc, "REWIND");
    Store(doc, "DISPLAY_FILESTAT");

    const int64_t before = TimeNow();
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("site.wdo")));
    const int64_t after = TimeNow();
    EXPECT_GE(doc.ModifTime, before);
    EXPECT_LE(doc.ModifTime, after);

    const std::string expected = kHeader +
                                 "\n[GLOBAL]\nLOGFILE=reports\\site.log\n"
                                 "WDO_VERSION=1.01\n"
                                 "MODIFTIME=" +
                                 std::to_string(doc.ModifTime) +
                                 "\n"
                                 "LASTRUNTIME=4102444800\n"
                                 "VERBOSE=YES\n"
                                 "FROMLINE=3\n"
                                 "TOLINE=-2\n"
                                 "BACKUPEXT=old\n"
                                 "BACKUP=OFF\n"
                                 "REWIND=ON\n"
                                 "REPORT=OFF\n"
                                 "LOGUNMODIF=YES\n"
                                 "WRITE2FILE=NO\n"
                                 "NBSUBCMD=3\n"
                                 "NBFILEWENDO=2\n"
                                 "\n[FILEPATH]\n"
                                 ":~:FILTER RECURS_ON C:/site/*.htm:~:\n"
                                 ":~:EXCL_FILTER RECURS_ON *.bak ~note~:~:\n"
                                 "\n[COMMAND]\n"
                                 ":~: DISPLAY_FILESTAT :~:\n"
                                 ":~: FINDREPL VALUE ~a~DELIMITER ~b~ :~:\n"
                                 ":~: REWIND :~:\n";
    EXPECT_EQ(ReadAll(PathOf("site.wdo")), expected);
}

TEST_F(CommandFileTest, NewDocumentLeavesOutZeroLinesAndAnEmptyExtension)
{
    CWendoDoc doc;
    doc.BackupExt.clear();
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("new.wdo")));
    const std::string expected = kHeader + "\n[GLOBAL]\nLOGFILE=\nWDO_VERSION=1.01\nMODIFTIME=" +
                                 std::to_string(doc.ModifTime) +
                                 "\nLASTRUNTIME=0\nVERBOSE=NO\nBACKUP=ON\nREWIND=OFF\n"
                                 "REPORT=OFF\nLOGUNMODIF=NO\nWRITE2FILE=YES\nNBSUBCMD=0\n"
                                 "NBFILEWENDO=0\n\n[FILEPATH]\n\n[COMMAND]\n";
    EXPECT_EQ(ReadAll(PathOf("new.wdo")), expected);

    auto loaded = Load(PathOf("new.wdo"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->FromLine, 0);
    EXPECT_EQ(loaded->ToLine, 0);
    EXPECT_EQ(loaded->BackupExt, "");
}

TEST_F(CommandFileTest, WrittenFileReadsBackTheSame)
{
    CWendoDoc doc;
    doc.ReportPath = "  spaced.log  "; // read back trimmed
    doc.BackupExt = " b~k";
    doc.Verbose = 1;
    doc.Report = 0;
    doc.FromLine = -32768;
    doc.ToLine = 32767;
    doc.LastRunTime = 1700000000;
    doc.FileSet.Append(CFileList("site/*.htm", 1, 0, 0, nullptr));
    doc.FileSet.Append(CFileList("site/old/*.htm", 0, 1, 1, "opt"));
    doc.FileSet.Append(CFileList("site/help/returns.txt", 0, 0, 0, nullptr));
    CParseCmd tricky("FINDREPL");
    tricky.Value = "x:~:y";
    tricky.Delimiter1 = "<b>~</b>";
    tricky.BuildText();
    EXPECT_NE(tricky.Text.find("VALUE ~x:~~:y~"), std::string::npos) << tricky.Text;
    for (const std::string& text :
         {std::string("FINDREPL_KEEPCONTENT DELIMITER ~<!--a-->~DELIMITER ~<!--b-->~VALUE ~v~"),
          std::string("CHANGE_IMG REPLACE SRC_TAG SRC ~*~VALUE ~~"),
          std::string("CHANGE_ANCHOR APPEND ANCHOR_TAG SRC ~http://*~VALUE ~target=\"_top\"~"),
          tricky.Text, std::string("# a note"), std::string("REWIND")}) {
        Store(doc, text);
    }
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("round.wdo")));

    auto loaded = Load(PathOf("round.wdo"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->ReportPath, "spaced.log");
    EXPECT_EQ(loaded->BackupExt, " b~k");
    EXPECT_EQ(loaded->Verbose, 1);
    EXPECT_EQ(loaded->Report, 0);
    EXPECT_EQ(loaded->Backup, 1);
    EXPECT_EQ(loaded->NoWrite, 0);
    EXPECT_EQ(loaded->FromLine, -32768);
    EXPECT_EQ(loaded->ToLine, 32767);
    EXPECT_EQ(loaded->LastRunTime, 1700000000);
    EXPECT_EQ(loaded->ModifTime, doc.ModifTime);
    EXPECT_EQ(PathsOf(*loaded), PathsOf(doc));
    EXPECT_EQ(TextsOf(*loaded), TextsOf(doc));
    const CParseCmdList& back = *std::next(loaded->Commands.begin(), 3);
    EXPECT_EQ(back.Value, "x:~:y");
    EXPECT_EQ(back.Delimiter1, "<b>~</b>");
    EXPECT_FALSE(loaded->IsModified());
}

TEST_F(CommandFileTest, HeaderAndGlobalAloneLoadWithTheReadDefaults)
{
    const int64_t before = TimeNow();
    auto doc = LoadBytes(kHeader + "\n[GLOBAL]\n");
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->Commands.empty());
    EXPECT_EQ(doc->FileSet.Count(), 0);
    EXPECT_EQ(doc->Report, 1);
    EXPECT_EQ(doc->Backup, 0);
    EXPECT_EQ(doc->NoWrite, 0);
    EXPECT_EQ(doc->Verbose, 0);
    EXPECT_EQ(doc->Rewind, 0);
    EXPECT_EQ(doc->LogUnmodified, 0);
    EXPECT_EQ(doc->BackupExt, "");
    EXPECT_EQ(doc->LastRunTime, 0);
    EXPECT_GE(doc->ModifTime, before);
    EXPECT_LE(doc->ModifTime, TimeNow());
}

TEST_F(CommandFileTest, SwitchesReadWithoutRegardToCase)
{
    struct Row
    {
        const char* global;
        int32_t CWendoDoc::*field;
        int32_t expected;
    };
    const std::vector<Row> rows = {
        {"VERBOSE=yes\n", &CWendoDoc::Verbose, 1},
        {"VERBOSE=NO\n", &CWendoDoc::Verbose, 0},
        {"VERBOSE=ON\n", &CWendoDoc::Verbose, 0},
        {"BACKUP=on\n", &CWendoDoc::Backup, 1},
        {"BACKUP=YES\n", &CWendoDoc::Backup, 0},
        {"REWIND=On\n", &CWendoDoc::Rewind, 1},
        {"REPORT=off\n", &CWendoDoc::Report, 0},
        {"REPORT=maybe\n", &CWendoDoc::Report, 0},
        {"LOGUNMODIF=Yes\n", &CWendoDoc::LogUnmodified, 1},
        {"WRITE2FILE=no\n", &CWendoDoc::NoWrite, 1},
        {"WRITE2FILE=anything\n", &CWendoDoc::NoWrite, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.global);
        auto doc = LoadBytes(File(std::string("REPORT=OFF\n") + row.global));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ((*doc).*row.field, row.expected);
    }
}

TEST_F(CommandFileTest, NumbersReadAsTheCLibraryReadsThemAndLinesStay16Bit)
{
    auto doc = LoadBytes(File("REPORT=OFF\nFROMLINE= 12abc\nTOLINE=70000\nMODIFTIME=  \n"
                              "LASTRUNTIME=-5\n"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->FromLine, 12);
    EXPECT_EQ(doc->ToLine, static_cast<int16_t>(70000 - 65536));
    EXPECT_GT(doc->ModifTime, 0); // blank: the time of loading
    EXPECT_EQ(doc->LastRunTime, -5);
}

TEST_F(CommandFileTest, ValuesAreCutAt255CharactersButPathsAreReadWhole)
{
    const std::string longPath(300, 'p');
    const std::string padded = std::string(254, ' ') + "12"; // the cut keeps " ...1"
    auto doc = LoadBytes(File("REPORT=OFF\nLOGFILE=" + longPath + "\nBACKUPEXT=" + longPath +
                              "\nLASTRUNTIME=" + padded + "\n"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->LastRunTime, 1);
    EXPECT_EQ(doc->ReportPath, longPath);
    EXPECT_EQ(doc->BackupExt, longPath);
}

TEST_F(CommandFileTest, CountsThatDisagreeWithTheLinesPresent)
{
    const std::string paths = ":~:FILTER RECURS_ON a/*.htm:~:\n:~:FILTER RECURS_OFF b/*.htm:~:\n";
    const std::string commands = ":~: FINDREPL VALUE ~1~ :~:\n:~: FINDREPL VALUE ~2~ :~:\n";
    struct Row
    {
        const char* name;
        const char* count; // nullptr: the key is missing
        std::size_t expected;
    };
    const std::vector<Row> rows = {
        {"larger", "5", 2},
        {"equal", "2", 2},
        {"smaller", "1", 1},
        {"zero", "0", 0},
        {"negative", "-3", 0},
        {"missing", nullptr, 0},
        {"huge", "99999999999999999999", 2},
        {"not_a_number", "x", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string global = "REPORT=OFF\n";
        if (row.count != nullptr) {
            global += std::string("NBSUBCMD=") + row.count + "\nNBFILEWENDO=" + row.count + "\n";
        }
        auto doc = LoadBytes(File(global, paths, commands));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->Commands.size(), row.expected);
        EXPECT_EQ(static_cast<std::size_t>(doc->FileSet.Count()), row.expected);
        if (row.expected == 1) {
            EXPECT_EQ(doc->Commands.front().Value, "1");
            EXPECT_EQ(doc->FileSet.Entries().front().GetURLPath(), "a/*.htm");
        }
    }
}

TEST_F(CommandFileTest, BlankCommentAndUnknownCommandLinesAreKept)
{
    auto doc = LoadBytes(File("REPORT=OFF\nNBSUBCMD=3\n", "",
                              ":~:    :~:\n:~: # note :~:\n:~: FOO VALUE ~x~ :~:\n"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(TextsOf(*doc), (std::vector<std::string>{"FINDREPL DELIMITER ~~ VALUE ~~ ", "# note",
                                                       "FOO VALUE ~x~"}));
    EXPECT_EQ(doc->Commands.front().Type, CmdType::FINDREPL);
    EXPECT_EQ(doc->Commands.back().Type, CmdType::UNKNOWN);
}

TEST_F(CommandFileTest, ReadErrorQuestionYesSkipsTheCommandNoFailsTheLoad)
{
    const std::string bad = " FINDREPL VALUE ~abc ";
    const std::string bytes =
        File("REPORT=OFF\nNBSUBCMD=3\n", ":~:FILTER RECURS_ON a/*.htm:~:\n",
             ":~: FINDREPL VALUE ~1~ :~:\n:~:" + bad + ":~:\n:~: REWIND :~:\n");
    const std::string question =
        "ERROR occured while reading from command file:\n\nCOMMAND: " + bad +
        "\n\nERROR: Wendo ERROR : Bad VALUE\n\nWould you like to "
        "continue ?";

    ScriptedPrompter yes({PromptAnswer::Yes});
    auto doc = LoadBytes(bytes, &yes);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(TextsOf(*doc), (std::vector<std::string>{"FINDREPL VALUE ~1~", "REWIND"}));
    ASSERT_EQ(yes.asked.size(), 1U);
    EXPECT_EQ(yes.asked[0], question);
    EXPECT_EQ(yes.buttons[0], core::PromptButtons::YesNo);
    EXPECT_EQ(yes.icons[0], core::PromptIcon::Exclamation);

    ScriptedPrompter no({PromptAnswer::No});
    EXPECT_EQ(LoadBytes(bytes, &no), nullptr);
    ASSERT_EQ(no.asked.size(), 2U); // the question, then the failed load
    EXPECT_EQ(no.asked[0], question);
    EXPECT_NE(no.asked[1].find("Unexpected file format."), std::string::npos);
    EXPECT_EQ(ReadAll(PathOf("cmd.wdo")), bytes);
}

TEST_F(CommandFileTest, ReadErrorQuestionQuotesTheFirst80Characters)
{
    const std::string bad = " CHANGE_IMG ADD REPLACE SRC ~" + std::string(100, 'x') + "~VALUE ~v~ ";
    ScriptedPrompter yes({PromptAnswer::Yes});
    auto doc = LoadBytes(File("REPORT=OFF\nNBSUBCMD=1\n", "", ":~:" + bad + ":~:\n"), &yes);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(yes.asked.size(), 1U);
    EXPECT_NE(yes.asked[0].find("COMMAND: " + bad.substr(0, 80) + "\n\nERROR: "),
              std::string::npos);
}

// The load prompt names the compiler's reason and where it points, beside the error.
TEST_F(CommandFileTest, ReadErrorQuestionExplainsABadRegularExpression)
{
    const std::string good = " FINDREPL REGEX VALUE ~<b>$1</b>~DELIMITER ~\\{\\{(\\w+)\\}\\}~ ";
    const std::string bad = " FINDREPL REGEX DELIMITER ~a(b~ ";
    ScriptedPrompter yes({PromptAnswer::Yes});
    auto doc = LoadBytes(
        File("REPORT=OFF\nNBSUBCMD=2\n", "", ":~:" + good + ":~:\n:~:" + bad + ":~:\n"), &yes);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(TextsOf(*doc), (std::vector<std::string>{good.substr(1, good.size() - 2)}));
    ASSERT_EQ(yes.asked.size(), 1U);
    EXPECT_NE(yes.asked[0].find("\n\nERROR: Wendo ERROR : Bad regular expression\nmissing closing "
                                "parenthesis (pattern, offset 3)\n\nWould"),
              std::string::npos)
        << yes.asked[0];
}

TEST_F(CommandFileTest, LooksAtTheReportOfTheLastRun)
{
    const std::string head = "#Wendo Report file\n#\n#\n\n[GLOBAL]\nCMDFILE=c.wdo\n"
                             "LOG_VERSION=1.01\nLASTREPORTTIME=1700000100                \n"
                             "MODIFTIME=1700000000                \nSTATE=All parsing done \n";
    struct Row
    {
        const char* name;
        std::string global;
        const char* reportName; // nullptr: no report file
        std::string report;
        int64_t lastReport;
        int64_t reportModif;
    };
    const std::vector<Row> rows = {
        {"missing", "REPORT=ON\n", nullptr, "", 0, 0},
        {"short_read_whole", "REPORT=ON\n", "cmd.log", head, 1700000100, 1700000000},
        {"named_by_logfile", "LOGFILE=" + PathOf("other.log") + "\n", "other.log", head, 1700000100,
         1700000000},
        {"empty", "", "cmd.log", "", 0, 0},
        {"report_off", "REPORT=OFF\n", "cmd.log", head, 0, 0},
        {"keys_beyond_256_bytes", "", "cmd.log",
         "#Wendo Report file\n\n[GLOBAL]\nCMDFILE=" + std::string(260, 'c') +
             "\nLASTREPORTTIME=5\nMODIFTIME=6\n",
         0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(m_dir / "cmd.log");
        fs::remove(m_dir / "other.log");
        if (row.reportName != nullptr) {
            WriteAll(m_dir / row.reportName, row.report);
        }
        auto doc = LoadBytes(File(row.global));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->LastReportTime, row.lastReport);
        EXPECT_EQ(doc->ReportModifTime, row.reportModif);
    }
}

TEST_F(CommandFileTest, AReportThatIsAFolderIsNoReport)
{
    fs::create_directories(m_dir / "cmd.log");
    EXPECT_NE(LoadBytes(File("REPORT=ON\n")), nullptr);
}

TEST_F(CommandFileTest, MalformedFilesLoadWithDefaultsOrFailAndStayUnchanged)
{
    std::string binary;
    std::mt19937 random(7);
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>(random() & 0xFF);
    }
    struct Row
    {
        const char* name;
        std::string bytes;
        bool loads;
    };
    const std::vector<Row> rows = {
        {"empty", "", false},
        {"binary", binary, true},
        {"nul_inside", std::string("[GLOBAL]\nREPORT=OFF\n\0NBSUBCMD=1", 31), true},
        {"no_sections", "just some text\nNBSUBCMD=4\n:~: REWIND :~:\n", true},
        {"huge_counts",
         File("REPORT=OFF\nNBSUBCMD=2147483647\nNBFILEWENDO=2147483647\n",
              ":~:FILTER RECURS_ON a:~:\n", ":~: REWIND :~:\n"),
         true},
        {"section_without_end", kHeader + "[GLOBAL\nREPORT=OFF\n[COMMAND\n:~: REWIND :~:\n", true},
        {"marker_never_closed",
         File("REPORT=OFF\nNBSUBCMD=2\nNBFILEWENDO=1\n", ":~:FILTER RECURS_ON a",
              ":~: FINDREPL VALUE ~x~\n"),
         true},
        {"only_markers", File("REPORT=OFF\nNBSUBCMD=9\n", "", ":~::~::~::~::~::~:"), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPrompter prompter;
        auto doc = LoadBytes(row.bytes, &prompter);
        EXPECT_EQ(doc != nullptr, row.loads);
        EXPECT_EQ(ReadAll(PathOf("cmd.wdo")), row.bytes);
    }
}

TEST_F(CommandFileTest, EveryTruncationOfAFileLoadsOrFailsCleanly)
{
    CWendoDoc doc;
    doc.FileSet.Append(CFileList("site/*.htm", 1, 0, 0, nullptr));
    Store(doc, "FINDREPL VALUE ~a~DELIMITER ~b~");
    Store(doc, "CHANGE_IMG REPLACE SRC_TAG SRC ~*~VALUE ~~");
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("whole.wdo")));
    const std::string whole = ReadAll(PathOf("whole.wdo"));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const std::string cut = whole.substr(0, length);
        ScriptedPrompter prompter;
        auto loaded = LoadBytes(cut, &prompter);
        EXPECT_EQ(loaded == nullptr, length == 0) << length;
        ASSERT_EQ(ReadAll(PathOf("cmd.wdo")), cut);
    }
}

} // namespace
