#include "tessel/FileList.h"

#include "core/archive.h"
#include "os/file.h"
#include "os/names.h"
#include "os/path.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kExclude = "EXCL_FILTER";
constexpr const char* kInclude = "FILTER";
constexpr const char* kRecursive = "RECURS_ON";
constexpr const char* kNotRecursive = "RECURS_OFF";
constexpr const char* kSkip = "SKIP";
constexpr const char* kMarker = ":~:";

std::unique_ptr<core::CObject> CreateFileList()
{
    return std::make_unique<CFileList>();
}

std::string UpperCopy(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        c = os::UpperAscii(c);
    }
    return out;
}

// White space and control characters, as Brio's Trim takes them.
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

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// Splits off the text up to the first separator. False when there is no separator: the whole
// text is then the token and nothing is left.
bool SplitToken(std::string_view text, std::string_view& token, std::string_view& rest)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsSeparator(text[i])) {
            token = text.substr(0, i);
            rest = text.substr(i + 1);
            return true;
        }
    }
    token = text;
    rest = std::string_view();
    return false;
}

// The place a folder names, for comparing folders of two entries.
std::string FolderKey(std::string_view hostRoot)
{
    return UpperCopy(os::ToNative(hostRoot));
}

std::int16_t SortCode(std::int16_t sortType)
{
    switch (sortType) {
    case CFileList::SORT_MODIF:
        return 0x44;
    case CFileList::SORT_ACCESS:
        return 0x48;
    case CFileList::SORT_SIZE:
        return 0x50;
    case CFileList::SORT_R_NAME:
        return 0x43;
    case CFileList::SORT_R_MODIF:
        return 0x45;
    case CFileList::SORT_R_ACCESS:
        return 0x49;
    case CFileList::SORT_R_SIZE:
        return 0x51;
    default:
        return 0x42;
    }
}

// The size of a listed file that the listing did not read.
constexpr std::uint64_t kSizeNotRead = ~std::uint64_t{0};

} // namespace

const core::CRuntimeClass CFileList::classCFileList{"CFileList", &CFileName::classCFileName,
                                                    &CreateFileList};

const core::CRuntimeClass* CFileList::GetRuntimeClass() const
{
    return &classCFileList;
}

CFileList::CFileList(const char* path, int recursive, int exclude, int skip, const char* option)
{
    SetFileList(path, recursive, exclude, skip, option);
}

CFileList::CFileList(const char* text)
{
    if (text != nullptr) {
        SetFileListFromStr(text);
    }
}

CFileList::CFileList(const std::string* text)
{
    if (text != nullptr) {
        SetFileListFromStr(*text);
    }
}

CFileList::CFileList(const CFileList* other)
{
    if (other != nullptr) {
        SetFileListFromStr(other->m_text);
    }
}

CFileList::CFileList(const CFileList& other) : CFileName(other)
{
    *this = other;
}

CFileList& CFileList::operator=(const CFileList& other)
{
    if (this == &other) {
        return *this;
    }
    ResetListing();
    m_text = other.m_text;
    m_exclude = other.m_exclude;
    m_recursive = other.m_recursive;
    m_skip = other.m_skip;
    m_option = other.m_option;
    SetPath(other.m_path);
    m_listedFile = other.m_listedFile;
    m_fault = other.m_fault;
    m_listedName = other.m_listedName;
    m_listedFolder = other.m_listedFolder;
    return *this;
}

CFileList::~CFileList()
{
    FindEnd();
}

void CFileList::ResetListing()
{
    FindEnd();
    m_more = 1;
    m_attributes = 0;
    m_size = 0;
    m_listingError = 0;
}

void CFileList::ForgetListedItem()
{
    m_listedFile = false;
    m_fault = ItemFault::None;
    m_listedName.clear();
    m_listedFolder.clear();
}

void CFileList::SetPath(std::string_view path, bool trim)
{
    m_path = trim ? TrimView(path) : path;
    for (char& c : m_path) {
        if (c == '\\') {
            c = '/';
        }
    }
    m_url = m_path;
    m_attributes = 0;
    m_size = 0;
    SetFileName(m_path);
}

int CFileList::SetFileList(const char* path, int recursive, int exclude, int skip,
                           const char* option)
{
    m_recursive = recursive != 0 ? 1 : 0;
    m_exclude = exclude != 0 ? 1 : 0;
    m_skip = skip != 0 ? 1 : 0;
    m_option = option == nullptr ? "" : option;
    SetPath(path == nullptr ? "" : path);
    ForgetListedItem();
    SetStrFileList();
    return 1;
}

void CFileList::SetFileListFromStr(std::string_view input)
{
    const std::string_view text = TrimView(input);
    ResetListing();
    ForgetListedItem();
    m_text = text;
    m_option.clear();
    m_exclude = 0;
    m_recursive = 0;
    m_skip = 0;
    if (text.empty()) {
        SetPath("");
        return;
    }

    std::string_view first, afterFirst;
    if (!SplitToken(text, first, afterFirst)) {
        // One token: it is the path.
        m_exclude = first == kExclude ? 1 : 0;
        SetPath(first);
        return;
    }
    m_exclude = first == kExclude ? 1 : 0;

    std::string_view second, rest;
    if (!SplitToken(afterFirst, second, rest)) {
        m_recursive = second == kRecursive ? 1 : 0;
        // Two tokens are never written; a second word that is no keyword is taken as the path.
        SetPath(second == kRecursive || second == kNotRecursive ? std::string_view() : second);
        return;
    }
    m_recursive = second == kRecursive ? 1 : 0;

    // SKIP counts only as a word of its own that something follows, so that a path which
    // merely begins with those letters keeps them.
    std::string_view third, afterThird;
    if (SplitToken(rest, third, afterThird) && third == kSkip) {
        m_skip = 1;
        rest = afterThird;
    }

    // Only a blank followed by a tilde starts the option; a tilde inside a name (PROGRA~1)
    // stays part of the path.
    const std::size_t option = rest.find(" ~");
    if (option != std::string_view::npos) {
        std::string_view value = rest.substr(option + 2);
        m_option = value.substr(0, value.find('~'));
        rest = rest.substr(0, option);
    }
    SetPath(rest);
}

void CFileList::SetStrFileList()
{
    m_text = m_exclude != 0 ? kExclude : kInclude;
    m_text += ' ';
    m_text += m_recursive != 0 ? kRecursive : kNotRecursive;
    if (m_skip != 0) {
        m_text += ' ';
        m_text += kSkip;
    }
    m_text += ' ';
    m_text += m_path;
    if (!m_option.empty()) {
        m_text += " ~";
        m_text += m_option;
        m_text += '~';
    }
}

std::string CFileList::FileListToken() const
{
    return std::string(kMarker) + m_text + kMarker + "\n";
}

void CFileList::ToggleExclude()
{
    m_exclude = m_exclude != 0 ? 0 : 1;
    SetStrFileList();
}

void CFileList::ToggleRecursive()
{
    m_recursive = m_recursive != 0 ? 0 : 1;
    SetStrFileList();
}

void CFileList::ToggleSkip()
{
    m_skip = m_skip != 0 ? 0 : 1;
    SetStrFileList();
}

int CFileList::IsURL()
{
    return m_url.IsValidURL();
}

const std::string& CFileList::GetURLRoot()
{
    return m_url.GetURLRoot();
}

const std::string& CFileList::GetURLFile()
{
    return m_url.GetURLFile();
}

int CFileList::IsFile() const
{
    if (m_listedFile) {
        return 1;
    }
    return (ISFileFilter() == 0 && ISDirectoryFilter() == 0) ? 1 : 0;
}

int CFileList::IsVirtualDir() const
{
    return (m_path.size() > 1 && m_path.front() == '*' &&
            m_path.find_first_of("/\\", 1) != std::string::npos)
               ? 1
               : 0;
}

int CFileList::IsIncludeFile(const CFileList& entry) const
{
    const std::string mine = GetFileName();
    if (mine.find('*') == std::string::npos) {
        return UpperCopy(mine) == UpperCopy(entry.GetFileName()) ? 1 : 0;
    }
    return (os::PartAgrees(GetExtension(), entry.GetExtension(), os::StarRest::MayBeEmpty) &&
            os::PartAgrees(GetFileTitle(), entry.GetFileTitle(), os::StarRest::MayBeEmpty))
               ? 1
               : 0;
}

int CFileList::IsInclude(const CFileList& entry) const
{
    if (IsVirtualDir() != 0) {
        const std::string pattern = FolderKey(std::string_view(GetRoot()).substr(1));
        const std::string other = FolderKey(entry.GetHostRoot());
        if (pattern.empty()) {
            return 0;
        }
        bool under = false;
        for (std::size_t at = other.find(pattern); at != std::string::npos && !under;
             at = other.find(pattern, at + 1)) {
            under = m_recursive != 0 || at + pattern.size() == other.size();
        }
        return under ? IsIncludeFile(entry) : 0;
    }
    if (ISFileFilter() != 0) {
        return IsIncludeFile(entry);
    }
    if (ISDirectoryFilter() != 0) {
        const std::string mine = FolderKey(GetHostRoot());
        const std::string other = FolderKey(entry.GetHostRoot());
        if (mine != other && (m_recursive == 0 || other.compare(0, mine.size(), mine) != 0)) {
            return 0;
        }
        return IsIncludeFile(entry);
    }
    return FolderKey(GetFileFullPath()) == FolderKey(entry.GetFileFullPath()) ? 1 : 0;
}

int CFileList::FindFirst(std::int16_t sortType)
{
    FindEnd();
    m_sort = SortCode(sortType);
    // A walk needs each item's type only; a file's size is read when asked (FileSize).
    m_kinds =
        FINDFILE_TYPES_ONLY |
        (m_recursive != 0 ? (FINDFILE_DIRS | FINDFILE_FILES | FINDFILE_SCAN_ALL) : FINDFILE_FILES);
    m_more = 1;
    m_listingError = 0;
    if (!m_find) {
        m_find = std::make_unique<FindFile>();
    }
    m_findActive = ::FindFirst(m_sort, m_kinds, GetFileFullPath().c_str(), m_find.get());
    if (m_findActive == 0) {
        m_listingError = IsTooLong() != 0 ? ENAMETOOLONG : m_find->iError;
    }
    return m_findActive;
}

int CFileList::FindNext(CFileList& entry)
{
    if (m_findActive == 0 || m_more == 0 || &entry == this) {
        return 0;
    }
    const FindFile& find = *m_find;
    const bool directory = S_ISDIR(find.stFile.st_mode);
    std::string path = find.szDirPath;
    path += '\\';
    path += find.szFileName;
    if (directory) {
        path += '\\';
        path += find.szFilter;
    }
    // As SetFileList, but untrimmed: a listed name may end in a blank.
    entry.ResetListing();
    entry.ForgetListedItem();
    entry.m_recursive = m_recursive;
    entry.m_exclude = 0;
    entry.m_skip = 0;
    entry.m_option.clear();
    entry.SetPath(path, false);
    entry.SetStrFileList();
    entry.m_attributes = static_cast<std::uint32_t>(find.stFile.st_mode);
    entry.m_size = (find.sTag & FINDFILE_TYPES_ONLY) != 0
                       ? kSizeNotRead
                       : static_cast<std::uint64_t>(find.stFile.st_size);
    entry.m_listedFile = !directory;
    entry.m_listedName = find.szFileName;
    entry.m_listedFolder = find.szDirPath;
    if (entry.m_listedName.find('\\') != std::string::npos) {
        entry.m_fault = ItemFault::NameHoldsBackslash;
    } else if (entry.IsTooLong() != 0) {
        entry.m_fault = ItemFault::PathTooLong;
    }
    m_more = ::FindNext(m_find.get());
    return 1;
}

int CFileList::FindEnd()
{
    if (m_findActive == 0) {
        return 0;
    }
    ::FindEnd(m_find.get());
    m_findActive = 0;
    return 1;
}

std::int64_t CFileList::FileSize() const
{
    if (S_ISDIR(m_attributes)) {
        return -1;
    }
    if (m_size != kSizeNotRead) {
        return static_cast<std::int64_t>(m_size);
    }
    os::FileStatus status;
    return os::GetStatus(os::ToNative(GetFileFullPath()), status) == os::FileError::None
               ? status.size
               : 0;
}

void CFileList::Serialize(core::CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << std::string_view(m_text);
    } else {
        std::string text;
        ar >> text;
        SetFileListFromStr(text);
    }
}
