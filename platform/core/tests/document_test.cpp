#include "core/Document.h"
#include "core/StringTable.h"
#include "core/archive.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace core;

namespace {

// Stores its text as one archive string; a load of the text "bad" fails like a file of the
// wrong format.
class TextDoc : public CDocument
{
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            if (failStore) {
                ar.Write("partial");
                throw CArchiveException(CArchiveException::badSchema);
            }
            ar << std::string_view(text);
            return;
        }
        ar >> text;
        if (text == "bad") {
            throw CArchiveException(CArchiveException::badSchema);
        }
    }
    void DeleteContents() override
    {
        text.clear();
        ++deletions;
    }

    std::string text;
    bool failStore = false;
    int deletions = 0;
};

class RecordingPrompter : public Prompter
{
public:
    PromptAnswer Ask(std::string_view text, PromptButtons, PromptIcon icon) override
    {
        asked.emplace_back(text);
        icons.push_back(icon);
        return PromptAnswer::Ok;
    }
    std::vector<std::string> asked;
    std::vector<PromptIcon> icons;
};

class DocumentTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("wendo-doc-" + std::to_string(rd()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
    static std::string Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path m_dir;
};

TEST_F(DocumentTest, SavedDocumentOpensWithItsPathAndTitle)
{
    TextDoc doc;
    doc.text = "hello";
    doc.SetModifiedFlag(true);
    const std::string path = PathOf("first.txt");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_FALSE(doc.IsModified());

    RecordingPrompter prompter;
    auto opened = OpenDocumentFile<TextDoc>(path, &prompter);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->text, "hello");
    EXPECT_FALSE(opened->IsModified());
    EXPECT_EQ(opened->GetPathName(), path);
    EXPECT_EQ(opened->GetTitle(), "first.txt");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(DocumentTest, FailedLoadsAreToldAndDiscardTheDocument)
{
    struct Row
    {
        const char* name;
        std::string bytes; // nullopt-like: "<none>" means the file does not exist
        const char* told;
    };
    const std::vector<Row> rows = {
        {"bad_schema",
         std::string("\x03"
                     "bad",
                     4),
         "Unexpected file format."},
        {"truncated",
         std::string("\x09"
                     "abc",
                     4),
         "Unexpected end of file."},
        {"missing", "<none>", "The file cannot be opened."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = PathOf(std::string(row.name) + ".txt");
        if (row.bytes != "<none>") {
            std::ofstream(path, std::ios::binary) << row.bytes;
        }
        RecordingPrompter prompter;
        EXPECT_EQ(OpenDocumentFile<TextDoc>(path, &prompter), nullptr);
        ASSERT_EQ(prompter.asked.size(), 1U);
        EXPECT_NE(prompter.asked[0].find(row.told), std::string::npos) << prompter.asked[0];
        EXPECT_EQ(prompter.icons[0], PromptIcon::Exclamation);
        if (row.bytes != "<none>") {
            EXPECT_EQ(Bytes(path), row.bytes);
        }
    }
}

TEST_F(DocumentTest, FailedLoadLeavesNothingOfThePartialContents)
{
    const std::string path = PathOf("bad.txt");
    std::ofstream(path, std::ios::binary) << std::string("\x03"
                                                         "bad",
                                                         4);
    TextDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_TRUE(doc.text.empty());
    EXPECT_GE(doc.deletions, 2); // before the load and after its failure
    EXPECT_NE(doc.GetLastError().find("Unexpected file format."), std::string::npos);
}

TEST_F(DocumentTest, FailedSaveLeavesTheOldFileAndNoStrayFiles)
{
    const std::string path = PathOf("keep.txt");
    TextDoc doc;
    doc.text = "original";
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const std::string before = Bytes(path);

    doc.text = "changed";
    doc.failStore = true;
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(Names(), std::vector<std::string>{"keep.txt"});

    // A new file that could not be written whole is taken back.
    EXPECT_FALSE(doc.OnSaveDocument(PathOf("new.txt")));
    EXPECT_EQ(Names(), std::vector<std::string>{"keep.txt"});
}

TEST_F(DocumentTest, SaveKeepsThePermissionsOfTheFileItReplaces)
{
    const std::string path = PathOf("private.txt");
    TextDoc doc;
    doc.text = "one";
    ASSERT_TRUE(doc.OnSaveDocument(path));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    doc.text = "two";
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    TextDoc again;
    ASSERT_TRUE(again.OnOpenDocument(path));
    EXPECT_EQ(again.text, "two");
}

TEST_F(DocumentTest, SavingThroughASymbolicLinkUpdatesItsTargetAndKeepsTheLink)
{
    fs::create_directories(m_dir / "real");
    const std::string target = PathOf("real/site.txt");
    const std::string link = PathOf("site.txt");
    TextDoc doc;
    doc.text = "one";
    ASSERT_TRUE(doc.OnSaveDocument(target));
    fs::create_symlink("real/site.txt", link);
    doc.text = "two";
    ASSERT_TRUE(doc.OnSaveDocument(link));
    EXPECT_TRUE(fs::is_symlink(link));
    TextDoc again;
    ASSERT_TRUE(again.OnOpenDocument(target));
    EXPECT_EQ(again.text, "two");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "real"), {}), 1) << "no stray files";
}

TEST_F(DocumentTest, SavingOverAFolderFails)
{
    fs::create_directories(m_dir / "folder");
    TextDoc doc;
    EXPECT_FALSE(doc.OnSaveDocument(PathOf("folder")));
    EXPECT_TRUE(fs::is_directory(m_dir / "folder"));
}

struct PlainView : DocumentView
{
    void OnDocumentUpdate(DocumentView*, long hint) override { hints.push_back(hint); }
    std::vector<long> hints;
};
struct SpecialView : PlainView
{
};

TEST(DocumentViews, AreFoundByInterfaceInAttachOrderAndToldOfUpdates)
{
    TextDoc doc;
    PlainView plain;
    SpecialView special;
    doc.AddView(&plain);
    doc.AddView(&special);
    doc.AddView(&plain);
    EXPECT_EQ(doc.GetViews().size(), 2U);
    EXPECT_EQ(doc.FindView<SpecialView>(), &special);
    EXPECT_EQ(doc.FindViews<PlainView>().size(), 2U);

    doc.UpdateAllViews(&plain, 7);
    EXPECT_TRUE(plain.hints.empty());
    EXPECT_EQ(special.hints, std::vector<long>{7});

    doc.RemoveView(&special);
    EXPECT_EQ(doc.FindView<SpecialView>(), nullptr);
}

TEST(DocumentPrompts, WithoutAPrompterQuestionsAreRefused)
{
    TextDoc doc;
    EXPECT_EQ(doc.Ask("q", PromptButtons::YesNo, PromptIcon::Question), PromptAnswer::No);
    EXPECT_EQ(doc.Ask("q", PromptButtons::OkCancel, PromptIcon::Question), PromptAnswer::Cancel);
    EXPECT_EQ(doc.Ask("q", PromptButtons::Ok, PromptIcon::Stop), PromptAnswer::Ok);
    FixedPrompter yes(true);
    doc.SetPrompter(&yes);
    EXPECT_EQ(doc.Ask("q", PromptButtons::YesNoCancel, PromptIcon::Question), PromptAnswer::Yes);
}

TEST(StringTable, HoldsTheMessagesTheModelShows)
{
    EXPECT_EQ(LoadString(Msg::CANT_START_PROCESS), "Can't start parsing process");
    EXPECT_EQ(LoadString(Msg::DOCUMENT_IN_PROCESS),
              "This document is in process ... Can't be modified");
    EXPECT_EQ(LoadString(Msg::CANT_ACCESS_REPORT),
              "Can't access report file\nWould you like to continue ?");
    EXPECT_EQ(LoadString(61449),
              "This command type need a source file tag \"SRC=file.???\" to be apply to");
    EXPECT_EQ(LoadString(32771), "Run the current Wendo command file\n&Run\tCtrl+R");
    for (std::uint32_t unknown : {0U, 32770U, 32780U, 61445U, 61472U, 61478U}) {
        EXPECT_TRUE(LoadString(unknown).empty()) << unknown;
    }
}

} // namespace
