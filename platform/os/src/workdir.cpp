#include "os/workdir.h"

#include "os/path.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// Removes the files directly inside a private folder, then the folder. Unlinking by name
// relative to the folder's descriptor: nothing outside the folder can be reached through a
// link planted inside it.
void RemoveFolder(const std::string& native)
{
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
            for (const std::string& n : names) {
                unlinkat(dirfd(dir), n.c_str(), 0);
            }
            closedir(dir);
        }
    }
    rmdir(native.c_str());
}

// A folder that a live run holds is never touched, nor one younger than this: its maker may
// not hold it yet.
constexpr time_t kStaleAfterSeconds = 120;

constexpr std::string_view kHoldFile = ".hold";

bool IsPrivateFolderName(std::string_view name)
{
    return name.size() == 12 && name.substr(0, 6) == "wendo-";
}

} // namespace

void RemoveStaleWorkDirs(std::string_view parent)
{
    std::string native = parent.empty() ? DefaultParent() : ToNative(parent);
    if (native.empty() || native.find('\0') != std::string::npos) {
        return;
    }
    if (native.back() != '/') {
        native += '/';
    }
    DIR* dir = opendir(native.c_str());
    if (dir == nullptr) {
        return;
    }
    std::vector<std::string> stale;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        if (!IsPrivateFolderName(entry->d_name)) {
            continue;
        }
        const std::string path = native + entry->d_name;
        struct stat st
        {
        };
        // Only this user's own private folders, made by a run (they hold its hold file),
        // whose holder is gone.
        if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
            (st.st_mode & 077) != 0 || now - st.st_mtime < kStaleAfterSeconds) {
            continue;
        }
        const std::string hold = path + "/" + std::string(kHoldFile);
        const int fd = open(hold.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            stale.push_back(path);
        }
        close(fd);
    }
    closedir(dir);
    for (const std::string& path : stale) {
        RemoveFolder(path);
    }
}

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
    // Its hold file is held while the folder exists, so that a later run can tell it from
    // one left by a killed run.
    const std::string hold = std::string(name.data()) + "/" + std::string(kHoldFile);
    m_hold = open(hold.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_hold >= 0 && flock(m_hold, LOCK_EX | LOCK_NB) != 0) {
        close(m_hold);
        m_hold = -1;
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
    RemoveFolder(native);
    if (m_hold >= 0) {
        close(m_hold);
        m_hold = -1;
    }
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
