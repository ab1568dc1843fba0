#include "os/replace.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace os {
namespace {

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

void SyncFolder(const std::string& folder)
{
    int d = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
        ::fsync(d); // best effort: the rename itself is already atomic
        ::close(d);
    }
}

// Closes a descriptor and removes the temporary file it belongs to unless released.
class TempFile
{
public:
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    // The file is made in staging when that folder is on the same file system as besides,
    // else beside besides: a process killed before the rename then leaves it in the run's
    // own folder rather than among the user's files.
    TempFile(const std::string& besides, const std::string& staging)
    {
        m_path = TempName(besides, staging);
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        if (m_fd < 0) {
            m_path.clear();
        }
    }
    ~TempFile()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

    // Flushes, closes and renames the file onto target, then flushes the target's folder or,
    // with deferred, leaves that to it. True on success.
    bool CommitTo(const std::string& target, PendingFolderSyncs* deferred = nullptr)
    {
        if (::fsync(m_fd) != 0) {
            return false;
        }
        int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            return false;
        }
        if (::rename(m_path.c_str(), target.c_str()) != 0) {
            return false;
        }
        m_path.clear();
        if (deferred != nullptr) {
            deferred->Add(FolderOf(target));
        } else {
            SyncFolder(FolderOf(target));
        }
        return true;
    }

private:
    static std::string TempName(const std::string& besides, const std::string& staging)
    {
        struct stat here
        {
        };
        struct stat there
        {
        };
        if (!staging.empty() && ::stat(FolderOf(besides).c_str(), &here) == 0 &&
            ::stat(staging.c_str(), &there) == 0 && here.st_dev == there.st_dev) {
            return staging + (staging.back() == '/' ? "" : "/") + "stage-XXXXXX";
        }
        // A name of NAME_MAX bytes leaves no room for a suffix: then a short name is used.
        const auto slash = besides.rfind('/');
        const std::size_t nameLength =
            slash == std::string::npos ? besides.size() : besides.size() - slash - 1;
        if (nameLength + 13 > NAME_MAX) {
            return FolderOf(besides) + ".wendo-XXXXXX";
        }
        return besides + ".wendo-XXXXXX";
    }

    std::string m_path;
    int m_fd = -1;
};

bool WriteAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

bool CopyContent(const std::string& from, int to)
{
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    // Not zero-filled: every byte written was read first, and a write-back per file made the
    // clearing of a megabyte show in profiles.
    constexpr size_t kChunk = size_t{1} << 20;
    const auto buf = std::make_unique_for_overwrite<char[]>(kChunk);
    bool ok = true;
    for (;;) {
        ssize_t r = ::read(in, buf.get(), kChunk);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            ok = false;
            break;
        }
        if (r == 0) {
            break;
        }
        if (!WriteAll(to, buf.get(), static_cast<size_t>(r))) {
            ok = false;
            break;
        }
    }
    ::close(in);
    return ok;
}

void KeepOwnerAndMode(int fd, const struct stat& st)
{
    // Another owner can only be kept by a privileged process; the mode always can.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    }
    ::fchmod(fd, st.st_mode & 07777);
}

// The file a path finally names: links are followed, the link itself is never replaced.
std::string RealTarget(const std::string& path)
{
    struct stat lst
    {
    };
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

} // namespace

void PendingFolderSyncs::Add(const std::string& folder)
{
    if (std::find(m_folders.begin(), m_folders.end(), folder) == m_folders.end()) {
        m_folders.push_back(folder);
    }
}

void PendingFolderSyncs::Flush()
{
    for (const std::string& folder : m_folders) {
        SyncFolder(folder);
    }
    m_folders.clear();
}

std::string LinkTarget(std::string_view path)
{
    return RealTarget(std::string(path));
}

WriteBackError WriteBack(std::string_view targetView, std::string_view fromView,
                         std::string_view backupView, std::string_view stagingView,
                         PendingFolderSyncs* deferred)
{
    const std::string target = RealTarget(std::string(targetView));
    const std::string from(fromView);
    const std::string staging(stagingView);
    struct stat st
    {
    };
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return backupView.empty() ? WriteBackError::Replace : WriteBackError::Backup;
    }
    // A read-only file is left alone, even by a user whom permissions do not stop.
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
        return WriteBackError::Replace;
    }
    if (!backupView.empty()) {
        const std::string backup(backupView);
        TempFile tmp(backup, staging);
        if (!tmp.valid() || !CopyContent(target, tmp.fd())) {
            return WriteBackError::Backup;
        }
        KeepOwnerAndMode(tmp.fd(), st);
        if (!tmp.CommitTo(backup)) {
            return WriteBackError::Backup;
        }
    }
    TempFile tmp(target, staging);
    if (!tmp.valid() || !CopyContent(from, tmp.fd())) {
        return WriteBackError::Replace;
    }
    KeepOwnerAndMode(tmp.fd(), st);
    return tmp.CommitTo(target, deferred) ? WriteBackError::None : WriteBackError::Replace;
}

int WriteFileAtomically(std::string_view pathView, std::string_view data)
{
    const std::string path = RealTarget(std::string(pathView));
    TempFile tmp(path, std::string());
    if (!tmp.valid()) {
        return errno != 0 ? errno : EIO;
    }
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0) {
        KeepOwnerAndMode(tmp.fd(), st);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(tmp.fd(), 0666 & ~mask);
    }
    if (!WriteAll(tmp.fd(), data.data(), data.size())) {
        return errno != 0 ? errno : EIO;
    }
    return tmp.CommitTo(path) ? 0 : (errno != 0 ? errno : EIO);
}

} // namespace os
