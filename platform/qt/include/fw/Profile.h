// The per-user settings of the program: sections of named string and number entries, kept
// with QSettings under the organisation and application names given, in
// $XDG_CONFIG_HOME/<organisation>/<application>.conf (else under ~/.config) as the
// environment names it at each access.
//
// Threads: interface thread (QSettings objects are not shared across threads here).
#pragma once

#include <QString>

namespace fw {

class Profile
{
public:
    Profile(QString organisation, QString application);

    void SetOrganisation(QString organisation) { m_organisation = std::move(organisation); }
    const QString& GetOrganisation() const { return m_organisation; }
    const QString& GetApplication() const { return m_application; }

    QString GetString(const QString& section, const QString& entry,
                      const QString& fallback = {}) const;
    bool WriteString(const QString& section, const QString& entry, const QString& value);
    // An entry that is missing or not a decimal number gives the fallback.
    int GetInt(const QString& section, const QString& entry, int fallback) const;
    bool WriteInt(const QString& section, const QString& entry, int value);
    bool Contains(const QString& section, const QString& entry) const;
    void Remove(const QString& section, const QString& entry);

private:
    QString m_organisation;
    QString m_application;
};

} // namespace fw
