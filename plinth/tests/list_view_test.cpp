#include "PlinthTestSupport.h"
#include "plinth/KVListView.h"
#include "plinth/KVRichEditCtrl.h"

#include <QMouseEvent>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <tuple>

namespace {

class RecordingList : public CKVListView
{
public:
    explicit RecordingList(core::CDocument& document) : CKVListView(document, nullptr)
    {
        InsertColumn(QStringLiteral("Type"), 150);
        InsertColumn(QStringLiteral("Value"), 100);
        SetImageList({QIcon(), QIcon(), QIcon()});
        for (int row = 0; row < 4; ++row) {
            InsertItem(row, QStringLiteral("row %1").arg(row), row == 0 ? 2 : 1);
        }
        AddIconNot2Drag(2);
        resize(400, 300);
    }
    std::optional<std::tuple<int, int, bool>> m_drop;
    int m_activated = -2;

protected:
    void OnEndDrag() override
    {
        int source = 0;
        int target = 0;
        bool after = false;
        if (GetDraggingParam(source, target, after)) {
            m_drop = std::make_tuple(source, target, after);
        }
    }
    void OnItemActivated(int row) override { m_activated = row; }
};

void Send(QWidget* viewport, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

QPoint RowPoint(const RecordingList& list, int row, bool lowerHalf)
{
    const QRect rect = list.GetListCtrl().visualItemRect(list.GetListCtrl().topLevelItem(row));
    return {rect.center().x(), lowerHalf ? rect.bottom() - 1 : rect.top() + 1};
}

void Drag(RecordingList& list, QPoint from, QPoint to)
{
    QWidget* viewport = list.GetListCtrl().viewport();
    Send(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Send(viewport, QEvent::MouseMove, (from + to) / 2 + QPoint(0, 20), Qt::LeftButton);
    Send(viewport, QEvent::MouseMove, to, Qt::LeftButton);
    Send(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

class ListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PlinthTestApp();
        m_view = std::make_unique<RecordingList>(m_doc);
        m_view->show();
        QApplication::processEvents();
    }
    core::CDocument m_doc;
    std::unique_ptr<RecordingList> m_view;
};

TEST_F(ListViewTest, ADragReportsSourceTargetAndSide)
{
    Drag(*m_view, RowPoint(*m_view, 1, false), RowPoint(*m_view, 3, true));
    ASSERT_TRUE(m_view->m_drop.has_value());
    EXPECT_EQ(*m_view->m_drop, std::make_tuple(1, 3, true));

    m_view->m_drop.reset();
    Drag(*m_view, RowPoint(*m_view, 3, false), RowPoint(*m_view, 1, false));
    ASSERT_TRUE(m_view->m_drop.has_value());
    EXPECT_EQ(*m_view->m_drop, std::make_tuple(3, 1, false));
    int source = 0;
    int target = 0;
    bool after = false;
    EXPECT_FALSE(m_view->GetDraggingParam(source, target, after));
}

TEST_F(ListViewTest, RowsMarkedNotToDragAndClicksReportNoDrag)
{
    Drag(*m_view, RowPoint(*m_view, 0, false), RowPoint(*m_view, 3, true));
    EXPECT_FALSE(m_view->m_drop.has_value());

    QWidget* viewport = m_view->GetListCtrl().viewport();
    Send(viewport, QEvent::MouseButtonPress, RowPoint(*m_view, 2, false), Qt::LeftButton);
    Send(viewport, QEvent::MouseButtonRelease, RowPoint(*m_view, 2, false), Qt::NoButton);
    EXPECT_FALSE(m_view->m_drop.has_value());
    EXPECT_EQ(m_view->GetSelectedRow(), 2);
}

TEST_F(ListViewTest, RowsKeepTextAndImages)
{
    EXPECT_EQ(m_view->GetItemImage(0), 2);
    EXPECT_EQ(m_view->GetItemImage(9), -1);
    EXPECT_EQ(m_view->InsertItem(99, QStringLiteral("last"), 0), 4);
    EXPECT_TRUE(m_view->SetItemText(4, 1, QStringLiteral("v")));
    EXPECT_FALSE(m_view->SetItemText(4, 5, QStringLiteral("v")));
    EXPECT_EQ(m_view->GetItemText(4, 1), QStringLiteral("v"));
    EXPECT_TRUE(m_view->DeleteItem(0));
    EXPECT_FALSE(m_view->DeleteItem(4));
    EXPECT_EQ(m_view->GetItemText(0, 0), QStringLiteral("row 1"));

    m_view->SelectRow(1);
    m_view->GetListCtrl().setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&m_view->GetListCtrl(), &enter);
    EXPECT_EQ(m_view->m_activated, 1);
}

TEST(RichEditTest, ReadsWritesAndSignalsOnlyOnceTurnedOn)
{
    PlinthTestApp();
    CKVRichEditCtrl edit;
    int edits = 0;
    QObject::connect(&edit, &CKVRichEditCtrl::textEdited, &edit, [&] { ++edits; });
    edit.WriteStrCtrl("caf\xc3\xa9 ~x~");
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(edit.ReadStrCtrl(), "caf\xc3\xa9 ~x~");
    edit.SetChangeNotify(true);
    edit.selectAll();
    EXPECT_TRUE(edit.IsTextSelected());
    edit.insertPlainText(QStringLiteral("new"));
    EXPECT_EQ(edits, 1);
    EXPECT_TRUE(edit.CanUndo());
    edit.ClearCtrl();
    EXPECT_EQ(edit.ReadStrCtrl(), "");
}

} // namespace
