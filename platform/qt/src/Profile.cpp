#include "fw/Profile.h"

#include <QDir>
#include <QSettings>

namespace fw {

namespace {

QString Key(const QString& section, const QString& entry)
{
    return section + QLatin1Char('/') + entry;
}

// Qt looks the user's configuration folder up once per process; the profile follows
// $XDG_CONFIG_HOME (else ~/.config) as it is now, by the rule of the companion settings
// reader (a relative value is ignored), so that both always name the same file.
void FollowConfigFolder()
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!folder.startsWith(QLatin1Char('/'))) {
        folder = QDir::homePath() + QStringLiteral("/.config");
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

} // namespace

Profile::Profile(QString organisation, QString application)
    : m_organisation(std::move(organisation)), m_application(std::move(application))
{
}

QString Profile::GetString(const QString& section, const QString& entry,
                           const QString& fallback) const
{
    FollowConfigFolder();
    const QSettings settings(m_organisation, m_application);
    return settings.value(Key(section, entry), fallback).toString();
}

bool Profile::WriteString(const QString& section, const QString& entry, const QString& value)
{
    FollowConfigFolder();
    QSettings settings(m_organisation, m_application);
    settings.setValue(Key(section, entry), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

int Profile::GetInt(const QString& section, const QString& entry, int fallback) const
{
    FollowConfigFolder();
    const QSettings settings(m_organisation, m_application);
    bool ok = false;
    const int value = settings.value(Key(section, entry)).toString().trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

bool Profile::WriteInt(const QString& section, const QString& entry, int value)
{
    return WriteString(section, entry, QString::number(value));
}

bool Profile::Contains(const QString& section, const QString& entry) const
{
    FollowConfigFolder();
    const QSettings settings(m_organisation, m_application);
    return settings.contains(Key(section, entry));
}

void Profile::Remove(const QString& section, const QString& entry)
{
    FollowConfigFolder();
    QSettings settings(m_organisation, m_application);
    settings.remove(Key(section, entry));
}

} // namespace fw
