// The recent file list: the last documents opened, most recent first, kept in the profile
// ("Recent File List", "File1" ...). Paths are native; equal paths (ignoring ASCII case)
// are kept once.
//
// Threads: interface thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fw {

class Profile;

class RecentFileList
{
public:
    RecentFileList(Profile& profile, int size);

    int GetSize() const { return m_size; }
    const QStringList& GetEntries() const { return m_entries; }
    // Puts path at the head, dropping an equal entry and the oldest beyond the size.
    void Add(const QString& path);
    void Remove(int index);
    void ReadList();
    void WriteList() const;
    // Called after every change of the entries, so that menus showing them follow at once.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    void Changed() const;

    std::function<void()> m_changed;
    Profile* m_profile;
    int m_size;
    QStringList m_entries;
};

} // namespace fw
