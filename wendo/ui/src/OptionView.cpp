#include "OptionView.h"

#include "fw/ByteText.h"

#include "brio/scan.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/MessageBox.h"
#include "model/WendoDoc.h"
#include "os/path.h"
#include "plinth/KVResource.h"
#include "ui_Form504.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <limits>

namespace wendo::ui {

namespace {

enum : int
{
    IDC_REPORT_FILE = 1051,
    IDC_BACKUP_EXT = 1052,
    IDC_CREATE_BACKUP = 1053,
    IDC_REWIND = 1055,
    IDC_MODIFIED_ONLY = 1056,
    IDC_DONT_WRITE = 1057,
    IDC_FROM_LINE = 1058,
    IDC_TO_LINE = 1059,
    IDC_GENERATE_REPORT = 1085,
};

// The line region is kept in 16-bit fields.
constexpr std::uint32_t kMaxLine = std::numeric_limits<std::int16_t>::max();

COptionView::BrowseHook& Hook()
{
    static COptionView::BrowseHook hook;
    return hook;
}

QString FromBytes(const std::string& text)
{
    return fw::ShowBytes(text);
}

// What the person typed; a text shown from stored bytes goes through fw::StoreText instead.
std::string ToBytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

// "" is 0; otherwise a whole unsigned decimal number, as "%u" reads it.
bool ReadLine(const std::string& text, std::uint32_t& value)
{
    value = 0;
    return text.empty() || KVISStrFormat(text.c_str(), "%u", &value) != 0;
}

} // namespace

COptionView::COptionView(CWendoDoc& document, QWidget* parent)
    : fw::View(document, parent), m_ui(std::make_unique<Ui::Form504>()),
      m_scroll(new QScrollArea(this)), m_form(new QWidget)
{
    setObjectName(QStringLiteral("COptionView"));
    m_ui->setupUi(m_form);
    KVSetIDResourceSize(kFormId, m_form->size());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    // The pane is as high as the split window makes it; the form scrolls when it is smaller.
    m_scroll->setWidgetResizable(false);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidget(m_form);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_ui->check_1085);
    ConnectControls();
    PutMembers();
}

COptionView::~COptionView() = default;

CWendoDoc& COptionView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

QSize COptionView::sizeHint() const
{
    return m_form->size();
}

QWidget* COptionView::Control(int id) const
{
    return KVGetDlgItem(m_form, id);
}

QCheckBox* COptionView::Check(int id) const
{
    return qobject_cast<QCheckBox*>(Control(id));
}

QLineEdit* COptionView::Edit(int id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}

void COptionView::SetBrowseHook(BrowseHook hook)
{
    Hook() = std::move(hook);
}

void COptionView::ConnectControls()
{
    connect(m_ui->check_1085, &QCheckBox::clicked, this, [this] { OnGenerateReport(); });
    connect(m_ui->button_1050, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(m_ui->edit_1052, &QLineEdit::textChanged, this,
            [this](const QString& text) { OnBackupExtension(text); });
    for (QCheckBox* check :
         {m_ui->check_1053, m_ui->check_1056, m_ui->check_1057, m_ui->check_1055}) {
        connect(check, &QCheckBox::clicked, this, [this] { AnyChange(); });
    }
    for (QLineEdit* edit : {m_ui->edit_1051, m_ui->edit_1058, m_ui->edit_1059}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { AnyChange(); });
    }
}

void COptionView::OnInitialUpdate()
{
    const CWendoDoc& doc = GetWendoDoc();
    m_createBackup = doc.Backup;
    m_modifiedOnly = doc.LogUnmodified != 0 ? 0 : 1;
    m_dontWrite = doc.NoWrite;
    m_rewind = doc.Rewind;
    m_verbose = doc.Verbose;
    m_backupExt = doc.BackupExt;
    m_reportFile = doc.ReportPath;
    m_generateReport = doc.Report;
    m_fromLine = doc.FromLine != 0 ? std::to_string(doc.FromLine) : std::string();
    m_toLine = doc.ToLine != 0 ? std::to_string(doc.ToLine) : std::string();
    m_changed = false;
    PutMembers();
}

void COptionView::PutMembers()
{
    // Filling the controls is not an edit.
    const QSignalBlocker blockExt(m_ui->edit_1052);
    const QSignalBlocker blockReport(m_ui->edit_1051);
    const QSignalBlocker blockFrom(m_ui->edit_1058);
    const QSignalBlocker blockTo(m_ui->edit_1059);
    m_ui->check_1053->setChecked(m_createBackup != 0);
    m_ui->check_1056->setChecked(m_modifiedOnly != 0);
    m_ui->check_1057->setChecked(m_dontWrite != 0);
    m_ui->check_1055->setChecked(m_rewind != 0);
    m_ui->edit_1052->setText(FromBytes(m_backupExt));
    m_ui->edit_1051->setText(FromBytes(os::ForDisplay(m_reportFile)));
    m_ui->check_1085->setChecked(m_generateReport != 0);
    m_ui->edit_1058->setText(FromBytes(m_fromLine));
    m_ui->edit_1059->setText(FromBytes(m_toLine));
    EnableReport(m_generateReport != 0);
    m_ui->check_1053->setEnabled(!m_ui->edit_1052->text().trimmed().isEmpty());
}

void COptionView::EnableReport(bool enabled)
{
    m_ui->check_1056->setEnabled(enabled);
    m_ui->edit_1051->setEnabled(enabled);
    m_ui->button_1050->setEnabled(enabled);
}

void COptionView::OnGenerateReport()
{
    EnableReport(m_ui->check_1085->isChecked());
    AnyChange();
}

void COptionView::OnBrowse()
{
    const QString start = QDir::homePath();
    QString chosen;
    if (Hook()) {
        chosen = Hook()(this, start);
    } else {
        chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Log files"), start,
                                              QStringLiteral("Log File (*.log);;All file (*.*)"));
    }
    if (chosen.isEmpty()) {
        return;
    }
    m_reportFile = os::FromNative(ToBytes(chosen));
    m_ui->edit_1051->setText(chosen);
    AnyChange();
}

void COptionView::OnBackupExtension(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        m_ui->check_1053->setChecked(false);
        m_ui->check_1053->setEnabled(false);
    } else {
        m_ui->check_1053->setEnabled(true);
    }
    AnyChange();
}

void COptionView::AnyChange()
{
    GetWendoDoc().SetModifiedFlag(true);
    m_changed = true;
}

bool COptionView::Refuse(const QString& text, QWidget* field)
{
    fw::MessageBox(text, core::PromptButtons::Ok, core::PromptIcon::Exclamation, this);
    if (fw::ChildFrame* frame = GetParentFrame()) {
        if (frame->isMinimized()) {
            frame->showNormal();
        }
        if (QMdiArea* area = frame->mdiArea()) {
            area->setActiveSubWindow(frame);
        }
        frame->raise();
    }
    field->setFocus();
    return false;
}

bool COptionView::StoreOptions()
{
    if (!m_changed) {
        return true;
    }
    CWendoDoc& doc = GetWendoDoc();
    // The worker reads the options while it runs.
    if (doc.Started.load() != 0) {
        return Refuse(fw::LoadQString(core::Msg::DOCUMENT_IN_PROCESS), m_ui->edit_1058);
    }
    const std::string fromText = ToBytes(m_ui->edit_1058->text().trimmed());
    const std::string toText = ToBytes(m_ui->edit_1059->text().trimmed());
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    if (!ReadLine(fromText, from) || !ReadLine(toText, to)) {
        return Refuse(fw::LoadQString(core::Msg::NOT_POSITIVE_INTEGER), m_ui->edit_1058);
    }
    if ((to != 0 && from > to) || (from != 0 && !toText.empty() && to < from)) {
        return Refuse(fw::LoadQString(core::Msg::BAD_LINE_REGION), m_ui->edit_1058);
    }
    if (from > kMaxLine || to > kMaxLine) {
        return Refuse(QStringLiteral("A line number may not be above %1.").arg(kMaxLine),
                      m_ui->edit_1058);
    }
    // Backups are written beside their source, named after it with this extension; a
    // separator or ".." would put them somewhere else.
    const std::string extension = fw::StoreText(m_ui->edit_1052->text().trimmed(), m_backupExt);
    if (extension.find('/') != std::string::npos || extension.find('\\') != std::string::npos ||
        extension.find("..") != std::string::npos) {
        return Refuse(QStringLiteral("The backup extension may not hold \"/\", \"\\\" or \"..\"."),
                      m_ui->edit_1052);
    }

    m_createBackup = m_ui->check_1053->isChecked() ? 1 : 0;
    m_modifiedOnly = m_ui->check_1056->isChecked() ? 1 : 0;
    m_dontWrite = m_ui->check_1057->isChecked() ? 1 : 0;
    m_rewind = m_ui->check_1055->isChecked() ? 1 : 0;
    m_generateReport = m_ui->check_1085->isChecked() ? 1 : 0;
    m_backupExt = extension;
    // The edit shows the kept path with native separators; an unchanged text keeps the kept
    // path as it was (with its drive, if any).
    const QString reportText = m_ui->edit_1051->text().trimmed();
    if (reportText != FromBytes(os::ForDisplay(m_reportFile))) {
        m_reportFile = os::FromNative(fw::StoreText(reportText, os::ForDisplay(m_reportFile)));
    }
    m_fromLine = fromText;
    m_toLine = toText;

    doc.Backup = m_createBackup;
    doc.LogUnmodified = m_modifiedOnly != 0 ? 0 : 1;
    doc.NoWrite = m_dontWrite;
    doc.Rewind = m_rewind;
    doc.BackupExt = m_backupExt;
    doc.ReportPath = m_reportFile;
    doc.FromLine = static_cast<std::int16_t>(from);
    doc.ToLine = static_cast<std::int16_t>(to);
    doc.Report = m_generateReport;
    m_changed = false;
    return true;
}

bool COptionView::ShownRunOptions(std::int16_t& fromLine, std::int16_t& toLine,
                                  std::int32_t& rewind) const
{
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    if (!ReadLine(ToBytes(m_ui->edit_1058->text().trimmed()), from) ||
        !ReadLine(ToBytes(m_ui->edit_1059->text().trimmed()), to) || from > kMaxLine ||
        to > kMaxLine) {
        return false;
    }
    fromLine = static_cast<std::int16_t>(from);
    toLine = static_cast<std::int16_t>(to);
    rewind = m_ui->check_1055->isChecked() ? 1 : 0;
    return true;
}

void COptionView::focusInEvent(QFocusEvent* event)
{
    fw::View::focusInEvent(event);
    if (QWidget* frame = parentWidget()) {
        frame->update();
    }
}

} // namespace wendo::ui
