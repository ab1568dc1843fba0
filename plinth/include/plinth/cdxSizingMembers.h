// The members a resizable window offers over its sizing header (cdxSizingControlInfo.h). The
// resizable form and the resizable dialog both take them from here; each keeps its own header
// and gives it out through GetHeader().
//
// Threads: interface thread only.
#pragma once

#include "fw/MessageBox.h"
#include "plinth/cdxSizingControlInfo.h"

#include <QString>
#include <cstdint>

class QWidget;

namespace fw {
class Profile;
}

// Owner derives from this class and from a QObject, and has GetHeader().
template <class Owner> class cdxSizingMembers
{
public:
    cdxSizingControlInfo* AddSzControl(QWidget* control, int hMode, int vMode)
    {
        return Header().AddSzControl(control, hMode, vMode);
    }
    cdxSizingControlInfo* AddSzXControl(QWidget* control, int mode)
    {
        return Header().AddSzXControl(control, mode);
    }
    cdxSizingControlInfo* AddSzYControl(QWidget* control, int mode)
    {
        return Header().AddSzYControl(control, mode);
    }
    cdxSizingControlInfo* AddSzControlEx(QWidget* control, std::uint8_t left, std::uint8_t right,
                                         std::uint8_t top, std::uint8_t bottom)
    {
        return Header().AddSzControlEx(control, left, right, top, bottom);
    }
    cdxSizingControlInfo* AddSzXControlEx(QWidget* control, std::uint8_t left, std::uint8_t right)
    {
        return Header().AddSzXControlEx(control, left, right);
    }
    cdxSizingControlInfo* AddSzYControlEx(QWidget* control, std::uint8_t top, std::uint8_t bottom)
    {
        return Header().AddSzYControlEx(control, top, bottom);
    }
    cdxSizingControlInfo* UpdateSzControl(QWidget* control, int hMode, int vMode)
    {
        return Header().UpdateSzControl(control, hMode, vMode);
    }
    cdxSizingControlInfo* UpdateSzControlEx(QWidget* control, std::uint8_t left, std::uint8_t right,
                                            std::uint8_t top, std::uint8_t bottom)
    {
        return Header().UpdateSzControlEx(control, left, right, top, bottom);
    }

    void ReorganizeControls() { Header().ReorganizeControls(); }
    // Lays the controls out for a client size; true when neither dimension is below the
    // initial one.
    bool ChangeSize(int width, int height) { return Header().ChangeSize(width, height); }
    void StretchWindow(int percent) { Header().StretchWindow(percent); }
    // The placement in a section of the program's profile (or of the one given); the string
    // id forms take the section name from the string table.
    bool StoreWindowPosition(const QString& section, fw::Profile* profile = nullptr)
    {
        return Header().StoreWindowPosition(section, profile);
    }
    bool StoreWindowPosition(unsigned sectionStringId)
    {
        return Header().StoreWindowPosition(fw::LoadQString(sectionStringId));
    }
    bool RestoreWindowPosition(const QString& section, bool withState = false,
                               fw::Profile* profile = nullptr)
    {
        return Header().RestoreWindowPosition(section, withState, profile);
    }
    bool RestoreWindowPosition(unsigned sectionStringId, bool withState = false)
    {
        return Header().RestoreWindowPosition(fw::LoadQString(sectionStringId), withState);
    }
    // Deletes every control record, then the window (later, from the event loop).
    void DestroyWindow()
    {
        Header().DestroyControls();
        static_cast<Owner*>(this)->deleteLater();
    }

protected:
    cdxSizingMembers() = default;
    ~cdxSizingMembers() = default;

private:
    cdxSizingControlInfo::Header& Header() { return static_cast<Owner*>(this)->GetHeader(); }
};
