#include "app/console_process.h"
#include <QFile>
#include <QProcess>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct ConsoleScan : ::testing::Test {
    QTemporaryDir home;
    QString data = home.filePath(QStringLiteral("ramp.lmd"));

    void makeRamp(int rows)
    {
        QProcess gen;
        gen.start(QStringLiteral(LMDGEN_PATH), {QStringLiteral("--signal"), QStringLiteral("ramp"), QStringLiteral("--noise"),
                                                QStringLiteral("0"), QStringLiteral("--rows"), QString::number(rows), data});
        ASSERT_TRUE(gen.waitForFinished(60000));
        ASSERT_EQ(gen.exitCode(), 0);
    }

    // Runs the console on the ramp with `options`, feeding `input`; returns standard output.
    QString run(const QStringList &options, const QByteArray &input)
    {
        return ConsoleProcess::run(home, QStringList(options) << data, input, 30000);
    }
};

// A scan of a rising ramp at 50 steps per second, recorded to a WAV file: each step is
// exactly 882 samples, and its pitch is measured by counting zero crossings.
TEST_F(ConsoleScan, RecordedPitchRisesWithTheRamp)
{
    constexpr int Rows = 101;
    makeRamp(Rows);
    const QString wav = home.filePath(QStringLiteral("scan.wav"));
    const QString out = run({QStringLiteral("--scan-speed"), QStringLiteral("50"), QStringLiteral("--wav"), wav}, "SCAN\n:state\n");
    EXPECT_TRUE(out.contains(QStringLiteral("say: Chart Sound Off."))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral(" sound_on=0 "))) << out.toStdString();

    QFile file(wav);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray samples = file.readAll().mid(44);
    // The silent start-up tone sounds for one buffer, then each of the 99 steps for 1/50 s.
    constexpr int Step = 882, Lead = 4096, Steps = Rows - 2;
    ASSERT_EQ(samples.size(), Lead + Steps * Step);

    int lastHz = 0;
    for (int k = 1; k <= Steps; ++k) {
        const char *step = samples.constData() + Lead + (k - 1) * Step;
        int crossings = 0;
        for (int i = 1; i < Step; ++i)
            crossings += (static_cast<unsigned char>(step[i - 1]) < 128) != (static_cast<unsigned char>(step[i]) < 128);
        const double measured = crossings * 44100.0 / (2.0 * Step);
        const double level = double(k) / (Rows - 1);
        const double expected = 22049 * level * std::log2(1 + level) + 1;
        // Below 200 Hz a step holds too few periods to count; above 8 kHz too few samples per period.
        if (expected < 200 || expected > 8000)
            continue;
        EXPECT_NEAR(measured, expected, std::max(60.0, 0.05 * expected)) << "step " << k;
        EXPECT_GE(measured + 60, lastHz) << "step " << k;
        lastHz = int(measured);
    }
    EXPECT_GT(lastHz, 7000);
}

// The sound saved by the typed SAVESOUND and by File > Save Sound holds the same samples as the
// console's recording of the same scan; the end of input stops a save as it stops a scan.
TEST_F(ConsoleScan, SavedSoundIsTheRecordedScan)
{
    constexpr int Rows = 60;
    makeRamp(Rows);
    const QStringList speed = {QStringLiteral("--scan-speed"), QStringLiteral("50")};
    const QString recorded = home.filePath(QStringLiteral("recorded.wav"));
    run(QStringList(speed) << QStringLiteral("--wav") << recorded, "SCAN\n:state\n");

    QString out = run(speed, "SAVESOUND\n\n:state\n");
    EXPECT_TRUE(out.contains(QStringLiteral("say: Enter a file name for the sound, or press Enter to save it beside the data file.\n")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("say: Saved ramp.wav, 1.3 seconds of sound.\n"))) << out.toStdString();
    out = run(speed, ":click mnuSaveSound\nmenu\n:state\n");
    EXPECT_TRUE(out.contains(QStringLiteral("say: Saved menu.wav, 1.3 seconds of sound.\n"))) << out.toStdString();

    auto bytes = [this](const char *name) {
        QFile f(home.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray expected = bytes("recorded.wav");
    ASSERT_EQ(expected.size(), 44 + 4096 + (Rows - 2) * 882);
    EXPECT_TRUE(bytes("ramp.wav") == expected);
    EXPECT_TRUE(bytes("menu.wav") == expected);

    out = run(speed, "SAVESOUND\nended\n");
    EXPECT_TRUE(out.contains(QStringLiteral("say: The sound was not saved.\n"))) << out.toStdString();
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("ended.wav"))));
}

} // namespace
