#include "SplitFrame.h"

#include "CmdView.h"
#include "FileWendoView.h"
#include "OptionView.h"
#include "WendoIds.h"
#include "model/WendoDoc.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QResizeEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStyle>
#include <algorithm>

namespace wendo::ui {

namespace {

// Lays its three panes out by the command file window's rule: the first size it gets is the
// window's creation, every later one a resize.
class CommandFileSplitter final : public QSplitter
{
public:
    explicit CommandFileSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent)
    {
        setObjectName(QStringLiteral("CommandFileSplitter"));
        setChildrenCollapsible(false);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QSplitter::resizeEvent(event);
        const int width = event->size().width();
        const int height = event->size().height();
        if (m_made && height < 4) {
            return;
        }
        const CSplitFrame::Metrics metrics =
            CSplitFrame::CurrentMetrics(count() > 0 ? widget(0)->sizeHint() : QSize());
        const CSplitFrame::Rows rows = m_made ? CSplitFrame::ResizedRows(width, height, metrics)
                                              : CSplitFrame::InitialRows(width, height, metrics);
        m_made = true;
        // The bars between the panes come off the file list.
        const int files = std::max(0, rows.files - 2 * handleWidth());
        setSizes({rows.options, rows.commands, files});
    }

private:
    bool m_made = false;
};

int FormRowHeight(int width, const CSplitFrame::Metrics& metrics, int narrowExtra)
{
    int top = metrics.form.height() + 2;
    if (width < metrics.form.width()) {
        top += narrowExtra; // room for the form's scroll bar
    }
    return top;
}

CSplitFrame::Rows Share(int height, int lists)
{
    lists = std::clamp(lists, 0, std::max(0, height));
    CSplitFrame::Rows rows;
    rows.options = std::max(0, height) - lists;
    rows.commands = lists / 2;
    rows.files = lists - rows.commands;
    return rows;
}

} // namespace

CSplitFrame::CSplitFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document)
    : fw::ChildFrame(docTemplate, document, kCommandMenu)
{
    resize(720, 520);
}

CSplitFrame::~CSplitFrame()
{
    QObject::disconnect(m_focusWatch);
}

void CSplitFrame::CreateViews()
{
    auto& doc = static_cast<CWendoDoc&>(*GetActiveDocument());
    m_splitter = new CommandFileSplitter(this);
    auto* options = new COptionView(doc, m_splitter);
    auto* commands = new CCmdView(doc, m_splitter);
    auto* files = new CFileWendoView(doc, m_splitter);
    m_splitter->addWidget(options);
    m_splitter->addWidget(commands);
    m_splitter->addWidget(files);
    setWidget(m_splitter);
    SetActiveView(commands);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && m_splitter != nullptr && m_splitter->isAncestorOf(now)) {
            RefreshSplitBars();
        }
    });
}

void CSplitFrame::RefreshSplitBars()
{
    if (m_splitter == nullptr) {
        return;
    }
    for (int i = 1; i < m_splitter->count(); ++i) {
        m_splitter->handle(i)->update();
    }
}

CSplitFrame::Metrics CSplitFrame::CurrentMetrics(QSize form)
{
    static const int menuBar = [] {
        QMenuBar bar;
        bar.addMenu(QStringLiteral("&File"));
        return bar.sizeHint().height();
    }();
    Metrics metrics;
    metrics.form = form;
    metrics.menuBar = menuBar;
    metrics.caption = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return metrics;
}

CSplitFrame::Rows CSplitFrame::InitialRows(int width, int height, const Metrics& metrics)
{
    const int top = FormRowHeight(width, metrics, metrics.caption);
    int rest = height - top;
    const int least = 6 * metrics.menuBar + 10;
    if (rest < least) {
        rest = least > height ? 2 * height / 3 : least;
    }
    return Share(height, rest);
}

CSplitFrame::Rows CSplitFrame::ResizedRows(int width, int height, const Metrics& metrics)
{
    const int top = FormRowHeight(width, metrics, metrics.menuBar + 2);
    int lists = height - top;
    const int least = 6 * metrics.menuBar + 10;
    if (height < 9 * metrics.menuBar) {
        lists = 2 * height / 3;
    } else if (lists < least) {
        lists = height < least ? 2 * height / 3 : least;
    }
    return Share(height, lists);
}

void CSplitFrame::closeEvent(QCloseEvent* event)
{
    const auto* options = m_splitter != nullptr ? m_splitter->findChild<COptionView*>() : nullptr;
    if (options != nullptr && !options->CanCloseFrame()) {
        event->ignore();
        return;
    }
    fw::ChildFrame::closeEvent(event);
}

} // namespace wendo::ui
