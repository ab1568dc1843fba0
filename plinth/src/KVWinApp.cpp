#include "plinth/KVWinApp.h"

#include <QFileInfo>

CKVWinApp::CKVWinApp(QString appName) : fw::WinApp(std::move(appName))
{
}

CKVWinApp::~CKVWinApp() = default;

void CKVWinApp::InitAppClassParam(const char* className, int classKind, int iconId)
{
    m_className = className != nullptr ? QString::fromUtf8(className) : QString();
    m_classKind = classKind;
    m_iconId = iconId;
}

bool CKVWinApp::InitApplication()
{
    // The class name is the instance's identity; there is no window class to register on
    // this platform.
    m_registered = !m_className.isEmpty();
    return m_registered;
}

bool CKVWinApp::InitInstance()
{
    if (!m_registered && !InitApplication()) {
        return fw::WinApp::InitInstance();
    }
    m_instance = std::make_unique<fw::SingleInstance>(m_className);
    m_instance->Claim();
    m_otherInstance = m_instance->IsOtherRunning();
    return fw::WinApp::InitInstance();
}

bool CKVWinApp::ForwardToRunningInstance(const QString& file) const
{
    if (!m_instance || file.isEmpty()) {
        return false;
    }
    return m_instance->SendOpen(QFileInfo(file).absoluteFilePath());
}

int CKVWinApp::ExitInstance()
{
    m_instance.reset();
    m_registered = false;
    return fw::WinApp::ExitInstance();
}
