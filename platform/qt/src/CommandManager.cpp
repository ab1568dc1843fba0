#include "fw/CommandManager.h"

#include "core/StringTable.h"
#include "fw/CommandIds.h"

#include <QAction>
#include <algorithm>
#include <array>
#include <string_view>

namespace fw {

namespace {

constexpr const char* kIdProperty = "commandId";

struct StandardPrompt
{
    int id;
    std::string_view text;
};

// The framework's own prompts; the program's come from the string table.
constexpr std::array kStandardPrompts = {
    StandardPrompt{id::FILE_NEW, "Create a new document\nNew"},
    StandardPrompt{id::FILE_OPEN, "Open an existing document\nOpen"},
    StandardPrompt{id::FILE_CLOSE, "Close the active document\nClose"},
    StandardPrompt{id::FILE_SAVE, "Save the active document\nSave"},
    StandardPrompt{id::FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
    StandardPrompt{id::FILE_PRINT_SETUP, "Change the paper and page settings\nPrint Setup"},
    StandardPrompt{id::EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    StandardPrompt{id::EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    StandardPrompt{id::EDIT_FIND, "Find the specified text\nFind"},
    StandardPrompt{id::EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    StandardPrompt{id::EDIT_UNDO, "Undo the last action\nUndo"},
    StandardPrompt{id::WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
    StandardPrompt{id::WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
    StandardPrompt{id::WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
    StandardPrompt{id::APP_ABOUT, "Display program information, version number and copyright\n"
                                  "About"},
    StandardPrompt{id::APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    StandardPrompt{id::HELP_FINDER, "List Help topics\nHelp Topics"},
    StandardPrompt{id::VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    StandardPrompt{id::VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
};

QString PromptText(int id)
{
    if (id >= id::FILE_MRU_FIRST && id <= id::FILE_MRU_LAST) {
        return QStringLiteral("Open this document");
    }
    for (const auto& entry : kStandardPrompts) {
        if (entry.id == id) {
            return QString::fromUtf8(entry.text.data(), static_cast<qsizetype>(entry.text.size()));
        }
    }
    const std::string_view text = core::LoadString(static_cast<std::uint32_t>(id));
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CommandManager::CommandManager(QObject* parent) : QObject(parent)
{
}

CommandManager::~CommandManager() = default;

QAction* CommandManager::CreateAction(int id, const QString& text, QObject* owner)
{
    auto* action = new QAction(text, owner);
    action->setProperty(kIdProperty, id);
    action->setStatusTip(Prompt(id));
    const QString tip = ToolTip(id);
    if (!tip.isEmpty()) {
        action->setToolTip(tip);
    }
    m_actions.emplace(id, action);
    // The id is read when triggered, so that Rebind takes effect.
    connect(action, &QAction::triggered, this, [this, action] { Execute(CommandId(action)); });
    connect(action, &QObject::destroyed, this, [this, action] {
        std::erase_if(m_actions, [action](const auto& entry) {
            return entry.second.isNull() || entry.second.data() == action;
        });
    });
    return action;
}

int CommandManager::CommandId(const QAction* action)
{
    if (action == nullptr) {
        return 0;
    }
    bool ok = false;
    const int id = action->property(kIdProperty).toInt(&ok);
    return ok ? id : 0;
}

std::vector<QAction*> CommandManager::Actions(int id) const
{
    std::vector<QAction*> found;
    const auto [first, last] = m_actions.equal_range(id);
    for (auto it = first; it != last; ++it) {
        if (!it->second.isNull()) {
            found.push_back(it->second.data());
        }
    }
    return found;
}

void CommandManager::Rebind(QAction* action, int id)
{
    std::erase_if(m_actions, [action](const auto& entry) { return entry.second.data() == action; });
    action->setProperty(kIdProperty, id);
    action->setStatusTip(Prompt(id));
    action->setToolTip(ToolTip(id));
    m_actions.emplace(id, action);
}

CommandState CommandManager::Query(int id) const
{
    if (m_chain) {
        for (CommandTarget* target : m_chain()) {
            CommandState state;
            if (target != nullptr && target->OnUpdateCommand(id, state)) {
                return state;
            }
        }
    }
    CommandState unhandled;
    unhandled.enabled = false;
    return unhandled;
}

bool CommandManager::Execute(int id)
{
    if (!m_chain || !Query(id).enabled) {
        return false;
    }
    for (CommandTarget* target : m_chain()) {
        if (target != nullptr && target->OnCommand(id)) {
            Q_EMIT commandExecuted(id);
            return true;
        }
    }
    return false;
}

void CommandManager::UpdateActions()
{
    std::map<int, CommandState> states;
    for (const auto& [id, action] : m_actions) {
        if (action.isNull()) {
            continue;
        }
        auto found = states.find(id);
        if (found == states.end()) {
            found = states.emplace(id, Query(id)).first;
        }
        const CommandState& state = found->second;
        action->setEnabled(state.enabled);
        if (state.checked.has_value()) {
            action->setCheckable(true);
            action->setChecked(*state.checked);
        }
        if (state.text.has_value() && action->text() != *state.text) {
            action->setText(*state.text);
        }
    }
}

void CommandManager::SetAcceleratorTable(int table, std::vector<Accelerator> keys)
{
    m_accelerators[table] = std::move(keys);
}

int CommandManager::FindEnabledAccelerator(int table, QKeyCombination key) const
{
    const auto found = m_accelerators.find(table);
    if (found == m_accelerators.end()) {
        return 0;
    }
    for (const Accelerator& accel : found->second) {
        if (accel.key == key && Query(accel.id).enabled) {
            return accel.id;
        }
    }
    return 0;
}

int CommandManager::FindAccelerator(int table, QKeyCombination key) const
{
    const auto found = m_accelerators.find(table);
    if (found == m_accelerators.end()) {
        return 0;
    }
    for (const Accelerator& accel : found->second) {
        if (accel.key == key) {
            return accel.id;
        }
    }
    return 0;
}

QString CommandManager::Prompt(int id)
{
    const QString text = PromptText(id);
    const qsizetype cut = text.indexOf(QLatin1Char('\n'));
    return cut < 0 ? text : text.left(cut);
}

QString CommandManager::ToolTip(int id)
{
    const QString text = PromptText(id);
    const qsizetype cut = text.indexOf(QLatin1Char('\n'));
    return cut < 0 ? QString() : PlainCaption(text.mid(cut + 1));
}

QString CommandManager::PlainCaption(const QString& menuText)
{
    // The key text after a tab belongs to menus; "&&" is a real ampersand.
    const QString caption = menuText.left(menuText.indexOf(QLatin1Char('\t')));
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        plain += caption[i];
    }
    return plain;
}

} // namespace fw
