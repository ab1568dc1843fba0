#include "os/dir.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <unistd.h>
#include <vector>

namespace os {

namespace {

// An open directory read with getdents64 into a buffer of its own: opendir would add a status
// call per folder (for a buffer size) that a walk of many small folders pays for each one.
struct OpenDirectory
{
    explicit OpenDirectory(int descriptor) : fd(descriptor) {}
    ~OpenDirectory() { close(fd); }
    OpenDirectory(const OpenDirectory&) = delete;
    OpenDirectory& operator=(const OpenDirectory&) = delete;

    int fd;
    std::size_t next = 0; // offset of the next record in data
    std::size_t end = 0;  // bytes of data the last read gave
    alignas(dirent64) char data[32768];
};

OpenDirectory* AsDir(void* dir)
{
    return static_cast<OpenDirectory*>(dir);
}

// A name of this directory, never a path through it.
bool IsEntryName(const std::string& name)
{
    return !name.empty() && name.find('\0') == std::string::npos &&
           name.find('/') == std::string::npos;
}

} // namespace

DirectoryReader::DirectoryReader(std::string_view nativePath)
{
    const std::string path = nativePath.empty() ? std::string(".") : std::string(nativePath);
    // An embedded NUL would silently name another directory.
    if (path.find('\0') != std::string::npos) {
        m_error = EINVAL;
        return;
    }
    // Non-blocking, so that a pipe put where a folder was cannot hold the open.
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return;
    }
    m_dir = new (std::nothrow) OpenDirectory(fd);
    if (m_dir == nullptr) {
        close(fd);
        m_error = ENOMEM;
    }
}

DirectoryReader::~DirectoryReader()
{
    delete AsDir(m_dir);
}

bool DirectoryReader::Next(std::string& name)
{
    if (m_dir == nullptr) {
        return false;
    }
    OpenDirectory& dir = *AsDir(m_dir);
    for (;;) {
        if (dir.next >= dir.end) {
            const ssize_t got = getdents64(dir.fd, dir.data, sizeof(dir.data));
            if (got <= 0) {
                m_error = got < 0 ? errno : 0;
                m_type = DT_UNKNOWN;
                return false;
            }
            dir.next = 0;
            dir.end = static_cast<std::size_t>(got);
        }
        const auto* entry = reinterpret_cast<const dirent64*>(dir.data + dir.next);
        dir.next += entry->d_reclen;
        const std::string_view found(entry->d_name);
        if (found == "." || found == "..") {
            continue;
        }
        name.assign(found);
        m_type = entry->d_type;
        return true;
    }
}

EntryKind DirectoryReader::Status(const std::string& name, struct stat& status) const
{
    if (m_dir == nullptr || !IsEntryName(name)) {
        return EntryKind::Missing;
    }
    // Relative to the open directory, so that the answer is about the entry just read even when
    // the directory's path is long or has been renamed meanwhile.
    const int fd = AsDir(m_dir)->fd;
    if (fstatat(fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryKind::Missing;
    }
    if (S_ISLNK(status.st_mode)) {
        struct stat target
        {
        };
        if (fstatat(fd, name.c_str(), &target, 0) != 0) {
            return EntryKind::Missing;
        }
        if (S_ISDIR(target.st_mode)) {
            return EntryKind::LinkToDirectory;
        }
        if (S_ISREG(target.st_mode)) {
            status = target;
            return EntryKind::File;
        }
        return EntryKind::Other;
    }
    if (S_ISDIR(status.st_mode)) {
        return EntryKind::Directory;
    }
    if (S_ISREG(status.st_mode)) {
        return EntryKind::File;
    }
    return EntryKind::Other;
}

EntryKind DirectoryReader::Kind(const std::string& name) const
{
    switch (m_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Directory;
    case DT_LNK:
        break;
    case DT_UNKNOWN: {
        struct stat status
        {
        };
        return Status(name, status);
    }
    default:
        return EntryKind::Other;
    }
    if (m_dir == nullptr || !IsEntryName(name)) {
        return EntryKind::Missing;
    }
    // The link's own status would only repeat what the listing said.
    struct stat target
    {
    };
    if (fstatat(AsDir(m_dir)->fd, name.c_str(), &target, 0) != 0) {
        return EntryKind::Missing;
    }
    if (S_ISDIR(target.st_mode)) {
        return EntryKind::LinkToDirectory;
    }
    return S_ISREG(target.st_mode) ? EntryKind::File : EntryKind::Other;
}

std::string WorkingDirectory()
{
    std::vector<char> buffer(4096);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            return std::string(buffer.data());
        }
        if (errno != ERANGE || buffer.size() >= (1U << 20)) {
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool EntryExists(std::string_view nativePath)
{
    if (nativePath.empty() || nativePath.find('\0') != std::string_view::npos) {
        return false;
    }
    struct stat status
    {
    };
    return lstat(std::string(nativePath).c_str(), &status) == 0;
}

} // namespace os
