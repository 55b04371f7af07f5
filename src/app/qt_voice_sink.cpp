#include "app/qt_voice_sink.h"
#include "app/audio_stall.h"
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {
constexpr int FeedIntervalMs = 10;
} // namespace

QtVoiceSink::QtVoiceSink(int sampleRate)
{
    feeder_.setInterval(FeedIntervalMs);
    feeder_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feeder_, &QTimer::timeout, [this] { feed(); });
    // About 90 ms of sound, a whole number of samples.
    queueBytes_ = qsizetype(sampleRate) * 2 * 90 / 1000 / 2 * 2;

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        problem_ = QStringLiteral("No sound device was found.");
        return;
    }
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        problem_ = QStringLiteral("The sound output device cannot play the voice.");
        return;
    }
    sink_ = std::make_unique<QAudioSink>(device, format);
    QObject::connect(sink_.get(), &QAudioSink::stateChanged, [this](QAudio::State state) {
        if (state == QAudio::StoppedState)
            device_ = nullptr;   // a lost sound server took the stream with it
    });
}

QtVoiceSink::~QtVoiceSink()
{
    feeder_.stop();
    if (sink_)
        sink_->stop();
}

void QtVoiceSink::play(const QByteArray &samples)
{
    line_.clear();
    if (!sink_ || samples.isEmpty())
        return;
    if (!device_) {
        sink_->setBufferSize(queueBytes_);
        device_ = sink_->start();
        if (!device_ || sink_->error() != QAudio::NoError) {
            problem_ = QStringLiteral("The sound output device could not be started.");
            device_ = nullptr;
            return;
        }
    } else if (sink_->state() == QAudio::SuspendedState) {
        sink_->resume();
    }
    // A queue's worth of silence after the words: a short line then still fills the queue
    // the stream waits for before it plays, and once it is handed over, the words have
    // been heard.
    line_ = samples + QByteArray(queueBytes_, '\0');
    sinceTaken_.start();
    feed();
    feeder_.start();
}

void QtVoiceSink::cut()
{
    // What the device holds (under 90 ms) plays out; nothing more is handed over.
    line_.clear();
    feeder_.stop();
}

void QtVoiceSink::feed()
{
    if (!device_ || line_.isEmpty()) {
        line_.clear();
        feeder_.stop();
        return;
    }
    const qsizetype free = sink_->bytesFree();
    if (free <= 0) {
        restartStalledStream(*sink_, sinceTaken_);
        return;
    }
    const qint64 written = device_->write(line_.constData(), qMin(free, line_.size()) & ~qsizetype(1));
    if (written > 0) {
        sinceTaken_.start();
        line_.remove(0, written);
    }
    if (line_.isEmpty())
        feeder_.stop();
}
