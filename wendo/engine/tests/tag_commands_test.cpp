// CHANGE_IMG and CHANGE_ANCHOR on real files: selection by link, every sub-command and tag
// bit, the limits, and how tag commands take part in the pipeline of a file.

#include "EngineTestSupport.h"

#include <string>
#include <vector>

namespace wendo::test {
namespace {

using namespace std::string_literals;

struct TagCase
{
    const char* name;
    std::string input;
    std::string line;
    std::string expected;
    int32_t total;
};

class TagCommands : public EngineTest
{
protected:
    void Check(const std::vector<TagCase>& cases)
    {
        for (const TagCase& c : cases) {
            SCOPED_TRACE(c.name);
            const Outcome out = Run(c.input, {c.line});
            EXPECT_EQ(out.text, c.expected);
            EXPECT_EQ(out.total, c.total);
            EXPECT_EQ(out.counters, (std::vector<int32_t>{c.total, c.total}));
        }
    }
};

const std::string kWidth100 = "CHANGE_IMG REPLACE WIDTH_TAG SRC ~*~ VALUE ~100~";

TEST_F(TagCommands, ImageAttributes)
{
    Check({
        {"replace width where there is one", R"(<img src="a.gif" width="10"><img src="b.gif">)",
         kWidth100, R"(<img src="a.gif" width="100"><img src="b.gif">)", 1},
        {"add/replace appends a missing width", R"(<img src="a.gif" width="10"><img src="b.gif">)",
         "CHANGE_IMG ADDREPL WIDTH_TAG SRC ~*~ VALUE ~100~",
         R"(<img src="a.gif" width="100"><img src="b.gif" width="100">)", 2},
        {"add leaves a present width", R"(<img src="a.gif" width="10"><img src="b.gif">)",
         "CHANGE_IMG ADD WIDTH_TAG SRC ~*~ VALUE ~5~",
         R"(<img src="a.gif" width="10"><img src="b.gif" width="5">)", 1},
        {"remove keeps the blanks around", R"(<img alt="x" src="a.gif">)",
         "CHANGE_IMG REMOVE ALT_TAG SRC ~*~ VALUE ~x~", R"(<img  src="a.gif">)", 1},
        {"a blank value removes", R"(<img alt="x" src="a.gif">)",
         "CHANGE_IMG REPLACE ALT_TAG SRC ~*~ VALUE ~  ~", R"(<img  src="a.gif">)", 1},
        {"name written small, blanks around = dropped", R"(<IMG SRC="a.gif" WIDTH = "1">)",
         kWidth100, R"(<IMG SRC="a.gif" width="100">)", 1},
        {"capitals and a space after <",
         "< Img Src=\"a.gif\" width=\"1\">\n<iMG\nsrc=\"b.gif\" width=\"1\">", kWidth100,
         "< Img Src=\"a.gif\" width=\"100\">\n<iMG\nsrc=\"b.gif\" width=\"100\">", 2},
        {"whole image tag appended", R"(<img src="a.gif"> <img src="b.gif" >)",
         R"(CHANGE_IMG APPEND IMG_TAG SRC ~*~ VALUE ~class="c"~)",
         R"(<img src="a.gif" class="c"> <img src="b.gif"  class="c">)", 2},
        {"an attribute with APPEND is no change", R"(<img src="a.gif" width="1">)",
         "CHANGE_IMG APPEND WIDTH_TAG SRC ~*~ VALUE ~2~", R"(<img src="a.gif" width="1">)", 0},
        {"two attribute bits are no change", R"(<img src="a.gif" width="1" height="1">)",
         "CHANGE_IMG REPLACE WIDTH_TAG HEIGHT_TAG SRC ~*~ VALUE ~2~",
         R"(<img src="a.gif" width="1" height="1">)", 0},
        {"once", R"(<img src="a.gif" width="1"><img src="b.gif" width="1">)",
         "CHANGE_IMG REPLACE WIDTH_TAG ONCE SRC ~*~ VALUE ~2~",
         R"(<img src="a.gif" width="2"><img src="b.gif" width="1">)", 1},
    });
}

TEST_F(TagCommands, EveryAttributeBit)
{
    for (const char* name : {"width", "height", "vspace", "hspace", "border", "alt"}) {
        SCOPED_TRACE(name);
        std::string bit = name;
        for (char& c : bit) {
            c = static_cast<char>(c - 'a' + 'A');
        }
        const Outcome out = Run("<img src=\"a.gif\" " + bit + "=\"1\">",
                                {"CHANGE_IMG REPLACE " + bit + "_TAG SRC ~*~ VALUE ~2~"});
        EXPECT_EQ(out.text, "<img src=\"a.gif\" " + std::string(name) + "=\"2\">");
    }
}

TEST_F(TagCommands, ImageSourceRewrites)
{
    const std::string tag = R"(<img src="img/a.gif">)";
    Check({
        {"file name replaced, folders kept", tag,
         "CHANGE_IMG REPLACE SRC_TAG SRC ~*~ VALUE ~b.gif~", R"(<img src="img/b.gif">)", 1},
        {"NOVIRTUAL replaces all", tag,
         "CHANGE_IMG REPLACE SRC_TAG NOVIRTUAL SRC ~*~ VALUE ~b.gif~", R"(<img src="b.gif">)", 1},
        {"star stands for the old value", tag, "CHANGE_IMG REPLACE SRC_TAG SRC ~*~ VALUE ~new/*~",
         R"(<img src="img/new/img/a.gif">)", 1},
        {"star with NOVIRTUAL, text after it dropped", tag,
         "CHANGE_IMG REPLACE SRC_TAG NOVIRTUAL SRC ~*~ VALUE ~new/*.png~",
         R"(<img src="new/img/a.gif">)", 1},
        {"append to the value", R"(<img SRC = "a.gif" alt="x">)",
         "CHANGE_IMG APPEND SRC_TAG SRC ~*~ VALUE ~?v=2~", R"(<img src="a.gif?v=2" alt="x">)", 1},
    });
}

TEST_F(TagCommands, SelectionByLink)
{
    const std::string three = R"(<img src="a.gif#x" width="1"><img src="img/a.gif" width="1">)"
                              R"(<img src="..\a.gif" width="1"><img src="B.GIF" width="1">)";
    Check({
        {"CURRENTDIRONLY", three, "CHANGE_IMG REPLACE WIDTH_TAG CURRENTDIRONLY SRC ~*~ VALUE ~2~",
         R"(<img src="a.gif#x" width="2"><img src="img/a.gif" width="1">)"
         R"(<img src="..\a.gif" width="1"><img src="B.GIF" width="2">)",
         2},
        {"SRC list, fragment and case ignored", three,
         "CHANGE_IMG REPLACE WIDTH_TAG CURRENTDIRONLY SRC ~a.gif, b.gif~ VALUE ~2~",
         R"(<img src="a.gif#x" width="2"><img src="img/a.gif" width="1">)"
         R"(<img src="..\a.gif" width="1"><img src="B.GIF" width="2">)",
         2},
        {"SRC with a wildcard and EXCLUDE", three,
         "CHANGE_IMG REPLACE WIDTH_TAG CURRENTDIRONLY SRC ~*.gif~ EXCLUDE ~a.gif~ VALUE ~2~",
         R"(<img src="a.gif#x" width="1"><img src="img/a.gif" width="1">)"
         R"(<img src="..\a.gif" width="1"><img src="B.GIF" width="2">)",
         1},
        {"a value without its own quotes is skipped, the next tag is changed",
         R"(<img src=a.gif width="1"><img src="b.gif" width="1">)", kWidth100,
         R"(<img src=a.gif width="1"><img src="b.gif" width="100">)", 1},
        {"an empty link is skipped, the next tag is changed",
         R"(<img src="" width="1"><img src="b.gif" width="1">)", kWidth100,
         R"(<img src="" width="1"><img src="b.gif" width="100">)", 1},
        {"an image tag without src", R"(<img width="1">)", kWidth100, R"(<img width="1">)", 0},
        {"a tag without > ends the command",
         R"(<img src="a.gif" width="1"> <img src="b.gif" width="1")", kWidth100,
         R"(<img src="a.gif" width="100"> <img src="b.gif" width="1")", 1},
    });
}

// A bare value was read as the next attribute's quoted one: border=0 alt="x" lost the alt.
TEST_F(TagCommands, BareValueIsNeverTakenFromTheNextAttribute)
{
    const std::string tag = R"(<img src="a.gif" border=0 alt="x">)";
    Check({
        {"replace", tag, "CHANGE_IMG REPLACE BORDER_TAG SRC ~*~ VALUE ~2~", tag, 0},
        {"remove", tag, "CHANGE_IMG REMOVE BORDER_TAG SRC ~*~ VALUE ~2~", tag, 0},
        {"add/replace", tag, "CHANGE_IMG ADDREPL BORDER_TAG SRC ~*~ VALUE ~2~", tag, 0},
        {"link", R"(<img src=a.gif alt="x">)", "CHANGE_IMG APPEND SRC_TAG SRC ~*~ VALUE ~?v=2~",
         R"(<img src=a.gif alt="x">)", 0},
        {"anchor", R"(<a href=x.htm title="t">)",
         "CHANGE_ANCHOR REPLACE HREF_TAG SRC ~*~ VALUE ~y.htm~", R"(<a href=x.htm title="t">)", 0},
    });
}

TEST_F(TagCommands, AnchorLinks)
{
    const std::string link = R"(<a href="dir/old.htm">go</a>)";
    Check({
        {"replace the file name", link, "CHANGE_ANCHOR REPLACE HREF_TAG SRC ~*~ VALUE ~new.htm~",
         R"(<a href="dir/new.htm">go</a>)", 1},
        {"replace all with NOVIRTUAL", link,
         "CHANGE_ANCHOR REPLACE HREF_TAG NOVIRTUAL SRC ~*~ VALUE ~new.htm~",
         R"(<a href="new.htm">go</a>)", 1},
        {"add to the end", link, "CHANGE_ANCHOR ADD HREF_TAG SRC ~*~ VALUE ~?x=1~",
         R"(<a href="dir/old.htm?x=1">go</a>)", 1},
        {"remove ignores case", R"(<a href="page.HTM#top">)",
         "CHANGE_ANCHOR REMOVE HREF_TAG SRC ~*~ VALUE ~.htm~", R"(<a href="page#top">)", 1},
        {"remove of a text not there", R"(<a href="page.txt">)",
         "CHANGE_ANCHOR REMOVE HREF_TAG SRC ~*~ VALUE ~.htm~", R"(<a href="page.txt">)", 0},
        {"whole anchor tag appended", R"(<a href="x.htm">)",
         R"(CHANGE_ANCHOR APPEND ANCHOR_TAG SRC ~*~ VALUE ~target="_blank"~)",
         R"(<a href="x.htm" target="_blank">)", 1},
        {"spelling around the value kept", R"(<A HREF = "x.htm" >)",
         "CHANGE_ANCHOR REPLACE HREF_TAG SRC ~*~ VALUE ~y.htm~", R"(<A HREF = "y.htm" >)", 1},
        {"area tags are anchors too, abbr without href is not",
         R"(<abbr title="t"><area shape="rect" href="a.htm"><a name="top">)",
         "CHANGE_ANCHOR REPLACE HREF_TAG SRC ~*~ VALUE ~b.htm~",
         R"(<abbr title="t"><area shape="rect" href="b.htm"><a name="top">)", 1},
        {"a fragment alone is the link target", R"(<a href="#top">)",
         "CHANGE_ANCHOR REPLACE HREF_TAG SRC ~#top~ VALUE ~#end~", R"(<a href="#end">)", 1},
        {"SRC filter on the target without fragment", R"(<a href="a.htm#x"><a href="b.htm">)",
         "CHANGE_ANCHOR ADD HREF_TAG SRC ~a.htm~ VALUE ~!~",
         R"(<a href="a.htm#x!"><a href="b.htm">)", 1},
        // Left open: APPEND and ADDREPL say nothing about an href; no rewrite, no count.
        {"APPEND without ANCHOR_TAG", link, "CHANGE_ANCHOR APPEND HREF_TAG SRC ~*~ VALUE ~x~", link,
         0},
        {"ADDREPL without ANCHOR_TAG", link, "CHANGE_ANCHOR ADDREPL HREF_TAG SRC ~*~ VALUE ~x~",
         link, 0},
    });
}

TEST_F(TagCommands, Limits)
{
    // Tag text runs from "<" up to ">"; `<img src="a.gif" width="1" alt="` is 32 characters and
    // `<img src="a.gif" alt="` 22.
    const auto imageOf = [](std::size_t tagText) {
        return R"(<img src="a.gif" width="1" alt=")" + std::string(tagText - 33, 'q') + "\">";
    };
    const auto widthAfter = [](std::size_t prefix, std::size_t value) {
        return "<img src=\"a.gif\" alt=\"" + std::string(prefix - 24, 'q') + "\" width=\"" +
               std::string(value, '7') + "\">";
    };
    const std::string longLink = std::string(251, 'l') + ".gif";
    Check({
        {"tag of 1023 characters", imageOf(1023), "CHANGE_IMG REPLACE WIDTH_TAG SRC ~*~ VALUE ~2~",
         R"(<img src="a.gif" width="2" alt=")" + std::string(990, 'q') + "\">", 1},
        {"tag of 1024 characters", imageOf(1024), "CHANGE_IMG REPLACE WIDTH_TAG SRC ~*~ VALUE ~2~",
         imageOf(1024), 0},
        {"link of 255 characters", "<img src=\"" + longLink + "\">",
         "CHANGE_IMG APPEND IMG_TAG SRC ~*~ VALUE ~x~", "<img src=\"" + longLink + "\" x>", 1},
        {"link of 256 characters", "<img src=\"x" + longLink + "\">",
         "CHANGE_IMG APPEND IMG_TAG SRC ~*~ VALUE ~x~", "<img src=\"x" + longLink + "\">", 0},
        {"255 characters before the attribute and in its value", widthAfter(255, 255),
         "CHANGE_IMG REPLACE WIDTH_TAG SRC ~*~ VALUE ~2~",
         "<img src=\"a.gif\" alt=\"" + std::string(231, 'q') + "\" width=\"2\">", 1},
        {"256 characters before the attribute", widthAfter(256, 1),
         "CHANGE_IMG REPLACE WIDTH_TAG SRC ~*~ VALUE ~2~", widthAfter(256, 1), 0},
        {"256 characters in the value", widthAfter(24, 256),
         "CHANGE_IMG REPLACE WIDTH_TAG SRC ~*~ VALUE ~2~", widthAfter(24, 256), 0},
        {"new image tag over 1023 characters", imageOf(1020),
         "CHANGE_IMG APPEND IMG_TAG SRC ~*~ VALUE ~xyz~", imageOf(1020), 0},
        {"new image tag of 1023 characters", imageOf(1019),
         "CHANGE_IMG APPEND IMG_TAG SRC ~*~ VALUE ~xyz~", imageOf(1019).substr(0, 1019) + " xyz>",
         1},
        {"new link value of 511 characters", R"(<img src="a.gif">)",
         "CHANGE_IMG REPLACE SRC_TAG NOVIRTUAL SRC ~*~ VALUE ~" + std::string(511, 'n') + "~",
         "<img src=\"" + std::string(511, 'n') + "\">", 1},
        {"new link value of 512 characters", R"(<img src="a.gif">)",
         "CHANGE_IMG REPLACE SRC_TAG NOVIRTUAL SRC ~*~ VALUE ~" + std::string(512, 'n') + "~",
         R"(<img src="a.gif">)", 0},
    });
}

TEST_F(TagCommands, LineRegion)
{
    const std::string text = "<img src=\"a.gif\" width=\"1\">\n<img src=\"a.gif\"\nwidth=\"1\">\n"
                             "<img src=\"a.gif\" width=\"1\">\n";
    doc.ToLine = 3;
    Outcome out = Run(text, {kWidth100});
    EXPECT_EQ(out.text, "<img src=\"a.gif\" width=\"100\">\n<img src=\"a.gif\"\nwidth=\"1\">\n"
                        "<img src=\"a.gif\" width=\"1\">\n");
    EXPECT_EQ(out.total, 1);
    doc.ToLine = 0;
    doc.FromLine = 2;
    out = Run(text, {kWidth100});
    EXPECT_EQ(out.total, 2);
    EXPECT_EQ(out.text.substr(0, 28), "<img src=\"a.gif\" width=\"1\">\n");
}

TEST_F(TagCommands, ChangedTagsConsumeTheRestUntilARewind)
{
    const std::string text = R"(x <img src="a.gif" width="1"> x)";
    const std::vector<std::string> lines = {kWidth100, "FINDREPL CASESENS DELIMITER ~x~ VALUE ~y~"};
    Outcome out = Run(text, lines);
    EXPECT_EQ(out.text, R"(x <img src="a.gif" width="100"> x)");
    EXPECT_EQ(out.counters, (std::vector<int32_t>{1, 1, 0}));
    EXPECT_EQ(out.message, "Modify WIDTH Tag(1) ");

    doc.Rewind = 1;
    out = Run(text, lines);
    EXPECT_EQ(out.text, R"(y <img src="a.gif" width="100"> y)");
    EXPECT_EQ(out.counters, (std::vector<int32_t>{3, 1, 2}));

    // A tag command that changed nothing leaves the read position where it was.
    doc.Rewind = 0;
    out = Run(text, {"CHANGE_IMG REPLACE HEIGHT_TAG SRC ~*~ VALUE ~2~", lines[1]});
    EXPECT_EQ(out.text, R"(y <img src="a.gif" width="1"> y)");
}

TEST_F(TagCommands, DryRunCountsTags)
{
    doc.NoWrite = 1;
    const std::string text = R"(<img src="a.gif" width="1"><a href="a.htm">)";
    const Outcome out =
        Run(text, {kWidth100, "REWIND", "CHANGE_ANCHOR ADD HREF_TAG SRC ~*~ VALUE ~#x~"});
    EXPECT_EQ(out.text, text);
    EXPECT_EQ(out.counters, (std::vector<int32_t>{2, 1, 0, 1}));
    EXPECT_EQ(out.result, FileResult::MODIFIED);
}

// After a tag change the rest of the buffer was written only up to a NUL byte: everything
// after it was lost.
TEST_F(TagCommands, TagChangeKeepsTheBytesAfterANul)
{
    const Outcome out =
        Run("<img src=\"a.gif\" width=\"1\">\0<img src=\"b.gif\">tail"s, {kWidth100});
    EXPECT_EQ(out.text, "<img src=\"a.gif\" width=\"100\">\0<img src=\"b.gif\">tail"s);
    EXPECT_EQ(out.total, 1);
}

} // namespace
} // namespace wendo::test
