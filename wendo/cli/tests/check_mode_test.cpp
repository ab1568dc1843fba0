// wendo-run --check, run as a program on command files in a temporary folder.
#include "CliTestSupport.h"
#include "model/WendoDoc.h"

using namespace wendo;
using namespace wendo::cli::test;

namespace {

class CheckModeTest : public CliTest
{
protected:
    std::string WriteFile(const std::string& name, const std::string& bytes) const
    {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Never lets the program wait for an answer from the test's own terminal.
    Outcome Check(const std::string& path, const std::string& extra = "") const
    {
        return Wendo("--check '" + path + "' " + extra + " </dev/null");
    }
};

const std::string kHeader = "#Korvel Parsers\n#\n#Wendo File\n#\n#\n"
                            "# WARNING: THIS FILE CAN NOT BE EDIT.\n"
                            "#Any manual modifications won't be support by Korvel\n#\n#\n";

TEST_F(CheckModeTest, PrintsTheOptionsPathsAndCommandsTheDocumentHolds)
{
    CWendoDoc doc;
    doc.ReportPath = "run.log";
    doc.NoWrite = 1;
    doc.Verbose = 1;
    doc.FromLine = 2;
    doc.ToLine = -1;
    doc.LastRunTime = 4102444800;
    doc.FileSet.Append(CFileList("site/*.htm", 1, 0, 0, nullptr));
    doc.FileSet.Append(CFileList("*.bak", 1, 1, 0, nullptr));
    doc.StoreCommand(-1, CParseCmd("FINDREPL VALUE ~new~DELIMITER ~old~"), nullptr, 0);
    doc.StoreCommand(-1, CParseCmd("# kept"), nullptr, 0);
    const std::string path = (m_dir / "job.wdo").string();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    WriteFile("run.log", "#Wendo Report file\n\n[GLOBAL]\nLASTREPORTTIME=77   \nMODIFTIME=66\n");

    const Outcome run = Check(path);
    ASSERT_EQ(run.status, 0) << run.err;
    const json object = json::parse(run.out);
    const json& options = object.at("options");
    EXPECT_EQ(options.at("LOGFILE"), "run.log");
    EXPECT_EQ(options.at("MODIFTIME"), doc.ModifTime);
    EXPECT_EQ(options.at("LASTRUNTIME"), 4102444800);
    EXPECT_EQ(options.at("VERBOSE"), true);
    EXPECT_EQ(options.at("FROMLINE"), 2);
    EXPECT_EQ(options.at("TOLINE"), -1);
    EXPECT_EQ(options.at("BACKUPEXT"), "bak");
    EXPECT_EQ(options.at("BACKUP"), true);
    EXPECT_EQ(options.at("REWIND"), false);
    EXPECT_EQ(options.at("REPORT"), false);
    EXPECT_EQ(options.at("LOGUNMODIF"), false);
    EXPECT_EQ(options.at("WRITE2FILE"), false);
    EXPECT_EQ(object.at("lastReportTime"), 0); // REPORT is off: the report is not looked at
    EXPECT_EQ(object.at("paths"),
              json::array({"FILTER RECURS_ON site/*.htm", "EXCL_FILTER RECURS_ON *.bak"}));
    ASSERT_EQ(object.at("commands").size(), 2U);
    EXPECT_EQ(object.at("commands")[0].at("value"), "new");
    EXPECT_EQ(object.at("commands")[0].at("label"), "FIND REPLACE");
    EXPECT_EQ(object.at("commands")[1].at("type"), -1);
    EXPECT_FALSE(object.at("commands")[0].contains("line"));
}

TEST_F(CheckModeTest, ReportTimesComeFromTheReportBesideTheCommandFile)
{
    const std::string path = WriteFile("job.wdo", kHeader + "\n[GLOBAL]\nREPORT=ON\n");
    WriteFile("job.log", "#Wendo Report file\n\n[GLOBAL]\nLASTREPORTTIME=77   \nMODIFTIME=66\n");
    const Outcome run = Check(path);
    ASSERT_EQ(run.status, 0) << run.err;
    const json object = json::parse(run.out);
    EXPECT_EQ(object.at("lastReportTime"), 77);
    EXPECT_EQ(object.at("reportModifTime"), 66);
}

TEST_F(CheckModeTest, ACommandInErrorIsAnsweredNoWithoutATerminalAndYesWithTheFlag)
{
    const std::string bytes = kHeader + "\n[GLOBAL]\nREPORT=OFF\nNBSUBCMD=2\n\n[COMMAND]\n"
                                        ":~: FINDREPL VALUE ~abc :~:\n:~: REWIND :~:\n";
    const std::string path = WriteFile("bad.wdo", bytes);

    const Outcome refused = Check(path);
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_NE(refused.err.find("COMMAND:  FINDREPL VALUE ~abc \n\nERROR: Wendo ERROR : Bad VALUE"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("Unexpected file format."), std::string::npos);
    EXPECT_EQ(ReadFile(path), bytes);

    const Outcome accepted = Check(path, "--yes");
    ASSERT_EQ(accepted.status, 0) << accepted.err;
    const json object = json::parse(accepted.out);
    ASSERT_EQ(object.at("commands").size(), 1U);
    EXPECT_EQ(object.at("commands")[0].at("type"), 5);
    EXPECT_EQ(ReadFile(path), bytes);
}

TEST_F(CheckModeTest, FilesThatDoNotLoadExitWithTwo)
{
    const std::string empty = WriteFile("empty.wdo", "");
    for (const std::string& path : {empty, (m_dir / "missing.wdo").string(), m_dir.string()}) {
        SCOPED_TRACE(path);
        const Outcome run = Check(path);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(Wendo("--yes </dev/null").status, 2);
    EXPECT_EQ(Wendo("--check </dev/null").status, 2);
}

} // namespace
