// The application base of the makers' programs: records the program's class name, kind and
// icon, keeps one running instance per user under that class name, and hands a later
// start's file to the running instance.
//
// Threads: interface thread only.
#pragma once

#include "fw/SingleInstance.h"
#include "fw/WinApp.h"
#include "plinth/plinth_api.h"

#include <QString>
#include <memory>

class PLINTH_API CKVWinApp : public fw::WinApp
{
public:
    explicit CKVWinApp(QString appName);
    ~CKVWinApp() override;

    // The single-instance class name, the class kind (2: a double-click class with the
    // program's icon) and the icon's resource id.
    void InitAppClassParam(const char* className, int classKind, int iconId);
    const QString& GetClassName() const { return m_className; }
    int GetClassKind() const { return m_classKind; }
    int GetIconId() const { return m_iconId; }

    // Registers the program class; false without a class name.
    virtual bool InitApplication();
    // Claims the single instance under the class name; another running instance is
    // remembered for ISApplicationIsUp.
    bool InitInstance() override;
    // True when another instance of the program class runs for this user.
    bool ISApplicationIsUp() const { return m_otherInstance; }
    // Sends the file (made absolute) to the running instance; true when it opened it.
    bool ForwardToRunningInstance(const QString& file) const;
    // Releases the instance lock, then the framework's exit.
    int ExitInstance() override;

    fw::SingleInstance* GetSingleInstance() const { return m_instance.get(); }

private:
    QString m_className;
    int m_classKind = 0;
    int m_iconId = 0;
    bool m_registered = false;
    bool m_otherInstance = false;
    std::unique_ptr<fw::SingleInstance> m_instance;
};
