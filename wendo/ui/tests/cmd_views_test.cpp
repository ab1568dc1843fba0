#include "CmdView.h"
#include "ParseCmdView.h"
#include "UiTestSupport.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "plinth/KVResource.h"
#include "plinth/KVRichEditCtrl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

namespace {

using namespace wendo::ui;
using wendo::CParseCmdList;

template <class T> T* Control(QWidget* form, int id)
{
    return qobject_cast<T*>(KVGetDlgItem(form, id));
}

class CmdViewsTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Start();
        m_doc = OpenSite();
        ASSERT_NE(m_doc, nullptr);
        m_list =
            dynamic_cast<CCmdView*>(CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CCmdView>()));
        ASSERT_NE(m_list, nullptr);
    }

    QList<CParseCmdView*> Editors() const
    {
        return Frame().GetMdiArea()->findChildren<CParseCmdView*>();
    }
    CParseCmdView* Modify(int row)
    {
        m_list->SelectRow(row);
        m_list->OnCommand(cmd::MODIFY);
        return EditorOn(row);
    }
    CParseCmdView* Add()
    {
        m_list->OnCommand(cmd::ADD);
        for (CParseCmdView* editor : Editors()) {
            if (editor->GetPosition() == CParseCmdView::kNewCommand) {
                return editor;
            }
        }
        return nullptr;
    }
    CParseCmdView* EditorOn(int row) const
    {
        for (CParseCmdView* editor : Editors()) {
            if (editor->GetPosition() == row) {
                return editor;
            }
        }
        return nullptr;
    }
    bool Enabled(int id) { return Frame().GetCommands().Query(id).enabled; }
    bool ListEnables(int id)
    {
        fw::CommandState state;
        return m_list->OnUpdateCommand(id, state) && state.enabled;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const CParseCmdList& command : m_doc->Commands) {
            texts.push_back(command.Text);
        }
        return texts;
    }
    static void ChooseType(CParseCmdView* editor, const char* name)
    {
        auto* combo = Control<QComboBox>(editor, 1003);
        combo->setCurrentIndex(combo->findText(QString::fromLatin1(name)));
    }
    static void Write(CParseCmdView* editor, int id, const char* text)
    {
        Control<CKVRichEditCtrl>(editor, id)->setPlainText(QString::fromUtf8(text));
    }
    void Drag(int from, int to, bool lowerHalf)
    {
        QTreeWidget& tree = m_list->GetListCtrl();
        const auto at = [&](int row, bool lower) {
            const QRect rect = tree.visualItemRect(tree.topLevelItem(row));
            return QPoint(rect.center().x(), lower ? rect.bottom() - 1 : rect.top() + 1);
        };
        const auto send = [&](QEvent::Type type, QPoint point, Qt::MouseButtons held) {
            QMouseEvent event(type, point, tree.viewport()->mapToGlobal(point), Qt::LeftButton,
                              held, Qt::NoModifier);
            QApplication::sendEvent(tree.viewport(), &event);
        };
        const QPoint start = at(from, false);
        const QPoint end = at(to, lowerHalf);
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        send(QEvent::MouseMove, start + QPoint(0, 12), Qt::LeftButton);
        send(QEvent::MouseMove, end, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, end, Qt::NoButton);
    }

    wendo::CWendoDoc* m_doc = nullptr;
    CCmdView* m_list = nullptr;
};

TEST_F(CmdViewsTest, ListShowsTheCommandsInDocumentOrder)
{
    const QTreeWidget& tree = m_list->GetListCtrl();
    QStringList headers;
    for (int column = 0; column < tree.columnCount(); ++column) {
        headers << tree.headerItem()->text(column);
    }
    EXPECT_EQ(headers, QStringList({"Type", "Delimiter", "Value", "Source", "Excluded"}));
    ASSERT_EQ(m_list->RowCount(), m_doc->CommandCount());

    struct Row
    {
        int row;
        const char* type;
        int image;
        const char* delimiter;
        const char* source;
        const char* excluded;
    };
    const Row rows[] = {
        {0, "FILESTAT", 5, "", "", ""},
        {1, "KEEPCONTENT", 1, "<!--BEGIN-->", "", ""},
        {2, "FIND REPLACE", 2, "{{company}}", "", ""},
        {4, "REWIND", 6, "", "", ""},
        {5, "Add ALT Tag", 4, "", "*", "old\\*"},
        {6, "Modify SRC Tag", 4, "", "images/spacer.gif", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        EXPECT_EQ(m_list->GetItemText(row.row, 0), QString::fromLatin1(row.type));
        EXPECT_EQ(m_list->GetItemImage(row.row), row.image);
        EXPECT_EQ(m_list->GetItemText(row.row, 1), QString::fromLatin1(row.delimiter));
        EXPECT_EQ(m_list->GetItemText(row.row, 3), QString::fromLatin1(row.source));
        EXPECT_EQ(m_list->GetItemText(row.row, 4), QString::fromLatin1(row.excluded));
    }
}

TEST_F(CmdViewsTest, AFileStatisticsCommandStaysFirstAndIsNeitherDuplicatedNorOfferedAgain)
{
    m_list->SelectRow(0);
    EXPECT_FALSE(ListEnables(cmd::DUPLICATE));
    EXPECT_TRUE(ListEnables(cmd::MODIFY));
    m_list->SelectRow(2);
    EXPECT_TRUE(ListEnables(cmd::DUPLICATE));

    CParseCmdView* editor = Modify(2);
    ASSERT_NE(editor, nullptr);
    auto* types = Control<QComboBox>(editor, 1003);
    EXPECT_EQ(types->count(), 5);
    EXPECT_EQ(types->findText(QStringLiteral("FILESTAT")), -1);
    EXPECT_EQ(types->currentText(), QStringLiteral("FIND REPLACE"));
    editor->OnCancel();
    SpinUntil([&] { return Editors().empty(); });

    // Stored anywhere, a file statistics command goes to the top; no drag moves another
    // command above it or it away from there.
    const wendo::CParseCmd fileStat("DISPLAY_FILESTAT ");
    m_doc->StoreCommand(3, fileStat, m_list, 0);
    EXPECT_EQ(m_list->GetItemText(0, 0), QStringLiteral("FILESTAT"));
    EXPECT_EQ(m_doc->Commands.front().Type, wendo::CmdType::DISPLAY_FILESTAT);
    const auto before = Texts();
    Drag(0, 3, true);
    Drag(3, 0, false);
    EXPECT_EQ(Texts(), before);
}

TEST_F(CmdViewsTest, DraggingReordersTheDocumentButNeverOntoTheFirstRow)
{
    m_list->SelectRow(0);
    m_list->OnCommand(cmd::REMOVE);
    ASSERT_EQ(m_list->GetItemText(0, 0), QStringLiteral("KEEPCONTENT"));
    m_doc->SetModifiedFlag(false);
    const auto before = Texts();

    Drag(2, 0, false);
    EXPECT_EQ(Texts(), before) << "a command cannot be dragged to the top";
    EXPECT_FALSE(m_doc->IsModified());

    Drag(0, 2, true);
    const std::vector<std::string> expected = {before[1], before[2], before[0], before[3]};
    const std::vector<std::string> after = Texts();
    EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + 4), expected);
    EXPECT_EQ(m_list->GetItemText(2, 0), QStringLiteral("KEEPCONTENT"));
    EXPECT_TRUE(m_doc->IsModified());
}

TEST_F(CmdViewsTest, ValidationNamesTheLastFailingFieldFirst)
{
    struct Row
    {
        const char* name;
        const char* type;
        const char* tag;
        const char* first;
        const char* value;
        std::uint32_t message;
    };
    const Row rows[] = {
        {"second delimiter before first", "KEEPCONTENT", nullptr, "", "x",
         core::Msg::NEED_SECOND_DELIMITER},
        {"search text", "FIND REPLACE", nullptr, " \n ", "x", core::Msg::NEED_DELIMITER},
        {"number", "IMAGE TAGS", "WIDTH Tag", "*", "abc", core::Msg::NEED_NUMBER},
        {"source after number", "IMAGE TAGS", "WIDTH Tag", "", "abc", core::Msg::NEED_SOURCE},
        {"value", "ANCHOR TAGS", "HREF Tag", "*", "", core::Msg::NEED_VALUE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_boxes.clear();
        CParseCmdView* editor = Add();
        ASSERT_NE(editor, nullptr);
        ChooseType(editor, row.type);
        if (row.tag != nullptr) {
            auto* tags = Control<QComboBox>(editor, 1015);
            tags->setCurrentIndex(tags->findText(QString::fromLatin1(row.tag)));
        }
        Write(editor, 1004, row.first);
        Write(editor, 1002, row.value);
        const int count = m_doc->CommandCount();
        EXPECT_FALSE(editor->OnOK());
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0], fw::LoadQString(row.message));
        EXPECT_EQ(m_doc->CommandCount(), count);
        EXPECT_EQ(Control<CKVRichEditCtrl>(editor, 1002)->ReadStrCtrl(), row.value);
        editor->OnCancel();
        SpinUntil([&] { return Editors().empty(); });
    }
}

TEST_F(CmdViewsTest, OkStoresTheFormAsACommand)
{
    CParseCmdView* editor = Add();
    ASSERT_NE(editor, nullptr);
    ChooseType(editor, "IMAGE TAGS");
    auto* tags = Control<QComboBox>(editor, 1015);
    tags->setCurrentIndex(tags->findText(QStringLiteral("SRC Tag")));
    EXPECT_EQ(Control<QComboBox>(editor, 1016)->currentText(), QStringLiteral("Modify"));
    EXPECT_TRUE(Control<QCheckBox>(editor, 1011)->isEnabled());
    Control<QCheckBox>(editor, 1011)->click();
    Write(editor, 1004, "  logo.gif ");
    Write(editor, 1002, "new~logo.gif");
    editor->AppendExcludedFiles({QStringLiteral("/home/u/a.gif"), QStringLiteral("/tmp/b.htm")});
    EXPECT_EQ(Control<QLineEdit>(editor, 1017)->text(), QStringLiteral("a.gif,b.htm"));
    ASSERT_TRUE(editor->OnOK());
    EXPECT_EQ(m_doc->Commands.back().Text,
              "CHANGE_IMG NOVIRTUAL REPLACE SRC_TAG SRC ~logo.gif~VALUE ~new~~logo.gif~"
              "EXCLUDE ~a.gif,b.htm~");
    EXPECT_EQ(m_list->GetItemText(m_list->RowCount() - 1, 3), QStringLiteral("logo.gif"));
    EXPECT_TRUE(m_doc->IsModified());
}

TEST_F(CmdViewsTest, RegularExpressionBoxTurnsPlainOptionsOffAndRefusesABadPattern)
{
    CParseCmdView* editor = Add();
    ASSERT_NE(editor, nullptr);
    auto* regex = Control<QCheckBox>(editor, 1048);
    ASSERT_NE(regex, nullptr);
    ChooseType(editor, "IMAGE TAGS");
    EXPECT_FALSE(regex->isVisible());
    ChooseType(editor, "FIND REPLACE");
    EXPECT_TRUE(regex->isVisible());
    auto* ignoreSpace = Control<QCheckBox>(editor, 1013);
    auto* ignoreCrLf = Control<QCheckBox>(editor, 1008);
    ignoreSpace->click();
    ignoreCrLf->click();
    regex->click();
    for (QCheckBox* box : {ignoreSpace, ignoreCrLf}) {
        EXPECT_FALSE(box->isChecked());
        EXPECT_FALSE(box->isEnabled());
    }

    struct Row
    {
        const char* pattern;
        const char* replacement;
        int box;    // where the cursor is put
        int cursor; // and at which character
        const char* reason;
    };
    const Row rows[] = {
        {"  caf\xc3\xa9[z-a]x", "x", 1004, 9,
         "out of order in character class (pattern, offset 8)"},
        {"(a)", "<$2>", 1002, 1,
         "group 2, which the pattern does not have (replacement, offset 1)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pattern);
        m_boxes.clear();
        Write(editor, 1004, row.pattern);
        Write(editor, 1002, row.replacement);
        EXPECT_FALSE(editor->OnOK());
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_TRUE(m_boxes[0].contains(QString::fromUtf8(row.reason))) << m_boxes[0].toStdString();
        auto* box = Control<CKVRichEditCtrl>(editor, row.box);
        EXPECT_TRUE(box->hasFocus() || QApplication::focusWidget() == nullptr);
        EXPECT_EQ(box->textCursor().position(), row.cursor);
    }
    Write(editor, 1002, "<$1>");
    ASSERT_TRUE(editor->OnOK());
    EXPECT_EQ(m_doc->Commands.back().Text, "FINDREPL REGEX VALUE ~<$1>~DELIMITER ~(a)~");
    const int row = m_list->RowCount() - 1;
    EXPECT_EQ(m_list->GetItemText(row, 0), QStringLiteral("REGEX REPLACE"));
    EXPECT_EQ(m_list->GetItemImage(row), CCmdView::kRegexImage);
}

// Command files are 8-bit text: what is not UTF-8 is shown as Latin-1 and stored back unchanged.
TEST_F(CmdViewsTest, StoredBytesSurviveTheEditorsOk)
{
    for (const char* text : {"FINDREPL VALUE ~Caf\xe9\r\n\xa0~DELIMITER ~na\xefve~",
                             "CHANGE_IMG ADD ALT_TAG SRC ~caf\xe9.gif~VALUE ~\xe9t\xe9~"
                             "EXCLUDE ~\xe9t\xe9*~",
                             "FINDREPL VALUE ~Caf\xc3\xa9~DELIMITER ~\xe2\x82\xac~"}) {
        m_doc->StoreCommand(-1, wendo::CParseCmd(text), nullptr, 0);
        const std::string before = m_doc->Commands.back().Text;
        CParseCmdView* editor = Modify(m_list->RowCount() - 1);
        ASSERT_NE(editor, nullptr) << text;
        ASSERT_TRUE(editor->OnOK()) << text;
        EXPECT_EQ(m_doc->Commands.back().Text, before);
    }
}

TEST_F(CmdViewsTest, UndoRestoresTheCommandAsItWasWhenTheEditorOpened)
{
    const std::string original = std::next(m_doc->Commands.begin(), 2)->Text;
    CParseCmdView* editor = Modify(2);
    ASSERT_NE(editor, nullptr);
    auto* undo = Control<QPushButton>(editor, 1027);
    EXPECT_FALSE(undo->isEnabled());
    Write(editor, 1002, "first edit");
    Write(editor, 1002, "second edit");
    Control<QCheckBox>(editor, 1006)->click();
    ChooseType(editor, "KEEPCONTENT");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(editor->IsDirty());

    undo->click();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(editor->IsDirty());
    EXPECT_EQ(Control<QComboBox>(editor, 1003)->currentText(), QStringLiteral("FIND REPLACE"));
    EXPECT_EQ(Control<CKVRichEditCtrl>(editor, 1002)->ReadStrCtrl(), "Lamplight Furniture Ltd");
    EXPECT_FALSE(Control<QCheckBox>(editor, 1006)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(editor, 1012)->isChecked());
    EXPECT_FALSE(Control<CKVRichEditCtrl>(editor, 1005)->isVisible());
    ASSERT_TRUE(editor->OnOK());
    EXPECT_EQ(std::next(m_doc->Commands.begin(), 2)->Text, original);
}

TEST_F(CmdViewsTest, ASecondModifyBringsTheFirstEditorForward)
{
    CParseCmdView* first = Modify(3);
    ASSERT_NE(first, nullptr);
    Modify(1);
    ASSERT_EQ(Editors().size(), 2);
    EXPECT_EQ(m_doc->OpenCommandEditors, 2);
    m_list->SelectRow(3);
    m_list->OnCommand(cmd::MODIFY);
    EXPECT_EQ(Editors().size(), 2);
    EXPECT_EQ(Frame().MDIGetActive(), first->GetParentFrame());
    m_list->SelectRow(3);
    EXPECT_FALSE(ListEnables(cmd::REMOVE)) << "open in an editor";
    EXPECT_FALSE(ListEnables(cmd::REMOVE_ALL)) << "editors are open on commands";
    QMenu* menu = m_list->MakeContextMenu(3);
    EXPECT_FALSE(menu->actions().at(3)->isEnabled());
    delete menu;
}

TEST_F(CmdViewsTest, RunStaysDisabledUntilEveryEditorIsClosed)
{
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Enabled(cmd::RUN));
    CParseCmdView* one = Modify(1);
    CParseCmdView* two = Add();
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_FALSE(Enabled(cmd::RUN));
    one->OnCancel();
    SpinUntil([&] { return Editors().size() == 1; });
    EXPECT_FALSE(Enabled(cmd::RUN));
    two->OnCancel();
    SpinUntil([&] { return Editors().empty(); });
    EXPECT_EQ(m_doc->OpenCommandEditors, 0);
    EXPECT_TRUE(Enabled(cmd::RUN));
    for (const CParseCmdList& command : m_doc->Commands) {
        EXPECT_EQ(command.EditorFrame, nullptr);
        EXPECT_EQ(command.EditPosition, CParseCmdList::kNoEditor);
    }
}

TEST_F(CmdViewsTest, AnEditorStaysOnItsCommandWhileOtherRowsMove)
{
    CParseCmdView* editor = Modify(3);
    ASSERT_NE(editor, nullptr);
    const std::string phone = std::next(m_doc->Commands.begin(), 3)->Text;
    ASSERT_NE(phone.find("{{phone}}"), std::string::npos);

    m_list->SelectRow(1);
    m_list->OnCommand(cmd::REMOVE);
    m_list->SelectRow(1);
    m_list->OnCommand(cmd::DUPLICATE);
    Drag(5, 1, false);
    const int now = editor->GetPosition();
    ASSERT_GE(now, 0);
    EXPECT_EQ(std::next(m_doc->Commands.begin(), now)->Text, phone);
    EXPECT_EQ(m_doc->FindCommandEditor(now, 0), 1);

    Write(editor, 1002, "+44 20 0000 0000");
    const auto others = [&] {
        std::vector<std::string> texts = Texts();
        texts.erase(texts.begin() + editor->GetPosition());
        return texts;
    }();
    ASSERT_TRUE(editor->OnOK());
    std::vector<std::string> after = Texts();
    EXPECT_NE(after[now].find("+44 20 0000 0000"), std::string::npos);
    after.erase(after.begin() + now);
    EXPECT_EQ(after, others);
}

TEST_F(CmdViewsTest, TheEditMenuFollowsTheFocusedTextBox)
{
    CParseCmdView* editor = Modify(2);
    ASSERT_NE(editor, nullptr);
    const auto editState = [&](int id) {
        fw::CommandState state;
        return editor->OnUpdateCommand(id, state) && state.enabled;
    };
    auto* value = Control<CKVRichEditCtrl>(editor, 1002);
    Control<QComboBox>(editor, 1003)->setFocus();
    EXPECT_FALSE(editState(fw::id::EDIT_COPY));
    EXPECT_FALSE(editState(fw::id::EDIT_PASTE));

    value->setFocus();
    ASSERT_TRUE(SpinUntil([&] { return QApplication::focusWidget() == value; }, 1000));
    EXPECT_FALSE(editState(fw::id::EDIT_COPY)) << "nothing selected";
    value->selectAll();
    EXPECT_TRUE(editState(fw::id::EDIT_COPY));
    EXPECT_TRUE(editState(fw::id::EDIT_CUT));
    editor->OnCommand(fw::id::EDIT_COPY);
    EXPECT_TRUE(editState(fw::id::EDIT_PASTE));
    EXPECT_FALSE(editState(fw::id::EDIT_UNDO));
    value->insertPlainText(QStringLiteral("typed"));
    EXPECT_TRUE(editState(fw::id::EDIT_UNDO));
    m_doc->Started = 1;
    EXPECT_FALSE(editState(fw::id::EDIT_PASTE)) << "in process";
    EXPECT_FALSE(editor->OnOK());
    EXPECT_EQ(m_boxes.back(), fw::LoadQString(core::Msg::DOCUMENT_IN_PROCESS));
    m_doc->Started = 0;
}

TEST_F(CmdViewsTest, InProcessTheListRefusesEdits)
{
    m_doc->Started = 1;
    m_list->SelectRow(2);
    EXPECT_FALSE(ListEnables(cmd::ADD));
    EXPECT_FALSE(ListEnables(cmd::MODIFY));
    EXPECT_FALSE(ListEnables(cmd::REMOVE_ALL));
    EXPECT_FALSE(m_list->OpenEditor(2));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], fw::LoadQString(core::Msg::DOCUMENT_IN_PROCESS));
    EXPECT_TRUE(Editors().empty());
    m_doc->Started = 0;
}

// Pictures of the command file window and of the editor for each command type, made only
// when asked:
//   WENDO_SCREENSHOTS=docs build/bin/ui_tests --gtest_filter='*CommandEditorPictures*'
TEST_F(CmdViewsTest, CommandEditorPictures)
{
    const char* folder = std::getenv("WENDO_SCREENSHOTS");
    if (folder == nullptr) {
        GTEST_SKIP() << "set WENDO_SCREENSHOTS to a folder to make the pictures";
    }
    const QString out = QDir(QString::fromLocal8Bit(folder)).absolutePath();
    Frame().resize(1000, 760);
    fw::ChildFrame* window = m_list->GetParentFrame();
    window->resize(900, 600);
    m_list->SelectRow(2);
    SpinUntil([] { return false; }, 200);
    EXPECT_TRUE(window->grab().save(out + "/command-list.png"));

    // The site's commands hold one of each type: row and picture name.
    const std::pair<int, const char*> pictures[] = {
        {1, "keepcontent"}, {2, "find-replace"}, {7, "anchor-tags"},
        {5, "image-tags"},  {0, "filestat"},     {4, "rewind"},
    };
    for (const auto& [row, name] : pictures) {
        CParseCmdView* editor = Modify(row);
        ASSERT_NE(editor, nullptr) << name;
        SpinUntil([] { return false; }, 150);
        EXPECT_TRUE(editor->GetParentFrame()->grab().save(
            out + QStringLiteral("/command-editor-%1.png").arg(QString::fromLatin1(name))));
        editor->OnCancel();
        SpinUntil([&] { return Editors().empty(); });
    }
}

} // namespace
