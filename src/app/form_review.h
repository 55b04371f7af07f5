#pragma once
#include <QMainWindow>
#include <functional>
#include <memory>

class Viewer;
class SpeechPort;
class SettingsStore;
class ChartWidget;
class QKeyEvent;
class QAction;
class ScreenReaderStatus;
class QtSpeech;
class EspeakSpeech;

// The main window: the chart, the command box, the status labels, the button column and the
// menus. Every control runs the program's action of the same name; every key goes to the
// program first, as the window's own key handling.
class FormReview : public QMainWindow {
    Q_OBJECT
public:
    explicit FormReview(QWidget *parent = nullptr);
    // A host may bring its own voice and settings store; null means speech-dispatcher and
    // the user's own settings.
    FormReview(std::unique_ptr<SpeechPort> speech, std::unique_ptr<SettingsStore> settings, QWidget *parent = nullptr);
    ~FormReview() override;

    // Makes the window's own voice at its start-up step (default: speech-dispatcher); a test
    // makes it fail by throwing.
    static inline std::function<std::unique_ptr<QtSpeech>()> voiceFactory;
    // Makes the built-in voice for when speech-dispatcher fails (default: eSpeak NG).
    static inline std::function<std::unique_ptr<EspeakSpeech>()> builtInVoiceFactory;

    // Loads a file named on the command line once the window is up; then follows it and
    // listens to it when asked.
    void loadAfterStartUp(const QString &path, bool follow = false, bool listen = false);
    Viewer &viewer();
    ChartWidget &chart();
    ScreenReaderStatus &screenReader();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Impl;

    void buildMenus();
    void buildControls();
    void addWindowActions();
    void layoutControls();
    void runAction(const QString &name);
    bool handleKey(QKeyEvent *event);
    // Every control of the window passes its input through eventFilter(), after the
    // application's filters (where the accessibility bridge sits) have seen it.
    void watchControls(QWidget *widget);
    bool holdInput(QObject *watched, QEvent *event);
    void cutReadoutShort();
    QAction *shortcutAction(const QKeyEvent &event) const;
    void speakFocusName(const QString &control);
    // What a screen reader reads by itself (a control's name as it gets the focus, the
    // selected entry of a list) is spoken only as the setting "SpeakFocusNames" says.
    bool speaksWhatTheScreenReaderReads() const;
    // A command may have closed the program (Exit, QUIT typed).
    void afterCommand();
    // A menu command runs where the user was before the menus took the focus.
    void returnFocusFromMenus();
    // Escape in the menus closes them and, while a command runs, stops it too.
    void stopWorkOnEscape(QEvent *event);

    std::unique_ptr<Impl> d;
};
