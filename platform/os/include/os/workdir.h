// A private folder for the work files of one run, and the creation of a work file in it.
//
// Each run gets its own folder (mode 0700, made by mkdtemp) so that two documents can run at
// once with the same work-file names, and no other user can plant a file or a link there.
// Paths are in the kept form (see path.h). A WorkDir belongs to one thread at a time.
#pragma once

#include <string>
#include <string_view>

namespace os {

class WorkDir
{
public:
    WorkDir() = default;
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    // Removes the folder and the files in it.
    ~WorkDir();

    // Makes a new private folder inside parent (empty: TMPDIR when it names a folder, else
    // "/tmp"). Returns 0 on success, else the system's error number. A folder made earlier by
    // this object is removed first.
    int Create(std::string_view parent = {});
    // Removes the files directly inside the folder, then the folder. Nothing when none exists.
    void Remove();

    bool IsCreated() const { return !m_path.empty(); }
    // The folder, kept form, with a trailing backslash; empty before Create.
    const std::string& Path() const { return m_path; }
    // The path of a file named name inside the folder.
    std::string FileIn(std::string_view name) const { return m_path + std::string(name); }

private:
    std::string m_path;
    int m_hold = -1; // the folder's hold file, held (flock) while this object owns it
};

// Removes the private folders in parent (empty: as for Create) that runs killed before they
// could clean up left behind: only this user's, not held by a live run, untouched for two
// minutes.
void RemoveStaleWorkDirs(std::string_view parent = {});

// Creates the file or truncates it, for writing only, mode 0600 when new. A symbolic link in
// the last component is refused (ELOOP), so a planted link cannot redirect the writes.
// Returns a descriptor, or -1 with *error (when given) set to the system's error number.
int CreateForWriting(std::string_view path, int* error = nullptr);

} // namespace os
