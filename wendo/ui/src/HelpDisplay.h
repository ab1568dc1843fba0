// The program's help display: shows a help page (an HTML file) in a browser window. A
// request for a file that does not exist fails, so the caller falls back to dialog 554.
//
// Threads: interface thread only; registered with Tessel while the application lives.
#pragma once

#include "tessel/HtmlHelp.h"

#include <QPointer>

class QTextBrowser;

namespace wendo::ui {

class HelpDisplay final : public IHtmlHelpDisplay
{
public:
    HelpDisplay();
    ~HelpDisplay() override;
    HelpDisplay(const HelpDisplay&) = delete;
    HelpDisplay& operator=(const HelpDisplay&) = delete;

    void* ShowHelp(void* window, const char* file, unsigned command, std::uintptr_t data) override;

    // The page shown for a help file name ("x.chm>Type" gives x.html); empty when missing.
    static QString PageFor(const char* file);

private:
    QPointer<QTextBrowser> m_browser;
};

} // namespace wendo::ui
