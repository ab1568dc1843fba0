#include "core/StringTable.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace core {

namespace {

struct Entry
{
    std::uint32_t id;
    std::string_view text;
};

// Sorted by number for the binary search.
constexpr std::array kStrings = {
    Entry{32771, "Run the current Wendo command file\n&Run\tCtrl+R"},
    Entry{32772, "View parse path"},
    Entry{32773, "View parse commands"},
    Entry{32774, "Add a new Cmd"},
    Entry{32775, "Edit the current command"},
    Entry{32776, "Remove the current command"},
    Entry{32777, "View current parse command file"},
    Entry{32778, "Toggle Exclude / Include paths or filters"},
    Entry{32779, "Specify to process current path only or ALL sub-directories"},
    Entry{32781, "Remove all items"},
    Entry{32782, "Resume the running process\n&Resume\tCtrl+R"},
    Entry{32783, "Stop the current running process\nSt&op"},
    Entry{32784, "View last report"},
    Entry{32787, "Duplicate current command"},
    Entry{32788, "Find next occurence of search string"},
    Entry{32789, "Goes back one step."},
    Entry{32790, "Goes forward one step\nGo foward (Alt+Right Arrow)"},
    Entry{32791, "Stop the topic retrieval process\nStop retrieval"},
    Entry{32793, "Refresh the contents of the current page."},
    Entry{32799, "Show or hide the Web toolbar\nToggle Web ToolBar"},
    Entry{32801, "View HTML document type\nView HTML"},
    Entry{32802, "View html source code\nView Source"},
    Entry{32810,
          "Choose how runs go: with pauses between their steps or at full speed\nPreferences"},
    Entry{32811, "Show what a run would change in the selected file, writing nothing\nPreview "
                 "Changes"},
    Entry{32812, "Take the last run of this command file back from its backups\nUndo Last Run"},
    Entry{61446, "This command type need a value."},
    Entry{61447, "This command type need a text to search for ... a delimiter entry"},
    Entry{61448, "This command type need a second text to delimit the content parameter"},
    Entry{61449, "This command type need a source file tag \"SRC=file.???\" to be apply to"},
    Entry{61450, "INVALID OPTION Parameters: start line... 'FROM' should be lower than 'TO'"},
    Entry{61451, "Can't start parsing process"},
    Entry{61452, "This document is in process ... Can't be modified"},
    Entry{61453, "This value must be a valid number ( > 0 )"},
    Entry{61464, "Search passed the end of file"},
    Entry{61465, "Excl&ude\tCtrl+U"},
    Entry{61466, "Incl&ude\tCtrl+U"},
    Entry{61467, "Re&cursive\tCtrl+C"},
    Entry{61468, "&Current path\tCtrl+C"},
    Entry{61469, "All the files to parse are filters.\nWe need a valid path to process."},
    Entry{61470, "There is no path selection"},
    Entry{61471, "This report is not valid. Can' open it..."},
    Entry{61474, "This value is not a positive integer."},
    Entry{61475, "Can't access report file\nWould you like to continue ?"},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

} // namespace

std::string_view LoadString(std::uint32_t id)
{
    const auto* found = std::lower_bound(
        kStrings.begin(), kStrings.end(), id,
        [](const Entry& entry, std::uint32_t wanted) { return entry.id < wanted; });
    if (found == kStrings.end() || found->id != id) {
        return {};
    }
    return found->text;
}

} // namespace core
