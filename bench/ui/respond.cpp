// wendo-respond: how long the report window takes to answer input while a run feeds it.
//
// Starts the desktop program offscreen with a private profile, opens a command file, runs it
// through the Run command (so the report window shows the run live) and, from a thread of its
// own, posts a key press to the report window every few milliseconds. An event filter on the
// window takes the time from posting to handling, so a blocked interface thread shows as the
// probes queued behind it. Prints one table row (bench/respond.sh adds the heading).
//
// With --replay it opens the command file's report instead (View > Report) and prints the time
// until every row is in the path list and laid out, and the program's resident memory before
// and after, per row beyond the rows' texts.
//
// Not a test: the figures move with the machine's load.
//
// usage: wendo-respond [--pace 0|1] [--window S] [--probe-ms N] [--label TEXT] [--detail]
//                      [--replay] FILE.wdo
//   --pace      the per-user pacing entry for the run (1 by default, as the program ships)
//   --window    stop the run and the measurement after S seconds (0: let it finish)
//   --probe-ms  period of the probes (10 by default)
//   --detail    on stderr: the interface thread's time by event kind and receiver class
//   --replay    replay the report instead of running (the report must be valid)
#include "MainFrame.h"
#include "RunControl.h"
#include "ProgressPathView.h"
#include "Views.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "fw/ChildFrame.h"
#include "fw/MessageBox.h"
#include "fw/Profile.h"
#include "model/WendoDoc.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QInputDevice>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QSet>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace wendo::ui;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// A key press that carries the moment it was posted.
class ProbeEvent final : public QKeyEvent
{
public:
    ProbeEvent() : QKeyEvent(QEvent::KeyPress, Qt::Key_F35, Qt::NoModifier), m_posted(Clock::now())
    {
    }
    Clock::time_point m_posted;
};

// Interface thread only.
class ProbeFilter final : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            if (const auto* probe = dynamic_cast<const ProbeEvent*>(event)) {
                m_latencies.push_back(Milliseconds(Clock::now() - probe->m_posted));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
    std::vector<double> m_latencies;
};

// Posts probes to target until stopped. The target outlives the thread.
class ProbeThread
{
public:
    ProbeThread(QObject* target, int periodMs) : m_target(target), m_period(periodMs)
    {
        m_thread = std::thread([this] { Loop(); });
    }
    ProbeThread(const ProbeThread&) = delete;
    ProbeThread& operator=(const ProbeThread&) = delete;
    ~ProbeThread() { Stop(); }

    void Stop()
    {
        m_stop.store(true);
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    long Posted() const { return m_posted.load(); }

private:
    void Loop()
    {
        Clock::time_point next = Clock::now();
        while (!m_stop.load()) {
            QCoreApplication::postEvent(m_target, new ProbeEvent);
            m_posted.fetch_add(1);
            next += m_period;
            std::this_thread::sleep_until(next);
        }
    }

    QObject* m_target;
    std::chrono::milliseconds m_period;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_posted{0};
    std::thread m_thread;
};

// Times what the interface thread spends on the run's notifications (the message target's
// events), to tell the views' share of a slow answer from the rest. With detail, also every
// outermost event by kind and receiver class. Interface thread only.
class TimedApplication final : public QApplication
{
public:
    struct Cost
    {
        long count = 0;
        double totalMs = 0;
        double maxMs = 0;
        double maxCpuMs = 0; // the thread's own time in the longest one, when measured
        void Add(double ms, double cpuMs = 0)
        {
            ++count;
            totalMs += ms;
            if (ms > maxMs) {
                maxMs = ms;
                maxCpuMs = cpuMs;
            }
        }
    };

    TimedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override
    {
        const bool watched = m_watched != nullptr && receiver == m_watched;
        const bool outermost = m_detail && m_depth == 0;
        if (!watched && !outermost) {
            return QApplication::notify(receiver, event);
        }
        // The receiver may be gone once the event is handled (a deferred delete).
        const std::string kind =
            outermost ? std::to_string(event->type()) + " " + receiver->metaObject()->className()
                      : std::string();
        const Clock::time_point start = Clock::now();
        const double cpuStart = ThreadCpuMs();
        ++m_depth;
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        const double ms = Milliseconds(Clock::now() - start);
        if (watched) {
            m_notifications.Add(ms, ThreadCpuMs() - cpuStart);
        }
        if (outermost) {
            m_byKind[kind].Add(ms);
        }
        return handled;
    }
    void PrintDetail() const
    {
        std::vector<std::pair<std::string, Cost>> rows(m_byKind.begin(), m_byKind.end());
        std::sort(rows.begin(), rows.end(),
                  [](const auto& a, const auto& b) { return a.second.totalMs > b.second.totalMs; });
        std::fprintf(stderr, "event-type receiver: count, total ms, max ms\n");
        for (std::size_t i = 0; i < rows.size() && i < 15; ++i) {
            std::fprintf(stderr, "  %s: %ld, %.1f, %.1f\n", rows[i].first.c_str(),
                         rows[i].second.count, rows[i].second.totalMs, rows[i].second.maxMs);
        }
    }

    // A handler that took long on the clock but little on the thread was preempted: the
    // machine's load, not the views.
    static double ThreadCpuMs()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    }

    QObject* m_watched = nullptr;
    bool m_detail = false;
    Cost m_notifications;

private:
    int m_depth = 0;
    std::map<std::string, Cost> m_byKind;
};

struct Options
{
    int pace = 1;
    double windowSeconds = 0;
    int probeMs = 10;
    bool detail = false;
    bool replay = false;
    std::string label = "run";
    std::string file;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pace" && hasValue) {
            options.pace = std::atoi(argv[++i]);
        } else if (arg == "--window" && hasValue) {
            options.windowSeconds = std::atof(argv[++i]);
        } else if (arg == "--probe-ms" && hasValue) {
            options.probeMs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--detail") {
            options.detail = true;
        } else if (arg == "--replay") {
            options.replay = true;
        } else if (arg == "--label" && hasValue) {
            options.label = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && options.file.empty()) {
            options.file = arg;
        } else {
            return false;
        }
    }
    return !options.file.empty();
}

double Percentile(const std::vector<double>& sorted, double share)
{
    if (sorted.empty()) {
        return 0;
    }
    const auto rank =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::min(sorted.size(), std::max<std::size_t>(rank, 1)) - 1];
}

// Resident memory of the process in bytes, after the allocator has given back what it holds
// free, so that the figure is the memory in use.
double ResidentBytes()
{
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

void SpinFor(std::chrono::milliseconds span)
{
    const Clock::time_point until = Clock::now() + span;
    while (Clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Opens the document's report as View > Report does; prints one table row. 0 when it opened
// within the target of 2 s.
int Replay(CWendoApp& app, wendo::CWendoDoc& doc, const Options& options)
{
    CMainFrame& frame = *app.GetMainFrame();
    SpinFor(std::chrono::milliseconds(300));
    const double before = ResidentBytes();
    frame.UpdateCommandUI();
    const Clock::time_point start = Clock::now();
    frame.GetCommands().Execute(cmd::REPORT);
    auto* paths = static_cast<CProgressPathView*>(
        CMainFrame::FindDocView(&doc, fw::ViewClassOf<CProgressPathView>()));
    if (paths == nullptr) {
        std::fprintf(stderr, "wendo-respond: the report did not open\n");
        return 1;
    }
    // Shown: the rows published and the list laid out and painted once.
    QTreeView* list = paths->List();
    while (app.GetMessageTarget()->PendingCount() != 0) {
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    list->viewport()->repaint();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    SpinFor(std::chrono::milliseconds(300));
    const double after = ResidentBytes();

    // The rows' texts as the list stores them: each name, and each folder and message once.
    const QAbstractItemModel* rows = list->model();
    const int count = rows->rowCount();
    double texts = 0;
    QSet<QString> shared;
    for (int row = 0; row < count; ++row) {
        const QString path = rows->index(row, 0).data().toString();
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/')) + 1;
        texts += static_cast<double>(path.mid(slash).toUtf8().size());
        for (const QString& text : {QStringLiteral("F") + path.left(slash),
                                    QStringLiteral("M") + rows->index(row, 1).data().toString()}) {
            if (!shared.contains(text)) {
                shared.insert(text);
                texts += static_cast<double>(text.toUtf8().size() - 1);
            }
        }
    }
    const double perRow = count > 0 ? (after - before - texts) / count : 0;
    std::printf("| %s | %d | %.2f | %s | %.1f | %.1f | %.1f | %.1f | %s |\n",
                options.label.c_str(), count, seconds, seconds < 2.0 ? "yes" : "NO",
                before / 1048576.0, after / 1048576.0, texts / count, perRow,
                perRow <= 100.0 ? "yes" : "NO");
    std::fflush(stdout);
    return seconds < 2.0 && perRow <= 100.0 ? 0 : 3;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: wendo-respond [--pace 0|1] [--window S] [--probe-ms N] "
                             "[--label TEXT] [--detail] [--replay] FILE.wdo\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A private profile: the pacing entry written below and the program's recent files stay
    // out of the user's own.
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "wendo-respond: no temporary folder\n");
        return 1;
    }
    for (const char* name : {"config", "data", "runtime"}) {
        QDir(home.path()).mkdir(QString::fromLatin1(name));
    }
    QFile::setPermissions(home.path() + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toLocal8Bit().constData(), 1);

    int qtArgc = 1;
    char name[] = "wendo-respond";
    char* qtArgv[] = {name, nullptr};
    TimedApplication qapp(qtArgc, qtArgv);
    // Nobody is there to answer: every question is told on stderr and answered No.
    fw::SetMessageBoxHook([](const QString& text, core::PromptButtons, core::PromptIcon) {
        std::fprintf(stderr, "wendo-respond: message box: %s\n", qUtf8Printable(text));
        return core::PromptAnswer::No;
    });

    int status = 0;
    {
        auto app = std::make_unique<CWendoApp>();
        app->SetSingleInstance(false);
        app->SetArguments({QStringLiteral("wendo"), QStringLiteral("-nologo")});
        if (!app->InitInstance()) {
            std::fprintf(stderr, "wendo-respond: the program did not start\n");
            return 1;
        }
        app->GetProfile().WriteInt(kPaceSection, kPaceEntry, options.pace != 0 ? 1 : 0);
        CMainFrame& frame = *app->GetMainFrame();
        frame.resize(900, 760);
        auto* doc = dynamic_cast<wendo::CWendoDoc*>(
            app->OpenDocumentFile(QString::fromLocal8Bit(options.file.c_str())));
        if (doc == nullptr) {
            std::fprintf(stderr, "wendo-respond: cannot open %s\n", options.file.c_str());
            return 1;
        }
        if (options.replay) {
            frame.show();
            status = Replay(*app, *doc, options);
            app.reset();
            fw::SetMessageBoxHook({});
            return status;
        }
        qapp.m_watched = app->GetMessageTarget();
        qapp.m_detail = options.detail;

        // A user presses Run in a window already shown: its first exposure and painting are
        // not part of the run.
        frame.show();
        const Clock::time_point settle = Clock::now() + std::chrono::milliseconds(300);
        while (Clock::now() < settle) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        frame.UpdateCommandUI();
        const Clock::time_point start = Clock::now();
        frame.GetCommands().Execute(cmd::RUN);
        if (doc->Started.load() == 0) {
            std::fprintf(stderr, "wendo-respond: the run did not start\n");
            return 1;
        }
        auto* progress = static_cast<CProgressView*>(
            CMainFrame::FindDocView(doc, fw::ViewClassOf<CProgressView>()));
        if (progress == nullptr) {
            std::fprintf(stderr, "wendo-respond: no report window\n");
            return 1;
        }
        // The report window's frame: where a user's keys and clicks for it arrive.
        QWidget* report = progress->GetParentFrame();
        if (report == nullptr) {
            report = progress;
        }
        // Key events name the keyboard they come from; the first one asked for is made as a
        // child of the application, which only the interface thread may do.
        QInputDevice::primaryKeyboard();
        ProbeFilter filter;
        report->installEventFilter(&filter);
        ProbeThread probes(report, options.probeMs);

        // The run ends by itself, or is stopped once the window is over; either way the
        // probes stop with the end of the run and are then all answered.
        QEventLoop loop;
        QTimer poll;
        bool stopped = false;
        Clock::time_point end{};
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (end == Clock::time_point{}) {
                const bool over =
                    options.windowSeconds > 0 &&
                    Clock::now() - start >= std::chrono::duration<double>(options.windowSeconds);
                if (doc->Started.load() == 0 || over) {
                    end = Clock::now();
                    probes.Stop();
                    if (doc->Started.load() != 0) {
                        stopped = true;
                        doc->StopProcess();
                    }
                }
                return;
            }
            // A probe that never arrives would hold the loop for good; it counts as lost.
            const bool answered = static_cast<long>(filter.m_latencies.size()) >= probes.Posted();
            if (doc->Started.load() == 0 &&
                (answered || Clock::now() - end > std::chrono::seconds(30))) {
                loop.quit();
            }
        });
        poll.start(5);
        loop.exec();
        report->removeEventFilter(&filter);
        qapp.m_watched = nullptr;
        qapp.m_detail = false;
        if (options.detail) {
            qapp.PrintDetail();
        }

        std::vector<double> sorted = filter.m_latencies;
        std::sort(sorted.begin(), sorted.end());
        const double maxMs = sorted.empty() ? 0 : sorted.back();
        const bool holds = !sorted.empty() && maxMs <= 50.0;
        std::printf("| %s | %s | %.1f%s | %ld | %zu | %.2f | %.2f | %.1f | %s | %ld | %.3f | "
                    "%.1f (%.1f) |\n",
                    options.label.c_str(), options.pace != 0 ? "on" : "off",
                    std::chrono::duration<double>(end - start).count(), stopped ? " (stopped)" : "",
                    static_cast<long>(doc->Run.TotalIteration.load()), sorted.size(),
                    Percentile(sorted, 0.5), Percentile(sorted, 0.99), maxMs, holds ? "yes" : "NO",
                    qapp.m_notifications.count,
                    qapp.m_notifications.count > 0
                        ? qapp.m_notifications.totalMs /
                              static_cast<double>(qapp.m_notifications.count)
                        : 0.0,
                    qapp.m_notifications.maxMs, qapp.m_notifications.maxCpuMs);
        std::fflush(stdout);
        status = holds ? 0 : 3;
        app.reset();
    }
    fw::SetMessageBoxHook({});
    return status;
}
