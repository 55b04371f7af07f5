#pragma once
#include "support/sound_server.h"
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
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
        if (QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty() || QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
            return QStringLiteral("needs pactl and parec");
        if (const QString problem = useSoundServer(); !problem.isEmpty())
            return problem;
        name_ = QStringLiteral("lumora_test_%1").arg(getpid());
        QProcess load;
        load.start(QStringLiteral("pactl"), {"load-module", "module-null-sink", "sink_name=" + name_});
        load.waitForFinished(10000);
        module_ = QString::fromLatin1(load.readAllStandardOutput()).trimmed();
        if (load.exitCode() != 0 || module_.isEmpty())
            return QStringLiteral("the null sink could not be loaded");
        const auto present = [this] {
            const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
            return std::any_of(outputs.begin(), outputs.end(), [this](const QAudioDevice &d) { return d.id() == id(); });
        };
        return QTest::qWaitFor(present, 5000) ? QString() : QStringLiteral("the null sink did not appear");
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
    bool start(const QByteArray &sink, const QElapsedTimer &clock)
    {
        clock_ = &clock;
        proc_.start(QStringLiteral("parec"), {"-d", QString::fromUtf8(sink) + ".monitor", "--raw", "--format=s16le",
                                              QStringLiteral("--rate=%1").arg(Rate), "--channels=1", "--latency-msec=20"});
        return proc_.waitForStarted(5000);
    }
    // Takes in what has arrived; call it often.
    void poll()
    {
        pending_ += proc_.readAllStandardOutput();
        const double now = double(clock_->nsecsElapsed()) / 1e6;
        const qsizetype frameBytes = 2 * FrameSamples, whole = pending_.size() / frameBytes;
        for (qsizetype f = 0; f < whole; ++f) {
            const auto *s = reinterpret_cast<const qint16 *>(pending_.constData() + f * frameBytes);
            double sum = 0;
            for (int i = 0; i < FrameSamples; ++i)
                sum += double(s[i]) * s[i];
            frames_.push_back({now - double((whole - 1 - f) * FrameSamples) * 1000 / Rate, std::sqrt(sum / FrameSamples) > Threshold});
        }
        pending_.remove(0, whole * frameBytes);
    }
    // Waits until the recording delivers sound data.
    bool waitForData(int timeoutMs)
    {
        return QTest::qWaitFor([this] { poll(); return !frames_.empty(); }, timeoutMs);
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
