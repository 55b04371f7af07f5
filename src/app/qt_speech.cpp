#include "app/qt_speech.h"
#include "app/speechd_worker.h"
#include <QEventLoop>
#include <QAudioDevice>
#include <QMediaDevices>

namespace {
constexpr int WatchdogTickMs = 50;
}

QtSpeech::QtSpeech(QObject *parent) : QtSpeech(new SpeechdWorker, true, parent) {}

QtSpeech::QtSpeech(SpeechdWorker *worker, QObject *parent) : QtSpeech(worker, false, parent) {}

QtSpeech::QtSpeech(SpeechdWorker *worker, bool needsSoundDevice, QObject *parent) : QObject(parent), worker_(worker)
{
    worker_->moveToThread(thread_.get());
    connect(thread_.get(), &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SpeechdWorker::opened, this, &QtSpeech::onOpened);
    connect(worker_, &SpeechdWorker::failed, this, [this](const QString &problem) {
        workerAnswered_ = true;
        onFailed(problem);
    });
    connect(worker_, &SpeechdWorker::accepted, this, &QtSpeech::onAccepted);
    connect(worker_, &SpeechdWorker::refused, this, &QtSpeech::onRefused);
    connect(worker_, &SpeechdWorker::event, this, &QtSpeech::onEvent);
    thread_->setObjectName(QStringLiteral("speech"));
    thread_->start();
    // Without a sound device speech-dispatcher takes every utterance and never begins one, so
    // each would wait out the queue limit while the user's keys are held: stay silent instead.
    if (needsSoundDevice && QMediaDevices::audioOutputs().isEmpty())
        problem_ = QStringLiteral("No sound device was found.");
    else   // opening may start the server, which takes seconds: the window does not wait for it
        QMetaObject::invokeMethod(worker_, &SpeechdWorker::open, Qt::QueuedConnection);

    watchdog_.setInterval(WatchdogTickMs);
    connect(&watchdog_, &QTimer::timeout, this, &QtSpeech::checkWatchdog);
    connectLimit_.setSingleShot(true);
    connectLimit_.setInterval(ConnectLimitMs);
    connect(&connectLimit_, &QTimer::timeout, this, [this] {
        if (!connected_ && available())
            onFailed(QStringLiteral("Speech-dispatcher did not answer."));
    });
    if (available())
        connectLimit_.start();
}

QtSpeech::~QtSpeech()
{
    QMetaObject::invokeMethod(worker_, &SpeechdWorker::close, Qt::QueuedConnection);
    thread_->quit();
    // A server that never answered may hold the thread in its connect for good: it is left
    // behind rather than hang the program's close.
    if (!thread_->wait(workerAnswered_ ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(1000)))
        (void)thread_.release();
}

bool QtSpeech::waitForConnection(int timeoutMs)
{
    if (!connected_ && available()) {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        connect(worker_, &SpeechdWorker::opened, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        connect(this, &QtSpeech::connectionFailed, &loop, &QEventLoop::quit);
        if (!connected_ && available())
            loop.exec();
    }
    return connected_;
}

void QtSpeech::onOpened()
{
    workerAnswered_ = true;
    connected_ = true;
    connectLimit_.stop();
    emit connectionMade();
    sendNext();
}

void QtSpeech::onFailed(const QString &problem)
{
    problem_ = problem.isEmpty() ? QStringLiteral("The speech server could not be reached.") : problem;
    // Nothing can be said: every waiting utterance is over.
    while (!queue_.empty()) {
        setStage(queue_.front(), Stage::Refused);
        finishedSeq_ = queue_.front().seq;
        queue_.pop_front();
    }
    inFlight_ = false;
    emit connectionFailed(problem_);
    emit progressed();
}

qint64 QtSpeech::enqueue(const QString &text)
{
    Utterance u;
    u.seq = ++lastSeq_;
    u.text = text;
    queue_.push_back(u);
    emit stageChanged(u.seq, u.text, Stage::Waiting);
    sendNext();
    return u.seq;
}

void QtSpeech::speakAsync(const QString &text)
{
    if (!available() || text.trimmed().isEmpty())
        return;
    enqueue(text);
}

void QtSpeech::speak(const QString &text)
{
    if (!available() || text.trimmed().isEmpty())
        return;
    const qint64 seq = enqueue(text);
    if (finishedSeq_ >= seq)
        return;
    // The full event loop runs meanwhile: the desktop, and the screen reader through the
    // accessibility bridge, get every key at once; the window holds back its own handling.
    QEventLoop loop;
    connect(this, &QtSpeech::progressed, &loop, [&] {
        if (finishedSeq_ >= seq)
            loop.quit();
    });
    loop.exec();
}

void QtSpeech::stop()
{
    if (queue_.empty())
        return;
    if (inFlight_)
        QMetaObject::invokeMethod(worker_, &SpeechdWorker::cancel, Qt::QueuedConnection);
    while (!queue_.empty()) {
        setStage(queue_.front(), Stage::Cancelled);
        queue_.pop_front();
    }
    finishedSeq_ = lastSeq_;
    inFlight_ = false;
    watchdog_.stop();
    emit progressed();
}

void QtSpeech::sendNext()
{
    if (!connected_ || inFlight_ || queue_.empty())
        return;
    inFlight_ = true;
    send(queue_.front());
}

void QtSpeech::send(Utterance &u)
{
    u.clock.start();
    u.messageId = 0;
    u.yielding = yielding_;
    earlyEvents_.clear();
    QMetaObject::invokeMethod(worker_, "say", Qt::QueuedConnection, Q_ARG(qint64, u.seq), Q_ARG(QString, u.text),
                              Q_ARG(bool, u.yielding));
    watchdog_.start();
}

void QtSpeech::setVoiceStyle(const VoiceStyle &style)
{
    SpeechdWorker *worker = worker_;
    QMetaObject::invokeMethod(worker_, [worker, style] { worker->setStyle(style); }, Qt::QueuedConnection);
}

void QtSpeech::setStage(Utterance &u, Stage stage)
{
    u.stage = stage;
    emit stageChanged(u.seq, u.text, stage);
}

void QtSpeech::finishCurrent(Stage stage)
{
    if (!inFlight_ || queue_.empty())
        return;
    setStage(queue_.front(), stage);
    finishedSeq_ = queue_.front().seq;
    queue_.pop_front();
    inFlight_ = false;
    watchdog_.stop();
    sendNext();
    emit progressed();
}

void QtSpeech::onAccepted(qint64 seq, qint64 messageId)
{
    if (!inFlight_ || queue_.front().seq != seq)
        return;   // stopped meanwhile; the cancel sent after it ends it at the server
    Utterance &u = queue_.front();
    u.messageId = messageId;
    u.clock.start();
    setStage(u, Stage::Queued);
    const QList<int> early = earlyEvents_.take(messageId);
    earlyEvents_.clear();
    for (int e : early)
        onEvent(messageId, e);
}

void QtSpeech::onRefused(qint64 seq)
{
    if (!inFlight_ || queue_.front().seq != seq)
        return;
    emit stoppedAnswering(QStringLiteral("Speech-dispatcher refused to speak."));
    finishCurrent(Stage::Refused);
}

void QtSpeech::onEvent(qint64 messageId, int event)
{
    if (!inFlight_)
        return;
    Utterance &u = queue_.front();
    if (u.messageId == 0) {
        // The server's news can overtake the answer to the send.
        earlyEvents_[messageId] << event;
        return;
    }
    if (u.messageId != messageId)
        return;
    switch (event) {
    case SpeechdWorker::Begun:
        if (u.stage == Stage::Queued) {
            u.clock.start();
            setStage(u, Stage::Begun);
        }
        break;
    case SpeechdWorker::Ended:
        finishCurrent(Stage::Ended);
        break;
    case SpeechdWorker::Cancelled:
        // Another client's speech or the user silencing the server. Beside a screen reader a
        // line cancelled before it began was never heard: it waits for its turn again. A line
        // cut short is over, as the screen reader's own lines are when the user speaks up.
        if (u.yielding && u.stage == Stage::Queued && u.resent < ResendLimit) {
            ++u.resent;
            setStage(u, Stage::Waiting);
            send(u);
        } else {
            finishCurrent(Stage::Cancelled);
        }
        break;
    default:
        break;
    }
}

void QtSpeech::checkWatchdog()
{
    if (!inFlight_ || queue_.empty())
        return;
    const Utterance &u = queue_.front();
    const qint64 elapsed = u.clock.elapsed();
    const bool overdue = (u.stage == Stage::Waiting && elapsed > AcceptLimitMs)
        || (u.stage == Stage::Queued && elapsed > QueuedLimitMs)
        || (u.stage == Stage::Begun && elapsed > runLimitMs(u.text));
    if (!overdue)
        return;
    // Waiting behind other programs' speech is no fault of the server's.
    if (u.stage != Stage::Queued)
        emit stoppedAnswering(QStringLiteral("Speech-dispatcher stopped answering."));
    if (!inFlight_)
        return;   // the line was dealt with meanwhile
    // A server with no working sound output begins and never ends: go on without it.
    QMetaObject::invokeMethod(worker_, &SpeechdWorker::cancel, Qt::QueuedConnection);
    finishCurrent(Stage::TimedOut);
}
