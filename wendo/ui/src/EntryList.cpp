#include "EntryList.h"

#include "fw/ByteText.h"

#include "model/WendoDoc.h"
#include "os/path.h"
#include "plinth/KVListView.h"
#include "tessel/FileList.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTreeWidget>

namespace wendo::ui {

namespace {

// The kept-form texts of a row; the columns show them with native separators.
constexpr int kKeptRole = Qt::UserRole;
// The image number, in the role the list views of the window library use for it.
constexpr int kImageRole = Qt::UserRole + 1;
// The switches a row does not show (skip, option), carried so that storing rows keeps them.
constexpr int kSkipRole = Qt::UserRole + 2;
constexpr int kOptionRole = Qt::UserRole + 3;

QString FromBytes(const std::string& text)
{
    return fw::ShowBytes(text);
}

std::string RightTrimmed(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.pop_back();
    }
    return text;
}

const QColor kInk(0x33, 0x3d, 0x47);
const QColor kFolder(0xe8, 0xb9, 0x4a);
const QColor kFolderDark(0xb8, 0x86, 0x1c);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kNet(0x2f, 0x6f, 0xb5);
const QColor kGreen(0x2f, 0x9a, 0x4f);
const QColor kRed(0xcc, 0x33, 0x2b);

void Folder(QPainter& p, bool dashed)
{
    QPainterPath path;
    path.moveTo(1.5, 3.5);
    path.lineTo(6.0, 3.5);
    path.lineTo(7.5, 5.0);
    path.lineTo(14.5, 5.0);
    path.lineTo(14.5, 13.5);
    path.lineTo(1.5, 13.5);
    path.closeSubpath();
    QPen pen(kFolderDark, 1.0);
    if (dashed) {
        pen.setStyle(Qt::DashLine);
    }
    p.setPen(pen);
    p.setBrush(dashed ? kPaper : kFolder);
    p.drawPath(path);
}

void Sheet(QPainter& p)
{
    QPainterPath path;
    path.moveTo(3.5, 1.5);
    path.lineTo(10.0, 1.5);
    path.lineTo(12.5, 4.0);
    path.lineTo(12.5, 14.5);
    path.lineTo(3.5, 14.5);
    path.closeSubpath();
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void Star(QPainter& p, qreal x, qreal y)
{
    p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x - 2.5, y), QPointF(x + 2.5, y));
    p.drawLine(QPointF(x - 1.5, y - 2.2), QPointF(x + 1.5, y + 2.2));
    p.drawLine(QPointF(x + 1.5, y - 2.2), QPointF(x - 1.5, y + 2.2));
}

// A small network plug in the lower left corner.
void Network(QPainter& p)
{
    p.setPen(QPen(kNet, 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(4.0, 12.0), 3.2, 3.2);
    p.drawLine(QPointF(0.8, 12.0), QPointF(7.2, 12.0));
    p.drawLine(QPointF(4.0, 8.8), QPointF(4.0, 15.2));
}

// Steps going down to the right: the folders below are included.
void Recursive(QPainter& p)
{
    p.setPen(QPen(kGreen, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(9.0, 8.5);
    path.lineTo(9.0, 14.0);
    path.lineTo(14.5, 14.0);
    p.drawPath(path);
    p.drawLine(QPointF(12.5, 12.0), QPointF(14.5, 14.0));
    p.drawLine(QPointF(12.5, 16.0), QPointF(14.5, 14.0));
}

void Excluded(QPainter& p)
{
    p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(11.5, 4.5), 3.5, 3.5);
    p.drawLine(QPointF(9.0, 7.0), QPointF(14.0, 2.0));
}

QIcon Paint(int image)
{
    const int kind = image % CEntryList::kExcludeOffset;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case 1:
    case 2:
    case 8:
    case 9:
        Folder(p, false);
        Star(p, 9.5, 9.5);
        break;
    case 5:
    case 6:
    case 12:
    case 13:
        Folder(p, true);
        Star(p, 9.5, 9.5);
        break;
    case 14:
    case 15:
        Sheet(p);
        Star(p, 8.0, 8.5);
        break;
    default:
        Folder(p, false);
        break;
    }
    if (kind >= 1 && kind <= 6) {
        Network(p);
    }
    if (CEntryList::IsRecursive(image % CEntryList::kExcludeOffset)) {
        Recursive(p);
    }
    if (CEntryList::IsExcluded(image)) {
        Excluded(p);
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace

CEntryList::CEntryList(QTreeWidget& list, CWendoDoc& document) : m_list(&list), m_doc(&document)
{
}

void CEntryList::Init()
{
    m_images = Images();
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Path"), QStringLiteral("Files/Filters")});
    m_list->header()->resizeSection(kPathColumn, 250);
    m_list->header()->resizeSection(kFilesColumn, 150);
    m_list->header()->setSectionsClickable(false);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSortingEnabled(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setIconSize(QSize(16, 16));
}

int CEntryList::ImageOf(const CFileList& entry)
{
    int image = 10;
    if (entry.ISDirectoryFilter() != 0) {
        image = 8;
    }
    if (entry.IsVirtualDir() != 0) {
        image = 12;
    }
    const bool fileFilter = entry.ISFileFilter() != 0;
    if (fileFilter) {
        image = 14;
    }
    if (entry.IsRecursive() != 0) {
        image += 1;
    }
    if (!fileFilter && !entry.GetHost().empty()) {
        image -= 7;
    }
    if (entry.IsExclude() != 0) {
        image += kExcludeOffset;
    }
    return image;
}

bool CEntryList::IsRecursive(int image)
{
    switch (image) {
    case 2:
    case 4:
    case 9:
    case 11:
    case 13:
    case 15:
    case 18:
    case 20:
    case 25:
    case 27:
    case 29:
    case 31:
        return true;
    default:
        return false;
    }
}

int CEntryList::ToggledExclude(int image)
{
    return image < kExcludeOffset ? image + kExcludeOffset : image - kExcludeOffset;
}

int CEntryList::ToggledRecursive(int image)
{
    static constexpr int kPairs[][2] = {{1, 2},   {3, 4},   {8, 9},   {10, 11}, {12, 13}, {14, 15},
                                        {17, 18}, {19, 20}, {24, 25}, {26, 27}, {28, 29}, {30, 31}};
    for (const auto& pair : kPairs) {
        if (image == pair[0]) {
            return pair[1];
        }
        if (image == pair[1]) {
            return pair[0];
        }
    }
    return image;
}

QList<QIcon> CEntryList::Images()
{
    static const QList<QIcon> images = [] {
        QList<QIcon> list;
        for (int image = 0; image < kImageCount; ++image) {
            list.append(Paint(image));
        }
        return list;
    }();
    return images;
}

int CEntryList::Count() const
{
    return m_list->topLevelItemCount();
}

int CEntryList::SelectedRow() const
{
    return KVSelectedRow(*m_list);
}

void CEntryList::SelectRow(int row)
{
    KVSelectRow(*m_list, row);
}

int CEntryList::Image(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr) {
        return -1;
    }
    bool ok = false;
    const int image = item->data(0, kImageRole).toInt(&ok);
    return ok ? image : -1;
}

void CEntryList::SetImage(int row, int image)
{
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    item->setData(0, kImageRole, image);
    item->setIcon(0, image >= 0 && image < m_images.size() ? m_images.at(image) : QIcon());
}

std::string CEntryList::PathText(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item != nullptr ? item->data(kPathColumn, kKeptRole).toByteArray().toStdString()
                           : std::string();
}

std::string CEntryList::FilesText(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item != nullptr ? item->data(kFilesColumn, kKeptRole).toByteArray().toStdString()
                           : std::string();
}

bool CEntryList::IsExcludedVirtualFilter(int row) const
{
    if (!IsExcludedFileFilter(Image(row))) {
        return false;
    }
    const std::string files = FilesText(row);
    return !files.empty() && files.front() == '*' && files.find('\\') != std::string::npos;
}

int CEntryList::AddEntry(const CFileList& entry)
{
    const bool fileFilter = entry.ISFileFilter() != 0;
    const std::string path = fileFilter ? std::string() : RightTrimmed(entry.GetHostRoot());
    const std::string files = fileFilter ? entry.GetFilePath() : entry.GetFileName();
    auto* item = new QTreeWidgetItem(m_list);
    item->setText(kPathColumn, FromBytes(os::ForDisplay(path)));
    item->setText(kFilesColumn, FromBytes(os::ForDisplay(files)));
    item->setData(kPathColumn, kKeptRole, QByteArray::fromStdString(path));
    item->setData(kFilesColumn, kKeptRole, QByteArray::fromStdString(files));
    item->setToolTip(kPathColumn, item->text(kPathColumn) + item->text(kFilesColumn));
    item->setData(0, kSkipRole, entry.IsSkip());
    item->setData(0, kOptionRole, QByteArray::fromStdString(entry.GetOption()));
    const int row = Count() - 1;
    SetImage(row, ImageOf(entry));
    return row;
}

void CEntryList::Fill()
{
    m_list->clear();
    for (const CFileList& entry : m_doc->FileSet.Entries()) {
        AddEntry(entry);
    }
}

void CEntryList::DeleteRow(int row)
{
    delete m_list->takeTopLevelItem(row);
}

void CEntryList::DeleteAll()
{
    m_list->clear();
}

bool CEntryList::ToggleExclude(int row)
{
    const int image = Image(row);
    if (image < 0) {
        return false;
    }
    SetImage(row, ToggledExclude(image));
    return true;
}

bool CEntryList::ToggleRecursive(int row)
{
    const int image = Image(row);
    const int toggled = ToggledRecursive(image);
    if (image < 0 || toggled == image) {
        return false;
    }
    SetImage(row, toggled);
    return true;
}

CFileList CEntryList::EntryOf(int row) const
{
    const int image = Image(row);
    const int kind = IsExcluded(image) ? image - kExcludeOffset : image;
    const std::string files = FilesText(row);
    const bool virtualFilter = (kind == 14 || kind == 15) && !files.empty() &&
                               files.front() == '*' && files.find('\\') != std::string::npos;
    bool recursive = kind == 2 || kind == 4 || kind == 9 || kind == 11 || kind == 13;
    if (virtualFilter) {
        recursive = kind == 15;
    }
    const std::string path = PathText(row) + files;
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    const int skip = item != nullptr ? item->data(0, kSkipRole).toInt() : 0;
    const std::string option =
        item != nullptr ? item->data(0, kOptionRole).toByteArray().toStdString() : std::string();
    return CFileList(path.c_str(), recursive ? 1 : 0, IsExcluded(image) ? 1 : 0, skip,
                     option.c_str());
}

std::string CEntryList::TokensText(int& count) const
{
    std::string text;
    count = Count();
    for (int row = 0; row < count; ++row) {
        text += EntryOf(row).FileListToken();
    }
    return text;
}

} // namespace wendo::ui
