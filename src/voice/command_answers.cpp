// The answers to the command box's prompts: what Enter does while PendingCommand names one.
#include "ports/message_pump.h"
#include "session/viewer.h"
#include "sound/sound_save.h"
#include "voice/answer_parsing.h"
#include "voice/command_box.h"
#include "voice/number_forms.h"
#include "voice/voice_settings.h"
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <optional>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

// A typed time of day placed on the first sample's day, or on the next day when it would fall
// before the first sample. Empty when the text is no time of day: it must start with a digit,
// and hours alone must be 0 to 24.
std::optional<double> typedMoment(const StripChartModel &chart, const DataSet &data, const QString &answer)
{
    if (!data.DataReady || chart.rowCount() == 0)
        throw CommandError(L("There is no data loaded."));
    const QString t = answer.trimmed();
    if (t.isEmpty() || !(t.front().isDigit() || (t.size() > 1 && t.front() == u'.' && t.at(1).isDigit())))
        return std::nullopt;
    if (!t.contains(u':') && answerValue(t) > 24)
        return std::nullopt;
    const double first = chart.GetTime(0);
    double d = ViewWindow::TimeFromStr(answer) + std::floor(first);
    if (d < first)
        d += 1;
    return d;
}
QString notATime(const QString &answer)
{
    const QString t = answer.trimmed();
    return t.isEmpty() ? L("No time was typed.") : t + L(" is not a time of day.");
}

// A typed file name: blank gives the automatic name, a bare name lands beside the data file,
// and a name with a folder stands as typed.
QString typedPathBesideData(const QString &typed, const DataSet &data, QString (*automaticName)(const QString &))
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return automaticName(data.LoadedFileName);
    if (name.contains(u'/') || name.contains(u'\\') || QDir::isAbsolutePath(name))
        return name;
    return FolderOfPath(data.LoadedFileName) + name;
}

} // namespace

void CommandBox::buildAnswers()
{
    StripChartModel &chart = viewer_.chart;
    DataSet &data = viewer_.data;
    auto on = [this](const char *name, Answer answer) { answers_.insert(L(name), std::move(answer)); };

    on("LOADFILENAME", [this](const QString &t) {
        QString path;
        if (!t.trimmed().isEmpty())
            path = QFileInfo(t.trimmed()).absoluteFilePath();   // kept absolute in the recent list
        else if (!viewer_.folders.LastAnnouncedFile.isEmpty())
            path = viewer_.folders.LastAnnouncedFile;
        else
            path = viewer_.recent.RecentLoaded[0];
        if (path.isEmpty()) {
            speak(L("No File specified."));
            return false;
        }
        int first = 0, last = 0;
        viewer_.loader.LoadData(path, first, last);
        return false;
    });

    on("EXPORT", [this, &data](const QString &t) {
        const QString path = typedPathBesideData(t, data, DelimitedExport::automaticName);
        if (hooks.exportToFile)
            hooks.exportToFile(path);
        return false;
    });

    on("SAVESOUND", [this, &data](const QString &t) {
        const QString name = t.trimmed();
        QString path = typedPathBesideData(name, data, SoundSave::automaticName);
        if (!name.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += L(".wav");
        if (hooks.saveSound)
            hooks.saveSound(path);
        return false;
    });

    on("ClipSpikes", [this, &chart](const QString &t) {
        viewer_.commandText.remove(u'%');   // the box shows what is read
        const double v = answerValue(QString(t).remove(u'%'));
        if (v > 0 && v < 100) {
            if (hooks.ClipSpikes) {
                hooks.ClipSpikes(chart.CursorChannel(), v);
                viewer_.view.cmdAutoScale_Click();
            }
        } else {
            speak(L("Nothing clipped: the percentage must be more than 0 and less than 100."));
        }
        return false;
    });

    on("VA", [this](const QString &t) { return hooks.archiveSearch && hooks.archiveSearch(t); });

    on("CHANGEDIR", [this](const QString &t) {
        if (t == L("..")) {
            const QString here = currentFolder();
            const QString parent = ParentFolderOf(here);
            if (parent.isEmpty() || QDir(parent) == QDir(here))
                throw CommandError(L("There is no folder above ") + here + L("."));
            if (!QDir::setCurrent(parent))
                throw CommandError(L("The folder ") + parent + L(" cannot be opened."));
        } else {
            if (!QFileInfo(t).isDir())
                throw CommandError(L("There is no folder named ") + t + L("."));
            if (!QDir::setCurrent(t))
                throw CommandError(L("The folder ") + t + L(" cannot be opened."));
        }
        PendingCommand.clear();
        speak(L("Current directory ") + QDir::toNativeSeparators(QDir::currentPath()));
        return false;
    });

    on("WIDTH", [this, &chart](const QString &t) {
        const double v = answerValue(t);
        if (v > 0) {
            chart.setXAxisMax(chart.XAxisMin() + v / 1440);
            speak(L("Chart window now ") + t + L(" minutes wide."));
        } else {
            speak(L("Width unchanged: it must be more than 0 minutes."));
        }
        return false;
    });

    on("VOL", [this](const QString &t) {
        const double v = answerValue(t);
        if (v > 0 && v <= 10) {
            if (hooks.UpdateVol) {
                hooks.UpdateVol(v / 10);
                speak(L("Volume set to ") + t);
            }
        } else {
            speak(L("Volume unchanged: it must be more than 0 and at most 10."));
        }
        return false;
    });

    on("SPEED", [this](const QString &t) {
        const double v = answerValue(t);
        if (v >= SonifiedScan::MinSpeed && v <= SonifiedScan::MaxSpeed) {
            if (hooks.setScanSpeed) {
                hooks.setScanSpeed(v);
                speak(L("Scan speed set to ") + t + L(" samples per second."));
            }
        } else {
            speak(L("Scan speed unchanged: it must be from ") + QString::number(SonifiedScan::MinSpeed) + L(" to ")
                  + QString::number(SonifiedScan::MaxSpeed) + L(" samples per second."));
        }
        return false;
    });

    on("RATE", [this](const QString &t) {
        const std::optional<double> v = VoiceSettings::numberIn(t);
        if (!v || *v < VoiceSettings::Lowest || *v > VoiceSettings::Highest) {
            speak(L("Speech rate unchanged: it must be from -100 to 100."));
            return false;
        }
        VoiceStyle style;
        style.rate = int(std::lround(*v));
        VoiceSettings::writeRate(viewer_.ports.settings, *style.rate);
        viewer_.speech.setVoiceStyle(style);
        speak(L("Speech rate ") + QString::number(*style.rate) + L("."));
        return false;
    });

    on("DIGITS", [this](const QString &t) {
        const std::optional<double> v = VoiceSettings::numberIn(t);
        if (!v || *v != std::floor(*v) || !viewer_.speech.numbers.setDigits(int(*v))) {
            speak(L("Spoken digits unchanged: the number must be a whole number from 0 to 15."));
            return false;
        }
        VoiceSettings::writeSpokenDigits(viewer_.ports.settings, viewer_.spokenDigits());
        speak(viewer_.spokenDigits() == 0 ? L("Numbers are spoken in the usual forms.")
                                          : L("Numbers are spoken with ") + QString::number(viewer_.spokenDigits())
                                                + L(" significant digits."));
        return false;
    });

    on("MAX", [this, &chart](const QString &t) {
        const double v = answerValue(t);
        if (v > chart.YAxisMin() + 1) {
            chart.setYAxisMax(v);
            speak(L("New Y Max is ") + viewer_.speech.numbers.value(chart.YAxisMax()));
        } else {
            speak(L("Y Max unchanged: it must be more than ") + viewer_.speech.numbers.value(chart.YAxisMin() + 1).trimmed() + L("."));
        }
        return false;
    });

    on("MIN", [this, &chart](const QString &t) {
        chart.setYAxisMin(answerValue(t));
        speak(L("New Y Min is ") + viewer_.speech.numbers.value(chart.YAxisMin()));
        return false;
    });

    on("START", [this, &chart, &data](const QString &t) {
        const std::optional<double> d = typedMoment(chart, data, t);
        if (!d) {
            speak(notATime(t));
        } else if (*d < chart.GetTime(data.LastIndex)) {
            const double width = chart.XAxisMax() - chart.XAxisMin();
            chart.setXAxisMin(*d);
            chart.setXAxisMax(chart.XAxisMin() + width);
        }
        viewer_.reports.SpeakChartWidth();
        return false;
    });

    on("STOP", [this, &chart, &data](const QString &t) {
        const std::optional<double> d = typedMoment(chart, data, t);
        if (!d) {
            speak(notATime(t));
        } else if (*d < chart.GetTime(data.LastIndex)) {
            const double width = chart.XAxisMax() - chart.XAxisMin();
            chart.setXAxisMax(*d);
            chart.setXAxisMin(chart.XAxisMax() - width);
        }
        viewer_.reports.SpeakChartWidth();
        return false;
    });

    on("CURSORCHANNEL", [this, &chart, &data](const QString &t) {
        const double v = answerValue(t);
        // Channel numbers below 1 (0.5 would floor to none) are refused like any other.
        if (v >= 1 && v <= data.ChannelCount) {
            chart.setCursorChannel(int(std::floor(v)) - 1);
            viewer_.ports.pump.pump();
        }
        speak(L("Cursor channel is now ") + NumberForms::signPadded(chart.CursorChannel() + 1));
        return false;
    });

    on("TONE", [this](const QString &t) {
        const double v = answerValue(t);
        if (v > 60 && v < 1000) {
            if (hooks.setAmTone) {
                hooks.setAmTone(v);
                speak(L("Tone for amplitude modulation set to ") + t + L(" Hertz."));
            }
        } else {
            speak(L("Tone unchanged: it must be more than 60 and less than 1000 Hertz."));
        }
        return false;
    });
}
