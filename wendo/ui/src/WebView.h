// The HTML viewer: a browser control filling the view, started on the first showing and
// navigated to the document's file, with back, forward, stop, refresh and View Source (the
// page shown, in the text viewer). A navigation that fails is told in the status bar. The
// file cannot be saved from here.
//
// Threads: interface thread only. Ownership: the view owns its control.
#pragma once

#include "HHCtrl.h"
#include "fw/View.h"

#include <QString>

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CWebView : public fw::View
{
    Q_OBJECT

public:
    CWebView(core::CDocument& document, QWidget* parent);
    // A command document is no web page; the view factory tells the two apart by this.
    CWebView(CWendoDoc& document, QWidget* parent) = delete;

    // Makes the control and navigates to the document's file, once; the first showing does
    // it. False when the control could not be made (the window then closes).
    bool Start();
    CHHCtrl& Control() { return m_control; }
    const QString& LastAddress() const { return m_address; }
    bool Navigate(const QString& address);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString SourcePath() const;

    CHHCtrl m_control;
    QString m_address;
    bool m_started = false;
};

} // namespace wendo::ui
