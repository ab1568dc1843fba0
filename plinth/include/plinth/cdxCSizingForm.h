// A form view whose controls follow the window when it is resized: each control registered
// once with a mode per axis or four percentages is moved from its designed rectangle by those
// percentages of the window's growth (see cdxSizingControlInfo.h). The form is measured at
// its initial update from the designed size of its resource, and cannot be made smaller.
//
// A derived form sets itself up from its Designer description with every control a direct
// child of the form (group boxes are frames behind their controls, as they would be drawn),
// registers its designed size (RegisterResourceSize) and registers its controls in its
// OnInitialUpdate after measuring.
//
// Threads: interface thread only. Ownership: the frame owns the form; the form owns its
// header and through it the control records.
#pragma once

#include "fw/View.h"
#include "plinth/cdxSizingControlInfo.h"
#include "plinth/cdxSizingMembers.h"
#include "plinth/plinth_api.h"

class PLINTH_API cdxCSizingForm : public fw::View, public cdxSizingMembers<cdxCSizingForm>
{
    Q_OBJECT

public:
    using ControlInfo = cdxSizingControlInfo;
    using Mode = cdxSizingControlInfo::Mode;
    using Freedom = cdxSizingControlInfo::Freedom;

    cdxCSizingForm(core::CDocument& document, int resourceId, QWidget* parent,
                   unsigned freedom = cdxSizingControlInfo::fdAll, bool sizeGrip = true);
    ~cdxCSizingForm() override;

    // The framework's initial update runs OnInitialUpdate(0). A derived form overrides the
    // form with the percentage (with "using cdxCSizingForm::OnInitialUpdate;"), calls this
    // one first and then registers its controls.
    void OnInitialUpdate() override { OnInitialUpdate(0); }
    virtual void OnInitialUpdate(int stretchPercent);

    ControlInfo::Header& GetHeader() { return m_header; }
    const ControlInfo::Header& GetHeader() const { return m_header; }

protected:
    // Registers the form's size now as the designed size of its resource; a derived form
    // calls it right after setting itself up from its Designer description.
    void RegisterResourceSize();
    void resizeEvent(QResizeEvent* event) override;

private:
    ControlInfo::Header m_header;
};
