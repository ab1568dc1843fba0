// The child frames of the program's windows. CChildFrame holds one view (the editors);
// CSplitFrame holds the options, the command list and the file list of a command file;
// CReportFrame holds the progress view above the path list; CTextFrame and CWebFrame hold
// the viewers.
//
// Threads: interface thread only.
#pragma once

#include "ReportFrame.h"
#include "SplitFrame.h"
#include "fw/ChildFrame.h"

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CChildFrame : public fw::ChildFrame
{
    Q_OBJECT

public:
    CChildFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document, int menuKind);
};

class CTextFrame : public fw::ChildFrame
{
    Q_OBJECT

public:
    CTextFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document);
};

class CWebFrame : public fw::ChildFrame
{
    Q_OBJECT

public:
    CWebFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document);
};

} // namespace wendo::ui
