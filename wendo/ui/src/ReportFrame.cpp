#include "ReportFrame.h"

#include "ProgressPathView.h"
#include "ProgressView.h"
#include "WendoIds.h"
#include "model/WendoDoc.h"

#include <QApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <QSplitter>
#include <QStyle>
#include <algorithm>

namespace wendo::ui {

namespace {

// Lays its two panes out by the report window's rule: the first size it gets is the window's
// creation, every later one a resize.
class ReportSplitter final : public QSplitter
{
public:
    explicit ReportSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent)
    {
        setObjectName(QStringLiteral("ReportSplitter"));
        setChildrenCollapsible(false);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QSplitter::resizeEvent(event);
        const CReportFrame::Metrics metrics = CReportFrame::CurrentMetrics();
        const int width = event->size().width();
        const int height = event->size().height();
        const int upper = m_made ? CReportFrame::ResizedUpperHeight(width, height, metrics)
                                 : CReportFrame::InitialUpperHeight(width, height, metrics);
        m_made = true;
        // The upper pane keeps its height; the bar between the panes comes off the lower one.
        setSizes({upper, std::max(0, height - upper - handleWidth())});
    }

private:
    bool m_made = false;
};

} // namespace

CReportFrame::CReportFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document)
    : fw::ChildFrame(docTemplate, document, kReportMenu)
{
    resize(640, 520);
}

void CReportFrame::CreateViews()
{
    auto& doc = static_cast<CWendoDoc&>(*GetActiveDocument());
    m_splitter = new ReportSplitter(this);
    auto* progress = new CProgressView(doc, m_splitter);
    auto* paths = new CProgressPathView(doc, m_splitter);
    m_splitter->addWidget(progress);
    m_splitter->addWidget(paths);
    setWidget(m_splitter);
    SetActiveView(progress);
}

CReportFrame::Metrics CReportFrame::CurrentMetrics()
{
    static const int menuBar = [] {
        QMenuBar bar;
        bar.addMenu(QStringLiteral("&File"));
        return bar.sizeHint().height();
    }();
    Metrics metrics;
    metrics.form = CProgressView::FormSize();
    metrics.menuBar = menuBar;
    metrics.scrollBar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return metrics;
}

int CReportFrame::InitialUpperHeight(int width, int height, const Metrics& metrics)
{
    int upper = metrics.form.height() + 2;
    if (width < metrics.form.width()) {
        upper += metrics.scrollBar; // room for the form's scroll bar
    }
    int lower = height - upper;
    const int least = 3 * metrics.menuBar + 10;
    if (lower < least) {
        lower = least > height ? height / 2 : least;
        upper = height - lower;
    }
    return upper;
}

int CReportFrame::ResizedUpperHeight(int width, int height, const Metrics& metrics)
{
    int upper = metrics.form.height() + 2;
    if (width < metrics.form.width()) {
        upper += metrics.menuBar;
    }
    int lower = height - upper;
    const int least = 3 * metrics.menuBar + 5;
    if (height < 6 * metrics.menuBar) {
        lower = 2 * height / 3;
    } else if (lower < least) {
        lower = height < least ? height / 2 : least;
    }
    return height - lower;
}

} // namespace wendo::ui
