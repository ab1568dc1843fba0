// The desktop program's entry point.
#include "WendoApp.h"
#include "os/clock.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelp = "Usage: wendo [-nologo] [FILE]\n"
                              "Edit many HTML and text files in one batch: the desktop program.\n"
                              "\n"
                              "  FILE         a command file (.wdo) to open\n"
                              "  -nologo      start without the splash window (also /nologo)\n"
                              "  --help       print this help and exit\n"
                              "  --version    print the version and exit\n"
                              "\n"
                              "A second start hands FILE to the program already running and ends.\n"
                              "Use wendo-run to run a command file from a terminal.\n";

// Answered before the application exists, so that they need no display.
int InformationRequested(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("wendo " WENDO_VERSION_TEXT "\n", stdout);
            return 1;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    os::PinLocalTimeZone();
    if (InformationRequested(argc, argv) != 0) {
        return 0;
    }
    QApplication application(argc, argv);
    wendo::ui::CWendoApp app;
    if (!app.InitInstance()) {
        // A second start that handed its file over, or a start-up that failed.
        return app.ISApplicationIsUp() && app.Forwarded ? 0 : 1;
    }
    return app.Run();
}
