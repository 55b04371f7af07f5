#pragma once
#include "ports/speech_port.h"
#include "ports/window_surface.h"
#include "voice/spoken_numbers.h"
#include <QString>

class MessagePump;

// The program's one voice, with the abort flag that Escape sets between utterances.
class Speech {
public:
    Speech(SpeechPort &port, MessagePump &pump, WindowSurface &surface)
        : port_(port), pump_(pump), surface_(surface) {}

    void speak(const QString &text);
    void speakAsync(const QString &text);
    // Where the cursor stands now: cut short by the next key in the window.
    void speakReadout(const QString &text);

    // Rate, pitch and voice from now on; unset parts stay as they are.
    void setVoiceStyle(const VoiceStyle &style);

    // Pump pending input, then report whether the user asked to stop (Escape).
    bool pumpAndTest();

    // A message box that is also spoken, so a user without a screen reader hears it.
    void messageBox(const QString &title, const QString &text, MessageIcon icon = MessageIcon::None);

    // Where a file was written, said after the sentence that names the file: only when the
    // folder differs from the last folder said, so a user saving again and again is not told
    // the same folder each time.
    void speakFolder(const QString &folder);
    // A sentence that named the folder itself counts as having said it.
    void folderSpoken(const QString &folder);

    // After the goodbye the program says nothing more: work that was interrupted by the
    // close (a report, a load) must not go on talking once the window is gone.
    void fallSilent() { silent_ = true; }
    bool silent() const { return silent_; }

    bool AbortRequested = false;
    // How values are put into words (the user's "SpokenDigits").
    SpokenNumbers numbers;

private:
    SpeechPort &port_;
    MessagePump &pump_;
    WindowSurface &surface_;
    QString lastFolder_;
    bool silent_ = false;
};
