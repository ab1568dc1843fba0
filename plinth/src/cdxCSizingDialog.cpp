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

cdxSizingControlInfo* cdxCSizingDialog::AddSzControl(QWidget* control, int hMode, int vMode)
{
    return m_header.AddSzControl(control, hMode, vMode);
}

cdxSizingControlInfo* cdxCSizingDialog::AddSzXControl(QWidget* control, int mode)
{
    return m_header.AddSzXControl(control, mode);
}

cdxSizingControlInfo* cdxCSizingDialog::AddSzYControl(QWidget* control, int mode)
{
    return m_header.AddSzYControl(control, mode);
}

cdxSizingControlInfo* cdxCSizingDialog::AddSzControlEx(QWidget* control, std::uint8_t left,
                                                       std::uint8_t right, std::uint8_t top,
                                                       std::uint8_t bottom)
{
    return m_header.AddSzControlEx(control, left, right, top, bottom);
}

cdxSizingControlInfo* cdxCSizingDialog::AddSzXControlEx(QWidget* control, std::uint8_t left,
                                                        std::uint8_t right)
{
    return m_header.AddSzXControlEx(control, left, right);
}

cdxSizingControlInfo* cdxCSizingDialog::AddSzYControlEx(QWidget* control, std::uint8_t top,
                                                        std::uint8_t bottom)
{
    return m_header.AddSzYControlEx(control, top, bottom);
}

cdxSizingControlInfo* cdxCSizingDialog::UpdateSzControl(QWidget* control, int hMode, int vMode)
{
    return m_header.UpdateSzControl(control, hMode, vMode);
}

cdxSizingControlInfo* cdxCSizingDialog::UpdateSzControlEx(QWidget* control, std::uint8_t left,
                                                          std::uint8_t right, std::uint8_t top,
                                                          std::uint8_t bottom)
{
    return m_header.UpdateSzControlEx(control, left, right, top, bottom);
}

void cdxCSizingDialog::ReorganizeControls()
{
    m_header.ReorganizeControls();
}

bool cdxCSizingDialog::ChangeSize(int width, int height)
{
    return m_header.ChangeSize(width, height);
}

void cdxCSizingDialog::StretchWindow(int percent)
{
    m_header.StretchWindow(percent);
}

bool cdxCSizingDialog::StoreWindowPosition(const QString& section, fw::Profile* profile)
{
    return m_header.StoreWindowPosition(section, profile);
}

bool cdxCSizingDialog::StoreWindowPosition(unsigned sectionStringId)
{
    return m_header.StoreWindowPosition(fw::LoadQString(sectionStringId));
}

bool cdxCSizingDialog::RestoreWindowPosition(const QString& section, bool withState,
                                             fw::Profile* profile)
{
    return m_header.RestoreWindowPosition(section, withState, profile);
}

bool cdxCSizingDialog::RestoreWindowPosition(unsigned sectionStringId, bool withState)
{
    return m_header.RestoreWindowPosition(fw::LoadQString(sectionStringId), withState);
}

void cdxCSizingDialog::DestroyWindow()
{
    m_header.DestroyControls();
    deleteLater();
}

void cdxCSizingDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!isMinimized()) {
        m_header.ChangeSize(event->size().width(), event->size().height());
    }
}
