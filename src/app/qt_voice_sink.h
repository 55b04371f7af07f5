#pragma once
#include "app/voice_sink.h"
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QAudioSink;
class QIODevice;

// The built-in voice through the default audio device, on a stream of its own beside the
// chart tone's: the sound server mixes the two, so a readout over a playing tone needs no
// mixing here, and each keeps its own sample format and timing. Fed from a timer like the
// tone, with a queue of about 90 ms, so a line that is cut stops within that time. With no
// device the voice cannot be heard and problem() says why.
class QtVoiceSink : public VoiceSink {
public:
    explicit QtVoiceSink(int sampleRate);
    ~QtVoiceSink() override;

    QString problem() const override { return problem_; }
    void play(const QByteArray &samples) override;
    void cut() override;
    bool finished() const override { return line_.isEmpty(); }

private:
    void feed();

    std::unique_ptr<QAudioSink> sink_;
    QIODevice *device_ = nullptr;
    QByteArray line_;      // what is still to be handed to the device
    qsizetype queueBytes_ = 0;
    QTimer feeder_;
    QElapsedTimer sinceTaken_;
    QString problem_;
};
