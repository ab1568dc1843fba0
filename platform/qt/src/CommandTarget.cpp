#include "fw/CommandTarget.h"

namespace fw {

CommandTarget::~CommandTarget() = default;

bool CommandTarget::OnUpdateCommand(int id, CommandState& state)
{
    const auto found = m_commands.find(id);
    if (found == m_commands.end()) {
        return false;
    }
    if (found->second.updater) {
        found->second.updater(state);
    }
    return true;
}

bool CommandTarget::OnCommand(int id)
{
    const auto found = m_commands.find(id);
    if (found == m_commands.end()) {
        return false;
    }
    // The handler may remove this target (closing a window); keep a copy alive.
    const Handler handler = found->second.handler;
    if (handler) {
        handler();
    }
    return true;
}

void CommandTarget::OnCommandId(int id, Handler handler, Updater updater)
{
    m_commands[id] = Entry{std::move(handler), std::move(updater)};
}

} // namespace fw
