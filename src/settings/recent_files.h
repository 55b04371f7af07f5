#pragma once
#include <QString>
#include <array>

class SettingsStore;
class WindowSurface;

// The five most recently saved and loaded data files, newest first, mirrored in the store
// (section "Recent") and in the File menu's recent entries. Each change is made to the lists as
// stored, so two running copies both keep the files they opened.
class RecentFiles {
public:
    static constexpr int Slots = 5;
    using List = std::array<QString, Slots>;

    RecentFiles(SettingsStore &store, WindowSurface &surface) : store_(store), surface_(surface) {}

    List RecentSaved;
    List RecentLoaded;

    void GetRecentFiles();
    void AddRecentSaved(const QString &path) { add(&RecentFiles::RecentSaved, path); }
    void AddRecentLoaded(const QString &path) { add(&RecentFiles::RecentLoaded, path); }
    void UpdateRecentMenus();
    void SaveRecentFiles();

private:
    void readLists();
    void add(List RecentFiles::*which, const QString &path);

    List storedSaved_;    // the lists as last read from or written to the store
    List storedLoaded_;
    SettingsStore &store_;
    WindowSurface &surface_;
};
