#include "app/qt_audio_output.h"
#include "app/audio_stall.h"
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {
constexpr int SampleRate = 44100;
// About 90 ms queued in the device: short enough that a retune is heard at once, long
// enough to ride over the pauses between event-loop passes.
constexpr qsizetype SinkBufferBytes = 4096;
// Well inside the queue's length, so it never runs dry while events are handled.
constexpr int FeedIntervalMs = 10;
constexpr char Silence = char(0x80);
}

QtAudioOutput::QtAudioOutput(const QByteArray &deviceId)
{
    feeder_.setInterval(FeedIntervalMs);
    feeder_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feeder_, &QTimer::timeout, [this] { feed(); });

    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    for (const QAudioDevice &output : QMediaDevices::audioOutputs()) {
        if (!deviceId.isEmpty() && output.id() == deviceId)
            device = output;
    }
    if (device.isNull()) {
        problem_ = QStringLiteral("No sound output device was found. The chart sound is silent.");
        return;
    }
    QAudioFormat format;
    format.setSampleRate(SampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::UInt8);
    if (!device.isFormatSupported(format)) {
        problem_ = QStringLiteral("The sound output device cannot play the chart sound. The chart sound is silent.");
        return;
    }
    sink_ = std::make_unique<QAudioSink>(device, format);
    // A lost sound server closes the stream, and with it the device it gave out.
    QObject::connect(sink_.get(), &QAudioSink::stateChanged, [this](QAudio::State state) {
        if (state == QAudio::StoppedState) {
            feeder_.stop();
            device_ = nullptr;
        }
    });
}

QtAudioOutput::~QtAudioOutput()
{
    feeder_.stop();
    if (sink_)
        sink_->stop();
}

void QtAudioOutput::createBuffer(int length)
{
    // A new buffer plays from its start: a short sound must be heard whole.
    writeBuffer(QByteArray(qMax(length, 0), Silence));
    position_ = 0;
}

void QtAudioOutput::writeBuffer(const QByteArray &bytes)
{
    buffer_ = bytes;
    position_ = buffer_.isEmpty() ? 0 : position_ % buffer_.size();
}

void QtAudioOutput::playLooping()
{
    if (!sink_ || feeder_.isActive())
        return;
    if (device_ && sink_->state() == QAudio::SuspendedState) {
        sink_->resume();
    } else if (!device_) {
        // The sink is fed from here rather than left to pull: pulled in small pieces, the
        // sound server's queue can stop short of the fill it waits for before it plays, and
        // then the stream stays silent for good. The size is asked for again at each start,
        // as the sink keeps the last size the server granted, which is smaller each time.
        sink_->setBufferSize(SinkBufferBytes);
        device_ = sink_->start();
        // An open error raises no state change: look right away.
        if (!device_ || sink_->error() != QAudio::NoError) {
            problem_ = QStringLiteral("The sound output device could not be started. The chart sound is silent.");
            device_ = nullptr;
            sink_.reset();
            return;
        }
    }
    sinceTaken_.start();
    feed();
    feeder_.start();
}

void QtAudioOutput::stop()
{
    feeder_.stop();
    // Paused, not closed: the tone stops at once and the next one starts at once.
    if (device_ && (sink_->state() == QAudio::ActiveState || sink_->state() == QAudio::IdleState))
        sink_->suspend();
}

void QtAudioOutput::feed()
{
    if (!device_)
        return;
    const qsizetype free = sink_->bytesFree();
    if (free <= 0) {
        restartStalledStream(*sink_, sinceTaken_);
        return;
    }
    sinceTaken_.start();
    QByteArray chunk(free, Silence);
    if (!buffer_.isEmpty()) {
        for (qsizetype done = 0; done < free;) {
            const qsizetype n = qMin(free - done, qsizetype(buffer_.size() - position_));
            std::copy_n(buffer_.constData() + position_, n, chunk.data() + done);
            done += n;
            position_ = (position_ + n) % buffer_.size();
        }
    }
    pulled_ += device_->write(chunk);
}
