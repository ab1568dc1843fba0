// The main window of a multiple-document program: the MDI area with the child frames, the
// menu bar for the kind of the active child, the accelerator keys, the status bar, and the
// routing of commands (active view, its frame, its document, this frame, the application)
// with an update pass on a short timer, on activation and before a menu opens.
//
// Threads: interface thread only.
#pragma once

#include "fw/CommandManager.h"
#include "fw/CommandTarget.h"

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenuBar;

namespace fw {

class ChildFrame;
class View;
class WinApp;

class MDIFrame : public QMainWindow, public CommandTarget
{
    Q_OBJECT

public:
    // The menu kind while no child frame is active.
    static constexpr int kNoChildMenu = -1;

    explicit MDIFrame(WinApp& app);
    ~MDIFrame() override;

    WinApp& GetApp() const { return *m_app; }
    QMdiArea* GetMdiArea() const { return m_mdiArea; }
    CommandManager& GetCommands() { return m_commands; }

    // The active child frame (the last one active while the main window has no focus), and
    // whether it is maximised.
    ChildFrame* MDIGetActive(bool* maximised = nullptr) const;
    std::vector<ChildFrame*> GetChildFrames() const;
    // Places a new child frame in the MDI area (not shown yet).
    void AddChildFrame(ChildFrame* frame);
    void ActivateFrame(ChildFrame* frame);
    // Moves a child window, and shrinks it when it is larger, so that it lies whole inside the
    // client area. A maximised or minimised window is left alone.
    void FitInClientArea(QMdiSubWindow* frame) const;
    // Cascade and Tile, then every window fitted inside the client area.
    void CascadeChildren();
    void TileChildren();

    std::vector<CommandTarget*> GetRoutingChain() const;
    // The update pass, now.
    void UpdateCommandUI();
    // The menu kind in use (kNoChildMenu or the active child's).
    int GetMenuKind() const { return m_menuKind; }

    // Writes into the pane of that indicator id, or the message pane for 0; nothing when the
    // status bar or pane does not exist.
    void SetStatusText(const QString& text, int paneId = 0);
    void SetStatusText(unsigned stringId, int paneId = 0);
    QString GetStatusText(int paneId = 0) const;
    // The message pane's idle text ("Ready"), also when a prompt no longer applies: the next
    // menu, the next active window, the next run.
    void ResetStatusText();
    // Whether the pane of an indicator id shows its key as on (CAP, NUM, SCRL).
    bool IsIndicatorOn(int paneId) const;

protected:
    // Fills the empty menu bar for a menu kind.
    virtual void BuildMenuBar(QMenuBar* bar, int menuKind) = 0;
    // The accelerator table of a menu kind (table 0 is always tried after it).
    virtual int AcceleratorTableFor(int menuKind) const { return menuKind < 0 ? 0 : menuKind; }
    // A child frame became active (or none).
    virtual void OnChildActivated(ChildFrame* frame);
    // Asks to close; the base asks the application to save modified documents.
    virtual bool CanCloseFrame();

    void CreateStatusBar(const std::vector<std::pair<int, QString>>& panes);
    // Sets the menu bar for kind now, whatever the active child.
    void SetMenuKind(int menuKind);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnSubWindowActivated(QMdiSubWindow* window);
    void OnFocusChanged(QWidget* old, QWidget* now);
    void UpdateIndicators();

    WinApp* m_app;
    QMdiArea* m_mdiArea;
    CommandManager m_commands;
    int m_menuKind = kNoChildMenu - 1; // no menu built yet
    QPointer<ChildFrame> m_lastActive;
    QLabel* m_messagePane = nullptr;
    std::map<int, QLabel*> m_panes;
};

} // namespace fw
