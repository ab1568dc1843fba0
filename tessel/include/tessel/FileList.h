// CFileList: one entry of a command file's file set. A path or wildcard pattern with three
// switches (exclude, recursive, skip) and an optional option text; it writes and reads its
// one-line text form, decides whether a concrete file falls under it, and enumerates the files
// and subdirectories its pattern denotes through Brio's directory listing.
//
// The path keeps its original form: forward slashes in the text form and the URL path,
// backslashes in the CFileName base part; the operating-system layer converts at each system
// call. An entry and its listing belong to one thread at a time. An open listing holds memory
// until FindEnd, the next FindFirst, an assignment or the destructor.
#pragma once

#include "brio/findfile.h"
#include "tessel/FileName.h"
#include "tessel/URLString.h"
#include "tessel/tessel_api.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TESSEL_API CFileList : public CFileName
{
public:
    // Orders of FindFirst; every order lists the files of a directory before its
    // subdirectories. Any other value is taken as SORT_NAME.
    enum SortType : std::int16_t
    {
        SORT_NAME = 0,
        SORT_MODIF = 1,
        SORT_ACCESS = 2,
        SORT_SIZE = 3,
        SORT_R_NAME = 4,
        SORT_R_MODIF = 5,
        SORT_R_ACCESS = 6,
        SORT_R_SIZE = 7,
    };

    CFileList() = default;
    // An option of NULL or "" means none.
    CFileList(const char* path, int recursive, int exclude, int skip, const char* option);
    // Parsed from a text form; NULL gives an empty entry.
    explicit CFileList(const char* text);
    explicit CFileList(const std::string* text);
    // A copy made by parsing the other entry's text form; NULL gives an empty entry.
    explicit CFileList(const CFileList* other);
    // Copies the switches, path, option and text form, never the listing.
    CFileList(const CFileList& other);
    CFileList& operator=(const CFileList& other);
    ~CFileList() override;

    // Sets every field and rebuilds the text form; returns 1. A NULL path counts as empty.
    int SetFileList(const char* path, int recursive, int exclude, int skip, const char* option);

    // The text form; empty for an entry that was never set.
    const std::string& GetStrFileList() const { return m_text; }
    // The text form between ":~:" markers, with a line end: what the command file stores.
    std::string FileListToken() const;

    void ToggleExclude();
    void ToggleRecursive();
    void ToggleSkip();
    int IsExclude() const { return m_exclude; }
    int IsRecursive() const { return m_recursive; }
    int IsSkip() const { return m_skip; }
    int IsOptionEmpty() const { return m_option.empty() ? 1 : 0; }
    const std::string& GetOption() const { return m_option; }

    // The path as set: trimmed, with forward slashes, never given a scheme it did not have.
    const std::string& GetURLPath() const { return m_path; }
    // The path read as an address (see CURLString); a local path is not one.
    int IsURL();
    const std::string& GetURLRoot();
    const std::string& GetURLFile();

    // One particular file: neither a file filter nor a directory filter. A file delivered by
    // FindNext is always one: its name is what the folder holds, never a pattern, even when it
    // holds "*" (copies keep this).
    int IsFile() const;
    // A pattern such as */images/*.gif: any directory of that name, wherever it stands.
    int IsVirtualDir() const;
    // 1 when the concrete entry (one file or directory) falls under this pattern entry.
    // Folders compare by the place they name, without regard to case, so that a drive letter
    // written on one system and left out on another does not matter.
    int IsInclude(const CFileList& entry) const;
    // 1 when the file names agree: with "*" in this entry's name, extension and title each by
    // the exclusion-list wildcard rule; else equal without regard to case.
    int IsIncludeFile(const CFileList& entry) const;

    // What keeps an item that FindNext delivered from being named in the kept path form.
    enum class ItemFault
    {
        None,
        NameHoldsBackslash, // the kept form would read the name as a folder and a name
        PathTooLong,        // the item's path is longer than kMaxPath
    };

    // Opens a listing of this entry's pattern in the given order: the matching files, then,
    // for a recursive entry, the subdirectories. Non-zero when it holds an item; after 0,
    // GetListingError tells a folder that could not be read from one with nothing to list.
    int FindFirst(std::int16_t sortType);
    // The errno of the folder the last FindFirst could not read (ENOENT when it is gone,
    // ENAMETOOLONG when its path is too long); 0 when it was read.
    int GetListingError() const { return m_listingError; }
    // Fills entry with the next item: a file, or a subdirectory carrying this entry's filter
    // and recursive switch. 1 when an item was delivered, 0 at the end. The entry may not be
    // this one. An item that cannot be named is delivered all the same, with its fault, so
    // that the caller can tell it was left out.
    int FindNext(CFileList& entry);
    // For an entry filled by FindNext: why it cannot be named, its name as the folder holds it
    // and the folder listed (kept form, without a trailing backslash).
    ItemFault GetItemFault() const { return m_fault; }
    const std::string& GetListedName() const { return m_listedName; }
    const std::string& GetListedFolder() const { return m_listedFolder; }
    // Closes the listing; 1 when one was open.
    int FindEnd();
    // For an entry filled by FindNext: the size in bytes (read when asked), or -1 for a folder.
    std::int64_t FileSize() const;
    // Listed item's type, S_IFDIR or S_IFREG (and mode bits when sorted by time or size); or 0.
    std::uint32_t GetEntryAttributes() const { return m_attributes; }

    // Stores the text form; loading parses it into the fields. Throws core::CArchiveException
    // when the archive cannot be read or written.
    void Serialize(core::CArchive& ar) override;

    const core::CRuntimeClass* GetRuntimeClass() const override;
    static const core::CRuntimeClass classCFileList;

private:
    void SetFileListFromStr(std::string_view text);
    void SetStrFileList();
    void SetPath(std::string_view path, bool trim = true);
    void ResetListing();
    void ForgetListedItem();

    std::string m_text;
    std::int32_t m_exclude = 0;
    std::int32_t m_recursive = 0;
    std::int32_t m_skip = 0;
    // The path as given, trimmed, with forward slashes. Kept apart from the address form so
    // that a local folder named like a web host (www.example.com) is never rewritten.
    std::string m_path;
    CURLString m_url;
    std::string m_option;
    // Allocated by FindFirst and kept for the next one: a record holds two paths of the
    // system's full length, too much to carry in every entry of a deep walk.
    std::unique_ptr<FindFile> m_find;
    int m_listingError = 0;
    // A file delivered by FindNext: its name is literal.
    bool m_listedFile = false;
    ItemFault m_fault = ItemFault::None;
    std::string m_listedName;
    std::string m_listedFolder;
    std::uint32_t m_attributes = 0;
    std::uint64_t m_size = 0;
    std::int16_t m_sort = 0;
    std::int16_t m_kinds = 0;
    std::int32_t m_findActive = 0;
    std::int32_t m_more = 1;
};
