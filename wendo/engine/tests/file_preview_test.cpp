// A preview gives exactly the bytes a run writes, and writes nothing itself.
#include "RunTestSupport.h"
#include "engine/FilePreview.h"

namespace wendo::test {
namespace {

class FilePreviewTest : public RunTest
{
};

TEST_F(FilePreviewTest, PreviewGivesTheRunsBytesAndWritesNothing)
{
    // A rewind and a line region: the preview takes the same path through the work files.
    AddCommand("FINDREPL CASESENS DELIMITER ~cat~ VALUE ~dog~");
    AddCommand("FINDREPL CASESENS DELIMITER ~dog dog~ VALUE ~pair~");
    m_doc.Rewind = 1;
    m_doc.NoWrite = 1; // the preview shows what a run that writes would write
    m_doc.ToLine = 3;
    const std::string text = "cat cat\r\nx cat\n\xff cat\nnot cat";
    Write("site/a.htm", text);
    Write("big.htm", "");
    fs::resize_file(m_root / "big.htm", FilePreview::kSizeLimit + 1);

    FilePreview preview(m_doc);
    const FilePreview::Result changed = preview.Run(PathOf("site/a.htm"));
    const FilePreview::Result large = preview.Run(PathOf("big.htm"));
    const FilePreview::Result missing = preview.Run(PathOf("none.htm"));
    EXPECT_EQ(Read("site/a.htm"), text);
    EXPECT_EQ(fs::directory_iterator(m_root / "site")->path().filename(), "a.htm");

    EXPECT_EQ(large.outcome, FilePreview::Outcome::TooLarge);
    EXPECT_EQ(missing.outcome, FilePreview::Outcome::Failed);
    ASSERT_EQ(changed.outcome, FilePreview::Outcome::Changed) << changed.message;
    EXPECT_EQ(changed.before, text);
    m_doc.NoWrite = 0;
    AddPath("site/a.htm", false);
    ASSERT_EQ(RunToEnd(), FileResult::MODIFIED);
    EXPECT_EQ(changed.after, Read("site/a.htm"));
    EXPECT_EQ(changed.after, "pair\r\nx dog\n\xff cat\nnot cat");
}

} // namespace
} // namespace wendo::test
