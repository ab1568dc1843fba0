// A tree of the file system's folders for choosing one: the user's home and the root of the
// file system at the top, each folder's subfolders read when it is first expanded. The tree
// hands out and takes paths in the kept form (backslash separators, see os/path.h) and shows
// names as the file system gives them.
//
// Links to folders are shown (marked as links) and can be chosen, but a branch crosses at
// most one of them: below a link, further links are leaves. So a link that points back up
// the tree can never make the tree endless. Folders whose names begin with "." are not shown.
//
// Threads: interface thread only. Ownership: the tree owns its items (Qt parenting).
#pragma once

#include "plinth/plinth_api.h"

#include <QTreeWidget>
#include <optional>
#include <string>
#include <string_view>

class PLINTH_API CShellTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CShellTree(QWidget* parent = nullptr);
    ~CShellTree() override;

    // Gives the items their folder images (home, file system, folder, link).
    void EnableImages();
    // Replaces the items by the top folders: the user's home and the file system's root.
    void PopulateTree();
    // Reads item's subfolders the first time it expands (later expansions show what was
    // read). A folder that has gone, or a link below a link, gets no children.
    void OnFolderExpanding(QTreeWidgetItem* item);
    // The kept-form path of the selected folder; none when no item is selected or when it no
    // longer names a folder of the file system.
    std::optional<std::string> OnFolderSelected() const;
    // Removes item with everything below it; the selection moves to its parent.
    void OnDeleteShellItem(QTreeWidgetItem* item);
    // Opens the tree along a kept-form path and selects the deepest folder reached; true when
    // that is the whole path. Links on the way are followed, since the path is finite.
    bool TunnelTree(std::string_view path);

    // The kept-form path of an item; empty for none.
    static std::string ItemPath(const QTreeWidgetItem* item);
    static bool IsLinkItem(const QTreeWidgetItem* item);

private:
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const QString& name,
                               const std::string& path, bool link);
    void Populate(QTreeWidgetItem* item, bool evenBelowALink);
    void SetImage(QTreeWidgetItem* item) const;

    bool m_images = false;
};
