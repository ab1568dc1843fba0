// Reading a directory for a listing: names as bytes, the status of each entry, and the kind of
// entry the listing may treat it as.
//
// Paths here are native (see os/path.h); callers convert with ToNative before and FromNative
// after. Nothing throws and nothing crashes on a bad directory: errors come back as errno
// values. A reader belongs to one thread at a time; different readers are independent.
#pragma once

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace os {

// What a listing may do with an entry. A symbolic link counts as what it points to, except that
// a link to a directory is never a directory to walk into, so that a recursive walk cannot loop.
enum class EntryKind
{
    Missing,   // the entry vanished, or is a link whose target is gone or unreadable
    File,      // a regular file, or a link to one (status of the target)
    Directory, // a real directory, not a link
    LinkToDirectory,
    Other, // devices, sockets, pipes
};

class DirectoryReader
{
public:
    // Opens the directory; an empty path means the current directory.
    explicit DirectoryReader(std::string_view nativePath);
    ~DirectoryReader();

    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    bool IsOpen() const { return m_dir != nullptr; }
    // errno of the failed open or read; 0 when none.
    int Error() const { return m_error; }

    // The next name, skipping "." and "..". False at the end and on a read error (Error()
    // tells them apart).
    bool Next(std::string& name);

    // Status of one entry of this directory, by name. For a link to a regular file the status
    // is the target's; for any other link it is the link's own.
    EntryKind Status(const std::string& name, struct stat& status) const;

    // What a listing may do with the entry Next gave last (name is that name), as Status tells
    // it. The type the directory itself records answers for a file, a directory or a device
    // without a status call, so that a walk costs one read of each folder; a link costs one
    // call (its target's status), and an entry the file system leaves untyped what Status costs.
    EntryKind Kind(const std::string& name) const;

private:
    void* m_dir = nullptr; // the open directory and its read buffer, private to dir.cpp
    int m_error = 0;
    // The type the directory recorded for the entry Next gave last (a DT_ value; DT_UNKNOWN
    // when the file system does not record types or no entry was read).
    unsigned char m_type = 0;
};

// The current working directory, native; empty when it cannot be read (removed, too long).
std::string WorkingDirectory();

// True when the entry itself exists (a dangling link counts, as an entry of its directory).
bool EntryExists(std::string_view nativePath);

} // namespace os
