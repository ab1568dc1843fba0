#include "terminal_prompter.h"

#include "os/signals.h"

#include <ostream>
#include <string>
#include <unistd.h>

namespace wendo::cli {

namespace {

// One line of the terminal, read byte by byte so that nothing past it is taken from standard
// input; none when a stop signal came first.
bool ReadReply(std::string& reply)
{
    reply.clear();
    for (;;) {
        if (!os::WaitReadableUnlessStopped(STDIN_FILENO)) {
            return false;
        }
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n <= 0 || c == '\n') {
            return true;
        }
        reply += c;
    }
}

} // namespace

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
    if (!ReadReply(reply)) {
        m_err << "\n(answered " << (hasNo ? "No" : "Cancel") << ": stopped)\n";
        return refuse;
    }
    const char first = reply.empty() ? '\0' : reply.front();
    return first == 'y' || first == 'Y' || first == 'o' || first == 'O' ? accept : refuse;
}

} // namespace wendo::cli
