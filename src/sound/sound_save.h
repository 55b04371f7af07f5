#pragma once
#include <QString>

class DataSet;
class ToneGenerator;
class SonifiedScan;
class Speech;
class WindowSurface;

// Saves the sonified scan of the view as a WAV file, in the same format as the console's
// recording. The scan itself runs, with the current sound choices and scan speed, but its tone
// goes into the file and its pace is kept by a clock that moves only when the scan waits: the
// file holds the scan at its speed, made as fast as the machine goes, with no audio device.
class SoundSave {
public:
    SoundSave(const DataSet &data, ToneGenerator &tone, SonifiedScan &scan, Speech &speech, WindowSurface &surface)
        : data_(data), tone_(tone), scan_(scan), speech_(speech), surface_(surface) {}

    // NAME.wav beside the data file NAME.lmd (never the data file itself).
    static QString automaticName(const QString &loadedFileName);

    // File > Save Sound...: a save dialog proposes NAME.wav beside the data file.
    void mnuSaveSound();
    // Renders the scan into `path`. Escape stops it and nothing is saved; a file already at
    // `path` is replaced only by a whole new one. Devices, pipes and folders are refused.
    void saveSound(const QString &path);

private:
    void speakFailure(const QString &path, const QString &why);

    const DataSet &data_;
    ToneGenerator &tone_;
    SonifiedScan &scan_;
    Speech &speech_;
    WindowSurface &surface_;
    bool saving_ = false;
};
