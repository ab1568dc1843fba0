#include "os/filelock.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

FileError FromErrno(int e)
{
    // A lock held by someone else reads as a name already taken.
    return e == EWOULDBLOCK ? FileError::Exists : FileErrorFromErrno(e);
}

int Fail(int handle, int e, FileError* error)
{
    if (handle >= 0) {
        ::close(handle);
    }
    if (error != nullptr) {
        *error = FromErrno(e);
    }
    return -1;
}

int OpenHeld(std::string_view path, int flags, int lockKind, FileError* error)
{
    if (path.find('\0') != std::string_view::npos) {
        return Fail(-1, ENOENT, error);
    }
    const std::string name(path);
    int handle = -1;
    do {
        handle = ::open(name.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0) {
        return Fail(-1, errno, error);
    }
    struct stat st
    {
    };
    if (::fstat(handle, &st) != 0) {
        return Fail(handle, errno, error);
    }
    if (S_ISDIR(st.st_mode)) {
        return Fail(handle, EISDIR, error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(handle);
        if (error != nullptr) {
            *error = FileError::NotRegular;
        }
        return -1;
    }
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    int locked = -1;
    do {
        locked = ::flock(handle, lockKind | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        return Fail(handle, errno, error);
    }
    return handle;
}

} // namespace

int CreateHeldForWriting(std::string_view path, FileError* error)
{
    const int handle = OpenHeld(path, O_WRONLY | O_CREAT, LOCK_EX, error);
    if (handle >= 0 && ::ftruncate(handle, 0) != 0) {
        return Fail(handle, errno, error);
    }
    return handle;
}

int OpenHeldForRewriting(std::string_view path, FileError* error)
{
    return OpenHeld(path, O_RDWR | O_CREAT, LOCK_EX, error);
}

int OpenHeldForReading(std::string_view path, FileError* error)
{
    return OpenHeld(path, O_RDONLY, LOCK_SH, error);
}

} // namespace os
