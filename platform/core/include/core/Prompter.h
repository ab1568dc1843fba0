// Questions and notices from code that has no windows of its own: the command-file reader's
// read-error question, the report-file question of a run, the failed load of a document.
// The desktop program answers with a message box, wendo-run from its flags or the terminal,
// tests from a script.
//
// Threads: a prompter may be asked from a worker thread; an implementation that needs the
// interface thread must hand the question over and wait for the answer itself.
#pragma once

#include <string_view>

namespace core {

enum class PromptButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
};

enum class PromptIcon
{
    None,
    Information,
    Question,
    Exclamation,
    Stop,
};

enum class PromptAnswer
{
    Ok,
    Cancel,
    Yes,
    No,
};

class Prompter
{
public:
    virtual ~Prompter() = default;

    // Shows the text with the buttons and the icon and returns the button chosen. The answer
    // is one of the buttons offered.
    virtual PromptAnswer Ask(std::string_view text, PromptButtons buttons, PromptIcon icon) = 0;
};

// Answers every question without showing it: Yes (or Ok) when told to accept, else No (or
// Cancel, or Ok when that is the only button). For runs without anyone to ask.
class FixedPrompter final : public Prompter
{
public:
    explicit FixedPrompter(bool accept) : m_accept(accept) {}

    PromptAnswer Ask(std::string_view, PromptButtons buttons, PromptIcon) override
    {
        switch (buttons) {
        case PromptButtons::Ok:
            return PromptAnswer::Ok;
        case PromptButtons::OkCancel:
            return m_accept ? PromptAnswer::Ok : PromptAnswer::Cancel;
        case PromptButtons::YesNo:
        case PromptButtons::YesNoCancel:
            break;
        }
        return m_accept ? PromptAnswer::Yes : PromptAnswer::No;
    }

private:
    bool m_accept;
};

} // namespace core
