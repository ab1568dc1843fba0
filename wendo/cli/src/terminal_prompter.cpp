#include "terminal_prompter.h"

#include <istream>
#include <ostream>
#include <string>

namespace wendo::cli {

core::PromptAnswer TerminalPrompter::Ask(std::string_view text, core::PromptButtons buttons,
                                         core::PromptIcon)
{
    std::lock_guard lock(m_mutex);
    m_err << "wendo-run: " << text << '\n';
    if (buttons == core::PromptButtons::Ok) {
        return core::PromptAnswer::Ok;
    }
    const bool hasNo = buttons != core::PromptButtons::OkCancel;
    const core::PromptAnswer accept = hasNo ? core::PromptAnswer::Yes : core::PromptAnswer::Ok;
    const core::PromptAnswer refuse = hasNo ? core::PromptAnswer::No : core::PromptAnswer::Cancel;
    if (m_yes) {
        m_err << "(answered " << (hasNo ? "Yes" : "Ok") << " by --yes)\n";
        return accept;
    }
    if (!m_terminal) {
        m_err << "(answered " << (hasNo ? "No" : "Cancel") << ": no terminal to ask)\n";
        return refuse;
    }
    m_err << (hasNo ? "[y/N] " : "[o/C] ") << std::flush;
    std::string reply;
    std::getline(m_in, reply);
    const char first = reply.empty() ? '\0' : reply.front();
    return first == 'y' || first == 'Y' || first == 'o' || first == 'O' ? accept : refuse;
}

} // namespace wendo::cli
