// The preview window: one file's text now beside the text a run of the document would write
// over it, row against row, with the changed lines marked, the next and previous change, and
// their count. The commands run on a worker thread as soon as the window opens, on a copy of
// the document taken then (with the option form's unsaved values), and write nothing.
//
// Threads: the window lives on the interface thread; its worker only runs the FilePreview
// and hands the result back through a queued call. The destructor stops and joins the worker.
#pragma once

#include "engine/FilePreview.h"

#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CPreviewWindow : public QWidget
{
    Q_OBJECT

public:
    // path: kept form. The window deletes itself when closed.
    CPreviewWindow(std::unique_ptr<FilePreview> preview, std::string path, QWidget* parent);
    ~CPreviewWindow() override;

    // The worker has handed its result over.
    bool IsReady() const { return m_ready; }
    int ChangeCount() const { return static_cast<int>(m_changeRows.size()); }
    // Index of the change shown, -1 when none.
    int CurrentChange() const { return m_current; }
    void NextChange();
    void PreviousChange();
    QPlainTextEdit* Before() const { return m_before; }
    QPlainTextEdit* After() const { return m_after; }
    QString StatusText() const;

private:
    void ShowResult(const FilePreview::Result& result);
    void FillTexts(const FilePreview::Result& result);
    void GoTo(int change);
    void UpdateStatus();

    QPlainTextEdit* m_before;
    QPlainTextEdit* m_after;
    QLabel* m_status;
    QPushButton* m_previous;
    QPushButton* m_next;
    // First row of each change, the same in both texts (rows are aligned).
    std::vector<int> m_changeRows;
    int m_current = -1;
    bool m_ready = false;
    QString m_message;

    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

// Opens a preview window of the file at path (kept form) for the document, with the values
// its option form shows.
CPreviewWindow* ShowPreview(CWendoDoc& document, const std::string& path);

} // namespace wendo::ui
