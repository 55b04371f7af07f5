#pragma once
#include <QMetaObject>
#include <cmath>
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
    PaceClock &clock() const { return *clock_; }

    // True when the scan walked the whole view (not stopped by Escape, and a file was loaded).
    bool mnuScan();
    // The chart's cursor moved (by the scan or by the user).
    void cursorChanged();
    // The user moved the cursor with the pointer in cursor mode.
    void cursorReadout();
    // Space while a scan runs: pause or resume (the tone stops and starts with it).
    void spaceKey();

    // Steps per second; 0 = as fast as the machine goes (the console's --scan-speed 0). Read
    // from the settings at start-up; a stored speed outside MinSpeed .. MaxSpeed reads as 100.
    void readScanSpeed(const SettingsStore &store);
    double ScanSpeed = 100;
    static constexpr double MinSpeed = 1, MaxSpeed = 10000;

    bool ScanStarted = false;   // while a scan runs, paused or not
    bool ScanPaused = false;

private:
    void reportPause(int row);
    // Step k of a stretch at one speed is due at start + k / speed. Measured from the start,
    // so a late wake-up or a slow step is made up by the next waits instead of adding up.
    struct PaceSchedule {
        qint64 startUs = 0;
        qint64 steps = 0;
        double speed = 0;
        qint64 dueUs() const { return startUs + qint64(std::llround(double(steps) * 1e6 / speed)); }
    };
    void waitForPace(PaceSchedule &pace);

    StripChartModel &chart_;
    const DataSet &data_;
    Speech &speech_;
    WindowSurface &surface_;
    MessagePump &pump_;
    ToneGenerator &tone_;
    SoundMenu &menu_;
    PaceClock *clock_;
    std::optional<double> lastAmLevel_, lastFmLevel_;
    QMetaObject::Connection changedLink_, readoutLink_;
};
