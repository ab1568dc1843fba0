#include "plinth/cdxCSizingForm.h"

#include "fw/MessageBox.h"
#include "plinth/KVResource.h"

#include <QResizeEvent>

cdxCSizingForm::cdxCSizingForm(core::CDocument& document, int resourceId, QWidget* parent,
                               unsigned freedom, bool sizeGrip)
    : fw::View(document, parent), m_header(freedom, sizeGrip)
{
    m_header.Init(this, resourceId);
}

cdxCSizingForm::~cdxCSizingForm() = default;

void cdxCSizingForm::OnInitialUpdate(int stretchPercent)
{
    m_header.OnInitialUpdate(stretchPercent);
}

void cdxCSizingForm::RegisterResourceSize()
{
    KVSetIDResourceSize(m_header.GetResourceId(), size());
}

void cdxCSizingForm::resizeEvent(QResizeEvent* event)
{
    fw::View::resizeEvent(event);
    // A minimised window keeps its layout for when it comes back.
    if (!isMinimized()) {
        m_header.ChangeSize(event->size().width(), event->size().height());
    }
}
