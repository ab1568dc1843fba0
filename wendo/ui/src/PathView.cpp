#include "PathView.h"

#include "companions/Dralo.h"
#include "core/StringTable.h"
#include "fw/ByteText.h"
#include "fw/ChildFrame.h"
#include "fw/MessageBox.h"
#include "model/WendoDoc.h"
#include "os/path.h"
#include "plinth/KVResource.h"
#include "plinth/ShellTree.h"
#include "tessel/FileList.h"
#include "ui_Form501.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <initializer_list>
#include <optional>

namespace wendo::ui {

namespace {

// Control ids of form 501.
enum : int
{
    IDC_TREE = 1001,
    IDC_UNDO = 1027,
    IDC_FILES = 1034,
    IDC_ADD_FILE = 1035,
    IDC_ADD_DIR = 1036,
    IDC_ADD_FILTER = 1037,
    IDC_REMOVE = 1038,
    IDC_REMOVE_ALL = 1039,
    IDC_EXCLUDE = 1040,
    IDC_ENTRIES = 1042,
    IDC_FILTER = 1043,
    IDC_RECURSIVE = 1044,
    IDC_OK = 1048,
    IDC_CANCEL = 1049,
    IDC_EXTENSIONS = 1089,
};

const QString kAllFiles = QStringLiteral("*.*");

// A file name as listed, kept beside the text it is shown as.
constexpr int kNameRole = Qt::UserRole;

QString FromBytes(const std::string& text)
{
    return fw::ShowBytes(text);
}

// What the person typed (a filter); listed names keep their own bytes in kNameRole.
std::string ToBytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

// A kept-form folder and a name or filter below it.
std::string Join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\') {
        return folder + name;
    }
    return folder + '\\' + name;
}

// The file list box as the file list box filler sees it.
class ListWidgetBox final : public DraloListBox
{
public:
    explicit ListWidgetBox(QListWidget& list) : m_list(list) {}
    void ResetContent() override { m_list.clear(); }
    void AddString(std::string_view name) override
    {
        auto* item = new QListWidgetItem(fw::ShowBytes(name), &m_list);
        item->setData(kNameRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    }

private:
    QListWidget& m_list;
};

} // namespace

CPathView::CPathView(CWendoDoc& document, QWidget* parent)
    : cdxCSizingForm(document, kFormId, parent), m_ui(std::make_unique<Ui::Form501>()),
      m_entries(
          [this]() -> QTreeWidget& {
              m_ui->setupUi(this);
              return *m_ui->list_1042;
          }(),
          document)
{
    setObjectName(QStringLiteral("CPathView"));
    RegisterResourceSize();
    m_entries.Init();
    m_ui->list_1034->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listTimer.setSingleShot(true);
    m_listTimer.setInterval(kListDelayMs);
    ConnectControls();
}

CPathView::~CPathView()
{
    if (m_counted) {
        --GetWendoDoc().OpenPathSelectors;
    }
}

CWendoDoc& CPathView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

QWidget* CPathView::Control(int id) const
{
    return KVGetDlgItem(this, id);
}

QPushButton* CPathView::Button(int id) const
{
    return qobject_cast<QPushButton*>(Control(id));
}

CShellTree* CPathView::Tree() const
{
    return m_ui->tree_1001;
}

QComboBox* CPathView::ExtensionsCombo() const
{
    return m_ui->combo_1089;
}

QListWidget* CPathView::FileListBox() const
{
    return m_ui->list_1034;
}

void CPathView::ConnectControls()
{
    CShellTree* tree = m_ui->tree_1001;
    connect(tree, &QTreeWidget::itemExpanded, this,
            [tree](QTreeWidgetItem* item) { tree->OnFolderExpanding(item); });
    connect(tree, &QTreeWidget::itemSelectionChanged, this, [this] { OnFolderSelected(); });
    connect(&m_listTimer, &QTimer::timeout, this, [this] { OnListTimer(); });
    connect(m_ui->list_1034, &QListWidget::itemSelectionChanged, this,
            [this] { OnFileSelectionChanged(); });
    connect(m_ui->combo_1089, &QComboBox::editTextChanged, this,
            [this](const QString& text) { OnExtensionChanged(text); });
    connect(m_ui->edit_1043, &QLineEdit::textChanged, this,
            [this](const QString& text) { OnFilterChanged(text); });
    connect(m_ui->list_1042, &QTreeWidget::itemSelectionChanged, this,
            [this] { OnEntrySelectionChanged(); });
    const struct
    {
        QPushButton* button;
        void (CPathView::*handler)();
    } buttons[] = {
        {m_ui->button_1036, &CPathView::OnAddDir},    {m_ui->button_1035, &CPathView::OnAddFile},
        {m_ui->button_1037, &CPathView::OnAddFilter}, {m_ui->button_1038, &CPathView::OnRemove},
        {m_ui->button_1039, &CPathView::OnRemoveAll}, {m_ui->button_1040, &CPathView::OnExclude},
        {m_ui->button_1044, &CPathView::OnRecursive}, {m_ui->button_1027, &CPathView::OnUndo},
        {m_ui->button_1049, &CPathView::OnCancel},    {m_ui->button_1048, &CPathView::OnOk},
    };
    for (const auto& entry : buttons) {
        const auto handler = entry.handler;
        connect(entry.button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    }
}

void CPathView::OnInitialUpdate(int stretchPercent)
{
    cdxCSizingForm::OnInitialUpdate(stretchPercent);
    LayOut();
    m_ui->tree_1001->EnableImages();
    m_ui->tree_1001->PopulateTree();
    for (QPushButton* button : {m_ui->button_1035, m_ui->button_1036, m_ui->button_1037,
                                m_ui->button_1038, m_ui->button_1040, m_ui->button_1044}) {
        button->setEnabled(false);
    }
    if (!m_counted) {
        m_counted = true;
        ++GetWendoDoc().OpenPathSelectors;
    }
    m_entries.Fill();
    m_ui->button_1039->setEnabled(m_entries.Count() > 0);
    SetDirty(false);
}

void CPathView::LayOut()
{
    using Info = cdxSizingControlInfo;
    // The frame takes the form's designed size, with its own title bar and borders.
    if (fw::ChildFrame* frame = GetParentFrame()) {
        frame->resize(frame->sizeHint().expandedTo(GetHeader().GetInitialSize()));
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_ui->button_1048, m_ui->button_1027, m_ui->button_1049, m_ui->button_1035,
             m_ui->button_1036, m_ui->label_1091, m_ui->combo_1089}) {
        AddSzControl(control, Info::mdRepos, Info::mdNone);
    }
    AddSzControl(m_ui->group_1088, Info::mdResize, Info::mdResize);
    AddSzControlEx(m_ui->tree_1001, 0, 50, 0, 100);
    AddSzControlEx(m_ui->list_1034, 50, 100, 0, 100);
    for (QWidget* control : std::initializer_list<QWidget*>{m_ui->group_1092, m_ui->edit_1043,
                                                            m_ui->group_1093, m_ui->list_1042}) {
        AddSzControl(control, Info::mdResize, Info::mdRepos);
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_ui->button_1037, m_ui->button_1044, m_ui->button_1040,
                                         m_ui->button_1039, m_ui->button_1038}) {
        AddSzControl(control, Info::mdRepos, Info::mdRepos);
    }
    ReorganizeControls();
}

QSize CPathView::sizeHint() const
{
    const QSize designed = KVGetIDResourceSize(kFormId);
    return designed.isValid() ? designed : cdxCSizingForm::sizeHint();
}

bool CPathView::OpenTreeAt(const std::string& folder)
{
    // A relative row means the command file's folder, as it does in a run, never the current
    // folder of the program.
    return m_ui->tree_1001->TunnelTree(
        ResolveFromCommandFolder(folder, GetWendoDoc().CommandFolder()));
}

// ---- Folder and files ----

void CPathView::OnFolderSelected()
{
    const std::optional<std::string> folder = m_ui->tree_1001->OnFolderSelected();
    if (!folder) {
        m_listTimer.stop();
        m_folder.clear();
        m_ui->list_1034->clear();
        m_ui->button_1036->setEnabled(false);
        m_ui->button_1035->setEnabled(false);
        return;
    }
    m_folder = *folder;
    m_listTimer.start();
}

void CPathView::OnListTimer()
{
    m_listTimer.stop();
    const fw::ChildFrame* frame = GetParentFrame();
    const bool minimised = frame != nullptr ? frame->isMinimized() : isMinimized();
    if (isVisible() && !minimised) {
        ListSelectedFolder();
    }
}

void CPathView::FillFileListBox(const std::string& filter)
{
    ListWidgetBox box(*m_ui->list_1034);
    KVFillFileListBox(box, Join(m_folder, filter));
    OnFileSelectionChanged();
}

void CPathView::ListSelectedFolder()
{
    m_listTimer.stop();
    if (m_folder.empty()) {
        return;
    }
    QComboBox* combo = m_ui->combo_1089;
    const QSignalBlocker block(combo);
    QString filter = combo->currentText();
    while (!filter.isEmpty() && filter.back().isSpace()) {
        filter.chop(1);
    }
    if (filter.isEmpty()) {
        filter = kAllFiles;
    }
    m_ui->group_1088->setTitle(QStringLiteral("&Path selector: ") +
                               FromBytes(os::ForDisplay(m_folder)));
    FillFileListBox(ToBytes(filter));

    // The filter first, then each extension of the folder's files once.
    combo->clear();
    combo->addItem(filter);
    for (int i = 0; i < m_ui->list_1034->count(); ++i) {
        const QString name = m_ui->list_1034->item(i)->text();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString pattern = QLatin1Char('*') + (dot >= 0 ? name.mid(dot) : name);
        bool known = false;
        for (int j = 0; j < combo->count() && !known; ++j) {
            known = combo->itemText(j).startsWith(pattern);
        }
        if (!known) {
            combo->addItem(pattern);
        }
    }
    combo->setCurrentIndex(0);
    combo->setEditText(filter);
    m_ui->button_1036->setEnabled(true);
    m_ui->button_1035->setEnabled(false);
}

void CPathView::OnExtensionChanged(const QString& text)
{
    if (m_folder.empty()) {
        return;
    }
    QString filter = text.trimmed();
    if (filter.isEmpty()) {
        filter = kAllFiles;
    }
    // "*." names no file of its own; the list stays as it was.
    if (filter == QLatin1String("*.")) {
        return;
    }
    FillFileListBox(ToBytes(filter));
}

void CPathView::OnFileSelectionChanged()
{
    m_ui->button_1035->setEnabled(!m_ui->list_1034->selectedItems().isEmpty());
}

void CPathView::OnFilterChanged(const QString& text)
{
    m_filter = ToBytes(text.trimmed());
    m_ui->button_1037->setEnabled(!m_filter.empty());
}

// ---- The working list ----

void CPathView::AddRow(const CFileList& entry)
{
    // Refused rather than cut: a cut path would name another file.
    if (entry.IsTooLong() != 0) {
        fw::MessageBox(
            QStringLiteral("This path is longer than the %1 bytes the system allows:\n%2")
                .arg(CFileName::kMaxPath)
                .arg(FromBytes(os::ForDisplay(entry.GetFileFullPath())).left(200) +
                     QStringLiteral("...")),
            core::PromptButtons::Ok, core::PromptIcon::Stop, this);
        return;
    }
    m_entries.AddEntry(entry);
    m_ui->button_1039->setEnabled(true);
    SetDirty(true);
}

void CPathView::OnAddDir()
{
    if (m_folder.empty()) {
        return;
    }
    QString filter = m_ui->combo_1089->currentText().trimmed();
    if (filter.isEmpty() || filter == QLatin1String("*.")) {
        filter = kAllFiles;
    }
    const std::string path = Join(m_folder, ToBytes(filter));
    AddRow(CFileList(path.c_str(), 0, 0, 0, nullptr));
}

void CPathView::OnAddFile()
{
    if (m_folder.empty()) {
        return;
    }
    QListWidget* files = m_ui->list_1034;
    for (int i = 0; i < files->count(); ++i) {
        if (files->item(i)->isSelected()) {
            const std::string path =
                Join(m_folder, files->item(i)->data(kNameRole).toByteArray().toStdString());
            AddRow(CFileList(path.c_str(), 0, 0, 0, nullptr));
        }
    }
}

void CPathView::OnAddFilter()
{
    if (m_filter.empty()) {
        return;
    }
    AddRow(CFileList(m_filter.c_str(), 0, 1, 0, nullptr));
}

void CPathView::OnEntrySelectionChanged()
{
    const int row = m_entries.SelectedRow();
    if (row < 0) {
        m_ui->button_1038->setEnabled(false);
        m_ui->button_1040->setEnabled(false);
        m_ui->button_1044->setEnabled(false);
        return;
    }
    m_ui->button_1038->setEnabled(true);
    SetToggleButtons(row);
}

void CPathView::SetToggleButtons(int row)
{
    const int image = m_entries.Image(row);
    m_ui->button_1040->setText(CEntryList::IsExcluded(image) ? QStringLiteral("Include")
                                                             : QStringLiteral("Exclude"));
    m_ui->button_1044->setText(CEntryList::IsRecursive(image) ? QStringLiteral("Current")
                                                              : QStringLiteral("Recursive"));
    if (CEntryList::IsExcludedFileFilter(image)) {
        m_ui->button_1040->setEnabled(false);
        m_ui->button_1044->setEnabled(m_entries.IsExcludedVirtualFilter(row));
    } else {
        m_ui->button_1040->setEnabled(true);
        m_ui->button_1044->setEnabled(true);
    }
}

void CPathView::OnRemove()
{
    const int row = m_entries.SelectedRow();
    if (row < 0) {
        return;
    }
    m_entries.DeleteRow(row);
    if (m_entries.Count() == 0) {
        m_ui->button_1039->setEnabled(false);
    }
    SetDirty(true);
}

void CPathView::OnRemoveAll()
{
    m_entries.DeleteAll();
    m_ui->button_1039->setEnabled(false);
    SetDirty(true);
}

void CPathView::OnExclude()
{
    const int row = m_entries.SelectedRow();
    if (row >= 0 && m_entries.ToggleExclude(row)) {
        SetToggleButtons(row);
        SetDirty(true);
    }
}

void CPathView::OnRecursive()
{
    const int row = m_entries.SelectedRow();
    if (row >= 0 && m_entries.ToggleRecursive(row)) {
        SetToggleButtons(row);
        SetDirty(true);
    }
}

void CPathView::OnUndo()
{
    m_entries.Fill();
    m_ui->button_1039->setEnabled(m_entries.Count() > 0);
    SetDirty(false);
}

void CPathView::OnCancel()
{
    CloseWindow();
}

void CPathView::OnOk()
{
    CWendoDoc& doc = GetWendoDoc();
    if (doc.Started.load() != 0) {
        fw::MessageBox(core::Msg::DOCUMENT_IN_PROCESS, core::PromptButtons::Ok,
                       core::PromptIcon::Exclamation, this);
        return;
    }
    const int rows = m_entries.Count();
    if (rows == 0) {
        fw::MessageBox(core::Msg::NO_PATH_SELECTION, core::PromptButtons::Ok,
                       core::PromptIcon::Stop, this);
        return;
    }
    bool onlyFilters = true;
    for (int row = 0; row < rows && onlyFilters; ++row) {
        onlyFilters = CEntryList::IsExcluded(m_entries.Image(row));
    }
    if (onlyFilters) {
        fw::MessageBox(core::Msg::ALL_PATHS_ARE_FILTERS, core::PromptButtons::Ok,
                       core::PromptIcon::Stop, this);
        return;
    }
    int count = 0;
    const std::string text = m_entries.TokensText(count);
    doc.SetFileSet(count, text);
    CloseWindow();
}

void CPathView::SetDirty(bool dirty)
{
    m_dirty = dirty;
    m_ui->button_1027->setEnabled(dirty);
}

void CPathView::CloseWindow()
{
    m_listTimer.stop();
    if (fw::ChildFrame* frame = GetParentFrame()) {
        frame->close();
    }
}

} // namespace wendo::ui
