#include "PreviewWindow.h"

#include "MainFrame.h"
#include "OptionView.h"
#include "WendoApp.h"
#include "engine/TextDiff.h"
#include "model/WendoDoc.h"
#include "os/path.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QVBoxLayout>

namespace wendo::ui {

namespace {

const QColor kRemoved(0xfb, 0xdc, 0xdc);
const QColor kAdded(0xd9, 0xf2, 0xdc);
const QColor kFiller(0xee, 0xee, 0xee);

enum class RowKind
{
    Same,
    Changed,
    Filler,
};

// A text is shown as UTF-8 when it is valid UTF-8, else as Latin-1, so every byte shows.
class LineDecoder
{
public:
    explicit LineDecoder(std::string_view text)
    {
        QStringDecoder check(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)check.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
        m_utf8 = !check.hasError();
    }
    QString operator()(std::string_view line) const
    {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        const auto size = static_cast<qsizetype>(line.size());
        return m_utf8 ? QString::fromUtf8(line.data(), size)
                      : QString::fromLatin1(line.data(), size);
    }

private:
    bool m_utf8 = true;
};

// One side of the aligned texts: its rows and how each is marked.
struct Side
{
    QStringList rows;
    std::vector<RowKind> kinds;
    void Add(QString text, RowKind kind)
    {
        rows.push_back(std::move(text));
        kinds.push_back(kind);
    }
};

void Mark(QPlainTextEdit* edit, const std::vector<RowKind>& kinds, const QColor& changed)
{
    QList<QTextEdit::ExtraSelection> marks;
    QTextBlock block = edit->document()->firstBlock();
    for (std::size_t row = 0; row < kinds.size() && block.isValid(); ++row, block = block.next()) {
        if (kinds[row] == RowKind::Same) {
            continue;
        }
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(kinds[row] == RowKind::Changed ? changed : kFiller);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.cursor = QTextCursor(block);
        marks.push_back(mark);
    }
    edit->setExtraSelections(marks);
}

QPlainTextEdit* MakeEdit(QWidget* parent)
{
    auto* edit = new QPlainTextEdit(parent);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setFont(QFont(QStringLiteral("Monospace")));
    return edit;
}

QWidget* Titled(const QString& title, QPlainTextEdit* edit, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, pane));
    layout->addWidget(edit);
    return pane;
}

} // namespace

CPreviewWindow::CPreviewWindow(std::unique_ptr<FilePreview> preview, std::string path,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), m_before(MakeEdit(this)), m_after(MakeEdit(this)),
      m_status(new QLabel(this)),
      m_previous(new QPushButton(QStringLiteral("&Previous Change"), this)),
      m_next(new QPushButton(QStringLiteral("&Next Change"), this))
{
    setObjectName(QStringLiteral("CPreviewWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QString shown = QString::fromStdString(os::ForDisplay(path));
    setWindowTitle(QStringLiteral("Preview Changes - %1").arg(shown));
    resize(960, 600);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_previous);
    bar->addWidget(m_next);
    bar->addWidget(m_status, 1);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(Titled(QStringLiteral("Now: %1").arg(shown), m_before, split));
    split->addWidget(Titled(QStringLiteral("After a run"), m_after, split));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    // The rows are aligned, so both texts scroll together.
    for (auto [from, to] : {std::pair{m_before, m_after}, std::pair{m_after, m_before}}) {
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(from->horizontalScrollBar(), &QScrollBar::valueChanged, to->horizontalScrollBar(),
                &QScrollBar::setValue);
    }
    connect(m_previous, &QPushButton::clicked, this, [this] { PreviousChange(); });
    connect(m_next, &QPushButton::clicked, this, [this] { NextChange(); });
    m_message = QStringLiteral("Running the commands on the file...");
    UpdateStatus();

    m_worker = std::thread([this, preview = std::move(preview), path = std::move(path)] {
        FilePreview::Result result = preview->Run(path, [this] { return m_stop.load(); });
        // Dropped by Qt when the window is gone first; the destructor joins this thread before
        // any member goes away.
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { ShowResult(result); }, Qt::QueuedConnection);
    });
}

CPreviewWindow::~CPreviewWindow()
{
    m_stop.store(true);
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

QString CPreviewWindow::StatusText() const
{
    return m_status->text();
}

void CPreviewWindow::ShowResult(const FilePreview::Result& result)
{
    m_ready = true;
    switch (result.outcome) {
    case FilePreview::Outcome::Changed:
        if (HoldsNul(result.before) || HoldsNul(result.after)) {
            m_message = QStringLiteral("This file holds NUL bytes: a run would change it, but it "
                                       "is not shown.");
        } else {
            FillTexts(result);
            m_message.clear();
        }
        break;
    case FilePreview::Outcome::Unchanged:
        FillTexts(result);
        m_message = QStringLiteral("A run would not change this file.");
        break;
    case FilePreview::Outcome::TooLarge:
        m_message = QStringLiteral("This file is larger than %1 MiB: it is not previewed.")
                        .arg(FilePreview::kSizeLimit >> 20);
        break;
    case FilePreview::Outcome::Stopped:
        m_message = QStringLiteral("The preview was stopped.");
        break;
    case FilePreview::Outcome::Failed:
        m_message = QString::fromStdString(result.message);
        break;
    }
    if (!m_changeRows.empty()) {
        GoTo(0);
    }
    UpdateStatus();
}

void CPreviewWindow::FillTexts(const FilePreview::Result& result)
{
    const std::vector<DiffLine> oldLines = SplitLines(result.before);
    const std::vector<DiffLine> newLines = SplitLines(result.after);
    const std::vector<DiffBlock> blocks =
        DiffTexts(result.before, oldLines, result.after, newLines);
    const LineDecoder oldText(result.before);
    const LineDecoder newText(result.after);
    auto oldLine = [&](std::size_t i) {
        return oldText(
            std::string_view(result.before).substr(oldLines[i].offset, oldLines[i].size));
    };
    auto newLine = [&](std::size_t i) {
        return newText(std::string_view(result.after).substr(newLines[i].offset, newLines[i].size));
    };
    Side left;
    Side right;
    m_changeRows.clear();
    std::size_t o = 0;
    std::size_t n = 0;
    auto same = [&](std::size_t untilOld) {
        for (; o < untilOld; ++o, ++n) {
            left.Add(oldLine(o), RowKind::Same);
            right.Add(newLine(n), RowKind::Same);
        }
    };
    for (const DiffBlock& block : blocks) {
        same(block.oldStart);
        m_changeRows.push_back(static_cast<int>(left.rows.size()));
        const std::size_t rows = std::max(block.oldCount, block.newCount);
        for (std::size_t k = 0; k < rows; ++k) {
            if (k < block.oldCount) {
                left.Add(oldLine(o++), RowKind::Changed);
            } else {
                left.Add(QString(), RowKind::Filler);
            }
            if (k < block.newCount) {
                right.Add(newLine(n++), RowKind::Changed);
            } else {
                right.Add(QString(), RowKind::Filler);
            }
        }
    }
    same(oldLines.size());
    m_before->setPlainText(left.rows.join(QLatin1Char('\n')));
    m_after->setPlainText(right.rows.join(QLatin1Char('\n')));
    Mark(m_before, left.kinds, kRemoved);
    Mark(m_after, right.kinds, kAdded);
}

void CPreviewWindow::GoTo(int change)
{
    if (change < 0 || change >= ChangeCount()) {
        return;
    }
    m_current = change;
    const QTextBlock block =
        m_before->document()->findBlockByNumber(m_changeRows[static_cast<std::size_t>(change)]);
    m_before->setTextCursor(QTextCursor(block));
    m_before->centerCursor();
    m_after->setTextCursor(
        QTextCursor(m_after->document()->findBlockByNumber(block.blockNumber())));
    m_after->verticalScrollBar()->setValue(m_before->verticalScrollBar()->value());
    UpdateStatus();
}

void CPreviewWindow::NextChange()
{
    GoTo(m_current + 1);
}

void CPreviewWindow::PreviousChange()
{
    GoTo(m_current - 1);
}

void CPreviewWindow::UpdateStatus()
{
    m_previous->setEnabled(m_current > 0);
    m_next->setEnabled(m_current + 1 < ChangeCount());
    if (!m_message.isEmpty()) {
        m_status->setText(m_message);
    } else {
        m_status->setText(QStringLiteral("Change %1 of %2").arg(m_current + 1).arg(ChangeCount()));
    }
}

CPreviewWindow* ShowPreview(CWendoDoc& document, const std::string& path)
{
    auto preview = std::make_unique<FilePreview>(document);
    auto* options = static_cast<COptionView*>(
        CMainFrame::FindDocView(&document, fw::ViewClassOf<COptionView>()));
    int16_t fromLine = 0;
    int16_t toLine = 0;
    int32_t rewind = 0;
    if (options != nullptr && options->ShownRunOptions(fromLine, toLine, rewind)) {
        preview->SetLineRegion(fromLine, toLine);
        preview->SetRewind(rewind);
    }
    CWendoApp* app = CWendoApp::Get();
    QWidget* parent = app != nullptr ? app->GetMainFrame() : nullptr;
    auto* window = new CPreviewWindow(std::move(preview), path, parent);
    window->show();
    return window;
}

} // namespace wendo::ui
