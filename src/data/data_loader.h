#pragma once
#include <QString>
#include <functional>
#include <memory>

class QFile;

class DataSet;
class StripChartModel;
class Speech;
class WindowSurface;
class MessagePump;
class SettingsStore;

// Turns one ".lmd" file into the data set and the chart's rows, with the load's messages.
class DataLoader {
public:
    // What the loader asks of the rest of the program; each is optional.
    struct Hooks {
        std::function<QString()> baseTitle;
        std::function<void()> hideArchiveList;
        std::function<void()> hideArrows;   // while the load runs
        std::function<void()> showArrows;   // after it completed
        std::function<void(const QString &)> addRecentLoaded;
        std::function<void()> speakChartId;
        std::function<void()> autoTitle;
        std::function<void()> fullView;
        std::function<void()> showLegend;
        std::function<void()> closeChartViews;
        std::function<void()> forgetRememberedView;
        std::function<void()> refreshChannelMenus;
        std::function<void()> layout;
        std::function<void()> dataFileInfo;   // the spoken INFO report
        std::function<void()> closeOffsetPanel;
        std::function<void()> loadStarting;   // the rows shown are about to be replaced
    };

    // The file of the last completed load, left open, and where its first unread record
    // starts: a recording that is still being written is read on through this descriptor.
    struct OpenRecording {
        std::shared_ptr<QFile> file;
        qint64 nextRecord = 0;
        int recordBytes = 0;
    };
    const OpenRecording &openRecording() const { return kept_; }

    DataLoader(DataSet &data, StripChartModel &chart, Speech &speech, WindowSurface &surface,
               MessagePump &pump, SettingsStore &settings)
        : data_(data), chart_(chart), speech_(speech), surface_(surface), pump_(pump), settings_(settings) {}

    Hooks hooks;
    // Bytes of memory a load may take (0: no limit); a file needing more is refused before
    // anything is allocated. The machine's own figure unless a test sets another.
    std::function<qint64()> availableMemory;

    // Loads records first..last (0, 0 = the whole file); both are clamped in place.
    void LoadData(const QString &fileName, int &first, int &last);
    // Asks for a file with the open dialog, then loads it.
    void LoadDataFile();
    // The File menu's "Load Data File": load, then the spoken INFO report.
    void MnuLoadDataFile();
    // Clamps count to 1..8 and rebuilds the chart's channels.
    void SetupChannels(int &count);

private:
    // Reads the rows into the chart; returns the first channel's largest value (0 if none).
    double readRecords(class QFile &file, int first, int last, int &count);
    void loadTail(const QString &fileName, int count, bool partial);
    // After a failed load: no rows, one empty channel, nothing loaded; no stale row or channel count.
    void clearDataSet();
    void restoreIdleLabel();
    QString baseTitle() const;

    DataSet &data_;
    StripChartModel &chart_;
    Speech &speech_;
    WindowSurface &surface_;
    MessagePump &pump_;
    SettingsStore &settings_;
    OpenRecording kept_;
};
