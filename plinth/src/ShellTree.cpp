#include "plinth/ShellTree.h"

#include "fw/ByteText.h"

#include "os/dir.h"
#include "os/file.h"
#include "os/path.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QStyle>
#include <algorithm>
#include <vector>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kReadRole = Qt::UserRole + 1;
constexpr int kLinkRole = Qt::UserRole + 2;
constexpr int kTopRole = Qt::UserRole + 3;

enum TopKind
{
    kNotTop = 0,
    kHomeTop = 1,
    kRootTop = 2,
};

QString FromBytes(std::string_view text)
{
    return fw::ShowBytes(text);
}

std::string ToBytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

// A kept-form folder and a name below it.
std::string Join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\') {
        return folder + name;
    }
    return folder + '\\' + name;
}

bool IsBelowALink(const QTreeWidgetItem* item)
{
    for (; item != nullptr; item = item->parent()) {
        if (CShellTree::IsLinkItem(item)) {
            return true;
        }
    }
    return false;
}

// The path with one separator between names and none at the end (the root stays "\").
std::string Normalised(std::string_view path)
{
    std::string out;
    for (char c : path) {
        if (c == '/') {
            c = '\\';
        }
        if (c == '\\' && !out.empty() && out.back() == '\\') {
            continue;
        }
        out.push_back(c);
    }
    while (out.size() > 1 && out.back() == '\\') {
        out.pop_back();
    }
    return out;
}

// True when path is folder or lies below it; rest gets what follows folder.
bool StartsWithFolder(const std::string& path, const std::string& folder, std::string& rest)
{
    if (folder == "\\") {
        rest = path.size() > 1 ? path.substr(1) : std::string();
        return !path.empty() && path.front() == '\\';
    }
    if (path.compare(0, folder.size(), folder) != 0) {
        return false;
    }
    if (path.size() == folder.size()) {
        rest.clear();
        return true;
    }
    if (path[folder.size()] != '\\') {
        return false;
    }
    rest = path.substr(folder.size() + 1);
    return true;
}

} // namespace

CShellTree::CShellTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setSortingEnabled(false);
}

CShellTree::~CShellTree() = default;

void CShellTree::EnableImages()
{
    m_images = true;
    setIconSize(QSize(16, 16));
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        SetImage(*it);
    }
}

void CShellTree::SetImage(QTreeWidgetItem* item) const
{
    if (!m_images) {
        return;
    }
    QStyle* style = QApplication::style();
    QStyle::StandardPixmap image = QStyle::SP_DirIcon;
    switch (item->data(0, kTopRole).toInt()) {
    case kHomeTop:
        image = QStyle::SP_DirHomeIcon;
        break;
    case kRootTop:
        image = QStyle::SP_DriveHDIcon;
        break;
    default:
        image = IsLinkItem(item) ? QStyle::SP_DirLinkIcon : QStyle::SP_DirIcon;
        break;
    }
    item->setIcon(0, style->standardIcon(image));
}

void CShellTree::PopulateTree()
{
    clear();
    const std::string home = Normalised(os::FromNative(ToBytes(QDir::homePath())));
    if (home.size() > 1) {
        QTreeWidgetItem* item = AddFolder(nullptr, QStringLiteral("Home"), home, false);
        item->setData(0, kTopRole, kHomeTop);
        item->setToolTip(0, FromBytes(os::ForDisplay(home)));
        SetImage(item);
    }
    QTreeWidgetItem* root = AddFolder(nullptr, QStringLiteral("File system"), "\\", false);
    root->setData(0, kTopRole, kRootTop);
    root->setToolTip(0, QStringLiteral("/"));
    SetImage(root);
}

QTreeWidgetItem* CShellTree::AddFolder(QTreeWidgetItem* parent, const QString& name,
                                       const std::string& path, bool link)
{
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, name);
    item->setData(0, kPathRole, QByteArray::fromStdString(path));
    item->setData(0, kReadRole, false);
    item->setData(0, kLinkRole, link);
    // A link below a link is a leaf, so it gets no expansion mark.
    const bool expandable = !link || !IsBelowALink(parent);
    item->setChildIndicatorPolicy(expandable ? QTreeWidgetItem::ShowIndicator
                                             : QTreeWidgetItem::DontShowIndicator);
    SetImage(item);
    return item;
}

void CShellTree::OnFolderExpanding(QTreeWidgetItem* item)
{
    Populate(item, false);
}

void CShellTree::Populate(QTreeWidgetItem* item, bool evenBelowALink)
{
    if (item == nullptr || item->data(0, kReadRole).toBool()) {
        return;
    }
    item->setData(0, kReadRole, true);
    if (IsLinkItem(item) && IsBelowALink(item->parent()) && !evenBelowALink) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        return;
    }
    const std::string folder = ItemPath(item);
    os::DirectoryReader reader(os::ToNative(folder));
    struct Found
    {
        QString name;
        std::string bytes;
        bool link;
    };
    std::vector<Found> found;
    std::string name;
    while (reader.IsOpen() && reader.Next(name)) {
        if (name.empty() || name.front() == '.') {
            continue;
        }
        struct stat status
        {
        };
        const os::EntryKind kind = reader.Status(name, status);
        if (kind == os::EntryKind::Directory || kind == os::EntryKind::LinkToDirectory) {
            found.push_back({FromBytes(name), name, kind == os::EntryKind::LinkToDirectory});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        const int order = QString::compare(a.name, b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    for (const Found& folderFound : found) {
        AddFolder(item, folderFound.name, Join(folder, folderFound.bytes), folderFound.link);
    }
    item->setChildIndicatorPolicy(found.empty() ? QTreeWidgetItem::DontShowIndicator
                                                : QTreeWidgetItem::ShowIndicator);
}

std::optional<std::string> CShellTree::OnFolderSelected() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    const std::string path = ItemPath(selected.front());
    os::FileStatus status;
    if (path.empty() || os::GetStatus(os::ToNative(path), status) != os::FileError::None ||
        !status.directory) {
        return std::nullopt;
    }
    return path;
}

void CShellTree::OnDeleteShellItem(QTreeWidgetItem* item)
{
    if (item == nullptr) {
        return;
    }
    QTreeWidgetItem* parent = item->parent();
    const bool wasSelected = item->isSelected() || currentItem() == item;
    // The item owns its children, so deleting it takes the whole branch.
    delete item;
    if (wasSelected && parent != nullptr) {
        setCurrentItem(parent);
        parent->setSelected(true);
    }
}

bool CShellTree::TunnelTree(std::string_view path)
{
    const std::string target = Normalised(path);
    if (target.empty() || target.front() != '\\') {
        return false;
    }
    // Start from the top folder that holds the path most closely (home before root).
    QTreeWidgetItem* item = nullptr;
    std::string rest;
    std::size_t best = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        const std::string folder = Normalised(ItemPath(top));
        std::string below;
        if (StartsWithFolder(target, folder, below) && (item == nullptr || folder.size() > best)) {
            item = top;
            rest = below;
            best = folder.size();
        }
    }
    if (item == nullptr) {
        return false;
    }
    bool whole = true;
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find('\\', start);
        if (end == std::string::npos) {
            end = rest.size();
        }
        const std::string wanted = Join(ItemPath(item), rest.substr(start, end - start));
        start = end + 1;
        Populate(item, true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount(); ++i) {
            if (ItemPath(item->child(i)) == wanted) {
                next = item->child(i);
                break;
            }
        }
        if (next == nullptr) {
            whole = false;
            break;
        }
        item->setExpanded(true);
        item = next;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
    return whole;
}

std::string CShellTree::ItemPath(const QTreeWidgetItem* item)
{
    return item != nullptr ? item->data(0, kPathRole).toByteArray().toStdString() : std::string();
}

bool CShellTree::IsLinkItem(const QTreeWidgetItem* item)
{
    return item != nullptr && item->data(0, kLinkRole).toBool();
}
