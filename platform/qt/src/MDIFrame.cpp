#include "fw/MDIFrame.h"

#include "KeyLocks.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/MessageBox.h"
#include "fw/View.h"
#include "fw/WinApp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

namespace fw {

namespace {

// The update pass also runs on this period, as idle time does not exist as such in Qt.
constexpr int kUpdatePeriodMs = 250;

} // namespace

MDIFrame::MDIFrame(WinApp& app) : m_app(&app), m_mdiArea(new QMdiArea(this)), m_commands(this)
{
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    m_commands.SetChain([this] { return GetRoutingChain(); });
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MDIFrame::OnSubWindowActivated);
    connect(qApp, &QApplication::focusChanged, this, &MDIFrame::OnFocusChanged);
    connect(&m_commands, &CommandManager::commandExecuted, this, [this] { UpdateCommandUI(); });
    qApp->installEventFilter(this);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &MDIFrame::UpdateCommandUI);
    connect(timer, &QTimer::timeout, this, &MDIFrame::UpdateIndicators);
    timer->start(kUpdatePeriodMs);
}

MDIFrame::~MDIFrame()
{
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    // Child frames close their documents as they go; do it while this frame is whole.
    m_mdiArea->disconnect(this);
    const auto frames = GetChildFrames();
    for (ChildFrame* frame : frames) {
        delete frame;
    }
}

ChildFrame* MDIFrame::MDIGetActive(bool* maximised) const
{
    auto* frame = qobject_cast<ChildFrame*>(m_mdiArea->activeSubWindow());
    if (frame == nullptr) {
        frame = m_lastActive.data();
    }
    if (maximised != nullptr) {
        *maximised = frame != nullptr && frame->isMaximized();
    }
    return frame;
}

std::vector<ChildFrame*> MDIFrame::GetChildFrames() const
{
    std::vector<ChildFrame*> frames;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* frame = qobject_cast<ChildFrame*>(window)) {
            frames.push_back(frame);
        }
    }
    return frames;
}

void MDIFrame::AddChildFrame(ChildFrame* frame)
{
    m_mdiArea->addSubWindow(frame);
}

void MDIFrame::ActivateFrame(ChildFrame* frame)
{
    if (frame->isMinimized()) {
        frame->showNormal();
    }
    m_mdiArea->setActiveSubWindow(frame);
    // Offscreen and hidden main windows do not activate sub-windows by themselves.
    if (m_mdiArea->activeSubWindow() != frame) {
        m_lastActive = frame;
        OnSubWindowActivated(frame);
    }
}

void MDIFrame::FitInClientArea(QMdiSubWindow* frame) const
{
    if (frame == nullptr || frame->isMaximized() || frame->isMinimized()) {
        return;
    }
    // Before the main window is shown its client area has no real size yet: a window opened
    // then (a file named on the command line) is fitted once the main window is shown.
    const QRect area = m_mdiArea->viewport()->rect();
    if (area.isEmpty() || !m_mdiArea->isVisible()) {
        return;
    }
    QRect geometry = frame->geometry();
    const QSize least = frame->minimumSize();
    if (geometry.width() > area.width() || geometry.height() > area.height()) {
        // A form's designed size is no reason to hang out of the main window.
        frame->setMinimumSize(std::min(least.width(), area.width()),
                              std::min(least.height(), area.height()));
        geometry.setSize(geometry.size().boundedTo(area.size()));
    }
    if (geometry.right() > area.right()) {
        geometry.moveRight(area.right());
    }
    if (geometry.bottom() > area.bottom()) {
        geometry.moveBottom(area.bottom());
    }
    geometry.moveTopLeft(
        QPoint(std::max(geometry.left(), area.left()), std::max(geometry.top(), area.top())));
    if (geometry != frame->geometry()) {
        frame->setGeometry(geometry);
    }
}

void MDIFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The client area takes its size when the layout runs, after this event.
    QTimer::singleShot(0, this, [this] {
        for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
            FitInClientArea(window);
        }
    });
}

void MDIFrame::CascadeChildren()
{
    m_mdiArea->cascadeSubWindows();
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        FitInClientArea(window);
    }
}

void MDIFrame::TileChildren()
{
    m_mdiArea->tileSubWindows();
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        FitInClientArea(window);
    }
}

std::vector<CommandTarget*> MDIFrame::GetRoutingChain() const
{
    std::vector<CommandTarget*> chain;
    if (ChildFrame* frame = MDIGetActive()) {
        chain.push_back(frame->GetActiveView());
        chain.push_back(frame);
        chain.push_back(dynamic_cast<CommandTarget*>(frame->GetActiveDocument()));
    }
    chain.push_back(const_cast<MDIFrame*>(this));
    chain.push_back(m_app);
    return chain;
}

void MDIFrame::UpdateCommandUI()
{
    ChildFrame* active = MDIGetActive();
    const int kind = active != nullptr ? active->MenuKind() : kNoChildMenu;
    if (kind != m_menuKind) {
        SetMenuKind(kind);
    }
    m_commands.UpdateActions();
}

void MDIFrame::SetMenuKind(int menuKind)
{
    m_menuKind = menuKind;
    QMenuBar* bar = menuBar();
    // The old menus may be in the middle of handling one of their items; they go later.
    const auto oldMenus = bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    for (QMenu* menu : oldMenus) {
        menu->setObjectName(QString());
        menu->deleteLater();
    }
    bar->clear();
    BuildMenuBar(bar, menuKind);
    for (QAction* action : bar->actions()) {
        if (QMenu* menu = action->menu()) {
            connect(menu, &QMenu::aboutToShow, this, &MDIFrame::UpdateCommandUI);
            connect(menu, &QMenu::aboutToShow, this, &MDIFrame::ResetStatusText);
            // The prompt of the last highlighted item goes with the menu.
            connect(menu, &QMenu::aboutToHide, statusBar(), &QStatusBar::clearMessage);
        }
    }
    m_commands.UpdateActions();
}

void MDIFrame::OnChildActivated(ChildFrame* /*frame*/)
{
}

bool MDIFrame::CanCloseFrame()
{
    return m_app->SaveAllModified();
}

void MDIFrame::CreateStatusBar(const std::vector<std::pair<int, QString>>& panes)
{
    QStatusBar* bar = statusBar();
    m_messagePane = new QLabel(bar);
    bar->addWidget(m_messagePane, 1);
    for (const auto& [id, text] : panes) {
        auto* pane = new QLabel(text, bar);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 12);
        // A key that is off, or whose state the display does not tell, shows its name dimmed.
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
        m_panes[id] = pane;
    }
    connect(bar, &QStatusBar::messageChanged, this,
            [this](const QString& message) { m_messagePane->setVisible(message.isEmpty()); });
}

void MDIFrame::SetStatusText(const QString& text, int paneId)
{
    if (paneId == 0) {
        if (m_messagePane != nullptr) {
            m_messagePane->setText(text);
        }
        return;
    }
    const auto found = m_panes.find(paneId);
    if (found != m_panes.end()) {
        found->second->setText(text);
    }
}

void MDIFrame::ResetStatusText()
{
    if (m_messagePane == nullptr) {
        return;
    }
    statusBar()->clearMessage();
    m_messagePane->setText(QStringLiteral("Ready"));
}

bool MDIFrame::IsIndicatorOn(int paneId) const
{
    const auto found = m_panes.find(paneId);
    return found != m_panes.end() && found->second->isEnabled();
}

void MDIFrame::UpdateIndicators()
{
    const KeyLocks locks = ReadKeyLocks();
    const std::pair<int, std::optional<bool>> states[] = {
        {id::INDICATOR_CAPS, locks.caps},
        {id::INDICATOR_NUM, locks.num},
        {id::INDICATOR_SCRL, locks.scroll},
    };
    for (const auto& [paneId, on] : states) {
        const auto found = m_panes.find(paneId);
        if (found != m_panes.end()) {
            found->second->setEnabled(on.value_or(false));
        }
    }
}

void MDIFrame::SetStatusText(unsigned stringId, int paneId)
{
    SetStatusText(LoadQString(stringId), paneId);
}

QString MDIFrame::GetStatusText(int paneId) const
{
    if (paneId == 0) {
        return m_messagePane != nullptr ? m_messagePane->text() : QString();
    }
    const auto found = m_panes.find(paneId);
    return found != m_panes.end() ? found->second->text() : QString();
}

bool MDIFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && QApplication::activeWindow() == this &&
        QApplication::activePopupWidget() == nullptr) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combination = key->keyCombination();
        int id = m_commands.FindEnabledAccelerator(AcceleratorTableFor(m_menuKind), combination);
        if (id == 0) {
            id = m_commands.FindEnabledAccelerator(0, combination);
        }
        // A key whose command nobody handles goes on to the focused widget, so that text
        // fields keep their own editing keys.
        if (id != 0) {
            m_commands.Execute(id);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDIFrame::closeEvent(QCloseEvent* event)
{
    if (!CanCloseFrame()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MDIFrame::OnSubWindowActivated(QMdiSubWindow* window)
{
    auto* frame = qobject_cast<ChildFrame*>(window);
    if (frame != nullptr) {
        m_lastActive = frame;
    } else if (m_mdiArea->subWindowList().isEmpty()) {
        m_lastActive = nullptr;
    } else if (m_lastActive.isNull()) {
        return;
    } else {
        // The main window lost the focus; the last active child stays the active one.
        return;
    }
    ResetStatusText();
    OnChildActivated(frame);
    UpdateCommandUI();
}

void MDIFrame::OnFocusChanged(QWidget* /*old*/, QWidget* now)
{
    for (QWidget* widget = now; widget != nullptr; widget = widget->parentWidget()) {
        if (auto* view = qobject_cast<View*>(widget)) {
            if (ChildFrame* frame = view->GetParentFrame()) {
                frame->SetActiveView(view);
            }
            break;
        }
    }
    UpdateCommandUI();
}

} // namespace fw
