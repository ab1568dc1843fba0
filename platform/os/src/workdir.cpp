#include "os/workdir.h"

#include "os/path.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace os {

namespace {

bool IsFolder(const std::string& nativePath)
{
    struct stat st
    {
    };
    return stat(nativePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string DefaultParent()
{
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && tmp[0] != '\0' && IsFolder(tmp)) {
        return tmp;
    }
    return "/tmp";
}

} // namespace

WorkDir::~WorkDir()
{
    Remove();
}

int WorkDir::Create(std::string_view parent)
{
    Remove();
    std::string native = parent.empty() ? DefaultParent() : ToNative(parent);
    if (native.find('\0') != std::string::npos) {
        return EINVAL;
    }
    if (native.empty() || native.back() != '/') {
        native += '/';
    }
    native += "wendo-XXXXXX";
    std::vector<char> name(native.begin(), native.end());
    name.push_back('\0');
    // mkdtemp makes the folder with mode 0700 whatever the umask.
    if (mkdtemp(name.data()) == nullptr) {
        return errno;
    }
    m_path = FromNative(name.data());
    m_path += '\\';
    return 0;
}

void WorkDir::Remove()
{
    if (m_path.empty()) {
        return;
    }
    std::string native = ToNative(m_path);
    native.pop_back();
    const int dirFd = open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd >= 0) {
        DIR* dir = fdopendir(dirFd);
        if (dir == nullptr) {
            close(dirFd);
        } else {
            std::vector<std::string> names;
            while (const dirent* entry = readdir(dir)) {
                const std::string_view n(entry->d_name);
                if (n != "." && n != "..") {
                    names.emplace_back(n);
                }
            }
            // Unlinking by name relative to the folder's descriptor: nothing outside the
            // folder can be reached through a link planted inside it.
            for (const std::string& n : names) {
                unlinkat(dirfd(dir), n.c_str(), 0);
            }
            closedir(dir);
        }
    }
    rmdir(native.c_str());
    m_path.clear();
}

int CreateForWriting(std::string_view path, int* error)
{
    const std::string native = ToNative(path);
    if (native.empty() || native.find('\0') != std::string::npos) {
        if (error != nullptr) {
            *error = EINVAL;
        }
        return -1;
    }
    int fd = -1;
    do {
        fd = open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && error != nullptr) {
        *error = errno;
    }
    return fd;
}

} // namespace os
