#pragma once
#include "app/voice_sink.h"
#include "ports/speech_port.h"
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

// The built-in voice, for when the speech service cannot be had: each line is synthesised
// into memory on a thread of its own and then played, one line at a time in the program's
// order. A synchronous speak waits with the whole event loop running, as with the service;
// stop() silences the line being played and drops the queued ones. A watchdog bounds every
// wait, so a stuck synthesis or a sound device that takes nothing never holds the user's keys.
class EspeakSpeech : public QObject, public SpeechPort {
    Q_OBJECT
public:
    // Turns one line into 16-bit mono samples; runs on the voice's own thread.
    using Render = std::function<QByteArray(const QString &text, const VoiceStyle &style)>;

    EspeakSpeech(Render render, int sampleRate, std::unique_ptr<VoiceSink> sink, QObject *parent = nullptr);
    ~EspeakSpeech() override;

    // eSpeak NG played through the default sound device. problem() says why it cannot speak.
    static std::unique_ptr<EspeakSpeech> create();

    bool available() const { return problem().isEmpty(); }
    QString problem() const { return problem_.isEmpty() && sink_ ? sink_->problem() : problem_; }
    // Why the synthesizer itself could not start (its voice data missing, say); empty if it did.
    QString engineProblem() const { return problem_; }

    void speak(const QString &text) override;
    void speakAsync(const QString &text) override;
    void stop() override;
    void setVoiceStyle(const VoiceStyle &style) override;

    // Waits, with the event loop running, until every queued line is over.
    void waitUntilQuiet();
    bool quiet() const { return queue_.empty(); }

    // Longest one line may take to synthesise.
    static constexpr int RenderLimitMs = 5000;
    // Longest a line may play past its own length before it is given up.
    static constexpr int PlaySlackMs = 2000;

signals:
    // Something finished; waiting loops look again.
    void progressed();

private:
    explicit EspeakSpeech(const QString &problem);

    struct Line {
        qint64 seq = 0;
        QString text;
        bool playing = false;
        qint64 lengthMs = 0;
        QElapsedTimer clock;   // since sent to be synthesised, then since playing
    };

    qint64 enqueue(const QString &text);
    void sendNext();
    void onRendered(qint64 seq, const QByteArray &samples);
    void finishCurrent();
    void checkProgress();

    Render render_;
    int sampleRate_ = 0;
    std::unique_ptr<VoiceSink> sink_;
    QString problem_;
    VoiceStyle style_;
    QThread thread_;
    QObject *worker_ = nullptr;   // lives on thread_; synthesis runs in its context
    std::deque<Line> queue_;      // front is the one in hand, when one is in flight
    bool inFlight_ = false;
    qint64 lastSeq_ = 0;
    qint64 finishedSeq_ = 0;
    QTimer watchdog_;
};
