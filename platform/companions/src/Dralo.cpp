#include "companions/Dralo.h"

#include "brio/findfile.h"

#include <cstring>
#include <string>

int KVFillFileListBox(DraloListBox& box, std::string_view pattern)
{
    box.ResetContent();
    FindFile find{};
    // Brio's record holds at most 259 characters and a NUL; a NUL inside would cut the
    // pattern short and list another folder than the one asked for.
    if (pattern.empty() || pattern.size() >= sizeof(find.szFilter) ||
        pattern.find('\0') != std::string_view::npos) {
        return 0;
    }
    const std::string path(pattern);
    int count = 0;
    if (FindFirst(FINDFILE_SORT_NAME, FINDFILE_FILES, path.c_str(), &find) != 0) {
        do {
            box.AddString(std::string_view(find.szFileName, std::strlen(find.szFileName)));
            ++count;
        } while (FindNext(&find) != 0);
    }
    FindEnd(&find);
    return count;
}
