// The upper pane of the report window (form 541): the file in hand, the counters, the progress
// bar, the busy animation, the run button and the replacements per command. It never reads
// the engine: the main frame forwards the run's notifications (and those of a replayed report)
// and the view reads the document's run record when one arrives.
//
// While the document's run is started, the notifications that come once per file or more
// often only mark what they change; the fields are read from the run record and shown at most
// kRefreshMs later, in one go, so the window repaints a few dozen times a second instead of
// once per file. The run's beginning and end, a replayed report and every reader of the fields
// (FieldText, ProgressBar, StatisticsList) show the record at once.
//
// Threads: interface thread only.
#pragma once

#include "model/DocViews.h"
#include "plinth/cdxCSizingForm.h"

#include <QIcon>
#include <QList>
#include <QSize>
#include <cstdint>
#include <memory>
#include <vector>

class CKVHeaderCtrl;
class QLabel;
class QProgressBar;
class QScrollArea;
class QTableWidget;
class QTimer;
class QToolButton;

namespace Ui {
class Form541;
}

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CProgressView : public cdxCSizingForm, public ProgressView
{
    Q_OBJECT

public:
    // The id of the animation timer while it runs, and its period.
    static constexpr int kAnimationTimer = 1;
    static constexpr int kAnimationMs = 500;
    static constexpr int kFormId = 541;
    // The longest a changed field of a live run waits before it is shown.
    static constexpr int kRefreshMs = 40;

    CProgressView(CWendoDoc& document, QWidget* parent);
    ~CProgressView() override;

    CWendoDoc& GetWendoDoc() const;
    // The size of form 541 in pixels.
    static QSize FormSize();

    using cdxCSizingForm::OnInitialUpdate;
    void OnInitialUpdate(int stretchPercent) override;
    // The document's idle step: the run button's image and whether it may be pressed.
    void UpdateRunState(bool canRun, bool started, bool suspended) override;
    // One forwarded notification (engine/Notifications.h); 1 when handled.
    std::intptr_t OnNotification(std::uint32_t message, std::intptr_t wParam);
    // Shows what the notifications since the last refresh changed.
    void FlushPending() const;
    // A report read back is a finished run: the bar full and its count "n/n".
    void ShowReplayed();

    // What the view shows, for the report window's readers (tests, screenshots).
    QString FieldText(int controlId) const;
    int RunIcon() const { return m_runIcon; }
    bool Animating() const { return m_timerId != 0; }
    int AnimationFrame() const { return m_frame; }
    QProgressBar* ProgressBar() const;
    QTableWidget* StatisticsList() const;
    QToolButton* RunButton() const;

protected:
    void timerEvent(QTimerEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildStatistics();
    void ResetFields();
    void SetRunIcon(int resource);
    void ShowProcessImage(const QIcon& image) const;
    void StartAnimation();
    void StopAnimation();
    void ShowDirectory(const std::string& directory) const;
    void ShowCommandCounts(std::intptr_t column) const;
    void MarkColumn(std::intptr_t column);
    void OnRunButton();
    void ApplyResizeRule();

    std::unique_ptr<Ui::Form541> m_ui;
    QScrollArea* m_scroll;
    QWidget* m_form;
    QProgressBar* m_progress;
    CKVHeaderCtrl* m_header;
    QList<QIcon> m_commandImages16;
    QList<QIcon> m_commandImages32;
    QList<QIcon> m_animation;
    int m_listMargin = 0;
    int m_commandCount = 0;
    int m_frame = 0;
    int m_timerId = 0;
    int m_runIcon = 0;
    bool m_built = false;

    // What the notifications of a live run changed and no refresh has shown yet. Mutable: a
    // refresh changes nothing the run record does not already hold.
    enum Dirty : unsigned
    {
        kFilesStarted = 1U << 0,
        kFileName = 1U << 1,
        kStatus = 1U << 2,
        kTotals = 1U << 3,
        kReplaced = 1U << 4,
        kCommandImage = 1U << 5,
        kAllColumns = 1U << 6,
    };
    mutable unsigned m_dirty = 0;
    mutable long long m_pendingSteps = 0;     // progress bar steps, one per file begun
    mutable std::vector<bool> m_dirtyColumns; // statistics cells named by their column
    QTimer* m_refresh;
};

} // namespace wendo::ui
