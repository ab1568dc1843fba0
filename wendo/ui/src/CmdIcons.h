// The images of parse commands, drawn in code: one per command icon resource, shown by the
// command list (16 by 16) and beside the command editor's type combo.
#pragma once

#include <QIcon>
#include <QList>

namespace wendo::ui {

namespace icon {
inline constexpr int UNKNOWN = 548;
inline constexpr int KEEPCONTENT = 521;
inline constexpr int FINDREPL = 520;
inline constexpr int ANCHOR = 510;
inline constexpr int IMAGE = 519;
inline constexpr int FILESTAT = 524;
inline constexpr int REWIND = 522;
inline constexpr int FILESTAT_NAME = 523;
inline constexpr int REGEX = 525; // a FIND REPLACE by regular expression
} // namespace icon

// The image of a command icon resource; an unknown id gives the image of an unknown command.
QIcon CommandIcon(int resourceId);
// The command list's image list: 548, 521, 520, 510, 519, 524, 522, 523, 525.
QList<QIcon> CommandImageList();
// The icon resource of a command type in the editor (0 to 5); unknown for any other type. A
// FIND REPLACE by regular expression has its own.
int CommandTypeIcon(int type, bool regex = false);

} // namespace wendo::ui
