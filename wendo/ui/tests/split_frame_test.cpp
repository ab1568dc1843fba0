#include "FindDlg.h"
#include "SplitFrame.h"
#include "UiTestSupport.h"
#include "Views.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"

#include <QPainter>
#include <QSplitter>
#include <cstdlib>

namespace {

using wendo::ui::CSplitFrame;

TEST(SplitFrameRows, FormWholeWhenThereIsRoomListsKeepAFewLines)
{
    const CSplitFrame::Metrics m{QSize(500, 200), 20, 18};
    struct Row
    {
        const char* name;
        bool initial;
        int width;
        int height;
        CSplitFrame::Rows rows;
    };
    const Row rows[] = {
        {"made: room for all", true, 600, 600, {202, 199, 199}},
        {"made narrow: a caption button more", true, 400, 600, {220, 190, 190}},
        {"made short: the lists keep 6m + 10", true, 600, 300, {170, 65, 65}},
        {"made tiny: the lists take two thirds", true, 600, 90, {30, 30, 30}},
        {"made with an odd rest: the files take the odd line", true, 600, 601, {202, 199, 200}},
        {"resized: room for all", false, 600, 600, {202, 199, 199}},
        {"resized narrow: a menu bar and 2 more", false, 400, 600, {224, 188, 188}},
        {"resized short: the lists keep 6m + 10", false, 600, 300, {170, 65, 65}},
        {"resized below 9m: the lists take two thirds", false, 600, 150, {50, 50, 50}},
        {"resized to nothing", false, 600, 0, {0, 0, 0}},
    };
    for (const Row& row : rows) {
        const CSplitFrame::Rows got = row.initial
                                          ? CSplitFrame::InitialRows(row.width, row.height, m)
                                          : CSplitFrame::ResizedRows(row.width, row.height, m);
        EXPECT_EQ(got.options, row.rows.options) << row.name;
        EXPECT_EQ(got.commands, row.rows.commands) << row.name;
        EXPECT_EQ(got.files, row.rows.files) << row.name;
    }
}

class SplitFrameTest : public UiTest
{
};

TEST_F(SplitFrameTest, CommandFileWindowStacksOptionsCommandsAndFiles)
{
    Start();
    wendo::CWendoDoc* doc = OpenSite();
    ASSERT_NE(doc, nullptr);
    auto* frame = dynamic_cast<CSplitFrame*>(Frame().MDIGetActive());
    ASSERT_NE(frame, nullptr);
    QSplitter* split = frame->Splitter();
    ASSERT_NE(split, nullptr);
    ASSERT_EQ(split->count(), 3);
    EXPECT_NE(dynamic_cast<wendo::ui::COptionView*>(split->widget(0)), nullptr);
    EXPECT_NE(dynamic_cast<wendo::ui::CCmdView*>(split->widget(1)), nullptr);
    EXPECT_NE(dynamic_cast<wendo::ui::CFileWendoView*>(split->widget(2)), nullptr);
    EXPECT_EQ(frame->GetActiveView(), split->widget(1)) << "the command list is active";

    frame->resize(720, 700);
    SpinUntil([] { return false; }, 50);
    const CSplitFrame::Rows want = CSplitFrame::ResizedRows(
        split->width(), split->height(), CSplitFrame::CurrentMetrics(split->widget(0)->sizeHint()));
    const QList<int> sizes = split->sizes();
    EXPECT_EQ(sizes.at(0), want.options);
    EXPECT_EQ(sizes.at(1), want.commands);
}

} // namespace

namespace {

// Pictures of the command file window and the two viewers for the documentation, made only
// when asked:
//   WENDO_SCREENSHOTS=docs build/bin/ui_tests --gtest_filter='*CommandFileAndViewerPictures*'
TEST_F(SplitFrameTest, CommandFileAndViewerPictures)
{
    const char* folder = std::getenv("WENDO_SCREENSHOTS");
    if (folder == nullptr) {
        GTEST_SKIP() << "set WENDO_SCREENSHOTS to a folder to make the pictures";
    }
    const QString out = QDir(QString::fromLocal8Bit(folder)).absolutePath();
    const QString examples =
        QDir::cleanPath(QStringLiteral(WENDO_TEST_DATA "/../../../../examples/site"));
    Start();
    Frame().resize(900, 760);
    Frame().show();
    ASSERT_NE(OpenSite(), nullptr);
    fw::ChildFrame* frame = Frame().MDIGetActive();
    ASSERT_NE(frame, nullptr);
    frame->resize(760, 700);
    SpinUntil([] { return false; }, 200);
    EXPECT_TRUE(frame->grab().save(out + "/command-file-window.png"));

    const QString page = examples + QStringLiteral("/index.htm");
    m_app->OpenTextFile(page);
    frame = Frame().MDIGetActive();
    ASSERT_NE(frame, nullptr);
    auto* text = dynamic_cast<wendo::ui::CTextView*>(frame->GetActiveView());
    ASSERT_NE(text, nullptr);
    frame->resize(720, 520);
    text->FindDialog()->SetSearchText(QStringLiteral("href"));
    text->FindDialog()->FindNext();
    Frame().GetCommands().Execute(fw::id::EDIT_FIND);
    SpinUntil([] { return false; }, 200);
    QPixmap picture = frame->grab();
    {
        // The find dialog is a window of its own; it is drawn over the viewer as it stands.
        QPainter painter(&picture);
        painter.drawPixmap(picture.width() - text->FindDialog()->width() - 16, 60,
                           text->FindDialog()->grab());
    }
    EXPECT_TRUE(picture.save(out + "/text-viewer-find.png"));

    m_app->OpenWebFile(page);
    frame = Frame().MDIGetActive();
    ASSERT_NE(frame, nullptr);
    auto* web = dynamic_cast<wendo::ui::CWebView*>(frame->GetActiveView());
    ASSERT_NE(web, nullptr);
    frame->resize(720, 520);
    web->Start();
    EXPECT_TRUE(SpinUntil(
        [web] {
            return !web->Control().IsBusy() && web->Control().Title().contains("Lamplight");
        },
        20000));
    SpinUntil([] { return false; }, 500);
    EXPECT_TRUE(frame->grab().save(out + "/html-viewer.png"));
}

} // namespace
