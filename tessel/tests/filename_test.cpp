#include "core/archive.h"
#include "os/path.h"
#include "tessel/FileName.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct SplitRow
{
    const char* label;
    const char* name;
    const char* path;
    const char* host;
    const char* drive;
    const char* directory;
    const char* title;
    const char* extension;
    int fileFilter;
    int directoryFilter;
};

const SplitRow kSplitRows[] = {
    {"drive path", "C:\\site\\a.htm", "C:\\site\\a.htm", "", "C:", "\\site\\", "a", ".htm", 0, 0},
    {"forward slashes", "C:/site/*.htm", "C:\\site\\*.htm", "", "C:", "\\site\\", "*", ".htm", 0,
     1},
    {"bare pattern", "*.htm", "*.htm", "", "", "", "*", ".htm", 1, 0},
    {"virtual directory", "*\\images\\*.gif", "*\\images\\*.gif", "", "", "*\\images\\", "*",
     ".gif", 1, 0},
    {"network path", "\\\\server\\share\\x.htm", "\\share\\x.htm", "\\\\server", "", "\\share\\",
     "x", ".htm", 0, 0},
    {"host alone", "\\\\server", "", "\\\\server", "", "", "", "", 0, 0},
    {"web address", "http://www.x.com/dir/a.htm", "\\dir\\a.htm", "\\\\www.x.com", "", "\\dir\\",
     "a", ".htm", 0, 0},
    {"native absolute", "/home/me/site/*.htm", "\\home\\me\\site\\*.htm", "", "",
     "\\home\\me\\site\\", "*", ".htm", 0, 1},
    {"several dots", "C:\\a.b.c", "C:\\a.b.c", "", "C:", "\\", "a.b", ".c", 0, 0},
    {"dot file", "\\site\\.htaccess", "\\site\\.htaccess", "", "", "\\site\\", "", ".htaccess", 0,
     0},
    {"dot in directory only", "dir.d\\name", "dir.d\\name", "", "", "dir.d\\", "name", "", 0, 0},
    {"directory", "C:\\site\\", "C:\\site\\", "", "C:", "\\site\\", "", "", 0, 0},
    {"empty", "", "", "", "", "", "", "", 1, 0},
};

TEST(FileName, SplitsEveryPartFromTheName)
{
    for (const SplitRow& row : kSplitRows) {
        const CFileName name(row.name);
        const std::string drive = row.drive;
        const std::string directory = row.directory;
        const std::string fileName = std::string(row.title) + row.extension;
        std::string full = row.name;
        for (char& c : full) {
            c = c == '/' ? '\\' : c;
        }
        EXPECT_EQ(name.GetFileFullPath(), full) << row.label;
        EXPECT_EQ(name.GetFilePath(), row.path) << row.label;
        EXPECT_EQ(name.GetHost(), row.host) << row.label;
        const std::string root = drive + directory;
        EXPECT_EQ(name.GetRoot(), root) << row.label;
        EXPECT_EQ(name.GetHostRoot(), row.host + root) << row.label;
        EXPECT_EQ(name.GetFileTitle(), row.title) << row.label;
        EXPECT_STREQ(name.GetExtension(), row.extension) << row.label;
        EXPECT_EQ(name.GetFileName(), fileName) << row.label;
        EXPECT_EQ(name.ISFileFilter(), row.fileFilter) << row.label;
        EXPECT_EQ(name.ISDirectoryFilter(), row.directoryFilter) << row.label;
        EXPECT_EQ(name.ISLocalHost(), row.host[0] == '\0' ? 1 : 0) << row.label;
        EXPECT_EQ(name.IsEmpty(), row.name[0] == '\0' ? 1 : 0) << row.label;
    }
}

TEST(FileName, EveryWayOfSettingGivesTheSameParts)
{
    const std::string text = "C:/site/a.htm";
    CFileName fromCopy;
    fromCopy = CFileName(text);
    CFileName fromUnsigned;
    fromUnsigned = reinterpret_cast<const unsigned char*>(text.c_str());
    CFileName fromPointer;
    fromPointer = text.c_str();
    CFileName fromNull(static_cast<const char*>(nullptr));
    for (const CFileName* name : {&fromCopy, &fromUnsigned, &fromPointer}) {
        EXPECT_EQ(name->GetFileFullPath(), "C:\\site\\a.htm");
        EXPECT_EQ(name->GetRoot(), "C:\\site\\");
    }
    EXPECT_EQ(fromNull.IsEmpty(), 1);

    const CFileName wide(u"C:/caf\u00e9/\U0001F600.htm\xD800");
    EXPECT_EQ(wide.GetFileFullPath(), "C:\\caf\xC3\xA9\\\xF0\x9F\x98\x80.htm\xEF\xBF\xBD");
}

// A cut name would name another file: site\index.html cut to site\index.htm.
TEST(FileName, LongNamesAreNeverCutAndNulEndsTheName)
{
    for (const std::size_t size :
         {std::size_t{300}, CFileName::kMaxPath, CFileName::kMaxPath + 1}) {
        const std::string longName = "C:\\" + std::string(size - 3 - 7, 'd') + "\\i.html";
        const CFileName name(longName);
        EXPECT_EQ(name.GetFileFullPath(), longName);
        EXPECT_EQ(name.GetExtension(), std::string(".html"));
        EXPECT_EQ(name.IsTooLong(), size > CFileName::kMaxPath ? 1 : 0) << size;
    }

    const CFileName withNul(std::string("C:\\a.htm\0\\etc\\passwd", 20));
    EXPECT_EQ(withNul.GetFileFullPath(), "C:\\a.htm");
}

TEST(FileName, SetFileSlashHonoursTheBufferSize)
{
    char buffer[8];
    EXPECT_EQ(CFileName::SetFileSlash("a/b/cdefgh", buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, "a\\b\\cde");
    EXPECT_EQ(CFileName::SetFileSlash("abc", buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(CFileName::SetFileSlash("abcdef/", buffer, 7), 0) << "the slash was cut off";
    EXPECT_EQ(CFileName::SetFileSlash("/", buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(CFileName::SetFileSlash("/", nullptr, 8), 0);
    EXPECT_EQ(CFileName::SetFileSlash("/", buffer, 0), 0);
}

TEST(FileName, ExtensionComparisonIgnoresCaseAndTheDot)
{
    const CFileName page("a.htm");
    EXPECT_EQ(page.ISExtension("htm"), 1);
    EXPECT_EQ(page.ISExtension(".HTM"), 1);
    EXPECT_EQ(page.ISExtension("html"), 0);
    EXPECT_EQ(page.ISExtension(".ht"), 0);
    EXPECT_EQ(page.ISExtension(nullptr), 0);
    EXPECT_EQ(CFileName("README").ISExtension(""), 1);
    EXPECT_EQ(CFileName("README").ISExtension("htm"), 0);
}

// One unit per character, so that the widths are easy to follow.
class CharCount : public CFileName::TextMeasure
{
public:
    int TextWidth(std::string_view text) const override { return static_cast<int>(text.size()); }
};

TEST(FileName, Path2RectDropsDirectoriesFromTheEnd)
{
    const CFileName name("\\\\host\\share\\site\\a.htm");
    const CharCount measure;
    struct Row
    {
        int width;
        const char* text;
    };
    const Row rows[] = {
        {100, "\\\\host\\share\\site\\a.htm"},
        {24, "\\\\host\\share\\site\\a.htm"},
        {23, "\\\\host\\share\\...\\a.htm"},
        {21, "\\\\host\\...\\a.htm"},
        {16, "\\\\...\\a.htm"},
        {5, "\\...\\a.htm"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(name.Path2Rect(&measure, row.width), row.text) << "width " << row.width;
    }
    EXPECT_EQ(CFileName("http://www.x.com/a.htm").Path2Rect(nullptr, 1),
              "http:\\\\www.x.com\\a.htm");
    EXPECT_EQ(CFileName("a.htm").Path2Rect(&measure, 1), "a.htm");
}

class FixedAnswer : public CFileName::DescriptionProvider
{
public:
    std::string Describe(const std::string& fullPath) const override
    {
        return fullPath.ends_with(".htm") ? "Web page" : "";
    }
};

TEST(FileName, DescriptionFromProviderElseTable)
{
    EXPECT_EQ(CFileName("C:\\a.HTM").GetDescription(), "HTML Document");
    EXPECT_EQ(CFileName("run.wdo").GetDescription(), "Wendo Command File");
    EXPECT_EQ(CFileName("x.qqq").GetDescription(), "QQQ File");
    EXPECT_EQ(CFileName("README").GetDescription(), "File");

    const FixedAnswer provider;
    CFileName::SetDescriptionProvider(&provider);
    EXPECT_EQ(CFileName("a.htm").GetDescription(), "Web page");
    EXPECT_EQ(CFileName("a.txt").GetDescription(), "Text Document") << "empty answer falls back";
    CFileName::SetDescriptionProvider(nullptr);
    EXPECT_EQ(CFileName("a.htm").GetDescription(), "HTML Document");
}

class FileNameDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "wendo-name-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_kept = os::FromNative(pattern);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    fs::path m_root;
    std::string m_kept;
};

TEST_F(FileNameDiskTest, ExistFindsFilesFoldersAndPatterns)
{
    std::ofstream(m_root / "Page.htm") << "x";
    fs::create_directory(m_root / "sub");
    struct Row
    {
        std::string name;
        int exists;
    };
    const Row rows[] = {
        {m_kept + "\\Page.htm", 1},
        {"C:" + m_kept + "\\Page.htm", 1},
        {m_kept + "/Page.htm", 1},
        {m_kept + "\\page.htm", 0},
        {m_kept + "\\sub", 1},
        {m_kept + "\\sub\\", 1},
        {m_kept + "\\none", 0},
        {m_kept + "\\*.htm", 1},
        {m_kept + "\\P?GE.*", 1},
        {m_kept + "\\*.gif", 0},
        {m_kept + "\\none\\*.htm", 0},
        {"C:\\", 1},
        {"", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CFileName(row.name).Exist(), row.exists) << row.name;
    }
}

TEST_F(FileNameDiskTest, SerializeKeepsTheFullPath)
{
    const std::string file = m_kept + "\\names.bin";
    {
        core::CArchive ar(file, core::CArchive::store);
        ASSERT_TRUE(ar.IsOpen());
        CFileName name("\\\\server\\share/caf\xE9 x~1.htm");
        name.Serialize(ar);
        ASSERT_TRUE(ar.Close());
    }
    core::CArchive ar(file, core::CArchive::load);
    ASSERT_TRUE(ar.IsOpen());
    CFileName loaded;
    loaded.Serialize(ar);
    EXPECT_EQ(loaded.GetFileFullPath(), "\\\\server\\share\\caf\xE9 x~1.htm");
    EXPECT_EQ(loaded.GetHost(), "\\\\server");
    EXPECT_EQ(loaded.GetFileName(), "caf\xE9 x~1.htm");
}

TEST(FileName, RuntimeClassCreatesEmptyNames)
{
    const CFileName name("a.htm");
    EXPECT_STREQ(name.GetRuntimeClass()->m_className, "CFileName");
    EXPECT_TRUE(name.IsKindOf(&CFileName::classCFileName));
    EXPECT_STREQ(name.GetRuntimeClass()->m_baseClass->m_className, "CObject");
    const auto created = CFileName::classCFileName.CreateObject();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(static_cast<CFileName*>(created.get())->IsEmpty(), 1);
}

} // namespace
