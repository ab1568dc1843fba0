// Questions of the command-file reader and of a run, answered on the terminal or by --yes.
#pragma once

#include "core/Prompter.h"

#include <iosfwd>
#include <mutex>

namespace wendo::cli {

// Writes each question to err and answers it: Yes (or Ok) with --yes; else asks on the
// terminal (standard input) when one is attached, and answers No (or Cancel) without one or
// when a stop signal comes while it waits (os::CatchStopSignals). May be asked from the run's
// worker thread; one question at a time.
class TerminalPrompter final : public core::Prompter
{
public:
    TerminalPrompter(bool yes, bool terminal, std::ostream& err)
        : m_yes(yes), m_terminal(terminal), m_err(err)
    {
    }

    core::PromptAnswer Ask(std::string_view text, core::PromptButtons buttons,
                           core::PromptIcon icon) override;

private:
    bool m_yes;
    bool m_terminal;
    std::ostream& m_err;
    std::mutex m_mutex; // one question at a time
};

} // namespace wendo::cli
