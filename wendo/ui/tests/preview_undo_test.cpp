// Preview Changes and Undo Last Run in the desktop program, driven through their commands.
#include "MainFrame.h"
#include "PreviewWindow.h"
#include "ProgressPathView.h"
#include "RunControl.h"
#include "UiTestSupport.h"
#include "WendoIds.h"
#include "fw/CommandManager.h"
#include "model/WendoDoc.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace wendo;
using namespace wendo::ui;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PreviewUndoTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        setenv("XDG_STATE_HOME", (m_home.path() + "/state").toLocal8Bit().constData(), 1);
        fs::copy(Examples() / "site", Home() / "site", fs::copy_options::recursive);
        // The example's entries are relative; runs take them from the current folder.
        m_previous = fs::current_path();
        fs::current_path(Home());
    }
    void TearDown() override
    {
        fs::current_path(m_previous);
        UiTest::TearDown();
    }
    static fs::path Examples()
    {
        return (fs::path(WENDO_TEST_DATA) / "../../../../examples").lexically_normal();
    }
    fs::path m_previous;
    fs::path Home() const { return fs::path(m_home.path().toStdString()); }
    bool Enabled(int id) const
    {
        Frame().UpdateCommandUI();
        return Frame().GetCommands().Query(id).enabled;
    }
    static CPreviewWindow* Ready(CPreviewWindow* window)
    {
        EXPECT_TRUE(SpinUntil([window] { return window->IsReady(); }, 20000));
        return window;
    }
};

TEST_F(PreviewUndoTest, PreviewWritesNothingAndUndoTakesTheRunBack)
{
    Start();
    m_app->GetProfile().WriteInt(kPaceSection, kPaceEntry, 0);
    CWendoDoc* doc = OpenSite();
    ASSERT_NE(doc, nullptr);
    const std::string index = (Home() / "site/index.htm").string();

    CPreviewWindow* preview = Ready(ShowPreview(*doc, index));
    ASSERT_EQ(preview->ChangeCount(), 4) << preview->StatusText().toStdString();
    EXPECT_EQ(preview->CurrentChange(), 0);
    EXPECT_EQ(preview->StatusText(), QStringLiteral("Change 1 of 4"));
    preview->NextChange();
    EXPECT_EQ(preview->StatusText(), QStringLiteral("Change 2 of 4"));
    EXPECT_TRUE(preview->Before()->toPlainText().contains(QStringLiteral("of {{company}}.")));
    EXPECT_TRUE(
        preview->After()->toPlainText().contains(QStringLiteral("of Lamplight Furniture Ltd.")));
    EXPECT_EQ(preview->Before()->document()->blockCount(),
              preview->After()->document()->blockCount())
        << "the rows are aligned";
    EXPECT_EQ(ReadFile(index), ReadFile(Examples() / "site/index.htm"));
    if (const char* folder = std::getenv("WENDO_SCREENSHOTS")) {
        // Pictures for the documentation, made only when asked:
        //   WENDO_SCREENSHOTS=docs build/bin/ui_tests --gtest_filter='PreviewUndo*'
        preview->resize(980, 520);
        SpinUntil([] { return false; }, 200);
        EXPECT_TRUE(preview->grab().save(QDir(QString::fromLocal8Bit(folder)).absolutePath() +
                                         "/preview-window.png"));
    }
    preview->close();

    EXPECT_FALSE(Enabled(cmd::UNDO_RUN)) << "no run yet";
    ASSERT_TRUE(Enabled(cmd::RUN));
    Frame().GetCommands().Execute(cmd::RUN);
    ASSERT_TRUE(SpinUntil(
        [doc] { return doc->Started.load() == 0 && doc->Run.TotalModified.load() > 0; }, 60000))
        << doc->Run.Status();
    EXPECT_NE(ReadFile(index), ReadFile(Examples() / "site/index.htm"));

    // The report window's path list previews its rows.
    auto* paths = static_cast<CProgressPathView*>(
        CMainFrame::FindDocView(doc, fw::ViewClassOf<CProgressPathView>()));
    ASSERT_NE(paths, nullptr);
    paths->FlushPending();
    ASSERT_GT(paths->List()->model()->rowCount(), 0);
    paths->List()->setCurrentIndex(paths->List()->model()->index(0, 0));
    EXPECT_FALSE(paths->SelectedPath().empty());

    ASSERT_TRUE(Enabled(cmd::UNDO_RUN));
    std::vector<QString> asked;
    fw::SetMessageBoxHook([&asked](const QString& text, core::PromptButtons, core::PromptIcon) {
        asked.push_back(text);
        return core::PromptAnswer::Yes;
    });
    Frame().GetCommands().Execute(cmd::UNDO_RUN);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("names 17 file(s)"))) << asked[0].toStdString();
    EXPECT_TRUE(asked[1].startsWith(QStringLiteral("Restored: 17 file(s).\nLeft as they are: 0")))
        << asked[1].toStdString();
    for (const auto& e : fs::recursive_directory_iterator(Examples() / "site")) {
        if (e.is_regular_file()) {
            const fs::path rel = e.path().lexically_relative(Examples());
            EXPECT_EQ(ReadFile(Home() / rel), ReadFile(e.path())) << rel;
            EXPECT_FALSE(fs::exists(Home() / (rel.string() + ".bak"))) << rel;
        }
    }
    EXPECT_FALSE(Enabled(cmd::UNDO_RUN)) << "a journal is used once";
}

} // namespace
