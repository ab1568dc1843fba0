#include "os/dir.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace os {

namespace {

DIR* AsDir(void* dir)
{
    return static_cast<DIR*>(dir);
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
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        m_error = errno;
        return;
    }
    m_dir = dir;
}

DirectoryReader::~DirectoryReader()
{
    if (m_dir != nullptr) {
        closedir(AsDir(m_dir));
    }
}

bool DirectoryReader::Next(std::string& name)
{
    if (m_dir == nullptr) {
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(AsDir(m_dir));
        if (entry == nullptr) {
            m_error = errno;
            m_type = DT_UNKNOWN;
            return false;
        }
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
    const int fd = dirfd(AsDir(m_dir));
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
    if (fstatat(dirfd(AsDir(m_dir)), name.c_str(), &target, 0) != 0) {
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
