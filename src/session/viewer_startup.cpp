#include "session/startup_log.h"
#include "session/viewer.h"
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "settings/program_folder.h"
#include "voice/voice_settings.h"
#include <QDir>

#ifndef LUMORA_VERSION
#define LUMORA_VERSION "0.0.0"
#endif

namespace {
// Pen colours as 0xBBGGRR numbers, channels 0 to 7.
constexpr quint32 PenColours[8] = {255, 16711680, 4227327, 16711935, 16512, 8388736, 32896, 65280};

// Every navigation button; hidden while nothing is loaded or a load runs.
const char *const NavigationControls[] = {"cmdLeft",   "cmdRight",  "cmdUp",       "cmdDown",
                                          "cmdIncX",   "cmdDecX",   "cmdIncY",     "cmdDecY",
                                          "cmdCursor", "cmdZoom",   "cmdAutoScale", "cmdAutoScrollEnable",
                                          "cmdFullView", "cmdOffset", "Frame1"};
} // namespace

QString Viewer::programFolder()
{
    return ProgramFolder::path();
}

QString Viewer::versionText()
{
    return QStringLiteral(LUMORA_VERSION);
}

void Viewer::HideArrows()
{
    for (const char *name : NavigationControls)
        ports.surface.setVisible(QLatin1String(name), false);
    ports.surface.setEnabled(QStringLiteral("cmdOffset"), false);
}

void Viewer::ShowArrows()
{
    // The offset panel opens only from its button.
    for (const char *name : NavigationControls) {
        if (qstrcmp(name, "Frame1") != 0)
            ports.surface.setVisible(QLatin1String(name), true);
    }
    ports.surface.setEnabled(QStringLiteral("cmdOffset"), true);
}

void Viewer::applyAppearanceStep(void (ChartAppearance::*read)(const SettingsStore &))
{
    ChartAppearance look = chart.appearance();
    (look.*read)(ports.settings);
    chart.setAppearance(look);
}

void Viewer::GetStripChartColors()
{
    applyAppearanceStep(&ChartAppearance::readColours);
    if (chart.channelCount() > 0)
        chart.setChannelColour(0, chart.appearance().channel0);
}

void Viewer::startUp()
{
    WindowSurface &ui = ports.surface;
    SettingsStore &store = ports.settings;
    const QString settings = QStringLiteral("Settings");
    const QString folder = programFolder();
    StartUpSteps steps(speech, folder);

    steps.run(1, [&] {
        StartingUp = true;
        // Before the first word: the whole session speaks at the rate the user chose.
        speech.setVoiceStyle(VoiceSettings::read(store));
        speech.numbers.setDigits(VoiceSettings::readSpokenDigits(store));
    });
    steps.run(3, [&] {
        QDir().mkpath(folder);
        ProgramFolder::moveDoubledFolder(folder);
        archive.programFolder = folder;
        archive.ownFiles = {StartUpSteps::logPath(folder), QDir(folder).filePath(QLatin1String(Help::FileName))};
        if (!QDir::setCurrent(folder))
            throw StartUpError(76, QStringLiteral("Path not found: ") + folder);
    });
    steps.run(4, [&] { versionText_ = versionText(); });
    steps.run(5, [&] { store.write(settings, QStringLiteral("LumoraPath"), folder); });
    steps.run(11, [&] {
        if (hooks.resetLayoutChoices)
            hooks.resetLayoutChoices();
    });
    steps.run(12, [&] {});
    steps.run(16, [&] {});
    steps.run(17, [&] { ports.pump.pump(); });
    steps.run(18, [&] {
        scan.readScanSpeed(store);
        navigation.readClickInc(store);
        braille.readCells(store);
    });
    steps.run(19, [&] { applyAppearanceStep(&ChartAppearance::readTitleFont); });
    // An empty DataDirectory means the program folder; the readers fall back to it, and the
    // store keeps what the user wrote.
    steps.run(20, [&] {});
    steps.run(21, [&] {
        for (int i = 0; i < 8; ++i) {
            store.write(QStringLiteral("Colors"), QStringLiteral("Channel%1PenColor").arg(i), QString::number(PenColours[i]));
            data.ChannelColours[i] = PenColours[i];
        }
        GetStripChartColors();
    });
    steps.run(22, [&] { applyAppearanceStep(&ChartAppearance::readTickGrid); });
    steps.run(23, [&] {});
    steps.run(24, [&] {
        speech.AbortRequested = false;
        if (hooks.createVoice)
            hooks.createVoice();
    });
    steps.run(26, [&] { archive.index.ArchiveRecords.clear(); });
    steps.run(31, [&] { help.LoadHelp(); });
    steps.run(36, [&] { data.getStaticHeaderInfo(store); });
    steps.run(38, [&] {
        for (const char *menu : {"mnuInfo", "mnuDataFileInfo", "mnuSave", "mnuRecallXY"})
            ui.setEnabled(QLatin1String(menu), false);
        ui.setVisible(QStringLiteral("LBLLR"), false);
        ui.setVisible(QStringLiteral("cmdSaveView"), false);
        // Nothing to move or scale until a file is loaded.
        HideArrows();
        braille.refresh();
    });
    steps.run(42, [&] { soundMenu.readSoundFlags(store); });
    steps.run(45, [&] {
        tone.InitSound();
        // No sound device is no reason to stop: the program goes on silently, after saying so once.
        if (const QString problem = tone.audio().problem(); !problem.isEmpty())
            speech.speak(problem);
    });
    steps.run(46, [&] {
        if (chart.channelCount() == 0)
            chart.AddChannel(QStringLiteral("Ch 1"), data.ChannelColours[0]);
    });
    steps.run(47, [&] { GetStripChartColors(); });
    steps.run(50, [&] { exporter.ExportFileName.clear(); });
    steps.run(51, [&] {
        ui.setEnabled(QStringLiteral("mnuRecallXY"), false);
        if (loader.hooks.forgetRememberedView)
            loader.hooks.forgetRememberedView();
        for (const char *shown : {"MnuLoadDataFile", "mnuRecentLoaded", "mnufilesep", "mnusep2"})
            ui.setVisible(QLatin1String(shown), true);
        baseTitle_ = QStringLiteral("Lumora ") + versionText_ + QStringLiteral("  Sonified File Viewer.");
        ui.setLabel(QStringLiteral("LBLLR"), QStringLiteral("Review and Edit Files"));
        ui.setVisible(QStringLiteral("LBLLR"), true);
        if (loader.hooks.layout)
            loader.hooks.layout();
        if (hooks.checkScrollEnabled)
            hooks.checkScrollEnabled();
        if (view.recolourArrows)
            view.recolourArrows();
    });
    steps.run(80, [&] {
        ui.setEnabled(QStringLiteral("MnuTools"), true);
        for (const char *entry : {"mnuExportToTabDelimitedFile", "mnuClipSpikes", "mnuCursor", "mnuScan"})
            ui.setEnabled(QLatin1String(entry), false);
    });
    steps.run(81, [&] {
        ui.setVisible(QStringLiteral("MnuSaveChartToClipboard"), true);
        ui.setVisible(QStringLiteral("MnuTools"), true);
    });
    steps.run(92, [&] {
        recent.GetRecentFiles();
        ui.setVisible(QStringLiteral("mnuStartChart"), false);
        ui.setLabel(QStringLiteral("LBLLR"), QStringLiteral("Review and Edit Files Only with this Window"));
        baseTitle_ = QStringLiteral("Lumora Sonified Chart Viewer ");
        ui.setWindowTitle(baseTitle_);
        ui.setCaption(QStringLiteral("MnuExit"), QStringLiteral("E&xit"));
        ui.setFocus(QStringLiteral("txtIn"));
    });
    steps.run(102, [&] { StartingUp = false; });
}
