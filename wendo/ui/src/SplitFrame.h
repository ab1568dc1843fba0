// The command file window: the option form above the command list above the file list, all
// three showing one command document. The form is shown whole when there is room; the two
// lists always keep a few lines each.
//
// Threads: interface thread only. Ownership: the frame owns the splitter, the splitter owns
// the three views.
#pragma once

#include "fw/ChildFrame.h"

#include <QMetaObject>
#include <QSize>

class QSplitter;

namespace wendo::ui {

class CSplitFrame : public fw::ChildFrame
{
    Q_OBJECT

public:
    // What the split arithmetic measures: the option form's size, the height of a menu bar
    // and of a caption button.
    struct Metrics
    {
        QSize form;
        int menuBar = 0;
        int caption = 0;
    };
    // Heights of the three rows: options, commands, files.
    struct Rows
    {
        int options = 0;
        int commands = 0;
        int files = 0;
        bool operator==(const Rows&) const = default;
    };

    CSplitFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document);
    ~CSplitFrame() override;
    void CreateViews() override;

    // The rows when the window is made with a client area of width by height.
    static Rows InitialRows(int width, int height, const Metrics& metrics);
    // The rows after the client area became width by height (height at least 4).
    static Rows ResizedRows(int width, int height, const Metrics& metrics);
    // The metrics of this program's style around an option form of the size given.
    static Metrics CurrentMetrics(QSize form);

    QSplitter* Splitter() const { return m_splitter; }
    // Repaints the bars between the panes; a pane that gains the focus asks for it.
    void RefreshSplitBars();

protected:
    // The window closes only when the document's option view agrees.
    void closeEvent(QCloseEvent* event) override;

private:
    QSplitter* m_splitter = nullptr;
    QMetaObject::Connection m_focusWatch;
};

} // namespace wendo::ui
