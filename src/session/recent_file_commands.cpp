#include "session/viewer.h"

// File > Recent Loaded / Recent Saved: each entry opens the file of its slot, reads out the
// file's INFO report once it is loaded, and closes the offset panel.
void Viewer::openAsRecentFile(const QString &path)
{
    if (!path.isEmpty()) {
        int first = 0, last = 0;
        data.FileLoaded = false;   // a file that is gone must not report the one before
        loader.LoadData(path, first, last);
        if (data.FileLoaded)
            reports.mnuDataFileInfo();
    }
    if (loader.hooks.closeOffsetPanel)
        loader.hooks.closeOffsetPanel();
}

void Viewer::addRecentFileCommands()
{
    const auto open = [this](const RecentFiles::List &list, int slot) { openAsRecentFile(list[size_t(slot)]); };
    for (int slot = 0; slot < RecentFiles::Slots; ++slot) {
        actions.add(QStringLiteral("mnuRecentLoaded%1").arg(slot + 1), [this, open, slot] { open(recent.RecentLoaded, slot); });
        actions.add(QStringLiteral("mnuRecentSaved%1").arg(slot + 1), [this, open, slot] { open(recent.RecentSaved, slot); });
    }
}
