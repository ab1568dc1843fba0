// The searches keep their match rules per thread between calls: a search must give the same
// answer whatever searches ran before it on the thread, and whatever other threads do.

#include "brio/scan.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

struct IgnoreRow
{
    const char* name;
    char ignore;
    long found; // offset of the match of "ab" in kText, or -1
};

constexpr const char* kText = "xA-B a_b A.B";

// More ignore characters than the searches keep rules for, so rules are made again in turn.
const IgnoreRow kIgnoreRows[] = {
    {"dash", '-', 1},   {"underscore", '_', 5}, {"dot", '.', 9},
    {"none", '\0', -1}, {"space", ' ', -1},     {"letter_x", 'x', -1},
};

long FoundAt(const char* text, const char* found)
{
    return found == nullptr ? -1 : static_cast<long>(found - text);
}

TEST(KeptMatchRules, EachIgnoreCharacterKeepsItsAnswerInAnyOrder)
{
    const std::vector<std::vector<int>> orders = {
        {0, 1, 2, 3, 4, 5}, {5, 4, 3, 2, 1, 0}, {0, 5, 0, 4, 0, 3, 1, 2, 0}, {2, 2, 3, 3, 2}};
    for (const auto& order : orders) {
        for (const int i : order) {
            const IgnoreRow& row = kIgnoreRows[i];
            EXPECT_EQ(FoundAt(kText, FindNoCase(kText, "ab", row.ignore)), row.found) << row.name;
        }
    }
}

TEST(KeptMatchRules, OptionSearchesBetweenTagSearchesKeepTheirOptions)
{
    const char* text = "<P>Ab\r\nC d</p>";
    for (int round = 0; round < 3; ++round) {
        char* after = nullptr;
        EXPECT_EQ(FoundAt(text, GetSubStringContent(text, "ab", &after, 0)), -1);
        EXPECT_EQ(FoundAt(text, GetSubStringContent(text, "ab", &after, MATCH_IGNORE_CASE)), 3);
        EXPECT_EQ(FoundAt(text, FindNoCase(text, "</P", '\0')), 10);
        EXPECT_EQ(FoundAt(text, GetSubStringContent(text, "bc", &after, MATCH_IGNORE_CRLF)), -1);
        EXPECT_EQ(FoundAt(text, GetSubStringContent(text, "bC", &after, MATCH_IGNORE_CRLF)), 4);
        EXPECT_EQ(FoundAt(text, GetSubStringContent(text, "BCD", &after, 7)), 4);
        EXPECT_EQ(after, text + 10);
        EXPECT_EQ(FoundAt(text, FindNoCase(text, "cd", ' ')), 7);
    }
}

TEST(KeptMatchRules, ThreadsSearchingAtOnceDoNotShareRules)
{
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int round = 0; round < 2000; ++round) {
                const IgnoreRow& row = kIgnoreRows[(t + round) % 6];
                if (FoundAt(kText, FindNoCase(kText, "ab", row.ignore)) != row.found) {
                    ++wrong[static_cast<std::size_t>(t)];
                }
                const std::string text = t % 2 == 0 ? "aB" : "ab";
                char* after = nullptr;
                const bool found = GetSubStringContent(text.c_str(), "ab", &after, 0) != nullptr;
                if (found != (text == "ab")) {
                    ++wrong[static_cast<std::size_t>(t)];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

} // namespace
