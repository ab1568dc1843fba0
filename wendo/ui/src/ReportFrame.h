// The report window: the progress view above the path list, split so that the form is shown
// whole when there is room and the list always keeps a few lines.
//
// Threads: interface thread only.
#pragma once

#include "fw/ChildFrame.h"

#include <QSize>

class QSplitter;

namespace wendo::ui {

class CReportFrame : public fw::ChildFrame
{
    Q_OBJECT

public:
    // What the split arithmetic measures: the form's size, the height of a menu bar and the
    // room a horizontal scroll bar takes.
    struct Metrics
    {
        QSize form;
        int menuBar = 0;
        int scrollBar = 0;
    };

    CReportFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document);
    void CreateViews() override;

    // Height of the upper pane when the window is made with a client area of width by height.
    static int InitialUpperHeight(int width, int height, const Metrics& metrics);
    // Height of the upper pane after the client area became width by height.
    static int ResizedUpperHeight(int width, int height, const Metrics& metrics);
    // The metrics of this program's form and style.
    static Metrics CurrentMetrics();

    QSplitter* Splitter() const { return m_splitter; }

private:
    QSplitter* m_splitter = nullptr;
};

} // namespace wendo::ui
