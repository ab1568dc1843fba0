// Numeric command ids of the framework's own commands. Menus, toolbars, accelerators and
// pop-up menus share these ids with the program's commands; the program's ids are below
// 57344 and the framework's are the historic values so that stored ids and texts stay valid.
#pragma once

namespace fw::id {

inline constexpr int FILE_NEW = 57600;
inline constexpr int FILE_OPEN = 57601;
inline constexpr int FILE_CLOSE = 57602;
inline constexpr int FILE_SAVE = 57603;
inline constexpr int FILE_SAVE_AS = 57604;
inline constexpr int FILE_PRINT_SETUP = 57606;
inline constexpr int FILE_PRINT = 57607;
// Recent files: the first of the range is the most recent.
inline constexpr int FILE_MRU_FIRST = 57616;
inline constexpr int FILE_MRU_LAST = 57631;

inline constexpr int EDIT_COPY = 57634;
inline constexpr int EDIT_CUT = 57635;
inline constexpr int EDIT_FIND = 57636;
inline constexpr int EDIT_PASTE = 57637;
inline constexpr int EDIT_UNDO = 57643;

inline constexpr int WINDOW_ARRANGE = 57649;
inline constexpr int WINDOW_CASCADE = 57650;
inline constexpr int WINDOW_TILE_HORZ = 57651;

inline constexpr int APP_ABOUT = 57664;
inline constexpr int APP_EXIT = 57665;
inline constexpr int HELP_FINDER = 57667;
inline constexpr int CONTEXT_HELP = 57669;
inline constexpr int HELP = 57670;
inline constexpr int DEFAULT_HELP = 57671;

inline constexpr int NEXT_PANE = 57680;
inline constexpr int PREV_PANE = 57681;

inline constexpr int INDICATOR_CAPS = 59137;
inline constexpr int INDICATOR_NUM = 59138;
inline constexpr int INDICATOR_SCRL = 59139;

inline constexpr int VIEW_TOOLBAR = 59392;
inline constexpr int VIEW_STATUS_BAR = 59393;

// The program's title string.
inline constexpr int IDS_APP_TITLE = 57344;

} // namespace fw::id
