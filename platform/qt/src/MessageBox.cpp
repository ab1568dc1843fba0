#include "fw/MessageBox.h"

#include "core/StringTable.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <mutex>

namespace fw {

namespace {

std::mutex g_hookMutex;
MessageBoxHook g_hook; // guarded by g_hookMutex

QMessageBox::StandardButtons ButtonsOf(core::PromptButtons buttons)
{
    switch (buttons) {
    case core::PromptButtons::Ok:
        return QMessageBox::Ok;
    case core::PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case core::PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case core::PromptButtons::YesNoCancel:
        break;
    }
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

QMessageBox::Icon IconOf(core::PromptIcon icon)
{
    switch (icon) {
    case core::PromptIcon::None:
        return QMessageBox::NoIcon;
    case core::PromptIcon::Information:
        return QMessageBox::Information;
    case core::PromptIcon::Question:
        return QMessageBox::Question;
    case core::PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case core::PromptIcon::Stop:
        break;
    }
    return QMessageBox::Critical;
}

core::PromptAnswer AnswerOf(int button, core::PromptButtons offered)
{
    switch (button) {
    case QMessageBox::Ok:
        return core::PromptAnswer::Ok;
    case QMessageBox::Yes:
        return core::PromptAnswer::Yes;
    case QMessageBox::No:
        return core::PromptAnswer::No;
    default:
        break;
    }
    // Closing the box answers Cancel where offered, else the refusing button.
    switch (offered) {
    case core::PromptButtons::Ok:
        return core::PromptAnswer::Ok;
    case core::PromptButtons::YesNo:
        return core::PromptAnswer::No;
    case core::PromptButtons::OkCancel:
    case core::PromptButtons::YesNoCancel:
        break;
    }
    return core::PromptAnswer::Cancel;
}

} // namespace

QString LoadQString(std::uint32_t stringId)
{
    const std::string_view text = core::LoadString(stringId);
    if (text.empty()) {
        return QString::number(stringId);
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

core::PromptAnswer MessageBox(const QString& text, core::PromptButtons buttons,
                              core::PromptIcon icon, QWidget* parent)
{
    MessageBoxHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    if (hook) {
        return hook(text, buttons, icon);
    }
    QMessageBox box(IconOf(icon), QApplication::applicationDisplayName(), text, ButtonsOf(buttons),
                    parent != nullptr ? parent : QApplication::activeWindow());
    return AnswerOf(box.exec(), buttons);
}

core::PromptAnswer MessageBox(std::uint32_t stringId, core::PromptButtons buttons,
                              core::PromptIcon icon, QWidget* parent)
{
    return MessageBox(LoadQString(stringId), buttons, icon, parent);
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    std::lock_guard lock(g_hookMutex);
    g_hook = std::move(hook);
}

core::PromptAnswer QtPrompter::Ask(std::string_view text, core::PromptButtons buttons,
                                   core::PromptIcon icon)
{
    const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return MessageBox(message, buttons, icon);
    }
    core::PromptAnswer answer = core::PromptAnswer::Cancel;
    QMetaObject::invokeMethod(
        app, [&] { answer = MessageBox(message, buttons, icon); }, Qt::BlockingQueuedConnection);
    return answer;
}

} // namespace fw
