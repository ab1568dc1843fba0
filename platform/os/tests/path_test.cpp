#include "os/path.h"

#include <gtest/gtest.h>

TEST(OsPath, ConvertsBetweenOriginalAndNativeForms)
{
    EXPECT_EQ(os::ToNative("C:\\site\\a.htm"), "/site/a.htm");
    EXPECT_EQ(os::ToNative("c:site\\a.htm"), "site/a.htm");
    EXPECT_EQ(os::ToNative("\\\\host\\share\\x"), "//host/share/x");
    EXPECT_EQ(os::ToNative("/home/me/site/*.htm"), "/home/me/site/*.htm");
    EXPECT_EQ(os::ToNative("rel\\dir\\"), "rel/dir/");
    EXPECT_EQ(os::ToNative("\xE9t\xE9\\x"), "\xE9t\xE9/x");
    EXPECT_EQ(os::FromNative("/home/me/a b~1.htm"), "\\home\\me\\a b~1.htm");
    EXPECT_EQ(os::ToNative(os::FromNative("/a/b/c")), "/a/b/c");
}
