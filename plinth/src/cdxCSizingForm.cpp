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

cdxSizingControlInfo* cdxCSizingForm::AddSzControl(QWidget* control, int hMode, int vMode)
{
    return m_header.AddSzControl(control, hMode, vMode);
}

cdxSizingControlInfo* cdxCSizingForm::AddSzXControl(QWidget* control, int mode)
{
    return m_header.AddSzXControl(control, mode);
}

cdxSizingControlInfo* cdxCSizingForm::AddSzYControl(QWidget* control, int mode)
{
    return m_header.AddSzYControl(control, mode);
}

cdxSizingControlInfo* cdxCSizingForm::AddSzControlEx(QWidget* control, std::uint8_t left,
                                                     std::uint8_t right, std::uint8_t top,
                                                     std::uint8_t bottom)
{
    return m_header.AddSzControlEx(control, left, right, top, bottom);
}

cdxSizingControlInfo* cdxCSizingForm::AddSzXControlEx(QWidget* control, std::uint8_t left,
                                                      std::uint8_t right)
{
    return m_header.AddSzXControlEx(control, left, right);
}

cdxSizingControlInfo* cdxCSizingForm::AddSzYControlEx(QWidget* control, std::uint8_t top,
                                                      std::uint8_t bottom)
{
    return m_header.AddSzYControlEx(control, top, bottom);
}

cdxSizingControlInfo* cdxCSizingForm::UpdateSzControl(QWidget* control, int hMode, int vMode)
{
    return m_header.UpdateSzControl(control, hMode, vMode);
}

cdxSizingControlInfo* cdxCSizingForm::UpdateSzControlEx(QWidget* control, std::uint8_t left,
                                                        std::uint8_t right, std::uint8_t top,
                                                        std::uint8_t bottom)
{
    return m_header.UpdateSzControlEx(control, left, right, top, bottom);
}

void cdxCSizingForm::ReorganizeControls()
{
    m_header.ReorganizeControls();
}

bool cdxCSizingForm::ChangeSize(int width, int height)
{
    return m_header.ChangeSize(width, height);
}

void cdxCSizingForm::StretchWindow(int percent)
{
    m_header.StretchWindow(percent);
}

bool cdxCSizingForm::StoreWindowPosition(const QString& section, fw::Profile* profile)
{
    return m_header.StoreWindowPosition(section, profile);
}

bool cdxCSizingForm::StoreWindowPosition(unsigned sectionStringId)
{
    return m_header.StoreWindowPosition(fw::LoadQString(sectionStringId));
}

bool cdxCSizingForm::RestoreWindowPosition(const QString& section, bool withState,
                                           fw::Profile* profile)
{
    return m_header.RestoreWindowPosition(section, withState, profile);
}

bool cdxCSizingForm::RestoreWindowPosition(unsigned sectionStringId, bool withState)
{
    return m_header.RestoreWindowPosition(fw::LoadQString(sectionStringId), withState);
}

void cdxCSizingForm::DestroyWindow()
{
    m_header.DestroyControls();
    deleteLater();
}

void cdxCSizingForm::resizeEvent(QResizeEvent* event)
{
    fw::View::resizeEvent(event);
    // A minimised window keeps its layout for when it comes back.
    if (!isMinimized()) {
        m_header.ChangeSize(event->size().width(), event->size().height());
    }
}
