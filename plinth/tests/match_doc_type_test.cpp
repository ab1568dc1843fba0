#include "plinth/KVMultiDocTemplate.h"
#include "plinth/plinth.h"

#include <gtest/gtest.h>

namespace {

using fw::Confidence;

CKVMultiDocTemplate MakeTemplate(const char* filterExt)
{
    return CKVMultiDocTemplate(
        1, std::string("T\nT\n\n\n") + filterExt + "\n\n",
        [] { return std::make_unique<core::CDocument>(); }, nullptr, nullptr, nullptr);
}

TEST(MatchDocTypeTest, AnswersByTheFilterExtensions)
{
    struct Row
    {
        const char* name;
        const char* filter;
        const char* path;
        Confidence expected;
    };
    const Row rows[] = {
        {"own extension", ".wdo", "C:\\site\\a.wdo", Confidence::yesAttemptNative},
        {"own extension, other case", ".wdo", "\\site\\A.WDO", Confidence::yesAttemptNative},
        {"other extension", ".wdo", "\\site\\a.txt", Confidence::maybeAttemptForeign},
        {"no filter", "", "\\site\\a.wdo", Confidence::maybeAttemptForeign},
        {"listed second", ".txt;.*", "\\site\\a.txt", Confidence::yesAttemptNative},
        {"any extension", ".txt;.*", "\\site\\a.htm", Confidence::yesAttemptForeign},
        {"log file", ".txt;.*", "\\site\\run.log", Confidence::yesAttemptForeign},
        {"equal after the wildcard", ".*;.htm", "\\site\\a.htm", Confidence::yesAttemptNative},
        {"no extension", ".txt;.*", "\\site\\README", Confidence::yesAttemptForeign},
        {"dot in a folder only", ".txt", "\\a.b\\file", Confidence::maybeAttemptForeign},
    };
    for (const Row& row : rows) {
        CKVMultiDocTemplate docTemplate = MakeTemplate(row.filter);
        core::CDocument* match = reinterpret_cast<core::CDocument*>(1);
        EXPECT_EQ(docTemplate.MatchDocType(row.path, match), row.expected) << row.name;
        EXPECT_EQ(match, nullptr) << row.name;
    }
}

TEST(MatchDocTypeTest, AnOpenDocumentWinsIgnoringCase)
{
    CKVMultiDocTemplate docTemplate = MakeTemplate("");
    auto document = std::make_unique<core::CDocument>();
    document->SetPathName("\\Site\\Run.LOG");
    core::CDocument* added = docTemplate.AddDocument(std::move(document));
    core::CDocument* match = nullptr;
    EXPECT_EQ(docTemplate.MatchDocType("\\site\\run.log", match), Confidence::yesAlreadyOpen);
    EXPECT_EQ(match, added);
}

TEST(PlinthTest, InitialisesOnce)
{
    EXPECT_EQ(InitPlinthDLL(), 1);
    EXPECT_EQ(InitPlinthDLL(), 1);
    EXPECT_EQ(ISPlinthInitialised(), 1);
}

} // namespace
