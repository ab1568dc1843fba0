#include "core/archive.h"
#include "os/path.h"
#include "tessel/FileList.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

TEST(FileList, BuildsTheTextFormFromItsFields)
{
    struct Row
    {
        const char* path;
        int recursive, exclude, skip;
        const char* option;
        const char* text;
    };
    const Row rows[] = {
        {"C:\\site\\*.htm", 1, 0, 0, nullptr, "FILTER RECURS_ON C:/site/*.htm"},
        {"C:/site/old/*.htm", 1, 1, 1, "text",
         "EXCL_FILTER RECURS_ON SKIP C:/site/old/*.htm ~text~"},
        {"  /home/me/a b.htm\t", 0, 0, 0, "", "FILTER RECURS_OFF /home/me/a b.htm"},
        {nullptr, 0, 0, 1, nullptr, "FILTER RECURS_OFF SKIP "},
        {"x.htm", 7, -1, 0, nullptr, "EXCL_FILTER RECURS_ON x.htm"},
    };
    for (const Row& row : rows) {
        CFileList entry;
        EXPECT_EQ(entry.SetFileList(row.path, row.recursive, row.exclude, row.skip, row.option), 1);
        EXPECT_EQ(entry.GetStrFileList(), row.text) << row.text;
        EXPECT_EQ(entry.FileListToken(), std::string(":~:") + row.text + ":~:\n");
        EXPECT_EQ(
            CFileList(row.path, row.recursive, row.exclude, row.skip, row.option).GetStrFileList(),
            row.text);
    }
    const CFileList empty;
    EXPECT_EQ(empty.GetStrFileList(), "");
    EXPECT_EQ(empty.FileListToken(), ":~::~:\n");
    EXPECT_EQ(empty.IsExclude() + empty.IsRecursive() + empty.IsSkip(), 0);
}

TEST(FileList, ParsesEveryRuleOfTheTextForm)
{
    struct Row
    {
        const char* label;
        const char* text;
        int exclude, recursive, skip;
        const char* path;
        const char* option;
    };
    const Row rows[] = {
        {"every field", "EXCL_FILTER RECURS_OFF SKIP C:/a/b.htm ~x~", 1, 0, 1, "C:/a/b.htm", "x"},
        {"SKIP inside a name", "FILTER RECURS_ON C:/SKIP dir/a.htm", 0, 1, 0, "C:/SKIP dir/a.htm",
         ""},
        {"SKIP as a prefix", "FILTER RECURS_ON SKIPPED/a.htm", 0, 1, 0, "SKIPPED/a.htm", ""},
        {"SKIP alone is the path", "FILTER RECURS_OFF SKIP", 0, 0, 0, "SKIP", ""},
        {"short name", "FILTER RECURS_OFF C:/PROGRA~1/a~2.htm", 0, 0, 0, "C:/PROGRA~1/a~2.htm", ""},
        {"blanks in path and option", "FILTER RECURS_OFF C:/My Site/x y.htm ~a b~", 0, 0, 0,
         "C:/My Site/x y.htm", "a b"},
        {"unclosed option", "FILTER RECURS_OFF C:/a.htm ~open", 0, 0, 0, "C:/a.htm", "open"},
        {"one token", "C:/one.htm", 0, 0, 0, "C:/one.htm", ""},
        {"keywords in another case", "filter recurs_on C:/x.htm", 0, 0, 0, "C:/x.htm", ""},
        {"tabs", "EXCL_FILTER\tRECURS_ON\tC:/a.htm", 1, 1, 0, "C:/a.htm", ""},
        {"blank around", "  FILTER RECURS_ON C:/x.htm \r\n", 0, 1, 0, "C:/x.htm", ""},
        {"backslashes", "FILTER RECURS_OFF C:\\site\\a.htm", 0, 0, 0, "C:/site/a.htm", ""},
        {"folder named like a host", "FILTER RECURS_ON /srv/www/www.shop.com/*.htm", 0, 1, 0,
         "/srv/www/www.shop.com/*.htm", ""},
        {"two tokens", "FILTER RECURS_ON", 0, 1, 0, "", ""},
        {"empty", "", 0, 0, 0, "", ""},
    };
    for (const Row& row : rows) {
        const CFileList entry(row.text);
        EXPECT_EQ(entry.IsExclude(), row.exclude) << row.label;
        EXPECT_EQ(entry.IsRecursive(), row.recursive) << row.label;
        EXPECT_EQ(entry.IsSkip(), row.skip) << row.label;
        EXPECT_EQ(entry.GetURLPath(), row.path) << row.label;
        EXPECT_EQ(entry.GetOption(), row.option) << row.label;
        EXPECT_EQ(entry.IsOptionEmpty(), row.option[0] == '\0' ? 1 : 0) << row.label;
    }
    const CFileList host("FILTER RECURS_ON /srv/www/www.shop.com/*.htm");
    EXPECT_EQ(host.GetFileFullPath(), "\\srv\\www\\www.shop.com\\*.htm");
    EXPECT_EQ(host.ISDirectoryFilter(), 1);
    EXPECT_EQ(CFileList(static_cast<const char*>(nullptr)).GetStrFileList(), "");
}

TEST(FileList, TextFormsRoundTripByteForByte)
{
    const char* texts[] = {
        "FILTER RECURS_ON C:/site/*.htm",
        "EXCL_FILTER RECURS_OFF SKIP C:/a/b.htm ~x~",
        "FILTER RECURS_ON /home/me/site/*.htm",
        "EXCL_FILTER RECURS_ON */images/*.gif ~some option~",
        "FILTER RECURS_OFF C:/PROGRA~1/My Site/caf\xE9 \xFF.htm",
        "FILTER RECURS_ON //server/share/*.htm",
        "FILTER RECURS_OFF *.htm",
    };
    for (const char* text : texts) {
        CFileList entry(text);
        EXPECT_EQ(entry.GetStrFileList(), text);
        entry.ToggleSkip();
        entry.ToggleSkip();
        EXPECT_EQ(entry.GetStrFileList(), text) << "rebuilt from the fields";
        const std::string stored = entry.GetStrFileList();
        EXPECT_EQ(CFileList(&stored).GetStrFileList(), text);
        EXPECT_EQ(CFileList(&entry).GetStrFileList(), text);
    }
}

TEST(FileList, TogglesRebuildTheTextForm)
{
    CFileList entry("C:/a.htm", 0, 0, 0, nullptr);
    entry.ToggleExclude();
    EXPECT_EQ(entry.GetStrFileList(), "EXCL_FILTER RECURS_OFF C:/a.htm");
    entry.ToggleRecursive();
    EXPECT_EQ(entry.GetStrFileList(), "EXCL_FILTER RECURS_ON C:/a.htm");
    entry.ToggleSkip();
    EXPECT_EQ(entry.GetStrFileList(), "EXCL_FILTER RECURS_ON SKIP C:/a.htm");
    entry.ToggleExclude();
    entry.ToggleRecursive();
    entry.ToggleSkip();
    EXPECT_EQ(entry.GetStrFileList(), "FILTER RECURS_OFF C:/a.htm");
}

TEST(FileList, KindsOfEntryAndAddressParts)
{
    struct Row
    {
        const char* path;
        int file, virtualDir, fileFilter, directoryFilter;
    };
    const Row rows[] = {
        {"C:/site/a.htm", 1, 0, 0, 0},
        {"C:/site/*.htm", 0, 0, 0, 1},
        {"*.gif", 0, 0, 1, 0},
        {"*/images/*.gif", 0, 1, 1, 0},
        {"*\\images\\*.gif", 0, 1, 1, 0},
        {"//srv/share/a.htm", 1, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const CFileList entry(row.path, 0, 0, 0, nullptr);
        EXPECT_EQ(entry.IsFile(), row.file) << row.path;
        EXPECT_EQ(entry.IsVirtualDir(), row.virtualDir) << row.path;
        EXPECT_EQ(entry.ISFileFilter(), row.fileFilter) << row.path;
        EXPECT_EQ(entry.ISDirectoryFilter(), row.directoryFilter) << row.path;
    }

    CFileList local("C:\\site\\*.htm", 1, 0, 0, nullptr);
    EXPECT_EQ(local.GetURLPath(), "C:/site/*.htm");
    EXPECT_EQ(local.GetURLRoot(), "C:/site");
    EXPECT_EQ(local.GetURLFile(), "*.htm");
    EXPECT_EQ(local.IsURL(), 0);
    CFileList web("http://www.shop.com/a/b.htm", 0, 0, 0, nullptr);
    EXPECT_EQ(web.IsURL(), 1);
}

TEST(FileList, IsIncludeForEachKindOfEntry)
{
    struct Row
    {
        const char* pattern;
        const char* concrete;
        int recursive;
        int included;
    };
    const Row rows[] = {
        // Virtual directory: a folder of that name anywhere, directly or below.
        {"*/images/*.gif", "C:/site/images/a.gif", 0, 1},
        {"*/images/*.gif", "C:/site/IMAGES/A.GIF", 0, 1},
        {"*/images/*.gif", "C:/site/images/old/a.gif", 0, 0},
        {"*/images/*.gif", "C:/site/images/old/a.gif", 1, 1},
        {"*/images/*.gif", "C:/site/myimages/a.gif", 1, 0},
        {"*/images/*.gif", "C:/site/images/a.jpg", 1, 0},
        // File filter: the name alone decides.
        {"*.htm", "C:/any/where/a.HTM", 0, 1},
        {"*.htm", "C:/any/a.html", 0, 0},
        {"a*.htm", "C:/abc.htm", 0, 1},
        {"a?c.htm", "C:/abc.htm", 0, 0},
        {"a?c.htm", "C:/a?c.htm", 0, 1},
        {"*.*", "C:/README", 0, 0},
        // Directory filter: same folder, or below it when recursive.
        {"C:/site/*.htm", "C:/site/sub/a.htm", 1, 1},
        {"C:/site/*.htm", "C:/site/sub/a.htm", 0, 0},
        {"C:/site/*.htm", "c:/SITE/a.htm", 0, 1},
        {"C:/site/*.htm", "/site/sub/a.htm", 1, 1},
        {"/site/*.htm", "C:/site/sub/a.htm", 1, 1},
        {"C:/site/*.htm", "C:/site2/a.htm", 1, 0},
        {"C:/site/*.htm", "C:/site/sub/a.gif", 1, 0},
        {"//srv/share/*.htm", "//other/share/a.htm", 1, 0},
        {"//srv/share/*.htm", "//SRV/share/x/a.htm", 1, 1},
        // One file: whole paths without regard to case.
        {"C:/site/a.htm", "c:/SITE/A.htm", 0, 1},
        {"C:/site/a.htm", "C:/site/b.htm", 0, 0},
        {"C:/site/a.htm", "C:/site/sub/a.htm", 0, 0},
    };
    for (const Row& row : rows) {
        const CFileList pattern(row.pattern, row.recursive, 0, 0, nullptr);
        const CFileList concrete(row.concrete, 0, 0, 0, nullptr);
        EXPECT_EQ(pattern.IsInclude(concrete), row.included)
            << row.pattern << (row.recursive ? " (recursive) " : " ") << row.concrete;
    }
}

TEST(FileList, CopiesNeverShareAListing)
{
    const CFileList source("EXCL_FILTER RECURS_ON SKIP C:/a/*.htm ~opt~");
    CFileList copy(source);
    CFileList assigned;
    assigned = source;
    for (const CFileList* entry : {&copy, &assigned}) {
        EXPECT_EQ(entry->GetStrFileList(), source.GetStrFileList());
        EXPECT_EQ(entry->GetFileFullPath(), "C:\\a\\*.htm");
        EXPECT_EQ(entry->GetOption(), "opt");
    }
    assigned = assigned;
    EXPECT_EQ(assigned.GetStrFileList(), source.GetStrFileList());
}

class FileListTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "wendo-list-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_kept = os::FromNative(pattern);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_root / "locked", fs::perms::owner_all, ec);
        fs::remove_all(m_root, ec);
    }
    void Write(const std::string& name, std::size_t size = 1)
    {
        fs::create_directories((m_root / name).parent_path());
        std::ofstream(m_root / name, std::ios::binary) << std::string(size, 'x');
    }
    void SetModified(const std::string& name, time_t when)
    {
        const timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (m_root / name).c_str(), times, 0), 0);
    }

    // One level, as delivered: the paths of the filled entries, relative to the root.
    Strings List(CFileList& entry, std::int16_t sortType = CFileList::SORT_NAME)
    {
        Strings out;
        if (entry.FindFirst(sortType) != 0) {
            CFileList item;
            while (entry.FindNext(item) != 0) {
                out.push_back(Relative(item.GetFileFullPath()));
            }
            entry.FindEnd();
        }
        return out;
    }
    // The whole walk, as the run driver does it: files, then into each directory entry.
    Strings Walk(const std::string& text)
    {
        Strings out;
        std::function<void(CFileList&)> walk = [&](CFileList& entry) {
            if (entry.FindFirst(CFileList::SORT_NAME) == 0) {
                return;
            }
            CFileList item;
            while (entry.FindNext(item) != 0) {
                if (item.FileSize() < 0) {
                    walk(item);
                } else {
                    out.push_back(Relative(item.GetFileFullPath()));
                }
            }
            entry.FindEnd();
        };
        CFileList top(text.c_str());
        walk(top);
        return out;
    }
    std::string Relative(const std::string& kept) const
    {
        const std::string prefix = m_kept + "\\";
        return kept.compare(0, prefix.size(), prefix) == 0 ? kept.substr(prefix.size()) : kept;
    }
    std::string Text(const std::string& head, const std::string& rest) const
    {
        return head + " " + m_root.string() + "/" + rest;
    }

    fs::path m_root;
    std::string m_kept;
};

TEST_F(FileListTreeTest, FilesFirstThenSubdirectoriesCarryingTheFilter)
{
    Write("b.htm", 7);
    Write("A.htm");
    Write("c.txt");
    Write("sub/d.htm");
    Write("Sub2/e.htm");

    CFileList flat(Text("FILTER RECURS_OFF", "*.htm").c_str());
    EXPECT_EQ(List(flat), (Strings{"A.htm", "b.htm"}));

    CFileList deep(Text("FILTER RECURS_ON", "*.htm").c_str());
    EXPECT_EQ(List(deep), (Strings{"A.htm", "b.htm", "sub\\*.htm", "Sub2\\*.htm"}));

    ASSERT_NE(deep.FindFirst(CFileList::SORT_NAME), 0);
    CFileList item;
    ASSERT_EQ(deep.FindNext(item), 1);
    ASSERT_EQ(deep.FindNext(item), 1);
    EXPECT_EQ(item.FileSize(), 7);
    EXPECT_TRUE(S_ISREG(item.GetEntryAttributes()));
    EXPECT_EQ(item.IsRecursive(), 1) << "every filled entry takes the walk's switch";
    ASSERT_EQ(deep.FindNext(item), 1);
    EXPECT_EQ(item.FileSize(), -1);
    EXPECT_EQ(item.IsRecursive(), 1);
    EXPECT_EQ(item.IsExclude(), 0);
    EXPECT_EQ(item.GetStrFileList(), Text("FILTER RECURS_ON", "sub/*.htm"));
    EXPECT_EQ(item.ISDirectoryFilter(), 1);
    EXPECT_EQ(deep.FindNext(item), 1);
    EXPECT_EQ(deep.FindNext(item), 0);
    EXPECT_EQ(deep.FindNext(item), 0);
    EXPECT_EQ(deep.FindEnd(), 1);
    EXPECT_EQ(deep.FindEnd(), 0);

    EXPECT_EQ(Walk(Text("FILTER RECURS_ON", "*.htm")),
              (Strings{"A.htm", "b.htm", "sub\\d.htm", "Sub2\\e.htm"}));
}

TEST_F(FileListTreeTest, EverySortType)
{
    Write("a.htm", 30);
    Write("B.htm", 10);
    Write("c.htm", 20);
    Write("z/x.htm");
    SetModified("a.htm", 1000);
    SetModified("B.htm", 3000);
    SetModified("c.htm", 2000);
    struct Row
    {
        std::int16_t type;
        Strings order;
    };
    const Row rows[] = {
        {CFileList::SORT_NAME, {"a.htm", "B.htm", "c.htm"}},
        {CFileList::SORT_MODIF, {"a.htm", "c.htm", "B.htm"}},
        {CFileList::SORT_SIZE, {"B.htm", "c.htm", "a.htm"}},
        {CFileList::SORT_R_NAME, {"c.htm", "B.htm", "a.htm"}},
        {CFileList::SORT_R_MODIF, {"B.htm", "c.htm", "a.htm"}},
        {CFileList::SORT_R_SIZE, {"a.htm", "c.htm", "B.htm"}},
        {99, {"a.htm", "B.htm", "c.htm"}},
    };
    CFileList entry(Text("FILTER RECURS_ON", "*.htm").c_str());
    for (const Row& row : rows) {
        Strings expected = row.order;
        expected.push_back("z\\*.htm");
        EXPECT_EQ(List(entry, row.type), expected) << "sort type " << row.type;
    }
    // Access times move when files are read, so only their grouping is checked here; the
    // listing's own tests cover the order.
    for (std::int16_t type : {CFileList::SORT_ACCESS, CFileList::SORT_R_ACCESS}) {
        const Strings got = List(entry, type);
        ASSERT_EQ(got.size(), 4U);
        EXPECT_EQ(got.back(), "z\\*.htm");
    }
}

TEST_F(FileListTreeTest, SymlinkLoopEndsAndLinkedFilesAreListed)
{
    Write("a.htm");
    Write("sub/b.htm");
    fs::create_symlink(m_root, m_root / "sub" / "back");
    fs::create_symlink(m_root / "sub", m_root / "again");
    fs::create_symlink(m_root / "a.htm", m_root / "sub" / "link.htm");
    EXPECT_EQ(Walk(Text("FILTER RECURS_ON", "*.htm")),
              (Strings{"a.htm", "sub\\b.htm", "sub\\link.htm"}));
}

TEST_F(FileListTreeTest, UnreadableFolderIsPassedOver)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    Write("a.htm");
    Write("locked/b.htm");
    Write("z/c.htm");
    fs::permissions(m_root / "locked", fs::perms::none);
    EXPECT_EQ(Walk(Text("FILTER RECURS_ON", "*.htm")), (Strings{"a.htm", "z\\c.htm"}));
}

TEST_F(FileListTreeTest, OddNamesAndEveryPathForm)
{
    const std::string latin1 = "caf\xE9.htm";
    Write(latin1);
    Write("a b~1.htm");
    Write("my ~dir/in.htm");
    Write("PROGRA~1/x.htm");
    const Strings expected = {"a b~1.htm", latin1, "my ~dir\\in.htm", "PROGRA~1\\x.htm"};

    EXPECT_EQ(Walk(Text("FILTER RECURS_ON", "*.htm")), expected);
    Strings withDrive = Walk("FILTER RECURS_ON C:" + m_root.string() + "/*.htm");
    for (std::string& path : withDrive) {
        path = path.substr(2);
    }
    Strings expectedFull;
    for (const std::string& name : expected) {
        expectedFull.push_back(m_kept + "\\" + name);
    }
    EXPECT_EQ(withDrive, expectedFull);

    const fs::path before = fs::current_path();
    fs::current_path(m_root);
    CFileList relative("FILTER RECURS_OFF *.htm");
    EXPECT_EQ(List(relative), (Strings{"a b~1.htm", latin1}));
    fs::current_path(before);
}

// A child found by a walk is a literal name, never a pattern; what cannot be named is still
// delivered, with its fault, so that the walk can tell it was left out.
TEST_F(FileListTreeTest, ListedItemsAreLiteralAndFaultsAreTold)
{
    Write("notes*.htm");
    Write("notesX.htm");
    Write("odd\\name.htm");
    // Folders whose whole path is past what the system takes are made one level at a time.
    fs::create_directory(m_root / "deep");
    const std::string level200(200, 'd');
    std::vector<int> chain{open((m_root / "deep").c_str(), O_RDONLY | O_DIRECTORY)};
    for (std::size_t length = m_kept.size() + 5; length <= CFileName::kMaxPath; length += 201) {
        ASSERT_EQ(mkdirat(chain.back(), level200.c_str(), 0700), 0);
        chain.push_back(openat(chain.back(), level200.c_str(), O_RDONLY | O_DIRECTORY));
    }
    const auto removeChain = [&] {
        for (std::size_t i = chain.size() - 1; i > 0; --i) {
            close(chain[i]);
            unlinkat(chain[i - 1], level200.c_str(), AT_REMOVEDIR);
        }
        close(chain[0]);
    };
    CFileList entry(Text("FILTER RECURS_ON", "*.htm").c_str());
    ASSERT_NE(entry.FindFirst(CFileList::SORT_NAME), 0);
    CFileList item;
    std::vector<std::pair<std::string, CFileList::ItemFault>> seen;
    while (entry.FindNext(item) != 0) {
        seen.emplace_back(item.GetListedName(), item.GetItemFault());
        if (item.GetListedName() == "notes*.htm") {
            EXPECT_EQ(item.IsFile(), 1);
            EXPECT_EQ(CFileList(item).IsFile(), 1) << "a copy stays literal";
        }
    }
    entry.FindEnd();
    using Fault = CFileList::ItemFault;
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, Fault>>{
                        {"notes*.htm", Fault::None},
                        {"notesX.htm", Fault::None},
                        {"odd\\name.htm", Fault::NameHoldsBackslash},
                        {"deep", Fault::None}}));

    // Down the deep branch the last folder's path is past the limit.
    CFileList level(Text("FILTER RECURS_ON", "deep/*.htm").c_str());
    std::string kept = m_kept + "\\deep";
    for (;;) {
        ASSERT_NE(level.FindFirst(CFileList::SORT_NAME), 0) << kept.size();
        ASSERT_NE(level.FindNext(item), 0);
        ASSERT_EQ(item.GetListedName(), level200);
        level.FindEnd();
        if (item.GetItemFault() != Fault::None) {
            EXPECT_EQ(item.GetItemFault(), Fault::PathTooLong);
            EXPECT_EQ(item.GetListedFolder(), kept);
            EXPECT_EQ(item.FindFirst(CFileList::SORT_NAME), 0);
            EXPECT_EQ(item.GetListingError(), ENAMETOOLONG);
            break;
        }
        kept += "\\" + item.GetListedName();
        level = item;
    }
    removeChain();
    CFileList gone(Text("FILTER RECURS_ON", "gone/*.htm").c_str());
    EXPECT_EQ(gone.FindFirst(CFileList::SORT_NAME), 0);
    EXPECT_EQ(gone.GetListingError(), ENOENT);
    CFileList empty(Text("FILTER RECURS_OFF", "*.none").c_str());
    EXPECT_EQ(empty.FindFirst(CFileList::SORT_NAME), 0);
    EXPECT_EQ(empty.GetListingError(), 0);
}

TEST_F(FileListTreeTest, ListingLifecycle)
{
    Write("a.htm");
    Write("b.htm");
    CFileList entry(Text("FILTER RECURS_OFF", "*.htm").c_str());
    CFileList item;
    EXPECT_EQ(entry.FindNext(item), 0) << "no listing open";
    EXPECT_EQ(entry.FindEnd(), 0);
    ASSERT_NE(entry.FindFirst(0), 0);
    ASSERT_NE(entry.FindFirst(0), 0) << "reopening closes the first listing";
    EXPECT_EQ(entry.FindNext(entry), 0) << "an entry cannot be filled from itself";
    ASSERT_EQ(entry.FindNext(item), 1);
    EXPECT_EQ(Relative(item.GetFileFullPath()), "a.htm");

    // An entry that still holds a listing is refilled, copied over and destroyed safely.
    ASSERT_NE(item.FindFirst(0), 0);
    ASSERT_EQ(entry.FindNext(item), 1);
    EXPECT_EQ(Relative(item.GetFileFullPath()), "b.htm");
    EXPECT_EQ(item.FindEnd(), 0) << "a filled entry has no listing of its own";
    auto open = std::make_unique<CFileList>(entry);
    ASSERT_NE(open->FindFirst(0), 0);
    *open = entry;
    EXPECT_EQ(open->FindNext(item), 0);
    ASSERT_NE(open->FindFirst(0), 0);
    open.reset();

    CFileList nothing(Text("FILTER RECURS_OFF", "*.gif").c_str());
    EXPECT_EQ(nothing.FindFirst(0), 0);
    EXPECT_EQ(nothing.FindNext(item), 0);
    CFileList missing(Text("FILTER RECURS_ON", "none/*.htm").c_str());
    EXPECT_EQ(missing.FindFirst(0), 0);
}

TEST_F(FileListTreeTest, SerializeStoresTheTextForm)
{
    const std::string file = m_kept + "\\entries.bin";
    const std::string text = "EXCL_FILTER RECURS_ON SKIP C:/a b/*.htm ~x~";
    {
        core::CArchive ar(file, core::CArchive::store);
        ASSERT_TRUE(ar.IsOpen());
        CFileList(text.c_str()).Serialize(ar);
        ASSERT_TRUE(ar.Close());
    }
    core::CArchive ar(file, core::CArchive::load);
    CFileList loaded;
    loaded.Serialize(ar);
    EXPECT_EQ(loaded.GetStrFileList(), text);
    EXPECT_EQ(loaded.IsSkip(), 1);
    EXPECT_EQ(loaded.GetFileFullPath(), "C:\\a b\\*.htm");

    EXPECT_STREQ(loaded.GetRuntimeClass()->m_className, "CFileList");
    EXPECT_TRUE(loaded.IsKindOf(&CFileName::classCFileName));
    EXPECT_NE(CFileList::classCFileList.CreateObject(), nullptr);
}

} // namespace
