#include "settings/recent_files.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"

namespace {
const QString Section = QStringLiteral("Recent");
QString key(const char *kind, int slot) { return QLatin1String(kind) + QString::number(slot + 1); }
}

void RecentFiles::GetRecentFiles()
{
    for (int i = 0; i < Slots; ++i) {
        RecentSaved[i] = store_.read(Section, key("RecentSaved", i), QString());
        RecentLoaded[i] = store_.read(Section, key("RecentLoaded", i), QString());
    }
    UpdateRecentMenus();
}

void RecentFiles::add(List &list, const QString &path)
{
    for (const QString &slot : list) {
        if (!slot.isEmpty() && slot.compare(path, Qt::CaseInsensitive) == 0)
            return;
    }
    for (int i = Slots - 1; i > 0; --i)
        list[i] = list[i - 1];
    list[0] = path;
    UpdateRecentMenus();
    SaveRecentFiles();
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
    for (int i = 0; i < Slots; ++i) {
        store_.write(Section, key("RecentSaved", i), RecentSaved[i]);
        store_.write(Section, key("RecentLoaded", i), RecentLoaded[i]);
    }
}
