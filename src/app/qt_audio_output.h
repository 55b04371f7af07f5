#pragma once
#include "ports/audio_port.h"
#include <QIODevice>
#include <memory>

class QAudioSink;

// The chart's tone through the default audio device: a QAudioSink pulls from a device that
// loops the current buffer, so a new buffer takes over at the read position without a gap.
// With no device, or one that fails to start, the tone is silent and problem() says why.
class QtAudioOutput : public AudioPort {
public:
    QtAudioOutput();
    ~QtAudioOutput() override;

    void createBuffer(int length) override;
    void writeBuffer(const QByteArray &bytes) override;
    void playLooping() override;
    void stop() override;
    QString problem() const override { return problem_; }

    // Bytes handed to the sound device so far (a check that it really pulls).
    qint64 bytesPulled() const;

private:
    class LoopDevice;
    std::unique_ptr<LoopDevice> loop_;
    std::unique_ptr<QAudioSink> sink_;
    QString problem_;
};
