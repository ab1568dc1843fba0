#include "os/file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace os {
namespace {

FileStatus FromStat(const struct stat& st)
{
    FileStatus out;
    out.size = static_cast<std::int64_t>(st.st_size);
    out.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    out.accessed = static_cast<std::int64_t>(st.st_atim.tv_sec);
    out.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    out.directory = S_ISDIR(st.st_mode);
    out.regular = S_ISREG(st.st_mode);
    out.readOnly = (st.st_mode & S_IWUSR) == 0;
    out.device = static_cast<std::uint64_t>(st.st_dev);
    out.inode = static_cast<std::uint64_t>(st.st_ino);
    return out;
}

// A path the system can take: not empty and without an embedded NUL, which would silently
// name another file.
bool Usable(std::string_view path)
{
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

int OpenNative(std::string_view path, int flags, mode_t mode = 0)
{
    if (!Usable(path)) {
        errno = ENOENT;
        return -1;
    }
    const std::string native(path);
    int fd = -1;
    do {
        fd = ::open(native.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

FileError FileErrorFromErrno(int err)
{
    switch (err) {
    case 0:
        return FileError::None;
    case ENOENT:
    case ELOOP:
    case ENAMETOOLONG:
        return FileError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileError::Access;
    case EISDIR:
        return FileError::IsDirectory;
    case ENOTDIR:
        return FileError::NotDirectory;
    case EEXIST:
        return FileError::Exists;
    case ENOMEM:
        return FileError::NoMemory;
    default:
        return FileError::Io;
    }
}

FileError GetStatus(std::string_view path, FileStatus& status)
{
    if (!Usable(path)) {
        return FileError::NotFound;
    }
    const std::string native(path);
    struct stat st
    {
    };
    if (::stat(native.c_str(), &st) != 0) {
        return FileErrorFromErrno(errno);
    }
    status = FromStat(st);
    return FileError::None;
}

std::int64_t AvailableBytes(std::string_view path)
{
    if (!Usable(path)) {
        return -1;
    }
    struct statvfs fs
    {
    };
    if (::statvfs(std::string(path).c_str(), &fs) != 0) {
        return -1;
    }
    const auto bytes = static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
    constexpr auto kMax = static_cast<unsigned long long>(INT64_MAX);
    return static_cast<std::int64_t>(bytes > kMax ? kMax : bytes);
}

FileError ReadWholeFile(std::string_view path, std::string& data)
{
    FileError err = FileError::None;
    FileHandle file(OpenFile(path, OpenMode::Read, &err));
    if (!file.valid()) {
        return err;
    }
    FileStatus st;
    if ((err = GetHandleStatus(file.get(), st)) != FileError::None) {
        return err;
    }
    try {
        std::string out;
        out.reserve(static_cast<std::size_t>(st.size));
        char block[65536];
        for (;;) {
            const std::int64_t n = ReadFile(file.get(), block, sizeof block);
            if (n < 0) {
                return FileErrorFromErrno(errno);
            }
            if (n == 0) {
                break;
            }
            out.append(block, static_cast<std::size_t>(n));
        }
        data = std::move(out);
    } catch (const std::bad_alloc&) {
        return FileError::NoMemory;
    } catch (const std::length_error&) {
        return FileError::NoMemory;
    }
    return FileError::None;
}

FileError WriteWholeFile(std::string_view path, const void* data, std::size_t size)
{
    FileHandle file(OpenNative(path, O_WRONLY | O_CREAT | O_TRUNC, 0666));
    if (!file.valid()) {
        return FileErrorFromErrno(errno);
    }
    if (size > 0 && !WriteFile(file.get(), data, size)) {
        return FileErrorFromErrno(errno);
    }
    // A failed close can be the first report of a failed write (network and quota).
    if (::close(file.release()) != 0 && errno != EINTR) {
        return FileErrorFromErrno(errno);
    }
    return FileError::None;
}

FileError CreateExclusive(std::string_view path)
{
    const int fd = OpenNative(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return FileErrorFromErrno(errno);
    }
    ::close(fd);
    return FileError::None;
}

FileError CopyFile(std::string_view from, std::string_view to, bool replace)
{
    FileError err = FileError::None;
    FileHandle src(OpenFile(from, OpenMode::Read, &err));
    if (!src.valid()) {
        return err;
    }
    FileStatus st;
    if ((err = GetHandleStatus(src.get(), st)) != FileError::None) {
        return err;
    }
    // Truncating the target would destroy the source when both name the same file.
    struct stat target
    {
    };
    struct stat source
    {
    };
    if (Usable(to) && ::stat(std::string(to).c_str(), &target) == 0 &&
        ::fstat(src.get(), &source) == 0 && target.st_dev == source.st_dev &&
        target.st_ino == source.st_ino) {
        return FileError::Exists;
    }
    const int flags = O_WRONLY | O_CREAT | (replace ? O_TRUNC : O_EXCL);
    FileHandle dst(OpenNative(to, flags, static_cast<mode_t>(st.mode & 0777)));
    if (!dst.valid()) {
        return FileErrorFromErrno(errno);
    }
    char block[65536];
    for (;;) {
        const std::int64_t n = ReadFile(src.get(), block, sizeof block);
        if (n < 0) {
            return FileErrorFromErrno(errno);
        }
        if (n == 0) {
            break;
        }
        if (!WriteFile(dst.get(), block, static_cast<std::size_t>(n))) {
            return FileErrorFromErrno(errno);
        }
    }
    // An existing target keeps its mode through O_TRUNC; give it the source's.
    if (::fchmod(dst.get(), static_cast<mode_t>(st.mode & 07777)) != 0) {
        return FileErrorFromErrno(errno);
    }
    if (::close(dst.release()) != 0 && errno != EINTR) {
        return FileErrorFromErrno(errno);
    }
    return FileError::None;
}

FileError RemoveFile(std::string_view path)
{
    if (!Usable(path)) {
        return FileError::NotFound;
    }
    if (::unlink(std::string(path).c_str()) != 0) {
        return FileErrorFromErrno(errno);
    }
    return FileError::None;
}

FileError RenameFile(std::string_view from, std::string_view to)
{
    if (!Usable(from) || !Usable(to)) {
        return FileError::NotFound;
    }
    if (::rename(std::string(from).c_str(), std::string(to).c_str()) != 0) {
        return FileErrorFromErrno(errno);
    }
    return FileError::None;
}

std::string TempDirectory()
{
    std::string dir = "/tmp";
    // getenv is read-only here; nothing in this program sets TMPDIR while running.
    if (const char* env = std::getenv("TMPDIR"); env != nullptr && *env == '/') {
        struct stat st
        {
        };
        if (::stat(env, &st) == 0 && S_ISDIR(st.st_mode)) {
            dir = env;
        }
    }
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    if (dir.back() != '/') {
        dir.push_back('/');
    }
    return dir;
}

int OpenFile(std::string_view path, OpenMode mode, FileError* error)
{
    const int flags = mode == OpenMode::Read ? O_RDONLY : O_RDWR;
    const int fd = OpenNative(path, flags | O_NONBLOCK);
    FileError err = FileError::None;
    if (fd < 0) {
        err = FileErrorFromErrno(errno);
    } else {
        struct stat st
        {
        };
        if (::fstat(fd, &st) != 0) {
            err = FileErrorFromErrno(errno);
        } else if (S_ISDIR(st.st_mode)) {
            err = FileError::IsDirectory;
        } else if (!S_ISREG(st.st_mode)) {
            err = FileError::NotRegular;
        }
        if (err != FileError::None) {
            ::close(fd);
        } else {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        }
    }
    if (error != nullptr) {
        *error = err;
    }
    return err == FileError::None ? fd : -1;
}

bool CloseFile(int handle)
{
    return handle < 0 || ::close(handle) == 0;
}

std::int64_t ReadFile(int handle, void* buffer, std::size_t size)
{
    ssize_t n = 0;
    do {
        n = ::read(handle, buffer, size);
    } while (n < 0 && errno == EINTR);
    return static_cast<std::int64_t>(n);
}

bool WriteFile(int handle, const void* buffer, std::size_t size)
{
    const char* p = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::write(handle, p, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t SeekFile(int handle, std::int64_t offset, SeekFrom from)
{
    const int whence = from == SeekFrom::Start     ? SEEK_SET
                       : from == SeekFrom::Current ? SEEK_CUR
                                                   : SEEK_END;
    return static_cast<std::int64_t>(::lseek(handle, static_cast<off_t>(offset), whence));
}

bool SyncFile(int handle)
{
    return ::fsync(handle) == 0;
}

bool TruncateFile(int handle, std::int64_t size)
{
    int rc = 0;
    do {
        rc = ::ftruncate(handle, static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

FileError GetHandleStatus(int handle, FileStatus& status)
{
    struct stat st
    {
    };
    if (::fstat(handle, &st) != 0) {
        return FileErrorFromErrno(errno);
    }
    status = FromStat(st);
    return FileError::None;
}

} // namespace os
