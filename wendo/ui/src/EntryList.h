// The entry list: the rows of a file set as the file list and the path selector show them.
// Each row has the columns "Path" (the entry's host and folder) and "Files/Filters" (its file
// name, or the whole pattern of a file filter) and an image number that encodes the entry's
// kind and switches:
//
//   below 16 include, 16 and above exclude; within each half 1/2 network directory filter,
//   3/4 network path, 5/6 network virtual directory, 8/9 directory filter, 10/11 plain path,
//   12/13 virtual directory, 14/15 file filter, the second of each pair recursive.
//
// The views test and toggle rows by that number alone. The rows keep the entry's texts in
// their kept form (backslashes, drive) beside the text shown, so that turning rows back into
// entries gives the paths the command file held.
//
// Threads: interface thread only. Ownership: the list control and the document belong to the
// view; the entry list only works on them.
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <string>

class CFileList;
class QTreeWidget;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CEntryList
{
public:
    static constexpr int kImageCount = 32;
    static constexpr int kExcludeOffset = 16;
    static constexpr int kPathColumn = 0;
    static constexpr int kFilesColumn = 1;

    CEntryList(QTreeWidget& list, CWendoDoc& document);

    // Columns "Path" (250) and "Files/Filters" (150), the 32 images, single selection.
    void Init();

    // ---- Image numbers ----
    static int ImageOf(const CFileList& entry);
    static bool IsExcluded(int image) { return image >= kExcludeOffset; }
    static bool IsRecursive(int image);
    static bool IsExcludedFileFilter(int image) { return image == 30 || image == 31; }
    // The number with the exclude half swapped.
    static int ToggledExclude(int image);
    // The other member of a recursive pair; any other number unchanged.
    static int ToggledRecursive(int image);
    // The images by number, 16 by 16.
    static QList<QIcon> Images();

    // ---- Rows ----
    int Count() const;
    int SelectedRow() const;
    void SelectRow(int row);
    int Image(int row) const;
    void SetImage(int row, int image);
    // The kept-form texts of a row; empty for a missing row.
    std::string PathText(int row) const;
    std::string FilesText(int row) const;
    // An excluded file filter whose pattern starts with "*" and names a folder.
    bool IsExcludedVirtualFilter(int row) const;

    // Appends a row for entry; the row it got.
    int AddEntry(const CFileList& entry);
    // Replaces the rows by the document's file set.
    void Fill();
    void DeleteRow(int row);
    void DeleteAll();
    // Toggle a row's image; false when nothing changed (no row, or no recursive pair).
    bool ToggleExclude(int row);
    bool ToggleRecursive(int row);

    // The entry a row stands for: "Path" followed by "Files/Filters". A file filter row is
    // not recursive, except a virtual filter (its recursion says how deep it reaches). The
    // skip mark and option of an entry the row was made from are kept.
    CFileList EntryOf(int row) const;
    // The tokens of every row in order, as SetFileSet takes them; count gets the row count.
    std::string TokensText(int& count) const;

private:
    QTreeWidget* m_list;
    CWendoDoc* m_doc;
    QList<QIcon> m_images;
};

} // namespace wendo::ui
