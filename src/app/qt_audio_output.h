#pragma once
#include "ports/audio_port.h"
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QAudioSink;
class QIODevice;

// The chart's tone through the default audio device. A timer tops the sound server's queue up
// to its full length from a loop over the current buffer, so a new buffer takes over at the
// read position without a gap. The stream opens once and is paused between tones, so each
// tone starts without waiting for the server to take in a new stream. With no device, or one
// that fails to start, the tone is silent and problem() says why.
class QtAudioOutput : public AudioPort {
public:
    // An empty id means the desktop's default output.
    explicit QtAudioOutput(const QByteArray &deviceId = {});
    ~QtAudioOutput() override;

    void createBuffer(int length) override;
    void writeBuffer(const QByteArray &bytes) override;
    void playLooping() override;
    void stop() override;
    QString problem() const override { return problem_; }

    // Bytes handed to the sound device so far (a check that it really takes them).
    qint64 bytesPulled() const { return pulled_; }
    bool playing() const { return feeder_.isActive(); }

private:
    void feed();

    QByteArray buffer_;
    qint64 position_ = 0;
    qint64 pulled_ = 0;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice *device_ = nullptr;   // the sink's input while playing
    QTimer feeder_;
    QElapsedTimer sinceTaken_;   // since the server last took bytes
    QString problem_;
};
