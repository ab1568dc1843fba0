#include "ProgressView.h"

#include "fw/ByteText.h"

#include "MainFrame.h"
#include "ProgressIcons.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "engine/Notifications.h"
#include "fw/ChildFrame.h"
#include "model/WendoDoc.h"
#include "os/path.h"
#include "plinth/KVHeaderCtrl.h"
#include "plinth/KVResource.h"
#include "tessel/FileName.h"
#include "ui_Form541.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QTimerEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace wendo::ui {

namespace {

QString FromUtf8(const std::string& text)
{
    return fw::ShowBytes(text);
}

// Measures a path in the font of the field that shows it.
class LabelMeasure final : public CFileName::TextMeasure
{
public:
    explicit LabelMeasure(const QLabel& label) : m_metrics(label.font()) {}
    int TextWidth(std::string_view text) const override
    {
        return m_metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

private:
    QFontMetrics m_metrics;
};

// The 32-pixel image of the command type in hand; a report's type (-1) shows the totals.
int CommandImageOf(int type)
{
    if (type == CmdType::DISPLAY_FILESTAT) {
        return kCommandImageCount - 1;
    }
    return std::clamp(type + 1, 0, kCommandImageCount - 1);
}

// The 16-pixel header image of a command's column.
int HeaderImageOf(const CParseCmd& command)
{
    if (command.Type == CmdType::DISPLAY_FILESTAT &&
        (command.Flags & CmdFlag::STATE_FILENAME) != 0) {
        return kCommandImageCount - 1;
    }
    return std::clamp(command.Type + 1, 0, kCommandImageCount - 1);
}

QString Decimal(long value)
{
    return QString::number(value);
}

} // namespace

CProgressView::CProgressView(CWendoDoc& document, QWidget* parent)
    : cdxCSizingForm(document, kFormId, parent, cdxSizingControlInfo::fdAll, false),
      m_ui(new Ui::Form541), m_scroll(new QScrollArea(this)), m_form(new QWidget),
      m_progress(nullptr), m_header(nullptr), m_refresh(new QTimer(this))
{
    setObjectName(QStringLiteral("CProgressView"));
    m_ui->setupUi(m_form);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    // The form keeps its designed height and grows in width with the view; the view scrolls
    // when it is smaller than the form.
    m_scroll->setWidgetResizable(false);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidget(m_form);

    // The progress bar takes the place and size of its placeholder frame.
    m_progress = new QProgressBar(m_ui->frame_1081->parentWidget());
    m_progress->setObjectName(QStringLiteral("progress_1081"));
    m_progress->setGeometry(m_ui->frame_1081->geometry());
    m_progress->setTextVisible(false);
    m_ui->frame_1081->hide();

    m_listMargin = m_ui->group_1083->width() - m_ui->list_1082->width();
    SetRunIcon(kRunIdleIcon);
    m_ui->button_1090->setFocusPolicy(Qt::NoFocus);
    connect(m_ui->button_1090, &QToolButton::clicked, this, [this] { OnRunButton(); });

    QTableWidget* list = m_ui->list_1082;
    m_header = new CKVHeaderCtrl(list);
    list->setHorizontalHeader(m_header);
    list->verticalHeader()->hide();
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(true);
    m_commandImages16 = CommandImages(16);
    m_commandImages32 = CommandImages(32);
    m_animation = AnimationFrames();
    list->setIconSize(QSize(16, 16));
    m_header->SetImageList(m_commandImages16);
    ResetFields();
    m_form->resize(FormSize());
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, [this] { FlushPending(); });
    // The viewport also changes width without this view resizing (a scroll bar comes or goes
    // after a maximise); the statistics list follows it.
    m_scroll->viewport()->installEventFilter(this);
}

CProgressView::~CProgressView()
{
    StopAnimation();
}

CWendoDoc& CProgressView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

QSize CProgressView::FormSize()
{
    static const QSize size = [] {
        QWidget form;
        Ui::Form541 ui;
        ui.setupUi(&form);
        return form.size();
    }();
    return size;
}

void CProgressView::OnInitialUpdate(int stretchPercent)
{
    KVSetIDResourceSize(kFormId, FormSize());
    cdxCSizingForm::OnInitialUpdate(stretchPercent);
    // A pane of the report window is sized by the window's split rule, and the form scrolls
    // inside it when the pane is smaller: the form's own size is no lower limit here.
    setMinimumSize(0, 0);
    if (!m_built) {
        m_built = true;
        BuildStatistics();
    }
    ApplyResizeRule();
}

QTableWidget* CProgressView::StatisticsList() const
{
    FlushPending();
    return m_ui->list_1082;
}

QProgressBar* CProgressView::ProgressBar() const
{
    FlushPending();
    return m_progress;
}

QToolButton* CProgressView::RunButton() const
{
    return m_ui->button_1090;
}

QString CProgressView::FieldText(int controlId) const
{
    FlushPending();
    const QLabel* field = m_form->findChild<QLabel*>(QStringLiteral("text_%1").arg(controlId));
    return field != nullptr ? field->text() : QString();
}

void CProgressView::ResetFields()
{
    for (QLabel* counter : {m_ui->text_1066, m_ui->text_1067, m_ui->text_1068, m_ui->text_1069,
                            m_ui->text_1076, m_ui->text_1077}) {
        counter->setText(QStringLiteral("0"));
    }
    for (QLabel* text : {m_ui->text_1063, m_ui->text_1065, m_ui->text_1070, m_ui->text_1073}) {
        text->clear();
    }
}

void CProgressView::BuildStatistics()
{
    // Counts still waiting belong to the columns about to go.
    FlushPending();
    m_dirtyColumns.clear();
    QTableWidget* list = m_ui->list_1082;
    list->clear();
    list->setRowCount(0);
    list->setColumnCount(0);

    const QFontMetrics metrics(list->font());
    const auto addColumn = [&](const QString& text, Qt::Alignment alignment, int image) {
        const int column = list->columnCount();
        list->setColumnCount(column + 1);
        auto* header = new QTableWidgetItem(text);
        header->setTextAlignment(alignment | Qt::AlignVCenter);
        list->setHorizontalHeaderItem(column, header);
        m_header->SetItemImage(column, image);
        // Room for the header image besides the text's own width plus 10.
        list->setColumnWidth(column, metrics.horizontalAdvance(text) + 10 + 16 + 6);
    };
    addColumn(QStringLiteral("Total"), Qt::AlignLeft, 0);
    m_commandCount = 0;
    for (const CParseCmdList& command : GetWendoDoc().Commands) {
        const QString text = command.Type == CmdType::DISPLAY_FILESTAT
                                 ? FromUtf8(std::string(CParseCmd::GetTypeName(command.Type)))
                                 : FromUtf8(command.Label);
        addColumn(text, Qt::AlignHCenter, HeaderImageOf(command));
        ++m_commandCount;
    }
    if (m_commandCount > 0) {
        list->setRowCount(1);
        for (int column = 0; column < list->columnCount(); ++column) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment((column == 0 ? Qt::AlignLeft : Qt::AlignHCenter) |
                                   Qt::AlignVCenter);
            list->setItem(0, column, cell);
        }
    }
    m_header->Autofit();
}

void CProgressView::SetRunIcon(int resource)
{
    m_runIcon = resource;
    m_ui->button_1090->setIcon(RunButtonIcon(resource));
    m_ui->button_1090->setToolTip(resource == kRunIdleIcon   ? QStringLiteral("Run")
                                  : resource == kRunningIcon ? QStringLiteral("Stop")
                                                             : QStringLiteral("Resume"));
}

void CProgressView::ShowProcessImage(const QIcon& image) const
{
    m_ui->icon_1072->setPixmap(image.pixmap(32, 32));
}

void CProgressView::StartAnimation()
{
    if (m_timerId == 0) {
        m_timerId = startTimer(kAnimationMs);
    }
}

void CProgressView::StopAnimation()
{
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
}

void CProgressView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId || m_timerId == 0) {
        cdxCSizingForm::timerEvent(event);
        return;
    }
    // A command's image waiting for the refresh came before this frame.
    FlushPending();
    m_frame = (m_frame + 1) % kAnimationFrames;
    ShowProcessImage(m_animation.at(m_frame));
}

void CProgressView::ShowDirectory(const std::string& directory) const
{
    // The run record holds the directory for display; shortening works on the stored form.
    const CFileName name(os::FromNative(directory));
    const LabelMeasure measure(*m_ui->text_1073);
    const std::string fitted =
        name.Path2Rect(&measure, m_ui->text_1073->contentsRect().width() - 4);
    m_ui->text_1073->setText(FromUtf8(os::ForDisplay(fitted)));
}

void CProgressView::ShowCommandCounts(std::intptr_t column) const
{
    QTableWidget* list = m_ui->list_1082;
    if (list->rowCount() == 0) {
        return;
    }
    const std::vector<int32_t> counters = GetWendoDoc().Run.Counters();
    const auto show = [&](std::size_t entry) {
        if (entry >= counters.size() || static_cast<int>(entry) >= list->columnCount()) {
            return;
        }
        if (QTableWidgetItem* cell = list->item(0, static_cast<int>(entry))) {
            cell->setText(Decimal(counters[entry]));
        }
    };
    if (column > 0) {
        show(static_cast<std::size_t>(column));
        return;
    }
    if (column == 0) {
        for (std::size_t entry = 0; entry < counters.size(); ++entry) {
            show(entry);
        }
    }
}

std::intptr_t CProgressView::OnNotification(std::uint32_t message, std::intptr_t wParam)
{
    const RunRecord& run = GetWendoDoc().Run;
    switch (message) {
    case WMU_RUN_RESET:
        BuildStatistics();
        return 1;
    case WMU_RUN_INIT:
        FlushPending();
        ResetFields();
        m_progress->setRange(0, 10);
        m_progress->setValue(0);
        m_ui->text_1063->setText(FromUtf8(run.Status()));
        SetRunIcon(kRunningIcon);
        m_frame = 0;
        ShowProcessImage(m_animation.at(0));
        StartAnimation();
        return 1;
    case WMU_RUN_PROCESSING:
        FlushPending();
        // The whole count: a bar limited to 16 bits would wrap on larger file sets.
        m_progress->setRange(0, std::max(0, run.MaxInc.load()));
        m_progress->setValue(0);
        m_ui->text_1063->setText(FromUtf8(run.Status()));
        StopAnimation();
        return 1;
    case WMU_RUN_END:
        FlushPending();
        // With no file to count, the bar was left in its endless busy mode.
        if (m_progress->maximum() <= 0) {
            m_progress->setRange(0, 1);
            m_progress->setValue(1);
        }
        SetRunIcon(kRunIdleIcon);
        m_frame = 0;
        ShowProcessImage(m_animation.at(0));
        m_ui->text_1065->clear();
        m_ui->text_1073->clear();
        StopAnimation();
        return 1;
    case WMU_FILE_BEGIN:
        ++m_pendingSteps;
        m_dirty |= kFilesStarted;
        break;
    case WMU_FILE_NAME:
        m_dirty |= kFileName;
        break;
    case WMU_STATUS:
        m_dirty |= kStatus;
        break;
    case WMU_COUNTERS:
        m_dirty |= kTotals;
        break;
    case WMU_REPLACED:
        m_dirty |= kReplaced;
        break;
    case WMU_COMMAND_BEGIN:
        m_dirty |= kStatus | kCommandImage;
        break;
    case WMU_FILE_MODIFIED:
        MarkColumn(wParam);
        break;
    default:
        return 0;
    }
    // A replayed report runs in one pass of the event loop and is shown as it is read.
    if (GetWendoDoc().Started.load() == 0) {
        FlushPending();
    } else if (!m_refresh->isActive()) {
        m_refresh->start();
    }
    return 1;
}

void CProgressView::MarkColumn(std::intptr_t column)
{
    if (column == 0) {
        m_dirty |= kAllColumns;
        return;
    }
    // A column the list does not have shows nothing, now or later.
    if (column < 0 || column >= m_ui->list_1082->columnCount()) {
        return;
    }
    const auto entry = static_cast<std::size_t>(column);
    if (m_dirtyColumns.size() <= entry) {
        m_dirtyColumns.resize(entry + 1, false);
    }
    m_dirtyColumns[entry] = true;
}

void CProgressView::FlushPending() const
{
    m_refresh->stop();
    const RunRecord& run = GetWendoDoc().Run;
    if (m_pendingSteps > 0) {
        const long long value = m_progress->value() + m_pendingSteps;
        m_progress->setValue(static_cast<int>(std::min<long long>(value, m_progress->maximum())));
        m_pendingSteps = 0;
    }
    if (m_dirty == 0 && m_dirtyColumns.empty()) {
        return;
    }
    const unsigned dirty = m_dirty;
    m_dirty = 0;
    if ((dirty & kFilesStarted) != 0) {
        m_ui->text_1070->setText(
            QStringLiteral("%1/%2").arg(run.FilesStarted.load()).arg(run.MaxInc.load()));
    }
    if ((dirty & kFileName) != 0) {
        m_ui->text_1069->setText(Decimal(run.MaxInc.load()));
        m_ui->text_1065->setText(FromUtf8(run.FileName()));
        ShowDirectory(run.Directory());
    }
    if ((dirty & kStatus) != 0) {
        m_ui->text_1063->setText(FromUtf8(run.Status()));
    }
    if ((dirty & kTotals) != 0) {
        m_ui->text_1066->setText(Decimal(run.TotalModified.load()));
        m_ui->text_1076->setText(Decimal(run.TotalExclude.load()));
        m_ui->text_1067->setText(Decimal(run.TotalDirModified.load()));
        m_ui->text_1077->setText(Decimal(run.TotalDirExclude.load()));
    }
    if ((dirty & kReplaced) != 0) {
        m_ui->text_1068->setText(Decimal(run.TotalIteration.load()));
    }
    if ((dirty & kCommandImage) != 0) {
        ShowProcessImage(m_commandImages32.at(CommandImageOf(run.CommandType.load())));
    }
    if ((dirty & kAllColumns) != 0) {
        ShowCommandCounts(0);
    } else {
        for (std::size_t column = 1; column < m_dirtyColumns.size(); ++column) {
            if (m_dirtyColumns[column]) {
                ShowCommandCounts(static_cast<std::intptr_t>(column));
            }
        }
    }
    m_dirtyColumns.clear();
}

void CProgressView::ShowReplayed()
{
    FlushPending();
    const int files = std::max(0, GetWendoDoc().Run.MaxInc.load());
    m_progress->setRange(0, std::max(files, 1));
    m_progress->setValue(m_progress->maximum());
    m_ui->text_1070->setText(QStringLiteral("%1/%2").arg(files).arg(files));
    StopAnimation();
}

void CProgressView::UpdateRunState(bool canRun, bool started, bool suspended)
{
    const int icon = !started ? kRunIdleIcon : suspended ? kSuspendedIcon : kRunningIcon;
    if (icon != m_runIcon) {
        SetRunIcon(icon);
    }
    m_ui->button_1090->setEnabled(canRun);
}

void CProgressView::OnRunButton()
{
    auto* app = CWendoApp::Get();
    CMainFrame* frame = app != nullptr ? app->GetMainFrame() : nullptr;
    if (frame == nullptr) {
        return;
    }
    // The main frame's commands act on the active document: make this window the active one.
    if (fw::ChildFrame* child = GetParentFrame()) {
        frame->ActivateDocView(app->ReportTemplate, fw::ViewClassOf<CProgressView>(),
                               GetDocument());
        child->SetActiveView(this);
    }
    CWendoDoc& doc = GetWendoDoc();
    if (doc.Started.load() == 0) {
        frame->GetCommands().Execute(cmd::RUN);
        SetRunIcon(kRunningIcon);
    } else if (doc.Suspended.load() != 0) {
        frame->GetCommands().Execute(cmd::RESUME);
        SetRunIcon(kRunningIcon);
    } else {
        SetRunIcon(kSuspendedIcon);
        frame->GetCommands().Execute(cmd::STOP);
        if (doc.Suspended.load() == 0) {
            SetRunIcon(kRunIdleIcon);
            StopAnimation();
        }
    }
}

void CProgressView::resizeEvent(QResizeEvent* event)
{
    cdxCSizingForm::resizeEvent(event);
    ApplyResizeRule();
}

bool CProgressView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        ApplyResizeRule();
    }
    return cdxCSizingForm::eventFilter(watched, event);
}

void CProgressView::ApplyResizeRule()
{
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int client = m_scroll->viewport()->width();
    QWidget* group = m_ui->group_1083;
    const int width = std::max(client - 15 - scrollBar, m_ui->group_1084->width());
    group->resize(width, group->height());
    m_ui->list_1082->resize(width - m_listMargin, m_ui->list_1082->height());
    const QSize form = FormSize();
    m_form->resize(std::max(form.width(), group->geometry().right() + 1 + 7), form.height());
}

} // namespace wendo::ui
