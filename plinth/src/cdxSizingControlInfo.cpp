#include "plinth/cdxSizingControlInfo.h"

#include "fw/Profile.h"
#include "fw/WinApp.h"
#include "fw/WindowPlacement.h"
#include "plinth/KVResource.h"

#include <QMdiSubWindow>
#include <QSizeGrip>
#include <QWidget>
#include <algorithm>

namespace {

// Left (or top) and right (or bottom) percentages of a registration mode.
void ModePercents(int mode, std::uint8_t& nearEdge, std::uint8_t& farEdge)
{
    switch (mode) {
    case cdxSizingControlInfo::mdResize:
        nearEdge = 0;
        farEdge = 100;
        break;
    case cdxSizingControlInfo::mdRepos:
        nearEdge = 100;
        farEdge = 100;
        break;
    case cdxSizingControlInfo::mdRelative:
        nearEdge = 50;
        farEdge = 50;
        break;
    default:
        nearEdge = 0;
        farEdge = 0;
        break;
    }
}

struct Percents
{
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    std::uint8_t top = 0;
    std::uint8_t bottom = 0;
};

// The four percentages of a registration by a mode per axis.
Percents ModesToPercents(int hMode, int vMode)
{
    Percents p;
    ModePercents(hMode, p.left, p.right);
    ModePercents(vMode, p.top, p.bottom);
    return p;
}

int Share(int growth, std::uint8_t percent)
{
    return growth * static_cast<int>(percent) / 100;
}

fw::Profile* ProgramProfile(fw::Profile* given)
{
    if (given != nullptr) {
        return given;
    }
    fw::WinApp* app = fw::WinApp::Get();
    return app != nullptr ? &app->GetProfile() : nullptr;
}

QRect NormalRect(const QWidget* window)
{
    if (window->isWindow() && window->normalGeometry().isValid()) {
        return window->normalGeometry();
    }
    return window->geometry();
}

std::uint32_t ShowCommand(const QWidget* window)
{
    if (!window->isVisible()) {
        return fw::SW_HIDE;
    }
    if (window->isMinimized()) {
        return fw::SW_SHOWMINIMIZED;
    }
    return window->isMaximized() ? fw::SW_SHOWMAXIMIZED : fw::SW_SHOWNORMAL;
}

} // namespace

// ---- Control record ----

cdxSizingControlInfo::cdxSizingControlInfo(Header& header, QWidget* control, std::uint8_t left,
                                           std::uint8_t right, std::uint8_t top,
                                           std::uint8_t bottom)
    : m_left(left), m_right(right), m_top(top), m_bottom(bottom), m_header(&header),
      m_control(control), m_base(control->geometry())
{
}

void cdxSizingControlInfo::AddEqualCtrl(QWidget* control)
{
    if (control != nullptr) {
        m_equal.emplace_back(control);
    }
}

void cdxSizingControlInfo::AdaptControlSize(int dx, int dy)
{
    const int left = m_base.x() + Share(dx, m_left);
    const int right = m_base.x() + m_base.width() + Share(dx, m_right);
    const int top = m_base.y() + Share(dy, m_top);
    const int bottom = m_base.y() + m_base.height() + Share(dy, m_bottom);
    const QRect placed(left, top, std::max(0, right - left), std::max(0, bottom - top));
    if (m_control) {
        m_control->setGeometry(placed);
    }
    for (const QPointer<QWidget>& equal : m_equal) {
        if (equal) {
            equal->setGeometry(placed);
        }
    }
}

// ---- Header ----

cdxSizingControlInfo::Header::Header(unsigned freedom, bool sizeGrip)
    : m_freedom(freedom & fdAll), m_wantGrip(sizeGrip)
{
}

cdxSizingControlInfo::Header::~Header() = default;

void cdxSizingControlInfo::Header::Init(QWidget* window, int resourceId)
{
    m_window = window;
    m_resourceId = resourceId;
}

void cdxSizingControlInfo::Header::OnInitialUpdate(int stretchPercent)
{
    if (!m_window) {
        return;
    }
    QSize designed = KVGetIDResourceSize(m_resourceId);
    if (!designed.isValid()) {
        designed = m_window->size();
    }
    m_initialWidth = designed.width();
    m_initialHeight = designed.height();
    m_minTrackWidth = m_initialWidth;
    m_minTrackHeight = m_initialHeight;
    ApplyTrackLimits();
    MakeSizeGrip();
    if (stretchPercent != 0) {
        StretchWindow(stretchPercent);
    }
}

int cdxSizingControlInfo::Header::OnInitDialog(int stretchPercent)
{
    if (!m_window) {
        return 1;
    }
    // A top-level widget has no frame of its own in its size, so the window size and the
    // client size are the same here.
    m_initialWidth = m_window->width();
    m_initialHeight = m_window->height();
    m_minTrackWidth = m_initialWidth;
    m_minTrackHeight = m_initialHeight;
    ApplyTrackLimits();
    MakeSizeGrip();
    if (QWidget* bar = KVGetDlgItem(m_window, kToolBarId)) {
        AddSzControl(bar, mdResize, mdNone);
    }
    if (QWidget* bar = KVGetDlgItem(m_window, kStatusBarId)) {
        AddSzControl(bar, mdResize, mdRepos);
    }
    if (stretchPercent != 0) {
        StretchWindow(stretchPercent);
    }
    return 1;
}

void cdxSizingControlInfo::Header::MakeSizeGrip()
{
    if (!m_wantGrip || !m_window) {
        return;
    }
    auto* grip = new QSizeGrip(m_window);
    grip->setObjectName(QStringLiteral("cdxSizeGrip"));
    grip->setAttribute(Qt::WA_TranslucentBackground);
    grip->setGeometry(m_window->width() - kGripSize, m_window->height() - kGripSize, kGripSize,
                      kGripSize);
    grip->raise();
    grip->show();
    m_grip = grip;
    if (AddSzControl(grip, mdRepos, mdRepos) == nullptr) {
        // Given up: the window keeps no grip.
        delete grip;
        m_wantGrip = false;
    }
}

QWidget* cdxSizingControlInfo::Header::GetSizeGrip() const
{
    return m_wantGrip ? m_grip.data() : nullptr;
}

bool cdxSizingControlInfo::Header::CanRegister(const QWidget* control) const
{
    return m_window && control != nullptr && IsMeasured();
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::AddSzControl(QWidget* control, int hMode,
                                                                 int vMode)
{
    const Percents p = ModesToPercents(hMode, vMode);
    return AddSzControlEx(control, p.left, p.right, p.top, p.bottom);
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::AddSzXControl(QWidget* control, int mode)
{
    return AddSzControl(control, mode, mdNone);
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::AddSzYControl(QWidget* control, int mode)
{
    return AddSzControl(control, mdNone, mode);
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::AddSzControlEx(
    QWidget* control, std::uint8_t left, std::uint8_t right, std::uint8_t top, std::uint8_t bottom)
{
    if (!CanRegister(control) || (left == 0 && right == 0 && top == 0 && bottom == 0)) {
        return nullptr;
    }
    // Two records for one control would fight over it; the newer registration wins.
    m_controls.remove_if([control](const std::unique_ptr<cdxSizingControlInfo>& record) {
        return record->GetControl() == control;
    });
    m_controls.push_front(
        std::make_unique<cdxSizingControlInfo>(*this, control, left, right, top, bottom));
    cdxSizingControlInfo* record = m_controls.front().get();
    record->AdaptControlSize(0, 0);
    return record;
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::AddSzXControlEx(QWidget* control,
                                                                    std::uint8_t left,
                                                                    std::uint8_t right)
{
    return AddSzControlEx(control, left, right, 0, 0);
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::AddSzYControlEx(QWidget* control,
                                                                    std::uint8_t top,
                                                                    std::uint8_t bottom)
{
    return AddSzControlEx(control, 0, 0, top, bottom);
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::UpdateSzControl(QWidget* control, int hMode,
                                                                    int vMode)
{
    const Percents p = ModesToPercents(hMode, vMode);
    return UpdateSzControlEx(control, p.left, p.right, p.top, p.bottom);
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::UpdateSzControlEx(
    QWidget* control, std::uint8_t left, std::uint8_t right, std::uint8_t top, std::uint8_t bottom)
{
    if (!CanRegister(control) || (left == 0 && right == 0 && top == 0 && bottom == 0)) {
        return nullptr;
    }
    cdxSizingControlInfo* record = FindControl(control);
    if (record == nullptr) {
        return nullptr;
    }
    const QSize growth = CurrentGrowth();
    const int dx = growth.width();
    const int dy = growth.height();
    record->m_left = left;
    record->m_right = right;
    record->m_top = top;
    record->m_bottom = bottom;
    // The base is taken back from where the control stands, so it does not jump now.
    const QRect now = control->geometry();
    const int baseLeft = now.x() - Share(dx, left);
    const int baseRight = now.x() + now.width() - Share(dx, right);
    const int baseTop = now.y() - Share(dy, top);
    const int baseBottom = now.y() + now.height() - Share(dy, bottom);
    record->m_base = QRect(baseLeft, baseTop, baseRight - baseLeft, baseBottom - baseTop);
    record->AdaptControlSize(dx, dy);
    return record;
}

cdxSizingControlInfo* cdxSizingControlInfo::Header::FindControl(const QWidget* control) const
{
    for (const auto& record : m_controls) {
        if (record->GetControl() == control) {
            return record.get();
        }
    }
    return nullptr;
}

QSize cdxSizingControlInfo::Header::CurrentGrowth() const
{
    if (!m_window || !IsMeasured()) {
        return {0, 0};
    }
    return {std::max(0, m_window->width() - m_initialWidth),
            std::max(0, m_window->height() - m_initialHeight)};
}

bool cdxSizingControlInfo::Header::ChangeSize(int width, int height)
{
    if (!m_window || !IsMeasured()) {
        return false;
    }
    const int dx = width - m_initialWidth;
    const int dy = height - m_initialHeight;
    for (const auto& record : m_controls) {
        record->AdaptControlSize(std::max(0, dx), std::max(0, dy));
    }
    m_window->update();
    return dx >= 0 && dy >= 0;
}

void cdxSizingControlInfo::Header::ReorganizeControls()
{
    if (m_window) {
        ChangeSize(m_window->width(), m_window->height());
    }
}

void cdxSizingControlInfo::Header::ApplyTrackLimits()
{
    if (!m_window || !IsMeasured()) {
        return;
    }
    m_window->setMinimumSize(m_minTrackWidth, m_minTrackHeight);
    m_window->setMaximumSize((m_freedom & fdHoriz) != 0 ? QWIDGETSIZE_MAX : m_minTrackWidth,
                             (m_freedom & fdVert) != 0 ? QWIDGETSIZE_MAX : m_minTrackHeight);
}

QWidget* cdxSizingControlInfo::Header::PlacementWindow() const
{
    if (!m_window) {
        return nullptr;
    }
    for (QWidget* widget = m_window; widget != nullptr; widget = widget->parentWidget()) {
        if (widget->isWindow() || qobject_cast<QMdiSubWindow*>(widget) != nullptr) {
            return widget;
        }
    }
    return m_window;
}

void cdxSizingControlInfo::Header::StretchWindow(int percent)
{
    QWidget* window = PlacementWindow();
    if (percent == 0 || window == nullptr) {
        return;
    }
    QRect rect = NormalRect(window);
    if ((m_freedom & fdHoriz) != 0) {
        const int grow = percent * rect.width() / 50;
        rect.setLeft(std::max(0, rect.left() - grow));
        rect.setRight(rect.right() + grow);
    }
    if ((m_freedom & fdVert) != 0) {
        const int grow = percent * rect.height() / 50;
        rect.setTop(std::max(0, rect.top() - grow));
        rect.setBottom(rect.bottom() + grow);
    }
    window->setGeometry(rect);
}

bool cdxSizingControlInfo::Header::StoreWindowPosition(const QString& section, fw::Profile* profile)
{
    fw::Profile* store = ProgramProfile(profile);
    QWidget* window = PlacementWindow();
    if (store == nullptr || window == nullptr || section.isEmpty()) {
        return false;
    }
    const QRect rect = NormalRect(window);
    const std::pair<const char*, int> values[] = {
        {"(check)", kCheckOpen},
        {"Left", rect.left()},
        {"Right", rect.x() + rect.width()},
        {"Top", rect.top()},
        {"Bottom", rect.y() + rect.height()},
        {"State", static_cast<int>(ShowCommand(window))},
        {"(check)", kCheckDone},
    };
    for (const auto& [entry, value] : values) {
        if (!store->WriteInt(section, QString::fromLatin1(entry), value)) {
            return false;
        }
    }
    return true;
}

bool cdxSizingControlInfo::Header::RestoreWindowPosition(const QString& section, bool withState,
                                                         fw::Profile* profile)
{
    fw::Profile* store = ProgramProfile(profile);
    QWidget* window = PlacementWindow();
    if (store == nullptr || window == nullptr || section.isEmpty() ||
        store->GetInt(section, QStringLiteral("(check)"), 0) != kCheckDone) {
        return false;
    }
    const QRect now = NormalRect(window);
    const int left = store->GetInt(section, QStringLiteral("Left"), now.left());
    const int right = store->GetInt(section, QStringLiteral("Right"), now.x() + now.width());
    const int top = store->GetInt(section, QStringLiteral("Top"), now.top());
    const int bottom = store->GetInt(section, QStringLiteral("Bottom"), now.y() + now.height());
    int state =
        store->GetInt(section, QStringLiteral("State"), static_cast<int>(ShowCommand(window)));
    if (!withState) {
        state = static_cast<int>(fw::SW_HIDE);
    }
    if (right <= left || bottom <= top) {
        return false;
    }
    window->setGeometry(QRect(left, top, right - left, bottom - top));
    switch (static_cast<std::uint32_t>(state)) {
    case fw::SW_SHOWMINIMIZED:
        window->showMinimized();
        break;
    case fw::SW_SHOWMAXIMIZED:
        window->showMaximized();
        break;
    case fw::SW_HIDE:
        // Placed, not shown: the caller shows it when it is ready.
        break;
    default:
        window->showNormal();
        break;
    }
    return true;
}

void cdxSizingControlInfo::Header::DestroyControls()
{
    m_controls.clear();
}
