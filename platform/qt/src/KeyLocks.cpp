#include "KeyLocks.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#if WENDO_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace fw {

KeyLocks ReadKeyLocks()
{
    KeyLocks locks;
#if WENDO_HAVE_X11
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return locks;
    }
    // Indicators are looked up by name: their numbers depend on the keyboard map.
    const auto named = [display](const char* name) -> std::optional<bool> {
        const Atom atom = XInternAtom(display, name, True);
        Bool on = False;
        if (atom == None ||
            !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) {
            return std::nullopt;
        }
        return on == True;
    };
    locks.caps = named("Caps Lock");
    locks.num = named("Num Lock");
    locks.scroll = named("Scroll Lock");
#endif
    return locks;
}

} // namespace fw
