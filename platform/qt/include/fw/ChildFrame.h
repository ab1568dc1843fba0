// A document window inside the main frame: one or more views of one document, one of them
// active. The menu kind tells the main frame which menu bar and accelerator table to use
// while this frame is active.
//
// Closing: a frame refuses to close while its document must not go (a run in flight, or the
// user cancels saving); closing the last frame of a document closes the document.
//
// Threads: interface thread only. Ownership: the MDI area owns the frame; the frame owns its
// views; the template owns the document.
#pragma once

#include "core/Document.h"
#include "fw/CommandTarget.h"

#include <QMdiSubWindow>
#include <QPointer>

namespace fw {

class MultiDocTemplate;
class View;

class ChildFrame : public QMdiSubWindow, public CommandTarget
{
    Q_OBJECT

public:
    ChildFrame(MultiDocTemplate& docTemplate, core::CDocument& document, int menuKind);
    ~ChildFrame() override;

    MultiDocTemplate& GetTemplate() const { return *m_template; }
    core::CDocument* GetActiveDocument() const { return m_document; }
    int MenuKind() const { return m_menuKind; }

    View* GetActiveView() const { return m_activeView.data(); }
    void SetActiveView(View* view);

    // Makes the frame's views (the default: one view of the template's view class as the
    // frame's widget) and runs their initial update.
    virtual void CreateViews();
    void InitialUpdate();

    // Whether the caption carries the document title (the framework's usual caption).
    void SetAddsTitle(bool adds) { m_addsTitle = adds; }
    void RefreshCaption();

Q_SIGNALS:
    void frameClosing(fw::ChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MultiDocTemplate* m_template;
    core::CDocument* m_document;
    int m_menuKind;
    QPointer<View> m_activeView;
    bool m_addsTitle = true;
};

} // namespace fw
