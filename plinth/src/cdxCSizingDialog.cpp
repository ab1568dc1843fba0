#include "plinth/cdxCSizingDialog.h"

#include "fw/MessageBox.h"

#include <QResizeEvent>

cdxCSizingDialog::cdxCSizingDialog(QWidget* parent, unsigned freedom, bool sizeGrip)
    : QDialog(parent), m_header(freedom, sizeGrip)
{
    m_header.Init(this);
}

cdxCSizingDialog::~cdxCSizingDialog() = default;

int cdxCSizingDialog::OnInitDialog(int stretchPercent)
{
    return m_header.OnInitDialog(stretchPercent);
}

void cdxCSizingDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!isMinimized()) {
        m_header.ChangeSize(event->size().width(), event->size().height());
    }
}
