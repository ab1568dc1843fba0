#include "companions/Dralo.h"

#include "brio/findfile.h"

#include <cstring>
#include <string>

int KVFillFileListBox(DraloListBox& box, std::string_view pattern)
{
    box.ResetContent();
    FindFile find{};
    // Brio's record holds a path of FINDFILE_PATH_SIZE bytes with its NUL; a NUL inside would
    // cut the pattern short and list another folder than the one asked for.
    if (pattern.empty() || pattern.size() >= sizeof(find.szFilter) ||
        pattern.find('\0') != std::string_view::npos) {
        return 0;
    }
    const std::string path(pattern);
    int count = 0;
    if (FindFirst(FINDFILE_SORT_NAME, FINDFILE_FILES, path.c_str(), &find) != 0) {
        do {
            // A name holding a backslash cannot be named in the kept path form: picked from the
            // box it would name another file.
            const std::string_view name(find.szFileName, std::strlen(find.szFileName));
            if (name.find('\\') == std::string_view::npos) {
                box.AddString(name);
                ++count;
            }
        } while (FindNext(&find) != 0);
    }
    FindEnd(&find);
    return count;
}
