#include "fw/RecentFileList.h"

#include "fw/Profile.h"

namespace fw {

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryName(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

RecentFileList::RecentFileList(Profile& profile, int size)
    : m_profile(&profile), m_size(size < 1 ? 1 : size)
{
}

void RecentFileList::Add(const QString& path)
{
    if (path.isEmpty()) {
        return;
    }
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].compare(path, Qt::CaseInsensitive) == 0) {
            m_entries.removeAt(i);
            break;
        }
    }
    m_entries.prepend(path);
    while (m_entries.size() > m_size) {
        m_entries.removeLast();
    }
    Changed();
}

void RecentFileList::Changed() const
{
    if (m_changed) {
        m_changed();
    }
}

void RecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_entries.size()) {
        m_entries.removeAt(index);
        Changed();
    }
}

void RecentFileList::ReadList()
{
    m_entries.clear();
    for (int i = 0; i < m_size; ++i) {
        const QString path = m_profile->GetString(kSection, EntryName(i));
        if (!path.isEmpty()) {
            m_entries.append(path);
        }
    }
    Changed();
}

void RecentFileList::WriteList() const
{
    for (int i = 0; i < m_size; ++i) {
        if (i < m_entries.size()) {
            m_profile->WriteString(kSection, EntryName(i), m_entries[i]);
        } else {
            m_profile->Remove(kSection, EntryName(i));
        }
    }
}

} // namespace fw
