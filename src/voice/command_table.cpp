// The typed command words, tested from top to bottom; the first matching row runs.
#include "ports/message_pump.h"
#include "session/viewer.h"
#include "voice/command_box.h"
#include "voice/number_forms.h"
#include <QDir>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }
}

void CommandBox::buildTable()
{
    auto row = [this](QStringList words, std::function<void()> run) { rows_.append({std::move(words), {}, std::move(run)}); };
    // A row whose work another part does; an empty slot leaves only the echo.
    auto hookRow = [row](QStringList words, const std::function<void()> &slot) {
        row(std::move(words), [&slot] {
            if (slot)
                slot();
        });
    };
    auto prompt = [this, row](QStringList words, const QString &name, const QString &text) {
        row(std::move(words), [this, name, text] {
            speak(text);
            PendingCommand = name;
        });
    };
    StripChartModel &chart = viewer_.chart;

    prompt({L("LOAD")}, L("LOADFILENAME"), L("Enter File Name to Load or Enter to load last announced file."));
    row({L("SCALE")}, [this] { viewer_.view.cmdAutoScale_Click(); });
    row({L("QUIT"), L("EXIT")}, [this] { viewer_.actions.run(L("MnuExit")); });
    row({L("VA"), L("VEYRA")}, [this] {
        PendingCommand = L("VA");
        speak(L("Enter Date or Date and time for Veyra Archive search."));
    });
    row({L("ID")}, [this] { viewer_.reports.SpeakChartID(); });
    row({L("LOAD D"), L("LOAD DIALOG")}, [this] { viewer_.loader.LoadDataFile(); });
    row({L("EXPORT"), L("EXP")}, [this] {
        PendingCommand = L("EXPORT");
        speak(L("Enter a file name for the exported file or press enter to have the file named automatically. Escape cancels."));
    });
    row({L("LASTFILE"), L("LAST FILE")}, [this] {
        if (viewer_.recent.RecentLoaded[0].isEmpty()) {
            speak(L("No file has been loaded yet."));
            return;
        }
        int first = 0, last = 0;
        viewer_.loader.LoadData(viewer_.recent.RecentLoaded[0], first, last);
    });
    row({L("WIDTH")}, [this, &chart] {
        speak(L("Width ") + NumberForms::hhnnss(chart.XAxisMax() - chart.XAxisMin()));
        speak(L("Enter Chart Width in Minutes or press escape."));
        PendingCommand = L("WIDTH");
    });
    row({L("CURRENT DIRECTORY"), L("CURDIR")}, [this] { speak(QDir::toNativeSeparators(QDir::currentPath())); });
    prompt({L("CHANGE DIRECTORY"), L("CD"), L("CHG DIR")}, L("CHANGEDIR"), L("Enter Directory Name or dot dot to move up."));
    row({L("FOLDERS")}, [this] { viewer_.folders.SpeakFolderNames(currentFolder()); });
    row({L("CHANNELS"), L("CHANNEL"), L("CHL")}, [this, &chart] {
        const int count = viewer_.data.ChannelCount;
        speak(L("number of channels ") + NumberForms::signPadded(count));
        if (count > 1) {
            speak(L("Current cursor channel ") + NumberForms::signPadded(chart.CursorChannel() + 1));
            speak(L("Enter new channel number to change or escape to abort change."));
            PendingCommand = L("CURSORCHANNEL");
        }
    });
    hookRow({L("CLIP")}, hooks.mnuClipSpikes);
    hookRow({L("SCAN"), L("SONIFY")}, hooks.mnuScan);
    prompt({L("SAVESOUND")}, L("SAVESOUND"), L("Enter a file name for the sound, or press Enter to save it beside the data file."));
    hookRow({L("SOUND")}, hooks.mnuSoundOffOn);
    hookRow({L("AMPLITUDE"), L("AMP"), L("AM")}, hooks.mnuSoundAmplitude);
    hookRow({L("FREQUENCY"), L("FREQ"), L("FM")}, hooks.mnuSoundFreq);
    row({L("TONE")}, [this] {
        PendingCommand = L("TONE");
        speak(L("Enter tone frequency in hertz to use with AM sonification."));
    });
    hookRow({L("SQUARE"), L("SQ")}, hooks.mnuSoundSquare);
    hookRow({L("SINE")}, hooks.mnuSoundSine);
    hookRow({L("NOISE")}, hooks.mnuSoundNoise);
    row({L("STATS"), L("STAT")}, [this] { viewer_.reports.mnuStatsInfo(); });
    row({L("INFO")}, [this] { viewer_.reports.mnuDataFileInfo(); });
    row({L("NOTES")}, [this] { viewer_.reports.mnuNotesInfo(); });
    row({L("LIMITS")}, [this] { viewer_.reports.SpeakChartLimits(); });
    row({L("DESCRIBE")}, [this] { viewer_.actions.run(L("mnuDescribeView")); });
    row({L("MAX")}, [this, &chart] {
        speak(L("Channel ") + NumberForms::signPadded(chart.CursorChannel() + 1) + L(" Current Y Max ") + viewer_.speech.numbers.level(chart.YAxisMax()));
        speak(L("Enter new Y Max or escape to abort."));
        PendingCommand = L("MAX");
    });
    row({L("MIN")}, [this, &chart] {
        speak(L("Channel ") + NumberForms::signPadded(chart.CursorChannel() + 1) + L(" Current Y Min ") + viewer_.speech.numbers.level(chart.YAxisMin()));
        speak(L("Enter new Y Min or escape to abort."));
        PendingCommand = L("MIN");
    });
    row({L("START")}, [this, &chart] {
        speak(L("Chart window starts at ") + NumberForms::hhnnss(chart.XAxisMin()));
        speak(L("Enter new start time in hours colon minutes colon seconds or escape to abort."));
        PendingCommand = L("START");
    });
    row({L("STOP")}, [this, &chart] {
        speak(L("Chart window stops at ") + NumberForms::hhnnss(chart.XAxisMax()));
        speak(L("Enter new stop time in hours colon minutes colon seconds or escape to abort."));
        PendingCommand = L("STOP");
    });
    row({L("?")}, [this] { viewer_.help.SpeakHelp(viewer_.commandText); });
    // HELP alone reads all the help; HELP and a word reads the lines about that word.
    rows_.append({{L("HELP")},
                  [](const QString &command) { return command == L("HELP") || command.startsWith(L("HELP ")); },
                  [this] { viewer_.help.SpeakHelp(textAfter(viewer_.commandText, L("HELP"))); }});
    row({L("FULL")}, [this] {
        speak(L("setting chart to full view."));
        viewer_.view.cmdFullView_Click();
    });
    row({L("LISTFILES"), L("LIST FILES"), L("LIST")}, [this] { viewer_.folders.SpeakFileNames(currentFolder()); });
    // FILES, or FILES followed by an ending: "FILES LMD" lists the files ending in LMD.
    rows_.append({{L("FILES")},
                  [](const QString &command) { return command.size() >= 5 && command.startsWith(L("FILES")); },
                  [this] {
                      const QString command = viewer_.commandText.toUpper().trimmed();
                      viewer_.folders.SpeakFileNames(currentFolder(), command.size() > 5 ? command.mid(6) : QString());
                  }});
    prompt({L("VOL")}, L("VOL"), L("Enter volume 1 to 10."));
    prompt({L("SPEED")}, L("SPEED"), L("Enter scan speed in samples per second."));
    prompt({L("RATE")}, L("RATE"), L("Enter speech rate from -100 for the slowest to 100 for the fastest."));
    row({L("BRAILLE")}, [this] { focusMovedAway_ = viewer_.braille.focusAndSpeak(); });
    prompt({L("DIGITS")}, L("DIGITS"), L("Enter the number of significant digits to speak, 1 to 15, or 0 for the usual forms."));

    inlinePrompts_ = {
        {{L("LOAD")}, L("LOADFILENAME")},
        {{L("VA"), L("VEYRA")}, L("VA")},
        {{L("EXPORT"), L("EXP")}, L("EXPORT")},
        {{L("WIDTH")}, L("WIDTH")},
        {{L("CHANGE DIRECTORY"), L("CD"), L("CHG DIR")}, L("CHANGEDIR")},
        {{L("CHANNELS"), L("CHANNEL"), L("CHL")}, L("CURSORCHANNEL")},
        {{L("CLIP")}, L("ClipSpikes")},
        {{L("TONE")}, L("TONE")},
        {{L("MAX")}, L("MAX")},
        {{L("MIN")}, L("MIN")},
        {{L("START")}, L("START")},
        {{L("STOP")}, L("STOP")},
        {{L("VOL")}, L("VOL")},
        {{L("SPEED")}, L("SPEED")},
        {{L("RATE")}, L("RATE")},
        {{L("DIGITS")}, L("DIGITS")},
    };
}
