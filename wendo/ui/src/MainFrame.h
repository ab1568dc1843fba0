// The main window of Wendo: menus per kind of active window, the "Standard" and "Browse"
// toolbars, the status bar, the application-wide commands (run, stop, resume, view
// switching, toolbar toggles), the main title, the saved placement, and the hand-over of a
// run's notifications to the progress views of their document.
//
// The frame routes; the views hold their own logic. Threads: interface thread only.
#pragma once

#include "fw/DocTemplate.h"
#include "fw/MDIFrame.h"
#include "fw/View.h"

#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMimeData;
class QPrinter;
class QToolBar;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CWendoApp;

class CMainFrame : public fw::MDIFrame
{
    Q_OBJECT

public:
    explicit CMainFrame(CWendoApp& app);
    ~CMainFrame() override;

    // Makes the toolbars, status bar, accelerators and the first menu bar.
    bool LoadFrame();

    // Shows the view of the class on the document (the active one when none is given),
    // making a frame from the template when there is none. The new frame, or none.
    fw::ChildFrame* ActivateDocView(fw::MultiDocTemplate* docTemplate, fw::ViewClass viewClass,
                                    core::CDocument* document = nullptr);
    // The first view of the document, in its view order, of the class or derived from it.
    static fw::View* FindDocView(const core::CDocument* document, fw::ViewClass viewClass);
    bool IsActiveViewOneOf(std::initializer_list<fw::ViewClass> classes) const;
    // The active child's command document, or none.
    CWendoDoc* GetActiveWendoDoc() const;

    void UpdateRunCommand();
    // Shows the recent-file list as it is now in the File menu in use.
    void RefreshRecentFiles();
    // The status bar names the encoding of the active text window when it is not UTF-8.
    void UpdateEncodingPane();
    QString GetEncodingPaneText() const;
    // The views of the active window that F6 and Shift+F6 go through, in pane order.
    std::vector<fw::View*> PaneViews() const;
    // The files of dropped data that are opened as from File > Open.
    static QStringList DroppedFiles(const QMimeData* data);
    // The session's page settings (Print Setup), none before the dialog was first shown.
    QPrinter* GetPrinter() const { return m_printer.get(); }
    void UpdateMainTitle(fw::ChildFrame* frame);
    void InitialShowWindow(std::uint32_t showCommand);
    // Saves the placement as the close handler does (also used by tests).
    void SavePlacement();

    // One notification of a run (see engine/Notifications.h); 0 when dropped.
    std::intptr_t OnRunNotification(std::uint32_t message, std::intptr_t wParam, void* lParam);

    QToolBar* GetStandardBar() const { return m_standard; }
    QToolBar* GetBrowseBar() const { return m_browse; }
    // The File menu and the View menu of the menu bar in use.
    QMenu* GetFileMenu() const;
    QMenu* GetViewMenu() const;

protected:
    void BuildMenuBar(QMenuBar* bar, int menuKind) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void OnChildActivated(fw::ChildFrame* frame) override;
    bool CanCloseFrame() override;

private:
    void CreateToolBars();
    void SetAccelerators();
    void RegisterCommands();
    void RegisterRunCommands();
    // File > Undo Last Run... and what the end of a run says about undoing it
    // (MainFrameUndo.cpp).
    void RegisterUndoCommands();
    void OnUndoLastRun();
    void NoteRunUndo(const CWendoDoc& doc);
    void OnRun();
    void OnStop();
    void OnResume();
    void OnReport();
    bool CanShowReport() const;
    void OnChildDestroyed();
    void MoveToPane(int step);
    void OnPrintSetup();
    void FillWindowMenu(QMenu* menu);

    CWendoApp* m_wendoApp;
    QToolBar* m_standard = nullptr;
    QToolBar* m_browse = nullptr;
    QLabel* m_encoding = nullptr;
    // The title as this frame sets it (see changeEvent).
    QString m_title;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace wendo::ui
