#pragma once
#include <QMetaObject>
#include <functional>
#include <optional>

class StripChartModel;
class DataSet;
class Speech;
class WindowSurface;
class MessagePump;
class SettingsStore;
class PaceClock;
class ToneGenerator;
class SoundMenu;

// The sonified scan: the chart cursor walks the view sample by sample and the tone follows
// the cursor channel's value, in pitch (FM) or loudness (AM). Space pauses and resumes,
// Escape ends it. The two cursor handlers also sound the cursor when the user moves it.
class SonifiedScan {
public:
    SonifiedScan(StripChartModel &chart, const DataSet &data, Speech &speech, WindowSurface &surface,
                 MessagePump &pump, ToneGenerator &tone, SoundMenu &menu, PaceClock &clock);
    ~SonifiedScan();
    SonifiedScan(const SonifiedScan &) = delete;
    SonifiedScan &operator=(const SonifiedScan &) = delete;

    // Recomputes the view's first and last row (both inclusive); wired to the view queries.
    std::function<void(int &start, int &stop)> viewIndices;

    void setClock(PaceClock &clock) { clock_ = &clock; }

    void mnuScan();
    // The chart's cursor moved (by the scan or by the user).
    void cursorChanged();
    // The user moved the cursor with the pointer in cursor mode.
    void cursorReadout();
    // Space: once a scan has run, pause or resume (the tone stops and starts with it).
    void spaceKey();

    // Steps per second; 0 = as fast as the machine goes. Read from the settings at start-up.
    void readScanSpeed(const SettingsStore &store);
    double ScanSpeed = 100;

    bool ScanStarted = false;
    bool ScanPaused = false;
    // True while a paused scan waits for the user to resume it or press Escape.
    bool waitingInPause() const { return waitingInPause_; }

private:
    void reportPause(int row);
    void waitForPace(qint64 stepStartUs);

    StripChartModel &chart_;
    const DataSet &data_;
    Speech &speech_;
    WindowSurface &surface_;
    MessagePump &pump_;
    ToneGenerator &tone_;
    SoundMenu &menu_;
    PaceClock *clock_;
    std::optional<double> lastAmLevel_, lastFmLevel_;
    bool waitingInPause_ = false;
    QMetaObject::Connection changedLink_, readoutLink_;
};
