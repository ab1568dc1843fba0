// The file set of a command document: its entries (paths and filters, in order), the six
// default exclusion filters kept apart from them, the exclude list a run gathers, and the
// pre-count of the files a run will meet.
//
// Threads: the set lives on the interface thread and is edited there while no run is active.
// During a run the worker reads the entries and runs PrepareExcludeList, IsExcluded and
// PreCount; the run hands in its stop and suspend checks first (SetRunSignals).
#pragma once

#include "tessel/FileList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wendo {

// The rule for relative paths of a command file (file set entries, LOGFILE): a relative path
// is taken from the command file's folder (commandFolder, in the kept form with its final
// separator, or empty for the current folder), whatever the current folder. An absolute path,
// one with a drive or host, and a URL stay as written.
std::string ResolveFromCommandFolder(std::string_view path, std::string_view commandFolder);

class CFileSet
{
public:
    // What a run tells the set while it counts: stop (consumed by the first check that sees
    // it, like an auto-reset event) and suspend (held until resumed). Called on the worker.
    class RunSignals
    {
    public:
        virtual ~RunSignals() = default;
        // True once for each stop request.
        virtual bool TakeStop() = 0;
        virtual bool IsSuspended() = 0;
    };

    // The patterns that no run ever processes, whatever the entries say.
    static constexpr std::string_view kDefaultFilters[] = {"*.wdo", "*.gif", "*.jpg",
                                                           "*.tif", "*.bmp", "*.zip"};
    // The marker on each side of an entry in the command file.
    static constexpr std::string_view kMarker = ":~:";

    CFileSet();

    // ---- Entries ----
    int32_t Count() const { return static_cast<int32_t>(m_entries.size()); }
    const std::vector<CFileList>& Entries() const { return m_entries; }
    std::vector<CFileList>& Entries() { return m_entries; }
    // The entry at index, or none.
    const CFileList* At(int32_t index) const;
    CFileList* At(int32_t index);
    void Append(const CFileList& entry) { m_entries.push_back(entry); }
    void RemoveAt(int32_t index);
    void Clear() { m_entries.clear(); }

    // Iteration in list order: First resets the position and gives the first entry; Next
    // gives the following one. Both fill out and return false at the end. One walk at a time.
    bool First(CFileList& out);
    bool Next(CFileList& out);

    // The command file's form: the tokens of every entry, concatenated; returns the count.
    int32_t SaveToText(std::string& text) const;
    // Replaces the entries by those of up to count tokens of text, each the text between
    // the next two markers. A count below 1 leaves the set empty.
    void LoadFromText(int32_t count, std::string_view text);

    // ---- Relative entries ----
    // entry as a run uses it: its path taken from commandFolder by ResolveFromCommandFolder.
    // An exclude entry without a folder ("*.bak") names no place, it matches anywhere, and
    // stays as written; so does a pattern of folders ("*\old\*.htm").
    static CFileList ResolveEntry(const CFileList& entry, std::string_view commandFolder);
    // The folder the entries of a run are taken from (the command file's); the document sets it
    // on the interface thread when a run starts. The stored entries stay as written.
    void SetBaseFolder(std::string folder) { m_baseFolder = std::move(folder); }
    const std::string& BaseFolder() const { return m_baseFolder; }
    // ResolveEntry against the base folder.
    CFileList RunEntry(const CFileList& entry) const { return ResolveEntry(entry, m_baseFolder); }

    // ---- What a run needs ----
    const std::vector<CFileList>& DefaultFilters() const { return m_defaultFilters; }
    // Gathers the entries marked exclude (as RunEntry gives them); done when a run starts.
    void PrepareExcludeList();
    // A path is excluded when a default filter includes it, or else an exclude entry does.
    bool IsExcluded(const CFileList& path) const;

    // The run's stop and suspend checks; none clears them. Not owned.
    void SetRunSignals(RunSignals* signals) { m_signals = signals; }
    // Counts the files the entries (as RunEntry gives them) denote into count: an excluded entry
    // counts nothing, a file one unless it is excluded, a directory the files below it (the top
    // entries are walked; a directory's children only when the directory entry is recursive).
    // False, with count 0, when a stop came; a suspension is waited out.
    bool PreCount(int32_t& count);

private:
    // -1 when stopped.
    int64_t CountEntry(CFileList& entry, bool recurse);
    bool StopRequested();

    std::vector<CFileList> m_entries;
    std::size_t m_position = 0;
    std::vector<CFileList> m_defaultFilters;
    std::vector<CFileList> m_excludeList;
    std::string m_baseFolder;
    RunSignals* m_signals = nullptr;
};

} // namespace wendo
