// Command ids, resource ids and window kinds of the desktop program.
#pragma once

namespace wendo::ui {

namespace cmd {
inline constexpr int RUN = 32771;
inline constexpr int VIEW_PATH = 32772;
inline constexpr int VIEW_COMMAND = 32773;
inline constexpr int ADD = 32774;
inline constexpr int MODIFY = 32775;
inline constexpr int REMOVE = 32776;
inline constexpr int CMD_FILE = 32777;
inline constexpr int EXCLUDE = 32778;
inline constexpr int RECURSIVE = 32779;
inline constexpr int REMOVE_ALL = 32781;
inline constexpr int RESUME = 32782;
inline constexpr int STOP = 32783;
inline constexpr int REPORT = 32784;
inline constexpr int DUPLICATE = 32787;
inline constexpr int FIND_NEXT = 32788;
inline constexpr int BACK = 32789;
inline constexpr int FORWARD = 32790;
inline constexpr int STOP_RETRIEVAL = 32791;
inline constexpr int REFRESH = 32793;
inline constexpr int WEB_TOOLBAR = 32799;
inline constexpr int VIEW_HTML = 32801;
inline constexpr int VIEW_SOURCE = 32802;
// The program's own commands beyond the numbered prompts.
inline constexpr int PREFERENCES = 32810;
inline constexpr int PREVIEW = 32811;
inline constexpr int UNDO_RUN = 32812;
} // namespace cmd

namespace res {
inline constexpr int MAIN_FRAME = 505;
inline constexpr int COMMAND = 506;
inline constexpr int PATH = 507;
inline constexpr int PARSE_CMD = 508;
inline constexpr int REPORT = 540;
inline constexpr int TEXT = 542;
inline constexpr int WEB = 543;
inline constexpr int STOP_DIALOG = 503;
inline constexpr int HELP_FALLBACK = 554;
} // namespace res

// The kind of a child window, which chooses the menu bar and accelerator table.
enum MenuKind : int
{
    kCommandMenu = 1,
    kPathMenu = 2,
    kParseCmdMenu = 3,
    kReportMenu = 4,
    kTextMenu = 5,
    kWebMenu = 6,
};

// Images of the "Standard" toolbar strip and of the "Browse" strip.
namespace image {
inline constexpr int NEW = 0;
inline constexpr int OPEN = 1;
inline constexpr int SAVE = 2;
inline constexpr int CUT = 3;
inline constexpr int COPY = 4;
inline constexpr int PASTE = 5;
inline constexpr int RUN = 6;
inline constexpr int ABOUT = 7;
inline constexpr int RESUME = 8;
inline constexpr int STOP = 9;
inline constexpr int PREVIEW = 10;
} // namespace image

// Position of the run slot in the "Standard" toolbar and of the run item in the File menu.
inline constexpr int kRunSlot = 9;
inline constexpr int kRunMenuItem = 6;

} // namespace wendo::ui
