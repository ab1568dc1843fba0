// examples/site.wdo is what WriteCommandFile writes for the sample site's document. This test
// builds that document and compares; with WENDO_REGENERATE_EXAMPLE=1 in the environment it
// writes the file instead (run it from the source tree after changing the document below).
#include "ModelTestSupport.h"
#include "model/WendoDoc.h"

#include <cstdlib>
#include <regex>
#include <set>

using namespace wendo;
using namespace wendo::test;

namespace {

// WENDO_TEST_DATA is wendo/model/tests/data, which need not exist.
const fs::path kExample =
    (fs::path(WENDO_TEST_DATA).parent_path() / ".." / ".." / ".." / "examples" / "site.wdo")
        .lexically_normal();

void BuildSiteDocument(CWendoDoc& doc)
{
    doc.Report = 1;
    doc.Backup = 1;
    doc.BackupExt = "bak";
    doc.Rewind = 1; // every command sees the whole text, so each one shows in the counts
    // Paths are relative: the document is run from the folder that holds site/.
    doc.FileSet.Append(CFileList("site/*.htm", 1, 0, 0, nullptr));
    doc.FileSet.Append(CFileList("site/*.html", 0, 0, 0, nullptr));
    doc.FileSet.Append(CFileList("site/help/returns.txt", 0, 0, 0, nullptr));
    doc.FileSet.Append(CFileList("site/products/old/*.htm", 1, 1, 0, nullptr));
    doc.FileSet.Append(CFileList("*.bak", 1, 1, 0, nullptr));
    for (const char* text : {
             "FINDREPL_KEEPCONTENT DELIMITER ~<!--BEGIN-->~DELIMITER ~<!--END-->~"
             "VALUE ~<p>Summer sale: 20% off all lamps. Call us at {{phone}}.</p>~",
             "FINDREPL CASESENS VALUE ~Lamplight Furniture Ltd~DELIMITER ~{{company}}~",
             "FINDREPL ONCE VALUE ~+44 20 7946 0000~DELIMITER ~{{phone}}~",
             "REWIND",
             "CHANGE_IMG ADD ALT_TAG SRC ~*~VALUE ~Lamplight~~s photo~EXCLUDE ~old\\*~",
             "CHANGE_IMG REPLACE SRC_TAG SRC ~images/spacer.gif~VALUE ~blank.gif~",
             "CHANGE_ANCHOR APPEND ANCHOR_TAG SRC ~http://www.example.com/partner.htm~"
             "VALUE ~target=\"_blank\"~",
             "DISPLAY_FILESTAT",
         }) {
        doc.StoreCommand(-1, CParseCmd(text), nullptr, 0);
    }
}

// The example also holds comment lines for its readers, which the writer does not write.
std::string WithoutModifTime(const std::string& bytes)
{
    const std::string kept =
        std::regex_replace(bytes, std::regex("\nMODIFTIME=[0-9]+\n"), "\nMODIFTIME=\n");
    const std::size_t commands = kept.find("\n[COMMAND]\n");
    return kept.substr(0, commands) +
           std::regex_replace(kept.substr(std::min(commands, kept.size())),
                              std::regex("\n#[^\n]*"), "");
}

class SiteExample : public TempFolderTest
{
};

TEST_F(SiteExample, IsWhatTheWriterWritesForTheSiteDocument)
{
    CWendoDoc doc;
    BuildSiteDocument(doc);
    const char* regenerate = std::getenv("WENDO_REGENERATE_EXAMPLE");
    if (regenerate != nullptr && std::string(regenerate) == "1") {
        ASSERT_TRUE(doc.OnSaveDocument(kExample.string()));
    }
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("site.wdo")));
    EXPECT_EQ(WithoutModifTime(ReadAll(PathOf("site.wdo"))), WithoutModifTime(ReadAll(kExample)));
}

TEST_F(SiteExample, HoldsEveryCommandTypeAndEveryKindOfEntry)
{
    auto doc = core::OpenDocumentFile<CWendoDoc>(kExample.string(), nullptr);
    ASSERT_NE(doc, nullptr);
    std::set<int16_t> types;
    for (const CParseCmdList& command : doc->Commands) {
        EXPECT_EQ(command.ErrorFlag, 0) << command.Text;
        types.insert(command.Type);
    }
    EXPECT_EQ(types.size(), CmdType::COUNT);
    bool include = false;
    bool exclude = false;
    bool recursive = false;
    bool filter = false;
    for (const CFileList& entry : doc->FileSet.Entries()) {
        include = include || entry.IsExclude() == 0;
        exclude = exclude || entry.IsExclude() != 0;
        recursive = recursive || entry.IsRecursive() != 0;
        filter = filter || entry.ISFileFilter() != 0;
    }
    EXPECT_TRUE(include && exclude && recursive && filter);
}

} // namespace
