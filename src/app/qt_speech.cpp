#include "app/qt_speech.h"
#include <QEventLoop>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QTextToSpeech>
#include <QTimer>

namespace {
const QString Engine = QStringLiteral("speechd");
// An engine that has not begun an utterance by then never will.
constexpr int StartLimitMs = 1500;
constexpr int PollMs = 20;
}

QtSpeech::QtSpeech(QObject *parent) : QObject(parent)
{
    // Without a sound device speech-dispatcher never finishes an utterance and soon stops
    // answering at all, which would block every later call inside its library.
    if (QMediaDevices::audioOutputs().isEmpty()) {
        problem_ = QStringLiteral("No sound device was found.");
        return;
    }
    if (!QTextToSpeech::availableEngines().contains(Engine)) {
        problem_ = QStringLiteral("The speech-dispatcher engine is not installed.");
        return;
    }
    auto *engine = new QTextToSpeech(Engine, this);
    if (engine->state() == QTextToSpeech::Error) {
        problem_ = engine->errorString().isEmpty() ? QStringLiteral("The speech engine could not start.") : engine->errorString();
        delete engine;
        return;
    }
    engine_ = engine;
    connect(engine_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) { onStateChanged(s); });
}

QtSpeech::~QtSpeech() = default;

void QtSpeech::onStateChanged(int state)
{
    if (state == QTextToSpeech::Speaking) {
        sawSpeaking_ = true;
    } else if (state != QTextToSpeech::Paused && inFlight_) {
        // Ready or Error: either way this utterance is over.
        inFlight_ = false;
        startNext();
    }
}

void QtSpeech::startNext()
{
    if (!engine_ || inFlight_ || queue_.isEmpty())
        return;
    inFlight_ = true;
    sawSpeaking_ = false;
    started_.start();
    engine_->say(queue_.takeFirst());
}

void QtSpeech::speakAsync(const QString &text)
{
    if (!engine_ || text.trimmed().isEmpty())
        return;
    queue_ << text;
    startNext();
}

void QtSpeech::speak(const QString &text)
{
    if (!engine_ || text.trimmed().isEmpty())
        return;
    // Anything queued before is heard first, then this utterance to its end.
    int limit = watchdogMs(QString()) + watchdogMs(text);
    for (const QString &t : std::as_const(queue_))
        limit += watchdogMs(t);
    queue_ << text;
    startNext();

    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    const auto finished = [&] {
        if (inFlight_ && !sawSpeaking_ && started_.elapsed() > StartLimitMs) {
            inFlight_ = false;   // never began: go on with the next one
            startNext();
        }
        return (!inFlight_ && queue_.isEmpty()) || clock.elapsed() >= limit;
    };
    if (!finished()) {
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [&] { if (finished()) loop.quit(); });
        connect(engine_, &QTextToSpeech::stateChanged, &loop, [&] { if (finished()) loop.quit(); });
        poll.start(PollMs);
        // User input waits: a key pressed during an utterance takes effect when it ends.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (inFlight_ || !queue_.isEmpty()) {
        // The watchdog ran out (an engine without a sound device never finishes): drop the
        // rest so later utterances are not stuck behind it.
        queue_.clear();
        inFlight_ = false;
        engine_->stop();
    }
}
