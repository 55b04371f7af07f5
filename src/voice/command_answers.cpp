// The answers to the command box's prompts: what Enter does while PendingCommand names one.
#include "ports/message_pump.h"
#include "session/viewer.h"
#include "sound/sound_save.h"
#include "voice/answer_parsing.h"
#include "voice/command_box.h"
#include "voice/number_forms.h"
#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

// A typed time of day placed on the first sample's day, or on the next day when it would fall
// before the first sample.
double typedMoment(const StripChartModel &chart, const DataSet &data, const QString &answer)
{
    if (!data.DataReady || chart.rowCount() == 0)
        throw CommandError(L("There is no data loaded."));
    const double first = chart.GetTime(0);
    double d = ViewWindow::TimeFromStr(answer) + std::floor(first);
    if (d < first)
        d += 1;
    return d;
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
        const QString name = t.trimmed();
        QString path;
        if (name.isEmpty())
            path = DelimitedExport::automaticName(data.LoadedFileName);
        else if (name.contains(u'/') || name.contains(u'\\') || QDir::isAbsolutePath(name))
            path = name;
        else
            path = FolderOfPath(data.LoadedFileName) + name;
        if (hooks.exportToFile)
            hooks.exportToFile(path);
        return false;
    });

    on("SAVESOUND", [this, &data](const QString &t) {
        const QString name = t.trimmed();
        QString path;
        if (name.isEmpty())
            path = SoundSave::automaticName(data.LoadedFileName);
        else if (name.contains(u'/') || name.contains(u'\\') || QDir::isAbsolutePath(name))
            path = name;
        else
            path = FolderOfPath(data.LoadedFileName) + name;
        if (!name.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += L(".wav");
        if (hooks.saveSound)
            hooks.saveSound(path);
        return false;
    });

    on("ClipSpikes", [this, &chart](const QString &) {
        viewer_.commandText.remove(u'%');
        const double v = answerValue(viewer_.commandText);
        if (v > 0 && v < 100 && hooks.ClipSpikes) {
            hooks.ClipSpikes(chart.CursorChannel(), v);
            viewer_.view.cmdAutoScale_Click();
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
        }
        return false;
    });

    on("VOL", [this](const QString &t) {
        const double v = answerValue(t);
        if (v > 0 && v <= 10 && hooks.UpdateVol) {
            hooks.UpdateVol(v / 10);
            speak(L("Volume set to ") + t);
        }
        return false;
    });

    on("SPEED", [this](const QString &t) {
        const double v = answerValue(t);
        if (v >= SonifiedScan::MinSpeed && v <= SonifiedScan::MaxSpeed && hooks.setScanSpeed) {
            hooks.setScanSpeed(v);
            speak(L("Scan speed set to ") + t + L(" samples per second."));
        }
        return false;
    });

    on("MAX", [this, &chart](const QString &t) {
        const double v = answerValue(t);
        if (v > chart.YAxisMin() + 1) {
            chart.setYAxisMax(v);
            speak(L("New Y Max is ") + NumberForms::signPadded(chart.YAxisMax()));
        }
        return false;
    });

    on("MIN", [this, &chart](const QString &t) {
        chart.setYAxisMin(answerValue(t));
        speak(L("New Y Min is ") + NumberForms::signPadded(chart.YAxisMin()));
        return false;
    });

    on("START", [this, &chart, &data](const QString &t) {
        const double d = typedMoment(chart, data, t);
        if (d < chart.GetTime(data.LastIndex)) {
            const double width = chart.XAxisMax() - chart.XAxisMin();
            chart.setXAxisMin(d);
            chart.setXAxisMax(chart.XAxisMin() + width);
        }
        viewer_.reports.SpeakChartWidth();
        return false;
    });

    on("STOP", [this, &chart, &data](const QString &t) {
        const double d = typedMoment(chart, data, t);
        if (d < chart.GetTime(data.LastIndex)) {
            const double width = chart.XAxisMax() - chart.XAxisMin();
            chart.setXAxisMax(d);
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
        if (v > 60 && v < 1000 && hooks.setAmTone) {
            hooks.setAmTone(v);
            speak(L("Tone for amplitude modulation set to ") + t + L(" Hertz."));
        }
        return false;
    });
}
