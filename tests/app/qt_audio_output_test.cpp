#include "app/qt_audio_output.h"
#include "support/sound_server.h"
#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Plays through a real sound server: PulseAudio's null sink, which consumes 44100 bytes a
// second like a sound card.
TEST(QtAudioOutput, DevicePullsTheLoopingToneAndKeepsPullingAcrossRewrites)
{
    if (const QString problem = useSoundServer(); !problem.isEmpty())
        GTEST_SKIP() << problem.toStdString();
    for (int i = 0; i < 50 && QMediaDevices::defaultAudioOutput().isNull(); ++i)
        QTest::qWait(100);

    {
        QtAudioOutput out;
        ASSERT_TRUE(out.problem().isEmpty()) << out.problem().toStdString();
        out.createBuffer(4);
        out.writeBuffer("\x40\xc0\x40\xc0");
        out.playLooping();
        ASSERT_TRUE(out.problem().isEmpty()) << out.problem().toStdString();
        QTest::qWait(2500);   // audio starts flowing after about a second
        const qint64 first = out.bytesPulled();
        EXPECT_GT(first, 20000);

        out.createBuffer(100);
        out.writeBuffer(QByteArray(100, char(0x90)));
        QTest::qWait(1000);
        const qint64 second = out.bytesPulled();
        EXPECT_NEAR(double(second - first), 44100.0, 15000.0) << "pulled at the sample rate after the rewrite";

        out.stop();
        QTest::qWait(300);
        const qint64 stopped = out.bytesPulled();
        QTest::qWait(500);
        EXPECT_EQ(out.bytesPulled(), stopped);
    }
}

} // namespace
