// The views of the program's windows. Each shows its document and enables its own commands;
// the command list, the editors, the path selector, the option form and the progress views
// here are the plain forms that show the document's state until their full editors replace
// them.
//
// Threads: interface thread only.
#pragma once

#include "CmdView.h"
#include "ParseCmdView.h"
#include "ProgressPathView.h"
#include "ProgressView.h"
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

// The document's file set, one row per entry.
class CFileWendoView : public CWendoView, public FileListView
{
    Q_OBJECT

public:
    CFileWendoView(CWendoDoc& document, QWidget* parent);
    void OnInitialUpdate() override;
    void OnDocumentUpdate(core::DocumentView* sender, long hint) override;
    void RefreshFileList() override;

private:
    QTreeWidget* m_list;
};

// The global options of the command file.
class COptionView : public CWendoView
{
    Q_OBJECT

public:
    COptionView(CWendoDoc& document, QWidget* parent);
    void OnInitialUpdate() override;
    void OnDocumentUpdate(core::DocumentView* sender, long hint) override;

private:
    QLabel* m_summary;
};

// The path selector; while one is open on a document, the document cannot run.
class CPathView : public CWendoView
{
    Q_OBJECT

public:
    CPathView(CWendoDoc& document, QWidget* parent);
    ~CPathView() override;
};

// The text viewer.
class CTextView : public fw::View
{
    Q_OBJECT

public:
    CTextView(core::CDocument& document, QWidget* parent);
    void OnInitialUpdate() override;

private:
    QPlainTextEdit* m_text;
};

// The HTML viewer.
class CWebView : public fw::View
{
    Q_OBJECT

public:
    CWebView(core::CDocument& document, QWidget* parent);
    void OnInitialUpdate() override;

private:
    QTextBrowser* m_browser;
};

} // namespace wendo::ui
