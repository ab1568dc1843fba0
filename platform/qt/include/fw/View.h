// A view: a widget that shows one document inside a child frame. It attaches itself to the
// document when made and detaches when destroyed, and it is the first target of the command
// routing while it is its frame's active view.
//
// Threads: interface thread only. Ownership: the child frame owns its views (Qt parenting);
// the document does not.
#pragma once

#include "core/Document.h"
#include "fw/CommandTarget.h"

#include <QWidget>

namespace fw {

class ChildFrame;

class View : public QWidget, public virtual core::DocumentView, public CommandTarget
{
    Q_OBJECT

public:
    View(core::CDocument& document, QWidget* parent);
    ~View() override;

    core::CDocument* GetDocument() const { return m_document; }
    // The child frame that holds the view; none before it is placed in one.
    ChildFrame* GetParentFrame() const;

    // Called once, after the frame has made all its views and before it is shown.
    virtual void OnInitialUpdate() {}

private:
    core::CDocument* m_document;
};

// A view class as a value: tells whether a view is of a class or derives from it.
using ViewClass = bool (*)(const View*);

template <class T> bool IsViewOf(const View* view)
{
    return dynamic_cast<const T*>(view) != nullptr;
}

template <class T> constexpr ViewClass ViewClassOf()
{
    return &IsViewOf<T>;
}

} // namespace fw
