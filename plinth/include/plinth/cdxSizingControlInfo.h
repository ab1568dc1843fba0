// The layout state of a resizable form or dialog: one header per window and one record per
// registered control. On every resize each registered control is moved from the rectangle it
// had when it was registered by its four percentages of the window's growth, so the forms lay
// their controls out by arithmetic, not with Qt layouts. A window never lays its controls out
// below its initial size and cannot be made smaller than that size.
//
// Controls are registered by their widgets; their rectangles are in the coordinates of their
// parent, which is the laid-out window itself for the controls of a form.
//
// Threads: interface thread only. Ownership: the header owns its records; the window owns
// the controls, which a record only watches (a control destroyed first is skipped).
#pragma once

#include "plinth/plinth_api.h"

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

class QSizeGrip;
class QWidget;

namespace fw {
class Profile;
}

class PLINTH_API cdxSizingControlInfo
{
public:
    // What the simple registration does on one axis.
    enum Mode : int
    {
        mdNone = 0,     // stays where it is
        mdResize = 1,   // grows with the window
        mdRepos = 2,    // moves with the far edge
        mdRelative = 3, // moves by half the growth
    };
    // Which dimensions of the window the user may change.
    enum Freedom : unsigned
    {
        fdNone = 0,
        fdHoriz = 1,
        fdVert = 2,
        fdAll = 3,
    };

    class Header;

    cdxSizingControlInfo(Header& header, QWidget* control, std::uint8_t left, std::uint8_t right,
                         std::uint8_t top, std::uint8_t bottom);

    // Another control that takes this control's rectangle on every layout.
    void AddEqualCtrl(QWidget* control);
    // Places the control (and its equals) for a growth of the window by (dx, dy).
    void AdaptControlSize(int dx, int dy);

    QWidget* GetControl() const { return m_control.data(); }
    // The rectangle the control has for a growth of 0.
    QRect GetBaseRect() const { return m_base; }

    // The percentages of the growth by which each edge moves, each meant from 0 to 100.
    std::uint8_t m_left;
    std::uint8_t m_right;
    std::uint8_t m_top;
    std::uint8_t m_bottom;

private:
    friend class Header;

    Header* m_header;
    QPointer<QWidget> m_control;
    std::vector<QPointer<QWidget>> m_equal;
    QRect m_base;
};

class PLINTH_API cdxSizingControlInfo::Header
{
public:
    // Section entries of a stored position; "(check)" is written first with kCheckOpen and
    // last with kCheckDone, so a store that stopped half-way is never restored.
    static constexpr int kCheckOpen = -32640;
    static constexpr int kCheckDone = 32639;
    static constexpr int kGripSize = 24;
    // Ids of a dialog's standard bars (tool bar and status bar).
    static constexpr int kToolBarId = 59392;
    static constexpr int kStatusBarId = 59393;

    Header(unsigned freedom, bool sizeGrip);
    Header(const Header&) = delete;
    Header& operator=(const Header&) = delete;
    ~Header();

    // The window to lay out and the resource id of its form (0 for dialogs).
    void Init(QWidget* window, int resourceId = 0);

    // Measures a form: its initial size and minimum track size are the designed size of its
    // resource (KVGetIDResourceSize), or the window's size when none was registered. Then the
    // size grip and the stretch.
    void OnInitialUpdate(int stretchPercent);
    // Measures a dialog from its size now, makes the grip, registers the standard bars and
    // stretches; 1.
    int OnInitDialog(int stretchPercent);

    // Registration; none when the window or the control does not exist, the window has not
    // been measured or every percentage is 0. Registering a control again replaces its record.
    cdxSizingControlInfo* AddSzControl(QWidget* control, int hMode, int vMode);
    cdxSizingControlInfo* AddSzXControl(QWidget* control, int mode);
    cdxSizingControlInfo* AddSzYControl(QWidget* control, int mode);
    cdxSizingControlInfo* AddSzControlEx(QWidget* control, std::uint8_t left, std::uint8_t right,
                                         std::uint8_t top, std::uint8_t bottom);
    cdxSizingControlInfo* AddSzXControlEx(QWidget* control, std::uint8_t left, std::uint8_t right);
    cdxSizingControlInfo* AddSzYControlEx(QWidget* control, std::uint8_t top, std::uint8_t bottom);
    // Changes the percentages of a registered control without moving it now; none when the
    // control has no record (or registering would be refused).
    cdxSizingControlInfo* UpdateSzControl(QWidget* control, int hMode, int vMode);
    cdxSizingControlInfo* UpdateSzControlEx(QWidget* control, std::uint8_t left, std::uint8_t right,
                                            std::uint8_t top, std::uint8_t bottom);
    cdxSizingControlInfo* FindControl(const QWidget* control) const;

    // Lays every record out for a client size; true when neither dimension is below the
    // initial one. Nothing before measuring.
    bool ChangeSize(int width, int height);
    void ReorganizeControls();
    // Sets the window's minimum and maximum sizes from the track limits and the freedom.
    void ApplyTrackLimits();

    // Grows the window's normal rectangle on both sides of each free axis by
    // percent x extent / 50 (the near edge stays at 0 or more).
    void StretchWindow(int percent);

    // The window's normal rectangle and show state in a section of a profile; the program's
    // profile when none is given.
    bool StoreWindowPosition(const QString& section, fw::Profile* profile = nullptr);
    bool RestoreWindowPosition(const QString& section, bool withState,
                               fw::Profile* profile = nullptr);

    // Deletes every record.
    void DestroyControls();

    bool IsMeasured() const { return m_initialWidth != -1; }
    QSize GetInitialSize() const { return {m_initialWidth, m_initialHeight}; }
    QSize GetMinTrackSize() const { return {m_minTrackWidth, m_minTrackHeight}; }
    unsigned GetFreedom() const { return m_freedom; }
    // The grip while it is wanted and was made.
    QWidget* GetSizeGrip() const;
    int GetResourceId() const { return m_resourceId; }
    // The window whose placement is stretched, stored and restored: the sub-window that holds
    // a form, or the top-level window.
    QWidget* PlacementWindow() const;

    // The growth of the window now, each dimension raised to 0.
    QSize CurrentGrowth() const;

private:
    bool CanRegister(const QWidget* control) const;
    void MakeSizeGrip();

    std::list<std::unique_ptr<cdxSizingControlInfo>> m_controls; // newest first
    QPointer<QWidget> m_window;
    int m_initialWidth = -1;
    int m_initialHeight = 0;
    int m_minTrackWidth = 0;
    int m_minTrackHeight = 0;
    unsigned m_freedom;
    QPointer<QSizeGrip> m_grip;
    bool m_wantGrip;
    int m_resourceId = 0;
};
