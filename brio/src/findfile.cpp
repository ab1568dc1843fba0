// Directory listing. The directory is read once, with the status of each entry, sorted in
// memory and then delivered from the sorted table; the record owns that table until FindEnd.

#include "brio/findfile.h"

#include "os/dir.h"
#include "os/names.h"
#include "os/path.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

// Callers read the mode word of a listed item with the values documented for it.
static_assert(S_IFDIR == 0x4000 && S_IFREG == 0x8000, "mode bits of a listed item");

namespace {

constexpr std::size_t kMaxPath = sizeof(FindFile::szFilter) - 1;
constexpr std::size_t kMaxDir = sizeof(FindFile::szDirPath) - 1;
constexpr std::size_t kMaxName = sizeof(FindFileItem::szName) - 1;

// ASCII only, so that the order and the matches do not depend on the process's locale.
using os::UpperAscii;

bool IsTrimmed(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u <= ' ' || u == 127;
}

std::string_view TrimView(std::string_view text)
{
    while (!text.empty() && IsTrimmed(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsTrimmed(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int CompareNames(const FindFileItem& a, const FindFileItem& b)
{
    const std::size_t la = std::strlen(a.szName);
    const std::size_t lb = std::strlen(b.szName);
    for (std::size_t i = 0; i < la && i < lb; ++i) {
        const auto ca = static_cast<unsigned char>(UpperAscii(a.szName[i]));
        const auto cb = static_cast<unsigned char>(UpperAscii(b.szName[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (la != lb) {
        return la < lb ? -1 : 1;
    }
    return std::strcmp(a.szName, b.szName);
}

int CompareTimes(const timespec& a, const timespec& b)
{
    if (a.tv_sec != b.tv_sec) {
        return a.tv_sec < b.tv_sec ? -1 : 1;
    }
    if (a.tv_nsec != b.tv_nsec) {
        return a.tv_nsec < b.tv_nsec ? -1 : 1;
    }
    return 0;
}

// Strict order of the sort code; equal keys fall back to the name so that a listing comes out
// the same every time.
bool Before(const FindFileItem& a, const FindFileItem& b, int order)
{
    int key = 0;
    bool descending = false;
    switch (order) {
    case FINDFILE_SORT_R_NAME:
        key = CompareNames(a, b);
        descending = true;
        break;
    case FINDFILE_SORT_MODIF:
    case FINDFILE_SORT_R_MODIF:
        key = CompareTimes(a.stStatus.st_mtim, b.stStatus.st_mtim);
        descending = order == FINDFILE_SORT_R_MODIF;
        break;
    case FINDFILE_SORT_ACCESS:
    case FINDFILE_SORT_R_ACCESS:
        key = CompareTimes(a.stStatus.st_atim, b.stStatus.st_atim);
        descending = order == FINDFILE_SORT_R_ACCESS;
        break;
    case FINDFILE_SORT_SIZE:
    case FINDFILE_SORT_R_SIZE:
        if (a.stStatus.st_size != b.stStatus.st_size) {
            key = a.stStatus.st_size < b.stStatus.st_size ? -1 : 1;
        }
        descending = order == FINDFILE_SORT_R_SIZE;
        break;
    default:
        break;
    }
    if (descending) {
        key = -key;
    }
    if (key == 0) {
        key = CompareNames(a, b);
    }
    return key < 0;
}

void CopyText(char* dest, std::size_t size, std::string_view text)
{
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

void ClearRecord(FindFile* find)
{
    std::memset(static_cast<void*>(find), 0, sizeof(*find));
}

// The listed items while a directory is read: a block from malloc that grows by doubling, so
// that a folder of many thousands of names is not copied over and over. The record takes the
// block over (FindEnd frees it).
class ItemTable
{
public:
    ItemTable() = default;
    ItemTable(const ItemTable&) = delete;
    ItemTable& operator=(const ItemTable&) = delete;
    ~ItemTable() { std::free(m_items); }

    bool Append(const FindFileItem& item)
    {
        if (m_count == m_capacity) {
            if (m_capacity >= FINDFILE_MAX_ITEMS / 2) {
                return false;
            }
            const std::size_t capacity = m_capacity == 0 ? 100 : m_capacity * 2;
            void* grown = std::realloc(m_items, capacity * sizeof(FindFileItem));
            if (grown == nullptr) {
                return false;
            }
            m_items = static_cast<FindFileItem*>(grown);
            m_capacity = capacity;
        }
        m_items[m_count++] = item;
        return true;
    }

    FindFileItem* begin() { return m_items; }
    FindFileItem* end() { return m_items + m_count; }
    std::size_t size() const { return m_count; }
    FindFileItem* Release()
    {
        FindFileItem* items = m_items;
        m_items = nullptr;
        m_count = m_capacity = 0;
        return items;
    }

private:
    FindFileItem* m_items = nullptr;
    std::size_t m_count = 0;
    std::size_t m_capacity = 0;
};

// The order a sort code chooses (its low five bits).
int OrderOf(int16_t sort)
{
    return (sort == 0 ? FINDFILE_SORT_NAME : sort) & 0x1F;
}

// True when an order compares names alone, so that the items need no status but their type.
bool OrdersByName(int order)
{
    switch (order) {
    case FINDFILE_SORT_MODIF:
    case FINDFILE_SORT_R_MODIF:
    case FINDFILE_SORT_ACCESS:
    case FINDFILE_SORT_R_ACCESS:
    case FINDFILE_SORT_SIZE:
    case FINDFILE_SORT_R_SIZE:
        return false;
    default:
        return true;
    }
}

// Reads the directory into items. 0, or the errno of a directory that could not be read
// (ENOMEM when memory ran out).
int ReadItems(const std::string& nativeDir, std::string_view filter, int kinds, bool typesOnly,
              ItemTable& items, int& files, int& dirs)
{
    os::DirectoryReader reader(nativeDir);
    if (!reader.IsOpen()) {
        return reader.Error() != 0 ? reader.Error() : ENOENT;
    }
    std::string name;
    while (reader.Next(name)) {
        if (name.size() > kMaxName) {
            continue;
        }
        // The name decides first: what it leaves out is never asked about.
        const bool asFile = (kinds & FINDFILE_FILES) != 0 && os::ListingNameMatches(filter, name);
        const bool asDir = (kinds & FINDFILE_DIRS) != 0 &&
                           ((kinds & FINDFILE_SCAN_ALL) != 0 || os::SearchMatches(filter, name));
        if (!asFile && !asDir) {
            continue;
        }
        FindFileItem item{};
        os::EntryKind kind;
        if (typesOnly) {
            kind = reader.Kind(name);
            item.stStatus.st_mode = kind == os::EntryKind::Directory ? S_IFDIR : S_IFREG;
        } else {
            kind = reader.Status(name, item.stStatus);
        }
        // Links to directories are never walked into; the rest is not text to edit.
        if (kind == os::EntryKind::Directory && asDir) {
            ++dirs;
        } else if (kind == os::EntryKind::File && asFile) {
            ++files;
        } else {
            continue;
        }
        CopyText(item.szName, sizeof(item.szName), name);
        if (!items.Append(item)) {
            return ENOMEM;
        }
    }
    // A directory that could not be read to its end is not listed in part.
    return reader.Error();
}

bool IsDirectory(const FindFileItem& item)
{
    return S_ISDIR(item.stStatus.st_mode);
}

} // namespace

int FindFirst(int16_t sort, int16_t kinds, const char* path, FindFile* find)
{
    if (find == nullptr) {
        return 0;
    }
    ClearRecord(find);
    if (path == nullptr) {
        find->iError = EINVAL;
        return 0;
    }
    std::string pattern(TrimView(path));
    if (pattern.size() > kMaxPath) {
        find->iError = ENAMETOOLONG;
        return 0;
    }
    if ((kinds & ~FINDFILE_TYPES_ONLY) == FINDFILE_DIRS && pattern.find('*') == std::string::npos) {
        pattern += "\\*.*";
    }

    std::string dir;
    std::string filter;
    std::string nativeDir;
    const std::size_t slash = pattern.rfind('\\');
    if (slash == std::string::npos) {
        nativeDir = os::WorkingDirectory();
        if (nativeDir.empty()) {
            find->iError = ENOENT;
            return 0;
        }
        dir = os::FromNative(nativeDir);
        filter = pattern;
    } else {
        dir = pattern.substr(0, slash);
        filter = pattern.substr(slash + 1);
        nativeDir = os::ToNative(dir);
        // "\x.htm" and "C:\x.htm" name the root, not the current directory.
        if (nativeDir.empty()) {
            nativeDir = "/";
        }
    }
    if (dir.size() > kMaxDir || filter.size() > kMaxPath) {
        find->iError = ENAMETOOLONG;
        return 0;
    }

    ItemTable items;
    int files = 0;
    int dirs = 0;
    const int order = OrderOf(sort);
    const bool typesOnly = (kinds & FINDFILE_TYPES_ONLY) != 0 && OrdersByName(order);
    find->iError = ReadItems(nativeDir, filter, kinds, typesOnly, items, files, dirs);
    if (find->iError != 0 || items.size() == 0) {
        return 0;
    }

    std::sort(items.begin(), items.end(), [order](const FindFileItem& a, const FindFileItem& b) {
        return Before(a, b, order);
    });
    // Delivery walks the table in order, so the grouping bits are applied here once. When both
    // bits are set, directories come first rather than nothing being deliverable.
    if ((sort & FINDFILE_SORT_DIRS_FIRST) != 0) {
        std::stable_partition(items.begin(), items.end(), IsDirectory);
    } else if ((sort & FINDFILE_SORT_FILES_FIRST) != 0) {
        std::stable_partition(items.begin(), items.end(),
                              [](const FindFileItem& item) { return !IsDirectory(item); });
    }

    CopyText(find->szFilter, sizeof(find->szFilter), filter);
    CopyText(find->szDirPath, sizeof(find->szDirPath), dir);
    find->sSort = sort == 0 ? FINDFILE_SORT_NAME : sort;
    find->sTag = static_cast<int16_t>(typesOnly ? kinds : kinds & ~FINDFILE_TYPES_ONLY);
    find->sNbEntries = static_cast<int32_t>(items.size());
    find->sNbFile = files;
    find->sNbDir = dirs;
    find->pItems = items.Release();
    return FindNext(find);
}

int FindNext(FindFile* find)
{
    if (find == nullptr || find->pItems == nullptr) {
        return 0;
    }
    for (int i = std::max<int>(find->cScan, 0); i < find->sNbEntries; ++i) {
        FindFileItem& item = find->pItems[i];
        if (item.bDelivered != 0) {
            continue;
        }
        item.bDelivered = 1;
        find->stFile = item.stStatus;
        CopyText(find->szFileName, sizeof(find->szFileName), item.szName);
        ++find->cScan;
        return 1;
    }
    return 0;
}

int FindEnd(FindFile* find)
{
    if (find == nullptr) {
        return 0;
    }
    std::free(find->pItems);
    find->pItems = nullptr;
    return 1;
}

int FindFilePrint(const FindFile* find)
{
    if (find == nullptr) {
        return 0;
    }
    std::printf("\nFindFile Struct\n");
    std::printf("sTag: %d\n", find->sTag);
    std::printf("szFilter: %.*s\n", static_cast<int>(kMaxPath), find->szFilter);
    std::printf("sSort: %d\n", find->sSort);
    std::printf("cScan: %d\n", find->cScan);
    std::printf("sNbEntries: %d\n", find->sNbEntries);
    std::printf("sNbFile: %d\n", find->sNbFile);
    std::printf("sNbDir: %d\n", find->sNbDir);
    std::printf("szDirPath: %.*s\n", static_cast<int>(kMaxDir), find->szDirPath);
    std::printf("szFileName: %.*s\n\n", static_cast<int>(sizeof(find->szFileName) - 1),
                find->szFileName);
    return 1;
}
