// The desktop program's entry point.
#include "WendoApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    wendo::ui::CWendoApp app;
    if (!app.InitInstance()) {
        // A second start that handed its file over, or a start-up that failed.
        return app.ISApplicationIsUp() && app.Forwarded ? 0 : 1;
    }
    return app.Run();
}
