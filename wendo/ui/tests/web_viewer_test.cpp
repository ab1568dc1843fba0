#include "TextDocs.h"
#include "UiTestSupport.h"
#include "Views.h"
#include "WendoIds.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/DocTemplate.h"
#include "os/path.h"

namespace {

using wendo::ui::CHHCtrl;
using wendo::ui::CWebView;
namespace cmd = wendo::ui::cmd;

class WebViewerTest : public UiTest
{
protected:
    void TearDown() override
    {
        CHHCtrl::SetRefuseCreate(false);
        UiTest::TearDown();
    }
    QString WritePage(const QString& name, const QByteArray& html)
    {
        const QString path = m_home.path() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(html);
        return path;
    }
    template <class View> View* Find(fw::MultiDocTemplate* docTemplate, const QString& path)
    {
        const std::string kept = os::FromNative(path.toStdString());
        for (core::CDocument* doc : docTemplate->GetDocuments()) {
            if (doc->GetPathName() == kept) {
                return doc->FindView<View>();
            }
        }
        return nullptr;
    }
    CWebView* OpenWeb(const QString& path)
    {
        m_app->OpenWebFile(path);
        return Find<CWebView>(m_app->WebTemplate, path);
    }
    // Pages load in the background with the web engine, at once with the text browser.
    static bool Shown(CWebView* view, const char* title)
    {
        return SpinUntil(
            [&] {
                return view->Control().Title() == QLatin1String(title) && !view->Control().IsBusy();
            },
            20000);
    }
    static bool Enabled(CWebView* view, int id)
    {
        fw::CommandState state;
        return view->OnUpdateCommand(id, state) && state.enabled;
    }
};

TEST_F(WebViewerTest, CommandsFollowTheControlsState)
{
    Start();
    const QString second = WritePage("second.htm", "<title>Second</title><p>second</p>");
    const QString first =
        WritePage("first.HTML", "<title>First</title><a href='second.htm'>on</a>");
    CWebView* view = OpenWeb(first);
    ASSERT_NE(view, nullptr);
    for (int id : {cmd::BACK, cmd::FORWARD, cmd::STOP_RETRIEVAL, cmd::REFRESH}) {
        EXPECT_FALSE(Enabled(view, id)) << id << ": no control yet";
    }
    ASSERT_TRUE(view->Start());
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(view->Control().Style(), CHHCtrl::kStylePlain);
    EXPECT_EQ(view->LastAddress(), first);
    ASSERT_TRUE(Shown(view, "First"));
    EXPECT_FALSE(Enabled(view, cmd::BACK));
    EXPECT_FALSE(Enabled(view, cmd::FORWARD));
    EXPECT_FALSE(Enabled(view, cmd::STOP_RETRIEVAL)) << "loaded";
    EXPECT_TRUE(Enabled(view, cmd::REFRESH));
    EXPECT_TRUE(Enabled(view, cmd::VIEW_SOURCE));
    EXPECT_FALSE(Enabled(view, fw::id::FILE_SAVE));
    EXPECT_FALSE(Enabled(view, fw::id::FILE_SAVE_AS));

    ASSERT_TRUE(view->Navigate(second));
    ASSERT_TRUE(Shown(view, "Second"));
    EXPECT_TRUE(Enabled(view, cmd::BACK));
    view->OnCommand(cmd::VIEW_SOURCE);
    EXPECT_NE(Find<wendo::ui::CTextView>(m_app->TextTemplate, second), nullptr)
        << "the page shown, not the document's";
    view->OnCommand(cmd::BACK);
    ASSERT_TRUE(Shown(view, "First"));
    EXPECT_TRUE(view->Control().CurrentAddress().endsWith(QStringLiteral("first.HTML")));
    EXPECT_TRUE(Enabled(view, cmd::FORWARD));
    EXPECT_FALSE(view->Navigate(m_home.path() + QStringLiteral("/none.htm")));
    EXPECT_EQ(view->LastAddress(), second) << "a failed navigation is not remembered";
}

TEST_F(WebViewerTest, EachFileOpensOnceInEachViewer)
{
    Start();
    const QString page = WritePage("page.htm", "<p>page</p>");
    CWebView* view = OpenWeb(page);
    ASSERT_NE(view, nullptr);
    const std::size_t frames = Frame().GetChildFrames().size();
    EXPECT_EQ(OpenWeb(page), view);
    EXPECT_EQ(Frame().GetChildFrames().size(), frames) << "brought forward, not opened twice";

    view->OnCommand(cmd::VIEW_SOURCE);
    auto* text = Find<wendo::ui::CTextView>(m_app->TextTemplate, page);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Frame().GetChildFrames().size(), frames + 1);
    text->OnCommand(cmd::VIEW_HTML);
    text->OnCommand(cmd::VIEW_HTML);
    EXPECT_EQ(Frame().GetChildFrames().size(), frames + 1);
    EXPECT_EQ(Frame().MDIGetActive(), view->GetParentFrame());
}

TEST_F(WebViewerTest, FailuresAreToldAndOnlyAMissingControlClosesTheWindow)
{
    Start();
    const QString gone = WritePage("gone.htm", "<p>gone</p>");
    CWebView* view = OpenWeb(gone);
    ASSERT_NE(view, nullptr);
    QFile::remove(gone);
    EXPECT_TRUE(view->Start());
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], QStringLiteral("Web control can not navigate to ") + gone);

    CHHCtrl::SetRefuseCreate(true);
    const QString page = WritePage("page.htm", "<p>page</p>");
    view = OpenWeb(page);
    ASSERT_NE(view, nullptr);
    QPointer<fw::ChildFrame> frame = view->GetParentFrame();
    EXPECT_FALSE(view->Start());
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[1], QStringLiteral("Web control can not be created."));
    EXPECT_TRUE(SpinUntil([&frame] { return frame.isNull(); }));
}

} // namespace
