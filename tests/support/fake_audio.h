#pragma once
#include "ports/audio_port.h"
#include <QList>

// Remembers what the tone generator asked of the sound device.
struct FakeAudio : AudioPort {
    QList<int> created;       // lengths of the buffers created, in order
    QByteArray buffer;        // the bytes written last
    int writes = 0;
    bool playing = false;
    QString problemText;

    void createBuffer(int length) override { created << length; }
    void writeBuffer(const QByteArray &bytes) override
    {
        buffer = bytes;
        ++writes;
    }
    void playLooping() override { playing = true; }
    void stop() override { playing = false; }
    QString problem() const override { return problemText; }
};
