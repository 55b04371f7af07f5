#include "session/viewer.h"
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/surface_state.h"
#include "ports/window_surface.h"
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

Viewer::Viewer(Ports p)
    : ports(p),
      speech(p.speech, p.pump, p.surface),
      recent(p.settings, p.surface),
      view(chart, data, p.surface, p.pump),
      loader(data, chart, speech, p.surface, p.pump, p.settings),
      reports(chart, data, speech, view, recent),
      folders(speech, p.surface),
      help(speech, p.pump, p.surface)
{
    if (auto *remembered = dynamic_cast<SurfaceState *>(&p.surface))
        focusedControl = [remembered] { return remembered->focus; };
    connectParts();
    registerActions();
    connectNavigation();
    registerNavigationActions();
    connectLive();
}

void Viewer::connectParts()
{
    auto &h = loader.hooks;
    h.baseTitle = [this] { return baseTitle_; };
    h.addRecentLoaded = [this](const QString &path) { recent.AddRecentLoaded(path); };
    h.fullView = [this] { view.cmdFullView_Click(); };
    h.showArrows = [this] { ShowArrows(); };
    h.hideArrows = [this] { HideArrows(); };
    // A sighted helper must know which colour is which channel once there are several.
    h.showLegend = [this] { chart.setLegendVisible(chart.channelCount() >= 2); };
    h.speakChartId = [this] { reports.SpeakChartID(); };
    h.dataFileInfo = [this] { reports.mnuDataFileInfo(); };
    view.speakChartLimits = [this] { reports.SpeakChartLimits(); };
    view.speakChartHeight = [this] { reports.SpeakChartHeight(); };

    h.autoTitle = [this] { writer.DoAutoTitle(); };
    writer.hooks.addRecentSaved = [this](const QString &path) { recent.AddRecentSaved(path); };
    clipper.setPendingCommand = [this](const QString &name) { commandBox.PendingCommand = name; };
    commandBox.hooks.mnuClipSpikes = [this] { clipper.mnuClipSpikes(); };
    commandBox.hooks.ClipSpikes = [this](int channel, double percent) { clipper.ClipSpikes(channel, percent); };
    commandBox.hooks.exportToFile = [this](const QString &path) {
        exporter.ExportFileName = path;
        exporter.mnuExportToTabDelimitedFile();
    };

    scan.viewIndices = [this](int &start, int &stop) {
        view.FindXaxisMinIndex();
        view.FindXaxisMaxIndex();
        start = view.ViewStartIndex;
        stop = view.ViewStopIndex;
    };
    auto &box = commandBox.hooks;
    box.mnuSoundOffOn = [this] { soundMenu.mnuSoundOffOn(); };
    box.mnuSoundAmplitude = [this] { soundMenu.mnuSoundAmplitude(); soundMenu.writeSoundFlags(ports.settings); };
    box.mnuSoundFreq = [this] { soundMenu.mnuSoundFreq(); soundMenu.writeSoundFlags(ports.settings); };
    box.mnuSoundSine = [this] { soundMenu.mnuSoundSine(); soundMenu.writeSoundFlags(ports.settings); };
    box.mnuSoundSquare = [this] { soundMenu.mnuSoundSquare(); soundMenu.writeSoundFlags(ports.settings); };
    box.mnuSoundNoise = [this] { soundMenu.mnuSoundNoise(); soundMenu.writeSoundFlags(ports.settings); };
    box.UpdateVol = [this](double amplitude) { tone.UpdateVol(amplitude); };
    box.setAmTone = [this](double hertz) { tone.AmTone = hertz; };
    box.setScanSpeed = [this](double speed) {
        scan.ScanSpeed = speed;
        ports.settings.write(QStringLiteral("Settings"), QStringLiteral("ScanSpeed"), QString::number(speed));
    };
    box.mnuScan = [this] { scan.mnuScan(); };
    box.saveSound = [this](const QString &path) { soundSave.saveSound(path); };

    box.archiveSearch = [this](const QString &answer) { return archive.searchFlow(answer); };
    // A recording fetched with S is loaded as a recent-files entry is, report and all.
    archive.loadFile = [this](const QString &path) { openAsRecentFile(path); };
    h.hideArchiveList = [this] {
        archive.List1.clear();
        // An empty list cannot keep the focus: it goes back to the command box, as in the window.
        if (focusName() == QLatin1String("List1"))
            ports.surface.setFocus(QStringLiteral("txtIn"));
    };
}

void Viewer::registerActions()
{
    actions.add(QStringLiteral("MnuLoadDataFile"), [this] { loader.MnuLoadDataFile(); });
    actions.add(QStringLiteral("mnuSave"), [this] { writer.mnuSave(); });
    actions.add(QStringLiteral("cmdSaveView"), [this] { writer.cmdSaveView(); });
    actions.add(QStringLiteral("mnuExportToTabDelimitedFile"), [this] { exporter.mnuExportToTabDelimitedFile(); });
    actions.add(QStringLiteral("mnuClipSpikes"), [this] { clipper.mnuClipSpikes(); });
    actions.add(QStringLiteral("mnuScan"), [this] { scan.mnuScan(); });
    actions.add(QStringLiteral("mnuSaveSound"), [this] { soundSave.mnuSaveSound(); });
    actions.add(QStringLiteral("mnuSoundOffOn"), [this] { soundMenu.mnuSoundOffOn(); });
    actions.add(QStringLiteral("mnuSoundAmplitude"), [this] { soundMenu.mnuSoundAmplitude(); soundMenu.writeSoundFlags(ports.settings); });
    actions.add(QStringLiteral("mnuSoundFreq"), [this] { soundMenu.mnuSoundFreq(); soundMenu.writeSoundFlags(ports.settings); });
    actions.add(QStringLiteral("mnuSoundNoise"), [this] { soundMenu.mnuSoundNoise(); soundMenu.writeSoundFlags(ports.settings); });
    actions.add(QStringLiteral("mnuSoundSine"), [this] { soundMenu.mnuSoundSine(); soundMenu.writeSoundFlags(ports.settings); });
    actions.add(QStringLiteral("mnuSoundSquare"), [this] { soundMenu.mnuSoundSquare(); soundMenu.writeSoundFlags(ports.settings); });
    actions.add(QStringLiteral("cmdFullView"), [this] { view.cmdFullView_Click(); });
    actions.add(QStringLiteral("cmdAutoScale"), [this] { view.cmdAutoScale_Click(); });
    actions.add(QStringLiteral("mnuStatsInfo"), [this] { reports.mnuStatsInfo(); });
    actions.add(QStringLiteral("mnuNotesInfo"), [this] { reports.mnuNotesInfo(); });
    actions.add(QStringLiteral("mnuObserverInfo"), [this] { reports.mnuObserverInfo(); });
    actions.add(QStringLiteral("mnuDataFileInfo"), [this] { reports.mnuDataFileInfo(); });
    actions.add(QStringLiteral("mnuInfo"), [this] { reports.mnuInfo(); });
    actions.add(QStringLiteral("mnuHelp"), [this] { help.SpeakHelp(commandText); });
    actions.add(QStringLiteral("MnuExit"), [this] { close(); });
    addRecentFileCommands();
}

void Viewer::close()
{
    if (Closing)
        return;
    Closing = true;
    speech.speak(QStringLiteral("Closing Lumora Sonified Review Program."));
    speech.fallSilent();
    speech.AbortRequested = true;
    live.stopAll();
    chart.ClearData();
    ports.pump.pump();
    recent.SaveRecentFiles();
}

QList<QPair<QString, QString>> Viewer::extraState() const
{
    const QList<QPair<QString, QString>> fields{{QStringLiteral("pending"), commandBox.PendingCommand},
            {QStringLiteral("sound_on"), tone.SoundOn ? QStringLiteral("1") : QStringLiteral("0")},
            {QStringLiteral("tone_hz"), QString::number(tone.ToneFrequency)},
            {QStringLiteral("volume_level"), QString::number(tone.VolumeLevel)},
            {QStringLiteral("auto_scroll"), chart.AutoScrollEnabled ? QStringLiteral("1") : QStringLiteral("0")},
            {QStringLiteral("auto_scale"), chart.AutoScaleEnabled ? QStringLiteral("1") : QStringLiteral("0")},
            {QStringLiteral("cursor_row"), QString::number(chart.cursorRow())},
            {QStringLiteral("focus"), focusName()},
            {QStringLiteral("digits"), QString::number(spokenDigits())}};
    return fields + live.stateFields();
}

bool Viewer::keyPress(const QString &key)
{
    // The window sees every key first: Escape asks running work to stop, any other key clears that.
    speech.AbortRequested = key == QLatin1String("Escape");
    // Any key ends the help being read, as it would silence a screen reader.
    help.keyPressed();
    navigation.keySeen();
    if (key == QLatin1String("Escape")) {
        live.escapePressed(commandBox.PendingCommand == QLatin1String("ALARM"));
        commandBox.PendingCommand.clear();
    }
    if (key == QLatin1String("Space")) {
        ports.surface.setFocus(QStringLiteral("txtIn"));
        scan.spaceKey();
    }
    if (key == QLatin1String("F1")) {
        // In the match list the help is the list's own keys, not the whole help first.
        if (focusName() == QLatin1String("List1"))
            help.speakLines(MatchList::helpLines());
        else
            help.SpeakHelp(commandText);
        return true;
    }
    // The braille line's caret keys move its caret (and the cursor with it), never the view.
    if (focusName() == BrailleLine::Name) {
        QString bare = key;
        for (const char *modifier : {"Ctrl+", "Alt+", "Shift+"})
            bare.remove(QLatin1String(modifier));
        if (braille.keyPress(bare))
            return true;
    }
    // A command box that holds text is a text box: its caret keys edit the text, not the view.
    if (!editsCommandText(key))
        navigation.keyPress(key);

    // Then the control with the focus.
    const QString focus = focusName();
    // The cursor's jumps: on the chart, and the edge and page keys in an empty command box too.
    const bool onChart = focus == QLatin1String("iStripChartX1");
    if ((onChart || (focus == QLatin1String("txtIn") && commandText.isEmpty())) && navigation.landmarkKey(key, onChart))
        return true;
    if (focus == QLatin1String("txtIn"))
        return commandBox.txtIn_KeyPress(key);
    if (focus == QLatin1String("List1"))
        return archive.List1.List1_KeyDown(key);
    return false;
}

bool Viewer::editsCommandText(const QString &key) const
{
    if (commandText.isEmpty() || focusName() != QLatin1String("txtIn"))
        return false;
    QString bare = key;
    for (const char *modifier : {"Ctrl+", "Alt+", "Shift+"})
        bare.remove(QLatin1String(modifier));
    static const QStringList editing = {QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Home"),
                                        QStringLiteral("End"), QStringLiteral("Backspace"), QStringLiteral("Delete")};
    return editing.contains(bare);
}

QString Viewer::focusName() const
{
    const QString focus = focusedControl ? focusedControl() : QString();
    return focus.isEmpty() ? QStringLiteral("txtIn") : focus;
}

void Viewer::setDesktop(DesktopPort *desktop)
{
    archive.desktop = desktop ? desktop : &noDesktop_;
}

void Viewer::setAudioOutput(AudioPort *audio)
{
    tone.setAudio(audio ? *audio : silentAudio_);
}

void Viewer::setPaceClock(PaceClock *clock)
{
    scan.setClock(clock ? *clock : realClock_);
    earcons.setClock(clock ? *clock : realClock_);
}
