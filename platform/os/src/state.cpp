#include "os/state.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

bool MakeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat st
    {
    };
    return (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) &&
           ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string StateFolder(const std::string& program)
{
    std::string base;
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            return {};
        }
        base = std::string(home) + "/.local/state";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    const std::string folder = base + "/" + program;
    return MakeFolders(folder) ? folder : std::string();
}

bool FlushFileData(int handle)
{
    int r = 0;
    do {
        r = ::fdatasync(handle);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

} // namespace os
