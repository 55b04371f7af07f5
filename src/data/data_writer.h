#pragma once
#include <QSaveFile>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class DataSet;
class StripChartModel;
class ViewWindow;
class Speech;
class WindowSurface;
class MessagePump;
class SettingsStore;

// Writes the data set, or the rows the chart shows, to a ".lmd" file under a proposed name,
// and sets the automatic chart title.
class DataWriter {
public:
    struct Hooks {
        std::function<void(const QString &)> addRecentSaved;
        std::function<void()> applyTitleAppearance;
    };
    // Opens the file a save goes through. Tests replace it to make writes fail.
    using FileFactory = std::function<std::unique_ptr<QSaveFile>(const QString &path)>;

    DataWriter(DataSet &data, StripChartModel &chart, ViewWindow &view, Speech &speech, WindowSurface &surface,
               MessagePump &pump, SettingsStore &settings);

    Hooks hooks;
    FileFactory openFile;

    // File menu Save: the whole data set, rows 0 to LastIndex.
    void mnuSave();
    // The save-view button: the visible rows; the header in memory is left as it was.
    void cmdSaveView();
    // Proposes a name, asks with the save dialog when wanted, then saves.
    void CheckForSave();
    // The proposed full path, or "BADFILE" when there is not enough data.
    QString NameDataFile(const QString &currentName);
    // Writes header, notes and the save range to `path`. False when nothing was saved; an
    // existing file at `path` is then left as it was.
    bool SaveDataFile(const QString &path);
    void DoAutoTitle();

    // Set while the save-view button's save runs: the save covers the visible rows only.
    bool viewSave() const { return viewSave_; }

private:
    bool settingOn(const QString &key, const QString &fallback) const;
    void speakNothingToSave();
    // First and last row to write; false when fewer than 3 rows would be written.
    bool saveRange(int &first, int &last);
    std::optional<QString> askForPath(const QString &proposed);

    DataSet &data_;
    StripChartModel &chart_;
    ViewWindow &view_;
    Speech &speech_;
    WindowSurface &surface_;
    MessagePump &pump_;
    SettingsStore &settings_;
    bool viewSave_ = false;
};
