#include "sound/sound_save.h"
#include "data/data_set.h"
#include "data/file_write.h"
#include "ports/window_surface.h"
#include "sound/pace_clocks.h"
#include "sound/sonified_scan.h"
#include "sound/tone_generator.h"
#include "sound/wav_recorder.h"
#include "voice/speech.h"
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <optional>

namespace {

// "12", "0.5": tenths of a second, without a trailing ".0".
QString secondsText(qint64 samples)
{
    QString text = QString::number(std::round(double(samples) * 10 / ToneGenerator::SampleRate) / 10, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

// The tone and the scan's pace go to the recording for as long as this lives, then back to
// what they were, whatever way the scan ends.
class Redirect {
public:
    Redirect(ToneGenerator &tone, SonifiedScan &scan, AudioPort &audio, PaceClock &clock)
        : tone_(tone), scan_(scan), audio_(tone.audio()), clock_(scan.clock())
    {
        tone_.setAudio(audio);
        scan_.setClock(clock);
    }
    ~Redirect()
    {
        tone_.setAudio(audio_);
        scan_.setClock(clock_);
    }
    Redirect(const Redirect &) = delete;
    Redirect &operator=(const Redirect &) = delete;

private:
    ToneGenerator &tone_;
    SonifiedScan &scan_;
    AudioPort &audio_;
    PaceClock &clock_;
};

} // namespace

QString SoundSave::automaticName(const QString &loadedFileName)
{
    const QFileInfo data(loadedFileName);
    const QString name = data.dir().filePath(data.completeBaseName() + QLatin1String(".wav"));
    const bool namesDataFile = name == loadedFileName || (QFileInfo::exists(name) && QFileInfo(name) == data);
    if (!namesDataFile)
        return name;
    // The data file is itself a ".wav": the sound must not write over it.
    return data.dir().filePath(data.completeBaseName() + QLatin1String("-sound.wav"));
}

void SoundSave::mnuSaveSound()
{
    if (!data_.DataReady) {
        speech_.speak(QStringLiteral("Please load a file before saving its sound."));
        return;
    }
    const QString proposed = automaticName(data_.LoadedFileName);
    FileDialogRequest request;
    request.title = QStringLiteral("Save Sound");
    request.filter = QStringLiteral("WAV sound (*.wav)|*.wav");
    request.defaultSuffix = QStringLiteral("wav");
    request.initialPath = proposed;
    const auto answer = surface_.saveFileDialog(request);
    if (!answer || answer->trimmed().isEmpty())
        return;
    QString path = answer->trimmed();
    // A bare name goes into the folder the dialog proposed.
    if (QFileInfo(path).isRelative())
        path = QFileInfo(proposed).dir().filePath(path);
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".wav");
    saveSound(QDir::toNativeSeparators(QDir::cleanPath(path)));
}

void SoundSave::saveSound(const QString &path)
{
    if (saving_)
        return;   // a second request while the first one renders
    if (!data_.DataReady) {
        speech_.speak(QStringLiteral("Please load a file before saving its sound."));
        return;
    }
    if (const auto refused = FileWrite::refusedTarget(path)) {
        speakFailure(path, refused->description);
        return;
    }
    saving_ = true;
    VirtualPaceClock clock;
    WavRecorder recorder(path, clock, WavRecorder::Target::Whole);
    if (!recorder.isOpen()) {
        saving_ = false;
        speakFailure(path, FileWrite::failureOf(recorder.file()).description);
        return;
    }
    // A write that fails (a full disk) ends the scan: nothing more can reach the file.
    std::optional<QString> failure;
    bool scanning = true;
    recorder.onFailure = [&](const QString &) {
        failure = FileWrite::failureOf(recorder.file()).description;
        if (scanning)
            speech_.AbortRequested = true;
    };
    bool whole = false;
    {
        const Redirect redirect(tone_, scan_, recorder, clock);
        whole = scan_.mnuScan();
    }
    scanning = false;
    saving_ = false;
    if (!failure && whole && !recorder.finish() && !failure)
        failure = FileWrite::failureOf(recorder.file()).description;
    if (failure || !whole) {
        recorder.abandon();
        if (failure)
            speakFailure(path, *failure);
        else
            speech_.speak(QStringLiteral("The sound was not saved."));
        return;
    }
    speech_.speak(QStringLiteral("Saved ") + QFileInfo(path).fileName() + QStringLiteral(", ") +
                  secondsText(recorder.samplesWritten()) + QStringLiteral(" seconds of sound."));
}

void SoundSave::speakFailure(const QString &path, const QString &why)
{
    speech_.speak(QStringLiteral("The sound could not be saved to ") + path + QStringLiteral(". ") + why);
}
