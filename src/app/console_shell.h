#pragma once
#include "app/console_io.h"
#include "ports/desktop_port.h"
#include "ports/message_pump.h"
#include "ports/speech_port.h"
#include "ports/surface_state.h"
#include <QStringList>
#include <functional>
#include <memory>

class Viewer;
class SettingsStore;
class AudioPort;
class PaceClock;
class WavRecorder;
class ScreenReaderStatus;

struct ConsoleOptions {
    bool speak = false;        // also speak through the speech engine
    QString wavPath;           // record the tone into this WAV file
    QString settingsPath;      // INI file instead of the user's store
    int scanSpeed = -1;        // steps per second; -1 = the stored setting
    QString file;              // loaded after start-up
    bool follow = false;       // then followed while its logger writes it
    bool listen = false;       // and its newest sample played as the tone
};

// The headless shell: reads protocol lines from standard input, prints every utterance as
// "say: " and every message box as "box: ", and answers file dialogs from the next line.
class ConsoleShell {
public:
    explicit ConsoleShell(ConsoleOptions options);
    ~ConsoleShell();

    int run();
    // Handles one protocol line; false once the program has closed.
    bool handleLine(const QString &line);

    Viewer &viewer() { return *viewer_; }

private:
    class Speech;
    class Surface;
    class Desktop;
    // Long work pumps: the console looks at its next line without waiting for it.
    class Pump : public MessagePump {
    public:
        void pump() override;
        void waitForUser() override;
        ConsoleShell *shell = nullptr;
    };
    // While work runs: a ":esc" line is Escape at once, other lines wait until the work is
    // done; the end of input is Escape, and the program closes once the work has stopped.
    void lookAtInput();
    // The work waits for the user: the next line is handled now, whatever it is.
    void handleNextLine();

    bool handleKey(const QString &key);
    // The command box's own editing keys: Left, Right, Home, End move its caret, Backspace
    // and Delete remove the letter before or after it.
    void editCommandText(const QString &key);

    ConsoleOptions options_;
    ConsoleInput input_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<SpeechPort> speech_;
    std::unique_ptr<Surface> surface_;
    std::unique_ptr<Desktop> desktop_;
    Pump pump_;
    std::unique_ptr<PaceClock> clock_;   // with --wav: scan time that the recording follows
    std::unique_ptr<AudioPort> audio_;
    WavRecorder *recorder_ = nullptr;   // audio_, when recording
    std::unique_ptr<Viewer> viewer_;
    std::unique_ptr<ScreenReaderStatus> screenReader_;   // with --speak: ours gives way to it
    int caret_ = 0;
    QString caretText_;   // the box's text when the caret was last placed
};
