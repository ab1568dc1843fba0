#include "model/FileSet.h"

#include "os/clock.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace wendo {

namespace {

// How long the pre-count sleeps between looks while the run is suspended.
constexpr std::uint32_t kSuspendPollMs = 1;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsRelative(std::string_view path)
{
    if (path.empty() || IsSeparator(path.front()) || path.find("://") != std::string_view::npos) {
        return false;
    }
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return !drive;
}

} // namespace

std::string ResolveFromCommandFolder(std::string_view path, std::string_view commandFolder)
{
    if (commandFolder.empty() || !IsRelative(path)) {
        return std::string(path);
    }
    std::string resolved(commandFolder);
    if (!IsSeparator(resolved.back())) {
        resolved += '\\';
    }
    resolved += path;
    return resolved;
}

CFileList CFileSet::ResolveEntry(const CFileList& entry, std::string_view commandFolder)
{
    const bool placeless =
        entry.IsVirtualDir() != 0 || (entry.IsExclude() != 0 && entry.GetHostRoot().empty());
    const std::string& path = entry.GetURLPath();
    const std::string resolved = placeless ? path : ResolveFromCommandFolder(path, commandFolder);
    if (resolved == path) {
        return entry;
    }
    const std::string option = entry.GetOption();
    return CFileList(resolved.c_str(), entry.IsRecursive(), entry.IsExclude(), entry.IsSkip(),
                     option.c_str());
}

CFileSet::CFileSet()
{
    m_defaultFilters.reserve(std::size(kDefaultFilters));
    for (std::string_view pattern : kDefaultFilters) {
        m_defaultFilters.emplace_back(std::string(pattern).c_str(), 1, 1, 0, nullptr);
    }
}

const CFileList* CFileSet::At(int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(index)];
}

CFileList* CFileSet::At(int32_t index)
{
    return const_cast<CFileList*>(static_cast<const CFileSet*>(this)->At(index));
}

void CFileSet::RemoveAt(int32_t index)
{
    if (At(index) != nullptr) {
        m_entries.erase(m_entries.begin() + index);
    }
}

bool CFileSet::First(CFileList& out)
{
    m_position = 0;
    return Next(out);
}

bool CFileSet::Next(CFileList& out)
{
    if (m_position >= m_entries.size()) {
        return false;
    }
    out = m_entries[m_position++];
    return true;
}

int32_t CFileSet::SaveToText(std::string& text) const
{
    text.clear();
    for (const CFileList& entry : m_entries) {
        text += entry.FileListToken();
    }
    return Count();
}

void CFileSet::LoadFromText(int32_t count, std::string_view text)
{
    m_entries.clear();
    m_position = 0;
    std::size_t from = 0;
    for (int32_t taken = 0; taken < count; ++taken) {
        const std::size_t open = text.find(kMarker, from);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t start = open + kMarker.size();
        const std::size_t close = text.find(kMarker, start);
        if (close == std::string_view::npos) {
            break;
        }
        const std::string form(text.substr(start, close - start));
        m_entries.emplace_back(form.c_str());
        from = close + kMarker.size();
    }
}

void CFileSet::PrepareExcludeList()
{
    m_excludeList.clear();
    for (const CFileList& entry : m_entries) {
        if (entry.IsExclude() != 0) {
            m_excludeList.push_back(RunEntry(entry));
        }
    }
}

bool CFileSet::IsExcluded(const CFileList& path) const
{
    for (const CFileList& filter : m_defaultFilters) {
        if (filter.IsInclude(path) != 0) {
            return true;
        }
    }
    for (const CFileList& entry : m_excludeList) {
        if (entry.IsInclude(path) != 0) {
            return true;
        }
    }
    return false;
}

bool CFileSet::StopRequested()
{
    if (m_signals == nullptr) {
        return false;
    }
    if (m_signals->TakeStop()) {
        return true;
    }
    while (m_signals->IsSuspended()) {
        os::SleepMilliseconds(kSuspendPollMs);
        // A stop while suspended ends the wait as well.
        if (m_signals->TakeStop()) {
            return true;
        }
    }
    return false;
}

int64_t CFileSet::CountEntry(CFileList& entry, bool recurse)
{
    if (StopRequested()) {
        return -1;
    }
    // What the walk cannot name is left out there, so it is not expected here either.
    if (entry.IsExclude() != 0 || entry.GetItemFault() != CFileList::ItemFault::None) {
        return 0;
    }
    if (entry.IsFile() != 0) {
        return IsExcluded(entry) || entry.IsTooLong() != 0 ? 0 : 1;
    }
    if (!recurse) {
        return 0;
    }
    int64_t sum = 0;
    if (entry.FindFirst(CFileList::SORT_NAME) != 0) {
        CFileList child;
        const bool childRecurse = entry.IsRecursive() != 0;
        while (entry.FindNext(child) != 0) {
            const int64_t n = CountEntry(child, childRecurse);
            if (n < 0) {
                sum = -1;
                break;
            }
            sum += n;
        }
    }
    entry.FindEnd();
    return sum;
}

bool CFileSet::PreCount(int32_t& count)
{
    count = 0;
    int64_t total = 0;
    for (const CFileList& top : m_entries) {
        // The walk opens listings on the entry; the stored entries stay untouched.
        CFileList entry = RunEntry(top);
        const int64_t n = CountEntry(entry, true);
        if (n < 0) {
            return false;
        }
        total += n;
    }
    count = static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
    return true;
}

} // namespace wendo
