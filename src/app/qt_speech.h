#pragma once
#include "ports/speech_port.h"
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

class QTextToSpeech;

// Speech through speech-dispatcher (Qt's "speechd" engine, named explicitly so the crashing
// flite engine is never picked). The user's own voice and rate apply. Without an engine the
// program keeps working silently; `available()` tells the window to say so.
class QtSpeech : public QObject, public SpeechPort {
    Q_OBJECT
public:
    explicit QtSpeech(QObject *parent = nullptr);
    ~QtSpeech() override;

    bool available() const { return engine_ != nullptr; }
    // Why no engine could be used (empty when one is available).
    QString problem() const { return problem_; }

    void speak(const QString &text) override;
    void speakAsync(const QString &text) override;

    // Longest wait for one utterance: an engine without a sound device never finishes.
    static int watchdogMs(const QString &text) { return 2000 + 80 * int(text.size()); }

private:
    void startNext();
    void onStateChanged(int state);

    QTextToSpeech *engine_ = nullptr;
    QStringList queue_;
    bool inFlight_ = false;      // an utterance was handed to the engine and has not ended
    bool sawSpeaking_ = false;   // ... and the engine has begun it
    QElapsedTimer started_;
    QString problem_;
};
