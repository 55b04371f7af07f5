#include "app/espeak_speech.h"
#include "app/espeak_engine.h"
#include "app/qt_voice_sink.h"
#include <QEventLoop>

namespace {
constexpr int WatchdogTickMs = 10;
}

EspeakSpeech::EspeakSpeech(Render render, int sampleRate, std::unique_ptr<VoiceSink> sink, QObject *parent)
    : QObject(parent), render_(std::move(render)), sampleRate_(sampleRate), sink_(std::move(sink))
{
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("espeak"));
    thread_.start();
    watchdog_.setInterval(WatchdogTickMs);
    connect(&watchdog_, &QTimer::timeout, this, &EspeakSpeech::checkProgress);
}

EspeakSpeech::EspeakSpeech(const QString &problem) : problem_(problem) {}

EspeakSpeech::~EspeakSpeech()
{
    if (thread_.isRunning()) {
        thread_.quit();
        thread_.wait();
    }
}

std::unique_ptr<EspeakSpeech> EspeakSpeech::create()
{
    if (const QString problem = EspeakEngine::start(); !problem.isEmpty())
        return std::unique_ptr<EspeakSpeech>(new EspeakSpeech(problem));
    const int rate = EspeakEngine::sampleRate();
    return std::make_unique<EspeakSpeech>(&EspeakEngine::render, rate, std::make_unique<QtVoiceSink>(rate));
}

qint64 EspeakSpeech::enqueue(const QString &text)
{
    Line line;
    line.seq = ++lastSeq_;
    line.text = text;
    queue_.push_back(line);
    sendNext();
    return line.seq;
}

void EspeakSpeech::speakAsync(const QString &text)
{
    if (available() && !text.trimmed().isEmpty())
        enqueue(text);
}

void EspeakSpeech::speak(const QString &text)
{
    if (!available() || text.trimmed().isEmpty())
        return;
    const qint64 seq = enqueue(text);
    if (finishedSeq_ >= seq)
        return;
    // The desktop and the screen reader get every key meanwhile; the window holds back its own.
    QEventLoop loop;
    connect(this, &EspeakSpeech::progressed, &loop, [&] {
        if (finishedSeq_ >= seq)
            loop.quit();
    });
    loop.exec();
}

void EspeakSpeech::waitUntilQuiet()
{
    if (quiet())
        return;
    QEventLoop loop;
    connect(this, &EspeakSpeech::progressed, &loop, [&] {
        if (quiet())
            loop.quit();
    });
    loop.exec();
}

void EspeakSpeech::stop()
{
    if (queue_.empty())
        return;
    if (inFlight_ && queue_.front().playing)
        sink_->cut();
    // A line still being synthesised comes back stale and is thrown away.
    queue_.clear();
    finishedSeq_ = lastSeq_;
    inFlight_ = false;
    watchdog_.stop();
    emit progressed();
}

void EspeakSpeech::setVoiceStyle(const VoiceStyle &style)
{
    style_.takeSetParts(style);
}

void EspeakSpeech::sendNext()
{
    if (inFlight_ || queue_.empty())
        return;
    inFlight_ = true;
    Line &line = queue_.front();
    line.clock.start();
    const qint64 seq = line.seq;
    QMetaObject::invokeMethod(worker_, [this, seq, text = line.text, style = style_, render = render_] {
        const QByteArray samples = render(text, style);
        // Dropped unheard if the voice is gone by then.
        QMetaObject::invokeMethod(this, [this, seq, samples] { onRendered(seq, samples); }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    watchdog_.start();
}

void EspeakSpeech::onRendered(qint64 seq, const QByteArray &samples)
{
    if (!inFlight_ || queue_.front().seq != seq || queue_.front().playing)
        return;   // stopped, or given up, meanwhile
    if (samples.isEmpty()) {
        finishCurrent();
        return;
    }
    Line &line = queue_.front();
    line.playing = true;
    line.lengthMs = samples.size() / 2 * 1000 / qMax(sampleRate_, 1);
    line.clock.start();
    sink_->play(samples);
    checkProgress();
}

void EspeakSpeech::finishCurrent()
{
    if (!inFlight_ || queue_.empty())
        return;
    finishedSeq_ = queue_.front().seq;
    queue_.pop_front();
    inFlight_ = false;
    watchdog_.stop();
    sendNext();
    emit progressed();
}

void EspeakSpeech::checkProgress()
{
    if (!inFlight_ || queue_.empty())
        return;
    const Line &line = queue_.front();
    if (!line.playing) {
        if (line.clock.elapsed() > RenderLimitMs)
            finishCurrent();   // the synthesis is stuck: go on without this line
        return;
    }
    if (sink_->finished()) {
        finishCurrent();
    } else if (line.clock.elapsed() > line.lengthMs + PlaySlackMs) {
        // The device takes nothing: the line is given up rather than holding the user's keys.
        sink_->cut();
        finishCurrent();
    }
}
