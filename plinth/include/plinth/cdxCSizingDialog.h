// A dialog whose controls follow the window when it is resized (see cdxSizingControlInfo.h).
// It is measured when it is initialised (OnInitDialog): its size then is its initial size
// and its smallest size. A tool bar (id 59392) widens and stays at the top, a status bar
// (id 59393) widens and stays at the bottom.
//
// Threads: interface thread only.
#pragma once

#include "plinth/cdxSizingControlInfo.h"
#include "plinth/cdxSizingMembers.h"
#include "plinth/plinth_api.h"

#include <QDialog>

class PLINTH_API cdxCSizingDialog : public QDialog, public cdxSizingMembers<cdxCSizingDialog>
{
    Q_OBJECT

public:
    using ControlInfo = cdxSizingControlInfo;

    explicit cdxCSizingDialog(QWidget* parent = nullptr,
                              unsigned freedom = cdxSizingControlInfo::fdAll, bool sizeGrip = true);
    ~cdxCSizingDialog() override;

    // Measures the dialog; a derived dialog calls it once its controls are set up, then
    // registers them. 1.
    virtual int OnInitDialog(int stretchPercent = 0);

    ControlInfo::Header& GetHeader() { return m_header; }
    const ControlInfo::Header& GetHeader() const { return m_header; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    ControlInfo::Header m_header;
};
