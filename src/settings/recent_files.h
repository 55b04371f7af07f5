#pragma once
#include <QString>
#include <array>

class SettingsStore;
class WindowSurface;

// The five most recently saved and loaded data files, newest first, mirrored in the store
// (section "Recent") and in the File menu's recent entries.
class RecentFiles {
public:
    static constexpr int Slots = 5;
    using List = std::array<QString, Slots>;

    RecentFiles(SettingsStore &store, WindowSurface &surface) : store_(store), surface_(surface) {}

    List RecentSaved;
    List RecentLoaded;

    void GetRecentFiles();
    void AddRecentSaved(const QString &path) { add(RecentSaved, path); }
    void AddRecentLoaded(const QString &path) { add(RecentLoaded, path); }
    void UpdateRecentMenus();
    void SaveRecentFiles();

private:
    void add(List &list, const QString &path);

    SettingsStore &store_;
    WindowSurface &surface_;
};
