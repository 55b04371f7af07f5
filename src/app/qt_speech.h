#pragma once
#include "ports/speech_port.h"
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>
#include <deque>
#include <memory>

class SpeechdWorker;

// Speech through speech-dispatcher, the service screen readers use, so the user's own voice
// and rate apply. The program's utterances go out one at a time, in the program's order; a
// synchronous speak waits for its utterance to end with the whole event loop running, so the
// desktop and the screen reader keep getting every key. Without a server the program keeps
// working silently; `problem()` then says why.
class QtSpeech : public QObject, public SpeechPort {
    Q_OBJECT
public:
    // What the server has reported about one utterance.
    enum class Stage { Waiting, Queued, Begun, Ended, Cancelled, Refused, TimedOut };
    Q_ENUM(Stage)

    explicit QtSpeech(QObject *parent = nullptr);
    // With a worker of the caller's making (a test's stand-in for the server), opened whether
    // or not a sound device is found; takes the worker over.
    explicit QtSpeech(SpeechdWorker *worker, QObject *parent = nullptr);
    ~QtSpeech() override;

    // False once the server could not be reached (the connection is made in the background).
    bool available() const { return problem_.isEmpty(); }
    QString problem() const { return problem_; }
    // Waits, with the event loop running, until the connection is made or has failed.
    bool waitForConnection(int timeoutMs);

    void speak(const QString &text) override;
    void speakAsync(const QString &text) override;
    void stop() override;
    void setVoiceStyle(const VoiceStyle &style) override;

    // Beside a running screen reader our speech gives way to its speech: an utterance it cuts
    // short is over (the report goes on with its next line), one it cancels before a word of it
    // was heard is sent again. Without a screen reader nothing else cuts ours short.
    void setYielding(bool on) { yielding_ = on; }
    bool yielding() const { return yielding_; }
    // How often one utterance is sent again before it is given up.
    static constexpr int ResendLimit = 20;
    // Longest an utterance may run once begun: well past any voice's length for the text.
    static int runLimitMs(const QString &text) { return 4000 + 250 * int(text.size()); }
    // Longest an utterance may wait in the server's queue behind other clients' speech.
    static constexpr int QueuedLimitMs = 60000;
    // Longest the server may take to accept or refuse one utterance.
    static constexpr int AcceptLimitMs = 5000;
    // Longest the connection may take (starting the server included) before the server
    // counts as not answering.
    void setConnectLimit(int ms) { connectLimit_.setInterval(ms); }
    static constexpr int ConnectLimitMs = 10000;

signals:
    void stageChanged(qint64 seq, const QString &text, QtSpeech::Stage stage);
    void connectionFailed(const QString &problem);
    void connectionMade();
    // The server took a line and then never answered about it, or refused it: what is
    // still queued would wait on it in vain. Sent before the line is given up.
    void stoppedAnswering(const QString &problem);
    // Something finished; waiting loops look again.
    void progressed();

private:
    QtSpeech(SpeechdWorker *worker, bool needsSoundDevice, QObject *parent);

    struct Utterance {
        qint64 seq = 0;
        QString text;
        qint64 messageId = 0;
        Stage stage = Stage::Waiting;
        QElapsedTimer clock;   // since sent, then since begun
        bool yielding = false; // sent at the priority other speech cuts short
        int resent = 0;
    };

    qint64 enqueue(const QString &text);
    void sendNext();
    void send(Utterance &u);
    void finishCurrent(Stage stage);
    void setStage(Utterance &u, Stage stage);
    void onAccepted(qint64 seq, qint64 messageId);
    void onRefused(qint64 seq);
    void onEvent(qint64 messageId, int event);
    void onOpened();
    void onFailed(const QString &problem);
    void checkWatchdog();

    std::unique_ptr<QThread> thread_ = std::make_unique<QThread>();
    SpeechdWorker *worker_ = nullptr;
    bool workerAnswered_ = false;   // its attempt to connect has come back
    bool connected_ = false;
    QString problem_;

    std::deque<Utterance> queue_;   // front is the one sent, when one is in flight
    bool inFlight_ = false;
    qint64 lastSeq_ = 0;
    qint64 finishedSeq_ = 0;        // every utterance up to this one is over
    QHash<qint64, QList<int>> earlyEvents_;   // events that came before their message id was known
    QTimer watchdog_;
    QTimer connectLimit_;
    bool yielding_ = false;
};
