#include "plinth/WindowPlacement.h"

#include "fw/WinApp.h"

int ReadWindowPlacement(const char* section, const char* entry, fw::WindowPlacement* out)
{
    fw::WinApp* app = fw::WinApp::Get();
    if (app == nullptr || section == nullptr || entry == nullptr || out == nullptr) {
        return 0;
    }
    const QString text =
        app->GetProfile().GetString(QString::fromUtf8(section), QString::fromUtf8(entry));
    const std::optional<fw::WindowPlacement> placement = fw::ParsePlacement(text);
    if (!placement.has_value()) {
        return 0;
    }
    *out = *placement;
    return 1;
}

int WriteWindowPlacement(const char* section, const char* entry,
                         const fw::WindowPlacement* placement)
{
    fw::WinApp* app = fw::WinApp::Get();
    if (app == nullptr || section == nullptr || entry == nullptr || placement == nullptr) {
        return 0;
    }
    return app->GetProfile().WriteString(QString::fromUtf8(section), QString::fromUtf8(entry),
                                         fw::FormatPlacement(*placement))
               ? 1
               : 0;
}
