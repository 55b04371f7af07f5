#pragma once
#include "archive/veyra_archive.h"
#include "data/data_loader.h"
#include "data/data_set.h"
#include "data/data_writer.h"
#include "data/delimited_export.h"
#include "data/spike_clipping.h"
#include "live/live_monitor.h"
#include "ports/audio_port.h"
#include "session/action_registry.h"
#include "session/ports.h"
#include "settings/recent_files.h"
#include "sound/earcons.h"
#include "sound/pace_clocks.h"
#include "sound/sonified_scan.h"
#include "sound/sound_save.h"
#include "sound/sound_menu.h"
#include "sound/tone_generator.h"
#include "view/braille_line.h"
#include "view/navigation.h"
#include "view/offset_panel.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/command_box.h"
#include "voice/folder_browser.h"
#include "voice/help.h"
#include "voice/reports.h"
#include "voice/speech.h"
#include <QList>
#include <QPair>
#include <functional>

// The program's state for its whole life, and the wiring between its parts. The window and
// the console shell each own one Viewer and drive it through its actions and methods.
class Viewer {
public:
    explicit Viewer(Ports ports);

    // The start-up steps in their checkpoint order; a failing step is logged and skipped.
    void startUp();
    // Closing steps: goodbye, stop running loops, drop the data, keep the recent lists.
    void close();

    // Keys as the window sees them before the focused control: "Escape", "Return", "Space",
    // "F1", "Left", "S", with "Shift+" / "Ctrl+" in front. Returns true when consumed.
    bool keyPress(const QString &key);
    // The command box's text (typed, or put there by :type).
    QString commandText;
    // The control that has the keyboard focus ("txtIn", "List1" ...); keys reach the command
    // box only while it has it. Reads the surface's focus when the surface remembers it (the
    // console, the tests); the window replaces it. Empty counts as the command box.
    std::function<QString()> focusedControl;

    // The tone's output (default: silent) and the clock that paces the scan (default: real
    // time). Set before startUp(); null restores the default.
    void setAudioOutput(AudioPort *audio);
    void setPaceClock(PaceClock *clock);
    // Opens downloaded sound, text and image files (default: nothing can be opened).
    void setDesktop(DesktopPort *desktop);

    QString baseTitle() const { return baseTitle_; }
    // "major.minor.revision" of this build.
    static QString versionText();
    // Where the start-up log and other files of the program live (created at start-up).
    static QString programFolder();

    // The navigation buttons: hidden while no file is loaded and while a load runs.
    void HideArrows();
    void ShowArrows();
    // The colour table from the settings, also given to channel 0.
    void GetStripChartColors();

    // What only the window does; each is optional.
    struct WindowHooks {
        std::function<void()> resetLayoutChoices;   // controls shown, on the left
        std::function<void()> checkScrollEnabled;   // auto-scroll and auto-scale buttons
        std::function<void()> createVoice;          // the window's own voice; may throw
    } hooks;
    // The state fields that the later parts (command box, sound) add to the console's :state.
    QList<QPair<QString, QString>> extraState() const;
    // The control with the keyboard focus; the command box when none is known.
    QString focusName() const;
    // True when `key` moves the caret or deletes in the command box, which has the focus and
    // holds text: it is then the box's own key, whatever the window does with it otherwise.
    bool editsCommandText(const QString &key) const;
    // Significant digits of spoken values; 0 = the usual forms ("SpokenDigits").
    int spokenDigits() const { return speech.numbers.digits(); }
    bool Closing = false;
    bool StartingUp = false;

    Ports ports;
    StripChartModel chart;
    DataSet data;
    Speech speech;
    RecentFiles recent;
    ViewWindow view;
    DataLoader loader;
    Reports reports;
    FolderBrowser folders;
    ActionRegistry actions;
    Help help;
    DataWriter writer{data, chart, view, speech, ports.surface, ports.pump, ports.settings};
    DelimitedExport exporter{data, chart, view, speech, ports.surface, ports.pump};
    SpikeClipper clipper{data, chart, view, speech, ports.surface, ports.pump};
    Navigation navigation{chart, data, view, ports.surface, speech};
    OffsetPanel offsets{data, ports.surface, speech};
    BrailleLine braille{chart, data, view, ports.surface, navigation, speech};

private:
    // What the tone and the scan use until the shell provides better.
    SilentAudio silentAudio_;
    RealPaceClock realClock_;
    NoDesktop noDesktop_;

public:
    ToneGenerator tone{silentAudio_};
    SoundMenu soundMenu{tone, speech, ports.surface, ports.pump};
    SonifiedScan scan{chart, data, speech, ports.surface, ports.pump, tone, soundMenu, realClock_};
    SoundSave soundSave{data, tone, scan, speech, ports.surface};
    Earcons earcons{tone, ports.pump, realClock_};
    VeyraArchive archive{speech, ports.surface, ports.pump, ports.settings};
    CommandBox commandBox{*this};
    LiveMonitor live{*this};

private:
    void connectParts();
    void registerActions();
    // The ten recent-file menu commands.
    void addRecentFileCommands();
    // Loads a file as a recent-files entry does: INFO report after a completed load, offset
    // panel closed.
    void openAsRecentFile(const QString &path);
    void applyAppearanceStep(void (ChartAppearance::*read)(const SettingsStore &));
    void connectNavigation();
    void registerNavigationActions();
    // Following a recording while it is written, its tone and its alarm.
    void connectLive();
    // Says the shape of the cursor channel over the view.
    void mnuDescribeView();

    QString baseTitle_;
    QString versionText_;
};
