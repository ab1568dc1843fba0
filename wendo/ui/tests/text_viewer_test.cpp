#include "FindDlg.h"
#include "TextDocs.h"
#include "UiTestSupport.h"
#include "Views.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/DocTemplate.h"
#include "os/path.h"

#include <QClipboard>
#include <QDateTime>
#include <QMimeData>
#include <QTextCursor>
#include <QTextEdit>

namespace {

using wendo::ui::CTextView;

class TextViewerTest : public UiTest
{
protected:
    QString WriteFile(const QString& name, const QByteArray& bytes, int secondsAgo = 100)
    {
        const QString path = m_home.path() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.flush();
        file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                         QFileDevice::FileModificationTime);
        file.close();
        return path;
    }
    CTextView* OpenText(const QString& path)
    {
        m_app->OpenTextFile(path);
        const std::string kept = os::FromNative(path.toStdString());
        for (core::CDocument* doc : m_app->TextTemplate->GetDocuments()) {
            if (doc->GetPathName() == kept) {
                return doc->FindView<CTextView>();
            }
        }
        ADD_FAILURE() << "not opened: " << kept;
        return nullptr;
    }
    static bool Enabled(CTextView* view, int id)
    {
        fw::CommandState state;
        return view->OnUpdateCommand(id, state) && state.enabled;
    }
    static void Select(CTextView* view, int from, int to)
    {
        QTextCursor cursor(view->Edit()->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        view->Edit()->setTextCursor(cursor);
    }
};

TEST_F(TextViewerTest, ViewHtmlOnlyForHtmlFilesInAnyCase)
{
    Start();
    const struct
    {
        const char* name;
        bool html;
    } rows[] = {{"page.HTM", true}, {"page.Html", true}, {"page.txt", false}, {"htm", false}};
    for (const auto& row : rows) {
        CTextView* view = OpenText(WriteFile(QString::fromLatin1(row.name), "<p>x</p>"));
        ASSERT_NE(view, nullptr) << row.name;
        EXPECT_EQ(Enabled(view, wendo::ui::cmd::VIEW_HTML), row.html) << row.name;
    }
}

TEST_F(TextViewerTest, SearchGoesOnFromTheTopUpToWhereItBegan)
{
    Start();
    CTextView* view = OpenText(WriteFile("a.txt", "one two one two"));
    ASSERT_NE(view, nullptr);
    Select(view, 8, 11); // the second "one"
    ASSERT_TRUE(view->Search(QStringLiteral("one")));
    EXPECT_EQ(view->Edit()->textCursor().selectionStart(), 0) << "wrapped to the top";
    ASSERT_TRUE(view->Search(QStringLiteral("one")));
    EXPECT_EQ(view->Edit()->textCursor().selectionStart(), 8) << "moved past the match";
    view->FindDialog()->SetMatchCase(true);
    EXPECT_FALSE(view->Search(QStringLiteral("ONE")));
    view->FindDialog()->SetMatchCase(false);
    view->FindDialog()->SetWholeWord(true);
    EXPECT_FALSE(view->Search(QStringLiteral("tw")));
    EXPECT_TRUE(view->Search(QStringLiteral("two")));
}

TEST_F(TextViewerTest, RepeatedFailureShowsTheBoxOnceAndTheStatusEachTime)
{
    Start();
    CTextView* view = OpenText(WriteFile("a.txt", "alpha beta"));
    ASSERT_NE(view, nullptr);
    const QString passed = fw::LoadQString(core::Msg::SEARCH_PASSED_END);
    m_boxes.clear();
    for (int round = 0; round < 2; ++round) {
        Frame().SetStatusText(QStringLiteral("Ready"));
        EXPECT_FALSE(view->Search(QStringLiteral("gamma")));
        EXPECT_EQ(Frame().GetStatusText(), passed) << "round " << round;
    }
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], QStringLiteral("Can't find literal string:\ngamma"));

    EXPECT_TRUE(view->Search(QStringLiteral("beta")));
    EXPECT_FALSE(view->Search(QStringLiteral("gamma")));
    EXPECT_EQ(m_boxes.size(), 2u) << "a success starts afresh";
    EXPECT_FALSE(view->Search(QString()));
    EXPECT_EQ(m_boxes.size(), 2u) << "an empty text does nothing";
}

TEST_F(TextViewerTest, FindTakesTheSelectionOrKeepsThePreviousText)
{
    Start();
    CTextView* view = OpenText(WriteFile("a.txt", "alpha beta"));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(Enabled(view, wendo::ui::cmd::FIND_NEXT)) << "no previous search";
    view->FindDialog()->SetSearchText(QStringLiteral("alp"));
    view->FindDialog()->FindNext();
    EXPECT_TRUE(Enabled(view, wendo::ui::cmd::FIND_NEXT));

    Select(view, 3, 3);
    ASSERT_TRUE(Frame().GetCommands().Execute(fw::id::EDIT_FIND));
    EXPECT_TRUE(view->FindDialog()->isVisible());
    EXPECT_EQ(view->FindDialog()->SearchText(), QStringLiteral("alp"));

    Select(view, 6, 10);
    ASSERT_TRUE(Frame().GetCommands().Execute(fw::id::EDIT_FIND));
    EXPECT_EQ(view->FindDialog()->SearchText(), QStringLiteral("beta"));

    view->Edit()->clear();
    EXPECT_FALSE(Enabled(view, fw::id::EDIT_FIND)) << "nothing to search";
}

TEST_F(TextViewerTest, ReloadQuestionOncePerChange)
{
    Start();
    const QString path = WriteFile("a.txt", "first", 300);
    CTextView* view = OpenText(path);
    ASSERT_NE(view, nullptr);
    m_boxes.clear();
    view->OnActivated();
    EXPECT_TRUE(m_boxes.empty()) << "unchanged";

    WriteFile("a.txt", "second", 200);
    view->OnActivated(); // the hook answers No
    view->OnActivated();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_TRUE(m_boxes[0].startsWith(QStringLiteral("Another application has updated file\n")));
    EXPECT_TRUE(m_boxes[0].endsWith(QStringLiteral("\nReload it?")));
    EXPECT_EQ(view->Edit()->toPlainText(), QStringLiteral("first")) << "never without Yes";

    WriteFile("a.txt", "third!", 100);
    fw::SetMessageBoxHook([this](const QString& text, core::PromptButtons, core::PromptIcon) {
        m_boxes.push_back(text);
        return core::PromptAnswer::Yes;
    });
    view->OnActivated();
    EXPECT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(view->Edit()->toPlainText(), QStringLiteral("third!"));
    EXPECT_FALSE(view->GetDocument()->IsModified());
    view->OnActivated();
    EXPECT_EQ(m_boxes.size(), 2u);
}

TEST_F(TextViewerTest, SavingWritesTheEditedTextAndIsNotAChange)
{
    Start();
    const QString path = WriteFile("a.txt", "old", 300);
    CTextView* view = OpenText(path);
    ASSERT_NE(view, nullptr);
    view->Edit()->setPlainText(QStringLiteral("new text"));
    EXPECT_TRUE(view->GetDocument()->IsModified());
    ASSERT_TRUE(view->GetDocument()->OnSaveDocument(view->GetDocument()->GetPathName()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("new text"));
    m_boxes.clear();
    view->OnActivated();
    EXPECT_TRUE(m_boxes.empty()) << "our own save is not another program's change";
}

// An edit at the top changes nothing else: every other byte goes back as it was read, in the
// encoding it was read in, and the status bar names an encoding that is not UTF-8.
TEST_F(TextViewerTest, EveryByteSurvivesAnEditElsewhere)
{
    Start();
    QByteArray everyByte("Caf\xe9\n");
    for (int byte = 1; byte <= 0xFF; ++byte) {
        everyByte += static_cast<char>(byte);
    }
    const struct
    {
        const char* name;
        QByteArray bytes;
        const char* pane;
    } rows[] = {
        {"every byte: Latin-1", everyByte, "Latin-1"},
        {"UTF-8 with CR LF, a lone CR, no-break space",
         "\xef\xbb\xbf"
         "a\xc2\xa0"
         "b\r\nc\rd\r\n\xe2\x80\xa8\xe2\x80\xa9\xef\xb7\x90\r\n",
         ""},
        {"UTF-8 with LF and a private character", "\xee\x80\x80\r\n\n", ""},
    };
    for (const auto& row : rows) {
        const QString path = WriteFile(QStringLiteral("f.txt"), row.bytes);
        CTextView* view = OpenText(path);
        ASSERT_NE(view, nullptr) << row.name;
        EXPECT_EQ(Frame().GetEncodingPaneText(), QString::fromLatin1(row.pane)) << row.name;
        QTextCursor(view->Edit()->document()).insertText(QStringLiteral("X"));
        ASSERT_TRUE(view->GetDocument()->OnSaveDocument(view->GetDocument()->GetPathName()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "X" + row.bytes) << row.name;
        view->GetParentFrame()->close();
        SpinUntil([this] { return m_app->TextTemplate->GetDocuments().empty(); });
    }

    // A character Latin-1 cannot hold is not saved at the cost of every other byte.
    const QString path = WriteFile(QStringLiteral("g.txt"), "Caf\xe9");
    CTextView* view = OpenText(path);
    ASSERT_NE(view, nullptr);
    QTextCursor(view->Edit()->document()).insertText(QStringLiteral("\u20ac"));
    m_boxes.clear();
    EXPECT_FALSE(view->GetDocument()->OnSaveDocument(view->GetDocument()->GetPathName()));
    EXPECT_EQ(m_boxes.size(), 1U);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Caf\xe9"));
}

TEST_F(TextViewerTest, PasteTakesOnlyText)
{
    Start();
    CTextView* view = OpenText(WriteFile("a.txt", ""));
    ASSERT_NE(view, nullptr);
    auto* rich = new QMimeData;
    rich->setHtml(QStringLiteral("<b>bold</b>"));
    rich->setText(QStringLiteral("bold"));
    QApplication::clipboard()->setMimeData(rich);
    view->Edit()->paste();
    EXPECT_EQ(view->Edit()->toPlainText(), QStringLiteral("bold"));
    EXPECT_FALSE(view->Edit()->toHtml().contains(QStringLiteral("font-weight:700")));

    auto* picture = new QMimeData;
    picture->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    QApplication::clipboard()->setMimeData(picture);
    view->Edit()->paste();
    EXPECT_EQ(view->Edit()->toPlainText(), QStringLiteral("bold")) << "no text, nothing taken";
}

} // namespace
