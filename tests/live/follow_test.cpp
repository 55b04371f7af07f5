#include <cstring>
#include "../../tools/lmd_writer.h"
#include "session/state_line.h"
#include "session/viewer.h"
#include "support/fake_audio.h"
#include "support/fakes.h"
#include "support/files.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <numeric>
#include <gtest/gtest.h>

namespace {
constexpr double Start = 45372.875, Step = 1.0 / 86400;

// Records from row `from` on, one channel: row r holds values[r - from].
QByteArray records(int from, const std::vector<double> &values)
{
    QByteArray out(qsizetype(values.size()) * 16, Qt::Uninitialized);
    for (size_t i = 0; i < values.size(); ++i) {
        qToLittleEndian(Start + double(from + int(i)) * Step, out.data() + i * 16);
        qToLittleEndian(values[i], out.data() + i * 16 + 8);
    }
    return out;
}
std::vector<double> ramp(int from, int count)
{
    std::vector<double> v(static_cast<size_t>(count));
    std::iota(v.begin(), v.end(), double(from));
    return v;
}
} // namespace

class FollowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    FakeAudio audio;
    Viewer viewer{Ports{speech, surface, pump, settings}};
    QString path = dir.filePath(QStringLiteral("live.lmd"));
    QByteArray notes = lmd::storedNotes({}, 1, {}, {}, false);

    void SetUp() override { viewer.setAudioOutput(&audio); }
    void load()
    {
        int first = 0, last = 0;
        viewer.loader.LoadData(path, first, last);
        ASSERT_TRUE(viewer.data.DataReady);
    }
    void create(int rows)
    {
        QFile::remove(path);
        append(lmd::headerFor(1, notes, Start, Start).encode() + notes + records(0, ramp(0, rows)));
        load();
    }
    void append(const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(bytes);
    }
    bool waitFor(const std::function<bool()> &done, int ms = 3000)
    {
        for (QDeadlineTimer t(ms); !done() && !t.hasExpired(); QThread::msleep(2))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    void type(const QString &text)
    {
        viewer.commandText = text;
        viewer.keyPress(QStringLiteral("Return"));
    }
    int rows() const { return viewer.chart.rowCount(); }
    void settle(int ms)
    {
        QThread::msleep(ms);
        QCoreApplication::processEvents();
    }
};

TEST_F(FollowTest, AWriterInOddPiecesOfEightChannelsIsReadWholeAndExactly)
{
    QProcess writer;
    writer.start(QStringLiteral(LMDGEN_PATH), {"--live", "20", "--cycle", "40", "--channels", "8", "--pieces", "23", "--duration", "2", path});
    ASSERT_TRUE(waitFor([&] { return QFileInfo(path).size() > 156 + 8 * 72; }));
    load();
    viewer.chart.summary(7);   // built now, so the rows to come extend it
    type(QStringLiteral("FOLLOW"));
    EXPECT_TRUE(speech.spoken.contains(QStringLiteral("Following live.lmd.")));
    ASSERT_TRUE(waitFor([&] { return writer.state() == QProcess::NotRunning; }, 10000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().constData();
    const QByteArray bytes = readFile(path);
    const qint64 start = 156 + FileHeader::decode(bytes.constData()).NotesLength, whole = (bytes.size() - start) / 72;
    ASSERT_TRUE(waitFor([&] { return rows() == whole; })) << rows() << " of " << whole;
    // The records start at an odd offset after the notes, so each number is copied out.
    const auto d = [&](qint64 i) {
        double v;
        std::memcpy(&v, bytes.constData() + start + i * 8, 8);
        return v;
    };
    for (int r = 0; r < whole; ++r) {
        ASSERT_EQ(viewer.chart.GetTime(r), d(r * 9)) << r;
        for (int c = 0; c < 8; ++c)
            ASSERT_EQ(viewer.chart.GetValue(c, r), d(r * 9 + 1 + c)) << r << ' ' << c;
    }
    EXPECT_EQ(viewer.data.LastIndex, whole - 1);
    EXPECT_EQ(viewer.data.header.EndTime, d((whole - 1) * 9));
    // The summary grew with the rows: it agrees with a scan of them.
    double lo = INFINITY, hi = -INFINITY, min = 0, max = 0;
    MinMaxPyramid::scan(viewer.chart.column(7).data(), size_t(whole), lo, hi);
    viewer.chart.summary(7).range(viewer.chart.column(7).data(), 0, size_t(whole), min, max);
    EXPECT_EQ(min, lo);
    EXPECT_EQ(max, hi);
}

TEST_F(FollowTest, APartialRecordWaitsForItsRestAndThePollAloneFindsIt)
{
    viewer.live.follower.useWatcher = false;
    create(5);
    type(QStringLiteral("FOLLOW"));
    const QByteArray next = records(5, {50, 60});
    append(next.left(16 + 7));
    ASSERT_TRUE(waitFor([&] { return rows() == 6; }, 1500));
    settle(600);
    EXPECT_EQ(rows(), 6);
    append(next.mid(16 + 7));
    ASSERT_TRUE(waitFor([&] { return rows() == 7; }, 1500));
    EXPECT_EQ(viewer.chart.GetValue(0, 6), 60);
    EXPECT_EQ(viewer.data.header.EndTime, Start + 6 * Step);
}

TEST_F(FollowTest, AShorterOrReplacedFileStopsFollowingAndKeepsTheRows)
{
    const QString stopped = QStringLiteral("live.lmd was replaced or cut short; following stopped.");
    for (bool replace : {false, true}) {
        speech.spoken.clear();
        create(5);
        type(QStringLiteral("FOLLOW"));
        append(records(5, {5, 6}));
        ASSERT_TRUE(waitFor([&] { return rows() == 7; }));
        if (replace) {
            const QString other = dir.filePath(QStringLiteral("other.lmd"));
            ASSERT_TRUE(QFile::copy(path, other));
            ASSERT_TRUE(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()) == 0);
        } else {
            ASSERT_TRUE(QFile::resize(path, 156 + notes.size() + 6 * 16));
        }
        ASSERT_TRUE(waitFor([&] { return speech.spoken.contains(stopped); })) << replace;
        EXPECT_EQ(rows(), 7);
        EXPECT_TRUE(stateLine(viewer).contains(QStringLiteral(" following=0 ")));
        append(records(7, {7}));
        settle(600);
        EXPECT_EQ(rows(), 7);
    }
}

TEST_F(FollowTest, TheViewKeepsItsWidthAndShowsTheNewestSampleWhileAutoScrollIsOn)
{
    type(QStringLiteral("FOLLOW"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("No file loaded."));
    create(100);
    type(QStringLiteral("FOLLOW"));
    EXPECT_TRUE(viewer.chart.AutoScrollEnabled);
    EXPECT_TRUE(surface.isChecked(QStringLiteral("mnuFollowFile")));
    const double width = viewer.chart.XAxisMax() - viewer.chart.XAxisMin();
    append(records(100, ramp(100, 10)));
    ASSERT_TRUE(waitFor([&] { return viewer.chart.XAxisMax() == Start + 109 * Step; }));
    EXPECT_NEAR(viewer.chart.XAxisMax() - viewer.chart.XAxisMin(), width, 1e-9);
    viewer.actions.run(QStringLiteral("cmdAutoScrollEnable"));   // the user looks back
    append(records(110, ramp(110, 10)));
    ASSERT_TRUE(waitFor([&] { return rows() == 120; }));
    settle(150);
    EXPECT_EQ(viewer.chart.XAxisMax(), Start + 109 * Step);
    viewer.actions.run(QStringLiteral("cmdAutoScrollEnable"));
    EXPECT_TRUE(waitFor([&] { return viewer.chart.XAxisMax() == Start + 119 * Step; }));
    type(QStringLiteral("FOLLOW"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Stopped following."));
    EXPECT_FALSE(surface.isChecked(QStringLiteral("mnuFollowFile")));
}

TEST_F(FollowTest, ListenTunesToTheNewestSampleInTheViewsRangeUntilEscape)
{
    create(5);
    viewer.tone.FrequencyMode = true;
    viewer.chart.setYAxisMin(2);
    viewer.chart.setYAxisMax(12);
    type(QStringLiteral("FOLLOW"));
    type(QStringLiteral("LISTEN"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Listening to channel 1."));
    viewer.chart.AutoScrollEnabled = false;   // keeps the Y range as set
    append(records(5, {7}));
    ASSERT_TRUE(waitFor([&] { return rows() == 6; }));
    EXPECT_EQ(viewer.tone.ToneFrequency, ToneGenerator::frequencyForLevel(500));
    EXPECT_TRUE(audio.playing);
    type(QStringLiteral("AM"));   // loudness now, on the carrier of a scan
    append(records(6, {9.5}));
    ASSERT_TRUE(waitFor([&] { return viewer.tone.VolumeLevel == 750; }));
    EXPECT_EQ(viewer.tone.ToneFrequency, ToneGenerator::frequencyForLevel(200));
    viewer.keyPress(QStringLiteral("Escape"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Stopped listening."));
    EXPECT_FALSE(audio.playing);
}

TEST_F(FollowTest, TheAlarmSoundsOnAnUpwardCrossingAtMostOnceInTenSeconds)
{
    create(5);   // the last value, 4, is above the level: no crossing yet
    type(QStringLiteral("FOLLOW"));
    type(QStringLiteral("ALARM"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Enter the alarm level for channel 1, or Escape to clear the alarm."));
    type(QStringLiteral("high"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("high is not a number; the alarm is unchanged."));
    type(QStringLiteral("ALARM 2.5"));
    EXPECT_TRUE(stateLine(viewer).contains(QStringLiteral(" following=1 listening=0 alarm=2.5 ")));
    const auto alarms = [&] { return speech.spoken.filter(QStringLiteral("Alarm: ")); };
    append(records(5, {4, 2.5, 2.5}));
    ASSERT_TRUE(waitFor([&] { return rows() == 8; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(alarms().isEmpty());
    append(records(8, {3}));
    ASSERT_TRUE(waitFor([&] { return alarms().size() == 1; }));
    EXPECT_EQ(alarms().first(), QStringLiteral("Alarm: channel 1 above 2.5 at 21:00:08"));
    EXPECT_EQ(audio.created.last(), int(audio.buffer.size()));   // the earcon
    append(records(9, {1, 3}));
    ASSERT_TRUE(waitFor([&] { return rows() == 11; }));
    settle(20);
    EXPECT_EQ(alarms().size(), 1);
    type(QStringLiteral("ALARM"));
    viewer.keyPress(QStringLiteral("Escape"));
    EXPECT_TRUE(stateLine(viewer).contains(QStringLiteral(" alarm= ")));
}

TEST(MinMaxPyramidGrowth, ExtendingInOddStepsEqualsBuildingOnceOverAllRows)
{
    std::vector<double> v(70001);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = i % 997 == 0 ? std::nan("") : std::sin(double(i) * 0.37) * double(i % 1013);
    MinMaxPyramid grown, built;
    built.build(v.data(), v.size());
    for (size_t n = 0; n < v.size(); n = std::min(v.size(), n + 1 + n / 3))
        grown.extend(v.data(), n + 1);
    grown.extend(v.data(), v.size());
    auto *rng = QRandomGenerator::global();
    for (int k = 0; k < 2000; ++k) {
        const size_t a = rng->bounded(quint32(v.size() + 1)), b = rng->bounded(quint32(v.size() + 1));
        double min1, max1, min2, max2;
        built.range(v.data(), std::min(a, b), std::max(a, b), min1, max1);
        grown.range(v.data(), std::min(a, b), std::max(a, b), min2, max2);
        ASSERT_EQ(min1, min2) << a << ' ' << b;
        ASSERT_EQ(max1, max2) << a << ' ' << b;
    }
}
