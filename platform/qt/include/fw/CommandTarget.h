// A receiver of commands. The frame asks the targets of its routing chain, in order, whether
// they handle a command id and in what state its items should be (enabled, checked, caption);
// the first target that answers decides. A command no target handles is disabled.
//
// Threads: interface thread only.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <unordered_map>

namespace fw {

struct CommandState
{
    bool enabled = true;
    std::optional<bool> checked; // none: the item is not checkable
    std::optional<QString> text; // none: keep each item's own caption
};

class CommandTarget
{
public:
    using Handler = std::function<void()>;
    using Updater = std::function<void(CommandState&)>;

    CommandTarget() = default;
    CommandTarget(const CommandTarget&) = delete;
    CommandTarget& operator=(const CommandTarget&) = delete;
    virtual ~CommandTarget();

    // True when this target handles id; state then holds its items' state.
    virtual bool OnUpdateCommand(int id, CommandState& state);
    // True when this target handled id.
    virtual bool OnCommand(int id);

protected:
    // Registers a handler; without an updater the command is always enabled.
    void OnCommandId(int id, Handler handler, Updater updater = {});
    void RemoveCommandId(int id) { m_commands.erase(id); }

private:
    struct Entry
    {
        Handler handler;
        Updater updater;
    };
    std::unordered_map<int, Entry> m_commands;
};

} // namespace fw
