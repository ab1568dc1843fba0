// Message boxes with the program's title, their texts given or taken from the numbered string
// table, and the prompter that shows the questions of windowless code as message boxes.
//
// Threads: MessageBox on the interface thread; QtPrompter::Ask from any thread (a worker's
// question is handed to the interface thread and waited for).
#pragma once

#include "core/Prompter.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace fw {

core::PromptAnswer MessageBox(const QString& text, core::PromptButtons buttons,
                              core::PromptIcon icon, QWidget* parent = nullptr);
// The text of a numbered string; an unknown number shows the number itself.
core::PromptAnswer MessageBox(std::uint32_t stringId, core::PromptButtons buttons,
                              core::PromptIcon icon, QWidget* parent = nullptr);
QString LoadQString(std::uint32_t stringId);

// Replaces the boxes by a function (tests script the answers); an empty function restores
// the boxes.
using MessageBoxHook =
    std::function<core::PromptAnswer(const QString&, core::PromptButtons, core::PromptIcon)>;
void SetMessageBoxHook(MessageBoxHook hook);

class QtPrompter final : public core::Prompter
{
public:
    core::PromptAnswer Ask(std::string_view text, core::PromptButtons buttons,
                           core::PromptIcon icon) override;
};

} // namespace fw
