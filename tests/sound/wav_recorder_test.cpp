#include "sound/pace_clocks.h"
#include "sound/wav_recorder.h"
#include "support/files.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

struct WavRecorderTest : ::testing::Test {
    QTemporaryDir dir;
    VirtualPaceClock clock;
    QString path = dir.filePath(QStringLiteral("tone.wav"));

    // The samples after the header, checking the header on the way.
    QByteArray samples()
    {
        const QByteArray all = readFile(path);
        EXPECT_GE(all.size(), 44);
        EXPECT_EQ(all.left(4), "RIFF");
        EXPECT_EQ(all.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 24), 44100u);
        EXPECT_EQ(qFromLittleEndian<quint16>(all.constData() + 34), 8u);
        EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 40), quint32(all.size() - 44));
        EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 4), quint32(all.size() - 8));
        return all.mid(44);
    }
};

TEST_F(WavRecorderTest, EachBufferLastsUntilTheNextChange)
{
    {
        WavRecorder wav(path, clock);
        ASSERT_TRUE(wav.isOpen());
        wav.createBuffer(4);
        wav.writeBuffer("abcd");
        wav.playLooping();
        clock.sleepUs(10000);                 // 441 samples of "abcd" looping
        wav.writeBuffer("wxyz");              // takes over at the read position (441 % 4 = 1)
        wav.writeBuffer("0123");              // replaced at once: still heard for one buffer
        clock.sleepUs(20000);                 // 882 samples
        wav.stop();
        clock.sleepUs(1000);                  // 44 samples of silence
        wav.playLooping();
    }   // the last buffer again for one buffer's length
    const QByteArray s = samples();
    ASSERT_EQ(s.size(), 441 + 4 + 882 + 44 + 4);
    EXPECT_EQ(s.left(8), "abcdabcd");
    EXPECT_EQ(s.mid(440, 1), "a");
    EXPECT_EQ(s.mid(441, 4), "xyzw");
    EXPECT_EQ(s.mid(445, 4), "1230");
    EXPECT_EQ(s.mid(445 + 882, 44), QByteArray(44, char(0x80)));
    EXPECT_EQ(s.right(4), "3012");   // resumed where it stopped
}

} // namespace
