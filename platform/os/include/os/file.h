// Files: whole-file read and write, exclusive creation, status, copy, delete, rename, the
// temporary and current directories, and reading, writing and moving within open files.
//
// Paths here are native, as in os/dir.h: callers convert with ToNative before and FromNative
// after (see os/path.h). A path holding a NUL byte names nothing (NotFound). Every function may
// be called from any thread; none keeps state of its own. Directory listing and the working
// directory live in os/dir.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace os {

enum class FileError
{
    None,
    NotFound,     // the path or one of its folders does not exist
    Access,       // permission denied, read-only file system
    IsDirectory,  // a folder where a file was expected
    NotDirectory, // a file where a folder was expected
    NotRegular,   // a FIFO, a device or a socket where a file was expected
    Exists,       // exclusive creation found the name taken
    NoMemory,
    Io, // any other failure of the system
};

// The FileError that a system error number stands for.
FileError FileErrorFromErrno(int err);

struct FileStatus
{
    std::int64_t size = 0;
    std::int64_t modified = 0; // seconds since 1970
    std::int64_t accessed = 0; // seconds since 1970
    std::uint32_t mode = 0;    // permission bits (07777)
    bool directory = false;
    bool regular = false;
    bool readOnly = false; // the owner may not write
    // Which file this is: two paths name the same file when both are equal.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// Status of the path; symbolic links are followed.
FileError GetStatus(std::string_view path, FileStatus& status);
// Bytes an unprivileged process may still write on the file system holding path, or -1.
std::int64_t AvailableBytes(std::string_view path);
inline bool Exists(std::string_view path)
{
    FileStatus st;
    return GetStatus(path, st) == FileError::None;
}

// The whole content of a file. A folder gives IsDirectory; an empty file an empty string.
FileError ReadWholeFile(std::string_view path, std::string& data);

// Creates the file or truncates it, writes all size bytes and closes it. New files get the
// mode 0666 less the process umask.
FileError WriteWholeFile(std::string_view path, const void* data, std::size_t size);

// Creates an empty file of mode 0600 only when no entry of that name exists (no link is
// followed); Exists when one does. The test and the creation are one step, so two processes
// racing for the same name cannot both succeed.
FileError CreateExclusive(std::string_view path);

// Copies the content and the permission bits. With replace false an existing target gives
// Exists and is left alone; a target that is the source itself always gives Exists.
FileError CopyFile(std::string_view from, std::string_view to, bool replace);

// Removes a file (a link itself, never its target); folders give IsDirectory.
FileError RemoveFile(std::string_view path);

// Renames within one file system, replacing an existing target file.
FileError RenameFile(std::string_view from, std::string_view to);

// The system's folder for temporary files: TMPDIR when it is an absolute path naming an
// existing folder, else "/tmp". Ends with a separator ("/tmp/").
std::string TempDirectory();

// ---- Open files ----
//
// A handle is the C run-time's file descriptor. Each handle belongs to the thread that uses it;
// the functions below take no lock.

enum class OpenMode
{
    Read,
    ReadWrite, // existing file only
};

// A descriptor, or -1 (error gives the reason). Folders are refused with IsDirectory, FIFOs,
// devices and sockets with NotRegular; the open never waits for a FIFO's other end.
int OpenFile(std::string_view path, OpenMode mode, FileError* error = nullptr);
// False when the system reports that the file could not be closed cleanly (on some file
// systems the last written bytes may then be lost); the handle is released either way.
bool CloseFile(int handle);

// Bytes read (0 at the end), or -1. Interrupted reads are retried.
std::int64_t ReadFile(int handle, void* buffer, std::size_t size);
// Writes all bytes; false on any failure.
bool WriteFile(int handle, const void* buffer, std::size_t size);

enum class SeekFrom
{
    Start,
    Current,
    End
};
// The new position, or -1.
std::int64_t SeekFile(int handle, std::int64_t offset, SeekFrom from);
bool TruncateFile(int handle, std::int64_t size);
// Puts the file's data on the device (fsync); false when the device refuses it, the last
// chance to learn that written bytes found no room.
bool SyncFile(int handle);
FileError GetHandleStatus(int handle, FileStatus& status);

// Owns one descriptor and closes it when it goes out of scope.
class FileHandle
{
public:
    FileHandle() = default;
    explicit FileHandle(int handle) : m_handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : m_handle(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~FileHandle() { reset(); }

    int get() const { return m_handle; }
    bool valid() const { return m_handle >= 0; }
    int release()
    {
        int h = m_handle;
        m_handle = -1;
        return h;
    }
    void reset(int handle = -1)
    {
        if (m_handle >= 0) {
            CloseFile(m_handle);
        }
        m_handle = handle;
    }

private:
    int m_handle = -1;
};

} // namespace os
