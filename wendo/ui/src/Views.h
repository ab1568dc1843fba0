// The views of the program's windows. Each shows its document and enables its own commands;
// the command list, the editors, the path selector, the option form and the progress views
// here are the plain forms that show the document's state until their full editors replace
// them.
//
// Threads: interface thread only.
#pragma once

#include "CmdView.h"
#include "FileWendoView.h"
#include "OptionView.h"
#include "ParseCmdView.h"
#include "PathView.h"
#include "ProgressPathView.h"
#include "ProgressView.h"
#include "TextView.h"
#include "WebView.h"
#include "fw/View.h"
#include "model/DocViews.h"

#include <cstdint>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QTextBrowser;
class QTreeWidget;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

// A view of a command document.
class CWendoView : public fw::View
{
    Q_OBJECT

public:
    CWendoView(CWendoDoc& document, QWidget* parent);
    CWendoDoc& GetWendoDoc() const;
};

} // namespace wendo::ui
