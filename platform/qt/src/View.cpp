#include "fw/View.h"

#include "fw/ChildFrame.h"

namespace fw {

View::View(core::CDocument& document, QWidget* parent) : QWidget(parent), m_document(&document)
{
    m_document->AddView(this);
}

View::~View()
{
    m_document->RemoveView(this);
}

ChildFrame* View::GetParentFrame() const
{
    for (QWidget* widget = parentWidget(); widget != nullptr; widget = widget->parentWidget()) {
        if (auto* frame = qobject_cast<ChildFrame*>(widget)) {
            return frame;
        }
    }
    return nullptr;
}

} // namespace fw
