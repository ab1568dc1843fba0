#include "tessel/URLString.h"

#include "core/archive.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

struct UrlRow
{
    const char* name;
    const char* text;
    const char* path;
    int type;
    const char* root;
    const char* file;
    int secure;
};

TEST(URLString, ParsesTypesRootsAndFiles)
{
    const UrlRow rows[] = {
        {"http with folder", "http://www.site.com/dir/page.htm", "http://www.site.com/dir/page.htm",
         0, "http://www.site.com/dir", "page.htm", 0},
        {"https any case", "HTTPS://www.bank.com/login", "HTTPS://www.bank.com/login", 0,
         "HTTPS://www.bank.com", "login", 1},
        {"bare www gets the scheme", "www.shop.com/index.htm", "http://www.shop.com/index.htm", 0,
         "http://www.shop.com", "index.htm", 0},
        {"host only, trimmed", "  http://example.com \t", "http://example.com", 0,
         "http://example.com", "", 0},
        {"trailing slash", "http://example.com/", "http://example.com/", 0, "http://example.com",
         "", 0},
        {"file url", "file:///C:/site/a.htm", "file:///C:/site/a.htm", 2, "file:///C:/site",
         "a.htm", 0},
        {"file url with backslashes", "file:\\\\server\\share\\a.htm", "file://server/share/a.htm",
         2, "file://server/share", "a.htm", 0},
        {"ftp", "ftp://ftp.gnu.org/pub/", "ftp://ftp.gnu.org/pub/", 2, "ftp://ftp.gnu.org/pub", "",
         0},
        {"gopher", "gopher://gopher.floodgap.com/1/world", "gopher://gopher.floodgap.com/1/world",
         3, "gopher://gopher.floodgap.com/1", "world", 0},
        {"drive path", "C:\\site\\*.htm", "C:/site/*.htm", 4, "C:/site", "*.htm", 0},
        {"host share path", "\\\\host\\share\\x.htm", "//host/share/x.htm", 4, "//host/share",
         "x.htm", 0},
        {"slash only at the start", "/x.htm", "/x.htm", 4, "/x.htm", "", 0},
        {"bare name", "index.htm", "index.htm", 4, "index.htm", "", 0},
        {"http: text keeps www local", "see http:www.x.com", "see http:www.x.com", 4,
         "see http:www.x.com", "", 0},
        {"mixed-case www is not taken", "Www.x.com", "Www.x.com", 4, "Www.x.com", "", 0},
        {"host without a dot", "http://localhost", "http://localhost", 4, "http://localhost", "",
         0},
        {"www host without a second part", "http://www.com/x", "http://www.com/x", 4,
         "http://www.com", "x", 0},
        {"secure flag goes with the address", "https://intranet", "https://intranet", 4,
         "https://intranet", "", 0},
        {"empty", "   ", "", 4, "", "", 0},
    };
    for (const UrlRow& r : rows) {
        CURLString u(r.text);
        EXPECT_EQ(u.GetURLPath(), r.path) << r.name;
        EXPECT_EQ(u.GetType(), r.type) << r.name;
        EXPECT_EQ(u.GetURLRoot(), r.root) << r.name;
        EXPECT_EQ(u.GetURLFile(), r.file) << r.name;
        EXPECT_EQ(u.IsSecureURL(), r.secure) << r.name;
        EXPECT_EQ(u.IsValidURL(), r.type != 4 ? 1 : 0) << r.name;
        EXPECT_EQ(u.IsURLType(static_cast<std::int16_t>(r.type)), 1) << r.name;
    }
}

TEST(URLString, AssignmentReparsesAndNullKeeps)
{
    CURLString u;
    EXPECT_EQ(u.IsValidURL(), 0);
    u = "http://www.a.org/x/y.htm";
    EXPECT_EQ(u.GetURLFile(), "y.htm");
    u = static_cast<const char*>(nullptr);
    EXPECT_EQ(u.GetURLPath(), "http://www.a.org/x/y.htm");
    u = std::string("D:\\web\\z.html");
    EXPECT_EQ(u.GetType(), CURLString::typeLocal);
    EXPECT_EQ(u.GetURLRoot(), "D:/web");
    const std::string longPath = "C:\\" + std::string(600, 'd') + "\\a.htm";
    CURLString l(longPath);
    EXPECT_EQ(l.GetURLPath().size(), longPath.size()) << "long paths are kept whole";
    EXPECT_EQ(l.GetURLFile(), "a.htm");
}

TEST(URLString, SerializeRoundTrip)
{
    const auto file =
        std::filesystem::temp_directory_path() / ("tessel_url_" + std::to_string(getpid()));
    {
        core::CArchive out(file.string(), core::CArchive::store);
        ASSERT_TRUE(out.IsOpen());
        CURLString a("https://www.x.com/a/b.htm");
        CURLString b("C:\\site\\*.htm");
        EXPECT_EQ(a.Serialize(out), 1);
        EXPECT_EQ(b.Serialize(out), 1);
        ASSERT_TRUE(out.Close());
    }
    core::CArchive in(file.string(), core::CArchive::load);
    CURLString a, b, c;
    EXPECT_EQ(a.Serialize(in), 1);
    EXPECT_EQ(b.Serialize(in), 1);
    EXPECT_EQ(a.GetURLRoot(), "https://www.x.com/a");
    EXPECT_EQ(a.IsSecureURL(), 1);
    EXPECT_EQ(b.GetURLFile(), "*.htm");
    EXPECT_EQ(c.Serialize(in), 0) << "reading past the end is a result, not an exception";
    std::filesystem::remove(file);
}

std::string g_opened;
int RecordingLauncher(const char* address)
{
    g_opened = address;
    return 1;
}

TEST(URLString, BrowseGoesThroughTheRegisteredLauncher)
{
    CURLString web("www.a.com/b.htm");
    CURLString local("C:\\site\\a.htm");
    CURLString::SetBrowserLauncher(nullptr);
    EXPECT_EQ(web.Browse2Url(), 0);
    CURLString::SetBrowserLauncher(&RecordingLauncher);
    EXPECT_EQ(web.Browse2Url(), 1);
    EXPECT_EQ(g_opened, "http://www.a.com/b.htm");
    EXPECT_EQ(local.Browse2Url(), 1);
    EXPECT_EQ(g_opened, "/site/a.htm");
    EXPECT_EQ(CURLString().Browse2Url(), 0);
    CURLString::SetBrowserLauncher(nullptr);
}

} // namespace
