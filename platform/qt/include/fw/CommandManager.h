// The table of command items (menu items, toolbar buttons, accelerators) by command id, the
// routing of a command along the frame's chain of targets, and the update pass that enables,
// checks and relabels every item from the chain's answers.
//
// Threads: interface thread only.
#pragma once

#include "fw/CommandTarget.h"

#include <QKeyCombination>
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

class QAction;

namespace fw {

struct Accelerator
{
    QKeyCombination key;
    int id;
};

class CommandManager : public QObject
{
    Q_OBJECT

public:
    // The targets asked, first to last (active view, its frame, its document, the main frame,
    // the application); entries may be null.
    using Chain = std::function<std::vector<CommandTarget*>()>;

    explicit CommandManager(QObject* parent = nullptr);
    ~CommandManager() override;

    void SetChain(Chain chain) { m_chain = std::move(chain); }

    // A new item for id, owned by owner; triggering it executes the command. Its status tip
    // and tool tip come from the command's prompt.
    QAction* CreateAction(int id, const QString& text, QObject* owner);
    // The id an item was created for; 0 for any other action.
    static int CommandId(const QAction* action);
    std::vector<QAction*> Actions(int id) const;
    // Gives an item another command (its prompt and tool tip follow).
    void Rebind(QAction* action, int id);

    // The state of id as the chain answers it; disabled when no target handles it.
    CommandState Query(int id) const;
    // Routes id along the chain when it is enabled; true when a target handled it.
    bool Execute(int id);
    // Applies Query to every item.
    void UpdateActions();

    // Accelerator tables by number; the frame looks a key up in the active window's table
    // first and then in table 0 (the main window's).
    void SetAcceleratorTable(int table, std::vector<Accelerator> keys);
    // The command of key in table, or 0.
    int FindAccelerator(int table, QKeyCombination key) const;
    // The first command of key in table that is enabled now (a key may serve several
    // commands that are never enabled together, as Run and Resume), or 0.
    int FindEnabledAccelerator(int table, QKeyCombination key) const;

    // The status-bar prompt of a command (text before "\n") and its tool tip (after "\n").
    static QString Prompt(int id);
    static QString ToolTip(int id);
    // A menu text as a tool tip or button shows it: no "&" marks and no key text.
    static QString PlainCaption(const QString& menuText);

Q_SIGNALS:
    void commandExecuted(int id);

private:
    Chain m_chain;
    std::multimap<int, QPointer<QAction>> m_actions;
    std::map<int, std::vector<Accelerator>> m_accelerators;
};

} // namespace fw
