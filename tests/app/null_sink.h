#pragma once
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include "support/sound_server.h"
#include <cmath>
#include <unistd.h>
#include <vector>

// A sink of the test's own on the tests' sound server: it consumes sound like a sound card and
// is heard by nobody, and nothing else plays into it.
class NullSink {
public:
    // Empty when the sink is ready; otherwise why the test cannot run here.
    QString start()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
            return QStringLiteral("needs pactl and parec");
        if (const QString problem = useSoundServer(); !problem.isEmpty())
            return problem;
        name_ = QStringLiteral("lumora_test_%1").arg(getpid());
        QProcess load;
        load.start(QStringLiteral("pactl"), {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                             QStringLiteral("sink_name=") + name_});
        load.waitForFinished(10000);
        module_ = QString::fromLatin1(load.readAllStandardOutput()).trimmed();
        if (load.exitCode() != 0 || module_.isEmpty())
            return QStringLiteral("the null sink could not be loaded");
        for (int i = 0; i < 50; ++i) {
            for (const QAudioDevice &device : QMediaDevices::audioOutputs()) {
                if (device.id() == id())
                    return {};
            }
            QTest::qWait(100);
        }
        return QStringLiteral("the null sink did not appear");
    }
    ~NullSink()
    {
        if (!module_.isEmpty())
            QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("unload-module"), module_});
    }
    QByteArray id() const { return name_.toUtf8(); }

private:
    QString name_;
    QString module_;
};

// What reaches a sink, recorded from its monitor in 20 ms frames, each dated on the test's
// clock by when it arrived (so a frame's time includes the server's and the recorder's
// latency, a few tens of milliseconds).
class SinkRecording {
public:
    ~SinkRecording()
    {
        proc_.kill();
        proc_.waitForFinished(2000);
    }
    bool start(const QByteArray &sink, const QElapsedTimer &clock)
    {
        clock_ = &clock;
        proc_.start(QStringLiteral("parec"), {QStringLiteral("-d"), QString::fromUtf8(sink) + QStringLiteral(".monitor"),
                                              QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                                              QStringLiteral("--rate=%1").arg(Rate), QStringLiteral("--channels=1"),
                                              QStringLiteral("--latency-msec=20")});
        return proc_.waitForStarted(5000);
    }
    // Takes in what has arrived; call it often.
    void poll()
    {
        pending_ += proc_.readAllStandardOutput();
        const double now = double(clock_->nsecsElapsed()) / 1e6;
        const qsizetype frameBytes = 2 * FrameSamples;
        const qsizetype whole = pending_.size() / frameBytes;
        for (qsizetype f = 0; f < whole; ++f) {
            const auto *s = reinterpret_cast<const qint16 *>(pending_.constData() + f * frameBytes);
            double sum = 0;
            for (int i = 0; i < FrameSamples; ++i)
                sum += double(s[i]) * s[i];
            const double endMs = now - double((whole - 1 - f) * FrameSamples) * 1000 / Rate;
            frames_.push_back({endMs, std::sqrt(sum / FrameSamples) > Threshold});
        }
        pending_.remove(0, whole * frameBytes);
    }
    // Waits until the recording delivers sound data.
    bool waitForData(int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            QTest::qWait(20);
            poll();
            if (!frames_.empty())
                return true;
        }
        return false;
    }
    // Share of the frames ending between the two times (ms) that carried sound; -1 if none.
    double soundingShare(double fromMs, double toMs) const
    {
        int all = 0, sounding = 0;
        for (const Frame &f : frames_) {
            if (f.endMs >= fromMs && f.endMs <= toMs) {
                ++all;
                sounding += f.sounding;
            }
        }
        return all ? double(sounding) / all : -1;
    }

private:
    static constexpr int Rate = 16000;
    static constexpr int FrameSamples = Rate / 50;
    static constexpr double Threshold = 300;   // of 32767: far above silence, far below a tone
    struct Frame {
        double endMs;
        bool sounding;
    };
    QProcess proc_;
    const QElapsedTimer *clock_ = nullptr;
    QByteArray pending_;
    std::vector<Frame> frames_;
};
