#include "app/qt_audio_output.h"
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <cstring>

namespace {
constexpr int SampleRate = 44100;
// About 90 ms queued in the device: short enough that a retune is heard at once, long
// enough to ride over the pauses between event-loop passes.
constexpr qsizetype SinkBufferBytes = 4096;
constexpr char Silence = char(0x80);
}

// Endless stream of the current buffer, read from the position where the last read ended.
class QtAudioOutput::LoopDevice : public QIODevice {
public:
    QByteArray buffer;
    qint64 position = 0;
    qint64 pulled = 0;

    void replace(const QByteArray &bytes)
    {
        buffer = bytes;
        position = buffer.isEmpty() ? 0 : position % buffer.size();
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return SinkBufferBytes + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (buffer.isEmpty()) {
            std::memset(data, Silence, size_t(max));
        } else {
            for (qint64 done = 0; done < max;) {
                const qint64 n = qMin(max - done, buffer.size() - position);
                std::memcpy(data + done, buffer.constData() + position, size_t(n));
                done += n;
                position = (position + n) % buffer.size();
            }
        }
        pulled += max;
        return max;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

QtAudioOutput::QtAudioOutput() : loop_(std::make_unique<LoopDevice>())
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
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
    sink_->setBufferSize(SinkBufferBytes);
    loop_->open(QIODevice::ReadOnly);
}

QtAudioOutput::~QtAudioOutput()
{
    if (sink_)
        sink_->stop();
}

void QtAudioOutput::createBuffer(int length)
{
    loop_->replace(QByteArray(qMax(length, 0), Silence));
}

void QtAudioOutput::writeBuffer(const QByteArray &bytes)
{
    loop_->replace(bytes);
}

void QtAudioOutput::playLooping()
{
    if (!sink_ || sink_->state() == QAudio::ActiveState || sink_->state() == QAudio::IdleState)
        return;
    sink_->start(loop_.get());
    // An open error raises no state change: look right away.
    if (sink_->error() != QAudio::NoError) {
        problem_ = QStringLiteral("The sound output device could not be started. The chart sound is silent.");
        sink_.reset();
    }
}

void QtAudioOutput::stop()
{
    if (sink_)
        sink_->stop();
}

qint64 QtAudioOutput::bytesPulled() const
{
    return loop_->pulled;
}
