// libFuzzer target: a user at the command line with a data file loaded. The input is a
// script of events, one a line, in the console's words: a typed line (Enter follows), or
// ":type TEXT", ":click NAME", ":answer TEXT" (the next file dialog's answer), or a key
// (":esc", ":enter", ":space", ":f1", ":shift+left", ":key S" ...). The first character picks
// the file loaded first. While work runs, an Escape waiting in the script is pressed at once
// and work that waits for the user takes the next event, as in the console.
#include "fuzz_support.h"
#include "session/viewer.h"
#include "sound/pace_clocks.h"
#include "support/fakes.h"
#include <QFile>
#include <deque>

namespace {

// Files of the kinds users open: one channel, eight named channels with notes, time going
// backwards with a NaN, and a file too short to hold its records.
const QStringList &sampleFiles()
{
    static const QStringList files = {
        Fuzz::generate(QStringLiteral("one.lmd"), {"--rows", "60", "--rate", "20"}),
        Fuzz::generate(QStringLiteral("eight.lmd"), {"--channels", "8", "--rows", "40", "--notes", "Clear night\\nwind 3 m/s",
                                                     "--name", "0:Horn", "--offset", "1:+0.1 V", "--ut", "--latitude", "40.99999"}),
        Fuzz::generate(QStringLiteral("odd.lmd"), {"--channels", "2", "--rows", "40", "--set-time", "20:45372.5", "--set-value",
                                                   "10:1:nan", "--set-value", "11:0:inf", "--no-section"}),
        Fuzz::generate(QStringLiteral("cut.txt"), {"--rows", "30", "--partial-bytes", "5"}),
    };
    return files;
}

// Typed text may name files and folders only inside the run's own folder: nothing the
// fuzzer types can reach the rest of the machine.
QString confined(QString text)
{
    text.remove(u'/');
    text.remove(u'\\');
    text.replace(QLatin1String(".."), QLatin1String("."));
    return text.left(200);
}

class Run : public FakePump {
public:
    explicit Run(const QStringList &script)
    {
        for (const QString &line : script)
            if (events_.size() < 64)
                events_.push_back(confined(line));
        viewer.setPaceClock(&clock_);
    }

    void play()
    {
        viewer.startUp();
        // Work in a fresh folder holding copies of the sample files, so one run cannot
        // change what the next one loads.
        QDir work(Fuzz::scratch().filePath(QStringLiteral("work")));
        work.removeRecursively();
        work.mkpath(QStringLiteral("."));
        for (const QString &file : sampleFiles())
            QFile::copy(file, work.filePath(QFileInfo(file).fileName()));
        QDir::setCurrent(work.path());

        const int pick = events_.empty() || events_.front().isEmpty() ? 0 : events_.front().at(0).unicode() % 5;
        if (!events_.empty())
            events_.pop_front();
        if (pick > 0) {
            int first = 0, last = 0;
            viewer.loader.LoadData(work.filePath(QFileInfo(sampleFiles()[pick - 1]).fileName()), first, last);
        }
        while (!events_.empty() && !viewer.Closing)
            next();
        viewer.close();
    }

    // Long work looks at the next event: Escape is pressed at once, anything else waits. When
    // the script has ended, a scan is stopped, since nobody is left to stop it.
    void pump() override
    {
        if (!events_.empty() && events_.front() == QLatin1String(":esc")) {
            events_.pop_front();
            viewer.keyPress(QStringLiteral("Escape"));
        } else if (events_.empty() && viewer.scan.ScanStarted && !viewer.speech.AbortRequested) {
            viewer.keyPress(QStringLiteral("Escape"));
        }
    }
    // Work that waits for the user (a paused scan) takes the next event, whatever it is.
    void waitForUser() override
    {
        if (!events_.empty() && !viewer.Closing)
            next();
        else
            viewer.keyPress(QStringLiteral("Escape"));
    }

private:
    void next()
    {
        const QString line = events_.front();
        events_.pop_front();
        if (!line.startsWith(u':') || line.startsWith(QLatin1String("::"))) {
            viewer.commandText = line.startsWith(QLatin1String("::")) ? line.mid(1) : line;
            viewer.keyPress(QStringLiteral("Return"));
        } else if (line.startsWith(QLatin1String(":click "))) {
            viewer.actions.run(line.mid(7).trimmed());
        } else if (line.startsWith(QLatin1String(":type "))) {
            viewer.commandText = line.mid(6);
        } else if (line.startsWith(QLatin1String(":answer"))) {
            surface_.dialogAnswers.push_back(line.mid(8));
        } else {
            viewer.keyPress(keyName(line.mid(1)));
        }
    }

    // ":shift+left" -> "Shift+Left", ":key s" -> "S"; anything else is passed on as it is.
    static QString keyName(QString key)
    {
        QString prefix;
        for (;;) {
            if (key.startsWith(QLatin1String("shift+"), Qt::CaseInsensitive))
                prefix += QLatin1String("Shift+");
            else if (key.startsWith(QLatin1String("ctrl+"), Qt::CaseInsensitive))
                prefix += QLatin1String("Ctrl+");
            else
                break;
            key = key.mid(key.indexOf(u'+') + 1);
        }
        if (key.startsWith(QLatin1String("key "), Qt::CaseInsensitive))
            return prefix + key.mid(4).trimmed().toUpper();
        static const QStringList names = {"Escape", "Return", "Space", "Tab", "F1", "F11", "F12", "Left", "Right", "Up", "Down"};
        for (const QString &name : names)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return prefix + name;
        if (key.compare(QLatin1String("esc"), Qt::CaseInsensitive) == 0)
            return prefix + QLatin1String("Escape");
        if (key.compare(QLatin1String("enter"), Qt::CaseInsensitive) == 0)
            return prefix + QLatin1String("Return");
        return prefix + key;
    }

    std::deque<QString> events_;
    FakeSpeech speech_;
    FakeSurface surface_;
    FakeSettings settings_;
    VirtualPaceClock clock_;

public:
    Viewer viewer{Ports{speech_, surface_, *this, settings_}};
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::scratch();
    sampleFiles();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    Run run(Fuzz::lines(bytes, size));
    run.play();
    return 0;
}
