#include "os/names.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(OsNames, SplitName)
{
    const struct
    {
        const char* path;
        bool slashToo;
        const char* drive;
        const char* directory;
        const char* title;
        const char* extension;
    } rows[] = {
        {"C:\\site\\a.htm", false, "C:", "\\site\\", "a", ".htm"},
        {"\\TEMP\\*\\*.*", false, "", "\\TEMP\\*\\", "*", ".*"},
        {"a.tar.gz", false, "", "", "a.tar", ".gz"},
        {"README", false, "", "", "README", ""},
        {"dir.d\\name", false, "", "dir.d\\", "name", ""},
        {"/img/logo.gif", false, "", "", "/img/logo", ".gif"},
        {"/img/logo.gif", true, "", "/img/", "logo", ".gif"},
        {"c:", false, "c:", "", "", ""},
    };
    for (const auto& r : rows) {
        const os::NameParts parts = os::SplitName(r.path, r.slashToo);
        EXPECT_EQ(parts.drive, r.drive) << r.path;
        EXPECT_EQ(parts.directory, r.directory) << r.path;
        EXPECT_EQ(parts.title, r.title) << r.path;
        EXPECT_EQ(parts.extension, r.extension) << r.path;
    }
}

TEST(OsNames, WildcardRules)
{
    using os::StarRest;
    const struct
    {
        const char* pattern;
        const char* name;
        bool mayBeEmpty; // PartAgrees with StarRest::MayBeEmpty
        bool notEmpty;   // PartAgrees with StarRest::NotEmpty
    } parts[] = {
        {"LOGO*", "logo", true, false},
        {"LOGO*", "logo-big", true, true},
        {"*", "", true, false},
        {"\\TEMP\\*\\", "\\temp\\", true, false},
        {"\\TEMP\\*\\", "\\TEMP\\SUB\\DEEP\\", true, true},
        {"*abc", "x", true, true},
        {"a?", "ab", false, false},
        {"ab", "abc", false, false},
        {"\\IMG\\", "/img/", true, true},
    };
    for (const auto& r : parts) {
        EXPECT_EQ(os::PartAgrees(r.pattern, r.name, StarRest::MayBeEmpty), r.mayBeEmpty)
            << r.pattern << " " << r.name;
        EXPECT_EQ(os::PartAgrees(r.pattern, r.name, StarRest::NotEmpty), r.notEmpty)
            << r.pattern << " " << r.name;
    }

    const struct
    {
        const char* pattern;
        const char* name;
        bool listing; // ListingNameMatches
        bool search;  // SearchMatches
    } names[] = {
        {"*.htm", "a.HTM", true, true},   {"*.htm", "a.html", false, false},
        {"a?c.*", "abc.txt", true, true}, {"*.*", "README", false, true},
        {"*", "README", true, true},      {"*", "a.txt", false, true},
        {"*b.htm", "ab.htm", true, true}, {"notes*.htm", "notes*.htm", true, true},
    };
    for (const auto& r : names) {
        EXPECT_EQ(os::ListingNameMatches(r.pattern, r.name), r.listing)
            << r.pattern << " " << r.name;
        EXPECT_EQ(os::SearchMatches(r.pattern, r.name), r.search) << r.pattern << " " << r.name;
    }
}

} // namespace
