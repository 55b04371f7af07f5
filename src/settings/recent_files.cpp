#include "settings/recent_files.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"

namespace {
const QString Section = QStringLiteral("Recent");
QString key(const char *kind, int slot) { return QLatin1String(kind) + QString::number(slot + 1); }

// Two paths name the same file when the file system says so: letter case counts on Linux.
bool samePath(const QString &a, const QString &b)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}
} // namespace

void RecentFiles::GetRecentFiles()
{
    readLists();
    UpdateRecentMenus();
}

void RecentFiles::readLists()
{
    for (int i = 0; i < Slots; ++i) {
        RecentSaved[i] = store_.read(Section, key("RecentSaved", i), QString());
        RecentLoaded[i] = store_.read(Section, key("RecentLoaded", i), QString());
    }
    storedSaved_ = RecentSaved;
    storedLoaded_ = RecentLoaded;
}

void RecentFiles::add(List RecentFiles::*which, const QString &path)
{
    // Another running copy may have changed the lists since: start from what is stored now,
    // so its files stay listed beside ours.
    store_.update([&] {
        readLists();
        List &list = this->*which;
        // A path already listed moves to the front; otherwise the oldest falls off the end.
        int from = Slots - 1;
        for (int i = 0; i < Slots; ++i) {
            if (!list[i].isEmpty() && samePath(list[i], path)) {
                from = i;
                break;
            }
        }
        for (int i = from; i > 0; --i)
            list[i] = list[i - 1];
        list[0] = path;
        SaveRecentFiles();
    });
    UpdateRecentMenus();
}

void RecentFiles::UpdateRecentMenus()
{
    for (int i = 0; i < Slots; ++i) {
        surface_.setCaption(key("mnuRecentSaved", i), RecentSaved[i]);
        surface_.setCaption(key("mnuRecentLoaded", i), RecentLoaded[i]);
    }
}

void RecentFiles::SaveRecentFiles()
{
    // Only slots changed here since the lists were last read or stored: this copy's lists may
    // be older than the store, and an unchanged slot must not undo another copy's change.
    for (int i = 0; i < Slots; ++i) {
        if (RecentSaved[i] != storedSaved_[i])
            store_.write(Section, key("RecentSaved", i), RecentSaved[i]);
        if (RecentLoaded[i] != storedLoaded_[i])
            store_.write(Section, key("RecentLoaded", i), RecentLoaded[i]);
    }
    storedSaved_ = RecentSaved;
    storedLoaded_ = RecentLoaded;
}
