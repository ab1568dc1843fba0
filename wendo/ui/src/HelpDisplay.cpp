#include "HelpDisplay.h"

#include "os/path.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

namespace wendo::ui {

HelpDisplay::HelpDisplay()
{
    RegisterHtmlHelpDisplay(this);
}

HelpDisplay::~HelpDisplay()
{
    RegisterHtmlHelpDisplay(nullptr);
    delete m_browser.data();
}

QString HelpDisplay::PageFor(const char* file)
{
    if (file == nullptr) {
        return {};
    }
    std::string name(file);
    name = name.substr(0, name.find('>'));
    QString path = QString::fromStdString(os::ToNative(name));
    const QFileInfo info(path);
    if (info.suffix().compare(QLatin1String("chm"), Qt::CaseInsensitive) == 0) {
        const QString page = info.completeBaseName() + QStringLiteral(".html");
        path = info.path() + QLatin1Char('/') + page;
        // The user guide is installed with the program's data, beside its bin folder.
        const QString shared = info.path() + QStringLiteral("/../share/wendo/help/") + page;
        if (!QFileInfo(path).isFile() && QFileInfo(shared).isFile()) {
            path = QFileInfo(shared).canonicalFilePath();
        }
    }
    return QFileInfo(path).isFile() ? path : QString();
}

void* HelpDisplay::ShowHelp(void* /*window*/, const char* file, unsigned command,
                            std::uintptr_t /*data*/)
{
    if (command == HH_CLOSE_ALL) {
        delete m_browser.data();
        return nullptr;
    }
    const QString page = PageFor(file);
    if (page.isEmpty()) {
        return nullptr;
    }
    if (m_browser.isNull()) {
        m_browser = new QTextBrowser;
        m_browser->setAttribute(Qt::WA_DeleteOnClose);
        m_browser->setWindowTitle(QStringLiteral("Wendo Help"));
        m_browser->resize(640, 520);
    }
    m_browser->setSource(QUrl::fromLocalFile(page));
    m_browser->show();
    m_browser->raise();
    return m_browser.data();
}

} // namespace wendo::ui
