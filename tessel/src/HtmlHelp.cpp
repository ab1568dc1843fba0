#include "tessel/HtmlHelp.h"

#include "SystemInfo.h"
#include "os/path.h"

#include <atomic>

namespace {
std::atomic<IHtmlHelpDisplay*> g_display{nullptr};
}

IHtmlHelpDisplay::~IHtmlHelpDisplay() = default;

void RegisterHtmlHelpDisplay(IHtmlHelpDisplay* display)
{
    g_display.store(display, std::memory_order_release);
}

int ISHtmlHelpAvailable()
{
    return g_display.load(std::memory_order_acquire) ? 1 : 0;
}

void* HtmlHelpA(void* window, const char* file, unsigned command, std::uintptr_t data)
{
    IHtmlHelpDisplay* display = g_display.load(std::memory_order_acquire);
    return display ? display->ShowHelp(window, file, command, data) : nullptr;
}

int GetHTMLHelpPath(std::string& destination)
{
    destination.clear();
    const std::string native = tessel_sys::ProgramPath();
    if (native.empty())
        return 0;
    std::string path = os::FromNative(native);
    const std::size_t slash = path.rfind('\\');
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        path.erase(dot);
    destination = path + ".chm";
    return 1;
}
