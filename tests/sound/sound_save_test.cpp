#include "sound/sound_save.h"
#include "sound_fixture.h"
#include "support/files.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

class SoundSaveTest : public SoundFixture {
protected:
    QTemporaryDir dir;
    QString data = dir.filePath(QStringLiteral("obs.lmd"));

    void SetUp() override
    {
        SoundFixture::SetUp();
        setSamples({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 90});   // 10 steps of a scan
        viewer.data.LoadedFileName = data;
        scan.ScanSpeed = 20;
    }
    void type(const QString &text)
    {
        viewer.commandText = text;
        viewer.keyPress(QStringLiteral("Return"));
    }
};

// Enter saves NAME.wav beside the data file: the scan at its speed, the tone going into the
// file while the sound device hears nothing, and the device gets the tone back afterwards.
TEST_F(SoundSaveTest, TypedEnterSavesTheScanBesideTheDataFile)
{
    audio.playing = false;
    const int writesBefore = audio.writes;
    bool devicePlayedDuringSave = false;
    QObject::connect(&viewer.chart, &StripChartModel::cursorChanged, &viewer.chart,
                     [&] { devicePlayedDuringSave = devicePlayedDuringSave || audio.playing; });

    type(QStringLiteral("SAVESOUND"));
    EXPECT_TRUE(speech.spoken.contains(QStringLiteral("Enter a file name for the sound, or press Enter to save it beside the data file.")));
    type(QString());

    const QByteArray wav = readFile(dir.filePath(QStringLiteral("obs.wav")));
    // One buffer of the tone as it was, then 10 steps of 1/20 s each.
    constexpr int Lead = 4096, Steps = 10, Step = 44100 / 20;
    ASSERT_EQ(wav.size(), 44 + Lead + Steps * Step);
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Saved obs.wav, 0.6 seconds of sound."));
    EXPECT_FALSE(devicePlayedDuringSave);
    EXPECT_EQ(&tone.audio(), &audio);
    EXPECT_EQ(&scan.clock(), &clock);
    EXPECT_GT(audio.writes, writesBefore);   // the device has the current tone again
}

// A typed bare name goes beside the data file and gets ".wav"; the dialog proposes NAME.wav.
TEST_F(SoundSaveTest, NamesAndTheDialog)
{
    type(QStringLiteral("SAVESOUND"));
    type(QStringLiteral("mine"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("mine.wav"))));

    surface.dialogAnswers.push_back(QStringLiteral("other"));
    viewer.actions.run(QStringLiteral("mnuSaveSound"));
    ASSERT_EQ(surface.dialogs.size(), 1);
    EXPECT_EQ(surface.dialogs[0].initialPath, dir.filePath(QStringLiteral("obs.wav")));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("other.wav"))), readFile(dir.filePath(QStringLiteral("mine.wav"))));

    // The automatic name sits beside the data file and never over it.
    EXPECT_EQ(SoundSave::automaticName(QStringLiteral("/d/a.b.lmd")), QStringLiteral("/d/a.b.wav"));
    EXPECT_EQ(SoundSave::automaticName(QStringLiteral("/d/scan.wav")), QStringLiteral("/d/scan-sound.wav"));

    // Cancelled: nothing is saved or said.
    speech.spoken.clear();
    viewer.actions.run(QStringLiteral("mnuSaveSound"));
    EXPECT_TRUE(speech.spoken.isEmpty());
}

// Escape during the scan saves nothing and leaves an earlier file as it was.
TEST_F(SoundSaveTest, EscapeLeavesTheEarlierFile)
{
    const QString target = dir.filePath(QStringLiteral("obs.wav"));
    writeFile(target, "earlier");
    for (int i = 0; i < 6; ++i)
        pump.script.push_back([] {});
    pump.script.push_back([this] { viewer.keyPress(QStringLiteral("Escape")); });
    viewer.soundSave.saveSound(target);
    EXPECT_EQ(readFile(target), "earlier");
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("The sound was not saved."));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left";
    EXPECT_EQ(&tone.audio(), &audio);
}

// No file loaded, or a pipe: refused with a reason, nothing created.
TEST_F(SoundSaveTest, RefusedTargets)
{
    const QString pipe = dir.filePath(QStringLiteral("pipe.wav"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    viewer.soundSave.saveSound(pipe);
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("The sound could not be saved to ") + pipe + QStringLiteral(". It is not a regular file."));
    EXPECT_FALSE(scan.ScanStarted) << "no scan ran";

    viewer.data.DataReady = false;
    viewer.soundSave.saveSound(dir.filePath(QStringLiteral("x.wav")));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Please load a file before saving its sound."));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.wav"))));
}

} // namespace
