// The program's own images, drawn in code so they stay sharp at any size: the program icon,
// the eleven images of the "Standard" strip and the four of the "Browse" strip.
#pragma once

#include <QIcon>

namespace wendo::ui {

QIcon AppIcon();
// Images 0 to 10 of the "Standard" strip (see image::); an unknown index gives an empty icon.
QIcon StandardImage(int index);
// Images 0 to 3 of the "Browse" strip: back, forward, stop, refresh.
QIcon BrowseImage(int index);

} // namespace wendo::ui
